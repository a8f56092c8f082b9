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
