#include "ownerdraw.h"

#include "textconv.h"

void DrawPolyline(gui::TCanvas& canvas, const std::vector<gui::TPoint>& points, gui::TColor color) {
  canvas.Pen() = gui::TPen{color, 1, gui::psSolid};
  canvas.Polyline(points);
}

void DrawEdges(gui::TCanvas& canvas, const TEdges& edges, gui::TColor topLeft, gui::TColor bottomRight) {
  DrawPolyline(canvas, edges.TopLeft, topLeft);
  DrawPolyline(canvas, edges.BottomRight, bottomRight);
}

std::u16string ShownCaption(const std::u16string& wide, const std::string& narrow) {
  return wide.empty() ? rtl::Utf8ToUtf16(narrow) : wide;
}
