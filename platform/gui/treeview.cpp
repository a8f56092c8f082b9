#include "treeview.h"

#include <QHeaderView>
#include <QTreeWidget>

#include "qtaccess_qt.h"
#include "safecall_qt.h"
#include "standardwidget_qt.h"

namespace gui {

namespace {

QTreeWidget* Tree(const TControl& c) { return static_cast<QTreeWidget*>(detail::QtAccess::Widget(c)); }
QTreeWidgetItem* ItemOf(const void* p) { return static_cast<QTreeWidgetItem*>(const_cast<void*>(p)); }

constexpr int NodeRole = Qt::UserRole + 1;
constexpr int DataRole = Qt::UserRole + 2;

// Each item keeps its node handle; the handle lives as long as the item.
class TNodeItem : public QTreeWidgetItem {
 public:
  ~TNodeItem() override;
  TTreeNode* Node = nullptr;
};

}  // namespace

TTreeNode* TTreeView::NodeOf(void* item) {
  if (!item) return nullptr;
  return static_cast<TNodeItem*>(ItemOf(item))->Node;
}

namespace {

TNodeItem::~TNodeItem() { delete Node; }

}  // namespace

std::u16string TTreeNode::Text() const { return detail::FromQString(ItemOf(FItem)->text(0)); }
void TTreeNode::SetText(const std::u16string& text) { ItemOf(FItem)->setText(0, detail::ToQString(text)); }
intptr_t TTreeNode::Data() const { return static_cast<intptr_t>(ItemOf(FItem)->data(0, DataRole).value<qlonglong>()); }
void TTreeNode::SetData(intptr_t data) {
  ItemOf(FItem)->setData(0, DataRole, QVariant::fromValue(static_cast<qlonglong>(data)));
}
int TTreeNode::Count() const { return ItemOf(FItem)->childCount(); }
TTreeNode* TTreeNode::Item(int index) const { return TTreeView::NodeOf(ItemOf(FItem)->child(index)); }
TTreeNode* TTreeNode::Parent() const { return TTreeView::NodeOf(ItemOf(FItem)->parent()); }
bool TTreeNode::Expanded() const { return ItemOf(FItem)->isExpanded(); }
void TTreeNode::SetExpanded(bool expanded) { ItemOf(FItem)->setExpanded(expanded); }

TTreeView::TTreeView(TComponent* owner) : TWinControl(owner, new QTreeWidget) {
  QTreeWidget* tree = Tree(*this);
  tree->setColumnCount(1);
  tree->header()->hide();
  SetBounds(0, 0, 121, 97);
  SetColor(clWindow);
  SetTabStop(true);
  QObject::connect(tree, &QTreeWidget::currentItemChanged, tree, [this](QTreeWidgetItem* item, QTreeWidgetItem*) {
    if (OnChange) detail::SafeCall([this, item] { OnChange(this, NodeOf(item)); });
  });
}

TTreeNode* TTreeView::Add(TTreeNode* parent, const std::u16string& text, intptr_t data) {
  auto* item = new TNodeItem;
  item->Node = new TTreeNode(item);
  item->setText(0, detail::ToQString(text));
  item->Node->SetData(data);
  const QSignalBlocker block(Tree(*this));
  if (parent)
    ItemOf(parent->FItem)->addChild(item);
  else
    Tree(*this)->addTopLevelItem(item);
  return item->Node;
}

void TTreeView::Clear() {
  const QSignalBlocker block(Tree(*this));
  Tree(*this)->clear();
}

int TTreeView::TopCount() const { return Tree(*this)->topLevelItemCount(); }
TTreeNode* TTreeView::TopItem(int index) const { return NodeOf(Tree(*this)->topLevelItem(index)); }
TTreeNode* TTreeView::Selected() const { return NodeOf(Tree(*this)->currentItem()); }

void TTreeView::SetSelected(TTreeNode* node) {
  const QSignalBlocker block(Tree(*this));
  Tree(*this)->setCurrentItem(node ? ItemOf(node->FItem) : nullptr);
}

void TTreeView::FontChanged() { detail::ApplyFont(Tree(*this), Font()); }
void TTreeView::ColorChanged() { detail::ApplyColor(Tree(*this), Color(), QPalette::Base); }
void TTreeView::UpdateFocusPolicy() { Tree(*this)->setFocusPolicy(TabStop() ? Qt::StrongFocus : Qt::ClickFocus); }

}  // namespace gui
