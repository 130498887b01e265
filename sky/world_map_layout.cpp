#include "sky/world_map_layout.h"

#include <algorithm>
#include <cstdlib>

#include "resources/strings.h"
#include "sky/map_compose.h"

namespace kv {

int MapSunlightChoice(uint16_t options) {
  if (options & kMapSunlightDetail) return 2;
  return (options & kMapSunlightBasic) ? 1 : 0;
}

uint16_t WithMapSunlight(uint16_t options, int choice) {
  options = static_cast<uint16_t>(options & ~(kMapSunlightBasic | kMapSunlightDetail));
  if (choice == 1) options |= kMapSunlightBasic;
  else if (choice == 2) options |= kMapSunlightDetail;
  return options;
}

uint16_t WithMapBit(uint16_t options, uint16_t bit, bool on) {
  return static_cast<uint16_t>(on ? options | bit : options & ~bit);
}

int HitTestMarkers(const std::vector<MapMarker>& markers, int x, int y) {
  int best = -1, bestDistance = 999;
  for (size_t i = 0; i < markers.size(); ++i) {
    int dx = std::abs(markers[i].x - x), dy = std::abs(markers[i].y - y);
    if (dx > 3 || dy > 3 || dx + dy >= bestDistance) continue;
    best = static_cast<int>(i);
    bestDistance = dx + dy;
  }
  return best;
}

TipBox PlaceMapTip(int cursorX, int cursorY, int textWidth, int textHeight, const TipArea& area) {
  TipBox box;
  box.width = std::min(std::max(textWidth, 0), kMapTipTextMax) + 8;
  box.height = std::max(textHeight, 0) + 4;
  box.left = cursorX;
  box.top = cursorY + 24;
  if (box.left + box.width > area.right) box.left = area.right - box.width;
  if (box.left < area.left) box.left = area.left;
  if (box.top + box.height > area.bottom) box.top = cursorY - box.height - 4;
  if (box.top < area.top) box.top = area.top;
  return box;
}

std::string MapTipText(std::string_view name, std::string_view date, std::string_view time) {
  return FormatText(std::string(StringText(32601)).c_str(), std::string(name).c_str(), std::string(date).c_str(),
                    std::string(time).c_str());
}

}  // namespace kv
