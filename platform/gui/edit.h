#pragma once
// TEdit: a one-line text field. Typed characters pass through KeyPress
// (OnKeyPress may change or refuse them) before the field takes them.
// MaxLength (0: no limit) bounds only what the user types or pastes: a text
// the program sets is shown whole, and the user can then shorten it but not
// make it longer. Modified is set by the user's edits and cleared by
// SetText. OnChange fires on every change of the text, also by SetText.
// Ctrl+A selects the whole text, whatever the field's key filter accepts.

#include "wincontrol.h"

namespace gui {

// Ctrl+A, with no other modifier: "select all" in every text field.
constexpr bool IsSelectAllKey(TVirtualKey key, TShiftState shift) {
  return key == 'A' && (shift & (ssShift | ssAlt | ssCtrl)) == ssCtrl;
}

class TEdit : public TWinControl {
 public:
  explicit TEdit(TComponent* owner);

  std::u16string Text() const;
  void SetText(const std::u16string& text);
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int maxLength);
  bool Modified() const { return FModified; }
  void SetModified(bool modified) { FModified = modified; }
  bool ReadOnly() const;
  void SetReadOnly(bool readOnly);
  int SelStart() const;
  void SetSelStart(int start);
  int SelLength() const;
  void SetSelLength(int length);
  void SelectAll();

  TNotifyEvent OnChange;

 protected:
  virtual void Change();
  void KeyDown(TVirtualKey& key, TShiftState shift) override;
  void FontChanged() override;
  void ColorChanged() override;
  void UpdateFocusPolicy() override;

 private:
  int FMaxLength = 0;
  bool FModified = false;
};

}  // namespace gui
