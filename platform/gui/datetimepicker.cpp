#include "datetimepicker.h"

#include <QDateEdit>

#include "qtaccess_qt.h"
#include "safecall_qt.h"
#include "standardwidget_qt.h"

namespace gui {

namespace {

QDateEdit* Edit(const TControl& c) { return static_cast<QDateEdit*>(detail::QtAccess::Widget(c)); }

}  // namespace

TDateTimePicker::TDateTimePicker(TComponent* owner) : TWinControl(owner, new QDateEdit) {
  QDateEdit* e = Edit(*this);
  e->setCalendarPopup(true);
  e->setDate(QDate::currentDate());
  SetBounds(0, 0, 186, 21);
  SetColor(clWindow);
  SetTabStop(true);
  QObject::connect(e, &QDateEdit::userDateChanged, e, [this](QDate) { detail::SafeCall([this] { Change(); }); });
}

TCalendarDate TDateTimePicker::Date() const {
  const QDate d = Edit(*this)->date();
  return {d.year(), d.month(), d.day()};
}

void TDateTimePicker::SetDate(const TCalendarDate& date) {
  const QDate d(date.Year, date.Month, date.Day);
  if (!d.isValid()) return;
  const QSignalBlocker block(Edit(*this));
  Edit(*this)->setDate(d);
}

void TDateTimePicker::Change() {
  if (OnChange) OnChange(this);
}

void TDateTimePicker::FontChanged() { detail::ApplyFont(Edit(*this), Font()); }
void TDateTimePicker::ColorChanged() { detail::ApplyColor(Edit(*this), Color(), QPalette::Base); }
void TDateTimePicker::UpdateFocusPolicy() { Edit(*this)->setFocusPolicy(TabStop() ? Qt::StrongFocus : Qt::ClickFocus); }

}  // namespace gui
