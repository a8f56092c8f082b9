// The workspace with its signal views on the offscreen platform: opening the
// windows from the buttons and keys, a free-running demo capture started and
// stopped from the oscilloscope, the views' buttons during a balancing
// capture, and closing the workspace with the views open.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <mutex>
#include <thread>

#include "bitmap.h"
#include "sanitizerslowdown.h"
#include "combobox.h"
#include "commandoutput.h"
#include "formconfig.h"
#include "planninggate.h"
#include "radiobutton.h"
#include "sessioncommands.h"
#include "sessionmenuscript.h"
#include "textconv.h"
#include "timereadout.h"
#include "viewsfixture.h"
#include "viewwindows.h"

using namespace viewstest;

namespace {

// Run 0 measured at `length` samples with a line at bin `cycles` on channel
// A (and bin 50 on B), saved as the automatic pair; the sensors the session
// file names are saved as files of their own first, so that a load finds
// them.
void SaveMeasuredJob(TZelto& core, int32_t length, double cycles) {
  core.BuffLength = length;
  CaptureRecord& run = core.Captures[0];
  run.DataA = Sine(length, cycles, 10000);
  run.DataB = Sine(length, 50, 5000);
  run.T = 10;
  run.Start = 0;
  run.End = length;
  core.Results[0].Meas = {100, 1, 50, 2};
  ASSERT_EQ(core.SaveSession(), TZelto::sfrDone);
}

void SaveSensorsOfTheJob(TZelto& core) {
  core.VibSensorA.Name = u"Probe A";
  core.VibSensorB.Name = u"Probe B";
  for (const SensorInfo* sensor : {&core.VibSensorA, &core.VibSensorB})
    ASSERT_EQ(core.SaveSensor(sensor->Name, *sensor, false), TZelto::ssrSaved);
}

// Opens `file` through the session menu over a measured job.
void OpenThroughTheMenu(TfBalancing& window, const std::string& file) {
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, smOpenSession);
  script.Expect(gui::dkOpenDialog, 1, file);
  testsupport::ExpectOpenQuestion(script, gui::mrYes);
  window.bSession->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
}

}  // namespace

TEST_F(WorkspaceViews, ButtonsAndKeysOpenBothViewsOnce) {
  Window->bOscilloscope->Click();
  ASSERT_NE(fTimeGraph, nullptr);
  EXPECT_TRUE(fTimeGraph->WindowVisible());
  EXPECT_EQ(fTimeGraph->Owner(), Window);
  fTimeGraph->Hide();
  TfTimeGraph* scope = fTimeGraph;
  Key('A');
  EXPECT_EQ(fTimeGraph, scope);
  EXPECT_TRUE(fTimeGraph->WindowVisible());

  Key('F');
  ASSERT_NE(fFFTGraph, nullptr);
  EXPECT_TRUE(fFFTGraph->WindowVisible());
  // The views reach the workspace's commands through its interface.
  fFFTGraph->bOscilloscopeClick(fFFTGraph->bOscilloscope);
  EXPECT_EQ(fTimeGraph, scope);
  // Both views mirror the workspace's status line.
  EXPECT_EQ(fTimeGraph->leStatus->CaptionW(), Window->leStatus->CaptionW());
  EXPECT_EQ(fFFTGraph->leError->CaptionW(), Window->leError->CaptionW());
}

TEST_F(WorkspaceViews, MissingSensorOpensNoView) {
  Core->Type = 0;
  Core->VibSensorB.Sensitivity = 0;
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, [](const gui::TDialogRequest& r) {
    auto* box = dynamic_cast<TfMessage*>(r.Form);
    EXPECT_TRUE(box && box->Kind == mkError && box->MessageText == Forms(u"SensorUnselected"));
    return std::optional<gui::TDialogAnswer>(gui::TDialogAnswer{gui::mrOk, {}});
  });
  Window->bOscilloscope->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_EQ(fTimeGraph, nullptr);
}

TEST_F(WorkspaceViews, FreeRunningCaptureFromTheOscilloscope) {
  Window->bOscilloscope->Click();
  Window->bSpectrum->Click();
  ASSERT_TRUE(fTimeGraph && fFFTGraph);
  fTimeGraph->bStartStop->Click();
  ASSERT_TRUE(Core->Measuring);
  EXPECT_TRUE(Core->AsyncMode);
  EXPECT_NE(VibThread, nullptr);
  // The workspace's commands and the views' data commands wait; the views'
  // Start/Stop stops the capture.
  for (TBitmapButton* b : {Window->bStartStop, Window->bNext, Window->bSetup, Window->bSession, Window->bCloseC})
    EXPECT_FALSE(b->Enabled());
  for (TBitmapButton* b : {fTimeGraph->bSetup, fTimeGraph->bPrint, fTimeGraph->bBalancing, fTimeGraph->bCloseC,
                           fFFTGraph->bSpectrumType, fFFTGraph->bCloseC})
    EXPECT_FALSE(b->Enabled());
  EXPECT_TRUE(fTimeGraph->bStartStop->Enabled());
  EXPECT_EQ(fTimeGraph->bStartStop->CaptionW(), Forms(u"Stop"));
  EXPECT_EQ(fFFTGraph->bStartStop->CaptionW(), Forms(u"Stop"));
  // Space in the workspace does not touch the free-running capture.
  Key(gui::VK_SPACE);
  EXPECT_TRUE(Core->Measuring);

  ASSERT_TRUE(ServeUntil([] { return fTimeGraph->leStatus->CaptionW() == Forms(u"StateAsyncSampling"); }));
  fTimeGraph->bStartStop->Click();
  ASSERT_TRUE(ServeUntilIdle());
  EXPECT_TRUE(Core->AsyncMode);
  EXPECT_EQ(Window->bDirValue->CaptionW(), u"-");
  for (TBitmapButton* b : {Window->bStartStop, Window->bSetup, Window->bSession, Window->bCloseC,
                           fTimeGraph->bSetup, fTimeGraph->bPrint, fTimeGraph->bBalancing, fTimeGraph->bCloseC,
                           fFFTGraph->bSpectrumType, fFFTGraph->bSetup, fFFTGraph->bCloseC})
    EXPECT_TRUE(b->Enabled()) << b->Name();
  EXPECT_EQ(fTimeGraph->bStartStop->CaptionW(), Forms(u"Start"));
  EXPECT_EQ(fFFTGraph->bStartStop->CaptionW(), Forms(u"Start"));
  EXPECT_EQ(fTimeGraph->leStatus->CaptionW(), Forms(u"StateReady"));
}

TEST_F(WorkspaceViews, BalancingCaptureDisablesTheViewsUntilItEnds) {
  Window->bOscilloscope->Click();
  Window->bSpectrum->Click();
  ASSERT_TRUE(fTimeGraph && fFFTGraph);
  fFFTGraph->Hide();
  Window->bStartStop->Click();
  ASSERT_TRUE(Core->Measuring);
  EXPECT_FALSE(Core->AsyncMode);
  for (TBitmapButton* b : {fTimeGraph->bStartStop, fTimeGraph->bSetup, fTimeGraph->bPrint, fFFTGraph->bStartStop,
                           fFFTGraph->bSetup, fFFTGraph->bPrint, fFFTGraph->bSpectrumType})
    EXPECT_FALSE(b->Enabled()) << b->Name();
  // The way back to the workspace stays open.
  EXPECT_TRUE(fTimeGraph->bBalancing->Enabled());
  Window->bStartStop->Click();
  ASSERT_TRUE(ServeUntilIdle());
  for (TBitmapButton* b : {fTimeGraph->bStartStop, fTimeGraph->bSetup, fTimeGraph->bPrint, fTimeGraph->bCloseC,
                           fFFTGraph->bStartStop, fFFTGraph->bSetup, fFFTGraph->bPrint, fFFTGraph->bSpectrumType})
    EXPECT_TRUE(b->Enabled()) << b->Name();
  EXPECT_EQ(fTimeGraph->leStatus->CaptionW(), Forms(u"StateReady"));
}

// The close command stops a free-running capture of the visible spectrum
// window through that window's own Start/Stop before it asks to exit; No
// keeps the workspace, and the capture has ended all the same.
TEST_F(WorkspaceViews, CloseStopsAFreeRunningCaptureOfTheSpectrumWindow) {
  Window->bSpectrum->Click();
  ASSERT_NE(fFFTGraph, nullptr);
  fFFTGraph->bStartStop->Click();
  ASSERT_TRUE(Core->Measuring);
  ASSERT_TRUE(Core->AsyncMode);
  ASSERT_TRUE(ServeUntil([] { return fFFTGraph->leStatus->CaptionW() == Forms(u"StateAsyncSampling"); }));
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, ExitAnswer(false));
  Window->bCloseCClick(Window->bCloseC);
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(Window->Visible());
  // Without the stop the capture would run on; with it, it ends at once.
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5) * testsupport::kSanitizerSlowdown;
  while (VibThread && std::chrono::steady_clock::now() < limit) rtl::CheckSynchronize(5);
  EXPECT_EQ(VibThread, nullptr);
  ASSERT_TRUE(ServeUntilIdle());
  EXPECT_EQ(fFFTGraph->bStartStop->CaptionW(), Forms(u"Start"));
  EXPECT_TRUE(Window->bCloseC->Enabled());
}

// Next converts the new run's samples also while the spectrum window is
// hidden: opened again, it shows the spectrum of that run, not of the one
// before.
TEST_F(WorkspaceViews, SpectrumOpenedAfterNextShowsTheNewRun) {
  Core->AmplDisplayMode = admVoltage;  // the display holds counts
  for (int run : {0, 1}) {
    CaptureRecord& c = Core->Captures[static_cast<size_t>(run)];
    c.DataA = Sine(4096, run == 0 ? 100 : 300, 10000);
    c.DataB = Sine(4096, 50, 5000);
    c.T = 10;
    c.End = 4096;
  }
  Core->ConvertSamples();
  Window->bSpectrum->Click();
  ASSERT_TRUE(fFFTGraph);
  ASSERT_TRUE(ServeUntil([] { return fFFTGraph->Plot->DataA && fFFTGraph->DisplayA[100] > 9000; }));
  fFFTGraph->Close();
  Window->bNext->Click();
  ASSERT_EQ(Core->BalancingStep, 1);
  EXPECT_TRUE(std::equal(Core->SignalA.begin(), Core->SignalA.end(), Core->Captures[1].DataA.begin()));
  Window->bSpectrum->Click();
  ASSERT_TRUE(ServeUntil([] { return fFFTGraph->Plot->DataA && fFFTGraph->DisplayA[300] > 9000; }));
  EXPECT_LT(fFFTGraph->DisplayA[100], 100);
}

namespace {

// Pixels of channel A's colour inside the spectrum's plot as the window
// shows it; -1 when no picture was taken.
int TracePixelsA(const std::string& folder) {
  const std::string path = folder + "/spectrum.png";
  gui::TBitmap shot;
  if (!fFFTGraph->SaveScreenshot(path) || !shot.LoadFromFile(path)) return -1;
  const gui::TPoint box = fFFTGraph->pbFFT->ClientToScreen({0, 0});
  const gui::TPoint form = fFFTGraph->ClientToScreen({0, 0});
  const TDisplayFFT& plot = *fFFTGraph->Plot;
  const int left = box.x - form.x + plot.MarginLeft, top = box.y - form.y + plot.MarginTop;
  const int right = box.x - form.x + fFFTGraph->pbFFT->Width() - plot.MarginRight;
  const int bottom = box.y - form.y + fFFTGraph->pbFFT->Height() - plot.MarginBottom;
  int count = 0;
  for (int y = std::max(top, 0); y < std::min(bottom, shot.Height()); ++y)
    for (int x = std::max(left, 0); x < std::min(right, shot.Width()); ++x)
      if (shot.Pixel(x, y) == TheCore->WorkColors[wcWorkChA]) ++count;
  return count;
}

}  // namespace

// Open, Restore and New Session replace the job under the spectrum window:
// at once, before the thread hands the new spectrum over, the window draws
// nothing of the job before, on the axis of the new job's length; then the
// new job's spectrum arrives. The job opened has half the buffer length and
// its line on bin 300, the one restored its line on bin 100.
TEST_F(WorkspaceViews, AReplacedJobsSpectrumIsNotDrawnWhileTheNewOneIsComputed) {
  Core->AmplDisplayMode = admVoltage;  // the display holds counts
  SaveSensorsOfTheJob(*Core);
  SaveMeasuredJob(*Core, 2048, 300);
  const std::string other = (std::filesystem::path(Folder) / "other.daqsession").string();
  ASSERT_EQ(Core->SaveSessionAs(rtl::Utf8ToUtf16(other)), TZelto::sfrDone);
  SaveMeasuredJob(*Core, 4096, 100);
  Core->ConvertSamples();
  Window->bSpectrum->Click();
  ASSERT_TRUE(fFFTGraph);
  ASSERT_TRUE(ServeUntil([] { return fFFTGraph->Plot->DataA && fFFTGraph->DisplayA[100] > 9000; }));
  ASSERT_GT(TracePixelsA(Folder), 0);

  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, smOpenSession);
  script.Expect(gui::dkOpenDialog, 1, other);
  testsupport::ExpectOpenQuestion(script, gui::mrYes);
  Window->bSession->Click();
  ASSERT_EQ(Core->BuffLength, 2048);
  EXPECT_EQ(fFFTGraph->Plot->TotalBins, 1024);
  EXPECT_EQ(fFFTGraph->Plot->DataA, nullptr);
  EXPECT_EQ(fFFTGraph->Plot->DataB, nullptr);
  EXPECT_EQ(TracePixelsA(Folder), 0);
  ASSERT_TRUE(ServeUntil([] { return fFFTGraph->Plot->DataA && fFFTGraph->DisplayA[300] > 9000; }));
  EXPECT_LT(fFFTGraph->DisplayA[100], 100);

  script.Expect(gui::dkPopupMenu, smRestoreSession);
  testsupport::ExpectRestoreQuestion(script, gui::mrYes);
  Window->bSession->Click();
  ASSERT_EQ(Core->BuffLength, 4096);
  EXPECT_EQ(fFFTGraph->Plot->TotalBins, 2048);
  EXPECT_EQ(fFFTGraph->Plot->DataA, nullptr);
  EXPECT_EQ(TracePixelsA(Folder), 0);
  ASSERT_TRUE(ServeUntil([] { return fFFTGraph->Plot->DataA && fFFTGraph->DisplayA[100] > 9000; }));

  script.Expect(gui::dkPopupMenu, smNewSession);
  script.ExpectAction(gui::dkModalForm, testsupport::MessageAnswer(mkQuestion, Forms(u"ResetMeasurements"), gui::mrYes));
  Window->bSession->Click();
  EXPECT_EQ(fFFTGraph->Plot->DataA, nullptr);
  EXPECT_EQ(TracePixelsA(Folder), 0);
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
}

// Previous from run 1, whose capture was evaluated last, to the initial run,
// whose record has a larger sine on channel A and no channel B: the
// oscilloscope's measurement, shown and printed, is that of the record drawn
// over its window of whole revolutions, and "-" for the channel it lacks.
TEST_F(WorkspaceViews, MeasurementAfterPreviousBelongsToTheRecordDrawn) {
  CaptureRecord& initial = Core->Captures[0];
  initial.DataA = Sine(4096, 100, 6000);
  initial.DataB.clear();
  initial.T = 99;
  initial.Start = 37;
  initial.End = 4046;
  CaptureRecord& trial = Core->Captures[1];
  trial.DataA = Sine(4096, 300, 600);
  trial.DataB = Sine(4096, 50, 300);
  trial.T = 10;
  trial.End = 4096;
  Window->bNext->Click();
  ASSERT_EQ(Core->BalancingStep, 1);
  Core->EvaluateCapture(0, 1);
  Window->bOscilloscope->Click();
  ASSERT_TRUE(fTimeGraph);
  Window->bPrev->Click();
  ASSERT_EQ(Core->BalancingStep, 0);

  TChannelStats drawn;
  drawn.Min = drawn.Max = initial.DataA[static_cast<size_t>(initial.Start)];
  double squares = 0;
  for (int32_t k = initial.Start; k < initial.End; ++k) {
    const double x = initial.DataA[static_cast<size_t>(k)];
    drawn.Mean += x;
    squares += x * x;
    drawn.Min = std::min(drawn.Min, x);
    drawn.Max = std::max(drawn.Max, x);
  }
  const int32_t n = initial.End - initial.Start;
  drawn.Mean /= n;
  drawn.Rms = std::sqrt(squares / n);
  const std::u16string expected =
      MeasurementText(u"A: ", 'R', drawn, Core->DriverInputRange(Core->GainA), Core->DriverFullScale(),
                      Core->VibSensorA, DisplayQuantity(Core->VibSensorA, Core->AmplDispModeOscmV));
  EXPECT_EQ(fTimeGraph->bMeasValA->CaptionW(), expected);
  EXPECT_EQ(fTimeGraph->bMeasValB->CaptionW(), u"-");

  const std::string pdf = Folder + "/previous.pdf";
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, 1).Expect(gui::dkPrintDialog, 1, pdf);
  fTimeGraph->bPrint->Click();
  EXPECT_EQ(script.Pending(), 0u);
  const std::string text = testsupport::CommandOutput("pdftotext -layout '" + pdf + "' -");
  EXPECT_NE(text.find(rtl::Utf16ToUtf8(expected)), std::string::npos) << text;
}

// A spectrum computation that the set-up command aborted is started again
// when the dialog closes.
TEST_F(WorkspaceViews, SetupRecomputesTheAbortedSpectrum) {
  Core->AmplDisplayMode = admVoltage;  // the display holds counts
  Core->Captures[0].DataA = Sine(4096, 100, 10000);
  Core->Captures[0].DataB = Sine(4096, 50, 5000);
  Core->ConvertSamples();
  // Shown with the one wake-up of its own show (the button adds another),
  // so the thread waits for work once the first spectrum has arrived.
  ShowFFTGraph(Window, *Window);
  ASSERT_TRUE(fFFTGraph);
  ASSERT_TRUE(ServeUntil([] { return fFFTGraph->Plot->DataA && fFFTGraph->DisplayA[100] > 9000; }));
  // Its spectrum is emptied (under the lock the thread writes it under) and
  // the core is told a computation runs, which the set-up command aborts.
  {
    const auto lock = Core->LockSignalsForWriting();
    std::fill(Core->SpectrumA.begin(), Core->SpectrumA.end(), std::complex<double>());
  }
  Core->SpectrumBusy = 1;
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, [this](const gui::TDialogRequest& r) {
    // Aborted while the dialog is open; its close starts the computation
    // again, so afterwards the thread may be busy once more.
    EXPECT_FALSE(Core->SpectrumBusy);
    auto* dialog = dynamic_cast<TfConfig*>(r.Form);
    EXPECT_NE(dialog, nullptr);
    if (dialog) dialog->bCancelClick(dialog->bCancel);
    return std::optional<gui::TDialogAnswer>();
  });
  Window->bSetup->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(ServeUntil([] { return fFFTGraph->DisplayA[100] > 9000; }));
}

// The spectrum window closed and opened again, round after round, each time
// with a short and a long saved job opened in turn at once, the run
// switched, and a balancing capture started and stopped. The signals are
// held (as a starved computation would hold them) until the load waits for
// them, so the old window's thread, freeing its spectra, ends only as the
// load begins: the new window's thread, which waits for it, then takes its
// spectra and sizes them to the longest record while the long job's runs
// are read; both touch the runs' records and conditions only under the
// lock that guards them (ThreadSanitizer checks it in the threads pass).
// Every round shows the spectrum of the job just opened.
TEST_F(WorkspaceViews, ReopeningTheSpectrumWhileJobsAreOpenedAndMeasured) {
  constexpr int Rounds = 8;
  const int32_t lengths[2] = {1 << 12, 1 << 19};
  SaveSensorsOfTheJob(*Core);
  const std::string jobs[2] = {(std::filesystem::path(Folder) / "short.daqsession").string(),
                               (std::filesystem::path(Folder) / "long.daqsession").string()};
  for (int job = 0; job < 2; ++job) {
    SaveMeasuredJob(*Core, lengths[job], 100);
    ASSERT_EQ(Core->SaveSessionAs(rtl::Utf8ToUtf16(jobs[job])), TZelto::sfrDone);
  }
  Core->ConvertSamples();
  Window->bSpectrum->Click();
  ASSERT_TRUE(fFFTGraph);
  for (int round = 0; round < Rounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const int job = round % 2;
    std::atomic<bool> held{false};
    std::thread holder([this, &held] {
      const std::lock_guard<std::mutex> signals(Core->SignalLock);
      held = true;
      const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20) * testsupport::kSanitizerSlowdown;
      while (Core->SignalWaiters == 0 && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    while (!held) std::this_thread::yield();
    fFFTGraph->Close();
    Window->bSpectrum->Click();
    OpenThroughTheMenu(*Window, jobs[job]);
    holder.join();
    ASSERT_EQ(Core->Captures[0].Conditions.Length, lengths[job]);  // longer than this device's memory
    const auto shown = [&] { return fFFTGraph->Plot->DataA && fFFTGraph->Plot->TotalBins == lengths[job] / 2; };
    ASSERT_TRUE(ServeUntil(shown));
    Window->bNext->Click();
    if (round % 4 == 1) {
      Window->bStartStop->Click();
      ASSERT_TRUE(ServeUntil([this] { return Core->CaptureReadings > 0; }));
      Window->bStartStop->Click();
      ASSERT_TRUE(ServeUntilIdle());
    }
    Window->bPrev->Click();
    // Run 0's spectrum again: its hand-over served, the thread is idle.
    ASSERT_TRUE(ServeUntil(shown));
  }
  const std::lock_guard<std::mutex> signals(Core->SignalLock);
  EXPECT_GE(Core->SpectrumA.size(), static_cast<size_t>(Core->LongestRecord()));
}

// Set-up confirmed with another buffer length and one plane while the
// spectrum thread computes its first spectrum (held while it plans that
// transform): the settings the computation reads are written under the
// signal lock, which ThreadSanitizer checks in the threads pass, and the
// spectrum that follows is one of the new length.
TEST_F(WorkspaceViews, SetupConfirmedDuringAComputationChangesItsSettingsUnderTheLock) {
  Core->BuffLength = 1024;
  Core->Captures[0].DataA = Sine(1024, 100, 10000);
  Core->Captures[0].DataB = Sine(1024, 50, 5000);
  Core->ConvertSamples();
  ForgetPlans();  // no plan of 1024 kept from an earlier test in this process
  testsupport::TPlanningGate gate(1024, TFftPlacement::OutOfPlace);
  ShowFFTGraph(Window, *Window);
  ASSERT_TRUE(fFFTGraph);
  ASSERT_TRUE(ServeUntil([&gate] { return gate.Entered.load(); }));
  ASSERT_TRUE(Core->SpectrumBusy);
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, [&script](const gui::TDialogRequest& r) {
    auto* dialog = dynamic_cast<TfConfig*>(r.Form);
    EXPECT_NE(dialog, nullptr);
    if (!dialog) return std::optional<gui::TDialogAnswer>();
    script.ExpectAction(gui::dkModalForm, testsupport::MessageAnswer(
                                              mkWarning, SetupClearingQuestion(Forms(u"Measurement") + u" 1"), gui::mrYes));
    dialog->cbBuffSize->SetItemIndex(1);
    dialog->cbBuffSizeChange(dialog->cbBuffSize);
    dialog->rbOnePlane->SetChecked(true);
    dialog->bOKClick(dialog->bOK);
    return std::optional<gui::TDialogAnswer>();
  });
  Window->bSetup->Click();
  gate.Open();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_EQ(Core->BuffLength, 8192);
  EXPECT_EQ(Core->Type, 0);
  EXPECT_TRUE(ServeUntil([this] { return fFFTGraph->Plot->TotalBins == 4096 && !Core->SpectrumBusy; }));
}

// The set-up changes the sampling rate after run 0 was measured and a
// free-running record taken, both at 10 kHz. Neither record is drawn, read
// or stored at the new rate afterwards: not by the oscilloscope or the
// spectrum window, not after Next and Previous, not in an asynchronous data
// file saved from the oscilloscope, nor in the automatic save reloaded.
TEST_F(WorkspaceViews, ASamplingRateChangeShowsAndStoresNoRecordAtTheNewRate) {
  const int32_t capturedRate = Core->SamplingRate;
  const double capturedHz = Core->DriverSamplingFrequency();
  ASSERT_EQ(capturedHz, 10000);
  Window->bStartStop->Click();
  // The capture thread evaluates the reading into the run under ResultsLock.
  ASSERT_TRUE(ServeUntil([this] {
    rtl::TCriticalSectionGuard guard(Core->ResultsLock);
    return Core->Results[0].Valid == 1;
  }));
  Window->bStartStop->Click();
  ASSERT_TRUE(ServeUntilIdle());
  Window->bOscilloscope->Click();
  Window->bSpectrum->Click();
  ASSERT_TRUE(fTimeGraph && fFFTGraph);
  fTimeGraph->bStartStop->Click();
  ASSERT_TRUE(ServeUntil([this] {
    rtl::TCriticalSectionGuard guard(Core->ResultsLock);
    return Core->RmsA > 0;
  }));
  fTimeGraph->bStartStop->Click();
  ASSERT_TRUE(ServeUntilIdle());
  ASSERT_FALSE(Core->LiveDataA.empty());

  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, [&script](const gui::TDialogRequest& r) {
    auto* dialog = dynamic_cast<TfConfig*>(r.Form);
    EXPECT_NE(dialog, nullptr);
    if (!dialog) return std::optional<gui::TDialogAnswer>();
    script.ExpectAction(gui::dkModalForm, testsupport::MessageAnswer(
                                              mkWarning, SetupClearingQuestion(Forms(u"Measurement") + u" 1"), gui::mrYes));
    dialog->cbSamplingRate->SetItemIndex(3);
    dialog->cbSamplingRateChange(dialog->cbSamplingRate);
    dialog->bOKClick(dialog->bOK);
    return std::optional<gui::TDialogAnswer>();
  });
  Window->bSetup->Click();
  ASSERT_EQ(script.Pending(), 0u);
  ASSERT_EQ(Core->DriverSamplingFrequency(), 20000);

  // Whatever holds samples, a speed or a spectrum holds them at the rate
  // they were captured at.
  const auto atCapturedRate = [&](const std::string& where) {
    // The spectrum window shows what the spectrum thread made of the signals.
    ASSERT_TRUE(ServeUntil([this] {
      const auto lock = Core->WaitForSignals();
      return !Core->SpectrumBusy && Core->SpectrumOriginA.SampleRate == Core->SignalOriginA.SampleRate &&
             fFFTGraph->DisplayOriginA == Core->SpectrumOriginA;
    })) << where;
    const bool capturedRateSet = Core->SamplingRate == capturedRate;
    EXPECT_TRUE(!fTimeGraph->Plot->DataA || fTimeGraph->Plot->SampleRate == capturedHz) << where;
    EXPECT_TRUE(!fFFTGraph->Plot->DataA || fFFTGraph->Plot->SampleRate == capturedHz) << where;
    for (const TSignalOrigin& origin : {fFFTGraph->DisplayOriginA, fFFTGraph->DisplayOriginB})
      EXPECT_TRUE(!origin.Holds() || origin.SampleRate == capturedHz) << where;
    EXPECT_TRUE(Core->Captures[0].DataA.empty() || capturedRateSet) << where;
    EXPECT_TRUE(Core->Results[0].Freq == 0 || capturedRateSet) << where;
    EXPECT_TRUE(Core->LiveDataA.empty() || capturedRateSet) << where;
  };
  atCapturedRate("after the set-up");

  const std::string record = Folder + "/record.asd";
  script.Expect(gui::dkPopupMenu, 2).Expect(gui::dkSaveDialog, 1, record);
  fTimeGraph->bAsyncFile->Click();
  EXPECT_EQ(script.Pending(), 0u);

  Window->bNextClick(Window->bNext);
  Window->bPrevClick(Window->bPrev);
  EXPECT_EQ(Core->BalancingStep, 0);
  atCapturedRate("after Next and Previous");

  ASSERT_TRUE(TZelto::SessionLoaded(Core->LoadSession()));
  atCapturedRate("in the automatic save");
  ASSERT_TRUE(Core->LoadAsyncData(rtl::Utf8ToUtf16(record)));
  atCapturedRate("in the asynchronous data file");
}

// Yes to the exit question destroys both views before the workspace goes;
// under the address sanitizer a view touching the workspace afterwards
// fails the test.
TEST_F(WorkspaceViews, ClosingTheWorkspaceDestroysTheViews) {
  Window->bOscilloscope->Click();
  Window->bSpectrum->Click();
  ASSERT_TRUE(fTimeGraph && fFFTGraph);
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, ExitAnswer(false));
  Window->Close();
  EXPECT_NE(fTimeGraph, nullptr);
  EXPECT_NE(fFFTGraph, nullptr);
  script.ExpectAction(gui::dkModalForm, ExitAnswer(true));
  Window->Close();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_EQ(fTimeGraph, nullptr);
  EXPECT_EQ(fFFTGraph, nullptr);
}

// The workspace destroyed with its views open (the program's end) takes
// them along first.
TEST_F(WorkspaceViews, DestroyingTheWorkspaceTakesTheViewsAlong) {
  Window->bOscilloscope->Click();
  Window->bSpectrum->Click();
  ASSERT_TRUE(fTimeGraph && fFFTGraph);
  delete Window;
  Window = nullptr;
  EXPECT_EQ(fTimeGraph, nullptr);
  EXPECT_EQ(fFFTGraph, nullptr);
}

int main(int argc, char** argv) {
  // ctest lists the tests without the environment it runs them with.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  testing::InitGoogleTest(&argc, argv);
  gui::TApplication application(argc, argv);
  TLanguageService language;
  language.Open(u"" ZELTO_LANGUAGE_FILE);
  SetLanguageService(&language);
  const int result = RUN_ALL_TESTS();
  SetLanguageService(nullptr);
  return result;
}
