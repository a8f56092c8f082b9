#include "edit.h"

#include <QLineEdit>

#include "qtaccess_qt.h"
#include "safecall_qt.h"
#include "standardwidget_qt.h"

namespace gui {

namespace {

QLineEdit* Line(const TControl& c) { return static_cast<QLineEdit*>(detail::QtAccess::Widget(c)); }

// Qt's own limit stands for "no limit".
constexpr int QtMaxLength = 32767;

}  // namespace

TEdit::TEdit(TComponent* owner) : TWinControl(owner, new QLineEdit) {
  SetBounds(0, 0, 121, 21);
  SetColor(clWindow);
  SetTabStop(true);
  QObject::connect(Line(*this), &QLineEdit::textChanged, Line(*this),
                   [this](const QString&) { detail::SafeCall([this] { Change(); }); });
}

std::u16string TEdit::Text() const { return detail::FromQString(Line(*this)->text()); }

void TEdit::SetText(const std::u16string& text) { Line(*this)->setText(detail::ToQString(text)); }

void TEdit::SetMaxLength(int maxLength) {
  FMaxLength = maxLength < 0 ? 0 : maxLength;
  Line(*this)->setMaxLength(FMaxLength == 0 ? QtMaxLength : FMaxLength);
}

bool TEdit::ReadOnly() const { return Line(*this)->isReadOnly(); }
void TEdit::SetReadOnly(bool readOnly) { Line(*this)->setReadOnly(readOnly); }
int TEdit::SelStart() const {
  QLineEdit* e = Line(*this);
  return e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
}
void TEdit::SetSelStart(int start) { Line(*this)->setCursorPosition(start); }
int TEdit::SelLength() const { return static_cast<int>(Line(*this)->selectedText().size()); }
void TEdit::SetSelLength(int length) { Line(*this)->setSelection(SelStart(), length); }
void TEdit::SelectAll() { Line(*this)->selectAll(); }

void TEdit::Change() {
  if (OnChange) OnChange(this);
}

void TEdit::FontChanged() { detail::ApplyFont(Line(*this), Font()); }
void TEdit::ColorChanged() { detail::ApplyColor(Line(*this), Color(), QPalette::Base); }
void TEdit::UpdateFocusPolicy() { Line(*this)->setFocusPolicy(TabStop() ? Qt::StrongFocus : Qt::ClickFocus); }

}  // namespace gui
