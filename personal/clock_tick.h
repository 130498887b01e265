// The clock tick of the frame (every six seconds, and once at start): it keeps "today" and the
// current minute at the point of reference, and decides when the minute and the day change and
// when the pending alarm is due. The frame acts on the result; the alarms module plugs in
// through AlarmHooks.
#pragma once

#include <functional>

#include "calendar/clock.h"

namespace kv {

inline constexpr int kNoAlarm = 1500;  // minute of the day meaning "no alarm pending"
inline constexpr int kClockTimerId = 99;
inline constexpr int kClockTickMs = 6000;

struct TickState {
  bool started = false;
  DateStamp today{};           // date part of the last tick
  int minuteOfDay = -1;        // minute of the last tick
  int nextAlarmMinute = kNoAlarm;
};

struct TickResult {
  CurrentTime now;
  bool minuteChanged = false;
  bool dayChanged = false;     // today moved (always together with minuteChanged)
  bool alarmDue = false;       // the pending alarm's minute has been reached; it is cleared
};

// One tick against `now`: the minute and day changes, then the pending alarm.
TickResult AdvanceTick(TickState& state, const CurrentTime& now);
bool TakeDueAlarm(TickState& state, int minuteOfDay);
TickResult ClockTick(TickState& state, const CurrentTime& now);

// What the alarms module does at the tick; each may stay empty.
struct AlarmHooks {
  std::function<void()> dateChanged;   // look for the next alarm of the new day
  std::function<void()> minutePassed;  // tell an open alarm window
  std::function<void()> fire;          // the pending alarm is due: open its window, play it
};

// The program's tick state and hooks.
TickState& ClockTickState();
void SetAlarmHooks(AlarmHooks hooks);
void ResetClockTick();

// The pending alarm, as the alarms module finds it (kNoAlarm for none).
void SetNextAlarmMinute(int minuteOfDay);
int NextAlarmMinute();

// Today's date at the point of reference, as of the last tick.
DateStamp Today();

// Runs one tick on the program's state with the current time at the point of reference and
// calls the date and minute hooks; the caller updates its displays from the result and, when
// the alarm is due, brings the frame back and calls FireAlarm.
TickResult RunClockTick();
void FireAlarm();

}  // namespace kv
