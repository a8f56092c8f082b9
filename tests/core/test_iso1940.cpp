#include <gtest/gtest.h>

#include <initializer_list>
#include <limits>

#include "formatting.h"
#include "iso1940.h"

namespace {

// Grade G 6.3, 100 kg at 50 rev/s: U = 2005.35228 g mm for the whole rotor.
RotorDefinition Rotor(uint8_t type) {
  RotorDefinition r;
  r.Type = type;
  r.ClassIndex = 7;
  r.m = 100;
  r.f = 50;
  r.a = 100;
  r.b = 800;
  r.l = 1000;
  return r;
}

constexpr double Tol = 1e-5;

TEST(PermissibleUnbalance, TypeAOnOneAndTwoPlanes) {
  EXPECT_NEAR(CalcPermissibleUnbalance(Rotor(4), 0), 2005.35228, Tol);
  EXPECT_NEAR(CalcPermissibleUnbalance(Rotor(4), 1), 2005.35228, Tol);
  EXPECT_NEAR(CalcPermissibleUnbalance(Rotor(1), 0), 1002.67614, Tol);
  EXPECT_NEAR(CalcPermissibleUnbalance(Rotor(1), 1), 1002.67614, Tol);
}

TEST(PermissibleUnbalance, TypeBScalesByLengthOverBearingDistance) {
  EXPECT_NEAR(CalcPermissibleUnbalance(Rotor(2), 0), 1253.34518, Tol);
  EXPECT_NEAR(CalcPermissibleUnbalance(Rotor(2), 1), 1253.34518, Tol);
}

TEST(PermissibleUnbalance, TypeCAllocatesByGeometry) {
  RotorDefinition r = Rotor(3);
  EXPECT_NEAR(CalcPermissibleUnbalance(r, 0), 1002.67614, Tol);
  EXPECT_NEAR(CalcPermissibleUnbalance(r, 1), 1002.67614, Tol);
  r.MassCentreLocation = 1;
  r.s = 300;
  EXPECT_NEAR(CalcPermissibleUnbalance(r, 0), 1504.01421, Tol);
  EXPECT_NEAR(CalcPermissibleUnbalance(r, 1), 501.338071, Tol);
}

TEST(PermissibleUnbalance, GradesRunFromG4000ToG0_4) {
  RotorDefinition r = Rotor(4);
  const double g63 = CalcPermissibleUnbalance(r, 0);
  r.ClassIndex = 0;
  EXPECT_NEAR(CalcPermissibleUnbalance(r, 0), g63 * 4000 / 6.3, 1e-6);
  r.ClassIndex = 10;
  EXPECT_NEAR(CalcPermissibleUnbalance(r, 0), g63 * 0.4 / 6.3, 1e-9);
}

TEST(PermissibleUnbalance, NoToleranceWithoutTypeSpeedOrGrade) {
  RotorDefinition r = Rotor(0);
  r.MassCentreLocation = 1;
  r.s = 300;
  EXPECT_EQ(CalcPermissibleUnbalance(r, 0), 0);
  EXPECT_EQ(CalcPermissibleUnbalance(Rotor(7), 0), 0);
  for (uint8_t type : {1, 2, 3, 4}) {
    r = Rotor(type);
    r.f = 0;
    EXPECT_EQ(CalcPermissibleUnbalance(r, 0), 0) << int(type);
    r = Rotor(type);
    for (int32_t index : {-1, 11, 1000}) {
      r.ClassIndex = index;
      EXPECT_EQ(CalcPermissibleUnbalance(r, 0), 0) << int(type) << " " << index;
    }
  }
}

TEST(PermissibleUnbalance, TypeCSkipsCandidatesOverZero) {
  // b = 0: the second and third candidates divide by 0; the first remains.
  RotorDefinition r = Rotor(3);
  r.b = 0;
  const double u = 2005.352282957881;
  EXPECT_NEAR(CalcPermissibleUnbalance(r, 0), 500 * u / 1800, 1e-6);
  EXPECT_NEAR(CalcPermissibleUnbalance(r, 1), 500 * u / 1800, 1e-6);
}

TEST(PermissibleUnbalance, NoFiniteValueGivesNoTolerance) {
  // The mass centre on the far bearing makes k infinite.
  RotorDefinition r = Rotor(3);
  r.MassCentreLocation = 1;
  r.s = r.a + r.b;
  EXPECT_EQ(CalcPermissibleUnbalance(r, 0), 0);
  EXPECT_EQ(CalcPermissibleUnbalance(r, 1), 0);
  // A speed so small that U overflows leaves every candidate infinite.
  for (uint8_t type : {2, 3, 4}) {
    r = Rotor(type);
    r.f = std::numeric_limits<double>::denorm_min();
    EXPECT_EQ(CalcPermissibleUnbalance(r, 0), 0) << int(type);
  }
  r = Rotor(2);
  r.b = 0;
  EXPECT_EQ(CalcPermissibleUnbalance(r, 0), 0);
}

TEST(PermissibleUnbalance, MassCentreOutsideTheBearingsGivesNoVerdictForPlaneB) {
  RotorDefinition r = Rotor(3);
  r.MassCentreLocation = 1;
  r.s = 50;  // k < 0
  EXPECT_GT(CalcPermissibleUnbalance(r, 0), 0);
  EXPECT_EQ(CalcPermissibleUnbalance(r, 1), 0);
}

}  // namespace

TEST(QualityGradeNames, ByClassIndexWithTheProjectsSeparator) {
  const char16_t saved = DecimalSeparator;
  DecimalSeparator = u'.';
  EXPECT_EQ(QualityGradeName(0), u"G4000");
  EXPECT_EQ(QualityGradeName(6), u"G16");
  EXPECT_EQ(QualityGradeName(7), u"G6.3");
  EXPECT_EQ(QualityGradeName(9), u"G1");
  EXPECT_EQ(QualityGradeName(10), u"G0.4");
  DecimalSeparator = u',';
  EXPECT_EQ(QualityGradeName(8), u"G2,5");
  EXPECT_EQ(QualityGradeName(QualityGradeCount), u"?");
  EXPECT_EQ(QualityGradeName(-1), u"?");
  DecimalSeparator = saved;
}
