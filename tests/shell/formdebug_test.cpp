// The diagnostic window: registration with the capture threads' services,
// refreshes only while shown.
#include <gtest/gtest.h>

#include "application.h"
#include "formdebug.h"
#include "label.h"
#include "shelltestsupport.h"
#include "workspaceservices.h"
#include "zelto.h"

namespace {

class DebugWindow : public testing::Test {
 protected:
  void SetUp() override { TheCore = &core; }
  void TearDown() override { TheCore = nullptr; }
  std::vector<std::string> Values(const TfDebug& w) const {
    return {w.lIndex->Caption(), w.lLastIndex->Caption(), w.lStart->Caption(), w.lEnd->Caption(),
            w.lEndStart->Caption()};
  }
  TZelto core;
};

TEST_F(DebugWindow, RegistersWhileItExists) {
  {
    TfDebug window(nullptr);
    EXPECT_EQ(WindowServices().Debug.load(), static_cast<TDebugServices*>(&window));
  }
  EXPECT_EQ(WindowServices().Debug.load(), nullptr);
}

TEST_F(DebugWindow, ShowsTheCurrentRunsWindow) {
  TfDebug window(nullptr);
  EXPECT_EQ(window.Caption(), "Debug");
  EXPECT_EQ(window.FormStyle(), gui::fsStayOnTop);
  core.BalancingStep = 2;
  core.HighestStep = 5;
  core.Captures[2].Start = 100;
  core.Captures[2].End = 4196;
  // Hidden: the refresh does nothing.
  window.Update();
  EXPECT_EQ(Values(window), (std::vector<std::string>{"", "", "", "", ""}));
  window.Show();
  gui::Application->ProcessMessages();
  EXPECT_EQ(Values(window), (std::vector<std::string>{"2", "5", "100", "4196", "4096"}));
  EXPECT_TRUE(window.SaveScreenshot(shelltest::PicturePath("debug.png")));
  // A run without capture.
  core.BalancingStep = 3;
  WindowServices().Debug.load()->Update();
  EXPECT_EQ(Values(window), (std::vector<std::string>{"3", "5", "0", "0", "0"}));
}

}  // namespace
