#pragma once
// TfCursorPos: the small modal dialog in which the user types the frequency
// at which cursor X or Y of the spectrum plot is to stand. The spectrum
// window sets the cursor, its bin and the plot's scale, shows the dialog and
// reads CursorBin back when CloseResult is 1 (OK, Enter); Escape answers 2,
// the close button leaves it 0. The field takes digits and one decimal
// separator ("." and "," both become the screen's separator).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "languageservice.h"
#include "spectrumreadout.h"
#include "windowframe.h"

class TBitmapButton;
class TLabelEx;

namespace gui {
class TEdit;
}

// The character a key becomes in the frequency field, or 0 when the field
// refuses it: digits, backspace and one decimal separator.
char16_t FrequencyFieldKey(char16_t key, std::u16string_view text);
// The frequency the field's text holds; none for an empty text or one
// without a digit.
std::optional<double> ParseFrequencyText(std::u16string_view text);

class TfCursorPos : public TWindowFrame {
 public:
  static constexpr std::array<TTextKey, 3> LangKeys = {{
      {u"Forms", u"CursorPos"},
      {u"Forms", u"OK"},
      {u"Forms", u"Close"},
  }};

  explicit TfCursorPos(gui::TComponent* owner);

  int32_t CloseResult = 0;  // 0 not set, 1 OK, 2 cancel
  char CursorLetter = 'X';
  int32_t CursorBin = 0;
  // The frequency scale of the spectrum shown.
  TBinScale Scale;

  TBitmapButton* bCloseS = nullptr;
  TLabelEx* leCursor = nullptr;
  gui::TEdit* eCursorPos = nullptr;
  TLabelEx* leUnit = nullptr;
  TBitmapButton* bOk = nullptr;

  void bOkClick(gui::TComponent* sender);
  void bCancelClick(gui::TComponent* sender);

 protected:
  void DoShow() override;
  void DoClose(gui::TCloseAction& action) override;

 private:
  TLabelEx* CreateLabel(int left, int width, const std::u16string& text);
};
