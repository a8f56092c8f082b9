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

// The drawn pixels of a polyline through `points` with a pen of `style`:
// each segment leaves out its end point (so the last point of the polyline
// is not drawn) and the pattern runs on from segment to segment.
std::vector<TPoint> PolylinePixels(const std::vector<TPoint>& points, TPenStyle style);

}  // namespace gui
