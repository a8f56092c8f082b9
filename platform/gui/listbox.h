#pragma once
// TListBox: a list of items. Owner-drawn (lbOwnerDrawFixed) lists call
// DrawItem (default: OnDrawItem) for each item on Canvas(), with the item's
// rectangle in client coordinates; before it the canvas has the list's font
// and colour, or the highlight colours for the selected item, and after it a
// focused item gets the focus rectangle. OnClick fires when the user selects
// an item (by mouse or keys); setting ItemIndex from code does not fire it.

#include <memory>

#include "canvas.h"
#include "stringlist.h"
#include "wincontrol.h"

namespace gui {

enum TListBoxStyle : uint8_t { lbStandard, lbOwnerDrawFixed };

using TOwnerDrawState = uint8_t;
constexpr TOwnerDrawState odSelected = 0x01;
constexpr TOwnerDrawState odFocused = 0x02;
constexpr TOwnerDrawState odDisabled = 0x04;

using TDrawItemEvent = std::function<void(TComponent* sender, int index, TRect rect, TOwnerDrawState state)>;

class TListBox : public TWinControl {
 public:
  explicit TListBox(TComponent* owner);
  ~TListBox() override;

  TListBoxStyle Style() const { return FStyle; }
  void SetStyle(TListBoxStyle style);
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int height);
  TStrings& Items();
  int ItemIndex() const;
  void SetItemIndex(int index);
  bool Sorted() const { return FSorted; }
  void SetSorted(bool sorted) { FSorted = sorted; }
  // Only whole items show: the height is cut to a multiple of ItemHeight.
  bool IntegralHeight() const { return FIntegralHeight; }
  void SetIntegralHeight(bool integral);
  // The rectangle of an item in client coordinates.
  TRect ItemRect(int index) const;
  // The item at a client point, -1 when none.
  int ItemAtPos(TPoint p) const;
  TCanvas& Canvas() { return FCanvas; }

  TDrawItemEvent OnDrawItem;

 protected:
  virtual void DrawItem(int index, TRect rect, TOwnerDrawState state);
  void FontChanged() override;
  void ColorChanged() override;
  void UpdateFocusPolicy() override;

 private:
  friend struct detail::QtAccess;
  friend class TListItems;

  std::unique_ptr<TStrings> FItems;
  TCanvas FCanvas;
  TListBoxStyle FStyle = lbStandard;
  int FItemHeight = 13;
  bool FSorted = false;
  bool FIntegralHeight = false;
};

}  // namespace gui
