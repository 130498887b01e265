// The drawing objects made from the configuration: brushes of the four colours, the pens of
// the bevelled lines, the screen fonts of the eight slots and the dialog font. Rebuilt when
// another configuration is opened.
#pragma once

#include <windows.h>

#include <array>

namespace kv {

struct DrawingResources {
  HBRUSH theme = nullptr, shadow = nullptr, grid = nullptr, highlight = nullptr;
  HPEN framePen = nullptr;     // outlines, in the grid colour
  std::array<HFONT, 8> screenFonts{};
  HFONT dialogFont = nullptr;
  int dpi = 96;                // the resolution the fonts were made for
};

const DrawingResources& Drawing();

// The screen font of the text windows (notes, schedule, to-do list): the plain Arial 9 of a new
// configuration.
inline HFONT TextWindowFont() { return Drawing().screenFonts[5]; }

// Makes every object anew from the open configuration, freeing the previous ones. The fonts are
// made for the monitor the frame is on (the system's resolution before the frame exists).
void BuildDrawingResources();
void FreeDrawingResources();

}  // namespace kv
