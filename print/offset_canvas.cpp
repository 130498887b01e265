#include "print/offset_canvas.h"

#include <vector>

namespace kv {

void OffsetCanvas::DrawPolyline(std::span<const Point> points, const Pen& pen) {
  std::vector<Point> moved;
  for (Point p : points) moved.push_back(Move(p));
  target_.DrawPolyline(moved, pen);
}

void OffsetCanvas::DrawPolygon(std::span<const Point> points, const Pen& pen, const Brush& brush) {
  std::vector<Point> moved;
  for (Point p : points) moved.push_back(Move(p));
  target_.DrawPolygon(moved, pen, brush);
}

}  // namespace kv
