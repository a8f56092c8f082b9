#pragma once
// Font and colour of the standard Qt widgets that stand for standard
// controls. Internal to the layer.

#include <QPalette>
#include <QWidget>

#include "qtconvert_qt.h"

namespace gui::detail {

inline void ApplyFont(QWidget* w, const TFont& font) {
  w->setFont(ToQFont(font));
  QPalette p = w->palette();
  const QColor text = ToQColor(font.Color());
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::ButtonText, text);
  w->setPalette(p);
}

// The background of a widget: the window colour of buttons and boxes, the
// base colour of edits and lists.
inline void ApplyColor(QWidget* w, TColor color, QPalette::ColorRole role) {
  QPalette p = w->palette();
  p.setColor(role, ToQColor(color));
  if (role == QPalette::Window) p.setColor(QPalette::Button, ToQColor(color));
  w->setPalette(p);
  w->setAutoFillBackground(role == QPalette::Window);
}

}  // namespace gui::detail
