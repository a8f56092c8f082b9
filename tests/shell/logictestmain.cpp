// The shell's rules run without a display, with a data folder of their own
// (the core object sets up its folders there).
#include <gtest/gtest.h>
#include <stdlib.h>

#include "shelltestsupport.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  shelltest::TTempFolder dataFolder;
  setenv("XDG_DATA_HOME", dataFolder.Path().c_str(), 1);
  return RUN_ALL_TESTS();
}
