#pragma once
// The geometry of the extended panel: its outline, the areas of body and
// header band, and the inner 3-D edges. W and H are the panel's width and
// height, HH the height of the header band (0: none). Polylines leave out
// their last point, so an outline that ends on an open side is taken one
// pixel past the corner: a neighbour panel open on the facing side then
// continues the line without a gap.

#include <cstdint>
#include <vector>

#include "alignment.h"
#include "geometry.h"
#include "ownerdraw.h"

// pbsSharp: square outline; pbsRounded: cut corners; pbsNone: no outline, a
// one-pixel 3-D frame in shades of the face colour instead.
enum TPanelBorderStyle : uint8_t { pbsSharp, pbsRounded, pbsNone };
// The side left without outline.
enum TBorderOpen : uint8_t { boNone, boLeft, boTop, boRight, boBottom };
enum TAlignmentV : uint8_t { tavTop, tavMiddle, tavBottom };

// The outline polyline (at most 21 points); empty for pbsNone.
std::vector<gui::TPoint> PanelFrame(TPanelBorderStyle style, TBorderOpen open, int w, int h);

// The 3-D frame of pbsNone: raised when the top-left edge is light.
TEdges PanelFlatFrame(int w, int h);

// The face below the header band, or the whole inside without one; without
// a header it reaches the edge on the open side.
gui::TRect PanelBodyRect(TBorderOpen open, int w, int h, int headerHeight);
// The header band; empty without a header.
gui::TRect PanelHeaderRect(int w, int headerHeight);
// The line under the header band that the flat (bvSpace) look draws.
std::vector<gui::TPoint> PanelHeaderSeparator(int w, int headerHeight);

// Inner 3-D edges inside an outline of the raised or lowered look: one set
// for the body and, with a header, one for the header band before it. The
// sides that are open get none, except an open top without header, whose
// left and right edges run up to the open side.
struct TPanelBevel {
  TEdges Edges;
  bool Header = false;  // shades of the header colour, else of the face colour
  friend bool operator==(const TPanelBevel&, const TPanelBevel&) = default;
};
std::vector<TPanelBevel> PanelInnerEdges(TBorderOpen open, int w, int h, int headerHeight);

// Where the caption goes: Anchor with the text alignment flags of the canvas
// (TA_LEFT, TA_CENTER or TA_RIGHT; the top of the text cell at Anchor.y).
// A left or right justified caption keeps CaptionPadding from its edge; a
// top or bottom one CaptionTop from its edge.
struct TPanelCaptionPlace {
  gui::TPoint Anchor;
  unsigned TextAlign = 0;
  friend bool operator==(const TPanelCaptionPlace&, const TPanelCaptionPlace&) = default;
};
TPanelCaptionPlace PanelCaptionPlace(gui::TAlignment alignment, TAlignmentV alignmentV, int w, int h,
                                     int textHeight, int captionTop, int captionPadding);
