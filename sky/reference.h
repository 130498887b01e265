// The point of reference and the zone in use: applying a location or zone makes its zone the
// one every time of the calendar is shown in and keeps everything that follows from it in step
// (daylight codes, the sun and moon inputs and caches, the two calendar markers, the zone
// conversion and the clock's move into the reference zone).
#pragma once

#include <string>

#include "sky/locations.h"
#include "sky/zones.h"

namespace kv {

struct PointOfReference {
  std::string name;   // empty: no point of reference
  int zone = 0;       // zone identifier
  double latitude = 0;   // degrees, north positive
  double longitude = 0;  // degrees, east positive
};

PointOfReference PointFromLocation(const LocationRecord& location);

// The zone in use: a copy of the point of reference's zone record, its daylight-time name
// (empty when the zone has no daylight rule, which means no daylight time) and the daylight
// codes of the displayed year.
struct ZoneInUse {
  bool found = false;        // the identifier was in the zone table
  ZoneRecord zone;
  std::string standardName;
  std::string daylightName;
  int year = 0;
  DaylightCodes codes;
};

// Makes the point the point of reference: looks up its zone, takes the zone's names and rule,
// computes the daylight codes of `year`, installs the sky site (clearing the sun and moon
// caches), sets the calendar's current zone and the two daylight markers, and installs the
// zone conversion and the clock's move from the computer's zone (the system zone) into the
// reference zone.
void ApplyPointOfReference(const PointOfReference& point, int year);

// Recomputes the daylight codes for another displayed year (nothing when it is the year
// already computed); the sky caches are cleared when the codes change.
void SetDisplayedYear(int year);

// The computer's own zone (detected at start-up); the clock moves from it into the reference
// zone when they differ.
void SetSystemZone(int id);
int SystemZone();

const PointOfReference& CurrentPointOfReference();
bool HasPointOfReference();
const ZoneInUse& CurrentZoneInUse();

// Whether a date of the displayed year is in daylight time at the point of reference.
bool ReferenceInDaylight(int month, int day);

// Back to no point of reference and the seams' defaults (tests).
void ResetPointOfReference();

}  // namespace kv
