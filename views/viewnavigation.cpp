#include "viewnavigation.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

TPlotView FitView(TPlotView v, int32_t total) {
  if (v.ViewWidth > total) v.ViewWidth = std::max(total, 0);
  if (v.ViewStart + static_cast<int64_t>(v.ViewWidth) > total) v.ViewStart = total - v.ViewWidth;
  if (v.ViewStart < 0) v.ViewStart = 0;
  return v;
}

TPlotView ZoomXIn(TPlotView v, int32_t total, int32_t minWidth) {
  const int32_t quarter = v.ViewWidth / 4;
  int32_t w = v.ViewWidth / 2;
  if (w < minWidth)
    w = minWidth;
  else
    v.ViewStart += quarter;
  v.ViewWidth = w;
  return FitView(v, total);
}

TPlotView ZoomXOut(TPlotView v, int32_t total) {
  int64_t start = v.ViewStart - v.ViewWidth / 2;
  int64_t w = 2 * static_cast<int64_t>(v.ViewWidth);
  if (start < 0) start = 0;
  if (start + w > total) start = total - w;
  if (total < w) {
    w = total;
    start = 0;
  }
  v.ViewStart = static_cast<int32_t>(start);
  v.ViewWidth = static_cast<int32_t>(std::max<int64_t>(w, 0));
  return v;
}

std::optional<TPlotView> ZoomToCursors(TPlotView v, int32_t cursorX, int32_t cursorY, int32_t total,
                                       int32_t minWidth) {
  if (cursorX == cursorY) return std::nullopt;
  const int32_t d = std::abs(cursorY - cursorX);
  const int32_t w = std::max(static_cast<int32_t>(std::trunc(1.05 * d)), minWidth);
  // 1.05 x the distance may reach the whole; the view stays inside it.
  if (w >= total) return TPlotView{0, std::max(total, 0), v.OffsetY, v.SpanY};
  int32_t start = std::max(std::min(cursorX, cursorY) - (w / 2 - d / 2), 0);
  if (start + static_cast<int64_t>(w) > total) start = total - w - 1;
  v.ViewWidth = w;
  v.ViewStart = start;
  return v;
}

int32_t CentredStart(int32_t p, int32_t width, int32_t length) {
  int32_t start = std::max(p - width / 2, 0);
  if (start + static_cast<int64_t>(width) > length) start = length - width;
  return std::max(start, 0);
}

int32_t PannedStart(int32_t dragStart, int anchorX, int x, double pxPerIndex, int32_t width, int32_t length) {
  if (!(pxPerIndex > 0) || !std::isfinite(pxPerIndex)) return dragStart;
  const double moved = std::trunc(dragStart + (anchorX - x) / pxPerIndex);
  int32_t start = static_cast<int32_t>(std::clamp(moved, 0.0, static_cast<double>(std::max(length, 0))));
  if (start + static_cast<int64_t>(width) > length) start = length - width;
  return std::max(start, 0);
}
