#include "viewpopup.h"

#include "control.h"
#include "form.h"

int PopupBelow(gui::TForm* owner, gui::TControl* below, const std::vector<TPopupItem>& items, int checked) {
  gui::TPopupMenu menu(nullptr);
  for (size_t i = 0; i < items.size(); ++i) menu.Append(static_cast<int>(i) + 1, items[i].Text, items[i].Flags);
  if (checked > 0) menu.CheckRadioItem(1, static_cast<int>(items.size()), checked);
  const gui::TPoint at = below->ClientToScreen({0, below->Height()});
  return menu.Track(at.x, at.y, gui::TPM_LEFTALIGN | gui::TPM_TOPALIGN | gui::TPM_RETURNCMD, owner);
}
