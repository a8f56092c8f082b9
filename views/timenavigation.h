#pragma once
// View arithmetic of the oscilloscope where it differs from the spectrum's
// (viewnavigation.h): the narrowest view, the whole record, the vertical
// zoom between full scale / 4 and 4 x full scale, and the scroll bar's range.

#include <cstdint>

#include "viewnavigation.h"

// The narrowest horizontal view, when the record has that many samples.
constexpr int32_t MinTimeViewWidth = 50;

// The whole record at a span of 2 x full scale.
TPlotView TimeZoomAll(TPlotView v, int32_t total, int32_t fullScale);
// Half the span, not below full scale / 4; twice the span, not above
// 4 x full scale.
TPlotView TimeZoomInY(TPlotView v, int32_t fullScale);
TPlotView TimeZoomOutY(TPlotView v, int32_t fullScale);
// Max is total - width - 1, so the record's last sample shows only while the
// view spans the whole record.
TScrollSetting TimeScrollSetting(int32_t total, int32_t width, int32_t start);
