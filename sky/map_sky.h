// The sky of the world map: the apparent sun and moon now with their sub-points on the map and
// their azimuth and altitude at the map location, the moon's picture frame, the day-and-night
// shading picture of a UT day, the rise/transit/set times of the control bar, and the local
// time of a map location.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "calendar/dates.h"
#include "sky/astro.h"
#include "sky/map_projection.h"
#include "sky/zones.h"

namespace kv {

// Nutation in longitude and in obliquity, arcseconds.
struct Nutation {
  double dpsi = 0, deps = 0;
};

// The IAU 1980 theory (63 terms) at T, Julian centuries from J2000.0.
Nutation NutationIau1980(double T);

// One row of the nutation table after its leading term: the multipliers of M', M, F, D and Ω,
// then the sine coefficient and its rate, the cosine coefficient and its rate (coefficients in
// 0.0001", rates in 0.00001" per century).
using NutationRow = int32_t[9];
inline constexpr int kNutationRows = 62;
const NutationRow* NutationTable();

struct MapBody {
  double ra = 0, dec = 0;  // apparent right ascension and declination, degrees
  double gha = 0;          // Greenwich hour angle, [0, 360)
  double az = 0, alt = 0;  // at the map location: azimuth from north through east, altitude
  int x = 0, y = 0;        // the sub-point's pixel
  bool visible = false;    // the sub-point's row lies on the map
};

struct MapSky {
  MapBody sun, moon;
  int moonFrame = 0;  // 0 ... 15: 0 around new moon, 8 around full moon
  Nutation nutation;
};

// The sky at a UT date and time (to the minute) for a map location (degrees).
MapSky ComputeMapSky(const DateStamp& ut, double latitudeDeg, double longitudeDeg);

// ---- the shading picture ------------------------------------------------------------------

enum class Sunlight { None, Basic, Detail };

// The 800 × 500 picture of night, twilight and day for a UT date, laid out with the sub-solar
// meridian at x = 374: one 0xAARRGGBB pixel per point, row by row, the colour bytes zero (so it
// is already premultiplied). Night has alpha 127; "Basic" lights the day with alpha 0,
// "Detail" grades the day from 0 under the sun to 36 at the terminator and adds the twilight
// band. Sunlight::None gives an empty vector.
std::vector<uint32_t> BuildShading(const DateStamp& utDay, Sunlight mode);

inline constexpr uint32_t kNightAlpha = 127;

// The shift that brings the picture's sub-solar meridian under the sub-solar column:
// 374 − x, plus 800 when negative.
int ShadingShift(int subSolarX);

// ---- times and texts of the control bar ----------------------------------------------------

// Rise, transit and set of a body at the map location on its local date, in minutes after
// local midnight (0 ... 1439; with the daylight hour added, when asked, a time past midnight
// comes round to the small hours, as a clock shows it); `never` when the body
// never rises or never sets that day (flags NEVER_RISES or NEVER_SETS), in which case the bar
// shows "-" for all three.
struct MapRiseTransitSet {
  int rise = 0, transit = 0, set = 0;
  int flags = 0;
  bool never = false;
};

enum class MapBodyKind { Sun, Moon };

// `biasHours`: the map zone's bias (UT minus local standard time) in hours; `daylight`: whether
// the map zone is in daylight time at the bar's current minute.
MapRiseTransitSet MapRiseTransitSetAt(MapBodyKind body, const DateStamp& localDate, double latitudeDeg,
                                      double longitudeDeg, float biasHours, bool daylight);

// The same in a zone: its bias, and the daylight hour when the zone is in daylight time at
// `localNow` (the bar's current minute, whose date is the one solved). No zone: bias 0, no
// daylight hour.
MapRiseTransitSet MapRiseTransitSetInZone(MapBodyKind body, const DateStamp& localNow, double latitudeDeg,
                                          double longitudeDeg, const ZoneRecord* zone);

// "12.3°" / "-12.3°": whole degrees of the absolute value and tenths (Windows-1252 degree sign).
std::string MapAngleText(double degrees);

// The bar's azimuth and altitude texts of a body: empty while the body is down (the sun below
// −0.8333°, the moon below 0°).
struct MapAngleTexts {
  std::string azimuth, altitude;
};
MapAngleTexts MapBodyAngleTexts(const MapBody& body, MapBodyKind kind);

// The control bar's group title: "%s:  %s  %s" (name, local date, local time); with the GPS
// as source, status 1 gives "%s: (Searching)  %s  %s" and status 0 "%s: (Unavailable)  %s  %s".
enum class MapSource { Location, Gps };
std::string MapGroupTitle(const std::string& name, const std::string& date, const std::string& time,
                          MapSource source = MapSource::Location, int gpsStatus = 2);

// ---- the clock ---------------------------------------------------------------------------

// UT of a local time of the system zone: plus the zone's bias, minus 60 minutes when it is in
// daylight time then. No zone: unchanged.
DateStamp UtFromSystemLocal(const DateStamp& systemLocal, const ZoneRecord* systemZone);

// The local time of a map location's zone for the system's local time: minus 60 minutes when
// the system zone is in daylight time, plus (system bias − map bias), plus 60 when the map
// zone is in daylight time at the result. Either zone missing: unchanged.
DateStamp MapLocalTime(const DateStamp& systemLocal, const ZoneRecord* systemZone, const ZoneRecord* mapZone);

}  // namespace kv
