#include "timenavigation.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

TTimeView FitTimeView(TTimeView v, int32_t total) {
  if (v.Width > total) v.Width = std::max(total, 0);
  if (v.Start + static_cast<int64_t>(v.Width) > total) v.Start = total - v.Width;
  if (v.Start < 0) v.Start = 0;
  return v;
}

TTimeView TimeZoomIn(TTimeView v, int32_t total) {
  const int32_t quarter = v.Width / 4;
  int32_t w = v.Width / 2;
  if (w >= MinTimeViewWidth)
    v.Start += quarter;
  else
    w = MinTimeViewWidth;
  v.Width = w;
  return FitTimeView(v, total);
}

TTimeView TimeZoomOut(TTimeView v, int32_t total) {
  v.Start -= v.Width / 2;
  const int64_t doubled = 2 * static_cast<int64_t>(v.Width);
  int32_t w = doubled > total ? total : static_cast<int32_t>(doubled);
  v.Start = std::max(v.Start, 0);
  if (v.Start + doubled > total) v.Start = static_cast<int32_t>(total - doubled);
  if (doubled > total) v.Start = 0;
  v.Width = std::max(w, 0);
  return v;
}

TTimeView TimeZoomAll(TTimeView v, int32_t total, int32_t fullScale) {
  v.Width = total;
  v.Start = 0;
  v.SpanY = 2 * fullScale;
  return v;
}

std::optional<TTimeView> TimeZoomToCursors(TTimeView v, int32_t cursorX, int32_t cursorY, int32_t total) {
  if (cursorX == cursorY) return std::nullopt;
  const int32_t d = std::abs(cursorY - cursorX);
  int32_t w = std::max(static_cast<int32_t>(std::trunc(d * 1.05)), MinTimeViewWidth);
  int32_t start = std::min(cursorX, cursorY) - (w / 2 - d / 2);
  start = std::max(start, 0);
  if (start + static_cast<int64_t>(w) > total) start = total - w - 1;
  if (w >= total) {
    w = total;
    start = 0;
  }
  v.Start = start;
  v.Width = w;
  return v;
}

TTimeView TimeZoomInY(TTimeView v, int32_t fullScale) {
  v.SpanY = std::max(v.SpanY / 2, fullScale / 4);
  return v;
}

TTimeView TimeZoomOutY(TTimeView v, int32_t fullScale) {
  const int64_t doubled = 2 * static_cast<int64_t>(v.SpanY);
  v.SpanY = static_cast<int32_t>(std::min<int64_t>(doubled, 4 * static_cast<int64_t>(fullScale)));
  return v;
}

int32_t CentredStart(int32_t p, int32_t width, int32_t length) {
  int32_t start = std::max(p - width / 2, 0);
  if (start + static_cast<int64_t>(width) > length) start = length - width;
  return std::max(start, 0);
}

int32_t PannedStart(int32_t dragStart, int anchorX, int x, double pxPerSample, int32_t width, int32_t length) {
  if (!(pxPerSample > 0) || !std::isfinite(pxPerSample)) return dragStart;
  const double moved = std::trunc(dragStart + (anchorX - x) / pxPerSample);
  int32_t start = static_cast<int32_t>(std::clamp(moved, 0.0, static_cast<double>(std::max(length, 0))));
  if (start + static_cast<int64_t>(width) > length) start = length - width;
  return std::max(start, 0);
}

TScrollSetting TimeScrollSetting(int32_t total, int32_t width, int32_t start) {
  TScrollSetting s;
  // A view wider than the record has no range to scroll in.
  s.Enabled = width < total;
  if (!s.Enabled) return s;
  s.Max = total - width - 1;
  s.Position = start;
  return s;
}
