#include "decimation.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "plotscale.h"

namespace {

int32_t Counts(float v) {
  constexpr double Low = std::numeric_limits<int32_t>::min();
  constexpr double High = std::numeric_limits<int32_t>::max();
  if (std::isnan(v)) return 0;
  return static_cast<int32_t>(std::clamp(std::trunc(static_cast<double>(v)), Low, High));
}

int64_t Clamp(int64_t v, int64_t low, int64_t high) { return std::min(std::max(v, low), high); }

}  // namespace

std::vector<TColumnExtent> DecimateColumns(const float* data, int32_t total, int32_t viewStart, int32_t viewWidth,
                                           int32_t columns) {
  std::vector<TColumnExtent> result;
  if (!data || total <= 0 || viewWidth <= 0 || columns <= 0) return result;
  result.resize(static_cast<size_t>(columns));
  const double perColumn = static_cast<double>(viewWidth) / columns;
  int64_t from = Clamp(RoundHalfUp(viewStart), 0, total);
  for (int32_t c = 0; c < columns; ++c) {
    const int64_t to = Clamp(RoundHalfUp(viewStart + (c + 1) * perColumn), 0, total);
    if (to > from) {
      const auto [low, high] = std::minmax_element(data + from, data + to);
      result[static_cast<size_t>(c)] = {Counts(*low), Counts(*high), false};
    }
    from = std::max(from, to);
  }
  return result;
}

namespace {

int32_t ColumnOf(int64_t i, double pxPerIndex) { return RoundHalfUp(static_cast<double>(i) * pxPerIndex); }

// The first index after `from` (at most end) whose column is not x: guessed
// from where the rounding reaches the next column, then moved to the exact
// boundary.
int64_t NextColumn(int64_t from, int64_t end, int32_t x, double pxPerIndex) {
  const double edge = (x + (pxPerIndex > 0 ? 0.5 : -0.5)) / pxPerIndex;
  int64_t next = end;
  if (std::isfinite(edge))
    next = static_cast<int64_t>(std::clamp(std::ceil(edge), static_cast<double>(from + 1), static_cast<double>(end)));
  while (next > from + 1 && ColumnOf(next - 1, pxPerIndex) != x) --next;
  while (next < end && ColumnOf(next, pxPerIndex) == x) ++next;
  return next;
}

}  // namespace

std::vector<TColumnRun> ColumnRuns(int64_t first, int64_t end, double pxPerIndex) {
  std::vector<TColumnRun> runs;
  for (int64_t i = first; i < end;) {
    const int32_t x = ColumnOf(i, pxPerIndex);
    const int64_t next = NextColumn(i, end, x, pxPerIndex);
    runs.push_back({x, i, next});
    i = next;
  }
  return runs;
}
