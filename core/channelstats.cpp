#include "channelstats.h"

#include <algorithm>
#include <cmath>

TChannelStats CalcChannelStats(const int32_t* x, int32_t n, double fullScale) {
  TChannelStats s;
  if (n < 1 || !x) return s;
  const double limit = kOverloadLevel * fullScale;
  double sum = 0, squares = 0, lo = fullScale, hi = -fullScale;
  bool overload = false;
  for (int32_t k = 0; k < n; ++k) {
    const double v = x[k];
    overload |= std::fabs(v) > limit;
    sum += v;
    squares += v * v;
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
  s.Mean = sum / n;
  s.Rms = std::sqrt(squares / n);
  s.Min = lo;
  s.Max = hi;
  s.Overload = overload;
  return s;
}

TSampleSpan StatisticsSpan(const CaptureRecord* run, int32_t buffLength) {
  if (!run) return {0, std::max(buffLength, 0)};
  if (run->Start < 0 || run->Start >= run->End || run->End > buffLength) return {};
  return {run->Start, run->End};
}

std::optional<TChannelStats> SpanStats(const std::vector<int32_t>& samples, TSampleSpan span, double fullScale) {
  if (span.Start < 0 || span.Start >= span.End || samples.size() < static_cast<size_t>(span.End)) return std::nullopt;
  return CalcChannelStats(samples.data() + span.Start, span.End - span.Start, fullScale);
}
