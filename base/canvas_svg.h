// A canvas that writes a standalone SVG document, so kvtool can show a view or a printed page
// without Windows, for review and golden tests. Text is measured with the compiled-in Liberation
// metrics and written in "Liberation Sans, Arial" (or the serif and mono families) with its
// measured length, so the picture keeps the program's line breaks in any SVG viewer. Texts are
// converted from Windows-1252 to UTF-8 and escaped. Hatches become 8 x 8 patterns, pies paths,
// clips clipPaths; pictures are embedded as uncompressed PNG data URLs, and icons the same way
// when an icon source gives their pictures (otherwise a dashed placeholder frame).
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <tuple>

#include "base/canvas.h"
#include "base/font_metrics.h"

namespace kv {

class SvgCanvas final : public Canvas {
 public:
  // The picture of an icon by resource number, or null when there is none.
  using IconSource = std::function<const Image*(int icon)>;

  // A document of width x height units over `background` (kTransparent: none).
  SvgCanvas(int width, int height, Colour background = 0xFFFFFF, int pixelsPerInch = 96);
  void SetIconSource(IconSource icons) { icons_ = std::move(icons); }

  // The document as it stands, with any clips still open closed.
  std::string Document() const;

  void SetFont(FontRole role, const FontSpec& fontSpec) override { fonts_.Set(role, fontSpec); }
  const FontSpec& Font(FontRole role) const override { return fonts_.Spec(role); }
  Size MeasureText(FontRole role, std::string_view text) const override;
  TextMetrics Metrics(FontRole role) const override { return fonts_.Font(role).Metrics(); }
  int PixelsPerInch() const override { return pixelsPerInch_; }
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
  std::string Stroke(const Pen& pen) const;
  std::string Fill(const Brush& brush);
  std::string HatchPattern(Hatch hatch, Colour colour, Colour background);
  std::string ClipPath(const Rect& rect);
  void Line(FontRole role, int x, int y, std::string_view text, Colour colour);

  int width_;
  int height_;
  Colour background_;
  int pixelsPerInch_;
  NativeFontSet fonts_;
  Colour textBackground_ = kTransparent;
  IconSource icons_;
  std::string defs_;
  std::string body_;
  int nextId_ = 1;
  int clipDepth_ = 0;
  std::map<std::tuple<Hatch, Colour, Colour>, std::string> patterns_;
};

// "#RRGGBB" for a colour.
std::string SvgColour(Colour colour);

// Windows-1252 text as escaped UTF-8 for XML: & < > " ' as entities; control characters other
// than tab, line feed and carriage return, which XML cannot hold, left out.
std::string XmlEscape(std::string_view ansi);

// Row `row` (0-7) of a hatch's 8 x 8 pattern as GDI draws it: bit 0x80 is the leftmost pixel.
uint8_t HatchBits(Hatch hatch, int row);

// A picture as a PNG file with stored (uncompressed) deflate blocks: valid for every reader,
// with no compression library needed.
std::string EncodePng(const Image& image);

}  // namespace kv
