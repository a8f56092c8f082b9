// A log folder that cannot be made ends the program with the system's text
// for the failure before the workspace exists, and nothing is saved. Its own
// program, because a run that ended the application leaves it ended.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "answerhook.h"
#include "application.h"
#include "dialogs.h"
#include "form.h"
#include "formbalancing.h"
#include "pathbinding.h"
#include "program.h"
#include "shelltestsupport.h"
#include "systemerror.h"
#include "zelto.h"

namespace fs = std::filesystem;

TEST(Program, UnusableLogFolderEndsBeforeTheWorkspace) {
  shelltest::TTempFolder data;
  setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
  const fs::path folder = fs::path(data.Path()) / "Orvanteq/Kalvenor";
  fs::create_directories(folder);
  std::ofstream(folder / "Log") << "a file where the log folder belongs";
  gui::TAnswerScript script;
  script.Expect(gui::dkModalForm, gui::mrOk);  // the language choice
  script.ExpectAction(gui::dkMessageBox, [](const gui::TDialogRequest& r) -> std::optional<gui::TDialogAnswer> {
    EXPECT_EQ(r.Title, u"Error");
    // The system's own words for the failure: a file stands where the
    // folder belongs.
    EXPECT_EQ(r.Text, rtl::SystemErrorText(EEXIST));
    EXPECT_EQ(r.Flags, gui::MB_OK | gui::MB_ICONERROR);
    return gui::TDialogAnswer{gui::IDOK, {}};
  });
  RunProgram(*gui::Application);
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  EXPECT_EQ(fBalancing, nullptr);
  EXPECT_TRUE(gui::Application->Terminated());
  // Freeing the windows ends what the start-up had begun.
  while (gui::Application->ComponentCount() > 0) delete gui::Application->Components(0);
  EXPECT_EQ(TheCore, nullptr);
  EXPECT_FALSE(ShlwapiLoaded());
  EXPECT_FALSE(fs::exists(folder / "Kalvenor.ini"));
  EXPECT_FALSE(fs::exists(folder / "!session.daqsession"));
}

int main(int argc, char** argv) {
  // ctest lists the tests without the environment it runs them with.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  testing::InitGoogleTest(&argc, argv);
  gui::TApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
