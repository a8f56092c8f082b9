#include "tabcontrolex.h"

#include "bitmap.h"
#include "colorshades.h"
#include "ownerdraw.h"
#include "popupmenu.h"
#include "textconv.h"

using gui::TCanvas;
using gui::TColor;

TTabControlEx::TTabControlEx(gui::TComponent* owner) : gui::TCustomControl(owner) {
  SetBounds(Left(), Top(), 200, 22);
  SetControlStyle(ControlStyle() | gui::csOpaque);
  // The fonts measure the tabs: a change lays them out anew.
  FFont.OnChange = [this] {
    FTabsChanged = true;
    Invalidate();
  };
  FFontU.OnChange = FFont.OnChange;
}

void TTabControlEx::SetFont(const gui::TFont* font) {
  if (font) FFont.Assign(*font);
}

void TTabControlEx::SetFontU(const gui::TFont* font) {
  if (font) FFontU.Assign(*font);
}

void TTabControlEx::SetTabColor1(TColor color) {
  FTabColor1 = color;
  Invalidate();
}

void TTabControlEx::SetTabColor2(TColor color) {
  FTabColor2 = color;
  Invalidate();
}

void TTabControlEx::SetTabColorU(TColor color) {
  FTabColorU = color;
  Invalidate();
}

void TTabControlEx::SetBorderColor(TColor color) {
  FBorderColor = color;
  Invalidate();
}

void TTabControlEx::SetOverColor(TColor color) {
  FOverColor = color;
  Invalidate();
}

void TTabControlEx::SetBevel(gui::TBevelCut bevel) {
  FBevel = bevel;
  Invalidate();
}

void TTabControlEx::SetPadding(int padding) {
  FPadding = padding;
  FTabsChanged = true;
  Invalidate();
}

void TTabControlEx::SetTabs(const std::vector<std::string>& tabs) {
  FTabs = tabs;
  TabsReplaced();
}

void TTabControlEx::SetTabsW(const char16_t* const* texts) {
  FTabsW.clear();
  FWide = texts != nullptr;
  for (; texts && *texts; ++texts) FTabsW.emplace_back(*texts);
  TabsReplaced();
}

// The old boxes describe other tabs: until the next paint lays the new ones
// out, the mouse finds none.
void TTabControlEx::TabsReplaced() {
  FLayout.Boxes.clear();
  FHaveBoxes = false;
  FActive = 0;
  FTabsChanged = true;
  FBringActive = true;
  Invalidate();
}

int TTabControlEx::TabCount() const { return static_cast<int>(FWide ? FTabsW.size() : FTabs.size()); }

std::u16string TTabControlEx::TabText(int index) const {
  if (index < 0 || index >= TabCount()) return {};
  const size_t i = static_cast<size_t>(index);
  return FWide ? FTabsW[i] : rtl::Utf8ToUtf16(FTabs[i]);
}

void TTabControlEx::ChangeTo(int index, bool notify) {
  if (index < 0 || index >= TabCount()) return;
  FActive = index;
  if (notify && OnChange) OnChange(this, index);
  FTabsChanged = true;
  FBringActive = true;
  Invalidate();
}

int TTabControlEx::ShowPopupMenu(int x, int y, unsigned alignment) {
  gui::TPopupMenu menu;
  for (int i = 0; i < TabCount(); ++i) {
    const std::u16string text = TabText(i);
    if (IsTabSeparator(text)) continue;
    menu.Append(i + 1, text);
  }
  menu.CheckRadioItem(1, TabCount(), FActive + 1);
  return menu.Track(x, y, alignment | gui::TPM_RETURNCMD, ParentForm());
}

void TTabControlEx::LayoutTabs(TCanvas& canvas) {
  std::vector<int> widths;
  for (int i = 0; i < TabCount(); ++i) {
    const std::u16string text = TabText(i);
    canvas.Font().Assign(i == FActive ? FFont : FFontU);
    widths.push_back(TabWidth(canvas.TextExtent(text).cx, FPadding, IsTabSeparator(text)));
  }
  FLayout = ::LayoutTabs(widths, Width(), FLayout.ScrollOffset, FBringActive, FActive);
  FHaveBoxes = true;
  FTabsChanged = false;
  FBringActive = false;
}

void TTabControlEx::Resize() {
  if (FTabsChanged || FBringActive || !FHaveBoxes) return;
  FLayout.ScrollOffset = ResizeOffset(FLayout.Boxes, Width(), FLayout.Fits, FLayout.ScrollOffset);
  FTabsChanged = true;
  FBringActive = true;
  Invalidate();
}

void TTabControlEx::MouseDown(gui::TMouseButton button, gui::TShiftState, int x, int y) {
  if (!FHaveBoxes || !Enabled()) return;
  if (button == gui::mbRight) {
    if (TabMenuZone(x, Width(), FLayout.Fits)) {
      const gui::TPoint at = ClientToScreen({x, y});
      ChooseFromMenu(at.x, at.y, gui::TPM_LEFTALIGN);
    }
  } else if (button == gui::mbLeft) {
    if (TabStop()) SetFocus();
    LeftPress(x);
  }
  Invalidate();
}

void TTabControlEx::LeftPress(int x) {
  const int w = Width();
  switch (TabPressZone(x, w, FLayout.Fits)) {
    case TTabZone::List: {
      const gui::TPoint at = ClientToScreen({w, Height() - 5});
      ChooseFromMenu(at.x, at.y, gui::TPM_RIGHTALIGN);
      break;
    }
    // Scrolling lays the tabs out anew without pulling the active tab back.
    case TTabZone::ScrollRight:
      FLayout.ScrollOffset = ScrollRightOffset(FLayout.Boxes, w, FLayout.ScrollOffset);
      FTabsChanged = true;
      break;
    case TTabZone::ScrollLeft:
      FLayout.ScrollOffset = ScrollLeftOffset(FLayout.Boxes, FLayout.ScrollOffset);
      FTabsChanged = true;
      break;
    case TTabZone::Tabs: {
      const int tab = TabAt(FLayout.Boxes, x);
      if (tab >= 0) Choose(tab);
      break;
    }
  }
}

void TTabControlEx::ChooseFromMenu(int x, int y, unsigned alignment) {
  const int id = ShowPopupMenu(x, y, alignment);
  if (id > 0 && id <= TabCount()) Choose(id - 1);
}

void TTabControlEx::Choose(int index) {
  FActive = index;
  if (OnChange) OnChange(this, FActive);
  FTabsChanged = true;
  FBringActive = true;
}

void TTabControlEx::MouseUp(gui::TMouseButton, gui::TShiftState, int, int) {}

void TTabControlEx::MouseMove(gui::TShiftState, int x, int) {
  if (!FLayout.Fits) FHover = TabHoverZone(x, Width(), false);
  Invalidate();
}

void TTabControlEx::MouseEnter() {}

void TTabControlEx::MouseLeave() {
  FHover = TTabZone::Tabs;
  Invalidate();
}

void TTabControlEx::FocusReceived() {
  FFocused = true;
  Invalidate();
  gui::TCustomControl::FocusReceived();
}

void TTabControlEx::FocusLost() {
  FFocused = false;
  Invalidate();
  gui::TCustomControl::FocusLost();
}

void TTabControlEx::Paint() {
  const int w = Width(), h = Height();
  if (w <= 0 || h <= 0) return;
  gui::TBitmap image(w, h);
  TCanvas& canvas = image.Canvas();
  canvas.SetBkMode(gui::bkTransparent);
  if (FTabsChanged || FBringActive) LayoutTabs(canvas);
  if (ParentColor() && Parent()) FBackColor = Parent()->Color();

  canvas.Brush() = {FBackColor, gui::bsSolid};
  canvas.FillRect(gui::Rect(0, 0, w, h));
  canvas.Brush() = {FTabColor2, gui::bsSolid};
  canvas.FillRect(TabBandRect(w, h));
  DrawPolyline(canvas, StripOutline(FLayout.Fits, w, h), FBorderColor);
  if (FBevel != gui::bvNone) {
    TColor light = 0, dark = 0;
    rtl::CalcColors3D(FBackColor, light, dark);
    const bool raised = FBevel == gui::bvRaised;
    DrawEdges(canvas, StripBevel(FLayout.Fits, w, h), raised ? light : dark, raised ? dark : light);
  }
  for (int i = 0; i < static_cast<int>(FLayout.Boxes.size()); ++i) {
    if (FLayout.Boxes[static_cast<size_t>(i)].Visible) PaintTab(canvas, i);
  }
  if (!FLayout.Fits) PaintButtons(canvas);
  Canvas().Draw(0, 0, image);
}

void TTabControlEx::PaintTab(TCanvas& canvas, int index) {
  const TTabBox& box = FLayout.Boxes[static_cast<size_t>(index)];
  const int h = Height();
  const bool active = index == FActive;
  canvas.Brush() = {active ? FTabColor1 : FTabColorU, gui::bsSolid};
  canvas.FillRect(TabFaceRect(box.Left, box.Width, h, active));
  DrawPolyline(canvas, TabOutline(box.Left, box.Width, h, active), FBorderColor);
  if (active && FBevel != gui::bvNone) {
    TColor light = 0, dark = 0;
    rtl::CalcColors3D(FTabColor1, light, dark);
    const bool raised = FBevel == gui::bvRaised;
    DrawEdges(canvas, TabBevel(box.Left, box.Width, h), raised ? light : dark, raised ? dark : light);
  }
  canvas.Font().Assign(active ? FFont : FFontU);
  canvas.SetTextAlign(gui::TA_CENTER | gui::TA_TOP);
  const std::u16string text = TabText(index);
  const int x = box.Left + box.Width / 2, y = TabTextTop(active);
  if (Enabled()) {
    canvas.TextOut(x, y, text);
  } else {
    canvas.Font().SetColor(gui::clWhite);
    canvas.TextOut(x + 1, y + 1, text);
    canvas.Font().SetColor(gui::clGray);
    canvas.TextOut(x, y, text);
  }
  if (active && FFocused && TabStop()) canvas.DrawFocusRect(TabFocusRect(box.Left, box.Width, h));
}

void TTabControlEx::PaintButtons(TCanvas& canvas) {
  const int w = Width(), h = Height();
  PaintButton(canvas, ScrollLeftButtonShape(h), FHover == TTabZone::ScrollLeft);
  // The two end buttons share a frame line; the hovered list button goes
  // first, so that the scroll-right button is drawn last.
  const bool listHovered = FHover == TTabZone::List;
  if (listHovered) PaintButton(canvas, ListButtonShape(w, h, true), true);
  PaintButton(canvas, ScrollRightButtonShape(w, h), FHover == TTabZone::ScrollRight);
  if (!listHovered) PaintButton(canvas, ListButtonShape(w, h, false), false);
}

void TTabControlEx::PaintButton(TCanvas& canvas, const TTabButtonShape& shape, bool hovered) {
  canvas.Brush() = {FBackColor, gui::bsSolid};
  canvas.FillRect(shape.Cell);
  DrawPolyline(canvas, shape.Frame, hovered ? FOverColor : FBorderColor);
  DrawPolyline(canvas, shape.Glyph, FFont.Color());
}
