#include "calendar/clock.h"

#include <chrono>
#include <ctime>

namespace kv {
namespace {

// Portable system clock; the Windows program installs one over GetLocalTime.
class SystemClock : public ClockSource {
 public:
  DateStamp LocalNow() override {
    std::time_t now = std::time(nullptr);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    DateStamp s;
    s.year = local.tm_year + 1900;
    s.month = static_cast<uint16_t>(local.tm_mon + 1);
    s.day = static_cast<uint16_t>(local.tm_mday);
    s.hour = static_cast<uint16_t>(local.tm_hour);
    s.minute = static_cast<uint16_t>(local.tm_min);
    return s;
  }
};

struct ClockState {
  SystemClock system;
  ClockSource* source = nullptr;
  ReferenceZoneShift shift;
};

ClockState& State() {
  static ClockState state;
  return state;
}

}  // namespace

void SetClockSource(ClockSource* source) { State().source = source; }

ClockSource& CurrentClock() {
  ClockState& s = State();
  return s.source ? *s.source : s.system;
}

void SetReferenceZoneShift(ReferenceZoneShift shift) { State().shift = std::move(shift); }

DateStamp AddMinutes(const DateStamp& stamp, int minutes) {
  int total = stamp.hour * 60 + stamp.minute + minutes;
  int days = total / kMinutesPerDay;
  int rest = total % kMinutesPerDay;
  if (rest < 0) {
    rest += kMinutesPerDay;
    --days;
  }
  DateStamp out = days ? AddDays(stamp.month, stamp.day, stamp.year, days) : stamp;
  out.hour = static_cast<uint16_t>(rest / 60);
  out.minute = static_cast<uint16_t>(rest % 60);
  return out;
}

void FixedClock::Advance(int minutes) { now_ = AddMinutes(now_, minutes); }

CurrentTime CurrentDateTime() {
  DateStamp now = CurrentClock().LocalNow();
  const ReferenceZoneShift& shift = State().shift;
  if (shift) {
    if (int minutes = shift(now)) now = AddMinutes(now, minutes);
  }
  CurrentTime t;
  t.stamp = now;
  t.weekday = Weekday(now.month, now.day, now.year);
  t.minuteOfDay = now.hour * 60 + now.minute;
  return t;
}

}  // namespace kv
