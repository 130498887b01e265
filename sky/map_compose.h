// The world map as the window shows it: the map picture with the night shading shifted under
// the sun, the sun and the moon at their sub-points, the location markers and the map
// location's marker, composed into one 800 x 500 picture.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "sky/map_picture.h"

namespace kv {

// Bits of the map's display-option word.
inline constexpr uint16_t kMapShowSun = 0x01;
inline constexpr uint16_t kMapShowMoon = 0x02;
inline constexpr uint16_t kMapSunlightBasic = 0x04;
inline constexpr uint16_t kMapSunlightDetail = 0x08;
inline constexpr uint16_t kMapShowLocations = 0x10;

inline constexpr int kMapPictureWidth = 800, kMapPictureHeight = 500;
inline constexpr int kMapSunSize = 19;       // the sun, and each frame of the moon strip
inline constexpr int kMapMoonFrames = 16;
inline constexpr int kMapMarkerSize = 5;     // the location and map-location markers

// Resource numbers of the pictures.
inline constexpr int kMapBitmapWorld = 2240;
inline constexpr int kMapBitmapSun = 2241;
inline constexpr int kMapBitmapMoon = 2242;
inline constexpr int kMapBitmapLocation = 2243;
inline constexpr int kMapBitmapMapLocation = 2244;

// The five pictures, each loaded with LoadMapPicture (so already premultiplied).
struct MapArt {
  MapPicture world;        // 800 x 500
  MapPicture sun;          // 19 x 19
  MapPicture moon;         // 16 frames of 19 x 19 side by side, frame 0 new moon, 8 full
  MapPicture location;     // 5 x 5
  MapPicture mapLocation;  // 5 x 5
};

// Loads the five pictures from the bitmap bytes `bytesOf(id)` gives for each resource number
// (a resource's DIB or a whole .bmp file); false with the reason when one is missing, damaged
// or of the wrong size.
template <typename BytesOf>
bool LoadMapArt(BytesOf&& bytesOf, MapArt& art, std::string* error = nullptr);
bool CheckMapArt(const MapArt& art, std::string* error);

struct MapLocationPixel {
  int x = 0, y = 0;
  bool pointOfReference = false;  // the point of reference gets the centre pixel but no marker
};

struct MapScene {
  uint16_t options = 0;                 // the display-option word
  // The shading picture, 800 x 500 premultiplied 0xAARRGGBB with the sub-solar meridian at
  // x = 374, and how far to shift it to the right (0 ... 799). Empty: no shading.
  std::span<const uint32_t> shading;
  int shadingShift = 0;
  int sunX = 0, sunY = 0;               // the sub-solar point's pixel
  int moonX = 0, moonY = 0;             // the sub-lunar point's pixel
  int moonFrame = 0;                    // 0 ... 15
  std::span<const MapLocationPixel> locations;
  double mapLatitude = 90.0;            // 90.0: no map location (a GPS without a fix yet)
  int mapX = 0, mapY = 0;               // the map location's pixel
};

// Composes the picture into `out` (800 x 500, its storage reused between calls): the world
// map; the shading when sunlight is "Basic" or "Detail", in two pieces so that it wraps; the
// sun and the moon frame centred on their sub-points, each drawn a second time 800 pixels to
// the other side when it crosses the left or right edge; with "Locations" the marker at every
// location but the point of reference and a white pixel at each centre; and the map-location
// marker with a red centre pixel when the map location's latitude is not 90 and its pixel row
// lies in 0 ... 500.
void ComposeMap(const MapArt& art, const MapScene& scene, MapPicture& out);

template <typename BytesOf>
bool LoadMapArt(BytesOf&& bytesOf, MapArt& art, std::string* error) {
  MapPicture* slots[] = {&art.world, &art.sun, &art.moon, &art.location, &art.mapLocation};
  for (int i = 0; i < 5; ++i) {
    std::string why;
    if (!LoadMapPicture(bytesOf(kMapBitmapWorld + i), *slots[i], &why)) {
      if (error) *error = "bitmap " + std::to_string(kMapBitmapWorld + i) + ": " + why;
      return false;
    }
  }
  return CheckMapArt(art, error);
}

}  // namespace kv
