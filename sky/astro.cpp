#include "sky/astro.h"

#include <algorithm>
#include <cmath>

#include "base/bytes.h"
#include "sky/angle_multiples.h"

namespace kv {
namespace {

// Terms per series of the VSOP87 table, power 0, 1, 2, ... of τ; the records follow in this
// order: the six longitude series, the two latitude series, the five radius series.
constexpr int kLTerms[] = {64, 34, 20, 7, 3, 1};
constexpr int kBTerms[] = {5, 2};
constexpr int kRTerms[] = {40, 10, 6, 2, 1};

const uint8_t kCompiledVsop87[kVsop87Bytes] = {
#include "vsop87_earth.inc"
};

Vsop87Source& InstalledSource() {
  static Vsop87Source source = nullptr;
  return source;
}

// ΔT in tenths of a second, every two years from 1620 to 1992.
constexpr int16_t kDeltaT[187] = {
    1240, 1150, 1060, 980, 910, 850, 790, 740, 700, 650, 620, 580, 550, 530, 500, 480, 460, 440, 420, 400,
    370,  350,  330,  310, 280, 260, 240, 220, 200, 180, 160, 140, 130, 120, 110, 100, 90,  90,  90,  90,
    90,   90,   90,   90,  100, 100, 100, 100, 100, 110, 110, 110, 110, 110, 110, 110, 110, 120, 120, 120,
    120,  120,  130,  130, 130, 130, 140, 140, 140, 150, 150, 150, 150, 160, 160, 160, 160, 160, 170, 170,
    170,  170,  170,  170, 170, 170, 160, 160, 150, 140, 137, 131, 127, 125, 125, 125, 125, 125, 125, 123,
    120,  114,  106,  96,  86,  75,  66,  60,  57,  56,  57,  59,  62,  65,  68,  71,  73,  75,  77,  78,
    79,   75,   64,   54,  29,  16,  -10, -27, -36, -47, -54, -52, -55, -56, -58, -59, -62, -64, -61, -47,
    -27,  0,    26,   54,  77,  105, 134, 160, 182, 202, 212, 224, 235, 239, 243, 240, 239, 239, 237, 240,
    243,  253,  262,  273, 282, 291, 300, 307, 314, 322, 331, 340, 350, 365, 383, 402, 422, 445, 465, 485,
    505,  522,  538,  549, 558, 569, 580};

// Meeus, Astronomical Algorithms, table 47.A: multipliers of D, M, M', F; longitude sine
// coefficient (1e-6 degrees); distance cosine coefficient (1e-3 km).
constexpr int32_t kMoonLR[60][6] = {
    {0, 0, 1, 0, 6288774, -20905355},
    {2, 0, -1, 0, 1274027, -3699111},
    {2, 0, 0, 0, 658314, -2955968},
    {0, 0, 2, 0, 213618, -569925},
    {0, 1, 0, 0, -185116, 48888},
    {0, 0, 0, 2, -114332, -3149},
    {2, 0, -2, 0, 58793, 246158},
    {2, -1, -1, 0, 57066, -152138},
    {2, 0, 1, 0, 53322, -170733},
    {2, -1, 0, 0, 45758, -204586},
    {0, 1, -1, 0, -40923, -129620},
    {1, 0, 0, 0, -34720, 108743},
    {0, 1, 1, 0, -30383, 104755},
    {2, 0, 0, -2, 15327, 10321},
    {0, 0, 1, 2, -12528, 0},
    {0, 0, 1, -2, 10980, 79661},
    {4, 0, -1, 0, 10675, -34782},
    {0, 0, 3, 0, 10034, -23210},
    {4, 0, -2, 0, 8548, -21636},
    {2, 1, -1, 0, -7888, 24208},
    {2, 1, 0, 0, -6766, 30824},
    {1, 0, -1, 0, -5163, -8379},
    {1, 1, 0, 0, 4987, -16675},
    {2, -1, 1, 0, 4036, -12831},
    {2, 0, 2, 0, 3994, -10445},
    {4, 0, 0, 0, 3861, -11650},
    {2, 0, -3, 0, 3665, 14403},
    {0, 1, -2, 0, -2689, -7003},
    {2, 0, -1, 2, -2602, 0},
    {2, -1, -2, 0, 2390, 10056},
    {1, 0, 1, 0, -2348, 6322},
    {2, -2, 0, 0, 2236, -9884},
    {0, 1, 2, 0, -2120, 5751},
    {0, 2, 0, 0, -2069, 0},
    {2, -2, -1, 0, 2048, -4950},
    {2, 0, 1, -2, -1773, 4130},
    {2, 0, 0, 2, -1595, 0},
    {4, -1, -1, 0, 1215, -3958},
    {0, 0, 2, 2, -1110, 0},
    {3, 0, -1, 0, -892, 3258},
    {2, 1, 1, 0, -810, 2616},
    {4, -1, -2, 0, 759, -1897},
    {0, 2, -1, 0, -713, -2117},
    {2, 2, -1, 0, -700, 2354},
    {2, 1, -2, 0, 691, 0},
    {2, -1, 0, -2, 596, 0},
    {4, 0, 1, 0, 549, -1423},
    {0, 0, 4, 0, 537, -1117},
    {4, -1, 0, 0, 520, -1571},
    {1, 0, -2, 0, -487, -1739},
    {2, 1, 0, -2, -399, 0},
    {0, 0, 2, -2, -381, -4421},
    {1, 1, 1, 0, 351, 0},
    {3, 0, -2, 0, -340, 0},
    {4, 0, -3, 0, 330, 0},
    {2, -1, 2, 0, 327, 0},
    {0, 2, 1, 0, -323, 1165},
    {1, 1, -1, 0, 299, 0},
    {2, 0, 3, 0, 294, 0},
    {2, 0, -1, -2, 0, 8752},
};
// Table 47.B: multipliers of D, M, M', F; latitude sine coefficient (1e-6 degrees).
constexpr int32_t kMoonB[60][5] = {
    {0, 0, 0, 1, 5128122},
    {0, 0, 1, 1, 280602},
    {0, 0, 1, -1, 277693},
    {2, 0, 0, -1, 173237},
    {2, 0, -1, 1, 55413},
    {2, 0, -1, -1, 46271},
    {2, 0, 0, 1, 32573},
    {0, 0, 2, 1, 17198},
    {2, 0, 1, -1, 9266},
    {0, 0, 2, -1, 8822},
    {2, -1, 0, -1, 8216},
    {2, 0, -2, -1, 4324},
    {2, 0, 1, 1, 4200},
    {2, 1, 0, -1, -3359},
    {2, -1, -1, 1, 2463},
    {2, -1, 0, 1, 2211},
    {2, -1, -1, -1, 2065},
    {0, 1, -1, -1, -1870},
    {4, 0, -1, -1, 1828},
    {0, 1, 0, 1, -1794},
    {0, 0, 0, 3, -1749},
    {0, 1, -1, 1, -1565},
    {1, 0, 0, 1, -1491},
    {0, 1, 1, 1, -1475},
    {0, 1, 1, -1, -1410},
    {0, 1, 0, -1, -1344},
    {1, 0, 0, -1, -1335},
    {0, 0, 3, 1, 1107},
    {4, 0, 0, -1, 1021},
    {4, 0, -1, 1, 833},
    {0, 0, 1, -3, 777},
    {4, 0, -2, 1, 671},
    {2, 0, 0, -3, 607},
    {2, 0, 2, -1, 596},
    {2, -1, 1, -1, 491},
    {2, 0, -2, 1, -451},
    {0, 0, 3, -1, 439},
    {2, 0, 2, 1, 422},
    {2, 0, -3, -1, 421},
    {2, 1, -1, 1, -366},
    {2, 1, 0, 1, -351},
    {4, 0, 0, 1, 331},
    {2, -1, 1, 1, 315},
    {2, -2, 0, -1, 302},
    {0, 0, 1, 3, -283},
    {2, 1, 1, -1, -229},
    {1, 1, 0, -1, 223},
    {1, 1, 0, 1, 223},
    {0, 1, -2, -1, -220},
    {2, 1, -1, -1, -220},
    {1, 0, 1, 1, -185},
    {2, -1, -2, -1, 181},
    {0, 1, 2, 1, -177},
    {4, 0, -2, -1, 176},
    {4, -1, -1, -1, 166},
    {1, 0, 1, -1, -164},
    {4, 0, 1, -1, 132},
    {1, 0, -1, -1, -119},
    {4, -1, 0, -1, 115},
    {2, -2, 0, 1, 107},
};

// Σ over the series of one variable, each series a sum of A cos(B + C τ), times τ^power.
double SumSeries(const uint8_t*& p, const int* counts, int series, double tau) {
  double total = 0, power = 1;
  for (int k = 0; k < series; ++k) {
    double sum = 0;
    for (int i = 0; i < counts[k]; ++i, p += 24) sum += ReadF64LE(p) * std::cos(ReadF64LE(p + 8) + ReadF64LE(p + 16) * tau);
    total += sum * power;
    power *= tau;
  }
  return total;
}

double Poly(const double c[5], double T) { return c[0] + T * (c[1] + T * (c[2] + T * (c[3] + T * c[4]))); }

template <int N>
using Multiples = AngleMultiples<N>;

}  // namespace

double ReduceAngle(double x) { return x - std::floor(x / kTwoPi) * kTwoPi; }
double CentreAngle(double x) { return x - std::floor(x / kTwoPi + 0.5) * kTwoPi; }

namespace {

double JulianDateOf(int year, int month, double day) {
  int y = year, m = month;
  if (m < 3) y -= 1, m += 12;
  int b = 0;
  if (year >= 1583 || (year == 1582 && (month >= 11 || (month == 10 && day >= 5)))) {
    int a = y / 100;
    b = 2 - a + a / 4;
  }
  return std::trunc(365.25 * (y + 4716)) + std::trunc(30.6001 * (m + 1)) + day + b - 1524.5;
}

}  // namespace

double JulianDate(int year, int month, int day) { return JulianDateOf(year, month, day); }

double JulianDate(int year, int month, int day, int hour, int minute) {
  return JulianDateOf(year, month, day + (hour * 60 + minute) / 1440.0);
}

double DeltaT(double T) {
  double y = 2000 + 100 * T;
  if (y > 2000) return 102.3 + 123.5 * T + 32.5 * T * T;
  if (y >= 1620) {
    int i = std::min(static_cast<int>((y - 1620) / 2), 185);
    return (kDeltaT[i] + (kDeltaT[i + 1] - kDeltaT[i]) * (y / 2 - i - 810)) / 10.0;
  }
  if (y >= 948) return 50.6 + 67.5 * T + 22.5 * T * T;
  return 2715.6 + 573.36 * T + 46.5 * T * T;
}

double MeanObliquity(double T) {
  static const double c[] = {84381.448, -4680.93, -1.55, 1999.25, -51.38, -249.67, -39.05, 7.12, 27.87, 5.79, 2.45};
  double u = T / 100, e = 0;
  for (int i = 10; i >= 0; --i) e = e * u + c[i];
  return e * kArcsecToRad;
}

const uint8_t* CompiledVsop87EarthTable() { return kCompiledVsop87; }

const uint8_t* Vsop87EarthTable() {
  if (Vsop87Source source = InstalledSource()) {
    if (const uint8_t* table = source()) return table;
  }
  return kCompiledVsop87;
}

void SetVsop87Source(Vsop87Source source) { InstalledSource() = source; }

SkyPosition EarthHeliocentric(double T) {
  double tau = T / 10;
  const uint8_t* p = Vsop87EarthTable();
  double L = ReduceAngle(SumSeries(p, kLTerms, 6, tau));
  double B = SumSeries(p, kBTerms, 2, tau);
  double R = SumSeries(p, kRTerms, 5, tau);
  // From the dynamical ecliptic of VSOP87 to the FK5 frame.
  double Lp = L - (1.397 * T + 0.00031 * T * T) * kDegToRad;
  double cl = std::cos(Lp), sl = std::sin(Lp);
  L += (-0.09033 + 0.03916 * (cl + sl) * std::tan(B)) * kArcsecToRad;
  B += 0.03916 * (cl - sl) * kArcsecToRad;
  return {L, B, R};
}

SkyPosition SunPosition(double T) {
  SkyPosition earth = EarthHeliocentric(T);
  return {ReduceAngle(earth.longitude + kPi), -earth.latitude, earth.distance};
}

SkyPosition MoonPosition(double T) {
  // Mean elements (degrees), as the program has always stored them.
  static const double kL[] = {218.3164591, 481267.88134236, -0.0013268, 1.855835e-06, 1.53388e-08};
  static const double kD[] = {297.8502042, 445267.1115168, -0.00163, 1.831945e-06, 8.84447e-06};
  static const double kM[] = {357.5291092, 35999.0502909, -0.0001536, 4.083299e-08, 0};
  static const double kMp[] = {134.9634114, 477198.8676313, 0.008997, 1.434741e-05, 6.79717e-08};
  static const double kF[] = {93.2720993, 483202.0175273, -0.0034029, 2.836075e-07, 1.15833e-09};
  double Lp = ReduceAngle(Poly(kL, T) * kDegToRad);
  double D = ReduceAngle(Poly(kD, T) * kDegToRad);
  double M = ReduceAngle(Poly(kM, T) * kDegToRad);
  double Mp = ReduceAngle(Poly(kMp, T) * kDegToRad);
  double F = ReduceAngle(Poly(kF, T) * kDegToRad);
  double E = 1 - 0.002516 * T - 0.0000074 * T * T;
  double A1 = (119.75 + 131.849 * T) * kDegToRad;
  double A2 = (53.09 + 479264.29 * T) * kDegToRad;
  double A3 = (313.45 + 481266.484 * T) * kDegToRad;

  Multiples<5> d(D), mp(Mp);
  Multiples<3> m(M);
  Multiples<4> f(F);
  auto argument = [&](const int32_t* row, double& s, double& c) {
    s = 0, c = 1;
    d.Add(row[0], s, c);
    m.Add(row[1], s, c);
    mp.Add(row[2], s, c);
    f.Add(row[3], s, c);
  };
  auto eccentricity = [&](int32_t mult) { return mult == 0 ? 1.0 : (mult == 1 || mult == -1) ? E : E * E; };

  double sl = 0, sr = 0, sb = 0;
  for (const auto& row : kMoonLR) {
    double s, c;
    argument(row, s, c);
    double e = eccentricity(row[1]);
    sl += row[4] * e * s;
    sr += row[5] * e * c;
  }
  for (const auto& row : kMoonB) {
    double s, c;
    argument(row, s, c);
    sb += row[4] * eccentricity(row[1]) * s;
  }
  sl += 3958 * std::sin(A1) + 1962 * std::sin(Lp - F) + 318 * std::sin(A2);
  sb += -2235 * std::sin(Lp) + 382 * std::sin(A3) + 350 * std::sin(A1) * std::cos(F) + 127 * std::sin(Lp - Mp) -
        115 * std::sin(Lp + Mp);
  double lambda = Lp + sl * 1e-6 * kDegToRad;
  while (lambda < 0) lambda += kTwoPi;
  return {lambda, sb * 1e-6 * kDegToRad, 385000.56 + sr / 1000};
}

SkyPosition EclipticToEquatorial(double lambda, double beta, double epsilon) {
  double cb = std::cos(beta), sb = std::sin(beta), ce = std::cos(epsilon), se = std::sin(epsilon);
  double sl = std::sin(lambda);
  double alpha = std::atan2(cb * sl * ce - sb * se, cb * std::cos(lambda));
  if (alpha < 0) alpha += kTwoPi;
  return {alpha, std::asin(sb * ce + cb * se * sl), 0};
}

double SiderealTime(double T) {
  return ReduceAngle((280.46061837 + 13185000.770053742 * T + 0.000387933 * T * T - T * T * T / 38710000) * kDegToRad);
}

double Interpolate3(double y1, double y2, double y3, double n) {
  double a = y2 - y1, b = y3 - y2;
  return y2 + n / 2 * (a + b + n * (b - a));
}

RiseTransitSetResult RiseTransitSet(double T0, double deltaT, const double alpha[3], const double delta[3], double h0,
                                    double longitude, double latitude) {
  constexpr double kSiderealPerDay = 6.300388092591991;  // 360.985647 degrees
  constexpr int kMaxIterations = 1000;
  RiseTransitSetResult r;
  double a1 = CentreAngle(alpha[0] - alpha[1]) + alpha[1];
  double a2 = alpha[1];
  double a3 = CentreAngle(alpha[2] - alpha[1]) + alpha[1];
  double theta0 = SiderealTime(T0);
  double sinPhi = std::sin(latitude), cosPhi = std::cos(latitude);

  double cosH0 = (std::sin(h0) - sinPhi * std::sin(delta[1])) / (cosPhi * std::cos(delta[1]));
  // The transit is brought into the day whatever the longitude: the quotient lies between
  // -1.5 and 1.5, and rises and sets estimated from a transit of the day before or after
  // would be that day's.
  double m0 = (a2 - longitude - theta0) / kTwoPi;
  m0 -= std::floor(m0);
  double m1, m2;
  if (std::fabs(cosH0) <= 1) {
    double H0 = std::acos(cosH0) / kTwoPi;
    m1 = m0 - H0, m2 = m0 + H0;
  } else if (cosH0 < -1) {
    r.flags = NEVER_SETS;
    m1 = m0 - 0.5, m2 = m0 + 0.5;
  } else {
    r.flags = NEVER_RISES;
    m1 = m2 = m0;
  }
  if (m1 < 0) m1 += 1;
  if (m2 > 1) m2 -= 1;

  double dtDays = deltaT / 86400;
  auto hourAngle = [&](double m, double& n) {
    n = m + dtDays;
    return CentreAngle(theta0 + kSiderealPerDay * m + longitude - Interpolate3(a1, a2, a3, n));
  };
  for (int i = 0; i < kMaxIterations; ++i) {
    double n;
    double dm = -hourAngle(m0, n) / kTwoPi;
    m0 += dm;
    if (std::fabs(dm) <= 0.0002) break;
  }
  auto refine = [&](double& m, double& azimuth) {
    for (int i = 0; i < kMaxIterations; ++i) {
      double n;
      double H = hourAngle(m, n);
      double d = Interpolate3(delta[0], delta[1], delta[2], n);
      double cosD = std::cos(d), sinH = std::sin(H), cosH = std::cos(H);
      double h = std::asin(sinPhi * std::sin(d) + cosPhi * cosD * cosH);
      double dm = (h - h0) / (kTwoPi * cosD * cosPhi * sinH);
      azimuth = std::atan2(sinH, cosH * sinPhi - std::tan(d) * cosPhi) * kRadToDeg + 180;
      m += dm;
      if (std::fabs(dm) <= 0.0002) break;
    }
  };
  if (r.flags == 0) {
    refine(m1, r.riseAzimuth);
    refine(m2, r.setAzimuth);
    // One wrap only: an event that still lies outside the day does not happen on it.
    for (double* m : {&m1, &m2}) {
      if (*m < 0) *m += 1;
      else if (*m > 1) *m -= 1;
    }
    if (m1 < 0 || m1 > 1 || m2 < 0 || m2 > 1) r.flags = cosH0 > 0 ? NEVER_RISES : NEVER_SETS;
  }
  r.transit = m0, r.rise = m1, r.set = m2;
  return r;
}

}  // namespace kv
