// The two- and three-weight method: the weights' start and trial positions,
// their positions for the correction and the trim runs, the worked example,
// the reach of two unit weights and the records it leaves alone.

#include "gwbmethod.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "balancing.h"

namespace {

using Vector = std::complex<double>;
constexpr double Tolerance = 1e-3;  // degrees

double Degrees(Vector v) {
  const double d = RadToDeg(std::arg(v));
  return d < 0 ? d + 360 : d;
}

class GwbMethod : public ::testing::Test {
 protected:
  std::array<TGwbRecord, RunCount> Records{};
  std::array<MeasurementResult, RunCount> Results{};

  void Correction(int run, double mass, double angleDegrees) {
    Results[static_cast<size_t>(run)].Result.MassA = mass;
    Results[static_cast<size_t>(run)].Result.AngleA = DegToRad(angleDegrees);
  }
  void Compute(int step, uint8_t mode, double shift = 90.0) { ComputeGwbRecords(Records, step, mode, shift, Results); }
  const TGwbRecord& Record(int run) const { return Records[static_cast<size_t>(run)]; }
  // The weights of a run added up.
  Vector Sum(int run) const { return Record(run)[0] + Record(run)[1] + Record(run)[2]; }
};

void ExpectAt(Vector v, double degrees) {
  EXPECT_NEAR(std::abs(v), 1.0, 1e-12);
  EXPECT_NEAR(Degrees(v), degrees, Tolerance);
}

TEST_F(GwbMethod, InitialAndTrialRunsOfTwoWeights) {
  Compute(0, GwbTwoWeights, 90.0);
  ExpectAt(Record(0)[GwbWeightA], 0);
  ExpectAt(Record(0)[GwbWeightB], 180);
  EXPECT_EQ(Record(0)[GwbWeightC], Vector{});
  // The spread weights cancel, but the record keeps a zero resultant rather
  // than their rounded sum.
  EXPECT_EQ(Record(0)[GwbResultant], Vector{});
  ExpectAt(Record(1)[GwbWeightA], 90);
  ExpectAt(Record(1)[GwbWeightB], 180);
  EXPECT_NEAR(Record(1)[GwbResultant].real(), -1.0, 1e-12);
  EXPECT_NEAR(Record(1)[GwbResultant].imag(), 1.0, 1e-12);
  // Nothing beyond the trial run changes.
  for (int run = 2; run < RunCount; ++run) EXPECT_EQ(Record(run), TGwbRecord{}) << run;
}

TEST_F(GwbMethod, InitialAndTrialRunsOfThreeWeights) {
  Compute(1, GwbThreeWeights, 45.0);
  ExpectAt(Record(0)[GwbWeightB], 120);
  ExpectAt(Record(0)[GwbWeightC], 240);
  ExpectAt(Record(1)[GwbWeightA], 45);
  const Vector s = Record(1)[GwbResultant];
  EXPECT_NEAR(
      std::abs(s - (std::polar(1.0, DegToRad(45)) + std::polar(1.0, DegToRad(120)) + std::polar(1.0, DegToRad(240)))),
      0.0, 1e-12);
}

// GWB.Shift = 90°, run 3 with M = 0.5 and Θ = 30°.
TEST_F(GwbMethod, WorkedExampleWithTwoWeights) {
  Compute(1, GwbTwoWeights);
  Correction(3, 0.5, 30);
  Compute(3, GwbTwoWeights);
  EXPECT_NEAR(std::abs(Record(3)[GwbResultant]), 0.70711, 1e-5);
  EXPECT_NEAR(Degrees(Record(3)[GwbResultant]), 345, Tolerance);
  ExpectAt(Record(3)[GwbWeightA], 275.705);
  ExpectAt(Record(3)[GwbWeightB], 54.295);
  EXPECT_EQ(Record(3)[GwbWeightC], Vector{});
  EXPECT_NEAR(std::abs(Sum(3) - Record(3)[GwbResultant]), 0.0, 1e-12);
}

TEST_F(GwbMethod, WorkedExampleWithThreeWeights) {
  Compute(1, GwbThreeWeights);
  Correction(3, 0.5, 30);
  Compute(3, GwbThreeWeights);
  EXPECT_NEAR(Degrees(Record(3)[GwbResultant]), 345, Tolerance);
  ExpectAt(Record(3)[GwbWeightA], 345);
  ExpectAt(Record(3)[GwbWeightB], 83.421);
  ExpectAt(Record(3)[GwbWeightC], 246.579);
  EXPECT_NEAR(std::abs(Sum(3) - Record(3)[GwbResultant]), 0.0, 1e-12);
}

// Two unit weights reach at most 2: a longer resultant puts both on its
// direction; three weights reach 3.
TEST_F(GwbMethod, ResultantsBeyondReachPutTheWeightsTogether) {
  Compute(1, GwbTwoWeights);
  Correction(3, 2.5, 30);  // |V| = 2.5 * |S| = 3.54
  Compute(3, GwbTwoWeights);
  const double direction = Degrees(Record(3)[GwbResultant]);
  ExpectAt(Record(3)[GwbWeightA], direction);
  ExpectAt(Record(3)[GwbWeightB], direction);

  Compute(1, GwbThreeWeights);
  Correction(3, 3.0 / std::sqrt(2.0), 30);  // |V| = 3
  Compute(3, GwbThreeWeights);
  for (size_t k : {GwbWeightA, GwbWeightB, GwbWeightC}) ExpectAt(Record(3)[k], direction);
}

// Three weights with |V| below 1: A on V, R = V - A points back with length
// 1 - |V|, so B and C sit at arg V + 180° -+ acos((1 - |V|) / 2).
TEST_F(GwbMethod, ThreeWeightsWithAShortResultant) {
  Compute(1, GwbThreeWeights);
  Correction(3, 0.4, 100);
  Compute(3, GwbThreeWeights);
  const Vector v = Record(3)[GwbResultant];
  const double spread = RadToDeg(std::acos((1 - std::abs(v)) / 2));
  const double back = std::fmod(Degrees(v) + 180, 360);
  ExpectAt(Record(3)[GwbWeightA], Degrees(v));
  ExpectAt(Record(3)[GwbWeightB], std::fmod(back - spread + 360, 360));
  ExpectAt(Record(3)[GwbWeightC], std::fmod(back + spread, 360));
}

// A trim run adds its correction to the resultant of run 3 (not of the run
// before it); three weights keep weight A where the previous run had it.
TEST_F(GwbMethod, TrimRunsBuildOnTheCorrectionRun) {
  Compute(1, GwbThreeWeights);
  Correction(3, 0.5, 30);
  Compute(3, GwbThreeWeights);
  Correction(4, 0.2, 200);
  Compute(4, GwbThreeWeights);
  Correction(5, 0.1, 10);
  Compute(5, GwbThreeWeights);
  const Vector s = Record(1)[GwbResultant];
  const double theta5 = AngleDiff(AngleSum(std::arg(s), DegToRad(10)), std::numbers::pi);
  const Vector expected5 = std::polar(std::abs(s) * 0.1, theta5) + Record(3)[GwbResultant];
  EXPECT_NEAR(std::abs(Record(5)[GwbResultant] - expected5), 0.0, 1e-12);
  ExpectAt(Record(4)[GwbWeightA], 345);
  ExpectAt(Record(5)[GwbWeightA], 345);
  EXPECT_NEAR(std::abs(Sum(5) - Record(5)[GwbResultant]), 0.0, 1e-12);
}

TEST_F(GwbMethod, ZeroCorrectionMass) {
  Compute(1, GwbThreeWeights);
  Correction(3, 0.0, 30);
  Compute(3, GwbThreeWeights);
  EXPECT_EQ(Record(3), TGwbRecord{});
  // At a trim run without correction the weights repeat run 3's positions.
  Correction(3, 0.5, 30);
  Compute(3, GwbTwoWeights);
  Correction(4, 0.0, 0);
  Compute(4, GwbTwoWeights);
  EXPECT_EQ(Record(4)[GwbResultant], Record(3)[GwbResultant]);
  ExpectAt(Record(4)[GwbWeightA], 275.705);
  ExpectAt(Record(4)[GwbWeightB], 54.295);
}

// A session restored at run 3 or later in a window that never computed the
// trial run: S = 0, so run 3's resultant is zero and each trim resultant is
// run 3's.
TEST_F(GwbMethod, RestoredSessionWithoutTrialRecord) {
  Correction(3, 0.5, 30);
  Compute(3, GwbTwoWeights);
  EXPECT_EQ(Record(3), TGwbRecord{});
  Correction(4, 0.3, 60);
  Compute(4, GwbTwoWeights);
  EXPECT_EQ(Record(4), TGwbRecord{});
}

// The table derived from the job alone equals the one the workflow builds
// run after run, and a restored job (the same options and corrections in a
// table that never saw runs 0 to 2) gets back the trial unbalance.
TEST_F(GwbMethod, DerivedTableEqualsTheStepwiseOne) {
  Compute(0, GwbThreeWeights);
  Correction(3, 0.5, 30);
  Correction(4, 0.2, 200);
  Correction(5, 0.1, 10);
  for (int step = 3; step < RunCount; ++step) Compute(step, GwbThreeWeights);
  EXPECT_EQ(DeriveGwbRecords(GwbThreeWeights, 90.0, Results), Records);
  const auto restored = DeriveGwbRecords(GwbThreeWeights, 90.0, Results);
  ExpectAt(restored[3][GwbWeightA], 345);
  ExpectAt(restored[3][GwbWeightB], 83.421);
  ExpectAt(restored[3][GwbWeightC], 246.579);
  ExpectAt(restored[5][GwbWeightA], 345);
  // The options are what the table follows: two weights place A anew.
  const auto twoWeights = DeriveGwbRecords(GwbTwoWeights, 90.0, Results);
  ExpectAt(twoWeights[3][GwbWeightA], 275.705);
  EXPECT_EQ(twoWeights[3][GwbWeightC], Vector{});
}

TEST_F(GwbMethod, LaterRecordsAndOtherStepsAreLeftAlone) {
  Records[7][GwbWeightA] = {0.5, 0.5};
  Compute(1, GwbTwoWeights);
  Correction(3, 0.5, 30);
  Compute(3, GwbTwoWeights);
  EXPECT_EQ(Records[7][GwbWeightA], Vector(0.5, 0.5));
  const auto before = Records;
  Compute(-1, GwbTwoWeights);
  Compute(RunCount, GwbTwoWeights);
  EXPECT_EQ(Records, before);
  // A later change of the shift reaches run 3 only through the trial run.
  Compute(3, GwbTwoWeights, 10.0);
  EXPECT_EQ(Records, before);
}

TEST_F(GwbMethod, UnknownModeKeepsTrialRecordsAndPlacesNoWeights) {
  Compute(1, GwbTwoWeights);
  const auto trial = Records;
  Compute(1, 7);
  EXPECT_EQ(Records, trial);
  Correction(3, 0.5, 30);
  Compute(3, 7);
  EXPECT_NEAR(Degrees(Record(3)[GwbResultant]), 345, Tolerance);
  EXPECT_EQ(Record(3)[GwbWeightA], Vector{});
  EXPECT_EQ(Record(3)[GwbWeightB], Vector{});
}

// A damaged session (NaN shift or mass) leaves no position rather than NaN
// angles.
TEST_F(GwbMethod, NumbersThatAreNotFiniteGiveNoPosition) {
  Compute(1, GwbTwoWeights, std::nan(""));
  EXPECT_EQ(Record(1)[GwbWeightA], Vector{});
  EXPECT_EQ(Record(1)[GwbResultant], Vector{});
  Compute(1, GwbTwoWeights, 90);
  Correction(3, std::numeric_limits<double>::infinity(), 30);
  Compute(3, GwbTwoWeights);
  EXPECT_EQ(Record(3), TGwbRecord{});
}

}  // namespace
