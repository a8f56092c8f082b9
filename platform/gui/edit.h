#pragma once
// TEdit: a one-line text field. Typed characters pass through KeyPress
// (OnKeyPress may change or refuse them) before the field takes them.
// MaxLength (0: no limit) bounds only what the user types or pastes: a text
// the program sets is shown whole, and the user can then shorten it but not
// make it longer. Modified is set by the user's edits and cleared by
// SetText. OnChange fires on every change of the text, also by SetText.

#include "wincontrol.h"

namespace gui {

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
  void FontChanged() override;
  void ColorChanged() override;
  void UpdateFocusPolicy() override;

 private:
  int FMaxLength = 0;
  bool FModified = false;
};

}  // namespace gui
