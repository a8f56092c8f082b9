// The shell's suites run with one application object, as the program has
// one, the English language file the build writes, and a data folder of
// their own.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <memory>

#include "application.h"
#include "languageservice.h"
#include "shelltestsupport.h"

int main(int argc, char** argv) {
  // ctest lists the tests without the environment it runs them with.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  testing::InitGoogleTest(&argc, argv);
  shelltest::TTempFolder dataFolder;
  setenv("XDG_DATA_HOME", dataFolder.Path().c_str(), 1);
  gui::TApplication application(argc, argv);
  TLanguageService language;
  language.Open(u"" ZELTO_LANGUAGE_FILE);
  SetLanguageService(&language);
  const int result = RUN_ALL_TESTS();
  SetLanguageService(nullptr);
  return result;
}
