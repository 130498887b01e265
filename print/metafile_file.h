// Windows metafiles on disk. A metafile as the system hands it over (GetWinMetaFileBits) has no
// idea of its size on paper; other programs expect the "placeable" form, which puts a 22-byte
// header with the picture's bounds and units in front. This writes that form and checks one
// (header, checksum and the walk of the records up to the end record), so the files we write can
// be shown to open elsewhere.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kv {

inline constexpr uint32_t kPlaceableKey = 0x9AC6CDD7u;
inline constexpr size_t kPlaceableHeaderSize = 22;

// The placeable file of a metafile whose picture is `width` x `height` units, `unitsPerInch`
// of them to the inch. Sizes beyond 32767 units are clamped (the header holds 16-bit bounds).
std::vector<uint8_t> MakePlaceableMetafile(std::span<const uint8_t> metafile, int width, int height,
                                           int unitsPerInch);

// What a check of a placeable file found.
struct MetafileCheck {
  bool ok = false;
  std::string problem;      // why not, when not ok
  int width = 0;            // bounds of the header
  int height = 0;
  int unitsPerInch = 0;
  int records = 0;          // records before the end record
};
MetafileCheck CheckPlaceableMetafile(std::span<const uint8_t> file);

}  // namespace kv
