#include "shell/toolbar_paint.h"

#include <gtest/gtest.h>

#include "base/canvas_record.h"

namespace kv {
namespace {

TEST(ToolbarPaint, StripBetweenBevels) {
  RecordingCanvas canvas;
  PaintToolbarStrip(canvas, ToolbarStripLayout{640, 28, 0xD4D0C8, 0x404040, 0xFFFFFF});
  auto fills = canvas.CallsOf(CallKind::Fill);
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(fills[0]->rect, (Rect{0, 0, 640, 28}));
  EXPECT_EQ(fills[0]->colour, 0xD4D0C8u);
  // The fill comes first, so no line is painted over.
  EXPECT_EQ(canvas.Calls().front().kind, CallKind::Fill);
  struct Line {
    int y;
    Colour colour;
  } want[] = {{0, 0x404040}, {26, 0x404040}, {1, 0xFFFFFF}, {27, 0xFFFFFF}};
  auto lines = canvas.CallsOf(CallKind::Line);
  ASSERT_EQ(lines.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(lines[i]->points, (std::vector<Point>{{0, want[i].y}, {640, want[i].y}})) << i;
    EXPECT_EQ(lines[i]->pen, (Pen{want[i].colour, 1, PenStyle::Solid})) << i;
  }
}

TEST(ToolbarPaint, NothingForAnEmptyStrip) {
  for (ToolbarStripLayout layout : {ToolbarStripLayout{0}, ToolbarStripLayout{-5}, ToolbarStripLayout{100, 3}}) {
    RecordingCanvas canvas;
    PaintToolbarStrip(canvas, layout);
    EXPECT_TRUE(canvas.Calls().empty()) << layout.width << "x" << layout.height;
  }
}

}  // namespace
}  // namespace kv
