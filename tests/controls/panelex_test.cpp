#include "panelex.h"

#include <gtest/gtest.h>

#include "colorshades.h"
#include "controlfixture.h"

namespace {

using gui::RGB;
using gui::TColor;

constexpr TColor FaceC = RGB(222, 90, 30);
constexpr TColor FaceLight = RGB(255, 135, 45);
constexpr TColor FaceDark = RGB(148, 60, 20);
constexpr TColor HeaderC = RGB(60, 120, 180);
constexpr TColor BorderC = RGB(0, 0, 120);
constexpr TColor PanelColor = RGB(1, 2, 3);  // the inherited Color, shown only where the panel paints nothing
constexpr int W = 80, H = 50;

struct PanelExTest : ControlTest {
  TPanelEx* Panel = nullptr;
  void SetUp() override {
    ControlTest::SetUp();
    Panel = MakePanel(10, 10);
  }
  TPanelEx* MakePanel(int left, int top) {
    auto* panel = new TPanelEx(Form);
    panel->SetColor(PanelColor);
    panel->SetFaceColor(FaceC);
    panel->SetHeaderColor(HeaderC);
    panel->SetBorderColor(BorderC);
    panel->SetBevelOuter(gui::bvSpace);
    panel->Font().SetColor(gui::clBlack);
    return Place(panel, left, top, W, H);
  }
  gui::TRect Ink(TPanelEx& panel) { return BoundsOf(PixelsOtherThan(Snap(panel), gui::Rect(1, 1, W - 1, H - 1), FaceC)); }
};

// Every border style and open side: the outline on the closed sides, the
// face up to the edge on the open one.
TEST_F(PanelExTest, FramesForEveryBorderAndOpenSide) {
  struct TSide {
    int X, Y;
  };
  const TSide sides[] = {{0, H / 2}, {W / 2, 0}, {W - 1, H / 2}, {W / 2, H - 1}};  // left, top, right, bottom
  for (TPanelBorderStyle style : {pbsSharp, pbsRounded}) {
    for (TBorderOpen open : {boNone, boLeft, boTop, boRight, boBottom}) {
      Panel->SetBorderStyle(style);
      Panel->SetBorderOpen(open);
      const gui::TBitmap img = Snap(*Panel);
      for (int side = 0; side < 4; ++side) {
        const bool isOpen = open == side + 1;
        EXPECT_PIXEL(img, sides[side].X, sides[side].Y, isOpen ? FaceC : BorderC)
            << " style " << int(style) << " open " << int(open);
      }
      EXPECT_PIXEL(img, W / 2, H / 2, FaceC);
      // Sharp corners are outline; cut corners leave the corner pixel to the
      // panel's background, except where the open side runs through it.
      if (open == boNone) {
        EXPECT_PIXEL(img, 0, 0, style == pbsSharp ? BorderC : PanelColor);
      }
    }
  }
}

TEST_F(PanelExTest, OpenSideRunsThroughTheCorners) {
  Panel->SetBorderOpen(boRight);
  const gui::TBitmap img = Snap(*Panel);
  EXPECT_PIXEL(img, W - 1, 0, BorderC);
  EXPECT_PIXEL(img, W - 1, H - 1, BorderC);
  for (int y = 1; y < H - 1; ++y) EXPECT_PIXEL(img, W - 1, y, FaceC);
}

TEST_F(PanelExTest, NoBorderDrawsA3DFrameInTheFaceShades) {
  Panel->SetBorderStyle(pbsNone);
  Panel->SetBorderOpen(boLeft);  // ignored without an outline
  Panel->SetBevelOuter(gui::bvRaised);
  gui::TBitmap img = Snap(*Panel);
  EXPECT_PIXEL(img, 0, H / 2, FaceLight);
  EXPECT_PIXEL(img, W / 2, 0, FaceLight);
  EXPECT_PIXEL(img, 0, H - 1, FaceLight);
  EXPECT_PIXEL(img, W - 1, H / 2, FaceDark);
  EXPECT_PIXEL(img, W / 2, H - 1, FaceDark);
  EXPECT_TRUE(PixelsOfColor(img, gui::Rect(0, 0, W, H), BorderC).empty());
  Panel->SetBevelOuter(gui::bvSpace);  // anything but raised is lowered
  img = Snap(*Panel);
  EXPECT_PIXEL(img, 0, H / 2, FaceDark);
  EXPECT_PIXEL(img, W - 1, H / 2, FaceLight);
}

TEST_F(PanelExTest, BevelNoneHidesTheOutlineAndRaisedAddsInnerEdges) {
  Panel->SetBevelOuter(gui::bvNone);
  EXPECT_TRUE(PixelsOtherThan(Snap(*Panel), gui::Rect(0, 0, W, H), FaceC).empty());

  Panel->SetBevelOuter(gui::bvRaised);
  gui::TBitmap img = Snap(*Panel);
  EXPECT_PIXEL(img, 0, H / 2, BorderC);
  EXPECT_PIXEL(img, 1, H / 2, FaceLight);
  EXPECT_PIXEL(img, W / 2, 1, FaceLight);
  EXPECT_PIXEL(img, 2, 2, FaceLight);  // cut corner of the inner edge
  EXPECT_PIXEL(img, W - 2, H / 2, FaceDark);
  EXPECT_PIXEL(img, W / 2, H - 2, FaceDark);
  EXPECT_PIXEL(img, 1, 1, FaceC);
  Panel->SetBevelOuter(gui::bvLowered);
  img = Snap(*Panel);
  EXPECT_PIXEL(img, 1, H / 2, FaceDark);
  EXPECT_PIXEL(img, W - 2, H / 2, FaceLight);
  // An open right side gets no inner edges.
  Panel->SetBorderOpen(boRight);
  img = Snap(*Panel);
  EXPECT_PIXEL(img, 1, H / 2, FaceC);
  EXPECT_PIXEL(img, W / 2, 1, FaceC);
}

TEST_F(PanelExTest, HeaderBandAndSeparator) {
  Panel->SetHeaderHeight(16);
  Panel->SetBorderOpen(boRight);  // does not widen the fills under a header
  gui::TBitmap img = Snap(*Panel);
  EXPECT_PIXEL(img, W / 2, 1, HeaderC);
  EXPECT_PIXEL(img, W / 2, 14, HeaderC);
  EXPECT_PIXEL(img, W / 2, 15, BorderC);  // bvSpace: the separator line
  EXPECT_PIXEL(img, W / 2, 16, FaceC);
  EXPECT_PIXEL(img, W / 2, H - 2, FaceC);
  EXPECT_PIXEL(img, W - 1, 30, PanelColor);  // the open side stays unpainted
  Panel->SetBevelOuter(gui::bvNone);
  img = Snap(*Panel);
  EXPECT_PIXEL(img, W / 2, 15, HeaderC);

  // Raised with a header: the band in the header's shades, the body in the
  // face's.
  Panel->SetBorderOpen(boNone);
  Panel->SetBevelOuter(gui::bvRaised);
  TColor headerLight = 0, headerDark = 0;
  rtl::CalcColors3D(HeaderC, headerLight, headerDark);
  img = Snap(*Panel);
  EXPECT_PIXEL(img, W / 2, 1, headerLight);
  EXPECT_PIXEL(img, W - 2, 8, headerDark);
  EXPECT_PIXEL(img, W / 2, 16, headerDark);
  EXPECT_PIXEL(img, W / 2, 17, FaceLight);
  EXPECT_PIXEL(img, 1, 30, FaceLight);
  EXPECT_PIXEL(img, W - 2, 30, FaceDark);
}

TEST_F(PanelExTest, CaptionPlacement) {
  Panel->SetCaption("HH");
  Panel->SetCaptionTop(4);
  Panel->SetCaptionPadding(6);
  Panel->SetAlignment(gui::taLeftJustify);
  const gui::TRect topLeft = Ink(*Panel);
  ASSERT_FALSE(topLeft.IsEmpty());
  EXPECT_NEAR(topLeft.Left, 6, 1);
  EXPECT_GE(topLeft.Top, 4);
  EXPECT_LE(topLeft.Top, 8);
  Panel->SetAlignment(gui::taRightJustify);
  Panel->SetAlignmentV(tavBottom);
  const gui::TRect bottomRight = Ink(*Panel);
  EXPECT_NEAR(bottomRight.Right, W - 6, 1);
  EXPECT_LE(bottomRight.Bottom, H - 4);
  EXPECT_GE(bottomRight.Bottom, H - 8);
  Panel->SetAlignment(gui::taCenter);
  Panel->SetAlignmentV(tavMiddle);
  const gui::TRect middle = Ink(*Panel);
  EXPECT_NEAR((middle.Left + middle.Right) / 2.0, W / 2.0, 1.5);
  EXPECT_NEAR((middle.Top + middle.Bottom) / 2.0, H / 2.0, 3);
  EXPECT_FALSE(PixelsOfColor(Snap(*Panel), middle, gui::clBlack).empty());
}

TEST_F(PanelExTest, WideCaptionBeatsTheNarrowOneAndAmpersandStays) {
  TPanelEx* wideOnly = MakePanel(100, 10);
  TPanelEx* narrowOnly = MakePanel(200, 10);
  wideOnly->SetCaptionW(u"Wide");
  narrowOnly->SetCaption("Narrow");
  Panel->SetCaption("Narrow");
  Panel->SetCaptionW(u"Wide");
  EXPECT_TRUE(SameImage(Snap(*Panel), Snap(*wideOnly)));
  Panel->SetCaptionW(u"");
  EXPECT_TRUE(SameImage(Snap(*Panel), Snap(*narrowOnly)));
  wideOnly->SetCaptionW(u"&&");
  narrowOnly->SetCaption("&");
  EXPECT_GT(Ink(*wideOnly).Width(), Ink(*narrowOnly).Width());
}

TEST_F(PanelExTest, DisabledCaptionEtchedOnlyWhenCentred) {
  constexpr TColor Pale = 0x9CDBDE;  // between the grey text and its white highlight
  Panel->SetFaceColor(Pale);
  Panel->SetCaption("HHH");
  Panel->SetAlignmentV(tavMiddle);
  Panel->SetEnabled(false);
  gui::TBitmap img = Snap(*Panel);
  EXPECT_FALSE(PixelsOfColor(img, gui::Rect(1, 1, W - 1, H - 1), gui::clWhite).empty());
  EXPECT_FALSE(PixelsOfColor(img, gui::Rect(1, 1, W - 1, H - 1), gui::clGray).empty());
  const InkSplit ink = SplitInk(img, gui::Rect(1, 1, W - 1, H - 1), Pale);
  EXPECT_EQ(BoundsOf(ink.Lighter).Bottom, BoundsOf(ink.Darker).Bottom + 1);
  Panel->SetAlignment(gui::taLeftJustify);
  img = Snap(*Panel);
  EXPECT_TRUE(PixelsOfColor(img, gui::Rect(1, 1, W - 1, H - 1), gui::clWhite).empty());
  EXPECT_FALSE(PixelsOfColor(img, gui::Rect(1, 1, W - 1, H - 1), gui::clGray).empty());
}

// Layers: body, frame, picture, caption.
TEST_F(PanelExTest, PictureOverFrameAndCaptionOverPicture) {
  const gui::TBitmap cover = Solid(W, H, gui::clRed);
  Panel->SetBitmap(&cover);
  gui::TBitmap img = Snap(*Panel);
  EXPECT_TRUE(PixelsOtherThan(img, gui::Rect(0, 0, W, H), gui::clRed).empty());
  Panel->SetCaption("HH");
  Panel->SetAlignmentV(tavMiddle);
  img = Snap(*Panel);
  EXPECT_FALSE(PixelsOfColor(img, gui::Rect(0, 0, W, H), gui::clBlack).empty());

  const gui::TBitmap small = Solid(10, 6, gui::clBlue);
  Panel->SetCaption("");
  Panel->SetBitmap(&small);
  img = Snap(*Panel);
  EXPECT_EQ(BoundsOf(PixelsOfColor(img, gui::Rect(0, 0, W, H), gui::clBlue)), gui::Bounds(W / 2 - 5, H / 2 - 3, 10, 6));
  Panel->SetBitmap(nullptr);
  EXPECT_TRUE(Panel->Bitmap().Empty());
}

TEST_F(PanelExTest, GetFrameFollowsStyleOpenSideAndSize) {
  Panel->SetBorderStyle(pbsRounded);
  EXPECT_EQ(Panel->GetFrame().size(), 21u);
  Panel->SetBorderOpen(boBottom);
  EXPECT_EQ(Panel->GetFrame().back(), (gui::TPoint{W - 1, H}));
  Panel->SetBorderStyle(pbsNone);
  EXPECT_TRUE(Panel->GetFrame().empty());
}

}  // namespace
