// The whole program, headless: it starts from a program folder with the
// real driver library and the English language file, the language choice
// (and in demo mode the demo question) are answered through the scripted
// hook, the workspace runs one capture with a prepared sensor pair, and
// closing it shuts the program down.
//
// Built three times: from the build's program folder in demo mode, writing
// the pictures of the start-up window and of the workspace after the
// capture; with PROGRAM_TEST_COMMA_LOCALE the same for a user whose locale
// writes numbers with a decimal comma; and with PROGRAM_TEST_SIMULATED from
// a folder of its own with the simulated FTDI-attached device, which the
// process loads when it runs with the simulator's folder first in
// LD_LIBRARY_PATH. Each runs in a locale it sets itself: the program shows
// numbers with that locale's separator and stores them with a point.

#include "program.h"
#include "sanitizerslowdown.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <clocale>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "answerhook.h"
#include "application.h"
#include "capturethreads.h"
#include "commalocale.h"
#include "demosensors.h"
#include "demosynthesis.h"
#include "dialogs.h"
#include "formatting.h"
#include "formbalancing.h"
#include "formmessage.h"
#include "formselectlang.h"
#include "init.h"
#include "labelex.h"
#include "pathbinding.h"
#include "shelltestsupport.h"
#include "textconv.h"
#include "timer.h"
#include "xmlinifile.h"
#include "zelto.h"

namespace fs = std::filesystem;

namespace {

#ifndef PROGRAM_TEST_SIMULATED
std::string Picture(const std::string& name) { return std::string(PROGRAM_TEST_PICTURE_DIR) + "/" + name; }
#endif

// The decimal separator of the locale the test runs in (main sets it).
#ifdef PROGRAM_TEST_COMMA_LOCALE
constexpr char16_t UserSeparator = u',';
constexpr char16_t OtherSeparator = u'.';
#else
constexpr char16_t UserSeparator = u'.';
constexpr char16_t OtherSeparator = u',';
#endif

// The demo sensor pair on two planes in the automatic session of the data
// folder, as a person would prepare it with zelto-prepare-demo.
void PrepareSession() {
  ASSERT_TRUE(LoadShlwapi());
  {
    TZelto core;
    core.Type = 1;
    ASSERT_TRUE(PrepareDemoSensors(core));
  }
  FreeShlwapi();
}

std::u16string CaptionOf(const char* name) {
  auto* label = dynamic_cast<TLabelEx*>(fBalancing->FindComponent(name));
  return label ? label->CaptionW() : u"<missing " + rtl::Utf8ToUtf16(name) + u">";
}

// Destroys the windows a run of the program left with the application, so
// the next test starts from none.
void FreeProgramWindows() {
  while (gui::Application->ComponentCount() > 0) delete gui::Application->Components(0);
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Drives the workspace from the message loop: Start, one evaluated demo
// capture, Stop, the panel's checks, the picture, and the close.
class TDriver {
 public:
  TDriver() : FTimer(std::make_unique<gui::TTimer>(nullptr)) {
    FTimer->SetInterval(20);
    FTimer->OnTimer = [this](gui::TComponent*) { Step(); };
  }

  bool Finished = false;
  std::u16string Speed, AmplitudeA, PhaseA, AmplitudeB, PhaseB, Caption;
  std::u16string ExpectedSpeed, ExpectedAmplitudeA, ExpectedPhaseA, ExpectedAmplitudeB, ExpectedPhaseB;

 private:
  void Step() {
    if (std::chrono::steady_clock::now() > FLimit) {
      ADD_FAILURE() << "the program did not reach state " << FState << " in time";
      FTimer->SetEnabled(false);
      gui::Application->Terminate();
      return;
    }
    switch (FState) {
      case 0:
        if (!fBalancing || !fBalancing->Visible() || !TheCore) return;
        fBalancing->bStartStop->Click();
        ++FState;
        return;
      case 1:
        // The first reading is on the panel (the core's results belong to
        // the capture thread until it ends).
        if (CaptionOf("leFreq1").empty()) return;
        fBalancing->bStartStop->Click();
        ++FState;
        return;
      case 2:
        if (TheCore->Measuring || BalThread) return;
        ReadPanel();
#ifndef PROGRAM_TEST_SIMULATED
        fBalancing->SaveScreenshot(Picture("program_workspace.png"));
#endif
        ++FState;
        FTimer->SetEnabled(false);
        Finished = true;
        fBalancing->bCloseC->Click();
        return;
    }
  }

  void ReadPanel() {
    const TZelto& core = *TheCore;
    const MeasurementResult& run = core.Results[0];
    Speed = CaptionOf("leFreq1");
    AmplitudeA = CaptionOf("leAmplitude2D1A");
    PhaseA = CaptionOf("lePhase2D1A");
    AmplitudeB = CaptionOf("leAmplitude2D1B");
    PhaseB = CaptionOf("lePhase2D1B");
    Caption = fBalancing->leCaption->CaptionW();
    ExpectedSpeed = TZelto::FormatNumber(core.SpeedDisplayMode == 1 ? run.Freq : run.Freq * 60);
    ExpectedAmplitudeA = core.FormatAmplitude(run.Meas.AmplA, run.Freq, core.AmplDisplayMode, core.VibValueType, 0);
    ExpectedPhaseA = core.FormatPhase(run.Meas.PhA, core.AmplDisplayMode, 0);
    ExpectedAmplitudeB = core.FormatAmplitude(run.Meas.AmplB, run.Freq, core.AmplDisplayMode, core.VibValueType, 1);
    ExpectedPhaseB = core.FormatPhase(run.Meas.PhB, core.AmplDisplayMode, 1);
#ifndef PROGRAM_TEST_SIMULATED
    // The demo's initial run: 0.7 and 0.5 of 400 mV.
    EXPECT_NEAR(run.Meas.AmplA, 280.0, 15.0);
    EXPECT_NEAR(run.Meas.AmplB, 200.0, 15.0);
    EXPECT_NEAR(run.Freq, kDemoRotation, 0.5);
#else
    EXPECT_GT(run.Meas.AmplA, 0.0);
    EXPECT_GT(run.Meas.AmplB, 0.0);
    EXPECT_GT(run.Freq, 0.0);
#endif
  }

  std::unique_ptr<gui::TTimer> FTimer;
  int FState = 0;
  std::chrono::steady_clock::time_point FLimit =
      std::chrono::steady_clock::now() + std::chrono::seconds(90) * testsupport::kSanitizerSlowdown;
};

}  // namespace

#if defined(PROGRAM_TEST_COMMA_LOCALE)
TEST(Program, StartsInDemoModeForADecimalCommaLocale) {
#elif !defined(PROGRAM_TEST_SIMULATED)
TEST(Program, StartsInDemoModeCapturesAndShutsDownInOrder) {
#else
TEST(Program, StartsWithTheSimulatedDeviceCapturesAndShutsDown) {
#endif
  shelltest::TTempFolder data;
  setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
  PrepareSession();
#ifdef PROGRAM_TEST_SIMULATED
  // The simulated device takes any configuration image.
  const fs::path program = fs::read_symlink("/proc/self/exe").parent_path();
  fs::create_directories(program / "Lib");
  std::ofstream(program / "Lib" / "Harvik.lib", std::ios::binary) << std::string(4096, 'Z');
#endif

  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, [](const gui::TDialogRequest& r) -> std::optional<gui::TDialogAnswer> {
    // The language choice selects its first entry when shown.
    EXPECT_NE(dynamic_cast<TfSelectLang*>(r.Form), nullptr);
    return gui::TDialogAnswer{gui::mrOk, {}};
  });
#ifndef PROGRAM_TEST_SIMULATED
  script.ExpectAction(gui::dkMessageBox, [](const gui::TDialogRequest& r) -> std::optional<gui::TDialogAnswer> {
    EXPECT_EQ(r.Flags, gui::MB_YESNO | gui::MB_ICONQUESTION);
    if (r.Form) r.Form->SaveScreenshot(Picture("program_startup.png"));
    return gui::TDialogAnswer{gui::IDYES, {}};
  });
#endif
  script.ExpectAction(gui::dkModalForm, [](const gui::TDialogRequest& r) -> std::optional<gui::TDialogAnswer> {
    auto* box = dynamic_cast<TfMessage*>(r.Form);
    EXPECT_NE(box, nullptr);
    if (box) box->bButton2->Click();  // Yes to the exit question
    return std::nullopt;
  });

  TDriver driver;
  RunProgram(*gui::Application);
  FreeProgramWindows();

  EXPECT_TRUE(driver.Finished);
  EXPECT_TRUE(script.Unexpected().empty()) << script.Unexpected().size() << " unexpected questions";
  EXPECT_EQ(script.Pending(), 0u);
#ifndef PROGRAM_TEST_SIMULATED
  EXPECT_NE(driver.Caption.find(u"Kalvenor - DEMO"), std::u16string::npos);
#else
  EXPECT_NE(driver.Caption.find(u"(Kalvenor)"), std::u16string::npos);
#endif
  EXPECT_FALSE(driver.Speed.empty());
  EXPECT_EQ(driver.Speed, driver.ExpectedSpeed);
  EXPECT_EQ(driver.AmplitudeA, driver.ExpectedAmplitudeA);
  EXPECT_EQ(driver.PhaseA, driver.ExpectedPhaseA);
  EXPECT_EQ(driver.AmplitudeB, driver.ExpectedAmplitudeB);
  EXPECT_EQ(driver.PhaseB, driver.ExpectedPhaseB);
  EXPECT_NE(driver.AmplitudeA, u"");
  EXPECT_NE(driver.PhaseA, u"");
#ifndef PROGRAM_TEST_SIMULATED
  // The numbers on screen follow the user's locale, and the C library's
  // number conversions keep the locale the process started with.
  EXPECT_EQ(DecimalSeparator, UserSeparator);
  EXPECT_NE(driver.AmplitudeA.find(UserSeparator), std::u16string::npos) << shelltest::Narrow(driver.AmplitudeA);
  EXPECT_EQ(driver.AmplitudeA.find(OtherSeparator), std::u16string::npos) << shelltest::Narrow(driver.AmplitudeA);
  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
#endif

  // The shutdown freed the core after saving the session and the
  // configuration (with the chosen language) and logging the close.
  EXPECT_EQ(TheCore, nullptr);
  const fs::path folder = fs::path(data.Path()) / "Orvanteq/Kalvenor";
  const std::string language = std::string("E\0n\0g\0l\0i\0s\0h\0.\0x\0m\0l\0", 22);
  EXPECT_NE(ReadText(folder / "Kalvenor.ini").find(language), std::string::npos);
  // The stored numbers keep their point whatever the screen shows.
  XmlIniFile session;
  ASSERT_TRUE(session.Open(rtl::Utf8ToUtf16((folder / "!session.daqsession").string()), u"SessionFile", true));
  const std::u16string storedSpeed = session.ReadString(u"Measurement0", u"Freq", u"");
  EXPECT_NE(storedSpeed.find(u'.'), std::u16string::npos) << shelltest::Narrow(storedSpeed);
  EXPECT_EQ(storedSpeed.find(u','), std::u16string::npos) << shelltest::Narrow(storedSpeed);
  ASSERT_TRUE(LoadShlwapi());
  {
    TZelto core;
    // The simulated device's memory, which the runs fill.
    core.RamSize = session.ReadInteger(u"Options", u"BuffLength", DefaultRamSize);
    ASSERT_EQ(core.LoadSession(), TZelto::sfrDone);
    EXPECT_EQ(core.VibSensorA.Name, DemoSensorNameA);
    EXPECT_GT(core.Results[0].Meas.AmplA, 0.0);
    EXPECT_TRUE(core.Results[0].Valid);
  }
  FreeShlwapi();
  std::string log;
  for (const auto& entry : fs::directory_iterator(folder / "Log")) log += ReadText(entry.path());
  const size_t open = log.find("Application open");
  const size_t measurement = log.find("Measurement 1:");
  const size_t close = log.find("Application close");
  ASSERT_NE(open, std::string::npos);
  ASSERT_NE(measurement, std::string::npos);
  ASSERT_NE(close, std::string::npos);
  EXPECT_LT(open, measurement);
  EXPECT_LT(measurement, close);
#ifndef PROGRAM_TEST_SIMULATED
  EXPECT_TRUE(fs::exists(Picture("program_startup.png")));
  EXPECT_TRUE(fs::exists(Picture("program_workspace.png")));
#endif
}

int main(int argc, char** argv) {
#ifdef PROGRAM_TEST_SIMULATED
  // The dynamic loader reads the search path once, at process start: run
  // again with the simulator's folder in front.
  const char* path = getenv("LD_LIBRARY_PATH");
  if (!path || std::string(path).rfind(SIM_D2XX_DIR, 0) != 0) {
    const std::string value = std::string(SIM_D2XX_DIR) + (path ? std::string(":") + path : std::string());
    setenv("LD_LIBRARY_PATH", value.c_str(), 1);
    execv("/proc/self/exe", argv);
    return 1;
  }
  setenv("SARTEL_LOCK_DIR", PROGRAM_TEST_PICTURE_DIR, 1);
#endif
  // The locale the program reads its decimal separator from, whatever the
  // machine's: set before the application object, as a user's would be.
#ifdef PROGRAM_TEST_COMMA_LOCALE
  const std::filesystem::path locales = std::filesystem::path(PROGRAM_TEST_PICTURE_DIR) / "locales";
  std::filesystem::create_directories(locales);
  if (!testsupport::BuildCommaLocale(locales)) return 1;
  setenv("LOCPATH", locales.c_str(), 1);
  setenv("LC_ALL", testsupport::CommaLocaleName, 1);
#else
  setenv("LC_ALL", "C", 1);
#endif
  // ctest lists the tests without the environment it runs them with.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  testing::InitGoogleTest(&argc, argv);
  gui::TApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
