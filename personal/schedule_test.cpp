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
  EXPECT_EQ(rec->recurKind, 3);
  EXPECT_EQ(rec->recurCount, 9);
  EXPECT_EQ(rec->seriesId, 0x12345678u);
  EXPECT_EQ(rec->title, "Dentist");
  EXPECT_EQ(rec->zone, 36);
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
  for (const auto& bad : {wrongType, wrongLength, shortImage}) EXPECT_FALSE(ParseSchedRecord(bad));
}

TEST(SchedSeriesDates, FollowTheRuleKindsWithTheScheduleDetails) {
  struct Case { int kind, n; DateStamp first, until; std::vector<int> days; } cases[] = {  // days: month*100+day
      {2, 0, {2025, 3, 5}, {2025, 4, 2}, {305, 312, 319, 326, 402}},  // weekly Wednesday
      {3, 10, {2025, 1, 25}, {2025, 3, 1}, {125, 204, 214, 224}},     // every 10 days
      {4, 0, {2025, 1, 31}, {2025, 5, 31}, {131, 331, 531}},          // the 31st only
      {5, 0, {2025, 3, 10}, {2025, 6, 30}, {310, 414, 512, 609}},     // 2nd Monday
      {25, 0, {2025, 3, 31}, {2025, 5, 31}, {331, 428, 526}},         // last Monday
      {13, 2, {2025, 1, 15}, {2025, 7, 31}, {115, 315, 515, 715}},    // every 2 months
      {11, 0, {2025, 2, 27}, {2025, 3, 2}, {227, 228, 301, 302}},     // every day
      {2, 0, {2025, 3, 5}, {2025, 3, 4}, {}},                         // until before the first
  };
  for (const Case& c : cases) {
    std::vector<int> got;
    for (const SchedRequest& r : SchedOccurrences(c.kind, c.n, c.first, c.until)) got.push_back(r.month * 100 + r.day);
    EXPECT_EQ(got, c.days) << "kind " << c.kind;
  }
  // Kind 7: every year on the 2nd Monday of March.
  auto annual = SchedOccurrences(7, 0, {2025, 3, 10}, {2027, 12, 31});
  ASSERT_EQ(annual.size(), 3u);
  EXPECT_EQ(annual[1].year * 10000 + annual[1].month * 100 + annual[1].day, 20260309);
}

class Schedule : public PersonalTest {
 protected:
  int Conflict(int y, int m, int d, int start, int end, int zone = 1, uint16_t selfId = 0) {
    SchedItem item = NewItem(y, m, d, start, end, "New").item;
    item.record.zone = static_cast<uint8_t>(zone);
    item.id = selfId;
    return SchedCheckConflict("Schedule Event", item, {y, static_cast<uint16_t>(m), static_cast<uint16_t>(d)}, false);
  }
  static SchedSaveResult Save(SchedSaveRequest req) { return SchedSave(req); }
  static SchedSaveRequest Weekly(int day, int untilMonth, int untilDay, const std::string& title) {
    SchedSaveRequest req = NewItem(2025, 3, day, 540, 600, title);
    req.item.record.recurKind = 2;
    req.until = {2025, static_cast<uint16_t>(untilMonth), static_cast<uint16_t>(untilDay)};
    return req;
  }
};

TEST_F(Schedule, AnItemEndingAfterMidnightStoresFifteenHundredAndConflictsFromElevenOn) {
  SchedDialogInput in;
  in.start = 23 * 60, in.end = 60, in.date = DateStamp{2025, 3, 14}, in.title = "Night shift";
  SchedValidation v = SchedValidate(in);
  ASSERT_TRUE(v.ok);
  EXPECT_EQ(v.end, 1500);
  ASSERT_TRUE(Save(NewItem(2025, 3, 14, 23 * 60, v.end, "Night shift")).ok);
  auto list = ListDayOf(2025, 3, 14);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].end, Key(2025, 3, 15, 1, 0));

  EXPECT_EQ(Conflict(2025, 3, 14, 22 * 60, 23 * 60), kSchedNoConflict);
  EXPECT_EQ(Conflict(2025, 3, 14, 23 * 60 + 30, 23 * 60 + 45), kSchedCancel);
  EXPECT_EQ(Conflict(2025, 3, 14, 22 * 60, 23 * 60 + 1), kSchedCancel);
  // The next morning: the night item reaches into it until 01:00.
  messages.Clear();
  EXPECT_EQ(Conflict(2025, 3, 15, 0, 30), kSchedCancel);
  ASSERT_EQ(messages.Texts().size(), 1u);
  EXPECT_NE(messages.Texts()[0].find("Saturday, March 15, 2025\nNight shift"), std::string::npos);
  EXPECT_EQ(Conflict(2025, 3, 15, 60, 120), kSchedNoConflict);
}

TEST_F(Schedule, OverlapRuleTouchingSelfEmptyIntervalsAndZones) {
  uint16_t id = PutItem(2025, 3, 14, 600, 660, "Standup");
  PutItem(2025, 3, 14, 900, 900, "Reminder");  // no duration: overlaps nothing
  // 01:00 to 02:00 on the 15th two hours ahead is 23:00 to 24:00 on the 14th here.
  PutItem(2025, 3, 15, 60, 120, "Athens call", 2);
  struct Case { int day, start, end, zone; uint16_t selfId; int expected; } cases[] = {
      {14, 660, 720, 1, 0, kSchedNoConflict},            // touching after
      {14, 540, 600, 1, 0, kSchedNoConflict},            // touching before
      {14, 630, 700, 1, 0, kSchedCancel},                // overlapping
      {14, 600, 660, 1, id, kSchedNoConflict},           // editing the item itself
      {14, 850, 950, 1, 0, kSchedNoConflict},            // around the empty item
      {14, 700, 700, 1, 0, kSchedNoConflict},            // an empty new item
      {14, 23 * 60 + 30, 23 * 60 + 45, 1, 0, kSchedCancel},
      {14, 22 * 60, 23 * 60, 1, 0, kSchedNoConflict},
      {15, 60, 90, 1, 0, kSchedNoConflict},              // 01:00 here is past the call
      {15, 90, 100, 2, 0, kSchedCancel},                 // entered in the call's own zone
      {14, 18 * 60 + 30, 19 * 60, 3, 0, kSchedCancel},   // five hours behind: 23:30 to 24:00 here
  };
  for (const Case& c : cases) {
    messages.Clear();
    EXPECT_EQ(Conflict(2025, 3, c.day, c.start, c.end, c.zone, c.selfId), c.expected) << c.day << " " << c.start;
  }
  // A conflict tells the user and names the other item.
  messages.Clear();
  Conflict(2025, 3, 14, 630, 700);
  EXPECT_EQ(messages.Texts(),
            std::vector<std::string>{"Conflict encountered during scheduling with the following event:\n\n"
                                     "Friday, March 14, 2025\nStandup\n\nCannot store this entry."});
  EXPECT_EQ(messages.Shown().back().caption, "Schedule Event");
  EXPECT_EQ(Conflict(2031, 1, 1, 0, 60), kSchedNoConflict);  // a month without a file
}

TEST_F(Schedule, AConflictingSingleItemIsNotStoredAndAnEditInPlaceKeepsItsId) {
  uint16_t id = PutItem(2025, 3, 14, 600, 660, "Standup");
  EXPECT_FALSE(Save(NewItem(2025, 3, 14, 630, 700, "Clash")).ok);
  EXPECT_EQ(ListDayOf(2025, 3, 14).size(), 1u);
  messages.Clear();
  SchedSaveRequest edit = NewItem(2025, 3, 14, 600, 660, "Standup (moved room)");
  edit.item.action = kSchedActionUpdate;
  edit.item.id = id;
  SchedSaveResult r = SchedSave(edit);
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
  SchedSaveRequest req = Weekly(5, 5, 7, "Team");
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
  int team = 0;
  for (const SchedListEntry& e : SchedListRange(3, 5, 2025, 1, 31, 1)) {
    if (e.title != "Team") continue;
    ++team;
    auto item = SchedReadItem(2025, e.month & 0x7F, e.day, e.id);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->record.seriesId, r.seriesId);
  }
  EXPECT_EQ(team, 7);

  // Updating the series rewrites every occurrence in place (no conflicts with itself); the three
  // taken dates conflict again, and cancelling there stops everything.
  messages.Clear();
  messages.Answer(MsgAnswer::Ok);      // ready
  messages.Answer(MsgAnswer::Cancel);  // the first conflict
  SchedSaveRequest upd = req;
  upd.item.action = kSchedActionUpdate;
  upd.item.record.title = "Team sync";
  EXPECT_FALSE(SchedSave(upd).ok);
  EXPECT_EQ(messages.Texts()[0], "Ready to update and/or schedule 10 event occurrences.  Proceed?");
  EXPECT_EQ(SchedListRange(3, 5, 2025, 1, 31, 1).size(), 10u);

  // Deleting by series id from the dialog's date on.
  messages.Clear();
  EXPECT_TRUE(SchedRemove(req).ok);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Delete item(s) from schedule?"});
  EXPECT_EQ(SchedListRange(3, 5, 2025, 1, 31, 1).size(), 3u);
}

TEST_F(Schedule, ASingleItemMadeIntoASeriesThenUpdatedKeepsEachOccurrencesOwnNote) {
  SchedSaveRequest req = NewItem(2025, 3, 5, 540, 600, "Class");
  ASSERT_TRUE(SchedSave(req).ok);
  uint16_t id = req.item.id;
  messages.Clear();
  req.item.action = kSchedActionUpdate;
  req.item.record.recurKind = 2;
  req.until = {2025, 3, 19};
  SchedSaveResult r = SchedSave(req);
  ASSERT_TRUE(r.ok);
  ASSERT_EQ(r.ids.size(), 3u);
  EXPECT_EQ(r.ids[0], id);  // the single item became the first occurrence
  EXPECT_EQ(SchedListRange(3, 3, 2025, 1, 31, 1).size(), 3u);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Ready to update and/or schedule 3 event occurrences.  Proceed?"});

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

TEST_F(Schedule, CancellingAnyQuestionStoresNothing) {
  PutItem(2025, 3, 12, 540, 600, "Busy");
  for (int cancelAt = 0; cancelAt < 3; ++cancelAt) {
    messages.Clear();
    for (int i = 0; i < 3; ++i) messages.Answer(i == cancelAt ? MsgAnswer::Cancel : MsgAnswer::Ok);
    EXPECT_FALSE(Save(Weekly(5, 3, 19, "Team")).ok) << cancelAt;
    EXPECT_EQ(SchedListRange(3, 3, 2025, 1, 31, 1).size(), 1u) << cancelAt;
  }
}

TEST_F(Schedule, ItemsOfAnotherZoneMoveAcrossMidnightMonthAndYearEnds) {
  // Two hours ahead: 01:00 there is 23:00 of the day before here; end and alarm move alike.
  PutItem(2025, 3, 1, 60, 120, "Call Athens", 2, kSchedFlagItem, 45, 1, 4);
  PutItem(2025, 1, 1, 30, 90, "New year call", 2);
  PutItem(2024, 12, 31, 21 * 60, 22 * 60, "Late", 3);  // five hours behind: 02:00 of the next day here

  auto feb = SchedListRange(2, 3, 2025, 28, 1, 1);
  ASSERT_EQ(feb.size(), 1u);
  EXPECT_EQ(feb[0].start, Key(2025, 2, 28, 23, 0));
  EXPECT_EQ(feb[0].end, Key(2025, 3, 1, 0, 0));
  EXPECT_EQ(feb[0].alarm, 23 * 60 - 15);
  EXPECT_EQ(feb[0].month, 3);  // where the record lives
  EXPECT_EQ(feb[0].day, 1);
  EXPECT_TRUE(SchedListRange(3, 3, 2025, 1, 1, 1).empty());  // no longer on the 1st here
  // Listing the 28th alone finds it too, although its record lies on the 1st of the next month.
  EXPECT_EQ(SchedListRange(2, 2, 2025, 28, 28, 1).size(), 1u);

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
  EXPECT_EQ(all[0].title + all[1].title + all[2].title, "SundayEarlierLater");
  EXPECT_EQ(all[1].month, 3 | kSchedListMonthCalendar);
  EXPECT_EQ(all[2].month, 3);
  EXPECT_EQ(SchedListRange(3, 3, 2025, 1, 31, 2).size(), 2u);
  EXPECT_EQ(SchedListRange(3, 3, 2025, 10, 10, 1).size(), 2u);
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
  EXPECT_EQ(d.items[3].day, 2);
  EXPECT_EQ(d.items[4].record.start, 1440 + 60);
  EXPECT_EQ(d.before, 2);
  EXPECT_EQ(d.within, 2);

  // Selecting by id; loading the same day again does nothing, reloading does.
  uint16_t id = PutItem(2025, 3, 1, 700, 720, "Added");
  SchedLoadDay(1, kMar2025, id);
  EXPECT_EQ(SchedDay().items.size(), 5u);
  SchedLoadDay(1, kMar2025, id, true);
  ASSERT_EQ(SchedDay().items.size(), 6u);
  ASSERT_GE(SchedDay().selected, 0);
  EXPECT_EQ(SchedDay().items[static_cast<size_t>(SchedDay().selected)].id, id);
}

TEST_F(Schedule, MovingANotedItemToAnotherMonthMovesItsNoteAndDeletingTakesItAlong) {
  SchedSaveRequest req = NewItem(2025, 3, 14, 600, 660, "Review");
  ASSERT_TRUE(SchedSave(req).ok);
  uint16_t oldId = req.item.id;
  // Some other note in April so that the moved note's id cannot be taken for granted.
  NoteContext other = DayNoteContext(2025, 4, 2);
  ASSERT_TRUE(NoteSave(other, "April day note"));
  NoteContext ctx = ScheduleNoteContext(2025, 3, 14, oldId, 0);
  ASSERT_TRUE(NoteSave(ctx, "Bring the slides"));

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
  auto note = NoteFindSchedule(2025, 4, 3, moved[0].noteId);
  ASSERT_TRUE(note);
  EXPECT_EQ(note->text, "Bring the slides");
  EXPECT_EQ(NoteFindDay(2025, 4, 2)->text, "April day note");

  SchedSaveRequest del = move;
  del.item = *SchedReadItem(2025, 4, 3, moved[0].id);
  del.item.action = kSchedActionDelete;
  ASSERT_TRUE(SchedSave(del).ok);
  EXPECT_FALSE(NoteFindSchedule(2025, 4, 3, moved[0].noteId));
}

TEST_F(Schedule, AMovedItemIsNeverInConflictWithItselfNorExcusedBySomeoneElsesId) {
  // A night train running past midnight, moved to start half an hour after that midnight: its
  // old place reaches into the new day, but it is leaving that place.
  SchedSaveRequest train = NewItem(2025, 3, 14, 23 * 60, 25 * 60, "Night train");
  ASSERT_TRUE(SchedSave(train).ok);
  SchedSaveRequest move = train;
  move.item = *SchedReadItem(2025, 3, 14, train.item.id);
  move.oldYear = 2025, move.oldMonth = 3, move.oldDay = 14, move.oldId = train.item.id;
  move.item.day = 15;
  move.item.record.start = 30, move.item.record.end = 90;
  SchedSaveResult r = SchedSave(move);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.conflicts, 0);
  EXPECT_TRUE(ListDayOf(2025, 3, 14).empty());
  ASSERT_EQ(ListDayOf(2025, 3, 15).size(), 1u);

  // Moved into another month, onto an item there that happens to carry the same id: that is a
  // real conflict, and nothing moves.
  SchedSaveRequest june = NewItem(2025, 6, 3, 600, 660, "Audit");
  ASSERT_TRUE(SchedSave(june).ok);
  SchedSaveRequest review = NewItem(2025, 5, 20, 600, 660, "Review");
  ASSERT_TRUE(SchedSave(review).ok);
  ASSERT_EQ(review.item.id, june.item.id);  // ids are counted per month file
  SchedSaveRequest clash = review;
  clash.item = *SchedReadItem(2025, 5, 20, review.item.id);
  clash.oldYear = 2025, clash.oldMonth = 5, clash.oldDay = 20, clash.oldId = review.item.id;
  clash.item.month = 6, clash.item.day = 3;
  ScriptedMessages messages;
  SetMessageSink(&messages);
  r = SchedSave(clash);
  SetMessageSink(nullptr);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.conflicts, 1);
  ASSERT_EQ(ListDayOf(2025, 5, 20).size(), 1u);
  EXPECT_EQ(ListDayOf(2025, 6, 3).size(), 1u);
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
  EXPECT_FALSE(Save(NewItem(2025, 3, 20, 600, 660, "New")).ok);
  ASSERT_FALSE(messages.Texts().empty());
  EXPECT_EQ(messages.Texts().back(), "Error detected updating schedule to disk.");
  EXPECT_EQ(test::ReadAll(path), bytes);
}

TEST_F(Schedule, ExtremeStoredValuesAndBadDatesNeverCrash) {
  PutItem(2025, 3, 31, 32767, -32768, "Wild", 2, kSchedFlagItem, -32768, 1, 200);
  PutItem(2025, 3, 31, -32768, 32767, "Wilder", 1, kSchedFlagItem, 32767, 1, 9);
  PutItem(9999, 12, 31, 1439, 3000, "Last day", 3);
  EXPECT_NO_FATAL_FAILURE(SchedListRange(1, 12, 2025, 1, 31, 1));
  EXPECT_NO_FATAL_FAILURE(SchedListRange(12, 1, 9999, 1, 31, 1));
  SchedLoadDay(31, kMar2025);
  EXPECT_EQ(SchedDay().items.size(), 2u);
  SchedLoadDay(1, (2025u << 16) | 13);
  EXPECT_TRUE(SchedDay().items.empty());
  EXPECT_NO_FATAL_FAILURE(Conflict(2025, 3, 31, 0, 1439));
  EXPECT_EQ(Conflict(2025, 2, 30, 0, 1439), kSchedNoConflict);
  EXPECT_FALSE(SchedReadItem(2025, 3, 32, 1));
  // A descriptor with an impossible date is refused with the write message, nothing stored.
  messages.Clear();
  EXPECT_FALSE(Save(NewItem(2025, 2, 30, 600, 660, "Nowhere")).ok);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Error detected updating schedule to disk."});
}

}  // namespace
}  // namespace kv
