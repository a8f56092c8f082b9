// Whole capture cycles: the core's capture threads and driver binding
// against the real libSartel.so (loaded from this program's folder) and the
// simulated devices. Each test drives the start-up sequence itself (init,
// path, list, open, init device, configure, identify), then a balancing job
// (initial run, trial runs, correction, check run) with the masses placed
// on the simulated rotor; after the correction the residual vibration must
// be far below the initial one. A fault in the middle of a capture must end
// the run with the driver's error, keep the earlier runs, and leave the
// next capture working once the fault is gone.

#include "balancing.h"
#include "capturethreads.h"
#include "lodrastserver.h"
#include "dynlib.h"
#include "folders.h"
#include "pipelinefixture.h"
#include "simcontrol.h"
#include "simfx2.h"
#include "sanitizerslowdown.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numbers>
#include <string>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double TrialGrams = 20.0;
constexpr std::int32_t MaxBuffer = 0x4000;
// Enough noise that a balanced rotor still reads above zero.
constexpr double NoiseMv = 2.0;

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

class WholeJob : public PipelineTest {
 protected:
  void SetUp() override {
    PipelineTest::SetUp();
    // Short enough that the silent-device cases end soon, long enough that a
    // simulated device starved by a busy machine still answers in time.
    setenv("SARTEL_TIMEOUT_MS", testsupport::kSanitizerSlowdown > 1 ? "5000" : "2000", 1);
    std::string pattern = (std::filesystem::temp_directory_path() / "zelto-wholejob-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    Folder = pattern;
    // The FTDI model uploads its configuration image from Lib/ under the
    // path; the simulated device takes any image.
    std::filesystem::create_directories(Folder / "Lib");
    std::ofstream(Folder / "Lib" / "Harvik.lib", std::ios::binary) << std::string(3000, '\x5A');
    ASSERT_TRUE(Sim.Loaded()) << "run with the simulated libftd2xx.so's folder in LD_LIBRARY_PATH";
    Sim.Reset();
  }

  void TearDown() override {
    StopCaptureAndWait();
    Core->ReleaseDriver();
    PipelineTest::TearDown();
    std::error_code ignored;
    std::filesystem::remove_all(Folder, ignored);
  }

  // The library stays mapped for the life of the process: the sanitizers'
  // leak check at exit trips over the thread-local storage of libraries
  // that were unloaded (libSartel.so brings libusb and libudev with it).
  static void KeepLibraryLoaded(const TZelto& core) {
    static void* const keep = rtl::LoadModule(rtl::NativePath(core.ProgramDir + u"" SARTEL_LIBRARY_NAME));
    (void)keep;
  }

  // The start-up window's sequence; with a host the network device. The
  // buffer is MaxBuffer within the memory, or the whole memory for a model
  // that always captures all of it: the start-up's own memory step.
  void StartUp(const char* host) {
    KeepLibraryLoaded(*Core);
    ASSERT_TRUE(Core->LoadDriver());
    const TDriverApi& api = Core->DriverApi;
    api.InitDriver();
    const std::string folder = Folder.string() + "/";
    const std::u16string path(folder.begin(), folder.end());
    api.SetPath(path.c_str());
    std::int32_t indices[256] = {};
    ASSERT_GE(api.ListDevices(indices, host), 1);
    Core->DeviceDescr.fill(0);
    api.GetDeviceDescr(indices[0], Core->DeviceDescr.data());
    api.OpenDevice(indices[0]);
    ASSERT_EQ(Core->ReadDriverError(), 0) << Narrow(TextOf(Core->LastErrorText));
    ASSERT_TRUE(api.InitDevice());
    ASSERT_TRUE(api.ConfigDevice(0, false));
    Core->DeviceSN.fill(0);
    Core->DeviceVer.fill(0);
    api.GetDeviceSN(Core->DeviceSN.data());
    api.GetDeviceVer(Core->DeviceVer.data());
    Core->BuffLength = MaxBuffer;
    Core->ReadDeviceMemory();
    Core->DeviceReady = 1;
  }

  // Demo mode: nothing listed, the library answers with the demo tables.
  void StartUpDemo() {
    Sim.SetDevices(0);
    KeepLibraryLoaded(*Core);
    ASSERT_TRUE(Core->LoadDriver());
    const TDriverApi& api = Core->DriverApi;
    api.InitDriver();
    std::int32_t indices[256] = {};
    ASSERT_EQ(api.ListDevices(indices, nullptr), 0);
    ASSERT_TRUE(api.InitDevice());
    ASSERT_TRUE(api.ConfigDevice(0, true));
    Core->RamSize = api.GetDeviceRamSize();
    Core->BuffLength = 8192;
    Core->DeviceReady = 0;
  }

  void Settings(std::uint8_t type, std::int32_t sampling, std::int32_t gain) {
    Core->Type = type;
    Core->AvgSize = 2;
    Core->SamplingRate = sampling;
    Core->GainA = Core->GainB = gain;
    Core->VibSensorA.InputGain = Core->VibSensorB.InputGain = 1.0;
    Core->CtrlMass.Value = TrialGrams;
    Core->MassAdd = 1;
    // Mirrored angles count in the simulated rotor's direction.
    Core->RotationDir = 1;
  }

  // Measures run `step` with two readings; true when the run ended without
  // a driver error.
  bool Measure(std::int32_t step) {
    Core->BalancingStep = step;
    int readings = 0;
    Workspace.OnRefresh = [&readings] {
      if (++readings == 2) RequestCaptureStop();
    };
    const int ends = Workspace.Ends;
    EXPECT_TRUE(StartBalancingCapture(*Core));
    EXPECT_TRUE(ServeUntil([&] { return Workspace.Ends > ends; }));
    Workspace.OnRefresh = nullptr;
    return Workspace.ErrorAtEnd == 0;
  }

  // Runs the free-running capture for two captures; true when it ended
  // without a driver error.
  bool FreeRun() {
    const int ends = Workspace.Ends;
    const auto captures = [this] {
      return std::count(Workspace.Calls.begin(), Workspace.Calls.end(), std::string("UpdateParamCaptions"));
    };
    const auto before = captures();
    EXPECT_TRUE(StartFreeRunningCapture(*Core));
    EXPECT_TRUE(ServeUntil([&] {
      if (captures() >= before + 2) RequestCaptureStop();
      return Workspace.Ends > ends;
    }));
    return Workspace.ErrorAtEnd == 0;
  }

  // The live buffer holds the rotor's signal: its RMS in millivolts.
  double LiveRmsMv(std::int32_t rangeMv) const {
    double sum = 0;
    for (std::int32_t i = 0; i < Core->BuffLength; ++i) sum += double(Core->LiveDataA[i]) * Core->LiveDataA[i];
    return std::sqrt(sum / Core->BuffLength) * rangeMv / Core->DriverFullScale();
  }

  // Where the correction of plane (0 A, 1 B) of run 3 goes on the rotor:
  // grams and degrees as the mounting direction gives them.
  std::pair<double, double> Mounting(int plane) const {
    const TCorrection& c = Core->Results[3].Result;
    const double mass = (plane == 0 ? c.MassA : c.MassB) * Core->CtrlMass.Value;
    double angle = plane == 0 ? c.AngleA : c.AngleB;
    if (Core->MassAdd == 1) angle = AngleDiff(angle, kPi);
    if (Core->RotationDir == 1) angle = 2 * kPi - angle;
    return {mass, angle * 180 / kPi};
  }

  // The job with trial masses at angle 0; the correction is then mounted
  // and checked in run 4.
  void RunJob() {
    const bool twoPlanes = Core->Type == 1;
    PlaceMass(0, 0, 0);
    PlaceMass(1, 0, 0);
    ASSERT_TRUE(Measure(0));
    PlaceMass(0, TrialGrams, 0);
    ASSERT_TRUE(Measure(1));
    PlaceMass(0, 0, 0);
    if (twoPlanes) {
      PlaceMass(1, TrialGrams, 0);
      ASSERT_TRUE(Measure(2));
      PlaceMass(1, 0, 0);
    }
    Core->BalancingStep = 3;
    Core->EvaluateCapture(0, 3);
    ASSERT_EQ(Core->Results[3].Valid, 1);
    ASSERT_EQ(Core->Results[3].NotComputable, 0);
    const auto [massA, angleA] = Mounting(0);
    PlaceMass(0, massA, angleA);
    if (twoPlanes) {
      const auto [massB, angleB] = Mounting(1);
      PlaceMass(1, massB, angleB);
    }
    ASSERT_TRUE(Measure(4));
    for (int step : {0, 1, 4}) EXPECT_EQ(Core->Results[step].Valid, 1) << step;
  }

  double Amplitude(int step, bool channelB) const {
    const TVector4& meas = Core->Results[step].Meas;
    return channelB ? meas.AmplB : meas.AmplA;
  }

  void ExpectBalanced() {
    EXPECT_GT(Amplitude(0, false), 50.0);
    EXPECT_GT(Amplitude(4, false), 0.0);
    EXPECT_LT(Amplitude(4, false), 0.05 * Amplitude(0, false));
    if (Core->Type == 1) {
      EXPECT_LT(Amplitude(4, true), 0.05 * Amplitude(0, true));
    }
    // The speed the evaluation found is the rotor's.
    EXPECT_NEAR(Core->Results[4].Freq, 50.0, 0.05);
  }

  // Run 1 while the device answers one capture's parameter commands with
  // bytes 0xFF (the fault `garble` injects): the window that decodes from
  // them is impossible, so the run ends with the device error and no
  // reading, and the next capture counts.
  void ExpectImpossibleWindowRefused(const std::function<void()>& garble) {
    ASSERT_TRUE(Measure(0));
    garble();
    const int refreshes = Workspace.Refreshes;
    EXPECT_FALSE(Measure(1));
    EXPECT_EQ(Workspace.ErrorAtEnd, CaptureErrorWindow);
    EXPECT_EQ(Narrow(Workspace.ErrorTextAtEnd).rfind("Impossible capture window: Start ", 0), 0u);
    EXPECT_EQ(Workspace.Refreshes, refreshes) << "nothing shown";
    EXPECT_EQ(Core->Readings, 0);
    EXPECT_EQ(Core->Results[1].Valid, 0);
    EXPECT_EQ(Core->Captures[1].T, 0) << "the refused window is not kept";
    EXPECT_TRUE(Measure(1));
    EXPECT_EQ(Core->Results[1].Valid, 1);
    EXPECT_NEAR(Core->Results[1].Freq, 50.0, 0.05);
  }

  // Run 0 measured at this start is saved in the automatic pair; at the
  // next program start (a new core through the start-up's steps) it is read
  // back as the same record of `length` samples, and the raw file holds
  // just that.
  void ExpectTheSameRecordAtTheNextStart(std::int32_t length) {
    ASSERT_EQ(Core->BuffLength, length);
    ASSERT_TRUE(Measure(0));
    const CaptureRecord measured = Core->Captures[0];
    const std::vector<std::int32_t> a(measured.DataA.begin(), measured.DataA.begin() + length);
    const std::vector<std::int32_t> b(measured.DataB.begin(), measured.DataB.begin() + length);
    ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
    const std::filesystem::path raw(Core->AutoDataFile);
    EXPECT_EQ(std::filesystem::file_size(raw), 2u * length * sizeof(std::int32_t)) << "channels A and B of run 0";
    const auto rawBefore = std::filesystem::file_size(raw);
    Core->ReleaseDriver();
    Core = std::make_unique<TZelto>();
    TheCore = Core.get();
    StartUp(nullptr);
    EXPECT_EQ(Core->BuffLength, length) << "at the next start, before the session";
    ASSERT_EQ(Core->LoadSession(), TZelto::sfrDone);
    EXPECT_EQ(Core->BuffLength, length);
    const CaptureRecord& restored = Core->Captures[0];
    ASSERT_GE(restored.DataA.size(), a.size());
    ASSERT_GE(restored.DataB.size(), b.size());
    EXPECT_TRUE(std::equal(a.begin(), a.end(), restored.DataA.begin()));
    EXPECT_TRUE(std::equal(b.begin(), b.end(), restored.DataB.begin()));
    EXPECT_EQ(restored.T, measured.T);
    EXPECT_EQ(restored.Start, measured.Start);
    EXPECT_EQ(restored.End, measured.End);
    ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
    EXPECT_EQ(std::filesystem::file_size(raw), rawBefore) << "the next save keeps the record's size";
  }

  std::function<void(int plane, double grams, double angleDeg)> PlaceMass = [](int, double, double) {};
  TSimControl Sim;
  std::filesystem::path Folder;
};

class NetworkJob : public WholeJob {
 protected:
  void SetUp() override {
    WholeJob::SetUp();
    ASSERT_TRUE(Server.Start(0));
    setenv("SARTEL_TCP_PORT", std::to_string(Server.Port()).c_str(), 1);
    PlaceMass = [this](int plane, double grams, double angle) { Server.SetMass(plane, grams, angle); };
    Server.SetNoise(NoiseMv);
    // The network device delivers channel A only: a one-plane job.
    Settings(0, 4, 1);
  }
  void TearDown() override {
    WholeJob::TearDown();
    Server.Stop();
  }

  sim::TLodrastServer Server;
};

class FtdiJob : public WholeJob {
 protected:
  void SetUp() override {
    WholeJob::SetUp();
    PlaceMass = [this](int plane, double grams, double angle) { Sim.SetMass(plane, grams, angle); };
    Sim.SetNoise(NoiseMv);
    Settings(1, 4, 0);
  }
};

// The control functions of the simulated FX2 backend, from the same
// library file the driver loads through SARTEL_FX2_PORT.
struct TSimFx2Control {
  TSimFx2Control() : Module(rtl::LoadModule(SIM_FX2_LIBRARY)) {
    Reset = Get<decltype(Reset)>("SimFx2_Reset");
    SetMass = Get<decltype(SetMass)>("SimFx2_SetMass");
    SetNoise = Get<decltype(SetNoise)>("SimFx2_SetNoise");
    InjectFault = Get<decltype(InjectFault)>("SimFx2_InjectFault");
    ClearFaults = Get<decltype(ClearFaults)>("SimFx2_ClearFaults");
  }
  ~TSimFx2Control() { rtl::FreeModule(Module); }
  bool Loaded() const { return Reset && SetMass && SetNoise && InjectFault && ClearFaults; }
  template <typename F>
  F Get(const char* name) {
    return Module ? reinterpret_cast<F>(rtl::FindSymbol(Module, name)) : nullptr;
  }

  void* Module;
  decltype(&SimFx2_Reset) Reset = nullptr;
  decltype(&SimFx2_SetMass) SetMass = nullptr;
  decltype(&SimFx2_SetNoise) SetNoise = nullptr;
  decltype(&SimFx2_InjectFault) InjectFault = nullptr;
  decltype(&SimFx2_ClearFaults) ClearFaults = nullptr;
};

class Fx2Job : public WholeJob {
 protected:
  void SetUp() override {
    WholeJob::SetUp();
    // The device locks of this test only.
    setenv("SARTEL_LOCK_DIR", Folder.c_str(), 1);
    setenv("SARTEL_FX2_PORT", SIM_FX2_LIBRARY, 1);
    ASSERT_TRUE(Fx2.Loaded());
    Fx2.Reset();
    Fx2.SetNoise(NoiseMv);
    PlaceMass = [this](int plane, double grams, double angle) { Fx2.SetMass(plane, grams, angle); };
    Settings(1, 4, 1);
  }
  // The next test of this process (--gtest_repeat, a filter running
  // several) chooses its device afresh: an FX2 port left set would take the
  // place of the simulated FTDI device, and the lock folder is gone.
  void TearDown() override {
    WholeJob::TearDown();
    unsetenv("SARTEL_FX2_PORT");
    unsetenv("SARTEL_LOCK_DIR");
  }

  TSimFx2Control Fx2;
};

}  // namespace

TEST_F(NetworkJob, IdentifiesAndBalancesOnePlane) {
  StartUp("127.0.0.1");
  EXPECT_EQ(Narrow(TextOf(Core->DeviceDescr)), "Lodrast");
  EXPECT_EQ(Narrow(TextOf(Core->DeviceSN)), "0000");
  EXPECT_EQ(Narrow(TextOf(Core->DeviceVer)), "1.0");
  EXPECT_EQ(Core->RamSize, 0x4000);
  RunJob();
  ExpectBalanced();
}

TEST_F(NetworkJob, FreeRunningCaptureFillsTheLiveBuffer) {
  StartUp("127.0.0.1");
  ASSERT_TRUE(FreeRun());
  ASSERT_GE(Core->LiveDataA.size(), static_cast<std::size_t>(Core->BuffLength));
  // The 1x of about 100 mV peak with its harmonics and noise.
  EXPECT_NEAR(LiveRmsMv(1000), 100.0 / std::sqrt(2.0), 15.0);
  EXPECT_GT(Core->RmsA, 0.0);
}

TEST_F(NetworkJob, DroppedLinkEndsTheRunAndTheNextCaptureWorks) {
  StartUp("127.0.0.1");
  ASSERT_TRUE(Measure(0));
  const MeasurementResult before = Core->Results[0];
  Server.AddFault({sim::TLinkFault::Close, 16, 0, 1});
  EXPECT_FALSE(Measure(1));
  EXPECT_EQ(Narrow(Workspace.ErrorTextAtEnd), "Communication error, connection closed");
  EXPECT_EQ(Core->Results[1].Valid, 0);
  EXPECT_EQ(Core->Results[0].Meas.AmplA, before.Meas.AmplA);
  EXPECT_EQ(Core->Results[0].Meas.PhA, before.Meas.PhA);
  // The next capture connects again.
  EXPECT_TRUE(Measure(1));
  EXPECT_EQ(Core->Results[1].Valid, 1);
  EXPECT_EQ(Server.Connections(), 2);
}

TEST_F(NetworkJob, SilentDeviceEndsThePollAndTheNextCaptureWorks) {
  StartUp("127.0.0.1");
  ASSERT_TRUE(Measure(0));
  const MeasurementResult before = Core->Results[0];
  Server.AddFault({sim::TLinkFault::Stall, 7, 2, 1});
  EXPECT_FALSE(Measure(1));
  EXPECT_EQ(Narrow(Workspace.ErrorTextAtEnd), "Communication error, read timeout");
  EXPECT_EQ(Core->Results[0].Meas.AmplA, before.Meas.AmplA);
  Server.ClearFaults();
  EXPECT_TRUE(Measure(1));
  EXPECT_EQ(Core->Results[1].Valid, 1);
}

TEST_F(NetworkJob, ImpossibleCaptureWindowIsADeviceErrorAndTheNextCaptureCounts) {
  StartUp("127.0.0.1");
  ExpectImpossibleWindowRefused([this] { Server.AddFault({sim::TLinkFault::Ones, 9, 0, 1}); });
}

TEST_F(FtdiJob, IdentifiesAndBalancesTwoPlanes) {
  StartUp(nullptr);
  EXPECT_EQ(Narrow(TextOf(Core->DeviceDescr)), "Kalvenor");
  RunJob();
  ExpectBalanced();
}

TEST_F(FtdiJob, FreeRunningCaptureFillsTheLiveBuffers) {
  StartUp(nullptr);
  ASSERT_TRUE(FreeRun());
  ASSERT_GE(Core->LiveDataB.size(), static_cast<std::size_t>(Core->BuffLength));
  EXPECT_NEAR(LiveRmsMv(1000), 100.0 / std::sqrt(2.0), 15.0);
  EXPECT_GT(Core->RmsB, 0.0);
}

TEST_F(FtdiJob, SilentDeviceEndsTheRunAndTheNextCaptureWorks) {
  StartUp(nullptr);
  ASSERT_TRUE(Measure(0));
  const MeasurementResult before = Core->Results[0];
  Sim.InjectFault("FT_W32_ReadFile", SIMD2XX_FAULT_HANG, 0, -1);
  EXPECT_FALSE(Measure(1));
  EXPECT_FALSE(Workspace.ErrorTextAtEnd.empty());
  EXPECT_EQ(Core->Results[0].Meas.AmplA, before.Meas.AmplA);
  EXPECT_EQ(Core->Results[0].Meas.AmplB, before.Meas.AmplB);
  Sim.ClearFaults();
  EXPECT_TRUE(Measure(1));
  EXPECT_EQ(Core->Results[1].Valid, 1);
}

// The seven register reads of the capture parameters follow the transfer
// state: start, end and revolutions.
TEST_F(FtdiJob, ImpossibleCaptureWindowIsADeviceErrorAndTheNextCaptureCounts) {
  StartUp(nullptr);
  ExpectImpossibleWindowRefused([this] {
    Workspace.OnState = [this, armed = true](uint8_t state) mutable {
      if (!armed || state != asTransfer) return;
      armed = false;
      Sim.InjectFault("FT_W32_ReadFile", SIMD2XX_FAULT_ONES, 0, 7);
    };
  });
}

// The FTDI model reads the length it is asked for, though its version text
// begins as the FX2 model's does: its runs keep that length at the next
// start. The FX2 model always captures its whole memory, so it measures all
// of it from the first start on.
TEST_F(FtdiJob, ARunMeasuredAtTheFirstStartIsTheSameRecordAtTheNext) {
  StartUp(nullptr);
  EXPECT_EQ(Narrow(TextOf(Core->DeviceVer)).front(), '2');
  EXPECT_GT(Core->RamSize, MaxBuffer);
  EXPECT_FALSE(Core->CapturesWholeMemory);
  ExpectTheSameRecordAtTheNextStart(MaxBuffer);
}

TEST_F(Fx2Job, MeasuresItsWholeMemoryFromTheFirstStartOn) {
  StartUp(nullptr);
  EXPECT_TRUE(Core->CapturesWholeMemory);
  ExpectTheSameRecordAtTheNextStart(0x8000);
}

TEST_F(Fx2Job, IdentifiesAndBalancesTwoPlanes) {
  StartUp(nullptr);
  EXPECT_EQ(Narrow(TextOf(Core->DeviceVer)), "2.0");
  EXPECT_EQ(Core->RamSize, 0x8000);
  RunJob();
  ExpectBalanced();
}

TEST_F(Fx2Job, FreeRunningCaptureFillsTheLiveBuffers) {
  StartUp(nullptr);
  ASSERT_TRUE(FreeRun());
  ASSERT_GE(Core->LiveDataB.size(), static_cast<std::size_t>(Core->BuffLength));
  EXPECT_NEAR(LiveRmsMv(1000), 100.0 / std::sqrt(2.0), 15.0);
  EXPECT_GT(Core->RmsB, 0.0);
}

TEST_F(Fx2Job, SilentDeviceEndsTheRunAndTheNextCaptureWorks) {
  StartUp(nullptr);
  ASSERT_TRUE(Measure(0));
  const MeasurementResult before = Core->Results[0];
  Fx2.InjectFault("bulk-in", SIMFX2_FAULT_HANG, 0, -1);
  EXPECT_FALSE(Measure(1));
  EXPECT_FALSE(Workspace.ErrorTextAtEnd.empty());
  EXPECT_EQ(Core->Results[0].Meas.AmplA, before.Meas.AmplA);
  EXPECT_EQ(Core->Results[0].Meas.AmplB, before.Meas.AmplB);
  Fx2.ClearFaults();
  EXPECT_TRUE(Measure(1));
  EXPECT_EQ(Core->Results[1].Valid, 1);
}

// Request B6 reads the high revolution count, only for the capture parameters.
TEST_F(Fx2Job, ImpossibleCaptureWindowIsADeviceErrorAndTheNextCaptureCounts) {
  StartUp(nullptr);
  ExpectImpossibleWindowRefused([this] { Fx2.InjectFault("B6", SIMFX2_FAULT_ONES, 0, 1); });
}

TEST_F(WholeJob, DemoJobWithTheRealLibrary) {
  StartUpDemo();
  Settings(1, 4, 1);
  RunJob();
  EXPECT_EQ(Core->Results[3].Valid, 1);
  // The synthesis gives the check run a fraction of the initial vibration.
  EXPECT_LT(Amplitude(4, false), 0.25 * Amplitude(0, false));
}
