// The message box's answers per kind and key, and its pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "answerhook.h"
#include "bitmap.h"
#include "bitmapbutton.h"
#include "dialogs.h"
#include "dialogtestsupport.h"
#include "filefailure.h"
#include "formmessage.h"
#include "image.h"
#include "inputsim.h"
#include "labelex.h"
#include "langindex.h"
#include "panel.h"
#include "panelex.h"
#include "screen.h"
#include "scrollbar.h"
#include "shelltestsupport.h"
#include "systemerror.h"
#include "textconv.h"
#include "textlayout.h"
#include "zelto.h"

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

// --- the longest texts ----------------------------------------------------------

// The text without the line feeds and blanks the wrapping may have put or
// taken: what must all be there.
std::u16string Letters(std::u16string_view text) {
  std::u16string letters;
  for (char16_t c : text)
    if (c != u'\n' && c != u' ') letters += c;
  return letters;
}

// Shows `text` in a box and checks that a user sees all of it: every
// wrapped line fits the label's width (measured with the label's font), the
// box lies on the work area with its buttons, and the label's last line is
// in view, at once or at the end of the scroll range.
void ExpectShownWhole(const std::u16string& text, const std::string& what, const std::string& picture = {}) {
  SCOPED_TRACE(what);
  TfMessage box(nullptr);
  box.Kind = mkError;
  box.MessageText = text;
  box.Show();
  const std::u16string shown = box.leMessage->CaptionW();
  EXPECT_EQ(Letters(shown), Letters(text));
  gui::TBitmap scratch(1, 1);
  scratch.Canvas().Font().Assign(box.leMessage->Font());
  size_t lines = 0;
  for (size_t start = 0; start <= shown.size(); ++lines) {
    const size_t end = std::min(shown.find(u'\n', start), shown.size());
    EXPECT_LE(scratch.Canvas().TextWidth(std::u16string_view(shown).substr(start, end - start)),
              box.leMessage->Width());
    start = end + 1;
  }
  const int textHeight = static_cast<int>(lines) * scratch.Canvas().TextHeight(u"M");
  EXPECT_GE(box.leMessage->Height(), textHeight);
  const gui::TRect work = gui::ScreenWorkArea();
  const gui::TRect placed = box.BoundsRect();
  EXPECT_TRUE(placed.Left >= work.Left && placed.Top >= work.Top && placed.Right <= work.Right &&
              placed.Bottom <= work.Bottom);
  EXPECT_LE(box.bButton1->Top() + box.bButton1->Height(), box.pWindow->Height());
  EXPECT_LE(box.bButton1->Left() + box.bButton1->Width(), box.pWindow->Width());
  // The box grows with its text as long as the whole box (designed 130 +
  // 27 pixels, 65 of them text) fits in most of the work area.
  const bool fits = 130 + 27 - 65 + textHeight <= work.Height() * gui::MessageScreenPercent / 100;
  EXPECT_EQ(box.sbMessage->Visible(), !fits);
  const int view = box.pMessageView->Height();
  EXPECT_LE(box.PanelEx1->Top() + box.pMessageView->Top() + view, box.bButton1->Top());
  if (textHeight > view) {
    ASSERT_TRUE(box.sbMessage->Visible());
    box.sbMessage->SetPosition(box.sbMessage->Max());
    EXPECT_EQ(box.leMessage->Top() + textHeight, view);
  } else {
    EXPECT_FALSE(box.sbMessage->Visible());
    EXPECT_EQ(box.leMessage->Top(), 0);
  }
  if (!picture.empty()) {
    EXPECT_TRUE(box.SaveScreenshot(shelltest::PicturePath(picture)));
  }
}

// The longest path the data folder or Save As can produce: folders up to
// the system's path limit and a 255-byte name, of the widest letter.
std::u16string LongestPath() {
  std::u16string path;
  for (int folder = 0; folder < 14; ++folder) path += u"/" + std::u16string(255, u'W');
  return path + u"/" + std::u16string(244, u'W') + u".daqsession";
}

std::u16string LongestReason() {
  std::u16string longest;
  for (int error = 1; error < 134; ++error) {
    const std::u16string reason = rtl::SystemErrorText(error);
    if (reason.size() > longest.size()) longest = reason;
  }
  return longest;
}

// Every text the key index of a language source names as a message box's.
std::vector<std::u16string> MessageTexts(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  TLangSource source;
  std::string error;
  EXPECT_TRUE(ParseLangSource(bytes.str(), source, error)) << error;
  std::vector<std::u16string> texts;
  for (const TLangUse& use : ReadLangIndex(source)) {
    if (use.Component.find("TfMessage") == std::string::npos) continue;
    const TLangKey* key = source.FindKey(use.Section, use.Key);
    if (!key) continue;
    std::u16string text = key->Value;
    std::replace(text.begin(), text.end(), u'|', u'\n');
    texts.push_back(text);
  }
  return texts;
}

// The condition notice of an older FX2 file that names its sensors: every
// kind, the device's whole description and sensor names of the longest
// length, one per channel of every run.
std::u16string LongestConditionNotice() {
  shelltest::TDialogCore dialogCore;
  TZelto& core = dialogCore.Core();
  core.NoteCondition(cnScaleAssumed, std::u16string(100, u'W'));
  for (uint8_t kind : {cnSensorAssumed, cnSensorUnknown, cnSensorMissing, cnSensorDiffers})
    for (int sensor = 0; sensor < 42; ++sensor)
      core.NoteCondition(kind, std::u16string(19, u'W') + rtl::AsciiToUtf16(std::to_string(10 + sensor)));
  std::u16string notice;
  TellConditionNotes(core, [&](const std::u16string& text) { notice = text; }, nullptr);
  return notice;
}

TEST(MessageBox, TheLongestTextsShowWhole) {
  const std::u16string file = LongestPath() + u": " + LongestReason();
  int languages = 0;
  for (const auto& entry : std::filesystem::directory_iterator(ZELTO_LANG_SOURCE_DIR)) {
    if (entry.path().extension() != ".xml") continue;
    ++languages;
    for (const std::u16string& text : MessageTexts(entry.path()))
      ExpectShownWhole(text + u"\n" + file, shelltest::Narrow(text));
  }
  EXPECT_GT(languages, 0);
  ExpectShownWhole(LongestConditionNotice(), "condition notice", "message_longest.png");
  // A text that just fits grows the box without a scroll bar.
  ExpectShownWhole(u"Couldn't save the session.\n" + LongestPath().substr(0, 600), "grown");
}

}  // namespace
