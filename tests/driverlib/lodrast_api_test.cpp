// The network model through the library's exports, against the simulated
// network device on a free port of its own: listing, identity, a whole
// capture, the read-out guards, and every link fault ending in time with
// an error text, code 1, and a working capture after the fault is cleared.

#include "closedport.h"
#include "lodrastserver.h"
#include "sartel.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr std::uint32_t TimeoutMs = 500;
// Every fault ends within this, whatever the time-out's slack.
// Seconds, but half the default time-out (10 s) a driver that ignored the
// short one would wait.
constexpr double FaultLimitMs = 5000;
constexpr std::int32_t Ram = 0x4000;
constexpr std::int32_t Sentinel = 0x5A5A5A5A;

std::string Narrow(const char16_t* text) {
  std::string out;
  for (; *text; ++text) out.push_back(static_cast<char>(*text));
  return out;
}

double Milliseconds(const std::function<void()>& action) {
  const auto started = std::chrono::steady_clock::now();
  action();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
}

class LodrastApi : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Server.Start(0)) << Server.Failure();
    setenv("SARTEL_TCP_PORT", std::to_string(Server.Port()).c_str(), 1);
    setenv("SARTEL_TIMEOUT_MS", std::to_string(TimeoutMs).c_str(), 1);
    _InitDriver();
  }
  void TearDown() override {
    _FreeDevice();
    _FreeDriver();
    Server.Stop();
  }

  // The start-up sequence with a host, up to the identity.
  void OpenAndConfigure() {
    std::array<std::int32_t, 256> indices{};
    ASSERT_EQ(_ListDevices(indices.data(), "127.0.0.1"), 1);
    _OpenDevice(0);
    ASSERT_EQ(LastError(), 0);
    ASSERT_TRUE(_InitDevice());
    ASSERT_TRUE(_ConfigDevice(0, false));
  }

  std::int32_t LastError(std::string* text = nullptr) {
    char16_t buffer[SARTEL_TEXT_LENGTH] = {};
    const std::int32_t code = _GetLastErrorStr(buffer);
    if (text) *text = Narrow(buffer);
    return code;
  }

  void Program(std::int32_t mode, std::int32_t length, std::int32_t gain = 1, std::int32_t sampling = 4) {
    _CPMode(mode);
    _CPBuffer(length);
    _CPGain(gain, 0);
    _CPSampling(sampling);
  }

  // One balancing capture as the capture thread runs it; false when a call
  // left an error.
  bool Capture(std::vector<std::int32_t>& a, std::int32_t* b = nullptr) {
    if (_CPSet() != 1 || LastError() != 0) return false;
    _StartCapture();
    std::uint8_t status = 0;
    for (int polls = 0; polls < 100 && !(status & SARTEL_STATUS_DONE); ++polls) {
      status = _ReadStatus();
      if (LastError() != 0) return false;
      _GetAddress();
    }
    _StopCapture();
    std::int32_t start = -1, end = -1, turns = -1;
    _GetCaptureParams(&start, &end, &turns);
    _GetDataA(a.data(), b);
    _EndCapture();
    Start = start;
    End = end;
    Turns = turns;
    return LastError() == 0;
  }

  // What the library must have decoded from the device's last capture.
  std::vector<std::int32_t> Expected(std::size_t n, double rangeMv) {
    std::vector<std::int32_t> counts;
    for (double mv : Server.LastSignal(n)) counts.push_back(static_cast<std::int32_t>(std::round(mv / rangeMv * 32768)));
    counts[n - 1] = counts[n - 2] = counts[n - 3];
    return counts;
  }

  sim::TLodrastServer Server;
  std::int32_t Start = -1, End = -1, Turns = -1;
};

}  // namespace

TEST_F(LodrastApi, AHostListsTheNetworkDevice) {
  std::array<std::int32_t, 256> indices;
  indices.fill(-7);
  EXPECT_EQ(_ListDevices(indices.data(), "127.0.0.1"), 1);
  EXPECT_EQ(indices[0], -7);
  std::string text = "x";
  EXPECT_EQ(LastError(&text), 0);
  EXPECT_EQ(text, "");
  char16_t description[SARTEL_TEXT_LENGTH] = {};
  _GetDeviceDescr(0, description);
  EXPECT_EQ(Narrow(description), "Lodrast");
  // The program's null index array is fine with a host.
  EXPECT_EQ(_ListDevices(nullptr, "localhost"), 1);
}

TEST_F(LodrastApi, ListingFailuresNameTheirStep) {
  std::array<std::int32_t, 256> indices{};
  std::string text;
  EXPECT_EQ(_ListDevices(indices.data(), "no-such-host.invalid"), 0);
  EXPECT_EQ(LastError(&text), 1);
  EXPECT_EQ(text, "gethostbyname");
  // Host texts hold at most 63 characters.
  EXPECT_EQ(_ListDevices(indices.data(), std::string(64, '1').c_str()), 0);
  EXPECT_EQ(LastError(&text), 1);
  EXPECT_EQ(text, "gethostbyname");
  setenv("SARTEL_TCP_PORT", std::to_string(ClosedPort()).c_str(), 1);
  EXPECT_LT(Milliseconds([&] { EXPECT_EQ(_ListDevices(indices.data(), "127.0.0.1"), 0); }), FaultLimitMs);
  EXPECT_EQ(LastError(&text), 1);
  EXPECT_EQ(text, "connect");
}

TEST_F(LodrastApi, ConfigurationAndIdentity) {
  OpenAndConfigure();
  EXPECT_EQ(_GetDeviceRamSize(), Ram);
  EXPECT_EQ(_GetClockItems(SARTEL_SELECT_COUNT), 13);
  EXPECT_EQ(_GetClockItems(SARTEL_SELECT_ENTRY), 200000);
  EXPECT_EQ(_GetClockItems(SARTEL_SELECT_ENTRY + 12), 20);
  EXPECT_EQ(_GetGainItems(SARTEL_SELECT_COUNT), 3);
  EXPECT_EQ(_GetGainItems(SARTEL_SELECT_ENTRY + 1), 1000);
  EXPECT_EQ(_GetConfigItems(SARTEL_SELECT_ENTRY), 0x8000);
  EXPECT_EQ(_GetConfigItems(SARTEL_SELECT_COUNT), 0);
  char16_t text[SARTEL_IDENTITY_LENGTH] = {};
  _GetDeviceID(text);
  EXPECT_EQ(Narrow(text), "Lodrast");
  _GetDeviceSN(text);
  EXPECT_EQ(Narrow(text), "0000");
  _GetDeviceVer(text);
  EXPECT_EQ(Narrow(text), "1.0");
  EXPECT_EQ(_GetConfigByte(0), 0);
  EXPECT_EQ(_ForceTrigger(), 0);
}

TEST_F(LodrastApi, WholeCaptureDeliversTheDeviceSignal) {
  OpenAndConfigure();
  Server.SetNoise(0.3);
  Program(0, Ram, 1, 4);
  std::vector<std::int32_t> a(Ram, Sentinel);
  std::vector<std::int32_t> b(Ram, Sentinel);
  ASSERT_TRUE(Capture(a, b.data()));
  EXPECT_DOUBLE_EQ(Server.SamplingHz(), 10000.0);
  const sim::TLodrastCapture capture = Server.LastCapture();
  EXPECT_DOUBLE_EQ(capture.RangeMv, 1000.0);
  EXPECT_TRUE(capture.Balancing);
  EXPECT_EQ(Start, 0);
  EXPECT_EQ(End, capture.End);
  EXPECT_EQ(Turns, capture.Revolutions);
  EXPECT_GT(Turns, 70);
  EXPECT_EQ(a, Expected(Ram, 1000.0));
  // Channel B is the caller's, untouched.
  EXPECT_EQ(b, std::vector<std::int32_t>(Ram, Sentinel));

  double temperature = -1;
  double other = -2;
  _GetTemperature(&temperature, &other);
  EXPECT_NEAR(temperature, 250.0, 0.05);
  EXPECT_EQ(other, -2);
  EXPECT_EQ(LastError(), 0);
}

TEST_F(LodrastApi, FreeRunningCaptureStartsWithTheFreeTrigger) {
  OpenAndConfigure();
  Program(1, Ram, 0, 6);
  std::vector<std::int32_t> a(Ram, Sentinel);
  ASSERT_TRUE(Capture(a));
  EXPECT_FALSE(Server.LastCapture().Balancing);
  EXPECT_EQ(a, Expected(Ram, 2500.0));
}

TEST_F(LodrastApi, ReadOutWritesNoMoreThanBufferAndMemory) {
  OpenAndConfigure();
  Program(0, 2);
  std::vector<std::int32_t> a(Ram + 16, Sentinel);
  ASSERT_TRUE(Capture(a));
  EXPECT_NE(a[0], Sentinel);
  EXPECT_NE(a[1], Sentinel);
  EXPECT_EQ(a[2], Sentinel);

  Program(0, Ram + 16);
  std::fill(a.begin(), a.end(), Sentinel);
  _GetDataA(a.data(), nullptr);
  EXPECT_EQ(LastError(), 0);
  EXPECT_NE(a[Ram - 1], Sentinel);
  EXPECT_EQ(a[Ram], Sentinel);
  // No channel A buffer: nothing to deliver, nothing asked of the device.
  const int readOuts = Server.CommandCount(16);
  _GetDataA(nullptr, a.data());
  EXPECT_EQ(Server.CommandCount(16), readOuts);
}

TEST_F(LodrastApi, SplitRepliesGiveTheSameCapture) {
  OpenAndConfigure();
  // Every reply, the one-byte status included, in up to three parts.
  Server.SetSplit(3, 2);
  Program(0, Ram);
  std::vector<std::int32_t> a(Ram, Sentinel);
  ASSERT_TRUE(Capture(a));
  EXPECT_EQ(a, Expected(Ram, 1000.0));
  EXPECT_EQ(End, Server.LastCapture().End);
}

TEST_F(LodrastApi, EarlyCloseDuringReadOutKeepsTheBufferAndReconnects) {
  OpenAndConfigure();
  Program(0, Ram);
  Server.AddFault({sim::TLinkFault::Close, 16, 0, 1});
  std::vector<std::int32_t> a(Ram, Sentinel);
  EXPECT_LT(Milliseconds([&] { EXPECT_FALSE(Capture(a)); }), FaultLimitMs);
  std::string text;
  EXPECT_EQ(LastError(&text), 1);
  EXPECT_EQ(text, "Communication error, connection closed");
  EXPECT_EQ(a, std::vector<std::int32_t>(Ram, Sentinel));
  // Later calls fail at once and keep the first failure's text.
  EXPECT_EQ(_ReadStatus(), 0);
  EXPECT_EQ(LastError(&text), 1);
  EXPECT_EQ(text, "Communication error, connection closed");

  ASSERT_TRUE(Capture(a));
  EXPECT_EQ(Server.Connections(), 2);
  EXPECT_EQ(a, Expected(Ram, 1000.0));
}

TEST_F(LodrastApi, SilentDeviceEndsThePollWithTheTimeout) {
  OpenAndConfigure();
  Program(0, Ram);
  ASSERT_EQ(_CPSet(), 1);
  ASSERT_EQ(_StartCapture(), 1);
  Server.AddFault({sim::TLinkFault::Stall, 7, 1, 1});
  EXPECT_EQ(_ReadStatus(), SARTEL_STATUS_ARMED);
  std::uint8_t status = 0xFF;
  const double ms = Milliseconds([&] { status = _ReadStatus(); });
  EXPECT_EQ(status, 0);
  EXPECT_GE(ms, TimeoutMs - 5);
  EXPECT_LT(ms, FaultLimitMs);
  std::string text;
  EXPECT_EQ(LastError(&text), 1);
  EXPECT_EQ(text, "Communication error, read timeout");

  Server.ClearFaults();
  std::vector<std::int32_t> a(Ram, Sentinel);
  ASSERT_TRUE(Capture(a));
  EXPECT_EQ(a, Expected(Ram, 1000.0));
}

TEST_F(LodrastApi, ResetIsAReadFailure) {
  OpenAndConfigure();
  Program(0, Ram);
  Server.AddFault({sim::TLinkFault::Reset, 17, 0, 1});
  EXPECT_LT(Milliseconds([&] { EXPECT_EQ(_GetAddress(), 0); }), FaultLimitMs);
  std::string text;
  EXPECT_EQ(LastError(&text), 1);
  EXPECT_EQ(text, "Communication error, read failed");
  std::vector<std::int32_t> a(Ram);
  EXPECT_TRUE(Capture(a));
}

TEST_F(LodrastApi, CommandToAClosedPeerFailsWithoutSignal) {
  OpenAndConfigure();
  Program(0, Ram);
  const int closed = Server.Disconnections();
  Server.AddFault({sim::TLinkFault::Close, 20, 0, 1});
  EXPECT_EQ(_EndCapture(), 1);
  ASSERT_TRUE(Server.AwaitDisconnections(closed + 1, static_cast<std::uint32_t>(FaultLimitMs)));
  EXPECT_EQ(_StopCapture(), 0);
  std::string text;
  EXPECT_EQ(LastError(&text), 1);
  EXPECT_EQ(text, "Communication error, connection closed");
}

TEST_F(LodrastApi, ConnectionDroppedWhileIdleIsReplacedByCaptureProgramming) {
  OpenAndConfigure();
  Program(0, Ram);
  const int closed = Server.Disconnections();
  Server.AddFault({sim::TLinkFault::Close, 20, 0, 1});
  EXPECT_EQ(_EndCapture(), 1);
  ASSERT_TRUE(Server.AwaitDisconnections(closed + 1, static_cast<std::uint32_t>(FaultLimitMs)));
  EXPECT_EQ(_CPSet(), 1);
  EXPECT_EQ(LastError(), 0);
  std::vector<std::int32_t> a(Ram);
  EXPECT_TRUE(Capture(a));
  EXPECT_EQ(Server.Connections(), 2);
}

TEST_F(LodrastApi, LateReplyIsNeverTakenForALaterOne) {
  OpenAndConfigure();
  Program(0, Ram);
  std::vector<std::int32_t> a(Ram);
  ASSERT_TRUE(Capture(a));
  // The address reply trickles in after its time-out.
  Server.SetSegments(1, TimeoutMs);
  EXPECT_EQ(_GetAddress(), 0);
  EXPECT_EQ(LastError(), 1);
  Server.SetSegments(0, 0);
  ASSERT_EQ(_CPSet(), 1);
  EXPECT_EQ(LastError(), 0);
  // The device was left idle: a fresh status, not a byte of the old reply.
  EXPECT_EQ(_ReadStatus(), 0);
  EXPECT_EQ(LastError(), 0);
}

TEST_F(LodrastApi, GarbageStaysInRangeAndUnaskedBytesAreAnError) {
  OpenAndConfigure();
  Program(0, Ram);
  // Replies of the right size but wrong content cannot be told from real
  // ones; decoded, they stay in range.
  Server.AddFault({sim::TLinkFault::Garbage, 16, 0, 1});
  Server.AddFault({sim::TLinkFault::Garbage, 17, 0, 0});
  Server.AddFault({sim::TLinkFault::Garbage, 9, 0, 0});
  std::vector<std::int32_t> a(Ram, Sentinel);
  ASSERT_TRUE(Capture(a));
  for (std::int32_t sample : a) {
    ASSERT_GE(sample, -32768);
    ASSERT_LE(sample, 32767);
  }
  EXPECT_EQ(Start, 0);
  EXPECT_LE(End, 0x7FFF);
  EXPECT_LE(Turns, 0xFFFFFF);
  Server.ClearFaults();

  Server.AddFault({sim::TLinkFault::Extra, 17, 0, 1});
  ASSERT_EQ(_CPSet(), 1);
  // The reply and the bytes after it leave the server in one send, which
  // loopback delivers whole: they are there once the reply is.
  _GetAddress();
  _ReadStatus();
  std::string text;
  EXPECT_EQ(LastError(&text), 1);
  EXPECT_EQ(text, "Communication error, unexpected data");
}

TEST_F(LodrastApi, ReconnectFailureIsReportedByCaptureProgramming) {
  OpenAndConfigure();
  Program(0, Ram);
  Server.Stop();
  EXPECT_EQ(_ReadStatus(), 0);
  EXPECT_EQ(LastError(), 1);
  EXPECT_LT(Milliseconds([&] { EXPECT_EQ(_CPSet(), 0); }), FaultLimitMs);
  std::string text;
  EXPECT_EQ(LastError(&text), 1);
  EXPECT_EQ(text, "connect");
}

TEST_F(LodrastApi, FreeingClosesTheConnection) {
  OpenAndConfigure();
  _FreeDevice();
  // The model can be made again; its first programming connects anew.
  ASSERT_TRUE(_InitDevice());
  ASSERT_TRUE(_ConfigDevice(0, false));
  Program(0, Ram);
  std::vector<std::int32_t> a(Ram);
  ASSERT_TRUE(Capture(a));
  EXPECT_EQ(Server.Connections(), 2);
  EXPECT_TRUE(Server.HasConnection());
  _FreeDevice();
  _FreeDriver();
  bool closed = false;
  for (int i = 0; i < 100 && !closed; ++i) {
    closed = !Server.HasConnection();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_TRUE(closed);
}

TEST_F(LodrastApi, FreeingTheDriverClosesTheSocket) {
  OpenAndConfigure();
  _FreeDriver();
  bool closed = false;
  for (int i = 0; i < 100 && !closed; ++i) {
    closed = !Server.HasConnection();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_TRUE(closed);
}
