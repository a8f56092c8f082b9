#pragma once
// Scripted use of the workspace's session menu, shared by the window suites.

#include <gtest/gtest.h>

#include <string>

#include "answerhook.h"
#include "formbalancing.h"
#include "languageservice.h"
#include "messageanswer.h"
#include "sessioncommands.h"
#include "textconv.h"

namespace testsupport {

// The question Open asks before a measured job is replaced, answered with
// `answer`.
inline void ExpectOpenQuestion(gui::TAnswerScript& script, int answer) {
  script.ExpectAction(gui::dkModalForm,
                      MessageAnswer(mkQuestion, LangText({u"Forms", u"OpenSessionReplacesRuns"}).Text, answer));
}

// The question Restore asks before a measured job is replaced.
inline void ExpectRestoreQuestion(gui::TAnswerScript& script, int answer) {
  script.ExpectAction(gui::dkModalForm,
                      MessageAnswer(mkQuestion, LangText({u"Forms", u"RestoreSessionReplacesRuns"}).Text, answer));
}

// The line of a failure text that says why `file` was refused as damaged.
inline std::u16string DamagedFileLine(const std::string& file) {
  return rtl::Utf8ToUtf16(file) + u": " + LangText({u"Forms", u"FileDamaged"}).Text;
}

// Opens the damaged `file` through the session menu's Open over a measured
// job, expecting the file to be refused: Yes to the question, and the error
// box, which says why, answered with OK.
inline void OpenDamagedSession(TfBalancing& window, const std::string& file) {
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, smOpenSession);
  script.Expect(gui::dkOpenDialog, 1, file);
  ExpectOpenQuestion(script, gui::mrYes);
  script.ExpectAction(gui::dkModalForm,
                      MessageAnswer(mkError, u"Couldn't open session file. File error.\n" + DamagedFileLine(file), 1));
  window.bSession->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
}

}  // namespace testsupport
