#pragma once
// Answers the program's message box as a user would, by its button, for
// the scripted-answer hook of the window suites (they link the shell).

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "answerhook.h"
#include "formmessage.h"
#include "textconv.h"

namespace testsupport {

// Checks the box's kind and text, then presses Yes (the left button) for
// mrYes and the right button (OK or No) for any other answer.
inline gui::TAnswerScript::TAction MessageAnswer(TMessageKind kind, std::u16string text, int answer) {
  return [kind, text, answer](const gui::TDialogRequest& r) {
    auto* box = dynamic_cast<TfMessage*>(r.Form);
    EXPECT_TRUE(box && box->Kind == kind);
    if (box) {
      EXPECT_EQ(rtl::Utf16ToUtf8(box->MessageText), rtl::Utf16ToUtf8(text));
      (answer == gui::mrYes ? box->bButton2 : box->bButton1)->Click();
    }
    return std::optional<gui::TDialogAnswer>();
  };
}

}  // namespace testsupport
