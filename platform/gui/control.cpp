#include "control.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include "dispatcher_qt.h"
#include "form.h"
#include "label.h"
#include "ownwidget_qt.h"
#include "qtaccess_qt.h"
#include "qtconvert_qt.h"
#include "wincontrol.h"

namespace gui {

TControl::TControl(TComponent* owner, QWidget* widget) : TComponent(owner), FWidget(widget) {
  detail::QtAccess::Register(widget, this);
  FFont.OnChange = [this] {
    FParentFont = false;
    FontWasChanged();
  };
}

TControl::~TControl() {
  FDestroying = true;
  detail::ForgetControl(this);
  detail::QtAccess::Register(FWidget, nullptr);
  FFont.OnChange = nullptr;
  if (FParent) FParent->RemoveControl(this);
  if (auto* own = dynamic_cast<detail::TOwnWidget*>(FWidget)) own->Detach();
  delete FWidget;
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == FParent) return;
  if (FParent) FParent->RemoveControl(this);
  FParent = parent;
  FWidget->setParent(parent ? parent->ClientWidget() : nullptr);
  if (parent) {
    parent->InsertControl(this);
    if (dynamic_cast<TWinControl*>(this) == nullptr) StackBelowWindowedSiblings();
    ApplyParentFont();
    ApplyParentColor();
    ApplyGeometry();
    RecordAnchorDistances();
    FWidget->setVisible(FVisible);
  }
}

TForm* TControl::ParentForm() const {
  const TControl* c = this;
  while (c) {
    if (auto* form = dynamic_cast<TForm*>(const_cast<TControl*>(c))) return form;
    c = c->FParent;
  }
  return nullptr;
}

// A control without a window of its own paints on its parent: it lies above
// the graphic controls placed before it and below every windowed sibling.
void TControl::StackBelowWindowedSiblings() {
  QWidget* lowestWindowed = nullptr;
  for (QObject* o : FWidget->parentWidget()->children()) {
    auto* w = qobject_cast<QWidget*>(o);
    if (!w || w == FWidget) continue;
    if (dynamic_cast<TWinControl*>(detail::QtAccess::ControlOf(w)) && !w->isWindow()) {
      lowestWindowed = w;
      break;
    }
  }
  if (lowestWindowed)
    FWidget->stackUnder(lowestWindowed);
  else
    FWidget->raise();
}

void TControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(0, width);
  height = std::max(0, height);
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  const bool resized = width != FWidth || height != FHeight;
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  ApplyGeometry();
  RecordAnchorDistances();
  if (resized) {
    if (auto* self = dynamic_cast<TWinControl*>(this))
      for (TControl* child : self->FControls) child->ParentResized();
    Resize();
  }
}

void TControl::ApplyGeometry() { FWidget->setGeometry(FLeft, FTop, FWidth, FHeight); }

void TControl::SetAnchors(TAnchors anchors) {
  FAnchors = anchors;
  RecordAnchorDistances();
}

void TControl::RecordAnchorDistances() {
  if (!FParent) return;
  FAnchorRight = FParent->ClientWidth() - (FLeft + FWidth);
  FAnchorBottom = FParent->ClientHeight() - (FTop + FHeight);
}

void TControl::ParentResized() {
  if (!FParent || (FAnchors & (akRight | akBottom)) == 0) return;
  int left = FLeft, top = FTop, width = FWidth, height = FHeight;
  const int pw = FParent->ClientWidth();
  const int ph = FParent->ClientHeight();
  if (FAnchors & akRight) {
    if (FAnchors & akLeft)
      width = pw - FAnchorRight - left;
    else
      left = pw - FAnchorRight - width;
  }
  if (FAnchors & akBottom) {
    if (FAnchors & akTop)
      height = ph - FAnchorBottom - top;
    else
      top = ph - FAnchorBottom - height;
  }
  const int keepRight = FAnchorRight;
  const int keepBottom = FAnchorBottom;
  SetBounds(left, top, width, height);
  // The distances stay those the anchors were set with, even where a size
  // could not follow (a negative width is held at 0).
  FAnchorRight = keepRight;
  FAnchorBottom = keepBottom;
}

void TControl::SetVisible(bool visible) {
  if (visible == FVisible) return;
  FVisible = visible;
  FWidget->setVisible(visible);
  VisibleChanged();
}

bool TControl::Showing() const { return FWidget->isVisible(); }

void TControl::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  FWidget->setEnabled(enabled);
  EnabledChanged();
  if (auto* self = dynamic_cast<TWinControl*>(this)) detail::RepaintLabelsOf(self);
}

void TControl::SetColor(TColor color) {
  FParentColor = false;
  if (color == FColor) return;
  FColor = color;
  ColorChanged();
  if (auto* self = dynamic_cast<TWinControl*>(this))
    for (TControl* child : self->FControls) child->ApplyParentColor();
}

void TControl::SetParentColor(bool parentColor) {
  FParentColor = parentColor;
  ApplyParentColor();
}

void TControl::ApplyParentColor() {
  if (!FParentColor || !FParent || FParent->Color() == FColor) return;
  FColor = FParent->Color();
  ColorChanged();
  if (auto* self = dynamic_cast<TWinControl*>(this))
    for (TControl* child : self->FControls) child->ApplyParentColor();
}

void TControl::SetParentFont(bool parentFont) {
  FParentFont = parentFont;
  ApplyParentFont();
}

void TControl::ApplyParentFont() {
  if (!FParentFont || !FParent) return;
  auto notify = std::move(FFont.OnChange);
  FFont.Assign(FParent->Font());
  FFont.OnChange = std::move(notify);
  FontWasChanged();
}

void TControl::FontWasChanged() {
  FontChanged();
  if (auto* self = dynamic_cast<TWinControl*>(this))
    for (TControl* child : self->FControls) child->ApplyParentFont();
}

void TControl::SetCaption(const std::string& caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  TextChanged();
}

void TControl::SetHint(const std::u16string& hint) {
  FHint = hint;
  FWidget->setToolTip(FShowHint ? detail::ToQString(FHint) : QString());
}

void TControl::SetShowHint(bool show) {
  FShowHint = show;
  FWidget->setToolTip(FShowHint ? detail::ToQString(FHint) : QString());
}

TPoint TControl::ClientOrigin() const {
  const auto* win = dynamic_cast<const TWinControl*>(this);
  QWidget* w = win ? win->ClientWidget() : FWidget;
  return detail::FromQPoint(w->mapToGlobal(QPoint(0, 0)));
}

TPoint TControl::ClientToScreen(TPoint p) const {
  const TPoint o = ClientOrigin();
  return {p.x + o.x, p.y + o.y};
}

TPoint TControl::ScreenToClient(TPoint p) const {
  const TPoint o = ClientOrigin();
  return {p.x - o.x, p.y - o.y};
}

void TControl::Invalidate() { FWidget->update(); }

void TControl::Repaint() {
  if (FWidget->isVisible())
    FWidget->repaint();
  else
    FWidget->update();
}

void TControl::Update() { QCoreApplication::sendPostedEvents(FWidget->window(), QEvent::UpdateRequest); }

void TControl::BringToFront() { FWidget->raise(); }
void TControl::SendToBack() { FWidget->lower(); }

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

bool TControl::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
  return handled;
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::EnabledChanged() { Invalidate(); }
void TControl::FontChanged() { Invalidate(); }
void TControl::ColorChanged() { Invalidate(); }
void TControl::TextChanged() { Invalidate(); }
void TControl::VisibleChanged() {}

}  // namespace gui
