#include "base/canvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kv {
namespace {

// Splits at "\n" and "\r\n" (a lone "\r" counts as a break too). A break at the very end adds no
// empty line; an empty text gives no lines.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> out;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n' && text[i] != '\r') continue;
    out.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) out.push_back(text.substr(start));
  return out;
}

// The number of leading characters of `text` whose widths add up to at most `width`.
size_t FittingPrefix(const Canvas& canvas, FontRole role, std::string_view text, int width) {
  int sum = 0;
  size_t k = 0;
  for (; k < text.size(); ++k) {
    sum += canvas.TextWidth(role, text.substr(k, 1));
    if (sum > width) break;
  }
  return k;
}

void WrapParagraph(const Canvas& canvas, FontRole role, std::string_view p, int width, std::vector<std::string>& out) {
  std::string line;
  int lineWidth = 0;
  bool started = false;  // a line of this paragraph exists: blanks at a break are eaten
  // Puts a piece that alone is too wide on lines of its own, keeping the tail as the open line.
  auto breakPiece = [&](std::string_view piece) {
    while (!piece.empty()) {
      size_t k = std::max<size_t>(FittingPrefix(canvas, role, piece, width), 1);
      if (k >= piece.size()) {
        line.assign(piece);
        lineWidth = canvas.TextWidth(role, piece);
        return;
      }
      out.emplace_back(piece.substr(0, k));
      piece.remove_prefix(k);
    }
  };
  size_t i = 0;
  while (i < p.size()) {
    size_t blankStart = i;
    while (i < p.size() && p[i] == ' ') ++i;
    size_t wordStart = i;
    while (i < p.size() && p[i] != ' ') ++i;
    std::string_view blanks = p.substr(blankStart, wordStart - blankStart);
    std::string_view word = p.substr(wordStart, i - wordStart);
    if (word.empty()) break;  // blanks at the end of a paragraph are not drawn
    if (!started) {
      // The first word keeps the paragraph's indentation.
      started = true;
      std::string_view first = p.substr(blankStart, i - blankStart);
      int w = canvas.TextWidth(role, first);
      if (w <= width) line.assign(first), lineWidth = w;
      else breakPiece(first);
      continue;
    }
    int wordWidth = canvas.TextWidth(role, word);
    int blankWidth = line.empty() ? 0 : canvas.TextWidth(role, blanks);
    if (lineWidth + blankWidth + wordWidth <= width) {
      if (!line.empty()) line.append(blanks);
      line.append(word);
      lineWidth += blankWidth + wordWidth;
      continue;
    }
    if (!line.empty()) out.push_back(std::move(line));
    line.clear();
    lineWidth = 0;
    if (wordWidth <= width) line.assign(word), lineWidth = wordWidth;
    else breakPiece(word);
  }
  if (!line.empty() || !started) out.push_back(std::move(line));
}

}  // namespace

Rect Intersect(const Rect& a, const Rect& b) {
  Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  if (r.Empty()) return Rect{};
  return r;
}

void Canvas::DrawPieAngles(const Rect& bounds, double startDegrees, double sweepDegrees, const Pen& pen,
                           const Brush& brush) {
  if (std::abs(sweepDegrees) < 1e-9) return;
  if (sweepDegrees < 0) {
    startDegrees += sweepDegrees;
    sweepDegrees = -sweepDegrees;
  }
  // Radial points need only their direction; a modest radius keeps them inside the 16-bit
  // coordinates of Windows metafiles.
  constexpr double kRadius = 4096;
  double cx = (bounds.left + bounds.right) / 2.0, cy = (bounds.top + bounds.bottom) / 2.0;
  auto ray = [&](double degrees) {
    double a = degrees * std::numbers::pi / 180.0;
    return Point{static_cast<int>(std::lround(cx + kRadius * std::cos(a))),
                 static_cast<int>(std::lround(cy - kRadius * std::sin(a)))};
  };
  Point start = ray(startDegrees);
  if (sweepDegrees >= 360) {
    DrawPie(bounds, start, start, pen, brush);
    return;
  }
  Point end = ray(startDegrees + sweepDegrees);
  if (end == start) return;  // too thin to tell from the whole ellipse
  DrawPie(bounds, start, end, pen, brush);
}

std::vector<std::string> WrapText(const Canvas& canvas, FontRole role, std::string_view text, int width) {
  std::vector<std::string> out;
  for (std::string_view paragraph : SplitLines(text)) WrapParagraph(canvas, role, paragraph, width, out);
  return out;
}

std::string FitWithEllipsis(const Canvas& canvas, FontRole role, std::string_view text, int width) {
  if (canvas.TextWidth(role, text) <= width) return std::string(text);
  constexpr std::string_view kEllipsis = "...";
  int ellipsisWidth = canvas.TextWidth(role, kEllipsis);
  if (ellipsisWidth > width) return std::string(kEllipsis.substr(0, FittingPrefix(canvas, role, kEllipsis, width)));
  std::string_view head = text.substr(0, FittingPrefix(canvas, role, text, width - ellipsisWidth));
  while (!head.empty() && head.back() == ' ') head.remove_suffix(1);
  std::string out(head);
  out.append(kEllipsis);
  return out;
}

std::vector<TextLine> LayOutText(const Canvas& canvas, FontRole role, const Rect& rect, std::string_view text,
                                 unsigned format) {
  std::vector<std::string> texts;
  if (format & kTextSingleLine) {
    std::string one;
    for (size_t i = 0; i < text.size(); ++i) {
      char c = text[i];
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
      one += (c == '\r' || c == '\n') ? ' ' : c;
    }
    if (!one.empty()) texts.push_back(std::move(one));
  } else if (format & kTextWordBreak) {
    texts = WrapText(canvas, role, text, rect.Width());
  } else {
    for (std::string_view line : SplitLines(text)) texts.emplace_back(line);
  }
  if (format & kTextEndEllipsis)
    for (std::string& t : texts) t = FitWithEllipsis(canvas, role, t, rect.Width());

  int lineHeight = canvas.LineHeight(role);
  int block = lineHeight * static_cast<int>(texts.size());
  int y = rect.top;
  if (format & kTextBottom) y = rect.bottom - block;
  else if (format & kTextVCentre) y = rect.top + (rect.Height() - block) / 2;

  std::vector<TextLine> lines;
  lines.reserve(texts.size());
  for (std::string& t : texts) {
    int w = canvas.TextWidth(role, t);
    int x = rect.left;
    if (format & kTextRight) x = rect.right - w;
    else if (format & kTextCentre) x = rect.left + (rect.Width() - w) / 2;
    lines.push_back(TextLine{std::move(t), x, y, w});
    y += lineHeight;
  }
  return lines;
}

}  // namespace kv
