#include "sky/map_projection.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(MapProjection, ColumnsOfLongitudes) {
  struct Case {
    double lon;
    int x;
  } cases[] = {
      {0, 374},    {180, 774},   {-180, 774},  {90, 574},  {-90, 174},  {0.224, 374}, {0.226, 375},
      {-168.3, 0}, {-168.76, 799}, {179, 772}, {-179, 776},
      {360, 374},  {-360, 374},  {1e9, MapX(std::remainder(1e9, 360.0))},
  };
  for (const Case& c : cases) {
    int x = MapX(c.lon);
    EXPECT_EQ(x, c.x) << c.lon;
    EXPECT_GE(x, 0);
    EXPECT_LT(x, kMapWidth);
  }
  EXPECT_EQ(MapX(std::numeric_limits<double>::quiet_NaN()), 374);
  EXPECT_EQ(MapX(180.0), MapX(-180.0));  // the date line is one column
}

TEST(MapProjection, RowsAndTheVisibleBand) {
  struct Case {
    double lat;
    int y;
    bool visible;
  } cases[] = {
      {0, 289, true},       {45, 289 - 112, true},  {-45, 289 + 112, true},
      {78.2, 0, true},      {78.3, -1, false},      {-68.4, 500, true},
      {-68.5, 501, false},  {90, MapY(90), false},  {-90, MapY(-90), false},
      {95, MapY(90), false}, {-1000, MapY(-90), false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MapY(c.lat), c.y) << c.lat;
    EXPECT_EQ(MapVisible(MapY(c.lat)), c.visible) << c.lat;
  }
  EXPECT_TRUE(MapVisible(0));
  EXPECT_TRUE(MapVisible(500));
  EXPECT_FALSE(MapVisible(-1));
  EXPECT_FALSE(MapVisible(501));
  EXPECT_EQ(MapY(std::numeric_limits<double>::quiet_NaN()), 289);
}

TEST(MapProjection, UnprojectInvertsProject) {
  EXPECT_NEAR(MapUnproject(374, 289).latitude, 0, 1e-12);
  EXPECT_NEAR(MapUnproject(374, 289).longitude, 0, 1e-12);
  EXPECT_DOUBLE_EQ(MapUnproject(774, 289).longitude, 180);
  EXPECT_DOUBLE_EQ(MapUnproject(0, 289).longitude, -168.3);
  EXPECT_DOUBLE_EQ(MapUnproject(799, 289).longitude, -168.75);  // 191.25 east brought round
  EXPECT_NEAR(MapUnproject(374, 0).latitude, 78.2, 0.05);
  EXPECT_NEAR(MapUnproject(374, 500).latitude, -68.4, 0.05);
  for (int x = 0; x < kMapWidth; x += 7) {
    for (int y = 0; y <= kMapHeight; y += 11) {
      MapPoint p = MapUnproject(x, y);
      EXPECT_GE(p.longitude, -180);
      EXPECT_LE(p.longitude, 180);
      ASSERT_EQ(MapX(p.longitude), x) << x << "," << y;
      ASSERT_EQ(MapY(p.latitude), y) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace kv
