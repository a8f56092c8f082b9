#include "gwbmethod.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "balancing.h"

namespace {

using Vector = std::complex<double>;

constexpr double Pi = std::numbers::pi;
// Two unit vectors reach at most this far together.
constexpr double PairReach = 2.0;

bool IsZero(Vector v) { return std::abs(v) == 0; }

// An argument is undefined for NaN or infinite parts; such a vector stands
// for no position, as a zero one does.
Vector Finite(Vector v) { return std::isfinite(v.real()) && std::isfinite(v.imag()) ? v : Vector{}; }

Vector Unit(double angle) { return Finite({std::cos(angle), std::sin(angle)}); }

// Not std::polar: a damaged session may hold a negative mass, which it
// leaves unspecified.
Vector Polar(double radius, double angle) { return Finite({radius * std::cos(angle), radius * std::sin(angle)}); }

// Two unit vectors at arg z -+ acos(|z| / 2) add up to z while z is at most
// two long; a longer z puts both on its direction (the closest they get).
std::pair<Vector, Vector> WeightPair(Vector z) {
  if (IsZero(z)) return {};
  const double phi = std::acos(std::min(std::abs(z), PairReach) * 0.5);
  return {Unit(AngleDiff(std::arg(z), phi)), Unit(AngleSum(std::arg(z), phi))};
}

// A run's one-plane correction as a resultant of weights: the correction
// mass is counted in trial unbalances S, and its angle against S's
// direction, turned by half a turn because the weights must cancel it.
Vector Resultant(Vector trialUnbalance, const TCorrection& correction) {
  double theta = IsZero(trialUnbalance) ? 0.0 : AngleSum(std::arg(trialUnbalance), correction.AngleA);
  theta = AngleDiff(theta, Pi);
  return Polar(std::abs(trialUnbalance) * correction.MassA, theta);
}

// Weights A, B and C of a record for its resultant; with three weights
// weight A is given and B and C make up the rest.
void PlaceWeights(TGwbRecord& record, uint8_t mode, Vector weightA) {
  const Vector v = record[GwbResultant];
  if (mode == GwbTwoWeights) {
    const auto [a, b] = WeightPair(v);
    record[GwbWeightA] = a;
    record[GwbWeightB] = b;
    record[GwbWeightC] = {};
  } else if (mode == GwbThreeWeights) {
    const auto [b, c] = WeightPair(v - weightA);
    record[GwbWeightA] = weightA;
    record[GwbWeightB] = b;
    record[GwbWeightC] = c;
  } else {
    record[GwbWeightA] = record[GwbWeightB] = record[GwbWeightC] = {};
  }
}

Vector DirectionOf(Vector v) { return IsZero(v) ? Vector{} : Unit(std::arg(v)); }

// Runs 0 and 1: the weights spread evenly, then weight A moved to the shift
// angle for the trial run.
void InitialAndTrialRecords(std::span<TGwbRecord, RunCount> records, uint8_t mode, double shiftDegrees) {
  if (mode != GwbTwoWeights && mode != GwbThreeWeights) return;
  const bool three = mode == GwbThreeWeights;
  const Vector b = Unit(DegToRad(three ? 120.0 : 180.0));
  const Vector c = three ? Unit(DegToRad(240.0)) : Vector{};
  records[RunInitial] = {Vector{1.0, 0.0}, b, c, Vector{}};
  // Without a usable shift there is neither a position for weight A nor a
  // trial unbalance.
  const double shift = DegToRad(shiftDegrees);
  const Vector a = {std::cos(shift), std::sin(shift)};
  records[RunTrialA] = {Finite(a), b, c, Finite((a + b) + c)};
}

}  // namespace

void ComputeGwbRecords(std::span<TGwbRecord, RunCount> records, int32_t step, uint8_t mode, double shiftDegrees,
                       std::span<const MeasurementResult, RunCount> results) {
  if (step < 0 || step >= RunCount) return;
  if (step < RunCorrection) {
    InitialAndTrialRecords(records, mode, shiftDegrees);
    return;
  }
  const Vector trialUnbalance = records[RunTrialA][GwbResultant];
  TGwbRecord& record = records[static_cast<size_t>(step)];
  Vector v = Resultant(trialUnbalance, results[static_cast<size_t>(step)].Result);
  Vector weightA = DirectionOf(v);
  // A trim run adds the correction still needed to the one the weights
  // already make up since run 3; weight A stays where it was.
  if (step > RunCorrection) {
    v = Finite(v + records[RunCorrection][GwbResultant]);
    weightA = DirectionOf(records[static_cast<size_t>(step) - 1][GwbWeightA]);
  }
  record[GwbResultant] = v;
  PlaceWeights(record, mode, weightA);
}

std::array<TGwbRecord, RunCount> DeriveGwbRecords(uint8_t mode, double shiftDegrees,
                                                  std::span<const MeasurementResult, RunCount> results) {
  std::array<TGwbRecord, RunCount> records{};
  ComputeGwbRecords(records, RunInitial, mode, shiftDegrees, results);
  for (int32_t run = RunCorrection; run < RunCount; ++run) ComputeGwbRecords(records, run, mode, shiftDegrees, results);
  return records;
}
