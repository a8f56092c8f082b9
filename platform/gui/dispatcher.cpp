#include "dispatcher_qt.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>

#include "form.h"
#include "qtaccess_qt.h"
#include "qtconvert_qt.h"

namespace gui::detail {

namespace {

TDispatcher* TheDispatcher = nullptr;

TWinControl* WindowedOf(TControl* c) {
  while (c && dynamic_cast<TWinControl*>(c) == nullptr) c = c->Parent();
  return static_cast<TWinControl*>(c);
}

TControl* ControlUnder(QPoint global) {
  QWidget* w = QApplication::widgetAt(global);
  return w ? QtAccess::ControlOf(w) : nullptr;
}

// The Qt key that types a character, for a key event whose character a
// KeyPress handler replaced.
int QtKeyForChar(char16_t ch) {
  switch (ch) {
    case 8: return Qt::Key_Backspace;
    case 13: return Qt::Key_Return;
    case 27: return Qt::Key_Escape;
    default: break;
  }
  if (ch >= 0x20 && ch < 0x7F) return QChar(ch).toUpper().unicode();
  return Qt::Key_unknown;
}

Qt::Edges EdgesOf(int hit) {
  switch (hit) {
    case HTLEFT: return Qt::LeftEdge;
    case HTRIGHT: return Qt::RightEdge;
    case HTTOP: return Qt::TopEdge;
    case HTBOTTOM: return Qt::BottomEdge;
    case HTTOPLEFT: return Qt::TopEdge | Qt::LeftEdge;
    case HTTOPRIGHT: return Qt::TopEdge | Qt::RightEdge;
    case HTBOTTOMLEFT: return Qt::BottomEdge | Qt::LeftEdge;
    default: return Qt::BottomEdge | Qt::RightEdge;
  }
}

}  // namespace

TDispatcher* TDispatcher::Instance() { return TheDispatcher; }

TDispatcher::TDispatcher() { TheDispatcher = this; }

TDispatcher::~TDispatcher() {
  if (TheDispatcher == this) TheDispatcher = nullptr;
}

void ForgetControl(TControl* control) {
  if (TheDispatcher) TheDispatcher->ForgetControl(control);
}

void TDispatcher::ForgetControl(TControl* control) {
  if (FHover == control) FHover = nullptr;
  if (FDrag.Form == control) EndDrag();
}

bool TDispatcher::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      return KeyEvent(watched, event);
    case QEvent::Wheel:
      return WheelEvent(watched, event);
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
      return MouseEvent(watched, event);
    case QEvent::Leave:
      if (FHover && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow() &&
          QtAccess::Widget(*FHover)->window() == watched)
        UpdateHover(nullptr);
      return false;
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
      if (!watched->isWidgetType()) return false;
      QWidget* w = static_cast<QWidget*>(watched);
      auto* c = dynamic_cast<TWinControl*>(QtAccess::ControlOf(w));
      if (!c || QtAccess::Widget(*c) != w) return false;
      if (event->type() == QEvent::FocusIn)
        QtAccess::FocusIn(*c);
      else
        QtAccess::FocusOut(*c);
      return false;
    }
    case QEvent::ContextMenu: {
      if (!watched->isWidgetType()) return false;
      QWidget* w = static_cast<QWidget*>(watched);
      TControl* c = QtAccess::ControlOf(w);
      if (!c || QtAccess::Widget(*c) != w) return false;
      auto* ce = static_cast<QContextMenuEvent*>(event);
      return QtAccess::ContextPopup(*c, FromQPoint(ce->pos()));
    }
    default:
      return false;
  }
}

bool TDispatcher::KeyEvent(QObject* watched, QEvent* event) {
  if (FReplaying || !watched->isWidgetType() || QApplication::activePopupWidget()) return false;
  QWidget* w = static_cast<QWidget*>(watched);
  // Keys go first to the focus widget of their window (or the window itself);
  // what reaches its parents afterwards was handled here already.
  QWidget* focus = w->window()->focusWidget();
  if (w != (focus ? focus : w->window())) return false;
  TWinControl* target = WindowedOf(QtAccess::ControlOf(w));
  if (!target) return false;
  NoteActivity();
  TForm* form = target->ParentForm();
  const bool preview = form && form != target && QtAccess::KeyPreview(*form);
  QPointer<QWidget> guard(w);
  auto* ke = static_cast<QKeyEvent*>(event);
  const TShiftState shift = ShiftStateOf(ke->modifiers(), QApplication::mouseButtons());
  TVirtualKey vk = VirtualKeyOf(ke->key(), ke->modifiers());
  if (event->type() == QEvent::KeyRelease) {
    if (vk == 0) return false;
    if (preview) QtAccess::KeyUp(*form, vk, shift);
    if (!guard) return true;
    if (vk != 0) QtAccess::KeyUp(*target, vk, shift);
    return !guard || vk == 0;
  }
  if (vk != 0) {
    if (preview) {
      QtAccess::KeyDown(*form, vk, shift);
      if (!guard || vk == 0) return true;
    }
    QtAccess::KeyDown(*target, vk, shift);
    if (!guard || vk == 0) return true;
  }
  const QString text = ke->text();
  if (text.isEmpty() || ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab || text.at(0).unicode() == 0x7F)
    return false;
  const char16_t original = text.at(0).unicode();
  char16_t ch = original;
  if (preview) {
    QtAccess::KeyPress(*form, ch);
    if (!guard || ch == 0) return true;
  }
  QtAccess::KeyPress(*target, ch);
  if (!guard || ch == 0) return true;
  if (ch == original) return false;
  QKeyEvent replaced(QEvent::KeyPress, QtKeyForChar(ch), ke->modifiers(), QString(QChar(ch)), ke->isAutoRepeat());
  FReplaying = true;
  QApplication::sendEvent(w, &replaced);
  FReplaying = false;
  return true;
}

bool TDispatcher::WheelEvent(QObject* watched, QEvent* event) {
  if (!watched->isWidgetType()) return false;
  auto* we = static_cast<QWheelEvent*>(event);
  // Only the first delivery, to the widget under the cursor; Qt passes an
  // unhandled wheel on to the parents.
  if (QApplication::widgetAt(we->globalPosition().toPoint()) != watched) return false;
  NoteActivity();
  TControl* under = QtAccess::ControlOf(static_cast<QWidget*>(watched));
  TForm* form = under ? under->ParentForm() : nullptr;
  if (!form) return false;
  TControl* start = form;
  if (QWidget* focus = QApplication::focusWidget()) {
    TWinControl* focused = WindowedOf(QtAccess::ControlOf(focus));
    if (focused && focused->ParentForm() == form) start = focused;
  }
  const TShiftState shift = ShiftStateOf(we->modifiers(), we->buttons());
  const TPoint global = FromQPoint(we->globalPosition().toPoint());
  const int delta = we->angleDelta().y();
  for (TControl* c = start; c; c = c->Parent()) {
    QPointer<QWidget> guard(QtAccess::Widget(*c));
    if (QtAccess::Wheel(*c, shift, delta, global)) return true;
    if (!guard) return true;
  }
  return false;
}

bool TDispatcher::MouseEvent(QObject* watched, QEvent* event) {
  if (!watched->isWidgetType()) return false;
  auto* me = static_cast<QMouseEvent*>(event);
  const QPoint global = me->globalPosition().toPoint();
  if (FDrag.Window) {
    if (event->type() == QEvent::MouseMove) return DragStep(global);
    if (event->type() == QEvent::MouseButtonRelease && me->button() == Qt::LeftButton) {
      DragStep(global);
      EndDrag();
    }
    return true;
  }
  if (event->type() == QEvent::MouseMove) {
    UpdateHover(ControlUnder(global));
    return false;
  }
  if (!event->spontaneous()) return false;
  NoteActivity();
  UpdateHover(ControlUnder(global));
  if (event->type() == QEvent::MouseButtonPress) ActivateByClick(static_cast<QWidget*>(watched)->window());
  if (event->type() != QEvent::MouseButtonPress || me->button() != Qt::LeftButton) return false;
  auto* form = dynamic_cast<TForm*>(WindowedOf(QtAccess::ControlOf(static_cast<QWidget*>(watched))));
  return form && OfferFramePress(*form, global);
}

bool TDispatcher::OfferFramePress(TForm& form, QPoint global) {
  QWidget* window = QtAccess::FormWindow(form);
  const QPoint local = window->mapFromGlobal(global);
  const int hit = QtAccess::HitTest(form, local.x(), local.y());
  if (hit == HTBORDER) return true;
  if (hit != HTCAPTION && !IsSizingHit(hit)) return false;
  QWindow* handle = window->windowHandle();
  const bool system =
      handle && (hit == HTCAPTION ? handle->startSystemMove() : handle->startSystemResize(EdgesOf(hit)));
  if (!system) FDrag = TDrag{window, &form, hit, global, window->geometry()};
  return true;
}

bool TDispatcher::DragStep(QPoint global) {
  QWidget* window = FDrag.Window;
  if (!window) return false;
  const QPoint d = global - FDrag.StartGlobal;
  if (FDrag.Hit == HTCAPTION) {
    window->move(FDrag.StartGeometry.topLeft() + d);
    return true;
  }
  const QSize min = window->minimumSize();
  const TRect r = ResizeBounds(FromQRect(FDrag.StartGeometry), FDrag.Hit, d.x(), d.y(), std::max(1, min.width()),
                               std::max(1, min.height()));
  window->setGeometry(ToQRect(r));
  return true;
}

void TDispatcher::EndDrag() { FDrag = TDrag{}; }

void TDispatcher::UpdateHover(TControl* now) {
  if (now == FHover) return;
  TControl* old = FHover;
  FHover = now;
  if (old) QtAccess::MouseLeft(*old);
  if (now && FHover == now) QtAccess::MouseEntered(*now);
}

void TDispatcher::Activity() { NoteActivity(); }

// A press on an inactive window of a form activates it, as the window
// system of the platform the windows were drawn for does; the activation
// then counts as one by click.
void TDispatcher::ActivateByClick(QWidget* window) {
  if (!window || window->isActiveWindow() || QApplication::activePopupWidget()) return;
  if (!dynamic_cast<TForm*>(QtAccess::ControlOf(window))) return;
  FClickActivated = window;
  window->activateWindow();
}

bool TDispatcher::TakeClickActivation(QWidget* window) {
  if (!FClickActivated || FClickActivated != window) return false;
  FClickActivated = nullptr;
  return true;
}

}  // namespace gui::detail
