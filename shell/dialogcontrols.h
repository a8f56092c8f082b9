#pragma once
// The controls of the set-up and database dialogs, created in their common
// style: pale yellow entry fields and lists, black labels on the work
// panel, bold command buttons with a yellow outline under the mouse, and
// rounded group panels with a green header band.

#include <string>

#include "alignment.h"
#include "color.h"
#include "geometry.h"

class TBitmapButton;
class TLabelEx;
class TNumberEdit;
class TPanelEx;

namespace gui {
class TCheckBox;
class TComboBox;
class TComponent;
class TControl;
class TEdit;
class TRadioButton;
class TWinControl;
}  // namespace gui

// Entry fields and lists.
constexpr gui::TColor FieldColor = 0xE1FFFF;
// A selected list entry or grid row.
constexpr gui::TColor SelectedFieldColor = 0x00FFFF;
// The header band of a group panel.
constexpr int GroupHeaderHeight = 18;

// Gives a control the plain black font of the dialogs, so that the bold
// header font of the group it sits in does not reach it. The New...
// functions below do it themselves.
void UsePlainFont(gui::TControl* control);

struct TDialogParent {
  gui::TComponent* Owner;
  gui::TWinControl* Parent;
};

TLabelEx* NewLabel(const TDialogParent& at, gui::TRect bounds, gui::TAlignment alignment = gui::taLeftJustify,
                   bool bold = false);
gui::TEdit* NewEdit(const TDialogParent& at, gui::TRect bounds, int maxLength);
// An entry field for a number of a record (TNumberEdit).
TNumberEdit* NewNumberEdit(const TDialogParent& at, gui::TRect bounds, int maxLength);
// A drop-down list that can't be typed into.
gui::TComboBox* NewList(const TDialogParent& at, gui::TRect bounds);
TBitmapButton* NewButton(const TDialogParent& at, gui::TRect bounds);
gui::TRadioButton* NewRadio(const TDialogParent& at, int left, int top);
gui::TCheckBox* NewCheck(const TDialogParent& at, int left, int top);
// A group with a header band carrying its caption (withHeader), or a plain
// container that only holds controls.
TPanelEx* NewGroup(const TDialogParent& at, gui::TRect bounds, bool withHeader);
