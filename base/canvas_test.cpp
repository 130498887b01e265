#include "base/canvas.h"

#include <gtest/gtest.h>

#include "base/canvas_record.h"

namespace kv {
namespace {

using Lines = std::vector<std::string>;

// Arial at -13 (the default font of every role): "i" is 3 wide, "W" 12, a blank 4.
class CanvasText : public ::testing::Test {
 protected:
  RecordingCanvas canvas;
  int W(std::string_view s) const { return canvas.TextWidth(FontRole::Cell, s); }
  Lines Wrap(std::string_view s, int width) const { return WrapText(canvas, FontRole::Cell, s, width); }
};

TEST_F(CanvasText, TableWidths) {
  ASSERT_EQ(W("i"), 3);
  ASSERT_EQ(W("W"), 12);
  ASSERT_EQ(W(" "), 4);
  ASSERT_EQ(W("."), 4);
}

TEST_F(CanvasText, WrapText) {
  struct Case {
    const char* text;
    int width;
    Lines lines;
  } cases[] = {
      {"", 100, {}},
      {"iii iii iii", 1000, {"iii iii iii"}},
      {"iii iii iii", 22, {"iii iii", "iii"}},         // "iii iii" is exactly 22: it fits
      {"iii iii iii", 21, {"iii", "iii", "iii"}},      // one short
      {"iii   iii", 9, {"iii", "iii"}},                // blanks at a break are eaten
      {"i  i", 100, {"i  i"}},                         // blanks inside a line are kept
      {"  iii iii", 17, {"  iii", "iii"}},             // a paragraph's indentation stays
      {"WWWWWW", 30, {"WW", "WW", "WW"}},              // a word wider than the line is broken
      {"i WWWW", 30, {"i", "WW", "WW"}},
      {"WWWWi i", 39, {"WWW", "Wi i"}},                // the broken word's tail keeps filling its line
      {"abc", 0, {"a", "b", "c"}},                     // narrower than any character: one each
      {"abc", -5, {"a", "b", "c"}},
      {"a\nb\r\nc\rd", 100, {"a", "b", "c", "d"}},     // line breaks of every kind
      {"a\n\nb", 100, {"a", "", "b"}},                 // an empty line stays
      {"a\n", 100, {"a"}},                             // a closing break adds nothing
      {"   ", 100, {""}},
      {"iii iii\niii", 22, {"iii iii", "iii"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Wrap(c.text, c.width), c.lines) << '"' << c.text << "\" " << c.width;
}

TEST_F(CanvasText, WrappedLinesFit) {
  std::string text = "Candle lighting 4:12p  Rosh Chodesh Kislev  Thanksgiving Day (United States)";
  for (int width = 1; width < 400; width += 7)
    for (const std::string& line : Wrap(text, width)) {
      if (line.size() > 1) {
        EXPECT_LE(W(line), width) << line;
      }
    }
}

TEST_F(CanvasText, FitWithEllipsis) {
  struct Case {
    const char* text;
    int width;
    const char* fitted;
  } cases[] = {
      {"WWWWWW", 72, "WWWWWW"},  // fits exactly
      {"WWWWWW", 71, "WWWW..."},
      {"WWWWWW", 36, "WW..."},
      {"WWW", 12, "..."},        // the dots alone
      {"WWW", 8, ".."},          // as many dots as fit
      {"ab cdef", 0, ""},
      {"", 0, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FitWithEllipsis(canvas, FontRole::Cell, c.text, c.width), c.fitted) << c.text << " " << c.width;
  int dots = W("...");
  // Blanks before the dots are dropped.
  EXPECT_EQ(FitWithEllipsis(canvas, FontRole::Cell, "ab cdef", W("ab ") + dots), "ab...");
  for (int width = 0; width < 80; ++width) {
    std::string fitted = FitWithEllipsis(canvas, FontRole::Cell, "Yom Kippur begins at sundown", width);
    EXPECT_LE(W(fitted), width);
  }
}

TEST_F(CanvasText, LayOutAlignment) {
  Rect r{10, 20, 110, 80};  // 100 x 60
  int line = canvas.LineHeight(FontRole::Cell);
  int w = W("iii");
  struct Case {
    unsigned format;
    int x, y;
  } cases[] = {
      {kTextLeft | kTextTop, 10, 20},
      {kTextCentre, 10 + (100 - w) / 2, 20},
      {kTextRight, 110 - w, 20},
      {kTextRight | kTextBottom | kTextSingleLine, 110 - w, 80 - line},
      {kTextCentre | kTextVCentre | kTextSingleLine, 10 + (100 - w) / 2, 20 + (60 - line) / 2},
  };
  for (const Case& c : cases) {
    std::vector<TextLine> lines = LayOutText(canvas, FontRole::Cell, r, "iii", c.format);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], (TextLine{"iii", c.x, c.y, w})) << c.format;
  }
}

TEST_F(CanvasText, LayOutLines) {
  Rect r{0, 0, 22, 100};
  int line = canvas.LineHeight(FontRole::Cell);
  // Wrapped, the block sits at the bottom: the last line touches the bottom edge.
  std::vector<TextLine> wrapped = LayOutText(canvas, FontRole::Cell, r, "iii iii iii", kTextWordBreak | kTextBottom);
  ASSERT_EQ(wrapped.size(), 2u);
  EXPECT_EQ(wrapped[1].y + line, 100);
  EXPECT_EQ(wrapped[0].y, 100 - 2 * line);
  // Without word breaks only line breaks split; a single line shows them as blanks.
  EXPECT_EQ(LayOutText(canvas, FontRole::Cell, r, "a\nb", kTextLeft).size(), 2u);
  std::vector<TextLine> single = LayOutText(canvas, FontRole::Cell, r, "a\r\nb", kTextSingleLine);
  ASSERT_EQ(single.size(), 1u);
  EXPECT_EQ(single[0].text, "a b");
  // The ellipsis applies to each line.
  std::vector<TextLine> cut = LayOutText(canvas, FontRole::Cell, r, "WWWWWW", kTextSingleLine | kTextEndEllipsis);
  ASSERT_EQ(cut.size(), 1u);
  EXPECT_LE(cut[0].width, 22);
  EXPECT_TRUE(cut[0].text.ends_with("...")) << cut[0].text;
  EXPECT_TRUE(LayOutText(canvas, FontRole::Cell, r, "", kTextSingleLine).empty());
  EXPECT_TRUE(LayOutText(canvas, FontRole::Cell, r, "", kTextWordBreak).empty());
}

TEST(Canvas, Intersect) {
  struct Case {
    Rect a, b, overlap;
  } cases[] = {
      {{0, 0, 10, 10}, {5, 5, 20, 20}, {5, 5, 10, 10}},
      {{0, 0, 10, 10}, {10, 0, 20, 10}, {}},  // touching edges share nothing
      {{0, 0, 10, 10}, {2, 3, 4, 5}, {2, 3, 4, 5}},
      {{0, 0, 10, 10}, {20, 20, 30, 30}, {}},
      {{5, 5, 5, 9}, {0, 0, 10, 10}, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Intersect(c.a, c.b), c.overlap);
    EXPECT_EQ(Intersect(c.b, c.a), c.overlap);
  }
}

TEST(Canvas, PieByAngles) {
  RecordingCanvas canvas;
  Rect box{0, 0, 20, 20};
  canvas.DrawPieAngles(box, 0, 0, Pen{}, SolidBrush(0));  // nothing to draw, not a whole ellipse
  EXPECT_EQ(canvas.Count(CallKind::Pie), 0u);

  canvas.DrawPieAngles(box, 0, 90, Pen{}, SolidBrush(0));
  canvas.DrawPieAngles(box, 90, -90, Pen{}, SolidBrush(0));  // the same quarter, drawn backwards
  canvas.DrawPieAngles(box, 30, 360, Pen{}, SolidBrush(0));
  auto pies = canvas.CallsOf(CallKind::Pie);
  ASSERT_EQ(pies.size(), 3u);
  // Three o'clock to twelve o'clock: the start ray points right, the end ray up (y grows down).
  Point start = pies[0]->points[0], end = pies[0]->points[1];
  EXPECT_GT(start.x, 10);
  EXPECT_EQ(start.y, 10);
  EXPECT_EQ(end.x, 10);
  EXPECT_LT(end.y, 10);
  EXPECT_EQ(pies[1]->points, pies[0]->points);
  EXPECT_EQ(pies[2]->points[0], pies[2]->points[1]);  // a full turn: equal rays
}

}  // namespace
}  // namespace kv
