// The value panels of the correction and the trim runs: signed masses and
// shown angles, residuals with their verdicts, splits, the trim rows' choice
// of run and content, and the placements of the amplitude-only method.

#include "valuepanels.h"

#include <numbers>

#include "corefixture.h"
#include "formatting.h"
#include "gwbmethod.h"
#include "iso1940.h"
#include "workcolors.h"

namespace {

constexpr uint32_t Red = 0x0000FF;

class ValuePanels : public CoreTest {
 protected:
  void SetUp() override {
    CoreTest::SetUp();
    Core->AmplDisplayMode = admVoltage;
    Measure(0, 10.0, 1.0);
    Measure(1, 12.0, 1.5);
  }
  TValuePanelView Correction() {
    Core->BalancingStep = RunCorrection;
    const TRunTableView table = ComputeRunTable(*Core, State, Texts);
    return ComputeCorrectionPanel(*Core, State, table, Vectors, Texts);
  }
  TValuePanelView Trim(int step) {
    Core->BalancingStep = step;
    State.FirstTrimRow = FirstTrimRowFor(step);
    const TRunTableView table = ComputeRunTable(*Core, State, Texts);
    return ComputeTrimPanel(*Core, State, table, Vectors, Texts);
  }
  void SetCorrection(int run, double mass, double angleDegrees, double massB = 0, double angleBDegrees = 0) {
    Core->Results[static_cast<size_t>(run)].Result = {mass, DegToRad(angleDegrees), massB, DegToRad(angleBDegrees)};
  }
  // A rotor whose plane A permits `permissible` g mm, with a control mass
  // of 1 and plane diameters of 2 mm: one gram there is one g mm.
  double DefineRotor() {
    Core->Rotor.Type = 4;
    Core->Rotor.m = 10;
    Core->Rotor.f = 25;
    Core->Rotor.dA = Core->Rotor.dB = 2;
    Core->CtrlMass.Value = 1;
    return CalcPermissibleUnbalance(Core->Rotor, 0);
  }
  uint32_t Colour(TWorkColor c) const { return Core->WorkColors[c]; }

  TResultPanelState State;
  TRunVectors Vectors{};
};

TEST_F(ValuePanels, CorrectionOfTwoPlanesWithSignedMassesAndShownAngles) {
  Core->Type = 1;
  Core->MassAdd = 1;
  SetCorrection(3, 0.35, 30, 1.2, 200);
  const TValuePanelView view = Correction();
  EXPECT_EQ(view.Headers[0].Caption, u"Mass");
  EXPECT_EQ(view.Headers[4].Caption, u"Angle");
  EXPECT_EQ(view.Units[0].Caption, u"[g]");  // without a rotor: the control mass's unit
  EXPECT_EQ(view.Rows[0].Cells[0].Text, u"+0,35");
  EXPECT_EQ(view.Rows[0].Cells[1].Text, u"210°");
  EXPECT_EQ(view.Rows[0].Cells[3].Text, u"+1,20");
  EXPECT_EQ(view.Rows[0].Cells[4].Text, u"20°");
  EXPECT_EQ(view.Rows[0].Cells[0].Color, Colour(wcWorkChA));
  EXPECT_EQ(view.Rows[0].Cells[3].Color, Colour(wcWorkChB));
  EXPECT_EQ(view.Rows[0].Background, CurrentRowColor);

  Core->MassAdd = 0;
  Core->CtrlMass.Unit = "oz";
  const TValuePanelView removed = Correction();
  EXPECT_EQ(removed.Rows[0].Cells[0].Text, u"-0,35");
  EXPECT_EQ(removed.Rows[0].Cells[1].Text, u"30°");
  EXPECT_EQ(removed.Units[3].Caption, u"[oz]");
}

TEST_F(ValuePanels, ResidualVerdictOfTheCorrection) {
  Core->Type = 1;
  const double permissible = DefineRotor();
  SetCorrection(3, permissible, 30, permissible * 1.01, 30);
  const TValuePanelView view = Correction();
  EXPECT_TRUE(view.Headers[2].Visible);
  EXPECT_EQ(view.Units[0].Caption, u"[g]");
  EXPECT_EQ(view.Units[2].Caption, u"[g mm]");
  EXPECT_EQ(view.Rows[0].Cells[2].Color, PermissibleColor);  // exactly the permissible value
  EXPECT_EQ(view.Rows[0].Cells[5].Color, Red);
  EXPECT_EQ(view.Rows[0].Cells[2].Text, TZelto::FormatNumber(permissible));

  Core->Rotor.Type = 0;
  const TValuePanelView none = Correction();
  EXPECT_FALSE(none.Headers[2].Visible);
  EXPECT_FALSE(none.Headers[5].Visible);
  EXPECT_EQ(none.Rows[0].Cells[2].Text, u"");
  EXPECT_EQ(none.Units[2].Caption, u"");
}

// A correction that could not be computed reads as no value, not as a zero
// mass that passes every grade.
TEST_F(ValuePanels, UncomputedCorrectionShowsNoValue) {
  DefineRotor();
  Core->Results[3].NotComputable = 1;
  const TValuePanelView view = Correction();
  EXPECT_EQ(view.Rows[0].Cells[0].Text, u"-");
  EXPECT_EQ(view.Rows[0].Cells[1].Text, u"-");
  EXPECT_EQ(view.Rows[0].Cells[2].Text, u"-");
  EXPECT_NE(view.Rows[0].Cells[2].Color, PermissibleColor);
}

TEST_F(ValuePanels, SplitRowsOfTheCorrection) {
  Core->Type = 1;
  Core->MassAdd = 0;
  Core->RotorDivCount = 4;
  SetCorrection(3, 1.0, 45, 1.0, 60);
  const TValuePanelView plain = Correction();
  EXPECT_EQ(plain.Rows[1].Cells[0].Text, u"");
  EXPECT_EQ(plain.Rows[1].Cells[0].Color, Colour(wcWorkChA));
  EXPECT_EQ(plain.Rows[2].Cells[3].Color, Colour(wcWorkChB));

  Core->DivideMass = 1;
  const TValuePanelView split = Correction();
  EXPECT_EQ(split.Rows[1].Cells[0].Text, u"-0,71");
  EXPECT_EQ(split.Rows[1].Cells[0].Color, Colour(wcWorkVDiv1));
  EXPECT_EQ(split.Rows[2].Cells[1].Color, Colour(wcWorkVDiv2));
  EXPECT_EQ(split.Rows[1].Background, OtherRowColor);
  // Plane B at 60° between the positions at 0° and 90°.
  EXPECT_EQ(split.Rows[1].Cells[3].Text, u"-0,50");
  EXPECT_EQ(split.Rows[1].Cells[4].Text, u"0°");
  EXPECT_EQ(split.Rows[2].Cells[3].Text, u"-0,87");
  EXPECT_EQ(split.Rows[2].Cells[4].Text, u"90°");

  Core->AsyncMode = 1;
  const TValuePanelView async = Correction();
  EXPECT_EQ(async.Rows[0].Cells[0].Text, u"-");
  EXPECT_EQ(async.Rows[2].Cells[4].Text, u"-");
}

TEST_F(ValuePanels, TrimRowsWithoutRotorShowPerCent) {
  Core->Type = 1;
  Measure(4, 5.0, 1.0, 25.0, 0, 0);
  Measure(5, 2.5, 1.0, 25.0, 0, 0);
  Measure(0, 10.0, 1.0, 25.0, 4.0, 1.0);
  SetCorrection(4, 0.2, 10);
  SetCorrection(5, 0.1, 20);
  const TValuePanelView view = Trim(5);
  EXPECT_EQ(view.Headers[0].Caption, u"Mass");
  EXPECT_EQ(view.Units[2].Caption, u"[%]");
  EXPECT_EQ(view.Units[5].Caption, u"[%]");
  EXPECT_EQ(view.Rows[0].Cells[2].Text, u"50%");
  EXPECT_EQ(view.Rows[1].Cells[2].Text, u"25%");
  EXPECT_EQ(view.Rows[0].Cells[2].Color, Colour(wcWorkText2));
  EXPECT_EQ(view.Rows[1].Cells[2].Color, Colour(wcWorkChA));
  EXPECT_EQ(view.Rows[1].Cells[0].Color, Colour(wcWorkChA));
  EXPECT_EQ(view.Rows[1].Background, CurrentRowColor);
  // Channel B of these runs was never measured, and run 6 not at all.
  EXPECT_EQ(view.Rows[1].Cells[3].Text, u"");
  EXPECT_EQ(view.Rows[2].Cells[0].Text, u"");
}

TEST_F(ValuePanels, TrimRowsWithRotorJudgeOnlyTheCurrentRun) {
  const double permissible = DefineRotor();
  Measure(4, 5.0, 1.0);
  Measure(5, 2.5, 1.0);
  SetCorrection(4, permissible * 2, 10);
  SetCorrection(5, permissible / 2, 20);
  const TValuePanelView view = Trim(5);
  EXPECT_EQ(view.Units[2].Caption, u"[g mm]");
  EXPECT_EQ(view.Rows[0].Cells[2].Color, Colour(wcWorkText2));
  EXPECT_EQ(view.Rows[1].Cells[2].Color, PermissibleColor);
}

TEST_F(ValuePanels, FirstTrimRowPicksTheRuns) {
  Core->Type = 1;
  for (int run = 4; run <= 10; ++run) {
    Measure(run, run, 1.0, 25.0, 1.0, 1.0);
    SetCorrection(run, run / 100.0, 0);
  }
  Core->BalancingStep = 10;
  State.FirstTrimRow = 5;
  const TRunTableView table = ComputeRunTable(*Core, State, Texts);
  const TValuePanelView view = ComputeTrimPanel(*Core, State, table, Vectors, Texts);
  EXPECT_EQ(view.Rows[0].Cells[0].Text, u"+0,08");
  EXPECT_EQ(view.Rows[2].Cells[0].Text, u"+0,10");
  EXPECT_EQ(view.Rows[2].Background, CurrentRowColor);
}

TEST_F(ValuePanels, TrimRowsShowVibrationOrTheTotal) {
  Core->VibSensorA = {u"S", 100.0};
  Measure(4, 5.0, 1.0);
  SetCorrection(4, 0.2, 10);
  State.TrimShowsVibration = 1;
  const TValuePanelView vibration = Trim(4);
  EXPECT_EQ(vibration.Headers[0].Caption, u"Vibration: " + TZelto::AmplitudeModeText(Core->VibValueType));
  EXPECT_EQ(vibration.Headers[1].Caption, u"Phase");
  EXPECT_EQ(vibration.Units[0].Caption, u"[mV]");
  EXPECT_EQ(vibration.Rows[0].Cells[0].Text, Core->FormatAmplitude(5.0, 25.0, admVoltage, Core->VibValueType, 0));

  State.TrimShowsVibration = 0;
  State.ShowTotalMass = 1;
  Core->BalancingStep = 4;
  State.TotalCorrection = {0.5, 0, 0, 0};
  SetCorrection(3, 0.7, 0);
  const TValuePanelView total = ComputeTrimPanel(*Core, State, ComputeRunTable(*Core, State, Texts), Vectors, Texts);
  EXPECT_FALSE(total.Rows[0].Cells[2].Visible);
  // The run table recomputed the total from run 3 and run 4.
  ASSERT_TRUE(State.TotalCorrection);
  EXPECT_EQ(total.Rows[0].Cells[0].Text, std::u16string(u"+") + FormatPattern(State.TotalCorrection->MassA, u"0.00"));
}

TEST_F(ValuePanels, DividedTrimRunShowsItsSplit) {
  Core->DivideMass = 1;
  Core->RotorDivCount = 4;
  Core->MassAdd = 0;
  Measure(4, 5.0, 1.0);
  SetCorrection(4, 1.0, 60);
  State.TrimShowsVibration = 1;  // not consulted for the rows here
  const TValuePanelView view = Trim(4);
  EXPECT_EQ(view.Rows[0].Cells[0].Text, u"-1,00");
  EXPECT_EQ(view.Rows[0].Cells[1].Text, u"60°");
  EXPECT_EQ(view.Rows[1].Cells[0].Text, u"-0,50");
  EXPECT_EQ(view.Rows[2].Cells[1].Text, u"90°");
  EXPECT_EQ(view.Rows[1].Cells[0].Color, Colour(wcWorkVDiv1));
  EXPECT_EQ(view.Rows[1].Cells[2].Text, u"");
}

class WeightPanels : public ValuePanels {
 protected:
  void SetUp() override {
    ValuePanels::SetUp();
    Core->GWB.Enabled = 1;
    Core->GWB.Mode = GwbThreeWeights;
    for (auto& record : Vectors) {
      record[0] = std::polar(1.0, DegToRad(10.0));
      record[1] = std::polar(1.0, DegToRad(130.0));
      record[2] = {};
    }
  }
};

TEST_F(WeightPanels, CorrectionWithThreeWeights) {
  const double permissible = DefineRotor();
  SetCorrection(3, permissible, 30);
  const TValuePanelView view = Correction();
  EXPECT_EQ(view.Rows[0].Cells[3].Text, u"10°");
  EXPECT_EQ(view.Rows[0].Cells[4].Text, u"130°");
  EXPECT_EQ(view.Rows[0].Cells[5].Text, u"?");
  EXPECT_EQ(view.Rows[0].Cells[3].Color, Colour(wcWorkGWBA));
  // Mass and angle give way to the weights; the residual stays.
  EXPECT_EQ(view.Rows[0].Cells[0].Text, u"");
  EXPECT_FALSE(view.Headers[0].Visible);
  EXPECT_FALSE(view.Units[1].Visible);
  EXPECT_EQ(view.Rows[0].Cells[2].Color, PermissibleColor);
  EXPECT_TRUE(view.PlacementHeaders);
  EXPECT_TRUE(view.PlacementHeaderC);
  EXPECT_TRUE(view.Units[5].Visible);
}

TEST_F(WeightPanels, TwoWeightsLeaveTheThirdColumnEmpty) {
  Core->GWB.Mode = GwbTwoWeights;
  const TValuePanelView view = Correction();
  EXPECT_EQ(view.Rows[0].Cells[5].Text, u"");
  EXPECT_FALSE(view.PlacementHeaderC);
  EXPECT_FALSE(view.Units[5].Visible);

  Core->AsyncMode = 1;
  EXPECT_EQ(Correction().Rows[0].Cells[3].Text, u"-");
  // Switching the method off empties the placements.
  Core->AsyncMode = 0;
  Core->GWB.Enabled = 0;
  const TValuePanelView off = Correction();
  EXPECT_EQ(off.Rows[0].Cells[3].Text, u"");
  EXPECT_FALSE(off.PlacementHeaders);
  EXPECT_TRUE(off.Headers[0].Visible);
}

TEST_F(WeightPanels, TrimRowsShowUnbalanceAndPlacementsOfMeasuredRuns) {
  Measure(4, 5.0, 1.0);
  SetCorrection(4, 0.2, 10);
  const TValuePanelView view = Trim(4);
  EXPECT_EQ(view.Rows[0].Cells[0].Text, u"");
  EXPECT_EQ(view.Rows[0].Cells[2].Text, u"50%");
  EXPECT_EQ(view.Rows[0].Cells[3].Text, u"10°");
  // Runs 5 and 6 are not measured: no placements.
  EXPECT_EQ(view.Rows[1].Cells[3].Text, u"");
  EXPECT_EQ(view.Rows[1].Cells[2].Text, u"");

  Core->DivideMass = 1;
  const TValuePanelView divided = Trim(4);
  EXPECT_EQ(divided.Rows[0].Cells[3].Text, u"");
  EXPECT_NE(divided.Rows[0].Cells[0].Text, u"");
}

}  // namespace
