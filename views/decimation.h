#pragma once
// Reduction of a trace with many samples per pixel to one stroke per pixel
// column: the lowest and highest sample of the samples the column covers.
// Columns cover the view without gap or overlap, so no sample (and no
// one-sample spike) is left out between two columns. For the spectrum, whose
// bins stand at rounded positions, the runs of bins that share a column.

#include <cstdint>
#include <vector>

struct TColumnExtent {
  int32_t Min = 0;  // ADC counts, truncated toward zero
  int32_t Max = 0;
  bool Empty = true;  // no sample of the record falls in the column
};

// Column c covers the samples RoundHalfUp(viewStart + c x viewWidth /
// columns) up to, not including, that of column c + 1, within
// 0..total - 1. Empty without columns or samples.
std::vector<TColumnExtent> DecimateColumns(const float* data, int32_t total, int32_t viewStart, int32_t viewWidth,
                                           int32_t columns);

// Indices first ... end - 1 stand at x = RoundHalfUp(i x pxPerIndex), which
// never turns back as i grows, so the indices of one pixel column follow each
// other. Each run holds the indices of one column, in order. The boundaries
// are found from the pixel scale and checked with the exact rounding, so the
// cost follows the number of columns, not of indices.
struct TColumnRun {
  int32_t X = 0;  // RoundHalfUp(i x pxPerIndex) of every index of the run
  int64_t First = 0, End = 0;
};
std::vector<TColumnRun> ColumnRuns(int64_t first, int64_t end, double pxPerIndex);
