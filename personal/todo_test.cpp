#include "personal/todo.h"

#include "calendar/clock.h"
#include "calendar/zone_conversion.h"
#include "personal/notes.h"
#include "resources/strings.h"
#include "store/store_test_support.h"
#include "store/todo_file.h"

namespace kv {
namespace {

using test::ReadAll;

DateStamp Date(int y, int m, int d) { return DateStamp{y, static_cast<uint16_t>(m), static_cast<uint16_t>(d), 0, 0}; }

ToDoForm Form(const std::string& text, DateStamp activate, DateStamp required, int time = kToDoNoTime, int priority = 1) {
  ToDoForm f;
  f.text = text;
  f.activate = activate;
  f.required = required;
  f.timeOfDay = time;
  f.priority = priority;
  return f;
}

// Zone n lies n hours east of zone 0 in this fake.
DateStamp FakeConvert(const DateStamp& local, int from, int to) { return AddMinutes(local, (to - from) * 60); }

class ToDo : public test::StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    SetClockSource(&clock);
    SetCurrentZone(3);
    SetZoneConversion(FakeConvert);
    settings.archiveName = "To Do Archive.txt";
  }
  void TearDown() override {
    SetClockSource(nullptr);
    SetZoneConversion(nullptr);
    SetCurrentZone(0);
    StoreTest::TearDown();
  }
  uint16_t Add(const std::string& text, DateStamp activate, DateStamp required, int time = kToDoNoTime, int priority = 1) {
    ToDoSaveResult r = ToDoSave(Form(text, activate, required, time, priority));
    EXPECT_TRUE(r.Ok()) << text;
    return r.slot;
  }
  std::vector<std::string> Texts(const std::vector<ToDoEntry>& entries) {
    std::vector<std::string> out;
    for (const ToDoEntry& e : entries) out.push_back(e.item.text);
    return out;
  }
  std::vector<std::string> Load() {
    std::vector<ToDoEntry> entries;
    ToDoLoad(entries, settings);
    return Texts(entries);
  }
  ToDoEntry Find(const std::string& text) {
    ToDoSettings all = settings;
    all.viewAll = true;
    all.removeAfterDays = 9999;
    std::vector<ToDoEntry> entries;
    ToDoLoad(entries, all);
    for (const ToDoEntry& e : entries)
      if (e.item.text == text) return e;
    ADD_FAILURE() << "no item " << text;
    return {};
  }
  void Complete(const std::string& text, DateStamp when) {
    FixedClock at(when);
    SetClockSource(&at);
    ToDoEntry e = Find(text);
    EXPECT_TRUE(ToDoToggle(e));
    SetClockSource(&clock);
  }
  // Links a note to an item as the notes module does.
  void LinkNote(uint16_t slot, uint16_t noteId, uint8_t reserved0 = 0) {
    ASSERT_TRUE(ToDoStoreOpen(kDbModeWrite, 1206));
    ToDoItem raw = *ToDoReadItem(slot);
    SetToDoItemNoteId(raw, noteId);
    if (reserved0) raw[0] = reserved0;
    ToDoWriteItem(raw, slot);
    ToDoStoreClose();
  }
  std::string Archive() {
    std::string contents;
    ReadWholeFile(JoinPath(folder, "To Do Archive.txt"), &contents);
    return contents;
  }

  FixedClock clock{DateStamp{2025, 3, 10, 12, 0}};
  ToDoSettings settings;
};

TEST(ToDoRecordFormat, RoundTripsTheByteImage) {
  ToDoItem item{};
  for (size_t i = 0; i < 19; ++i) item[i] = static_cast<uint8_t>(i + 1);
  PutFixedText(item.data() + 19, 40, "Call the plumber");
  ToDoRecord r = ParseToDoRecord(item);
  EXPECT_EQ(r.zone, 7);
  EXPECT_EQ(r.marker, 8);
  EXPECT_EQ(r.noteId, 0x0A09);
  EXPECT_EQ(r.priority, 15);
  EXPECT_EQ(r.completed, 0x13121110u);
  EXPECT_EQ(r.text, "Call the plumber");
  EXPECT_EQ(SerializeToDoRecord(r), item);
  r.text = std::string(60, 'x');   // cut to 39 characters and its zero
  ToDoItem cut = SerializeToDoRecord(r);
  EXPECT_EQ(ParseToDoRecord(cut).text, std::string(39, 'x'));
}

TEST_F(ToDo, PendingViewHidesItemsNotYetActiveAndOptionallyCompletedOnes) {
  Add("today", Date(2025, 3, 10), Date(2025, 3, 12));
  Add("tomorrow", Date(2025, 3, 11), Date(2025, 3, 12));
  Add("done", Date(2025, 3, 1), Date(2025, 3, 13));
  Complete("done", DateStamp{2025, 3, 10, 9, 0});
  settings.removeAfterDays = 5;
  EXPECT_EQ(Load(), (std::vector<std::string>{"today", "done"}));
  settings.hideCompleted = true;
  EXPECT_EQ(Load(), (std::vector<std::string>{"today"}));
  settings.viewAll = true;   // the all view skips nothing; equal keys keep the file's order
  EXPECT_EQ(Load(), (std::vector<std::string>{"tomorrow", "today", "done"}));
}

TEST_F(ToDo, ValidationComesInOrderWithItsMessageAndField) {
  struct Case { ToDoForm form; int message; ToDoField focus; } cases[] = {
      {Form("", Date(2025, 2, 30), Date(2025, 3, 1)), 21010, ToDoField::Text},
      {Form("a", Date(2025, 2, 30), Date(2025, 1, 1)), 24500, ToDoField::Activate},
      {Form("a", Date(2025, 3, 1), Date(2025, 13, 1)), 24500, ToDoField::Required},
      {Form("a", Date(2025, 3, 1), Date(2025, 3, 1), -1), 24500, ToDoField::Time},
      {Form("a", Date(2025, 3, 1), Date(2025, 3, 1), 1440), 24500, ToDoField::Time},
      {Form("a", Date(2025, 3, 2), Date(2025, 3, 1)), 24501, ToDoField::Activate},
  };
  for (const Case& c : cases) {
    messages.Clear();
    ToDoSaveResult r = ToDoSave(c.form);
    EXPECT_FALSE(r.Ok());
    EXPECT_EQ(r.messageId, c.message);
    EXPECT_EQ(r.focus, c.focus);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{std::string(StringText(c.message))});
  }
  EXPECT_FALSE(FileExists(ToDoFilePath()));   // nothing stored
  // Required on the activate day at midnight is no conflict.
  EXPECT_TRUE(ToDoSave(Form("a", Date(2025, 3, 1), Date(2025, 3, 1), 0)).Ok());
}

TEST_F(ToDo, NoTimeIsStoredAs2359AndSortsThere) {
  Add("late", Date(2025, 3, 1), Date(2025, 3, 10), 23 * 60);
  Add("no time", Date(2025, 3, 1), Date(2025, 3, 10));
  Add("next day", Date(2025, 3, 1), Date(2025, 3, 11), 0);
  Add("at 23:59", Date(2025, 3, 1), Date(2025, 3, 10), 1439);
  ToDoEntry e = Find("no time");
  EXPECT_EQ(e.required, MakeMinuteKey(2025, 3, 10, 23, 59));
  EXPECT_EQ(ToDoEntryTime(e), -1);
  EXPECT_EQ(ToDoEntryTime(Find("late")), 23 * 60);
  EXPECT_EQ(ToDoFormFor(e).timeOfDay, kToDoNoTime);
  // Equal keys keep the file's order, in which the item stored later comes first.
  EXPECT_EQ(Load(), (std::vector<std::string>{"late", "at 23:59", "no time", "next day"}));
}

TEST_F(ToDo, SortIsStableInBothOrders) {
  auto entry = [](const char* text, int priority, MinuteKey required) {
    ToDoEntry e;
    e.item.text = text;
    e.item.priority = static_cast<uint8_t>(priority);
    e.required = required;
    return e;
  };
  std::vector<ToDoEntry> entries = {entry("a", 2, 50), entry("b", 1, 60), entry("c", 2, 40), entry("d", 2, 50),
                                    entry("e", 1, 50)};
  ToDoSort(entries, true);
  EXPECT_EQ(Texts(entries), (std::vector<std::string>{"e", "b", "c", "a", "d"}));
  ToDoSort(entries, false);
  EXPECT_EQ(Texts(entries), (std::vector<std::string>{"c", "e", "a", "d", "b"}));
}

TEST_F(ToDo, SavingAnEditedCompletedItemMakesItPendingAndKeepsItsSlotAndNote) {
  uint16_t slot = Add("task", Date(2025, 3, 1), Date(2025, 3, 20), kToDoNoTime, 2);
  LinkNote(slot, 44, 0x5A);   // as the notes module does; a reserved byte is carried
  Complete("task", DateStamp{2025, 3, 10, 8, 0});
  ToDoEntry e = Find("task");
  ASSERT_NE(e.item.completed, 0u);
  ToDoForm form = ToDoFormFor(e);
  EXPECT_EQ(form.priority, 2);
  form.text = "task, edited";
  form.timeOfDay = 9 * 60;
  ToDoSaveResult r = ToDoSave(form, &e);
  ASSERT_TRUE(r.Ok());
  EXPECT_EQ(r.slot, slot);
  ToDoEntry after = Find("task, edited");
  EXPECT_EQ(after.item.completed, 0u);
  EXPECT_EQ(after.item.noteId, 44);
  EXPECT_EQ(after.item.reserved0[0], 0x5A);
  EXPECT_EQ(after.required, MakeMinuteKey(2025, 3, 20, 9, 0));
}

TEST_F(ToDo, UncheckingAsksFirst) {
  Add("task", Date(2025, 3, 1), Date(2025, 3, 20));
  ToDoEntry e = Find("task");
  EXPECT_TRUE(ToDoToggle(e));   // checking asks nothing
  EXPECT_TRUE(messages.Texts().empty());
  EXPECT_EQ(e.item.completed, MakeMinuteKey(2025, 3, 10, 12, 0));
  messages.Answer(MsgAnswer::Cancel);
  EXPECT_FALSE(ToDoToggle(e));
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Mark this item incomplete?\n\ntask"});
  EXPECT_NE(Find("task").item.completed, 0u);
  messages.Answer(MsgAnswer::Ok);
  EXPECT_TRUE(ToDoToggle(e));
  EXPECT_EQ(Find("task").item.completed, 0u);
}

TEST_F(ToDo, RemovingAsksArchivesCompletedItemsAndDeletesTheNote) {
  NoteContext note = ToDoNoteContext(Add("task", Date(2025, 3, 1), Date(2025, 3, 20), 14 * 60 + 30), 0);
  ASSERT_TRUE(NoteSave(note, "Bring\r\nthe key"));
  ToDoEntry e = Find("task");
  messages.Answer(MsgAnswer::Cancel);
  EXPECT_FALSE(ToDoRemove(e, true, settings));
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Remove this item from list:\n\ntask"});
  ASSERT_TRUE(ToDoToggle(e));
  messages.Answer(MsgAnswer::Ok);
  EXPECT_TRUE(ToDoRemove(e, true, settings));
  EXPECT_EQ(Archive(), "\"task\",\"3/20/25 2:30 PM\",\"3/1/25\"\r\nNotes:\r\nBring\r\nthe key\r\n:\r\n");
  EXPECT_FALSE(NoteFindToDo(note.noteId));  // the note went with the item
  settings.viewAll = true;
  EXPECT_TRUE(Load().empty());
}

TEST_F(ToDo, CompletedItemsGoAfterTheDelayWithArchiveAndStayWhenTheArchiveFails) {
  Add("old", Date(2025, 3, 1), Date(2025, 3, 5));
  Add("recent", Date(2025, 3, 1), Date(2025, 3, 6));
  Complete("old", DateStamp{2025, 3, 9, 23, 0});
  Complete("recent", DateStamp{2025, 3, 10, 1, 0});
  settings.removeAfterDays = 1;
  // The archive name names a folder: it cannot be written, so nothing is removed.
  std::filesystem::create_directory(JoinPath(folder, "To Do Archive.txt"));
  EXPECT_EQ(Load(), (std::vector<std::string>{"old", "recent"}));
  ASSERT_EQ(messages.Texts().size(), 1u);
  EXPECT_EQ(messages.Texts()[0].rfind("The To Do archive file could not be written", 0), 0u);
  std::filesystem::remove(JoinPath(folder, "To Do Archive.txt"));
  settings.archiveName = "sub/archive.txt";
  messages.Clear();
  EXPECT_EQ(Load(), (std::vector<std::string>{"old", "recent"}));
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Invalid filename entered."});
  settings.archiveName = "To Do Archive.txt";
  EXPECT_EQ(Load(), std::vector<std::string>{"recent"});   // both views remove
  EXPECT_EQ(Archive(), "\"old\",\"3/5/25\",\"3/1/25\"\r\n:\r\n");
  settings.viewAll = true;
  EXPECT_EQ(Load(), std::vector<std::string>{"recent"});
  // Without logging nothing is archived.
  clock.Set(DateStamp{2025, 3, 11, 0, 0});
  settings.logRemoved = false;
  EXPECT_TRUE(Load().empty());
  EXPECT_EQ(Archive(), "\"old\",\"3/5/25\",\"3/1/25\"\r\n:\r\n");
}

TEST_F(ToDo, ArchiveNameChecks) {
  EXPECT_FALSE(ToDoCheckArchiveName("a\\b.txt"));
  EXPECT_FALSE(ToDoCheckArchiveName(""));
  EXPECT_TRUE(ToDoCheckArchiveName("new.txt"));
  EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"Invalid filename entered.", "Invalid filename entered."}));
  test::WriteAll(JoinPath(folder, "old.txt"), {'x'});
  messages.Clear();
  messages.Answer(MsgAnswer::No);
  EXPECT_FALSE(ToDoCheckArchiveName("old.txt"));
  messages.Answer(MsgAnswer::Yes);
  EXPECT_TRUE(ToDoCheckArchiveName("old.txt"));
  EXPECT_EQ(messages.Shown().size(), 2u);
  EXPECT_EQ(messages.Texts()[0].rfind("A file currently exists with the name specified for archiving To Do items.", 0), 0u);
}

TEST_F(ToDo, OverdueItemsShowOnTheirDayAndOnToday) {
  Add("yesterday", Date(2025, 3, 1), Date(2025, 3, 9));
  Add("done yesterday", Date(2025, 3, 1), Date(2025, 3, 9), 10 * 60);
  Add("today noon", Date(2025, 3, 1), Date(2025, 3, 10), 12 * 60);
  Add("tomorrow", Date(2025, 3, 1), Date(2025, 3, 11));
  Add("not active", Date(2025, 3, 12), Date(2025, 3, 12));
  Complete("done yesterday", DateStamp{2025, 3, 10, 8, 0});
  std::vector<ToDoEntry> day;
  EXPECT_EQ(ToDoListForDate(Date(2025, 3, 9), day, false), 2);
  EXPECT_EQ(Texts(day), (std::vector<std::string>{"done yesterday", "yesterday"}));
  ToDoListForDate(Date(2025, 3, 10), day, false);
  EXPECT_EQ(Texts(day), (std::vector<std::string>{"yesterday", "today noon"}));
  ToDoListForDate(Date(2025, 3, 11), day, false);
  EXPECT_EQ(Texts(day), std::vector<std::string>{"tomorrow"});
  EXPECT_EQ(ToDoListForDate(Date(2025, 2, 30), day, false), 0);
  MinuteKey now = MakeMinuteKey(2025, 3, 10, 12, 0);
  EXPECT_TRUE(ToDoIsOverdue(Find("yesterday"), now));
  EXPECT_TRUE(ToDoIsOverdue(Find("today noon"), now));   // not later than now
  EXPECT_FALSE(ToDoIsOverdue(Find("done yesterday"), now));
  EXPECT_FALSE(ToDoIsOverdue(Find("tomorrow"), now));
}

TEST_F(ToDo, RequiredTimesAreShownInTheCurrentZone) {
  ToDoForm form = Form("call", Date(2025, 3, 1), Date(2025, 3, 20), 23 * 60);
  form.zone = 1;   // two hours west of the current zone 3
  ASSERT_TRUE(ToDoSave(form).Ok());
  ToDoEntry call = Find("call");
  EXPECT_EQ(call.required, MakeMinuteKey(2025, 3, 21, 1, 0));   // the date carried over midnight
  EXPECT_EQ(call.item.zone, 1);
  ToDoForm back = ToDoFormFor(call);
  EXPECT_EQ(back.required, Date(2025, 3, 20));
  EXPECT_EQ(back.timeOfDay, 23 * 60);
  EXPECT_EQ(back.zone, 1);
  std::vector<ToDoEntry> day;
  ToDoListForDate(Date(2025, 3, 21), day, false);
  EXPECT_EQ(Texts(day), std::vector<std::string>{"call"});
  // A new item starts active today in the current zone.
  ToDoForm f = NewToDoForm(DateStamp{2025, 4, 2, 7, 30});
  EXPECT_EQ(f.activate, Date(2025, 3, 10));
  EXPECT_EQ(f.required, Date(2025, 4, 2));
  EXPECT_EQ(f.zone, 3);
}

TEST_F(ToDo, ADamagedOrMissingFileLoadsEmptyAndIsNotWritten) {
  std::vector<ToDoEntry> entries;
  EXPECT_EQ(ToDoLoad(entries, settings), 0);
  std::vector<uint8_t> junk(800, 0xEE);
  test::WriteAll(ToDoFilePath(), junk);
  filesMustVerify = false;
  EXPECT_EQ(ToDoLoad(entries, settings), 0);
  EXPECT_EQ(ToDoListForDate(Date(2025, 3, 10), entries, false), 0);
  EXPECT_FALSE(ToDoSave(Form("x", Date(2025, 3, 1), Date(2025, 3, 2))).Ok());
  EXPECT_EQ(ReadAll(ToDoFilePath()), junk);
}

}  // namespace
}  // namespace kv
