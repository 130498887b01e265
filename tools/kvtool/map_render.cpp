// kvtool map render: the world map as the map window composes it for a UT minute, written as a
// PNG picture. The pictures are the ones built into kvtool; the sky, the shading and the
// projection are the window's own.
#include <optional>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/messages.h"
#include "sky/locations.h"
#include "sky/map_art_data.h"
#include "sky/map_compose.h"
#include "sky/map_projection.h"
#include "sky/map_sky.h"
#include "tools/kvtool/cli.h"
#include "tools/kvtool/png_file.h"

namespace kv::tool {
namespace {

uint16_t SunlightBits(Args& args, Sunlight* mode) {
  std::optional<std::string> s = args.Option("sunlight");
  if (!s || *s == "none") {
    *mode = Sunlight::None;
    return 0;
  }
  if (*s == "basic") {
    *mode = Sunlight::Basic;
    return kMapSunlightBasic;
  }
  if (*s == "detail") {
    *mode = Sunlight::Detail;
    return kMapSunlightDetail;
  }
  throw UsageError("--sunlight must be none, basic or detail, not \"" + *s + "\"");
}

double Coordinate(const std::string& text, const char* name, double limit) {
  double v = ParseNumber(text, name);
  if (!(v >= -limit && v <= limit))
    throw UsageError(std::string("--") + name + " must lie between -" + std::to_string(static_cast<int>(limit)) +
                     " and " + std::to_string(static_cast<int>(limit)));
  return v;
}

std::vector<LocationRecord> LoadLocationsFile(const std::string& path) {
  ScriptedMessages sink;
  ScopedMessageSink scope(sink);
  std::vector<LocationRecord> list;
  if (!ReadLocations(AnsiFromUtf8(path), &list)) throw Failure("cannot read the locations file " + path);
  return list;
}

Command mapRender(
    "map render",
    "--utc YYYY-MM-DDTHH:MM [--sunlight none|basic|detail] [--sun] [--moon] [--locations FILE] "
    "[--lat DEG --lon DEG] OUT.png",
    [](Args& args) {
      std::optional<std::string> utc = args.Option("utc");
      if (!utc) throw UsageError("--utc YYYY-MM-DDTHH:MM is required");
      DateStamp ut = ParseDateTime(*utc);
      MapScene scene;
      Sunlight sunlight = Sunlight::None;
      scene.options = SunlightBits(args, &sunlight);
      if (args.Flag("sun")) scene.options |= kMapShowSun;
      if (args.Flag("moon")) scene.options |= kMapShowMoon;
      std::optional<std::string> locationsFile = args.Option("locations");
      std::optional<std::string> lat = args.Option("lat"), lon = args.Option("lon");
      if (lat.has_value() != lon.has_value()) throw UsageError("--lat and --lon go together");
      std::string out = args.Positional("OUT.png");
      args.Done();

      // The map location (its marker), when given; the sky's azimuths do not show in the picture.
      double latitude = lat ? Coordinate(*lat, "lat", 90) : 90.0;
      double longitude = lon ? Coordinate(*lon, "lon", 180) : 0.0;
      MapSky sky = ComputeMapSky(ut, lat ? latitude : 0.0, longitude);
      std::vector<uint32_t> shading;
      if (sunlight != Sunlight::None) {
        DateStamp day = ut;
        day.hour = day.minute = 0;
        shading = BuildShading(day, sunlight);
        scene.shading = shading;
        scene.shadingShift = ShadingShift(sky.sun.x);
      }
      scene.sunX = sky.sun.x;
      scene.sunY = sky.sun.y;
      scene.moonX = sky.moon.x;
      scene.moonY = sky.moon.y;
      scene.moonFrame = sky.moonFrame;

      std::vector<MapLocationPixel> pixels;
      if (locationsFile) {
        for (const LocationRecord& l : LoadLocationsFile(*locationsFile))
          pixels.push_back({MapX(l.Longitude()), MapY(l.Latitude()), false});
        scene.options |= kMapShowLocations;
        scene.locations = pixels;
      }
      scene.mapLatitude = latitude;
      scene.mapX = MapX(longitude);
      scene.mapY = MapY(latitude);

      MapArt art;
      std::string error;
      if (!LoadBuiltInMapArt(art, &error)) throw Failure("the built-in map pictures are damaged: " + error);
      MapPicture picture;
      ComposeMap(art, scene, picture);
      if (!WriteFileReplacing(AnsiFromUtf8(out), EncodePng(picture))) throw Failure("cannot write " + out);
      Emit(Json{{"file", out},
                {"width", picture.width},
                {"height", picture.height},
                {"sun", {{"x", sky.sun.x}, {"y", sky.sun.y}}},
                {"moon", {{"x", sky.moon.x}, {"y", sky.moon.y}, {"frame", sky.moonFrame}}},
                {"shift", scene.shadingShift},
                {"locations", pixels.size()}});
    });

}  // namespace
}  // namespace kv::tool
