#pragma once
// The two- and three-weight method of one-plane balancing. Two or three
// equal weights stay on the rotor and are only moved around it: they start
// evenly spread (0° and 180°, or 0°, 120° and 240°) so that they cancel, and
// for the trial run weight A is moved to the shift angle. From each later
// run's one-plane correction the method finds the angles to which the
// weights must be moved so that together they make up the correction.
//
// Pure: the table of weight positions per run is the only thing written.
// The window derives the whole table from the job whenever it shows it.

#include <array>
#include <complex>
#include <cstdint>
#include <span>

#include "records.h"

// The slots of one run's record.
constexpr size_t GwbWeightA = 0;
constexpr size_t GwbWeightB = 1;
constexpr size_t GwbWeightC = 2;  // three weights only
constexpr size_t GwbResultant = 3;

// One run's record: the positions of weights A, B and C as unit vectors (a
// zero vector: the weight has no position), and the resultant the weights
// are to make up, in units of one weight. Record 1's resultant is the trial
// unbalance; its argument turns a correction angle into the weights' frame.
using TGwbRecord = std::array<std::complex<double>, 4>;

// Weight modes.
constexpr uint8_t GwbTwoWeights = 0;
constexpr uint8_t GwbThreeWeights = 1;

// Computes the records of the current run `step` from the options (mode,
// shift of weight A in degrees) and the runs' one-plane corrections
// (Result.MassA, Result.AngleA):
// - below run 3: records 0 (initial run) and 1 (trial run) anew;
// - run 3 and later: the record of that run, from record 1's trial
//   unbalance, and for trim runs also record 3's resultant and (three
//   weights) the previous run's weight A.
// Other records keep what they hold. A step outside the runs changes
// nothing; a mode other than two or three weights keeps records 0 and 1 and
// gives later runs a resultant without weights. A vector that is not a
// finite number (a damaged session) is stored as zero: no position.
void ComputeGwbRecords(std::span<TGwbRecord, RunCount> records, int32_t step, uint8_t mode, double shiftDegrees,
                       std::span<const MeasurementResult, RunCount> results);

// Every run's record from the options and the runs' corrections alone, as
// ComputeGwbRecords gives them run after run (the initial and trial runs,
// then the correction and each check or trim run in order). Only what the
// session file keeps goes in, so a job read back shows the positions it
// showed when it was saved, whatever the window computed before.
std::array<TGwbRecord, RunCount> DeriveGwbRecords(uint8_t mode, double shiftDegrees,
                                                  std::span<const MeasurementResult, RunCount> results);
