#include "edit.h"

#include <QLineEdit>
#include <QValidator>

#include <algorithm>

#include "qtaccess_qt.h"
#include "safecall_qt.h"
#include "standardwidget_qt.h"

namespace gui {

namespace {

QLineEdit* Line(const TControl& c) { return static_cast<QLineEdit*>(detail::QtAccess::Widget(c)); }

// The length limit of a field. Qt's own limit would also cut what the
// program sets, so the limit is a validator: it sees every edit but is
// told to let the program's texts through. An edit may make the text at
// most as long as the limit, or as long as it was when that is longer;
// what goes beyond is cut before the cursor, where typing and pasting put
// it.
class TLengthLimit : public QValidator {
 public:
  explicit TLengthLimit(QObject* parent) : QValidator(parent) {}

  int Limit = 0;      // 0: none
  int Accepted = 0;   // the length before the edit
  bool Programmatic = false;

  State validate(QString& input, int& pos) const override {
    if (Programmatic || Limit == 0) return Acceptable;
    const int excess = static_cast<int>(input.size()) - std::max(Limit, Accepted);
    if (excess <= 0) return Acceptable;
    const int at = std::clamp(pos - excess, 0, static_cast<int>(input.size()) - excess);
    input.remove(at, excess);
    pos = at;
    return Acceptable;
  }
};

TLengthLimit& LimitOf(const TControl& c) {
  return *static_cast<TLengthLimit*>(const_cast<QValidator*>(Line(c)->validator()));
}

}  // namespace

TEdit::TEdit(TComponent* owner) : TWinControl(owner, new QLineEdit) {
  SetBounds(0, 0, 121, 21);
  SetColor(clWindow);
  SetTabStop(true);
  QLineEdit* line = Line(*this);
  line->setValidator(new TLengthLimit(line));
  QObject::connect(line, &QLineEdit::textEdited, line, [this](const QString&) { FModified = true; });
  QObject::connect(line, &QLineEdit::textChanged, line, [this](const QString& text) {
    LimitOf(*this).Accepted = static_cast<int>(text.size());
    detail::SafeCall([this] { Change(); });
  });
}

std::u16string TEdit::Text() const { return detail::FromQString(Line(*this)->text()); }

void TEdit::SetText(const std::u16string& text) {
  TLengthLimit& limit = LimitOf(*this);
  limit.Programmatic = true;
  Line(*this)->setText(detail::ToQString(text));
  limit.Programmatic = false;
  limit.Accepted = static_cast<int>(Line(*this)->text().size());
  FModified = false;
}

void TEdit::SetMaxLength(int maxLength) {
  FMaxLength = maxLength < 0 ? 0 : maxLength;
  LimitOf(*this).Limit = FMaxLength;
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

// The key is taken here, before a key filter of the field could refuse the
// control character Ctrl+A types and swallow the key with it.
void TEdit::KeyDown(TVirtualKey& key, TShiftState shift) {
  TWinControl::KeyDown(key, shift);
  if (!IsSelectAllKey(key, shift)) return;
  SelectAll();
  key = 0;
}

void TEdit::FontChanged() { detail::ApplyFont(Line(*this), Font()); }
void TEdit::ColorChanged() { detail::ApplyColor(Line(*this), Color(), QPalette::Base); }
void TEdit::UpdateFocusPolicy() { Line(*this)->setFocusPolicy(TabStop() ? Qt::StrongFocus : Qt::ClickFocus); }

}  // namespace gui
