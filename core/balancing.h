#pragma once
// Balancing mathematics: influence-coefficient corrections for one and two
// planes, the total correction applied so far, the split of a correction onto
// fixed rotor positions, and the angle helpers every other unit uses.
//
// All functions are pure: they take the vectors and options they need and
// return plain values, so the core object only forwards its fields to them.
// Masses are multiples of the control mass; angles are radians.

#include <cstdint>
#include <optional>
#include <span>

#include "records.h"

// a plus 2*pi when below 0, then minus 2*pi when above 2*pi. Exactly 2*pi
// stays 2*pi: stored correction angles live in (0, 2*pi].
double NormalizeAngle(double a);
double AngleDiff(double a, double b);  // normalised a - b
double AngleSum(double a, double b);   // normalised a + b
double DegToRad(double degrees);
double RadToDeg(double radians);

// Correction after the trial runs, from the averaged vectors of the initial
// run and the trial runs (trialB is read for two planes only). type 0 solves
// one plane on channel A, any other value two planes. Empty when the system
// has no solution (a trial run that changed nothing, a singular
// determinant, or a result that is not a finite number).
std::optional<TCorrection> CalcCorrection(const TVector4& initial, const TVector4& trialA,
                                          const TVector4& trialB, uint8_t type);

// Correction still required at a check or trim run, with the influence
// coefficients of the trial runs. Empty under the same conditions.
std::optional<TCorrection> CalcTrimCorrection(const TVector4& initial, const TVector4& trialA,
                                              const TVector4& trialB, const TVector4& current,
                                              uint8_t type);

// Writes a solver's answer into a run: the correction and its NotComputable
// flag, zeros when there is none. Valid is the caller's business.
void StoreCorrection(MeasurementResult& run, const std::optional<TCorrection>& correction);
// A run's correction as StoreCorrection kept it: empty when it could not be
// computed, so its stored zeros never pass for "nothing to correct".
std::optional<TCorrection> StoredCorrection(const MeasurementResult& run);

// Total correction applied up to run `step`: the first correction (run 3)
// minus the one still required at `step`. Angles are the plain argument in
// (-pi, pi]. Plane B is summed only when type is 1. Four zeros for step 3 or
// below; empty when run 3 or run `step` holds no computable correction, or
// `step` lies beyond the records.
std::optional<TCorrection> SumCorrections(std::span<const MeasurementResult> results, int32_t step,
                                          uint8_t type);

// A correction split onto the two neighbouring fixed positions of each plane.
struct SplitResult {
  double MassA1 = 0, AngleA1 = 0, MassB1 = 0, AngleB1 = 0;  // first position
  double MassA2 = 0, AngleA2 = 0, MassB2 = 0, AngleB2 = 0;  // second position
};

// Splits a correction onto `rotorDivCount` equally spaced positions. The
// mounting angle is the correction angle turned by half a turn when masses
// are added (massAdd not 0) and mirrored when rotationDir is 1. Plane B is
// split only when type is 1. Empty when fewer than two positions exist or the
// correction is not a finite number.
std::optional<SplitResult> SplitCorrection(const TCorrection& correction, uint8_t type,
                                           uint8_t massAdd, uint8_t rotationDir,
                                           int32_t rotorDivCount);
