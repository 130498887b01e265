#include "base/canvas_gdi_win.h"

#include <algorithm>
#include <string>
#include <vector>

namespace kv {
namespace {

// A GDI object that is deleted when it goes, unless it is a stock object.
class GdiObject {
 public:
  GdiObject(HGDIOBJ object, bool owned) : object_(object), owned_(owned) {}
  ~GdiObject() {
    if (owned_ && object_) DeleteObject(object_);
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  HGDIOBJ get() const { return object_; }

 private:
  HGDIOBJ object_;
  bool owned_;
};

// An object selected into a context for one call; the previous one comes back when it goes.
// Declared after the object it selects, so it is undone before the object is deleted.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
  ~Selection() {
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// One-unit pens dash and dot; wider pens draw solid, inside the shape for frames.
GdiObject MakePen(const Pen& pen, bool insideFrame = false) {
  if (pen.style == PenStyle::None || pen.width <= 0) return GdiObject(GetStockObject(NULL_PEN), false);
  int style = PS_SOLID;
  if (pen.width == 1 && pen.style == PenStyle::Dash) style = PS_DASH;
  if (pen.width == 1 && pen.style == PenStyle::Dot) style = PS_DOT;
  if (pen.width > 1 && insideFrame) style = PS_INSIDEFRAME;
  HPEN made = CreatePen(style, pen.width, ToColorref(pen.colour));
  return made ? GdiObject(made, true) : GdiObject(GetStockObject(BLACK_PEN), false);
}

int HatchStyle(Hatch hatch) {
  switch (hatch) {
    case Hatch::Horizontal: return HS_HORIZONTAL;
    case Hatch::Vertical: return HS_VERTICAL;
    case Hatch::ForwardDiagonal: return HS_FDIAGONAL;
    case Hatch::BackwardDiagonal: return HS_BDIAGONAL;
    case Hatch::Cross: return HS_CROSS;
    case Hatch::DiagonalCross: return HS_DIAGCROSS;
    case Hatch::None: break;
  }
  return HS_CROSS;
}

GdiObject MakeBrush(const Brush& brush) {
  if (brush.colour == kTransparent) return GdiObject(GetStockObject(NULL_BRUSH), false);
  HBRUSH made = brush.hatch == Hatch::None ? CreateSolidBrush(ToColorref(brush.colour))
                                           : CreateHatchBrush(HatchStyle(brush.hatch), ToColorref(brush.colour));
  return made ? GdiObject(made, true) : GdiObject(GetStockObject(NULL_BRUSH), false);
}

// The gaps of hatches and dashes show `background`, or nothing when it is kTransparent.
void SetGapColour(HDC dc, Colour background) {
  if (background == kTransparent) {
    SetBkMode(dc, TRANSPARENT);
  } else {
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, ToColorref(background));
  }
}

std::vector<POINT> ToPoints(std::span<const Point> points) {
  std::vector<POINT> out;
  out.reserve(points.size());
  for (const Point& p : points) out.push_back(POINT{p.x, p.y});
  return out;
}

using AlphaBlendFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);

// AlphaBlend from the system's msimg32, looked up once; null where it is missing.
AlphaBlendFunction AlphaBlender() {
  static const AlphaBlendFunction function = [] {
    HMODULE module = LoadLibraryExA("msimg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) return AlphaBlendFunction{};
    return reinterpret_cast<AlphaBlendFunction>(reinterpret_cast<void*>(GetProcAddress(module, "AlphaBlend")));
  }();
  return function;
}

// Whether AlphaBlend can draw here: a Windows metafile records it as a plain copy (the picture
// would come back over black), and a printer driver may not blend.
bool CanBlend(HDC dc) {
  if (GetObjectType(dc) == OBJ_METADC) return false;
  if (GetDeviceCaps(dc, TECHNOLOGY) == DT_RASPRINTER && !(GetDeviceCaps(dc, SHADEBLENDCAPS) & SB_PIXEL_ALPHA))
    return false;
  return true;
}

BITMAPINFO TopDownInfo(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

uint32_t Blend(uint32_t pixel, int over) {
  uint32_t a = pixel >> 24;
  auto mix = [&](int shift) {
    uint32_t c = (pixel >> shift) & 0xFF, b = (static_cast<uint32_t>(over) >> shift) & 0xFF;
    return ((c * a + b * (255 - a) + 127) / 255) << shift;
  };
  return mix(16) | mix(8) | mix(0);
}

}  // namespace

GdiCanvas::GdiCanvas(HDC dc, IconResolver icons) : dc_(dc), savedState_(SaveDC(dc)), icons_(std::move(icons)) {}

GdiCanvas::~GdiCanvas() {
  // Relative restores, which metafiles replay faithfully, back to the owner's state.
  for (; clipDepth_ > 0; --clipDepth_) RestoreDC(dc_, -1);
  if (savedState_) RestoreDC(dc_, -1);
  for (HFONT& f : fonts_)
    if (f) DeleteObject(f);
}

void GdiCanvas::SetFont(FontRole role, const FontSpec& fontSpec) {
  auto i = static_cast<size_t>(role);
  if (i >= kFontRoleCount || native_.Spec(role) == fontSpec) return;
  native_.Set(role, fontSpec);
  if (fonts_[i]) DeleteObject(fonts_[i]);
  fonts_[i] = nullptr;
}

HFONT GdiCanvas::FontOf(FontRole role) const {
  auto i = static_cast<size_t>(role);
  if (i >= kFontRoleCount) i = static_cast<size_t>(FontRole::Cell);
  if (!fonts_[i]) {
    const FontSpec& fontSpec = native_.Spec(role);
    LOGFONTA lf{};
    lf.lfHeight = fontSpec.height;
    lf.lfWeight = fontSpec.weight;
    lf.lfItalic = fontSpec.italic ? TRUE : FALSE;
    lf.lfCharSet = ANSI_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynA(lf.lfFaceName, fontSpec.face.c_str(), LF_FACESIZE);
    fonts_[i] = CreateFontIndirectA(&lf);
  }
  return fonts_[i] ? fonts_[i] : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

Size GdiCanvas::MeasureText(FontRole role, std::string_view text) const {
  Selection font(dc_, FontOf(role));
  SIZE size{};
  if (GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size)) return Size{size.cx, size.cy};
  const NativeFont& f = native_.Font(role);
  return Size{f.TextWidth(text), f.Metrics().height};
}

TextMetrics GdiCanvas::Metrics(FontRole role) const {
  Selection font(dc_, FontOf(role));
  TEXTMETRICA tm{};
  if (!GetTextMetricsA(dc_, &tm)) return native_.Font(role).Metrics();
  return TextMetrics{tm.tmHeight, tm.tmAscent, tm.tmDescent, tm.tmInternalLeading, tm.tmExternalLeading,
                     tm.tmAveCharWidth};
}

int GdiCanvas::PixelsPerInch() const {
  if (unitsPerInch_ > 0) return unitsPerInch_;
  int ppi = GetDeviceCaps(dc_, LOGPIXELSY);
  return ppi > 0 ? ppi : 96;
}

void GdiCanvas::PrepareText(Colour colour) {
  SetTextColor(dc_, ToColorref(colour));
  SetGapColour(dc_, textBackground_);
  SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
}

void GdiCanvas::DrawText(FontRole role, Point at, std::string_view text, Colour colour) {
  if (text.empty()) return;
  Selection font(dc_, FontOf(role));
  PrepareText(colour);
  TextOutA(dc_, at.x, at.y, text.data(), static_cast<int>(text.size()));
}

void GdiCanvas::DrawTextInRect(FontRole role, const Rect& rect, std::string_view text, Colour colour,
                               unsigned format) {
  std::vector<TextLine> lines = LayOutText(*this, role, rect, text, format);
  if (lines.empty()) return;
  Selection font(dc_, FontOf(role));
  PrepareText(colour);
  RECT clip{rect.left, rect.top, rect.right, rect.bottom};
  UINT options = (format & kTextNoClip) ? 0 : ETO_CLIPPED;
  for (const TextLine& line : lines)
    if (!line.text.empty())
      ExtTextOutA(dc_, line.x, line.y, options, &clip, line.text.data(), static_cast<UINT>(line.text.size()), nullptr);
}

void GdiCanvas::DrawLine(Point from, Point to, const Pen& pen) {
  GdiObject p = MakePen(pen);
  Selection selected(dc_, p.get());
  SetBkMode(dc_, TRANSPARENT);
  MoveToEx(dc_, from.x, from.y, nullptr);
  LineTo(dc_, to.x, to.y);
}

void GdiCanvas::DrawPolyline(std::span<const Point> points, const Pen& pen) {
  if (points.size() < 2) return;
  std::vector<POINT> pts = ToPoints(points);
  GdiObject p = MakePen(pen);
  Selection selected(dc_, p.get());
  SetBkMode(dc_, TRANSPARENT);
  Polyline(dc_, pts.data(), static_cast<int>(pts.size()));
}

void GdiCanvas::FrameRect(const Rect& rect, const Pen& pen) {
  if (rect.Empty()) return;
  GdiObject p = MakePen(pen, true);
  Selection selectedPen(dc_, p.get());
  Selection selectedBrush(dc_, GetStockObject(NULL_BRUSH));
  SetBkMode(dc_, TRANSPARENT);
  Rectangle(dc_, rect.left, rect.top, rect.right, rect.bottom);
}

void GdiCanvas::FillRect(const Rect& rect, Colour colour) {
  if (rect.Empty() || colour == kTransparent) return;
  GdiObject brush = MakeBrush(SolidBrush(colour));
  RECT r{rect.left, rect.top, rect.right, rect.bottom};
  ::FillRect(dc_, &r, static_cast<HBRUSH>(brush.get()));
}

void GdiCanvas::FillHatch(const Rect& rect, Hatch hatch, Colour colour, Colour background) {
  if (rect.Empty() || colour == kTransparent) return;
  GdiObject brush = MakeBrush(Brush{colour, hatch, background});
  SetGapColour(dc_, background);
  RECT r{rect.left, rect.top, rect.right, rect.bottom};
  ::FillRect(dc_, &r, static_cast<HBRUSH>(brush.get()));
}

void GdiCanvas::DrawEllipse(const Rect& bounds, const Pen& pen, const Brush& brush) {
  GdiObject p = MakePen(pen), b = MakeBrush(brush);
  Selection selectedPen(dc_, p.get()), selectedBrush(dc_, b.get());
  SetGapColour(dc_, brush.background);
  Ellipse(dc_, bounds.left, bounds.top, bounds.right, bounds.bottom);
}

void GdiCanvas::DrawPie(const Rect& bounds, Point start, Point end, const Pen& pen, const Brush& brush) {
  GdiObject p = MakePen(pen), b = MakeBrush(brush);
  Selection selectedPen(dc_, p.get()), selectedBrush(dc_, b.get());
  SetGapColour(dc_, brush.background);
  Pie(dc_, bounds.left, bounds.top, bounds.right, bounds.bottom, start.x, start.y, end.x, end.y);
}

void GdiCanvas::DrawPolygon(std::span<const Point> points, const Pen& pen, const Brush& brush) {
  if (points.size() < 2) return;
  std::vector<POINT> pts = ToPoints(points);
  GdiObject p = MakePen(pen), b = MakeBrush(brush);
  Selection selectedPen(dc_, p.get()), selectedBrush(dc_, b.get());
  SetGapColour(dc_, brush.background);
  SetPolyFillMode(dc_, ALTERNATE);
  Polygon(dc_, pts.data(), static_cast<int>(pts.size()));
}

void GdiCanvas::DrawIcon(int icon, const Rect& rect) {
  if (rect.Empty()) return;
  HICON handle = icons_ ? icons_(icon, rect.Width(), rect.Height())
                        : static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(icon), IMAGE_ICON,
                                                        rect.Width(), rect.Height(), LR_SHARED));
  if (handle) DrawIconEx(dc_, rect.left, rect.top, handle, rect.Width(), rect.Height(), 0, nullptr, DI_NORMAL);
}

void GdiCanvas::DrawImage(const Image& image, const Rect& rect) {
  if (rect.Empty() || image.width <= 0 || image.height <= 0 ||
      image.pixels.size() < static_cast<size_t>(image.width) * static_cast<size_t>(image.height))
    return;
  size_t count = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
  bool translucent = std::any_of(image.pixels.begin(), image.pixels.begin() + static_cast<ptrdiff_t>(count),
                                 [](uint32_t p) { return (p >> 24) != 0xFF; });
  BITMAPINFO info = TopDownInfo(image.width, image.height);
  if (translucent && CanBlend(dc_)) {
    if (AlphaBlendFunction blend = AlphaBlender()) {
      void* bits = nullptr;
      GdiObject bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), true);
      HDC source = CreateCompatibleDC(nullptr);
      if (bitmap.get() && bits && source) {
        // AlphaBlend wants premultiplied colours; the DIB's byte order is the pixels' own.
        auto* out = static_cast<uint32_t*>(bits);
        for (size_t k = 0; k < count; ++k) {
          uint32_t p = image.pixels[k], a = p >> 24;
          auto pre = [&](int shift) { return ((((p >> shift) & 0xFF) * a + 127) / 255) << shift; };
          out[k] = (a << 24) | pre(16) | pre(8) | pre(0);
        }
        BOOL done;
        {
          Selection selected(source, bitmap.get());
          done = blend(dc_, rect.left, rect.top, rect.Width(), rect.Height(), source, 0, 0, image.width, image.height,
                       BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA});
        }
        DeleteDC(source);
        if (done) return;
      } else if (source) {
        DeleteDC(source);
      }
    }
  }
  // Without AlphaBlend, or where the context cannot blend: the picture over white, copied plainly.
  // 24-bit rows bottom-up, the form every metafile reader knows. The image size must be given:
  // Wine's Windows metafiles record only biSizeImage bytes of the picture.
  size_t stride = (static_cast<size_t>(image.width) * 3 + 3) & ~static_cast<size_t>(3);
  std::vector<uint8_t> flat(stride * static_cast<size_t>(image.height));
  auto width = static_cast<size_t>(image.width);
  for (int y = 0; y < image.height; ++y) {
    const uint32_t* from = image.pixels.data() + static_cast<size_t>(y) * width;
    uint8_t* to = flat.data() + static_cast<size_t>(image.height - 1 - y) * stride;
    for (size_t x = 0; x < width; ++x) {
      uint32_t p = translucent ? Blend(from[x], 0xFFFFFF) : from[x];
      to[3 * x] = static_cast<uint8_t>(p & 0xFF);
      to[3 * x + 1] = static_cast<uint8_t>((p >> 8) & 0xFF);
      to[3 * x + 2] = static_cast<uint8_t>((p >> 16) & 0xFF);
    }
  }
  info.bmiHeader.biHeight = image.height;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biSizeImage = static_cast<DWORD>(flat.size());
  SetStretchBltMode(dc_, COLORONCOLOR);
  StretchDIBits(dc_, rect.left, rect.top, rect.Width(), rect.Height(), 0, 0, image.width, image.height, flat.data(),
                &info, DIB_RGB_COLORS, SRCCOPY);
}

void GdiCanvas::PushClip(const Rect& rect) {
  SaveDC(dc_);
  IntersectClipRect(dc_, rect.left, rect.top, rect.right, rect.bottom);
  ++clipDepth_;
}

void GdiCanvas::PopClip() {
  if (clipDepth_ == 0) return;
  RestoreDC(dc_, -1);
  --clipDepth_;
}

FontSpec FontSpecOf(HFONT font) {
  LOGFONTA lf{};
  FontSpec spec;
  if (!GetObjectA(font, sizeof lf, &lf)) return spec;
  spec.face = lf.lfFaceName;
  if (lf.lfHeight != 0) spec.height = lf.lfHeight;
  if (lf.lfWeight != 0) spec.weight = static_cast<int>(lf.lfWeight);
  spec.italic = lf.lfItalic != 0;
  return spec;
}

}  // namespace kv
