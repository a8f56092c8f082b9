#pragma once
// TWinControl: a control that holds other controls and can take the
// keyboard focus. Keys arrive as KeyDown (virtual-key code, changeable; 0
// swallows the key), KeyPress (the character, changeable; 0 swallows it, and
// a changed character is what the control then receives) and KeyUp. When its
// form has KeyPreview set, the form sees each key first. Focus changes
// arrive as FocusReceived and FocusLost.

#include <vector>

#include "control.h"

namespace gui {

using TKeyEvent = std::function<void(TComponent* sender, TVirtualKey& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TComponent* sender, char16_t& key)>;

class TWinControl : public TControl {
 public:
  ~TWinControl() override;

  int ControlCount() const { return static_cast<int>(FControls.size()); }
  TControl* Controls(int index) const { return FControls.at(static_cast<size_t>(index)); }

  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool tabStop);
  // Position in the parent's tab sequence, 0 first.
  int TabOrder() const;
  void SetTabOrder(int order);

  bool Focused() const;
  bool CanFocus() const;
  virtual void SetFocus();

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

 protected:
  TWinControl(TComponent* owner, QWidget* widget);

  virtual void KeyDown(TVirtualKey& key, TShiftState shift);
  virtual void KeyPress(char16_t& key);
  virtual void KeyUp(TVirtualKey& key, TShiftState shift);
  virtual void FocusReceived();
  virtual void FocusLost();
  // The widget children are placed in (the client area).
  virtual QWidget* ClientWidget() const;
  // The control's focus policy follows TabStop.
  virtual void UpdateFocusPolicy();

 private:
  friend class TControl;
  friend struct detail::QtAccess;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void ApplyTabOrder();

  std::vector<TControl*> FControls;
  std::vector<TWinControl*> FTabList;
  bool FTabStop = false;
};

}  // namespace gui
