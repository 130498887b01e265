#include "base/canvas_svg.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "base/text_encoding.h"

namespace kv {
namespace {

constexpr uint8_t kHatchBits[6][8] = {
    {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00},  // horizontal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // forward diagonal: down to the right
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // backward diagonal: up to the right
    {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08},  // cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // diagonal cross
};

// A coordinate with at most two decimals and no trailing zeros.
std::string Num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", v);
  std::string s(buf);
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  if (s == "-0") s = "0";
  return s;
}
std::string Num(int v) { return std::to_string(v); }

// Strokes of odd width sit on pixel centres, as GDI's lines cover whole pixels.
double StrokeOffset(const Pen& pen) { return pen.style != PenStyle::None && pen.width % 2 == 1 ? 0.5 : 0.0; }
int StrokeWidth(const Pen& pen) { return pen.style == PenStyle::None ? 0 : std::max(pen.width, 1); }

std::string FontFamily(const FaceMetrics& face) {
  std::string_view family = face.family;
  if (family == "Liberation Serif") return "Liberation Serif, Times New Roman";
  if (family == "Liberation Mono") return "Liberation Mono, Courier New";
  return "Liberation Sans, Arial";
}

std::string PointList(std::span<const Point> points, double offset) {
  std::string s;
  for (const Point& p : points) {
    if (!s.empty()) s += ' ';
    s += Num(p.x + offset) + "," + Num(p.y + offset);
  }
  return s;
}

void PutU32BE(std::string& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

uint32_t Crc32(std::string_view bytes) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  uint32_t c = 0xFFFFFFFFu;
  for (char ch : bytes) c = table[(c ^ static_cast<unsigned char>(ch)) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

void PutChunk(std::string& out, std::string_view type, std::string_view data) {
  PutU32BE(out, static_cast<uint32_t>(data.size()));
  std::string body(type);
  body.append(data);
  out += body;
  PutU32BE(out, Crc32(body));
}

std::string Base64(std::string_view bytes) {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t v = static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) << 16;
    if (i + 1 < bytes.size()) v |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
    if (i + 2 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 2]);
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += i + 1 < bytes.size() ? kAlphabet[(v >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kAlphabet[v & 63] : '=';
  }
  return out;
}

// The point where the ray from the ellipse's centre through `towards` meets the ellipse.
struct EllipsePoint {
  double x, y, angle;  // angle counter-clockwise on the screen, in radians
};
EllipsePoint OnEllipse(double cx, double cy, double rx, double ry, Point towards) {
  double dx = towards.x - cx, dy = towards.y - cy;
  if (dx == 0 && dy == 0) dx = 1;
  double t = (rx > 0 && ry > 0) ? 1.0 / std::sqrt(dx * dx / (rx * rx) + dy * dy / (ry * ry)) : 0.0;
  return {cx + t * dx, cy + t * dy, std::atan2(-dy, dx)};
}

}  // namespace

uint8_t HatchBits(Hatch hatch, int row) {
  if (hatch == Hatch::None || row < 0 || row > 7) return 0;
  return kHatchBits[static_cast<int>(hatch) - 1][row];
}

std::string SvgColour(Colour colour) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%06X", static_cast<unsigned>(colour & 0xFFFFFF));
  return buf;
}

std::string XmlEscape(std::string_view ansi) {
  std::string clean;
  clean.reserve(ansi.size());
  for (char c : ansi)
    if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n' || c == '\r') clean += c;
  std::string utf8 = Utf8FromAnsi(clean);
  std::string out;
  out.reserve(utf8.size());
  for (char c : utf8) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string EncodePng(const Image& image) {
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() < static_cast<size_t>(image.width) * static_cast<size_t>(image.height))
    return {};
  std::string raw;
  raw.reserve(static_cast<size_t>(image.height) * (1 + 4 * static_cast<size_t>(image.width)));
  for (int y = 0; y < image.height; ++y) {
    raw += '\0';  // filter: none
    for (int x = 0; x < image.width; ++x) {
      uint32_t p = image.pixels[static_cast<size_t>(y) * static_cast<size_t>(image.width) + static_cast<size_t>(x)];
      raw += static_cast<char>((p >> 16) & 0xFF);
      raw += static_cast<char>((p >> 8) & 0xFF);
      raw += static_cast<char>(p & 0xFF);
      raw += static_cast<char>((p >> 24) & 0xFF);
    }
  }
  // zlib stream of stored blocks, then the Adler-32 of the raw data.
  std::string z = "\x78\x01";
  for (size_t pos = 0;;) {  // raw holds at least one row
    size_t n = std::min<size_t>(raw.size() - pos, 65535);
    bool last = pos + n >= raw.size();
    z += static_cast<char>(last ? 1 : 0);
    z += static_cast<char>(n & 0xFF);
    z += static_cast<char>(n >> 8);
    z += static_cast<char>(~n & 0xFF);
    z += static_cast<char>((~n >> 8) & 0xFF);
    z.append(raw, pos, n);
    pos += n;
    if (last) break;
  }
  uint32_t a = 1, b = 0;
  for (char c : raw) {
    a = (a + static_cast<unsigned char>(c)) % 65521;
    b = (b + a) % 65521;
  }
  PutU32BE(z, (b << 16) | a);

  std::string png = "\x89PNG\r\n\x1a\n";
  std::string header;
  PutU32BE(header, static_cast<uint32_t>(image.width));
  PutU32BE(header, static_cast<uint32_t>(image.height));
  header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, no filter, no interlace
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", z);
  PutChunk(png, "IEND", "");
  return png;
}

SvgCanvas::SvgCanvas(int width, int height, Colour background, int pixelsPerInch)
    : width_(width), height_(height), background_(background), pixelsPerInch_(pixelsPerInch) {}

std::string SvgCanvas::Document() const {
  std::string w = Num(width_), h = Num(height_);
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"" + w +
         "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " " + h + "\">\n";
  if (!defs_.empty()) out += "<defs>\n" + defs_ + "</defs>\n";
  if (background_ != kTransparent)
    out += "<rect width=\"" + w + "\" height=\"" + h + "\" fill=\"" + SvgColour(background_) + "\"/>\n";
  out += body_;
  for (int i = 0; i < clipDepth_; ++i) out += "</g>\n";
  out += "</svg>\n";
  return out;
}

Size SvgCanvas::MeasureText(FontRole role, std::string_view text) const {
  const NativeFont& f = fonts_.Font(role);
  return Size{f.TextWidth(text), f.Metrics().height};
}

std::string SvgCanvas::Stroke(const Pen& pen) const {
  int w = StrokeWidth(pen);
  if (w == 0) return " stroke=\"none\"";
  std::string s = " stroke=\"" + SvgColour(pen.colour) + "\" stroke-width=\"" + Num(w) + "\"";
  if (w == 1 && pen.style == PenStyle::Dash) s += " stroke-dasharray=\"18,6\"";
  if (w == 1 && pen.style == PenStyle::Dot) s += " stroke-dasharray=\"3,3\"";
  return s;
}

std::string SvgCanvas::HatchPattern(Hatch hatch, Colour colour, Colour background) {
  auto key = std::make_tuple(hatch, colour, background);
  auto found = patterns_.find(key);
  if (found != patterns_.end()) return found->second;
  std::string id = "h";
  id += std::to_string(nextId_++);
  defs_ += "<pattern id=\"" + id + "\" width=\"8\" height=\"8\" patternUnits=\"userSpaceOnUse\">";
  if (background != kTransparent) defs_ += "<rect width=\"8\" height=\"8\" fill=\"" + SvgColour(background) + "\"/>";
  std::string d;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      if (HatchBits(hatch, y) & (0x80 >> x)) d.append("M").append(Num(x)).append(" ").append(Num(y)).append("h1v1h-1z");
  defs_ += "<path d=\"" + d + "\" fill=\"" + SvgColour(colour) + "\"/></pattern>\n";
  patterns_.emplace(key, id);
  return id;
}

std::string SvgCanvas::Fill(const Brush& brush) {
  if (brush.colour == kTransparent) return " fill=\"none\"";
  if (brush.hatch == Hatch::None) return " fill=\"" + SvgColour(brush.colour) + "\"";
  return " fill=\"url(#" + HatchPattern(brush.hatch, brush.colour, brush.background) + ")\"";
}

std::string SvgCanvas::ClipPath(const Rect& rect) {
  std::string id = "c";
  id += std::to_string(nextId_++);
  defs_ += "<clipPath id=\"" + id + "\"><rect x=\"" + Num(rect.left) + "\" y=\"" + Num(rect.top) + "\" width=\"" +
           Num(std::max(rect.Width(), 0)) + "\" height=\"" + Num(std::max(rect.Height(), 0)) + "\"/></clipPath>\n";
  return id;
}

void SvgCanvas::Line(FontRole role, int x, int y, std::string_view text, Colour colour) {
  if (text.empty()) return;
  const NativeFont& f = fonts_.Font(role);
  const TextMetrics& m = f.Metrics();
  int width = f.TextWidth(text);
  if (textBackground_ != kTransparent)
    body_ += "<rect x=\"" + Num(x) + "\" y=\"" + Num(y) + "\" width=\"" + Num(width) + "\" height=\"" +
             Num(m.height) + "\" fill=\"" + SvgColour(textBackground_) + "\"/>\n";
  body_ += "<text x=\"" + Num(x) + "\" y=\"" + Num(y + m.ascent) + "\" font-family=\"" + FontFamily(f.Face()) +
           "\" font-size=\"" + Num(f.PixelsPerEm()) + "\"";
  if (f.Face().bold) body_ += " font-weight=\"bold\"";
  if (f.Face().italic) body_ += " font-style=\"italic\"";
  body_ += " fill=\"" + SvgColour(colour) + "\"";
  if (width > 0) body_ += " textLength=\"" + Num(width) + "\"";
  body_ += " xml:space=\"preserve\">" + XmlEscape(text) + "</text>\n";
}

void SvgCanvas::DrawText(FontRole role, Point at, std::string_view text, Colour colour) {
  Line(role, at.x, at.y, text, colour);
}

void SvgCanvas::DrawTextInRect(FontRole role, const Rect& rect, std::string_view text, Colour colour,
                               unsigned format) {
  std::vector<TextLine> lines = LayOutText(*this, role, rect, text, format);
  int lineHeight = LineHeight(role);
  bool spills = false;
  for (const TextLine& l : lines)
    spills |= l.x < rect.left || l.x + l.width > rect.right || l.y < rect.top || l.y + lineHeight > rect.bottom;
  bool clip = spills && !(format & kTextNoClip);
  if (clip) body_ += "<g clip-path=\"url(#" + ClipPath(rect) + ")\">\n";
  for (const TextLine& l : lines) Line(role, l.x, l.y, l.text, colour);
  if (clip) body_ += "</g>\n";
}

void SvgCanvas::DrawLine(Point from, Point to, const Pen& pen) {
  if (StrokeWidth(pen) == 0 || from == to) return;
  double o = StrokeOffset(pen);
  std::string d;
  // Level and upright lines cover exactly the pixels GDI does: from the start up to the end.
  if (from.y == to.y) d = "M" + Num(from.x) + " " + Num(from.y + o) + "H" + Num(to.x);
  else if (from.x == to.x) d = "M" + Num(from.x + o) + " " + Num(from.y) + "V" + Num(to.y);
  else d = "M" + Num(from.x + o) + " " + Num(from.y + o) + "L" + Num(to.x + o) + " " + Num(to.y + o);
  body_ += "<path d=\"" + d + "\" fill=\"none\"" + Stroke(pen) + "/>\n";
}

void SvgCanvas::DrawPolyline(std::span<const Point> points, const Pen& pen) {
  if (StrokeWidth(pen) == 0 || points.size() < 2) return;
  body_ += "<polyline points=\"" + PointList(points, StrokeOffset(pen)) + "\" fill=\"none\"" + Stroke(pen) + "/>\n";
}

void SvgCanvas::FrameRect(const Rect& rect, const Pen& pen) {
  int w = StrokeWidth(pen);
  if (w == 0 || rect.Empty()) return;
  double half = w / 2.0;
  body_ += "<rect x=\"" + Num(rect.left + half) + "\" y=\"" + Num(rect.top + half) + "\" width=\"" +
           Num(std::max(rect.Width() - w, 0)) + "\" height=\"" + Num(std::max(rect.Height() - w, 0)) +
           "\" fill=\"none\"" + Stroke(pen) + "/>\n";
}

void SvgCanvas::FillRect(const Rect& rect, Colour colour) {
  if (rect.Empty() || colour == kTransparent) return;
  body_ += "<rect x=\"" + Num(rect.left) + "\" y=\"" + Num(rect.top) + "\" width=\"" + Num(rect.Width()) +
           "\" height=\"" + Num(rect.Height()) + "\" fill=\"" + SvgColour(colour) + "\"/>\n";
}

void SvgCanvas::FillHatch(const Rect& rect, Hatch hatch, Colour colour, Colour background) {
  if (rect.Empty()) return;
  if (hatch == Hatch::None) {
    FillRect(rect, colour);
    return;
  }
  body_ += "<rect x=\"" + Num(rect.left) + "\" y=\"" + Num(rect.top) + "\" width=\"" + Num(rect.Width()) +
           "\" height=\"" + Num(rect.Height()) + "\"" + Fill(Brush{colour, hatch, background}) + "/>\n";
}

void SvgCanvas::DrawEllipse(const Rect& bounds, const Pen& pen, const Brush& brush) {
  if (bounds.Empty()) return;
  double half = StrokeWidth(pen) / 2.0;
  double rx = std::max(bounds.Width() / 2.0 - half, 0.0), ry = std::max(bounds.Height() / 2.0 - half, 0.0);
  body_ += "<ellipse cx=\"" + Num((bounds.left + bounds.right) / 2.0) + "\" cy=\"" +
           Num((bounds.top + bounds.bottom) / 2.0) + "\" rx=\"" + Num(rx) + "\" ry=\"" + Num(ry) + "\"" + Fill(brush) +
           Stroke(pen) + "/>\n";
}

void SvgCanvas::DrawPie(const Rect& bounds, Point start, Point end, const Pen& pen, const Brush& brush) {
  if (bounds.Empty()) return;
  double half = StrokeWidth(pen) / 2.0;
  double cx = (bounds.left + bounds.right) / 2.0, cy = (bounds.top + bounds.bottom) / 2.0;
  double rx = std::max(bounds.Width() / 2.0 - half, 0.0), ry = std::max(bounds.Height() / 2.0 - half, 0.0);
  EllipsePoint s = OnEllipse(cx, cy, rx, ry, start), e = OnEllipse(cx, cy, rx, ry, end);
  std::string radii = Num(rx) + " " + Num(ry);
  std::string d = "M" + Num(cx) + " " + Num(cy) + "L" + Num(s.x) + " " + Num(s.y);
  double sweep = e.angle - s.angle;
  while (sweep <= 0) sweep += 2 * std::numbers::pi;
  if (start == end || std::abs(sweep - 2 * std::numbers::pi) < 1e-12) {
    // Equal rays: the whole ellipse, in two halves (one arc cannot end where it starts).
    d += "A" + radii + " 0 1 0 " + Num(2 * cx - s.x) + " " + Num(2 * cy - s.y);
    d += "A" + radii + " 0 1 0 " + Num(s.x) + " " + Num(s.y);
  } else {
    // Counter-clockwise on the screen is SVG's negative sweep direction.
    d += "A" + radii + " 0 " + (sweep > std::numbers::pi ? "1" : "0") + " 0 " + Num(e.x) + " " + Num(e.y);
  }
  d += "Z";
  body_ += "<path d=\"" + d + "\"" + Fill(brush) + Stroke(pen) + "/>\n";
}

void SvgCanvas::DrawPolygon(std::span<const Point> points, const Pen& pen, const Brush& brush) {
  if (points.size() < 2) return;
  body_ += "<polygon points=\"" + PointList(points, StrokeOffset(pen)) + "\" fill-rule=\"evenodd\"" + Fill(brush) +
           Stroke(pen) + "/>\n";
}

void SvgCanvas::DrawIcon(int icon, const Rect& rect) {
  if (rect.Empty()) return;
  if (const Image* picture = icons_ ? icons_(icon) : nullptr) {
    DrawImage(*picture, rect);
    return;
  }
  body_ += "<rect x=\"" + Num(rect.left + 0.5) + "\" y=\"" + Num(rect.top + 0.5) + "\" width=\"" +
           Num(std::max(rect.Width() - 1, 0)) + "\" height=\"" + Num(std::max(rect.Height() - 1, 0)) +
           "\" fill=\"none\" stroke=\"#808080\" stroke-dasharray=\"2,2\"><title>icon " + Num(icon) +
           "</title></rect>\n";
}

void SvgCanvas::DrawImage(const Image& image, const Rect& rect) {
  if (rect.Empty()) return;
  std::string png = EncodePng(image);
  if (png.empty()) return;
  body_ += "<image x=\"" + Num(rect.left) + "\" y=\"" + Num(rect.top) + "\" width=\"" + Num(rect.Width()) +
           "\" height=\"" + Num(rect.Height()) + "\" preserveAspectRatio=\"none\" image-rendering=\"optimizeSpeed\" xlink:href=\"data:image/png;base64," +
           Base64(png) + "\"/>\n";
}

void SvgCanvas::PushClip(const Rect& rect) {
  body_ += "<g clip-path=\"url(#" + ClipPath(rect) + ")\">\n";
  ++clipDepth_;
}

void SvgCanvas::PopClip() {
  if (clipDepth_ == 0) return;
  body_ += "</g>\n";
  --clipDepth_;
}

}  // namespace kv
