// The control tests share one application object, as a program has one.
#include <gtest/gtest.h>

#include <cstdlib>

#include "application.h"

int main(int argc, char** argv) {
  // ctest lists the tests without the environment it runs them with.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  testing::InitGoogleTest(&argc, argv);
  gui::TApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
