#include "inputsim.h"

#include <QApplication>
#include <QToolTip>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>

#include "bitmap.h"
#include "form.h"
#include "qtaccess_qt.h"
#include "qtconvert_qt.h"

// The window system's entry points for input, as the platform exports them
// for test drivers.
Q_GUI_EXPORT void qt_handleMouseEvent(QWindow* window, const QPointF& local, const QPointF& global,
                                      Qt::MouseButtons state, Qt::MouseButton button, QEvent::Type type,
                                      Qt::KeyboardModifiers mods, int timestamp);
Q_GUI_EXPORT void qt_handleKeyEvent(QWindow* window, QEvent::Type t, int k, Qt::KeyboardModifiers mods,
                                    const QString& text, bool autorep, ushort count);

namespace gui {

namespace {

int Clock = 0;
// Far apart, so that separate clicks never make a double click.
int NextTime(int step = 1000) { return Clock += step; }

Qt::MouseButton QtButton(TMouseButton b) {
  return b == mbRight ? Qt::RightButton : b == mbMiddle ? Qt::MiddleButton : Qt::LeftButton;
}

Qt::MouseButtons HeldButtons(TShiftState s) {
  Qt::MouseButtons b;
  if (s & ssLeft) b |= Qt::LeftButton;
  if (s & ssRight) b |= Qt::RightButton;
  if (s & ssMiddle) b |= Qt::MiddleButton;
  return b;
}

Qt::KeyboardModifiers Modifiers(TShiftState s) {
  Qt::KeyboardModifiers m;
  if (s & ssShift) m |= Qt::ShiftModifier;
  if (s & ssCtrl) m |= Qt::ControlModifier;
  if (s & ssAlt) m |= Qt::AltModifier;
  return m;
}

struct TTarget {
  QWindow* Window = nullptr;
  QPointF Local;
  QPointF Global;
};

TTarget TargetOf(TControl& control, int x, int y) {
  QWidget* w = detail::QtAccess::Widget(control);
  if (auto* win = dynamic_cast<TWinControl*>(&control)) w = detail::QtAccess::ClientWidget(*win);
  QWidget* top = w->window();
  top->winId();
  TTarget t;
  t.Window = top->windowHandle();
  t.Global = QPointF(w->mapToGlobal(QPoint(x, y)));
  t.Local = QPointF(top->mapFromGlobal(t.Global.toPoint()));
  return t;
}

void Send(const TTarget& t, Qt::MouseButtons state, Qt::MouseButton button, QEvent::Type type, TShiftState shift,
          int time) {
  qt_handleMouseEvent(t.Window, t.Local, t.Global, state, button, type, Modifiers(shift), time);
  QApplication::processEvents();
}

// The Qt key of a virtual-key code.
int QtKeyOf(TVirtualKey key) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return key;
  if (key >= VK_F1 && key <= VK_F12) return Qt::Key_F1 + (key - VK_F1);
  switch (key) {
    case VK_BACK: return Qt::Key_Backspace;
    case VK_TAB: return Qt::Key_Tab;
    case VK_RETURN: return Qt::Key_Return;
    case VK_ESCAPE: return Qt::Key_Escape;
    case VK_SPACE: return Qt::Key_Space;
    case VK_PRIOR: return Qt::Key_PageUp;
    case VK_NEXT: return Qt::Key_PageDown;
    case VK_END: return Qt::Key_End;
    case VK_HOME: return Qt::Key_Home;
    case VK_LEFT: return Qt::Key_Left;
    case VK_UP: return Qt::Key_Up;
    case VK_RIGHT: return Qt::Key_Right;
    case VK_DOWN: return Qt::Key_Down;
    case VK_DELETE: return Qt::Key_Delete;
    case VK_SHIFT: return Qt::Key_Shift;
    case VK_CONTROL: return Qt::Key_Control;
    case VK_MENU: return Qt::Key_Alt;
    case VK_OEM_COMMA: return Qt::Key_Comma;
    case VK_OEM_PERIOD: return Qt::Key_Period;
    case VK_OEM_MINUS: return Qt::Key_Minus;
    case VK_OEM_PLUS: return Qt::Key_Plus;
    default: return Qt::Key_unknown;
  }
}

}  // namespace

void SimMouseMove(TControl& control, int x, int y, TShiftState buttonsHeld) {
  Send(TargetOf(control, x, y), HeldButtons(buttonsHeld), Qt::NoButton, QEvent::MouseMove, buttonsHeld, NextTime(10));
}

void SimMouseDown(TControl& control, TMouseButton button, int x, int y, TShiftState shift) {
  Send(TargetOf(control, x, y), HeldButtons(shift) | QtButton(button), QtButton(button), QEvent::MouseButtonPress,
       shift, NextTime());
}

void SimMouseUp(TControl& control, TMouseButton button, int x, int y, TShiftState shift) {
  Send(TargetOf(control, x, y), HeldButtons(shift) & ~Qt::MouseButtons(QtButton(button)), QtButton(button),
       QEvent::MouseButtonRelease, shift, NextTime(10));
}

void SimClick(TControl& control, int x, int y) {
  SimMouseMove(control, x, y);
  SimMouseDown(control, mbLeft, x, y);
  SimMouseUp(control, mbLeft, x, y);
}

void SimDoubleClick(TControl& control, int x, int y) {
  const TTarget t = TargetOf(control, x, y);
  SimMouseMove(control, x, y);
  const int start = NextTime();
  Send(t, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress, 0, start);
  Send(t, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease, 0, start + 10);
  Send(t, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress, 0, start + 20);
  Send(t, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease, 0, start + 30);
  NextTime();
}

void SimMouseLeaveWindow(TForm& form) {
  QWidget* top = detail::QtAccess::FormWindow(form);
  const QRect g = top->geometry();
  TTarget t;
  top->winId();
  t.Window = top->windowHandle();
  t.Global = QPointF(g.right() + 50, g.bottom() + 50);
  t.Local = QPointF(top->mapFromGlobal(t.Global.toPoint()));
  Send(t, Qt::NoButton, Qt::NoButton, QEvent::MouseMove, 0, NextTime(10));
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(top, &leave);
  QApplication::processEvents();
}

void SimWheel(TControl& control, int x, int y, int delta, TShiftState shift) {
  const TTarget t = TargetOf(control, x, y);
  QWidget* receiver = QApplication::widgetAt(t.Global.toPoint());
  if (!receiver) return;
  QWheelEvent wheel(QPointF(receiver->mapFromGlobal(t.Global.toPoint())), t.Global, QPoint(), QPoint(0, delta),
                    Qt::NoButton, Modifiers(shift), Qt::NoScrollPhase, false);
  QApplication::sendEvent(receiver, &wheel);
  QApplication::processEvents();
}

void SimKey(TForm* form, TVirtualKey key, char16_t ch, TShiftState shift) {
  QWindow* window = nullptr;
  if (QWidget* popup = QApplication::activePopupWidget()) {
    window = popup->windowHandle();
  } else if (form) {
    QWidget* top = detail::QtAccess::FormWindow(*form);
    top->winId();
    window = top->windowHandle();
  } else {
    window = QGuiApplication::focusWindow();
  }
  if (!window) return;
  const QString text = ch ? QString(QChar(ch)) : QString();
  qt_handleKeyEvent(window, QEvent::KeyPress, QtKeyOf(key), Modifiers(shift), text, false, 1);
  QApplication::processEvents();
  if (QWidget* popup = QApplication::activePopupWidget()) window = popup->windowHandle();
  qt_handleKeyEvent(window, QEvent::KeyRelease, QtKeyOf(key), Modifiers(shift), text, false, 1);
  QApplication::processEvents();
}

std::u16string ShownToolTip() { return QToolTip::isVisible() ? detail::FromQString(QToolTip::text()) : u""; }

bool CaptureOpenPopup(TBitmap& picture) {
  QWidget* popup = QApplication::activePopupWidget();
  if (!popup) return false;
  detail::QtAccess::Image(picture) = popup->grab().toImage().convertToFormat(QImage::Format_RGB32);
  return true;
}

}  // namespace gui
