// The result panel's computations: the error flags with the speed
// tolerance, the run table in its three branches, and the measured-value
// panels.

#include "resultpanel.h"

#include "corefixture.h"

namespace {

class ResultPanel : public CoreTest {
 protected:
  void Flags(double rangeA = 1000, double rangeB = 1000) { ComputeMeasurementFlags(*Core, rangeA, rangeB, State); }
  TRunTableView Table() { return ComputeRunTable(*Core, State, Texts); }

  TResultPanelState State;
  TRunVectors Vectors{};
};

}  // namespace

TEST(SpeedTolerance, PositionsMapToPercentagesAndStrayPositionsToTheDefault) {
  EXPECT_DOUBLE_EQ(SpeedTolerancePercent(0), 0.1);
  EXPECT_DOUBLE_EQ(SpeedTolerancePercent(1), 0.5);
  EXPECT_DOUBLE_EQ(SpeedTolerancePercent(2), 1.0);
  EXPECT_DOUBLE_EQ(SpeedTolerancePercent(3), 5.0);
  EXPECT_DOUBLE_EQ(SpeedTolerancePercent(4), 10.0);
  EXPECT_DOUBLE_EQ(SpeedTolerancePercent(5), 1.0);
  EXPECT_DOUBLE_EQ(SpeedTolerancePercent(-1), 1.0);
}

TEST_F(ResultPanel, DeviationOfExactlyTheToleranceSetsNoFlagJustAboveDoes) {
  Core->SpeedTolerance = 3;  // 5 %
  Measure(0, 10, 1, 20.0);
  Core->BalancingStep = 1;
  Measure(1, 10, 1, 21.0);
  Flags();
  EXPECT_FALSE(State.SpeedOutOfTolerance);
  State.LastSpeed = 0;
  Core->Results[1].Freq = 21.01;
  Flags();
  EXPECT_TRUE(State.SpeedOutOfTolerance);
  EXPECT_TRUE(State.AnyMeasurementError);
}

// The stored value is a list position: position 2 is 1 %, not 2 %, and a
// position outside the list falls back to 1 %.
TEST_F(ResultPanel, ToleranceComparesThePercentageOfThePosition) {
  Measure(0, 10, 1, 100.0);
  Core->BalancingStep = 1;
  Measure(1, 10, 1, 101.5);
  Core->SpeedTolerance = 2;
  Flags();
  EXPECT_TRUE(State.SpeedOutOfTolerance);
  State.LastSpeed = 0;
  Core->SpeedTolerance = 200;  // -56 as a signed byte
  Flags();
  EXPECT_TRUE(State.SpeedOutOfTolerance);
  State.LastSpeed = 0;
  Core->SpeedTolerance = 4;
  Flags();
  EXPECT_FALSE(State.SpeedOutOfTolerance);
}

TEST_F(ResultPanel, ConsecutiveReadingsAreComparedEvenWithoutInitialRun) {
  Core->SpeedTolerance = 3;  // 5 %
  Core->BalancingStep = 1;
  Core->Results[1].Freq = 1000.0 / 60;
  Flags();
  EXPECT_FALSE(State.SpeedOutOfTolerance);
  Core->Results[1].Freq = 1100.0 / 60;
  Flags();
  EXPECT_TRUE(State.SpeedOutOfTolerance);
  EXPECT_DOUBLE_EQ(State.LastSpeed, 1100.0 / 60);
}

TEST_F(ResultPanel, ZeroSpeedShowsTheErrorTextOnlyWhileMeasuring) {
  Core->BalancingStep = 0;
  Core->Measuring = 1;
  Flags();
  EXPECT_TRUE(State.ZeroSpeed);
  TRunTableView table = Table();
  EXPECT_EQ(table.Rows[0].Speed, u"Error");
  EXPECT_EQ(table.Rows[0].SpeedColor, ErrorTextColor);
  EXPECT_TRUE(table.Rows[0].ErrorImage);
  Core->Measuring = 0;
  table = Table();
  EXPECT_EQ(table.Rows[0].Speed, u"");
  EXPECT_EQ(table.Rows[0].SpeedColor, CurrentSpeedColor);
  EXPECT_FALSE(table.Rows[0].ErrorImage);
}

TEST_F(ResultPanel, AmplitudeEqualToTheRangeIsNotOverRange) {
  Core->Type = 1;
  Measure(0, 500, 1, 25, 800, 1);
  Flags(500, 500);
  EXPECT_FALSE(State.OverRangeA);
  EXPECT_TRUE(State.OverRangeB);
  Core->Type = 0;
  Flags(499, 500);
  EXPECT_TRUE(State.OverRangeA);
  EXPECT_FALSE(State.OverRangeB);  // one plane never checks channel B
}

TEST_F(ResultPanel, MeasurementRowsOfOnePlaneLeaveTheThirdRowBlank) {
  Measure(0, 10, 1, 25.0);
  Core->BalancingStep = 1;
  TRunTableView table = Table();
  EXPECT_EQ(table.Rows[0].Operation, u"Measurement 1");
  EXPECT_EQ(table.Rows[0].Speed, u"25,00");
  EXPECT_EQ(table.Rows[0].SpeedColor, OtherSpeedColor);
  EXPECT_EQ(table.Rows[1].Background, CurrentRowColor);
  EXPECT_TRUE(table.Rows[1].Marker);
  EXPECT_EQ(table.Rows[2].Operation, u"");
  EXPECT_EQ(table.Rows[2].Background, OtherRowColor);
  EXPECT_EQ(table.SpeedCaption, u"Speed");
  EXPECT_EQ(table.SpeedUnit, u"[Hz]");
  Core->Type = 1;
  Core->SpeedDisplayMode = 0;
  table = Table();
  EXPECT_EQ(table.Rows[2].Operation, u"Measurement 3");
  EXPECT_EQ(table.Rows[0].Speed, u"1500");
  EXPECT_EQ(table.SpeedUnit, u"[rpm]");
}

TEST_F(ResultPanel, CorrectionRowsShowTheSplitOnlyWithDividedMasses) {
  Core->BalancingStep = 3;
  TRunTableView table = Table();
  EXPECT_EQ(table.Rows[0].Operation, u"MeasResult");
  EXPECT_EQ(table.Rows[0].Background, CurrentRowColor);
  EXPECT_EQ(table.Rows[1].Operation, u"");
  EXPECT_EQ(table.Rows[2].Operation, u"");
  EXPECT_EQ(table.SpeedCaption, u"");
  EXPECT_EQ(table.SpeedUnit, u"");
  Core->DivideMass = 1;
  Core->Results[3].Result = {1.0, 0.5, 0, 0};
  table = Table();
  EXPECT_EQ(table.Rows[1].Operation, u"DivPart");
  ASSERT_TRUE(State.PanelSplit);
  EXPECT_GT(State.PanelSplit->MassA1 + State.PanelSplit->MassA2, 0.0);
  // No split for a correction not computed, nor onto fewer than three
  // rotor positions.
  Core->Results[3].NotComputable = 1;
  Table();
  EXPECT_FALSE(State.PanelSplit);
  Core->Results[3].NotComputable = 0;
  Core->RotorDivCount = 2;
  Table();
  EXPECT_FALSE(State.PanelSplit);
}

TEST_F(ResultPanel, TrimRowsStartAtFirstTrimRow) {
  Core->BalancingStep = 9;
  State.FirstTrimRow = 5;
  Measure(8, 10, 1, 25.0);
  TRunTableView table = Table();
  EXPECT_EQ(table.Rows[0].Operation, u"Tunning 5");
  EXPECT_EQ(table.Rows[1].Operation, u"Tunning 6");
  EXPECT_EQ(table.Rows[2].Operation, u"Tunning 7");
  EXPECT_EQ(table.Rows[0].Speed, u"25,00");
  EXPECT_EQ(table.Rows[1].Background, CurrentRowColor);
  EXPECT_TRUE(table.Rows[1].Marker);
  EXPECT_FALSE(table.Rows[0].Marker);
}

TEST_F(ResultPanel, TrimRowsPastTheLastRunStayBlank) {
  Core->BalancingStep = 19;
  State.FirstTrimRow = 16;
  TRunTableView table = Table();
  EXPECT_EQ(table.Rows[0].Operation, u"Tunning 16");
  EXPECT_EQ(table.Rows[1].Operation, u"");
  EXPECT_EQ(table.Rows[2].Operation, u"");
}

TEST_F(ResultPanel, AsynchronousModeShowsMeasuredSpeedsAsDash) {
  Measure(0, 10, 1, 25.0);
  Core->AsyncMode = 1;
  EXPECT_EQ(Table().Rows[0].Speed, u"-");
  EXPECT_EQ(Table().Rows[1].Speed, u"");
}

TEST_F(ResultPanel, TotalViewMarksTheCurrentTrimRowAndHidesItsSpeed) {
  for (int run : {0, 1, 4}) Measure(run, 10 - run, 1, 25.0);
  Core->Results[3].Result = {1.0, 0.5, 0, 0};
  Core->Results[4].Result = {0.2, 0.4, 0, 0};
  Core->BalancingStep = 4;
  State.ShowTotalMass = 1;
  TRunTableView table = Table();
  EXPECT_EQ(table.Rows[0].Operation, u"Tunning 1  \u2211");
  EXPECT_FALSE(table.Rows[0].SpeedVisible);
  EXPECT_TRUE(table.Rows[1].SpeedVisible);
  ASSERT_TRUE(State.TotalCorrection);
  EXPECT_NE(State.TotalCorrection->MassA, 0.0);
  State.TrimShowsVibration = 1;
  EXPECT_EQ(Table().Rows[0].Operation, u"Tunning 1");
}

TEST_F(ResultPanel, DividedTrimShowsTheCurrentRunAndItsSplit) {
  Measure(6, 10, 1, 25.0);
  Core->BalancingStep = 6;
  Core->DivideMass = 1;
  Core->Measuring = 1;
  State.ZeroSpeed = 1;
  State.AnyMeasurementError = 1;
  TRunTableView table = Table();
  EXPECT_EQ(table.Rows[0].Operation, u"Tunning 3");
  EXPECT_EQ(table.Rows[0].Speed, u"Error");
  EXPECT_EQ(table.Rows[0].SpeedColor, ErrorTextColor);
  EXPECT_TRUE(table.Rows[0].ErrorImage);
  EXPECT_EQ(table.Rows[1].Operation, u"DivPart");
  EXPECT_EQ(table.Rows[2].Operation, u"DivPart");
}

// The current run is the bottom row from step 6 on; before, the table
// starts at the first trim run, whatever it showed for an earlier job.
TEST(FirstTrimRow, FollowsStepsAboveFive) {
  EXPECT_EQ(FirstTrimRowFor(7), 2);
  EXPECT_EQ(FirstTrimRowFor(6), 1);
  EXPECT_EQ(FirstTrimRowFor(5), 1);
  EXPECT_EQ(FirstTrimRowFor(4), 1);
  EXPECT_EQ(FirstTrimRowFor(0), 1);
  EXPECT_EQ(FirstTrimRowFor(19), 14);
}

TEST(ValuePanel, ChoiceFollowsPlanesAndStep) {
  EXPECT_EQ(ChooseValuePanel(0, 1), vpOnePlaneMeasured);
  EXPECT_EQ(ChooseValuePanel(0, 3), vpOnePlaneCorrection);
  EXPECT_EQ(ChooseValuePanel(0, 4), vpOnePlaneTrim);
  EXPECT_EQ(ChooseValuePanel(1, 2), vpTwoPlanesMeasured);
  EXPECT_EQ(ChooseValuePanel(1, 3), vpTwoPlanesCorrection);
  EXPECT_EQ(ChooseValuePanel(1, 19), vpTwoPlanesTrim);
}

TEST_F(ResultPanel, TwoPlaneRowsStayEmptyUntilMeasuredAndOverRangeReddensAmplitudes) {
  Core->Type = 1;
  Core->VibSensorA.Sensitivity = Core->VibSensorB.Sensitivity = 100;
  Core->AmplDisplayMode = admVoltage;
  Core->VibValueType = vvtPeak;
  Measure(0, 200, 0.5, 25.0, 100, 1.0);
  Core->BalancingStep = 1;
  Measure(1, 100, 0.5, 25.0, 100, 1.0);
  State.OverRangeA = 1;
  const TMeasuredPanelView panel = ComputeMeasuredPanel(*Core, State, Table(), Vectors, Texts);
  EXPECT_EQ(panel.RowCount, 3);
  EXPECT_EQ(panel.AmplitudeHeader, u"Vibration: P-K");
  EXPECT_EQ(panel.AmplitudeUnit, u"[mV]");
  EXPECT_EQ(panel.UnbalanceUnit, u"[%]");
  EXPECT_EQ(panel.Rows[0].AmplitudeA.Text, u"200,0");
  EXPECT_EQ(panel.Rows[1].UnbalanceA.Text, u"50%");
  EXPECT_EQ(panel.Rows[1].UnbalanceB.Text, u"100%");
  EXPECT_EQ(panel.Rows[2].AmplitudeA.Text, u"");
  EXPECT_EQ(panel.Rows[2].PhaseB.Text, u"");
  for (int i = 0; i < 2; ++i) EXPECT_EQ(panel.Rows[i].AmplitudeA.Color, ErrorTextColor);
  EXPECT_EQ(panel.Rows[1].PhaseA.Color, Core->WorkColors[wcWorkChA]);
  EXPECT_EQ(panel.Rows[0].PhaseA.Color, Core->WorkColors[wcWorkText2]);
  EXPECT_EQ(panel.Rows[1].AmplitudeB.Color, Core->WorkColors[wcWorkChB]);
  EXPECT_EQ(panel.Rows[1].Background, CurrentRowColor);
}

TEST_F(ResultPanel, OnePlanePanelHasTwoRowsAndPlacementAnglesByMode) {
  Core->VibSensorA.Sensitivity = 100;
  Measure(0, 200, 0.5, 25.0);
  Core->GWB.Enabled = 1;
  Core->GWB.Mode = 0;
  Vectors[0][0] = {0, 1};
  TMeasuredPanelView panel = ComputeMeasuredPanel(*Core, State, Table(), Vectors, Texts);
  EXPECT_EQ(panel.RowCount, 2);
  EXPECT_EQ(panel.Rows[0].Placement[0].Text, u"90\u00B0");
  EXPECT_EQ(panel.Rows[0].Placement[1].Text, u"?");
  EXPECT_EQ(panel.Rows[0].Placement[2].Text, u"");
  EXPECT_EQ(panel.Rows[1].Placement[2].Text, u"");
  EXPECT_TRUE(panel.PlacementHeaders);
  EXPECT_FALSE(panel.PlacementHeaderC);
  Core->GWB.Mode = 1;
  panel = ComputeMeasuredPanel(*Core, State, Table(), Vectors, Texts);
  EXPECT_EQ(panel.Rows[0].Placement[2].Text, u"?");
  EXPECT_TRUE(panel.PlacementHeaderC);
  Core->GWB.Enabled = 0;
  panel = ComputeMeasuredPanel(*Core, State, Table(), Vectors, Texts);
  EXPECT_EQ(panel.Rows[0].Placement[0].Text, u"");
  EXPECT_FALSE(panel.PlacementHeaders);
}
