#include "timenavigation.h"

#include <algorithm>

TPlotView TimeZoomAll(TPlotView v, int32_t total, int32_t fullScale) {
  v.ViewWidth = total;
  v.ViewStart = 0;
  v.SpanY = 2 * fullScale;
  return v;
}

TPlotView TimeZoomInY(TPlotView v, int32_t fullScale) {
  v.SpanY = std::max(v.SpanY / 2, fullScale / 4);
  return v;
}

TPlotView TimeZoomOutY(TPlotView v, int32_t fullScale) {
  const int64_t doubled = 2 * static_cast<int64_t>(v.SpanY);
  v.SpanY = static_cast<int32_t>(std::min<int64_t>(doubled, 4 * static_cast<int64_t>(fullScale)));
  return v;
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
