#pragma once
// TComboBox: a drop-down list (csDropDownList) or an edit with a list
// (csDropDown). Items carry values (Items().AddObject). OnChange fires when
// the user picks an item or edits the text; setting ItemIndex or Text from
// code does not fire it.

#include <memory>

#include "stringlist.h"
#include "wincontrol.h"

namespace gui {

enum TComboBoxStyle : uint8_t { csDropDown, csDropDownList };

class TComboBox : public TWinControl {
 public:
  explicit TComboBox(TComponent* owner);
  ~TComboBox() override;

  TComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TComboBoxStyle style);
  TStrings& Items();
  // -1: nothing selected.
  int ItemIndex() const;
  void SetItemIndex(int index);
  std::u16string Text() const;
  void SetText(const std::u16string& text);
  int DropDownCount() const;
  void SetDropDownCount(int count);
  bool Sorted() const { return FSorted; }
  void SetSorted(bool sorted) { FSorted = sorted; }

  TNotifyEvent OnChange;

 protected:
  virtual void Change();
  void FontChanged() override;
  void ColorChanged() override;
  void UpdateFocusPolicy() override;

 private:
  friend class TComboItems;
  std::unique_ptr<TStrings> FItems;
  TComboBoxStyle FStyle = csDropDown;
  bool FSorted = false;
};

}  // namespace gui
