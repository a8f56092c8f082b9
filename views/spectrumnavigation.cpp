#include "spectrumnavigation.h"

#include <algorithm>
#include <cmath>

std::optional<TPlotView> SpectrumZoomYIn(TPlotView v, double refSpan) {
  const int32_t half = v.SpanY / 2;
  if (refSpan / 8192 > half) return std::nullopt;
  v.SpanY = half;
  return v;
}

std::optional<TPlotView> SpectrumZoomYOut(TPlotView v, double refSpan) {
  const int64_t doubled = 2 * static_cast<int64_t>(v.SpanY);
  if (2 * refSpan < static_cast<double>(doubled)) return std::nullopt;
  v.SpanY = static_cast<int32_t>(doubled);
  return v;
}

TPlotView SpectrumZoomToT(TPlotView v, int32_t cursorT, int32_t totalBins) {
  v.ViewWidth = std::max(v.ViewWidth / 10, MinSpectrumViewWidth);
  v.ViewStart = std::max(cursorT - v.ViewWidth / 2, 0);
  if (v.ViewStart + static_cast<int64_t>(v.ViewWidth) > totalBins) v.ViewStart = totalBins - v.ViewWidth;
  return FitView(v, totalBins);
}

TScrollSetting SpectrumScrollX(int32_t totalBins, int32_t width, int32_t start) {
  TScrollSetting s;
  s.Enabled = totalBins != 0 && width < totalBins;
  if (!s.Enabled) return s;
  s.Max = totalBins - width;
  s.Position = start;
  return s;
}

TScrollSetting SpectrumScrollY(bool linear, double refSpan, int32_t offsetY) {
  TScrollSetting s;
  s.Enabled = true;
  s.Position = offsetY;
  if (linear) {
    const double low = std::trunc(-refSpan);
    s.Min = std::isfinite(low) ? static_cast<int>(std::clamp(low, -2e9, 0.0)) : 0;
    s.Max = 0;
  } else {
    s.Max = 100;
  }
  return s;
}
