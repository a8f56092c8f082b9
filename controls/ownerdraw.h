#pragma once
// Helpers shared by the owner-drawn controls: 3-D edges and the caption a
// control shows. The edges are two polylines drawn with a one-pixel solid
// pen, the top-left one in one shade of the face colour and the bottom-right
// one in the other; which shade goes where (raised, lowered, pressed) is the
// caller's choice.

#include <string>
#include <vector>

#include "canvas.h"
#include "color.h"
#include "geometry.h"

struct TEdges {
  std::vector<gui::TPoint> TopLeft;
  std::vector<gui::TPoint> BottomRight;
  friend bool operator==(const TEdges&, const TEdges&) = default;
};

// A polyline with a solid one-pixel pen of `color` (its last point left out).
void DrawPolyline(gui::TCanvas& canvas, const std::vector<gui::TPoint>& points, gui::TColor color);

// The top-left polyline, then the bottom-right one.
void DrawEdges(gui::TCanvas& canvas, const TEdges& edges, gui::TColor topLeft, gui::TColor bottomRight);

// The text a control shows: its wide caption when that is not empty, else
// its 8-bit (UTF-8) caption.
std::u16string ShownCaption(const std::u16string& wide, const std::string& narrow);
