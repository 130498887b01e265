#include "personal/schedule.h"

#include <gtest/gtest.h>

#include "personal/personal_test_support.h"
#include "personal/schedule_dialog_rules.h"

namespace kv {
namespace {

using test::PersonalTest;

constexpr uint32_t kMar2025 = (2025u << 16) | 3;

MinuteKey Key(int y, int m, int d, int h, int min) { return MakeMinuteKey(y, m, d, h, min); }

TEST(SchedRecordBytes, RoundTripsAByteImageAndRefusesOtherRecords) {
  std::vector<uint8_t> image(64, 0);
  const uint8_t head[] = {64, 0, 4, 0, 0x1C, 0x02, 0x58, 0x02, 0xF1, 0xFF, 3, 1, 7, 0, 0x34, 0x12, 3, 9, 0x78, 0x56, 0x34, 0x12};
  std::copy(std::begin(head), std::end(head), image.begin());
  std::string title = "Dentist";
  std::copy(title.begin(), title.end(), image.begin() + 22);
  image[62] = 36;
  image[63] = 5;
  auto rec = ParseSchedRecord(image);
  ASSERT_TRUE(rec);
  EXPECT_EQ(rec->start, 540);
  EXPECT_EQ(rec->end, 600);
  EXPECT_EQ(rec->alarm, -15);
  EXPECT_EQ(rec->sound, 3);
  EXPECT_EQ(rec->armed, 1);
  EXPECT_EQ(rec->noteId, 7);
  EXPECT_EQ(rec->reserved14, 0x1234);
  EXPECT_EQ(rec->recurKind, 3);
  EXPECT_EQ(rec->recurCount, 9);
  EXPECT_EQ(rec->seriesId, 0x12345678u);
  EXPECT_EQ(rec->title, "Dentist");
  EXPECT_EQ(rec->zone, 36);
  EXPECT_EQ(rec->reserved63, 5);
  EXPECT_EQ(SerializeSchedRecord(*rec), image);

  // A title filling its field without a zero keeps 39 characters and is written with its zero.
  std::fill(image.begin() + 22, image.begin() + 62, 'x');
  rec = ParseSchedRecord(image);
  ASSERT_TRUE(rec);
  EXPECT_EQ(rec->title.size(), 39u);
  EXPECT_EQ(SerializeSchedRecord(*rec)[61], 0);

  std::vector<uint8_t> wrongType = image, wrongLength = image, shortImage(image.begin(), image.begin() + 62);
  wrongType[2] = 2;
  wrongLength[0] = 62;
  EXPECT_FALSE(ParseSchedRecord(wrongType));
  EXPECT_FALSE(ParseSchedRecord(wrongLength));
  EXPECT_FALSE(ParseSchedRecord(shortImage));
}

TEST(SchedSeriesId, IsTheMonthKeyWithTheFirstIdInBitsFourToFifteen) {
  EXPECT_EQ(MakeSeriesId(1, kMar2025), (2025u << 16) | 0x10 | 3);
  EXPECT_EQ(MakeSeriesId(0x123, (2025u << 16) | 12), (2025u << 16) | 0x1230 | 12);
  EXPECT_EQ(MakeSeriesId(0xFFFF, kMar2025), (2025u << 16) | 0xFFF0 | 3);  // the id's top bits are lost
}

TEST(SchedSeriesDates, FollowTheRuleKindsWithTheScheduleDetails) {
  struct Case {
    int kind, n;
    DateStamp first, until;
    std::vector<int> days;  // day numbers relative to nothing: listed as month*100+day
  } cases[] = {
      {2, 0, {2025, 3, 5}, {2025, 4, 2}, {305, 312, 319, 326, 402}},            // weekly Wednesday
      {3, 10, {2025, 1, 25}, {2025, 3, 1}, {125, 204, 214, 224}},               // every 10 days
      {4, 0, {2025, 1, 31}, {2025, 5, 31}, {131, 331, 531}},                    // the 31st only
      {5, 0, {2025, 3, 10}, {2025, 6, 30}, {310, 414, 512, 609}},               // 2nd Monday
      {25, 0, {2025, 3, 31}, {2025, 5, 31}, {331, 428, 526}},                    // last Monday
      {13, 2, {2025, 1, 15}, {2025, 7, 31}, {115, 315, 515, 715}},               // every 2 months
      {11, 0, {2025, 2, 27}, {2025, 3, 2}, {227, 228, 301, 302}},                // every day
  };
  for (const Case& c : cases) {
    std::vector<int> got;
    for (const SchedRequest& r : SchedOccurrences(c.kind, c.n, c.first, c.until)) got.push_back(r.month * 100 + r.day);
    EXPECT_EQ(got, c.days) << "kind " << c.kind;
  }
  // The 7th of a month's week: kind 7 every year on the 2nd Monday of March.
  auto annual = SchedOccurrences(7, 0, {2025, 3, 10}, {2027, 12, 31});
  ASSERT_EQ(annual.size(), 3u);
  EXPECT_EQ(annual[1].year * 10000 + annual[1].month * 100 + annual[1].day, 20260309);
  EXPECT_TRUE(SchedOccurrences(2, 0, {2025, 3, 5}, {2025, 3, 4}).empty());
}

class Schedule : public PersonalTest {};

TEST_F(Schedule, AnItemEndingAfterMidnightStoresFifteenHundredAndConflictsFromElevenOn) {
  SchedDialogInput in;
  in.start = 23 * 60;
  in.end = 60;
  in.date = DateStamp{2025, 3, 14};
  in.title = "Night shift";
  SchedValidation v = SchedValidate(in);
  ASSERT_TRUE(v.ok);
  EXPECT_EQ(v.end, 1500);

  SchedSaveRequest req = NewItem(2025, 3, 14, 23 * 60, v.end, "Night shift");
  ASSERT_TRUE(SchedSave(req).ok);
  auto list = ListDayOf(2025, 3, 14);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].end, Key(2025, 3, 15, 1, 0));

  struct Probe {
    int start, end;
    bool conflict;
  } probes[] = {{22 * 60, 23 * 60, false}, {23 * 60 + 30, 23 * 60 + 45, true}, {22 * 60, 23 * 60 + 1, true}};
  for (const Probe& p : probes) {
    SchedItem item = NewItem(2025, 3, 14, p.start, p.end, "Probe").item;
    EXPECT_EQ(SchedCheckConflict("Schedule Event", item, {2025, 3, 14}, false),
              p.conflict ? kSchedCancel : kSchedNoConflict)
        << p.start;
  }
  // The next morning: the night item reaches into it until 01:00.
  messages.Clear();
  SchedItem early = NewItem(2025, 3, 15, 0, 30, "Early").item;
  EXPECT_EQ(SchedCheckConflict("Schedule Event", early, {2025, 3, 15}, false), kSchedCancel);
  ASSERT_EQ(messages.Texts().size(), 1u);
  EXPECT_NE(messages.Texts()[0].find("Saturday, March 15, 2025\nNight shift"), std::string::npos);
  SchedItem later = NewItem(2025, 3, 15, 60, 120, "Later").item;
  EXPECT_EQ(SchedCheckConflict("Schedule Event", later, {2025, 3, 15}, false), kSchedNoConflict);
}

TEST_F(Schedule, OverlapRuleTouchingSelfAndEmptyIntervals) {
  uint16_t id = PutItem(2025, 3, 14, 600, 660, "Standup");
  PutItem(2025, 3, 14, 900, 900, "Reminder");  // no duration: overlaps nothing
  struct Case {
    int start, end;
    uint16_t selfId;
    int expected;
  } cases[] = {
      {660, 720, 0, kSchedNoConflict},   // touching after
      {540, 600, 0, kSchedNoConflict},   // touching before
      {630, 700, 0, kSchedCancel},       // overlapping
      {600, 660, id, kSchedNoConflict},  // editing the item itself
      {850, 950, 0, kSchedNoConflict},   // around the empty item
      {700, 700, 0, kSchedNoConflict},   // an empty new item
  };
  for (const Case& c : cases) {
    SchedItem item = NewItem(2025, 3, 14, c.start, c.end, "New").item;
    item.id = c.selfId;
    EXPECT_EQ(SchedCheckConflict("Schedule Event", item, {2025, 3, 14}, false), c.expected) << c.start;
  }
  // The conflicting case told the user and named the other item.
  auto texts = messages.Texts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0], "Conflict encountered during scheduling with the following event:\n\nFriday, March 14, 2025\nStandup\n\n"
                      "Cannot store this entry.");
  EXPECT_EQ(messages.Shown()[0].caption, "Schedule Event");
  // A day whose month has no file has no conflicts.
  EXPECT_EQ(SchedCheckConflict("x", NewItem(2031, 1, 1, 0, 60, "a").item, {2031, 1, 1}, false), kSchedNoConflict);
}

TEST_F(Schedule, ConflictsAreJudgedInTheCurrentZone) {
  // 01:00 to 02:00 on the 15th two hours ahead is 23:00 to 24:00 on the 14th here.
  PutItem(2025, 3, 15, 60, 120, "Athens call", 2);
  struct Case {
    int day, start, end, zone, expected;
  } cases[] = {
      {14, 23 * 60 + 30, 23 * 60 + 45, 1, kSchedCancel},
      {14, 22 * 60, 23 * 60, 1, kSchedNoConflict},
      {15, 60, 90, 1, kSchedNoConflict},       // 01:00 here is past the call
      {15, 90, 100, 2, kSchedCancel},          // entered in the call's own zone
      {14, 18 * 60 + 30, 19 * 60, 3, kSchedCancel},  // five hours behind: 23:30 to 24:00 here
  };
  for (const Case& c : cases) {
    SchedItem item = NewItem(2025, 3, c.day, c.start, c.end, "New").item;
    item.record.zone = static_cast<uint8_t>(c.zone);
    EXPECT_EQ(SchedCheckConflict("x", item, {2025, 3, c.day}, false), c.expected) << c.day << " " << c.start;
  }
}

TEST_F(Schedule, AConflictingSingleItemIsNotStoredAndAnEditInPlaceKeepsItsId) {
  uint16_t id = PutItem(2025, 3, 14, 600, 660, "Standup");
  SchedSaveRequest clash = NewItem(2025, 3, 14, 630, 700, "Clash");
  SchedSaveResult r = SchedSave(clash);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(ListDayOf(2025, 3, 14).size(), 1u);

  messages.Clear();
  SchedSaveRequest edit = NewItem(2025, 3, 14, 600, 660, "Standup (moved room)");
  edit.item.action = kSchedActionUpdate;
  edit.item.id = id;
  r = SchedSave(edit);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.ids, std::vector<uint16_t>{id});
  EXPECT_TRUE(messages.Texts().empty());
  auto list = ListDayOf(2025, 3, 14);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].title, "Standup (moved room)");
}

TEST_F(Schedule, AWeeklySeriesWithThreeConflictsStoresSevenUnderOneSeriesId) {
  // Wednesdays from 5 March 2025 for ten weeks; three of them are taken.
  PutItem(2025, 3, 12, 540, 600, "Busy 1");
  PutItem(2025, 4, 2, 570, 630, "Busy 2");
  PutItem(2025, 5, 7, 500, 541, "Busy 3");
  SchedSaveRequest req = NewItem(2025, 3, 5, 540, 600, "Team");
  req.item.record.recurKind = 2;
  req.until = {2025, 5, 7};
  SchedSaveResult r = SchedSave(req);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.conflicts, 3);
  EXPECT_EQ(r.stored, 7);
  ASSERT_EQ(r.ids.size(), 7u);
  EXPECT_EQ(r.seriesId, MakeSeriesId(r.ids[0], kMar2025));
  auto texts = messages.Texts();
  ASSERT_EQ(texts.size(), 5u);
  EXPECT_EQ(texts[0], "Ready to schedule 10 event occurrences.  Proceed?");
  EXPECT_NE(texts[1].find("Continue scheduling?"), std::string::npos);
  EXPECT_EQ(texts[4],
            "3 conflict(s) were found scheduling 10 events.\r\nSelect OK to schedule the 7 event(s) without conflicts.");

  auto all = SchedListRange(3, 5, 2025, 1, 31, 1);
  int team = 0;
  for (const SchedListEntry& e : all) {
    if (e.title != "Team") continue;
    ++team;
    auto item = SchedReadItem(2025, e.month & 0x7F, e.day, e.id);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->record.seriesId, r.seriesId);
    EXPECT_EQ(item->record.recurKind, 2);
  }
  EXPECT_EQ(team, 7);

  // Updating the series from its first date rewrites every occurrence in place (no conflicts
  // with itself) and stores the three free dates... which are still taken: conflicts again.
  messages.Clear();
  messages.Answer(MsgAnswer::Ok);      // ready
  messages.Answer(MsgAnswer::Cancel);  // the first conflict: stop everything
  SchedSaveRequest upd = req;
  upd.item.action = kSchedActionUpdate;
  upd.item.record.title = "Team sync";
  EXPECT_FALSE(SchedSave(upd).ok);
  EXPECT_EQ(messages.Texts()[0], "Ready to update and/or schedule 10 event occurrences.  Proceed?");
  EXPECT_EQ(SchedListRange(3, 5, 2025, 1, 31, 1).size(), 10u);

  // Deleting by series id from the dialog's date on.
  messages.Clear();
  SchedSaveRequest del = req;
  EXPECT_TRUE(SchedRemove(del).ok);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Delete item(s) from schedule?"});
  EXPECT_EQ(SchedListRange(3, 5, 2025, 1, 31, 1).size(), 3u);
}

TEST_F(Schedule, ASingleItemMadeIntoASeriesBecomesItsFirstOccurrence) {
  SchedSaveRequest req = NewItem(2025, 3, 5, 540, 600, "Yoga");
  ASSERT_TRUE(SchedSave(req).ok);
  uint16_t id = req.item.id;
  messages.Clear();
  req.item.action = kSchedActionUpdate;
  req.item.record.recurKind = 2;
  req.until = {2025, 3, 19};
  SchedSaveResult r = SchedSave(req);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.conflicts, 0);
  ASSERT_EQ(r.ids.size(), 3u);
  EXPECT_EQ(r.ids[0], id);
  EXPECT_EQ(r.seriesId, MakeSeriesId(id, kMar2025));
  EXPECT_EQ(SchedListRange(3, 3, 2025, 1, 31, 1).size(), 3u);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Ready to update and/or schedule 3 event occurrences.  Proceed?"});
}

TEST_F(Schedule, UpdatingASeriesKeepsEachOccurrencesOwnNote) {
  SchedSaveRequest req = NewItem(2025, 3, 5, 540, 600, "Class");
  req.item.record.recurKind = 2;
  req.until = {2025, 3, 19};
  SchedSaveResult r = SchedSave(req);
  ASSERT_EQ(r.ids.size(), 3u);
  NoteContext second = ScheduleNoteContext(2025, 3, 12, r.ids[1], 0);
  ASSERT_TRUE(NoteSave(second, "Homework due"));
  // The dialog edits the first occurrence, which has no note, and updates the series.
  SchedSaveRequest upd = req;
  upd.item = *SchedReadItem(2025, 3, 5, r.ids[0]);
  upd.item.action = kSchedActionUpdate;
  upd.item.record.title = "Class (room 4)";
  ASSERT_TRUE(SchedSave(upd).ok);
  auto after = SchedReadItem(2025, 3, 12, r.ids[1]);
  ASSERT_TRUE(after);
  EXPECT_EQ(after->record.title, "Class (room 4)");
  EXPECT_EQ(after->record.noteId, second.noteId);
  EXPECT_EQ(SchedReadItem(2025, 3, 19, r.ids[2])->record.noteId, 0);
}

TEST_F(Schedule, CancellingTheQuestionsStoresNothing) {
  PutItem(2025, 3, 12, 540, 600, "Busy");
  SchedSaveRequest req = NewItem(2025, 3, 5, 540, 600, "Team");
  req.item.record.recurKind = 2;
  req.until = {2025, 3, 19};
  for (int cancelAt = 0; cancelAt < 3; ++cancelAt) {
    messages.Clear();
    for (int i = 0; i < 3; ++i) messages.Answer(i == cancelAt ? MsgAnswer::Cancel : MsgAnswer::Ok);
    EXPECT_FALSE(SchedSave(req).ok) << cancelAt;
    EXPECT_EQ(SchedListRange(3, 3, 2025, 1, 31, 1).size(), 1u) << cancelAt;
  }
}

TEST_F(Schedule, ItemsOfAnotherZoneMoveAcrossMidnightMonthAndYearEnds) {
  // Two hours ahead: 01:00 there is 23:00 of the day before here; end and alarm move alike.
  PutItem(2025, 3, 1, 60, 120, "Call Athens", 2, kSchedFlagItem, 45, 1, 4);
  PutItem(2025, 1, 1, 30, 90, "New year call", 2);
  // Five hours behind: 21:00 there is 02:00 of the next day here.
  PutItem(2024, 12, 31, 21 * 60, 22 * 60, "Late", 3);

  auto feb = SchedListRange(2, 3, 2025, 28, 1, 1);
  ASSERT_EQ(feb.size(), 1u);
  EXPECT_EQ(feb[0].start, Key(2025, 2, 28, 23, 0));
  EXPECT_EQ(feb[0].end, Key(2025, 3, 1, 0, 0));
  EXPECT_EQ(feb[0].alarm, 23 * 60 - 15);
  EXPECT_EQ(feb[0].alarmByte, 4);
  EXPECT_EQ(feb[0].month, 3);  // where the record lives
  EXPECT_EQ(feb[0].day, 1);
  EXPECT_TRUE(SchedListRange(3, 3, 2025, 1, 1, 1).empty());  // no longer on the 1st here
  // Listing the 28th alone finds it too, although its record lies on the 1st of the next month.
  auto onlyFeb = SchedListRange(2, 2, 2025, 28, 28, 1);
  ASSERT_EQ(onlyFeb.size(), 1u);
  EXPECT_EQ(onlyFeb[0].start, Key(2025, 2, 28, 23, 0));

  auto turn = SchedListRange(12, 1, 2024, 31, 1, 1);  // across the year end
  ASSERT_EQ(turn.size(), 2u);
  EXPECT_EQ(turn[0].start, Key(2024, 12, 31, 22, 30));
  EXPECT_EQ(turn[0].title, "New year call");
  EXPECT_EQ(turn[1].start, Key(2025, 1, 1, 2, 0));
  EXPECT_EQ(turn[1].title, "Late");
}

TEST_F(Schedule, ListingMasksSortingAndAContainerLeftOpen) {
  PutItem(2025, 3, 10, 600, 660, "Later", 1, kSchedFlagItem);
  PutItem(2025, 3, 10, 480, 540, "Earlier", 1, kSchedFlagItem | kSchedFlagMonthCalendar);
  PutItem(2025, 3, 9, 900, 960, "Sunday", 1, kSchedFlagItem | kSchedFlagMonthCalendar);
  auto all = SchedListRange(3, 3, 2025, 1, 31, 1);
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].title, "Sunday");
  EXPECT_EQ(all[1].title, "Earlier");
  EXPECT_EQ(all[1].month, 3 | kSchedListMonthCalendar);
  EXPECT_EQ(all[2].title, "Later");
  EXPECT_EQ(all[2].month, 3);
  EXPECT_EQ(SchedListRange(3, 3, 2025, 1, 31, 2).size(), 2u);
  EXPECT_EQ(SchedListRange(3, 3, 2025, 10, 10, 1).size(), 2u);
  EXPECT_TRUE(SchedListRange(4, 4, 2025, 1, 30, 1).empty());
  EXPECT_TRUE(SchedListRange(13, 4, 2025, 1, 30, 1).empty());

  // A container someone holds open is closed for the listing and reopened the same way.
  ASSERT_TRUE(DbOpen(kDbModeWrite, MonthKey(2025, 3), 1990));
  EXPECT_EQ(SchedListRange(3, 3, 2025, 1, 31, 1).size(), 3u);
  EXPECT_TRUE(DbIsOpen());
  DbClose();
  EXPECT_TRUE(messages.Texts().empty());
}

TEST_F(Schedule, TheDayListOfTheFirstHoldsTheLastDayOfThePreviousMonth) {
  PutItem(2025, 2, 28, 23 * 60, 1500, "Overnight");
  PutItem(2025, 2, 28, 600, 660, "Yesterday");
  PutItem(2025, 3, 1, 480, 540, "Today");
  PutItem(2025, 3, 2, 60, 120, "Tomorrow");
  PutItem(2025, 3, 2, 30, 60, "Early elsewhere", 2);  // 22:30 on the 1st here
  SchedLoadDay(1, kMar2025, 0);
  const SchedDayList& d = SchedDay();
  ASSERT_EQ(d.items.size(), 5u);
  EXPECT_EQ(d.items[0].record.title, "Yesterday");
  EXPECT_EQ(d.items[0].record.start, 600 - 1440);
  EXPECT_EQ(d.items[1].record.title, "Overnight");
  EXPECT_EQ(d.items[1].record.start, -60);
  EXPECT_EQ(d.items[1].record.end, 60);
  EXPECT_EQ(d.items[2].record.title, "Today");
  EXPECT_EQ(d.items[3].record.title, "Early elsewhere");
  EXPECT_EQ(d.items[3].record.start, 22 * 60 + 30);
  EXPECT_EQ(d.items[4].record.start, 1440 + 60);
  EXPECT_EQ(d.before, 2);
  EXPECT_EQ(d.within, 2);
  EXPECT_EQ(d.year, 2025);
  EXPECT_EQ(d.items[3].month, 3);
  EXPECT_EQ(d.items[3].day, 2);

  // Selecting by id; loading the same day again does nothing, reloading does.
  uint16_t id = PutItem(2025, 3, 1, 700, 720, "Added");
  SchedLoadDay(1, kMar2025, id);
  EXPECT_EQ(SchedDay().items.size(), 5u);
  EXPECT_EQ(SchedDay().selected, -1);
  SchedLoadDay(1, kMar2025, id, true);
  ASSERT_EQ(SchedDay().items.size(), 6u);
  ASSERT_GE(SchedDay().selected, 0);
  EXPECT_EQ(SchedDay().items[static_cast<size_t>(SchedDay().selected)].id, id);
}

TEST_F(Schedule, MovingANotedItemToAnotherMonthMovesItsNote) {
  SchedSaveRequest req = NewItem(2025, 3, 14, 600, 660, "Review");
  ASSERT_TRUE(SchedSave(req).ok);
  uint16_t oldId = req.item.id;
  // Some other note in April so that the moved note's id cannot be taken for granted.
  NoteContext other = DayNoteContext(2025, 4, 2);
  ASSERT_TRUE(NoteSave(other, "April day note"));
  NoteContext ctx = ScheduleNoteContext(2025, 3, 14, oldId, 0);
  ASSERT_TRUE(NoteSave(ctx, "Bring the slides"));
  ASSERT_NE(ctx.noteId, 0);

  SchedSaveRequest move = req;
  move.item = *SchedReadItem(2025, 3, 14, oldId);
  move.item.action = kSchedActionNew;
  move.item.id = 0;
  move.oldYear = 2025, move.oldMonth = 3, move.oldDay = 14, move.oldId = oldId;
  move.item.month = 4, move.item.day = 3;
  ASSERT_TRUE(SchedSave(move).ok);

  EXPECT_TRUE(ListDayOf(2025, 3, 14).empty());
  EXPECT_FALSE(NoteFindSchedule(2025, 3, 14, ctx.noteId));
  auto moved = ListDayOf(2025, 4, 3);
  ASSERT_EQ(moved.size(), 1u);
  ASSERT_NE(moved[0].noteId, 0);
  auto note = NoteFindSchedule(2025, 4, 3, moved[0].noteId);
  ASSERT_TRUE(note);
  EXPECT_EQ(note->text, "Bring the slides");
  EXPECT_EQ(NoteFindDay(2025, 4, 2)->text, "April day note");
}

TEST_F(Schedule, DeletingAnItemTakesItsNoteAlong) {
  SchedSaveRequest req = NewItem(2025, 3, 14, 600, 660, "Review");
  ASSERT_TRUE(SchedSave(req).ok);
  NoteContext ctx = ScheduleNoteContext(2025, 3, 14, req.item.id, 0);
  ASSERT_TRUE(NoteSave(ctx, "text"));
  req.item.action = kSchedActionDelete;
  ASSERT_TRUE(SchedSave(req).ok);
  EXPECT_FALSE(NoteFindSchedule(2025, 3, 14, ctx.noteId));
}

TEST_F(Schedule, ADamagedMonthIsListedUpToItsDamageAndNeverWritten) {
  PutItem(2025, 3, 14, 600, 660, "Kept");
  std::string path = MonthFilePath(kMar2025);
  std::vector<uint8_t> bytes = test::ReadAll(path);
  ASSERT_GE(bytes.size(), 1600u);
  PutU16LE(bytes.data() + 10, 9999);  // slots in use beyond the capacity
  test::WriteAll(path, bytes);
  filesMustVerify = false;

  EXPECT_NO_FATAL_FAILURE(SchedListRange(3, 3, 2025, 1, 31, 1));
  SchedLoadDay(14, kMar2025);
  messages.Clear();
  SchedSaveRequest req = NewItem(2025, 3, 20, 600, 660, "New");
  EXPECT_FALSE(SchedSave(req).ok);
  auto texts = messages.Texts();
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back(), "Error detected updating schedule to disk.");
  EXPECT_EQ(test::ReadAll(path), bytes);
}

TEST_F(Schedule, ExtremeStoredValuesAndBadDatesNeverCrash) {
  // Records whose times are far outside a day, in another zone, at a month's and the calendar's ends.
  PutItem(2025, 3, 31, 32767, -32768, "Wild", 2, kSchedFlagItem, -32768, 1, 200);
  PutItem(2025, 3, 31, -32768, 32767, "Wilder", 1, kSchedFlagItem, 32767, 1, 9);
  PutItem(9999, 12, 31, 1439, 3000, "Last day", 3);
  EXPECT_NO_FATAL_FAILURE(SchedListRange(1, 12, 2025, 1, 31, 1));
  EXPECT_NO_FATAL_FAILURE(SchedListRange(12, 12, 9999, 1, 31, 1));
  EXPECT_NO_FATAL_FAILURE(SchedListRange(12, 1, 9999, 1, 31, 1));
  SchedLoadDay(31, kMar2025);
  EXPECT_EQ(SchedDay().items.size(), 2u);
  SchedLoadDay(0, kMar2025);
  EXPECT_TRUE(SchedDay().items.empty());
  SchedLoadDay(1, (2025u << 16) | 13);
  EXPECT_TRUE(SchedDay().items.empty());
  SchedItem probe = NewItem(2025, 3, 31, 0, 1439, "Probe").item;
  EXPECT_NO_FATAL_FAILURE(SchedCheckConflict("x", probe, {2025, 3, 31}, false));
  EXPECT_EQ(SchedCheckConflict("x", probe, {2025, 2, 30}, false), kSchedNoConflict);
  EXPECT_FALSE(SchedReadItem(2025, 3, 31, 0));
  EXPECT_FALSE(SchedReadItem(2025, 3, 32, 1));
  // A descriptor with an impossible date is refused with the write message, nothing stored.
  messages.Clear();
  SchedSaveRequest bad = NewItem(2025, 2, 30, 600, 660, "Nowhere");
  EXPECT_FALSE(SchedSave(bad).ok);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Error detected updating schedule to disk."});
}

}  // namespace
}  // namespace kv
