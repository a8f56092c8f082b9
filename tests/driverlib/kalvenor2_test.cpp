#include "fx2simfixture.h"

#include "clock.h"
#include "daqlib.h"
#include "kalvenor2.h"
#include "signalmodel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

using namespace sartel;
using namespace sartel::kalvenor2;
using sim::TFx2Fault;

namespace {

class Kalvenor2Test : public Fx2SimTest {
protected:
  void Start(uint32_t timeOutMs = 2000) {
    Fx2 = Transport(timeOutMs);
    ASSERT_TRUE(Fx2->Device().Open(0));
    Model = std::make_unique<TKalvenor2>(Lib, *Fx2);
  }

  // Configures as _ConfigDevice does, then starts the log afresh.
  void Configure() {
    ASSERT_TRUE(Model->Configure());
    Lib.RamSize = Model->RamSize();
    Lib.BufferLength = Lib.RamSize;
    TakeLog();
  }

  std::vector<int32_t> Expected(int channel, int count) {
    double start = 0, fs = 0, ranges[2] = {};
    bool twelveBit = false;
    sim::TSignalModel rotor;
    Sim([&](sim::TSimFx2World& w) {
      const sim::TFx2Capture& c = w.Unit(0)->Device.LastCapture;
      start = c.Start;
      fs = c.Fs;
      ranges[0] = c.RangeA;
      ranges[1] = c.RangeB;
      twelveBit = c.TwelveBit;
      rotor = w.Rotor;
    });
    std::vector<double> mv[2] = {std::vector<double>(count), std::vector<double>(count)};
    rotor.Generate(start, fs, static_cast<std::size_t>(count), mv[0].data(), mv[1].data());
    std::vector<int32_t> counts;
    for (double v : mv[channel]) {
      const int32_t c = sim::ToCounts(v, ranges[channel], 0x8000);
      counts.push_back(twelveBit ? (c & ~0xF) : c);
    }
    return counts;
  }

  TDAQLib Lib;
  std::unique_ptr<fx2::TUSBFX2> Fx2;
  std::unique_ptr<TKalvenor2> Model;
};

std::string Ctl(uint8_t request, const char* direction, uint16_t value, const std::string& tail) {
  char head[64];
  std::snprintf(head, sizeof head, "ctl %02X %s v=%04X i=0000 ", request, direction, value);
  return head + tail;
}

std::string Control(uint8_t byte) {
  char data[8];
  std::snprintf(data, sizeof data, "[%02X]", byte);
  return Ctl(0xB3, "out", 0, data);
}

const std::string ReadByte[] = {Ctl(0xB2, "out", 0, "[00 01]"), "bulk 86 in n=1"};

std::size_t Count(const std::vector<std::string>& log, const std::string& entry) {
  return static_cast<std::size_t>(std::count(log.begin(), log.end(), entry));
}

} // namespace

TEST_F(Kalvenor2Test, ConfigureReadsTheIdentityBlockIn96RequestsThenConfigures) {
  Start();
  TakeLog();
  ASSERT_TRUE(Model->Configure());
  const std::vector<std::string> log = TakeLog();
  ASSERT_EQ(log.size(), 97u);
  for (int i = 0; i < 96; ++i)
    EXPECT_EQ(log[static_cast<std::size_t>(i)], Ctl(0xA9, "in", static_cast<uint16_t>(0x5000 + 128 * i), "n=128"));
  EXPECT_EQ(log[96], Ctl(0xB1, "out", 0, "[00]"));
  EXPECT_EQ(Model->Identity(), "Kalvenor2");
  EXPECT_EQ(Model->Version(), "2.0");
  EXPECT_EQ(Model->SerialNumber(), "00001");
  EXPECT_EQ(Model->ConfigByte(0), 1);
  EXPECT_EQ(Model->ConfigByte(16), 0);
  EXPECT_EQ(Model->RamSize(), LargeMemory);
}

TEST_F(Kalvenor2Test, AnErasedEepromGivesNoIdentity) {
  Unit([](sim::TSimFx2Unit& u) { u.Device.Eeprom.fill(0xFF); });
  Start();
  ASSERT_TRUE(Model->Configure());
  EXPECT_EQ(Model->Identity(), "");
  EXPECT_EQ(Model->Version(), "");
  EXPECT_EQ(Model->SerialNumber(), "");
  EXPECT_EQ(Model->ConfigByte(0), 0xFF);
  EXPECT_EQ(Fx2->Device().Product, u"") << "the device's product string is its identity";
}

TEST_F(Kalvenor2Test, ASilentDeviceFailsWithinOneTimeOut) {
  Start(200);
  Fault("A9", TFx2Fault::Hang);
  TakeLog();
  const uint32_t start = rtl::GetTickCount();
  EXPECT_FALSE(Model->Configure());
  // Seconds, but half the default time-out (10 s) a model that ignored the
  // short one would wait; one transfer only (below).
  EXPECT_LT(rtl::GetTickCount() - start, 5000u);
  EXPECT_EQ(Lib.Error.ErrorCode(), 1);
  EXPECT_EQ(Lib.Error.Text(), u"USB transfer timed out.");
  EXPECT_EQ(TakeLog().size(), 1u) << "the identity walk stops at its first failure";
}

TEST_F(Kalvenor2Test, CaptureProgrammingSendsGainsAndTheDivider) {
  Start();
  Configure();
  Lib.GainA = 1;
  Lib.GainB = 2;
  Lib.SamplingIndex = 3;
  EXPECT_EQ(Model->CaptureProgramming(), 1);
  EXPECT_EQ(TakeLog(), (std::vector<std::string>{Ctl(0xB4, "out", 0, "[66]"), Ctl(0xB4, "out", 1, "[33]"),
                                                 Control(0x82), "bulk 02 out [00]", Control(0x81),
                                                 "bulk 02 out [13]"}));
  Lib.SamplingIndex = 12;
  Lib.GainA = 7;
  Lib.GainB = 9;
  EXPECT_EQ(Model->CaptureProgramming(), 1);
  const std::vector<std::string> log = TakeLog();
  EXPECT_EQ(log[0], Ctl(0xB4, "out", 0, "[00]"));
  EXPECT_EQ(log[1], Ctl(0xB4, "out", 1, "[00]"));
  EXPECT_EQ(log[3], "bulk 02 out [4E]");
  EXPECT_EQ(log[5], "bulk 02 out [1F]");
  Lib.GainA = 0;
  Lib.SamplingIndex = 13;
  EXPECT_EQ(Model->CaptureProgramming(), 1);
  const std::vector<std::string> keep = TakeLog();
  EXPECT_EQ(keep[1], Ctl(0xB4, "out", 1, "[FF]")) << "channel B keeps channel A's byte";
  EXPECT_EQ(keep[3], "bulk 02 out [00]");
  EXPECT_EQ(keep[5], "bulk 02 out [00]");
}

TEST_F(Kalvenor2Test, AWholeCaptureMatchesTheRotorSignal) {
  Start();
  Configure();
  Lib.SamplingIndex = 2;
  ASSERT_EQ(Model->CaptureProgramming(), 1);
  TakeLog();
  ASSERT_EQ(Model->StartCapture(), 1);
  EXPECT_EQ(TakeLog(), (std::vector<std::string>{Ctl(0xB7, "out", 0, "[]"), Control(0xB0), "bulk 02 out [01 40]",
                                                 Control(0x80), Control(0xB0), "bulk 02 out [02 00 00]",
                                                 Control(0xB4)}));
  EXPECT_EQ(Model->ReadStatus(), 1);
  EXPECT_EQ(Model->ReadStatus(), 3);
  EXPECT_EQ(Model->ReadStatus(), 7);
  TakeLog();
  EXPECT_EQ(Model->WriteAddress(), 0x7FFF);
  EXPECT_EQ(TakeLog(), (std::vector<std::string>{Control(0x35), ReadByte[0], ReadByte[1], Control(0x36),
                                                 ReadByte[0], ReadByte[1]}));
  ASSERT_EQ(Model->StopCapture(), 1);
  EXPECT_EQ(TakeLog(), std::vector<std::string>{Control(0xB7)});

  int32_t start = -1, end = -1, turns = -1;
  const int32_t result = Model->CaptureParams(&start, &end, &turns);
  double captureStart = 0, fs = 0;
  sim::TSignalModel rotor;
  Sim([&](sim::TSimFx2World& w) {
    captureStart = w.Unit(0)->Device.LastCapture.Start;
    fs = w.Unit(0)->Device.LastCapture.Fs;
    rotor = w.Rotor;
  });
  EXPECT_DOUBLE_EQ(fs, 50000.0);
  const std::vector<std::size_t> refs = rotor.ReferenceIndexes(captureStart, fs, LargeMemory);
  ASSERT_GE(refs.size(), 2u);
  EXPECT_EQ(refs.front(), 0u) << "a balancing capture starts on the reference pulse";
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, static_cast<int32_t>(refs.back()));
  EXPECT_EQ(turns, static_cast<int32_t>(refs.size() - 1));
  EXPECT_EQ(result, turns);
  const std::vector<std::string> params = TakeLog();
  EXPECT_EQ(params.front(), Control(0x05));
  EXPECT_EQ(params.back(), Ctl(0xB6, "in", 0, "n=2"));

  std::vector<int32_t> a(LargeMemory, 99), b(LargeMemory, 99);
  Model->ReadSamples(a.data(), b.data());
  EXPECT_EQ(Lib.Error.ErrorCode(), 0);
  EXPECT_EQ(a, Expected(0, LargeMemory));
  EXPECT_EQ(b, Expected(1, LargeMemory));
  EXPECT_NE(a, b);
  TakeLog();
  ASSERT_EQ(Model->EndCapture(), 1);
  EXPECT_EQ(TakeLog(), std::vector<std::string>{Control(0x80)});
  Unit([](sim::TSimFx2Unit& u) { EXPECT_EQ(u.Device.ProtocolErrors, 0); });
}

// The capture starts on a pulse at any speed, and its window ends on the
// sample at or just after the pulse T revolutions later.
TEST_F(Kalvenor2Test, BalancingCapturesAtRandomSpeedsSpanTWholeRevolutionsFromAPulse) {
  Start();
  Configure();
  Lib.SamplingIndex = 2;
  ASSERT_EQ(Model->CaptureProgramming(), 1);
  for (uint32_t seed = 0; seed < 100; ++seed) {
    std::mt19937 random(seed);
    const double rpm = std::uniform_real_distribution<double>(600.0, 60000.0)(random);
    Sim([&](sim::TSimFx2World& w) { w.Rotor.SetSpeed(rpm); });
    ASSERT_EQ(Model->StartCapture(), 1);
    for (int polls = 0; polls < 10 && Model->ReadStatus() != 7; ++polls) {
    }
    ASSERT_EQ(Model->StopCapture(), 1);
    int32_t start = -1, end = -1, turns = -1;
    Model->CaptureParams(&start, &end, &turns);
    ASSERT_EQ(Model->EndCapture(), 1);
    double captureStart = 0, fs = 0;
    Sim([&](sim::TSimFx2World& w) {
      captureStart = w.Unit(0)->Device.LastCapture.Start;
      fs = w.Unit(0)->Device.LastCapture.Fs;
    });
    const double f = rpm / 60.0;
    EXPECT_NEAR(captureStart * f, std::round(captureStart * f), 1e-6) << "seed " << seed;
    EXPECT_EQ(start, 0) << "seed " << seed;
    ASSERT_GE(turns, 1) << "seed " << seed;
    const double pulse = turns * fs / f;
    EXPECT_GE(end, pulse - 1e-6) << "seed " << seed << ", " << turns << " revolutions";
    EXPECT_LT(end, pulse + 1) << "seed " << seed << ", " << turns << " revolutions";
  }
}

TEST_F(Kalvenor2Test, AFreeRunningCaptureSetsTheModeBit) {
  Start();
  Configure();
  Lib.CaptureMode = 1;
  ASSERT_EQ(Model->StartCapture(), 1);
  EXPECT_EQ(TakeLog().back(), Control(0xBC));
  ASSERT_EQ(Model->StopCapture(), 1);
  EXPECT_EQ(TakeLog().back(), Control(0xB7));
}

TEST_F(Kalvenor2Test, ReadOutGoesInAnnouncedChunksOfOneMaximumTransfer) {
  Unit([](sim::TSimFx2Unit& u) {
    u.Device.HighSpeed = false;
    u.Device.SetIdentity(0x00, "Kalvenor2", "2.0", "00001");
  });
  Start();
  Configure();
  ASSERT_EQ(Lib.RamSize, SmallMemory);
  std::vector<int32_t> a(SmallMemory);
  Model->ReadSamples(a.data(), nullptr);
  const std::vector<std::string> log = TakeLog();
  const std::vector<std::string> head = {Control(0xB0), "bulk 02 out [01 40]", Control(0x80), Control(0xA0),
                                         "bulk 02 out [03 00 00]", Control(0x20), Ctl(0xB2, "out", 0, "[00 40]"),
                                         "bulk 86 in n=64"};
  ASSERT_GT(log.size(), head.size());
  EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 8), head);
  EXPECT_EQ(Count(log, "bulk 86 in n=64"), 512u);
  EXPECT_EQ(Count(log, Ctl(0xB2, "out", 0, "[00 40]")), 512u);
  EXPECT_EQ(log.back(), Control(0x80));
  EXPECT_EQ(Count(log, Control(0x90)), 0u) << "without a channel B buffer only channel A is read";
}

TEST_F(Kalvenor2Test, ReadOutDecodesAtMostTheBufferLength) {
  Start();
  Configure();
  ASSERT_EQ(Model->StartCapture(), 1);
  Model->ReadStatus();
  Lib.BufferLength = 100;
  std::vector<int32_t> a(200, 99);
  Model->ReadSamples(a.data(), nullptr);
  EXPECT_EQ(std::vector<int32_t>(a.begin(), a.begin() + 100), Expected(0, 100));
  EXPECT_EQ(a[100], 99);
  Lib.BufferLength = LargeMemory + 50;
  std::vector<int32_t> whole(LargeMemory + 50, 99);
  Model->ReadSamples(whole.data(), nullptr);
  EXPECT_EQ(whole[LargeMemory], 99) << "never more than the device memory";
}

TEST_F(Kalvenor2Test, TwelveBitSamplesLoseTheirLowBits) {
  Unit([](sim::TSimFx2Unit& u) {
    u.Device.HighSpeed = false;
    u.Device.SetIdentity(0x05, "Kalvenor2", "2.0", "00001");
  });
  Start();
  Configure();
  ASSERT_EQ(Model->StartCapture(), 1);
  Model->ReadStatus();
  Lib.BufferLength = 1000;
  std::vector<int32_t> a(1000, 99);
  Model->ReadSamples(a.data(), nullptr);
  EXPECT_EQ(a, Expected(0, 1000));
  EXPECT_TRUE(std::all_of(a.begin(), a.end(), [](int32_t v) { return (v & 0xF) == 0; }));
}

TEST_F(Kalvenor2Test, AFailedReadOutWritesNothing) {
  Start();
  Configure();
  Fault("bulk-in", TFx2Fault::Fail, 5, 1);
  std::vector<int32_t> a(LargeMemory, 99);
  std::vector<int32_t> b(LargeMemory, 99);
  Model->ReadSamples(a.data(), b.data());
  EXPECT_TRUE(std::all_of(a.begin(), a.end(), [](int32_t v) { return v == 99; }));
  EXPECT_TRUE(std::all_of(b.begin(), b.end(), [](int32_t v) { return v == 99; }));
  EXPECT_EQ(Lib.Error.ErrorCode(), 1);
  EXPECT_EQ(Lib.Error.Text(), u"USB transfer failed.");
  EXPECT_EQ(Count(TakeLog(), "bulk 86 in n=512"), 6u) << "the read-out stops at its first failure";
}

TEST_F(Kalvenor2Test, FailedReadBacksGiveZero) {
  Start();
  Configure();
  ASSERT_EQ(Model->StartCapture(), 1);
  for (int i = 0; i < 3; ++i)
    Model->ReadStatus();
  Fault("bulk-in", TFx2Fault::Short);
  EXPECT_EQ(Model->WriteAddress(), 0);
  EXPECT_EQ(Lib.Error.ErrorCode(), 1);
  int32_t start = 5, end = 5, turns = 5;
  EXPECT_EQ(Model->CaptureParams(&start, &end, &turns), 0);
  EXPECT_EQ(end, 0);
  EXPECT_EQ(turns, 0);
  Fault("B5", TFx2Fault::Fail);
  EXPECT_EQ(Model->ReadStatus(), 0);
}

TEST_F(Kalvenor2Test, TemperatureAndLamps) {
  Unit([](sim::TSimFx2Unit& u) { u.Device.Temperatures = {0x80, 0x40}; });
  Start();
  Configure();
  double a = -1, b = -1;
  EXPECT_EQ(Model->Temperature(&a, &b), 1);
  EXPECT_DOUBLE_EQ(a, 2500.0);
  EXPECT_DOUBLE_EQ(b, 1250.0);
  EXPECT_EQ(TakeLog(), (std::vector<std::string>{Ctl(0xB9, "out", 0, "[00]"), Ctl(0xB9, "in", 0, "n=1"),
                                                 Ctl(0xB9, "out", 1, "[00]"), Ctl(0xB9, "in", 1, "n=1")}));
  Fault("B9", TFx2Fault::Fail, 1, 1);
  EXPECT_EQ(Model->Temperature(&a, nullptr), 0);
  EXPECT_EQ(a, 0.0);

  EXPECT_EQ(Model->ErrorLamp(true), 1);
  EXPECT_EQ(Model->Laser(false), 1);
  Unit([](sim::TSimFx2Unit& u) {
    EXPECT_EQ(u.Device.Lamps[0], 0xFF);
    EXPECT_EQ(u.Device.Lamps[2], 0x00);
  });
}

TEST_F(Kalvenor2Test, ShutdownSendsTheFreeRequest) {
  Start();
  Configure();
  Model->Shutdown();
  EXPECT_EQ(TakeLog(), std::vector<std::string>{Ctl(0xB0, "out", 0, "[]")});
}

TEST(Kalvenor2Demo, WithoutADeviceNothingHappens) {
  TKalvenor2 demo;
  EXPECT_TRUE(demo.Configure());
  EXPECT_EQ(demo.RamSize(), SmallMemory);
  EXPECT_EQ(demo.CaptureProgramming(), 0);
  EXPECT_EQ(demo.StartCapture(), 0);
  EXPECT_EQ(demo.ReadStatus(), 0);
  int32_t a[4] = {7, 7, 7, 7};
  demo.ReadSamples(a, nullptr);
  EXPECT_EQ(a[0], 7);
  EXPECT_EQ(demo.Items().ClocksHz.size(), 13u);
  EXPECT_EQ(demo.Items().GainsMv[0], 2500);
  demo.Shutdown();
}
