// The FX2 branches of the exports, through libSartel.so, against the
// simulated FX2 device that the driver loads as its FX2 port backend
// (SARTEL_FX2_PORT), with the simulated D2XX library beside it.

#include "sartel.h"
#include "simcontrol.h"
#include "simfx2.h"

#include "clock.h"
#include "dynlib.h"
#include "namedlock.h"
#include "sanitizerslowdown.h"
#include "signalmodel.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// The control interface of the same backend library the driver loads.
struct TSimFx2 {
  TSimFx2() : Module(rtl::LoadModule(SIM_FX2_LIBRARY)) {}
  ~TSimFx2() { rtl::FreeModule(Module); }
  template <typename F> F Get(const char* name) { return reinterpret_cast<F>(rtl::FindSymbol(Module, name)); }
  void* Module;
};

// Another process that holds the lock of an FX2 device until the test ends.
class THolder {
public:
  THolder(const std::string& name, const std::string& lockDir) {
    int ready[2];
    if (pipe(ready) != 0 || pipe(Release) != 0)
      return;
    Child = fork();
    if (Child == 0) {
      close(ready[0]);
      close(Release[1]);
      rtl::TNamedLock lock(name, lockDir);
      const char held = lock.TryAcquire() ? 1 : 0;
      static_cast<void>(write(ready[1], &held, 1));
      char byte;
      static_cast<void>(read(Release[0], &byte, 1));
      _exit(0);
    }
    close(ready[1]);
    close(Release[0]);
    char held = 0;
    Held = read(ready[0], &held, 1) == 1 && held == 1;
    close(ready[0]);
  }
  ~THolder() {
    close(Release[1]);
    if (Child > 0)
      waitpid(Child, nullptr, 0);
  }
  bool Held = false;

private:
  pid_t Child = -1;
  int Release[2] = {-1, -1};
};

std::u16string Text(const char16_t* text) { return std::u16string(text); }

class Fx2Api : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(Ftdi.Loaded()) << "run with the simulated libftd2xx.so's folder in LD_LIBRARY_PATH";
    ASSERT_NE(Fx2.Module, nullptr);
    std::string pattern = (std::filesystem::temp_directory_path() / "sartel-fx2-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    LockDir = pattern;
    setenv("SARTEL_LOCK_DIR", LockDir.c_str(), 1);
    setenv("SARTEL_FX2_PORT", SIM_FX2_LIBRARY, 1);
    // Every transfer runs on a thread of its own: long enough that one
    // started on a machine starved by other work still answers in time.
    // The silent-device case sets a short one of its own.
    setenv("SARTEL_TIMEOUT_MS", testsupport::kSanitizerSlowdown > 1 ? "5000" : "2000", 1);
    Ftdi.Reset();
    Fx2.Get<decltype(&SimFx2_Reset)>("SimFx2_Reset")();
    ASSERT_TRUE(_InitDriver());
  }

  void TearDown() override {
    _FreeDevice();
    _FreeDriver();
    std::error_code ignored;
    std::filesystem::remove_all(LockDir, ignored);
  }

  void Fx2Devices(int count) { Fx2.Get<decltype(&SimFx2_SetDevices)>("SimFx2_SetDevices")(count); }
  void Fault(const char* transfer, int kind, int skip = 0, int count = -1) {
    Fx2.Get<decltype(&SimFx2_InjectFault)>("SimFx2_InjectFault")(transfer, kind, skip, count);
  }

  std::int32_t LastError(std::u16string* text = nullptr) {
    char16_t buffer[SARTEL_TEXT_LENGTH] = {};
    const std::int32_t code = _GetLastErrorStr(buffer);
    if (text)
      *text = buffer;
    return code;
  }

  std::u16string Description(std::int32_t index) {
    char16_t text[SARTEL_TEXT_LENGTH] = {};
    _GetDeviceDescr(index, text);
    return text;
  }

  void OpenAndConfigure() {
    std::int32_t indices[256] = {};
    ASSERT_EQ(_ListDevices(indices, nullptr), 1);
    ASSERT_EQ(Description(indices[0]), u"Kalvenor2");
    _OpenDevice(indices[0]);
    ASSERT_EQ(LastError(), 0);
    ASSERT_TRUE(_InitDevice());
    ASSERT_TRUE(_ConfigDevice(0, false));
  }

  TSimControl Ftdi;
  TSimFx2 Fx2;
  std::string LockDir;
};

} // namespace

TEST_F(Fx2Api, FreeFx2DevicesAreListedBeforeFtdiDevices) {
  std::int32_t indices[256] = {};
  ASSERT_EQ(_ListDevices(indices, nullptr), 1);
  EXPECT_EQ(indices[0], 0);
  EXPECT_EQ(Description(0), u"Kalvenor2");
  EXPECT_EQ(LastError(), 0);

  Fx2Devices(0);
  ASSERT_EQ(_ListDevices(indices, nullptr), 1);
  EXPECT_EQ(Description(indices[0]), u"Kalvenor") << "without FX2 devices the FTDI device is listed";
}

TEST_F(Fx2Api, NoDeviceGivesACountOfZero) {
  Fx2Devices(0);
  Ftdi.SetDevices(0);
  std::int32_t indices[256] = {};
  EXPECT_EQ(_ListDevices(indices, nullptr), 0);
  EXPECT_EQ(LastError(), 0);
}

TEST_F(Fx2Api, ADeviceHeldByAnotherProcessIsNotListed) {
  Fx2Devices(2);
  THolder holder("ZeltoFX2Device0", LockDir);
  ASSERT_TRUE(holder.Held);
  std::int32_t indices[256] = {};
  ASSERT_EQ(_ListDevices(indices, nullptr), 1);
  EXPECT_EQ(indices[0], 1);

  Fx2Devices(1);
  ASSERT_EQ(_ListDevices(indices, nullptr), 1);
  EXPECT_EQ(Description(indices[0]), u"Kalvenor") << "with every FX2 device held, FTDI devices are searched";
}

TEST_F(Fx2Api, OpeningADeviceAnotherProcessHoldsReportsAlreadyOpen) {
  std::int32_t indices[256] = {};
  ASSERT_EQ(_ListDevices(indices, nullptr), 1);
  THolder holder("ZeltoFX2Device0", LockDir);
  ASSERT_TRUE(holder.Held);
  _OpenDevice(0);
  std::u16string text;
  EXPECT_EQ(LastError(&text), 1);
  EXPECT_EQ(text, u"Device already open.");
}

TEST_F(Fx2Api, TheOpenDeviceIsLockedUntilClosed) {
  std::int32_t indices[256] = {};
  ASSERT_EQ(_ListDevices(indices, nullptr), 1);
  _OpenDevice(0);
  ASSERT_EQ(LastError(), 0);
  EXPECT_TRUE(rtl::IsNamedLockHeld("ZeltoFX2Device0", LockDir));
  _CloseDevice();
  EXPECT_FALSE(rtl::IsNamedLockHeld("ZeltoFX2Device0", LockDir));
}

TEST_F(Fx2Api, ADeviceThePortCannotOpenGivesCode2) {
  std::int32_t indices[256] = {};
  ASSERT_EQ(_ListDevices(indices, nullptr), 1);
  Fx2Devices(0);
  _OpenDevice(0);
  std::u16string text;
  EXPECT_EQ(LastError(&text), 2);
  EXPECT_EQ(text, u"Could not open USB channel.");
}

TEST_F(Fx2Api, ASilentDeviceFailsConfigurationWithinTheShortTimeOut) {
  // The driver takes its time-out when it starts.
  _FreeDriver();
  setenv("SARTEL_TIMEOUT_MS", "300", 1);
  ASSERT_TRUE(_InitDriver());
  Fault("A9", SIMFX2_FAULT_HANG);
  std::int32_t indices[256] = {};
  ASSERT_EQ(_ListDevices(indices, nullptr), 1);
  _OpenDevice(0);
  ASSERT_TRUE(_InitDevice());
  const uint32_t start = rtl::GetTickCount();
  EXPECT_FALSE(_ConfigDevice(0, false));
  // Seconds, but half the default time-out (10 s) a driver that ignored the
  // short one would wait.
  EXPECT_LT(rtl::GetTickCount() - start, 5000u);
  std::u16string text;
  EXPECT_EQ(LastError(&text), 1);
  EXPECT_EQ(text, u"USB transfer timed out.");
}

TEST_F(Fx2Api, FailedCaptureProgrammingSetsCodeAndText) {
  OpenAndConfigure();
  Fault("B4", SIMFX2_FAULT_FAIL, 0, 1);
  EXPECT_EQ(_CPSet(), 0);
  std::u16string text;
  EXPECT_EQ(LastError(&text), 1);
  EXPECT_EQ(text, u"USB transfer failed.");
  // The next programming starts clean: neither the code nor the text of
  // the failed one is left for a later report.
  EXPECT_EQ(_CPSet(), 1);
  EXPECT_EQ(LastError(&text), 0);
  EXPECT_EQ(text, u"");
}

TEST_F(Fx2Api, WithoutItsEndpointsCaptureProgrammingFails) {
  Fx2.Get<decltype(&SimFx2_SetAlternateSetting)>("SimFx2_SetAlternateSetting")(0, 3);
  OpenAndConfigure();
  EXPECT_EQ(_CPSet(), 0);
  std::u16string text;
  EXPECT_EQ(LastError(&text), 1);
  EXPECT_EQ(text, u"Failed to find endpoint.");
}

TEST_F(Fx2Api, AWholeCaptureDeliversTheRotorSignal) {
  OpenAndConfigure();
  char16_t id[SARTEL_IDENTITY_LENGTH] = {};
  _GetDeviceID(id);
  EXPECT_EQ(Text(id), u"Kalvenor2");
  char16_t version[SARTEL_TEXT_LENGTH] = {};
  _GetDeviceVer(version);
  EXPECT_EQ(Text(version), u"2.0");
  const std::int32_t ram = _GetDeviceRamSize();
  ASSERT_EQ(ram, 0x8000);
  EXPECT_EQ(_GetClockItems(SARTEL_SELECT_COUNT), 13);
  EXPECT_EQ(_GetGainItems(SARTEL_SELECT_ENTRY + 1), 1000);
  EXPECT_EQ(_GetConfigByte(0), 1);

  _CPMode(0);
  _CPBuffer(ram);
  _CPGain(1, 0);
  _CPSampling(3);
  ASSERT_EQ(_CPSet(), 1);
  ASSERT_EQ(LastError(), 0);
  ASSERT_EQ(_StartCapture(), 1);
  std::uint8_t status = 0;
  for (int poll = 0; poll < 100 && !(status & SARTEL_STATUS_DONE); ++poll)
    status = _ReadStatus();
  ASSERT_TRUE(status & SARTEL_STATUS_DONE);
  EXPECT_EQ(_GetAddress(), ram - 1);
  ASSERT_EQ(_StopCapture(), 1);
  std::int32_t start = -1, end = -1, turns = -1;
  _GetCaptureParams(&start, &end, &turns);
  std::vector<std::int32_t> a(static_cast<std::size_t>(ram)), b(static_cast<std::size_t>(ram));
  _GetDataA(a.data(), b.data());
  EXPECT_EQ(_EndCapture(), 1);
  EXPECT_EQ(LastError(), 0);

  double captureStart = 0, fs = 0, rangeA = 0, rangeB = 0;
  int length = 0, twelveBit = 0;
  ASSERT_EQ(Fx2.Get<decltype(&SimFx2_LastCapture)>("SimFx2_LastCapture")(0, &captureStart, &fs, &length, &rangeA,
                                                                          &rangeB, &twelveBit),
            1);
  EXPECT_EQ(fs, 20000.0);
  EXPECT_EQ(rangeA, 1000.0);
  EXPECT_EQ(rangeB, 2500.0);
  sim::TSignalModel rotor;
  std::vector<double> mvA(a.size()), mvB(b.size());
  rotor.Generate(captureStart, fs, a.size(), mvA.data(), mvB.data());
  for (std::size_t i = 0; i < a.size(); ++i) {
    ASSERT_EQ(a[i], sim::ToCounts(mvA[i], rangeA, 0x8000)) << "sample " << i;
    ASSERT_EQ(b[i], sim::ToCounts(mvB[i], rangeB, 0x8000)) << "sample " << i;
  }
  const std::vector<std::size_t> refs = rotor.ReferenceIndexes(captureStart, fs, a.size());
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, static_cast<std::int32_t>(refs.back()));
  EXPECT_EQ(turns, static_cast<std::int32_t>(refs.size() - 1));
  EXPECT_LE(end, ram);

  double temperatureA = -1;
  _GetTemperature(&temperatureA, nullptr);
  EXPECT_DOUBLE_EQ(temperatureA, 0x40 * 5000.0 / 256);
  EXPECT_EQ(Fx2.Get<decltype(&SimFx2_ProtocolErrors)>("SimFx2_ProtocolErrors")(0), 0);

  _FreeDevice();
  const auto count = Fx2.Get<decltype(&SimFx2_LogCount)>("SimFx2_LogCount")();
  char last[64] = {};
  Fx2.Get<decltype(&SimFx2_LogEntry)>("SimFx2_LogEntry")(count - 1, last, sizeof last);
  EXPECT_STREQ(last, "ctl B0 out v=0000 i=0000 []");
}
