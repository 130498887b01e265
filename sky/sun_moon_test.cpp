#include "sky/sun_moon.h"

#include <gtest/gtest.h>

#include "calendar/dates.h"

namespace kv {
namespace {

SkySite Site(double lat, double lon, int bias, bool daylight = false, int start = 0, int end = 0) {
  SkySite s;
  s.latitude = lat, s.longitude = lon, s.bias = bias, s.daylight = daylight, s.daylightStart = start, s.daylightEnd = end;
  return s;
}

class SunMoon : public ::testing::Test {
 protected:
  void TearDown() override { SetSkySite(SkySite{}); }
};

TEST_F(SunMoon, RiseAndSetAtLasVegas) {
  // Checked against an independent ephemeris (sun's centre at −50', moon's upper limb at −34').
  SetSkySite(Site(36.17, -115.14, 480));
  RiseSet sun = SunRiseSet(2024, 6, 21);
  EXPECT_EQ(sun.flags, 0);
  EXPECT_EQ(sun.rise, 4 * 60 + 24);
  EXPECT_EQ(sun.set, 19 * 60 + 1);
  EXPECT_NEAR(sun.riseAzimuth, 59.8, 0.2);
  EXPECT_NEAR(sun.setAzimuth, 300.2, 0.2);
  RiseSet moon = MoonRiseSet(2024, 6, 21);
  EXPECT_EQ(moon.flags, 0);
  EXPECT_EQ(moon.rise, 19 * 60 + 22);
  EXPECT_EQ(moon.set, 3 * 60 + 38);
  EXPECT_EQ(SunRiseSet(2024, 6, 21), sun);  // the cached answer
}

TEST_F(SunMoon, TransitPastTheDayDoesNotGiveTheNextDaysRise) {
  // West of Greenwich the first transit estimate can exceed a whole day; the rise then must
  // still be this day's (00:51 on 15 April 1917 at UTC−11), not the next day's (01:35).
  SetSkySite(Site(22.4576, -157.5908, 660));
  EXPECT_EQ(MoonRiseSet(1917, 4, 14).rise, 3);
  EXPECT_EQ(MoonRiseSet(1917, 4, 15).rise, 51);
  EXPECT_EQ(MoonRiseSet(1917, 4, 16).rise, 95);
}

TEST_F(SunMoon, PolarDayAndNight) {
  struct Case {
    double lat;
    int month, day, flags;
  } cases[] = {
      {70, 6, 21, NEVER_SETS}, {70, 12, 21, NEVER_RISES}, {-70, 12, 21, NEVER_SETS}, {-70, 6, 21, NEVER_RISES},
      {70, 3, 21, 0},          {65, 6, 21, 0},
  };
  for (const Case& c : cases) {
    SetSkySite(Site(c.lat, 20, -60));
    EXPECT_EQ(SunRiseSet(2024, c.month, c.day).flags, c.flags) << c.lat << " " << c.month;
  }
}

TEST_F(SunMoon, OneWrapRuleTurnsAnEventOutsideTheDayIntoAFlag) {
  // Near the polar circle the moon's daily swing in declination moves some rises and sets off
  // their day; those days carry a flag although the body crosses the horizon near the date.
  SetSkySite(Site(68.5, 15, -60));
  int flagged = 0, risesAndSets = 0;
  for (int d = 0; d < 3 * 365; ++d) {
    DateStamp date = AddDays(1, 1, 2024, d);
    RiseSet m = MoonRiseSet(date.year, date.month, date.day);
    if (m.flags) ++flagged;
    else ++risesAndSets;
    EXPECT_TRUE(m.flags == 0 || m.flags == NEVER_RISES || m.flags == NEVER_SETS);
    if (m.flags == 0) {
      EXPECT_GE(m.rise, 0);
      EXPECT_LE(m.rise, 1440);
      EXPECT_GE(m.set, 0);
      EXPECT_LE(m.set, 1440);
    }
  }
  EXPECT_GT(flagged, 20);
  EXPECT_GT(risesAndSets, 500);
}

TEST_F(SunMoon, MinutesRoundToTheNearestAndReach1440) {
  struct Case {
    double minutes;
    int expected;
  } cases[] = {{0, 0}, {0.49, 0}, {0.51, 1}, {719.6, 720}, {1439.4, 1439}, {1439.7, 1440}, {1440, 1440}};
  for (const Case& c : cases) EXPECT_EQ(RiseSetMinute(c.minutes / 1440), c.expected) << c.minutes;
}

TEST_F(SunMoon, DaylightCodesNorthAndSouth) {
  struct Case {
    int code, start, end;
    double lat;
    bool daylight;
  } cases[] = {
      {310, 310, 1103, 40, true},   {1102, 310, 1103, 40, true},  {1103, 310, 1103, 40, false},
      {309, 310, 1103, 40, false},  {1006, 1006, 407, -33, true}, {1225, 1006, 407, -33, true},
      {406, 1006, 407, -33, true},  {407, 1006, 407, -33, false}, {700, 1006, 407, -33, false},
      {1005, 1006, 407, -33, false}, {500, 310, 1103, 0, true},
  };
  for (const Case& c : cases) EXPECT_EQ(IsDaylightCode(c.code, c.start, c.end, c.lat), c.daylight) << c.code;
}

TEST_F(SunMoon, PhasesOfAYear) {
  SetSkySite(Site(36.17, -115.14, 480));
  ASSERT_TRUE(MoonPhasesForYear(2024));
  EXPECT_FALSE(MoonPhasesForYear(2024));
  const MoonPhaseTable& t = CurrentMoonPhases();
  EXPECT_EQ(t.year, 2024);
  ASSERT_GE(t.count, 49);
  // The first phases of 2024 (UT: last quarter Jan 4 03:30, new Jan 11 11:57, first quarter
  // Jan 18 03:53, full Jan 25 17:54), at UT − 8 h.
  EXPECT_EQ(t.entries[0], (MoonPhaseEntry{1, 3, 19 * 60 + 32, kLastQuarter}));
  EXPECT_EQ(t.entries[1], (MoonPhaseEntry{1, 11, 3 * 60 + 58, kNewMoon}));
  EXPECT_EQ(t.entries[2].code, kFirstQuarter);
  EXPECT_EQ(t.entries[3].code, kFullMoon);
  // In time order, ending with the first phase of 2025 and the closing entry.
  for (int i = 1; i < t.count - 1; ++i) {
    const MoonPhaseEntry& a = t.entries[static_cast<size_t>(i - 1)];
    const MoonPhaseEntry& b = t.entries[static_cast<size_t>(i)];
    EXPECT_LT(a.month * 100 + a.day, b.month * 100 + b.day);
    EXPECT_EQ(b.code, a.code % 4 + 1);
  }
  EXPECT_EQ(t.entries[static_cast<size_t>(t.count - 1)].month, 1);
  EXPECT_EQ(t.entries[static_cast<size_t>(t.count)].month, 0);
  ClearSkyCaches();
  EXPECT_TRUE(MoonPhasesForYear(2024));
}

TEST_F(SunMoon, PhasesTakeTheDaylightHourAndTheSouthernCodes) {
  SetSkySite(Site(40, -74, 300));
  MoonPhasesForYear(2024);
  MoonPhaseTable standard = CurrentMoonPhases();
  SetSkySite(Site(40, -74, 300, true, 310, 1103));
  MoonPhasesForYear(2024);
  MoonPhaseTable daylight = CurrentMoonPhases();
  SetSkySite(Site(-40, -74, 300));
  MoonPhasesForYear(2024);
  MoonPhaseTable south = CurrentMoonPhases();
  ASSERT_EQ(standard.count, south.count);
  for (int i = 0; i < standard.count; ++i) {
    const MoonPhaseEntry& s = standard.entries[static_cast<size_t>(i)];
    const MoonPhaseEntry& d = daylight.entries[static_cast<size_t>(i)];
    bool summer = s.month * 100 + s.day >= 310 && s.month * 100 + s.day < 1103;
    int shifted = (s.minute + (summer ? 60 : 0)) % 1440;
    EXPECT_EQ(d.minute, shifted) << s.month << "/" << s.day;
    int swapped = s.code == 2 ? 4 : s.code == 4 ? 2 : s.code;
    EXPECT_EQ(south.entries[static_cast<size_t>(i)].code, swapped);
  }
}

TEST_F(SunMoon, PhaseMovedIntoTheNextYearEndsTheTable) {
  // Find a year whose last phase falls on 31 December (UT), then move east until it is 1 January.
  for (int year = 2000; year < 2060; ++year) {
    SetSkySite(Site(0, 0, 0));
    MoonPhasesForYear(year);
    MoonPhaseTable t = CurrentMoonPhases();
    const MoonPhaseEntry& last = t.entries[static_cast<size_t>(t.count - 2)];
    if (last.month != 12 || last.day != 31) continue;
    SetSkySite(Site(0, 0, last.minute - 1440));  // bias east: local = UT + 1440 − minute
    MoonPhasesForYear(year);
    const MoonPhaseTable& moved = CurrentMoonPhases();
    const MoonPhaseEntry& end = moved.entries[static_cast<size_t>(moved.count - 1)];
    EXPECT_EQ(end.month, 1);
    EXPECT_EQ(end.day, 1);
    EXPECT_EQ(end.minute, 0);
    EXPECT_EQ(moved.entries[static_cast<size_t>(moved.count)].month, 0);
    return;
  }
  FAIL() << "no year ends with a phase on 31 December";
}

TEST_F(SunMoon, CandleLightingAndHavdalah) {
  SetSkySite(Site(31.7683, 35.2137, -120, true, 329, 1027));
  RiseSet friday = SunRiseSet(2024, 7, 5);
  EXPECT_EQ(CandleLightingTime(2024, 7, 5, 18), friday.set - 18 + 60);
  RiseSet winter = SunRiseSet(2024, 1, 6);
  EXPECT_EQ(HavdalahTime(2024, 1, 6, 42), winter.set + 42);
  SetSkySite(Site(70, 20, -60));
  EXPECT_FALSE(CandleLightingTime(2024, 6, 21, 18).has_value());
  EXPECT_EQ(MoonPhaseName(5), "");
}

}  // namespace
}  // namespace kv
