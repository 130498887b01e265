// kvtool commands over the world map's projection and sky: the pixel of a position and back,
// and the sun, moon and nutation at a UT minute.
#include <cmath>
#include <optional>
#include <string>

#include "sky/map_projection.h"
#include "sky/map_sky.h"
#include "tools/kvtool/cli.h"

namespace kv::tool {
namespace {

// Degrees to 0.00001 (a twentieth of a second of arc) and arcseconds to 0.0001, so that the
// figures agree between platforms' maths libraries.
double Rounded(double value, double scale) {
  double r = std::round(value * scale) / scale;
  return r == 0 ? 0.0 : r;  // no "-0"
}

double NumberIn(std::string_view text, std::string_view what, double lo, double hi) {
  double v = ParseNumber(text, what);
  if (v < lo || v > hi)
    throw UsageError(std::string(what) + " must lie between " + std::to_string(static_cast<int>(lo)) + " and " +
                     std::to_string(static_cast<int>(hi)));
  return v;
}

Json BodyJson(const MapBody& b) {
  return Json{{"dec", Rounded(b.dec, 1e5)}, {"gha", Rounded(b.gha, 1e5)}, {"x", b.x}, {"y", b.y},
              {"az", Rounded(b.az, 1e5)},   {"alt", Rounded(b.alt, 1e5)}};
}

Command project("map project", "LAT LON", [](Args& args) {
  double lat = NumberIn(args.Positional("latitude"), "latitude", -90, 90);
  double lon = NumberIn(args.Positional("longitude"), "longitude", -180, 180);
  args.Done();
  int y = MapY(lat);
  Emit(Json{{"x", MapX(lon)}, {"y", y}, {"visible", MapVisible(y)}});
});

Command unproject("map unproject", "X Y", [](Args& args) {
  int x = static_cast<int>(ParseInteger(args.Positional("x"), "x", 0, kMapWidth - 1));
  int y = static_cast<int>(ParseInteger(args.Positional("y"), "y", 0, kMapHeight));
  args.Done();
  MapPoint p = MapUnproject(x, y);
  Emit(Json{{"lat", Rounded(p.latitude, 1e6)}, {"lon", Rounded(p.longitude, 1e6)}});
});

Command sky("map sky", "--utc YYYY-MM-DDTHH:MM [--lat DEG --lon DEG]", [](Args& args) {
  std::optional<std::string> utc = args.Option("utc"), lat = args.Option("lat"), lon = args.Option("lon");
  args.Done();
  if (!utc) throw UsageError("--utc YYYY-MM-DDTHH:MM is required");
  if (lat.has_value() != lon.has_value()) throw UsageError("--lat and --lon go together");
  DateStamp t = ParseDateTime(*utc);
  double latitude = lat ? NumberIn(*lat, "latitude", -90, 90) : 0;
  double longitude = lon ? NumberIn(*lon, "longitude", -180, 180) : 0;
  MapSky s = ComputeMapSky(t, latitude, longitude);
  Json moon = BodyJson(s.moon);
  moon["frame"] = s.moonFrame;
  Emit(Json{{"sun", BodyJson(s.sun)},
            {"moon", moon},
            {"nutation", Json{{"dpsi", Rounded(s.nutation.dpsi, 1e4)}, {"deps", Rounded(s.nutation.deps, 1e4)}}}});
});

}  // namespace
}  // namespace kv::tool
