#include "sky/sun_moon.h"

#include <cmath>

#include "calendar/dates.h"
#include "resources/strings.h"

namespace kv {
namespace {

// One cached day of rise and set results.
struct DayCache {
  double jd = 0;  // 0 = empty
  RiseSet result;
};

struct SunMoonState {
  SkySite site;
  DayCache sun, moon;
  MoonPhaseTable phases;
};

SunMoonState& State() {
  static SunMoonState state;
  return state;
}

constexpr double kSunAltitude = -0.014543828656868749;  // −0.8333°
constexpr double kSecondsToCenturies = 3.168808781402895e-10;

using PositionFn = SkyPosition (*)(double);

// The shared body of SunRiseSet and MoonRiseSet.
RiseSet ComputeRiseSet(int year, int month, int day, PositionFn position, bool moon, DayCache& cache) {
  double jd = JulianDate(year, month, day);
  if (jd == cache.jd) return cache.result;
  const SkySite& site = State().site;
  double T = CenturiesSinceJ2000(jd);
  // Local midnight as UT; the bias is turned into centuries in single precision.
  double T0 = T + static_cast<double>(static_cast<float>(site.bias) / 60.0f / 876600.0f);
  double dt = DeltaT(T);
  double Te = T0 + dt * kSecondsToCenturies;
  double epsilon = MeanObliquity(Te);
  double alpha[3], delta[3], distance = 0;
  for (int i = -1; i <= 1; ++i) {
    SkyPosition p = position(Te + i / 36525.0);
    SkyPosition q = EclipticToEquatorial(p.longitude, p.latitude, epsilon);
    alpha[i + 1] = q.longitude;
    delta[i + 1] = q.latitude;
    if (i == 0) distance = p.distance;
  }
  double h0 = kSunAltitude;
  if (moon) h0 = 0.7275 * std::asin(6378.14 / distance) - 0.5667 * kDegToRad;
  RiseTransitSetResult r =
      RiseTransitSet(T0, dt, alpha, delta, h0, site.longitude * kDegToRad, site.latitude * kDegToRad);
  RiseSet out;
  out.rise = RiseSetMinute(r.rise);
  out.set = RiseSetMinute(r.set);
  out.riseAzimuth = r.riseAzimuth;
  out.setAzimuth = r.setAzimuth;
  out.flags = r.flags;
  cache.jd = jd;
  cache.result = out;
  return out;
}

// Calendar date of a Julian Date (Meeus), the day carrying its fraction.
void CalendarDate(double jd, int& year, int& month, double& day) {
  jd += 0.5;
  double Z = std::floor(jd), F = jd - Z;
  double A = Z;
  if (Z >= 2299161) {
    double a = std::floor((Z - 1867216.25) / 36524.25);
    A = Z + 1 + a - std::floor(a / 4);
  }
  double B = A + 1524;
  double C = std::floor((B - 122.1) / 365.25);
  double D = std::floor(365.25 * C);
  double E = std::floor((B - D) / 30.6001);
  day = B - D - std::floor(30.6001 * E) + F;
  month = static_cast<int>(E < 13.5 ? E - 1 : E - 13);
  year = static_cast<int>(month >= 3 ? C - 4716 : C - 4715);
}

double Degrees(double x) {
  if (x > 360) x = std::fmod(x, 360);
  return x * kDegToRad;
}

bool IsFirstQuarter(double k, double f) { return (f == 0.25 && k >= 0) || (f == -0.75 && k < 0); }
bool IsLastQuarter(double k, double f) { return (f == 0.75 && k >= 0) || (f == -0.25 && k < 0); }

// The instant (Julian Date) of the phase of lunation k (Meeus's earlier mean-phase formula
// with lunations counted from January 1900).
double PhaseInstant(double k) {
  double T = k / 1236.85, T2 = T * T, T3 = T2 * T;
  double M = Degrees(359.2242 + 29.10535608 * k - 0.0000333 * T2 - 0.00000347 * T3);
  double Mp = Degrees(306.0253 + 385.81691806 * k + 0.0107306 * T2 + 0.00001236 * T3);
  double F = Degrees(21.2964 + 390.67050646 * k - 0.0016528 * T2 - 0.00000239 * T3);
  double jd = 2415020.75933 + 29.53058868 * k + 0.0001178 * T2 - 0.000000155 * T3 +
              0.00033 * std::sin((166.56 + 132.87 * T - 0.009173 * T2) * kDegToRad);
  double f = k - std::trunc(k);
  if (f == 0 || f == 0.5 || f == -0.5) {
    jd += (0.1734 - 0.000393 * T) * std::sin(M) + 0.0021 * std::sin(2 * M) - 0.4068 * std::sin(Mp) +
          0.0161 * std::sin(2 * Mp) - 0.0004 * std::sin(3 * Mp) + 0.0104 * std::sin(2 * F) -
          0.0051 * std::sin(M + Mp) - 0.0074 * std::sin(M - Mp) + 0.0004 * std::sin(2 * F + M) -
          0.0004 * std::sin(2 * F - M) - 0.0006 * std::sin(2 * F + Mp) + 0.0010 * std::sin(2 * F - Mp) +
          0.0005 * std::sin(M + 2 * Mp);
  } else {
    jd += (0.1721 - 0.0004 * T) * std::sin(M) + 0.0021 * std::sin(2 * M) - 0.628 * std::sin(Mp) +
          0.0089 * std::sin(2 * Mp) - 0.0004 * std::sin(3 * Mp) + 0.0079 * std::sin(2 * F) -
          0.0119 * std::sin(M + Mp) - 0.0047 * std::sin(M - Mp) + 0.0003 * std::sin(2 * F + M) -
          0.0004 * std::sin(2 * F - M) - 0.0006 * std::sin(2 * F + Mp) + 0.0021 * std::sin(2 * F - Mp) +
          0.0003 * std::sin(M + 2 * Mp) + 0.0004 * std::sin(M - 2 * Mp) - 0.0003 * std::sin(2 * M - Mp);
    if (IsFirstQuarter(k, f)) jd += 0.0028 - 0.0004 * std::cos(M) + 0.0003 * std::cos(Mp);
    if (IsLastQuarter(k, f)) jd += -0.0028 + 0.0004 * std::cos(M) - 0.0003 * std::cos(Mp);
  }
  return jd;
}

}  // namespace

void SetSkySite(const SkySite& site) {
  State().site = site;
  ClearSkyCaches();
}

const SkySite& CurrentSkySite() { return State().site; }

void ClearSkyCaches() {
  SunMoonState& s = State();
  s.sun.jd = 0;
  s.moon.jd = 0;
  s.phases.year = 0;
}

bool IsDaylightCode(int code, int start, int end, double latitude) {
  if (latitude >= 0) return start <= code && code < end;
  return code >= start || code < end;
}

bool SiteInDaylight(int month, int day) {
  const SkySite& site = State().site;
  return site.daylight && IsDaylightCode(month * 100 + day, site.daylightStart, site.daylightEnd, site.latitude);
}

int RiseSetMinute(double fraction) {
  double hours = fraction * 24 + 0.00833333333;  // half a minute
  double whole = std::trunc(hours);
  return static_cast<int>(whole) * 60 + static_cast<int>((hours - whole) * 60);
}

RiseSet SunRiseSet(int year, int month, int day) {
  return ComputeRiseSet(year, month, day, SunPosition, false, State().sun);
}

RiseSet MoonRiseSet(int year, int month, int day) {
  return ComputeRiseSet(year, month, day, MoonPosition, true, State().moon);
}

bool MoonPhasesForYear(int year) {
  SunMoonState& s = State();
  if (s.phases.year == year && year != 0) return false;
  const SkySite& site = s.site;
  MoonPhaseTable table;
  double k0 = (year + 0.0424375935815675 - 1900) * 12.3685 - 1;
  double k = std::trunc(k0);
  if (k0 - k >= 0.5) k += 1;
  double kEnd = k + 13.5;
  for (; k < kEnd && table.count < kMoonPhaseSlots - 1; k += 0.25) {
    int y, m;
    double dayWithFraction;
    CalendarDate(PhaseInstant(k), y, m, dayWithFraction);
    if (y < year) continue;
    int d = static_cast<int>(dayWithFraction);
    int minute = static_cast<int>((dayWithFraction - d) * 1440) - site.bias;
    if (site.daylight && IsDaylightCode(m * 100 + d, site.daylightStart, site.daylightEnd, site.latitude)) minute += 60;
    if (minute < 0 || minute > 1439) {
      DateStamp moved = AddDays(m, d, y, minute < 0 ? -1 : 1);
      minute += minute < 0 ? 1440 : -1440;
      y = moved.year, m = moved.month, d = moved.day;
    }
    if (y < year) continue;
    double f = k - std::trunc(k);
    int code = f == 0 ? kNewMoon : (f == 0.5 || f == -0.5) ? kFullMoon : IsFirstQuarter(k, f) ? kFirstQuarter : kLastQuarter;
    if (site.latitude < 0 && (code == kFirstQuarter || code == kLastQuarter)) code = 6 - code;
    table.entries[static_cast<size_t>(table.count++)] = {m, d, minute, code};
    if (y > year) break;
  }
  table.entries[static_cast<size_t>(table.count)] = MoonPhaseEntry{};
  table.year = year;
  s.phases = table;
  return true;
}

const MoonPhaseTable& CurrentMoonPhases() { return State().phases; }

std::string MoonPhaseName(int code) {
  if (code < kNewMoon || code > kLastQuarter) return {};
  return std::string(StringText(1069 + code));
}

namespace {

std::optional<int> SunsetOffset(int year, int month, int day, int offset) {
  RiseSet r = SunRiseSet(year, month, day);
  if (r.flags != 0) return std::nullopt;
  int minute = r.set + offset + (SiteInDaylight(month, day) ? 60 : 0);
  return ((minute % kMinutesPerDay) + kMinutesPerDay) % kMinutesPerDay;
}

}  // namespace

std::optional<int> CandleLightingTime(int year, int month, int day, int minutesBefore) {
  return SunsetOffset(year, month, day, -minutesBefore);
}

std::optional<int> HavdalahTime(int year, int month, int day, int minutesAfter) {
  return SunsetOffset(year, month, day, minutesAfter);
}

std::string ConsultRabbiText() { return std::string(StringText(1130)); }
std::string NeverRisesText(bool moon) { return std::string(StringText(moon ? 22001 : 1133)); }
std::string NeverSetsText(bool moon) { return std::string(StringText(moon ? 22000 : 1132)); }

}  // namespace kv
