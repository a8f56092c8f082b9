#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <complex>
#include <initializer_list>
#include <limits>
#include <numbers>

#include "balancing.h"

namespace {

using Vector = std::complex<double>;
constexpr double Pi = std::numbers::pi;
constexpr double TwoPi = 2 * std::numbers::pi;
constexpr double Eps = 1e-12;

double Rad(double degrees) { return degrees * Pi / 180; }

// A run's averaged vectors from amplitudes and phases in degrees.
TVector4 Vectors(double amplA, double degA, double amplB = 0, double degB = 0) {
  return {amplA, Rad(degA), amplB, Rad(degB)};
}

TVector4 FromVectors(Vector a, Vector b) {
  return {std::abs(a), std::arg(a), std::abs(b), std::arg(b)};
}

void ExpectPlane(double mass, double angle, Vector theta) {
  EXPECT_NEAR(mass, std::abs(theta), Eps);
  EXPECT_NEAR(angle, NormalizeAngle(TwoPi - std::arg(theta)), Eps);
}

TEST(Angles, NormaliseOnceEachWay) {
  EXPECT_EQ(AngleDiff(TwoPi, 0), TwoPi);  // exactly 2*pi is not folded to 0
  EXPECT_NEAR(AngleDiff(0, Pi / 2), 3 * Pi / 2, Eps);
  EXPECT_NEAR(AngleSum(3 * Pi / 2, Pi), Pi / 2, Eps);
  EXPECT_NEAR(NormalizeAngle(-0.5), TwoPi - 0.5, Eps);
  EXPECT_NEAR(NormalizeAngle(TwoPi + 0.5), 0.5, Eps);
  EXPECT_EQ(NormalizeAngle(0), 0);
}

TEST(Angles, DegreesAndRadians) {
  EXPECT_EQ(DegToRad(90), Pi / 2);
  EXPECT_EQ(DegToRad(180), Pi);
  EXPECT_EQ(DegToRad(360), TwoPi);
  EXPECT_EQ(RadToDeg(Pi), 180);
  for (int d = 0; d <= 360; ++d) EXPECT_NEAR(RadToDeg(DegToRad(d)), d, 1e-12) << d;
}

TEST(CalcCorrection, OnePlaneExamples) {
  auto c = CalcCorrection(Vectors(1, 0), Vectors(1, 90), {}, 0);
  ASSERT_TRUE(c);
  EXPECT_NEAR(c->MassA, std::sqrt(0.5), Eps);
  EXPECT_NEAR(c->AngleA, 3 * Pi / 4, Eps);
  EXPECT_EQ(c->MassB, 0);
  EXPECT_EQ(c->AngleB, 0);

  c = CalcCorrection(Vectors(1, 0), Vectors(2, 0), {}, 0);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->MassA, 1);
  EXPECT_EQ(c->AngleA, TwoPi);

  // No vibration in the initial run: nothing to correct, and no error.
  c = CalcCorrection(Vectors(0, 0), Vectors(2, 40), {}, 0);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->MassA, 0);
  EXPECT_EQ(c->AngleA, 0);
}

TEST(CalcCorrection, TwoPlanesSolveTheCoupledSystem) {
  // Influence coefficients and the unbalance are chosen; the runs are built
  // from them, and the solver must give the unbalance back.
  const Vector aAA(0.8, 0.3), aAB(0.2, -0.1), aBA(-0.15, 0.25), aBB(0.1, 0.9);
  const Vector thetaA(1.5, -0.7), thetaB(-0.4, 2.2);
  const Vector a0 = aAA * thetaA + aAB * thetaB, b0 = aBA * thetaA + aBB * thetaB;
  const TVector4 initial = FromVectors(a0, b0);
  const TVector4 trialA = FromVectors(a0 + aAA, b0 + aBA);
  const TVector4 trialB = FromVectors(a0 + aAB, b0 + aBB);
  const auto c = CalcCorrection(initial, trialA, trialB, 1);
  ASSERT_TRUE(c);
  ExpectPlane(c->MassA, c->AngleA, thetaA);
  ExpectPlane(c->MassB, c->AngleB, thetaB);
}

TEST(CalcCorrection, UncoupledPlanesGiveTheOnePlaneAnswer) {
  const TVector4 initial = Vectors(1, 0, 2, 30);
  const TVector4 trialA = Vectors(1, 90, 2, 30);  // changes plane A only
  const TVector4 trialB = Vectors(1, 0, 3, 30);   // changes plane B only
  const auto two = CalcCorrection(initial, trialA, trialB, 1);
  const auto oneA = CalcCorrection(initial, trialA, {}, 0);
  const auto oneB = CalcCorrection(Vectors(2, 30), Vectors(3, 30), {}, 0);
  ASSERT_TRUE(two && oneA && oneB);
  EXPECT_NEAR(two->MassA, oneA->MassA, Eps);
  EXPECT_NEAR(two->AngleA, oneA->AngleA, Eps);
  EXPECT_NEAR(two->MassB, oneB->MassA, Eps);
  EXPECT_NEAR(two->AngleB, oneB->AngleA, Eps);
}

TEST(CalcCorrection, FirstCorrectionJudgesEachPlaneButTrimNeedsBoth) {
  // Plane B is already balanced and plane A's trial does not reach it.
  const TVector4 initial = Vectors(1, 0, 0, 0);
  const TVector4 trialA = Vectors(1, 90, 0, 0);
  const TVector4 trialB = Vectors(1, 0, 1, 45);
  const auto first = CalcCorrection(initial, trialA, trialB, 1);
  ASSERT_TRUE(first);
  EXPECT_GT(first->MassA, 0);
  EXPECT_EQ(first->MassB, 0);
  EXPECT_EQ(first->AngleB, 0);

  const auto trim = CalcTrimCorrection(initial, trialA, trialB, initial, 1);
  ASSERT_TRUE(trim);
  EXPECT_EQ(trim->MassA, 0);
  EXPECT_EQ(trim->AngleA, 0);
}

TEST(CalcTrimCorrection, RunLikeTheInitialRunRepeatsTheFirstCorrection) {
  const TVector4 initial = Vectors(1, 10, 2, 200), trialA = Vectors(1.5, 70, 2.2, 190),
                 trialB = Vectors(0.7, 20, 1, 250);
  for (uint8_t type : {0, 1}) {
    const auto first = CalcCorrection(initial, trialA, trialB, type);
    const auto trim = CalcTrimCorrection(initial, trialA, trialB, initial, type);
    ASSERT_TRUE(first && trim);
    EXPECT_EQ(trim->MassA, first->MassA);
    EXPECT_EQ(trim->AngleA, first->AngleA);
    EXPECT_EQ(trim->MassB, first->MassB);
    EXPECT_EQ(trim->AngleB, first->AngleB);

    std::array<MeasurementResult, RunCount> runs{};
    StoreCorrection(runs[3], first);
    StoreCorrection(runs[4], trim);
    const auto total = SumCorrections(runs, 4, type);
    ASSERT_TRUE(total);
    EXPECT_EQ(total->MassA, 0);
    EXPECT_EQ(total->AngleA, 0);
    EXPECT_EQ(total->MassB, 0);
  }
}

TEST(CalcCorrection, NotComputableWithoutAFiniteSolution) {
  // The trial run changed nothing.
  EXPECT_FALSE(CalcCorrection(Vectors(1, 20), Vectors(1, 20), {}, 0));
  EXPECT_FALSE(CalcTrimCorrection(Vectors(1, 20), Vectors(1, 20), {}, Vectors(2, 0), 0));
  // Plane B's trial changed nothing: the determinant is 0.
  const TVector4 initial = Vectors(1, 0, 1, 0), trialA = Vectors(2, 0, 1, 50);
  EXPECT_FALSE(CalcCorrection(initial, trialA, initial, 1));
  EXPECT_FALSE(CalcTrimCorrection(initial, trialA, initial, Vectors(1, 5, 1, 5), 1));
  // A nearly vanishing influence overflows the mass instead of dividing by 0.
  const TVector4 huge{1e10, 0, 0, 0}, nudged{1e10, 1e-310, 0, 0};
  EXPECT_FALSE(CalcCorrection(huge, nudged, {}, 0));
  // Finite parts whose magnitude overflows.
  EXPECT_FALSE(CalcTrimCorrection({}, Vectors(0.9, 90), {}, {1.79e308, Pi / 4, 0, 0}, 0));
  // Plane A needs nothing but plane B overflows: not a trim of zero.
  const TVector4 base = Vectors(1, 0), stepA = Vectors(2, 0), stepB{1, 0, 1e-10, 0};
  EXPECT_FALSE(CalcTrimCorrection(base, stepA, stepB, {0, 0, 1e300, 0}, 1));
  // A damaged record.
  const TVector4 damaged{std::numeric_limits<double>::quiet_NaN(), 0, 1, 0};
  EXPECT_FALSE(CalcCorrection(damaged, Vectors(2, 0), {}, 0));
  EXPECT_FALSE(CalcCorrection(Vectors(1, 0, 1, 0), Vectors(2, 0, 1, 10), damaged, 1));
}

TEST(StoreCorrection, FlagsTheCorrectionAndLeavesValidAlone) {
  MeasurementResult run;
  run.Valid = 1;
  run.Result = {3, 1, 4, 1};
  StoreCorrection(run, std::nullopt);
  EXPECT_EQ(run.NotComputable, 1);
  EXPECT_EQ(run.Valid, 1);
  EXPECT_EQ(run.Result.MassA, 0);
  EXPECT_EQ(run.Result.AngleB, 0);

  StoreCorrection(run, TCorrection{2, 0.5, 0, 0});
  EXPECT_EQ(run.NotComputable, 0);
  EXPECT_EQ(run.Result.MassA, 2);
}

std::array<MeasurementResult, RunCount> TrimRuns() {
  std::array<MeasurementResult, RunCount> runs{};
  runs[3].Result = {2, Rad(30), 1, Rad(100)};
  runs[4].Result = {1.1, Rad(200), 0.4, Rad(10)};
  runs[5].Result = {0.5, Rad(45), 0.3, Rad(300)};
  runs[6].Result = {0.2, Rad(80), 0.1, Rad(170)};
  return runs;
}

TEST(SumCorrections, IsTheFirstMinusTheCurrentCorrection) {
  const auto runs = TrimRuns();
  const auto total = SumCorrections(runs, 6, 1);
  ASSERT_TRUE(total);
  const Vector a = std::polar(2.0, Rad(30)) - std::polar(0.2, Rad(80));
  const Vector b = std::polar(1.0, Rad(100)) - std::polar(0.1, Rad(170));
  EXPECT_NEAR(total->MassA, std::abs(a), Eps);
  EXPECT_NEAR(total->AngleA, std::arg(a), Eps);
  EXPECT_NEAR(total->MassB, std::abs(b), Eps);
  EXPECT_NEAR(total->AngleB, std::arg(b), Eps);

  const auto onePlane = SumCorrections(runs, 6, 0);
  ASSERT_TRUE(onePlane);
  EXPECT_EQ(onePlane->MassB, 0);
  EXPECT_EQ(onePlane->AngleB, 0);
}

TEST(SumCorrections, AngleIsThePlainArgument) {
  std::array<MeasurementResult, RunCount> runs{};
  runs[3].Result = {1, Rad(270), 0, 0};
  const auto total = SumCorrections(runs, 4, 0);
  ASSERT_TRUE(total);
  EXPECT_NEAR(total->MassA, 1, Eps);
  EXPECT_NEAR(total->AngleA, -Pi / 2, Eps);
}

TEST(SumCorrections, NothingBeforeTheTrimRuns) {
  auto runs = TrimRuns();
  runs[3].NotComputable = 1;
  for (int32_t step : {-1, 0, 3}) {
    const auto total = SumCorrections(runs, step, 1);
    ASSERT_TRUE(total);
    EXPECT_EQ(total->MassA, 0);
    EXPECT_EQ(total->AngleA, 0);
    EXPECT_EQ(total->MassB, 0);
    EXPECT_EQ(total->AngleB, 0);
  }
}

TEST(SumCorrections, SaysSoWhenAnEndOfTheSumIsNotComputable) {
  auto runs = TrimRuns();
  runs[5].NotComputable = 1;  // an intermediate run cancels out of the sum
  EXPECT_TRUE(SumCorrections(runs, 6, 1));
  EXPECT_FALSE(SumCorrections(runs, 5, 1));
  runs = TrimRuns();
  runs[3].NotComputable = 1;
  EXPECT_FALSE(SumCorrections(runs, 6, 1));
  EXPECT_FALSE(SumCorrections(TrimRuns(), RunCount, 1));
}

void ExpectPosition(double mass, double angle, double wantMass, double wantDegrees) {
  EXPECT_NEAR(mass, wantMass, Eps);
  EXPECT_NEAR(angle, Rad(wantDegrees), Eps);
}

TEST(SplitCorrection, PlacesTheMassOnTheNeighbouringPositions) {
  auto s = SplitCorrection({1, Rad(45), 0, 0}, 0, 0, 0, 4);
  ASSERT_TRUE(s);
  ExpectPosition(s->MassA1, s->AngleA1, std::sqrt(0.5), 0);
  ExpectPosition(s->MassA2, s->AngleA2, std::sqrt(0.5), 90);
  EXPECT_EQ(s->MassB1, 0);
  EXPECT_EQ(s->AngleB2, 0);

  s = SplitCorrection({1, DegToRad(90), 0, 0}, 0, 0, 0, 4);
  ASSERT_TRUE(s);
  EXPECT_EQ(s->MassA1, 1);
  EXPECT_EQ(s->AngleA1, Pi / 2);
  ExpectPosition(s->MassA2, s->AngleA2, 0, 180);

  s = SplitCorrection({1, Rad(300), 0, 0}, 0, 0, 0, 4);
  ASSERT_TRUE(s);
  ExpectPosition(s->MassA1, s->AngleA1, std::sin(Rad(60)), 270);
  EXPECT_EQ(s->AngleA2, TwoPi);
  EXPECT_NEAR(s->MassA2, 0.5, Eps);
}

TEST(SplitCorrection, AddedMassTurnsHalfARoundAndMirrorCountsBackwards) {
  auto s = SplitCorrection({1, Rad(30), 2, Rad(30)}, 1, 1, 0, 4);  // mounted at 210 degrees
  ASSERT_TRUE(s);
  ExpectPosition(s->MassA1, s->AngleA1, std::sin(Rad(60)), 180);
  ExpectPosition(s->MassA2, s->AngleA2, 0.5, 270);
  ExpectPosition(s->MassB1, s->AngleB1, 2 * std::sin(Rad(60)), 180);
  ExpectPosition(s->MassB2, s->AngleB2, 1, 270);

  s = SplitCorrection({1, Rad(30), 0, 0}, 0, 0, 1, 4);  // mounted at 330 degrees
  ASSERT_TRUE(s);
  ExpectPosition(s->MassA1, s->AngleA1, 0.5, 270);
  ExpectPosition(s->MassA2, s->AngleA2, std::sin(Rad(60)), 360);
}

TEST(SplitCorrection, NegativeTotalAngleIsNormalisedFirst) {
  // A total correction straight from SumCorrections: -90 degrees is 270.
  const auto s = SplitCorrection({1, -Pi / 2, 0, 0}, 0, 0, 0, 4);
  ASSERT_TRUE(s);
  ExpectPosition(s->MassA1, s->AngleA1, 1, 270);
  ExpectPosition(s->MassA2, s->AngleA2, 0, 360);
}

TEST(SplitCorrection, SharesAddUpToTheCorrection) {
  for (int32_t n : {3, 5, 7, 12, 32}) {
    for (double degrees = -170; degrees <= 360; degrees += 17.5) {
      const auto s = SplitCorrection({1.7, Rad(degrees), 0, 0}, 0, 0, 0, n);
      ASSERT_TRUE(s);
      const Vector sum = std::polar(s->MassA1, s->AngleA1) + std::polar(s->MassA2, s->AngleA2);
      EXPECT_NEAR(std::abs(sum - std::polar(1.7, Rad(degrees))), 0, Eps) << n << " " << degrees;
      EXPECT_LE(s->AngleA1, NormalizeAngle(Rad(degrees)));
      EXPECT_GE(s->AngleA2, NormalizeAngle(Rad(degrees)));
    }
  }
}

TEST(SplitCorrection, HugeDivisionCountFromADamagedFileStaysQuick) {
  const auto s = SplitCorrection({1, 1, 0, 0}, 0, 0, 0, INT_MAX);
  ASSERT_TRUE(s);
  EXPECT_LE(s->AngleA1, 1);
  EXPECT_GT(s->AngleA2, 1);
  EXPECT_LT(s->AngleA2 - s->AngleA1, 1e-8);
  EXPECT_NEAR(s->MassA1 + s->MassA2, 1, 1e-6);
}

TEST(SplitCorrection, NoSplitWithoutEnoughPositionsOrANumber) {
  for (int32_t n : {-4, 0, 1, 2}) EXPECT_FALSE(SplitCorrection({1, 1, 0, 0}, 0, 0, 0, n)) << n;
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_FALSE(SplitCorrection({inf, 1, 0, 0}, 0, 0, 0, 6));
  EXPECT_FALSE(SplitCorrection({1, 1, 1, std::nan("")}, 1, 0, 0, 6));
}

}  // namespace
