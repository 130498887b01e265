// The world map's composition: run with build/native/bin/kvbench --benchmark_filter=MapCompose
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "sky/map_art_data.h"
#include "sky/map_compose.h"

namespace kv {
namespace {

// Everything on: a "Detail"-like shading (night, a graded day and a twilight band), the sun and
// the moon across the seam, 400 locations and the map location; the picture reused as the
// window reuses it.
void MapCompose_Full(benchmark::State& state) {
  MapArt art;
  if (!LoadBuiltInMapArt(art)) {
    state.SkipWithError("the built-in map pictures do not load");
    return;
  }
  std::vector<uint32_t> shading(800 * 500);
  for (int y = 0; y < 500; ++y)
    for (int x = 0; x < 800; ++x) {
      int d = std::abs(x - 374);
      uint32_t alpha = d < 180 ? static_cast<uint32_t>(d / 5) : d < 200 ? 80 : 127;
      shading[y * 800 + x] = alpha << 24;
    }
  std::vector<MapLocationPixel> places;
  for (int i = 0; i < 400; ++i) places.push_back({(i * 37) % 800, 40 + (i * 53) % 420, i == 7});
  MapScene scene;
  scene.options = kMapShowSun | kMapShowMoon | kMapSunlightDetail | kMapShowLocations;
  scene.shading = shading;
  scene.shadingShift = 426;
  scene.sunX = 795;
  scene.sunY = 235;
  scene.moonX = 3;
  scene.moonY = 300;
  scene.moonFrame = 5;
  scene.locations = places;
  scene.mapLatitude = 36.17;
  scene.mapX = 118;
  scene.mapY = 196;
  MapPicture out;
  for (auto _ : state) {
    ComposeMap(art, scene, out);
    benchmark::DoNotOptimize(out.pixels.data());
  }
}
BENCHMARK(MapCompose_Full)->Unit(benchmark::kMillisecond);

// Loading the five built-in pictures (premultiplication included): once per window.
void MapCompose_LoadArt(benchmark::State& state) {
  for (auto _ : state) {
    MapArt art;
    benchmark::DoNotOptimize(LoadBuiltInMapArt(art));
  }
}
BENCHMARK(MapCompose_LoadArt)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kv
