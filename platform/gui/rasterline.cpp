#include "rasterline.h"

#include <algorithm>
#include <cstdlib>

namespace gui {

std::vector<TPoint> LinePixels(TPoint from, TPoint to) {
  std::vector<TPoint> pixels;
  const int dx = std::abs(to.x - from.x);
  const int dy = std::abs(to.y - from.y);
  const int sx = from.x < to.x ? 1 : -1;
  const int sy = from.y < to.y ? 1 : -1;
  pixels.reserve(static_cast<size_t>(std::max(dx, dy)));
  int x = from.x;
  int y = from.y;
  int err = dx - dy;
  while (x != to.x || y != to.y) {
    pixels.push_back({x, y});
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
  return pixels;
}

TDashPattern::TDashPattern(TPenStyle style) {
  switch (style) {
    case psDash: FRuns = {18, 6}; break;
    case psDot: FRuns = {3, 3}; break;
    case psDashDot: FRuns = {9, 6, 3, 6}; break;
    case psDashDotDot: FRuns = {9, 3, 3, 3, 3, 3}; break;
    default: break;
  }
  Reset();
}

void TDashPattern::Reset() {
  FIndex = 0;
  FLeft = FRuns.empty() ? 0 : FRuns[0];
}

bool TDashPattern::Next() {
  if (FRuns.empty()) return true;
  const bool on = (FIndex % 2) == 0;
  if (--FLeft == 0) {
    FIndex = (FIndex + 1) % FRuns.size();
    FLeft = FRuns[FIndex];
  }
  return on;
}

std::vector<TPoint> PolylinePixels(const std::vector<TPoint>& points, TPenStyle style) {
  std::vector<TPoint> drawn;
  if (style == psClear) return drawn;
  TDashPattern pattern(style);
  for (size_t i = 1; i < points.size(); ++i) {
    for (const TPoint& p : LinePixels(points[i - 1], points[i]))
      if (pattern.Next()) drawn.push_back(p);
  }
  return drawn;
}

}  // namespace gui
