// What the world map window decides without drawing: the display-option word's sunlight
// choice, which marker lies under the mouse, where the tip goes and what it says.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// The sunlight choice of the display-option word: 0 none, 1 basic, 2 detail (detail wins when
// both bits are on), and the word with another choice or with one show bit set or cleared.
int MapSunlightChoice(uint16_t options);
uint16_t WithMapSunlight(uint16_t options, int choice);
uint16_t WithMapBit(uint16_t options, uint16_t bit, bool on);

// A marker drawn on the map: its centre pixel and what it stands for (an index into the
// location list, or kGpsMarker).
inline constexpr int kGpsMarker = -1;
struct MapMarker {
  int x = 0, y = 0;
  int target = 0;
};

// The marker under the mouse: within 3 pixels in x and in y, the nearest by |dx| + |dy| (the
// first of equals); the index into `markers`, or -1 for none.
int HitTestMarkers(const std::vector<MapMarker>& markers, int x, int y);

// The tip window: `textWidth` x `textHeight` is the size of its text (its window border
// included), wrapped to at most kMapTipTextMax; the window adds 4 pixels left and right and 2
// above and below, and sits 24 pixels below the cursor, moved to stay inside `area` (the
// cursor's monitor), going above the cursor when there is no room below.
inline constexpr int kMapTipWidthMax = 640;
inline constexpr int kMapTipTextMax = kMapTipWidthMax - 8;
struct TipBox {
  int left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const TipBox&, const TipBox&) = default;
};
struct TipArea {
  int left = 0, top = 0, right = 0, bottom = 0;
};
TipBox PlaceMapTip(int cursorX, int cursorY, int textWidth, int textHeight, const TipArea& area);

// The tip of a location: "%s\r\n%s - %s" (name, its local date and time).
std::string MapTipText(std::string_view name, std::string_view date, std::string_view time);

// In GPS mode with no usable data the bar shows nothing but its title.
inline bool MapBarFieldsShown(bool gpsMode, int gpsStatus) { return !gpsMode || gpsStatus != 0; }

}  // namespace kv
