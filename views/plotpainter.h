#pragma once
// Drawing steps both plot renderers share: the plot font, fills, pens,
// triangles, the unit box at the top of a value band and the status corners
// (channel letters at the top, the front-channel icon at the bottom left).

#include <string>

#include "canvas.h"
#include "geometry.h"

namespace plotpainter {

// Pixels of the plot text: 11 pixels high on screen, 11 points on paper.
int FontHeight(bool print, int dpiY);
// "Microsoft Sans Serif" at FontHeight, bold or normal, in `colour`.
void SelectFont(gui::TCanvas& c, bool print, int dpiY, bool bold, gui::TColor colour);
void Fill(gui::TCanvas& c, const gui::TRect& r, gui::TColor colour);
void SelectPen(gui::TCanvas& c, gui::TColor colour, int width, gui::TPenStyle style = gui::psSolid);
// A line from (x1, y1) to (x2, y2), the end point left out.
void Line(gui::TCanvas& c, int x1, int y1, int x2, int y2);
// A triangle filled and outlined in one colour.
void Triangle(gui::TCanvas& c, gui::TPoint a, gui::TPoint b, gui::TPoint p, gui::TColor colour, int penWidth);
// Text centred in a rectangle on one line.
void CentredText(gui::TCanvas& c, const std::u16string& text, gui::TRect r);

// The unit at the top of a value band, on a box of `fill` one text line
// and 5 pixels high; a second box one line lower with "x10 ³" when the
// labels count thousands. The font and its colour are the caller's.
void DrawUnitBox(gui::TCanvas& c, const gui::TRect& band, const std::u16string& unit, bool thousands, gui::TColor fill,
                 int textHeight);

struct TCornerLook {
  bool ShowA = false, ShowB = false;
  bool AFront = true;
  gui::TColor ColorA = 0, ColorB = 0;
  gui::TColor Fill = 0;
};
// A top corner: "A" left and "B" right, or the letter of the one channel
// present in both (screen only).
void DrawChannelCorner(gui::TCanvas& c, const gui::TRect& r, bool left, const TCornerLook& look);
// A bottom corner: filled; with both channels present the left one shows
// the back channel's square under the front channel's triangle.
void DrawFrontCorner(gui::TCanvas& c, const gui::TRect& r, bool left, const TCornerLook& look);

// The four corners of a plot of that size, each where both margins that
// meet there are above 0.
struct TCornerAreas {
  gui::TRect TopLeft, TopRight, BottomLeft, BottomRight;
  bool Top = false, Bottom = false, Left = false, Right = false;  // margins above 0
};
void DrawCorners(gui::TCanvas& c, const TCornerAreas& corners, const TCornerLook& look);

}  // namespace plotpainter
