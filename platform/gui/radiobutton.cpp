#include "radiobutton.h"

#include <QRadioButton>

#include "qtaccess_qt.h"
#include "standardwidget_qt.h"

namespace gui {

namespace {

QRadioButton* Button(const TControl& c) { return static_cast<QRadioButton*>(detail::QtAccess::Widget(c)); }

}  // namespace

TRadioButton::TRadioButton(TComponent* owner) : TWinControl(owner, new QRadioButton) {
  SetBounds(0, 0, 113, 17);
  SetTabStop(true);
  SetParentColor(true);
  QObject::connect(Button(*this), &QRadioButton::toggled, Button(*this), [this](bool on) {
    if (on) detail::QtAccess::Click(*this);
  });
}

bool TRadioButton::Checked() const { return Button(*this)->isChecked(); }

void TRadioButton::SetChecked(bool checked) { Button(*this)->setChecked(checked); }

void TRadioButton::SetCaptionW(const std::u16string& caption) { Button(*this)->setText(detail::ToQString(caption)); }

void TRadioButton::TextChanged() { Button(*this)->setText(detail::Utf8ToQString(Caption())); }

void TRadioButton::FontChanged() { detail::ApplyFont(Button(*this), Font()); }

void TRadioButton::ColorChanged() { detail::ApplyColor(Button(*this), Color(), QPalette::Window); }

void TRadioButton::UpdateFocusPolicy() { Button(*this)->setFocusPolicy(TabStop() ? Qt::StrongFocus : Qt::ClickFocus); }

}  // namespace gui
