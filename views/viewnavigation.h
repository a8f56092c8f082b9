#pragma once
// View arithmetic both plot windows share: the view of a record or a
// spectrum, the horizontal zoom and its limits, zoom onto the cursors, going
// to a cursor, panning, and how a scroll bar is set. Positions are samples
// in the oscilloscope and bins in the spectrum; integer divisions truncate
// toward zero, as the windows' commands do. Each function returns the new
// view; the window stores it and redraws. What differs between the windows
// (vertical zoom, scroll ranges, the narrowest view) is in timenavigation.h
// and spectrumnavigation.h.

#include <cstdint>
#include <optional>

// A window's view: the first sample or bin shown and how many across the
// plot; the vertical offset and span in plot units.
struct TPlotView {
  int32_t ViewStart = 0;
  int32_t ViewWidth = 0;
  int32_t OffsetY = 0;
  int32_t SpanY = 0;
  friend bool operator==(const TPlotView&, const TPlotView&) = default;
};

// The view fitted to `total` positions: no wider than them and starting
// inside them (a view of an earlier, longer record shrinks).
TPlotView FitView(TPlotView v, int32_t total);
// Half the width around the middle, at least minWidth (then the start
// stays); never wider than the whole.
TPlotView ZoomXIn(TPlotView v, int32_t total, int32_t minWidth);
// Twice the width around the middle, kept inside the whole.
TPlotView ZoomXOut(TPlotView v, int32_t total);
// 1.05 x the cursors' distance (at least minWidth) centred on them; none
// when both cursors stand on one position. Against the end the view ends one
// position before it; a view reaching the whole shows the whole.
std::optional<TPlotView> ZoomToCursors(TPlotView v, int32_t cursorX, int32_t cursorY, int32_t total,
                                       int32_t minWidth);
// The start that centres position p in a view of the width, kept inside
// `length` positions.
int32_t CentredStart(int32_t p, int32_t width, int32_t length);
// The start after dragging from anchorX to x at pxPerIndex, kept inside;
// the drag's start when there is no pixel scale.
int32_t PannedStart(int32_t dragStart, int anchorX, int x, double pxPerIndex, int32_t width, int32_t length);

// How a scroll bar is set for a view: enabled exactly when the view is
// narrower than the whole; the range and position only while enabled.
struct TScrollSetting {
  bool Enabled = false;
  int Min = 0;
  int Max = 0;
  int Position = 0;
};
