#include "pipelinefixture.h"
#include "textconv.h"

#include <array>
#include <cmath>
#include <numbers>
#include <thread>

namespace {

constexpr double kPi = std::numbers::pi;

class Evaluation : public PipelineTest {
 protected:
  void SetUp() override {
    PipelineTest::SetUp();
    LoadFake();
    Core->BuffLength = 1000;
    Core->SamplingRate = 4;  // 10 kHz
    Core->GainA = 1;         // 1000 mV
    Core->GainB = 2;         // 500 mV
  }

  // A window of `revs` revolutions over samples [start, end) of run `run`,
  // channel A at amplitude ampA counts and phase phA (of the sine), B
  // likewise.
  void Sine(int32_t run, int32_t start, int32_t end, int32_t revs, double ampA, double phA, double ampB = 0,
            double phB = 0) {
    AllocateRun(run);
    CaptureRecord& c = Core->Captures[run];
    c.Start = start;
    c.End = end;
    c.T = revs;
    const int32_t n = end - start;
    for (int32_t m = 0; m < n; ++m) {
      const double a = 2 * kPi * revs * m / n;
      c.DataA[start + m] = static_cast<int32_t>(std::lround(ampA * std::sin(a + phA)));
      if (!c.DataB.empty()) c.DataB[start + m] = static_cast<int32_t>(std::lround(ampB * std::sin(a + phB)));
    }
  }

  // Millivolts of `counts` on channel A's 1000 mV range.
  static double MvA(double counts) { return 1000.0 * counts / 0x8000; }
};

}  // namespace

TEST_F(Evaluation, DemoCaptureOfEightKSamplesAtTenKilohertz) {
  Core->BuffLength = 8192;
  AllocateRun(0);
  Core->SimulateCapture(0);
  const CaptureRecord& c = Core->Captures[0];
  EXPECT_EQ(c.T, 40);
  EXPECT_EQ(c.Start, 0);
  EXPECT_EQ(c.End, 8040);
  EXPECT_EQ(Clock.Sleeps(), std::vector<uint32_t>{100});
  Core->EvaluateCapture(0, 0);
  EXPECT_DOUBLE_EQ(Core->Results[0].Freq, 40 * 10000.0 / 8040);
  EXPECT_EQ(Core->Results[0].Valid, 1);
  // Run 0, channel A: 0.7 x 400 mV within the random factor and the leakage
  // of a window 0.2 samples short.
  EXPECT_NEAR(Core->Results[0].Meas.AmplA, 280, 4);
}

TEST_F(Evaluation, DemoBufferShorterThanARevolutionLeavesTheRun) {
  Core->BuffLength = 150;
  AllocateRun(0);
  CaptureRecord& c = Core->Captures[0];
  c.DataA[10] = 77;
  c.T = 1;
  c.Start = 9;
  c.End = 99;
  EXPECT_FALSE(Core->SimulateCapture(0));
  EXPECT_EQ(c.T, 1);
  EXPECT_EQ(c.Start, 9);
  EXPECT_EQ(c.End, 99);
  EXPECT_EQ(c.DataA[10], 77);
  EXPECT_TRUE(Clock.Sleeps().empty());
}

TEST_F(Evaluation, DemoOnePlaneWritesOnlyChannelA) {
  Core->Type = 0;
  AllocateRun(2);
  Core->BalancingStep = 2;
  Core->SimulateCapture(0);
  EXPECT_NE(Core->Captures[2].DataA[25], 0);
  EXPECT_TRUE(Core->Captures[2].DataB.empty());
}

TEST_F(Evaluation, SyncVectorOfASineInsideItsWindow) {
  Core->Type = 1;
  Sine(0, 100, 900, 8, 12000, kPi / 6, 8000, -kPi / 2);
  Core->EvaluateCapture(0, 0);
  const MeasurementResult& r = Core->Results[0];
  EXPECT_DOUBLE_EQ(r.Freq, 8 * 10000.0 / 800);
  EXPECT_NEAR(r.Slots[0].AmplA, MvA(12000), 0.01);
  EXPECT_NEAR(r.Slots[0].PhA, kPi / 6 - kPi / 2, 1e-4);
  EXPECT_NEAR(r.Slots[0].AmplB, 500.0 * 8000 / 0x8000, 0.01);
  EXPECT_NEAR(std::remainder(r.Slots[0].PhB - (-kPi), 2 * kPi), 0, 1e-4);
  EXPECT_EQ(r.Meas.AmplA, r.Slots[0].AmplA);
  EXPECT_EQ(r.Valid, 1);
}

TEST_F(Evaluation, AveragingFillsThreeSlotsThenShifts) {
  Core->AvgSize = 3;
  const double phases[] = {0.1, 0.2, 0.3, 0.4};
  for (int reading = 0; reading < 4; ++reading) {
    Sine(0, 0, 1000, 10, 1000 * (reading + 1), phases[reading]);
    Core->EvaluateCapture(0, 0);
    if (Core->Readings < Core->AvgSize) ++Core->Readings;  // as the balancing thread counts
  }
  const MeasurementResult& r = Core->Results[0];
  // Slots hold readings 2, 3, 4; reading 1 was dropped.
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(r.Slots[k].AmplA, MvA(1000 * (k + 2)), 0.02) << k;
  EXPECT_EQ(r.Slots[3].AmplA, 0.0);
  std::complex<double> mean;
  for (int k = 0; k < 3; ++k) mean += std::polar(r.Slots[k].AmplA, r.Slots[k].PhA);
  mean /= 3.0;
  EXPECT_NEAR(r.Meas.AmplA, std::abs(mean), 1e-9);
  EXPECT_NEAR(r.Meas.PhA, std::arg(mean), 1e-9);
  EXPECT_EQ(Core->Readings, 3);
}

TEST_F(Evaluation, MeanCoversTheSlotsFilledSoFar) {
  Core->AvgSize = 3;
  Sine(0, 0, 1000, 10, 1000, 0);
  Core->EvaluateCapture(0, 0);
  Core->Readings = 1;
  Sine(0, 0, 1000, 10, 3000, 0);
  Core->EvaluateCapture(0, 0);
  EXPECT_NEAR(Core->Results[0].Meas.AmplA, MvA(2000), 0.02);
}

TEST_F(Evaluation, ReadingsNeverIndexPastTheLastSlot) {
  // One slot with a stale count of 1 (from an earlier setting) still writes
  // slot 0, and counts far above the slots from a file are held in range.
  Core->AvgSize = 1;
  Core->Readings = 1;
  Sine(0, 0, 1000, 10, 2000, 0);
  Core->EvaluateCapture(0, 0);
  EXPECT_NEAR(Core->Results[0].Slots[0].AmplA, MvA(2000), 0.02);
  EXPECT_EQ(Core->Results[0].Slots[1].AmplA, 0.0);
  EXPECT_NEAR(Core->Results[0].Meas.AmplA, MvA(2000), 0.02);

  Core->AvgSize = 40;
  Core->Readings = 55;
  Core->EvaluateCapture(0, 0);
  EXPECT_NEAR(Core->Results[0].Slots[9].AmplA, MvA(2000), 0.02);
  Core->AvgSize = -3;
  Core->Readings = -2;
  Sine(0, 0, 1000, 10, 4000, 0);
  Core->EvaluateCapture(0, 0);
  EXPECT_NEAR(Core->Results[0].Slots[0].AmplA, MvA(4000), 0.02);
}

TEST_F(Evaluation, AWindowOutsideTheBufferGivesNoVector) {
  Sine(0, 0, 1000, 10, 2000, 0);
  for (auto [start, end] : {std::pair{0, 1001}, std::pair{-5, 500}, std::pair{400, 400}, std::pair{600, 500}}) {
    Core->Results[0] = MeasurementResult();
    Core->Captures[0].Start = start;
    Core->Captures[0].End = end;
    Core->EvaluateCapture(0, 0);
    const MeasurementResult& r = Core->Results[0];
    EXPECT_EQ(r.Freq, 0.0) << start << ".." << end;
    EXPECT_EQ(r.Slots[0].AmplA, 0.0);
    EXPECT_EQ(r.Meas.AmplA, 0.0);
    EXPECT_EQ(r.Valid, 0);
    EXPECT_EQ(Core->RmsA, 0.0);
  }
}

TEST_F(Evaluation, AMissingOrShortBufferIsAnAbsentChannel) {
  Core->Type = 1;
  Sine(0, 0, 1000, 10, 2000, 0, 3000, 0);
  Core->Captures[0].DataB.resize(500);
  Core->EvaluateCapture(0, 0);
  EXPECT_GT(Core->Results[0].Slots[0].AmplA, 0);
  EXPECT_EQ(Core->Results[0].Slots[0].AmplB, 0.0);
  EXPECT_EQ(Core->RmsB, 0.0);
  Core->Captures[0].DataA.clear();
  Core->EvaluateCapture(0, 0);
  EXPECT_EQ(Core->Results[0].Freq, 0.0);
}

TEST_F(Evaluation, ZeroRevolutionsGiveNoSpeedAndTheMeanAsVector) {
  AllocateRun(0);
  CaptureRecord& c = Core->Captures[0];
  std::fill(c.DataA.begin(), c.DataA.end(), 100);
  c.Start = 0;
  c.End = 1000;
  c.T = 0;
  Core->EvaluateCapture(0, 0);
  EXPECT_EQ(Core->Results[0].Freq, 0.0);
  EXPECT_NEAR(Core->Results[0].Slots[0].AmplA, MvA(200), 1e-9);
  EXPECT_EQ(Core->Results[0].Valid, 1);
}

TEST_F(Evaluation, ZeroFullScaleAndZeroSamplingRateGiveZeroNotInfinity) {
  Fake->FullScale = 0;
  Fake->Clocks = {};
  Sine(0, 0, 1000, 10, 2000, 0);
  Core->EvaluateCapture(0, 0);
  EXPECT_EQ(Core->Results[0].Freq, 0.0);
  EXPECT_EQ(Core->Results[0].Slots[0].AmplA, 0.0);
  EXPECT_TRUE(std::isfinite(Core->Results[0].Meas.PhA));
}

TEST_F(Evaluation, OverloadStrictlyAboveNinetyTwoPercent) {
  Fake->FullScale = 25;  // threshold 23
  AllocateRun(0);
  Core->Captures[0].End = 10;
  Core->Captures[0].DataA[3] = -23;
  Core->EvaluateCapture(0, 0);
  EXPECT_EQ(Core->OverloadA, 0);
  Core->Captures[0].DataA[4] = 24;
  Core->EvaluateCapture(0, 0);
  EXPECT_EQ(Core->OverloadA, 1);
  EXPECT_DOUBLE_EQ(Core->MaxA, 24);
  EXPECT_DOUBLE_EQ(Core->MinA, -23);
}

TEST_F(Evaluation, OnePlaneLeavesChannelBAtZero) {
  Core->Type = 1;
  Sine(0, 0, 1000, 10, 2000, 0, 30000, 1);
  Core->Type = 0;
  Core->EvaluateCapture(0, 0);
  const MeasurementResult& r = Core->Results[0];
  EXPECT_EQ(r.Slots[0].AmplB, 0.0);
  EXPECT_EQ(r.Meas.AmplB, 0.0);
  EXPECT_EQ(Core->RmsB, 0.0);
  EXPECT_EQ(Core->OverloadB, 0);
}

TEST_F(Evaluation, RunThreeOnlyComputesTheCorrection) {
  Sine(3, 0, 1000, 10, 30000, 0);
  Core->Results[3].Freq = 12.5;
  Core->RmsA = 7;
  Core->EvaluateCapture(0, 3);
  EXPECT_EQ(Core->Results[3].Valid, 1);
  EXPECT_EQ(Core->Results[3].Freq, 12.5);
  EXPECT_EQ(Core->Results[3].Slots[0].AmplA, 0.0);
  EXPECT_EQ(Core->Results[3].Meas.AmplA, 0.0);
  EXPECT_EQ(Core->RmsA, 0.0);
  EXPECT_EQ(Core->OverloadA, 0);
}

// A sensor swapped between runs: each run is taken with its own sensor, so
// the correction and the trim correction are those of the job measured with
// one sensor, also where a trial and a trim run are measured with a velocity
// sensor. A sensor without a known sensitivity (an older file's, missing
// here) is compared only with itself: beside another sensor it gives no
// correction rather than one from mixed millivolts.
TEST_F(Evaluation, RunsMeasuredWithDifferentSensorsAreCorrectedInOneUnit) {
  const auto sensor = [](const char16_t* name, double sensitivity, uint8_t type = stAcceleration) {
    SensorInfo s;
    s.Name = name;
    s.Sensitivity = sensitivity;
    s.Type = type;
    return s;
  };
  const SensorInfo accel100 = sensor(u"A100", 100), accel10 = sensor(u"A10", 10);
  const SensorInfo velocity = sensor(u"V10", 10, stVelocity), unknown = sensor(u"Old", 0);
  // 10 revolutions in 1000 samples at 10 kHz: 100 Hz.
  const double omega = 2 * kPi * 100;
  struct TRun {
    int32_t Run;
    double Counts, Phase;  // as a 100 mV/g sensor reads the vibration
  };
  const std::array<TRun, 3> vibration = {{{0, 20000, 0.3}, {1, 12000, 1.9}, {4, 6000, 0.8}}};
  // Runs 0, 1, the correction and trim run 4; run 0 with `initial`, the
  // others with `later`. An unknown sensor is a 100 mV/g one whose
  // sensitivity was not stored.
  const auto measure = [&](const SensorInfo& initial, const SensorInfo& later) {
    Core->ClearMeasurements();
    for (const TRun& v : vibration) {
      const SensorInfo& s = v.Run == 0 ? initial : later;
      const bool integrates = s.Type == stVelocity;
      const double reads = s.Sensitivity == 0 ? 1
                           : integrates       ? s.Sensitivity * 9806.65 / omega / 100
                                              : s.Sensitivity / 100;
      Core->BalancingStep = v.Run;
      Sine(v.Run, 0, 1000, 10, v.Counts * reads, v.Phase - (integrates ? kPi / 2 : 0));
      Core->Captures[v.Run].Conditions = Core->DeviceConditions();
      Core->Captures[v.Run].Conditions.SensorA = s;
      Core->EvaluateCapture(0, v.Run);
      if (v.Run == RunTrialA) Core->EvaluateCapture(0, RunCorrection);
    }
    return std::pair{Core->Results[RunCorrection], Core->Results[RunFirstTrim]};
  };
  const auto [first, trim] = measure(accel100, accel100);
  ASSERT_FALSE(first.NotComputable);
  ASSERT_FALSE(trim.NotComputable);
  for (const SensorInfo& later : {accel10, velocity}) {
    SCOPED_TRACE(rtl::Utf16ToUtf8(later.Name));
    const auto [swappedFirst, swappedTrim] = measure(accel100, later);
    ASSERT_FALSE(swappedFirst.NotComputable);
    ASSERT_FALSE(swappedTrim.NotComputable);
    EXPECT_NEAR(swappedFirst.Result.MassA, first.Result.MassA, 1e-3 * first.Result.MassA);
    EXPECT_NEAR(swappedFirst.Result.AngleA, first.Result.AngleA, 1e-3);
    EXPECT_NEAR(swappedTrim.Result.MassA, trim.Result.MassA, 1e-3 * trim.Result.MassA);
    EXPECT_NEAR(swappedTrim.Result.AngleA, trim.Result.AngleA, 1e-3);
  }
  // The same unknown sensor throughout: its millivolts, as measured.
  const auto [oldFirst, oldTrim] = measure(unknown, unknown);
  EXPECT_EQ(oldFirst.Result.MassA, first.Result.MassA);
  EXPECT_EQ(oldTrim.Result.AngleA, trim.Result.AngleA);
  for (const auto& [initial, later] : {std::pair{unknown, accel10}, {accel100, unknown}}) {
    const auto [mixedFirst, mixedTrim] = measure(initial, later);
    EXPECT_TRUE(mixedFirst.NotComputable);
    EXPECT_TRUE(mixedTrim.NotComputable);
  }
}

TEST_F(Evaluation, LiveEvaluationTouchesNoRun) {
  Core->Type = 1;
  Core->LiveDataA.assign(Core->RamSize, 0);
  Core->LiveDataB.assign(Core->RamSize, 0);
  Core->LiveDataA[0] = 1000;
  Core->LiveDataB[999] = -500;
  Core->LiveDataA[1000] = 30000;  // beyond BuffLength: not counted
  Core->EvaluateCapture(1, 0);
  EXPECT_DOUBLE_EQ(Core->MeanA, 1.0);
  EXPECT_DOUBLE_EQ(Core->MinB, -500);
  EXPECT_EQ(Core->OverloadA, 0);
  EXPECT_EQ(Core->Results[0].Valid, 0);
}

TEST_F(Evaluation, ConvertSamplesCopiesTheRunOrTheLiveBuffers) {
  Core->Type = 1;
  Sine(0, 10, 990, 7, 100, 0, 50, 0);
  Core->ConvertSamples();
  ASSERT_EQ(Core->SignalA.size(), 1000u);
  ASSERT_EQ(Core->SignalB.size(), 1000u);
  EXPECT_EQ(Core->SignalA[300], Core->Captures[0].DataA[300]);
  EXPECT_EQ(Core->SignalB[300], Core->Captures[0].DataB[300]);
  EXPECT_EQ(Core->SignalStart, 10);
  EXPECT_EQ(Core->SignalEnd, 990);
  Core->AsyncMode = 1;
  Core->LiveDataA.assign(Core->RamSize, 5);
  Core->ConvertSamples();
  EXPECT_EQ(Core->SignalA[300], 5.0);
  EXPECT_EQ(Core->SignalEnd, 0);
  EXPECT_FALSE(Core->PlotUpdating);
}

TEST_F(Evaluation, ConvertSamplesSkipsWhileASpectrumIsComputed) {
  Sine(0, 0, 1000, 10, 100, 0);
  Core->SignalA.assign(1000, -1.0);
  Core->SpectrumBusy = 1;
  Core->ConvertSamples();
  EXPECT_EQ(Core->SignalA[250], -1.0);
}

TEST_F(Evaluation, ConvertSamplesWaitsForAnAbortedComputationToLetGo) {
  Sine(0, 0, 1000, 10, 100, 0);
  Core->SignalA.assign(1000, -1.0);
  std::unique_lock<std::mutex> held(Core->SignalLock);  // aborted, not yet noticed
  std::thread other([this] { Core->ConvertSamples(); });
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(Core->SignalA[250], -1.0);
  held.unlock();
  other.join();
  EXPECT_EQ(Core->SignalA[250], Core->Captures[0].DataA[250]);
}

TEST_F(Evaluation, ClearMeasurementsEmptiesEveryRunAndBuffer) {
  Core->Type = 1;
  Sine(5, 0, 1000, 10, 100, 0, 100, 0);
  Core->EvaluateCapture(0, 5);
  Core->ConvertSamples();
  Core->LiveDataA.assign(10, 1);
  Core->BalancingStep = 5;
  Core->HighestStep = 6;
  Core->Readings = 2;
  Core->ClearMeasurements();
  EXPECT_TRUE(Core->Captures[5].DataA.empty());
  EXPECT_EQ(Core->Captures[5].End, 0);
  EXPECT_EQ(Core->Results[5].Valid, 0);
  EXPECT_TRUE(Core->SignalA.empty());
  EXPECT_TRUE(Core->SignalB.empty());
  EXPECT_TRUE(Core->LiveDataA.empty());
  EXPECT_EQ(Core->BalancingStep, 0);
  EXPECT_EQ(Core->HighestStep, 0);
  EXPECT_EQ(Core->Readings, 2);
}
