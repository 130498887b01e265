#include "personal/clock_tick.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kv {
namespace {

CurrentTime At(int year, int month, int day, int hour, int minute) {
  CurrentTime t;
  t.stamp = {year, static_cast<uint16_t>(month), static_cast<uint16_t>(day), static_cast<uint16_t>(hour),
             static_cast<uint16_t>(minute)};
  t.minuteOfDay = hour * 60 + minute;
  return t;
}

TEST(ClockTick, MinuteAndDayChanges) {
  TickState s;
  struct Step {
    CurrentTime now;
    bool minute, day;
  };
  const Step steps[] = {
      {At(2026, 12, 31, 23, 58), true, true},   // the first tick sets both
      {At(2026, 12, 31, 23, 58), false, false}, // six seconds later, same minute
      {At(2026, 12, 31, 23, 59), true, false},
      {At(2027, 1, 1, 0, 0), true, true},       // midnight: today moves
      {At(2027, 1, 1, 0, 0), false, false},
      {At(2027, 1, 2, 0, 0), true, true},       // a day later at the same minute
      {At(2027, 1, 1, 23, 0), true, true},      // the clock set back
  };
  for (const Step& step : steps) {
    TickResult r = ClockTick(s, step.now);
    EXPECT_EQ(r.minuteChanged, step.minute) << step.now.stamp.day << " " << step.now.minuteOfDay;
    EXPECT_EQ(r.dayChanged, step.day) << step.now.stamp.day << " " << step.now.minuteOfDay;
    EXPECT_EQ(s.today, (DateStamp{step.now.stamp.year, step.now.stamp.month, step.now.stamp.day, 0, 0}));
  }
}

TEST(ClockTick, AlarmGoesOffOnceWhenItsMinuteIsReached) {
  TickState s;
  s.nextAlarmMinute = 8 * 60 + 45;
  EXPECT_FALSE(ClockTick(s, At(2026, 3, 2, 8, 44)).alarmDue);
  EXPECT_TRUE(ClockTick(s, At(2026, 3, 2, 8, 45)).alarmDue);
  EXPECT_EQ(s.nextAlarmMinute, kNoAlarm);
  EXPECT_FALSE(ClockTick(s, At(2026, 3, 2, 8, 46)).alarmDue);
  // An alarm whose time has passed goes off at the next tick; so does one before midnight.
  s.nextAlarmMinute = 9 * 60;
  EXPECT_TRUE(ClockTick(s, At(2026, 3, 2, 10, 0)).alarmDue);
  s.nextAlarmMinute = -30;
  EXPECT_TRUE(ClockTick(s, At(2026, 3, 3, 0, 0)).alarmDue);
  s.nextAlarmMinute = kNoAlarm;
  EXPECT_FALSE(ClockTick(s, At(2026, 3, 3, 23, 59)).alarmDue);
}

TEST(ClockTick, RunsOnTheProgramClockAcrossMidnight) {
  ResetClockTick();
  FixedClock clock({2026, 12, 31, 23, 59});
  SetClockSource(&clock);
  std::vector<std::string> calls;
  AlarmHooks hooks;
  // A new day finds its first alarm before the pending one is compared with the clock.
  hooks.dateChanged = [&] {
    calls.push_back("date");
    SetNextAlarmMinute(0);
  };
  hooks.minutePassed = [&] { calls.push_back("minute"); };
  hooks.fire = [&] { calls.push_back("fire"); };
  SetAlarmHooks(hooks);

  TickResult first = RunClockTick();
  if (first.alarmDue) FireAlarm();
  EXPECT_TRUE(first.dayChanged);
  EXPECT_EQ(Today(), (DateStamp{2026, 12, 31, 0, 0}));
  EXPECT_EQ(calls, (std::vector<std::string>{"date", "minute", "fire"}));  // 0 is long past at 23:59
  calls.clear();

  EXPECT_FALSE(RunClockTick().minuteChanged);
  EXPECT_TRUE(calls.empty());

  clock.Advance(1);
  TickResult midnight = RunClockTick();
  if (midnight.alarmDue) FireAlarm();
  EXPECT_TRUE(midnight.dayChanged);
  EXPECT_EQ(Today(), (DateStamp{2027, 1, 1, 0, 0}));
  EXPECT_EQ(midnight.now.minuteOfDay, 0);
  EXPECT_EQ(calls, (std::vector<std::string>{"date", "minute", "fire"}));
  EXPECT_EQ(NextAlarmMinute(), kNoAlarm);

  SetClockSource(nullptr);
  ResetClockTick();
}

}  // namespace
}  // namespace kv
