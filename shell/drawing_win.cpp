#include "shell/drawing_win.h"

#include "base/dpi_win.h"
#include "shell/app_win.h"
#include "shell/configuration.h"

namespace kv {
namespace {

DrawingResources& State() {
  static DrawingResources resources;
  return resources;
}

template <typename T>
void Free(T& object) {
  if (object) DeleteObject(object);
  object = nullptr;
}

HFONT MakeFont(const FontChoice& f, int pixelsPerInch) {
  LOGFONTA lf{};
  lf.lfHeight = -FontPixelHeight(pixelsPerInch, f.pointSize);
  lf.lfWeight = f.weight;
  lf.lfItalic = f.italic ? TRUE : FALSE;
  lf.lfCharSet = f.charSet;
  lf.lfPitchAndFamily = f.pitchAndFamily;
  lf.lfQuality = DEFAULT_QUALITY;
  lstrcpynA(lf.lfFaceName, f.face.c_str(), LF_FACESIZE);
  return CreateFontIndirectA(&lf);
}

}  // namespace

const DrawingResources& Drawing() { return State(); }

void BuildDrawingResources() {
  FreeDrawingResources();
  DrawingResources& d = State();
  const CalendarConfig& c = Config();
  d.theme = CreateSolidBrush(c.themeColour);
  d.shadow = CreateSolidBrush(c.shadowColour);
  d.grid = CreateSolidBrush(c.gridColour);
  d.highlight = CreateSolidBrush(c.highlightColour);
  d.framePen = CreatePen(PS_SOLID, 1, c.gridColour);
  int ppi = WindowDpi(App().frame);
  d.dpi = ppi;
  for (int slot = 0; slot < 8; ++slot)
    d.screenFonts[static_cast<size_t>(slot)] = MakeFont(EffectiveFont(c.screenFonts[static_cast<size_t>(slot)], slot, false), ppi);
  // The dialog font: the system's message font at a height of 13 pixels on a 96 dpi screen.
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  LOGFONTA lf{};
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) lf = metrics.lfMessageFont;
  lf.lfHeight = -ScaleToDpi(13, ppi);
  lf.lfWidth = 0;
  lstrcpynA(lf.lfFaceName, "Microsoft Sans Serif", LF_FACESIZE);
  d.dialogFont = CreateFontIndirectA(&lf);
}

void FreeDrawingResources() {
  DrawingResources& d = State();
  Free(d.theme), Free(d.shadow), Free(d.grid), Free(d.highlight);
  Free(d.framePen);
  for (HFONT& f : d.screenFonts) Free(f);
  Free(d.dialogFont);
}

}  // namespace kv
