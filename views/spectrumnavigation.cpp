#include "spectrumnavigation.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

TSpectrumView Fit(TSpectrumView v, int32_t totalBins) {
  if (v.ViewWidth > totalBins) v.ViewWidth = std::max(totalBins, 0);
  if (v.ViewStart + static_cast<int64_t>(v.ViewWidth) > totalBins) v.ViewStart = totalBins - v.ViewWidth;
  if (v.ViewStart < 0) v.ViewStart = 0;
  return v;
}

}  // namespace

TSpectrumView SpectrumZoomXIn(TSpectrumView v, int32_t totalBins) {
  const int32_t quarter = v.ViewWidth / 4;
  int32_t w = v.ViewWidth / 2;
  if (w < MinSpectrumViewWidth)
    w = MinSpectrumViewWidth;
  else
    v.ViewStart += quarter;
  v.ViewWidth = w;
  return Fit(v, totalBins);
}

TSpectrumView SpectrumZoomXOut(TSpectrumView v, int32_t totalBins) {
  int64_t start = v.ViewStart - v.ViewWidth / 2;
  int64_t w = 2 * static_cast<int64_t>(v.ViewWidth);
  if (start < 0) start = 0;
  if (start + w > totalBins) start = totalBins - w;
  if (totalBins < w) {
    w = totalBins;
    start = 0;
  }
  v.ViewStart = static_cast<int32_t>(start);
  v.ViewWidth = static_cast<int32_t>(std::max<int64_t>(w, 0));
  return v;
}

std::optional<TSpectrumView> SpectrumZoomYIn(TSpectrumView v, double refSpan) {
  const int32_t half = v.SpanY / 2;
  if (refSpan / 8192 > half) return std::nullopt;
  v.SpanY = half;
  return v;
}

std::optional<TSpectrumView> SpectrumZoomYOut(TSpectrumView v, double refSpan) {
  const int64_t doubled = 2 * static_cast<int64_t>(v.SpanY);
  if (2 * refSpan < static_cast<double>(doubled)) return std::nullopt;
  v.SpanY = static_cast<int32_t>(doubled);
  return v;
}

std::optional<TSpectrumView> SpectrumZoomToCursors(TSpectrumView v, int32_t cursorX, int32_t cursorY,
                                                   int32_t totalBins) {
  if (cursorX == cursorY) return std::nullopt;
  const int32_t d = std::abs(cursorY - cursorX);
  const int32_t w = std::max(static_cast<int32_t>(std::trunc(1.05 * d)), MinSpectrumViewWidth);
  int32_t start = std::max(std::min(cursorX, cursorY) - (w / 2 - d / 2), 0);
  if (start + static_cast<int64_t>(w) > totalBins) start = totalBins - w - 1;
  v.ViewWidth = w;
  v.ViewStart = start;
  // 1.05 x the distance may reach the spectrum's width; the view stays inside.
  return w >= totalBins ? TSpectrumView{0, std::max(totalBins, 0), v.OffsetY, v.SpanY} : Fit(v, totalBins);
}

TSpectrumView SpectrumZoomToT(TSpectrumView v, int32_t cursorT, int32_t totalBins) {
  v.ViewWidth = std::max(v.ViewWidth / 10, MinSpectrumViewWidth);
  v.ViewStart = std::max(cursorT - v.ViewWidth / 2, 0);
  if (v.ViewStart + static_cast<int64_t>(v.ViewWidth) > totalBins) v.ViewStart = totalBins - v.ViewWidth;
  return Fit(v, totalBins);
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
