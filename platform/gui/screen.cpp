#include "screen.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include "qtconvert_qt.h"

namespace gui {

TSize ScreenSize() {
  QScreen* s = QGuiApplication::primaryScreen();
  if (!s) return {};
  return {s->geometry().width(), s->geometry().height()};
}

TRect ScreenWorkArea() {
  QScreen* s = QGuiApplication::primaryScreen();
  return s ? detail::FromQRect(s->availableGeometry()) : TRect();
}

TPoint CursorPos() { return detail::FromQPoint(QCursor::pos()); }

}  // namespace gui
