#include "balancing.h"

#include <cmath>
#include <complex>
#include <numbers>

namespace {

using Vector = std::complex<double>;

constexpr double Pi = std::numbers::pi;
constexpr double TwoPi = 2 * std::numbers::pi;

// ampl * (cos ph + j sin ph). Not std::polar: it leaves a negative amplitude
// unspecified, and a damaged session file may hold one.
Vector Polar(double ampl, double phase) { return {ampl * std::cos(phase), ampl * std::sin(phase)}; }

Vector ChannelA(const TVector4& v) { return Polar(v.AmplA, v.PhA); }
Vector ChannelB(const TVector4& v) { return Polar(v.AmplB, v.PhB); }

bool IsZero(Vector v) { return v.real() == 0 && v.imag() == 0; }
bool IsFinite(Vector v) { return std::isfinite(v.real()) && std::isfinite(v.imag()); }

bool IsFinite(const TCorrection& c) {
  return std::isfinite(c.MassA) && std::isfinite(c.AngleA) && std::isfinite(c.MassB) &&
         std::isfinite(c.AngleB);
}

// The mass goes where it cancels the measured unbalance; the stored angle
// is counted against the phase, hence 2*pi - arg, in (0, 2*pi].
void SetPlane(Vector theta, double& mass, double& angle) {
  mass = std::abs(theta);
  angle = AngleDiff(TwoPi, std::arg(theta));
}

// Rejects anything that would put an infinity or NaN into the records; a
// tiny denominator can overflow the masses even when it is not exactly 0.
std::optional<TCorrection> Checked(const TCorrection& c) {
  if (!IsFinite(c)) return std::nullopt;
  return c;
}

// r = current / (trial - initial) on channel A.
std::optional<Vector> SolveOnePlane(const TVector4& initial, const TVector4& trialA,
                                    const TVector4& current) {
  const Vector influence = ChannelA(trialA) - ChannelA(initial);
  if (IsZero(influence)) return std::nullopt;
  const Vector r = ChannelA(current) / influence;
  if (!IsFinite(r)) return std::nullopt;
  return r;
}

struct PlaneSolution {
  Vector A, B;
};

// Influence coefficients of the trial runs (alphaXY: plane Y's trial mass
// seen in plane X), then Cramer's rule for the current run's vectors.
std::optional<PlaneSolution> SolveTwoPlanes(const TVector4& initial, const TVector4& trialA,
                                            const TVector4& trialB, const TVector4& current) {
  const Vector a0 = ChannelA(initial), b0 = ChannelB(initial);
  const Vector alphaAA = ChannelA(trialA) - a0;
  const Vector alphaAB = ChannelA(trialB) - a0;
  const Vector alphaBA = ChannelB(trialA) - b0;
  const Vector alphaBB = ChannelB(trialB) - b0;
  const Vector d = alphaAA * alphaBB - alphaAB * alphaBA;
  if (IsZero(d)) return std::nullopt;
  const Vector ac = ChannelA(current), bc = ChannelB(current);
  const PlaneSolution s{(alphaBB * ac - alphaAB * bc) / d, (alphaAA * bc - alphaBA * ac) / d};
  if (!IsFinite(s.A) || !IsFinite(s.B)) return std::nullopt;
  return s;
}

// Total of one plane: mass |s| and the plain argument, or zeros.
void SetTotal(Vector s, double& mass, double& angle) {
  if (std::abs(s) == 0) return;
  mass = std::abs(s);
  angle = std::arg(s);
}

// Angle at which the mass is mounted: a total correction arrives in
// (-pi, pi] and is brought into [0, 2*pi] first, or its masses would land on
// the wrong positions; an added mass sits half a turn from a removed one; a
// mirrored rotor counts the other way round.
double MountingAngle(double angle, uint8_t massAdd, uint8_t rotationDir) {
  double theta = NormalizeAngle(angle);
  if (massAdd != 0) theta = AngleDiff(theta, Pi);
  if (rotationDir == 1) theta = TwoPi - theta;
  return theta;
}

// Smallest i in 1..n-1 with i * 2*pi / n > theta, else n. The test grows
// with i, so a bisection finds it without walking a division count of
// billions read from a damaged file.
int32_t UpperPosition(double theta, int32_t n) {
  int32_t low = 1, high = n;
  while (low < high) {
    const int32_t mid = low + (high - low) / 2;
    if (mid * TwoPi / n > theta)
      high = mid;
    else
      low = mid + 1;
  }
  return low;
}

struct PlaneSplit {
  double Mass1, Angle1, Mass2, Angle2;
};

// The two neighbouring positions around theta share the mass so that their
// vector sum is the correction.
PlaneSplit SplitPlane(double mass, double theta, int32_t n) {
  const int32_t i = UpperPosition(theta, n);
  const double phi1 = 2.0 * (i - 1) * Pi / n;
  const double phi2 = i == n ? TwoPi : 2.0 * i * Pi / n;
  const double span = std::sin(phi2 - phi1);
  return {std::fabs(mass * std::sin(phi2 - theta) / span), phi1,
          std::fabs(mass * std::sin(theta - phi1) / span), phi2};
}

}  // namespace

double NormalizeAngle(double a) {
  if (a < 0) a += TwoPi;
  if (a > TwoPi) a -= TwoPi;
  return a;
}

double AngleDiff(double a, double b) { return NormalizeAngle(a - b); }

double AngleSum(double a, double b) { return NormalizeAngle(a + b); }

// The factors 1/180 and 1/pi are applied in extended precision, so whole
// degrees map onto the same radians as everywhere else in the system.
double DegToRad(double degrees) { return static_cast<double>(degrees * Pi * (1.0L / 180)); }

double RadToDeg(double radians) {
  return static_cast<double>(radians * 180 * (1.0L / std::numbers::pi_v<long double>));
}

std::optional<TCorrection> CalcCorrection(const TVector4& initial, const TVector4& trialA,
                                          const TVector4& trialB, uint8_t type) {
  TCorrection c;
  if (type == 0) {
    const auto r = SolveOnePlane(initial, trialA, initial);
    if (!r) return std::nullopt;
    if (!IsZero(*r)) SetPlane(*r, c.MassA, c.AngleA);
    return Checked(c);
  }
  const auto s = SolveTwoPlanes(initial, trialA, trialB, initial);
  if (!s) return std::nullopt;
  // Each plane by itself: a plane that needs nothing keeps mass and angle 0.
  if (!IsZero(s->A)) SetPlane(s->A, c.MassA, c.AngleA);
  if (!IsZero(s->B)) SetPlane(s->B, c.MassB, c.AngleB);
  return Checked(c);
}

std::optional<TCorrection> CalcTrimCorrection(const TVector4& initial, const TVector4& trialA,
                                              const TVector4& trialB, const TVector4& current,
                                              uint8_t type) {
  TCorrection c;
  if (type == 0) {
    const auto r = SolveOnePlane(initial, trialA, current);
    if (!r) return std::nullopt;
    if (std::abs(*r) != 0) SetPlane(*r, c.MassA, c.AngleA);
    return Checked(c);
  }
  const auto s = SolveTwoPlanes(initial, trialA, trialB, current);
  if (!s) return std::nullopt;
  // Unlike the first correction, a trim is given for both planes or none.
  if (std::abs(s->A) != 0 && std::abs(s->B) != 0) {
    SetPlane(s->A, c.MassA, c.AngleA);
    SetPlane(s->B, c.MassB, c.AngleB);
  }
  return Checked(c);
}

void StoreCorrection(MeasurementResult& run, const std::optional<TCorrection>& correction) {
  run.Result = correction.value_or(TCorrection{});
  run.NotComputable = correction ? 0 : 1;
}

std::optional<TCorrection> StoredCorrection(const MeasurementResult& run) {
  if (run.NotComputable) return std::nullopt;
  return run.Result;
}

std::optional<TCorrection> SumCorrections(std::span<const MeasurementResult> results, int32_t step,
                                          uint8_t type) {
  TCorrection total;
  if (step <= RunCorrection) return total;
  if (static_cast<size_t>(step) >= results.size()) return std::nullopt;
  // The sum telescopes to C3 - C(step): only those two enter the total, and
  // a missing one would pass for a correction of zero.
  if (results[RunCorrection].NotComputable || results[step].NotComputable) return std::nullopt;
  Vector sumA, sumB;
  for (int32_t k = RunCorrection; k < step; ++k) {
    const TCorrection& now = results[k].Result;
    const TCorrection& next = results[k + 1].Result;
    sumA += Polar(now.MassA, now.AngleA) - Polar(next.MassA, next.AngleA);
    sumB += Polar(now.MassB, now.AngleB) - Polar(next.MassB, next.AngleB);
  }
  SetTotal(sumA, total.MassA, total.AngleA);
  if (type == 1) SetTotal(sumB, total.MassB, total.AngleB);
  return Checked(total);
}

std::optional<SplitResult> SplitCorrection(const TCorrection& correction, uint8_t type,
                                           uint8_t massAdd, uint8_t rotationDir,
                                           int32_t rotorDivCount) {
  // Two opposite positions cannot carry a mass in any other direction: the
  // shares would divide by sin(pi), which is 0 up to rounding.
  if (rotorDivCount < 3 || !IsFinite(correction)) return std::nullopt;
  SplitResult out;
  const PlaneSplit a = SplitPlane(
      correction.MassA, MountingAngle(correction.AngleA, massAdd, rotationDir), rotorDivCount);
  out.MassA1 = a.Mass1;
  out.AngleA1 = a.Angle1;
  out.MassA2 = a.Mass2;
  out.AngleA2 = a.Angle2;
  if (type == 1) {
    const PlaneSplit b = SplitPlane(
        correction.MassB, MountingAngle(correction.AngleB, massAdd, rotationDir), rotorDivCount);
    out.MassB1 = b.Mass1;
    out.AngleB1 = b.Angle1;
    out.MassB2 = b.Mass2;
    out.AngleB2 = b.Angle2;
  }
  return out;
}
