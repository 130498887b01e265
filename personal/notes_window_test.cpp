#include "personal/notes_window.h"

#include <gtest/gtest.h>

#include "base/canvas_record.h"
#include "calendar/date_format.h"
#include "personal/personal_test_support.h"

namespace kv {
namespace {

// The edit field as the window has it: its text, modified mark and how often it was loaded.
struct FakeField : NotesEditField {
  std::string text;
  bool modified = false;
  int loads = 0;
  std::string Text() const override { return text; }
  bool Modified() const override { return modified; }
  void Load(const std::string& t) override { text = t, modified = false, ++loads; }
  void MarkSaved() override { modified = false; }
  void Type(const std::string& t) { text = t, modified = true; }
};

DateStamp Day(int year, int month, int day) {
  DateStamp d;
  d.year = year;
  d.month = static_cast<uint16_t>(month);
  d.day = static_cast<uint16_t>(day);
  return d;
}

class NotesWindowLogic : public test::PersonalTest {
 protected:
  void SetUp() override {
    PersonalTest::SetUp();
    ResetNotesWindow();
    NotesHooks hooks;
    hooks.selectedDate = [this] { return selected; };
    hooks.yearView = [this] { return yearView; };
    hooks.dayNoteChanged = [this](const DateStamp& d) { marked.push_back(d); };
    SetNotesHooks(hooks);
  }
  void TearDown() override {
    ResetNotesWindow();
    PersonalTest::TearDown();
  }
  std::string Stored(const NoteContext& c) {
    auto found = NoteFind(c);
    return found ? found->text : std::string("<none>");
  }

  DateStamp selected = Day(2026, 12, 7);
  bool yearView = false;
  std::vector<DateStamp> marked;
  FakeField field;
};

TEST_F(NotesWindowLogic, SwitchingDaysSavesTheNoteLeftAndLoadsTheOneArrivedAt) {
  ASSERT_TRUE(NotesShowContext(DayNoteContext(2026, 12, 7), field));
  field.Type("Bring the X-rays");
  ASSERT_TRUE(NotesShowContext(DayNoteContext(2026, 12, 8), field));
  EXPECT_EQ(field.text, "");
  EXPECT_EQ(Stored(DayNoteContext(2026, 12, 7)), "Bring the X-rays");
  ASSERT_EQ(marked.size(), 1u);  // the 7th gained its mark
  EXPECT_EQ(marked[0].day, 7);
  EXPECT_EQ(marked[0].month, 12);

  // Back again: the note is there; leaving it unmodified saves nothing and marks nothing.
  ASSERT_TRUE(NotesShowContext(DayNoteContext(2026, 12, 7), field));
  EXPECT_EQ(field.text, "Bring the X-rays");
  ASSERT_TRUE(NotesShowContext(DayNoteContext(2026, 12, 8), field));
  EXPECT_EQ(marked.size(), 1u);

  // Editing an existing note keeps the mark; emptying it takes the mark away.
  ASSERT_TRUE(NotesShowContext(DayNoteContext(2026, 12, 7), field));
  field.Type("Bring the X-rays and the forms");
  ASSERT_TRUE(NotesShowContext(DayNoteContext(2026, 12, 8), field));
  EXPECT_EQ(marked.size(), 1u);
  ASSERT_TRUE(NotesShowContext(DayNoteContext(2026, 12, 7), field));
  field.Type("");
  ASSERT_TRUE(NotesShowContext(DayNoteContext(2026, 12, 8), field));
  EXPECT_EQ(Stored(DayNoteContext(2026, 12, 7)), "<none>");
  ASSERT_EQ(marked.size(), 2u);
  EXPECT_EQ(marked[1].day, 7);
}

TEST_F(NotesWindowLogic, AMessageOfNoKnownKindLeavesTheNoteAlone) {
  ASSERT_TRUE(NotesShowContext(DayNoteContext(2026, 12, 7), field));
  field.Type("kept");
  for (uint64_t type : {0u, 4u, 6u, 0xFFFFu}) {
    NotesContextParams p = PackNoteContext(DayNoteContext(2026, 12, 8));
    EXPECT_FALSE(NotesShowContext(UnpackNoteContext((p.first & ~uint64_t{0xFFFF}) | type, p.second), field)) << type;
  }
  EXPECT_TRUE(SameNoteContext(NotesWindow().context, DayNoteContext(2026, 12, 7)));
  EXPECT_EQ(field.text, "kept");
  EXPECT_TRUE(field.modified);
  ASSERT_TRUE(NotesSaveField(field));
  EXPECT_EQ(Stored(DayNoteContext(2026, 12, 7)), "kept");
}

TEST_F(NotesWindowLogic, TheSameContextAgainNeitherSavesNorReloads) {
  ASSERT_TRUE(NotesShowContext(DayNoteContext(2026, 12, 7), field));
  int loads = field.loads;
  field.Type("half typed");
  ASSERT_TRUE(NotesShowContext(DayNoteContext(2026, 12, 7), field));
  EXPECT_EQ(field.loads, loads);
  EXPECT_EQ(field.text, "half typed");
  EXPECT_TRUE(field.modified);
  EXPECT_EQ(Stored(DayNoteContext(2026, 12, 7)), "<none>");
}

TEST_F(NotesWindowLogic, AFailedSaveKeepsTheTextShowsTheMessageAndStaysPut) {
  NoteContext day = DayNoteContext(2026, 12, 7);
  ASSERT_TRUE(NotesShowContext(day, field));
  field.Type("first");
  ASSERT_TRUE(NotesSaveField(field));
  EXPECT_FALSE(field.modified);
  marked.clear();
  // The month file is held open by another operation: every access to it is refused.
  ASSERT_TRUE(DbOpen(kDbModeRead, MonthKey(2026, 12), 1990));
  messages.Clear();
  field.Type("second");
  EXPECT_FALSE(NotesShowContext(DayNoteContext(2026, 12, 8), field));
  EXPECT_FALSE(NotesSaveField(field));
  DbClose();
  EXPECT_EQ(field.text, "second");
  EXPECT_TRUE(field.modified);
  EXPECT_TRUE(SameNoteContext(NotesWindow().context, day));
  ASSERT_FALSE(messages.Texts().empty());
  EXPECT_EQ(messages.Texts().back(), "Error detected updating notes to disk.");
  EXPECT_TRUE(marked.empty());
  // The next attempt, with the file free again, stores the text.
  ASSERT_TRUE(NotesShowContext(DayNoteContext(2026, 12, 8), field));
  EXPECT_EQ(Stored(day), "second");
}

TEST_F(NotesWindowLogic, SwitchingBetweenTwoItemsOfADayKeepsEachItsOwnNote) {
  uint16_t a = PutItem(2026, 12, 7, 600, 660, "Dentist");
  uint16_t b = PutItem(2026, 12, 7, 720, 780, "Lunch");
  ASSERT_TRUE(a && b);
  ASSERT_TRUE(NotesShowContext(ScheduleNoteContext(2026, 12, 7, a, 0), field));
  field.Type("X-rays");
  ASSERT_TRUE(NotesShowContext(ScheduleNoteContext(2026, 12, 7, b, 0), field));
  EXPECT_EQ(field.text, "");
  field.Type("Table for four");
  ASSERT_TRUE(NotesShowContext(DayNoteContext(2026, 12, 7), field));
  EXPECT_TRUE(marked.empty());  // item notes carry no day mark

  auto itemA = SchedReadItem(2026, 12, 7, a);
  auto itemB = SchedReadItem(2026, 12, 7, b);
  ASSERT_TRUE(itemA && itemB);
  EXPECT_EQ(Stored(ScheduleNoteContext(2026, 12, 7, a, itemA->record.noteId)), "X-rays");
  EXPECT_EQ(Stored(ScheduleNoteContext(2026, 12, 7, b, itemB->record.noteId)), "Table for four");
  // Arriving with the note id the item keeps loads its note.
  ASSERT_TRUE(NotesShowContext(ScheduleNoteContext(2026, 12, 7, a, itemA->record.noteId), field));
  EXPECT_EQ(field.text, "X-rays");
  NotesTitle title = NotesTitleFor(NotesWindow().context, 400, nullptr);
  EXPECT_EQ(title.first, "Schedule Notes");
  EXPECT_EQ(title.second, "Dentist");
}

TEST_F(NotesWindowLogic, TheWindowFollowsTheSelectedDateOnlyWithAGeneralNote) {
  ASSERT_TRUE(NotesFollowSelectedDate(field));  // nothing shown yet: the selected day
  EXPECT_TRUE(SameNoteContext(NotesWindow().context, DayNoteContext(2026, 12, 7)));
  field.Type("Monday");
  selected = Day(2027, 1, 1);
  ASSERT_TRUE(NotesFollowSelectedDate(field));
  EXPECT_TRUE(SameNoteContext(NotesWindow().context, DayNoteContext(2027, 1, 1)));
  EXPECT_EQ(Stored(DayNoteContext(2026, 12, 7)), "Monday");

  uint16_t item = PutItem(2027, 1, 1, 600, 660, "Brunch");
  ASSERT_TRUE(NotesShowContext(ScheduleNoteContext(2027, 1, 1, item, 0), field));
  selected = Day(2027, 1, 2);
  ASSERT_TRUE(NotesFollowSelectedDate(field));
  EXPECT_EQ(NotesWindow().context.type, kNoteSchedule);
}

TEST_F(NotesWindowLogic, TheYearViewHasNoMarkToRedraw) {
  yearView = true;
  ASSERT_TRUE(NotesShowContext(DayNoteContext(2026, 12, 7), field));
  field.Type("note");
  ASSERT_TRUE(NotesShowContext(DayNoteContext(2026, 12, 8), field));
  EXPECT_TRUE(marked.empty());
  EXPECT_EQ(Stored(DayNoteContext(2026, 12, 7)), "note");
}

TEST_F(NotesWindowLogic, ContextMessagesCarryEveryFieldAndAGeneralNoteWithoutDateMeansTheSelectedDay) {
  const NoteContext contexts[] = {
      DayNoteContext(2026, 12, 31),
      ScheduleNoteContext(9999, 12, 31, 0xFFFF, 0xFFFF),
      ScheduleNoteContext(1753, 1, 1, 1, 0),
      ToDoNoteContext(0xFFFE, 3),
      PhoneNoteContext(42, 0xFFFF),
  };
  for (const NoteContext& c : contexts) {
    NotesContextParams p = PackNoteContext(c);
    NoteContext back = UnpackNoteContext(p.first, p.second);
    EXPECT_TRUE(SameNoteContext(back, c)) << c.type;
    EXPECT_EQ(back.noteId, c.noteId) << c.type;
  }
  NoteContext selectedDay = UnpackNoteContext(kNoteDay, 0);
  EXPECT_TRUE(SameNoteContext(selectedDay, DayNoteContext(2026, 12, 7)));
  // Stray bits of a to-do or phonebook message do not make the context differ.
  NoteContext todo = UnpackNoteContext(kNoteToDo | 5u << 16 | uint64_t{9} << 32, MonthKey(2026, 1));
  EXPECT_TRUE(SameNoteContext(todo, ToDoNoteContext(9, 0)));
}

TEST_F(NotesWindowLogic, TitleLinesNameTheKindAndItsOwner) {
  SetNoteOwnerTitles({[](uint16_t slot) { return "Renew passport #" + std::to_string(slot); },
                      [](uint16_t id) { return "Smith, Ann " + std::to_string(id); }});
  auto wide = [](std::string_view) { return 10; };
  struct Case {
    NoteContext context;
    const char* first;
    std::string second;
  } cases[] = {
      {DayNoteContext(2026, 12, 7), "General Notes", FormatLongDate(12, 7, 2026)},
      {ToDoNoteContext(3, 0), "To Do Notes", "Renew passport #3"},
      {PhoneNoteContext(8, 0), "Phonebook Notes", "Smith, Ann 8"},
      {ScheduleNoteContext(2026, 12, 7, 77, 0), "Schedule Notes", ""},  // no such item
      {DayNoteContext(2026, 2, 30), "General Notes", ""},                // no such day
  };
  for (const Case& c : cases) {
    NotesTitle t = NotesTitleFor(c.context, 300, wide);
    EXPECT_EQ(t.first, c.first);
    EXPECT_EQ(t.second, c.second) << c.first;
  }
  // A long date wider than the window gives way to the short one.
  auto measure = [](std::string_view s) { return static_cast<int>(s.size()) * 7; };
  std::string longDate = FormatLongDate(12, 7, 2026), shortDate = FormatShortDate(12, 7, 2026);
  ASSERT_GT(longDate.size(), shortDate.size());
  int fits = static_cast<int>(longDate.size()) * 7;
  EXPECT_EQ(NotesTitleFor(DayNoteContext(2026, 12, 7), fits, measure).second, longDate);
  EXPECT_EQ(NotesTitleFor(DayNoteContext(2026, 12, 7), fits - 1, measure).second, shortDate);
}

TEST(NotesWindowLayout, StripEditFieldAndScrollBar) {
  NotesLayout l = LayOutNotesWindow(300, 200, 16, 17, 4);
  EXPECT_EQ(l.ruleY, 34);
  EXPECT_EQ(l.stripHeight, 42);
  EXPECT_EQ(l.edit, (Rect{0, 42, 283, 200}));
  EXPECT_EQ(l.scrollBar, (Rect{283, 42, 300, 200}));
  EXPECT_EQ(l.format, (Rect{4, 0, 283, 158}));
  // A window smaller than its strip and bar: nothing negative.
  NotesLayout tiny = LayOutNotesWindow(10, 20, 16, 17, 4);
  EXPECT_EQ(tiny.stripHeight, 20);
  EXPECT_EQ(tiny.edit, (Rect{0, 20, 0, 20}));
  EXPECT_TRUE(tiny.format.Empty());
  EXPECT_GE(tiny.format.left, 0);
}

TEST(NotesWindowLayout, ScrollBarOnlyWhileTheTextOverflows) {
  struct Case {
    int lines, first, height, lineHeight;
    bool shown;
    int visible, position;
  } cases[] = {
      {5, 0, 160, 16, false, 10, 0},    // fits
      {10, 0, 160, 16, false, 10, 0},   // exactly fits
      {11, 0, 160, 16, true, 10, 0},    // one too many, at the top
      {11, 1, 160, 16, true, 10, 100},  // scrolled to the end
      {30, 10, 165, 16, true, 10, 50},  // a partial line does not count
      {30, 40, 160, 16, true, 10, 100}, // past the end: clamped
      {3, 0, 160, 0, true, 0, 0},       // no font height yet
  };
  for (const Case& c : cases) {
    NotesScroll s = NotesScrollFor(c.lines, c.first, c.height, c.lineHeight);
    EXPECT_EQ(s.shown, c.shown) << c.lines << "/" << c.first;
    EXPECT_EQ(s.visibleLines, c.visible) << c.lines << "/" << c.first;
    EXPECT_EQ(s.position, c.position) << c.lines << "/" << c.first;
  }
}

TEST(NotesWindowLayout, TitlesAreCentredAndAWideOneStartsAtTheLeft) {
  RecordingCanvas canvas;
  int lineHeight = canvas.Metrics(FontRole::Dialog).height;
  NotesTitle title{"General Notes", std::string(200, 'W')};
  PaintNotesTitle(canvas, FontRole::Dialog, title, 300, 4, 0, 0x808080);
  auto texts = canvas.CallsOf(CallKind::Text);
  ASSERT_EQ(texts.size(), 2u);
  int firstWidth = canvas.MeasureText(FontRole::Dialog, "General Notes").cx;
  EXPECT_EQ(texts[0]->rect.left, 4 + (300 - 4 - firstWidth) / 2);
  EXPECT_EQ(texts[0]->rect.top, 1);
  EXPECT_EQ(texts[1]->rect.left, 0);
  EXPECT_EQ(texts[1]->rect.top, 1 + lineHeight);
  auto lines = canvas.CallsOf(CallKind::Line);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]->points[0], (Point{0, 2 * lineHeight + 2}));
  EXPECT_EQ(lines[0]->points[1], (Point{300, 2 * lineHeight + 2}));
}

}  // namespace
}  // namespace kv
