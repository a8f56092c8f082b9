// The message box's answers per kind and key, and its pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "answerhook.h"
#include "bitmapbutton.h"
#include "dialogs.h"
#include "formmessage.h"
#include "image.h"
#include "inputsim.h"
#include "labelex.h"
#include "shelltestsupport.h"

namespace {

using TAct = std::function<void(TfMessage&)>;

// Shows a box of that kind modally, lets `act` answer it as a user would,
// and returns the answer. The box's picture is written when named.
int Ask(TMessageKind kind, const TAct& act, const std::string& picture = {}) {
  TfMessage box(nullptr);
  box.Kind = kind;
  box.MessageText = u"The measurement is finished.\nSave it?";
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, [&](const gui::TDialogRequest& request) {
    auto& shown = static_cast<TfMessage&>(*request.Form);
    if (!picture.empty()) {
      EXPECT_TRUE(shown.SaveScreenshot(shelltest::PicturePath(picture)));
    }
    act(shown);
    return std::optional<gui::TDialogAnswer>();
  });
  const int result = box.ShowModal();
  EXPECT_TRUE(script.Unexpected().empty());
  // A button's answer is also the modal result.
  if (box.Answer != 0) {
    EXPECT_EQ(result, box.Answer);
  }
  return box.Answer;
}

void PressEsc(TfMessage& box) { gui::SimKey(&box, gui::VK_ESCAPE, 27); }
void PressEnter(TfMessage& box) { gui::SimKey(&box, gui::VK_RETURN, 13); }
void ClickLeft(TfMessage& box) { gui::SimClick(*box.bButton2, 10, 10); }
void ClickRight(TfMessage& box) { gui::SimClick(*box.bButton1, 10, 10); }

TEST(MessageBox, QuestionAndWarningAnswerYesOrNo) {
  for (TMessageKind kind : {mkQuestion, mkWarning}) {
    // Esc is No, never Yes; Enter answers the focused Yes button.
    EXPECT_EQ(Ask(kind, PressEsc), gui::IDNO);
    EXPECT_EQ(Ask(kind, PressEnter), gui::IDYES);
    EXPECT_EQ(Ask(kind, ClickLeft), gui::IDYES);
    EXPECT_EQ(Ask(kind, ClickRight), gui::IDNO);
  }
}

TEST(MessageBox, InformationAndErrorAnswerOK) {
  for (TMessageKind kind : {mkInformation, mkError}) {
    EXPECT_EQ(Ask(kind, PressEsc), gui::IDOK);
    EXPECT_EQ(Ask(kind, PressEnter), gui::IDOK);
    EXPECT_EQ(Ask(kind, ClickRight), gui::IDOK);
  }
}

TEST(MessageBox, ClosedWithoutAButtonAnswersNothing) {
  EXPECT_EQ(Ask(mkQuestion, [](TfMessage& box) { box.Close(); }), 0);
}

TEST(MessageBox, EachKindShowsItsTitleButtonsAndPicture) {
  struct TCase {
    TMessageKind Kind;
    const char* Picture;
    std::u16string Title, Left, Right;
  };
  for (const TCase& c : {TCase{mkInformation, "message_information.png", u"Information", u"", u"OK"},
                         TCase{mkQuestion, "message_question.png", u"Question", u"Yes", u"No"},
                         TCase{mkWarning, "message_warning.png", u"Warning", u"Yes", u"No"},
                         TCase{mkError, "message_error.png", u"Error", u"", u"OK"}}) {
    Ask(
        c.Kind,
        [&](TfMessage& box) {
          EXPECT_EQ(box.leCaption->CaptionW(), c.Title);
          EXPECT_EQ(box.bButton2->Visible(), !c.Left.empty());
          if (!c.Left.empty()) {
            EXPECT_EQ(box.bButton2->CaptionW(), c.Left);
          }
          EXPECT_EQ(box.bButton1->CaptionW(), c.Right);
          EXPECT_EQ(box.leMessage->CaptionW(), u"The measurement is finished.\nSave it?");
          int shown = 0;
          for (gui::TImage* icon : {box.iInformation, box.iQuestion, box.iWarning, box.iError})
            shown += icon->Visible() ? 1 : 0;
          EXPECT_EQ(shown, 1);
          box.bButton1Click(box.bButton1);
        },
        c.Picture);
  }
}

TEST(MessageBox, LongTextWrapsInsideTheLabel) {
  const std::u16string text =
      u"The language stays as it is until the program is started again.\nAt the next start you can choose a new "
      u"language.";
  TfMessage box(nullptr);
  box.Kind = mkInformation;
  box.MessageText = text;
  box.Show();
  const std::u16string shown = box.leMessage->CaptionW();
  EXPECT_GT(std::count(shown.begin(), shown.end(), u'\n'), std::count(text.begin(), text.end(), u'\n'));
  std::u16string joined = shown;
  std::replace(joined.begin(), joined.end(), u'\n', u' ');
  std::u16string expected = text;
  std::replace(expected.begin(), expected.end(), u'\n', u' ');
  EXPECT_EQ(joined, expected);
  EXPECT_TRUE(box.SaveScreenshot(shelltest::PicturePath("message_long.png")));
}

}  // namespace
