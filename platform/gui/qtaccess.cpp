#include "qtaccess_qt.h"

#include <QPointer>
#include <QVariant>
#include <QWidget>

#include "application.h"
#include "form.h"
#include "ownwidget_qt.h"
#include "safecall_qt.h"

namespace gui::detail {

namespace {

constexpr const char* ControlProperty = "zelto.control";

}  // namespace

QWidget* QtAccess::Widget(const TControl& control) { return control.FWidget; }

TControl* QtAccess::ControlOf(QWidget* widget) {
  for (QWidget* w = widget; w; w = w->parentWidget()) {
    const QVariant v = w->property(ControlProperty);
    if (v.isValid()) {
      auto* c = static_cast<TControl*>(v.value<void*>());
      if (c && !c->FDestroying) return c;
      return nullptr;
    }
    if (w->isWindow()) break;
  }
  return nullptr;
}

void QtAccess::Register(QWidget* widget, TControl* control) {
  if (!widget) return;
  if (control)
    widget->setProperty(ControlProperty, QVariant::fromValue(static_cast<void*>(control)));
  else
    widget->setProperty(ControlProperty, QVariant::fromValue(static_cast<void*>(nullptr)));
}

QWidget* QtAccess::ClientWidget(const TWinControl& control) { return control.ClientWidget(); }

void QtAccess::Attach(TControl& control) {
  if (auto* own = dynamic_cast<TOwnWidget*>(control.FWidget)) own->Attach(&control);
}

void QtAccess::Detach(TControl& control) {
  if (auto* own = dynamic_cast<TOwnWidget*>(control.FWidget)) own->Detach();
}

void QtAccess::MousePress(TControl& c, TMouseButton button, TShiftState shift, int x, int y, bool doubleClick) {
  SafeCall([&] {
    if (doubleClick && (c.FControlStyle & csDoubleClicks)) {
      QPointer<QWidget> alive(c.FWidget);
      if (button == mbLeft) c.DblClick();
      if (alive) c.MouseDown(button, shift | ssDouble, x, y);
      return;
    }
    if (button == mbLeft && (c.FControlStyle & csClickEvents)) c.FClicked = true;
    c.MouseDown(button, shift, x, y);
  });
}

void QtAccess::MouseRelease(TControl& c, TMouseButton button, TShiftState shift, int x, int y) {
  SafeCall([&] {
    QPointer<QWidget> alive(c.FWidget);
    if (button == mbLeft && c.FClicked) {
      c.FClicked = false;
      if (c.ClientRect().Contains({x, y})) c.Click();
    }
    if (alive && !c.FDestroying) c.MouseUp(button, shift, x, y);
  });
}

void QtAccess::MouseMoved(TControl& c, TShiftState shift, int x, int y) {
  SafeCall([&] { c.MouseMove(shift, x, y); });
}

void QtAccess::MouseEntered(TControl& c) {
  SafeCall([&] { c.MouseEnter(); });
}

void QtAccess::MouseLeft(TControl& c) {
  SafeCall([&] { c.MouseLeave(); });
}

bool QtAccess::Wheel(TControl& c, TShiftState shift, int delta, TPoint screenPos) {
  bool handled = false;
  SafeCall([&] { handled = c.DoMouseWheel(shift, delta, screenPos); });
  return handled;
}

bool QtAccess::ContextPopup(TControl& c, TPoint pos) {
  bool handled = false;
  SafeCall([&] {
    if (c.OnContextPopup) c.OnContextPopup(&c, pos, handled);
  });
  return handled;
}

void QtAccess::KeyDown(TWinControl& c, TVirtualKey& key, TShiftState shift) {
  SafeCall([&] { c.KeyDown(key, shift); });
}

void QtAccess::KeyPress(TWinControl& c, char16_t& key) {
  SafeCall([&] { c.KeyPress(key); });
}

void QtAccess::KeyUp(TWinControl& c, TVirtualKey& key, TShiftState shift) {
  SafeCall([&] { c.KeyUp(key, shift); });
}

void QtAccess::FocusIn(TWinControl& c) {
  SafeCall([&] { c.FocusReceived(); });
}

void QtAccess::FocusOut(TWinControl& c) {
  SafeCall([&] { c.FocusLost(); });
}

void QtAccess::Click(TControl& c) {
  SafeCall([&] { c.Click(); });
}

TCanvas* QtAccess::PaintCanvas(TControl& c) { return c.PaintCanvas(); }

void QtAccess::DoPaint(TControl& c) { c.DoPaint(); }

void QtAccess::WidgetResized(TControl& c, int width, int height) {
  if (dynamic_cast<TForm*>(&c)) return;
  if (width == c.FWidth && height == c.FHeight) return;
  SafeCall([&] { c.SetBounds(c.FLeft, c.FTop, width, height); });
}

unsigned QtAccess::Style(const TControl& c) { return c.FControlStyle; }

bool QtAccess::KeyPreview(const TForm& form) { return form.KeyPreview(); }

int QtAccess::HitTest(TForm& form, int x, int y) {
  int hit = HTCLIENT;
  SafeCall([&] { hit = form.HitTest(x, y); });
  return hit;
}

void QtAccess::FormWindowResized(TForm& form, int width, int height) {
  SafeCall([&] { form.WindowResized(width, height); });
}

void QtAccess::FormWindowMoved(TForm& form, int x, int y) {
  form.FLeft = x;
  form.FTop = y;
}

void QtAccess::FormActivation(TForm& form, int state) {
  SafeCall([&] { form.Activation(state); });
}

void QtAccess::SetMainForm(TForm* form) {
  if (Application) Application->FMainForm = form;
}

void QtAccess::StoreBounds(TControl& c, int left, int top, int width, int height) {
  c.FLeft = left;
  c.FTop = top;
  c.FWidth = width;
  c.FHeight = height;
}

void QtAccess::StoreVisible(TControl& c, bool visible) { c.FVisible = visible; }

void QtAccess::ParentResized(TControl& c) { c.ParentResized(); }

}  // namespace gui::detail
