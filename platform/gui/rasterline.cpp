#include "rasterline.h"

namespace gui {

std::vector<TPoint> LinePixels(TPoint from, TPoint to) {
  std::vector<TPoint> pixels;
  WalkLine(from, to, [&](int x, int y) { pixels.push_back({x, y}); });
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
  WalkPolyline(points, style, [&](int x, int y) { drawn.push_back({x, y}); });
  return drawn;
}

}  // namespace gui
