#include <gtest/gtest.h>

#include "bitmap.h"
#include "font.h"

namespace gui {
namespace {

// A white bitmap with a black one-pixel pen and a red brush.
struct CanvasTest : testing::Test {
  TBitmap Bitmap{40, 40};
  TCanvas& C = Bitmap.Canvas();
  void SetUp() override {
    C.Brush().Color = clWhite;
    C.FillRect(Rect(0, 0, 40, 40));
    C.Pen().Color = clBlack;
    C.Brush().Color = clRed;
  }
  TColor At(int x, int y) { return Bitmap.Pixel(x, y); }
  // The smallest rectangle holding every pixel that is not white.
  TRect Ink() {
    TRect r{1000, 1000, -1, -1};
    for (int y = 0; y < Bitmap.Height(); ++y)
      for (int x = 0; x < Bitmap.Width(); ++x)
        if (At(x, y) != clWhite) {
          r.Left = std::min(r.Left, x);
          r.Top = std::min(r.Top, y);
          r.Right = std::max(r.Right, x + 1);
          r.Bottom = std::max(r.Bottom, y + 1);
        }
    return r;
  }
};

TEST_F(CanvasTest, RectangleLeavesOutRightAndBottomEdge) {
  C.Rectangle(2, 2, 10, 8);
  EXPECT_EQ(At(2, 2), clBlack);
  EXPECT_EQ(At(9, 7), clBlack);
  EXPECT_EQ(At(9, 4), clBlack);
  EXPECT_EQ(At(5, 5), clRed);
  EXPECT_EQ(Ink(), Rect(2, 2, 10, 8));
}

TEST_F(CanvasTest, FillRectAndEllipseStayInsideTheirBox) {
  C.FillRect(Rect(2, 2, 5, 5));
  EXPECT_EQ(Ink(), Rect(2, 2, 5, 5));
  C.Brush().Color = clWhite;
  C.FillRect(Rect(0, 0, 40, 40));
  C.Brush().Color = clRed;
  C.Ellipse(10, 10, 30, 24);
  EXPECT_EQ(Ink(), Rect(10, 10, 30, 24));
  EXPECT_EQ(At(20, 17), clRed);
}

TEST_F(CanvasTest, RectangleWithoutPenFillsOnePixelLess) {
  C.Pen().Style = psClear;
  C.Rectangle(2, 2, 10, 8);
  EXPECT_EQ(Ink(), Rect(2, 2, 9, 7));
  EXPECT_EQ(At(2, 2), clRed);
}

TEST_F(CanvasTest, LineToAndPolylineLeaveOutTheLastPoint) {
  C.MoveTo(1, 1);
  C.LineTo(6, 1);
  EXPECT_EQ(At(5, 1), clBlack);
  EXPECT_EQ(At(6, 1), clWhite);
  EXPECT_EQ(C.PenPos(), (TPoint{6, 1}));
  C.Polyline({{10, 10}, {15, 10}, {15, 15}});
  EXPECT_EQ(At(15, 10), clBlack);  // a corner is drawn
  EXPECT_EQ(At(15, 14), clBlack);
  EXPECT_EQ(At(15, 15), clWhite);
}

TEST_F(CanvasTest, PolygonClosesAndDrawsEveryCorner) {
  C.Polygon({{5, 5}, {15, 5}, {15, 15}});
  EXPECT_EQ(At(5, 5), clBlack);
  EXPECT_EQ(At(15, 5), clBlack);
  EXPECT_EQ(At(15, 15), clBlack);
  EXPECT_EQ(At(10, 10), clBlack);  // on the closing edge
  EXPECT_EQ(At(13, 8), clRed);
}

TEST_F(CanvasTest, DottedPenDrawsThreeOnThreeOff) {
  C.Pen().Style = psDot;
  C.MoveTo(0, 0);
  C.LineTo(12, 0);
  const TColor expected[] = {clBlack, clBlack, clBlack, clWhite, clWhite, clWhite,
                             clBlack, clBlack, clBlack, clWhite, clWhite, clWhite};
  for (int x = 0; x < 12; ++x) EXPECT_EQ(At(x, 0), expected[x]) << "x = " << x;
}

TEST_F(CanvasTest, FocusRectInvertsEveryOtherPixelAndUndoesItself) {
  C.DrawFocusRect(Rect(4, 4, 12, 10));
  EXPECT_EQ(At(4, 4), clBlack);  // (x + y) even: inverted
  EXPECT_EQ(At(5, 4), clWhite);
  EXPECT_EQ(At(6, 4), clBlack);
  EXPECT_EQ(At(11, 9), clBlack);
  EXPECT_EQ(At(7, 7), clWhite);  // inside untouched
  EXPECT_EQ(Ink(), Rect(4, 4, 12, 10));
  C.DrawFocusRect(Rect(4, 4, 12, 10));
  EXPECT_EQ(Ink(), Rect(1000, 1000, -1, -1));
}

TEST_F(CanvasTest, TextAlignmentPlacesTheTextCell) {
  C.SetBkMode(bkTransparent);
  const TTextMetric tm = C.GetTextMetrics();
  const TSize size = C.TextExtent(u"Wg");
  C.SetTextAlign(TA_LEFT | TA_TOP);
  C.TextOut(5, 5, u"Wg");
  TRect ink = Ink();
  EXPECT_GE(ink.Left, 5);
  EXPECT_GE(ink.Top, 5);
  EXPECT_LE(ink.Right, 5 + size.cx + 1);
  EXPECT_LE(ink.Bottom, 5 + tm.Height);
  SetUp();
  C.SetTextAlign(TA_RIGHT | TA_BOTTOM);
  C.TextOut(35, 35, u"Wg");
  ink = Ink();
  EXPECT_LE(ink.Right, 35);
  EXPECT_LE(ink.Bottom, 35);
  EXPECT_GE(ink.Left, 35 - size.cx - 1);
  SetUp();
  C.SetTextAlign(TA_CENTER | TA_BASELINE);
  C.TextOut(20, 30, u"W");
  ink = Ink();
  EXPECT_LE(ink.Bottom, 31);  // "W" has no descender: it stands on the baseline
  EXPECT_GE(ink.Bottom, 29);
  EXPECT_NEAR((ink.Left + ink.Right) / 2.0, 20.0, 2.0);
}

TEST_F(CanvasTest, OpaqueTextFillsItsCellWithBkColor) {
  C.SetBkMode(bkOpaque);
  C.SetBkColor(clYellow);
  C.TextOut(2, 2, u"i");
  EXPECT_EQ(At(2, 2), clYellow);
  SetUp();
  C.SetBkMode(bkTransparent);
  C.TextOut(2, 2, u"i");
  EXPECT_EQ(At(2, 2), clWhite);
}

TEST_F(CanvasTest, DrawTextPrefixUnderlinesAndDoubleAmpersandIsLiteral) {
  TRect a = Rect(0, 0, 200, 20);
  TRect b = a;
  C.DrawText(u"A&&B", a, DT_CALCRECT);
  C.DrawText(u"A&B", b, DT_CALCRECT | DT_NOPREFIX);
  EXPECT_EQ(a.Width(), b.Width());
  TRect plain = Rect(0, 0, 40, 40);
  TRect prefixed = plain;
  C.DrawText(u"F", plain, DT_CALCRECT);
  C.DrawText(u"&F", prefixed, DT_CALCRECT);
  EXPECT_EQ(plain, prefixed);
  // The underline adds ink below the letter's baseline.
  C.SetBkMode(bkTransparent);
  TRect r = Rect(2, 2, 40, 40);
  C.DrawText(u"F", r, DT_LEFT);
  const int plainBottom = Ink().Bottom;
  SetUp();
  C.SetBkMode(bkTransparent);
  C.DrawText(u"&F", r, DT_LEFT);
  EXPECT_GT(Ink().Bottom, plainBottom);
}

TEST_F(CanvasTest, DrawTextCalcRectWrapsWords) {
  const int line = C.GetTextMetrics().Height;
  const int word = C.TextWidth(u"word");
  TRect r = Rect(0, 0, word + C.TextWidth(u" w") - 1, 0);
  const int height = C.DrawText(u"word word", r, DT_CALCRECT | DT_WORDBREAK);
  EXPECT_EQ(height, 2 * line);
  EXPECT_EQ(r.Height(), 2 * line);
  EXPECT_EQ(r.Width(), word);
}

TEST_F(CanvasTest, EllipticClipKeepsCornersUntouched) {
  const TRegion clip = TRegion::EllipticRgn(Rect(0, 0, 40, 40));
  C.SelectClipRgn(&clip);
  C.FillRect(Rect(0, 0, 40, 40));
  EXPECT_EQ(At(1, 1), clWhite);
  EXPECT_EQ(At(20, 20), clRed);
  C.SelectClipRgn(nullptr);
  C.FillRect(Rect(0, 0, 40, 40));
  EXPECT_EQ(At(1, 1), clRed);
}

TEST_F(CanvasTest, PathsAreCollectedThenFilled) {
  C.BeginPath();
  C.MoveTo(5, 5);
  C.LineTo(30, 5);
  C.LineTo(5, 30);
  C.CloseFigure();
  C.EndPath();
  EXPECT_EQ(Ink(), Rect(1000, 1000, -1, -1));  // nothing drawn while collecting
  C.Pen().Color = clRed;
  C.StrokeAndFillPath();
  EXPECT_EQ(At(10, 10), clRed);
  EXPECT_EQ(At(28, 28), clWhite);
}

TEST_F(CanvasTest, BitmapsCopyPixelForPixelAndTransparentOnesCutTheirColour) {
  TBitmap picture(4, 4);
  picture.Canvas().Brush().Color = clBlue;
  picture.Canvas().FillRect(Rect(0, 0, 4, 4));
  picture.Canvas().SetPixel(1, 1, clLime);
  C.Draw(10, 10, picture);
  EXPECT_EQ(At(10, 10), clBlue);
  EXPECT_EQ(At(11, 11), clLime);
  EXPECT_EQ(Ink(), Rect(10, 10, 14, 14));
  SetUp();
  picture.SetTransparent(true);  // the bottom-left colour, blue, is cut
  C.Draw(10, 10, picture);
  EXPECT_EQ(Ink(), Rect(11, 11, 12, 12));
}

TEST(Font, HeightsPointsAndResolution) {
  TFont f;
  EXPECT_EQ(f.Height(), -11);  // 8 pt at 96 pixels per inch
  EXPECT_EQ(f.Size(), 8);
  f.SetPixelsPerInch(600);
  EXPECT_EQ(f.Height(), -MulDiv(8, 600, 72));
  EXPECT_EQ(f.Size(), 8);
  f.SetSize(10);
  EXPECT_EQ(f.Height(), -83);
}

TEST(Font, DescriptionFacesMapToInstalledOnes) {
  const std::vector<std::string> mapped{"Liberation Sans", "DejaVu Sans"};
  EXPECT_EQ(FontFamiliesFor("Microsoft Sans Serif"), mapped);
  EXPECT_EQ(FontFamiliesFor("Tahoma"), mapped);
  EXPECT_EQ(FontFamiliesFor("Arial"), mapped);
  EXPECT_EQ(FontFamiliesFor("Small Fonts"), mapped);
  EXPECT_EQ(FontFamiliesFor("Courier New").front(), "Courier New");
  EXPECT_EQ(FontFamiliesFor("Courier New").size(), 3u);
}

TEST(Font, NegativeHeightIsTheCharacterPositiveTheCell) {
  TBitmap b(10, 10);
  TCanvas& c = b.Canvas();
  c.Font().SetHeight(20);
  const TTextMetric cell = c.GetTextMetrics();
  EXPECT_NEAR(cell.Height, 20, 1);
  c.Font().SetHeight(-20);
  const TTextMetric character = c.GetTextMetrics();
  EXPECT_GT(character.Height, 20);
  EXPECT_GT(character.InternalLeading, 0);
}

TEST(Geometry, MulDivRoundsHalvesAwayFromZero) {
  EXPECT_EQ(MulDiv(8, 96, 72), 11);
  EXPECT_EQ(MulDiv(10, 600, 72), 83);
  EXPECT_EQ(MulDiv(-3, 1, 2), -2);
  EXPECT_EQ(MulDiv(3, 1, 2), 2);
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
}

}  // namespace
}  // namespace gui
