#include "formcursorpos.h"

#include <charconv>
#include <string>

#include "bitmapbutton.h"
#include "dialogs.h"
#include "edit.h"
#include "formatting.h"
#include "labelex.h"
#include "panel.h"
#include "spectrumreadout.h"
#include "textconv.h"

namespace {

constexpr int PanelWidth = 153;
constexpr int PanelHeight = 75;

bool IsSeparator(char16_t c) { return c == u',' || c == u'.' || c == DecimalSeparator; }

}  // namespace

char16_t FrequencyFieldKey(char16_t key, std::u16string_view text) {
  if (key == 8 || (key >= u'0' && key <= u'9')) return key;
  if (!IsSeparator(key)) return 0;
  for (char16_t c : text)
    if (IsSeparator(c)) return 0;
  return DecimalSeparator;
}

std::optional<double> ParseFrequencyText(std::u16string_view text) {
  std::string plain;
  bool digit = false;
  for (char16_t c : text) {
    if (c >= u'0' && c <= u'9') {
      plain += static_cast<char>(c);
      digit = true;
    } else if (IsSeparator(c)) {
      plain += '.';
    } else {
      return std::nullopt;
    }
  }
  if (!digit) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  // "12," is 12, as the field lets it stand.
  if (error != std::errc() || (end != plain.data() + plain.size() && std::string_view(end) != ".")) return std::nullopt;
  return value;
}

TfCursorPos::TfCursorPos(gui::TComponent* owner) : TWindowFrame(owner, FrameCursorPos) {
  SetName("fCursorPos");
  LayoutFrame(PanelWidth, PanelHeight);
  SetPosition(gui::poOwnerFormCenter);
  Font().SetName("Microsoft Sans Serif");
  Font().SetSize(8);
  bCloseS = CreateStripCloseButton();
  bCloseS->SetBounds(0, 0, 13, 13);
  PlaceStripButton(bCloseS);
  leCursor = CreateLabel(13, 16, u"X");
  eCursorPos = new gui::TEdit(this);
  eCursorPos->SetParent(pWindow);
  eCursorPos->SetName("eCursorPos");
  eCursorPos->SetBounds(36, 13, 81, 21);
  eCursorPos->SetMaxLength(10);
  eCursorPos->SetTabStop(true);
  eCursorPos->SetTabOrder(0);
  eCursorPos->OnKeyPress = [this](gui::TComponent*, char16_t& key) {
    key = FrequencyFieldKey(key, eCursorPos->Text());
  };
  leUnit = CreateLabel(123, 34, u"Hz");
  bOk = new TBitmapButton(this);
  bOk->SetParent(pWindow);
  bOk->SetName("bOk");
  bOk->SetBounds(42, 40, 69, 27);
  bOk->Font().SetStyle(gui::fsBold);
  bOk->Font().SetColor(gui::clBlack);
  bOk->SetBackColor(WorkPanelColor);
  bOk->SetButtonColor(0xC8D0D4);
  bOk->SetBorderColor(gui::clGray);
  bOk->SetBorderOver(gui::clYellow);
  bOk->SetTabStop(true);
  bOk->SetTabOrder(1);
  bOk->OnClick = [this](gui::TComponent* sender) { bOkClick(sender); };
  EnterAction = [this] { bOkClick(bOk); };
  EscapeAction = [this] { bCancelClick(this); };
}

TLabelEx* TfCursorPos::CreateLabel(int left, int width, const std::u16string& text) {
  auto* label = new TLabelEx(this);
  label->SetParent(pWindow);
  label->SetAutoSize(false);
  label->SetBounds(left, 16, width, 13);
  label->SetShowAccelChar(false);
  label->Font().SetColor(gui::clBlack);
  label->SetCaptionW(text);
  return label;
}

void TfCursorPos::DoShow() {
  TWindowFrame::DoShow();
  leCaption->SetCaptionW(LangText(LangKeys[0]).Text);
  bOk->SetCaptionW(LangText(LangKeys[1]).Text);
  TLanguageService::AddToolTip(this, bCloseS, LangText(LangKeys[2]).Text);
  const double frequency = Scale.Bins > 0 ? Scale.Frequency(CursorBin) : 0;
  eCursorPos->SetText(FormatNumber(frequency));
  leCursor->SetCaptionW(CursorLetter == 'Y' ? u"Y" : u"X");
  eCursorPos->SetFocus();
}

void TfCursorPos::bOkClick(gui::TComponent*) {
  CloseResult = 1;
  Close();
}

void TfCursorPos::bCancelClick(gui::TComponent*) {
  CloseResult = 2;
  Close();
}

void TfCursorPos::DoClose(gui::TCloseAction& action) {
  TWindowFrame::DoClose(action);
  if (CloseResult != 1) return;
  const std::u16string text = eCursorPos->Text();
  const std::optional<double> frequency = ParseFrequencyText(text);
  if (!frequency) {
    // The dialog stays open with its text; the close button converts again.
    gui::MessageBox(this, u"'" + text + u"' is not a valid floating point value", u"", gui::MB_OK | gui::MB_ICONERROR);
    action = gui::caNone;
    return;
  }
  CursorBin = FrequencyToBin(*frequency, Scale);
}
