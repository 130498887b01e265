// Moving a local date and time from one time zone to another. Overlays, schedule items and
// to-do items store the zone their times were entered in and are shown in the zone in use.
// The time-zone module installs the real conversion; until it does, every zone is the same.
#pragma once

#include <functional>

#include "calendar/dates.h"

namespace kv {

// Local time in zone `fromZone` → local time in zone `toZone` (identifiers of the zone table),
// the date following across day, month and year ends.
using ZoneConversion = std::function<DateStamp(const DateStamp& local, int fromZone, int toZone)>;

void SetZoneConversion(ZoneConversion conversion);

// The identity when the zones are equal or no conversion is installed.
DateStamp ConvertZoneTime(const DateStamp& local, int fromZone, int toZone);

// The zone in use: the point of reference's zone, in which the calendar shows every time.
int CurrentZone();
void SetCurrentZone(int zone);

}  // namespace kv
