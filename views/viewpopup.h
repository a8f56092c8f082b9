#pragma once
// The option menus of the views: built anew on each click with the items
// 1, 2, ... in order, the current choice radio-marked, opened at the lower-
// left corner of the clicked control and destroyed after use. The result is
// the chosen item's number, 0 when the menu was dismissed.

#include <string>
#include <vector>

#include "popupmenu.h"

namespace gui {
class TControl;
class TForm;
}  // namespace gui

struct TPopupItem {
  std::u16string Text;
  unsigned Flags = gui::MF_STRING;  // MF_DISABLED, MF_GRAYED: cannot be chosen
};

// `checked`: the item to radio-mark, 0 for none.
int PopupBelow(gui::TForm* owner, gui::TControl* below, const std::vector<TPopupItem>& items, int checked);
