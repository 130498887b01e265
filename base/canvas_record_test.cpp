#include "base/canvas_record.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

// A small cell drawing, the way a view paints: background, frame, a wrapped event text in a
// rectangle, a number with an opaque background, a clipped hatch.
void PaintCell(Canvas& c) {
  c.SetFont(FontRole::Event, FontSpec{"Arial", -11, 400, false});
  c.FillRect({0, 0, 100, 40}, 0xFFFFFF);
  c.FrameRect({0, 0, 100, 40}, Pen{0x808080});
  c.DrawTextInRect(FontRole::Event, {2, 14, 98, 40}, "Rosh Hashana begins", 0x000080, kTextWordBreak);
  c.SetTextBackground(0xFFFF00);
  c.DrawText(FontRole::Cell, {40, 1}, "17", 0xFF0000);
  c.SetTextBackground(kTransparent);
  c.PushClip({0, 0, 30, 40});
  c.FillHatch({0, 0, 100, 40}, Hatch::DiagonalCross, 0x00FF00, kTransparent);
  c.PopClip();
  c.PopClip();  // one too many: ignored
}

TEST(RecordingCanvas, KeepsTheCalls) {
  RecordingCanvas canvas;
  PaintCell(canvas);
  const std::vector<CanvasCall>& calls = canvas.Calls();
  std::vector<CallKind> kinds;
  for (const CanvasCall& c : calls) kinds.push_back(c.kind);
  EXPECT_EQ(kinds, (std::vector<CallKind>{CallKind::SetFont, CallKind::Fill, CallKind::Frame, CallKind::TextInRect,
                                          CallKind::TextBackground, CallKind::Text, CallKind::TextBackground,
                                          CallKind::PushClip, CallKind::Hatch, CallKind::PopClip}));
  EXPECT_EQ(canvas.ClipDepth(), 0);

  // The event text wraps in the 96-unit rectangle, its lines one event-font line apart.
  const CanvasCall* event = canvas.FindText("Hashana");
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(event->kind, CallKind::TextInRect);
  EXPECT_EQ(event->role, FontRole::Event);
  EXPECT_EQ(event->colour, 0x000080u);
  EXPECT_EQ(event->rect, (Rect{2, 14, 98, 40}));
  ASSERT_EQ(event->lines.size(), 2u);
  EXPECT_EQ(event->lines[0].text, "Rosh Hashana");
  EXPECT_EQ(event->lines[1].text, "begins");
  EXPECT_EQ(event->lines[1].y - event->lines[0].y, canvas.LineHeight(FontRole::Event));
  for (const TextLine& line : event->lines) EXPECT_LE(line.x + line.width, 98);

  // A point text keeps its measured box and the background in force.
  const CanvasCall* number = canvas.FindText("17");
  ASSERT_NE(number, nullptr);
  EXPECT_EQ(number->rect, (Rect{40, 1, 40 + canvas.TextWidth(FontRole::Cell, "17"), 1 + canvas.LineHeight(FontRole::Cell)}));
  EXPECT_EQ(number->background, 0xFFFF00u);
  EXPECT_EQ(number->colour, 0xFF0000u);

  EXPECT_EQ(canvas.Texts(), (std::vector<std::string>{"Rosh Hashana", "begins", "17"}));
  ASSERT_EQ(canvas.CallsOf(CallKind::Hatch).size(), 1u);
  EXPECT_EQ(canvas.CallsOf(CallKind::Hatch)[0]->hatch, Hatch::DiagonalCross);
  EXPECT_EQ(canvas.Count(CallKind::PopClip), 1u);
  EXPECT_EQ(canvas.FindText("Yom Kippur"), nullptr);

  canvas.Clear();
  EXPECT_TRUE(canvas.Calls().empty());
  EXPECT_EQ(canvas.Font(FontRole::Event).height, -11);  // fonts outlive Clear
}

TEST(RecordingCanvas, ShapesKeepTheirGeometry) {
  RecordingCanvas canvas;
  Point triangle[] = {{0, 0}, {10, 0}, {5, 8}};
  canvas.DrawPolygon(triangle, kNoPen, SolidBrush(0x123456));
  canvas.DrawLine({1, 2}, {3, 4}, Pen{0xABCDEF, 2, PenStyle::Dot});
  canvas.DrawIcon(3201, {0, 0, 16, 16});
  canvas.DrawImage(Image{2, 3, std::vector<uint32_t>(6, 0x80FF0000)}, {0, 0, 4, 6});
  auto polygon = canvas.CallsOf(CallKind::Polygon);
  ASSERT_EQ(polygon.size(), 1u);
  EXPECT_EQ(polygon[0]->points.size(), 3u);
  EXPECT_EQ(polygon[0]->brush.colour, 0x123456u);
  EXPECT_EQ(polygon[0]->pen.style, PenStyle::None);
  auto line = canvas.CallsOf(CallKind::Line);
  ASSERT_EQ(line.size(), 1u);
  EXPECT_EQ(line[0]->points, (std::vector<Point>{{1, 2}, {3, 4}}));
  EXPECT_EQ(line[0]->pen, (Pen{0xABCDEF, 2, PenStyle::Dot}));
  EXPECT_EQ(canvas.CallsOf(CallKind::Icon)[0]->icon, 3201);
  EXPECT_EQ(canvas.CallsOf(CallKind::Image)[0]->imageSize, (Size{2, 3}));
}

}  // namespace
}  // namespace kv
