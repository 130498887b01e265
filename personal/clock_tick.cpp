#include "personal/clock_tick.h"

namespace kv {
namespace {

struct Module {
  TickState state;
  AlarmHooks hooks;
};

Module& State() {
  static Module module;
  return module;
}

bool SameDay(const DateStamp& a, const DateStamp& b) { return a.year == b.year && a.month == b.month && a.day == b.day; }

}  // namespace

TickResult AdvanceTick(TickState& state, const CurrentTime& now) {
  TickResult r;
  r.now = now;
  r.dayChanged = !state.started || !SameDay(state.today, now.stamp);
  r.minuteChanged = r.dayChanged || state.minuteOfDay != now.minuteOfDay;
  state.started = true;
  state.today = {now.stamp.year, now.stamp.month, now.stamp.day, 0, 0};
  state.minuteOfDay = now.minuteOfDay;
  return r;
}

bool TakeDueAlarm(TickState& state, int minuteOfDay) {
  if (state.nextAlarmMinute == kNoAlarm || state.nextAlarmMinute > minuteOfDay) return false;
  state.nextAlarmMinute = kNoAlarm;
  return true;
}

TickResult ClockTick(TickState& state, const CurrentTime& now) {
  TickResult r = AdvanceTick(state, now);
  r.alarmDue = TakeDueAlarm(state, now.minuteOfDay);
  return r;
}

TickState& ClockTickState() { return State().state; }

void SetAlarmHooks(AlarmHooks hooks) { State().hooks = std::move(hooks); }

void ResetClockTick() { State() = Module{}; }

void SetNextAlarmMinute(int minuteOfDay) { State().state.nextAlarmMinute = minuteOfDay; }

int NextAlarmMinute() { return State().state.nextAlarmMinute; }

DateStamp Today() { return State().state.today; }

TickResult RunClockTick() {
  Module& m = State();
  TickResult r = AdvanceTick(m.state, CurrentDateTime());
  // A new day looks for its own alarms before the pending one is compared with the clock.
  if (r.dayChanged && m.hooks.dateChanged) m.hooks.dateChanged();
  if (r.minuteChanged && m.hooks.minutePassed) m.hooks.minutePassed();
  r.alarmDue = TakeDueAlarm(m.state, r.now.minuteOfDay);
  return r;
}

void FireAlarm() {
  if (State().hooks.fire) State().hooks.fire();
}

}  // namespace kv
