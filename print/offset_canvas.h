// A canvas that draws onto another one moved by an offset, so code that paints a plane from
// (0, 0) (the month grid, the year's small calendars) can fill a page's content rectangle.
#pragma once

#include "base/canvas.h"

namespace kv {

class OffsetCanvas final : public Canvas {
 public:
  OffsetCanvas(Canvas& target, Point offset) : target_(target), dx_(offset.x), dy_(offset.y) {}

  void SetFont(FontRole role, const FontSpec& fontSpec) override { target_.SetFont(role, fontSpec); }
  const FontSpec& Font(FontRole role) const override { return target_.Font(role); }
  Size MeasureText(FontRole role, std::string_view text) const override { return target_.MeasureText(role, text); }
  TextMetrics Metrics(FontRole role) const override { return target_.Metrics(role); }
  int PixelsPerInch() const override { return target_.PixelsPerInch(); }
  void SetTextBackground(Colour colour) override { target_.SetTextBackground(colour); }
  void DrawText(FontRole role, Point at, std::string_view text, Colour colour) override {
    target_.DrawText(role, Move(at), text, colour);
  }
  void DrawTextInRect(FontRole role, const Rect& rect, std::string_view text, Colour colour, unsigned format) override {
    target_.DrawTextInRect(role, Move(rect), text, colour, format);
  }
  void DrawLine(Point from, Point to, const Pen& pen) override { target_.DrawLine(Move(from), Move(to), pen); }
  void DrawPolyline(std::span<const Point> points, const Pen& pen) override;
  void FrameRect(const Rect& rect, const Pen& pen) override { target_.FrameRect(Move(rect), pen); }
  void FillRect(const Rect& rect, Colour colour) override { target_.FillRect(Move(rect), colour); }
  void FillHatch(const Rect& rect, Hatch hatch, Colour colour, Colour background) override {
    target_.FillHatch(Move(rect), hatch, colour, background);
  }
  void DrawEllipse(const Rect& bounds, const Pen& pen, const Brush& brush) override {
    target_.DrawEllipse(Move(bounds), pen, brush);
  }
  void DrawPie(const Rect& bounds, Point start, Point end, const Pen& pen, const Brush& brush) override {
    target_.DrawPie(Move(bounds), Move(start), Move(end), pen, brush);
  }
  void DrawPolygon(std::span<const Point> points, const Pen& pen, const Brush& brush) override;
  void DrawIcon(int icon, const Rect& rect) override { target_.DrawIcon(icon, Move(rect)); }
  void DrawImage(const Image& image, const Rect& rect) override { target_.DrawImage(image, Move(rect)); }
  void PushClip(const Rect& rect) override { target_.PushClip(Move(rect)); }
  void PopClip() override { target_.PopClip(); }

 private:
  Point Move(Point p) const { return Point{p.x + dx_, p.y + dy_}; }
  Rect Move(const Rect& r) const { return Rect{r.left + dx_, r.top + dy_, r.right + dx_, r.bottom + dy_}; }

  Canvas& target_;
  int dx_, dy_;
};

}  // namespace kv
