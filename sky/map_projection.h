// The world map's Mercator projection, fixed to the 800 × 500 map picture: longitude 0 lies at
// x = 374 with east to the right and the map wrapping around horizontally, the equator at
// y = 289, 400/π pixels per radian of Mercator ordinate.
#pragma once

namespace kv {

inline constexpr int kMapWidth = 800, kMapHeight = 500;
inline constexpr int kMapMeridianX = 374;   // longitude 0
inline constexpr int kMapEquatorY = 289;
inline constexpr double kMapScale = 127.3239545;  // 400 / π

// The column of a longitude (degrees, east positive), always in [0, 800): 180 east and 180 west
// share a column. A longitude outside [−180, 180] wraps; a non-finite one counts as 0.
int MapX(double longitudeDeg);
// The row of a latitude (degrees, north positive); rows outside [0, 500] are off the map
// (latitudes beyond about 78.2 north or 68.4 south). A latitude beyond the poles counts as the
// pole, a non-finite one as the equator.
int MapY(double latitudeDeg);
// Whether a row lies on the picture: 0 <= y <= 500.
bool MapVisible(int y);

struct MapPoint {
  double latitude, longitude;  // degrees
};

// The position of a pixel, longitude in [−180, 180].
MapPoint MapUnproject(int x, int y);

}  // namespace kv
