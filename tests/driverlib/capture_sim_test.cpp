// Whole captures against the simulated device, and the fault kinds it
// injects: every faulty call ends within the transfer time-out plus the
// fixed waits (100 ms set-up, 500 ms programming, 2 s poll) with an error
// text and code; garbage never crashes and decodes into range.

#include "signalmodel.h"
#include "sanitizerslowdown.h"
#include "simfixture.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr std::uint32_t FixedWaits = 100 + 500 + 2000;
// The driver's own work beside its waits, on a busy machine, stretched by a
// sanitizer's slowdown.
constexpr std::uint32_t Slack = 1500 * testsupport::kSanitizerSlowdown;

class SartelCapture : public SartelSim {
 protected:
  void Program(std::int32_t mode, std::int32_t length, std::int32_t sampling, std::int32_t gainA,
               std::int32_t gainB) {
    _CPMode(mode);
    _CPBuffer(length);
    _CPGain(gainA, gainB);
    _CPSampling(sampling);
  }
  // Polls like the capture thread; the status values seen, in order.
  std::vector<std::uint8_t> PollUntilDone() {
    std::vector<std::uint8_t> seen;
    for (int i = 0; i < 50; ++i) {
      const std::uint8_t status = _ReadStatus();
      if (seen.empty() || seen.back() != status) seen.push_back(status);
      if (status & SARTEL_STATUS_DONE) break;
    }
    return seen;
  }
};

TEST_F(SartelCapture, BalancingCaptureDecodesWhatTheRotorProduced) {
  ASSERT_TRUE(OpenAndConfigure());
  Sim.SetSpeed(2400);
  Sim.SetMass(0, 12, 135);
  const std::int32_t n = 16384;
  Program(0, n, 4, 0, 1);  // 10 kHz, 1000 mV and 500 mV
  ASSERT_EQ(_CPSet(), 1);
  ASSERT_EQ(LastError(), 0);
  ASSERT_EQ(_StartCapture(), 1);
  EXPECT_EQ(PollUntilDone(), (std::vector<std::uint8_t>{1, 3, 7}));
  EXPECT_EQ(_StopCapture(), 1);
  std::int32_t start = -1, end = -1, turns = -1;
  const std::int32_t result = _GetCaptureParams(&start, &end, &turns);
  std::vector<std::int32_t> a(n, 99999), b(n, 99999);
  _GetDataA(a.data(), b.data());
  EXPECT_EQ(LastError(), 0);

  double first = 0, fs = 0, rangeA = 0, rangeB = 0;
  int length = 0;
  ASSERT_EQ(Sim.LastCapture(0, &first, &fs, &length, &rangeA, &rangeB), 1);
  ASSERT_EQ(length, n);
  EXPECT_EQ(fs, 10000);
  EXPECT_EQ(rangeA, 1000);
  EXPECT_EQ(rangeB, 500);
  sim::TSignalModel rotor;
  rotor.SetSpeed(2400);
  rotor.SetMass(0, 12, 135);
  std::vector<double> mvA(n), mvB(n);
  rotor.Generate(first, fs, n, mvA.data(), mvB.data());
  for (std::int32_t i = 1; i + 1 < n; ++i) {
    ASSERT_EQ(a[i], sim::ToCounts(mvA[i], rangeA, 2048)) << i;
    ASSERT_EQ(b[i], sim::ToCounts(mvB[i], rangeB, 2048)) << i;
  }
  EXPECT_EQ(a[0], a[1]);
  EXPECT_EQ(b[n - 1], b[n - 2]);

  // 40 Hz at 10 kHz: 250 samples per revolution, whole revolutions only.
  EXPECT_EQ(result, turns);
  EXPECT_EQ(turns, 65);
  EXPECT_EQ(end - start, turns * 250);
  const auto refs = rotor.ReferenceIndexes(first, fs, n);
  EXPECT_EQ(start, static_cast<std::int32_t>(refs.front()));
}

TEST_F(SartelCapture, FreeRunningCaptureNeedsTheForcedTrigger) {
  ASSERT_TRUE(OpenAndConfigure());
  Program(1, 4096, 0, 2, 2);
  ASSERT_EQ(_CPSet(), 1);
  EXPECT_EQ(Sim.GetRegister(0, 11), 1);
  ASSERT_EQ(_StartCapture(), 1);
  EXPECT_EQ(_ReadStatus(), SARTEL_STATUS_ARMED);
  EXPECT_EQ(_ReadStatus(), SARTEL_STATUS_ARMED);
  EXPECT_EQ(_ForceTrigger(), 1);
  EXPECT_EQ(Sim.GetRegister(0, 11), 1);
  EXPECT_EQ(PollUntilDone(), (std::vector<std::uint8_t>{3, 7}));
  std::int32_t start = -1, end = -1, turns = -1;
  EXPECT_EQ(_GetCaptureParams(&start, &end, &turns), 0);
  EXPECT_EQ(turns, 0);
  std::vector<std::int32_t> a(4096, 99999);
  _GetDataA(a.data(), nullptr);
  EXPECT_TRUE(std::all_of(a.begin(), a.end(), [](std::int32_t v) { return v >= -2048 && v <= 2047; }));
}

TEST_F(SartelCapture, FailingCall) {
  ASSERT_TRUE(OpenAndConfigure());
  Program(0, 4096, 0, 0, 0);
  Sim.InjectFault("FT_W32_WriteFile", SIMD2XX_FAULT_FAIL, 0, -1);
  std::string text;
  const std::uint32_t ms = Milliseconds([&] { EXPECT_EQ(_CPSet(), 0); });
  EXPECT_EQ(LastError(&text), 1);
  EXPECT_EQ(text, "Communication error, write failed");
  EXPECT_LT(ms, TimeoutMs + FixedWaits + Slack);
}

TEST_F(SartelCapture, ShortRead) {
  ASSERT_TRUE(OpenAndConfigure());
  Sim.InjectFault("FT_W32_ReadFile", SIMD2XX_FAULT_SHORT, 0, -1);
  std::string text;
  std::vector<std::int32_t> a(1000, 99999);
  _CPBuffer(1000);
  const std::uint32_t ms = Milliseconds([&] { _GetDataA(a.data(), nullptr); });
  EXPECT_EQ(LastError(&text), 1);
  EXPECT_EQ(text, "Communication error, read timeout");
  EXPECT_TRUE(std::all_of(a.begin(), a.end(), [](std::int32_t v) { return v == 99999; }));
  EXPECT_LT(ms, TimeoutMs + Slack);
  EXPECT_EQ(_ReadStatus(), 0);
  EXPECT_EQ(LastError(), 1);
}

TEST_F(SartelCapture, TransferThatNeverCompletes) {
  ASSERT_TRUE(OpenAndConfigure());
  Program(0, 4096, 0, 0, 0);
  Sim.InjectFault("FT_W32_ReadFile", SIMD2XX_FAULT_HANG, 0, -1);
  std::string text;
  const std::uint32_t ms = Milliseconds([&] { EXPECT_EQ(_CPSet(), 0); });
  EXPECT_EQ(LastError(&text), 1);
  EXPECT_EQ(text, "Communication error, read timeout");
  EXPECT_GE(ms, TimeoutMs + 500);
  EXPECT_LT(ms, TimeoutMs + FixedWaits + Slack);
  std::int32_t start = -1;
  EXPECT_EQ(_GetCaptureParams(&start, nullptr, nullptr), 0);
  EXPECT_EQ(start, -1);
}

TEST_F(SartelCapture, HangingWriteDuringSetUp) {
  std::array<std::int32_t, 256> indices{};
  ASSERT_EQ(_ListDevices(indices.data(), nullptr), 1);
  _OpenDevice(0);
  _InitDevice();
  Sim.InjectFault("FT_W32_WriteFile", SIMD2XX_FAULT_HANG, 0, -1);
  std::string text;
  const std::uint32_t ms = Milliseconds([&] { EXPECT_FALSE(_ConfigDevice(0, false)); });
  EXPECT_EQ(LastError(&text), 3);
  EXPECT_EQ(text, "Could not clear device.");
  EXPECT_LT(ms, TimeoutMs + FixedWaits + Slack);
}

TEST_F(SartelCapture, GarbageAnswersStayInRange) {
  ASSERT_TRUE(OpenAndConfigure());
  const std::int32_t n = 20000;
  Program(0, n, 2, 0, 0);
  Sim.InjectFault("FT_W32_ReadFile", SIMD2XX_FAULT_GARBAGE, 0, -1);
  const std::uint32_t ms = Milliseconds([&] {
    _CPSet();
    _StartCapture();
    for (int i = 0; i < 5; ++i) EXPECT_LE(_ReadStatus(), 7);
    std::int32_t start = -1, end = -1, turns = -1;
    _GetCaptureParams(&start, &end, &turns);
    EXPECT_GE(start, 0);
    EXPECT_LE(start, 0xFFFFFF);
    EXPECT_GE(end, 0);
    EXPECT_LE(end, 0xFFFFFF);
    EXPECT_GE(turns, 0);
    EXPECT_LE(turns, 254);
    std::vector<std::int32_t> a(n, 99999), b(n, 99999);
    _GetDataA(a.data(), b.data());
    const auto inRange = [](std::int32_t v) { return v >= -2048 && v <= 2047; };
    EXPECT_TRUE(std::all_of(a.begin(), a.end(), inRange));
    EXPECT_TRUE(std::all_of(b.begin(), b.end(), inRange));
  });
  EXPECT_LT(ms, FixedWaits + Slack);
  // Garbage configuration memory: identity texts stay bounded.
  ASSERT_TRUE(_ConfigDevice(0, false));
  std::u16string identity(SARTEL_IDENTITY_LENGTH, u'#');
  _GetDeviceID(identity.data());
  ASSERT_NE(identity.find(u'\0'), std::u16string::npos);
  EXPECT_LT(identity.find(u'\0'), 100u);
  const std::int32_t ram = _GetDeviceRamSize();
  EXPECT_TRUE(ram == 0x20000 || ram == 0x80000);
}

TEST_F(SartelCapture, GarbageWritesEndInAnError) {
  ASSERT_TRUE(OpenAndConfigure());
  Program(0, 4096, 0, 0, 0);
  Sim.InjectFault("FT_W32_WriteFile", SIMD2XX_FAULT_GARBAGE, 0, -1);
  const std::uint32_t ms = Milliseconds([&] { EXPECT_EQ(_CPSet(), 0); });
  std::string text;
  EXPECT_EQ(LastError(&text), 1);
  EXPECT_FALSE(text.empty());
  EXPECT_LT(ms, TimeoutMs + FixedWaits + Slack);
}

}  // namespace
