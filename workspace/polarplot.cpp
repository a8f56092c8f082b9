#include "polarplot.h"

#include <array>

namespace {

constexpr gui::TColor IsoYesColor = 0x00A000;
constexpr gui::TColor IsoNoColor = 0x0000FF;

gui::TPenStyle PenStyle(TStroke stroke) {
  switch (stroke) {
    case skDot:
      return gui::psDot;
    case skDash:
      return gui::psDash;
    default:
      return gui::psSolid;
  }
}

void SelectPen(gui::TCanvas& canvas, const TPenSpec& pen) {
  canvas.Pen().Color = pen.Color;
  canvas.Pen().Width = pen.Width;
  canvas.Pen().Style = PenStyle(pen.Style);
}

void SelectBrush(gui::TCanvas& canvas, const std::optional<uint32_t>& brush) {
  canvas.Brush().Style = brush ? gui::bsSolid : gui::bsClear;
  if (brush) canvas.Brush().Color = *brush;
}

void SelectFont(gui::TCanvas& canvas, TFontRole role, uint32_t color) {
  const TFontSpec spec = FontFor(role);
  gui::TFont& font = canvas.Font();
  font.SetName(spec.Face);
  font.SetHeight(spec.Height);
  font.SetStyle(spec.Weight >= 700 ? gui::fsBold : 0);
  font.SetColor(color);
}

unsigned TextAlign(THAlign h, TVAlign v) {
  const unsigned horizontal = h == haCentre ? gui::TA_CENTER : h == haRight ? gui::TA_RIGHT : gui::TA_LEFT;
  const unsigned vertical = v == vaBaseline ? gui::TA_BASELINE : v == vaBottom ? gui::TA_BOTTOM : gui::TA_TOP;
  return horizontal | vertical;
}

void DrawText(gui::TCanvas& canvas, const TDrawOp& op) {
  SelectFont(canvas, op.Font, op.TextColor);
  canvas.SetTextAlign(TextAlign(op.HAlign, op.VAlign));
  canvas.SetBkMode(gui::bkTransparent);
  canvas.TextOut(op.Points[0].x, op.Points[0].y, op.Text);
}

void DrawOp(gui::TCanvas& canvas, const TDrawOp& op, const std::array<gui::TBitmap, 2>& pictures) {
  switch (op.Kind) {
    case dkFill:
      SelectBrush(canvas, op.Brush);
      canvas.FillRect(op.Box);
      break;
    case dkLine:
      SelectPen(canvas, op.Pen);
      canvas.MoveTo(op.Points[0].x, op.Points[0].y);
      canvas.LineTo(op.Points[1].x, op.Points[1].y);
      break;
    case dkPolyline:
      SelectPen(canvas, op.Pen);
      canvas.Polyline(op.Points);
      break;
    case dkEllipse:
      SelectPen(canvas, op.Pen);
      SelectBrush(canvas, op.Brush);
      canvas.Ellipse(op.Box);
      break;
    case dkPolygon:
      SelectPen(canvas, op.Pen);
      SelectBrush(canvas, op.Brush);
      canvas.Polygon(op.Points);
      break;
    case dkArc:
      SelectPen(canvas, op.Pen);
      canvas.Arc(op.Box.Left, op.Box.Top, op.Box.Right, op.Box.Bottom, op.Points[0].x, op.Points[0].y, op.Points[1].x,
                 op.Points[1].y);
      break;
    case dkText:
      DrawText(canvas, op);
      break;
    case dkPicture:
      canvas.Draw(op.Points[0].x, op.Points[0].y, pictures[op.Picture == prIsoYes ? 0 : 1]);
      break;
    case dkClip: {
      const gui::TRegion region = gui::TRegion::EllipticRgn(op.Box);
      canvas.SelectClipRgn(&region);
      break;
    }
    case dkUnclip:
      canvas.SelectClipRgn(nullptr);
      break;
  }
}

// The text height of "0°" in the angle-label font centres the side labels.
int AngleLabelHeight(gui::TCanvas& canvas) {
  SelectFont(canvas, frAngleLabel, 0);
  return canvas.TextHeight(u"0°");
}

}  // namespace

gui::TBitmap IsoVerdictPicture(TPictureRole role) {
  gui::TBitmap picture(IsoPictureSize, IsoPictureSize);
  gui::TCanvas& canvas = picture.Canvas();
  canvas.Brush().Color = gui::clWhite;
  canvas.Brush().Style = gui::bsSolid;
  canvas.FillRect(gui::Rect(0, 0, IsoPictureSize, IsoPictureSize));
  canvas.Pen().Width = 3;
  canvas.Pen().Style = gui::psSolid;
  if (role == prIsoYes) {
    canvas.Pen().Color = IsoYesColor;
    canvas.Polyline({{4, 12}, {10, 18}, {20, 5}});
  } else {
    canvas.Pen().Color = IsoNoColor;
    canvas.MoveTo(5, 5);
    canvas.LineTo(19, 19);
    canvas.MoveTo(19, 5);
    canvas.LineTo(5, 19);
  }
  return picture;
}

void DrawScene(gui::TCanvas& canvas, const TScene& scene) {
  const std::array<gui::TBitmap, 2> pictures = {IsoVerdictPicture(prIsoYes), IsoVerdictPicture(prIsoNo)};
  for (const TDrawOp& op : scene) DrawOp(canvas, op, pictures);
  canvas.SelectClipRgn(nullptr);
}

gui::TBitmap RenderPlaneDiagrams(const TZelto& core, const TDiagramView& view, int width, int height) {
  if (width <= 0 || height <= 0) return gui::TBitmap();
  gui::TBitmap bitmap(width, height);
  gui::TCanvas& canvas = bitmap.Canvas();
  canvas.SetBkMode(gui::bkTransparent);
  DrawScene(canvas, DiagramScene(core, view, width, height, AngleLabelHeight(canvas)));
  return bitmap;
}

void PaintPlaneDiagrams(gui::TCanvas& canvas, const TZelto& core, const TDiagramView& view, int width, int height) {
  const gui::TBitmap bitmap = RenderPlaneDiagrams(core, view, width, height);
  if (!bitmap.Empty()) canvas.Draw(0, 0, bitmap);
}
