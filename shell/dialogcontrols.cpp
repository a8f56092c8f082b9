#include "dialogcontrols.h"

#include "bitmapbutton.h"
#include "checkbox.h"
#include "combobox.h"
#include "edit.h"
#include "labelex.h"
#include "numberedit.h"
#include "panelex.h"
#include "radiobutton.h"
#include "windowframe.h"

namespace {

constexpr gui::TColor ButtonFace = 0xC8D0D4;
constexpr gui::TColor GroupBorder = 0x808080;
// A radio button or check box without a caption: only its mark.
constexpr int MarkSize = 16;

template <typename T>
T* Place(T* control, const TDialogParent& at, const gui::TRect& r) {
  control->SetParent(at.Parent);
  control->SetBounds(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
  UsePlainFont(control);
  return control;
}

}  // namespace

void UsePlainFont(gui::TControl* control) {
  gui::TFont plain;
  plain.SetColor(gui::clBlack);
  control->SetFont(plain);
  control->SetParentFont(false);
}

TLabelEx* NewLabel(const TDialogParent& at, gui::TRect bounds, gui::TAlignment alignment, bool bold) {
  // Sized by the dialog, not by its caption.
  auto* label = new TLabelEx(at.Owner);
  label->SetAutoSize(false);
  Place(label, at, bounds);
  label->SetAlignment(alignment);
  label->SetParentColor(true);
  if (bold) label->Font().SetStyle(gui::fsBold);
  return label;
}

namespace {

template <class Edit>
Edit* PlaceEdit(const TDialogParent& at, gui::TRect bounds, int maxLength) {
  auto* edit = Place(new Edit(at.Owner), at, bounds);
  edit->SetColor(FieldColor);
  edit->SetMaxLength(maxLength);
  edit->SetTabStop(true);
  return edit;
}

}  // namespace

gui::TEdit* NewEdit(const TDialogParent& at, gui::TRect bounds, int maxLength) {
  return PlaceEdit<gui::TEdit>(at, bounds, maxLength);
}

TNumberEdit* NewNumberEdit(const TDialogParent& at, gui::TRect bounds, int maxLength) {
  return PlaceEdit<TNumberEdit>(at, bounds, maxLength);
}

gui::TComboBox* NewList(const TDialogParent& at, gui::TRect bounds) {
  auto* list = Place(new gui::TComboBox(at.Owner), at, bounds);
  list->SetStyle(gui::csDropDownList);
  list->SetColor(FieldColor);
  list->SetTabStop(true);
  return list;
}

TBitmapButton* NewButton(const TDialogParent& at, gui::TRect bounds) {
  auto* button = Place(new TBitmapButton(at.Owner), at, bounds);
  button->Font().SetStyle(gui::fsBold);
  button->Font().SetColor(gui::clBlack);
  button->SetButtonColor(ButtonFace);
  button->SetBorderColor(gui::clGray);
  button->SetBorderOver(gui::clYellow);
  button->SetParentColor(true);
  return button;
}

gui::TRadioButton* NewRadio(const TDialogParent& at, int left, int top) {
  auto* radio = Place(new gui::TRadioButton(at.Owner), at, gui::Bounds(left, top, MarkSize, MarkSize));
  radio->SetParentColor(true);
  radio->SetTabStop(true);
  return radio;
}

gui::TCheckBox* NewCheck(const TDialogParent& at, int left, int top) {
  auto* check = Place(new gui::TCheckBox(at.Owner), at, gui::Bounds(left, top, MarkSize, MarkSize));
  check->SetParentColor(true);
  check->SetTabStop(true);
  return check;
}

TPanelEx* NewGroup(const TDialogParent& at, gui::TRect bounds, bool withHeader) {
  auto* group = Place(new TPanelEx(at.Owner), at, bounds);
  group->SetFaceColor(WorkPanelColor);
  group->SetColor(WorkPanelColor);
  group->SetBorderStyle(pbsRounded);
  if (!withHeader) {
    group->SetBevelOuter(gui::bvNone);
    return group;
  }
  group->SetBevelOuter(gui::bvSpace);
  group->SetBorderColor(GroupBorder);
  group->SetHeaderHeight(GroupHeaderHeight);
  group->SetHeaderColor(FrameActiveColor);
  group->SetAlignment(gui::taLeftJustify);
  group->SetCaptionPadding(8);
  group->SetCaptionTop(2);
  group->Font().SetStyle(gui::fsBold);
  group->Font().SetColor(CaptionInactiveText);
  return group;
}
