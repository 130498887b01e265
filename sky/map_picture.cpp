#include "sky/map_picture.h"

#include <algorithm>

#include "base/bytes.h"
#include "base/file_io.h"

namespace kv {
namespace {

constexpr uint32_t kBiRgb = 0, kBiBitfields = 3;
constexpr size_t kFileHeaderSize = 14, kInfoHeaderSize = 40;

bool Refuse(MapPicture& out, std::string* error, const char* why) {
  out = MapPicture();
  if (error) *error = why;
  return false;
}

}  // namespace

bool ReadMapPicture(std::span<const uint8_t> bytes, MapPicture& out, std::string* error) {
  out = MapPicture();
  size_t dibStart = 0;
  uint64_t pixelOffset = 0;  // from the start of `bytes`; 0 when the file header does not say
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
    if (bytes.size() < kFileHeaderSize + kInfoHeaderSize) return Refuse(out, error, "the bitmap file is too short");
    pixelOffset = ReadU32LE(bytes.data() + 10);
    dibStart = kFileHeaderSize;
  }
  if (bytes.size() < dibStart + kInfoHeaderSize) return Refuse(out, error, "the bitmap is too short for its header");
  const uint8_t* h = bytes.data() + dibStart;
  uint32_t headerSize = ReadU32LE(h);
  if (headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 && headerSize != 124)
    return Refuse(out, error, "the bitmap header is of an unknown kind");
  if (bytes.size() - dibStart < headerSize) return Refuse(out, error, "the bitmap is too short for its header");
  int32_t width = ReadI32LE(h + 4), height = ReadI32LE(h + 8);
  uint16_t planes = ReadU16LE(h + 12), bits = ReadU16LE(h + 14);
  uint32_t compression = ReadU32LE(h + 16), colours = ReadU32LE(h + 32);
  if (planes != 1) return Refuse(out, error, "the bitmap has a wrong plane count");
  if (bits != 32) return Refuse(out, error, "the bitmap is not a 32-bit picture");
  if (compression != kBiRgb && compression != kBiBitfields)
    return Refuse(out, error, "the bitmap is compressed");
  if (width <= 0 || height == 0 || height == INT32_MIN) return Refuse(out, error, "the bitmap has no pixels");
  bool topDown = height < 0;
  int64_t rows = topDown ? -static_cast<int64_t>(height) : height;
  if (static_cast<int64_t>(width) * rows > kMapPictureMaxPixels) return Refuse(out, error, "the bitmap is too large");

  // Masks: in the header from V2 on, after a 40-byte header otherwise.
  size_t afterHeader = dibStart + headerSize;
  if (compression == kBiBitfields) {
    const uint8_t* m = h + 40;
    if (headerSize == 40) {
      if (bytes.size() < afterHeader + 12) return Refuse(out, error, "the bitmap is too short for its colour masks");
      m = bytes.data() + afterHeader;
      afterHeader += 12;
    }
    if (ReadU32LE(m) != 0x00FF0000u || ReadU32LE(m + 4) != 0x0000FF00u || ReadU32LE(m + 8) != 0x000000FFu)
      return Refuse(out, error, "the bitmap's colour masks are not the usual ones");
  }
  if (colours > 256) return Refuse(out, error, "the bitmap's colour table is too long");
  afterHeader += static_cast<size_t>(colours) * 4;
  if (pixelOffset == 0) pixelOffset = afterHeader;
  if (pixelOffset < afterHeader) return Refuse(out, error, "the bitmap's pixels overlap its header");
  uint64_t need = static_cast<uint64_t>(width) * static_cast<uint64_t>(rows) * 4;
  if (pixelOffset > bytes.size() || bytes.size() - pixelOffset < need)
    return Refuse(out, error, "the bitmap's pixels are cut short");

  out.width = width;
  out.height = static_cast<int>(rows);
  out.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(rows));
  const uint8_t* p = bytes.data() + pixelOffset;
  for (int64_t r = 0; r < rows; ++r) {
    int64_t y = topDown ? r : rows - 1 - r;
    uint32_t* row = out.pixels.data() + static_cast<size_t>(y) * width;
    for (int32_t x = 0; x < width; ++x, p += 4) row[x] = ReadU32LE(p);
  }
  return true;
}

bool ReadMapPictureFile(const std::string& path, MapPicture& out, std::string* error) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes, 64u << 20)) {
    out = MapPicture();
    if (error) *error = "cannot read " + path;
    return false;
  }
  return ReadMapPicture(bytes, out, error);
}

std::vector<uint8_t> MapPictureBmp(const MapPicture& picture) {
  size_t data = picture.pixels.size() * 4;
  std::vector<uint8_t> bytes(kFileHeaderSize + kInfoHeaderSize + data);
  uint8_t* b = bytes.data();
  b[0] = 'B';
  b[1] = 'M';
  PutU32LE(b + 2, static_cast<uint32_t>(bytes.size()));
  PutU32LE(b + 10, kFileHeaderSize + kInfoHeaderSize);
  uint8_t* h = b + kFileHeaderSize;
  PutU32LE(h, kInfoHeaderSize);
  PutI32LE(h + 4, picture.width);
  PutI32LE(h + 8, -picture.height);
  PutU16LE(h + 12, 1);
  PutU16LE(h + 14, 32);
  PutU32LE(h + 20, static_cast<uint32_t>(data));
  uint8_t* p = h + kInfoHeaderSize;
  for (uint32_t v : picture.pixels) {
    PutU32LE(p, v);
    p += 4;
  }
  return bytes;
}

bool PremultiplyMapPicture(MapPicture& picture) {
  bool anyAlpha = std::any_of(picture.pixels.begin(), picture.pixels.end(), [](uint32_t v) { return (v >> 24) != 0; });
  if (!anyAlpha) return false;
  for (uint32_t& v : picture.pixels) {
    uint32_t a = v >> 24;
    if (a == 255) continue;
    uint32_t r = ((v >> 16) & 0xFF) * a / 255, g = ((v >> 8) & 0xFF) * a / 255, b = (v & 0xFF) * a / 255;
    v = (a << 24) | (r << 16) | (g << 8) | b;
  }
  return true;
}

bool LoadMapPicture(std::span<const uint8_t> bytes, MapPicture& out, std::string* error) {
  if (!ReadMapPicture(bytes, out, error)) return false;
  PremultiplyMapPicture(out);
  return true;
}

void BlendMapPicture(MapPicture& dst, int dx, int dy, const MapPicture& src, int sx, int sy, int width, int height) {
  // Clip the source block to the source, then the destination block to the destination.
  if (sx < 0) { dx -= sx; width += sx; sx = 0; }
  if (sy < 0) { dy -= sy; height += sy; sy = 0; }
  width = std::min(width, src.width - sx);
  height = std::min(height, src.height - sy);
  if (dx < 0) { sx -= dx; width += dx; dx = 0; }
  if (dy < 0) { sy -= dy; height += dy; dy = 0; }
  width = std::min(width, dst.width - dx);
  height = std::min(height, dst.height - dy);
  if (width <= 0 || height <= 0) return;
  for (int y = 0; y < height; ++y) {
    const uint32_t* s = src.pixels.data() + static_cast<size_t>(sy + y) * src.width + sx;
    uint32_t* d = dst.pixels.data() + static_cast<size_t>(dy + y) * dst.width + dx;
    for (int x = 0; x < width; ++x) d[x] = BlendMapPixel(d[x], s[x]);
  }
}

}  // namespace kv
