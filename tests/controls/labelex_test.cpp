#include "labelex.h"

#include <gtest/gtest.h>

#include "controlfixture.h"
#include "edit.h"

namespace {

using gui::TColor;

constexpr TColor LabelColor = 0x9CDBDE;

struct LabelExTest : ControlTest {
  TLabelEx* Label = nullptr;
  void SetUp() override {
    ControlTest::SetUp();
    Label = MakeLabel(10, 10);
  }
  TLabelEx* MakeLabel(int left, int top) {
    auto* label = new TLabelEx(Form);
    label->SetAutoSize(false);
    label->SetColor(LabelColor);
    label->Font().SetColor(gui::clBlack);
    return Place(label, left, top, 120, 40);
  }
  gui::TRect Ink(TLabelEx& label) { return BoundsOf(PixelsOtherThan(Snap(label), label.ClientRect(), LabelColor)); }
};

TEST_F(LabelExTest, FillsItsRectangleAlsoWithoutCaptionAndWhenTransparent) {
  gui::TBitmap img = Snap(*Label);
  EXPECT_TRUE(PixelsOtherThan(img, Label->ClientRect(), LabelColor).empty());
  Label->SetTransparent(true);
  Label->SetCaption("HH");
  img = Snap(*Label);
  EXPECT_PIXEL(img, 0, 39, LabelColor);
  EXPECT_PIXEL(img, 119, 0, LabelColor);
  EXPECT_FALSE(PixelsOfColor(img, Label->ClientRect(), gui::clBlack).empty());
}

TEST_F(LabelExTest, WideCaptionBeatsTheNarrowOne) {
  TLabelEx* wideOnly = MakeLabel(150, 10);
  TLabelEx* narrowOnly = MakeLabel(150, 60);
  wideOnly->SetCaptionW(u"Wide");
  narrowOnly->SetCaption("Narrow");
  Label->SetCaption("Narrow");
  Label->SetCaptionW(u"Wide");
  EXPECT_TRUE(SameImage(Snap(*Label), Snap(*wideOnly)));
  EXPECT_FALSE(SameImage(Snap(*wideOnly), Snap(*narrowOnly)));
  Label->SetCaptionW(u"");
  EXPECT_TRUE(SameImage(Snap(*Label), Snap(*narrowOnly)));
  EXPECT_EQ(Label->Caption(), "Narrow");
}

TEST_F(LabelExTest, TextFromTheTopByAlignment) {
  Label->SetCaptionW(u"HH");
  const gui::TRect left = Ink(*Label);
  ASSERT_FALSE(left.IsEmpty());
  EXPECT_LE(left.Left, 2);
  EXPECT_LE(left.Top, 5);  // the top of the label, not its middle
  Label->SetAlignment(gui::taRightJustify);
  const gui::TRect right = Ink(*Label);
  EXPECT_GE(right.Right, 118);
  EXPECT_EQ(right.Top, left.Top);
  Label->SetAlignment(gui::taCenter);
  const gui::TRect centre = Ink(*Label);
  EXPECT_NEAR((centre.Left + centre.Right) / 2.0, 60.0, 1.5);
  // Layout does not move the text.
  Label->SetLayout(gui::tlBottom);
  EXPECT_EQ(Ink(*Label), centre);
}

TEST_F(LabelExTest, LineBreakStartsASecondLine) {
  Label->SetCaptionW(u"HH");
  const gui::TRect one = Ink(*Label);
  Label->SetCaptionW(u"HH\nHH");
  const gui::TRect two = Ink(*Label);
  EXPECT_EQ(two.Top, one.Top);
  EXPECT_GT(two.Bottom, one.Bottom + one.Height());
  // The rows between the lines are empty.
  const gui::TBitmap img = Snap(*Label);
  EXPECT_TRUE(PixelsOtherThan(img, gui::Rect(0, one.Bottom + 1, 120, one.Bottom + 2), LabelColor).empty());
}

TEST_F(LabelExTest, AmpersandMarksAnAccelerator) {
  Label->SetCaptionW(u"H");
  const gui::TRect plain = Ink(*Label);
  Label->SetCaptionW(u"&H");
  const gui::TRect underlined = Ink(*Label);
  EXPECT_GT(underlined.Bottom, plain.Bottom);  // the underline, below the letter
  EXPECT_NEAR(underlined.Left, plain.Left, 1);
  Label->SetCaptionW(u"H&&H");
  const int withAmpersand = Ink(*Label).Width();
  Label->SetCaptionW(u"H&H");
  EXPECT_GT(withAmpersand, Ink(*Label).Width());
}

// Without ShowAccelChar an "&" is a character like any other: "&H" draws
// what "&&H" draws with it, not an underlined H; also etched.
TEST_F(LabelExTest, WithoutAccelCharTheAmpersandStands) {
  TLabelEx* reference = MakeLabel(150, 10);
  reference->SetCaptionW(u"R&&D");
  Label->SetShowAccelChar(false);
  EXPECT_FALSE(Label->ShowAccelChar());
  Label->SetCaptionW(u"R&D");
  EXPECT_TRUE(SameImage(Snap(*Label), Snap(*reference)));
  reference->SetCaptionW(u"RD");
  EXPECT_FALSE(SameImage(Snap(*Label), Snap(*reference)));
  Label->SetEnabled(false);
  reference->SetEnabled(false);
  reference->SetCaptionW(u"R&&D");
  EXPECT_TRUE(SameImage(Snap(*Label), Snap(*reference)));
  // Switched back on, the "&" marks the D again.
  Label->SetEnabled(true);
  reference->SetEnabled(true);
  Label->SetShowAccelChar(true);
  EXPECT_FALSE(SameImage(Snap(*Label), Snap(*reference)));
}

TEST_F(LabelExTest, DisabledTextIsEtchedWhateverTheFontColour) {
  Label->Font().SetColor(gui::clRed);
  Label->SetCaptionW(u"HHH");
  Label->SetEnabled(false);
  const gui::TBitmap img = Snap(*Label);
  EXPECT_FALSE(PixelsOfColor(img, Label->ClientRect(), gui::clWhite).empty());
  EXPECT_FALSE(PixelsOfColor(img, Label->ClientRect(), gui::clGray).empty());
  EXPECT_TRUE(PixelsOfColor(img, Label->ClientRect(), gui::clRed).empty());
  const InkSplit ink = SplitInk(img, Label->ClientRect(), LabelColor);
  const gui::TRect lighter = BoundsOf(ink.Lighter), darker = BoundsOf(ink.Darker);
  EXPECT_EQ(lighter.Bottom, darker.Bottom + 1);
  EXPECT_EQ(lighter.Right, darker.Right + 1);
}

TEST_F(LabelExTest, MouseOverAndOutInsteadOfEnterAndLeave) {
  int over = 0, out = 0, enter = 0, leave = 0;
  Label->OnMouseOver = [&](gui::TComponent* sender) {
    EXPECT_EQ(sender, Label);
    ++over;
  };
  Label->OnMouseOut = [&](gui::TComponent*) { ++out; };
  Label->OnMouseEnter = [&](gui::TComponent*) { ++enter; };
  Label->OnMouseLeave = [&](gui::TComponent*) { ++leave; };
  gui::SimMouseMove(*Label, 5, 5);
  gui::SimMouseMove(*Form, 300, 200);
  EXPECT_EQ(over, 1);
  EXPECT_EQ(out, 1);
  EXPECT_EQ(enter, 0);
  EXPECT_EQ(leave, 0);
}

}  // namespace

// A label that names a field looks as the field behaves: disabled with it,
// live again with it, while its own flag stays set.
TEST_F(LabelExTest, LabelOfAFieldGreysWithTheField) {
  TLabelEx* reference = MakeLabel(150, 10);
  reference->SetCaptionW(u"Sampling rate");
  reference->SetEnabled(false);
  Label->SetCaptionW(u"Sampling rate");
  auto* field = Place(new gui::TEdit(Form), 10, 60, 100, 21);
  Label->SetFocusControl(field);
  EXPECT_FALSE(SameImage(Snap(*Label), Snap(*reference)));
  field->SetEnabled(false);
  EXPECT_TRUE(Label->Enabled());
  EXPECT_TRUE(SameImage(Snap(*Label), Snap(*reference)));
  field->SetEnabled(true);
  EXPECT_FALSE(SameImage(Snap(*Label), Snap(*reference)));
  delete field;  // a field that goes leaves the label live
  EXPECT_EQ(Label->FocusControl(), nullptr);
  EXPECT_FALSE(SameImage(Snap(*Label), Snap(*reference)));
}
