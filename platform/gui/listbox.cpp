#include "listbox.h"

#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>

#include "qtaccess_qt.h"
#include "safecall_qt.h"
#include "standardwidget_qt.h"

namespace gui {

namespace {

QListWidget* List(const TControl& c) { return static_cast<QListWidget*>(detail::QtAccess::Widget(c)); }

constexpr int ValueRole = Qt::UserRole + 1;

}  // namespace

class TListItems : public TStrings {
 public:
  explicit TListItems(TListBox& owner) : FOwner(owner) {}

  int Count() const override { return List(FOwner)->count(); }
  std::u16string Strings(int index) const override {
    QListWidgetItem* item = List(FOwner)->item(index);
    return item ? detail::FromQString(item->text()) : std::u16string();
  }
  intptr_t Objects(int index) const override {
    QListWidgetItem* item = List(FOwner)->item(index);
    return item ? static_cast<intptr_t>(item->data(ValueRole).value<qlonglong>()) : 0;
  }
  void SetObjects(int index, intptr_t object) override {
    if (QListWidgetItem* item = List(FOwner)->item(index))
      item->setData(ValueRole, QVariant::fromValue(static_cast<qlonglong>(object)));
  }
  void Insert(int index, const std::u16string& text, intptr_t object) override {
    const QSignalBlocker block(List(FOwner));
    auto* item = new QListWidgetItem(detail::ToQString(text));
    item->setData(ValueRole, QVariant::fromValue(static_cast<qlonglong>(object)));
    item->setSizeHint(QSize(0, FOwner.ItemHeight()));
    List(FOwner)->insertItem(index, item);
  }
  void Delete(int index) override {
    const QSignalBlocker block(List(FOwner));
    delete List(FOwner)->takeItem(index);
  }
  void Clear() override {
    const QSignalBlocker block(List(FOwner));
    List(FOwner)->clear();
  }

 protected:
  bool Sorted() const override { return FOwner.Sorted(); }

 private:
  TListBox& FOwner;
};

namespace {

// Hands each item of an owner-drawn list to its control.
class TOwnerDrawDelegate : public QStyledItemDelegate {
 public:
  TOwnerDrawDelegate(TListBox* list, QObject* parent) : QStyledItemDelegate(parent), FList(list) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    if (FList->Style() != lbOwnerDrawFixed) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    TOwnerDrawState state = 0;
    if (option.state & QStyle::State_Selected) state |= odSelected;
    if (option.state & QStyle::State_HasFocus) state |= odFocused;
    if (!(option.state & QStyle::State_Enabled)) state |= odDisabled;
    detail::QtAccess::PaintListItem(*FList, painter, detail::FromQRect(option.rect), index.row(), state);
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize s = QStyledItemDelegate::sizeHint(option, index);
    s.setHeight(FList->ItemHeight());
    return s;
  }

 private:
  TListBox* FList;
};

}  // namespace

TListBox::TListBox(TComponent* owner) : TWinControl(owner, new QListWidget) {
  FItems = std::make_unique<TListItems>(*this);
  QListWidget* list = List(*this);
  list->setItemDelegate(new TOwnerDrawDelegate(this, list));
  list->setUniformItemSizes(true);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  SetBounds(0, 0, 121, 97);
  SetColor(clWindow);
  SetTabStop(true);
  QObject::connect(list, &QListWidget::currentRowChanged, list, [this](int) {
    detail::SafeCall([this] { Click(); });
  });
}

TListBox::~TListBox() { detail::QtAccess::Unbind(FCanvas); }

void TListBox::SetStyle(TListBoxStyle style) {
  FStyle = style;
  List(*this)->viewport()->update();
}

void TListBox::SetItemHeight(int height) {
  FItemHeight = std::max(1, height);
  QListWidget* list = List(*this);
  for (int i = 0; i < list->count(); ++i) list->item(i)->setSizeHint(QSize(0, FItemHeight));
  list->doItemsLayout();
  SetIntegralHeight(FIntegralHeight);
}

void TListBox::SetIntegralHeight(bool integral) {
  FIntegralHeight = integral;
  if (!integral) return;
  QListWidget* list = List(*this);
  const int frame = list->height() - list->viewport()->height();
  const int rows = std::max(1, (Height() - frame) / FItemHeight);
  SetHeight(rows * FItemHeight + frame);
}

TStrings& TListBox::Items() { return *FItems; }

int TListBox::ItemIndex() const { return List(*this)->currentRow(); }

void TListBox::SetItemIndex(int index) {
  QListWidget* list = List(*this);
  const QSignalBlocker block(list);
  list->setCurrentRow(index >= list->count() ? -1 : index);
  list->viewport()->update();
}

TRect TListBox::ItemRect(int index) const {
  QListWidget* list = List(*this);
  QListWidgetItem* item = list->item(index);
  return item ? detail::FromQRect(list->visualItemRect(item)) : TRect();
}

int TListBox::ItemAtPos(TPoint p) const {
  QListWidget* list = List(*this);
  QListWidgetItem* item = list->itemAt(detail::ToQPoint(p));
  return item ? list->row(item) : -1;
}

void TListBox::DrawItem(int index, TRect rect, TOwnerDrawState state) {
  if (OnDrawItem) {
    OnDrawItem(this, index, rect, state);
    return;
  }
  FCanvas.FillRect(rect);
  FCanvas.SetBkMode(bkTransparent);
  FCanvas.TextOut(rect.Left + 2, rect.Top, Items().Strings(index));
}

void TListBox::FontChanged() { detail::ApplyFont(List(*this), Font()); }
void TListBox::ColorChanged() { detail::ApplyColor(List(*this), Color(), QPalette::Base); }
void TListBox::UpdateFocusPolicy() { List(*this)->setFocusPolicy(TabStop() ? Qt::StrongFocus : Qt::ClickFocus); }

namespace detail {

void QtAccess::PaintListItem(TListBox& list, QPainter* painter, const TRect& rect, int index, uint8_t state) {
  if (rect.IsEmpty()) return;
  QImage image(rect.Width(), rect.Height(), QImage::Format_RGB32);
  TCanvas& canvas = list.FCanvas;
  BindImage(canvas, &image);
  SetCanvasOrigin(canvas, -rect.Left, -rect.Top);
  canvas.Font().Assign(list.Font());
  canvas.Brush().Color = list.Color();
  canvas.Brush().Style = bsSolid;
  if (state & odDisabled) canvas.Font().SetColor(clGrayText);
  if (state & odSelected) {
    canvas.Brush().Color = clHighlight;
    canvas.Font().SetColor(clHighlightText);
  }
  SafeCall([&] { list.DrawItem(index, rect, state); });
  if (state & odFocused) canvas.DrawFocusRect(rect);
  Unbind(canvas);
  painter->drawImage(QPoint(rect.Left, rect.Top), image);
}

}  // namespace detail

}  // namespace gui
