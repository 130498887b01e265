// The current date and time, through a replaceable clock so that tests and tools can fix or
// step it.
#pragma once

#include <functional>

#include "calendar/dates.h"

namespace kv {

// Reads the computer's local date and time.
class ClockSource {
 public:
  virtual ~ClockSource() = default;
  virtual DateStamp LocalNow() = 0;
};

// The clock in use; the system clock unless a test or the platform layer installs another.
// The caller keeps ownership; passing nullptr restores the system clock.
void SetClockSource(ClockSource* source);
ClockSource& CurrentClock();

// A clock that stands still until told otherwise.
class FixedClock : public ClockSource {
 public:
  explicit FixedClock(const DateStamp& now) : now_(now) {}
  DateStamp LocalNow() override { return now_; }
  void Set(const DateStamp& now) { now_ = now; }
  // Moves the clock by a signed number of minutes, across days, months and years.
  void Advance(int minutes);

 private:
  DateStamp now_;
};

// The move from the computer's local time to the point of reference's local time, in minutes,
// for a given computer-local time. Zero until the time zones are loaded and the point of
// reference lies in another zone.
using ReferenceZoneShift = std::function<int(const DateStamp& computerLocal)>;
void SetReferenceZoneShift(ReferenceZoneShift shift);

struct CurrentTime {
  DateStamp stamp;        // local date and time at the point of reference
  int weekday = 0;        // 0 = Sunday
  int minuteOfDay = 0;    // 0 ... 1439
};

// Now at the point of reference: the clock's time moved into the reference zone, the date
// stepping across day, month and year ends when the move leaves the day.
CurrentTime CurrentDateTime();

// A date-time moved by a signed number of minutes (any size), with the date following.
DateStamp AddMinutes(const DateStamp& stamp, int minutes);

}  // namespace kv
