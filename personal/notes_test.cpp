#include "personal/notes.h"

#include <gtest/gtest.h>

#include "overlays/day_assembly.h"
#include "personal/personal_test_support.h"
#include "store/phone_file.h"
#include "store/todo_file.h"

namespace kv {
namespace {

using test::PersonalTest;

TEST(NoteRecordBytes, RoundTripsAByteImage) {
  const std::vector<uint8_t> image = {14, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 'H', 'i', 0};
  auto note = ParseNoteRecord(image);
  ASSERT_TRUE(note);
  EXPECT_EQ(note->type, 2);
  EXPECT_EQ(note->text, "Hi");
  EXPECT_EQ(SerializeNote(*note), image);
  std::vector<uint8_t> wrong = image;
  wrong[0] = 20;  // a length that disagrees with the record
  EXPECT_FALSE(ParseNoteRecord(wrong));
  EXPECT_FALSE(ParseNoteRecord({3, 0}));
}

TEST(NoteContexts, EqualityIgnoresTheNoteId) {
  NoteContext a = ScheduleNoteContext(2025, 3, 14, 7, 0);
  NoteContext b = ScheduleNoteContext(2025, 3, 14, 7, 9);
  EXPECT_TRUE(SameNoteContext(a, b));
  NoteContext others[] = {ScheduleNoteContext(2025, 3, 15, 7, 0), ScheduleNoteContext(2025, 4, 14, 7, 0),
                          ScheduleNoteContext(2025, 3, 14, 8, 0), DayNoteContext(2025, 3, 14)};
  for (const NoteContext& o : others) EXPECT_FALSE(SameNoteContext(a, o));
}

class Notes : public PersonalTest {};

TEST_F(Notes, DayNotesAreStoredReplacedAndDeletedWithTheMonthMark) {
  ResetAssembly();
  Assembly().slots[kSlotCurrent].year = 2025;
  Assembly().slots[kSlotCurrent].month = 3;

  NoteContext c = DayNoteContext(2025, 3, 14);
  EXPECT_TRUE(NoteSave(c, ""));  // empty and no note: nothing, not even a file
  EXPECT_FALSE(FileExists(MonthFilePath(MonthKey(2025, 3))));

  ASSERT_TRUE(NoteSave(c, "Call mother"));
  uint16_t first = c.noteId;
  EXPECT_NE(first, 0);
  EXPECT_TRUE(DayHasNote(2025, 3, 14));
  EXPECT_FALSE(DayHasNote(2025, 3, 15));
  EXPECT_TRUE(Assembly().flags[14] & kDayHasNote);

  ASSERT_TRUE(NoteSave(c, "Call father"));  // same length: same record
  EXPECT_EQ(c.noteId, first);
  ASSERT_TRUE(NoteSave(c, "Call both parents"));  // a length change: a new id
  EXPECT_NE(c.noteId, first);
  EXPECT_EQ(NoteFindDay(2025, 3, 14)->text, "Call both parents");

  // A context that has not looked the note up yet still finds the day's one note.
  NoteContext fresh = DayNoteContext(2025, 3, 14);
  ASSERT_TRUE(NoteSave(fresh, "Replaced"));
  EXPECT_NE(fresh.noteId, 0);
  DbOpen(kDbModeRead, MonthKey(2025, 3), 1990);
  EXPECT_EQ(test::ListDay(MonthKey(2025, 3), 14, kDbTypeDayNote).size(), 1u);
  DbClose();

  ASSERT_TRUE(NoteSave(fresh, ""));
  EXPECT_EQ(fresh.noteId, 0);
  EXPECT_FALSE(DayHasNote(2025, 3, 14));
  EXPECT_FALSE(Assembly().flags[14] & kDayHasNote);
  EXPECT_TRUE(messages.Texts().empty());
  ResetAssembly();
}

TEST_F(Notes, OwnersKeepTheirNoteIds) {
  // Schedule item.
  uint16_t item = PutItem(2025, 3, 14, 600, 660, "Review", 1, kSchedFlagItem | kSchedFlagMonthCalendar);
  NoteContext s = ScheduleNoteContext(2025, 3, 14, item, 0);
  ASSERT_TRUE(NoteSave(s, "Slides"));
  auto stored = SchedReadItem(2025, 3, 14, item);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->record.noteId, s.noteId);
  EXPECT_EQ(stored->flag, kSchedFlagItem | kSchedFlagMonthCalendar);  // the flag byte survives
  EXPECT_EQ(NoteSecondLine(s), "Review");
  ASSERT_TRUE(NoteSave(s, ""));
  EXPECT_EQ(SchedReadItem(2025, 3, 14, item)->record.noteId, 0);

  // To-do item.
  ToDoItem todo{};
  uint16_t slot = ToDoInsertItem(MakeMinuteKey(2025, 3, 1), MakeMinuteKey(2025, 3, 2), todo);
  ASSERT_NE(slot, 0);
  NoteContext t = ToDoNoteContext(slot, 0);
  ASSERT_TRUE(NoteSave(t, "Buy paint"));
  ToDoStoreOpen(kDbModeRead, 1201);
  EXPECT_EQ(ToDoItemNoteId(*ToDoReadItem(slot)), t.noteId);
  ToDoStoreClose();
  EXPECT_EQ(NoteFindToDo(t.noteId)->text, "Buy paint");

  // Phonebook entry.
  PhoneEntry entry{};
  PhoneEntryRef ref;
  ASSERT_TRUE(PhoneStoreEntry(entry, ref));
  NoteContext p = PhoneNoteContext(static_cast<uint16_t>(ref.id), 0);
  ASSERT_TRUE(NoteSave(p, "Prefers mornings"));
  PhoneStoreOpen(kDbModeRead, 1701);
  std::vector<PhoneLoaded> entries;
  PhoneLoadEntries(entries);
  PhoneStoreClose();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(PhoneEntryNoteId(entries[0].entry), p.noteId);
  EXPECT_EQ(NoteFindPhone(p.noteId)->text, "Prefers mornings");

  // An owner that does not exist: the note is kept, the failure reported.
  NoteContext gone = ToDoNoteContext(77, 0);
  EXPECT_FALSE(NoteSave(gone, "orphan?"));
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Error detected updating notes to disk."});
  EXPECT_EQ(gone.noteId, 0);  // the note that no owner would point at is taken back
  EXPECT_FALSE(NoteFindToDo(static_cast<uint16_t>(t.noteId + 1)));  // the id it had been given
  EXPECT_EQ(NoteFindToDo(t.noteId)->text, "Buy paint");
}

TEST_F(Notes, SwitchingSavesTheNoteLeftAndLoadsTheOneReached) {
  uint16_t a = PutItem(2025, 3, 14, 600, 660, "A");
  uint16_t b = PutItem(2025, 3, 14, 700, 760, "B");
  NoteContext cb = ScheduleNoteContext(2025, 3, 14, b, 0);
  ASSERT_TRUE(NoteSave(cb, "note of B"));

  ASSERT_TRUE(NoteSwitchContext(ScheduleNoteContext(2025, 3, 14, a, 0)));
  NotesWindowState& w = NotesWindow();
  EXPECT_EQ(w.text, "");
  EXPECT_EQ(w.secondLine, "A");
  w.text = "note of A";
  w.modified = true;
  ASSERT_TRUE(NoteSwitchContext(ScheduleNoteContext(2025, 3, 14, b, cb.noteId)));
  EXPECT_EQ(w.text, "note of B");
  EXPECT_FALSE(w.modified);
  uint16_t noteA = SchedReadItem(2025, 3, 14, a)->record.noteId;
  ASSERT_NE(noteA, 0);
  EXPECT_EQ(NoteFindSchedule(2025, 3, 14, noteA)->text, "note of A");

  // The same context again neither saves nor reloads.
  w.text = "unsaved edit";
  w.modified = true;
  ASSERT_TRUE(NoteSwitchContext(ScheduleNoteContext(2025, 3, 14, b, cb.noteId)));
  EXPECT_EQ(w.text, "unsaved edit");
  EXPECT_EQ(NoteFindSchedule(2025, 3, 14, cb.noteId)->text, "note of B");

  // A general note is found by its day.
  NoteContext day = DayNoteContext(2025, 3, 20);
  ASSERT_TRUE(NoteSave(day, "Spring"));
  w.modified = false;
  ASSERT_TRUE(NoteSwitchContext(DayNoteContext(2025, 3, 20)));
  EXPECT_EQ(w.context.noteId, day.noteId);
  EXPECT_EQ(w.text, "Spring");
}

TEST_F(Notes, AFailedSaveKeepsTheEditAndAbandonsTheSwitch) {
  NoteContext c = DayNoteContext(2025, 3, 14);
  ASSERT_TRUE(NoteSave(c, "first"));
  std::string path = MonthFilePath(MonthKey(2025, 3));
  std::vector<uint8_t> bytes = test::ReadAll(path);
  PutU16LE(bytes.data() + 10, 9999);
  test::WriteAll(path, bytes);
  filesMustVerify = false;
  messages.Clear();

  NotesWindowState& w = NotesWindow();
  w.context = c;
  w.text = "edited";
  w.modified = true;
  EXPECT_FALSE(NoteSwitchContext(DayNoteContext(2025, 3, 15)));
  EXPECT_TRUE(SameNoteContext(w.context, c));
  EXPECT_TRUE(w.modified);
  EXPECT_EQ(w.text, "edited");
  ASSERT_FALSE(messages.Texts().empty());
  EXPECT_EQ(messages.Texts().back(), "Error detected updating notes to disk.");
  EXPECT_EQ(test::ReadAll(path), bytes);
}

}  // namespace
}  // namespace kv
