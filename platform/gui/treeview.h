#pragma once
// TTreeView: the platform's tree of text nodes, each with an attached value.
// OnChange fires when the user selects another node.

#include <cstdint>
#include <functional>
#include <string>

#include "wincontrol.h"

namespace gui {

class TTreeView;

// A node handle; valid until the node is deleted (Clear deletes all).
class TTreeNode {
 public:
  std::u16string Text() const;
  void SetText(const std::u16string& text);
  intptr_t Data() const;
  void SetData(intptr_t data);
  int Count() const;
  TTreeNode* Item(int index) const;
  TTreeNode* Parent() const;
  bool Expanded() const;
  void SetExpanded(bool expanded);

 private:
  friend class TTreeView;
  explicit TTreeNode(void* item) : FItem(item) {}
  void* FItem;
};

using TTVChangedEvent = std::function<void(TComponent* sender, TTreeNode* node)>;

class TTreeView : public TWinControl {
 public:
  explicit TTreeView(TComponent* owner);

  // A new last child of `parent` (nullptr: a new top-level node).
  TTreeNode* Add(TTreeNode* parent, const std::u16string& text, intptr_t data = 0);
  void Clear();
  int TopCount() const;
  TTreeNode* TopItem(int index) const;
  TTreeNode* Selected() const;
  void SetSelected(TTreeNode* node);

  TTVChangedEvent OnChange;

 protected:
  void FontChanged() override;
  void ColorChanged() override;
  void UpdateFocusPolicy() override;

 private:
  friend class TTreeNode;
  static TTreeNode* NodeOf(void* item);
};

}  // namespace gui
