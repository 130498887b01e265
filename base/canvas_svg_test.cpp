#include "base/canvas_svg.h"

#include <gtest/gtest.h>

#include <bit>
#include <vector>

namespace kv {
namespace {

// A small well-formedness check: every element closed in order, attribute values quoted, and
// no bare '<' or '&' in text or attribute values. Returns "" or what is wrong.
std::string XmlProblem(const std::string& doc) {
  std::vector<std::string> open;
  auto badAmpersand = [](std::string_view s) {
    for (size_t i = s.find('&'); i != std::string_view::npos; i = s.find('&', i + 1)) {
      std::string_view rest = s.substr(i);
      bool ok = false;
      for (std::string_view e : {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"}) ok |= rest.starts_with(e);
      if (!ok) return true;
    }
    return false;
  };
  size_t i = 0;
  while (i < doc.size()) {
    size_t lt = doc.find('<', i);
    std::string_view text(doc.data() + i, (lt == std::string::npos ? doc.size() : lt) - i);
    if (badAmpersand(text)) return "bare & in text";
    if (lt == std::string::npos) break;
    if (doc.compare(lt, 2, "<?") == 0) {
      i = doc.find("?>", lt) + 2;
      continue;
    }
    size_t gt = lt + 1;
    char quote = 0;
    for (; gt < doc.size(); ++gt) {
      char c = doc[gt];
      if (quote) {
        if (c == quote) quote = 0;
        else if (c == '<') return "< in an attribute";
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '>') {
        break;
      }
    }
    if (gt >= doc.size()) return "unclosed tag";
    std::string tag = doc.substr(lt + 1, gt - lt - 1);
    if (badAmpersand(tag)) return "bare & in a tag";
    if (tag.starts_with("/")) {
      if (open.empty() || open.back() != tag.substr(1)) return "mismatched </" + tag.substr(1) + ">";
      open.pop_back();
    } else if (!tag.ends_with("/")) {
      open.push_back(tag.substr(0, tag.find_first_of(" \n")));
    }
    i = gt + 1;
  }
  return open.empty() ? "" : "unclosed <" + open.back() + ">";
}

size_t CountOf(const std::string& s, std::string_view needle) {
  size_t n = 0;
  for (size_t i = s.find(needle); i != std::string::npos; i = s.find(needle, i + 1)) ++n;
  return n;
}

TEST(SvgCanvas, XmlCheckerCatchesFaults) {
  EXPECT_EQ(XmlProblem("<a><b/></a>"), "");
  EXPECT_NE(XmlProblem("<a><b></a>"), "");
  EXPECT_NE(XmlProblem("<a>x & y</a>"), "");
  EXPECT_NE(XmlProblem("<a t=\"<\"/>"), "");
}

TEST(SvgCanvas, EscapesTextFromWindows1252) {
  struct Case {
    std::string_view in;
    std::string_view out;
  } cases[] = {
      {"<&\"'>", "&lt;&amp;&quot;&apos;&gt;"},
      {"caf\xe9", "caf\xc3\xa9"},
      {"\x80 5", "\xe2\x82\xac 5"},  // the euro sign
      {"a\x01\x1f" "b\tc", "ab\tc"},  // XML cannot hold these control characters
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(XmlEscape(c.in), c.out);
}

TEST(SvgCanvas, WellFormedDocument) {
  SvgCanvas svg(200, 100);
  svg.SetFont(FontRole::Title, FontSpec{"Arial", -20, 700, true});
  svg.FillRect({0, 0, 200, 20}, 0xC0C0C0);
  svg.DrawLine({0, 5}, {10, 5}, Pen{0xFF0000});
  svg.DrawText(FontRole::Title, {4, 2}, "Caf\xe9 <&\"> D\xe9" "cembre", 0x000000);
  svg.PushClip({0, 0, 100, 100});
  svg.FillHatch({0, 20, 50, 60}, Hatch::Cross, 0x0000FF, 0xFFFFFF);
  svg.DrawEllipse({60, 20, 80, 40}, Pen{0}, Brush{0x00FF00, Hatch::Cross, 0xFFFFFF});  // the same pattern
  svg.DrawPieAngles({60, 50, 80, 70}, 90, 270, Pen{0}, SolidBrush(0xFFFF00));
  svg.PushClip({0, 0, 50, 50});
  svg.DrawTextInRect(FontRole::Cell, {0, 60, 40, 100}, "Thanksgiving Day (United States)", 0x000080,
                     kTextWordBreak | kTextCentre);
  // Both clips left open: the document closes them.
  std::string doc = svg.Document();
  EXPECT_EQ(XmlProblem(doc), "") << doc;
  EXPECT_TRUE(doc.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\""));
  EXPECT_NE(doc.find("Caf\xc3\xa9 &lt;&amp;&quot;&gt; D\xc3\xa9" "cembre</text>"), std::string::npos);
  EXPECT_NE(doc.find("font-family=\"Liberation Sans, Arial\""), std::string::npos);
  EXPECT_NE(doc.find("font-weight=\"bold\" font-style=\"italic\""), std::string::npos);
  // A level line covers the pixels of its row from the start to just before the end, as in GDI.
  EXPECT_NE(doc.find("<path d=\"M0 5.5H10\" fill=\"none\" stroke=\"#FF0000\" stroke-width=\"1\"/>"), std::string::npos);
  EXPECT_EQ(CountOf(doc, "<pattern "), 2u);  // cross blue-on-white and green-on-white
  EXPECT_EQ(CountOf(doc, "<clipPath "), 3u);  // two pushed, one for the wrapped text that spills
  EXPECT_NE(doc.find(" 0 1 0 "), std::string::npos);  // the 270-degree pie takes the large arc
}

TEST(SvgCanvas, TextSitsOnItsBaseline) {
  SvgCanvas svg(100, 50);
  svg.SetTextBackground(0xFFFF00);
  svg.DrawText(FontRole::Cell, {10, 20}, "Wi", 0x102030);
  std::string doc = svg.Document();
  // Arial -13: ascent 12, "W" 12 + "i" 3 wide, line 15 high; the background box is drawn first.
  EXPECT_NE(doc.find("<rect x=\"10\" y=\"20\" width=\"15\" height=\"15\" fill=\"#FFFF00\"/>\n<text x=\"10\" y=\"32\" "
                     "font-family=\"Liberation Sans, Arial\" font-size=\"13\" fill=\"#102030\" textLength=\"15\" "
                     "xml:space=\"preserve\">Wi</text>"),
            std::string::npos)
      << doc;
}

TEST(SvgCanvas, PicturesAndIcons) {
  Image red{1, 1, {0xFFFF0000}};
  SvgCanvas svg(20, 20, kTransparent);
  svg.DrawIcon(7, {0, 0, 16, 16});  // no icon source: a placeholder
  svg.SetIconSource([&](int icon) { return icon == 7 ? &red : nullptr; });
  svg.DrawIcon(7, {0, 0, 16, 16});
  svg.DrawImage(Image{}, {0, 0, 4, 4});  // empty: nothing
  std::string doc = svg.Document();
  EXPECT_EQ(XmlProblem(doc), "");
  EXPECT_NE(doc.find("<title>icon 7</title>"), std::string::npos);
  EXPECT_EQ(CountOf(doc, "xlink:href=\"data:image/png;base64,iVBORw0KGgo"), 1u);
  EXPECT_EQ(doc.find("<rect width="), std::string::npos);  // no background asked for
}

// Reads a PNG back: the chunk layout, each chunk's CRC, the stored deflate blocks and Adler-32.
TEST(SvgCanvas, PngIsReadable) {
  Image image{3, 2, {0xFF102030, 0x80405060, 0x00000000, 0x12345678, 0xFFFFFFFF, 0x7F000000}};
  std::string png = EncodePng(image);
  ASSERT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n"));
  auto u32 = [&](size_t at) {
    return (static_cast<uint32_t>(static_cast<unsigned char>(png[at])) << 24) |
           (static_cast<uint32_t>(static_cast<unsigned char>(png[at + 1])) << 16) |
           (static_cast<uint32_t>(static_cast<unsigned char>(png[at + 2])) << 8) |
           static_cast<uint32_t>(static_cast<unsigned char>(png[at + 3]));
  };
  std::vector<std::string> types;
  std::string idat;
  for (size_t at = 8; at < png.size();) {
    uint32_t length = u32(at);
    types.push_back(png.substr(at + 4, 4));
    if (types.back() == "IDAT") idat = png.substr(at + 8, length);
    if (types.back() == "IHDR") {
      EXPECT_EQ(u32(at + 8), 3u);
      EXPECT_EQ(u32(at + 12), 2u);
    }
    at += 12 + length;
    ASSERT_LE(at, png.size());
  }
  EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
  EXPECT_EQ(png.substr(png.size() - 4), std::string("\xae\x42\x60\x82"));  // the CRC of an empty IEND
  // One final stored block holding two rows of a filter byte and three RGBA pixels.
  ASSERT_EQ(idat.size(), 2u + 5u + 2u * 13u + 4u);
  EXPECT_EQ(idat[2], '\x01');
  std::string raw = idat.substr(7, 26);
  EXPECT_EQ(raw.substr(0, 9), std::string("\x00\x10\x20\x30\xff\x40\x50\x60\x80", 9));
  EXPECT_EQ(raw.substr(13, 5), std::string("\x00\x34\x56\x78\x12", 5));
  EXPECT_TRUE(EncodePng(Image{2, 2, {1, 2, 3}}).empty());  // too few pixels
}

// A picture larger than one stored block (65,535 bytes) is split into blocks that join up again.
TEST(SvgCanvas, LargePngSpansBlocks) {
  Image image{200, 100, {}};
  for (uint32_t k = 0; k < 200 * 100; ++k) image.pixels.push_back(0xFF000000u | (k * 2654435761u >> 8));
  std::string png = EncodePng(image);
  size_t at = 8 + 25;  // past the signature and IHDR
  auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(png[i])); };
  uint32_t length = byte(at) << 24 | byte(at + 1) << 16 | byte(at + 2) << 8 | byte(at + 3);
  ASSERT_EQ(png.substr(at + 4, 4), "IDAT");
  std::string z = png.substr(at + 8, length), raw;
  size_t i = 2;
  int blocks = 0;
  for (bool last = false; !last;) {
    ASSERT_LT(i + 5, z.size());
    last = z[i] & 1;
    size_t n = byte(at + 8 + i + 1) | byte(at + 8 + i + 2) << 8;
    size_t nn = byte(at + 8 + i + 3) | byte(at + 8 + i + 4) << 8;
    ASSERT_EQ(n ^ 0xFFFF, nn);
    raw += z.substr(i + 5, n);
    i += 5 + n;
    ++blocks;
  }
  EXPECT_EQ(blocks, 2);
  ASSERT_EQ(raw.size(), 100u * (1 + 200 * 4));
  uint32_t a = 1, b = 0;
  for (char c : raw) a = (a + static_cast<unsigned char>(c)) % 65521, b = (b + a) % 65521;
  EXPECT_EQ(z.substr(i), std::string({static_cast<char>(b >> 8), static_cast<char>(b), static_cast<char>(a >> 8),
                                      static_cast<char>(a)}));
  uint32_t last = image.pixels.back();
  EXPECT_EQ(byte(at + 8 + i - 4), (last >> 16) & 0xFF);  // the final pixel's red, green, blue, alpha
  EXPECT_EQ(byte(at + 8 + i - 1), last >> 24);
}

TEST(SvgCanvas, HatchPatternsAsGdiDrawsThem) {
  // Every hatch covers each of its eight rows and columns at least once, none is solid.
  for (Hatch h : {Hatch::Horizontal, Hatch::Vertical, Hatch::ForwardDiagonal, Hatch::BackwardDiagonal, Hatch::Cross,
                  Hatch::DiagonalCross}) {
    int bits = 0;
    for (int row = 0; row < 8; ++row) bits += std::popcount(HatchBits(h, row));
    EXPECT_GE(bits, 8);
    EXPECT_LT(bits, 64);
  }
  EXPECT_EQ(HatchBits(Hatch::None, 0), 0);
  EXPECT_EQ(HatchBits(Hatch::ForwardDiagonal, 0), 0x80);  // top-left to bottom-right
  EXPECT_EQ(HatchBits(Hatch::BackwardDiagonal, 0), 0x01);
}

}  // namespace
}  // namespace kv
