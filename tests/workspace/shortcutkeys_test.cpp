// Which command each key of the workspace runs, and when it runs none.

#include "shortcutkeys.h"

#include <gtest/gtest.h>

namespace {

using enum TWorkspaceKeyCommand;

TWorkspaceKeyState AllEnabled() {
  TWorkspaceKeyState s;
  s.SessionEnabled = s.TotalMassEnabled = s.StartStopEnabled = s.NextEnabled = s.PrevEnabled = true;
  s.OscilloscopeEnabled = s.SpectrumEnabled = s.SetupEnabled = true;
  return s;
}

}  // namespace

TEST(ShortcutKeys, PlainKeysRunTheirButtonsCommands) {
  const TWorkspaceKeyState s = AllEnabled();
  EXPECT_EQ(WorkspaceKeyCommand(gui::VK_SPACE, 0, s), StartStop);
  EXPECT_EQ(WorkspaceKeyCommand('N', 0, s), Next);
  EXPECT_EQ(WorkspaceKeyCommand(gui::VK_NEXT, 0, s), Next);
  EXPECT_EQ(WorkspaceKeyCommand('P', 0, s), Prev);
  EXPECT_EQ(WorkspaceKeyCommand(gui::VK_PRIOR, 0, s), Prev);
  EXPECT_EQ(WorkspaceKeyCommand('A', 0, s), Oscilloscope);
  EXPECT_EQ(WorkspaceKeyCommand('F', 0, s), Spectrum);
  EXPECT_EQ(WorkspaceKeyCommand('S', 0, s), TWorkspaceKeyCommand::Setup);
  // Shift and Alt do not matter.
  EXPECT_EQ(WorkspaceKeyCommand('S', gui::ssShift | gui::ssAlt, s), TWorkspaceKeyCommand::Setup);
  EXPECT_EQ(WorkspaceKeyCommand('I', 0, s), None);
  EXPECT_EQ(WorkspaceKeyCommand(gui::VK_TAB, 0, s), None);
}

TEST(ShortcutKeys, APlainKeyOfADisabledButtonDoesNothing) {
  const TWorkspaceKeyState none;
  for (gui::TVirtualKey key : {gui::VK_SPACE, gui::TVirtualKey('N'), gui::VK_NEXT, gui::TVirtualKey('P'), gui::VK_PRIOR,
                               gui::TVirtualKey('A'), gui::TVirtualKey('F'), gui::TVirtualKey('S')})
    EXPECT_EQ(WorkspaceKeyCommand(key, 0, none), None) << key;
}

// With Ctrl held S, A and P are the session menu, zoom to all and the
// previous zoom, never set-up, oscilloscope or the previous run.
TEST(ShortcutKeys, CtrlKeysAreTheirOwnGroup) {
  const TWorkspaceKeyState s = AllEnabled();
  EXPECT_EQ(WorkspaceKeyCommand('S', gui::ssCtrl, s), Session);
  EXPECT_EQ(WorkspaceKeyCommand('A', gui::ssCtrl, s), ZoomAll);
  EXPECT_EQ(WorkspaceKeyCommand('P', gui::ssCtrl, s), ZoomPrev);
  EXPECT_EQ(WorkspaceKeyCommand('I', gui::ssCtrl, s), ZoomIn);
  EXPECT_EQ(WorkspaceKeyCommand('O', gui::ssCtrl | gui::ssShift, s), ZoomOut);
  EXPECT_EQ(WorkspaceKeyCommand('E', gui::ssCtrl, s), TotalMass);
  EXPECT_EQ(WorkspaceKeyCommand('U', gui::ssCtrl, s), AmplitudeUnit);
  EXPECT_EQ(WorkspaceKeyCommand(gui::VK_SPACE, gui::ssCtrl, s), None);
  EXPECT_EQ(WorkspaceKeyCommand('N', gui::ssCtrl, s), None);
  EXPECT_EQ(WorkspaceKeyCommand('F', gui::ssCtrl, s), None);
  // The zoom keys need no enabled button.
  const TWorkspaceKeyState none;
  EXPECT_EQ(WorkspaceKeyCommand('P', gui::ssCtrl, none), ZoomPrev);
  EXPECT_EQ(WorkspaceKeyCommand('S', gui::ssCtrl, none), None);
  EXPECT_EQ(WorkspaceKeyCommand('E', gui::ssCtrl, none), None);
}

TEST(ShortcutKeys, CtrlUOnlyBeforeTheCorrectionStep) {
  TWorkspaceKeyState s = AllEnabled();
  s.Step = 2;
  EXPECT_EQ(WorkspaceKeyCommand('U', gui::ssCtrl, s), AmplitudeUnit);
  s.Step = 3;
  EXPECT_EQ(WorkspaceKeyCommand('U', gui::ssCtrl, s), None);
  s.Step = 7;
  EXPECT_EQ(WorkspaceKeyCommand('U', gui::ssCtrl, s), None);
}

TEST(ShortcutKeys, CtrlTabBringsTheVisibleViewTheSpectrumFirst) {
  TWorkspaceKeyState s;
  EXPECT_EQ(WorkspaceKeyCommand(gui::VK_TAB, gui::ssCtrl, s), None);
  s.OscilloscopeVisible = true;
  EXPECT_EQ(WorkspaceKeyCommand(gui::VK_TAB, gui::ssCtrl, s), Oscilloscope);
  s.SpectrumVisible = true;
  EXPECT_EQ(WorkspaceKeyCommand(gui::VK_TAB, gui::ssCtrl, s), Spectrum);
}
