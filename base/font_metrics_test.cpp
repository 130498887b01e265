#include "base/font_metrics.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

constexpr std::string_view kSample = "The quick brown fox jumps over the lazy dog. WWW iii \xe9\xe8";

// Seen from Wine 8's GDI (GetTextMetricsA, GetTextExtentPoint32A) with fonts-liberation: every
// face below except the Liberation ones resolved to Liberation Sans; with the program's prefix
// replacements Times New Roman is drawn as Liberation Serif (and Courier New as Liberation Mono).
struct Seen {
  const char* face;
  int height, weight;
  int lineHeight, ascent, descent, internalLeading, externalLeading, averageWidth;
  int w, i, eAcute, space, sample;
};
constexpr Seen kSeen[] = {
    {"Arial", -13, 400, 15, 12, 3, 2, 0, 8, 12, 3, 7, 4, 335},
    {"Arial", -13, 700, 15, 12, 3, 2, 0, 8, 12, 4, 7, 4, 359},
    {"Arial", -16, 400, 17, 14, 3, 2, 1, 9, 15, 4, 9, 4, 406},
    {"Arial", -16, 600, 17, 14, 3, 2, 1, 10, 15, 4, 9, 4, 431},  // semibold takes the bold face
    {"Arial", 12, 400, 12, 10, 2, 1, 0, 6, 10, 2, 6, 3, 278},    // positive: cell height
    {"Arial", 20, 700, 20, 16, 4, 2, 1, 11, 17, 5, 10, 5, 491},
    {"Arial", -9, 400, 10, 8, 2, 1, 0, 5, 9, 2, 5, 3, 243},
    {"Arial", -40, 700, 44, 36, 8, 5, 1, 25, 38, 11, 22, 11, 1081},
    {"Verdana", -16, 700, 17, 14, 3, 2, 1, 10, 15, 4, 9, 4, 431},
    {"Times New Roman", -13, 400, 15, 12, 3, 1, 1, 7, 12, 4, 6, 3, 318},
    {"Liberation Serif", -13, 400, 15, 12, 3, 1, 1, 7, 12, 4, 6, 3, 318},
    {"Liberation Serif", 20, 700, 20, 16, 4, 2, 1, 11, 18, 5, 8, 5, 457},
    {"Liberation Serif", -40, 400, 45, 36, 9, 4, 2, 23, 38, 11, 18, 10, 954},
    {"Liberation Mono", -13, 400, 15, 11, 4, 2, 0, 8, 8, 8, 8, 8, 440},
    {"Liberation Mono", -9, 400, 10, 7, 3, 1, 0, 5, 5, 5, 5, 5, 275},
    {"Liberation Mono", -40, 700, 45, 33, 12, 5, 0, 24, 24, 24, 24, 24, 1320},
};

TEST(FontMetrics, MatchesWineGdi) {
  for (const Seen& s : kSeen) {
    SCOPED_TRACE(std::string(s.face) + " " + std::to_string(s.height) + " " + std::to_string(s.weight));
    NativeFont f(FontSpec{s.face, s.height, s.weight, false});
    const TextMetrics& m = f.Metrics();
    EXPECT_EQ(m.height, s.lineHeight);
    EXPECT_EQ(m.ascent, s.ascent);
    EXPECT_EQ(m.descent, s.descent);
    EXPECT_EQ(m.internalLeading, s.internalLeading);
    EXPECT_EQ(m.externalLeading, s.externalLeading);
    EXPECT_EQ(m.averageWidth, s.averageWidth);
    EXPECT_EQ(f.CharWidth('W'), s.w);
    EXPECT_EQ(f.CharWidth('i'), s.i);
    EXPECT_EQ(f.CharWidth(0xE9), s.eAcute);
    EXPECT_EQ(f.CharWidth(' '), s.space);
    EXPECT_EQ(f.TextWidth(kSample), s.sample);
  }
}

TEST(FontMetrics, WidthsAddUpPerCharacter) {
  // GDI rounds each character's advance on its own, so a text is the sum of its characters,
  // not the rounded sum of unrounded advances: at 13 pixels "i" is 2.89 rounded to 3.
  NativeFont f(FontSpec{"Arial", -13, 400, false});
  EXPECT_EQ(f.TextWidth("iiiiiiiiii"), 10 * f.CharWidth('i'));
  EXPECT_EQ(f.TextWidth(""), 0);
  EXPECT_GT(f.CharWidth('W'), 3 * f.CharWidth('i'));
  // Bytes beyond ASCII are measured as their Windows-1252 characters: the euro sign, an en dash.
  EXPECT_EQ(f.CharWidth(0x80), 7);
  EXPECT_EQ(f.CharWidth(0x96), 7);
}

TEST(FontMetrics, PixelsPerEm) {
  const FaceMetrics& sans = FaceMetricsFor(FontSpec{});
  struct Case {
    int height, ppem;
  } cases[] = {
      {-13, 13}, {-1, 1}, {12, 11}, {13, 12}, {15, 13}, {16, 14}, {0, 14}, {1, 1}, {2, 2},
      {14, 12},  // 13 would round to a cell of 15: one less
  };
  for (const Case& c : cases) EXPECT_EQ(PixelsPerEm(sans, c.height), c.ppem) << c.height;
}

TEST(FontMetrics, FaceChoice) {
  struct Case {
    const char* face;
    int weight;
    bool italic;
    const char* family;
    bool bold;
  } cases[] = {
      {"Arial", 400, false, "Liberation Sans", false},
      {"arial", 551, false, "Liberation Sans", true},
      {"Arial", 550, true, "Liberation Sans", false},
      {"LIBERATION SERIF", 700, true, "Liberation Serif", true},
      {"Liberation Mono", 100, false, "Liberation Mono", false},
      {"", 400, false, "Liberation Sans", false},
  };
  for (const Case& c : cases) {
    const FaceMetrics& f = FaceMetricsFor(FontSpec{c.face, -13, c.weight, c.italic});
    EXPECT_EQ(std::string_view(f.family), c.family) << c.face;
    EXPECT_EQ(f.bold, c.bold) << c.face;
    EXPECT_EQ(f.italic, c.italic) << c.face;
  }
}

TEST(FontMetrics, FontSetKeepsEachRole) {
  NativeFontSet set;
  set.Set(FontRole::Title, FontSpec{"Arial", -40, 700, false});
  EXPECT_EQ(set.Font(FontRole::Title).Metrics().height, 44);
  EXPECT_EQ(set.Font(FontRole::Cell).Metrics().height, 15);  // the default, -13
  EXPECT_EQ(set.Spec(FontRole::Title).weight, 700);
}

}  // namespace
}  // namespace kv
