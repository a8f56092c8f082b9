// The workspace with its signal views on the offscreen platform: opening the
// windows from the buttons and keys, a free-running demo capture started and
// stopped from the oscilloscope, the views' buttons during a balancing
// capture, and closing the workspace with the views open.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "answerhook.h"
#include "application.h"
#include "captureclock.h"
#include "capturethreads.h"
#include "formbalancing.h"
#include "formconfig.h"
#include "formfftgraph.h"
#include "formmessage.h"
#include "formtimegraph.h"
#include "languageservice.h"
#include "synchronize.h"
#include "zelto.h"

namespace {

// Sleeps of the demo capture return at once.
class TInstantClock : public TCaptureClock {
 public:
  void Sleep(uint32_t ms) override { Now += ms; }
  uint32_t GetTickCount() override { return Now; }
  std::atomic<uint32_t> Now{0};
};

const std::vector<int32_t> Clocks{200000, 100000, 50000, 20000, 10000, 5000, 2000, 1000, 500, 200, 100, 50, 20};
const std::vector<int32_t> Gains{2500, 1000, 500};

int32_t Item(const std::vector<int32_t>& table, int32_t selector) {
  const int32_t i = selector - SARTEL_SELECT_ENTRY;
  if (selector == 0x100) return static_cast<int32_t>(table.size());
  return i >= 0 && i < static_cast<int32_t>(table.size()) ? table[static_cast<size_t>(i)] : 0;
}
int32_t ClockItems(int32_t selector) { return Item(Clocks, selector); }
int32_t GainItems(int32_t selector) { return Item(Gains, selector); }
int32_t ConfigItems(int32_t selector) { return selector == SARTEL_SELECT_ENTRY ? 32768 : 0; }
// Stands for the loaded library: the item queries need a module.
int DriverModuleStandIn = 0;

std::u16string Forms(std::u16string_view key) { return LangText({u"Forms", key}).Text; }

// A sine of `cycles` periods over the record, `amplitude` counts.
std::vector<int32_t> Sine(int32_t length, double cycles, double amplitude) {
  std::vector<int32_t> s(static_cast<size_t>(length));
  for (int32_t i = 0; i < length; ++i)
    s[static_cast<size_t>(i)] = static_cast<int32_t>(std::lround(amplitude * std::sin(2 * M_PI * cycles * i / length)));
  return s;
}

// Answers the exit question by its button: Yes is the left one, No the right.
gui::TAnswerScript::TAction ExitAnswer(bool yes) {
  return [yes](const gui::TDialogRequest& r) {
    auto* box = dynamic_cast<TfMessage*>(r.Form);
    EXPECT_TRUE(box && box->Kind == mkQuestion && box->MessageText == Forms(u"ExitMessage"));
    if (box) (yes ? box->bButton2 : box->bButton1)->Click();
    return std::optional<gui::TDialogAnswer>();
  };
}

class WorkspaceViews : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "zelto-views-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    Folder = pattern;
    setenv("XDG_DATA_HOME", Folder.c_str(), 1);
    Core = std::make_unique<TZelto>();
    TheCore = Core.get();
    Core->DriverModule = &DriverModuleStandIn;
    Core->DriverApi.GetClockItems = &ClockItems;
    Core->DriverApi.GetGainItems = &GainItems;
    Core->DriverApi.GetConfigItems = &ConfigItems;
    Core->DeviceReady = 0;
    Core->RamSize = 16384;
    Core->BuffLength = 4096;
    Core->SamplingRate = 4;
    Core->Type = 1;
    for (SensorInfo* s : {&Core->VibSensorA, &Core->VibSensorB}) {
      s->Sensitivity = 100;
      s->Type = stAcceleration;
      s->InputGain = 1.0;
    }
    SetCaptureClock(&Clock);
    Window = new TfBalancing(nullptr);
    Window->Show();
  }

  void TearDown() override {
    StopCaptureAndWait();
    delete Window;
    EXPECT_EQ(fTimeGraph, nullptr);
    EXPECT_EQ(fFFTGraph, nullptr);
    SetCaptureClock(nullptr);
    Core.reset();
    TheCore = nullptr;
    std::error_code ignored;
    std::filesystem::remove_all(Folder, ignored);
  }

  // Serves Synchronize until the condition holds (at most 20 s).
  static bool ServeUntil(const std::function<bool()>& condition) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!condition()) {
      if (std::chrono::steady_clock::now() > limit) return false;
      rtl::CheckSynchronize(5);
    }
    return true;
  }

  bool ServeUntilIdle() {
    return ServeUntil([this] { return !BalThread && !VibThread && !Core->Measuring; });
  }

  void Key(gui::TVirtualKey key, gui::TShiftState shift = {}) { Window->FormKeyDown(Window, key, shift); }

  std::string Folder;
  std::unique_ptr<TZelto> Core;
  TInstantClock Clock;
  TfBalancing* Window = nullptr;
};

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
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
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

// A spectrum computation that the set-up command aborted is started again
// when the dialog closes.
TEST_F(WorkspaceViews, SetupRecomputesTheAbortedSpectrum) {
  Core->AmplDisplayMode = admVoltage;  // the display holds counts
  Core->Captures[0].DataA = Sine(4096, 100, 10000);
  Core->Captures[0].DataB = Sine(4096, 50, 5000);
  Core->ConvertSamples();
  Window->bSpectrum->Click();
  ASSERT_TRUE(fFFTGraph);
  ASSERT_TRUE(ServeUntil([] { return fFFTGraph->Plot->DataA && fFFTGraph->DisplayA[100] > 9000; }));
  // The thread waits for work; its spectrum is emptied and the core is told
  // a computation runs, which the set-up command aborts.
  std::fill(Core->SpectrumA.begin(), Core->SpectrumA.end(), std::complex<double>());
  Core->SpectrumBusy = 1;
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, [](const gui::TDialogRequest& r) {
    auto* dialog = dynamic_cast<TfConfig*>(r.Form);
    EXPECT_NE(dialog, nullptr);
    if (dialog) dialog->bCancelClick(dialog->bCancel);
    return std::optional<gui::TDialogAnswer>();
  });
  Window->bSetup->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_FALSE(Core->SpectrumBusy);
  EXPECT_TRUE(ServeUntil([] { return fFFTGraph->DisplayA[100] > 9000; }));
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
