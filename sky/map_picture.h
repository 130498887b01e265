// The world map's pictures in memory: 32-bit pixels with alpha, read from the bitmaps the
// program carries (a resource's DIB bytes or a .bmp file), premultiplied once, and drawn over
// one another with the per-pixel source-over blend that GDI's AlphaBlend performs.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kv {

// Rows top to bottom, one 0xAARRGGBB word per pixel: the layout of a top-down 32-bit DIB, so a
// picture can be handed straight to SetDIBitsToDevice or StretchDIBits.
struct MapPicture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  bool Empty() const { return pixels.empty(); }
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  uint32_t& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The largest picture accepted, in pixels: far above the map's 800 x 500, far below what a
// damaged header could ask memory for.
inline constexpr int64_t kMapPictureMaxPixels = 16 * 1024 * 1024;

// Reads an uncompressed 32-bit bitmap, either a whole .bmp file (starting "BM") or a bare DIB
// as a bitmap resource holds it (BITMAPINFOHEADER, V4 or V5 header first), bottom-up or
// top-down, BI_RGB or BI_BITFIELDS with the usual byte masks. The colour bytes and the alpha
// byte are taken as stored. Anything else, short or inconsistent, is refused: false, `out`
// left empty and `error` (when given) saying why.
bool ReadMapPicture(std::span<const uint8_t> bytes, MapPicture& out, std::string* error = nullptr);
bool ReadMapPictureFile(const std::string& path, MapPicture& out, std::string* error = nullptr);

// Writes a picture as a top-down 32-bit BI_RGB .bmp file image (for tools and tests).
std::vector<uint8_t> MapPictureBmp(const MapPicture& picture);

// Prepares a loaded picture for blending. Only a picture in which some pixel has a non-zero
// alpha byte is touched (one with all alpha bytes zero is a plain opaque picture); then every
// pixel whose alpha is below 255 has its three colour bytes multiplied by alpha / 255.
// Returns whether the picture was changed. Done once, right after loading.
bool PremultiplyMapPicture(MapPicture& picture);

// Reads and premultiplies: what the window and kvtool do with each bitmap.
bool LoadMapPicture(std::span<const uint8_t> bytes, MapPicture& out, std::string* error = nullptr);

// One premultiplied source pixel over one destination pixel, as AlphaBlend with AC_SRC_ALPHA
// and a constant alpha of 255: every channel, alpha included, becomes
// src + dst × (255 − src alpha) / 255 (rounded to nearest, at most 255).
inline uint32_t BlendMapPixel(uint32_t dst, uint32_t src) {
  uint32_t inverse = 255 - (src >> 24);
  if (inverse == 0) return src;
  if (inverse == 255 && src == 0) return dst;
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t s = (src >> shift) & 0xFF, d = (dst >> shift) & 0xFF;
    uint32_t v = s + (d * inverse + 127) / 255;
    out |= (v > 255 ? 255 : v) << shift;
  }
  return out;
}

// Blends the `width` x `height` block of `src` at (sx, sy) onto `dst` at (dx, dy), clipped to
// both pictures.
void BlendMapPicture(MapPicture& dst, int dx, int dy, const MapPicture& src, int sx, int sy, int width,
                     int height);
// The whole of `src` with its top left corner at (dx, dy).
inline void BlendMapPicture(MapPicture& dst, int dx, int dy, const MapPicture& src) {
  BlendMapPicture(dst, dx, dy, src, 0, 0, src.width, src.height);
}

}  // namespace kv
