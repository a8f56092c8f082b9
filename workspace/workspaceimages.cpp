#include "workspaceimages.h"

#include <cmath>
#include <numbers>

namespace {

constexpr gui::TColor LampOffColor = 0x404040;
constexpr gui::TColor LampGreenColor = 0x00C000;
constexpr gui::TColor LampYellowColor = 0x00E0FF;
constexpr gui::TColor LampRedColor = 0x0000FF;

// A picture of the given size filled with the background, transparent on it.
gui::TBitmap Blank(int width, int height, gui::TColor background) {
  gui::TBitmap picture(width, height);
  gui::TCanvas& canvas = picture.Canvas();
  canvas.Brush().Color = background;
  canvas.Brush().Style = gui::bsSolid;
  canvas.FillRect(gui::Rect(0, 0, width, height));
  picture.SetTransparent(true);
  picture.SetTransparentColor(background);
  return picture;
}

void Solid(gui::TCanvas& canvas, gui::TColor pen, gui::TColor brush) {
  canvas.Pen().Color = pen;
  canvas.Pen().Width = 1;
  canvas.Pen().Style = gui::psSolid;
  canvas.Brush().Color = brush;
  canvas.Brush().Style = gui::bsSolid;
}

gui::TColor LampColor(TLamp lamp) {
  switch (lamp) {
    case lpGreen:
      return LampGreenColor;
    case lpYellow:
      return LampYellowColor;
    case lpRed:
      return LampRedColor;
    default:
      return LampOffColor;
  }
}

}  // namespace

gui::TBitmap LampPicture(TLamp lamp, gui::TColor background) {
  gui::TBitmap picture = Blank(LampSize, LampSize, background);
  gui::TCanvas& canvas = picture.Canvas();
  Solid(canvas, 0x202020, LampColor(lamp));
  canvas.Ellipse(0, 0, LampSize, LampSize);
  // A highlight makes a lit lamp read as lit.
  if (lamp != lpOff) {
    Solid(canvas, 0xFFFFFF, 0xFFFFFF);
    canvas.Ellipse(3, 3, 6, 6);
  }
  return picture;
}

gui::TBitmap StartStopGlyph(int index, gui::TColor background) {
  gui::TBitmap picture = Blank(StartStopGlyphSize, StartStopGlyphSize, background);
  gui::TCanvas& canvas = picture.Canvas();
  if (index == GlyphStop) {
    Solid(canvas, LampRedColor, LampRedColor);
    canvas.Rectangle(3, 3, 13, 13);
  } else {
    Solid(canvas, 0x008000, 0x00A000);
    canvas.Polygon({{4, 2}, {13, 8}, {4, 14}});
  }
  return picture;
}

gui::TBitmap MarkerPicture(gui::TColor background) {
  gui::TBitmap picture = Blank(MarkerSize, MarkerSize, background);
  gui::TCanvas& canvas = picture.Canvas();
  Solid(canvas, GlyphColor, GlyphColor);
  canvas.Polygon({{1, 0}, {7, 4}, {1, 8}});
  return picture;
}

gui::TBitmap ErrorPicture(gui::TColor background) {
  gui::TBitmap picture = Blank(ErrorPictureSize, ErrorPictureSize, background);
  gui::TCanvas& canvas = picture.Canvas();
  Solid(canvas, LampRedColor, LampRedColor);
  canvas.Ellipse(0, 0, ErrorPictureSize, ErrorPictureSize);
  Solid(canvas, 0xFFFFFF, 0xFFFFFF);
  canvas.FillRect(gui::Rect(6, 3, 8, 8));
  canvas.FillRect(gui::Rect(6, 9, 8, 11));
  return picture;
}

gui::TBitmap FrameGlyph(TFrameGlyph glyph, gui::TColor color, gui::TColor background) {
  const int n = StripGlyphSize;
  gui::TBitmap picture = Blank(n, n, background);
  gui::TCanvas& canvas = picture.Canvas();
  Solid(canvas, color, color);
  switch (glyph) {
    case fgClose:
      for (int d : {0, 1}) {
        canvas.MoveTo(d, 0);
        canvas.LineTo(n - 1 + d, n - 1);
        canvas.MoveTo(n - 2 + d, 0);
        canvas.LineTo(d - 1, n - 1);
      }
      break;
    case fgMinimize:
      canvas.FillRect(gui::Rect(0, n - 2, n, n));
      break;
    case fgMaximize:
      canvas.FillRect(gui::Rect(0, 0, n, 2));
      canvas.FrameRect(gui::Rect(0, 0, n, n));
      break;
    case fgRestore:
      canvas.FrameRect(gui::Rect(2, 0, n, n - 2));
      canvas.Brush().Color = background;
      canvas.FillRect(gui::Rect(0, 3, n - 2, n));
      canvas.Brush().Color = color;
      canvas.FrameRect(gui::Rect(0, 3, n - 2, n));
      canvas.FillRect(gui::Rect(0, 3, n - 2, 5));
      break;
    case fgInfo:
      canvas.FillRect(gui::Rect(3, 0, 6, 2));
      canvas.FillRect(gui::Rect(3, 3, 6, n));
      canvas.FillRect(gui::Rect(2, 3, 4, 4));
      canvas.FillRect(gui::Rect(2, n - 1, 7, n));
      break;
  }
  return picture;
}

namespace {

// A magnifier with a sign in its glass.
void Magnifier(gui::TCanvas& canvas, gui::TColor color, gui::TColor background, char16_t sign) {
  Solid(canvas, color, background);
  canvas.Ellipse(1, 1, 11, 11);
  canvas.Pen().Width = 2;
  canvas.MoveTo(10, 10);
  canvas.LineTo(15, 15);
  canvas.Pen().Width = 1;
  canvas.Brush().Color = color;
  if (sign == u'+' || sign == u'-') canvas.FillRect(gui::Rect(3, 5, 9, 7));
  if (sign == u'+') canvas.FillRect(gui::Rect(5, 3, 7, 9));
  if (sign == u'=') canvas.FrameRect(gui::Rect(4, 4, 8, 8));
  if (sign == u'<') canvas.Polygon({{3, 6}, {7, 3}, {7, 9}});
}

// A cog, the usual sign of settings: eight teeth round a wheel with a hole.
// Each pixel is inked by where its centre lies from the middle (the centre
// of pixel 7, 7), so the picture is symmetric under quarter turns and
// mirrors.
void Cog(gui::TCanvas& canvas, gui::TColor color) {
  constexpr int Teeth = 8;
  constexpr double Middle = 7.5;
  constexpr double HoleRadius = 2.6, WheelRadius = 5.2, TipRadius = 7.2, ToothHalfWidth = 1.3;
  constexpr double Pitch = 2 * std::numbers::pi / Teeth;
  Solid(canvas, color, color);
  for (int y = 0; y < CommandGlyphSize; ++y) {
    for (int x = 0; x < CommandGlyphSize; ++x) {
      const double dx = x + 0.5 - Middle, dy = y + 0.5 - Middle;
      const double r = std::hypot(dx, dy);
      if (r < HoleRadius || r > TipRadius) continue;
      // The bearing from the axis of the nearest tooth.
      const double a = std::atan2(dy, dx);
      const double off = a - std::round(a / Pitch) * Pitch;
      if (r <= WheelRadius || std::fabs(r * std::sin(off)) <= ToothHalfWidth)
        canvas.FillRect(gui::Rect(x, y, x + 1, y + 1));
    }
  }
}

void TextGlyph(gui::TCanvas& canvas, gui::TColor color, std::u16string_view text) {
  canvas.Font().SetName("Arial");
  canvas.Font().SetHeight(-14);
  canvas.Font().SetStyle(gui::fsBold);
  canvas.Font().SetColor(color);
  canvas.SetBkMode(gui::bkTransparent);
  canvas.SetTextAlign(gui::TA_CENTER | gui::TA_TOP);
  canvas.TextOut(CommandGlyphSize / 2, 0, text);
}

}  // namespace

gui::TBitmap CommandGlyph(TCommandGlyph glyph, gui::TColor background, gui::TColor color) {
  gui::TBitmap picture = Blank(CommandGlyphSize, CommandGlyphSize, background);
  gui::TCanvas& canvas = picture.Canvas();
  Solid(canvas, color, color);
  switch (glyph) {
    case cgPrevious:
      canvas.Polygon({{11, 2}, {4, 8}, {11, 14}});
      break;
    case cgNext:
      canvas.Polygon({{4, 2}, {11, 8}, {4, 14}});
      break;
    case cgSession:
      canvas.FrameRect(gui::Rect(1, 1, 15, 15));
      canvas.FillRect(gui::Rect(4, 1, 12, 6));
      canvas.FrameRect(gui::Rect(4, 9, 12, 15));
      break;
    case cgSetup:
      Cog(canvas, color);
      break;
    case cgReport:
      canvas.FrameRect(gui::Rect(2, 0, 14, 16));
      for (int y = 3; y < 14; y += 3) canvas.FillRect(gui::Rect(4, y, 12, y + 1));
      break;
    case cgSpectrum:
      canvas.FillRect(gui::Rect(1, 14, 15, 15));
      canvas.FillRect(gui::Rect(3, 4, 5, 14));
      canvas.FillRect(gui::Rect(7, 9, 9, 14));
      canvas.FillRect(gui::Rect(11, 6, 13, 14));
      break;
    case cgOscilloscope:
      canvas.Polyline({{0, 8}, {2, 3}, {4, 2}, {6, 5}, {8, 11}, {10, 14}, {12, 12}, {14, 7}, {16, 4}});
      break;
    case cgTotalMass:
      TextGlyph(canvas, color, u"\u2211");
      break;
    case cgHelp:
      TextGlyph(canvas, color, u"?");
      break;
    case cgZoomIn:
      Magnifier(canvas, color, background, u'+');
      break;
    case cgZoomOut:
      Magnifier(canvas, color, background, u'-');
      break;
    case cgZoomAll:
      Magnifier(canvas, color, background, u'=');
      break;
    case cgZoomPrevious:
      Magnifier(canvas, color, background, u'<');
      break;
  }
  return picture;
}
