#include "sky/astro.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kv {
namespace {

double Deg(double radians) { return radians * kRadToDeg; }

TEST(Astro, JulianDateOfCalendarDates) {
  struct Case {
    int y, m, d, hour, minute;
    double jd;
  } cases[] = {
      {2000, 1, 1, 0, 0, 2451544.5},    {2000, 1, 1, 12, 0, 2451545.0},   {1957, 10, 4, 19, 26, 2436116.30972},
      {1987, 6, 19, 12, 0, 2446966.0},  {1582, 10, 15, 0, 0, 2299160.5},  {1582, 10, 4, 0, 0, 2299159.5},
      {333, 1, 27, 12, 0, 1842713.0},   {1600, 1, 1, 0, 0, 2305447.5},    {1900, 1, 1, 0, 0, 2415020.5},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(JulianDate(c.y, c.m, c.d, c.hour, c.minute), c.jd, 1e-4) << c.y << "-" << c.m << "-" << c.d;
    if (c.hour == 0 && c.minute == 0) {
      EXPECT_EQ(JulianDate(c.y, c.m, c.d), c.jd);
    }
  }
}

TEST(Astro, DeltaTAcrossItsRanges) {
  auto T = [](double year) { return (year - 2000) / 100; };
  EXPECT_NEAR(DeltaT(T(1620)), 124.0, 1e-9);
  EXPECT_NEAR(DeltaT(T(1900)), -2.7, 1e-9);          // t[140]
  EXPECT_NEAR(DeltaT(T(1901)), -1.35, 1e-9);          // halfway to t[141] = 0
  EXPECT_NEAR(DeltaT(T(1990)), 56.9, 1e-9);
  EXPECT_NEAR(DeltaT(T(2000)), 62.4, 1e-9);           // the last interval extrapolated
  EXPECT_NEAR(DeltaT(T(2050)), 102.3 + 123.5 * 0.5 + 32.5 * 0.25, 1e-9);
  EXPECT_NEAR(DeltaT(T(1500)), 50.6 + 67.5 * -5 + 22.5 * 25, 1e-9);
  EXPECT_NEAR(DeltaT(T(500)), 2715.6 + 573.36 * -15 + 46.5 * 225, 1e-9);
}

TEST(Astro, ObliquitySiderealTimeAndInterpolation) {
  EXPECT_NEAR(Deg(MeanObliquity(0)), 23.4392911, 1e-7);
  EXPECT_NEAR(Deg(MeanObliquity(-0.127296372348)), 23.4409463, 1e-6);  // 1987 April 10
  EXPECT_NEAR(Deg(SiderealTime(CenturiesSinceJ2000(2446895.5))), 197.693195, 1e-6);
  EXPECT_NEAR(Interpolate3(0.884226, 0.877366, 0.870531, 0.18125), 0.876125, 1e-6);
  EXPECT_NEAR(ReduceAngle(-0.5), kTwoPi - 0.5, 1e-12);
  EXPECT_NEAR(CentreAngle(kTwoPi - 0.5), -0.5, 1e-12);
  EXPECT_NEAR(CentreAngle(kPi), -kPi, 1e-12);
}

TEST(Astro, SunPositionOfMeeusExample) {
  // 1992 October 13.0 TD: geometric longitude 199°54'26.18" less 0.09" for FK5 (the truncated
  // series is good to about an arcsecond), latitude +0.62", distance 0.99760775 au.
  double T = CenturiesSinceJ2000(2448908.5);
  SkyPosition sun = SunPosition(T);
  EXPECT_NEAR(Deg(sun.longitude), 199.0 + 54.0 / 60 + 26.09 / 3600, 1.5 / 3600);
  EXPECT_NEAR(Deg(sun.latitude) * 3600, 0.62, 0.5);
  EXPECT_NEAR(sun.distance, 0.99760775, 2e-7);
}

TEST(Astro, MoonPositionOfMeeusExample) {
  // 1992 April 12, 0 h TD.
  SkyPosition moon = MoonPosition(-0.077221081451);
  EXPECT_NEAR(Deg(moon.longitude), 133.162655, 2e-5);
  EXPECT_NEAR(Deg(moon.latitude), -3.229126, 2e-5);
  EXPECT_NEAR(moon.distance, 368409.7, 0.1);
}

TEST(Astro, EclipticToEquatorialOfPollux) {
  SkyPosition q = EclipticToEquatorial(113.215630 * kDegToRad, 6.684170 * kDegToRad, 23.4392911 * kDegToRad);
  EXPECT_NEAR(Deg(q.longitude), 116.328942, 1e-5);
  EXPECT_NEAR(Deg(q.latitude), 28.026183, 1e-5);
  SkyPosition west = EclipticToEquatorial(-kPi / 2, 0, 0.4);
  EXPECT_GE(west.longitude, 0);  // right ascension is never negative
}

TEST(Astro, RiseTransitSetOfVenusAtBoston) {
  // Meeus example 15.a: Venus at Boston on 1988 March 20 (h0 = −0.5667°, ΔT = 56 s).
  const double alpha[3] = {40.68021 * kDegToRad, 41.73129 * kDegToRad, 42.78204 * kDegToRad};
  const double delta[3] = {18.04761 * kDegToRad, 18.44092 * kDegToRad, 18.82742 * kDegToRad};
  RiseTransitSetResult r = RiseTransitSet(CenturiesSinceJ2000(2447240.5), 56, alpha, delta, -0.5667 * kDegToRad,
                                          -71.0833 * kDegToRad, 42.3333 * kDegToRad);
  EXPECT_EQ(r.flags, 0);
  EXPECT_NEAR(r.transit, 0.81980, 3e-4);
  EXPECT_NEAR(r.rise, 0.51766, 3e-4);
  EXPECT_NEAR(r.set, 0.12130, 3e-4);
  // cos A = (sin δ − sin φ sin h0) / (cos φ cos h0) with δ at the events: 18.64° and 18.49°.
  EXPECT_NEAR(r.riseAzimuth, 63.79, 0.05);
  EXPECT_NEAR(r.setAzimuth, 360 - 64.01, 0.1);
}

TEST(Astro, CircumpolarBodiesAreFlaggedAndTheTransitStillRefined) {
  const double alpha[3] = {1.0, 1.01, 1.02};
  const double up[3] = {1.2, 1.2, 1.2};      // +69° at latitude 60: always up
  const double down[3] = {-1.2, -1.2, -1.2};
  RiseTransitSetResult a = RiseTransitSet(0.1, 60, alpha, up, -0.0145, 0.3, 60 * kDegToRad);
  RiseTransitSetResult b = RiseTransitSet(0.1, 60, alpha, down, -0.0145, 0.3, 60 * kDegToRad);
  EXPECT_EQ(a.flags, NEVER_SETS);
  EXPECT_EQ(b.flags, NEVER_RISES);
  EXPECT_NEAR(a.rise, a.transit - 0.5 + (a.transit - 0.5 < 0 ? 1 : 0), 0.01);
  EXPECT_EQ(b.rise, b.set);
  // The refined transit puts the body on the meridian.
  double theta = SiderealTime(0.1) + 6.300388092591991 * a.transit + 0.3;
  EXPECT_NEAR(CentreAngle(theta - Interpolate3(1.0, 1.01, 1.02, a.transit + 60 / 86400.0)), 0, 0.0002 * kTwoPi);
}

}  // namespace
}  // namespace kv
