#include "sky/map_projection.h"

#include <algorithm>
#include <cmath>

namespace kv {
namespace {

constexpr double kPiHere = 3.14159265358979323846;
// Rows far outside the picture are clamped so the integer conversion stays defined.
constexpr double kRowLimit = 1.0e6;

}  // namespace

int MapX(double longitudeDeg) {
  if (!std::isfinite(longitudeDeg)) longitudeDeg = 0;
  // Longitudes from any number of turns away first come back near the picture's range; within
  // [−540, 540] the rounding below is the map's own formula.
  if (longitudeDeg < -540 || longitudeDeg > 540) longitudeDeg = std::remainder(longitudeDeg, 360.0);
  int x = static_cast<int>(std::floor((longitudeDeg + 180) * kMapWidth / 360 + 0.5)) + 774;
  x %= kMapWidth;
  if (x < 0) x += kMapWidth;
  return x;
}

int MapY(double latitudeDeg) {
  if (!std::isfinite(latitudeDeg)) latitudeDeg = 0;
  latitudeDeg = std::clamp(latitudeDeg, -90.0, 90.0);
  double phi = latitudeDeg * kPiHere / 180;
  double t = std::tan(phi / 2 + kPiHere / 4);
  double ordinate = t > 0 ? std::log(t) * kMapScale : -kRowLimit;  // the south pole: tan is 0 or below
  ordinate = std::clamp(std::floor(ordinate + 0.5), -kRowLimit, kRowLimit);
  return kMapEquatorY - static_cast<int>(ordinate);
}

bool MapVisible(int y) { return y >= 0 && y <= kMapHeight; }

MapPoint MapUnproject(int x, int y) {
  double longitude = (x - kMapMeridianX) * 360.0 / kMapWidth;
  longitude = std::fmod(longitude, 360.0);
  if (longitude > 180) longitude -= 360;
  if (longitude < -180) longitude += 360;
  double latitude = 2 * std::atan(std::exp((kMapEquatorY - y) / kMapScale)) - kPiHere / 2;
  return {latitude * 180 / kPiHere, longitude};
}

}  // namespace kv
