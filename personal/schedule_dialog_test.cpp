#include "personal/schedule_dialog.h"

#include <gtest/gtest.h>

#include "personal/personal_test_support.h"

namespace kv {
namespace {

using test::PersonalTest;

constexpr DateStamp kMar14{2025, 3, 14};

TEST(SchedDialogOpen, ANewItemTakesTheChosenTimeOrTheSummaryStartAndTheRememberedChoices) {
  SetCurrentZone(7);
  struct Case { int start, end; SchedDialogDefaults d; int wantStart, wantEnd, wantAlarm; bool alarmOn; int sound; bool month; } cases[] = {
      {-1, -1, {6, 5, false, 0}, 360, 420, 355, false, 0, false},    // the summary bar's start hour, an hour long
      {600, 690, {6, 5, true, 3}, 600, 690, 595, true, 3, true},      // a dragged range; sound 3 remembered
      {600, 600, {6, 5, false, 0}, 600, 660, 595, false, 0, false},   // a range of no length keeps the hour
      {1410, -1, {6, 15, false, 255}, 1410, 30, 1395, true, 0, false},  // wraps; an alarm without sound
      {-1, -1, {23, 300, false, 0}, 1380, 0, 1380 - 240, false, 0, false},  // midnight; a lead beyond 240 is cut
  };
  for (const Case& c : cases) {
    SchedDialogModel m = SchedDialogNew(DateStamp{2025, 3, 14, 9, 30}, c.start, c.end, c.d);
    EXPECT_TRUE(m.isNew);
    EXPECT_EQ(m.date, kMar14) << c.start;  // the time of the day given is dropped
    EXPECT_EQ(m.times.start, c.wantStart) << c.start;
    EXPECT_EQ(m.times.end, c.wantEnd) << c.start;
    EXPECT_EQ(m.times.alarm, c.wantAlarm) << c.start;
    EXPECT_EQ(m.times.alarmOn, c.alarmOn) << c.start;
    EXPECT_EQ(m.sound, c.sound) << c.start;
    EXPECT_EQ(m.monthCalendar, c.month) << c.start;
    EXPECT_EQ(m.zone, 7);
    EXPECT_EQ(m.until, kMar14);
  }
  SetCurrentZone(0);
}

TEST(SchedDialogOpen, AStoredItemShowsItsOwnTimesEndWithinTheDayAndALeadThatMakesSense) {
  SchedItem item;
  item.id = 9, item.year = 2025, item.month = 3, item.day = 14;
  item.flag = kSchedFlagItem | kSchedFlagMonthCalendar;
  item.record.start = 1380, item.record.end = 1500, item.record.alarm = -10, item.record.armed = 1;
  item.record.sound = 4, item.record.zone = 2, item.record.title = std::string(45, 'x');
  item.record.recurKind = 3, item.record.recurCount = 10;
  SchedDialogModel m = SchedDialogEdit(item, {});
  EXPECT_FALSE(m.isNew);
  EXPECT_EQ(m.times.end, 60);
  EXPECT_EQ(m.times.lead, 1390);  // armed: the stored alarm time is the user's, the day before
  EXPECT_TRUE(m.monthCalendar);
  EXPECT_EQ(m.recurKind, 3);
  EXPECT_EQ(m.recurN, 10);
  EXPECT_EQ(m.zone, 2);
  EXPECT_EQ(m.title.size(), 39u);

  // Not armed and an alarm time that is no lead (a record from elsewhere): the default lead.
  item.record.armed = 0, item.record.alarm = 1439, item.record.start = 60, item.record.sound = 200;
  item.record.recurKind = 0;
  m = SchedDialogEdit(item, SchedDialogDefaults{6, 20, false, 0});
  EXPECT_EQ(m.times.lead, 20);
  EXPECT_EQ(m.times.alarm, 40);
  EXPECT_EQ(m.sound, 0);
  EXPECT_EQ(m.recurKind, 1);
}

TEST(SchedDialogSettings, StoredHoursShowOnEitherClockAndCheckBackToThemselves) {
  struct Case { int initial, start, end; bool clock24; int shownInitial; bool pm; int shownStart, shownEnd; } cases[] = {
      {8, 6, 21, false, 8, false, 6, 9},
      {0, 0, 12, false, 12, false, 12, 12},  // midnight and noon
      {12, 11, 23, false, 12, true, 11, 11},
      {13, 6, 21, false, 1, true, 6, 9},
      {8, 6, 21, true, 8, false, 6, 21},
      {23, 0, 23, true, 23, false, 0, 23},
  };
  for (const Case& c : cases) {
    SchedSettingsShown s = SchedShowSettings(c.initial, c.start, c.end, 5, 15, c.clock24);
    EXPECT_EQ(s.initialHour, c.shownInitial) << c.initial;
    EXPECT_EQ(s.initialPm, c.pm) << c.initial;
    EXPECT_EQ(s.startHour, c.shownStart) << c.start;
    EXPECT_EQ(s.endHour, c.shownEnd) << c.end;
    SchedSettingsResult back = SchedCheckSettings(
        {c.clock24, s.initialHour, s.initialPm, s.startHour, s.endHour, s.defaultAlarm});
    ASSERT_TRUE(back.ok) << c.initial;
    EXPECT_EQ(back.initialHour, c.initial);
    EXPECT_EQ(back.startHour, c.start);
    EXPECT_EQ(back.endHour, c.end);
    EXPECT_EQ(back.alarmLead, 5);
  }
  // Damaged stored values show as something the page accepts.
  SchedSettingsShown s = SchedShowSettings(99, -3, 40, 250, 7, true);
  EXPECT_EQ(s.initialHour, 23);
  EXPECT_EQ(s.startHour, 0);
  EXPECT_EQ(s.defaultAlarm, -240);
  EXPECT_EQ(s.increment, 15);
}

TEST(SchedDialogRemember, TheLastSavedItemLeavesItsBoxAndAlarmChoice) {
  SchedDialogFields f;
  f.monthCalendar = true, f.alarmOn = true, f.sound = 6;
  EXPECT_EQ(SchedRememberedDefaults({}, f).alarmChoice, 6);
  EXPECT_TRUE(SchedRememberedDefaults({}, f).displayOnMonth);
  f.sound = 0;
  EXPECT_EQ(SchedRememberedDefaults({}, f).alarmChoice, 255);
  f.alarmOn = false;
  EXPECT_EQ(SchedRememberedDefaults({6, 5, false, 4}, f).alarmChoice, 0);
}

class SchedDialog : public PersonalTest {
 protected:
  static SchedDialogFields FieldsOf(const SchedDialogModel& m) {
    SchedDialogFields f;
    f.start = m.times.start, f.end = m.times.end, f.alarmOn = m.times.alarmOn;
    if (m.times.alarmOn) f.alarm = m.times.alarm;
    f.date = m.date, f.recurKind = m.recurKind, f.until = m.until, f.title = m.title, f.sound = m.sound;
    f.monthCalendar = m.monthCalendar;
    if (SchedKindTakesN(m.recurKind)) f.count = m.recurN;
    return f;
  }
};

TEST_F(SchedDialog, CreateEditAndMoveANotedItemToAnotherMonth) {
  SchedDialogModel m = SchedDialogNew(kMar14, 540, 600, {});
  SchedDialogFields f = FieldsOf(m);
  f.title = "Dentist";
  f.alarmOn = true, f.alarm = 520, f.sound = 2, f.monthCalendar = true;
  SchedDialogResult r = SchedDialogCommit(m, f);
  ASSERT_TRUE(r.saved);
  EXPECT_TRUE(messages.Texts().empty());
  uint16_t id = r.store.ids.at(0);
  auto stored = SchedReadItem(2025, 3, 14, id);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->record.alarm, 520);
  EXPECT_EQ(stored->record.armed, 1);
  EXPECT_EQ(stored->record.sound, 2);
  EXPECT_EQ(stored->flag, kSchedFlagItem | kSchedFlagMonthCalendar);
  EXPECT_EQ(stored->record.zone, 1);

  // Opened again from the calendar: edited in place, its id kept; no conflict with itself; the
  // alarm switched off keeps its time for later.
  auto shown = SchedFindShownItem(id, kMar14);
  ASSERT_TRUE(shown);
  m = SchedDialogEdit(*shown, {});
  f = FieldsOf(m);
  f.title = "Dentist (check-up)";
  f.end = 540;  // at the start: the next day
  f.alarmOn = false;
  f.alarm.reset();
  r = SchedDialogCommit(m, f);
  ASSERT_TRUE(r.saved);
  EXPECT_EQ(r.store.ids, std::vector<uint16_t>{id});
  stored = SchedReadItem(2025, 3, 14, id);
  EXPECT_EQ(stored->record.end, 1980);
  EXPECT_EQ(stored->record.armed, 0);
  EXPECT_EQ(stored->record.alarm, 520);
  EXPECT_EQ(stored->record.title, "Dentist (check-up)");

  // A note, then a new date in April: the note goes along under its new id.
  NoteContext ctx = ScheduleNoteContext(2025, 3, 14, id, 0);
  ASSERT_TRUE(NoteSave(ctx, "Bring the card"));
  m = SchedDialogEdit(*SchedFindShownItem(id, kMar14), {});
  f = FieldsOf(m);
  f.date = DateStamp{2025, 4, 2};
  r = SchedDialogCommit(m, f);
  ASSERT_TRUE(r.saved);
  EXPECT_FALSE(SchedReadItem(2025, 3, 14, id));
  auto moved = ListDayOf(2025, 4, 2);
  ASSERT_EQ(moved.size(), 1u);
  auto note = NoteFindSchedule(2025, 4, 2, moved[0].noteId);
  ASSERT_TRUE(note);
  EXPECT_EQ(note->text, "Bring the card");
  EXPECT_EQ(m.stored.month, 4);  // the dialog now holds the item where it lives
}

TEST_F(SchedDialog, ARefusedEntryKeepsTheDialogAndStoresNothing) {
  PutItem(2025, 3, 14, 600, 660, "Taken");
  SchedDialogModel m = SchedDialogNew(kMar14, 630, 700, {});
  SchedDialogFields f = FieldsOf(m);
  f.title = "";
  SchedDialogResult r = SchedDialogCommit(m, f);
  EXPECT_FALSE(r.saved);
  EXPECT_EQ(r.validation.focus, SchedField::Title);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"The entry requires a title/description."});

  messages.Clear();
  f.title = "Overlapping";
  r = SchedDialogCommit(m, f);
  EXPECT_TRUE(r.validation.ok);
  EXPECT_FALSE(r.saved);
  ASSERT_EQ(messages.Texts().size(), 1u);
  EXPECT_EQ(messages.Texts()[0],
            "Conflict encountered during scheduling with the following event:\n\nFriday, March 14, 2025\nTaken\n\n"
            "Cannot store this entry.");
  EXPECT_EQ(messages.Shown()[0].caption, "Schedule Event");
  EXPECT_TRUE(m.isNew);
  EXPECT_EQ(ListDayOf(2025, 3, 14).size(), 1u);
}

TEST_F(SchedDialog, AWeeklySeriesWithConflictsThenRemovedFromTheDialog) {
  PutItem(2025, 3, 12, 540, 600, "Busy 1");
  PutItem(2025, 4, 2, 570, 630, "Busy 2");
  PutItem(2025, 5, 7, 500, 541, "Busy 3");
  const DateStamp first{2025, 3, 5};
  std::vector<int> kinds = SchedRecurKinds(first);
  ASSERT_GE(kinds.size(), 2u);
  EXPECT_EQ(kinds[0], 1);
  EXPECT_EQ(kinds[1], 2);
  EXPECT_EQ(SchedRecurLabels(first, 0)[1], "Weekly: Every Wednesday");

  SchedDialogModel m = SchedDialogNew(first, 540, 600, {});
  SchedDialogFields f = FieldsOf(m);
  f.title = "Team", f.recurKind = 2, f.until = DateStamp{2025, 5, 7};
  SchedDialogResult r = SchedDialogCommit(m, f);
  ASSERT_TRUE(r.saved);
  EXPECT_EQ(r.store.stored, 7);
  const uint32_t series = r.store.seriesId;
  auto texts = messages.Texts();
  ASSERT_EQ(texts.size(), 5u);
  EXPECT_EQ(texts[0], "Ready to schedule 10 event occurrences.  Proceed?");
  EXPECT_EQ(texts[4],
            "3 conflict(s) were found scheduling 10 events.\r\nSelect OK to schedule the 7 event(s) without conflicts.");

  // Opened from its 19 March occurrence; a bad until date is refused before anything is asked.
  uint16_t id19 = SchedFindInSeries({2025, 3, 19}, series);
  ASSERT_NE(id19, 0);
  m = SchedDialogEdit(*SchedFindShownItem(id19, DateStamp{2025, 3, 19}), {});
  EXPECT_EQ(m.recurKind, 2);
  f = FieldsOf(m);
  f.until.reset();
  messages.Clear();
  r = SchedDialogRemove(m, f);
  EXPECT_FALSE(r.saved);
  EXPECT_EQ(r.validation.focus, SchedField::Until);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Bad value entered at cursor position, please correct."});

  // From 19 March through 23 April: the 5 March occurrence stays.
  messages.Clear();
  f.until = DateStamp{2025, 4, 23};
  r = SchedDialogRemove(m, f);
  ASSERT_TRUE(r.saved);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Delete item(s) from schedule?"});
  int team = 0;
  for (const SchedListEntry& e : SchedListRange(3, 5, 2025, 1, 31, 1)) team += e.title == "Team";
  EXPECT_EQ(team, 2);  // 5 March and 30 April

  // Cancelling the question removes nothing.
  messages.Clear();
  messages.Answer(MsgAnswer::Cancel);
  m = SchedDialogEdit(*SchedFindShownItem(SchedFindInSeries({2025, 3, 5}, series), first), {});
  EXPECT_FALSE(SchedDialogRemove(m, FieldsOf(m)).saved);
  EXPECT_EQ(SchedListRange(3, 5, 2025, 1, 31, 1).size(), 5u);
}

TEST_F(SchedDialog, AnItemShownOnANeighbouringDayIsFoundWhereItIsStored) {
  // Entered at 01:00 in a zone two hours ahead: listed at 23:00 the day before.
  uint16_t id = PutItem(2025, 3, 1, 60, 120, "Call", 2);
  auto listed = SchedListRange(2, 2, 2025, 28, 28, 1);
  ASSERT_EQ(listed.size(), 1u);
  auto found = SchedFindShownItem(id, DateStamp{2025, 2, 28});
  ASSERT_TRUE(found);
  EXPECT_EQ(found->month, 3);
  EXPECT_EQ(found->day, 1);
  EXPECT_FALSE(SchedFindShownItem(id + 1, DateStamp{2025, 2, 28}));
  EXPECT_FALSE(SchedFindShownItem(id, DateStamp{2025, 2, 30}));
  EXPECT_FALSE(SchedFindShownItem(0, kMar14));
}

}  // namespace
}  // namespace kv
