#pragma once
// The arithmetic of the extended tab control: where the tabs sit, what the
// mouse hits, how the strip scrolls, and the shapes it paints. W and H are
// the strip's width and height. When the tabs do not fit, a scroll-left
// button takes the first 15 pixels and the scroll-right and list buttons the
// last 30.

#include <string_view>
#include <vector>

#include "ownerdraw.h"
#include "geometry.h"

constexpr int TabMinWidth = 30;
constexpr int TabScrollLeftRoom = 15;   // scroll-left button at the start
constexpr int TabButtonsRoom = 30;      // scroll-right and list buttons at the end
constexpr int TabListButtonWidth = 15;  // list button, the last of them

struct TTabBox {
  int Left = 0;
  int Width = 0;  // 0 for a separator
  bool Visible = false;
  int Right() const { return Left + Width; }
  friend bool operator==(const TTabBox&, const TTabBox&) = default;
};

// A tab text beginning with "-" makes a separator: no box, never listed
// or hit.
bool IsTabSeparator(std::u16string_view text);

// The width of a tab: its text and the padding on both sides, at least 30;
// 0 for a separator.
int TabWidth(int textWidth, int padding, bool separator);

struct TTabLayout {
  std::vector<TTabBox> Boxes;
  bool Fits = true;
  int ScrollOffset = 0;  // 0 or negative
};

// Places tabs of the given widths (0 for separators) on a strip of width w.
// The tabs fit when their widths add up to less than w; then the offset is 0.
// Otherwise they start after the scroll-left button, shifted by the offset,
// and with bringActiveIntoView the offset changes so that the active tab
// lies between the buttons.
TTabLayout LayoutTabs(const std::vector<int>& widths, int w, int scrollOffset, bool bringActiveIntoView,
                      int active);

enum class TTabZone { Tabs, ScrollLeft, ScrollRight, List };
// What a left press at x reaches.
TTabZone TabPressZone(int x, int w, bool fits);
// What the mouse at x hovers (Tabs: none of the buttons).
TTabZone TabHoverZone(int x, int w, bool fits);
// Whether a right press at x opens the tab menu.
bool TabMenuZone(int x, int w, bool fits);

// The tab strictly between whose ends x lies, or -1.
int TabAt(const std::vector<TTabBox>& boxes, int x);

// The offsets after a press on the scroll buttons: the first visible tab
// cut off by the button is brought fully into view; unchanged when there is
// none.
int ScrollRightOffset(const std::vector<TTabBox>& boxes, int w, int scrollOffset);
int ScrollLeftOffset(const std::vector<TTabBox>& boxes, int scrollOffset);
// After a resize, a strip that does not fit is kept filled up to the
// buttons: the offset shrinks when the last tab ends short of them.
int ResizeOffset(const std::vector<TTabBox>& boxes, int w, bool fits, int scrollOffset);

// Shapes of the paint routine.
std::vector<gui::TPoint> StripOutline(bool fits, int w, int h);
gui::TRect TabBandRect(int w, int h);
TEdges StripBevel(bool fits, int w, int h);
gui::TRect TabFaceRect(int x, int width, int h, bool active);
std::vector<gui::TPoint> TabOutline(int x, int width, int h, bool active);
TEdges TabBevel(int x, int width, int h);
gui::TRect TabFocusRect(int x, int width, int h);
// Top of the text cell of a tab.
int TabTextTop(bool active);

struct TTabButtonShape {
  gui::TRect Cell;
  std::vector<gui::TPoint> Frame;
  std::vector<gui::TPoint> Glyph;
};
TTabButtonShape ScrollLeftButtonShape(int h);
TTabButtonShape ScrollRightButtonShape(int w, int h);
TTabButtonShape ListButtonShape(int w, int h, bool hovered);
