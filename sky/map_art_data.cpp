#include "sky/map_art_data.h"

// The bitmaps are drawn at build time (tools/gen/gen_map_art.py) into KV_MAP_ART_DIR and taken
// into this object file by the assembler, byte for byte.
#ifndef KV_MAP_ART_DIR
#error "KV_MAP_ART_DIR must name the folder of the generated map bitmaps"
#endif

#if defined(_WIN32)
#define KV_MAP_ART_SECTION ".section .rdata,\"dr\"\n"
#else
#define KV_MAP_ART_SECTION ".section .rodata\n"
#endif

#define KV_MAP_ART_EMBED(symbol, file)                     \
  asm(KV_MAP_ART_SECTION                                   \
      ".balign 16\n"                                       \
      ".globl " #symbol "\n" #symbol ":\n"                 \
      ".incbin \"" KV_MAP_ART_DIR "/" file "\"\n"          \
      ".globl " #symbol "_end\n" #symbol "_end:\n"         \
      ".byte 0\n"                                          \
      ".text\n")

KV_MAP_ART_EMBED(kv_map_art_world, "world.bmp");
KV_MAP_ART_EMBED(kv_map_art_sun, "sun.bmp");
KV_MAP_ART_EMBED(kv_map_art_moon, "moon.bmp");
KV_MAP_ART_EMBED(kv_map_art_location, "location.bmp");
KV_MAP_ART_EMBED(kv_map_art_map_location, "map_location.bmp");

extern "C" {
extern const uint8_t kv_map_art_world[], kv_map_art_world_end[];
extern const uint8_t kv_map_art_sun[], kv_map_art_sun_end[];
extern const uint8_t kv_map_art_moon[], kv_map_art_moon_end[];
extern const uint8_t kv_map_art_location[], kv_map_art_location_end[];
extern const uint8_t kv_map_art_map_location[], kv_map_art_map_location_end[];
}

namespace kv {

std::span<const uint8_t> BuiltInMapBitmap(int id) {
  switch (id) {
    case kMapBitmapWorld: return {kv_map_art_world, kv_map_art_world_end};
    case kMapBitmapSun: return {kv_map_art_sun, kv_map_art_sun_end};
    case kMapBitmapMoon: return {kv_map_art_moon, kv_map_art_moon_end};
    case kMapBitmapLocation: return {kv_map_art_location, kv_map_art_location_end};
    case kMapBitmapMapLocation: return {kv_map_art_map_location, kv_map_art_map_location_end};
    default: return {};
  }
}

bool LoadBuiltInMapArt(MapArt& art, std::string* error) {
  return LoadMapArt([](int id) { return BuiltInMapBitmap(id); }, art, error);
}

}  // namespace kv
