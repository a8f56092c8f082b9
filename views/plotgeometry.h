#pragma once
// Where the parts of a plot lie in its paint box, and where a mouse press
// falls: the plot rectangle, the four bands around it and the four corners,
// the cursor marks in the top band and the front-channel corner.

#include <cstdint>
#include <functional>
#include <vector>

#include "geometry.h"

struct TPlotMargins {
  int Top = 0, Bottom = 0, Left = 0, Right = 0;
};

struct TPlotAreas {
  gui::TRect Plot;
  gui::TRect TopBand, BottomBand, LeftBand, RightBand;
  gui::TRect TopLeft, TopRight, BottomLeft, BottomRight;
};
// The plot is [Left, Top, W - Right, H - Bottom]; the bands and corners fill
// the rest of the W x H paint box.
TPlotAreas PlotAreas(int width, int height, const TPlotMargins& m);

// x of an index (sample or bin) in a plot whose left edge is `left`.
int IndexX(int left, int32_t index, int32_t viewStart, double pxPerIndex);

// A press in the top band within 4 pixels of a cursor's mark.
bool NearCursorMark(int x, const TPlotMargins& m, int32_t index, int32_t viewStart, double pxPerIndex);
// A press in the bottom-left corner (edges of the plot included).
bool InFrontCorner(int x, int y, int height, const TPlotMargins& m);
// A press inside the plot: strictly right of the left band, left of the
// right band, from the top edge and above the bottom band.
bool InPlotArea(int x, int y, int width, int height, const TPlotMargins& m);
// The index under plot-relative x, when it lies inside the record; -1 when
// it does not or there is no pixel scale.
int32_t IndexAt(int plotX, double pxPerIndex, int32_t viewStart, int32_t total);

// The parts of a polyline inside `clip` (edges included), each passed on as
// a run of points. A trace whose values lie far outside the plot (a zoomed
// axis, damaged samples) is cut at the clip's edge, so that no line is
// walked pixel by pixel far beyond the paint box. Runs inside stay exactly
// as given.
void ForEachClippedRun(const std::vector<gui::TPoint>& points, const gui::TRect& clip,
                       const std::function<void(const std::vector<gui::TPoint>&)>& draw);

// The same polyline with every run of points on one pixel column reduced to
// its first, lowest, highest and last point. A path that walks up and down
// one column covers the span between its extremes, so the pixels drawn stay
// the same (only a dotted pen's phase may differ); thousands of bins per
// pixel no longer cost a line each.
std::vector<gui::TPoint> CollapseColumns(const std::vector<gui::TPoint>& points);

// The unit box at the top of a value band: one text line and 5 pixels, and
// the "x10³" line under it with thousands. Its bottom edge (exclusive).
int UnitBoxBottom(int bandTop, int textHeight, bool thousands);
// A value label whose text box starts above the unit box's bottom would be
// written over by the unit: such a label is left out.
bool LabelClearsUnit(const gui::TRect& labelBox, int unitBottom);
// The x at which a label `width` pixels wide, centred there, lies wholly
// inside [left, right): its tick's x where that fits, else moved inward just
// enough (the first time label "0s" sits on the plot's left edge).
int CentredLabelX(int x, int width, int left, int right);
