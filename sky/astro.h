// Positions of the sun and moon and the rise/transit/set solver: the general routines under the
// daily sun and moon times, the phases and the world map. Angles are radians, time is Julian
// centuries from J2000.0, all in double precision.
#pragma once

#include <cstdint>

namespace kv {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2 * kPi;
constexpr double kDegToRad = 0.017453292519943295;
constexpr double kArcsecToRad = 4.84813681109536e-6;
constexpr double kRadToDeg = 57.29577951308232;

// Into [0, 2π) and into [−π, π).
double ReduceAngle(double x);
double CentreAngle(double x);

// Julian Date of 0 h of a date; dates before 5 October 1582 are Julian-calendar dates.
double JulianDate(int year, int month, int day);
// The same with a time of day added (minutes / 1440 of a day).
double JulianDate(int year, int month, int day, int hour, int minute);

// Julian centuries from J2000.0 of a Julian Date.
inline double CenturiesSinceJ2000(double jd) { return (jd - 2451545.0) / 36525.0; }

// Terrestrial minus universal time in seconds.
double DeltaT(double T);

// Mean obliquity of the ecliptic (radians); no nutation.
double MeanObliquity(double T);

struct SkyPosition {
  double longitude = 0;  // or right ascension
  double latitude = 0;   // or declination
  double distance = 0;   // astronomical units (sun), kilometres (moon)
};

// The Earth's heliocentric position in the FK5 frame of date (the truncated VSOP87 series);
// SunPosition gives the geocentric sun, the opposite direction at the same distance.
SkyPosition EarthHeliocentric(double T);
SkyPosition SunPosition(double T);

// Geocentric ecliptic position of the moon (the truncated ELP-2000/82 series).
SkyPosition MoonPosition(double T);

// Ecliptic (λ, β) to equatorial (α in [0, 2π), δ) for the obliquity ε.
SkyPosition EclipticToEquatorial(double lambda, double beta, double epsilon);

// Greenwich mean sidereal time at the UT instant T (radians, reduced).
double SiderealTime(double T);

// Three-point interpolation of y1, y2, y3 (at −1, 0, +1) at n.
double Interpolate3(double y1, double y2, double y3, double n);

// Flags of a rise/set answer.
constexpr int NEVER_SETS = 16;
constexpr int NEVER_RISES = 32;

struct RiseTransitSetResult {
  double transit = 0, rise = 0, set = 0;   // fractions of the day after T0
  double riseAzimuth = 0, setAzimuth = 0;  // degrees from north through east
  int flags = 0;
};

// Rise, transit and set for the day starting at T0 (UT centuries) from the body's right
// ascensions and declinations of the previous, current and next day (alpha[0..2], delta[0..2]),
// with ΔT in seconds, the standard altitude h0, east longitude and latitude (all radians).
RiseTransitSetResult RiseTransitSet(double T0, double deltaT, const double alpha[3], const double delta[3], double h0,
                                    double longitude, double latitude);

// The VSOP87 Earth table: 195 records of three little-endian doubles (A, B, C), 4680 bytes.
constexpr int kVsop87Records = 195;
constexpr int kVsop87Bytes = 4680;
// The compiled-in copy, and the table in use: the compiled-in copy unless a source is installed.
const uint8_t* CompiledVsop87EarthTable();
const uint8_t* Vsop87EarthTable();
// The Windows program reads the table from its resource, locking it at each use; a source
// that yields nullptr falls back on the compiled-in copy. nullptr uninstalls.
using Vsop87Source = const uint8_t* (*)();
void SetVsop87Source(Vsop87Source source);

}  // namespace kv
