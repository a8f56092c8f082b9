#pragma once
// The popup menus of the balancing workspace: report and log, help and
// about, and the option menus on its value buttons (speed unit, rotation
// direction, adding or removing the correction mass, amplitude unit,
// content of the result table, total mass). Each is built anew on every
// click and opens below the control that was clicked. The TfBalancing
// handlers live in workspacemenus.cpp.

#include <array>
#include <initializer_list>
#include <string>

#include "languageservice.h"

namespace gui {
class TControl;
class TForm;
class TPopupMenu;
}  // namespace gui

// Every key the menus look up ("Help"/"File" names the help document; a
// language file may lack it, and then the help item says that no help
// document is installed).
extern const std::array<TTextKey, 8> MenuLangKeys;

// The title of the printed report's document.
inline constexpr std::u16string_view ReportDocumentTitle = u"Kalvenor Report";

// Ids of the report and help menus.
enum TWorkspaceMenuId : int {
  rmReport = 1,
  rmLog = 2,
  hmHelp = 1,
  hmAbout = 3,
};

// Opens `menu` at the lower-left corner of `anchor` (its client origin on
// the screen, one height down), owned by `owner`; the chosen id, 0 when the
// menu was dismissed.
int TrackMenuBelow(gui::TPopupMenu& menu, const gui::TControl* anchor, gui::TForm* owner);

// An option menu of the items with ids 1, 2, ... and a radio mark on
// `checked` (none for 0), opened below `anchor`.
int ChooseFromMenu(std::initializer_list<std::u16string> items, int checked, const gui::TControl* anchor,
                   gui::TForm* owner);
