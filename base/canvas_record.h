// A canvas that keeps every drawing call, for tests: they assert on the texts, rectangles,
// colours and fonts a paint function produced, without a screen. Text is measured with the
// compiled-in Liberation metrics (font_metrics.h), so line breaks match the program under Wine.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/canvas.h"
#include "base/font_metrics.h"

namespace kv {

enum class CallKind : uint8_t {
  SetFont, TextBackground, Text, TextInRect, Line, Polyline, Frame, Fill, Hatch, Ellipse, Pie, Polygon, Icon, Image,
  PushClip, PopClip,
};

// One recorded call. Fields a kind does not use keep their defaults.
struct CanvasCall {
  CallKind kind = CallKind::Text;
  FontRole role = FontRole::Cell;  // SetFont, Text, TextInRect
  std::string text;                // Text, TextInRect; SetFont: the face
  Rect rect;      // TextInRect's rectangle, Text's measured box, a shape's bounds, a clip, an icon or image
  Colour colour = 0;                  // text, fill or hatch colour; TextBackground's colour
  Colour background = kTransparent;   // the text background in force; a hatch's background
  unsigned format = 0;                // TextInRect
  std::vector<TextLine> lines;        // TextInRect: the lines as placed
  std::vector<Point> points;          // line ends, polyline and polygon points, a pie's two radial points
  Pen pen;                            // lines and outlines
  Brush brush;                        // ellipse, pie, polygon
  Hatch hatch = Hatch::None;          // Hatch
  int icon = 0;                       // Icon
  Size imageSize;                     // Image
};

class RecordingCanvas final : public Canvas {
 public:
  explicit RecordingCanvas(int pixelsPerInch = 96) : pixelsPerInch_(pixelsPerInch) {}

  void SetFont(FontRole role, const FontSpec& fontSpec) override;
  const FontSpec& Font(FontRole role) const override { return fonts_.Spec(role); }
  Size MeasureText(FontRole role, std::string_view text) const override;
  TextMetrics Metrics(FontRole role) const override { return fonts_.Font(role).Metrics(); }
  int PixelsPerInch() const override { return pixelsPerInch_; }
  void SetTextBackground(Colour colour) override;
  void DrawText(FontRole role, Point at, std::string_view text, Colour colour) override;
  void DrawTextInRect(FontRole role, const Rect& rect, std::string_view text, Colour colour, unsigned format) override;
  void DrawLine(Point from, Point to, const Pen& pen) override;
  void DrawPolyline(std::span<const Point> points, const Pen& pen) override;
  void FrameRect(const Rect& rect, const Pen& pen) override;
  void FillRect(const Rect& rect, Colour colour) override;
  void FillHatch(const Rect& rect, Hatch hatch, Colour colour, Colour background) override;
  void DrawEllipse(const Rect& bounds, const Pen& pen, const Brush& brush) override;
  void DrawPie(const Rect& bounds, Point start, Point end, const Pen& pen, const Brush& brush) override;
  void DrawPolygon(std::span<const Point> points, const Pen& pen, const Brush& brush) override;
  void DrawIcon(int icon, const Rect& rect) override;
  void DrawImage(const Image& image, const Rect& rect) override;
  void PushClip(const Rect& rect) override;
  void PopClip() override;

  // Every call in order.
  const std::vector<CanvasCall>& Calls() const { return calls_; }
  // The texts drawn, in order: each DrawText, and each placed line of DrawTextInRect.
  std::vector<std::string> Texts() const;
  // The calls of one kind, in order.
  std::vector<const CanvasCall*> CallsOf(CallKind kind) const;
  size_t Count(CallKind kind) const;
  // The first text call whose text, or one of whose placed lines, contains `needle`; null if none.
  const CanvasCall* FindText(std::string_view needle) const;
  // The clips pushed and not yet popped.
  int ClipDepth() const { return clipDepth_; }
  // Forgets the calls (fonts and the text background stay).
  void Clear() { calls_.clear(); }

 private:
  CanvasCall& Add(CallKind kind);

  int pixelsPerInch_;
  NativeFontSet fonts_;
  Colour textBackground_ = kTransparent;
  int clipDepth_ = 0;
  std::vector<CanvasCall> calls_;
};

}  // namespace kv
