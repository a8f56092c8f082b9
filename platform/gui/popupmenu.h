#pragma once
// TPopupMenu: a menu of string items with numeric ids, radio checks,
// disabled or greyed items and separators, opened at a screen point; Track
// returns the chosen id, or 0 when the menu was dismissed. A disabled item
// looks normal but cannot be chosen; a greyed one is also drawn grey. The
// scripted-answer hook (answerhook.h) is asked first; an answer naming an
// item that cannot be chosen counts as a dismissal.

#include <string>
#include <vector>

#include "component.h"
#include "geometry.h"

namespace gui {

class TForm;

// Item flags (AppendMenu, EnableMenuItem).
constexpr unsigned MF_STRING = 0x0000;
constexpr unsigned MF_GRAYED = 0x0001;
constexpr unsigned MF_DISABLED = 0x0002;
constexpr unsigned MF_CHECKED = 0x0008;
constexpr unsigned MF_ENABLED = 0x0000;
constexpr unsigned MF_SEPARATOR = 0x0800;

// Alignment of the menu at the point (TrackPopupMenu).
constexpr unsigned TPM_LEFTALIGN = 0x0000;
constexpr unsigned TPM_CENTERALIGN = 0x0004;
constexpr unsigned TPM_RIGHTALIGN = 0x0008;
constexpr unsigned TPM_TOPALIGN = 0x0000;
constexpr unsigned TPM_VCENTERALIGN = 0x0010;
constexpr unsigned TPM_BOTTOMALIGN = 0x0020;
constexpr unsigned TPM_RETURNCMD = 0x0100;

struct TMenuItemInfo {
  int Id = 0;
  std::u16string Text;
  unsigned Flags = MF_STRING;
  bool RadioCheck = false;  // the check mark is a radio mark
  bool Separator() const { return (Flags & MF_SEPARATOR) != 0; }
  bool Choosable() const { return !Separator() && (Flags & (MF_GRAYED | MF_DISABLED)) == 0; }
};

// Where a menu of the given size opens for a point and alignment: its
// top-left corner, moved inside `screen` when it would cross its edges.
TPoint PopupMenuOrigin(TPoint at, TSize menu, unsigned align, const TRect& screen);

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(TComponent* owner = nullptr);

  void Append(int id, const std::u16string& text, unsigned flags = MF_STRING);
  void AppendSeparator();
  void Clear() { FItems.clear(); }
  // Radio mark on `check`, no mark on the other items with ids first..last.
  void CheckRadioItem(int first, int last, int check);
  void EnableItem(int id, unsigned flags);
  const std::vector<TMenuItemInfo>& Items() const { return FItems; }
  // The item of an id, nullptr when none.
  const TMenuItemInfo* FindItem(int id) const;

  // Opens the menu at a screen point and returns the chosen id (0:
  // dismissed). `owner` is the window the menu belongs to.
  int Track(int x, int y, unsigned align = TPM_LEFTALIGN | TPM_TOPALIGN, TForm* owner = nullptr);

 private:
  std::vector<TMenuItemInfo> FItems;
};

}  // namespace gui
