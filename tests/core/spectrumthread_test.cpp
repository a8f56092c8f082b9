#include "pipelinefixture.h"
#include "scalloping.h"
#include "spectrumthread.h"

#include "events.h"
#include "fftplans.h"
#include "planninggate.h"
#include "signalwindows.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <mutex>
#include <numbers>
#include <string>
#include <thread>

namespace {

class Spectrum : public PipelineTest {
 protected:
  void SetUp() override {
    PipelineTest::SetUp();
    SpectrumView.Visible = true;
    Core->BuffLength = 1024;
  }
  void TearDown() override {
    Stop();
    PipelineTest::TearDown();
  }

  // Returns once the thread has its spectra, which it makes when it starts.
  void Start() {
    Thread = std::make_unique<TSpectrumThread>(*Core, true);
    SpectrumThread = Thread.get();
    Thread->SetPriority(rtl::tpLower);
    Thread->Resume();
    ServeUntil([&] { return SpectraSize() == static_cast<size_t>(Core->RamSize); });
  }
  size_t SpectraSize() {
    std::lock_guard<std::mutex> signals(Core->SignalLock);
    return std::min(Core->SpectrumA.size(), Core->SpectrumB.size());
  }
  void Stop() {
    SpectrumThread = nullptr;
    Thread.reset();
  }
  // Wakes the thread and serves its hand-over.
  void ComputeOnce() {
    const int plots = SpectrumView.Plots;
    Core->SpectrumEvent->SetEvent();
    ServeUntil([&] { return SpectrumView.Plots > plots; });
  }
  // Wakes the thread, with the signals held until it has begun, and serves
  // it until the computation has ended.
  void ComputeOnceToItsEnd() {
    {
      std::lock_guard<std::mutex> signals(Core->SignalLock);
      Core->SpectrumEvent->SetEvent();
      ServeUntil([&] { return Core->SpectrumBusy == 1; });
    }
    ServeUntil([&] { return Core->SpectrumBusy == 0; });
    rtl::CheckSynchronize(0);
  }
  void SineSignals(int32_t n, int32_t cycles, double amplitude) {
    Core->SignalA.resize(n);
    Core->SignalB.resize(n);
    for (int32_t i = 0; i < n; ++i) {
      Core->SignalA[i] = amplitude * std::sin(2 * std::numbers::pi * cycles * i / n);
      Core->SignalB[i] = 0.5 * Core->SignalA[i];
    }
  }

  // A cursor window over nearly all of 16384 values, whose transform runs
  // long enough for a test to stop it, and the thread started on it.
  void StartLongCursorWindow() {
    Core->SpectrumInWindow = 1;
    Core->BuffLength = 16384;
    SineSignals(16384, 40, 1.0);
    Core->SignalStart = 0;
    Core->SignalEnd = 16000;
    Start();
  }

  std::unique_ptr<TSpectrumThread> Thread;
};

}  // namespace

TEST_F(Spectrum, ConstructionAllocatesAndDestructionFreesTheSpectra) {
  Start();
  ASSERT_GT(Core->RamSize, 0);
  EXPECT_EQ(Core->SpectrumA.size(), static_cast<size_t>(Core->RamSize));
  EXPECT_EQ(Core->SpectrumB.size(), static_cast<size_t>(Core->RamSize));
  // Ending a thread that waits for the event: terminate request and event.
  Stop();
  EXPECT_TRUE(Core->SpectrumA.empty());
  EXPECT_TRUE(Core->SpectrumB.empty());
}

TEST_F(Spectrum, WholeBufferFftOfASineAndTheHandOver) {
  SineSignals(1024, 16, 2.0);
  Start();
  ComputeOnce();
  EXPECT_EQ(Core->SpectrumReady, 1);
  EXPECT_EQ(Core->SpectrumBusy, 0);
  EXPECT_NEAR(std::abs(Core->SpectrumA[16]), 1.0, 1e-12);
  EXPECT_NEAR(std::abs(Core->SpectrumA[1024 - 16]), 1.0, 1e-12);
  EXPECT_NEAR(std::abs(Core->SpectrumA[17]), 0.0, 1e-12);
  EXPECT_TRUE(SpectrumView.SolidA);
  EXPECT_EQ(SpectrumView.Calls, (std::vector<std::string>{"PlotSpectrum", "RefreshInfoPanel"}));
  EXPECT_TRUE(Workspace.Calls.empty());  // not a cursor-window spectrum
}

TEST_F(Spectrum, TwoPlanesWithoutSignalBComputeNothingButAreReady) {
  Core->Type = 1;
  SineSignals(1024, 16, 2.0);
  Core->SignalB.clear();
  Start();
  ComputeOnce();
  EXPECT_EQ(Core->SpectrumReady, 1);
  EXPECT_EQ(std::abs(Core->SpectrumA[16]), 0.0);
}

// A record keeps its own length, which a device that captures its whole
// memory makes any: one that is no power of two is transformed as well.
TEST_F(Spectrum, LengthThatIsNotAPowerOfTwoIsTransformed) {
  Core->BuffLength = 1000;
  SineSignals(1000, 16, 2.0);
  Start();
  ComputeOnce();
  EXPECT_EQ(Core->SpectrumReady, 1);
  EXPECT_NEAR(std::abs(Core->SpectrumA[16]), 1.0, 1e-12);
  EXPECT_NEAR(std::abs(Core->SpectrumA[1000 - 16]), 1.0, 1e-12);
  EXPECT_NEAR(std::abs(Core->SpectrumA[17]), 0.0, 1e-12);
  EXPECT_EQ(SpectrumView.Plots, 1);
}

TEST_F(Spectrum, BuffersShorterThanTheLengthAreNotRead) {
  SineSignals(512, 16, 2.0);  // BuffLength says 1024
  Start();
  ComputeOnce();
  EXPECT_EQ(std::abs(Core->SpectrumA[16]), 0.0);
}

TEST_F(Spectrum, CursorWindowDftOverTheConvertedRunWindow) {
  Core->Type = 1;
  Core->SpectrumInWindow = 1;
  SineSignals(1024, 0, 0);
  for (int32_t i = 0; i < 300; ++i) Core->SignalA[100 + i] = 4 * std::sin(2 * std::numbers::pi * 5 * i / 300);
  Core->SignalStart = 100;
  Core->SignalEnd = 400;
  Start();
  Core->SpectrumA.assign(Core->SpectrumA.size(), {9, 9});
  ComputeOnce();
  EXPECT_EQ(Core->SpectrumReady, 1);
  EXPECT_NEAR(std::abs(Core->SpectrumA[5]), 2.0, 1e-5);
  EXPECT_NEAR(std::abs(Core->SpectrumA[295]), 2.0, 1e-5);
  EXPECT_EQ(Core->SpectrumA[300], std::complex<double>(9, 9));  // only N bins
  EXPECT_EQ(Workspace.Calls, std::vector<std::string>{"ShowNoError"});
}

TEST_F(Spectrum, AsyncModeTakesTheFftEvenForTheCursorWindow) {
  Core->SpectrumInWindow = 1;
  Core->AsyncMode = 1;
  SineSignals(1024, 16, 2.0);
  Core->SignalStart = 0;
  Core->SignalEnd = 10;
  Start();
  ComputeOnce();
  EXPECT_NEAR(std::abs(Core->SpectrumA[16]), 1.0, 1e-12);
  EXPECT_NEAR(std::abs(Core->SpectrumA[1000]), 0.0, 1e-12);
}

TEST_F(Spectrum, EmptyCursorWindowIsNotReady) {
  Core->SpectrumInWindow = 1;
  SineSignals(1024, 16, 2.0);
  Core->SignalStart = Core->SignalEnd = 50;
  Start();
  ComputeOnceToItsEnd();
  EXPECT_EQ(Core->SpectrumReady, 0);
  EXPECT_EQ(SpectrumView.Plots, 0);
  EXPECT_TRUE(Workspace.Calls.empty());  // the "processing" line stays
}

// A writer stops the thread's wait for the plan of its cursor window (held
// in the planner) and is done before the thread takes the signals: the
// computation made no transform, takes no signals and hands nothing over.
TEST_F(Spectrum, AComputationWhoseWaitForItsPlanWasGivenUpHandsNothingOver) {
  constexpr int32_t Window = 12289;
  Core->SpectrumInWindow = 1;
  Core->BuffLength = 16384;
  SineSignals(16384, 40, 1.0);
  Core->SignalStart = 0;
  Core->SignalEnd = Window;
  AwaitMeasuredPlans();
  ForgetPlans();  // the planner idle: the thread waits for a plan of its own
  testsupport::TPlanningGate gate(Window, TFftPlacement::InPlace);
  Start();
  Core->SpectrumEvent->SetEvent();
  ASSERT_TRUE(ServeUntil([&] { return gate.Entered.load(); }));
  std::thread writer;
  {
    std::lock_guard<std::mutex> signals(Core->SignalLock);
    writer = std::thread([this] { const auto lock = Core->WaitForSignals(); });
    EXPECT_TRUE(ServeUntil([&] { return Core->SpectrumBusy == 0; }));
  }
  writer.join();
  EXPECT_FALSE(gate.Left);
  gate.Open();
  ASSERT_TRUE(ServeUntil([&] { return gate.Left.load(); }));
  AwaitMeasuredPlans();
  rtl::CheckSynchronize(0);
  EXPECT_EQ(SpectrumView.Plots, 0);
  EXPECT_EQ(Core->SpectrumReady, 0);
  std::lock_guard<std::mutex> signals(Core->SignalLock);
  EXPECT_FALSE(Core->SpectrumOriginA.Holds());
}

// The transform of a whole window takes milliseconds, too short to be
// caught under way; the tests below hold the signals while the thread has
// woken (SpectrumBusy) and waits for them, so the request always meets a
// computation that has begun.
TEST_F(Spectrum, AbortStopsTheCursorWindowDftWithoutHandOver) {
  StartLongCursorWindow();
  {
    std::lock_guard<std::mutex> signals(Core->SignalLock);
    Core->SpectrumEvent->SetEvent();
    ServeUntil([&] { return Core->SpectrumBusy == 1; });
    Thread->AbortCalculation();
    EXPECT_EQ(Core->SpectrumBusy, 0);
  }
  ServeUntil([&] { return Thread->AbortRequest == 0; });
  ServeUntil([&] { return Core->SpectrumProgress == 0; });
  // No bin of the stopped transform is written, whether the stop found it
  // waiting for its plan or computing.
  EXPECT_EQ(Core->SpectrumA[40], std::complex<double>());
  EXPECT_EQ(Core->SpectrumA[15999], std::complex<double>());
  EXPECT_EQ(SpectrumView.Plots, 0);
}

// The race of an abort with the thread's wake-up: the request lands just
// before the wake-up clears it, and a writer then waits for the signals.
// The computation, whichever takes the signals first, gives them up at its
// first step: the writer never finds a finished spectrum, that is, it never
// waits for a whole computation.
TEST_F(Spectrum, AWriterWhoseAbortWasClearedStillStopsTheComputation) {
  StartLongCursorWindow();
  std::atomic<bool> finishedSpectrumSeen{false};
  std::thread writer;
  {
    std::lock_guard<std::mutex> signals(Core->SignalLock);
    Thread->AbortCalculation();  // lands before the wake-up
    Core->SpectrumEvent->SetEvent();
    ServeUntil([&] { return Core->SpectrumBusy == 1; });
    ASSERT_EQ(Thread->AbortRequest, 0);  // cleared: the abort is lost
    writer = std::thread([&] {
      const auto lock = Core->WaitForSignals();
      finishedSpectrumSeen = Core->SpectrumA[40] != std::complex<double>();
    });
    ServeUntil([&] { return Core->SignalWaiters == 1; });
  }
  writer.join();
  EXPECT_FALSE(finishedSpectrumSeen);
  ServeUntil([&] { return Core->SpectrumBusy == 0 && Core->SpectrumProgress == 0; });
  // The next wake-up computes and hands over as usual.
  {
    const auto lock = Core->LockSignalsForWriting();
    Core->SpectrumInWindow = 0;
  }
  ComputeOnce();
  EXPECT_NEAR(std::abs(Core->SpectrumA[40]), 0.5, 1e-9);
}

TEST_F(Spectrum, AStaleAbortDoesNotCancelTheNextComputation) {
  SineSignals(1024, 16, 2.0);
  Start();
  Thread->AbortCalculation();  // while the thread sleeps
  ComputeOnce();
  EXPECT_NEAR(std::abs(Core->SpectrumA[16]), 1.0, 1e-12);
}

TEST_F(Spectrum, TerminateDuringTheDftEndsTheThread) {
  StartLongCursorWindow();
  {
    std::lock_guard<std::mutex> signals(Core->SignalLock);
    Core->SpectrumEvent->SetEvent();
    ServeUntil([&] { return Core->SpectrumBusy == 1; });
    Thread->Terminate();
  }
  Stop();  // terminate, event, wait
  EXPECT_EQ(SpectrumView.Plots, 0);
  EXPECT_TRUE(Core->SpectrumA.empty());
}

// The computation holds the signals until the clearing has asked it to
// stop; the clearing waits for them and frees them only then.
TEST_F(Spectrum, ClearingTheRunsAbortsAndWaitsForTheBuffers) {
  StartLongCursorWindow();
  std::atomic<bool> held{false};
  std::thread computation([&] {
    std::lock_guard<std::mutex> signals(Core->SignalLock);
    held = true;
    while (Thread->AbortRequest == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  while (!held) std::this_thread::yield();
  Core->SpectrumEvent->SetEvent();
  ServeUntil([&] { return Core->SpectrumBusy == 1; });
  Core->ClearMeasurements();  // aborts, waits for the signals, frees them
  computation.join();
  EXPECT_TRUE(Core->SignalA.empty());
  ServeUntil([&] { return Thread->AbortRequest == 0 && Core->SpectrumProgress == 0; });
  EXPECT_EQ(SpectrumView.Plots, 0);
}

TEST_F(Spectrum, WindowValueFollowsWindowType) {
  Core->WindowType = 5;
  EXPECT_NEAR(Core->CalcWindowValue(9, 4), 1.0, 1e-15);
  EXPECT_NEAR(Core->CalcWindowValue(9, 0), 0.0, 1e-15);
  Core->WindowType = 0;
  EXPECT_EQ(Core->CalcWindowValue(9, 0), 1.0);
}

// A sine of known amplitude on bin 40 and halfway between bins 40 and 41,
// through every window, by the FFT of the buffer and by the DFT over a
// cursor window: its line divided by the coherent gain recorded with the
// spectrum reads its peak amplitude (less at most the window's scalloping
// loss), the power of all its bins divided by the recorded power gain its
// RMS.
TEST_F(Spectrum, TheRecordedWindowGainsGiveASineItsAmplitudeAndRms) {
  constexpr double Amplitude = 3.0;
  Core->SignalStart = 0;
  Core->SignalEnd = 1000;
  Start();
  for (const bool cursorWindow : {false, true}) {
    Core->SpectrumInWindow = cursorWindow ? 1 : 0;
    const int32_t n = cursorWindow ? Core->SignalEnd : Core->BuffLength;
    for (uint8_t type = wtRectangular; type <= wtTriangle; ++type) {
      Core->WindowType = type;
      for (const double cycles : {40.0, 40.5}) {
        Core->SignalA.resize(static_cast<size_t>(Core->BuffLength));
        for (size_t i = 0; i < Core->SignalA.size(); ++i)
          Core->SignalA[i] = Amplitude * std::sin(2 * std::numbers::pi * cycles * double(i) / n);
        ComputeOnce();
        const TWindowGains gains = Core->SpectrumWindowGains;
        double line = 0, power = 0;
        for (int32_t k = 1; k < n / 2; ++k) {
          const double amplitude = 2 * std::abs(Core->SpectrumA[k]);
          if (k >= 35 && k <= 46) line = std::max(line, amplitude / gains.Coherent);
          power += 0.5 * amplitude * amplitude / gains.Power;
        }
        const double loss = cycles == 40.0 ? 0.0 : testsupport::ScallopingLoss(type, n);
        const std::string what = std::to_string(type) + (cursorWindow ? " DFT " : " FFT ") + std::to_string(cycles);
        EXPECT_LE(line, Amplitude * 1.01) << what;
        EXPECT_GE(line, Amplitude * (1 - loss) * 0.99) << what;
        EXPECT_NEAR(std::sqrt(power), Amplitude / std::sqrt(2.0), 0.01 * Amplitude) << what;
      }
    }
  }
}
