#pragma once
// Font and colour of the standard Qt widgets that stand for standard
// controls. Internal to the layer.

#include <QPalette>
#include <QWidget>

#include "qtconvert_qt.h"

namespace gui::detail {

// The font colour is the text of an enabled widget only: a disabled one
// draws its text in the platform's grey, whatever font it was given, so that
// it looks as dead as it is.
inline void ApplyFont(QWidget* w, const TFont& font) {
  w->setFont(ToQFont(font));
  QPalette p = w->palette();
  const QColor text = ToQColor(font.Color());
  const QColor grey = ToQColor(clGrayText);
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    p.setColor(QPalette::Active, role, text);
    p.setColor(QPalette::Inactive, role, text);
    p.setColor(QPalette::Disabled, role, grey);
  }
  w->setPalette(p);
}

// The background of a widget: the window colour of buttons and boxes, the
// base colour of edits and lists. A disabled edit or list is filled with the
// face colour instead of its field colour, as the platform shows it.
inline void ApplyColor(QWidget* w, TColor color, QPalette::ColorRole role) {
  QPalette p = w->palette();
  p.setColor(role, ToQColor(color));
  if (role == QPalette::Window) p.setColor(QPalette::Button, ToQColor(color));
  if (role == QPalette::Base) p.setColor(QPalette::Disabled, role, ToQColor(clBtnFace));
  w->setPalette(p);
  w->setAutoFillBackground(role == QPalette::Window);
}

}  // namespace gui::detail
