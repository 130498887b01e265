#include "sky/map_picture.h"

#include <gtest/gtest.h>

#include "base/bytes.h"

namespace kv {
namespace {

// A bitmap image built field by field: file header (optional), a header of `headerSize` bytes,
// optional masks, then rows bottom-up (height > 0) or top-down (height < 0).
std::vector<uint8_t> Bmp(int width, int height, const std::vector<uint32_t>& topDownPixels, bool fileHeader = true,
                         uint32_t headerSize = 40, uint16_t bits = 32, uint32_t compression = 0,
                         std::vector<uint32_t> masks = {}) {
  std::vector<uint8_t> b;
  auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i))); };
  auto u16 = [&](uint16_t v) { b.push_back(static_cast<uint8_t>(v)); b.push_back(static_cast<uint8_t>(v >> 8)); };
  size_t extra = (headerSize == 40) ? masks.size() * 4 : 0;
  uint32_t offset = (fileHeader ? 14 : 0) + headerSize + static_cast<uint32_t>(extra);
  if (fileHeader) {
    b.push_back('B');
    b.push_back('M');
    u32(offset + static_cast<uint32_t>(topDownPixels.size() * 4));
    u32(0);
    u32(offset);
  }
  u32(headerSize);
  u32(static_cast<uint32_t>(width));
  u32(static_cast<uint32_t>(height));
  u16(1);
  u16(bits);
  u32(compression);
  for (int i = 0; i < 5; ++i) u32(0);
  size_t inHeader = 40;
  if (headerSize > 40) {
    for (size_t i = 0; i < masks.size() && inHeader + 4 <= headerSize; ++i, inHeader += 4) u32(masks[i]);
    while (inHeader < headerSize) { b.push_back(0); ++inHeader; }
  } else {
    for (uint32_t m : masks) u32(m);
  }
  int rows = height < 0 ? -height : height;
  for (int r = 0; r < rows && !topDownPixels.empty(); ++r) {
    int y = height < 0 ? r : rows - 1 - r;
    for (int x = 0; x < width; ++x) u32(topDownPixels[static_cast<size_t>(y) * width + x]);
  }
  return b;
}

const std::vector<uint32_t> kPixels = {0x80112233, 0xFF445566, 0x00000000,
                                       0x10FFFFFF, 0x7F808080, 0xFFABCDEF};

TEST(MapPictureRead, LayoutsGiveTheSamePicture) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"file, bottom-up", Bmp(3, 2, kPixels)},
      {"file, top-down", Bmp(3, -2, kPixels)},
      {"bare DIB as a resource holds it", Bmp(3, 2, kPixels, false)},
      {"bit fields after a 40-byte header", Bmp(3, 2, kPixels, true, 40, 32, 3, {0xFF0000, 0xFF00, 0xFF})},
      {"V5 header with bit fields", Bmp(3, -2, kPixels, false, 124, 32, 3, {0xFF0000, 0xFF00, 0xFF, 0xFF000000})},
      {"V4 header, plain", Bmp(3, 2, kPixels, true, 108)},
  };
  for (const Case& c : cases) {
    MapPicture p;
    std::string error;
    ASSERT_TRUE(ReadMapPicture(c.bytes, p, &error)) << c.what << ": " << error;
    EXPECT_EQ(p.width, 3) << c.what;
    EXPECT_EQ(p.height, 2) << c.what;
    EXPECT_EQ(p.pixels, kPixels) << c.what;
  }
}

TEST(MapPictureRead, WrittenPictureReadsBack) {
  MapPicture p{3, 2, kPixels};
  MapPicture back;
  ASSERT_TRUE(ReadMapPicture(MapPictureBmp(p), back));
  EXPECT_EQ(back.pixels, kPixels);
}

TEST(MapPictureRead, DamagedInputIsRefused) {
  std::vector<uint8_t> good = Bmp(3, 2, kPixels);
  auto with = [&](size_t at, uint32_t value) {
    std::vector<uint8_t> b = good;
    for (size_t i = 0; i < 4 && at + i < b.size(); ++i) b[at + i] = static_cast<uint8_t>(value >> (8 * i));
    return b;
  };
  auto cut = [&](size_t size) { return std::vector<uint8_t>(good.begin(), good.begin() + size); };
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"empty", {}},
      {"only the signature", {'B', 'M'}},
      {"header cut", cut(30)},
      {"last pixel cut", cut(good.size() - 1)},
      {"core header", with(14, 12)},
      {"unknown header size", with(14, 44)},
      {"zero width", with(18, 0)},
      {"negative width", with(18, 0xFFFFFFFD)},
      {"zero height", with(22, 0)},
      {"most negative height", with(22, 0x80000000)},
      {"far too large", Bmp(5000, 5000, {}, true)},
      {"24 bits", Bmp(3, 2, kPixels, true, 40, 24)},
      {"run-length compressed", Bmp(3, 2, kPixels, true, 40, 32, 1)},
      {"unusual masks", Bmp(3, 2, kPixels, true, 40, 32, 3, {0xFF, 0xFF00, 0xFF0000})},
      {"bit fields without masks", cut(54)},
      {"pixels said to start beyond the end", with(10, 0xFFFFFFF0)},
      {"pixels said to start inside the header", with(10, 20)},
      {"colour table too long", with(14 + 32, 100000)},
  };
  // The masks case needs its compression field; the short one needs bit fields declared.
  PutU32LE(cases[14].bytes.data() + 30, 3);
  for (const Case& c : cases) {
    MapPicture p{1, 1, {1}};
    std::string error;
    EXPECT_FALSE(ReadMapPicture(c.bytes, p, &error)) << c.what;
    EXPECT_TRUE(p.Empty()) << c.what;
    EXPECT_EQ(p.width, 0) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
  }
}

TEST(MapPictureRead, MissingFileIsRefused) {
  MapPicture p;
  std::string error;
  EXPECT_FALSE(ReadMapPictureFile("/nonexistent/kv/map.bmp", p, &error));
  EXPECT_NE(error.find("map.bmp"), std::string::npos);
}

TEST(MapPicturePremultiply, ColourBytesScaledByAlphaBelowOpaque) {
  MapPicture p{4, 1, {0xFF808080, 0x80FF4020, 0x00FFFFFF, 0x01FFFFFF}};
  EXPECT_TRUE(PremultiplyMapPicture(p));
  EXPECT_EQ(p.pixels[0], 0xFF808080u);  // opaque: unchanged
  EXPECT_EQ(p.pixels[1], 0x80802010u);  // 255*128/255, 64*128/255 = 32, 32*128/255 = 16
  EXPECT_EQ(p.pixels[2], 0x00000000u);  // transparent: black
  EXPECT_EQ(p.pixels[3], 0x01010101u);
}

TEST(MapPicturePremultiply, PictureWithoutAlphaIsLeftAlone) {
  // A picture whose alpha bytes are all zero is a plain opaque one.
  MapPicture p{2, 1, {0x00123456, 0x00FFFFFF}};
  MapPicture before = p;
  EXPECT_FALSE(PremultiplyMapPicture(p));
  EXPECT_EQ(p.pixels, before.pixels);
}

TEST(MapPictureBlend, SourceOverWithPremultipliedAlpha) {
  struct Case {
    uint32_t dst, src, expected;
  } cases[] = {
      {0xFF204060, 0x00000000, 0xFF204060},  // transparent source
      {0xFF204060, 0xFF0A0B0C, 0xFF0A0B0C},  // opaque source replaces
      {0xFFFFFFFF, 0x7F000000, 0xFF808080},  // night shading: black at 127 halves white
      {0xFF3C78C8, 0x7F000000, 0xFF1E3C64},  // 60*128/255 = 30.1, 120 -> 60.2, 200 -> 100.4
      {0xFF000000, 0x80804020, 0xFF804020},  // premultiplied colour over black stays as it is
      {0x00000000, 0x24000000, 0x24000000},  // alpha accumulates like a colour
      {0xFF102030, 0x24000000, 0xFF0E1B29},  // day shading alpha 36: 16*219/255 = 13.7
      {0xFFFFFFFF, 0x80FFFFFF, 0xFFFFFFFF},  // an invalid (unpremultiplied) source saturates
  };
  for (const Case& c : cases)
    EXPECT_EQ(BlendMapPixel(c.dst, c.src), c.expected) << std::hex << c.dst << " " << c.src;
}

TEST(MapPictureBlend, BlockIsClippedToBothPictures) {
  MapPicture dst{4, 3, std::vector<uint32_t>(12, 0xFF000000)};
  MapPicture src{3, 3, std::vector<uint32_t>(9, 0xFFFFFFFF)};
  src.At(0, 0) = 0xFF111111;
  BlendMapPicture(dst, -1, -1, src);  // only the lower right 2 x 2 of the source lands
  EXPECT_EQ(dst.At(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(dst.At(1, 1), 0xFFFFFFFFu);
  EXPECT_EQ(dst.At(2, 0), 0xFF000000u);
  EXPECT_EQ(dst.At(0, 2), 0xFF000000u);
  BlendMapPicture(dst, 3, 2, src);  // one pixel, the source's top left
  EXPECT_EQ(dst.At(3, 2), 0xFF111111u);
  BlendMapPicture(dst, 4, 0, src);  // wholly outside: nothing
  dst = MapPicture{4, 3, std::vector<uint32_t>(12, 0xFF000000)};
  BlendMapPicture(dst, 0, 0, src, 2, 2, 5, 5);  // source block past its edge: one pixel
  EXPECT_EQ(dst.At(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(dst.At(1, 0), 0xFF000000u);
  EXPECT_EQ(dst.At(0, 1), 0xFF000000u);
}

}  // namespace
}  // namespace kv
