#include "wincontrol.h"

#include <QWidget>

#include <algorithm>

#include "label.h"
#include "qtaccess_qt.h"

namespace gui {

TWinControl::TWinControl(TComponent* owner, QWidget* widget) : TControl(owner, widget) {
  widget->setFocusPolicy(Qt::NoFocus);
}

TWinControl::~TWinControl() {
  detail::ForgetFocusControl(this);
  // Children go first, while their widgets still have this one as parent.
  while (!FControls.empty()) delete FControls.back();
}

QWidget* TWinControl::ClientWidget() const { return detail::QtAccess::Widget(*this); }

void TWinControl::InsertControl(TControl* control) {
  FControls.push_back(control);
  if (auto* win = dynamic_cast<TWinControl*>(control)) {
    FTabList.push_back(win);
    ApplyTabOrder();
  }
}

void TWinControl::RemoveControl(TControl* control) {
  FControls.erase(std::remove(FControls.begin(), FControls.end(), control), FControls.end());
  FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), control), FTabList.end());
}

void TWinControl::SetTabStop(bool tabStop) {
  FTabStop = tabStop;
  UpdateFocusPolicy();
}

void TWinControl::UpdateFocusPolicy() {
  detail::QtAccess::Widget(*this)->setFocusPolicy(FTabStop ? Qt::TabFocus : Qt::NoFocus);
}

int TWinControl::TabOrder() const {
  if (!Parent()) return -1;
  const auto& list = Parent()->FTabList;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int order) {
  if (!Parent()) return;
  auto& list = Parent()->FTabList;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  order = std::clamp(order, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + order, this);
  Parent()->ApplyTabOrder();
}

void TWinControl::ApplyTabOrder() {
  for (size_t i = 1; i < FTabList.size(); ++i)
    QWidget::setTabOrder(detail::QtAccess::Widget(*FTabList[i - 1]), detail::QtAccess::Widget(*FTabList[i]));
}

bool TWinControl::Focused() const {
  QWidget* w = detail::QtAccess::Widget(*this);
  return w->hasFocus() || (w->focusProxy() && w->focusProxy()->hasFocus());
}

bool TWinControl::CanFocus() const {
  QWidget* w = detail::QtAccess::Widget(*this);
  return w->isVisible() && w->isEnabled();
}

void TWinControl::SetFocus() { detail::QtAccess::Widget(*this)->setFocus(Qt::OtherFocusReason); }

void TWinControl::KeyDown(TVirtualKey& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyPress(char16_t& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

void TWinControl::KeyUp(TVirtualKey& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TWinControl::FocusReceived() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::FocusLost() {
  if (OnExit) OnExit(this);
}

}  // namespace gui
