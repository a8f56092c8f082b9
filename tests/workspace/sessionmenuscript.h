#pragma once
// Scripted use of the workspace's session menu, shared by the window suites.

#include <gtest/gtest.h>

#include <string>

#include "answerhook.h"
#include "formbalancing.h"
#include "messageanswer.h"
#include "sessioncommands.h"

namespace testsupport {

// Opens `file` through the session menu's Open, expecting the file to be
// refused: the error box is answered with OK.
inline void OpenDamagedSession(TfBalancing& window, const std::string& file) {
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, smOpenSession);
  script.Expect(gui::dkOpenDialog, 1, file);
  script.ExpectAction(gui::dkModalForm, MessageAnswer(mkError, u"Couldn't open session file. File error.", 1));
  window.bSession->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
}

}  // namespace testsupport
