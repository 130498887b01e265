#include "base/canvas_record.h"

namespace kv {

CanvasCall& RecordingCanvas::Add(CallKind kind) {
  CanvasCall& c = calls_.emplace_back();
  c.kind = kind;
  return c;
}

void RecordingCanvas::SetFont(FontRole role, const FontSpec& fontSpec) {
  fonts_.Set(role, fontSpec);
  CanvasCall& c = Add(CallKind::SetFont);
  c.role = role;
  c.text = fontSpec.face;
}

Size RecordingCanvas::MeasureText(FontRole role, std::string_view text) const {
  const NativeFont& f = fonts_.Font(role);
  return Size{f.TextWidth(text), f.Metrics().height};
}

void RecordingCanvas::SetTextBackground(Colour colour) {
  textBackground_ = colour;
  Add(CallKind::TextBackground).colour = colour;
}

void RecordingCanvas::DrawText(FontRole role, Point at, std::string_view text, Colour colour) {
  Size size = MeasureText(role, text);
  CanvasCall& c = Add(CallKind::Text);
  c.role = role;
  c.text = text;
  c.rect = Rect{at.x, at.y, at.x + size.cx, at.y + size.cy};
  c.colour = colour;
  c.background = textBackground_;
}

void RecordingCanvas::DrawTextInRect(FontRole role, const Rect& rect, std::string_view text, Colour colour,
                                     unsigned format) {
  std::vector<TextLine> lines = LayOutText(*this, role, rect, text, format);
  CanvasCall& c = Add(CallKind::TextInRect);
  c.role = role;
  c.text = text;
  c.rect = rect;
  c.colour = colour;
  c.background = textBackground_;
  c.format = format;
  c.lines = std::move(lines);
}

void RecordingCanvas::DrawLine(Point from, Point to, const Pen& pen) {
  CanvasCall& c = Add(CallKind::Line);
  c.points = {from, to};
  c.pen = pen;
  c.colour = pen.colour;
}

void RecordingCanvas::DrawPolyline(std::span<const Point> points, const Pen& pen) {
  CanvasCall& c = Add(CallKind::Polyline);
  c.points.assign(points.begin(), points.end());
  c.pen = pen;
  c.colour = pen.colour;
}

void RecordingCanvas::FrameRect(const Rect& rect, const Pen& pen) {
  CanvasCall& c = Add(CallKind::Frame);
  c.rect = rect;
  c.pen = pen;
  c.colour = pen.colour;
}

void RecordingCanvas::FillRect(const Rect& rect, Colour colour) {
  CanvasCall& c = Add(CallKind::Fill);
  c.rect = rect;
  c.colour = colour;
}

void RecordingCanvas::FillHatch(const Rect& rect, Hatch hatch, Colour colour, Colour background) {
  CanvasCall& c = Add(CallKind::Hatch);
  c.rect = rect;
  c.hatch = hatch;
  c.colour = colour;
  c.background = background;
}

void RecordingCanvas::DrawEllipse(const Rect& bounds, const Pen& pen, const Brush& brush) {
  CanvasCall& c = Add(CallKind::Ellipse);
  c.rect = bounds;
  c.pen = pen;
  c.brush = brush;
  c.colour = brush.colour;
}

void RecordingCanvas::DrawPie(const Rect& bounds, Point start, Point end, const Pen& pen, const Brush& brush) {
  CanvasCall& c = Add(CallKind::Pie);
  c.rect = bounds;
  c.points = {start, end};
  c.pen = pen;
  c.brush = brush;
  c.colour = brush.colour;
}

void RecordingCanvas::DrawPolygon(std::span<const Point> points, const Pen& pen, const Brush& brush) {
  CanvasCall& c = Add(CallKind::Polygon);
  c.points.assign(points.begin(), points.end());
  c.pen = pen;
  c.brush = brush;
  c.colour = brush.colour;
}

void RecordingCanvas::DrawIcon(int icon, const Rect& rect) {
  CanvasCall& c = Add(CallKind::Icon);
  c.icon = icon;
  c.rect = rect;
}

void RecordingCanvas::DrawImage(const Image& image, const Rect& rect) {
  CanvasCall& c = Add(CallKind::Image);
  c.rect = rect;
  c.imageSize = Size{image.width, image.height};
}

void RecordingCanvas::PushClip(const Rect& rect) {
  ++clipDepth_;
  Add(CallKind::PushClip).rect = rect;
}

void RecordingCanvas::PopClip() {
  if (clipDepth_ == 0) return;
  --clipDepth_;
  Add(CallKind::PopClip);
}

std::vector<std::string> RecordingCanvas::Texts() const {
  std::vector<std::string> out;
  for (const CanvasCall& c : calls_) {
    if (c.kind == CallKind::Text) out.push_back(c.text);
    else if (c.kind == CallKind::TextInRect)
      for (const TextLine& line : c.lines) out.push_back(line.text);
  }
  return out;
}

std::vector<const CanvasCall*> RecordingCanvas::CallsOf(CallKind kind) const {
  std::vector<const CanvasCall*> out;
  for (const CanvasCall& c : calls_)
    if (c.kind == kind) out.push_back(&c);
  return out;
}

size_t RecordingCanvas::Count(CallKind kind) const {
  size_t n = 0;
  for (const CanvasCall& c : calls_) n += c.kind == kind;
  return n;
}

const CanvasCall* RecordingCanvas::FindText(std::string_view needle) const {
  for (const CanvasCall& c : calls_) {
    if (c.kind != CallKind::Text && c.kind != CallKind::TextInRect) continue;
    if (c.text.find(needle) != std::string::npos) return &c;
    for (const TextLine& line : c.lines)
      if (line.text.find(needle) != std::string::npos) return &c;
  }
  return nullptr;
}

}  // namespace kv
