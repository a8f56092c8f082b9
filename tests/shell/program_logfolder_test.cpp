// A log folder that cannot be made keeps only the log from being written:
// the program says so once, naming the folder and why, starts, measures and
// saves the job where the user chooses. Its own program, as the whole
// program runs in it.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>

#include "answerhook.h"
#include "application.h"
#include "capturethreads.h"
#include "demosensors.h"
#include "dialogs.h"
#include "form.h"
#include "formbalancing.h"
#include "sanitizerslowdown.h"
#include "formmessage.h"
#include "labelex.h"
#include "languageservice.h"
#include "pathbinding.h"
#include "program.h"
#include "sessioncommands.h"
#include "shelltestsupport.h"
#include "textconv.h"
#include "timer.h"
#include "zelto.h"

namespace fs = std::filesystem;

namespace {

// Drives the workspace from the message loop: one demo capture, then Save
// As through the session menu, then the close.
class TMeasureAndSave {
 public:
  TMeasureAndSave() : FTimer(std::make_unique<gui::TTimer>(nullptr)) {
    FTimer->SetInterval(20);
    FTimer->OnTimer = [this](gui::TComponent*) { Step(); };
  }
  bool Finished = false;

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
      case 1: {
        auto* speed = dynamic_cast<TLabelEx*>(fBalancing->FindComponent("leFreq1"));
        if (!speed || speed->CaptionW().empty()) return;
        fBalancing->bStartStop->Click();
        ++FState;
        return;
      }
      case 2:
        if (TheCore->Measuring || BalThread) return;
        FTimer->SetEnabled(false);
        Finished = true;
        fBalancing->bSession->Click();
        fBalancing->bCloseC->Click();
        return;
    }
  }

  std::unique_ptr<gui::TTimer> FTimer;
  int FState = 0;
  std::chrono::steady_clock::time_point FLimit = std::chrono::steady_clock::now() + std::chrono::seconds(90) * testsupport::kSanitizerSlowdown;
};

}  // namespace

TEST(Program, AnUnusableLogFolderIsToldOnceAndTheJobIsStillMeasuredAndSaved) {
  shelltest::TTempFolder data;
  shelltest::TTempFolder elsewhere;
  setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
  const fs::path folder = fs::path(data.Path()) / "Orvanteq/Kalvenor";
  ASSERT_TRUE(LoadShlwapi());
  {
    TZelto core;
    ASSERT_TRUE(PrepareDemoSensors(core));
  }
  FreeShlwapi();
  std::ofstream(folder / "Log") << "a file where the log folder belongs";
  const fs::path saved = fs::path(elsewhere.Path()) / "pump";

  gui::TAnswerScript script;
  script.Expect(gui::dkModalForm, gui::mrOk);  // the language choice
  std::u16string told;
  script.ExpectAction(gui::dkMessageBox, [&told](const gui::TDialogRequest& r) -> std::optional<gui::TDialogAnswer> {
    EXPECT_EQ(r.Title, u"Error");
    told = r.Text;
    return gui::TDialogAnswer{gui::IDOK, {}};
  });
  script.Expect(gui::dkMessageBox, gui::IDYES);  // the demo question
  script.Expect(gui::dkPopupMenu, smSaveSession);
  script.Expect(gui::dkSaveDialog, 1, saved.string());
  std::u16string notWritten, exitQuestion;
  script.ExpectAction(gui::dkModalForm, [&](const gui::TDialogRequest& r) -> std::optional<gui::TDialogAnswer> {
    // Looked up while the language is open.
    notWritten = LangText({u"Forms", u"LogNotWritten"}).Text;
    auto* box = dynamic_cast<TfMessage*>(r.Form);
    EXPECT_NE(box, nullptr);
    if (box) {
      exitQuestion = box->MessageText;
      box->bButton2->Click();
    }
    return std::nullopt;
  });
  TMeasureAndSave driver;
  RunProgram(*gui::Application);
  while (gui::Application->ComponentCount() > 0) delete gui::Application->Components(0);

  EXPECT_TRUE(driver.Finished);
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  // The system's own words for why: a file stands where the folder belongs.
  EXPECT_EQ(told, notWritten + u"\n" + rtl::Utf8ToUtf16((folder / "Log").string()) + u": File exists");
  EXPECT_EQ(exitQuestion.find(u"###"), std::u16string::npos);
  EXPECT_TRUE(fs::is_regular_file(folder / "Log"));
  ASSERT_TRUE(LoadShlwapi());
  for (const std::string& session : {saved.string() + ".daqsession", (folder / "!session.daqsession").string()}) {
    TZelto reader;
    ASSERT_EQ(reader.LoadSession(rtl::Utf8ToUtf16(session)), TZelto::sfrDone) << session;
    EXPECT_GT(reader.Results[0].Meas.AmplA, 0.0) << session;
  }
  FreeShlwapi();
  EXPECT_EQ(TheCore, nullptr);
}

int main(int argc, char** argv) {
  // ctest lists the tests without the environment it runs them with.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  testing::InitGoogleTest(&argc, argv);
  gui::TApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
