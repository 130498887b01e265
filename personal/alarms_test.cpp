#include "personal/alarms.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "personal/personal_test_support.h"
#include "personal/clock_tick.h"
#include "base/settings.h"

namespace kv {
namespace {

// The current time at the point of reference, as the clock gives it.
CurrentTime At(int year, int month, int day, int hour, int minute) {
  static FixedClock clock(DateStamp{});
  clock.Set(DateStamp{year, static_cast<uint16_t>(month), static_cast<uint16_t>(day), static_cast<uint16_t>(hour),
                      static_cast<uint16_t>(minute)});
  SetClockSource(&clock);
  CurrentTime now = CurrentDateTime();
  SetClockSource(nullptr);
  return now;
}

class AlarmCheck : public test::PersonalTest {
 protected:
  void SetUp() override {
    PersonalTest::SetUp();
    ResetAlarms();
    ResetClockTick();
  }
  void TearDown() override {
    ResetAlarms();
    ResetClockTick();
    PersonalTest::TearDown();
  }
  bool Armed(int y, int m, int d, uint16_t id) { return SchedReadItem(y, m, d, id)->record.armed != 0; }
};

TEST_F(AlarmCheck, AnAlarmAlreadyPassedGoesOffAtTheFirstTickAndIsSwitchedOffWhenDismissed) {
  uint16_t id = PutItem(2025, 3, 14, 540, 600, "Dentist", 1, kSchedFlagItem, 525, 1, 3);
  AlarmTickResult r = AlarmTick(At(2025, 3, 14, 10, 0));
  EXPECT_TRUE(r.dateChanged);
  ASSERT_TRUE(r.goesOff);
  const PendingAlarm& shown = Alarms().shown;
  EXPECT_EQ(shown.title, "Dentist");
  EXPECT_EQ(shown.sound, 3);
  EXPECT_EQ(shown.eventTime, 540);
  EXPECT_EQ(shown.monthKey, MonthKey(2025, 3));
  EXPECT_EQ(Alarms().pending.minute, kAlarmNone);

  // While the dialog is open: each new minute tells it; nothing goes off again.
  r = AlarmTick(At(2025, 3, 14, 10, 1));
  EXPECT_TRUE(r.minuteMessage);
  EXPECT_FALSE(r.goesOff);
  r = AlarmTick(At(2025, 3, 14, 10, 1));
  EXPECT_FALSE(r.minuteMessage);

  EXPECT_TRUE(Armed(2025, 3, 14, id));
  AlarmDialogClosed();
  EXPECT_FALSE(Armed(2025, 3, 14, id));
  EXPECT_EQ(Alarms().pending.minute, kAlarmNone);
  EXPECT_FALSE(AlarmTick(At(2025, 3, 14, 10, 2)).goesOff);
}

TEST_F(AlarmCheck, TheInstalledHooksFindAndPresentAnAlarmThroughTheProgramsTick) {
  uint16_t id = PutItem(2025, 3, 14, 540, 600, "Dentist", 1, kSchedFlagItem, 525, 1, 3);
  FixedClock clock(DateStamp{2025, 3, 14, 8, 40});
  SetClockSource(&clock);
  std::vector<std::string> shown;
  InstallAlarmHooks([&](const PendingAlarm& alarm) { shown.push_back(alarm.title); });
  auto tick = [&](int hour, int minute) {
    clock.Set(DateStamp{2025, 3, 14, static_cast<uint16_t>(hour), static_cast<uint16_t>(minute)});
    if (RunClockTick().alarmDue) FireAlarm();
  };
  tick(8, 40);  // the program's first tick looks for today's alarms
  EXPECT_EQ(Alarms().pending.minute, 525);
  EXPECT_TRUE(shown.empty());
  tick(8, 45);
  EXPECT_EQ(shown, std::vector<std::string>{"Dentist"});
  tick(8, 46);  // once only
  EXPECT_EQ(shown.size(), 1u);
  AlarmDialogClosed();
  EXPECT_FALSE(Armed(2025, 3, 14, id));
  SetAlarmHooks({});
  SetSchedChangedHook(nullptr);
  SetClockSource(nullptr);
}

TEST_F(AlarmCheck, EqualAlarmTimesGoOffEarlierStartFirstThenTheOtherAfterDismissal) {
  uint16_t later = PutItem(2025, 3, 14, 570, 600, "Later start", 1, kSchedFlagItem, 525, 1, 255);
  uint16_t earlier = PutItem(2025, 3, 14, 540, 560, "Earlier start", 1, kSchedFlagItem, 525, 1, 0);
  PutItem(2025, 3, 14, 600, 660, "Not armed", 1, kSchedFlagItem, 500, 0, 2);
  PutItem(2025, 3, 15, 540, 560, "Tomorrow", 1, kSchedFlagItem, 300, 1, 2);

  EXPECT_FALSE(AlarmTick(At(2025, 3, 14, 8, 44)).goesOff);
  EXPECT_EQ(Alarms().pending.minute, 525);
  EXPECT_EQ(Alarms().pending.id, earlier);
  ASSERT_TRUE(AlarmTick(At(2025, 3, 14, 8, 45)).goesOff);
  EXPECT_EQ(Alarms().shown.id, earlier);
  AlarmDialogClosed();
  EXPECT_FALSE(Armed(2025, 3, 14, earlier));
  AlarmTickResult r = AlarmTick(At(2025, 3, 14, 8, 46));
  ASSERT_TRUE(r.goesOff);
  EXPECT_EQ(Alarms().shown.id, later);
  EXPECT_EQ(Alarms().shown.sound, 0);  // armed without sound
}

TEST_F(AlarmCheck, AnAlarmBeforeMidnightGoesOffAtTheFirstTickOfItsDay) {
  PutItem(2025, 3, 14, 30, 60, "Night train", 1, kSchedFlagItem, -30, 1, 1);
  EXPECT_FALSE(AlarmTick(At(2025, 3, 13, 23, 50)).goesOff);
  EXPECT_EQ(Alarms().pending.minute, kAlarmNone);  // it belongs to the 14th's list
  AlarmTickResult r = AlarmTick(At(2025, 3, 14, 0, 0));
  EXPECT_TRUE(r.dateChanged);
  EXPECT_TRUE(r.goesOff);
}

TEST_F(AlarmCheck, ASecondDueAlarmWaitsForTheOpenDialogAndADateChangeKeepsTheShownOne) {
  uint16_t a = PutItem(2025, 3, 14, 540, 560, "First", 1, kSchedFlagItem, 530, 1, 1);
  ASSERT_TRUE(AlarmTick(At(2025, 3, 14, 9, 0)).goesOff);
  uint16_t b = PutItem(2025, 3, 14, 600, 620, "Second", 1, kSchedFlagItem, 520, 1, 1);
  AlarmFindNext(false);  // a stored item looks for the next alarm
  EXPECT_EQ(Alarms().pending.id, b);
  EXPECT_FALSE(AlarmTick(At(2025, 3, 14, 9, 5)).goesOff);  // held while the first is open
  EXPECT_EQ(Alarms().shown.id, a);

  uint16_t c = PutItem(2025, 3, 15, 30, 60, "Next day", 1, kSchedFlagItem, 10, 1, 1);
  AlarmTickResult r = AlarmTick(At(2025, 3, 15, 0, 5));
  EXPECT_TRUE(r.dateChanged);
  EXPECT_FALSE(r.goesOff);
  EXPECT_EQ(Alarms().pending.id, c);
  EXPECT_TRUE(Armed(2025, 3, 14, a));  // not switched off by the date change
  AlarmDialogClosed();
  EXPECT_FALSE(Armed(2025, 3, 14, a));
  EXPECT_TRUE(Armed(2025, 3, 14, b));
  ASSERT_TRUE(AlarmTick(At(2025, 3, 15, 0, 10)).goesOff);
  EXPECT_EQ(Alarms().shown.id, c);
}

TEST_F(AlarmCheck, TheMonthKeyOfAnItemMovedAcrossTheYearEndNamesItsOwnFile) {
  // 00:30 on 1 January in a zone two hours ahead is 22:30 on 31 December here.
  uint16_t id = PutItem(2026, 1, 1, 30, 60, "Midnight call", 2, kSchedFlagItem, 20, 1, 5);
  ASSERT_TRUE(AlarmTick(At(2025, 12, 31, 22, 30)).goesOff);
  EXPECT_EQ(Alarms().shown.monthKey, MonthKey(2026, 1));
  EXPECT_EQ(Alarms().shown.day, 1);
  EXPECT_EQ(Alarms().shown.eventTime, 22 * 60 + 30);
  AlarmDialogClosed();
  EXPECT_FALSE(Armed(2026, 1, 1, id));
}

TEST(AlarmSounds, ValuesDefaultsAndTheSetupSave) {
  MemorySettings settings;
  SetSettingsStore(&settings);
  struct Case { const char* value; bool ok; const char* description; const char* path; } cases[] = {
      {"\"Soft Chime\",C:\\A\\Soft Chime.wav", true, "Soft Chime", "C:\\A\\Soft Chime.wav"},
      {"  \"Gong\",gong.wav", true, "Gong", "gong.wav"},
      {"\"Gong\",", false, "", ""},
      {"\"\",gong.wav", false, "", ""},
      {"Gong,gong.wav", false, "", ""},
      {"\"Gong", false, "", ""},
  };
  for (const Case& c : cases) {
    AlarmSound s;
    EXPECT_EQ(ParseAlarmSoundValue(c.value, s), c.ok) << c.value;
    if (c.ok) {
      EXPECT_EQ(s.description, c.description);
      EXPECT_EQ(s.path, c.path);
    }
  }
  AlarmSound long_;
  ASSERT_TRUE(ParseAlarmSoundValue("\"d\"," + std::string(300, 'p'), long_));
  EXPECT_EQ(long_.path.size(), 127u);

  RegWriteSetting("Audio", "AlarmSound2", "\"Gong\",D:\\gong.wav");
  RegWriteSetting("Audio", "AlarmSound4", "broken");
  AlarmDefaultSounds("C:\\Program Files\\Kalvora");
  EXPECT_EQ(RegReadSetting("Audio", "AlarmSound2"), "\"Gong\",D:\\gong.wav");
  EXPECT_EQ(RegReadSetting("Audio", "AlarmSound4"), "\"Fireworks\",C:\\Program Files\\Kalvora\\Alarms\\Fireworks.wav");

  std::array<AlarmSound, kAlarmSounds> setup;
  for (int i = 1; i <= kAlarmSounds; ++i) AlarmSoundName(i, setup[static_cast<size_t>(i - 1)]);
  setup[2].path = "None";
  setup[0].description = "Chime";
  AlarmSaveSounds(setup);
  EXPECT_TRUE(settings.Has("Audio", "AlarmSound1"));
  EXPECT_FALSE(settings.Has("Audio", "AlarmSound3"));
  EXPECT_EQ(AlarmSoundPath(3), "");
  EXPECT_EQ(AlarmSoundPath(2), "D:\\gong.wav");
  AlarmSound first;
  ASSERT_TRUE(AlarmSoundName(1, first));
  EXPECT_EQ(first.description, "Chime");
  AlarmDefaultSounds("C:\\K");  // the next start recreates the third with its default
  AlarmSound third;
  ASSERT_TRUE(AlarmSoundName(3, third));
  EXPECT_EQ(third.description, "Kettle");
  SetSettingsStore(nullptr);
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

// After a switch of the database folder the pending alarm comes from the new folder, and the
// one on show from the old folder never switches off the new folder's item of the same id.
TEST_F(AlarmCheck, AnotherDatabaseFolderBringsItsOwnAlarms) {
  std::string first = folder;
  uint16_t oldId = PutItem(2025, 3, 14, 540, 600, "Dentist", 1, kSchedFlagItem, 525, 1, 3);
  ASSERT_TRUE(AlarmTick(At(2025, 3, 14, 8, 0)).dateChanged);
  EXPECT_EQ(Alarms().pending.title, "Dentist");

  std::string second = test::MakeTempFolder();
  ResetStore();
  SetDatabaseFolder(second);
  AlarmsFollowDatabaseFolder();
  EXPECT_EQ(Alarms().pending.minute, kAlarmNone);  // the new folder has no alarm today

  uint16_t newId = PutItem(2025, 3, 14, 600, 660, "Standup", 1, kSchedFlagItem, 590, 1, 2);
  AlarmFindNext(false);
  EXPECT_EQ(Alarms().pending.title, "Standup");
  EXPECT_EQ(Alarms().pending.minute, 590);

  // An alarm of the old folder on show while switching back and forth.
  ResetStore();
  SetDatabaseFolder(first);
  AlarmsFollowDatabaseFolder();
  ASSERT_TRUE(AlarmTick(At(2025, 3, 14, 8, 46)).goesOff);
  EXPECT_EQ(Alarms().shown.title, "Dentist");
  ResetStore();
  SetDatabaseFolder(second);
  AlarmsFollowDatabaseFolder();
  AlarmDialogClosed();
  EXPECT_EQ(oldId, newId);  // the same record id in both folders: the case that matters
  EXPECT_TRUE(Armed(2025, 3, 14, newId));
  ResetStore();
  SetDatabaseFolder(first);
  EXPECT_TRUE(Armed(2025, 3, 14, oldId));  // not acknowledged in the wrong folder, so still armed
  ResetStore();
  std::error_code ignored;
  std::filesystem::remove_all(second, ignored);
}

}  // namespace
}  // namespace kv
