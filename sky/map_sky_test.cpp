#include "sky/map_sky.h"

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "resources/strings.h"

namespace kv {
namespace {

// Reference figures from tools/map_sky_reference.py expect (PyMeeus and PyEphem).
struct NutationCase {
  double T, dpsi, deps;
};
const NutationCase kNutationCases[] = {
    {-0.5, -3.30599, 8.31599},
    {-0.127296372348, -3.78793, 9.44252},
    {0.0, -13.92315, -5.77391},
    {0.0871, 11.53381, 7.33515},
    {0.2594, 4.58725, 8.26354},
    {0.5, 15.16606, -5.33198},
    {1.0, 3.26812, 8.57791},
};

struct BodyFigures {
  double ra, dec, gha, az, alt;
};
struct SkyCase {
  DateStamp ut;
  double lat, lon;
  BodyFigures sun, moon;
};
const SkyCase kSkyCases[] = {
    {{2000, 1, 1, 12, 0}, 0.0, 0.0, {281.27850, -23.03242, 359.17857, 178.06868, 66.95374}, {222.45217, -10.90066, 58.00490, 257.20645, 31.35147}},
    {{2024, 6, 20, 20, 51}, 51.4769, -0.0005, {89.99996, 23.43823, 132.30374, 317.12469, -4.21043}, {253.54502, -27.07746, 328.75868, 152.28635, 6.77777}},
    {{2024, 12, 21, 9, 21}, -33.8688, 151.2093, {270.00051, -23.43839, 320.69082, 238.53337, -3.58189}, {165.10837, 8.13635, 65.58296, 118.67655, -47.48558}},
    {{2025, 3, 14, 6, 55}, 40.7128, -74.006, {354.43919, -2.40567, 281.46135, 40.12912, -44.37909}, {174.56828, 2.69683, 101.33226, 220.17116, 44.69611}},
    {{2025, 9, 7, 18, 9}, 35.6762, 139.6503, {166.53626, 5.76392, 92.78591, 61.10205, -25.73153}, {346.64407, -6.01523, 272.67810, 240.81964, 25.63214}},
    {{2026, 1, 3, 0, 0}, -23.5505, -46.6333, {283.69911, -22.84047, 178.93454, 228.47104, -24.42481}, {97.64995, 27.81058, 4.98370, 40.35553, 24.80005}},
    {{1987, 4, 10, 19, 21}, 64.1466, -21.9426, {18.83162, 7.96824, 109.90527, 271.66484, 8.05378}, {162.90864, 10.22347, 325.82825, 117.00578, 23.51497}},
};

struct RtsCase {
  MapBodyKind body;
  DateStamp date;
  double lat, lon;
  int biasMinutes;
  int rise, transit, set;
};
const RtsCase kRtsCases[] = {
    {MapBodyKind::Sun, {2024, 6, 21}, 51.5074, -0.1278, 0, 223, 722, 1222},
    {MapBodyKind::Sun, {2024, 12, 21}, -33.8688, 151.2093, -600, 281, 713, 1146},
    {MapBodyKind::Sun, {2025, 3, 20}, 40.7128, -74.006, 300, 359, 723, 1088},
    {MapBodyKind::Moon, {2024, 6, 21}, 36.17, -115.14, 480, 1162, 1439, 218},
    {MapBodyKind::Moon, {2025, 9, 7}, 35.6762, 139.6503, -540, 1067, 1413, 259},
};

// Difference of two angles in degrees, folded into [−180, 180).
double AngleDiff(double a, double b) { return std::remainder(a - b, 360.0); }

TEST(MapSky, NutationTableRows) {
  const NutationRow* t = NutationTable();
  const int32_t first[9] = {0, 0, 2, -2, 2, -13187, -16, 5736, -31};
  EXPECT_TRUE(std::equal(first, first + 9, t[0]));
  // The last row and a row with a rate in both columns.
  const int32_t last[9] = {0, -1, 2, 2, 2, -3, 0, 0, 0};
  EXPECT_TRUE(std::equal(last, last + 9, t[kNutationRows - 1]));
  const int32_t withRates[9] = {0, 1, 0, 0, 0, 1426, -34, 54, -1};
  EXPECT_TRUE(std::equal(withRates, withRates + 9, t[3]));
}

TEST(MapSky, NutationAgreesWithPyMeeus) {
  for (const NutationCase& c : kNutationCases) {
    Nutation n = NutationIau1980(c.T);
    EXPECT_NEAR(n.dpsi, c.dpsi, 0.0005) << c.T;
    EXPECT_NEAR(n.deps, c.deps, 0.0005) << c.T;
  }
  // Meeus's worked example 22.a: 1987 April 10, 0h TD.
  Nutation n = NutationIau1980(-0.127296372348);
  EXPECT_NEAR(n.dpsi, -3.788, 0.001);
  EXPECT_NEAR(n.deps, 9.443, 0.001);
}

TEST(MapSky, SunAndMoonAgreeWithPyEphem) {
  for (const SkyCase& c : kSkyCases) {
    MapSky s = ComputeMapSky(c.ut, c.lat, c.lon);
    SCOPED_TRACE(testing::Message() << c.ut.year << "-" << c.ut.month << "-" << c.ut.day << " " << c.ut.hour << ":"
                                    << c.ut.minute);
    // The sun to a few seconds of arc (the truncated series); the moon is taken at the UT
    // instant, about a minute before its dynamical time, so to 0.02°.
    EXPECT_NEAR(AngleDiff(s.sun.ra, c.sun.ra), 0, 0.003);
    EXPECT_NEAR(s.sun.dec, c.sun.dec, 0.003);
    EXPECT_NEAR(AngleDiff(s.sun.gha, c.sun.gha), 0, 0.006);  // mean against apparent sidereal time
    EXPECT_NEAR(AngleDiff(s.sun.az, c.sun.az), 0, 0.02);
    EXPECT_NEAR(s.sun.alt, c.sun.alt, 0.005);
    EXPECT_NEAR(AngleDiff(s.moon.ra, c.moon.ra), 0, 0.02);
    EXPECT_NEAR(s.moon.dec, c.moon.dec, 0.02);
    EXPECT_NEAR(AngleDiff(s.moon.gha, c.moon.gha), 0, 0.02);
    EXPECT_NEAR(AngleDiff(s.moon.az, c.moon.az), 0, 0.05);
    EXPECT_NEAR(s.moon.alt, c.moon.alt, 0.02);
    // The sub-points on the map.
    EXPECT_EQ(s.sun.x, MapX(-s.sun.gha));
    EXPECT_EQ(s.sun.y, MapY(s.sun.dec));
    EXPECT_TRUE(s.sun.visible);
    EXPECT_EQ(s.moon.visible, MapVisible(MapY(s.moon.dec)));
    EXPECT_GE(s.sun.gha, 0);
    EXPECT_LT(s.sun.gha, 360);
    EXPECT_GE(s.sun.az, 0);
    EXPECT_LT(s.sun.az, 360);
  }
}

TEST(MapSky, SubSolarPointAtNoonAndMidnight) {
  // Noon at Greenwich, near the equation of time's zero in mid-April: the sub-solar point sits
  // on the meridian's column; at midnight it is on the other side of the map.
  MapSky noon = ComputeMapSky({2025, 4, 15, 12, 0}, 0, 0);
  EXPECT_NEAR(noon.sun.x, 374, 1);
  MapSky midnight = ComputeMapSky({2025, 4, 15, 0, 0}, 0, 0);
  EXPECT_NEAR(midnight.sun.x, 774, 1);
  // Solstices: the sun over the tropics.
  EXPECT_EQ(ComputeMapSky({2024, 6, 20, 20, 51}, 0, 0).sun.y, MapY(23.44));
  EXPECT_EQ(ComputeMapSky({2024, 12, 21, 9, 21}, 0, 0).sun.y, MapY(-23.44));
}

TEST(MapSky, MoonFrameAtKnownPhases) {
  struct Case {
    DateStamp ut;
    int frame;
  } cases[] = {
      {{2024, 1, 11, 11, 57}, 0},   // new moon
      {{2024, 1, 18, 3, 53}, 4},    // first quarter
      {{2024, 1, 25, 17, 54}, 8},   // full moon
      {{2024, 2, 2, 23, 18}, 12},   // last quarter
      {{2025, 9, 7, 18, 11}, 8},    // full moon (total eclipse)
      {{2025, 9, 21, 19, 54}, 0},   // new moon
      {{2000, 1, 6, 18, 14}, 0},    // new moon
      {{2024, 1, 11, 2, 0}, 0},     // ten hours before new moon: still frame 0 (10° early)
      {{2024, 1, 10, 0, 0}, 15},    // a day and a half before
  };
  for (const Case& c : cases) EXPECT_EQ(ComputeMapSky(c.ut, 0, 0).moonFrame, c.frame) << c.ut.month << "/" << c.ut.day;
}

TEST(MapSky, BarTimesAgreeWithPyEphem) {
  for (const RtsCase& c : kRtsCases) {
    MapRiseTransitSet r =
        MapRiseTransitSetAt(c.body, c.date, c.lat, c.lon, static_cast<float>(c.biasMinutes / 60.0), false);
    SCOPED_TRACE(testing::Message() << c.date.year << "-" << c.date.month << "-" << c.date.day << " " << c.lat);
    EXPECT_FALSE(r.never);
    EXPECT_NEAR(r.rise, c.rise, 2);
    EXPECT_NEAR(r.transit, c.transit, 2);
    EXPECT_NEAR(r.set, c.set, 2);
    // The daylight hour moves all three.
    MapRiseTransitSet d = MapRiseTransitSetAt(c.body, c.date, c.lat, c.lon, static_cast<float>(c.biasMinutes / 60.0), true);
    EXPECT_EQ(d.rise, MinuteOfDay(r.rise + 60));
    EXPECT_EQ(d.transit, MinuteOfDay(r.transit + 60));
    EXPECT_EQ(d.set, MinuteOfDay(r.set + 60));
  }
}

ZoneRecord Zone(int bias, bool rule) {
  ZoneRecord z;
  z.id = 1;
  z.bias = bias;
  if (rule) {
    // Second Sunday of March at 2:00 to first Sunday of November at 2:00.
    z.daylightDate = {3, 0, 2, 120};
    z.standardDate = {11, 0, 1, 120};
  }
  return z;
}

TEST(MapSky, BarTimesInAZoneWithDaylightTime) {
  // New York: an hour later in its daylight period (the test at the bar's minute: 8 March 2026
  // before and after 2:00), none without a zone.
  ZoneRecord newYork = Zone(300, true);
  MapRiseTransitSet winter = MapRiseTransitSetInZone(MapBodyKind::Sun, {2026, 3, 8, 1, 59}, 40.7128, -74.006, &newYork);
  MapRiseTransitSet summer = MapRiseTransitSetInZone(MapBodyKind::Sun, {2026, 3, 8, 2, 0}, 40.7128, -74.006, &newYork);
  EXPECT_EQ(summer.rise, winter.rise + 60);
  EXPECT_EQ(summer.set, winter.set + 60);
  EXPECT_NEAR(winter.transit, 12 * 60 + 6, 2);  // 74° west of the zone's meridian 75°, equation of time −11 min
  MapRiseTransitSet utc = MapRiseTransitSetInZone(MapBodyKind::Sun, {2026, 3, 8, 12, 0}, 51.4769, 0, nullptr);
  EXPECT_NEAR(utc.transit, 12 * 60 + 11, 2);
}

TEST(MapSky, BarTimesNeverRiseOrSet) {
  MapRiseTransitSet polarDay = MapRiseTransitSetAt(MapBodyKind::Sun, {2024, 6, 21}, 78, 15, -1, false);
  EXPECT_TRUE(polarDay.never);
  EXPECT_EQ(polarDay.flags, NEVER_SETS);
  MapRiseTransitSet polarNight = MapRiseTransitSetAt(MapBodyKind::Sun, {2024, 12, 21}, 78, 15, -1, false);
  EXPECT_TRUE(polarNight.never);
  EXPECT_EQ(polarNight.flags, NEVER_RISES);
}

TEST(MapSky, ShadingShift) {
  EXPECT_EQ(ShadingShift(374), 0);
  EXPECT_EQ(ShadingShift(0), 374);
  EXPECT_EQ(ShadingShift(375), 799);
  EXPECT_EQ(ShadingShift(799), 375);
}

uint32_t AlphaAt(const std::vector<uint32_t>& p, int x, int y) {
  return p[static_cast<size_t>(y) * kMapWidth + static_cast<size_t>(x)] >> 24;
}

TEST(MapSky, ShadingAtTheJuneSolstice) {
  DateStamp day{2024, 6, 20};
  EXPECT_TRUE(BuildShading(day, Sunlight::None).empty());
  for (Sunlight mode : {Sunlight::Basic, Sunlight::Detail}) {
    std::vector<uint32_t> p = BuildShading(day, mode);
    ASSERT_EQ(p.size(), static_cast<size_t>(kMapWidth * kMapHeight));
    // Colour bytes stay zero (black, premultiplied) and nothing is darker than the night, the
    // twilight band's far edge included.
    EXPECT_TRUE(std::all_of(p.begin(), p.end(), [](uint32_t v) { return (v & 0xFFFFFF) == 0 && (v >> 24) <= kNightAlpha; }));
    // The top rows (north of the arctic circle) are day all across, the bottom rows (south of
    // the antarctic circle) night all across.
    for (int y : {0, 20, 60}) {
      for (int x = 0; x < kMapWidth; x += 5) ASSERT_LE(AlphaAt(p, x, y), 36u) << x << "," << y;
    }
    // (The last row, 68.4° south, has no day; "Detail" gives it a little twilight at noon.)
    for (int y : {497, 499}) {
      for (int x = 0; x < kMapWidth; x += 5) {
        ASSERT_GT(AlphaAt(p, x, y), 36u) << x << "," << y;
        if (mode == Sunlight::Basic) {
          ASSERT_EQ(AlphaAt(p, x, y), kNightAlpha) << x << "," << y;
        }
      }
    }
    // The equator: day around the sub-solar meridian, night on the far side, and its lit span
    // is about half the row.
    int y = kMapEquatorY;
    // Under the sun's meridian the sun stands 23.4° from the zenith: alpha 23.4 / 90.8 × 36.
    EXPECT_EQ(AlphaAt(p, 374, y), mode == Sunlight::Basic ? 0u : 9u);
    EXPECT_EQ(AlphaAt(p, 774, y), kNightAlpha);
    int lit = 0;
    for (int x = 0; x < kMapWidth; ++x) lit += AlphaAt(p, x, y) <= 36 ? 1 : 0;
    EXPECT_NEAR(lit, 404, 6);
    // Northern mid-latitudes have longer days than southern ones.
    int north = 0, south = 0;
    for (int x = 0; x < kMapWidth; ++x) {
      north += AlphaAt(p, x, MapY(45)) <= 36 ? 1 : 0;
      south += AlphaAt(p, x, MapY(-45)) <= 36 ? 1 : 0;
    }
    // cos H0 = (sin −0.8333° ∓ sin 45° sin 23.44°) / (cos 45° cos 23.44°): 15.62 and 8.76 hours.
    EXPECT_NEAR(north, 800 * 15.62 / 24, 4);
    EXPECT_NEAR(south, 800 * 8.76 / 24, 4);
    if (mode == Sunlight::Basic) {
      EXPECT_EQ(AlphaAt(p, 374, MapY(23.4)), 0u);
      EXPECT_TRUE(std::all_of(p.begin(), p.end(), [](uint32_t v) { return (v >> 24) == 0 || (v >> 24) == kNightAlpha; }));
    } else {
      // Under the sun nearly clear, growing to 36 at the terminator, then the twilight band
      // grading into the night.
      EXPECT_EQ(AlphaAt(p, 374, MapY(23.4)), 0u);
      EXPECT_GT(AlphaAt(p, 374 + 150, y), AlphaAt(p, 374 + 50, y));
      int twilight = 0;
      for (int x = 0; x < kMapWidth; ++x) {
        uint32_t a = AlphaAt(p, x, y);
        EXPECT_LE(a, kNightAlpha);  // nothing darker than the night
        if (a > 36 && a < kNightAlpha) ++twilight;
      }
      // About 6° of depression on each side at the equator: 2 × 6° × 800 / 360 pixels.
      EXPECT_NEAR(twilight, 2 * 6 * 800 / 360, 6);
    }
  }
}

TEST(MapSky, ShadingWrapsAcrossTheEdges) {
  // At 65.5° north in June the day lasts about 22.7 hours: the lit span reaches past the
  // picture's edges (168.3° west of the sub-solar meridian at x = 0) and comes back from the
  // other side, leaving the night in the middle of the far side around x = 774.
  for (Sunlight mode : {Sunlight::Basic, Sunlight::Detail}) {
    std::vector<uint32_t> p = BuildShading({2024, 6, 20}, mode);
    int y = MapY(65.5), lit = 0;
    for (int x = 0; x < kMapWidth; ++x) lit += AlphaAt(p, x, y) <= 36 ? 1 : 0;
    EXPECT_GT(lit, 748);
    EXPECT_LT(lit, 790);
    EXPECT_LE(AlphaAt(p, 0, y), 36u);
    EXPECT_LE(AlphaAt(p, 799, y), 36u);
    EXPECT_GT(AlphaAt(p, 774, y), 36u);
  }
}

TEST(MapSky, AngleTexts) {
  struct Case {
    double deg;
    const char* text;
  } cases[] = {
      {12.34, "12.3\xB0"}, {-12.34, "-12.3\xB0"}, {0, "0.0\xB0"}, {-0.04, "0.0\xB0"},
      {-0.15, "-0.1\xB0"}, {359.99, "359.9\xB0"}, {7.0, "7.0\xB0"},
  };
  for (const Case& c : cases) EXPECT_EQ(MapAngleText(c.deg), c.text) << c.deg;

  MapBody b;
  b.az = 123.45, b.alt = -0.5;
  EXPECT_EQ(MapBodyAngleTexts(b, MapBodyKind::Sun).azimuth, "123.4\xB0");
  EXPECT_EQ(MapBodyAngleTexts(b, MapBodyKind::Sun).altitude, "-0.5\xB0");
  EXPECT_TRUE(MapBodyAngleTexts(b, MapBodyKind::Moon).azimuth.empty());
  b.alt = -0.9;
  EXPECT_TRUE(MapBodyAngleTexts(b, MapBodyKind::Sun).altitude.empty());
  b.alt = 0.1;
  EXPECT_EQ(MapBodyAngleTexts(b, MapBodyKind::Moon).altitude, "0.1\xB0");
}

TEST(MapSky, GroupTitles) {
  EXPECT_EQ(MapGroupTitle("Paris", "12/7/2026", "9:41 PM"), "Paris:  12/7/2026  9:41 PM");
  EXPECT_EQ(MapGroupTitle("GPS", "d", "t", MapSource::Gps, 2), "GPS:  d  t");
  EXPECT_EQ(MapGroupTitle("GPS", "d", "t", MapSource::Gps, 1), "GPS: (Searching)  d  t");
  EXPECT_EQ(MapGroupTitle("GPS", "", "", MapSource::Gps, 0), "GPS: (Unavailable)    ");
}

TEST(MapSky, LocalTimesOfTheMapLocation) {
  ZoneRecord newYork = Zone(300, true), tokyo = Zone(-540, false), utc = Zone(0, false);
  // UT from the system's local time, the daylight hour taken off in summer.
  EXPECT_EQ(UtFromSystemLocal({2025, 7, 1, 22, 30}, &newYork), (DateStamp{2025, 7, 2, 2, 30}));
  EXPECT_EQ(UtFromSystemLocal({2025, 1, 1, 22, 30}, &newYork), (DateStamp{2025, 1, 2, 3, 30}));
  EXPECT_EQ(UtFromSystemLocal({2025, 12, 31, 23, 0}, &utc), (DateStamp{2025, 12, 31, 23, 0}));
  EXPECT_EQ(UtFromSystemLocal({2025, 1, 1, 5, 0}, &tokyo), (DateStamp{2024, 12, 31, 20, 0}));
  EXPECT_EQ(UtFromSystemLocal({2025, 1, 1, 5, 0}, nullptr), (DateStamp{2025, 1, 1, 5, 0}));
  // The map location's clock: from Tokyo to New York in summer and winter, across the year.
  EXPECT_EQ(MapLocalTime({2025, 7, 1, 12, 0}, &tokyo, &newYork), (DateStamp{2024 + 1, 6, 30, 23, 0}));
  EXPECT_EQ(MapLocalTime({2025, 1, 1, 12, 0}, &tokyo, &newYork), (DateStamp{2024, 12, 31, 22, 0}));
  EXPECT_EQ(MapLocalTime({2025, 7, 1, 12, 0}, &newYork, &tokyo), (DateStamp{2025, 7, 2, 1, 0}));
}

}  // namespace
}  // namespace kv
