#include "checkbox.h"

#include <QCheckBox>

#include "qtaccess_qt.h"
#include "standardwidget_qt.h"

namespace gui {

namespace {

QCheckBox* Box(const TControl& c) { return static_cast<QCheckBox*>(detail::QtAccess::Widget(c)); }

}  // namespace

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner, new QCheckBox) {
  SetBounds(0, 0, 97, 17);
  SetTabStop(true);
  SetParentColor(true);
  QObject::connect(Box(*this), &QCheckBox::toggled, Box(*this), [this](bool) { detail::QtAccess::Click(*this); });
}

bool TCheckBox::Checked() const { return Box(*this)->isChecked(); }
void TCheckBox::SetChecked(bool checked) { Box(*this)->setChecked(checked); }
void TCheckBox::SetCaptionW(const std::u16string& caption) { Box(*this)->setText(detail::ToQString(caption)); }
void TCheckBox::TextChanged() { Box(*this)->setText(detail::Utf8ToQString(Caption())); }
void TCheckBox::FontChanged() { detail::ApplyFont(Box(*this), Font()); }
void TCheckBox::ColorChanged() { detail::ApplyColor(Box(*this), Color(), QPalette::Window); }
void TCheckBox::UpdateFocusPolicy() { Box(*this)->setFocusPolicy(TabStop() ? Qt::StrongFocus : Qt::ClickFocus); }

}  // namespace gui
