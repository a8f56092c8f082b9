// The run control rules: Next and Previous, the Start checks, the buttons,
// and the texts of the status line and the run-parameter buttons.

#include "workflow.h"

#include "corefixture.h"

namespace {
using Workflow = CoreTest;
}

TEST_F(Workflow, OnePlaneNextFromTrialRunReachesTheCorrectionAndBack) {
  Measure(0, 10, 1);
  Measure(1, 5, 1);
  Core->BalancingStep = 1;
  const TNextResult next = AdvanceStep(*Core);
  EXPECT_TRUE(next.Advanced);
  EXPECT_TRUE(next.ReachedCorrection);
  EXPECT_EQ(Core->BalancingStep, 3);
  EXPECT_EQ(Core->HighestStep, 3);
  int32_t firstTrimRow = 1;
  RetreatStep(*Core, firstTrimRow);
  EXPECT_EQ(Core->BalancingStep, 1);
  EXPECT_EQ(firstTrimRow, 1);
}

TEST_F(Workflow, NextRefusesWhileANeededRunIsNotMeasured) {
  Measure(0, 10, 1);
  Core->BalancingStep = 1;
  EXPECT_FALSE(AdvanceStep(*Core).Advanced);
  EXPECT_EQ(Core->BalancingStep, 1);
  Core->Type = 1;
  Core->BalancingStep = 2;
  Measure(1, 10, 1);
  EXPECT_FALSE(AdvanceStep(*Core).Advanced);
  Core->BalancingStep = 5;
  EXPECT_FALSE(AdvanceStep(*Core).Advanced);
}

TEST_F(Workflow, NextFromTheStartAndTwoPlaneTrialsNeedsNothing) {
  EXPECT_TRUE(AdvanceStep(*Core).Advanced);
  EXPECT_EQ(Core->BalancingStep, 1);
  Core->Type = 1;
  EXPECT_TRUE(AdvanceStep(*Core).Advanced);
  EXPECT_EQ(Core->BalancingStep, 2);
  EXPECT_EQ(Core->HighestStep, 0);
}

TEST_F(Workflow, LastStepDisablesNextAndRefusesIt) {
  Core->BalancingStep = 19;
  Measure(19, 10, 1);
  EXPECT_FALSE(NextEnabled(*Core));
  EXPECT_FALSE(AdvanceStep(*Core).Advanced);
  EXPECT_EQ(Core->BalancingStep, 19);
  Core->BalancingStep = 18;
  EXPECT_TRUE(NextEnabled(*Core));
  Core->Measuring = 1;
  EXPECT_FALSE(NextEnabled(*Core));
  EXPECT_FALSE(PrevEnabled(*Core));
  EXPECT_FALSE(SetupEnabled(*Core));
}

TEST_F(Workflow, PreviousScrollsTheTrimTableAndStopsAtZero) {
  Core->BalancingStep = 8;
  int32_t firstTrimRow = 3;
  RetreatStep(*Core, firstTrimRow);
  EXPECT_EQ(Core->BalancingStep, 7);
  EXPECT_EQ(firstTrimRow, 2);
  Core->BalancingStep = 0;
  RetreatStep(*Core, firstTrimRow);
  EXPECT_EQ(Core->BalancingStep, 0);
  EXPECT_FALSE(PrevEnabled(*Core));
}

TEST_F(Workflow, StartRightAfterTheCorrectionMovesOnWithoutAsking) {
  Core->BalancingStep = Core->HighestStep = 3;
  Core->Results[3].Meas.AmplA = 1;
  EXPECT_FALSE(StartAsksToReplace(*Core));
  EXPECT_EQ(StartMoveFor(*Core), TStartMove::NextFirst);
  EXPECT_EQ(StartCaptureRun(*Core), 4);
}

// The question is about the run the capture goes to, not the step shown.
TEST_F(Workflow, StartBelowTheHighestAsksAboutTheRunItWillCapture) {
  Measure(5, 10, 1);
  Core->BalancingStep = 5;
  Core->HighestStep = 7;
  EXPECT_EQ(StartMoveFor(*Core), TStartMove::HighestThenNext);
  // Run 7 not measured: Next stays there, and there is nothing to replace.
  EXPECT_EQ(StartCaptureRun(*Core), 7);
  EXPECT_FALSE(StartAsksToReplace(*Core));
  // Run 7 measured: the capture goes to the empty run 8.
  Measure(7, 8, 1);
  EXPECT_EQ(StartCaptureRun(*Core), 8);
  EXPECT_FALSE(StartAsksToReplace(*Core));
  // Only its phase B set: not measured, but a value a capture would replace.
  Core->Results[7] = MeasurementResult();
  Core->Results[7].Meas.PhB = 0.5;
  EXPECT_EQ(StartCaptureRun(*Core), 7);
  EXPECT_TRUE(StartAsksToReplace(*Core));
  Core->BalancingStep = 7;
  EXPECT_EQ(StartMoveFor(*Core), TStartMove::Stay);
  EXPECT_EQ(StartCaptureRun(*Core), 7);
}

TEST_F(Workflow, StartAtAnEarlyStepWithTheLastRunMeasuredAsksAboutTheLastRun) {
  Core->BalancingStep = 3;
  Core->HighestStep = 19;
  Measure(19, 4, 1);
  EXPECT_EQ(StartCaptureRun(*Core), 19);
  EXPECT_TRUE(StartAsksToReplace(*Core));
  // An unmeasured current step does not matter, a measured one neither.
  Core->BalancingStep = 10;
  Measure(10, 4, 1);
  Core->Results[19] = MeasurementResult();
  EXPECT_EQ(StartCaptureRun(*Core), 19);
  EXPECT_FALSE(StartAsksToReplace(*Core));
}

TEST_F(Workflow, StartAsksForAnyOfTheFourValuesBelowTheCorrection) {
  EXPECT_FALSE(StartAsksToReplace(*Core));
  Core->Results[0].Meas.PhB = 0.1;
  EXPECT_TRUE(StartAsksToReplace(*Core));
  EXPECT_FALSE(RunMeasured(Core->Results[0]));
}

TEST_F(Workflow, BothSensorsAreNeededAlsoWithOnePlane) {
  Core->VibSensorA.Sensitivity = 100;
  EXPECT_FALSE(SensorsAssigned(*Core));
  Core->VibSensorB.Sensitivity = 100;
  EXPECT_TRUE(SensorsAssigned(*Core));
}

TEST(LogKind, ByStepAndPlanes) {
  EXPECT_EQ(LogKindAtEnd(0, 0), 2);
  EXPECT_EQ(LogKindAtEnd(2, 1), 5);
  EXPECT_EQ(LogKindAtEnd(3, 0), std::nullopt);
  EXPECT_EQ(LogKindAtEnd(4, 0), 4);
  EXPECT_EQ(LogKindAtEnd(19, 1), 7);
}

TEST_F(Workflow, TotalMassNeedsAValidTrimRunWithoutWeights) {
  Core->BalancingStep = 4;
  EXPECT_FALSE(TotalMassEnabled(*Core));
  Measure(4, 1, 1);
  EXPECT_TRUE(TotalMassEnabled(*Core));
  Core->GWB.Enabled = 1;
  EXPECT_FALSE(TotalMassEnabled(*Core));
}

TEST_F(Workflow, OperationCaptionByStep) {
  EXPECT_EQ(OperationCaption(*Core, 0, Texts, u"Total"), u"Measurement1");
  Core->BalancingStep = 1;
  EXPECT_EQ(OperationCaption(*Core, 0, Texts, u"Total"), u"Measurement21");
  Core->Type = 1;
  EXPECT_EQ(OperationCaption(*Core, 0, Texts, u"Total"), u"Measurement22");
  Core->GWB.Enabled = 1;
  EXPECT_EQ(OperationCaption(*Core, 0, Texts, u"Total"), u"Measurement2GWB");
  Core->BalancingStep = 4;
  EXPECT_EQ(OperationCaption(*Core, 0, Texts, u"Total"), u"Tunning 1");
  EXPECT_EQ(OperationCaption(*Core, 1, Texts, u"Total"), u"Tunning 1  \u2211 - Total");
}

TEST_F(Workflow, ErrorLineLaterFlagWinsAndNoErrorUsesWorkText2) {
  TResultPanelState flags;
  flags.ZeroSpeed = flags.OverRangeA = flags.AnyMeasurementError = 1;
  TErrorLine line = MeasurementErrorLine(*Core, flags, Texts);
  EXPECT_EQ(line.Text, u"AmplOutOfRange");
  EXPECT_EQ(line.Color, ErrorTextColor);
  EXPECT_EQ(line.Lamp, lpRed);
  flags = {};
  flags.SpeedOutOfTolerance = flags.AnyMeasurementError = 1;
  EXPECT_EQ(MeasurementErrorLine(*Core, flags, Texts).Text, u"FreqOutOfRange");
  Core->WorkColors[wcWorkText2] = 0x123456;
  line = MeasurementErrorLine(*Core, {}, Texts);
  EXPECT_EQ(line.Text, u"NoError");
  EXPECT_EQ(line.Color, 0x123456u);
  EXPECT_EQ(line.Lamp, lpOff);
  SetText(Core->LastErrorText, u"Transfer failed");
  Core->CaptureError = CaptureErrorDriver;
  EXPECT_EQ(DriverErrorLine(*Core, u"CaptureWindowError").Text, u"Transfer failed");
  Core->CaptureError = CaptureErrorWindow;
  EXPECT_EQ(DriverErrorLine(*Core, u"CaptureWindowError").Text, u"CaptureWindowError");
}

TEST_F(Workflow, AcquisitionStatesAndTheProgressLabel) {
  EXPECT_EQ(AcquisitionViewFor(1, Texts).Text, u"StateWaiting");
  EXPECT_EQ(AcquisitionViewFor(1, Texts).Lamp, lpGreen);
  EXPECT_FALSE(AcquisitionViewFor(2, Texts).ClearProgress);
  EXPECT_EQ(AcquisitionViewFor(3, Texts).Text, u"StateAsyncSampling");
  EXPECT_EQ(AcquisitionViewFor(4, Texts).Lamp, std::nullopt);
  EXPECT_TRUE(AcquisitionViewFor(4, Texts).ClearProgress);
  EXPECT_EQ(AcquisitionViewFor(9, Texts).Text, u"");
}

TEST_F(Workflow, ParameterCaptionsAndAsynchronousDashes) {
  Core->CtrlMass = {2.5, "g"};
  Core->Captures[0].T = 12;
  TParamCaptions captions = ComputeParamCaptions(*Core, Texts);
  EXPECT_EQ(captions.Direction, u"Right");
  EXPECT_EQ(captions.Periods, u"12");
  EXPECT_EQ(captions.ControlMass, u"2,500g");
  EXPECT_EQ(captions.CorrectionMass, u"AddMass");
  EXPECT_TRUE(captions.MassButtonsEnabled);
  Core->Captures[0].T = 0;
  Core->Measuring = 1;
  EXPECT_TRUE(ComputeParamCaptions(*Core, Texts).PeriodsAlert);
  Core->AsyncMode = 1;
  captions = ComputeParamCaptions(*Core, Texts);
  EXPECT_EQ(captions.Direction, u"-");
  EXPECT_EQ(captions.Periods, u"-");
  EXPECT_EQ(captions.ControlMass, u"-");
  EXPECT_FALSE(captions.MassButtonsEnabled);
}
