// One drawing surface for the screen, the printer and metafiles. The views, the print pages and
// the world map lay themselves out and draw through this interface only, so the same function
// paints a month in a window, on paper, into a metafile, into the test recorder and into an SVG
// document. Coordinates are integer units of the surface (pixels on the screen, the mapping
// mode's units on a printer or metafile device context); y grows downwards.
//
// Texts are single-byte Windows-1252, as everywhere in the program. Fonts are named by role;
// the owner of a canvas says once which face and size each role stands for (SetFont), and
// layout code measures and draws in roles, never in fonts of a platform.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// A colour as 0xRRGGBB; kTransparent means "nothing" where a colour may be left out.
using Colour = uint32_t;
inline constexpr Colour kTransparent = 0xFF000000u;

constexpr Colour MakeColour(int r, int g, int b) {
  return (static_cast<Colour>(r & 0xFF) << 16) | (static_cast<Colour>(g & 0xFF) << 8) | static_cast<Colour>(b & 0xFF);
}
constexpr int RedOf(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }
constexpr int GreenOf(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Colour c) { return static_cast<int>(c & 0xFF); }
// A Windows colour as stored in files and the configuration (0x00BBGGRR).
constexpr Colour ColourFromColorRef(uint32_t c) {
  return MakeColour(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// A rectangle whose right and bottom edges lie just outside it, as in GDI.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// The overlap of two rectangles; an empty rectangle when they do not meet.
Rect Intersect(const Rect& a, const Rect& b);

// The fonts a drawing can use. Screen roles serve the windows, print roles the printed pages.
enum class FontRole : uint8_t {
  Title,        // titles: the month and year names, the day page header
  Cell,         // day numbers and the plain text of a calendar cell
  Event,        // the event lines of a cell
  Bold,         // section heads and emphasised lines
  Small,        // small calendars, marks, footnotes
  Dialog,       // the program's dialog font: toolbar, tabs, status texts
  PrintTitle,   // printed page titles
  PrintHeading, // printed weekday names, section heads
  PrintBody,    // printed entries
  PrintBold,    // printed emphasis
  PrintSmall,   // printed small calendars
  PrintHeader,  // printed header and footer lines
};
inline constexpr size_t kFontRoleCount = 12;

// A font as the owner of a canvas chooses it for a role. `height` follows GDI's LOGFONT rule:
// negative is the em height (the character height without internal leading), positive the cell
// height (ascent + descent), 0 a cell height of 16; all in units of the surface.
struct FontSpec {
  std::string face = "Arial";
  int height = -13;
  int weight = 400;  // 400 normal, 700 bold; 551 and above pick the bold face
  bool italic = false;
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// The vertical metrics of a font, as GDI's TEXTMETRIC gives them.
struct TextMetrics {
  int height = 0;           // ascent + descent: the height of one line
  int ascent = 0;           // top of the cell to the baseline
  int descent = 0;          // baseline to the bottom of the cell
  int internalLeading = 0;  // accent room inside the cell
  int externalLeading = 0;  // suggested room between lines
  int averageWidth = 0;     // average character width
};

enum class PenStyle : uint8_t { Solid, Dash, Dot, None };

// A line's colour, width and style. Dashes and dots apply to one-unit pens only (as GDI's
// cosmetic pens); wider pens draw solid.
struct Pen {
  Colour colour = 0;
  int width = 1;
  PenStyle style = PenStyle::Solid;
  friend bool operator==(const Pen&, const Pen&) = default;
};
inline constexpr Pen kNoPen{0, 0, PenStyle::None};

// GDI's hatch patterns (8 x 8, aligned to the surface's origin).
enum class Hatch : uint8_t { None, Horizontal, Vertical, ForwardDiagonal, BackwardDiagonal, Cross, DiagonalCross };

// How a shape is filled: a solid colour, a hatch in `colour` over `background` (kTransparent
// leaves the gaps alone), or nothing when `colour` is kTransparent.
struct Brush {
  Colour colour = kTransparent;
  Hatch hatch = Hatch::None;
  Colour background = kTransparent;
  friend bool operator==(const Brush&, const Brush&) = default;
};
inline constexpr Brush kNoBrush{};
constexpr Brush SolidBrush(Colour c) { return Brush{c, Hatch::None, kTransparent}; }

// How text sits in a rectangle (DrawTextInRect). Combine one horizontal and one vertical value
// with the options.
enum TextFormat : unsigned {
  kTextLeft = 0,
  kTextCentre = 1,
  kTextRight = 2,
  kTextTop = 0,
  kTextVCentre = 4,      // the block of lines centred vertically
  kTextBottom = 8,
  kTextSingleLine = 16,  // line breaks shown as blanks; no wrapping
  kTextEndEllipsis = 32, // a line too wide ends in "..." that fits
  kTextWordBreak = 64,   // wrapped to the rectangle's width (WrapText)
  kTextNoClip = 128,     // may draw outside the rectangle
};

// An RGBA picture: rows top-down, pixels 0xAARRGGBB with straight (not premultiplied) alpha.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // width * height
};

// One line of text placed by LayOutText: its text and its top-left corner and width.
struct TextLine {
  std::string text;
  int x = 0;
  int y = 0;
  int width = 0;
  friend bool operator==(const TextLine&, const TextLine&) = default;
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  // --- fonts and measurement ------------------------------------------------------------
  // Says which font a role stands for from now on.
  virtual void SetFont(FontRole role, const FontSpec& fontSpec) = 0;
  // The font a role stands for (the default FontSpec until SetFont).
  virtual const FontSpec& Font(FontRole role) const = 0;
  // The width and height (one line) of a single-line text in a role's font.
  virtual Size MeasureText(FontRole role, std::string_view text) const = 0;
  // The vertical metrics of a role's font.
  virtual TextMetrics Metrics(FontRole role) const = 0;
  // Pixels per inch of the surface vertically, for turning point sizes into heights.
  virtual int PixelsPerInch() const = 0;

  // --- text -----------------------------------------------------------------------------
  // Text behind drawn text: a colour, or kTransparent (the default) to leave it alone.
  virtual void SetTextBackground(Colour colour) = 0;
  // Draws one line of text with its top-left corner at `at`.
  virtual void DrawText(FontRole role, Point at, std::string_view text, Colour colour) = 0;
  // Draws text in a rectangle as LayOutText places it, clipped to the rectangle unless kTextNoClip.
  virtual void DrawTextInRect(FontRole role, const Rect& rect, std::string_view text, Colour colour,
                              unsigned format) = 0;

  // --- lines and shapes -------------------------------------------------------------------
  // A line from `from` to `to`, the end point itself left out as GDI does.
  virtual void DrawLine(Point from, Point to, const Pen& pen) = 0;
  // Connected lines through the points, the last point left out.
  virtual void DrawPolyline(std::span<const Point> points, const Pen& pen) = 0;
  // The outline of a rectangle, drawn inside it.
  virtual void FrameRect(const Rect& rect, const Pen& pen) = 0;
  // Fills a rectangle with one colour.
  virtual void FillRect(const Rect& rect, Colour colour) = 0;
  // Fills a rectangle with a hatch in `colour` over `background` (kTransparent: gaps untouched).
  virtual void FillHatch(const Rect& rect, Hatch hatch, Colour colour, Colour background) = 0;
  // An ellipse inscribed in `bounds`, outlined with `pen` and filled with `brush`.
  virtual void DrawEllipse(const Rect& bounds, const Pen& pen, const Brush& brush) = 0;
  // A pie of the ellipse in `bounds`: the arc runs counter-clockwise from the ray through
  // `start` to the ray through `end` (equal rays: the whole ellipse), as GDI's Pie.
  virtual void DrawPie(const Rect& bounds, Point start, Point end, const Pen& pen, const Brush& brush) = 0;
  // A closed polygon (alternate fill rule).
  virtual void DrawPolygon(std::span<const Point> points, const Pen& pen, const Brush& brush) = 0;

  // --- pictures and clipping --------------------------------------------------------------
  // An icon of the program's resources (by its resource number) stretched to `rect`.
  virtual void DrawIcon(int icon, const Rect& rect) = 0;
  // A picture stretched to `rect`, blended by its alpha.
  virtual void DrawImage(const Image& image, const Rect& rect) = 0;
  // Narrows drawing to the part of `rect` inside the current clip, until the matching PopClip.
  virtual void PushClip(const Rect& rect) = 0;
  // Undoes the last PushClip; without one it does nothing.
  virtual void PopClip() = 0;

  // --- helpers over the operations above ----------------------------------------------------
  // The width of a single-line text in a role's font.
  int TextWidth(FontRole role, std::string_view text) const { return MeasureText(role, text).cx; }
  // The height of one line in a role's font.
  int LineHeight(FontRole role) const { return Metrics(role).height; }
  // A pie by angles in degrees, counter-clockwise from three o'clock, sweeping `sweep` degrees.
  void DrawPieAngles(const Rect& bounds, double startDegrees, double sweepDegrees, const Pen& pen, const Brush& brush);
};

// The fonts of the twelve roles, for implementations to keep.
using FontTable = std::array<FontSpec, kFontRoleCount>;

// Breaks a text into lines no wider than `width` in a role's font: at blanks (eaten at the
// break), at line breaks ("\n", "\r\n"), and inside a word that alone is too wide. Every line
// holds at least one character, so a width narrower than any character still ends. An empty
// text gives no lines.
std::vector<std::string> WrapText(const Canvas& canvas, FontRole role, std::string_view text, int width);

// The longest start of `text` that fits `width` with "..." after it (the text itself when it
// fits; just the part of "..." that fits when nothing else does).
std::string FitWithEllipsis(const Canvas& canvas, FontRole role, std::string_view text, int width);

// Places text in a rectangle by a TextFormat: the lines (wrapped, split at line breaks, or one
// single line), each with its position from the alignment. Every implementation draws these.
std::vector<TextLine> LayOutText(const Canvas& canvas, FontRole role, const Rect& rect, std::string_view text,
                                 unsigned format);

}  // namespace kv
