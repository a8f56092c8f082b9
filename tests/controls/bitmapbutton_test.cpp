#include "bitmapbutton.h"

#include <gtest/gtest.h>

#include "controlfixture.h"

namespace {

using gui::RGB;
using gui::TColor;

// A face colour with three different channels, so that a mixed-up channel
// shows: light (255, 135, 45), dark (148, 60, 20).
constexpr TColor Face = RGB(222, 90, 30);
constexpr TColor FaceLight = RGB(255, 135, 45);
constexpr TColor FaceDark = RGB(148, 60, 20);
constexpr TColor Back = RGB(10, 20, 30);
constexpr TColor Border = RGB(0, 0, 120);
constexpr TColor Over = RGB(0, 200, 0);

struct BitmapButtonTest : ControlTest {
  TBitmapButton* Button = nullptr;
  int Clicks = 0, Downs = 0, Ups = 0, Enters = 0, Leaves = 0;

  void SetUp() override {
    ControlTest::SetUp();
    Button = Place(new TBitmapButton(Form), 20, 20, 75, 25);
    Button->SetButtonColor(Face);
    Button->SetBackColor(Back);
    Button->SetBorderColor(Border);
    Button->SetBorderOver(Over);
    Button->OnClick = [this](gui::TComponent*) { ++Clicks; };
    Button->OnMouseDown = [this](gui::TComponent*, gui::TMouseButton, gui::TShiftState, int, int) { ++Downs; };
    Button->OnMouseUp = [this](gui::TComponent*, gui::TMouseButton, gui::TShiftState, int, int) { ++Ups; };
    Button->OnMouseEnter = [this](gui::TComponent*) { ++Enters; };
    Button->OnMouseLeave = [this](gui::TComponent*) { ++Leaves; };
  }
};

TEST_F(BitmapButtonTest, DefaultsOfANewButton) {
  TBitmapButton b(nullptr);
  EXPECT_EQ(b.Width(), 75);
  EXPECT_EQ(b.Height(), 25);
  EXPECT_EQ(b.Style(), bsButton);
  EXPECT_EQ(b.Shape(), bsRounded);
  EXPECT_EQ(b.FocusStyle(), fsSystem);
  EXPECT_TRUE(b.DrawBorder());
  EXPECT_EQ(b.ButtonColor(), 0xC8D0D4u);
  EXPECT_FALSE(b.TabStop());
  EXPECT_TRUE(b.ControlStyle() & gui::csOpaque);
}

// The shades of 222 are 255 and 148; the square face with a border shows
// the outline, then the light edge top-left and the dark one bottom-right.
TEST_F(BitmapButtonTest, RaisedEdgesInTheShadesOfTheFace) {
  Button->SetShape(bsRect);
  const gui::TBitmap img = Snap(*Button);
  EXPECT_PIXEL(img, 30, 0, Border);
  EXPECT_PIXEL(img, 0, 12, Border);
  EXPECT_PIXEL(img, 74, 24, Border);
  EXPECT_PIXEL(img, 1, 1, FaceLight);
  EXPECT_PIXEL(img, 73, 1, FaceLight);  // the top edge runs to the corner
  EXPECT_PIXEL(img, 1, 22, FaceLight);
  EXPECT_PIXEL(img, 73, 2, FaceDark);
  EXPECT_PIXEL(img, 73, 23, FaceDark);
  EXPECT_PIXEL(img, 2, 23, FaceDark);
  EXPECT_PIXEL(img, 30, 12, Face);
  EXPECT_PIXEL(img, 2, 2, Face);
}

TEST_F(BitmapButtonTest, EdgesWithoutBorderAndOfTheRoundedShape) {
  Button->SetShape(bsRect);
  Button->SetDrawBorder(false);
  gui::TBitmap img = Snap(*Button);
  EXPECT_PIXEL(img, 0, 0, FaceLight);
  EXPECT_PIXEL(img, 74, 0, FaceLight);
  EXPECT_PIXEL(img, 74, 1, FaceDark);
  EXPECT_PIXEL(img, 0, 24, FaceLight);  // the light edge starts there
  EXPECT_PIXEL(img, 1, 24, FaceDark);
  EXPECT_PIXEL(img, 1, 1, Face);

  Button->SetShape(bsRounded);
  Button->SetDrawBorder(true);
  img = Snap(*Button);
  EXPECT_PIXEL(img, 0, 0, Back);  // outside the rounded corner
  EXPECT_PIXEL(img, 74, 24, Back);
  EXPECT_PIXEL(img, 30, 0, Border);
  EXPECT_PIXEL(img, 1, 12, FaceLight);
  EXPECT_PIXEL(img, 2, 2, FaceLight);  // the cut corner
  EXPECT_PIXEL(img, 30, 1, FaceLight);
  EXPECT_PIXEL(img, 72, 2, FaceLight);
  EXPECT_PIXEL(img, 73, 12, FaceDark);
  EXPECT_PIXEL(img, 72, 22, FaceDark);
  EXPECT_PIXEL(img, 30, 23, FaceDark);
  EXPECT_PIXEL(img, 30, 12, Face);
}

TEST_F(BitmapButtonTest, FlatAndBorderlessFaces) {
  Button->SetShape(bsRect);
  Button->SetFlat(true);
  gui::TBitmap img = Snap(*Button);
  EXPECT_PIXEL(img, 30, 0, Border);  // the outline stays
  EXPECT_PIXEL(img, 30, 1, Face);    // the edges go
  EXPECT_PIXEL(img, 73, 12, Face);
  Button->SetDrawBorder(false);
  img = Snap(*Button);
  EXPECT_TRUE(PixelsOtherThan(img, gui::Rect(0, 0, 75, 25), Face).empty()) << "no visible frame";
}

TEST_F(BitmapButtonTest, PressedSwapsTheEdgesOnlyInButtonStyle) {
  Button->SetShape(bsRect);
  gui::SimMouseMove(*Button, 30, 12);
  gui::SimMouseDown(*Button, gui::mbLeft, 30, 12);
  gui::TBitmap img = Snap(*Button);
  EXPECT_PIXEL(img, 30, 1, FaceDark);
  EXPECT_PIXEL(img, 73, 12, FaceLight);
  EXPECT_PIXEL(img, 30, 0, Over);  // still hovered
  gui::SimMouseUp(*Button, gui::mbLeft, 30, 12);
  img = Snap(*Button);
  EXPECT_PIXEL(img, 30, 1, FaceLight);
  // Releasing clears the hover look although the mouse is still there.
  EXPECT_PIXEL(img, 30, 0, Border);

  Button->SetStyle(bsPanel);
  gui::SimMouseDown(*Button, gui::mbLeft, 30, 12);
  img = Snap(*Button);
  EXPECT_PIXEL(img, 30, 1, FaceLight);
  gui::SimMouseUp(*Button, gui::mbLeft, 30, 12);
}

TEST_F(BitmapButtonTest, HoverOutlineFollowsTheMouse) {
  Button->SetShape(bsRect);
  gui::SimMouseMove(*Button, 30, 12);
  EXPECT_PIXEL(Snap(*Button), 30, 0, Over);
  gui::SimMouseMove(*Form, 300, 200);
  EXPECT_PIXEL(Snap(*Button), 30, 0, Border);
  EXPECT_EQ(Enters, 1);
  EXPECT_EQ(Leaves, 1);
}

// Disabled: no edges, the outline in the dark shade (BorderColor when flat),
// the caption etched in the light shade one pixel down and right of the dark
// one.
TEST_F(BitmapButtonTest, DisabledLookIsEtched) {
  Button->SetShape(bsRect);
  Button->SetCaption("HHH");
  Button->SetEnabled(false);
  gui::TBitmap img = Snap(*Button);
  EXPECT_PIXEL(img, 30, 0, FaceDark);
  EXPECT_PIXEL(img, 30, 1, Face);
  EXPECT_PIXEL(img, 73, 12, Face);
  // Ink lighter than the face is the highlight, darker ink the text; the
  // highlight shows along the bottom and right of the text.
  const InkSplit ink = SplitInk(img, gui::Rect(2, 2, 73, 23), Face);
  ASSERT_FALSE(ink.Lighter.empty());
  ASSERT_FALSE(ink.Darker.empty());
  EXPECT_FALSE(PixelsOfColor(img, gui::Rect(2, 2, 73, 23), FaceLight).empty());
  EXPECT_FALSE(PixelsOfColor(img, gui::Rect(2, 2, 73, 23), FaceDark).empty());
  const gui::TRect lighter = BoundsOf(ink.Lighter), darker = BoundsOf(ink.Darker);
  EXPECT_EQ(lighter.Bottom, darker.Bottom + 1);
  EXPECT_EQ(lighter.Right, darker.Right + 1);
  EXPECT_GT(lighter.Top, darker.Top);
  Button->SetFlat(true);
  EXPECT_PIXEL(Snap(*Button), 30, 0, Border);
}

// The caption is centred on its baseline at H/2 + ascent/2 - 1 of the
// default font, in the font colour, shifted by one pixel while pressed.
TEST_F(BitmapButtonTest, CaptionPositionAndColour) {
  Button->SetShape(bsRect);
  Button->SetButtonColor(gui::clWhite);
  Button->Font().SetColor(gui::clBlack);
  Button->SetCaption("HHHH");
  gui::TBitmap probe(10, 10);
  const int ascent = probe.Canvas().GetTextMetrics().Ascent;
  probe.Canvas().Font().Assign(Button->Font());
  const int width = probe.Canvas().TextExtent(std::u16string(u"HHHH")).cx;
  const int baseline = 25 / 2 + ascent / 2 - 1;

  gui::TBitmap img = Snap(*Button);
  const gui::TRect inside = gui::Rect(2, 2, 73, 23);
  const gui::TRect ink = BoundsOf(PixelsOtherThan(img, inside, gui::clWhite));
  ASSERT_FALSE(ink.IsEmpty());
  EXPECT_FALSE(PixelsOfColor(img, inside, gui::clBlack).empty());
  EXPECT_EQ(ink.Bottom, baseline);  // "H" stands on the baseline
  EXPECT_NEAR((ink.Left + ink.Right) / 2.0, 37.0, 1.5);
  EXPECT_LE(ink.Width(), width);

  Button->SetTextPaddingTop(3);
  img = Snap(*Button);
  EXPECT_EQ(BoundsOf(PixelsOtherThan(img, inside, gui::clWhite)), ink.Offset(0, 3));
  Button->SetTextPaddingTop(0);

  gui::SimMouseDown(*Button, gui::mbLeft, 30, 12);
  img = Snap(*Button);
  EXPECT_EQ(BoundsOf(PixelsOtherThan(img, inside, gui::clWhite)), ink.Offset(1, 1));
  gui::SimMouseUp(*Button, gui::mbLeft, 30, 12);
}

TEST_F(BitmapButtonTest, WideCaptionBeatsTheNarrowOne) {
  TBitmapButton* wideOnly = Place(new TBitmapButton(Form), 120, 20, 75, 25);
  TBitmapButton* narrowOnly = Place(new TBitmapButton(Form), 220, 20, 75, 25);
  wideOnly->SetCaptionW(u"Wide");
  narrowOnly->SetCaption("Narrow");
  Button->SetButtonColor(0xC8D0D4);
  Button->SetBackColor(0);
  Button->SetBorderColor(0);
  Button->SetBorderOver(0);
  Button->SetCaption("Narrow");
  Button->SetCaptionW(u"Wide");
  EXPECT_TRUE(SameImage(Snap(*Button), Snap(*wideOnly)));
  EXPECT_FALSE(SameImage(Snap(*wideOnly), Snap(*narrowOnly)));
  Button->SetCaptionW(u"");
  EXPECT_TRUE(SameImage(Snap(*Button), Snap(*narrowOnly)));
  // "&" is drawn as it stands: a button with "&&" differs from one with "&".
  wideOnly->SetCaptionW(u"&&");
  narrowOnly->SetCaption("&");
  EXPECT_FALSE(SameImage(Snap(*wideOnly), Snap(*narrowOnly)));
}

// Layers: the picture covers the caption, the focus mark covers the picture.
TEST_F(BitmapButtonTest, PictureOverCaptionAndFocusOverPicture) {
  Button->SetShape(bsRect);
  Button->SetCaption("MMMMMM");
  const gui::TBitmap red = Solid(16, 16, gui::clRed);
  Button->SetGap(-16);  // the picture starts where the caption starts
  const gui::TBitmap captionOnly = Snap(*Button);
  Button->SetBitmap(&red);
  const gui::TBitmap img = Snap(*Button);
  const gui::TRect pictureRect = BoundsOf(PixelsOfColor(img, gui::Rect(0, 0, 75, 25), gui::clRed));
  ASSERT_EQ(pictureRect.Width(), 16);
  ASSERT_EQ(pictureRect.Height(), 16);
  EXPECT_EQ(pictureRect.Top, 25 / 2 - 8);
  EXPECT_FALSE(PixelsOtherThan(captionOnly, pictureRect, Face).empty()) << "the caption reaches under the picture";

  const gui::TBitmap cover = Solid(75, 25, gui::clRed);
  Button->SetGap(0);
  Button->SetCaption("");
  Button->SetBitmap(&cover);
  Button->SetTabStop(true);
  Button->SetFocus();
  gui::Application->ProcessMessages();
  const gui::TBitmap focused = Snap(*Button);
  // The dotted rectangle inverts every other pixel of (2, 2, 73, 23).
  const std::vector<gui::TPoint> marks = PixelsOfColor(focused, gui::Rect(2, 2, 73, 3), gui::clRed ^ 0xFFFFFF);
  EXPECT_GE(marks.size(), 34u);
  EXPECT_TRUE(PixelsOtherThan(focused, gui::Rect(4, 4, 71, 21), gui::clRed).empty());
}

TEST_F(BitmapButtonTest, DisabledPictureAtThePlaceOfTheEnabledOne) {
  Button->SetShape(bsRect);
  const gui::TBitmap big = Solid(20, 10, gui::clRed);
  const gui::TBitmap small = Solid(4, 4, gui::clBlue);
  Button->SetBitmap(&big);
  Button->SetDisBitmap(&small);
  Button->SetEnabled(false);
  const gui::TBitmap img = Snap(*Button);
  EXPECT_TRUE(PixelsOfColor(img, gui::Rect(0, 0, 75, 25), gui::clRed).empty());
  EXPECT_EQ(BoundsOf(PixelsOfColor(img, gui::Rect(0, 0, 75, 25), gui::clBlue)),
            gui::Bounds(75 / 2 - 10, 25 / 2 - 5, 4, 4));
  // A null picture empties it; a null font is ignored.
  Button->SetBitmap(nullptr);
  EXPECT_TRUE(Button->Bitmap().Empty());
  Button->Font().SetHeight(-20);
  Button->SetFont(nullptr);
  EXPECT_EQ(Button->Font().Height(), -20);
}

TEST_F(BitmapButtonTest, CornerFocusMarksInTheBorderColour) {
  Button->SetShape(bsRect);
  Button->SetFocusStyle(fsDefault);
  Button->SetTabStop(true);
  Button->SetFocus();
  gui::Application->ProcessMessages();
  gui::TBitmap img = Snap(*Button);
  for (const auto& p : {gui::TPoint{2, 2}, {2, 4}, {4, 2}, {72, 2}, {70, 2}, {72, 22}, {2, 22}}) {
    EXPECT_PIXEL(img, p.x, p.y, Border);
  }
  EXPECT_PIXEL(img, 5, 2, Face);  // the polyline's last point stays out
  EXPECT_PIXEL(img, 2, 5, Face);
  // Without TabStop a focused button shows no mark.
  Button->SetTabStop(false);
  img = Snap(*Button);
  EXPECT_PIXEL(img, 2, 2, Face);
  EXPECT_PIXEL(img, 72, 22, Face);
}

TEST_F(BitmapButtonTest, ParentColorTakesTheParentsColourAtPaint) {
  Button->SetParentColor(true);
  EXPECT_PIXEL(Snap(*Button), 0, 0, FormColor);
  EXPECT_EQ(Button->BackColor(), FormColor);
}

TEST_F(BitmapButtonTest, DisabledButtonReportsLeavingButNotEntering) {
  Button->SetEnabled(false);
  Button->SetShape(bsRect);
  gui::SimMouseMove(*Button, 30, 12);
  EXPECT_EQ(Enters, 0);
  EXPECT_PIXEL(Snap(*Button), 30, 0, FaceDark);
  gui::SimMouseMove(*Form, 300, 200);
  EXPECT_EQ(Leaves, 1);
}

TEST_F(BitmapButtonTest, PanelStyleClicksWithoutMouseUp) {
  Button->SetStyle(bsPanel);
  gui::SimClick(*Button, 30, 12);
  EXPECT_EQ(Downs, 1);
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(Ups, 0);
  Button->SetStyle(bsButton);
  gui::SimClick(*Button, 30, 12);
  EXPECT_EQ(Downs, 2);
  EXPECT_EQ(Clicks, 2);
  EXPECT_EQ(Ups, 1);
}

TEST_F(BitmapButtonTest, RightAndMiddlePressesChangeNothing) {
  Button->SetShape(bsRect);
  Button->SetTabStop(true);
  gui::SimMouseMove(*Button, 30, 12);
  for (gui::TMouseButton b : {gui::mbRight, gui::mbMiddle}) {
    const gui::TBitmap before = Snap(*Button);
    gui::SimMouseDown(*Button, b, 30, 12);
    EXPECT_TRUE(SameImage(Snap(*Button), before));
    gui::SimMouseUp(*Button, b, 30, 12);
  }
  EXPECT_EQ(Downs, 0);
  EXPECT_EQ(Ups, 0);
  EXPECT_EQ(Clicks, 0);
  EXPECT_FALSE(Button->Focused());
}

TEST_F(BitmapButtonTest, PressesOnADisabledButtonChangeNothing) {
  Button->SetEnabled(false);
  gui::SimClick(*Button, 30, 12);
  EXPECT_EQ(Downs, 0);
  EXPECT_EQ(Clicks, 0);
  EXPECT_EQ(Ups, 0);
}

TEST_F(BitmapButtonTest, EnterKeyClicksOnlyWhenEnabled) {
  Button->SetTabStop(true);
  Button->SetFocus();
  gui::Application->ProcessMessages();
  ASSERT_TRUE(Button->Focused());
  gui::SimKey(Form, gui::VK_RETURN, u'\r');
  EXPECT_EQ(Clicks, 1);
  gui::SimKey(Form, gui::VK_SPACE, u' ');
  EXPECT_EQ(Clicks, 1);
  Button->SetEnabled(false);
  Button->Click();
  EXPECT_EQ(Clicks, 1);
  Button->SetEnabled(true);
  Button->Click();
  EXPECT_EQ(Clicks, 2);
}

TEST_F(BitmapButtonTest, LeavingEndsThePress) {
  Button->SetShape(bsRect);
  gui::SimMouseMove(*Button, 30, 12);
  gui::SimMouseDown(*Button, gui::mbLeft, 30, 12);
  gui::SimMouseMove(*Form, 300, 200, gui::ssLeft);
  EXPECT_EQ(Leaves, 1);
  EXPECT_PIXEL(Snap(*Button), 30, 1, FaceLight);
  gui::SimMouseUp(*Form, gui::mbLeft, 300, 200);
  EXPECT_EQ(Ups, 0);
  EXPECT_EQ(Clicks, 0);
}

}  // namespace
