// The rotor definition's rules: which fields a type uses, reading them,
// and when a definition is complete.
#include <gtest/gtest.h>

#include "rotorlogic.h"

namespace {

TRotorFields OnePlaneTypeA() {
  TRotorFields f;
  f.Choice = rcTypeA;
  f.dA = u"500";
  f.m = u"100";
  f.f = u"3000";
  f.ClassIndex = 7;
  f.SpeedInRpm = true;
  return f;
}

TRotorFields TwoPlaneType(TRotorChoice choice) {
  TRotorFields f;
  f.TwoPlanes = true;
  f.Choice = choice;
  f.a = u"100";
  f.b = u"800";
  f.l = u"1000";
  f.dA = u"500";
  f.dB = u"400";
  f.m = u"100";
  f.f = u"50";
  f.ClassIndex = 7;
  return f;
}

TEST(ReadRotor, OnePlaneTypeAStoresTheSpeedInHertz) {
  const TRotorReading r = ReadRotor(OnePlaneTypeA());
  ASSERT_TRUE(r.Valid);
  EXPECT_EQ(r.Rotor.Type, 4);
  EXPECT_EQ(r.Rotor.dA, 500);
  EXPECT_EQ(r.Rotor.m, 100);
  EXPECT_EQ(r.Rotor.f, 50);
  EXPECT_EQ(r.Rotor.ClassIndex, 7);
}

TEST(ReadRotor, AMissingRequiredValueIsInvalid) {
  TRotorFields f = OnePlaneTypeA();
  f.dA.clear();
  EXPECT_FALSE(ReadRotor(f).Valid);
  f = OnePlaneTypeA();
  f.m = u"0";
  EXPECT_FALSE(ReadRotor(f).Valid);
  f = OnePlaneTypeA();
  f.f = u"-3000";
  EXPECT_FALSE(ReadRotor(f).Valid);
  f = OnePlaneTypeA();
  f.ClassIndex = -1;  // no grade chosen
  EXPECT_FALSE(ReadRotor(f).Valid);
}

TEST(ReadRotor, TextThatIsNoNumberClearsTheRecord) {
  TRotorFields f = OnePlaneTypeA();
  f.m = u",";
  const TRotorReading r = ReadRotor(f);
  EXPECT_FALSE(r.Valid);
  EXPECT_EQ(r.Rotor.Type, 0);
  EXPECT_EQ(r.Rotor.dA, 0);
  EXPECT_EQ(r.Rotor.ClassIndex, 0);
}

TEST(ReadRotor, TypeCNeedsSOnlyWithTheMassCentre) {
  TRotorFields f = TwoPlaneType(rcTypeC);
  f.MassCentre = true;
  f.s.clear();
  EXPECT_FALSE(ReadRotor(f).Valid);
  f.s = u"300";
  TRotorReading r = ReadRotor(f);
  ASSERT_TRUE(r.Valid);
  EXPECT_EQ(r.Rotor.s, 300);
  EXPECT_EQ(r.Rotor.MassCentreLocation, 1);
  // Without the box s is neither required nor read.
  f.MassCentre = false;
  f.s = u"garbage";
  r = ReadRotor(f);
  ASSERT_TRUE(r.Valid);
  EXPECT_EQ(r.Rotor.s, 0);
  f.a.clear();
  EXPECT_FALSE(ReadRotor(f).Valid);
}

TEST(ReadRotor, TwoPlaneTypeAIgnoresA) {
  TRotorFields f = TwoPlaneType(rcTypeA);
  f.a = u"5";
  const TRotorReading r = ReadRotor(f);
  ASSERT_TRUE(r.Valid);
  EXPECT_EQ(r.Rotor.Type, 1);
  EXPECT_EQ(r.Rotor.a, 0);
  EXPECT_EQ(r.Rotor.dB, 400);
  f.dB.clear();
  EXPECT_FALSE(ReadRotor(f).Valid);
}

TEST(ReadRotor, UndefinedIsAlwaysValidAndStoresZero) {
  TRotorFields f = TwoPlaneType(rcNoISO);
  f.m = u"not a number";
  const TRotorReading r = ReadRotor(f);
  EXPECT_TRUE(r.Valid);
  EXPECT_EQ(r.Rotor.Type, 0);
  EXPECT_EQ(r.Rotor.m, 0);
  EXPECT_EQ(r.Rotor.f, 0);
  EXPECT_EQ(r.Rotor.b, 0);
}

TEST(RotorEnabling, FieldsFollowTheType) {
  TRotorEnabling e = RotorEnabling(false, rcTypeA, false);
  EXPECT_EQ(e, (TRotorEnabling{false, false, false, false, true, false, false, true}));
  e = RotorEnabling(true, rcTypeB, true);
  EXPECT_EQ(e, (TRotorEnabling{false, true, true, false, true, true, false, true}));
  e = RotorEnabling(true, rcTypeC, false);
  EXPECT_EQ(e, (TRotorEnabling{true, true, true, false, true, true, true, true}));
  EXPECT_TRUE(RotorEnabling(true, rcTypeC, true).s);
  EXPECT_EQ(RotorEnabling(true, rcNoISO, true), TRotorEnabling{});
}

TEST(RotorTypes, ChoicesAndStoredTypes) {
  EXPECT_EQ(RotorTypeOf(rcTypeA, false), 4);
  EXPECT_EQ(RotorTypeOf(rcTypeA, true), 1);
  EXPECT_EQ(RotorTypeOf(rcTypeC, true), 3);
  EXPECT_EQ(RotorTypeOf(rcNoISO, true), 0);
  EXPECT_EQ(ChoiceOfType(4, false), rcTypeA);
  EXPECT_EQ(ChoiceOfType(2, false), rcNoISO);
  EXPECT_EQ(ChoiceOfType(2, true), rcTypeB);
  EXPECT_EQ(ChoiceOfType(4, true), rcNoISO);
}

TEST(RotorFields, ShowTheSpeedInTheUnitAndKeepDecimals) {
  RotorDefinition r;
  r.Type = 4;
  r.dA = 123.45;
  r.m = 0.25;
  r.f = 50;
  TRotorFields f = RotorFieldsOf(r, false, true);
  EXPECT_EQ(f.Choice, rcTypeA);
  EXPECT_EQ(f.f.Text, u"3000");
  EXPECT_EQ(f.m.Text, u"0,25");
  EXPECT_EQ(f.dA.Text, u"123,45");
  f = RotorFieldsOf(r, false, false);
  EXPECT_EQ(f.f.Text, u"50");
  // Reading the shown fields gives the same rotor back.
  f.Choice = rcTypeA;
  const TRotorReading back = ReadRotor(f);
  ASSERT_TRUE(back.Valid);
  EXPECT_EQ(back.Rotor.m, 0.25);
  EXPECT_EQ(back.Rotor.dA, 123.45);
}

// The fields keep the record's values: read back untouched they give the
// record bit for bit, the speed too although its text is in rpm; a typed
// text counts as typed.
TEST(RotorFields, UntouchedFieldsReadBackTheRecordExactly) {
  RotorDefinition r;
  r.Type = 3;
  r.a = 123.45678901234567;
  r.b = 800.123456789;
  r.l = 0.1 + 0.2;
  r.MassCentreLocation = 1;
  r.s = 98.765432109876543;
  r.dA = 500.00000000000011;
  r.dB = 399.99999999999994;
  r.m = 1234.5678901234567;
  r.f = 49.999999999999993;
  r.ClassIndex = 6;
  TRotorFields f = RotorFieldsOf(r, true, true);
  EXPECT_EQ(f.l.Text, u"0,3");
  const TRotorReading back = ReadRotor(f);
  ASSERT_TRUE(back.Valid);
  for (auto field : {&RotorDefinition::a, &RotorDefinition::b, &RotorDefinition::l, &RotorDefinition::s,
                     &RotorDefinition::dA, &RotorDefinition::dB, &RotorDefinition::m, &RotorDefinition::f})
    EXPECT_EQ(back.Rotor.*field, r.*field);
  f.f = u"1500";
  f.l = u"0,3";
  const TRotorReading typed = ReadRotor(f);
  EXPECT_EQ(typed.Rotor.f, 25);
  EXPECT_EQ(typed.Rotor.l, 0.3);
}

}  // namespace
