// The windows in use while a demo capture runs: the result panel's menus
// and the plane diagrams during a balancing capture with averaging, the
// oscilloscope's and the spectrum's read-outs, cursors and popups during a
// free-running capture, and closing the workspace in the middle of a
// capture. Whatever a window shows must belong to a reading the capture has
// finished. Under ThreadSanitizer (scripts/test --tsan) these tests also
// show that the windows and the threads share their data soundly.

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "blockingtransfer.h"
#include "combobox.h"
#include "corefixture.h"
#include "drawnplanes.h"
#include "formconfig.h"
#include "formlog.h"
#include "inputsim.h"
#include "labelex.h"
#include "logfile.h"
#include "messageanswer.h"
#include "polardiagram.h"
#include "polarplot.h"
#include "sanitizerslowdown.h"
#include "popupmenu.h"
#include "scripteddevice.h"
#include "speedsignallog.h"
#include "spectrumthread.h"
#include "synchronizeprobe.h"
#include "viewsfixture.h"
#include "workcolors.h"
#include "workspaceservices.h"

using namespace viewstest;
using testsupport::DrawnOps;
using testsupport::IsoVerdict;
using testsupport::MessageAnswer;
using testsupport::TScriptedDevice;
using testsupport::VectorLine;

namespace {

// Answers every popup menu with its checked item, so a menu command runs
// (and refreshes its window) without changing what is shown. Anything else
// that asks is dismissed and counted.
class TKeepChoices {
 public:
  TKeepChoices() {
    FPrevious = gui::SetAnswerHook([this](const gui::TDialogRequest& r) -> std::optional<gui::TDialogAnswer> {
      if (r.Kind != gui::dkPopupMenu || !r.Menu) {
        ++Unexpected;
        return gui::TDialogAnswer{};
      }
      ++Menus;
      for (const gui::TMenuItemInfo& item : r.Menu->Items())
        if (item.Flags & gui::MF_CHECKED) return gui::TDialogAnswer{item.Id, {}};
      return gui::TDialogAnswer{};
    });
  }
  ~TKeepChoices() { gui::SetAnswerHook(FPrevious); }
  TKeepChoices(const TKeepChoices&) = delete;
  TKeepChoices& operator=(const TKeepChoices&) = delete;

  int Menus = 0, Unexpected = 0;

 private:
  gui::TAnswerHook FPrevious;
};

// Stands between the capture threads and the workspace: forwards every
// hand-over and lets the test look at the windows right after the result
// panel's refresh, while the capture thread still waits for it.
class TWorkspaceSpy : public TBalancingServices {
 public:
  explicit TWorkspaceSpy(TfBalancing& window) : Window(window) { WindowServices().Balancing = this; }
  ~TWorkspaceSpy() override { WindowServices().Balancing = &Window; }
  TWorkspaceSpy(const TWorkspaceSpy&) = delete;
  TWorkspaceSpy& operator=(const TWorkspaceSpy&) = delete;

  void RefreshResults() override {
    Window.RefreshResults();
    if (AfterRefresh) AfterRefresh();
  }
  void SyncMeasurementDone() override { Window.SyncMeasurementDone(); }
  void AsyncMeasurementDone() override { Window.AsyncMeasurementDone(); }
  void ShowAcquisitionState(uint8_t state) override { Window.ShowAcquisitionState(state); }
  void ShowSamplingProgress(const std::string& caption) override { Window.ShowSamplingProgress(caption); }
  void UpdateOperationStatus() override { Window.UpdateOperationStatus(); }
  void UpdateParamCaptions() override { Window.UpdateParamCaptions(); }
  void ShowNoError() override { Window.ShowNoError(); }
  void ShowNoSpeedSignal() override { Window.ShowNoSpeedSignal(); }
  void LogSpeedSignal(bool lost) override { Window.LogSpeedSignal(lost); }

  std::function<void()> AfterRefresh;

 private:
  TfBalancing& Window;
};

// The same for the oscilloscope: the test reads its read-out right after a
// hand-over refreshed it.
class TScopeSpy : public TTimeGraphServices {
 public:
  explicit TScopeSpy(TfTimeGraph& scope) : Scope(scope) {
    Visible = true;
    WindowServices().TimeGraph = this;
  }
  ~TScopeSpy() override { WindowServices().TimeGraph = &Scope; }
  TScopeSpy(const TScopeSpy&) = delete;
  TScopeSpy& operator=(const TScopeSpy&) = delete;

  void MirrorStatus() override { Scope.MirrorStatus(); }
  void RefreshGraph() override {
    Scope.SolidA = SolidA.load();
    Scope.SolidB = SolidB.load();
    Scope.RefreshGraph();
  }
  void RefreshReadout() override {
    Scope.RefreshReadout();
    if (AfterReadout) AfterReadout();
  }

  std::function<void()> AfterReadout;

 private:
  TfTimeGraph& Scope;
};

// Counts the spectrum thread's hand-overs to the spectrum window.
class TSpectrumSpy : public TSpectrumViewServices {
 public:
  explicit TSpectrumSpy(TfFFTGraph& view) : View(view) {
    Visible = true;
    WindowServices().SpectrumView = this;
  }
  ~TSpectrumSpy() override { WindowServices().SpectrumView = &View; }
  TSpectrumSpy(const TSpectrumSpy&) = delete;
  TSpectrumSpy& operator=(const TSpectrumSpy&) = delete;

  void MirrorStatus() override { View.MirrorStatus(); }
  void PlotSpectrum(bool rescale) override {
    ++Spectra;
    View.SolidA = SolidA.load();
    View.SolidB = SolidB.load();
    View.PlotSpectrum(rescale);
  }
  void RefreshInfoPanel() override { View.RefreshInfoPanel(); }

  int Spectra = 0;

 private:
  TfFFTGraph& View;
};

// Reads the averaging text of the plane diagrams off the paint box: the
// pixels around the text's place are compared with pictures of every text
// the count can take ("AVG: n/N" in red while averaging, in WorkText1 once
// complete, or nothing).
class TAverageReader {
 public:
  TAverageReader(TfBalancing& window, const TZelto& core) : Box(*window.pbPlanes) {
    const int w = Box.Width(), h = Box.Height();
    const bool twoPlanes = core.Type == 1;
    const gui::TPoint at = twoPlanes ? gui::TPoint{w / 2, h - 5} : gui::TPoint{w - 5, h - 5};
    Area = twoPlanes ? gui::TRect{w / 2 - 50, h - 22, w / 2 + 50, h} : gui::TRect{w - 105, h - 22, w, h};
    Candidates.push_back({u"", Picture(core, std::nullopt)});
    for (int32_t n = 1; n <= core.AvgSize; ++n) {
      TDrawOp op;
      op.Kind = dkText;
      op.Text = u"AVG: " + Number(n) + u"/" + Number(core.AvgSize);
      op.Font = frAverage;
      op.Points = {at};
      op.HAlign = twoPlanes ? haCentre : haRight;
      op.VAlign = vaBaseline;
      const std::array<std::pair<uint32_t, std::u16string>, 2> colours = {
          {{0x0000FF, u" red"}, {core.WorkColors[wcWorkText1], u" done"}}};
      for (const auto& [colour, name] : colours) {
        op.TextColor = colour;
        Candidates.push_back({op.Text + name, Picture(core, op)});
      }
    }
  }

  // The text shown now, with " red" or " done" for its colour; "?" when no
  // picture matches.
  std::u16string Shown() {
    const std::vector<gui::TColor> shown = Pixels([this](int x, int y) { return Box.Canvas().Pixel(x, y); });
    for (const auto& [text, picture] : Candidates)
      if (picture == shown) return text;
    return u"?";
  }

 private:
  static std::u16string Number(int32_t n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
  }

  std::vector<gui::TColor> Picture(const TZelto& core, const std::optional<TDrawOp>& text) {
    gui::TBitmap bitmap(Box.Width(), Box.Height());
    gui::TCanvas& canvas = bitmap.Canvas();
    canvas.Brush().Color = core.WorkColors[wcWorkBack];
    canvas.Brush().Style = gui::bsSolid;
    canvas.FillRect(gui::Rect(0, 0, Box.Width(), Box.Height()));
    canvas.SetBkMode(gui::bkTransparent);
    if (text) DrawScene(canvas, {*text});
    return Pixels([&bitmap](int x, int y) { return bitmap.Pixel(x, y); });
  }

  template <typename F>
  std::vector<gui::TColor> Pixels(F pixel) const {
    std::vector<gui::TColor> out;
    for (int y = Area.Top; y < Area.Bottom; ++y)
      for (int x = Area.Left; x < Area.Right; ++x) out.push_back(pixel(x, y));
    return out;
  }

  gui::TPaintBox& Box;
  gui::TRect Area;
  std::vector<std::pair<std::u16string, std::vector<gui::TColor>>> Candidates;
};

std::u16string Caption(const TfBalancing& window, const char* name) {
  auto* label = dynamic_cast<TLabelEx*>(window.FindComponent(name));
  return label ? label->CaptionW() : u"<missing>";
}

// The first row of the two-plane measurement panel and the run table.
struct TRowCaptions {
  std::u16string Speed, AmplitudeA, PhaseA, AmplitudeB, PhaseB;
  friend bool operator==(const TRowCaptions&, const TRowCaptions&) = default;
};

TRowCaptions Shown(const TfBalancing& window) {
  return {Caption(window, "leFreq1"), Caption(window, "leAmplitude2D1A"), Caption(window, "lePhase2D1A"),
          Caption(window, "leAmplitude2D1B"), Caption(window, "lePhase2D1B")};
}

// What the row shows for run 0 as the core holds it (inside a hand-over,
// where the capture thread waits).
TRowCaptions Expected(const TZelto& core) {
  const MeasurementResult& run = core.Results[0];
  return {TZelto::FormatNumber(core.SpeedDisplayMode == 1 ? run.Freq : run.Freq * 60),
          core.FormatAmplitude(run.Meas.AmplA, run.Freq, core.AmplDisplayMode, core.VibValueType, 0),
          core.FormatPhase(run.Meas.PhA, core.AmplDisplayMode, 0),
          core.FormatAmplitude(run.Meas.AmplB, run.Freq, core.AmplDisplayMode, core.VibValueType, 1),
          core.FormatPhase(run.Meas.PhB, core.AmplDisplayMode, 1)};
}

// What a window showed after a user's command, and how many hand-overs had
// run by then.
template <typename T>
struct TObservation {
  size_t HandOvers = 0;
  T Shown;
};

// A value shown between hand-overs k and k + 1 belongs to reading k (handed
// over) or k + 1 (evaluated, its hand-over on the way).
template <typename T>
void ExpectFinishedReadings(const std::vector<TObservation<T>>& seen, const std::vector<T>& handedOver,
                            const char* what) {
  for (const TObservation<T>& o : seen) {
    if (o.HandOvers == 0) continue;
    const bool last = o.Shown == handedOver[o.HandOvers - 1];
    const bool next = o.HandOvers < handedOver.size() && o.Shown == handedOver[o.HandOvers];
    EXPECT_TRUE(last || next) << what << " after hand-over " << o.HandOvers << " of " << handedOver.size();
  }
}

class CaptureWindows : public WorkspaceViews {
 protected:
  void SetUp() override {
    WorkspaceViews::SetUp();
    Core->WorkColors = DefaultWorkColors;
    Window->RefreshResults();
  }

  // With the oscilloscope open and `log` as the day's log, Start runs into
  // the blocked transfer of a testsupport::TBlockingTransfer; false when it
  // never got there.
  bool StartCaptureIntoABlockedTransfer(TfLog& log) {
    Window->Log = &log;
    Window->bOscilloscope->Click();
    Window->bStartStop->Click();
    return ServeUntil([] { return testsupport::TBlockingTransfer::InTransfer.load(); });
  }

  // Serves the threads' hand-overs and the window's messages, running one
  // user command of `commands` (in turn) between any two, until done(); a
  // limit far beyond the work, stretched by a sanitizer's slowdown.
  bool Drive(const std::vector<std::function<void()>>& commands, const std::function<bool()>& done) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60) * testsupport::kSanitizerSlowdown;
    for (size_t i = 0; !done(); ++i) {
      if (std::chrono::steady_clock::now() > limit) return false;
      gui::Application->ProcessMessages();
      rtl::CheckSynchronize(1);
      commands[i % commands.size()]();
    }
    return true;
  }
};

size_t Occurrences(std::u16string_view text, std::u16string_view part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::u16string_view::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// A one-plane job with a rotor at its correction, a log, and the scripted
// device: 10 revolutions in 4096 samples at 10 kHz read 24.4 Hz, within 5 %
// of the speed of the job's runs.
class CaptureReadings : public WorkspaceViews {
 protected:
  void SetUp() override {
    WorkspaceViews::SetUp();
    OpenLog();
    Core->Rotor = {1, 100, 100, 300, 0, 0, 1, 1, 20, 50, 6};
    MarkMeasured(*Core, 0, 200, 1.0);
    MarkMeasured(*Core, 1, 300, 2.0);
    Core->EvaluateCapture(0, RunCorrection);
    Core->BalancingStep = Core->HighestStep = RunCorrection;
    Window->RefreshResults();
  }
  void TearDown() override {
    WorkspaceViews::TearDown();
    Log.reset();
  }
  void PrepareCore() override {
    WorkspaceViews::PrepareCore();
    const TScriptedDevice device(*Core);  // binds the core's driver table
    Core->Type = 0;
    Core->SpeedTolerance = 3;
  }

  void OpenLog() {
    Log = std::make_unique<TfLog>(nullptr);
    Window->Log = Log.get();
  }
  // A program start from the automatic pair, as the start-up does it; the
  // sensors are chosen again (the job's are not in the sensor folder).
  void RestartFromTheAutomaticPair() {
    Window->Log = nullptr;
    StopProgram();
    Log.reset();
    StartProgram();
    ASSERT_EQ(Core->LoadSession(), TZelto::sfrDone);
    OpenLog();
    Window->ShowAfterStart(Core->BalancingStep);
    Core->VibSensorA.Sensitivity = Core->VibSensorB.Sensitivity = 100;
  }

  std::u16string LogText() const { return ReadLogDayFile(Log->LogPath).value_or(u""); }
  std::u16string ErrorLine() const { return Window->leError->CaptionW(); }
  size_t Drawn(const std::function<bool(const TDrawOp&)>& select) { return DrawnOps(*Window, *Core, select); }

  std::unique_ptr<TfLog> Log;
};

}  // namespace

// A balancing capture averaging four readings while the result panel's
// menus refresh it, the plane diagrams repaint and zoom, the spectrum's
// read-out and cursor are used and the oscilloscope is opened: every hand-over paints the diagrams at once, so
// they count the reading the panel shows ("AVG: 1/4" ... "AVG: 4/4" in red,
// then "AVG: 4/4" complete); whatever the menus show in between belongs to
// a finished reading.
TEST_F(CaptureWindows, AveragingCountAndValuesFollowTheReadingsWhileTheMenusRefresh) {
  Core->AvgSize = 4;
  constexpr size_t Readings = 7, Observations = 30;
  TKeepChoices choices;
  TAverageReader average(*Window, *Core);
  EXPECT_EQ(average.Shown(), u"");
  TWorkspaceSpy spy(*Window);
  std::vector<std::u16string> counts;
  std::vector<TRowCaptions> handedOver;
  spy.AfterRefresh = [&] {
    counts.push_back(average.Shown());
    handedOver.push_back(Expected(*Core));
    EXPECT_EQ(Shown(*Window), handedOver.back()) << "hand-over " << handedOver.size();
  };
  std::vector<TObservation<TRowCaptions>> seen;
  std::vector<TObservation<std::u16string>> seenCounts;
  const auto observe = [&] {
    seen.push_back({handedOver.size(), Shown(*Window)});
    seenCounts.push_back({handedOver.size(), average.Shown()});
    if (handedOver.size() >= Readings && seen.size() >= Observations) RequestCaptureStop();
  };
  const std::vector<std::function<void()>> commands = {
      [&] {
        gui::SimClick(*Window->pbPlanes, 40, 40);
        observe();
      },
      [&] {
        Window->bDirValue->Click();
        observe();
      },
      [&] {
        Window->bFreqUnit->Click();
        observe();
      },
      [&] {
        Window->bAmplUnit2DA->Click();
        observe();
      },
      [&] {
        Window->bCorrectionMassValue->Click();
        observe();
      },
      [&] { Window->bZoomIn->Click(); },
      [&] {
        Window->pbPlanes->Repaint();
        observe();
      },
      [&] { Window->bZoomAll->Click(); },
      [&] {
        // The oscilloscope opened in the middle of the capture.
        if (!fTimeGraph) Window->bOscilloscope->Click();
      },
      // The spectrum's read-out of cursor T, at the run's revolutions.
      [&] { fFFTGraph->bMeasCur[0]->Click(); },
      [&] {
        gui::SimMouseDown(*fFFTGraph->pbFFT, gui::mbLeft, fFFTGraph->Plot->MarginLeft + 60, 60);
        gui::SimMouseUp(*fFFTGraph->pbFFT, gui::mbLeft, fFFTGraph->Plot->MarginLeft + 60, 60);
      },
  };

  Window->bSpectrum->Click();
  ASSERT_NE(fFFTGraph, nullptr);
  Window->bStartStop->Click();
  ASSERT_TRUE(Core->Measuring);
  ASSERT_TRUE(Drive(commands, [&] { return !BalThread && !Core->Measuring; }));

  ASSERT_GE(handedOver.size(), Readings);
  ASSERT_GE(seen.size(), Observations);
  std::vector<std::u16string> expected = {u"AVG: 1/4 red", u"AVG: 2/4 red", u"AVG: 3/4 red", u"AVG: 4/4 red"};
  expected.resize(counts.size(), u"AVG: 4/4 done");
  EXPECT_EQ(counts, expected);
  ExpectFinishedReadings(seen, handedOver, "result panel");
  // Between two hand-overs the diagrams count the reading just shown or
  // the one under way.
  for (const TObservation<std::u16string>& o : seenCounts) {
    if (o.HandOvers == 0) continue;
    const auto count = [&](size_t k) {
      return u"AVG: " + std::u16string(1, static_cast<char16_t>(u'0' + std::min<size_t>(k, 4))) + u"/4";
    };
    EXPECT_TRUE(o.Shown.starts_with(count(o.HandOvers)) || o.Shown.starts_with(count(o.HandOvers + 1)))
        << "after hand-over " << o.HandOvers;
  }
  EXPECT_GT(choices.Menus, 0);
  EXPECT_EQ(choices.Unexpected, 0);
  ASSERT_NE(fTimeGraph, nullptr);
  EXPECT_TRUE(fTimeGraph->WindowVisible());
}

// A free-running capture with both views open while their read-outs,
// cursors, zoom and popups are used: the oscilloscope's measurement over
// the record (peak to peak) always shows the statistics of one finished
// capture, and the spectrum window keeps computing beside it.
TEST_F(CaptureWindows, ViewsInUseDuringAFreeRunningCaptureShowFinishedCaptures) {
  Window->bOscilloscope->Click();
  Window->bSpectrum->Click();
  ASSERT_TRUE(fTimeGraph && fFFTGraph);
  TKeepChoices choices;
  fTimeGraph->MeasType = 'P';
  fTimeGraph->RefreshReadout();
  TScopeSpy spy(*fTimeGraph);
  TSpectrumSpy spectra(*fFFTGraph);
  std::vector<std::u16string> handedOver;
  spy.AfterReadout = [&] { handedOver.push_back(fTimeGraph->bMeasValA->CaptionW()); };
  std::vector<TObservation<std::u16string>> seen;
  constexpr size_t Captures = 12, Observations = 60;
  // Once the capture has ended the trace is what its thread left in the
  // live buffers, and the read-out is that trace's, handed over or not.
  const auto observe = [&] {
    if (Core->Measuring) seen.push_back({handedOver.size(), fTimeGraph->bMeasValA->CaptionW()});
    if (handedOver.size() >= Captures && seen.size() >= Observations && spectra.Spectra > 0) RequestCaptureStop();
  };
  TfTimeGraph& scope = *fTimeGraph;
  TfFFTGraph& spectrum = *fFFTGraph;
  const int plotX = scope.Plot->MarginLeft + 120, plotY = 60;
  const std::vector<std::function<void()>> commands = {
      [&] {
        gui::SimMouseDown(*scope.pbAnalog, gui::mbLeft, plotX, plotY);
        gui::SimMouseUp(*scope.pbAnalog, gui::mbLeft, plotX, plotY);
        observe();
      },
      [&] {
        scope.bCurPos1Label->Click();
        observe();
      },
      [&] {
        scope.bMeasType->Click();
        observe();
      },
      [&] {
        scope.bVoltValue1->Click();
        observe();
      },
      [&] {
        scope.bVoltCh1->Click();
        observe();
      },
      [&] {
        scope.bZoomInX->Click();
        observe();
      },
      [&] {
        scope.bZoomAll->Click();
        observe();
      },
      [&] {
        gui::SimMouseDown(*spectrum.pbFFT, gui::mbLeft, spectrum.Plot->MarginLeft + 80, 60);
        gui::SimMouseUp(*spectrum.pbFFT, gui::mbLeft, spectrum.Plot->MarginLeft + 80, 60);
      },
      [&] { spectrum.bMeasCur[1]->Click(); },
      [&] { spectrum.bRmsType->Click(); },
      [&] { spectrum.bWindowType->Click(); },
      [&] { spectrum.bDisplayChannels->Click(); },
      [&] { spectrum.bLogLin->Click(); },
      [&] { spectrum.bLogLin->Click(); },
  };

  scope.bStartStop->Click();
  ASSERT_TRUE(Core->Measuring);
  ASSERT_TRUE(Core->AsyncMode);
  ASSERT_TRUE(Drive(commands, [&] { return !VibThread && !Core->Measuring; }));

  ASSERT_GE(handedOver.size(), Captures);
  ASSERT_GE(seen.size(), Observations);
  ExpectFinishedReadings(seen, handedOver, "peak to peak");
  // The captures differ, so a value of one capture is told from another's.
  EXPECT_GT(std::set<std::u16string>(handedOver.begin(), handedOver.end()).size(), Captures / 2);
  EXPECT_GT(choices.Menus, 0);
  EXPECT_EQ(choices.Unexpected, 0);
  EXPECT_EQ(scope.bStartStop->CaptionW(), Forms(u"Start"));
}

// Yes to the exit question while a balancing capture runs, the spectrum
// computing beside it: the capture ends (with its end hand-over, while the
// views still exist) before the views go, and nothing runs afterwards.
TEST_F(CaptureWindows, ClosingTheWorkspaceInTheMiddleOfABalancingCaptureStopsItFirst) {
  Window->bOscilloscope->Click();
  Window->bSpectrum->Click();
  ASSERT_TRUE(fTimeGraph && fFFTGraph);
  TWorkspaceSpy spy(*Window);
  int refreshes = 0;
  spy.AfterRefresh = [&] { ++refreshes; };
  Window->bStartStop->Click();
  ASSERT_TRUE(ServeUntil([&] { return refreshes >= 2; }));
  ASSERT_NE(BalThread, nullptr);
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, ExitAnswer(true));
  Window->Close();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_EQ(BalThread, nullptr);
  EXPECT_EQ(Core->Measuring, 0);
  EXPECT_EQ(fTimeGraph, nullptr);
  EXPECT_EQ(fFFTGraph, nullptr);
  EXPECT_EQ(SpectrumThread, nullptr);
  // The capture's end hand-over ran: the workspace is idle again.
  EXPECT_EQ(Window->bStartStop->CaptionW(), Forms(u"Start"));
  EXPECT_TRUE(Core->Results[0].Valid);
}

// The same with the free-running capture of the views.
TEST_F(CaptureWindows, ClosingTheWorkspaceInTheMiddleOfAFreeRunningCaptureStopsItFirst) {
  Window->bOscilloscope->Click();
  Window->bSpectrum->Click();
  ASSERT_TRUE(fTimeGraph && fFFTGraph);
  fTimeGraph->bStartStop->Click();
  ASSERT_TRUE(ServeUntil([&] {
    return Core->SpectrumReady && fTimeGraph->leStatus->CaptionW() == Forms(u"StateAsyncSampling");
  }));
  ASSERT_NE(VibThread, nullptr);
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, ExitAnswer(true));
  Window->Close();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_EQ(VibThread, nullptr);
  EXPECT_EQ(Core->Measuring, 0);
  EXPECT_EQ(fTimeGraph, nullptr);
  EXPECT_EQ(fFFTGraph, nullptr);
  EXPECT_EQ(SpectrumThread, nullptr);
}

// Close while the device's transfer does not end: while the stop is awaited
// the workspace serves its events (a call queued before the close runs) and
// shows that the capture is stopping; the wait gives up at its limit and
// says so in the log. The views go; the capture, released afterwards, ends
// on its own through its end hand-over.
TEST_F(CaptureWindows, ClosingDuringABlockedTransferServesTheWindowAndGivesUpAtTheLimit) {
  testsupport::TBlockingTransfer device(*Core);
  TfLog log(nullptr);
  ASSERT_TRUE(StartCaptureIntoABlockedTransfer(log));
  bool servedWhileWaiting = false;
  std::u16string statusWhileWaiting;
  gui::TApplication::Queue([&] {
    servedWhileWaiting = BalThread != nullptr;
    statusWhileWaiting = Window->leStatus->CaptionW();
  });
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, ExitAnswer(true));
  Window->Close();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(servedWhileWaiting);
  EXPECT_EQ(statusWhileWaiting, Forms(u"StateStopping"));
  EXPECT_NE(BalThread, nullptr);
  EXPECT_EQ(fTimeGraph, nullptr);
  const std::optional<std::u16string> entries = ReadLogDayFile(log.LogPath);
  ASSERT_TRUE(entries);
  EXPECT_NE(entries->find(u"The capture did not stop within 5 s: it is left to end on its own"), std::u16string::npos);
  Window->Log = nullptr;
  device.Release();
  EXPECT_TRUE(ServeUntilIdle());
}

// The program's exit while the device's transfer does not end, in the order
// the program runs it: the workspace's close, the shutdown's wait (as
// TStartup::Shutdown makes it; the start-up suite runs the shutdown itself),
// then the workspace's destruction at the application's end. Only the close
// waits, one limit; the capture is reported left once. What waits shows in
// what it serves, while the transfer stays shut: the shutdown's wait serves
// nothing and shows nothing, and the destruction serves no hand-over that
// another thread keeps queued all through it.
TEST_F(CaptureWindows, ExitDuringABlockedTransferWaitsTheLimitOnceThroughCloseShutdownAndDestruction) {
  testsupport::TBlockingTransfer device(*Core);
  TfLog log(nullptr);
  ASSERT_TRUE(StartCaptureIntoABlockedTransfer(log));
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, ExitAnswer(true));
  int shutdownReports = 0, shutdownWaits = 0;
  TCaptureStopWait shutdown;
  shutdown.ReportLeft = [&shutdownReports] { ++shutdownReports; };
  shutdown.ShowStopping = [&shutdownWaits] { ++shutdownWaits; };
  shutdown.ServeWindow = [&shutdownWaits] { ++shutdownWaits; };
  Window->Close();
  EXPECT_FALSE(StopCaptureAndWait(shutdown));
  testsupport::TSynchronizeProbe destruction;
  delete Window;
  Window = nullptr;
  EXPECT_EQ(destruction.End(), 0);
  EXPECT_EQ(shutdownWaits, 0);
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_EQ(shutdownReports, 0);
  EXPECT_NE(BalThread, nullptr);
  const std::optional<std::u16string> entries = ReadLogDayFile(log.LogPath);
  ASSERT_TRUE(entries);
  EXPECT_EQ(Occurrences(*entries, u"The capture did not stop within 5 s"), 1u);
  device.Release();
  EXPECT_TRUE(ServeUntilIdle());
}

// --- readings ------------------------------------------------------------------

// Start after the correction goes on to trim run 1 (run 4), whose capture
// ends on a device error before its first reading: the run stays as it was
// (no reading, no result in the log, which says why instead), the step
// stays, and after a restart the run draws no vector and no verdict and
// offers no total.
TEST_F(CaptureReadings, ACaptureEndingWithoutAReadingLeavesTheRunUnmeasuredAfterARestart) {
  const size_t logged = LogText().size();
  TScriptedDevice::FailNext = true;
  Window->bStartStop->Click();
  ASSERT_TRUE(ServeUntilIdle());
  EXPECT_EQ(Core->BalancingStep, 4);
  EXPECT_EQ(Core->Results[4].Valid, 0);
  EXPECT_EQ(ErrorLine(), TScriptedDevice::ErrorText);
  const std::u16string log = LogText().substr(logged);
  EXPECT_EQ(Occurrences(log, TScriptedDevice::ErrorText), 1u);
  EXPECT_EQ(Occurrences(log, u"Tunning"), 0u);

  RestartFromTheAutomaticPair();
  ASSERT_EQ(Core->BalancingStep, 4);
  EXPECT_EQ(Core->Results[4].Valid, 0);
  EXPECT_EQ(Drawn(IsoVerdict), 0u);
  EXPECT_EQ(Drawn(VectorLine), 0u);
  EXPECT_FALSE(Window->bTotalMass->Enabled());
}

// Captures without speed pulses (no whole revolution) are no reading: the
// error line and the log say "No speed signal" (the log once), nothing is
// stored or logged as a result, also after a restart, and the capture goes
// on: the first capture with pulses counts without a new Start.
TEST_F(CaptureReadings, CapturesWithoutSpeedPulsesSayNoSpeedSignalAndTheFirstWithPulsesCounts) {
  const size_t logged = LogText().size();
  TScriptedDevice::Revolutions = 0;
  Window->bStartStop->Click();
  ASSERT_TRUE(ServeUntil([this] { return Occurrences(LogText(), u"No speed signal") > 0; }));
  const int captures = TScriptedDevice::Captures;
  ASSERT_TRUE(ServeUntil([captures] { return TScriptedDevice::Captures > captures + 3; }));
  EXPECT_TRUE(Core->Measuring);
  EXPECT_EQ(ErrorLine(), Forms(u"SpeedError"));
  Window->bStartStop->Click();
  ASSERT_TRUE(ServeUntilIdle());
  std::u16string log = LogText().substr(logged);
  EXPECT_EQ(Occurrences(log, u"No speed signal"), 1u);
  EXPECT_EQ(Occurrences(log, u"Tunning"), 0u);
  EXPECT_EQ(Occurrences(log, u"Impossible capture window"), 0u);
  EXPECT_EQ(Core->Results[4].Valid, 0);
  EXPECT_EQ(Core->Captures[4].T, 0);

  RestartFromTheAutomaticPair();
  ASSERT_EQ(Core->BalancingStep, 4);
  EXPECT_EQ(Core->Results[4].Valid, 0);
  EXPECT_EQ(Drawn(IsoVerdict), 0u);
  EXPECT_EQ(Drawn(VectorLine), 0u);

  TScriptedDevice::Revolutions = 0;
  const size_t restarted = LogText().size();
  Window->bStartStop->Click();
  ASSERT_TRUE(ServeUntil([this] { return ErrorLine() == Forms(u"SpeedError"); }));
  EXPECT_EQ(Core->CaptureReadings, 0);
  TScriptedDevice::Revolutions = 10;
  ASSERT_TRUE(ServeUntil([this] { return Core->CaptureReadings > 0; }));
  ASSERT_TRUE(ServeUntil([this] { return ErrorLine() == Forms(u"NoError"); }));
  Window->bStartStop->Click();
  ASSERT_TRUE(ServeUntilIdle());
  EXPECT_EQ(Core->Results[4].Valid, 1);
  EXPECT_DOUBLE_EQ(Core->Results[4].Freq, 10 * 10000 / 4096.0);
  EXPECT_GT(Drawn(IsoVerdict), 0u);
  log = LogText().substr(restarted);
  EXPECT_EQ(Occurrences(log, u"No speed signal"), 1u);
  EXPECT_EQ(Occurrences(log, u"Tunning 5:"), 1u);
}

// A run's first capture that ends without a counted reading (no speed
// pulses, then Stop) gives the run no samples: neither the session nor the
// oscilloscope holds any, also after a restart, where the run reads "-".
TEST_F(CaptureReadings, AFailedFirstCaptureLeavesTheRunWithoutSamplesAfterARestart) {
  ASSERT_TRUE(Core->Captures[4].DataA.empty());
  TScriptedDevice::Revolutions = 0;
  Window->bStartStop->Click();
  ASSERT_TRUE(ServeUntil([this] { return ErrorLine() == Forms(u"SpeedError"); }));
  Window->bStartStop->Click();
  ASSERT_TRUE(ServeUntilIdle());
  ASSERT_EQ(Core->BalancingStep, 4);
  EXPECT_TRUE(Core->Captures[4].DataA.empty());

  RestartFromTheAutomaticPair();
  ASSERT_EQ(Core->BalancingStep, 4);
  EXPECT_EQ(Core->Results[4].Valid, 0);
  EXPECT_TRUE(Core->Captures[4].DataA.empty());
  Window->bOscilloscope->Click();
  ASSERT_NE(fTimeGraph, nullptr);
  EXPECT_EQ(fTimeGraph->bMeasValA->CaptionW(), u"-");
  // The runs measured before keep their samples and read as before.
  Core->BalancingStep = 1;
  Core->Captures[1].DataA = Sine(Core->BuffLength, 10, 1000);
  Core->Captures[1].End = Core->BuffLength;
  Core->Captures[1].T = 10;
  Core->ConvertSamples();
  fTimeGraph->RefreshGraph();
  fTimeGraph->RefreshReadout();
  EXPECT_NE(fTimeGraph->bMeasValA->CaptionW(), u"-");
}

// A loose mark: every other capture finds no revolution. However long it
// flickers, the log holds the loss and the return at most once each per
// TSpeedSignalLog::MinGapMs of the capture clock (a few a minute), and
// every capture without a revolution is followed by a pause of a capture's
// duration on that clock before the next one.
TEST_F(CaptureReadings, AFlickeringSpeedSignalIsLoggedSeldomAndItsCapturesArePaced) {
  const size_t logged = LogText().size();
  TScriptedDevice::Flicker = true;
  const uint32_t startMs = Clock.Now;
  Window->bStartStop->Click();
  ASSERT_TRUE(ServeUntil([] { return TScriptedDevice::Captures >= 60; }));
  Window->bStartStop->Click();
  ASSERT_TRUE(ServeUntilIdle());
  const int withoutRevolution = TScriptedDevice::Captures / 2;
  const uint32_t elapsedMs = Clock.Now - startMs;
  const uint32_t pauseMs = NoRevolutionPauseMs(Core->BuffLength, Core->DriverSamplingFrequency());
  EXPECT_GT(pauseMs, 0u);
  // The last one may have been stopped in its pause.
  EXPECT_GE(elapsedMs, static_cast<uint32_t>(withoutRevolution - 1) * pauseMs);
  const std::u16string log = LogText().substr(logged);
  const size_t losses = Occurrences(log, u"No speed signal"), returns = Occurrences(log, u"Speed signal back");
  EXPECT_GE(losses, 1u);
  EXPECT_GE(returns, 1u);
  const size_t gaps = elapsedMs / TSpeedSignalLog::MinGapMs + 1;
  EXPECT_LE(losses, gaps);
  EXPECT_LE(returns, gaps);
  EXPECT_GT(Core->CaptureReadings, 0);
}

// At the initial run with run 1 measured, a new sampling rate in the set-up
// would delete the run: OK asks first, naming it. No keeps the run, its
// samples and the rate (also after a restart) and the dialog open; Yes
// deletes it, and the log names what was deleted.
TEST_F(CaptureReadings, ASamplingRateChangeAfterAMeasuredRunAsksFirstNamingTheRun) {
  Core->ClearMeasurements();
  Window->RefreshResults();
  Window->bStartStop->Click();
  ASSERT_TRUE(ServeUntil([this] { return Core->CaptureReadings > 0; }));
  Window->bStartStop->Click();
  ASSERT_TRUE(ServeUntilIdle());
  ASSERT_EQ(Core->Results[0].Valid, 1);
  ASSERT_EQ(Core->BalancingStep, 0);
  ASSERT_EQ(Core->HighestStep, 0);
  const std::vector<int32_t> samples = Core->Captures[0].DataA;
  ASSERT_FALSE(samples.empty());
  const int32_t rate = Core->SamplingRate;
  const std::u16string run1 = Forms(u"Measurement") + u" 1";
  const auto changeRate = [&](int answer) {
    gui::TAnswerScript script;
    script.ExpectAction(gui::dkModalForm, [&](const gui::TDialogRequest& r) {
      auto* dialog = dynamic_cast<TfConfig*>(r.Form);
      EXPECT_NE(dialog, nullptr);
      if (!dialog) return std::optional<gui::TDialogAnswer>();
      script.ExpectAction(gui::dkModalForm, MessageAnswer(mkWarning, SetupClearingQuestion(run1), answer));
      EXPECT_TRUE(dialog->cbSamplingRate->Enabled());
      dialog->cbSamplingRate->SetItemIndex(rate + 1);
      dialog->cbSamplingRateChange(dialog->cbSamplingRate);
      dialog->bOKClick(dialog->bOK);
      if (answer != gui::mrYes) {
        EXPECT_TRUE(dialog->Visible()) << "No goes back to the dialog";
        dialog->bCancel->Click();
      }
      return std::optional<gui::TDialogAnswer>();
    });
    Window->bSetup->Click();
    EXPECT_EQ(script.Pending(), 0u);
    EXPECT_TRUE(script.Unexpected().empty());
  };
  const auto expectKept = [&] {
    EXPECT_EQ(Core->SamplingRate, rate);
    EXPECT_EQ(Core->Results[0].Valid, 1);
    EXPECT_EQ(Core->Captures[0].DataA, samples);
  };

  size_t logged = LogText().size();
  changeRate(gui::mrNo);
  expectKept();
  EXPECT_EQ(Occurrences(LogText().substr(logged), Forms(u"SetupClearsRuns")), 0u);
  RestartFromTheAutomaticPair();
  expectKept();

  logged = LogText().size();
  changeRate(gui::mrYes);
  EXPECT_EQ(Core->SamplingRate, rate + 1);
  EXPECT_EQ(Core->Results[0].Valid, 0);
  EXPECT_TRUE(Core->Captures[0].DataA.empty());
  const std::u16string log = LogText().substr(logged);
  EXPECT_EQ(Occurrences(log, Forms(u"SetupClearsRuns") + u"\r\n\t" + run1), 1u) << rtl::Utf16ToUtf8(log);
  RestartFromTheAutomaticPair();
  EXPECT_EQ(Core->Results[0].Valid, 0);
  EXPECT_EQ(Core->SamplingRate, rate + 1);
}

// In demo mode a buffer shorter than one revolution of the demo's rotor
// holds no revolution either: Start on a measured check run, answered Yes,
// counts nothing, the run keeps its window, samples and values, and the
// error line and the log say "No speed signal" instead of a result.
TEST_F(CaptureReadings, ADemoCaptureShorterThanARevolutionLeavesTheMeasuredRun) {
  Core->DeviceReady = 0;
  Core->SamplingRate = 0;  // 200 kHz: a revolution of the demo's rotor takes 4020 samples
  Core->BuffLength = 1024;
  MarkMeasured(*Core, 4, 150, 0.5);
  Core->EvaluateCapture(0, RunCorrection);
  CaptureRecord& run = Core->Captures[4];
  run.DataA.assign(1024, 5);
  run.T = 1;
  run.End = 1000;
  const std::vector<int32_t> samples = run.DataA;
  const MeasurementResult before = Core->Results[4];
  Core->BalancingStep = Core->HighestStep = 4;
  Window->RefreshResults();
  const size_t logged = LogText().size();

  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm,
                      MessageAnswer(mkWarning, LangText({u"Forms", u"ReplyMeasurement"}).Text, gui::mrYes));
  Window->bStartStop->Click();
  EXPECT_EQ(script.Pending(), 0u);
  ASSERT_TRUE(ServeUntil([this] { return Occurrences(LogText(), u"No speed signal") > 0 || Core->CaptureReadings > 0; }));
  EXPECT_TRUE(Core->Measuring);
  EXPECT_EQ(ErrorLine(), Forms(u"SpeedError"));
  Window->bStartStop->Click();
  ASSERT_TRUE(ServeUntilIdle());
  EXPECT_EQ(Core->CaptureReadings, 0);
  EXPECT_EQ(run.T, 1);
  EXPECT_EQ(run.End, 1000);
  EXPECT_EQ(run.DataA, samples);
  const MeasurementResult& after = Core->Results[4];
  EXPECT_EQ(after.Valid, 1);
  EXPECT_EQ(after.Meas.AmplA, before.Meas.AmplA);
  EXPECT_EQ(after.Meas.PhA, before.Meas.PhA);
  EXPECT_EQ(after.Freq, before.Freq);
  const std::u16string log = LogText().substr(logged);
  EXPECT_EQ(Occurrences(log, u"No speed signal"), 1u);
  EXPECT_EQ(Occurrences(log, u"Tunning"), 0u);
}
