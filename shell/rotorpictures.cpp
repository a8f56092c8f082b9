#include "rotorpictures.h"

#include <string_view>
#include <vector>

#include "canvas.h"
#include "imagelist.h"

namespace {

constexpr gui::TColor ShaftColor = 0x404040;
constexpr gui::TColor DiskColor = 0xC8D0D4;
constexpr gui::TColor DimensionColor = 0x800000;
constexpr gui::TColor MassCentreColor = 0x0000C0;
constexpr int SmallHeight = 80;

// Where the parts of a type lie, as fractions of the picture's width.
struct TRotorLayout {
  double Bearing1, Bearing2;
  std::vector<double> Planes;  // A, then B
  bool Dimensions;             // b and l (and a, s for type C)
  bool Overhung;               // type C: a from bearing 2 to plane A, s the mass centre
};

TRotorLayout LayoutOf(int type) {
  switch (type) {
    case 1: return {0.10, 0.90, {0.22, 0.78}, true, false};
    case 2: return {0.10, 0.90, {0.38, 0.62}, true, false};
    case 3: return {0.08, 0.48, {0.68, 0.90}, true, true};
    case 4: return {0.15, 0.85, {0.50}, false, false};
    default: return {0.15, 0.85, {}, false, false};
  }
}

class TPainter {
 public:
  TPainter(gui::TCanvas& canvas, int width, int height)
      : c(canvas), w(width), h(height), shaftY(Small() ? height / 2 : height * 2 / 5) {}

  // A button-sized picture has no room for the dimension lines.
  bool Small() const { return h < SmallHeight; }

  int X(double fraction) const { return static_cast<int>(fraction * w); }

  void Shaft(const TRotorLayout& layout) {
    c.Pen() = {ShaftColor, 3, gui::psSolid};
    c.MoveTo(X(0.03), shaftY);
    c.LineTo(X(0.97), shaftY);
    c.Pen() = {ShaftColor, 1, gui::psSolid};
    c.Brush() = {ShaftColor, gui::bsSolid};
    for (double b : {layout.Bearing1, layout.Bearing2}) {
      const int x = X(b);
      c.Polygon({{x, shaftY + 3}, {x - 6, shaftY + 12}, {x + 6, shaftY + 12}});
    }
  }

  void Disk(double at, std::u16string_view name) {
    const int x = X(at), half = Small() ? h / 6 : h / 4;
    c.Pen() = {gui::clBlack, 1, gui::psSolid};
    c.Brush() = {DiskColor, gui::bsSolid};
    c.Rectangle(x - 4, shaftY - half, x + 5, shaftY + half + 1);
    Label(x, shaftY - half - 12, name, gui::clBlack);
  }

  // A dimension line between two places, on row `row` below the shaft.
  void Dimension(double from, double to, int row, std::u16string_view name) {
    const int y = shaftY + 18 + row * 14, x1 = X(from), x2 = X(to);
    c.Pen() = {DimensionColor, 1, gui::psSolid};
    c.MoveTo(x1, y);
    c.LineTo(x2 + 1, y);
    for (int x : {x1, x2}) {
      c.MoveTo(x, y - 3);
      c.LineTo(x, y + 4);
    }
    Label((x1 + x2) / 2, y - 12, name, DimensionColor);
  }

  void MassCentre(double at) {
    const int x = X(at);
    c.Pen() = {MassCentreColor, 1, gui::psSolid};
    c.Brush() = {MassCentreColor, gui::bsSolid};
    c.Ellipse(x - 3, shaftY - 3, x + 4, shaftY + 4);
  }

  void Label(int x, int y, std::u16string_view text, gui::TColor color) {
    c.Font().SetColor(color);
    c.SetTextAlign(gui::TA_CENTER | gui::TA_TOP);
    c.TextOut(x, y, text);
  }

  int Height() const { return h; }

 private:
  gui::TCanvas& c;
  int w, h, shaftY;
};

void PaintRotor(TPainter& p, int type) {
  const TRotorLayout layout = LayoutOf(type);
  p.Shaft(layout);
  static constexpr std::u16string_view Names[] = {u"A", u"B"};
  for (size_t i = 0; i < layout.Planes.size(); ++i) p.Disk(layout.Planes[i], Names[i]);
  if (layout.Planes.empty()) p.Label(p.X(0.5), p.Height() / 8, u"?", gui::clBlack);
  if (layout.Overhung) p.MassCentre(0.80);
  if (!layout.Dimensions || p.Small()) return;
  const double planeA = layout.Planes[0], planeB = layout.Planes[1];
  if (layout.Overhung) {
    p.Dimension(layout.Bearing2, planeA, 0, u"a");
    p.Dimension(planeA, planeB, 0, u"b");
    p.Dimension(layout.Bearing1, layout.Bearing2, 1, u"l");
    p.Dimension(layout.Bearing2, 0.80, 2, u"s");
    return;
  }
  p.Dimension(planeA, planeB, 0, u"b");
  p.Dimension(layout.Bearing1, layout.Bearing2, 1, u"l");
}

}  // namespace

gui::TBitmap RotorPicture(int type, int width, int height, gui::TColor background) {
  gui::TBitmap picture(width, height);
  gui::TCanvas& c = picture.Canvas();
  c.Brush() = {background, gui::bsSolid};
  c.FillRect(gui::Rect(0, 0, width, height));
  c.SetBkMode(gui::bkTransparent);
  c.Font().SetName("Tahoma");
  c.Font().SetHeight(-11);
  c.Font().SetStyle(gui::fsBold);
  TPainter painter(c, width, height);
  PaintRotor(painter, type);
  return picture;
}

void FillRotorImages(gui::TImageList& images, int width, int height, gui::TColor background) {
  images.SetSize(width, height);
  for (int type = 0; type < RotorPictureCount; ++type) images.Add(RotorPicture(type, width, height, background));
}
