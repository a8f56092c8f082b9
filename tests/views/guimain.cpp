// The views' drawing and window suites run with one application object, as
// the program has one, the English language file the build writes, and a
// data folder of their own.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "application.h"
#include "form.h"
#include "languageservice.h"

int main(int argc, char** argv) {
  // ctest lists the tests without the environment it runs them with.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  testing::InitGoogleTest(&argc, argv);
  std::string folder = (std::filesystem::temp_directory_path() / "viewstest-XXXXXX").string();
  if (!mkdtemp(folder.data())) return 1;
  setenv("XDG_DATA_HOME", folder.c_str(), 1);
  gui::TApplication application(argc, argv);
  // A hidden main form, as the program's start-up window: closing a test's
  // window must not end the application.
  new gui::TForm(&application);
  TLanguageService language;
  language.Open(u"" ZELTO_LANGUAGE_FILE);
  SetLanguageService(&language);
  const int result = RUN_ALL_TESTS();
  SetLanguageService(nullptr);
  std::filesystem::remove_all(folder);
  return result;
}
