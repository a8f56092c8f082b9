// The spectrum window on the offscreen platform with its spectrum thread:
// showing and closing, FFT and DFT, the read-out and band RMS, the axis,
// navigation, the cursor-position dialog and the printed page.
#include "formfftgraph.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <complex>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "answerhook.h"
#include "bitmap.h"
#include "dialogs.h"
#include "edit.h"
#include "events.h"
#include "formatting.h"
#include "formcursorpos.h"
#include "formtimegraph.h"
#include "inputsim.h"
#include "planninggate.h"
#include "rendertest.h"
#include "sanitizerslowdown.h"
#include "scalloping.h"
#include "signalwindows.h"
#include "spectrumreadout.h"
#include "spectrumthread.h"
#include "textconv.h"
#include "timer.h"
#include "viewfixture.h"
#include "viewwindows.h"

namespace viewstest {
namespace {

class SpectrumWindow : public ViewWindows {
 protected:
  void SetUp() override {
    ViewWindows::SetUp();
    Core->ConvertSamples();
  }
  TfFFTGraph* Open() { return ShowFFTGraph(Workspace->Form, *Workspace); }
  // The first spectrum of the present data has arrived.
  bool Delivered(TfFFTGraph* w) {
    return ServeUntil([w] { return w->Plot->DataA && w->DisplayA.size() > 100 && w->DisplayA[100] > 9000; });
  }
  // The window opened on run 0 with a revolution window of `samples`
  // samples, its first (FFT) spectrum delivered; null when it never came.
  TfFFTGraph* OpenWithRunWindow(int32_t samples) {
    CaptureRecord& run = Core->Captures[0];
    run.Start = 96;
    run.End = 96 + samples;
    Core->ConvertSamples();
    TfFFTGraph* w = Open();
    return Delivered(w) ? w : nullptr;
  }
  // A free-running demo capture of `length` samples as run 0's record.
  CaptureRecord& DemoCaptureAsRun(int32_t length) {
    Core->RamSize = Core->BuffLength = length;
    Core->PrepareLiveBuffers();
    Core->SimulateCapture(1);
    CaptureRecord& run = Core->Captures[0];
    run.DataA = Core->LiveDataA;
    run.DataB = Core->LiveDataB;
    return run;
  }
  // Chooses the DFT over the run window in the spectrum-type popup.
  static void ChooseDft(TfFFTGraph* w) {
    gui::TAnswerScript script;
    script.Expect(gui::dkPopupMenu, 2);
    w->bSpectrumType->Click();
  }
  // A scratch picture of this process's own: the suite's tests run in
  // parallel processes, and one name for all lets one test read another's.
  static std::string ShotPath() { return PicturePath("fftgraph-shot-" + std::to_string(::getpid()) + ".png"); }
  // The window's picture and the plot's rectangle in it; an empty
  // rectangle when no picture was taken.
  static gui::TRect Screenshot(TfFFTGraph* w, gui::TBitmap& shot) {
    const std::string path = ShotPath();
    if (!w->SaveScreenshot(path) || !shot.LoadFromFile(path)) return {};
    std::remove(path.c_str());
    const gui::TPoint box = w->pbFFT->ClientToScreen({0, 0});
    const gui::TPoint form = w->ClientToScreen({0, 0});
    const gui::TPoint origin{box.x - form.x, box.y - form.y};
    return gui::Rect(origin.x + w->Plot->MarginLeft, origin.y + w->Plot->MarginTop,
                     origin.x + w->pbFFT->Width() - w->Plot->MarginRight,
                     origin.y + w->pbFFT->Height() - w->Plot->MarginBottom);
  }
  // Pixels of channel A's colour inside the plot as the window shows it.
  int TracePixelsA(TfFFTGraph* w) {
    gui::TBitmap shot;
    const gui::TRect plot = Screenshot(w, shot);
    return CountColour(shot, plot, Core->WorkColors[wcWorkChA]);
  }
  // The window's picture, row by row.
  static std::vector<gui::TColor> WindowPixels(TfFFTGraph* w) {
    gui::TBitmap shot;
    std::vector<gui::TColor> pixels;
    if (!w->SaveScreenshot(ShotPath()) || !shot.LoadFromFile(ShotPath())) return pixels;
    std::remove(ShotPath().c_str());
    for (int y = 0; y < shot.Height(); ++y)
      for (int x = 0; x < shot.Width(); ++x) pixels.push_back(shot.Pixel(x, y));
    return pixels;
  }
};

TEST_F(SpectrumWindow, ShowingStartsTheThreadAndDrawsTheSpectrum) {
  TfFFTGraph* w = Open();
  ASSERT_NE(SpectrumThread, nullptr);
  ASSERT_TRUE(Delivered(w));
  EXPECT_EQ(w->Plot->TotalBins, 2048);
  EXPECT_EQ(w->Plot->CursorT, 10);
  EXPECT_EQ(w->Plot->RefSpan, FullScale);
  EXPECT_EQ(w->Plot->RangeA, 2500);
  EXPECT_EQ(w->Plot->UnitA, u"[mV]");
  EXPECT_NEAR(w->DisplayA[100], 10000, 5);
  EXPECT_NEAR(w->DisplayB[50], 5000, 5);
  EXPECT_EQ(w->bFreq[0]->CaptionW(), FormatFrequency(10 * 10000.0 / 4096, 1));
  EXPECT_TRUE(w->bFreq[0]->Flat());
  // Cursor X on the peak: 10000 counts of 2500 mV over 32768.
  w->Plot->CursorX = 100;
  w->RefreshInfoPanel();
  EXPECT_EQ(w->bValue[1]->CaptionW(), u"762,9 mV");
  EXPECT_NE(w->pePhase[1]->CaptionW(), u"?");
  EXPECT_EQ(w->bSpectrumType->CaptionW(), u"FFT");
  EXPECT_EQ(w->bWindowType->CaptionW(), u"Rectangular");
  ASSERT_TRUE(w->SaveScreenshot(PicturePath("fftgraph.png")));
}

// A device that captures its whole memory gives records whose length is no
// power of two: the FFT of such a record (odd, so that no bin is its own
// mirror) arrives as any other, its sines on their bins, each bin above
// half the length the mirror of the one below.
TEST_F(SpectrumWindow, AnFftOfARecordWhoseLengthIsNoPowerOfTwoArrives) {
  constexpr int32_t n = 4099;
  CaptureRecord& run = Core->Captures[0];
  run.DataA = Sine(n, 100, 10000);
  run.DataB = Sine(n, 50, 5000);
  run.End = n;
  run.Conditions = Core->DeviceConditions();
  run.Conditions.Length = n;
  Core->ConvertSamples();
  TfFFTGraph* w = Open();
  ASSERT_TRUE(Delivered(w));
  EXPECT_EQ(w->Plot->TotalBins, n / 2);
  EXPECT_NEAR(w->DisplayA[100], 10000, 5);
  EXPECT_NEAR(w->DisplayB[50], 5000, 5);
  w->Plot->CursorX = 100;
  w->RefreshInfoPanel();
  EXPECT_EQ(w->bValue[1]->CaptionW(), u"762,9 mV");
  std::lock_guard<std::mutex> lock(Core->SignalLock);
  ASSERT_GE(Core->SpectrumA.size(), static_cast<size_t>(n));
  for (const int32_t k : {1, 100, n / 2}) {
    EXPECT_EQ(Core->SpectrumA[static_cast<size_t>(n - k)], std::conj(Core->SpectrumA[static_cast<size_t>(k)])) << k;
    EXPECT_EQ(Core->SpectrumB[static_cast<size_t>(n - k)], std::conj(Core->SpectrumB[static_cast<size_t>(k)])) << k;
  }
}

TEST_F(SpectrumWindow, ClosingStopsTheThreadAndFreesTheArrays) {
  TfFFTGraph* w = Open();
  ASSERT_TRUE(Delivered(w));
  w->Close();
  EXPECT_EQ(SpectrumThread, nullptr);
  // The thread, let go, frees the core's spectra as it ends.
  EXPECT_TRUE(ServeUntil([this] {
    std::lock_guard<std::mutex> signals(Core->SignalLock);
    return Core->SpectrumA.empty() && Core->SpectrumB.empty();
  }));
  EXPECT_TRUE(w->DisplayA.empty());
  EXPECT_FALSE(w->tProgress->Enabled());
  // Shown again: a new thread computes the present data at once.
  w = Open();
  ASSERT_NE(SpectrumThread, nullptr);
  EXPECT_TRUE(Delivered(w));
}

// The set-up dialog runs the show step again: no second thread, no new
// arrays; on a hidden window no thread at all.
TEST_F(SpectrumWindow, ShowStepAgainKeepsOneThread) {
  TfFFTGraph* w = Open();
  ASSERT_TRUE(Delivered(w));
  TSpectrumThread* thread = SpectrumThread;
  const double* display = w->DisplayA.data();
  w->FormShow();
  EXPECT_EQ(SpectrumThread, thread);
  EXPECT_EQ(w->DisplayA.data(), display);
  w->Close();
  w->FormShow();
  EXPECT_EQ(SpectrumThread, nullptr);
  EXPECT_TRUE(w->DisplayA.empty());
}

TEST_F(SpectrumWindow, DftOverTheRunsWindow) {
  TfFFTGraph* w = OpenWithRunWindow(1000);
  ASSERT_NE(w, nullptr);
  ChooseDft(w);
  EXPECT_EQ(Core->SpectrumInWindow, 1);
  EXPECT_TRUE(Workspace->Has("ShowErrorText"));
  EXPECT_EQ(w->leError->CaptionW(), w->ProcessingText);
  EXPECT_EQ(w->bSpectrumType->CaptionW(), u"DFT");
  ASSERT_TRUE(ServeUntil([w] { return w->Plot->TotalBins == 500 && w->SolidA; }));
  EXPECT_EQ(w->Plot->CursorT, Core->Captures[0].T);
  EXPECT_EQ(w->Plot->ViewWidth, 500);
  EXPECT_EQ(w->Plot->SolidA, 1);
}

// The spectrum thread plans the transform of a length it has not used yet
// without the signal lock: while that plan is held in the planner, the
// window-function choice takes the lock and returns. Then the DFT arrives
// with the chosen window.
TEST_F(SpectrumWindow, ACommandDoesNotWaitWhileATransformIsPlanned) {
  TfFFTGraph* w = OpenWithRunWindow(3001);
  ASSERT_NE(w, nullptr);
  ForgetPlans();  // no plan of 3001 kept from an earlier test in this process
  testsupport::TPlanningGate gate(3001, TFftPlacement::InPlace);
  ChooseDft(w);
  ASSERT_TRUE(ServeUntil([&gate] { return gate.Entered.load(); }));
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, 6);
  w->bWindowType->Click();
  gate.Open();
  ASSERT_TRUE(ServeUntil([&gate] { return gate.Left.load(); }));
  EXPECT_TRUE(gate.OpenedInTime);
  EXPECT_EQ(Core->WindowType, 5);
  EXPECT_TRUE(ServeUntil([this, w] { return w->Plot->TotalBins == 3001 / 2 && w->SolidA && !Core->SpectrumBusy; }));
}

// While the planner holds the estimate of the run window's length, which
// cannot be interrupted, the spectrum-type choice that asked for it and the
// close that follow return with the plan still held: the spectrum thread,
// told to stop, gives up its wait for the plan, and the close does not wait
// for the thread at all.
TEST_F(SpectrumWindow, ChoiceAndCloseReturnWhileTheTransformIsPlanned) {
  TfFFTGraph* w = OpenWithRunWindow(3001);
  ASSERT_NE(w, nullptr);
  // The planner idle, and no plan of 3001 kept from an earlier test in this
  // process: the thread waits for its own plan.
  ForgetPlans();
  testsupport::TPlanningGate gate(3001, TFftPlacement::InPlace);
  ChooseDft(w);
  EXPECT_FALSE(gate.Left);
  ASSERT_TRUE(ServeUntil([&gate] { return gate.Entered.load(); }));
  EXPECT_TRUE(Core->SpectrumBusy);
  w->Close();
  EXPECT_FALSE(gate.Left);
  EXPECT_EQ(SpectrumThread, nullptr);
  gate.Open();
  ASSERT_TRUE(ServeUntil([&gate] { return gate.Left.load(); }));
  EXPECT_TRUE(gate.OpenedInTime);
}

// While the planner measures the buffer's transform (held), the DFT over the
// run window, a length of its own, arrives, the measurement still under way.
TEST_F(SpectrumWindow, ASpectrumOfAnotherLengthArrivesWhileALengthIsMeasured) {
  ForgetPlans();  // the buffer's transform is measured anew
  testsupport::TPlanningGate gate(Core->BuffLength, TFftPlacement::OutOfPlace, true);
  TfFFTGraph* w = OpenWithRunWindow(3001);
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(ServeUntil([&gate] { return gate.Entered.load(); }));
  ChooseDft(w);
  EXPECT_TRUE(ServeUntil([this, w] { return w->Plot->TotalBins == 3001 / 2 && w->SolidA && !Core->SpectrumBusy; }));
  EXPECT_FALSE(gate.Left);
  {
    std::lock_guard<std::mutex> signals(Core->SignalLock);
    EXPECT_EQ(Core->SpectrumOriginA.Record, 0);
    EXPECT_EQ(Core->SpectrumOriginA.Length, 3001);
  }
  gate.Open();
  ASSERT_TRUE(ServeUntil([&gate] { return gate.Left.load(); }));
  EXPECT_TRUE(gate.OpenedInTime);
}

// A computation of a buffer of 2^20 samples that cannot go on (its
// signals held, as a thread starved by the machine's load would be): the
// close returns while it is held, since it never waits for the spectrum
// thread. Shown again meanwhile, the window's new thread waits for the old
// one on its own side; once the signals are let go, the old thread stops
// without a hand-over and the new one delivers the spectrum.
TEST_F(SpectrumWindow, CloseReturnsWhileAComputationOfTwoToTheTwentySamplesIsHeld) {
  constexpr int32_t Length = 1 << 20;
  DemoCaptureAsRun(Length);
  Core->ConvertSamples();
  AwaitMeasuredPlans();  // the planner idle: a plan of the length is made and kept
  TfFFTGraph* w = Open();
  const auto delivered = [&w] { return w->Plot->TotalBins == Length / 2 && w->Plot->DataA && w->SolidA; };
  ASSERT_TRUE(ServeUntil(delivered));
  std::atomic<bool> held{false}, release{false}, releasedByLimit{false};
  std::thread writer([this, &held, &release, &releasedByLimit] {
    const std::lock_guard<std::mutex> signals(Core->SignalLock);
    held = true;
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10 * testsupport::kSanitizerSlowdown);
    while (!release && std::chrono::steady_clock::now() < limit)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    releasedByLimit = !release;
  });
  while (!held) std::this_thread::yield();
  TSpectrumThread* first = SpectrumThread;
  Core->SpectrumEvent->SetEvent();  // as after a capture
  ASSERT_TRUE(ServeUntil([this] { return Core->SpectrumBusy.load() != 0; }));
  w->Close();
  EXPECT_EQ(SpectrumThread, nullptr);
  EXPECT_FALSE(releasedByLimit);
  w = Open();
  EXPECT_NE(SpectrumThread, nullptr);
  EXPECT_FALSE(releasedByLimit);
  release = true;
  writer.join();
  EXPECT_FALSE(releasedByLimit);
  EXPECT_TRUE(ServeUntil(delivered));
  EXPECT_NE(SpectrumThread, first);
}

// The samples of a free-running demo capture of 2^20 samples as the record
// of a run whose window holds 2^19 of them: the DFT over that window arrives
// within the fixture's few seconds, under the sanitizers too, with the bins
// of the direct sums.
TEST_F(SpectrumWindow, DftOverAWindowOfTwoToTheNineteenSamplesOfADemoCapture) {
  constexpr int32_t Length = 1 << 20, Window = 1 << 19, Start = 4321;
  CaptureRecord& run = DemoCaptureAsRun(Length);
  run.Start = Start;
  run.End = Start + Window;
  run.T = 2608;  // revolutions of 49.75 Hz in the window at 10 kHz
  Core->ConvertSamples();
  TfFFTGraph* w = Open();
  ASSERT_TRUE(ServeUntil([w] { return w->Plot->TotalBins == Length / 2 && w->SolidA; }));
  ChooseDft(w);
  ASSERT_EQ(Core->SpectrumInWindow, 1);
  ASSERT_TRUE(ServeUntil([w] { return w->Plot->TotalBins == Window / 2 && w->SolidA; }));
  EXPECT_EQ(w->Plot->CursorT, run.T);
  for (const auto& [signal, spectrum] : {std::pair{&Core->SignalA, &Core->SpectrumA}, {&Core->SignalB, &Core->SpectrumB}}) {
    double largest = 0;
    for (int32_t k = 0; k < Window / 2; ++k) largest = std::max(largest, std::abs((*spectrum)[k]));
    for (const int32_t k : {0, 1, 2607, 2608, 2609, 40000, Window / 2, Window - 2608}) {
      std::complex<double> sum;
      for (int32_t m = 0; m < Window; ++m)
        sum += (*signal)[Start + m] * std::polar(1.0, -2 * M_PI * double(int64_t(k) * m % Window) / Window);
      EXPECT_LE(std::abs((*spectrum)[k] - sum / double(Window)), 1e-10 * largest) << k;
    }
    EXPECT_GT(std::abs((*spectrum)[run.T]), 0.1 * largest);
  }
}

TEST_F(SpectrumWindow, WindowFunction) {
  TfFFTGraph* w = Open();
  ASSERT_TRUE(Delivered(w));
  std::vector<gui::TMenuItemInfo> items;
  gui::TAnswerScript script;
  ExpectMenu(script, 6, items);
  w->bWindowType->Click();
  ASSERT_EQ(items.size(), 8u);
  EXPECT_EQ(items[3].Text, u"Gaussian (3.0)");
  EXPECT_EQ(Core->WindowType, 5);
  EXPECT_EQ(w->bWindowType->CaptionW(), u"Hanning");
}

namespace {

// The number of a read-out caption such as "A: 762,9 mV" or "762,9 mV".
double CaptionNumber(const std::u16string& caption) {
  std::string text = rtl::Utf16ToUtf8(caption);
  if (const size_t colon = text.find(": "); colon != std::string::npos) text.erase(0, colon + 2);
  std::replace(text.begin(), text.end(), ',', '.');
  return std::stod(text);
}

}  // namespace

// A sine of 10000 counts on bin 100 (channel A) and one halfway between
// bins 150 and 151 (channel B) through every window function: the plot, the
// read-out and the band RMS give each sine's peak amplitude and RMS, less
// at most the window's scalloping loss between bins, and the printed page
// shows the read-out.
TEST_F(SpectrumWindow, EveryWindowReadsTheSinesAmplitudeAndRms) {
  Core->Captures[0].DataB = Sine(4096, 150.5, 10000);
  Core->ConvertSamples();
  TfFFTGraph* w = Open();
  ASSERT_TRUE(Delivered(w));
  w->MeasCh = {'A', 'A', 'B'};  // rows: T on A, X on A, Y on B
  w->Plot->CursorX = 100;
  w->Plot->CursorY = 150;
  w->RmsType = 5;  // 0 Hz to half the sampling rate
  const double mvPerCount = 2500.0 / FullScale;
  const double peak = 10000 * mvPerCount, rms = peak / std::sqrt(2.0);
  for (uint8_t type = wtRectangular; type <= wtTriangle; ++type) {
    std::fill(w->DisplayA.begin(), w->DisplayA.end(), 0.0);
    std::fill(w->DisplayB.begin(), w->DisplayB.end(), 0.0);
    {
      gui::TAnswerScript script;
      script.Expect(gui::dkPopupMenu, type + 1);
      w->bWindowType->Click();
    }
    ASSERT_EQ(Core->WindowType, type);
    ASSERT_TRUE(ServeUntil([w] { return w->DisplayA[100] > 0 && w->DisplayB[150] > 0; })) << int(type);
    w->RefreshInfoPanel();
    const double loss = testsupport::ScallopingLoss(type, 4096);
    const std::string name = rtl::Utf16ToUtf8(w->bWindowType->CaptionW());
    EXPECT_NEAR(w->DisplayA[100], 10000, 100) << name;
    EXPECT_NEAR(CaptionNumber(w->bValue[1]->CaptionW()), peak, 0.01 * peak) << name;
    const double halfway = std::max(w->DisplayB[150], w->DisplayB[151]);
    EXPECT_GE(halfway, 10000 * (1 - loss) * 0.99) << name;
    EXPECT_LE(halfway, 10000 * 1.01) << name;
    const double readB = CaptionNumber(w->bValue[2]->CaptionW());
    EXPECT_GE(readB, peak * (1 - loss) * 0.99) << name;
    EXPECT_LE(readB, peak * 1.01) << name;
    EXPECT_NEAR(CaptionNumber(w->bRmsValueA->CaptionW()), rms, 0.01 * rms) << name;
    EXPECT_NEAR(CaptionNumber(w->bRmsValueB->CaptionW()), rms, 0.01 * rms) << name;
    if (type != wtFlatTop) continue;
    const std::string pdf = TempFile("flattop.pdf");
    gui::TAnswerScript script;
    script.Expect(gui::dkPopupMenu, 1).Expect(gui::dkPrintDialog, 1, pdf);
    w->bPrint->Click();
    const std::string text = PdfText(pdf);
    EXPECT_NE(text.find("FFT / Flat Top"), std::string::npos) << text;
    for (size_t row : {1u, 2u})
      EXPECT_NE(text.find(rtl::Utf16ToUtf8(w->bValue[row]->CaptionW())), std::string::npos) << text;
  }
}

// A sine of 1000 counts on channel A and of 500 on channel B, on offsets of
// once and twice their amplitude (B's below zero), through every window, by
// the FFT of the buffer and by the DFT over the run's window (whole periods
// in both): the band from 0 Hz to half the sampling rate reads each
// record's AC RMS within 0.5 %, bin 0 divided by the coherent gain its
// mean, and the cursors at 0 Hz read that mean in mV with its sign.
// Windowed with its mean, the offset would spread into the bins next to 0
// and the band would count it.
TEST_F(SpectrumWindow, BandRmsOfASineWithAnOffsetIsItsAcRmsThroughEveryWindow) {
  CaptureRecord& run = Core->Captures[0];
  run.Start = 96;  // 4000 samples: 125 periods of 32, the buffer 128
  run.End = 4096;
  const auto record = [&](double amplitude, int32_t offset) {
    std::vector<int32_t> samples = Sine(4096, 128, amplitude);
    for (int32_t& x : samples) x += offset;
    return samples;
  };
  // What the transform sees of a record: its mean and AC RMS in mV.
  const auto moments = [](const std::vector<int32_t>& samples, int32_t start, int32_t end) {
    double sum = 0, squares = 0;
    for (int32_t i = start; i < end; ++i) sum += samples[static_cast<size_t>(i)];
    const double mean = sum / (end - start);
    for (int32_t i = start; i < end; ++i) squares += std::pow(samples[static_cast<size_t>(i)] - mean, 2);
    return std::pair{mean, std::sqrt(squares / (end - start)) * 2500.0 / FullScale};
  };
  run.DataA = record(1000, 1000);
  run.DataB = record(500, -500);
  Core->ConvertSamples();
  TfFFTGraph* w = Open();
  int32_t line = 128;
  // Each change wakes the thread once; its hand-over fills the lines again.
  const auto recompute = [&](const std::function<void()>& change) {
    std::fill(w->DisplayA.begin(), w->DisplayA.end(), 0.0);
    std::fill(w->DisplayB.begin(), w->DisplayB.end(), 0.0);
    change();
    return ServeUntil([&] { return w->Plot->DataA && w->DisplayA[line] > 0 && w->DisplayB[line] > 0; });
  };
  ASSERT_TRUE(ServeUntil([&] { return w->Plot->DataA && w->DisplayA[line] > 0 && w->DisplayB[line] > 0; }));
  w->RmsType = 5;
  w->MeasCh = {'A', 'A', 'B'};  // rows: T on A, X on A, Y on B
  w->Plot->CursorX = w->Plot->CursorY = 0;
  for (const bool dft : {false, true}) {
    if (dft) {
      line = 125;
      ASSERT_TRUE(recompute([w] { ChooseDft(w); }));
    }
    const int32_t start = dft ? run.Start : 0;
    for (const int32_t offset : {1000, 2000}) {
      ASSERT_TRUE(recompute([&] {
        run.DataA = record(1000, offset);
        run.DataB = record(500, -offset);
        Core->ConvertSamples();
        Core->SpectrumEvent->SetEvent();
      }));
      for (uint8_t type = wtRectangular; type <= wtTriangle; ++type) {
        ASSERT_TRUE(recompute([w, type] {
          gui::TAnswerScript script;
          script.Expect(gui::dkPopupMenu, type + 1);
          w->bWindowType->Click();
        })) << int(type);
        ASSERT_EQ(Core->WindowType, type);
        w->RefreshInfoPanel();
        std::lock_guard<std::mutex> lock(Core->SignalLock);
        for (const uint8_t channel : {0, 1}) {
          const auto [mean, acRms] = moments(channel == 0 ? run.DataA : run.DataB, start, run.End);
          const double meanMv = mean * 2500.0 / FullScale;
          const std::u16string caption = w->bValue[channel == 0 ? 1 : 2]->CaptionW();
          EXPECT_NEAR(CaptionNumber(caption), meanMv, 0.005 * std::abs(meanMv)) << rtl::Utf16ToUtf8(caption);
          const std::complex<double> dc = (channel == 0 ? Core->SpectrumA : Core->SpectrumB)[0];
          const std::string what = (dft ? "DFT " : "FFT ") + std::to_string(offset) + " window " +
                                   std::to_string(type) + " channel " + std::to_string(channel);
          const std::optional<double> rms = w->BandRms(channel);
          ASSERT_TRUE(rms) << what;
          EXPECT_NEAR(*rms, acRms, 0.005 * acRms) << what;
          EXPECT_NEAR(dc.real() / Core->SpectrumWindowGains.Coherent, mean, 1e-9 * std::abs(mean)) << what;
          EXPECT_EQ(dc.imag(), 0) << what;
        }
      }
    }
  }
}

TEST_F(SpectrumWindow, BandPopupFollowsTheSamplingRate) {
  TfFFTGraph* w = Open();
  {
    std::vector<gui::TMenuItemInfo> items;
    gui::TAnswerScript script;
    ExpectMenu(script, 6, items);
    w->bRmsType->Click();
    ASSERT_EQ(items.size(), 6u);
    for (int i : {0, 1, 2, 3, 5}) EXPECT_TRUE(items[static_cast<size_t>(i)].Choosable()) << i;
    EXPECT_FALSE(items[4].Choosable());
    // A band it can't give looks so.
    EXPECT_TRUE(items[4].Flags & gui::MF_GRAYED);
    EXPECT_TRUE(items[0].Flags & gui::MF_CHECKED);
  }
  EXPECT_EQ(w->RmsType, 5);
  EXPECT_EQ(w->bRmsType->CaptionW(), u"RMS: 0 Hz - " + FormatFrequency(5000, 1));
  Core->SamplingRate = 7;  // 1 kHz
  {
    std::vector<gui::TMenuItemInfo> items;
    gui::TAnswerScript script;
    ExpectMenu(script, 2, items);
    w->bRmsType->Click();
    for (int i : {1, 2, 3, 4}) EXPECT_FALSE(items[static_cast<size_t>(i)].Choosable()) << i;
  }
  EXPECT_EQ(w->RmsType, 5);
}

TEST_F(SpectrumWindow, BandRmsOfEqualCursorsIsZero) {
  TfFFTGraph* w = Open();
  ASSERT_TRUE(Delivered(w));
  w->Plot->CursorX = w->Plot->CursorY = 40;
  w->RefreshInfoPanel();
  EXPECT_EQ(w->bRmsValueA->CaptionW(), u"A: 0 mV");
  // Cursors around channel A's line: its RMS, 10000 counts peak.
  w->Plot->CursorY = 200;
  w->RefreshInfoPanel();
  EXPECT_EQ(w->bRmsValueA->CaptionW(), u"A: " + FormatNumber(10000 * 2500.0 / FullScale / std::sqrt(2.0)) + u" mV");
}

TEST_F(SpectrumWindow, DecibelAxisOnlyForVoltage) {
  TfFFTGraph* w = Open();
  ASSERT_TRUE(Delivered(w));
  w->Plot->CursorX = 100;
  w->bLogLin->Click();
  EXPECT_EQ(w->LinearScale, 0);
  EXPECT_EQ(w->Plot->LogScale, 1);
  EXPECT_EQ(w->Plot->UnitA, u"[dB]");
  EXPECT_EQ(w->sbScrollY->Max(), 100);
  EXPECT_EQ(w->bValue[1]->CaptionW(), FormatLevel(-20 * std::log10(2 * std::abs(Core->SpectrumA[100]) / FullScale)));
  Core->AmplDisplayMode = admAcceleration;
  w->UpdateButtonStates();
  EXPECT_FALSE(w->bLogLin->Enabled());
  w->PlotSpectrum(true);
  EXPECT_EQ(w->LinearScale, 1);
  EXPECT_EQ(w->Plot->UnitA, u"[m/s\u00B2]");
}

// Zoom all keeps the amplitude span of the rescale, also with one channel
// whose second sensor is not assigned.
TEST_F(SpectrumWindow, ZoomAllWithOneChannel) {
  Core->Type = 0;
  Core->VibSensorB.Sensitivity = 0;
  Core->AmplDisplayMode = admAcceleration;
  TfFFTGraph* w = Open();
  const int32_t span = w->Plot->SpanY;
  EXPECT_GT(span, 0);
  w->bZoomYIn->Click();
  w->bZoomAll->Click();
  EXPECT_EQ(w->Plot->SpanY, span);
  EXPECT_FALSE(w->bDisplayChannels->Enabled());
  EXPECT_EQ(w->Plot->ShowB, 0);
  EXPECT_EQ(w->bRmsValueB->CaptionW(), u"-");
}

TEST_F(SpectrumWindow, NavigationAndTheScrollBars) {
  TfFFTGraph* w = Open();
  w->bZoomXIn->Click();
  EXPECT_EQ(w->Plot->ViewStart, 512);
  EXPECT_EQ(w->Plot->ViewWidth, 1024);
  EXPECT_TRUE(w->sbScrollX->Enabled());
  EXPECT_EQ(w->sbScrollX->Max(), 2048 - 1024);
  // A press counts from the view's start.
  const int x = w->Plot->MarginLeft + 100;
  gui::SimMouseDown(*w->pbFFT, gui::mbLeft, x, 100);
  gui::SimMouseUp(*w->pbFFT, gui::mbLeft, x, 100);
  EXPECT_EQ(w->Plot->CursorX, Round(100 / w->Plot->PxPerBin) + 512);
  EXPECT_EQ(w->Plot->ShowCursorX, 1);
  // Go to cursor X keeps the width and centres it.
  w->Plot->CursorX = 1500;
  w->bGotoX->Click();
  EXPECT_EQ(w->Plot->ViewStart, 1500 - 512);
  w->bZoomPrev->Click();
  EXPECT_EQ(w->Plot->ViewStart, 0);
  EXPECT_EQ(w->Plot->ViewWidth, 2048);
  EXPECT_FALSE(w->sbScrollX->Enabled());
}

// Zoomed in twice on the 2048 bins of the FFT, then a DFT of 500 bins with
// a line at bin 300: the view taken back from the history (1024 bins from
// bin 512) comes back fitted into the 500 bins, with the line, and the
// scroll bar of a whole spectrum.
TEST_F(SpectrumWindow, PreviousViewOfALongerTransformIsFittedIntoTheBinsShown) {
  CaptureRecord& run = Core->Captures[0];
  run.DataA = Sine(4096, 4096 * 0.3, 10000);
  run.Start = 96;
  run.End = 96 + 1000;
  Core->ConvertSamples();
  TfFFTGraph* w = Open();
  ASSERT_TRUE(ServeUntil([w] { return w->Plot->DataA != nullptr; }));
  w->bZoomXIn->Click();
  w->bZoomXIn->Click();
  ASSERT_EQ(w->Plot->ViewWidth, 512);
  const int32_t span = w->Plot->SpanY;
  ChooseDft(w);
  ASSERT_TRUE(ServeUntil([w] { return w->Plot->TotalBins == 500 && w->SolidA; }));
  w->bZoomPrev->Click();
  EXPECT_EQ(w->Plot->View(), (TPlotView{0, 500, 0, span}));
  EXPECT_FALSE(w->sbScrollX->Enabled());
  EXPECT_GT(TracePixelsA(w), 100);
}

TEST_F(SpectrumWindow, ControlTZoomsAroundTInAsynchronousMode) {
  Core->AsyncMode = 1;
  Core->LiveDataA = Sine(16384, 100, 10000);
  TfFFTGraph* w = Open();
  EXPECT_FALSE(w->bGotoTAndZoom->Enabled());
  EXPECT_EQ(w->Plot->CursorT, 0);
  gui::SimKey(w, 'T', 0, gui::ssCtrl);
  EXPECT_EQ(w->Plot->ViewStart, 0);
  EXPECT_EQ(w->Plot->ViewWidth, 204);
}

TEST_F(SpectrumWindow, CursorPositionDialog) {
  TfFFTGraph* w = Open();
  w->MeasCur[1] = 'X';
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, [](const gui::TDialogRequest& r) {
    auto* dialog = dynamic_cast<TfCursorPos*>(r.Form);
    EXPECT_NE(dialog, nullptr);
    if (dialog) {
      EXPECT_EQ(dialog->leCursor->CaptionW(), u"X");
      dialog->eCursorPos->SetText(u"244,14");
      dialog->bOk->Click();
    }
    return std::optional<gui::TDialogAnswer>();
  });
  w->bFreq[1]->Click();
  EXPECT_EQ(w->Plot->CursorX, 100);
  EXPECT_EQ(w->Plot->ShowCursorX, 1);
  // Escape changes nothing.
  script.ExpectAction(gui::dkModalForm, [](const gui::TDialogRequest& r) {
    dynamic_cast<TfCursorPos*>(r.Form)->bCancelClick(nullptr);
    return std::optional<gui::TDialogAnswer>();
  });
  w->bFreq[1]->Click();
  EXPECT_EQ(w->Plot->CursorX, 100);
  // Row T opens nothing.
  w->bFreq[0]->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_EQ(script.Unexpected().size(), 0u);
}

// A text that is no number keeps the dialog open with an error box.
TEST_F(SpectrumWindow, CursorPositionDialogRefusesAnEmptyField) {
  TfFFTGraph* w = Open();
  gui::TTimer cancel(nullptr);
  cancel.SetEnabled(false);
  gui::TAnswerScript script;
  TfCursorPos* shown = nullptr;
  script.ExpectAction(gui::dkModalForm, [&](const gui::TDialogRequest& r) {
    shown = dynamic_cast<TfCursorPos*>(r.Form);
    shown->eCursorPos->SetText(u"");
    cancel.SetInterval(50);
    cancel.OnTimer = [&](gui::TComponent*) {
      cancel.SetEnabled(false);
      shown->bCancelClick(nullptr);
    };
    cancel.SetEnabled(true);
    shown->bOk->Click();
    return std::optional<gui::TDialogAnswer>();
  });
  script.Expect(gui::dkMessageBox, gui::IDOK);
  EXPECT_EQ(w->AskCursorPosition('Y', 33), -1);
  ASSERT_GE(script.Requests().size(), 2u);
  EXPECT_EQ(script.Requests()[1].Text, u"'' is not a valid floating point value");
}

TEST_F(SpectrumWindow, CloseIsRefusedWhileItsCaptureRuns) {
  TfFFTGraph* w = Open();
  ChangeSignals([this] { Core->AsyncMode = 1; });
  Core->Measuring = 1;
  w->Close();
  EXPECT_TRUE(w->WindowVisible());
  EXPECT_TRUE(Workspace->Has("StartStopAsync"));
  EXPECT_NE(SpectrumThread, nullptr);
  Core->Measuring = 0;
  w->Close();
  EXPECT_FALSE(w->WindowVisible());
  EXPECT_EQ(SpectrumThread, nullptr);
}

TEST_F(SpectrumWindow, ProgressBlinksTheLampsDuringADft) {
  TfFFTGraph* w = Open();
  ASSERT_TRUE(Delivered(w));
  w->Close();
  ChangeSignals([this] { Core->SpectrumInWindow = 1; });
  Core->SpectrumBusy = 1;
  Core->SpectrumProgress = 42.7f;
  w->tProgressTimer(nullptr);
  EXPECT_EQ(w->pbProgress->Position(), 42);
  w->tProgressTimer(nullptr);
  EXPECT_TRUE(Workspace->Has("Lamp(yellow)"));
  EXPECT_TRUE(Workspace->Has("Lamp(off)"));
  Core->SpectrumBusy = 0;
  w->tProgressTimer(nullptr);
  EXPECT_EQ(w->pbProgress->Position(), 0);
}

TEST_F(SpectrumWindow, PrintsOneChannelPage) {
  TfFFTGraph* w = Open();
  ASSERT_TRUE(Delivered(w));
  const std::string pdf = PicturePath("fftgraph-page.pdf");
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, 1).Expect(gui::dkPrintDialog, 1, pdf);
  w->bPrint->Click();
  const std::string text = PdfText(pdf);
  EXPECT_NE(text.find("FFT / Rectangular"), std::string::npos) << text;
  EXPECT_NE(text.find("Channel A"), std::string::npos) << text;
  EXPECT_EQ(text.find("Plane"), std::string::npos) << text;
  EXPECT_NE(text.find("Spectrum:"), std::string::npos) << text;
  EXPECT_NE(text.find("Orvanteq, Kalvenor"), std::string::npos) << text;
  EXPECT_NE(PdfInfo(pdf).find("Kalvenor FFT Print (A)"), std::string::npos);
}

// A DFT over a run window of 1000 samples has 500 bins: cursor X, left at
// FFT bin 1500, reads and is drawn on bin 499, and neither the read-out nor
// the band RMS reads the bins the DFT did not write (its mirror above 499
// and the FFT's old bins from 1000 on). The cursor keeps its place: back on
// the FFT it reads bin 1500 again.
TEST_F(SpectrumWindow, CursorsReadInsideAShorterTransformAndKeepTheirPlace) {
  TfFFTGraph* w = OpenWithRunWindow(1000);
  ASSERT_NE(w, nullptr);
  w->Plot->CursorX = 1500;
  w->Plot->CursorY = 10;
  w->Plot->ShowCursorX = 1;
  w->RefreshInfoPanel();
  EXPECT_EQ(w->bFreq[1]->CaptionW(), FormatFrequency(1500 * 10000.0 / 4096, 1));
  ChooseDft(w);
  // At once, before the DFT arrives: the frequency lies below half the
  // sampling rate.
  EXPECT_EQ(w->bFreq[1]->CaptionW(), FormatFrequency(499 * 10000.0 / 1000, 1));
  ASSERT_TRUE(ServeUntil([w] { return w->Plot->TotalBins == 500 && w->SolidA; }));
  // Drawn and read as a cursor placed on the last bin: the same picture.
  const std::vector<gui::TColor> beyond = WindowPixels(w);
  const std::u16string readBeyond = w->bValue[1]->CaptionW();
  w->Plot->CursorX = 499;
  w->PlotSpectrum(false);
  w->RefreshInfoPanel();
  EXPECT_EQ(w->bValue[1]->CaptionW(), readBeyond);
  const std::vector<gui::TColor> last = WindowPixels(w);
  ASSERT_FALSE(last.empty());
  EXPECT_TRUE(beyond == last);
  w->Plot->CursorX = 1500;
  w->PlotSpectrum(false);
  w->RefreshInfoPanel();
  const TBinScale scale{500, 1000, 10000};
  const double mvPerCount = 2500.0 / FullScale;
  TAmplitudeScale amplitude{true, 2500, FullScale, scale.Frequency(499), admVoltage};
  EXPECT_EQ(w->bValue[1]->CaptionW(), AmplitudeText(Core->SpectrumA[499], amplitude, Core->VibSensorA));
  const double rms = BandRms(Core->SpectrumA, {10, 499}, mvPerCount, scale, Core->VibSensorA, admVoltage,
                             Core->SpectrumWindowGains.Power);
  EXPECT_EQ(w->bRmsValueA->CaptionW(), u"A: " + FormatNumber(rms) + u" mV");
  // Band 5 reaches the last bin of the DFT, not the FFT's.
  w->RmsType = 5;
  w->RefreshInfoPanel();
  const double whole = BandRms(Core->SpectrumA, {0, 499}, mvPerCount, scale, Core->VibSensorA, admVoltage,
                               Core->SpectrumWindowGains.Power);
  EXPECT_EQ(w->bRmsValueA->CaptionW(), u"A: " + FormatNumber(whole) + u" mV");
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, 1);
  w->bSpectrumType->Click();
  ASSERT_TRUE(ServeUntil([w] { return w->Plot->TotalBins == 2048 && w->Plot->DataA; }));
  EXPECT_EQ(w->Plot->CursorX, 1500);
  EXPECT_EQ(w->bFreq[1]->CaptionW(), FormatFrequency(1500 * 10000.0 / 4096, 1));
}

// A run without samples (not measured) has no spectrum of its own: the
// spectrum arrays still hold the run shown before, and nothing of them is
// drawn or read, the band RMS included.
TEST_F(SpectrumWindow, RunWithoutSamplesReadsNoSpectrum) {
  TfFFTGraph* w = Open();
  ASSERT_TRUE(Delivered(w));
  w->Plot->CursorX = 100;
  w->Plot->CursorY = 200;
  w->RefreshInfoPanel();
  ASSERT_NE(w->bValue[1]->CaptionW(), u"-");
  Core->BalancingStep = 1;
  w->PlotSpectrum(false);
  w->RefreshInfoPanel();
  EXPECT_EQ(w->Plot->DataA, nullptr);
  for (size_t row = 0; row < 3; ++row) {
    EXPECT_EQ(w->bValue[row]->CaptionW(), u"-") << row;
    EXPECT_EQ(w->pePhase[row]->CaptionW(), u"-") << row;
  }
  EXPECT_EQ(w->bRmsValueA->CaptionW(), u"-");
  EXPECT_EQ(w->bRmsValueB->CaptionW(), u"-");
}

// Free-running at 4096 samples with a line at 732 Hz (bin 300); set-up
// then doubles the buffer length and empties the live buffers. The
// 4096-point spectrum is neither drawn nor read on the 8192-point axis; the
// next capture's spectrum is, with its line at 732 Hz (bin 600).
TEST_F(SpectrumWindow, FreeRunningSpectrumIsShownOnlyOnTheAxisItWasComputedFor) {
  Core->AsyncMode = 1;
  Core->LiveDataA = Sine(4096, 300, 10000);
  Core->LiveDataB = Sine(4096, 300, 10000);
  Core->ConvertSamples();
  TfFFTGraph* w = Open();
  ASSERT_TRUE(ServeUntil([w] { return w->Plot->DataA && w->DisplayA[300] > 9000; }));
  // Cursor X on the line: 10000 counts of 2500 mV over 32768.
  w->Plot->CursorX = 300;
  w->RefreshInfoPanel();
  ASSERT_EQ(w->bValue[1]->CaptionW(), u"762,9 mV");
  ASSERT_GT(TracePixelsA(w), 100);
  {
    const auto lock = Core->LockSignalsForWriting();
    Core->BuffLength = 8192;
  }
  Core->ClearMeasurements();
  w->PlotSpectrum(true);
  w->RefreshInfoPanel();
  EXPECT_EQ(w->Plot->TotalBins, 4096);
  EXPECT_EQ(w->Plot->DataA, nullptr);
  EXPECT_EQ(w->Plot->DataB, nullptr);
  EXPECT_EQ(TracePixelsA(w), 0);
  EXPECT_EQ(w->bValue[1]->CaptionW(), u"-");
  EXPECT_EQ(w->pePhase[1]->CaptionW(), u"-");
  EXPECT_EQ(w->bRmsValueA->CaptionW(), u"-");
  EXPECT_EQ(w->bRmsValueB->CaptionW(), u"-");
  Core->LiveDataA = Sine(8192, 600, 10000);
  Core->LiveDataB = Sine(8192, 600, 10000);
  Core->ConvertSamples();
  Core->SpectrumEvent->SetEvent();
  ASSERT_TRUE(ServeUntil([w] { return w->Plot->DataA && w->DisplayA[600] > 9000; }));
  w->Plot->CursorX = 600;
  w->RefreshInfoPanel();
  EXPECT_EQ(w->bFreq[1]->CaptionW(), FormatFrequency(600 * 10000.0 / 8192, 1));
  EXPECT_EQ(w->bValue[1]->CaptionW(), u"762,9 mV");
  EXPECT_GT(TracePixelsA(w), 100);
}

// A job replaced under the window (a load, a new session) while a
// computation holds the spectra: what the window drew belongs to the job
// before, though the run, the length and the rate are the same, so it draws
// nothing until the new job's spectrum arrives.
TEST_F(SpectrumWindow, AReplacedJobsSpectrumIsNotDrawnWhileAComputationHoldsTheSpectra) {
  TfFFTGraph* w = Open();
  ASSERT_TRUE(Delivered(w));
  ASSERT_GT(TracePixelsA(w), 100);
  Core->ClearMeasurements();
  Core->Captures[0].DataA = Sine(Core->BuffLength, 300, 10000);
  Core->Captures[0].DataB = Sine(Core->BuffLength, 300, 10000);
  Core->ConvertSamples();
  std::atomic<bool> held{false}, release{false};
  std::thread computation([this, &held, &release] {
    const std::lock_guard<std::mutex> signals(Core->SignalLock);
    held = true;
    while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  while (!held) std::this_thread::yield();
  w->PlotSpectrum(false);
  const double* drawnA = w->Plot->DataA;
  const double* drawnB = w->Plot->DataB;
  release = true;
  computation.join();
  EXPECT_EQ(drawnA, nullptr);
  EXPECT_EQ(drawnB, nullptr);
  EXPECT_EQ(TracePixelsA(w), 0);
  Core->SpectrumEvent->SetEvent();
  EXPECT_TRUE(ServeUntil([w] { return w->Plot->DataA && w->DisplayA[300] > 9000; }));
}

// An odd run window (1001 samples, 500 bins): bin k lies at k x fs / 1001
// in the read-out, the cursor-position dialog and the plot's axis alike,
// and the dialog's frequency converts back into the same bin.
TEST_F(SpectrumWindow, OneBinFrequencyForAnOddWindow) {
  TfFFTGraph* w = OpenWithRunWindow(1001);
  ASSERT_NE(w, nullptr);
  ChooseDft(w);
  ASSERT_TRUE(ServeUntil([w] { return w->Plot->TotalBins == 500 && w->SolidA; }));
  w->Plot->CursorX = 250;
  w->RefreshInfoPanel();
  const double frequency = 250 * 10000.0 / 1001;
  EXPECT_EQ(w->bFreq[1]->CaptionW(), FormatFrequency(frequency, 1));
  EXPECT_EQ(w->FrequencyToBin(frequency), 250);
  std::u16string shown;
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, [&shown](const gui::TDialogRequest& r) {
    auto* dialog = dynamic_cast<TfCursorPos*>(r.Form);
    if (dialog) {
      shown = dialog->eCursorPos->Text();
      dialog->bOk->Click();
    }
    return std::optional<gui::TDialogAnswer>();
  });
  w->bFreq[1]->Click();
  EXPECT_EQ(shown, FormatNumber(frequency));
  EXPECT_EQ(w->Plot->CursorX, 250);
}

// Just below half the sampling rate the nearest bin is the one past the
// last; the dialog places the cursor on the last bin instead.
TEST_F(SpectrumWindow, FrequencyAboveTheLastBinGivesTheLastBin) {
  TfFFTGraph* w = Open();
  ASSERT_TRUE(Delivered(w));
  EXPECT_EQ(w->FrequencyToBin(4999), 2047);
  EXPECT_EQ(w->FrequencyToBin(5000), 2047);
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, [](const gui::TDialogRequest& r) {
    auto* dialog = dynamic_cast<TfCursorPos*>(r.Form);
    if (dialog) {
      dialog->eCursorPos->SetText(u"4999");
      dialog->bOk->Click();
    }
    return std::optional<gui::TDialogAnswer>();
  });
  w->bFreq[1]->Click();
  EXPECT_EQ(w->Plot->CursorX, 2047);
  EXPECT_EQ(w->bFreq[1]->CaptionW(), FormatFrequency(2047 * 10000.0 / 4096, 1));
}

// A bin at twice full scale reads 6,02 dB above it, with one sign.
TEST_F(SpectrumWindow, LevelAboveFullScaleHasOneSign) {
  TfFFTGraph* w = Open();
  ASSERT_TRUE(Delivered(w));
  w->Plot->CursorX = 100;
  w->bLogLin->Click();
  ChangeSignals([this] { Core->SpectrumA[100] = FullScale; });  // 2|X| = 2 x full scale
  w->RefreshInfoPanel();
  EXPECT_EQ(w->bValue[1]->CaptionW(), u"+6,02 dB");
  ChangeSignals([this] { Core->SpectrumA[100] = FullScale / 4.0; });
  w->RefreshInfoPanel();
  EXPECT_EQ(w->bValue[1]->CaptionW(), u"-6,02 dB");
}

// T goes to cursor T also while bGotoT is disabled (free-running mode).
TEST_F(SpectrumWindow, TKeyGoesToCursorTWhateverItsButton) {
  Core->AsyncMode = 1;
  Core->LiveDataA = Sine(16384, 100, 10000);
  Core->LiveDataB = Sine(16384, 50, 5000);
  TfFFTGraph* w = Open();
  EXPECT_FALSE(w->bGotoT->Enabled());
  w->bZoomXIn->Click();
  w->bZoomXIn->Click();
  ASSERT_EQ(w->Plot->ViewStart, 768);
  w->Plot->ShowCursorT = 0;
  gui::SimKey(w, 'T');
  EXPECT_EQ(w->Plot->ViewStart, 0);
  EXPECT_EQ(w->Plot->ViewWidth, 512);
  EXPECT_EQ(w->Plot->ShowCursorT, 1);
}

// Whole spectrum: the span of a full-scale signal at bin 2 in the unit of
// channel B's sensor; without a sensor on B, channel A's.
TEST_F(SpectrumWindow, ZoomAllTakesChannelBsSensorAtBinTwo) {
  Core->AmplDisplayMode = admVelocity;
  Core->VibSensorB.Sensitivity = 40;
  TfFFTGraph* w = Open();
  const double bin2 = 2 * 10000.0 / 4096;
  const auto span = [&](const SensorInfo& sensor) {
    return static_cast<int32_t>(std::trunc(ConvertAmplitude(sensor, FullScale, bin2, admVelocity)));
  };
  ASSERT_NE(span(Core->VibSensorB), w->Plot->SpanY);
  w->bZoomAll->Click();
  EXPECT_EQ(w->Plot->SpanY, span(Core->VibSensorB));
  EXPECT_EQ(w->Plot->ViewWidth, 2048);
  Core->VibSensorB.Sensitivity = 0;
  gui::SimKey(w, 'A', 0, gui::ssCtrl);
  EXPECT_GT(span(Core->VibSensorA), 0);
  EXPECT_EQ(w->Plot->SpanY, span(Core->VibSensorA));
}

}  // namespace
}  // namespace viewstest
