#pragma once
// Pixel rules of one-pixel lines, kept pure so that the GDI semantics can be
// tested without a display: a line leaves out its end point, and the dot and
// dash patterns of styled pens run on along the points of one polyline.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry.h"
#include "pen.h"

namespace gui {

// The pixels of the line from `from` to `to` in drawing order, `to` left out
// (a line from a point to itself has no pixel).
std::vector<TPoint> LinePixels(TPoint from, TPoint to);

// The on/off runs of a styled one-pixel pen: dash 18/6, dot 3/3,
// dash-dot 9/6/3/6, dash-dot-dot 9/3/3/3/3/3; solid and inside-frame pens
// have one endless "on" run.
class TDashPattern {
 public:
  explicit TDashPattern(TPenStyle style);
  // Whether the next pixel is drawn; advances the pattern by one pixel.
  bool Next();
  void Reset();

 private:
  std::vector<int> FRuns;
  size_t FIndex = 0;
  int FLeft = 0;
};

// Calls plot(x, y) for each pixel of the line from `from` to `to` in drawing
// order, `to` left out (the walk of LinePixels, without a list).
template <class TPlot>
void WalkLine(TPoint from, TPoint to, TPlot&& plot) {
  const int dx = to.x > from.x ? to.x - from.x : from.x - to.x;
  const int dy = to.y > from.y ? to.y - from.y : from.y - to.y;
  const int sx = from.x < to.x ? 1 : -1;
  const int sy = from.y < to.y ? 1 : -1;
  int x = from.x;
  int y = from.y;
  int err = dx - dy;
  while (x != to.x || y != to.y) {
    plot(x, y);
    const int e2 = 2 * err;
    if (e2 > -dy) {
      err -= dy;
      x += sx;
    }
    if (e2 < dx) {
      err += dx;
      y += sy;
    }
  }
}

// Calls plot(x, y) for the drawn pixels of a polyline through `points` with
// a pen of `style`: each segment leaves out its end point (so the last point
// of the polyline is not drawn) and the pattern runs on from segment to
// segment.
template <class TPlot>
void WalkPolyline(const std::vector<TPoint>& points, TPenStyle style, TPlot&& plot);

std::vector<TPoint> PolylinePixels(const std::vector<TPoint>& points, TPenStyle style);

template <class TPlot>
void WalkPolyline(const std::vector<TPoint>& points, TPenStyle style, TPlot&& plot) {
  if (style == psClear) return;
  if (style == psSolid || style == psInsideFrame) {
    for (size_t i = 1; i < points.size(); ++i) WalkLine(points[i - 1], points[i], plot);
    return;
  }
  TDashPattern pattern(style);
  for (size_t i = 1; i < points.size(); ++i)
    WalkLine(points[i - 1], points[i], [&](int x, int y) {
      if (pattern.Next()) plot(x, y);
    });
}

}  // namespace gui
