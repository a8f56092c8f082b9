#pragma once
// TTabControlEx: a strip of tabs, one of them active. When the tabs do not
// fit, the strip scrolls: a scroll-left button at the start, scroll-right
// and list buttons at the end (the list button and a right press on the
// tabs open a menu of all tabs). The active tab is drawn with Font on
// TabColor1, the others with FontU on TabColorU; each tab is measured with
// the font it is drawn with. Tab texts come from Tabs (8-bit, UTF-8) or,
// while set, from the wide texts of SetTabsW. A text beginning with "-" is
// a separator: no box, never drawn, hit or listed. OnChange reports a tab the
// user chose (also the active one chosen again).

#include <functional>
#include <string>
#include <vector>

#include "customcontrol.h"
#include "font.h"
#include "panel.h"
#include "tablayout.h"

using TTabChangeEvent = std::function<void(gui::TComponent* sender, int newIndex)>;

class TTabControlEx : public gui::TCustomControl {
 public:
  // 200 x 22 pixels.
  explicit TTabControlEx(gui::TComponent* owner);

  // The active tab's font and the other tabs' font.
  gui::TFont& Font() { return FFont; }
  const gui::TFont& Font() const { return FFont; }
  gui::TFont& FontU() { return FFontU; }
  const gui::TFont& FontU() const { return FFontU; }
  // Copy a font in; nullptr is ignored.
  void SetFont(const gui::TFont* font);
  void SetFontU(const gui::TFont* font);

  // The face of the active tab, the band under the tabs, the faces of the
  // other tabs, outlines, and the frame of a hovered scroll or list button.
  gui::TColor TabColor1() const { return FTabColor1; }
  void SetTabColor1(gui::TColor color);
  gui::TColor TabColor2() const { return FTabColor2; }
  void SetTabColor2(gui::TColor color);
  gui::TColor TabColorU() const { return FTabColorU; }
  void SetTabColorU(gui::TColor color);
  gui::TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(gui::TColor color);
  gui::TColor OverColor() const { return FOverColor; }
  void SetOverColor(gui::TColor color);
  // 3-D lines of the strip and the active tab.
  gui::TBevelCut Bevel() const { return FBevel; }
  void SetBevel(gui::TBevelCut bevel);
  // Space on each side of a tab text.
  int Padding() const { return FPadding; }
  void SetPadding(int padding);

  const std::vector<std::string>& Tabs() const { return FTabs; }
  // Copies the texts; the first tab becomes active.
  void SetTabs(const std::vector<std::string>& tabs);
  // Copies the texts of a null-terminated array, which then stand instead of
  // Tabs; nullptr returns to Tabs. The first tab becomes active.
  void SetTabsW(const char16_t* const* texts);
  int TabCount() const;
  // The text of a tab as shown.
  std::u16string TabText(int index) const;

  int Active() const { return FActive; }
  // An index outside the tabs is ignored; no OnChange.
  void SetActive(int index) { ChangeTo(index, false); }
  // Makes a tab active and, with notify, fires OnChange; an index outside
  // the tabs is ignored.
  void ChangeTo(int index, bool notify);

  // A menu of the tabs (id = index + 1, the active one marked) at a screen
  // point; returns the chosen id, 0 when dismissed.
  int ShowPopupMenu(int x, int y, unsigned alignment);

  TTabChangeEvent OnChange;

 protected:
  void Paint() override;
  void Resize() override;
  void MouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) override;
  void MouseUp(gui::TMouseButton button, gui::TShiftState shift, int x, int y) override;
  void MouseMove(gui::TShiftState shift, int x, int y) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void FocusReceived() override;
  void FocusLost() override;

 private:
  void TabsReplaced();
  void LayoutTabs(gui::TCanvas& canvas);
  void LeftPress(int x);
  void ChooseFromMenu(int x, int y, unsigned alignment);
  void Choose(int index);
  void PaintTab(gui::TCanvas& canvas, int index);
  void PaintButtons(gui::TCanvas& canvas);
  void PaintButton(gui::TCanvas& canvas, const TTabButtonShape& shape, bool hovered);

  gui::TFont FFont;
  gui::TFont FFontU;
  gui::TColor FBackColor = 0;
  gui::TColor FTabColor1 = 0xC0C0C0;
  gui::TColor FTabColor2 = 0xC0C0C0;
  gui::TColor FTabColorU = 0x808080;
  gui::TColor FBorderColor = 0;
  gui::TColor FOverColor = 0x00FFFF;
  std::vector<std::string> FTabs;
  bool FWide = false;
  std::vector<std::u16string> FTabsW;
  int FActive = 0;
  int FPadding = 10;
  TTabLayout FLayout;
  bool FHaveBoxes = false;
  bool FFocused = false;
  bool FTabsChanged = true;
  bool FBringActive = true;
  gui::TBevelCut FBevel = gui::bvNone;
  TTabZone FHover = TTabZone::Tabs;  // Tabs: no button hovered
};
