#include "formmessage.h"

#include <algorithm>

#include "bitmap.h"
#include "bitmapbutton.h"
#include "dialogs.h"
#include "image.h"
#include "labelex.h"
#include "messageicons.h"
#include "panel.h"
#include "panelex.h"
#include "screen.h"
#include "scrollbar.h"
#include "textlayout.h"

namespace {

enum TMessageText : size_t { mtWarning, mtInformation, mtQuestion, mtError, mtOK, mtYes, mtNo };

const TTextKey& Key(TMessageText text) { return TfMessage::LangKeys[text]; }

constexpr gui::TColor MessageFace = 0xE1FFFF;
constexpr gui::TColor ButtonFace = 0xC8D0D4;

// The designed box: work panel, the panel of picture and text inside it,
// the text's place in that panel, and the buttons' row.
constexpr int DesignedPanelWidth = 382, DesignedPanelHeight = 130;
constexpr int DesignedInnerWidth = 366, DesignedInnerHeight = 78;
constexpr int TextLeft = 64, TextTop = 8, TextWidth = 297, DesignedTextHeight = 65;
constexpr int DesignedButtonTop = 95;
constexpr int ScrollBarWidth = 16, ScrollBarGap = 2;
// Lines a wheel notch scrolls.
constexpr int WheelLines = 3;

}  // namespace

TMessageLayout MessageLayoutFor(TMessageKind kind) {
  switch (kind) {
    case mkQuestion:
      return {Key(mtQuestion), true, Key(mtYes), Key(mtNo), true, gui::IDNO, gui::IDYES};
    case mkWarning:
      return {Key(mtWarning), true, Key(mtYes), Key(mtNo), true, gui::IDNO, gui::IDYES};
    case mkWarningNote:
      return {Key(mtWarning), false, {}, Key(mtOK), false, gui::IDOK, 0};
    case mkError:
      return {Key(mtError), false, {}, Key(mtOK), false, gui::IDOK, 0};
    case mkInformation:
    default:
      return {Key(mtInformation), false, {}, Key(mtOK), false, gui::IDOK, 0};
  }
}

TMessageGeometry MessageGeometry(int textHeight, int workAreaHeight) {
  // Everything of the box's height but its text, frame strip included.
  const int chrome = DesignedPanelHeight - DesignedTextHeight + StripMarginY;
  const gui::TTextView view = gui::GrowingTextView(textHeight, DesignedTextHeight, chrome, workAreaHeight);
  TMessageGeometry g;
  g.ViewHeight = view.ViewHeight;
  g.TextHeight = std::max(textHeight, g.ViewHeight);
  g.Scrolls = view.Scrolls;
  const int grown = g.ViewHeight - DesignedTextHeight;
  const int widened = g.Scrolls ? ScrollBarWidth + ScrollBarGap : 0;
  g.PanelWidth = DesignedPanelWidth + widened;
  g.PanelHeight = DesignedPanelHeight + grown;
  g.InnerWidth = DesignedInnerWidth + widened;
  g.InnerHeight = DesignedInnerHeight + grown;
  g.ButtonTop = DesignedButtonTop + grown;
  g.ButtonShift = widened;
  return g;
}

gui::TPoint MessageBoxOrigin(const gui::TRect& placed, gui::TSize size, const gui::TRect& workArea) {
  const auto inside = [](int centred, int extent, int low, int high) {
    return std::max(low, std::min(centred, high - extent));
  };
  return {inside(placed.Left + (placed.Width() - size.cx) / 2, size.cx, workArea.Left, workArea.Right),
          inside(placed.Top + (placed.Height() - size.cy) / 2, size.cy, workArea.Top, workArea.Bottom)};
}

TfMessage::TfMessage(gui::TComponent* owner) : TWindowFrame(owner, FrameMessage) {
  LayoutFrame(DesignedPanelWidth, DesignedPanelHeight);
  SetPosition(gui::poOwnerFormCenter);

  bButton2 = CreateButton(DesignedPanelWidth - 153);
  bButton1 = CreateButton(DesignedPanelWidth - 77);
  bButton1->OnClick = [this](gui::TComponent* sender) { bButton1Click(sender); };
  bButton2->OnClick = [this](gui::TComponent* sender) { bButton2Click(sender); };

  PanelEx1 = new TPanelEx(this);
  PanelEx1->SetParent(pWindow);
  PanelEx1->SetBounds(8, 8, DesignedInnerWidth, DesignedInnerHeight);
  PanelEx1->SetFaceColor(MessageFace);
  PanelEx1->SetBorderStyle(pbsRounded);
  PanelEx1->SetBevelOuter(gui::bvNone);

  // The text label is as tall as its text; the view shows the part that
  // fits, and the scroll bar, shown only when the text does not fit,
  // moves the label within it.
  pMessageView = new gui::TPanel(this);
  pMessageView->SetParent(PanelEx1);
  pMessageView->SetBevelOuter(gui::bvNone);
  pMessageView->SetParentColor(false);
  pMessageView->SetColor(MessageFace);
  pMessageView->SetBounds(TextLeft, TextTop, TextWidth, DesignedTextHeight);
  sbMessage = new gui::TScrollBar(this);
  sbMessage->SetParent(PanelEx1);
  sbMessage->SetKind(gui::sbVertical);
  sbMessage->SetVisible(false);
  sbMessage->OnChange = [this](gui::TComponent*) { leMessage->SetTop(-sbMessage->Position()); };
  OnMouseWheel = [this](gui::TComponent*, gui::TShiftState, int delta, gui::TPoint, bool& handled) {
    if (!sbMessage->Visible()) return;
    sbMessage->SetPosition(sbMessage->Position() - delta / 120 * WheelLines * sbMessage->SmallChange());
    handled = true;
  };

  leMessage = new TLabelEx(this);
  leMessage->SetParent(pMessageView);
  leMessage->SetAutoSize(false);
  leMessage->SetBounds(0, 0, TextWidth, DesignedTextHeight);
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
  button->SetBounds(left, DesignedButtonTop, 69, 27);
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
    case mkWarning:
    case mkWarningNote: return iWarning;
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
  ShowText();
  SetActiveControl(layout.FocusButton2 ? bButton2 : bButton1);
}

// Wrapped at the label's width and measured as the label draws it, with its
// font on a bitmap, which can always measure.
void TfMessage::ShowText() {
  gui::TBitmap scratch(1, 1);
  gui::TCanvas& canvas = scratch.Canvas();
  canvas.Font().Assign(leMessage->Font());
  const std::u16string wrapped =
      gui::WrapText(MessageText, TextWidth, [&](std::u16string_view line) { return canvas.TextWidth(line); });
  leMessage->SetCaptionW(wrapped);
  gui::TRect measured = gui::Bounds(0, 0, TextWidth, 0);
  const int textHeight = canvas.DrawText(wrapped, measured, gui::DT_CALCRECT | gui::DT_NOPREFIX);
  sbMessage->SetSmallChange(canvas.TextHeight(u"M"));
  const gui::TRect placed = BoundsRect();
  LayOut(MessageGeometry(textHeight, gui::ScreenWorkArea().Height()));
  const gui::TPoint origin = MessageBoxOrigin(placed, {Width(), Height()}, gui::ScreenWorkArea());
  SetBounds(origin.x, origin.y, Width(), Height());
}

void TfMessage::LayOut(const TMessageGeometry& g) {
  LayoutFrame(g.PanelWidth, g.PanelHeight);
  PanelEx1->SetBounds(8, 8, g.InnerWidth, g.InnerHeight);
  pMessageView->SetHeight(g.ViewHeight);
  leMessage->SetBounds(0, 0, TextWidth, g.TextHeight);
  bButton2->SetBounds(DesignedPanelWidth - 153 + g.ButtonShift, g.ButtonTop, bButton2->Width(), bButton2->Height());
  bButton1->SetBounds(DesignedPanelWidth - 77 + g.ButtonShift, g.ButtonTop, bButton1->Width(), bButton1->Height());
  sbMessage->SetVisible(g.Scrolls);
  sbMessage->SetBounds(TextLeft + TextWidth + ScrollBarGap, TextTop, ScrollBarWidth, g.ViewHeight);
  // Positions 0 .. TextHeight - ViewHeight: the last one shows the last line.
  sbMessage->SetPageSize(0);
  sbMessage->SetParams(0, 0, g.TextHeight - 1);
  sbMessage->SetPageSize(g.ViewHeight);
  sbMessage->SetLargeChange(std::max(1, g.ViewHeight - sbMessage->SmallChange()));
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
