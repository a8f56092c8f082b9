#pragma once
// View arithmetic of the oscilloscope: horizontal and vertical zoom, zoom
// onto the cursors, going to a cursor, panning, and the scroll bar's range.
// Integer divisions truncate toward zero, as the window's commands do. Each
// function returns the new view; the window stores it and redraws.

#include <cstdint>
#include <optional>

struct TTimeView {
  int32_t Start = 0;  // first sample shown
  int32_t Width = 0;  // samples across the plot
  int32_t SpanY = 0;  // counts across the plot height
  friend bool operator==(const TTimeView&, const TTimeView&) = default;
};

// The narrowest horizontal view, when the record has that many samples.
constexpr int32_t MinTimeViewWidth = 50;

// The view fitted to a record of `total` samples: no wider than it and
// starting inside it (a view of an earlier, longer record shrinks).
TTimeView FitTimeView(TTimeView v, int32_t total);
// Half the width around the middle, at least 50 samples (then the start
// stays). Never wider than the record.
TTimeView TimeZoomIn(TTimeView v, int32_t total);
// Twice the width around the middle, kept inside the record.
TTimeView TimeZoomOut(TTimeView v, int32_t total);
// The whole record at a span of 2 x full scale.
TTimeView TimeZoomAll(TTimeView v, int32_t total, int32_t fullScale);
// 1.05 x the cursors' distance (at least 50) centred on them; none when the
// cursors stand on one sample. Against the record's end the view starts one
// sample further left than zoom out's; a view reaching the record's length
// shows the whole record.
std::optional<TTimeView> TimeZoomToCursors(TTimeView v, int32_t cursorX, int32_t cursorY, int32_t total);
// Half the span, not below full scale / 4; twice the span, not above
// 4 x full scale.
TTimeView TimeZoomInY(TTimeView v, int32_t fullScale);
TTimeView TimeZoomOutY(TTimeView v, int32_t fullScale);
// The start that centres sample p in a view of the width, kept inside a
// record of `length` samples.
int32_t CentredStart(int32_t p, int32_t width, int32_t length);
// The start after dragging from anchorX to x at pxPerSample, kept inside the
// record; the drag's start when there is no pixel scale.
int32_t PannedStart(int32_t dragStart, int anchorX, int x, double pxPerSample, int32_t width, int32_t length);

// How a scroll bar is set for a view: enabled exactly when the view is
// narrower than the whole; the range and position only while enabled.
struct TScrollSetting {
  bool Enabled = false;
  int Min = 0;
  int Max = 0;
  int Position = 0;
};
// Oscilloscope: Max is total - width - 1, so the record's last sample shows
// only while the view spans the whole record.
TScrollSetting TimeScrollSetting(int32_t total, int32_t width, int32_t start);
