// Sunrise, sunset, moonrise and moonset of a date and the moon's quarter phases of a year at
// the point of reference, with the caches the views rely on while painting.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "sky/astro.h"

namespace kv {

// What the sky computations read from the point of reference and its zone.
struct SkySite {
  double latitude = 0;    // degrees, north positive
  double longitude = 0;   // degrees, east positive
  int bias = 0;           // minutes, UT minus local standard time
  bool daylight = false;  // the zone has a daylight rule
  int daylightStart = 0;  // month × 100 + day: first day of daylight time
  int daylightEnd = 0;    // first day of standard time
};

// Installs the site and clears every cache.
void SetSkySite(const SkySite& site);
const SkySite& CurrentSkySite();

// Forgets the cached sun and moon days and the phase table's year, so the next request
// recomputes; the changer of the point of reference, its zone or its rule calls it.
void ClearSkyCaches();

// Whether a date (month × 100 + day) lies in daylight time by the whole-day test: between the
// start and end codes north of the equator, outside them south of it.
bool IsDaylightCode(int code, int start, int end, double latitude);
// The same for the installed site; false when its zone has no daylight rule.
bool SiteInDaylight(int month, int day);

struct RiseSet {
  int rise = 0, set = 0;              // minutes after local standard-time midnight, 0 ... 1440
  double riseAzimuth = 0, setAzimuth = 0;  // degrees from north through east
  int flags = 0;                      // 0, NEVER_SETS or NEVER_RISES
  friend bool operator==(const RiseSet&, const RiseSet&) = default;
};

RiseSet SunRiseSet(int year, int month, int day);
RiseSet MoonRiseSet(int year, int month, int day);

// Minutes of one rise/set fraction of the day, rounded to the nearest minute.
int RiseSetMinute(double fraction);

enum MoonPhaseCode { kNewMoon = 1, kFirstQuarter = 2, kFullMoon = 3, kLastQuarter = 4 };

struct MoonPhaseEntry {
  int month = 0;   // 1 ... 12; 0 closes the table
  int day = 0;
  int minute = 0;  // of the local day, 0 ... 1439
  int code = 0;    // 1 new, 2 first quarter, 3 full, 4 last quarter (2 and 4 exchanged south)
  friend bool operator==(const MoonPhaseEntry&, const MoonPhaseEntry&) = default;
};

constexpr int kMoonPhaseSlots = 52;

struct MoonPhaseTable {
  std::array<MoonPhaseEntry, kMoonPhaseSlots> entries{};
  int count = 0;   // entries before the closing one
  int year = 0;    // 0 = not built
};

// Builds the year's table (the last entry is the first phase of the following year); false at
// once when the table already holds that year.
bool MoonPhasesForYear(int year);
const MoonPhaseTable& CurrentMoonPhases();

// The phase's name ("New Moon" ...), by code 1-4.
std::string MoonPhaseName(int code);

// Candle-lighting (sunset − minutes) and Havdalah (sunset + minutes) of a date, in local clock
// time (the daylight hour added when the date is in daylight time); nothing when the sun does
// not rise or set that day, for which the views show ConsultRabbiText().
std::optional<int> CandleLightingTime(int year, int month, int day, int minutesBefore);
std::optional<int> HavdalahTime(int year, int month, int day, int minutesAfter);
std::string ConsultRabbiText();

// The texts the views show for a body that stays below or above the horizon all day.
std::string NeverRisesText(bool moon);
std::string NeverSetsText(bool moon);

}  // namespace kv
