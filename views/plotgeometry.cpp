#include "plotgeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <utility>

#include "plotscale.h"

TPlotAreas PlotAreas(int width, int height, const TPlotMargins& m) {
  const int left = m.Left, top = m.Top, right = width - m.Right, bottom = height - m.Bottom;
  TPlotAreas a;
  a.Plot = gui::Rect(left, top, right, bottom);
  a.TopBand = gui::Rect(left, 0, right, top);
  a.BottomBand = gui::Rect(left, bottom, right, height);
  a.LeftBand = gui::Rect(0, top, left, bottom);
  a.RightBand = gui::Rect(right, top, width, bottom);
  a.TopLeft = gui::Rect(0, 0, left, top);
  a.TopRight = gui::Rect(right, 0, width, top);
  a.BottomLeft = gui::Rect(0, bottom, left, height);
  a.BottomRight = gui::Rect(right, bottom, width, height);
  return a;
}

int IndexX(int left, int32_t index, int32_t viewStart, double pxPerIndex) {
  return left + RoundHalfUp((static_cast<double>(index) - viewStart) * pxPerIndex);
}

bool NearCursorMark(int x, const TPlotMargins& m, int32_t index, int32_t viewStart, double pxPerIndex) {
  return std::abs(static_cast<int64_t>(x) - IndexX(m.Left, index, viewStart, pxPerIndex)) < 5;
}

bool InFrontCorner(int x, int y, int height, const TPlotMargins& m) { return x <= m.Left && y >= height - m.Bottom; }

bool InPlotArea(int x, int y, int width, int height, const TPlotMargins& m) {
  return m.Left < x && x < width - m.Right && m.Top <= y && y < height - m.Bottom;
}

int32_t IndexAt(int plotX, double pxPerIndex, int32_t viewStart, int32_t total) {
  if (pxPerIndex == 0 || !std::isfinite(pxPerIndex)) return -1;
  const int64_t index = static_cast<int64_t>(RoundHalfUp(plotX / pxPerIndex)) + viewStart;
  return index >= total || index < 0 ? -1 : static_cast<int32_t>(index);
}

namespace {

bool Inside(const gui::TPoint& p, const gui::TRect& r) {
  return p.x >= r.Left && p.x <= r.Right && p.y >= r.Top && p.y <= r.Bottom;
}

// Liang-Barsky: the part of a-b inside r, none when it misses r.
std::optional<std::pair<gui::TPoint, gui::TPoint>> ClipSegment(gui::TPoint a, gui::TPoint b, const gui::TRect& r) {
  const double dx = static_cast<double>(b.x) - a.x, dy = static_cast<double>(b.y) - a.y;
  double t0 = 0, t1 = 1;
  const auto edge = [&](double p, double q) {
    if (p == 0) return q >= 0;
    const double t = q / p;
    if (p < 0) {
      if (t > t1) return false;
      t0 = std::max(t0, t);
    } else {
      if (t < t0) return false;
      t1 = std::min(t1, t);
    }
    return true;
  };
  if (!edge(-dx, a.x - static_cast<double>(r.Left)) || !edge(dx, static_cast<double>(r.Right) - a.x) ||
      !edge(-dy, a.y - static_cast<double>(r.Top)) || !edge(dy, static_cast<double>(r.Bottom) - a.y))
    return std::nullopt;
  const auto at = [&](double t) { return gui::TPoint{RoundHalfUp(a.x + t * dx), RoundHalfUp(a.y + t * dy)}; };
  return std::make_pair(t0 == 0 ? a : at(t0), t1 == 1 ? b : at(t1));
}

}  // namespace

void ForEachClippedRun(const std::vector<gui::TPoint>& points, const gui::TRect& clip,
                       const std::function<void(const std::vector<gui::TPoint>&)>& draw) {
  std::vector<gui::TPoint> run;
  const auto flush = [&] {
    if (run.size() > 1) draw(run);
    run.clear();
  };
  for (size_t i = 1; i < points.size(); ++i) {
    const gui::TPoint& a = points[i - 1];
    const gui::TPoint& b = points[i];
    if (Inside(a, clip) && Inside(b, clip)) {
      if (run.empty()) run.push_back(a);
      run.push_back(b);
      continue;
    }
    const auto part = ClipSegment(a, b, clip);
    if (!part) {
      flush();
      continue;
    }
    if (run.empty() || !(run.back() == part->first)) {
      flush();
      run.push_back(part->first);
    }
    run.push_back(part->second);
    if (!(part->second == b)) flush();
  }
  flush();
}

std::vector<gui::TPoint> CollapseColumns(const std::vector<gui::TPoint>& points) {
  std::vector<gui::TPoint> result;
  result.reserve(std::min<size_t>(points.size(), 4096));
  size_t i = 0;
  while (i < points.size()) {
    size_t end = i + 1;
    int low = points[i].y, high = points[i].y;
    while (end < points.size() && points[end].x == points[i].x) {
      low = std::min(low, points[end].y);
      high = std::max(high, points[end].y);
      ++end;
    }
    const int x = points[i].x;
    result.push_back(points[i]);
    if (end - i > 2) {
      result.push_back({x, low});
      result.push_back({x, high});
    }
    if (end - i > 1) result.push_back(points[end - 1]);
    i = end;
  }
  return result;
}

int UnitBoxBottom(int bandTop, int textHeight, bool thousands) {
  return bandTop + (thousands ? 2 : 1) * textHeight + 5;
}

bool LabelClearsUnit(const gui::TRect& labelBox, int unitBottom) { return labelBox.Top >= unitBottom; }

int CentredLabelX(int x, int width, int left, int right) {
  const int half = width / 2;
  if (x - half < left) return left + half;
  if (x - half + width > right) return right - width + half;
  return x;
}
