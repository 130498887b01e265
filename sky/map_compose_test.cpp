#include "sky/map_compose.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

constexpr uint32_t kSea = 0xFF2060A0;

MapPicture Filled(int width, int height, uint32_t colour) {
  return MapPicture{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height, colour)};
}

// Opaque test art whose pixels say where they came from: sun pixel (c, r) is 0xFF01ccrr, moon
// frame f is 0xFF02ff00 + f, markers are plain colours with transparent corners.
MapArt TestArt() {
  MapArt art;
  art.world = Filled(800, 500, kSea);
  art.sun = Filled(19, 19, 0);
  for (int r = 0; r < 19; ++r)
    for (int c = 0; c < 19; ++c) art.sun.At(c, r) = 0xFF010000u | (c << 8) | r;
  art.moon = Filled(19 * 16, 19, 0);
  for (int f = 0; f < 16; ++f)
    for (int r = 0; r < 19; ++r)
      for (int c = 0; c < 19; ++c) art.moon.At(f * 19 + c, r) = 0xFF020000u + f;
  art.location = Filled(5, 5, 0xFF00FF00);
  art.location.At(0, 0) = 0;
  art.mapLocation = Filled(5, 5, 0xFF000000);
  art.mapLocation.At(0, 0) = 0;
  return art;
}

uint32_t SunPixel(int c, int r) { return 0xFF010000u | (c << 8) | r; }

TEST(ComposeMap, SunCrossingAnEdgeIsDrawnOnBothSides) {
  MapArt art = TestArt();
  MapPicture out;
  MapScene scene;
  scene.options = kMapShowSun;
  struct Case {
    int sunX;
    int firstLeft;   // left column of the first copy
    int secondLeft;  // of the second copy, or 9999 for none
  } cases[] = {{2, -7, 793}, {798, 789, -11}, {9, 0, 9999}, {790, 781, 9999}, {400, 391, 9999}, {0, -9, 791}, {799, 790, -10}};
  for (const Case& c : cases) {
    scene.sunX = c.sunX;
    scene.sunY = 100;
    ComposeMap(art, scene, out);
    for (int x = 0; x < 800; ++x) {
      int col = x - c.firstLeft;
      if (col < 0 || col >= 19) col = x - c.secondLeft;
      uint32_t expected = (col >= 0 && col < 19) ? SunPixel(col, 9) : kSea;
      ASSERT_EQ(out.At(x, 100), expected) << "sun at " << c.sunX << ", column " << x;
    }
    EXPECT_EQ(out.At(c.sunX, 91), SunPixel(9, 0));
    EXPECT_EQ(out.At(c.sunX, 90), kSea);
  }
}

TEST(ComposeMap, MoonFrameIsTheIndexedOneAndWraps) {
  MapArt art = TestArt();
  MapPicture out;
  MapScene scene;
  scene.options = kMapShowMoon;
  scene.moonX = 795;
  scene.moonY = 250;
  for (int frame : {0, 5, 8, 15, 16, -1}) {
    scene.moonFrame = frame;
    ComposeMap(art, scene, out);
    uint32_t expected = 0xFF020000u + std::clamp(frame, 0, 15);
    EXPECT_EQ(out.At(795, 250), expected) << frame;
    EXPECT_EQ(out.At(4, 250), expected) << frame;   // the part past the right edge, on the left
    EXPECT_EQ(out.At(5, 250), kSea) << frame;
    EXPECT_EQ(out.At(786, 250), expected) << frame;
    EXPECT_EQ(out.At(785, 250), kSea) << frame;
  }
}

TEST(ComposeMap, OptionsOffDrawOnlyTheMap) {
  MapArt art = TestArt();
  std::vector<uint32_t> shading(800 * 500, 0xFF000000);
  MapLocationPixel places[] = {{100, 100, false}};
  MapScene scene;
  scene.sunX = scene.moonX = 100;
  scene.sunY = scene.moonY = 100;
  scene.shading = shading;
  scene.locations = places;
  MapPicture out;
  ComposeMap(art, scene, out);
  EXPECT_EQ(out.pixels, art.world.pixels);
}

TEST(ComposeMap, ShadingIsShiftedAndWrapped) {
  MapArt art = TestArt();
  // Column x of the shading is opaque colour x, so the output says which column landed where.
  std::vector<uint32_t> shading(800 * 500);
  for (int y = 0; y < 500; ++y)
    for (int x = 0; x < 800; ++x) shading[y * 800 + x] = 0xFF000000u | static_cast<uint32_t>(x);
  MapPicture out;
  for (uint16_t sunlight : {kMapSunlightBasic, kMapSunlightDetail}) {
    for (int shift : {0, 1, 374, 426, 799, 800, -26}) {
      MapScene scene;
      scene.options = sunlight;
      scene.shading = shading;
      scene.shadingShift = shift;
      ComposeMap(art, scene, out);
      int s = ((shift % 800) + 800) % 800;
      for (int x : {0, 1, s == 0 ? 2 : s - 1, s % 800, 798, 799}) {
        uint32_t source = static_cast<uint32_t>((x - s + 800) % 800);
        EXPECT_EQ(out.At(x, 0), 0xFF000000u | source) << "shift " << shift << " column " << x;
        EXPECT_EQ(out.At(x, 499), 0xFF000000u | source) << "shift " << shift << " column " << x;
      }
    }
  }
}

TEST(ComposeMap, HalfNightShadingDarkensBy127) {
  MapArt art = TestArt();
  art.world = Filled(800, 500, 0xFFC8A064);
  std::vector<uint32_t> shading(800 * 500, 0x7F000000);
  shading[0] = 0;  // a day pixel
  MapScene scene;
  scene.options = kMapSunlightBasic;
  scene.shading = shading;
  scene.shadingShift = 10;
  MapPicture out;
  ComposeMap(art, scene, out);
  EXPECT_EQ(out.At(10, 0), 0xFFC8A064u);
  EXPECT_EQ(out.At(9, 0), 0xFF645032u);  // 200, 160, 100 times 128/255, rounded
  // A shading picture of the wrong size is not used.
  std::vector<uint32_t> small(800 * 499, 0x7F000000);
  scene.shading = small;
  ComposeMap(art, scene, out);
  EXPECT_EQ(out.pixels, art.world.pixels);
}

TEST(ComposeMap, LocationMarkersAndCentres) {
  MapArt art = TestArt();
  MapLocationPixel places[] = {{100, 100, false}, {200, 150, true}, {0, 499, false}};
  MapScene scene;
  scene.locations = places;
  MapPicture out;
  ComposeMap(art, scene, out);
  EXPECT_EQ(out.At(100, 100), kSea);  // "Locations" off: nothing
  EXPECT_EQ(out.At(200, 150), kSea);

  scene.options = kMapShowLocations;
  ComposeMap(art, scene, out);
  EXPECT_EQ(out.At(100, 100), 0xFFFFFFFFu);  // white centre
  EXPECT_EQ(out.At(101, 101), 0xFF00FF00u);  // marker
  EXPECT_EQ(out.At(98, 98), kSea);           // the marker's transparent corner
  EXPECT_EQ(out.At(102, 102), 0xFF00FF00u);
  EXPECT_EQ(out.At(103, 103), kSea);
  // The point of reference: its centre pixel only.
  EXPECT_EQ(out.At(200, 150), 0xFFFFFFFFu);
  EXPECT_EQ(out.At(201, 150), kSea);
  // At the corner, clipped.
  EXPECT_EQ(out.At(0, 499), 0xFFFFFFFFu);
  EXPECT_EQ(out.At(2, 497), 0xFF00FF00u);
  EXPECT_EQ(out.At(799, 499), kSea);
}

TEST(ComposeMap, MapLocationMarkerNeedsALatitudeAndAVisibleRow) {
  MapArt art = TestArt();
  MapPicture out;
  struct Case {
    double latitude;
    int y;
    bool drawn;
  } cases[] = {{51.5, 250, true}, {90.0, 250, false}, {-10, 0, true}, {-60, 500, true},
               {80, -1, false}, {-70, 501, false}};
  for (const Case& c : cases) {
    MapScene scene;
    scene.mapLatitude = c.latitude;
    scene.mapX = 300;
    scene.mapY = c.y;
    ComposeMap(art, scene, out);
    bool marked = false;
    for (int y = std::max(0, c.y - 2); y <= std::min(499, c.y + 2); ++y)
      for (int x = 298; x <= 302; ++x) marked |= out.At(x, y) != kSea;
    EXPECT_EQ(marked, c.drawn) << c.latitude << " " << c.y;
    if (c.drawn && c.y < 500) {
      EXPECT_EQ(out.At(300, c.y), 0xFFFF0000u);
      EXPECT_EQ(out.At(301, c.y), 0xFF000000u);
    }
  }
}

TEST(ComposeMap, MapLocationMarkerLiesOverLocationsAndSun) {
  MapArt art = TestArt();
  MapLocationPixel places[] = {{300, 200, false}};
  MapScene scene;
  scene.options = kMapShowSun | kMapShowLocations;
  scene.sunX = 300;
  scene.sunY = 200;
  scene.locations = places;
  scene.mapLatitude = 0;
  scene.mapX = 300;
  scene.mapY = 200;
  MapPicture out;
  ComposeMap(art, scene, out);
  EXPECT_EQ(out.At(300, 200), 0xFFFF0000u);
  EXPECT_EQ(out.At(301, 201), 0xFF000000u);  // the map-location marker over the location's
  EXPECT_EQ(out.At(303, 203), SunPixel(12, 12));  // the sun outside both markers
}

TEST(MapArtCheck, WrongSizesAreNamed) {
  MapArt art = TestArt();
  std::string error;
  EXPECT_TRUE(CheckMapArt(art, &error));
  art.moon = Filled(19 * 15, 19, 0);
  EXPECT_FALSE(CheckMapArt(art, &error));
  EXPECT_NE(error.find("moon"), std::string::npos);
  art = TestArt();
  art.world = Filled(800, 499, 0);
  EXPECT_FALSE(CheckMapArt(art, &error));
  EXPECT_NE(error.find("world"), std::string::npos);
}

TEST(MapArtCheck, LoadNamesTheDamagedBitmap) {
  MapArt art = TestArt();
  std::vector<uint8_t> good = MapPictureBmp(art.sun), bad(10, 0);
  std::string error;
  EXPECT_FALSE(LoadMapArt([&](int id) -> std::span<const uint8_t> {
    if (id == kMapBitmapMoon) return bad;
    return good;
  }, art, &error));
  EXPECT_NE(error.find("2242"), std::string::npos) << error;
}

}  // namespace
}  // namespace kv
