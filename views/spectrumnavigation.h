#pragma once
// View arithmetic of the spectrum window where it differs from the
// oscilloscope's (viewnavigation.h): the narrowest view, the vertical zoom
// against the reference span, going to cursor T with zoom, and the two
// scroll bars' ranges. Views are in bins (horizontal) and plot units
// (vertical).

#include <cstdint>
#include <optional>

#include "viewnavigation.h"

// The narrowest horizontal view, when the spectrum has that many bins.
constexpr int32_t MinSpectrumViewWidth = 20;

// Half or twice the span; none below refSpan / 8192 or above 2 x refSpan.
std::optional<TPlotView> SpectrumZoomYIn(TPlotView v, double refSpan);
std::optional<TPlotView> SpectrumZoomYOut(TPlotView v, double refSpan);
// A tenth of the width (at least 20 bins) around cursor T.
TPlotView SpectrumZoomToT(TPlotView v, int32_t cursorT, int32_t totalBins);

// Horizontal bar: range 0 to bins - width, enabled while the view is
// narrower than a spectrum that has bins.
TScrollSetting SpectrumScrollX(int32_t totalBins, int32_t width, int32_t start);
// Vertical bar: the offset; on a linear axis from trunc(-refSpan) to 0, on
// the decibel axis from 0 to 100. Always enabled.
TScrollSetting SpectrumScrollY(bool linear, double refSpan, int32_t offsetY);
