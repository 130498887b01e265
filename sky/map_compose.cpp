#include "sky/map_compose.h"

#include <algorithm>

namespace kv {
namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu, kRed = 0xFFFF0000u;

void Plot(MapPicture& out, int x, int y, uint32_t colour) {
  if (x >= 0 && x < out.width && y >= 0 && y < out.height) out.At(x, y) = colour;
}

// A sun-sized block of `picture` (from column `sx`) centred on (cx, cy), and again 800 pixels
// to the other side when it sticks out over the left or right edge.
void BlendWrapped(MapPicture& out, const MapPicture& picture, int sx, int size, int cx, int cy) {
  int left = cx - size / 2, top = cy - size / 2;
  BlendMapPicture(out, left, top, picture, sx, 0, size, size);
  if (left < 0) BlendMapPicture(out, left + kMapPictureWidth, top, picture, sx, 0, size, size);
  if (left + size > kMapPictureWidth) BlendMapPicture(out, left - kMapPictureWidth, top, picture, sx, 0, size, size);
}

void BlendShading(MapPicture& out, std::span<const uint32_t> shading, int shift) {
  shift %= kMapPictureWidth;
  if (shift < 0) shift += kMapPictureWidth;
  // Source columns [0, 800 - shift) land at [shift, 800), the rest wraps to [0, shift).
  for (int y = 0; y < kMapPictureHeight; ++y) {
    const uint32_t* s = shading.data() + static_cast<size_t>(y) * kMapPictureWidth;
    uint32_t* d = out.pixels.data() + static_cast<size_t>(y) * kMapPictureWidth;
    int first = kMapPictureWidth - shift;
    for (int x = 0; x < first; ++x) d[shift + x] = BlendMapPixel(d[shift + x], s[x]);
    for (int x = first; x < kMapPictureWidth; ++x) d[x - first] = BlendMapPixel(d[x - first], s[x]);
  }
}

bool Sized(const MapPicture& p, int width, int height) {
  return p.width == width && p.height == height &&
         p.pixels.size() == static_cast<size_t>(width) * static_cast<size_t>(height);
}

}  // namespace

bool CheckMapArt(const MapArt& art, std::string* error) {
  const char* wrong = nullptr;
  if (!Sized(art.world, kMapPictureWidth, kMapPictureHeight)) wrong = "the world map is not 800 x 500";
  else if (!Sized(art.sun, kMapSunSize, kMapSunSize)) wrong = "the sun is not 19 x 19";
  else if (!Sized(art.moon, kMapSunSize * kMapMoonFrames, kMapSunSize)) wrong = "the moon strip is not 16 frames of 19 x 19";
  else if (!Sized(art.location, kMapMarkerSize, kMapMarkerSize)) wrong = "the location marker is not 5 x 5";
  else if (!Sized(art.mapLocation, kMapMarkerSize, kMapMarkerSize)) wrong = "the map-location marker is not 5 x 5";
  if (wrong && error) *error = wrong;
  return wrong == nullptr;
}

void ComposeMap(const MapArt& art, const MapScene& scene, MapPicture& out) {
  out.width = art.world.width;
  out.height = art.world.height;
  out.pixels.assign(art.world.pixels.begin(), art.world.pixels.end());
  if (out.width != kMapPictureWidth || out.height != kMapPictureHeight) return;

  bool sunlight = (scene.options & (kMapSunlightBasic | kMapSunlightDetail)) != 0;
  if (sunlight && scene.shading.size() == out.pixels.size()) BlendShading(out, scene.shading, scene.shadingShift);
  if ((scene.options & kMapShowSun) && !art.sun.Empty())
    BlendWrapped(out, art.sun, 0, kMapSunSize, scene.sunX, scene.sunY);
  if ((scene.options & kMapShowMoon) && !art.moon.Empty()) {
    int frame = std::clamp(scene.moonFrame, 0, kMapMoonFrames - 1);
    BlendWrapped(out, art.moon, frame * kMapSunSize, kMapSunSize, scene.moonX, scene.moonY);
  }
  if (scene.options & kMapShowLocations) {
    int half = kMapMarkerSize / 2;
    for (const MapLocationPixel& l : scene.locations) {
      if (!l.pointOfReference) BlendMapPicture(out, l.x - half, l.y - half, art.location);
      Plot(out, l.x, l.y, kWhite);
    }
  }
  if (scene.mapLatitude != 90.0 && scene.mapY >= 0 && scene.mapY <= kMapPictureHeight) {
    int half = kMapMarkerSize / 2;
    BlendMapPicture(out, scene.mapX - half, scene.mapY - half, art.mapLocation);
    Plot(out, scene.mapX, scene.mapY, kRed);
  }
}

}  // namespace kv
