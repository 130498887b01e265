// Sun and moon: run with build/native/bin/kvbench --benchmark_filter=Sky
#include <benchmark/benchmark.h>

#include "calendar/dates.h"
#include "sky/sun_moon.h"

namespace kv {
namespace {

SkySite LasVegas() {
  SkySite s;
  s.latitude = 36.17, s.longitude = -115.14, s.bias = 480, s.daylight = true, s.daylightStart = 310, s.daylightEnd = 1103;
  return s;
}

// Sunrise, sunset, moonrise and moonset for every day of a year, the caches cleared before
// each day so that every call computes.
void Sky_YearOfDailyRiseSet(benchmark::State& state) {
  SetSkySite(LasVegas());
  for (auto _ : state) {
    for (int d = 0; d < 366; ++d) {
      DateStamp date = AddDays(1, 1, 2024, d);
      ClearSkyCaches();
      benchmark::DoNotOptimize(SunRiseSet(date.year, date.month, date.day));
      benchmark::DoNotOptimize(MoonRiseSet(date.year, date.month, date.day));
    }
  }
}
BENCHMARK(Sky_YearOfDailyRiseSet)->Unit(benchmark::kMillisecond);

void Sky_MoonPhasesForYear(benchmark::State& state) {
  SetSkySite(LasVegas());
  int year = 1900;
  for (auto _ : state) {
    benchmark::DoNotOptimize(MoonPhasesForYear(year));
    year = year == 2100 ? 1900 : year + 1;
  }
}
BENCHMARK(Sky_MoonPhasesForYear)->Unit(benchmark::kMicrosecond);

void Sky_SunPosition(benchmark::State& state) {
  double T = 0.2;
  for (auto _ : state) {
    benchmark::DoNotOptimize(SunPosition(T));
    T += 1e-5;
  }
}
BENCHMARK(Sky_SunPosition);

void Sky_MoonPosition(benchmark::State& state) {
  double T = 0.2;
  for (auto _ : state) {
    benchmark::DoNotOptimize(MoonPosition(T));
    T += 1e-5;
  }
}
BENCHMARK(Sky_MoonPosition);

}  // namespace
}  // namespace kv
