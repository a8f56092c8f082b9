#include "groupbox.h"

#include <QGroupBox>

#include "qtaccess_qt.h"
#include "standardwidget_qt.h"

namespace gui {

namespace {

QGroupBox* Box(const TControl& c) { return static_cast<QGroupBox*>(detail::QtAccess::Widget(c)); }

}  // namespace

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner, new QGroupBox) {
  SetBounds(0, 0, 185, 105);
  SetParentColor(true);
}

void TGroupBox::SetCaptionW(const std::u16string& caption) { Box(*this)->setTitle(detail::ToQString(caption)); }
void TGroupBox::TextChanged() { Box(*this)->setTitle(detail::Utf8ToQString(Caption())); }
void TGroupBox::FontChanged() { detail::ApplyFont(Box(*this), Font()); }
void TGroupBox::ColorChanged() { detail::ApplyColor(Box(*this), Color(), QPalette::Window); }

}  // namespace gui
