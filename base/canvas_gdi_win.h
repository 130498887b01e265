// The canvas over a GDI device context: the same code draws into a window (BeginPaint), onto a
// printer page and into a metafile. Coordinates are the context's logical units; the owner sets
// any mapping mode before handing it over. Fonts are made per role with CreateFontIndirectA and
// kept until the role changes; measurement asks GDI (GetTextExtentPoint32A) and falls back to the
// compiled-in metrics where the context cannot answer (a Windows metafile's context cannot).
// The context's state is saved when the canvas is made and restored when it goes.
#pragma once

#include <windows.h>

#include <array>
#include <functional>

#include "base/canvas.h"
#include "base/font_metrics.h"

namespace kv {

constexpr COLORREF ToColorref(Colour c) {
  return RGB(static_cast<BYTE>(RedOf(c)), static_cast<BYTE>(GreenOf(c)), static_cast<BYTE>(BlueOf(c)));
}
constexpr Colour FromColorref(COLORREF c) { return ColourFromColorRef(c); }
// One of the system's colours (COLOR_WINDOW, COLOR_HIGHLIGHT, ...) for the canvas.
inline Colour SystemColour(int index) { return FromColorref(GetSysColor(index)); }

// The icon of a resource number at a size. The canvas does not free the handle: the resolver
// keeps it (LR_SHARED icons, a cache). Without one, the canvas loads the executable's own icon
// resources shared.
using IconResolver = std::function<HICON(int icon, int width, int height)>;

class GdiCanvas final : public Canvas {
 public:
  explicit GdiCanvas(HDC dc, IconResolver icons = {});
  ~GdiCanvas() override;
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  HDC Dc() const { return dc_; }

  void SetFont(FontRole role, const FontSpec& fontSpec) override;
  const FontSpec& Font(FontRole role) const override { return native_.Spec(role); }
  Size MeasureText(FontRole role, std::string_view text) const override;
  TextMetrics Metrics(FontRole role) const override;
  int PixelsPerInch() const override;
  // The context's logical units per inch where its mapping mode is not pixels (1440 for twips
  // on a printer, 1000 in a metafile of thousandths of an inch); 0 goes back to the device's.
  void SetUnitsPerInch(int units) { unitsPerInch_ = units; }
  void SetTextBackground(Colour colour) override { textBackground_ = colour; }
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

 private:
  HFONT FontOf(FontRole role) const;
  void PrepareText(Colour colour);

  HDC dc_;
  int savedState_;
  IconResolver icons_;
  NativeFontSet native_;  // the specs, and the measurement where GDI cannot measure
  mutable std::array<HFONT, kFontRoleCount> fonts_{};
  Colour textBackground_ = kTransparent;
  int clipDepth_ = 0;
  int unitsPerInch_ = 0;
};

// The canvas's description of a GDI font (a window's font handed to a portable painter).
FontSpec FontSpecOf(HFONT font);

}  // namespace kv
