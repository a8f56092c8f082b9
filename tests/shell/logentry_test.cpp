// Log entries byte for byte, per kind, on a fixed set of run values.
#include <gtest/gtest.h>

#include <complex>
#include <numbers>

#include "formatting.h"
#include "logentry.h"
#include "zelto.h"

namespace {

constexpr double Pi = std::numbers::pi;

// A workspace that hands out fixed placement vectors and records which
// runs the log asked for.
class TFakeWorkspace : public TLogWorkspace {
 public:
  TBalanceRunVectors BalanceRunVectors(int run) const override {
    Runs.push_back(run);
    return Vectors;
  }
  TBalanceRunVectors Vectors{};
  mutable std::vector<int> Runs;
};

class LogEntryTest : public testing::Test {
 protected:
  void SetUp() override {
    DecimalSeparator = u',';
    core.AmplDisplayMode = admVoltage;
    core.VibValueType = vvtPeak;
    core.SpeedDisplayMode = 0;  // rpm
    core.VibSensorA.Sensitivity = 1;
    core.VibSensorB.Sensitivity = 1;
    core.CtrlMass = {10, "g"};
    core.MassAdd = 1;
    SetRun(0, 25, {12.5, Pi / 2, 20, Pi});
    SetRun(1, 25, {6.25, Pi, 5, 0});
    core.Results[3].Result = {0.5, Pi / 2, 0.25, Pi};
    SetRun(4, 25, {2.5, 0, 4, 0});
    core.Results[4].Result = {0.1, Pi, 0.2, Pi / 2};
  }
  // A measured run: its speed, its vector and a counted reading.
  void SetRun(int run, double freq, TVector4 meas) {
    core.Results[static_cast<size_t>(run)].Freq = freq;
    core.Results[static_cast<size_t>(run)].Meas = meas;
    core.Results[static_cast<size_t>(run)].Valid = 1;
  }
  std::optional<std::u16string> Body(TLogEntryKind kind, int step, TLogWorkspace* workspace = nullptr) {
    core.BalancingStep = step;
    return LogEntryBody(kind, core, workspace, pending);
  }

  TZelto core;
  bool pending = false;
};

TEST_F(LogEntryTest, FixedEntries) {
  EXPECT_EQ(Body(lekApplicationOpen, 0), u"Application open");
  // The close entry ends with an empty line.
  EXPECT_EQ(Body(lekApplicationClose, 0), u"Application close\r\n");
  EXPECT_EQ(Body(lekNewSession, 0), u"New session (Reset)");
  EXPECT_EQ(LogEntryText({2024, 3, 1, 9, 5, 7}, u"Application open"), u"[09:05:07] Application open");
  EXPECT_EQ(LogTimeText({2024, 3, 1, 23, 59, 0}), u"23:59:00");
}

TEST_F(LogEntryTest, MeasurementOneAndTwoPlanes) {
  EXPECT_EQ(Body(lekMeasurement1, 1),
            u"Measurement 2:\r\n\tAmplitude: 6,250 mV\r\n\tPhase: 180°\r\n\tUnbalance: 50%\r\n\tSpeed: 1500 rpm");
  EXPECT_EQ(Body(lekMeasurement2, 1),
            u"Measurement 2:\r\n\tAmplitude A: 6,250 mV\r\n\tPhase A: 180°\r\n\tUnbalance A: 50%"
            u"\r\n\tAmplitude B: 5,000 mV\r\n\tPhase B: 0°\r\n\tUnbalance B: 25%\r\n\tSpeed: 1500 rpm");
  // The initial run is measurement 1.
  EXPECT_EQ(Body(lekMeasurement1, 0).value().substr(0, 14), u"Measurement 1:");
}

TEST_F(LogEntryTest, ResultOneAndTwoPlanes) {
  pending = true;
  // An added mass sits half a turn from the correction angle.
  EXPECT_EQ(Body(lekResult1, 3), u"Result:\r\n\tMass: +5,00g\r\n\tAngle: 270°");
  pending = true;
  EXPECT_EQ(Body(lekResult2, 3),
            u"Result:\r\n\tMass A: +5,00g\r\n\tAngle A: 270°\r\n\tMass B: +2,50g\r\n\tAngle B: 0°");
  core.MassAdd = 0;
  pending = true;
  EXPECT_EQ(Body(lekResult1, 3), u"Result:\r\n\tMass: -5,00g\r\n\tAngle: 90°");
}

TEST_F(LogEntryTest, TrimRunsCountFromTheRunIndex) {
  // Run 4, the first trim run, is logged with the number 5.
  EXPECT_EQ(Body(lekTrim1, 4),
            u"Tunning 5:\r\n\tMass: +1,00g\r\n\tAngle: 0°\r\n\tUnbalance: 20%\r\n\tSpeed: 1500 rpm");
  EXPECT_EQ(Body(lekTrim2, 4),
            u"Tunning 5:\r\n\tMass A: +1,00g\r\n\tAngle A: 0°\r\n\tUnbalance A: 20%"
            u"\r\n\tMass B: +2,00g\r\n\tAngle B: 270°\r\n\tUnbalance B: 20%\r\n\tSpeed: 1500 rpm");
}

TEST_F(LogEntryTest, NothingWithoutTheInitialRun) {
  core.Results[0].Meas.AmplA = 0;
  EXPECT_FALSE(Body(lekMeasurement1, 1));
  EXPECT_FALSE(pending);
  EXPECT_FALSE(Body(lekTrim1, 4));
  core.Results[0].Meas.AmplA = 12.5;
  core.Results[0].Meas.AmplB = 0;
  EXPECT_TRUE(Body(lekMeasurement1, 1));
  EXPECT_FALSE(Body(lekMeasurement2, 1));
  EXPECT_FALSE(Body(lekTrim2, 4));
  // No run to read at a step outside the runs.
  EXPECT_FALSE(Body(lekMeasurement1, RunCount));
  EXPECT_FALSE(Body(lekTrim1, -1));
}

// A correction or trim correction that could not be computed is written as
// the screen shows it, "-", never as its stored zeros ("+0,00g", "180°");
// a run without a counted reading is not written at all.
TEST_F(LogEntryTest, UncomputableCorrectionsAreWrittenAsADashAndUnmeasuredRunsNotAtAll) {
  core.Results[3].Result = {};
  core.Results[3].NotComputable = 1;
  core.Results[4].Result = {};
  core.Results[4].NotComputable = 1;
  pending = true;
  EXPECT_EQ(Body(lekResult1, 3), u"Result:\r\n\tMass: -\r\n\tAngle: -");
  pending = true;
  EXPECT_EQ(Body(lekResult2, 3), u"Result:\r\n\tMass A: -\r\n\tAngle A: -\r\n\tMass B: -\r\n\tAngle B: -");
  EXPECT_EQ(Body(lekTrim1, 4), u"Tunning 5:\r\n\tMass: -\r\n\tAngle: -\r\n\tUnbalance: 20%\r\n\tSpeed: 1500 rpm");
  EXPECT_EQ(Body(lekTrim2, 4),
            u"Tunning 5:\r\n\tMass A: -\r\n\tAngle A: -\r\n\tUnbalance A: 20%"
            u"\r\n\tMass B: -\r\n\tAngle B: -\r\n\tUnbalance B: 20%\r\n\tSpeed: 1500 rpm");
  core.Results[5] = {};
  EXPECT_FALSE(Body(lekTrim1, 5));
  EXPECT_FALSE(Body(lekTrim2, 5));
  core.Results[1].Valid = 0;
  EXPECT_FALSE(Body(lekMeasurement1, 1));
  EXPECT_FALSE(pending);
}

TEST_F(LogEntryTest, ResultIsWrittenOnceAfterMeasurements) {
  EXPECT_FALSE(Body(lekResult1, 3));
  EXPECT_TRUE(Body(lekMeasurement1, 0));
  EXPECT_TRUE(Body(lekMeasurement1, 1));
  EXPECT_TRUE(Body(lekResult1, 3));
  // Back to run 1 and forward to run 3 again without a new measurement.
  EXPECT_FALSE(Body(lekResult1, 3));
  EXPECT_TRUE(Body(lekMeasurement2, 1));
  EXPECT_TRUE(Body(lekResult2, 3));
  EXPECT_FALSE(Body(lekResult2, 3));
}

TEST_F(LogEntryTest, AmplitudeOnlyWeights) {
  core.GWB.Enabled = 1;
  core.GWB.Mode = 1;
  TFakeWorkspace workspace;
  workspace.Vectors = {std::polar(1.0, Pi / 2), 0.0, std::polar(2.0, -Pi / 2), 0.0};
  const std::u16string weights = u"\r\n\tBalance weights: \r\n\t\tA: 90°\r\n\t\tB: ?\r\n\t\tC: 270°";

  EXPECT_EQ(Body(lekMeasurement1, 1, &workspace),
            u"Measurement 2:\r\n\tAmplitude: 6,250 mV\r\n\tPhase: 180°\r\n\tUnbalance: 50%\r\n\tSpeed: 1500 rpm" +
                weights);
  EXPECT_EQ(Body(lekResult1, 3, &workspace), u"Result:" + weights);
  EXPECT_EQ(Body(lekTrim1, 4, &workspace),
            u"Tunning 5:" + weights + u"\r\n\tUnbalance: 20%\r\n\tSpeed: 1500 rpm");
  EXPECT_EQ(workspace.Runs, (std::vector<int>{1, 3, 4}));

  // Two weights list A and B only; without a workspace nothing is known.
  core.GWB.Mode = 0;
  pending = true;
  EXPECT_EQ(Body(lekResult1, 3, nullptr), u"Result:\r\n\tBalance weights: \r\n\t\tA: ?\r\n\t\tB: ?");
}

}  // namespace
