#pragma once
// View arithmetic of the spectrum window: horizontal and vertical zoom, zoom
// onto the cursors, going to a cursor, going to cursor T with zoom, panning
// and the two scroll bars' ranges. Views are in bins (horizontal) and plot
// units (vertical); integer divisions truncate toward zero.

#include <cstdint>
#include <optional>

#include "timenavigation.h"

struct TSpectrumView {
  int32_t ViewStart = 0;
  int32_t ViewWidth = 0;
  int32_t OffsetY = 0;
  int32_t SpanY = 0;
  friend bool operator==(const TSpectrumView&, const TSpectrumView&) = default;
};

// The narrowest horizontal view, when the spectrum has that many bins.
constexpr int32_t MinSpectrumViewWidth = 20;

// Half the width around the middle, at least 20 bins (then the start stays).
TSpectrumView SpectrumZoomXIn(TSpectrumView v, int32_t totalBins);
// Twice the width around the middle, kept inside the spectrum.
TSpectrumView SpectrumZoomXOut(TSpectrumView v, int32_t totalBins);
// Half or twice the span; none below refSpan / 8192 or above 2 x refSpan.
std::optional<TSpectrumView> SpectrumZoomYIn(TSpectrumView v, double refSpan);
std::optional<TSpectrumView> SpectrumZoomYOut(TSpectrumView v, double refSpan);
// 1.05 x the cursors' distance (at least 20 bins); none when both cursors
// stand on one bin. The view stays inside the spectrum: one reaching its
// width shows the whole spectrum.
std::optional<TSpectrumView> SpectrumZoomToCursors(TSpectrumView v, int32_t cursorX, int32_t cursorY,
                                                   int32_t totalBins);
// A tenth of the width (at least 20 bins) around cursor T.
TSpectrumView SpectrumZoomToT(TSpectrumView v, int32_t cursorT, int32_t totalBins);

// Horizontal bar: range 0 to bins - width, enabled while the view is
// narrower than a spectrum that has bins.
TScrollSetting SpectrumScrollX(int32_t totalBins, int32_t width, int32_t start);
// Vertical bar: the offset; on a linear axis from trunc(-refSpan) to 0, on
// the decibel axis from 0 to 100. Always enabled.
TScrollSetting SpectrumScrollY(bool linear, double refSpan, int32_t offsetY);
