// The map's built-in pictures: the world map agrees with the projection (known places fall on
// land or water), and the sun, moon and markers are drawn as the composition expects.
#include "sky/map_art_data.h"

#include <gtest/gtest.h>

#include "sky/map_projection.h"

namespace kv {
namespace {

// Land is drawn in greens, beiges and ice whites, water in blues.
bool IsLand(uint32_t pixel) { return ((pixel >> 16) & 0xFF) > (pixel & 0xFF); }

class BuiltInMapArt : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    loaded_ = LoadBuiltInMapArt(art_, &error);
    error_ = error;
  }
  void SetUp() override { ASSERT_TRUE(loaded_) << error_; }
  static MapArt art_;
  static bool loaded_;
  static std::string error_;
};
MapArt BuiltInMapArt::art_;
bool BuiltInMapArt::loaded_ = false;
std::string BuiltInMapArt::error_;

TEST_F(BuiltInMapArt, KnownPlacesFallOnLandOrWater) {
  struct Place {
    const char* name;
    double lat, lon;
    bool land;
  } places[] = {
      {"Madrid", 40.42, -3.70, true},          {"Paris", 48.86, 2.35, true},
      {"Moscow", 55.76, 37.62, true},          {"Cairo", 30.04, 31.24, true},
      {"Nairobi", -1.29, 36.82, true},         {"Kinshasa", -4.32, 15.31, true},
      {"Johannesburg", -26.20, 28.05, true},   {"Tehran", 35.69, 51.39, true},
      {"Delhi", 28.61, 77.21, true},           {"Beijing", 39.90, 116.40, true},
      {"Ulaanbaatar", 47.92, 106.92, true},    {"Yakutsk", 62.03, 129.73, true},
      {"Denver", 39.74, -104.99, true},        {"Winnipeg", 49.90, -97.14, true},
      {"Mexico City", 19.43, -99.13, true},    {"Brasilia", -15.79, -47.88, true},
      {"La Paz", -16.50, -68.15, true},        {"Cordoba", -31.42, -64.18, true},
      {"Lusaka", -15.42, 28.28, true},         {"Antananarivo", -18.88, 47.51, true},
      {"Alice Springs", -23.70, 133.88, true}, {"Canterbury Plains", -43.6, 171.0, true},
      {"Greenland ice", 72.0, -40.0, true},
      // Either side of the 180th meridian: Chukotka west and east of it, Alaska.
      {"Chukotka", 67.0, 172.0, true},         {"Chukotka east of 180", 66.5, -178.0, true},
      {"Seward Peninsula", 65.0, -163.0, true}, {"Wrangel Island", 71.2, -179.5, true},
      {"Pacific", 0.0, -150.0, false},         {"Atlantic", 30.0, -40.0, false},
      {"Indian Ocean", -30.0, 80.0, false},    {"Mediterranean", 35.0, 18.0, false},
      {"Black Sea", 43.5, 34.0, false},        {"Caspian Sea", 42.0, 50.5, false},
      {"Hudson Bay", 60.0, -86.0, false},      {"Tasman Sea", -38.0, 160.0, false},
  };
  for (const Place& p : places) {
    int x = MapX(p.lon), y = MapY(p.lat);
    ASSERT_TRUE(x >= 0 && x < 800 && y >= 0 && y < 500) << p.name;
    EXPECT_EQ(IsLand(art_.world.At(x, y)), p.land) << p.name << " at " << x << "," << y << " is "
                                                   << std::hex << art_.world.At(x, y);
  }
}

TEST_F(BuiltInMapArt, WorldIsOpaqueAndSeamless) {
  for (uint32_t pixel : art_.world.pixels) ASSERT_EQ(pixel >> 24, 0xFFu);
  // Longitude 180 east and west are the same column; the columns either side of the picture's
  // seam (799 and 0) are neighbours on the globe, so land and water agree along most rows.
  EXPECT_EQ(MapX(180.0), MapX(-180.0));
  int agree = 0;
  for (int y = 0; y < 500; ++y) agree += IsLand(art_.world.At(799, y)) == IsLand(art_.world.At(0, y));
  EXPECT_GT(agree, 490);
}

double Brightness(const MapPicture& p, int left, int x0, int x1) {
  double sum = 0;
  for (int y = 0; y < p.height; ++y)
    for (int x = left + x0; x < left + x1; ++x) {
      uint32_t v = p.At(x, y);
      sum += ((v >> 16) & 0xFF) + ((v >> 8) & 0xFF) + (v & 0xFF);
    }
  return sum;
}

// Sunlit pixels (bright, near white) in columns x0 ... x1 - 1 of frame `frame`.
int LitPixels(const MapPicture& moon, int frame, int x0, int x1) {
  int lit = 0;
  for (int y = 0; y < moon.height; ++y)
    for (int x = frame * 19 + x0; x < frame * 19 + x1; ++x) {
      uint32_t v = moon.At(x, y);
      lit += ((v >> 16) & 0xFF) + ((v >> 8) & 0xFF) + (v & 0xFF) > 500;
    }
  return lit;
}

TEST_F(BuiltInMapArt, MoonPhasesFollowTheElongation) {
  // Frame 0 new, 8 full; waxing frames are lit on the right, waning ones on the left.
  double light[16];
  for (int f = 0; f < 16; ++f) light[f] = Brightness(art_.moon, f * 19, 0, 19);
  for (int f = 0; f < 8; ++f) EXPECT_LT(light[f], light[f + 1]) << f;
  for (int f = 8; f < 15; ++f) EXPECT_GT(light[f], light[f + 1]) << f;
  EXPECT_EQ(LitPixels(art_.moon, 0, 0, 19), 0);
  EXPECT_GT(LitPixels(art_.moon, 8, 0, 19), 180);  // nearly the whole disc of about 210 pixels
  for (int f : {2, 4, 6}) {
    int waning = 16 - f;
    EXPECT_GT(LitPixels(art_.moon, f, 10, 19), LitPixels(art_.moon, f, 0, 9)) << f;
    EXPECT_GT(LitPixels(art_.moon, waning, 0, 9), LitPixels(art_.moon, waning, 10, 19)) << waning;
    if (f < 6) {
      EXPECT_EQ(LitPixels(art_.moon, f, 0, 9), 0) << f;
      EXPECT_EQ(LitPixels(art_.moon, waning, 10, 19), 0) << waning;
    }
  }
  // Each frame is a disc: transparent corners, opaque centre.
  for (int f = 0; f < 16; ++f) {
    EXPECT_EQ(art_.moon.At(f * 19, 0), 0u) << f;
    EXPECT_GT(art_.moon.At(f * 19 + 9, 9) >> 24, 150u) << f;
  }
}

TEST_F(BuiltInMapArt, SunAndMarkersAreCentredShapes) {
  EXPECT_EQ(art_.sun.At(9, 9) >> 24, 0xFFu);
  EXPECT_EQ(art_.sun.At(0, 0), 0u);
  EXPECT_EQ(art_.sun.At(18, 18), 0u);
  for (const MapPicture* marker : {&art_.location, &art_.mapLocation}) {
    EXPECT_EQ(marker->At(0, 0), 0u);
    EXPECT_GE(marker->At(2, 0) >> 24, 200u);
  }
  // Premultiplied once: no colour byte exceeds its alpha.
  for (const MapPicture* p : {&art_.sun, &art_.moon, &art_.location, &art_.mapLocation})
    for (uint32_t v : p->pixels) {
      uint32_t a = v >> 24;
      ASSERT_LE((v >> 16) & 0xFF, a);
      ASSERT_LE((v >> 8) & 0xFF, a);
      ASSERT_LE(v & 0xFF, a);
    }
}

TEST(BuiltInMapBitmaps, OnlyTheFiveNumbers) {
  EXPECT_TRUE(BuiltInMapBitmap(2239).empty());
  EXPECT_TRUE(BuiltInMapBitmap(2245).empty());
  for (int id = 2240; id <= 2244; ++id) EXPECT_GT(BuiltInMapBitmap(id).size(), 54u) << id;
}

}  // namespace
}  // namespace kv
