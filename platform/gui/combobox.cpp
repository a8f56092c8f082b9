#include "combobox.h"

#include <QComboBox>
#include <QLineEdit>

#include "qtaccess_qt.h"
#include "safecall_qt.h"
#include "standardwidget_qt.h"

namespace gui {

namespace {

QComboBox* Combo(const TControl& c) { return static_cast<QComboBox*>(detail::QtAccess::Widget(c)); }

}  // namespace

class TComboItems : public TStrings {
 public:
  explicit TComboItems(TComboBox& owner) : FOwner(owner) {}

  int Count() const override { return Combo(FOwner)->count(); }
  std::u16string Strings(int index) const override { return detail::FromQString(Combo(FOwner)->itemText(index)); }
  intptr_t Objects(int index) const override {
    return static_cast<intptr_t>(Combo(FOwner)->itemData(index).value<qlonglong>());
  }
  void SetObjects(int index, intptr_t object) override {
    Combo(FOwner)->setItemData(index, QVariant::fromValue(static_cast<qlonglong>(object)));
  }
  void Insert(int index, const std::u16string& text, intptr_t object) override {
    QComboBox* c = Combo(FOwner);
    const QSignalBlocker block(c);
    const bool wasEmpty = c->count() == 0;
    c->insertItem(index, detail::ToQString(text), QVariant::fromValue(static_cast<qlonglong>(object)));
    // A new list starts without a selection, as the platform's does.
    if (wasEmpty) c->setCurrentIndex(-1);
  }
  void Delete(int index) override {
    const QSignalBlocker block(Combo(FOwner));
    Combo(FOwner)->removeItem(index);
  }
  void Clear() override {
    const QSignalBlocker block(Combo(FOwner));
    Combo(FOwner)->clear();
  }

 protected:
  bool Sorted() const override { return FOwner.Sorted(); }

 private:
  TComboBox& FOwner;
};

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner, new QComboBox) {
  FItems = std::make_unique<TComboItems>(*this);
  SetBounds(0, 0, 145, 21);
  SetColor(clWindow);
  SetTabStop(true);
  SetStyle(csDropDown);
  QComboBox* c = Combo(*this);
  QObject::connect(c, &QComboBox::activated, c, [this](int) { detail::SafeCall([this] { Change(); }); });
}

TComboBox::~TComboBox() = default;

void TComboBox::SetStyle(TComboBoxStyle style) {
  FStyle = style;
  QComboBox* c = Combo(*this);
  const QSignalBlocker block(c);
  c->setEditable(style == csDropDown);
  QLineEdit* edit = c->lineEdit();
  if (edit && !edit->property("zelto.connected").toBool()) {
    edit->setProperty("zelto.connected", true);
    QObject::connect(edit, &QLineEdit::textEdited, c, [this](const QString&) {
      detail::SafeCall([this] { Change(); });
    });
  }
}

TStrings& TComboBox::Items() { return *FItems; }

int TComboBox::ItemIndex() const { return Combo(*this)->currentIndex(); }

void TComboBox::SetItemIndex(int index) {
  QComboBox* c = Combo(*this);
  const QSignalBlocker block(c);
  c->setCurrentIndex(index >= c->count() ? -1 : index);
}

std::u16string TComboBox::Text() const { return detail::FromQString(Combo(*this)->currentText()); }

void TComboBox::SetText(const std::u16string& text) {
  QComboBox* c = Combo(*this);
  const QSignalBlocker block(c);
  if (c->isEditable())
    c->setEditText(detail::ToQString(text));
  else
    c->setCurrentIndex(c->findText(detail::ToQString(text)));
}

int TComboBox::DropDownCount() const { return Combo(*this)->maxVisibleItems(); }
void TComboBox::SetDropDownCount(int count) { Combo(*this)->setMaxVisibleItems(count); }

void TComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TComboBox::FontChanged() { detail::ApplyFont(Combo(*this), Font()); }
void TComboBox::ColorChanged() { detail::ApplyColor(Combo(*this), Color(), QPalette::Base); }
void TComboBox::UpdateFocusPolicy() { Combo(*this)->setFocusPolicy(TabStop() ? Qt::StrongFocus : Qt::ClickFocus); }

}  // namespace gui
