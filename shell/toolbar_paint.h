// The strip behind the frame's toolbar: its height, and its painting (a face colour between two
// bevel lines at the top and two at the bottom), drawn through the canvas so a test can check it.
#pragma once

#include "base/canvas.h"

namespace kv {

inline constexpr int kToolbarHeight = 28;

struct ToolbarStripLayout {
  int width = 0;                  // the frame's client width
  int height = kToolbarHeight;
  Colour face = 0xC0C0C0;         // the strip itself (the system's button face)
  Colour shadow = 0x808080;       // dark bevel lines (the configuration's shadow colour)
  Colour light = 0xFFFFFF;        // light bevel lines (the system's button highlight)
};

// Fills the strip and draws a shadow line over a light line at its top edge and again at its
// bottom edge, so the strip looks pressed in under the menu and raised above the desk.
void PaintToolbarStrip(Canvas& canvas, const ToolbarStripLayout& layout);

}  // namespace kv
