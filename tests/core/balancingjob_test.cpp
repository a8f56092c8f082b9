// A whole two-plane balancing job in demo mode, through the capture thread:
// initial run, both trial runs, the correction and a check run. The
// corrections are checked against values computed here, independently,
// from the samples the synthesis produced for each reading.

#include "capturethreads.h"
#include "pipelinefixture.h"

#include <cmath>
#include <complex>
#include <map>
#include <numbers>

namespace {

using cplx = std::complex<double>;
constexpr double kPi = std::numbers::pi;

struct TReading {
  std::vector<int32_t> A, B;
  int32_t Start = 0, End = 0, T = 0;
};

class BalancingJob : public PipelineTest {
 protected:
  void SetUp() override {
    PipelineTest::SetUp();
    LoadFake();
    Core->DeviceReady = 0;
    Core->Type = 1;
    Core->AvgSize = 2;
    Core->BuffLength = 8192;
    Core->SamplingRate = 4;  // 10 kHz
    Core->GainA = 1;         // 1000 mV
    Core->GainB = 0;         // 2500 mV
    Core->VibSensorA.InputGain = 1.0;
    Core->VibSensorB.InputGain = 2.0;
  }

  // Measures run `step` with three readings, keeping a copy of each.
  void Measure(int32_t step) {
    Core->BalancingStep = step;
    auto& readings = Readings[step];
    Workspace.OnRefresh = [this, &readings, step] {
      const CaptureRecord& c = Core->Captures[step];
      readings.push_back({c.DataA, c.DataB, c.Start, c.End, c.T});
      if (readings.size() == 3) RequestCaptureStop();
    };
    const int ends = Workspace.Ends;
    ASSERT_TRUE(StartBalancingCapture(*Core));
    ServeUntil([&] { return Workspace.Ends > ends; });
    ASSERT_EQ(readings.size(), 3u);
  }

  // The 1x vector of one channel of a reading, in mV.
  static cplx Vector(const std::vector<int32_t>& x, const TReading& r, double rangeMv) {
    const int32_t n = r.End - r.Start;
    cplx sum;
    for (int32_t m = 0; m < n; ++m) sum += double(x[r.Start + m]) * std::polar(1.0, -2 * kPi * r.T * m / n);
    return rangeMv * 2.0 * (sum / double(n)) / double(0x8000);
  }

  // With two slots and three readings the run keeps readings 2 and 3.
  cplx Mean(int32_t step, bool channelB) const {
    const auto& rs = Readings.at(step);
    const double range = channelB ? 2500 : 1000;
    cplx sum;
    for (size_t k = 1; k < 3; ++k) sum += Vector(channelB ? rs[k].B : rs[k].A, rs[k], range);
    return sum / 2.0;
  }

  static double StoredAngle(cplx theta) {
    double a = 2 * kPi - std::arg(theta);
    if (a < 0) a += 2 * kPi;
    if (a > 2 * kPi) a -= 2 * kPi;
    return a;
  }

  std::map<int32_t, std::vector<TReading>> Readings;
};

}  // namespace

TEST_F(BalancingJob, DemoJobThroughTheThreadsGivesTheIndependentCorrections) {
  for (int32_t step : {0, 1, 2}) Measure(step);
  // The averaged vectors are those of the synthesised samples.
  for (int32_t step : {0, 1, 2}) {
    const TVector4& meas = Core->Results[step].Meas;
    const cplx a = Mean(step, false), b = Mean(step, true);
    EXPECT_NEAR(meas.AmplA, std::abs(a), 1e-6 * std::abs(a)) << step;
    EXPECT_NEAR(meas.AmplB, std::abs(b), 1e-6 * std::abs(b)) << step;
    EXPECT_NEAR(std::remainder(meas.PhA - std::arg(a), 2 * kPi), 0, 1e-6) << step;
    EXPECT_NEAR(std::remainder(meas.PhB - std::arg(b), 2 * kPi), 0, 1e-6) << step;
    EXPECT_EQ(Core->Results[step].Valid, 1);
  }
  // Run 0 is 0.7 x 400 mV on A and 0.5 x 400 mV x input gain 2 on B.
  EXPECT_NEAR(Core->Results[0].Meas.AmplA, 280, 280 * 0.015);
  EXPECT_NEAR(Core->Results[0].Meas.AmplB, 400, 400 * 0.015);

  // Next to run 3: the correction.
  Core->BalancingStep = 3;
  Core->EvaluateCapture(0, 3);
  EXPECT_EQ(Core->Results[3].Valid, 1);

  const cplx a0 = Mean(0, false), a1 = Mean(1, false), a2 = Mean(2, false);
  const cplx b0 = Mean(0, true), b1 = Mean(1, true), b2 = Mean(2, true);
  const cplx aa = a1 - a0, ab = a2 - a0, ba = b1 - b0, bb = b2 - b0;
  const cplx d = aa * bb - ab * ba;
  const cplx thetaA = (bb * a0 - ab * b0) / d, thetaB = (aa * b0 - ba * a0) / d;

  Measure(4);
  const cplx a4 = Mean(4, false), b4 = Mean(4, true);
  const cplx trimA = (bb * a4 - ab * b4) / d, trimB = (aa * b4 - ba * a4) / d;

  const TCorrection& c = Core->Results[3].Result;
  EXPECT_EQ(Core->Results[3].NotComputable, 0);
  EXPECT_NEAR(c.MassA, std::abs(thetaA), 1e-6 * std::abs(thetaA));
  EXPECT_NEAR(c.AngleA, StoredAngle(thetaA), 1e-6);
  EXPECT_NEAR(c.MassB, std::abs(thetaB), 1e-6 * std::abs(thetaB));
  EXPECT_NEAR(c.AngleB, StoredAngle(thetaB), 1e-6);
  const TCorrection& t = Core->Results[4].Result;
  EXPECT_NEAR(t.MassA, std::abs(trimA), 1e-6 * std::abs(trimA));
  EXPECT_NEAR(t.AngleA, StoredAngle(trimA), 1e-6);
  EXPECT_NEAR(t.MassB, std::abs(trimB), 1e-6 * std::abs(trimB));
  EXPECT_NEAR(t.AngleB, StoredAngle(trimB), 1e-6);
  // Check run 4 holds its own vector and the pacing of four demo runs.
  EXPECT_NEAR(Core->Results[4].Meas.AmplA, 0.15 * 400, 0.15 * 400 * 0.015);
  EXPECT_EQ(Workspace.Ends, 4);
  EXPECT_EQ(Clock.Sleeps().size(), 4u * 3u * 3u);
}
