#include "formmessage.h"

#include "bitmap.h"
#include "bitmapbutton.h"
#include "dialogs.h"
#include "image.h"
#include "labelex.h"
#include "messageicons.h"
#include "panel.h"
#include "panelex.h"

namespace {

enum TMessageText : size_t { mtWarning, mtInformation, mtQuestion, mtError, mtOK, mtYes, mtNo };

const TTextKey& Key(TMessageText text) { return TfMessage::LangKeys[text]; }

constexpr gui::TColor MessageFace = 0xE1FFFF;
constexpr gui::TColor ButtonFace = 0xC8D0D4;

// Greedy wrapping of one line without line feeds.
void WrapLine(std::u16string_view line, int maxWidth, const std::function<int(std::u16string_view)>& measure,
              std::u16string& out) {
  std::u16string current;
  size_t pos = 0;
  while (pos < line.size()) {
    const size_t blank = line.find(u' ', pos);
    const size_t end = blank == std::u16string_view::npos ? line.size() : blank;
    const std::u16string_view word = line.substr(pos, end - pos);
    std::u16string candidate = current.empty() ? std::u16string(word) : current + u" " + std::u16string(word);
    if (measure(candidate) <= maxWidth || candidate.empty()) {
      current = std::move(candidate);
    } else {
      if (!current.empty()) out += current + u"\n";
      current.clear();
      // A word wider than the line is cut where it stops fitting.
      for (size_t i = 0; i < word.size();) {
        // One character: a surrogate pair is never cut.
        const bool pair = word[i] >= 0xD800 && word[i] <= 0xDBFF && i + 1 < word.size();
        const std::u16string_view piece = word.substr(i, pair ? 2 : 1);
        if (!current.empty() && measure(current + std::u16string(piece)) > maxWidth) {
          out += current + u"\n";
          current.clear();
        }
        current += piece;
        i += piece.size();
      }
    }
    pos = end + 1;
  }
  out += current;
}

}  // namespace

TMessageLayout MessageLayoutFor(TMessageKind kind) {
  switch (kind) {
    case mkQuestion:
      return {Key(mtQuestion), true, Key(mtYes), Key(mtNo), true, gui::IDNO, gui::IDYES};
    case mkWarning:
      return {Key(mtWarning), true, Key(mtYes), Key(mtNo), true, gui::IDNO, gui::IDYES};
    case mkError:
      return {Key(mtError), false, {}, Key(mtOK), false, gui::IDOK, 0};
    case mkInformation:
    default:
      return {Key(mtInformation), false, {}, Key(mtOK), false, gui::IDOK, 0};
  }
}

std::u16string WrapMessageText(std::u16string_view text, int maxWidth,
                               const std::function<int(std::u16string_view)>& measure) {
  std::u16string out;
  size_t start = 0;
  for (;;) {
    const size_t feed = text.find(u'\n', start);
    WrapLine(text.substr(start, feed == std::u16string_view::npos ? std::u16string_view::npos : feed - start),
             maxWidth, measure, out);
    if (feed == std::u16string_view::npos) return out;
    out += u'\n';
    start = feed + 1;
  }
}

TfMessage::TfMessage(gui::TComponent* owner) : TWindowFrame(owner, FrameMessage) {
  LayoutFrame(382, 130);
  SetPosition(gui::poOwnerFormCenter);

  bButton2 = CreateButton(229);
  bButton1 = CreateButton(305);
  bButton1->OnClick = [this](gui::TComponent* sender) { bButton1Click(sender); };
  bButton2->OnClick = [this](gui::TComponent* sender) { bButton2Click(sender); };

  PanelEx1 = new TPanelEx(this);
  PanelEx1->SetParent(pWindow);
  PanelEx1->SetBounds(8, 8, 366, 78);
  PanelEx1->SetFaceColor(MessageFace);
  PanelEx1->SetBorderStyle(pbsRounded);
  PanelEx1->SetBevelOuter(gui::bvNone);

  leMessage = new TLabelEx(this);
  leMessage->SetParent(PanelEx1);
  leMessage->SetAutoSize(false);
  leMessage->SetBounds(64, 8, 297, 65);
  leMessage->SetParentColor(false);
  leMessage->SetColor(MessageFace);
  leMessage->Font().SetStyle(gui::fsBold);
  leMessage->Font().SetColor(gui::clBlack);
  // Messages carry file names and the driver's texts, and are wrapped by
  // the width of the text as it stands.
  leMessage->SetShowAccelChar(false);

  iQuestion = CreateIcon(miQuestion);
  iWarning = CreateIcon(miWarning);
  iError = CreateIcon(miError);
  iInformation = CreateIcon(miInformation);

  // Esc answers as the right button; Enter is left to the focused button.
  EscapeAction = [this] { bButton1Click(bButton1); };
}

TBitmapButton* TfMessage::CreateButton(int left) {
  auto* button = new TBitmapButton(this);
  button->SetParent(pWindow);
  button->SetBounds(left, 95, 69, 27);
  button->Font().SetStyle(gui::fsBold);
  button->Font().SetColor(gui::clBlack);
  button->SetButtonColor(ButtonFace);
  button->SetBorderColor(gui::clGray);
  button->SetBorderOver(gui::clYellow);
  button->SetParentColor(true);
  return button;
}

gui::TImage* TfMessage::CreateIcon(int icon) {
  auto* image = new gui::TImage(this);
  image->SetParent(PanelEx1);
  image->SetBounds(0, 8, MessageIconSize, MessageIconSize);
  image->SetPicture(MessageIconPicture(static_cast<TMessageIcon>(icon), MessageFace));
  image->SetVisible(false);
  return image;
}

gui::TImage* TfMessage::IconOf(TMessageKind kind) const {
  switch (kind) {
    case mkQuestion: return iQuestion;
    case mkWarning: return iWarning;
    case mkError: return iError;
    default: return iInformation;
  }
}

void TfMessage::DoShow() {
  TWindowFrame::DoShow();
  const TMessageLayout layout = MessageLayoutFor(Kind);
  for (gui::TImage* icon : {iInformation, iQuestion, iWarning, iError}) icon->SetVisible(icon == IconOf(Kind));
  leCaption->SetCaptionW(LangText(layout.Title).Text);
  bButton2->SetVisible(layout.HasButton2);
  if (layout.HasButton2) bButton2->SetCaptionW(LangText(layout.Button2).Text);
  bButton1->SetCaptionW(LangText(layout.Button1).Text);
  // Measured with the label's font on a bitmap, which can always measure.
  gui::TBitmap scratch(1, 1);
  scratch.Canvas().Font().Assign(leMessage->Font());
  leMessage->SetCaptionW(WrapMessageText(MessageText, leMessage->Width(), [&](std::u16string_view line) {
    return scratch.Canvas().TextWidth(line);
  }));
  SetActiveControl(layout.FocusButton2 ? bButton2 : bButton1);
}

void TfMessage::bButton1Click(gui::TComponent*) { Answered(MessageLayoutFor(Kind).Answer1); }

void TfMessage::bButton2Click(gui::TComponent*) {
  const TMessageLayout layout = MessageLayoutFor(Kind);
  if (layout.HasButton2) Answered(layout.Answer2);
}

void TfMessage::Answered(int answer) {
  Answer = answer;
  // The answer is also the modal result, which closes the box.
  if (Modal())
    SetModalResult(answer);
  else
    Close();
}

int ShowMessageBox(gui::TComponent* owner, TMessageKind kind, const std::u16string& text) {
  TfMessage box(owner);
  box.Kind = kind;
  box.MessageText = text;
  box.ShowModal();
  return box.Answer;
}
