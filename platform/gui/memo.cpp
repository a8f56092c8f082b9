#include "memo.h"

#include "edit.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "qtaccess_qt.h"
#include "safecall_qt.h"
#include "standardwidget_qt.h"

namespace gui {

namespace {

QPlainTextEdit* Edit(const TControl& c) { return static_cast<QPlainTextEdit*>(detail::QtAccess::Widget(c)); }

// The lines of a plain text edit; an empty edit has no line.
class TMemoLines : public TStrings {
 public:
  explicit TMemoLines(QPlainTextEdit* edit) : FEdit(edit) {}

  int Count() const override {
    QTextDocument* doc = FEdit->document();
    if (doc->blockCount() == 1 && doc->firstBlock().text().isEmpty()) return 0;
    return doc->blockCount();
  }
  std::u16string Strings(int index) const override {
    if (index < 0 || index >= Count()) return {};
    return detail::FromQString(FEdit->document()->findBlockByNumber(index).text());
  }
  intptr_t Objects(int) const override { return 0; }
  void SetObjects(int, intptr_t) override {}
  void Insert(int index, const std::u16string& text, intptr_t) override {
    const int count = Count();
    if (count == 0) {
      FEdit->setPlainText(detail::ToQString(text));
      return;
    }
    if (index >= count) {
      FEdit->appendPlainText(detail::ToQString(text));
      return;
    }
    QTextCursor c(FEdit->document()->findBlockByNumber(std::max(0, index)));
    c.insertText(detail::ToQString(text) + QChar('\n'));
  }
  void Delete(int index) override {
    const int count = Count();
    if (index < 0 || index >= count) return;
    if (count == 1) {
      FEdit->clear();
      return;
    }
    QTextCursor c(FEdit->document()->findBlockByNumber(index));
    c.select(QTextCursor::BlockUnderCursor);
    if (index == 0) {
      c.movePosition(QTextCursor::StartOfBlock);
      c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    }
    c.removeSelectedText();
  }
  void Clear() override { FEdit->clear(); }

 private:
  QPlainTextEdit* FEdit;
};

}  // namespace

TCustomMemo::TCustomMemo(TComponent* owner) : TWinControl(owner, new QPlainTextEdit) {
  FLines = std::make_unique<TMemoLines>(Edit(*this));
  SetBounds(0, 0, 185, 89);
  SetColor(clWindow);
  SetTabStop(true);
  SetScrollBars(ssNone);
  QObject::connect(Edit(*this), &QPlainTextEdit::textChanged, Edit(*this), [this] {
    if (FProgramChange) return;
    EnforceMaxLength();
    FAcceptedLength = static_cast<int>(Edit(*this)->document()->characterCount()) - 1;
    detail::SafeCall([this] { Change(); });
  });
}

TCustomMemo::~TCustomMemo() = default;

TStrings& TCustomMemo::Lines() { return *FLines; }

std::u16string TCustomMemo::Text() const { return detail::FromQString(Edit(*this)->toPlainText()); }

void TCustomMemo::SetText(const std::u16string& text) {
  FProgramChange = true;
  Edit(*this)->setPlainText(detail::ToQString(text));
  FProgramChange = false;
  FAcceptedLength = static_cast<int>(Edit(*this)->document()->characterCount()) - 1;
  detail::SafeCall([this] { Change(); });
}

void TCustomMemo::SetMaxLength(int maxLength) { FMaxLength = maxLength < 0 ? 0 : maxLength; }

// Cuts what an edit took beyond the limit (or beyond the length the text
// had, when that was longer), at the cursor, where typing and pasting put
// it.
void TCustomMemo::EnforceMaxLength() {
  QPlainTextEdit* e = Edit(*this);
  const int length = static_cast<int>(e->document()->characterCount()) - 1;
  const int allowed = std::max(FMaxLength, FAcceptedLength);
  if (FMaxLength == 0 || length <= allowed) return;
  FProgramChange = true;
  QTextCursor c = e->textCursor();
  const int end = c.position();
  const int start = std::max(0, end - (length - allowed));
  c.setPosition(start);
  c.setPosition(end, QTextCursor::KeepAnchor);
  c.removeSelectedText();
  if (static_cast<int>(e->document()->characterCount()) - 1 > allowed) {
    c.setPosition(allowed);
    c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    c.removeSelectedText();
  }
  FProgramChange = false;
}

bool TCustomMemo::ReadOnly() const { return Edit(*this)->isReadOnly(); }
void TCustomMemo::SetReadOnly(bool readOnly) { Edit(*this)->setReadOnly(readOnly); }

void TCustomMemo::SetWordWrap(bool wordWrap) {
  FWordWrap = wordWrap;
  Edit(*this)->setLineWrapMode(wordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TCustomMemo::SetScrollBars(TScrollStyle scrollBars) {
  FScrollBars = scrollBars;
  QPlainTextEdit* e = Edit(*this);
  const bool h = scrollBars == ssHorizontal || scrollBars == ssBoth;
  const bool v = scrollBars == ssVertical || scrollBars == ssBoth;
  e->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  e->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void TCustomMemo::Change() {
  if (OnChange) OnChange(this);
}

void TCustomMemo::KeyDown(TVirtualKey& key, TShiftState shift) {
  TWinControl::KeyDown(key, shift);
  if (!IsSelectAllKey(key, shift)) return;
  Edit(*this)->selectAll();
  key = 0;
}

void TCustomMemo::FontChanged() { detail::ApplyFont(Edit(*this), Font()); }
void TCustomMemo::ColorChanged() { detail::ApplyColor(Edit(*this), Color(), QPalette::Base); }
void TCustomMemo::UpdateFocusPolicy() { Edit(*this)->setFocusPolicy(TabStop() ? Qt::StrongFocus : Qt::ClickFocus); }

TMemo::TMemo(TComponent* owner) : TCustomMemo(owner) {}

TRichEdit::TRichEdit(TComponent* owner) : TCustomMemo(owner) {}

}  // namespace gui
