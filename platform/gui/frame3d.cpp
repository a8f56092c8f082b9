#include "frame3d.h"

namespace gui {

void Frame3D(TCanvas& canvas, TRect& r, TColor topColor, TColor bottomColor, int width) {
  canvas.Pen().Width = 1;
  canvas.Pen().Style = psSolid;
  --r.Bottom;
  --r.Right;
  while (width-- > 0) {
    canvas.Pen().Color = topColor;
    canvas.Polyline({{r.Left, r.Bottom}, {r.Left, r.Top}, {r.Right, r.Top}});
    canvas.Pen().Color = bottomColor;
    canvas.Polyline({{r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left - 1, r.Bottom}});
    r = r.Inflate(-1, -1);
  }
  ++r.Bottom;
  ++r.Right;
}

}  // namespace gui
