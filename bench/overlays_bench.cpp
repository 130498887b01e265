// Day assembly and the Jewish calendar:
//   build/native/bin/kvbench --benchmark_filter='Overlays|Jewish'
// The month and year-view assemblies load the seven standard overlays from the program
// folder's Data folder (built beside kvbench).
#include <benchmark/benchmark.h>

#include "bench/bench_overlays.h"
#include "calendar/jewish.h"
#include "overlays/day_assembly.h"
#include "overlays/overlay_set.h"

namespace kv {
namespace {

// The standard overlays with a fresh assembly; false when the data files are missing.
bool LoadOverlaysForAssembly(benchmark::State& state) {
  ResetAssembly();
  return LoadStandardOverlays(state);
}

// Slots 0, 1 and 2 of one displayed month, walking the months of 1990-2040.
void Overlays_MonthAssembly(benchmark::State& state) {
  if (!LoadOverlaysForAssembly(state)) return;
  Assembly().options.timeChanges = true;
  int year = 1990, month = 1;
  for (auto _ : state) {
    RecomputeDisplayedMonths(year, month);
    benchmark::DoNotOptimize(Assembly().pool.data());
    if (++month > 12) month = 1, year = year >= 2040 ? 1990 : year + 1;
  }
  state.counters["events"] = static_cast<double>(Overlays().events.size());
}
BENCHMARK(Overlays_MonthAssembly)->Unit(benchmark::kMicrosecond);

// The same in Jewish mode.
void Overlays_JewishMonthAssembly(benchmark::State& state) {
  if (!LoadOverlaysForAssembly(state)) return;
  Assembly().options.jewishMode = true;
  int year = 5750, month = 1;
  for (auto _ : state) {
    RecomputeDisplayedMonths(year, month);
    benchmark::DoNotOptimize(Assembly().pool.data());
    NextMonth(year, month, true);
    if (year > 5800) year = 5750;
  }
}
BENCHMARK(Overlays_JewishMonthAssembly)->Unit(benchmark::kMicrosecond);

// The twelve year-view slots (marks only) of one year.
void Overlays_YearViewSlots(benchmark::State& state) {
  if (!LoadOverlaysForAssembly(state)) return;
  int year = 1990;
  for (auto _ : state) {
    for (int m = 1; m <= 12; ++m) Assemble(kSlotYearFirst + m - 1, year, m);
    benchmark::DoNotOptimize(Assembly().slots.data());
    year = year >= 2040 ? 1990 : year + 1;
  }
}
BENCHMARK(Overlays_YearViewSlots)->Unit(benchmark::kMicrosecond);

// Gregorian to Jewish for every day of 1703-2239, one call per iteration.
void Jewish_GregorianToJewish(benchmark::State& state) {
  const int32_t first = JulianDayNumber(1, 1, 1703), last = JulianDayNumber(12, 31, 2239);
  int32_t jdn = first;
  for (auto _ : state) {
    DateStamp g = DateOfJulianDay(jdn);
    benchmark::DoNotOptimize(GregorianToJewish(g.month, g.day, g.year));
    jdn = jdn == last ? first : jdn + 1;
  }
}
BENCHMARK(Jewish_GregorianToJewish);

// Jewish to Gregorian for every day of the same span.
void Jewish_JewishToGregorian(benchmark::State& state) {
  JewishDate start = GregorianToJewish(1, 1, 1703), end = GregorianToJewish(12, 31, 2239);
  JewishDate j = start;
  for (auto _ : state) {
    benchmark::DoNotOptimize(JewishToGregorian(j));
    if (j == end) {
      j = start;
    } else if (++j.day > JewishMonthLength(j.month, j.year)) {
      j.day = 1;
      if (j.month == kElul) ++j.year;
      j.month = NextJewishMonth(j.month, IsJewishLeapYear(j.year));
    }
  }
}
BENCHMARK(Jewish_JewishToGregorian);

}  // namespace
}  // namespace kv
