#include "storedscale.h"

#include <array>
#include <cmath>
#include <complex>

#include "conditionlimits.h"
#include "syncvector.h"

namespace {

using conditionlimits::TModelScale;

// Within a fifth, on either side.
const double Tolerance = std::log(1.2);

// Millivolts per count of one channel: its stored amplitude over the 1x
// peak of its own samples in counts; nothing without either.
std::optional<double> MillivoltsPerCount(const CaptureRecord& r, const std::vector<int32_t>& data, double storedMv) {
  if (r.T <= 0 || r.Start < 0 || r.Start >= r.End || data.size() < static_cast<size_t>(r.End)) return std::nullopt;
  const double counts = 2 * std::abs(SyncBin(data.data() + r.Start, r.End - r.Start, r.T));
  if (!(counts > 0) || !(storedMv > 0) || !std::isfinite(storedMv)) return std::nullopt;
  return storedMv / counts;
}

// The model's range nearest to `mvPerCount` and how far off it lies (the
// log of the ratio); the range at `gain` when there is nothing to match.
struct TRangeFit {
  int32_t Range = 0;
  double Distance = 0;
};

TRangeFit FitRange(const TModelScale& model, std::optional<double> mvPerCount, int32_t gain) {
  if (!mvPerCount) return {model.RangesMv[static_cast<size_t>(gain >= 0 && gain < 3 ? gain : 0)], 0};
  TRangeFit best{0, INFINITY};
  for (const int32_t range : model.RangesMv) {
    const double distance = std::fabs(std::log(*mvPerCount * model.FullScale / range));
    if (distance < best.Distance) best = {range, distance};
  }
  return best;
}

}  // namespace

TScaleSearch ScaleOfStoredAmplitudes(const CaptureRecord& record, const TVector4& stored, bool twoChannels,
                                     int32_t gainA, int32_t gainB) {
  const std::optional<double> a = MillivoltsPerCount(record, record.DataA, stored.AmplA);
  const std::optional<double> b =
      twoChannels ? MillivoltsPerCount(record, record.DataB, stored.AmplB) : std::optional<double>();
  TScaleSearch search;
  search.Compared = a || b;
  if (!search.Compared) return search;
  double nearest = INFINITY;
  for (const TModelScale& model : conditionlimits::ModelScales) {
    const TRangeFit fitA = FitRange(model, a, gainA);
    const TRangeFit fitB = FitRange(model, b, gainB);
    if (fitA.Distance > Tolerance || fitB.Distance > Tolerance || fitA.Distance + fitB.Distance >= nearest) continue;
    nearest = fitA.Distance + fitB.Distance;
    search.Scale = TFoundScale{model.FullScale, fitA.Range, fitB.Range};
  }
  return search;
}
