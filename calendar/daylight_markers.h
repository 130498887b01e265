// The two calendar markers of the time changes, "Begin daylight time" and "Begin standard
// time": floating events (the first given weekday on or after a given day of a month) whose
// rules follow the zone in use. The time-zone module sets them whenever that zone changes; the
// overlay evaluation shows them while the calendar option "Time changes" is on.
#pragma once

namespace kv {

struct DaylightMarkerRule {
  int month = 14;    // 1 ... 12; 14 = no month, the marker never occurs (no daylight rule)
  int firstDay = 1;  // the day from which the weekday is sought
  int weekday = 0;   // 0 = Sunday
};

struct DaylightMarkers {
  DaylightMarkerRule daylightBegins;  // "Begin daylight time"
  DaylightMarkerRule standardBegins;  // "Begin standard time"
};

void SetDaylightMarkers(const DaylightMarkers& markers);
const DaylightMarkers& CurrentDaylightMarkers();

}  // namespace kv
