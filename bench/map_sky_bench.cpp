// The world map's sky: run with build/native/bin/kvbench --benchmark_filter=MapSky
#include <benchmark/benchmark.h>

#include "calendar/dates.h"
#include "sky/map_sky.h"

namespace kv {
namespace {

// The shading picture of a UT day, rebuilt every time (the window builds it once a day).
void MapSky_ShadingDetail(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(BuildShading({2024, 6, 20}, Sunlight::Detail));
}
BENCHMARK(MapSky_ShadingDetail)->Unit(benchmark::kMillisecond);

void MapSky_ShadingBasic(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(BuildShading({2024, 12, 21}, Sunlight::Basic));
}
BENCHMARK(MapSky_ShadingBasic)->Unit(benchmark::kMillisecond);

// What the window computes at each minute: the sky now, and the bar's rise, transit and set of
// the sun and moon at the map location.
void MapSky_MinuteRefresh(benchmark::State& state) {
  DateStamp ut{2025, 3, 14, 6, 55};
  DateStamp local{2025, 3, 14};
  for (auto _ : state) {
    benchmark::DoNotOptimize(ComputeMapSky(ut, 40.7128, -74.006));
    benchmark::DoNotOptimize(MapRiseTransitSetAt(MapBodyKind::Sun, local, 40.7128, -74.006, 5.0f, true));
    benchmark::DoNotOptimize(MapRiseTransitSetAt(MapBodyKind::Moon, local, 40.7128, -74.006, 5.0f, true));
  }
}
BENCHMARK(MapSky_MinuteRefresh)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kv
