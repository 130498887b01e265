#include "print/metafile_file.h"

#include <algorithm>

#include "base/bytes.h"

namespace kv {
namespace {

constexpr size_t kMetaHeaderSize = 18;  // the metafile's own header: 9 words

uint16_t Checksum(const uint8_t* header) {
  uint16_t sum = 0;
  for (size_t i = 0; i < 20; i += 2) sum ^= ReadU16LE(header + i);
  return sum;
}

int16_t Clamp16(int v) { return static_cast<int16_t>(std::clamp(v, 0, 32767)); }

MetafileCheck Fail(MetafileCheck check, const char* problem) {
  check.ok = false;
  check.problem = problem;
  return check;
}

}  // namespace

std::vector<uint8_t> MakePlaceableMetafile(std::span<const uint8_t> metafile, int width, int height,
                                           int unitsPerInch) {
  std::vector<uint8_t> file(kPlaceableHeaderSize + metafile.size());
  uint8_t* h = file.data();
  PutU32LE(h, kPlaceableKey);
  PutU16LE(h + 4, 0);                   // handle: always 0 on disk
  PutI16LE(h + 6, 0);                   // bounds: left, top, right, bottom
  PutI16LE(h + 8, 0);
  PutI16LE(h + 10, Clamp16(width));
  PutI16LE(h + 12, Clamp16(height));
  PutU16LE(h + 14, static_cast<uint16_t>(std::clamp(unitsPerInch, 1, 65535)));
  PutU32LE(h + 16, 0);                  // reserved
  PutU16LE(h + 20, Checksum(h));
  std::copy(metafile.begin(), metafile.end(), file.begin() + kPlaceableHeaderSize);
  return file;
}

MetafileCheck CheckPlaceableMetafile(std::span<const uint8_t> file) {
  MetafileCheck check;
  if (file.size() < kPlaceableHeaderSize + kMetaHeaderSize) return Fail(check, "file too short");
  const uint8_t* h = file.data();
  if (ReadU32LE(h) != kPlaceableKey) return Fail(check, "no placeable key");
  if (ReadU16LE(h + 20) != Checksum(h)) return Fail(check, "header checksum wrong");
  check.width = ReadI16LE(h + 10) - ReadI16LE(h + 6);
  check.height = ReadI16LE(h + 12) - ReadI16LE(h + 8);
  check.unitsPerInch = ReadU16LE(h + 14);
  if (check.width <= 0 || check.height <= 0 || check.unitsPerInch == 0) return Fail(check, "empty bounds");

  const uint8_t* m = h + kPlaceableHeaderSize;
  const size_t bytes = file.size() - kPlaceableHeaderSize;
  const uint16_t type = ReadU16LE(m);
  const uint16_t headerWords = ReadU16LE(m + 2);
  const uint16_t version = ReadU16LE(m + 4);
  const uint32_t sizeWords = ReadU32LE(m + 6);
  if ((type != 1 && type != 2) || headerWords != 9) return Fail(check, "no metafile header");
  if (version != 0x0300 && version != 0x0100) return Fail(check, "unknown metafile version");
  if (static_cast<uint64_t>(sizeWords) * 2 != bytes) return Fail(check, "metafile size does not match the file");

  size_t at = kMetaHeaderSize;
  while (at + 6 <= bytes) {
    const uint32_t recordWords = ReadU32LE(m + at);
    const uint16_t function = ReadU16LE(m + at + 4);
    if (recordWords < 3 || at + static_cast<uint64_t>(recordWords) * 2 > bytes) return Fail(check, "record overruns the file");
    if (function == 0) {
      if (recordWords != 3 || at + 6 != bytes) return Fail(check, "end record is not last");
      check.ok = true;
      return check;
    }
    ++check.records;
    at += static_cast<size_t>(recordWords) * 2;
  }
  return Fail(check, "no end record");
}

}  // namespace kv
