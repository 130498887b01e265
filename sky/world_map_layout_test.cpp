#include "sky/world_map_layout.h"

#include <gtest/gtest.h>

#include "sky/map_compose.h"

namespace kv {
namespace {

TEST(WorldMapLayout, SunlightChoiceKeepsTheOtherBits) {
  const uint16_t all = kMapShowSun | kMapShowMoon | kMapShowLocations;
  struct Case {
    uint16_t flags;
    int choice;
    uint16_t want;
  } cases[] = {
      {all, 0, all},
      {all | kMapSunlightBasic, 2, all | kMapSunlightDetail},
      {kMapSunlightDetail, 1, kMapSunlightBasic},
      {kMapSunlightBasic | kMapSunlightDetail, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WithMapSunlight(c.flags, c.choice), c.want) << c.flags << " " << c.choice;
    EXPECT_EQ(MapSunlightChoice(c.want), c.choice);
  }
  EXPECT_EQ(MapSunlightChoice(kMapSunlightBasic | kMapSunlightDetail), 2);
  EXPECT_EQ(WithMapBit(kMapShowSun | kMapShowMoon, kMapShowSun, false), kMapShowMoon);
  EXPECT_EQ(WithMapBit(0, kMapShowLocations, true), kMapShowLocations);
}

TEST(WorldMapLayout, HitTestTakesTheNearestWithinThreePixels) {
  std::vector<MapMarker> markers = {{100, 100, 0}, {103, 103, 1}, {102, 100, 2}, {500, 10, kGpsMarker}};
  struct Case {
    int x, y, want;
  } cases[] = {
      {100, 100, 0}, {101, 100, 0},  // the first of two at equal distance
      {102, 101, 2}, {104, 104, 1}, {106, 106, 1}, {107, 103, -1}, {97, 97, 0}, {96, 100, -1},
      {500, 13, 3},  {500, 14, -1}, {-1, -1, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(HitTestMarkers(markers, c.x, c.y), c.want) << c.x << "," << c.y;
  EXPECT_EQ(HitTestMarkers({}, 0, 0), -1);
}

TEST(WorldMapLayout, TipSitsBelowTheCursorAndStaysOnTheMonitor) {
  const TipArea screen{0, 0, 1280, 1024};
  struct Case {
    int x, y, w, h;
    TipBox want;
  } cases[] = {
      {100, 100, 80, 30, {100, 124, 88, 34}},
      {1250, 100, 80, 30, {1192, 124, 88, 34}},    // pushed left at the right edge
      {100, 1000, 80, 30, {100, 962, 88, 34}},     // no room below: above the cursor
      {10, 10, 2000, 30, {10, 34, 640, 34}},       // never wider than 640
      {-50, 100, 80, 30, {0, 124, 88, 34}},
  };
  for (const Case& c : cases) EXPECT_EQ(PlaceMapTip(c.x, c.y, c.w, c.h, screen), c.want) << c.x << "," << c.y;
  // A second monitor to the left, with negative coordinates.
  TipBox left = PlaceMapTip(-30, 500, 200, 30, {-1280, 0, 0, 1024});
  EXPECT_EQ(left.left, -208);
}

TEST(WorldMapLayout, TipTextAndBarFields) {
  EXPECT_EQ(MapTipText("Oslo, Norway", "1/2/24", "10:00"), "Oslo, Norway\r\n1/2/24 - 10:00");
  EXPECT_FALSE(MapBarFieldsShown(true, 0));
  EXPECT_TRUE(MapBarFieldsShown(true, 1));
  EXPECT_TRUE(MapBarFieldsShown(false, 0));
}

}  // namespace
}  // namespace kv
