// The world map's five bitmaps built into the program that links this (kvtool, the tests), so
// that it needs no files beside it. The Windows program carries the same bitmaps as BITMAP
// resources 2240-2244 instead.
#pragma once

#include <cstdint>
#include <span>

#include "sky/map_compose.h"

namespace kv {

// The whole .bmp file of bitmap `id` (2240 ... 2244); empty for any other number.
std::span<const uint8_t> BuiltInMapBitmap(int id);

// The five pictures loaded and premultiplied; false with the reason if one is damaged.
bool LoadBuiltInMapArt(MapArt& art, std::string* error = nullptr);

}  // namespace kv
