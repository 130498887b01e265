#include "base/font_metrics.h"

#include <cctype>
#include <cstdlib>
#include <string>

namespace kv {
namespace {

constexpr FaceMetrics kFaces[] = {
#include "font_metrics.inc"
};
constexpr size_t kStylesPerFamily = 4;  // regular, bold, italic, bold italic, in that order

// FreeType's fixed-point helpers, rounding as it does.
int64_t MulDivRound(int64_t a, int64_t b, int64_t c) {
  int64_t s = 1;
  if (a < 0) a = -a, s = -s;
  if (b < 0) b = -b, s = -s;
  if (c < 0) c = -c, s = -s;
  return c == 0 ? 0 : s * ((a * b + c / 2) / c);
}
int64_t MulFix(int64_t a, int64_t b) {
  int64_t s = 1;
  if (a < 0) a = -a, s = -s;
  if (b < 0) b = -b, s = -s;
  return s * ((a * b + 0x8000) >> 16);
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

const FaceMetrics& FaceMetricsFor(const FontSpec& fontSpec) {
  std::string face = Lower(fontSpec.face);
  size_t family = 0;
  // The program's Wine prefixes replace the two Windows faces with their metric-compatible
  // Liberation faces (scripts/wine-fonts); every other face resolves to Liberation Sans.
  if (face == "liberation serif" || face == "times new roman") family = 1;
  else if (face == "liberation mono" || face == "courier new") family = 2;
  size_t style = (fontSpec.weight > 550 ? 1 : 0) + (fontSpec.italic ? 2 : 0);
  return kFaces[family * kStylesPerFamily + style];
}

int PixelsPerEm(const FaceMetrics& face, int height) {
  if (height == 0) height = 16;
  if (height < 0) return -height;
  // Wine's rule: the em from the cell height, one less when rounding made the cell too tall.
  int units = face.winAscent + face.winDescent;
  auto ppem = static_cast<int>(MulDivRound(face.unitsPerEm, height, units));
  if (ppem > 1 && MulDivRound(units, ppem, face.unitsPerEm) > height) --ppem;
  return ppem;
}

NativeFont::NativeFont(const FontSpec& fontSpec) : face_(&FaceMetricsFor(fontSpec)) {
  const FaceMetrics& f = *face_;
  ppem_ = kv::PixelsPerEm(f, fontSpec.height);
  // Advances: scaled in 26.6 fixed point with FreeType's scale, then rounded to whole pixels as
  // the hinter rounds them.
  int64_t scale = MulDivRound(static_cast<int64_t>(ppem_) * 64, 65536, f.unitsPerEm);
  for (size_t c = 0; c < 256; ++c) widths_[c] = static_cast<int>((MulFix(f.advance[c], scale) + 32) >> 6);
  auto px = [&](int units) { return static_cast<int>(MulDivRound(units, ppem_, f.unitsPerEm)); };
  metrics_.ascent = px(f.winAscent);
  metrics_.descent = px(f.winDescent);
  metrics_.height = metrics_.ascent + metrics_.descent;
  metrics_.internalLeading = px(f.winAscent + f.winDescent - f.unitsPerEm);
  int extra = f.lineGap - ((f.winAscent + f.winDescent) - (f.hheaAscent - f.hheaDescent));
  metrics_.externalLeading = extra > 0 ? px(extra) : 0;
  metrics_.averageWidth = px(f.averageWidth);
}

int NativeFont::TextWidth(std::string_view text) const {
  int sum = 0;
  for (char c : text) sum += widths_[static_cast<unsigned char>(c)];
  return sum;
}

NativeFontSet::NativeFontSet() {
  for (size_t i = 0; i < kFontRoleCount; ++i) fonts_[i] = NativeFont(specs_[i]);
}

void NativeFontSet::Set(FontRole role, const FontSpec& fontSpec) {
  auto i = static_cast<size_t>(role);
  if (i >= kFontRoleCount || specs_[i] == fontSpec) return;
  specs_[i] = fontSpec;
  fonts_[i] = NativeFont(fontSpec);
}

}  // namespace kv
