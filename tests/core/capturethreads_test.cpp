#include "capturethreads.h"
#include "capturewindow.h"
#include "pipelinefixture.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <tuple>

namespace {

class CaptureThreads : public PipelineTest {
 protected:
  void SetUp() override {
    PipelineTest::SetUp();
    TFakeSartel& fake = LoadFake();
    Core->DeviceReady = 1;
    Core->BuffLength = 1000;
    Core->SamplingRate = 4;
    fake.Start = 0;
    fake.End = 1000;
    fake.Revolutions = 10;
    fake.DataA.resize(1000);
    fake.DataB.resize(1000);
    for (int i = 0; i < 1000; ++i) {
      fake.DataA[i] = static_cast<int32_t>(5000 * std::sin(2 * std::numbers::pi * 10 * i / 1000) + 0.5);
      fake.DataB[i] = i + 7;
    }
    fake.Addresses = {250, 500, 1000};
  }

  // Starts a balancing capture that stops itself after `captures` readings.
  void RunBalancing(int captures) {
    Workspace.OnRefresh = [this, captures] {
      if (Workspace.Refreshes >= captures) RequestCaptureStop();
    };
    ASSERT_TRUE(StartBalancingCapture(*Core));
    ServeUntil([&] { return Workspace.Ends > 0; });
  }

  std::vector<std::string> CallsOf(std::initializer_list<const char*> names) {
    std::vector<std::string> out;
    for (const auto& c : Fake->Calls)
      if (std::find_if(names.begin(), names.end(), [&](const char* n) { return c == n; }) != names.end())
        out.push_back(c);
    return out;
  }
};

}  // namespace

TEST(SamplingProgress, PercentCaptionOfTheTransfer) {
  EXPECT_EQ(SamplingProgressText(0, 8192), "");
  EXPECT_EQ(SamplingProgressText(81, 8192), "");  // 0 %
  EXPECT_EQ(SamplingProgressText(3032, 8192), "37%");
  EXPECT_EQ(SamplingProgressText(8192, 8192), "100%");
  EXPECT_EQ(SamplingProgressText(8193, 8192), "");
  EXPECT_EQ(SamplingProgressText(2000000000, 2100000000), "95%");  // 64-bit product
  EXPECT_EQ(SamplingProgressText(5, 0), "");
}

// Inside the buffer, End after Start, and 1 to (End - Start) / 4 revolutions.
TEST(CaptureWindow, PossibleOnlyInsideTheBufferAtFourSamplesARevolutionOrMore) {
  constexpr int32_t buff = 16384;
  const auto possible = [](int32_t start, int32_t end, int32_t t) {
    return CaptureWindowPossible({start, end, t}, buff);
  };
  EXPECT_TRUE(possible(0, buff, buff / 4));
  EXPECT_FALSE(possible(0, buff, buff / 4 + 1));
  EXPECT_TRUE(possible(100, 104, 1));
  EXPECT_FALSE(possible(100, 103, 1));
  EXPECT_TRUE(possible(0, 16262, 1));
  EXPECT_FALSE(possible(0, 16262, 12962370));
  EXPECT_FALSE(possible(0, 16262, 0));
  EXPECT_FALSE(possible(0, 16262, -1));
  EXPECT_FALSE(possible(0, 0, 0));
  EXPECT_FALSE(possible(0, buff + 1, 10));
  EXPECT_FALSE(possible(0, 31986, 10));
  EXPECT_FALSE(possible(-1, 1000, 10));
  EXPECT_FALSE(possible(500, 500, 1));
  EXPECT_FALSE(possible(600, 500, 1));
  EXPECT_FALSE(possible(INT32_MIN, INT32_MAX, 1));
  EXPECT_FALSE(CaptureWindowPossible({0, 4, 1}, 0)) << "an empty buffer holds no window";
  EXPECT_EQ(ImpossibleWindowText({0, 31986, 12}, buff),
            u"Impossible capture window: Start 0, End 31986, T 12 in 16384 samples.");
}

TEST_F(CaptureThreads, BalancingCaptureConfiguresPollsReadsAndEvaluates) {
  Fake->Statuses = {0, 1, 1, 3, 3, 7};
  RunBalancing(1);
  EXPECT_EQ(CallsOf({"_LaserEnable", "_CPMode", "_CPBuffer", "_CPGain", "_CPSampling", "_CPSet", "_StartCapture",
                     "_StopCapture", "_GetCaptureParams", "_GetDataA", "_EndCapture"}),
            (std::vector<std::string>{"_LaserEnable", "_CPMode", "_CPBuffer", "_CPGain", "_CPSampling", "_CPSet",
                                      "_StartCapture", "_StopCapture", "_GetCaptureParams", "_GetDataA",
                                      "_EndCapture", "_LaserEnable"}));
  EXPECT_EQ(Fake->LaserStates, (std::vector<int32_t>{1, 0}));
  EXPECT_EQ(Fake->Mode, 0);
  EXPECT_EQ(Fake->BufferLength, 1000);
  EXPECT_EQ(Fake->StatusReads, 6);
  EXPECT_EQ(Workspace.States, (std::vector<uint8_t>{1, 2, 4}));
  EXPECT_EQ(Workspace.Progress, (std::vector<std::string>{"25%", "50%"}));
  EXPECT_EQ(Debug.Updates, 1);
  const MeasurementResult& r = Core->Results[0];
  EXPECT_EQ(r.Valid, 1);
  EXPECT_DOUBLE_EQ(r.Freq, 10 * 10000.0 / 1000);
  EXPECT_NEAR(r.Meas.AmplA, 1000.0 * 5000 / 0x8000, 0.05);
  EXPECT_EQ(Core->Measuring, 0);
  EXPECT_EQ(BalThread, nullptr);
  EXPECT_EQ(Workspace.ErrorAtEnd, 0);
  EXPECT_EQ(Workspace.Calls.back(), "SyncMeasurementDone");
}

TEST_F(CaptureThreads, SamplingEndsWhenTheAddressPassesTheBuffer) {
  Fake->Statuses = {3};  // never done
  Fake->Addresses = {100, 600, 1001};
  RunBalancing(1);
  EXPECT_EQ(Workspace.Progress, (std::vector<std::string>{"10%", "60%", ""}));
  EXPECT_EQ(Core->Results[0].Valid, 1);
}

TEST_F(CaptureThreads, StopDuringPollingEvaluatesNothingMore) {
  Core->AvgSize = 5;
  TBalThread* thread = nullptr;
  Fake->OnStatusRead = [&](int32_t reads) {
    if (Fake->Captures == 2 && reads == 2) thread->Terminate();
  };
  Fake->Statuses = {1, 3, 7};
  Workspace.OnRefresh = [] {};
  ASSERT_TRUE(StartBalancingCapture(*Core));
  thread = BalThread;
  ServeUntil([&] { return Workspace.Ends > 0; });
  EXPECT_EQ(Workspace.Refreshes, 1);  // the first capture only
  EXPECT_EQ(Core->Readings, 1);
  EXPECT_EQ(Core->Results[0].Slots[1].AmplA, 0.0);
  const std::vector<std::string> tail(Fake->Calls.end() - 3, Fake->Calls.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"_StopCapture", "_EndCapture", "_LaserEnable"}));
  EXPECT_EQ(Workspace.ErrorAtEnd, 0);
}

TEST_F(CaptureThreads, ConfigurationErrorEndsTheRunUnevaluated) {
  Fake->ConfigErrorCode = 2;
  Fake->ConfigErrorText = u"Bad configuration";
  RunBalancing(1);
  EXPECT_EQ(Workspace.Ends, 1);
  EXPECT_EQ(Workspace.ErrorAtEnd, 1);
  EXPECT_EQ(Workspace.ErrorTextAtEnd, u"Bad configuration");
  EXPECT_EQ(Workspace.Refreshes, 0);
  EXPECT_EQ(CallsOf({"_StartCapture"}).size(), 0u);
  EXPECT_EQ(Fake->LaserStates, (std::vector<int32_t>{1, 0}));
  EXPECT_EQ(Core->Results[0].Valid, 0);
}

TEST_F(CaptureThreads, DriverErrorDuringPollingEndsTheRunInsteadOfSpinning) {
  Fake->Statuses = {1, 3, 3, 3, 7};
  Fake->FailAtStatusRead = 2;  // the device drops out while sampling
  RunBalancing(5);
  EXPECT_EQ(Workspace.ErrorAtEnd, 1);
  EXPECT_EQ(Workspace.ErrorTextAtEnd, u"Transfer failed");
  EXPECT_EQ(Fake->StatusReads, 3);
  EXPECT_EQ(Workspace.Refreshes, 0);
  EXPECT_EQ(Core->Results[0].Valid, 0);
}

// An exception inside the cycle ends the run like a driver error, and the
// end hand-over still runs, so no dangling thread pointer is left behind;
// the laser goes off as on every other end.
TEST_F(CaptureThreads, AnExceptionEndsTheRunWithItsHandOver) {
  Fake->OnStatusRead = [](int32_t reads) {
    if (reads == 2) throw std::runtime_error("lost");
  };
  RunBalancing(5);
  EXPECT_EQ(Fake->LaserStates, (std::vector<int32_t>{1, 0}));
  EXPECT_EQ(Workspace.Ends, 1);
  EXPECT_EQ(Workspace.ErrorAtEnd, 1);
  EXPECT_EQ(Workspace.ErrorTextAtEnd, u"Capture failed.");
  EXPECT_EQ(BalThread, nullptr);
  EXPECT_EQ(Core->Measuring, 0);
}

TEST_F(CaptureThreads, AnExceptionOfAnyTypeStillHandsOver) {
  Fake->OnStatusRead = [](int32_t reads) {
    if (reads == 2) throw 42;
  };
  RunBalancing(5);
  EXPECT_EQ(Workspace.Ends, 1);
  EXPECT_EQ(Workspace.ErrorTextAtEnd, u"Capture failed.");
  EXPECT_EQ(BalThread, nullptr);
}

TEST_F(CaptureThreads, DriverErrorDuringReadOutEndsTheRunUnevaluated) {
  Fake->FailOnGetData = true;
  RunBalancing(5);
  EXPECT_EQ(Workspace.ErrorAtEnd, 1);
  EXPECT_EQ(Workspace.Refreshes, 0);
  EXPECT_EQ(Core->Results[0].Valid, 0);
  EXPECT_EQ(CallsOf({"_EndCapture"}).size(), 1u);
  EXPECT_EQ(Debug.Updates, 0);
}

// An error raised by ending the capture belongs to this capture: it ends the
// run with its own text instead of staying pending for a later one.
TEST_F(CaptureThreads, DriverErrorWhileEndingTheCaptureEndsTheRun) {
  Fake->ErrorAfter["_EndCapture"] = {4, u"End of capture failed"};
  RunBalancing(5);
  EXPECT_EQ(Workspace.ErrorAtEnd, 1);
  EXPECT_EQ(Workspace.ErrorTextAtEnd, u"End of capture failed");
  EXPECT_EQ(CallsOf({"_EndCapture"}).size(), 1u);
  EXPECT_EQ(Workspace.Refreshes, 0);
  EXPECT_EQ(Core->Results[0].Valid, 0);
}

// A read-out error keeps its own text when ending the capture fails too.
TEST_F(CaptureThreads, ReadOutErrorKeepsItsTextWhenTheEndFailsToo) {
  Fake->FailOnGetData = true;
  Fake->ErrorAfter["_EndCapture"] = {4, u"End of capture failed"};
  RunBalancing(5);
  EXPECT_EQ(Workspace.ErrorAtEnd, 1);
  EXPECT_EQ(Workspace.ErrorTextAtEnd, u"Transfer failed");
}

// A capture that fails anywhere in its read-out (after any number of the
// samples of channel A and then B, or when the capture is ended) leaves the
// run, and the live buffers of a free-running capture, with the window and
// samples of the last whole capture.
TEST_F(CaptureThreads, FailedReadOutLeavesTheLastWholeCapture) {
  constexpr int32_t n = 40;
  Core->Type = 1;
  Core->BuffLength = n;
  // Each capture has a window and samples of its own, made from `tag`.
  const auto capture = [this](bool balancing, int32_t tag) {
    Fake->Start = tag;
    Fake->End = n - tag;
    Fake->Revolutions = 3 + tag;
    for (int32_t i = 0; i < n; ++i) {
      Fake->DataA[i] = 1000 * tag + i;
      Fake->DataB[i] = -1000 * tag - i;
    }
    Workspace.Ends = Workspace.Refreshes = 0;
    Workspace.Calls.clear();
    if (balancing) return RunBalancing(1);
    ASSERT_TRUE(StartFreeRunningCapture(*Core));
    ServeUntil([this] {
      if (!Workspace.Calls.empty() && Workspace.Calls.back() == "UpdateParamCaptions") RequestCaptureStop();
      return Workspace.Ends > 0;
    });
  };
  using TRecord = std::tuple<std::vector<int32_t>, std::vector<int32_t>, int32_t, int32_t, int32_t>;
  const auto recordOf = [this](bool balancing) {
    const CaptureRecord& run = Core->Captures[0];
    const std::vector<int32_t>& a = balancing ? run.DataA : Core->LiveDataA;
    const std::vector<int32_t>& b = balancing ? run.DataB : Core->LiveDataB;
    if (a.size() < n || b.size() < n) return TRecord{};
    return TRecord{{a.begin(), a.begin() + n}, {b.begin(), b.begin() + n}, run.T, run.Start, run.End};
  };
  for (const bool balancing : {true, false}) {
    capture(balancing, 0);
    const TRecord whole = recordOf(balancing);
    ASSERT_EQ(Workspace.ErrorAtEnd, CaptureErrorNone);
    ASSERT_EQ(std::get<0>(whole).at(7), 7);
    ASSERT_EQ(std::get<1>(whole).at(7), -7);
    for (int32_t position = 0; position <= 2 * n + 1; ++position) {
      if (position <= 2 * n)
        Fake->FailAfterSamples = position;
      else
        Fake->ErrorAfter["_EndCapture"] = {4, u"End of capture failed"};
      capture(balancing, 2);
      Fake->FailAfterSamples = -1;
      Fake->ErrorAfter.clear();
      EXPECT_EQ(Workspace.ErrorAtEnd, CaptureErrorDriver) << balancing << " " << position;
      EXPECT_EQ(recordOf(balancing), whole) << balancing << " " << position;
    }
  }
  // A free-running capture stopped during its read-out: the capture read
  // whole is the last one, and the views are handed it like any other.
  Workspace.OnState = [](uint8_t state) {
    if (state == asTransfer) RequestCaptureStop();
  };
  capture(false, 3);
  EXPECT_EQ(Workspace.ErrorAtEnd, CaptureErrorNone);
  EXPECT_EQ(std::get<0>(recordOf(false)).at(7), 3007);
  EXPECT_EQ(std::count(Workspace.Calls.begin(), Workspace.Calls.end(), "UpdateParamCaptions"), 1);
}

TEST_F(CaptureThreads, TemperaturesPerChannelWithAGainOfZeroGivingZero) {
  Core->Type = 1;
  Core->VibSensorA.Temperature = 1;
  Core->VibSensorA.TemperatureGain = 2;
  Core->VibSensorB.Temperature = 0;
  Fake->TemperatureA = 50;
  Fake->TemperatureB = 60;
  RunBalancing(1);
  EXPECT_DOUBLE_EQ(Core->TemperatureA, 25);
  EXPECT_DOUBLE_EQ(Core->TemperatureB, 0);
  EXPECT_TRUE(Fake->TemperatureBRequested);
  EXPECT_TRUE(Fake->DataBRequested);

  Workspace.Ends = 0;
  Workspace.Refreshes = 0;
  Core->Type = 0;
  Core->VibSensorA.TemperatureGain = 0;
  RunBalancing(1);
  EXPECT_DOUBLE_EQ(Core->TemperatureA, 0);
  EXPECT_FALSE(Fake->TemperatureBRequested);
  EXPECT_FALSE(Fake->DataBRequested);
}

TEST_F(CaptureThreads, DemoBalancingPacesLikeADeviceAndMakesNoDeviceCall) {
  Core->DeviceReady = 0;
  Core->BuffLength = 8192;
  RunBalancing(2);
  EXPECT_EQ(Clock.Sleeps(), (std::vector<uint32_t>{50, 200, 100, 50, 200, 100}));
  EXPECT_TRUE(CallsOf({"_LaserEnable", "_StartCapture", "_ErrorLED"}).empty());
  EXPECT_EQ(Workspace.States, (std::vector<uint8_t>{1, 2, 4, 1, 2, 4}));
  EXPECT_EQ(Core->TemperatureA, 25.0);
  EXPECT_EQ(Core->Captures[0].End, 8040);
}

TEST_F(CaptureThreads, AveragingCountsReadingsUpToAvgSizeThenShifts) {
  Core->DeviceReady = 0;
  Core->BuffLength = 8192;
  Core->AvgSize = 5;
  std::vector<int32_t> counts;
  Workspace.OnRefresh = [&] {
    counts.push_back(Core->Readings);
    if (Workspace.Refreshes == 7) RequestCaptureStop();
  };
  ASSERT_TRUE(StartBalancingCapture(*Core));
  ServeUntil([&] { return Workspace.Ends > 0; });
  EXPECT_EQ(counts, (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 5}));
  EXPECT_EQ(Core->Readings, 5);
  for (int k = 0; k < 5; ++k) EXPECT_GT(Core->Results[0].Slots[k].AmplA, 270) << k;
  EXPECT_EQ(Core->Results[0].Slots[5].AmplA, 0.0);
}

TEST_F(CaptureThreads, FreeRunningCaptureForcesTheTriggerAfterItsWait) {
  Core->Type = 1;
  Fake->Statuses = {1, 3, 7};
  int views = 0;
  TimeGraph.Visible = true;
  ASSERT_TRUE(StartFreeRunningCapture(*Core));
  ServeUntil([&] {
    views = static_cast<int>(std::count(TimeGraph.Calls.begin(), TimeGraph.Calls.end(), "RefreshGraph"));
    if (views == 1) RequestCaptureStop();
    return Workspace.Ends > 0;
  });
  const std::vector<uint32_t> sleeps = Clock.Sleeps();
  ASSERT_GE(sleeps.size(), 2u);
  EXPECT_EQ(sleeps[0], 1000u);
  EXPECT_EQ(sleeps[1], 1u);
  const auto cycle = CallsOf({"_CPSet", "_StartCapture", "_ForceTrigger"});
  ASSERT_GE(cycle.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(cycle.begin(), cycle.begin() + 3),
            (std::vector<std::string>{"_CPSet", "_StartCapture", "_ForceTrigger"}));
  EXPECT_EQ(Fake->Mode, 1);
  ASSERT_GE(Core->LiveDataA.size(), static_cast<size_t>(Core->RamSize));
  EXPECT_EQ(Core->LiveDataA[0], Core->LiveDataA[1]);
  EXPECT_EQ(Core->LiveDataB[0], Core->LiveDataB[1]);
  EXPECT_EQ(Core->LiveDataB[1], 8);
  EXPECT_EQ(Workspace.Calls.back(), "AsyncMeasurementDone");
  EXPECT_EQ(Core->Measuring, 0);
  EXPECT_EQ(VibThread, nullptr);
}

TEST_F(CaptureThreads, StoppingTheFreeRunningCaptureDuringPollingIsNotEvaluated) {
  TVibThread* thread = nullptr;
  Fake->Statuses = {1, 3, 3, 3, 7};
  Fake->OnStatusRead = [&](int32_t reads) {
    if (reads == 3) thread->Terminate();
  };
  ASSERT_TRUE(StartFreeRunningCapture(*Core));
  thread = VibThread;
  ServeUntil([&] { return Workspace.Ends > 0; });
  EXPECT_EQ(std::count(Workspace.Calls.begin(), Workspace.Calls.end(), "UpdateOperationStatus"), 0);
  EXPECT_EQ(Core->RmsA, 0.0);
  EXPECT_EQ(CallsOf({"_GetDataA"}).size(), 0u);
  EXPECT_EQ(Workspace.ErrorAtEnd, 0);
}

// The live buffers are sized before the thread starts: the windows read
// them in its hand-overs, so it never allocates them.
TEST_F(CaptureThreads, LiveBuffersFollowTheDeviceMemorySize) {
  Core->LiveDataA.assign(16, 0);  // left by a short file
  Core->RamSize = 0x2000;
  Core->BuffLength = 0x2000;
  Fake->Statuses = {7};
  ASSERT_TRUE(StartFreeRunningCapture(*Core));
  const int32_t* buffer = Core->LiveDataA.data();
  const int32_t* incoming = Core->Incoming.DataA.data();
  EXPECT_GE(Core->LiveDataA.size(), 0x2000u);
  EXPECT_GE(Core->Incoming.DataA.size(), 0x2000u);
  ServeUntil([&] {
    if (std::count(Workspace.Calls.begin(), Workspace.Calls.end(), "UpdateParamCaptions") > 0) RequestCaptureStop();
    return Workspace.Ends > 0;
  });
  EXPECT_GE(Core->LiveDataA.size(), 0x2000u);
  // A read-out is handed over by swapping the two buffers the start sized.
  EXPECT_TRUE(Core->LiveDataA.data() == buffer || Core->LiveDataA.data() == incoming);
}

TEST_F(CaptureThreads, OnlyOneCaptureAtATimeAndStopAndWait) {
  Core->DeviceReady = 0;
  Core->BuffLength = 8192;
  Workspace.OnRefresh = [] {};
  ASSERT_TRUE(StartBalancingCapture(*Core));
  EXPECT_FALSE(StartBalancingCapture(*Core));
  EXPECT_FALSE(StartFreeRunningCapture(*Core));
  EXPECT_EQ(Core->Measuring, 1);
  StopCaptureAndWait();
  EXPECT_EQ(BalThread, nullptr);
  EXPECT_EQ(Core->Measuring, 0);
  EXPECT_EQ(Workspace.Ends, 1);
  StopCaptureAndWait();  // nothing runs: returns at once
}

// Whatever a balancing capture writes into exists before its thread runs,
// and what it no longer needs is gone: the thread never allocates a buffer
// the windows read.
TEST_F(CaptureThreads, BalancingBuffersAreReadyBeforeTheThreadRuns) {
  Core->Type = 1;
  Core->LiveDataA.assign(Core->RamSize, 1);
  Core->LiveDataB.assign(Core->RamSize, 1);
  // What the start prepares: the read-out's buffers. The run gets samples
  // only from a counted capture, so it has none until then.
  Core->PrepareRunBuffers();
  const CaptureRecord& run = Core->Captures[0];
  EXPECT_TRUE(run.DataA.empty());
  EXPECT_TRUE(run.DataB.empty());
  ASSERT_GE(Core->Incoming.DataA.size(), 1000u);
  ASSERT_GE(Core->Incoming.DataB.size(), 1000u);
  const int32_t* incoming = Core->Incoming.DataA.data();
  Workspace.OnRefresh = [] { RequestCaptureStop(); };
  ASSERT_TRUE(StartBalancingCapture(*Core));
  EXPECT_TRUE(Core->LiveDataA.empty());
  EXPECT_TRUE(Core->LiveDataB.empty());
  ServeUntil([&] { return Workspace.Ends > 0; });
  // The read-out is handed over by swapping in the buffer the start sized,
  // and the next read-out has a buffer again.
  EXPECT_EQ(run.DataA.data(), incoming);
  EXPECT_EQ(run.DataA[250], Fake->DataA[250]);
  EXPECT_GE(Core->Incoming.DataA.size(), 1000u);
  EXPECT_GE(Core->Incoming.DataB.size(), 1000u);
}
