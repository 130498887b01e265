#include "shell/toolbar_paint.h"

namespace kv {

void PaintToolbarStrip(Canvas& canvas, const ToolbarStripLayout& layout) {
  if (layout.width <= 0 || layout.height < 4) return;
  int w = layout.width, h = layout.height;
  canvas.FillRect({0, 0, w, h}, layout.face);
  for (int y : {0, h - 2}) canvas.DrawLine({0, y}, {w, y}, Pen{layout.shadow});
  for (int y : {1, h - 1}) canvas.DrawLine({0, y}, {w, y}, Pen{layout.light});
}

}  // namespace kv
