// Text measurement without a platform, for the recording and SVG canvases: the advance widths of
// the Liberation fonts (generated at build time by tools/gen/gen_font_metrics.py), scaled and
// rounded per character exactly as GDI under Wine does it (FreeType's hinted advances). Under
// Wine with fonts-liberation every face the program asks for (Arial, Times New Roman, Courier
// New, Tahoma, Verdana, MS Sans Serif, ...) resolves to Liberation Sans, so text measured here
// breaks into the same lines as in the running program; on Windows the real fonts differ a
// little, which layout tolerates.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "base/canvas.h"

namespace kv {

// One face of the table: units per em, GDI's vertical metrics in font units, and the advance
// width of the glyph of every Windows-1252 byte.
struct FaceMetrics {
  const char* family;
  bool bold;
  bool italic;
  int unitsPerEm;
  int winAscent;
  int winDescent;
  int hheaAscent;
  int hheaDescent;  // negative
  int lineGap;
  int averageWidth;
  uint16_t advance[256];
};

// The face a font is measured with: "Liberation Serif" and "Liberation Mono" by name, Liberation
// Sans for every other face (as Wine resolves them here); weights above 550 take the bold face.
const FaceMetrics& FaceMetricsFor(const FontSpec& fontSpec);

// The pixels per em for a LOGFONT height: -height for negative heights; for positive heights
// (cell heights) the largest em whose ascent + descent does not exceed it; 0 counts as 16.
int PixelsPerEm(const FaceMetrics& face, int height);

// A font at one size, measured from the table.
class NativeFont {
 public:
  NativeFont() : NativeFont(FontSpec{}) {}
  explicit NativeFont(const FontSpec& fontSpec);

  // The advance of one character in pixels, rounded as the hinted glyph's.
  int CharWidth(unsigned char c) const { return widths_[c]; }
  // The sum of the characters' advances (GDI draws text without kerning).
  int TextWidth(std::string_view text) const;
  const TextMetrics& Metrics() const { return metrics_; }
  int PixelsPerEm() const { return ppem_; }
  const FaceMetrics& Face() const { return *face_; }

 private:
  const FaceMetrics* face_;
  int ppem_ = 0;
  TextMetrics metrics_;
  std::array<int, 256> widths_{};
};

// The fonts of the twelve roles, each with its measured form, for a canvas to keep.
class NativeFontSet {
 public:
  NativeFontSet();
  void Set(FontRole role, const FontSpec& fontSpec);
  const FontSpec& Spec(FontRole role) const { return specs_[static_cast<size_t>(role)]; }
  const NativeFont& Font(FontRole role) const { return fonts_[static_cast<size_t>(role)]; }

 private:
  FontTable specs_;
  std::array<NativeFont, kFontRoleCount> fonts_;
};

}  // namespace kv
