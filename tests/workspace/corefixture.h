#pragma once
// A core object with its own data folder and the texts of a language file,
// for the tests of the workspace's pure units.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "datafolder.h"
#include "workspacetexts.h"
#include "zelto.h"

// Marks a run as measured with the given vector and speed.
inline void MarkMeasured(TZelto& core, int run, double amplA, double phA, double freq = 25.0, double amplB = 0,
                         double phB = 0) {
  MeasurementResult& r = core.Results[run];
  r.Meas = {amplA, phA, amplB, phB};
  r.Freq = freq;
  r.Valid = 1;
}

class CoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Folder = testsupport::MakeDataFolder("zelto-workspace");
    ASSERT_FALSE(Folder.empty());
    Core = std::make_unique<TZelto>();
    // Every kept text is its key, so a test reads which one was chosen.
    LoadWorkspaceTexts(Texts, [](std::u16string_view, std::u16string_view key) { return std::u16string(key); });
  }
  void TearDown() override {
    Core.reset();
    testsupport::RemoveDataFolder(Folder);
  }

  void Measure(int run, double amplA, double phA, double freq = 25.0, double amplB = 0, double phB = 0) {
    MarkMeasured(*Core, run, amplA, phA, freq, amplB, phB);
  }

  std::unique_ptr<TZelto> Core;
  TWorkspaceTexts Texts;
  std::string Folder;
};
