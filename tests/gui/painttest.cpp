#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "application.h"
#include "bitmap.h"
#include "checkbox.h"
#include "combobox.h"
#include "datetimepicker.h"
#include "edit.h"
#include "form.h"
#include "frame3d.h"
#include "image.h"
#include "groupbox.h"
#include "label.h"
#include "listbox.h"
#include "memo.h"
#include "paintbox.h"
#include "panel.h"
#include "radiobutton.h"

namespace gui {
namespace {

// A form whose look is read back from a screenshot.
struct PaintTest : testing::Test {
  TForm* Form = nullptr;
  TBitmap Shot;
  void SetUp() override {
    Form = new TForm(Application);
    Form->SetBounds(10, 10, 240, 160);
    Form->SetColor(clBlue);
    Form->Show();
  }
  void TearDown() override { delete Form; }
  void Grab() {
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("gui_paint_" + std::to_string(::getpid()) + ".png");
    ASSERT_TRUE(Form->SaveScreenshot(file.string()));
    ASSERT_TRUE(Shot.LoadFromFile(file.string()));
    std::filesystem::remove(file);
  }
  // Pixels of a colour inside a rectangle of the shot.
  int Count(const TRect& r, TColor color) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) n += Shot.Pixel(x, y) == color ? 1 : 0;
    return n;
  }
  // The columns of a rectangle that hold a colour: first and last + 1.
  TRect Extent(const TRect& r, TColor color) {
    TRect e{1000, 1000, -1, -1};
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        if (Shot.Pixel(x, y) == color) {
          e.Left = std::min(e.Left, x);
          e.Top = std::min(e.Top, y);
          e.Right = std::max(e.Right, x + 1);
          e.Bottom = std::max(e.Bottom, y + 1);
        }
    return e;
  }
  TLabel* MakeLabel(int left, int top, int width, int height, const std::string& caption) {
    auto* l = new TLabel(Form);
    l->SetParent(Form);
    l->SetAutoSize(false);
    l->SetBounds(left, top, width, height);
    l->SetColor(clWhite);
    l->SetCaption(caption);
    return l;
  }
};

TEST_F(PaintTest, LabelFillsWithItsColourAndAlignsItsText) {
  MakeLabel(10, 10, 100, 20, "Wide");
  TLabel* right = MakeLabel(10, 40, 100, 20, "Wide");
  right->SetAlignment(taRightJustify);
  TLabel* empty = MakeLabel(10, 70, 100, 20, "");
  Grab();
  EXPECT_EQ(Count(Bounds(10, 70, 100, 20), clWhite), 2000);  // an empty label still paints its rectangle
  const TRect l = Extent(Bounds(10, 10, 100, 20), clBlack);
  const TRect r = Extent(Bounds(10, 40, 100, 20), clBlack);
  EXPECT_LE(l.Left, 12);
  EXPECT_GE(r.Right, 108);
  EXPECT_EQ(l.Width(), r.Width());
  EXPECT_EQ(empty->Caption(), "");
}

TEST_F(PaintTest, TransparentLabelLeavesTheParentVisibleAroundItsText) {
  TLabel* label = MakeLabel(10, 10, 100, 20, "x");
  label->SetTransparent(true);
  Grab();
  EXPECT_EQ(Count(Bounds(10, 10, 100, 20), clWhite), 0);
  EXPECT_GT(Count(Bounds(10, 10, 100, 20), clBlue), 1800);
}

TEST_F(PaintTest, DisabledLabelIsEtchedWhiteUnderGrey) {
  TLabel* label = MakeLabel(10, 10, 100, 20, "IIII");
  label->SetColor(clSilver);
  label->Font().SetColor(clRed);
  label->SetEnabled(false);
  Grab();
  const TRect area = Bounds(10, 10, 100, 20);
  EXPECT_EQ(Count(area, clRed), 0);  // the font colour is not used
  const TRect grey = Extent(area, clGray);
  const TRect white = Extent(area, clWhite);
  ASSERT_FALSE(grey.IsEmpty());
  EXPECT_EQ(white.Left, grey.Left + 1);
  EXPECT_EQ(white.Top, grey.Top + 1);
}

// Every standard control shows its text in its font colour while enabled
// and in the platform's grey while disabled; a label that names a field
// greys with the field.
TEST_F(PaintTest, DisabledControlsGreyTheirTextAndLabelsFollow) {
  Form->SetBounds(10, 10, 360, 260);
  Form->Font().SetColor(clRed);
  std::vector<std::pair<TControl*, TRect>> shown;
  int row = 0;
  const auto place = [&](auto* control, int width = 150, int height = 24) {
    control->SetParent(Form);
    control->SetBounds(10 + (row % 2) * 170, 10 + (row / 2) * 34, width, height);
    shown.emplace_back(control, control->BoundsRect());
    ++row;
    return control;
  };
  place(new TEdit(Form))->SetText(u"IIII");
  place(new TComboBox(Form))->SetText(u"IIII");
  auto* list = place(new TComboBox(Form));
  list->SetStyle(csDropDownList);
  list->Items().Add(u"IIII");
  list->SetItemIndex(0);
  place(new TMemo(Form), 150, 30)->SetText(u"IIII");
  place(new TListBox(Form), 150, 30)->Items().Add(u"IIII");
  place(new TCheckBox(Form))->SetCaption("IIII");
  place(new TRadioButton(Form))->SetCaption("IIII");
  place(new TGroupBox(Form), 150, 30)->SetCaption("IIII");
  place(new TPanel(Form))->SetCaption("IIII");
  place(new TDateTimePicker(Form))->SetDate({2011, 11, 11});
  auto* field = place(new TEdit(Form));
  field->SetText(u"IIII");
  TLabel* name = MakeLabel(200, 220, 100, 20, "IIII");
  name->Font().SetColor(clRed);
  name->SetFocusControl(field);
  shown.emplace_back(name, name->BoundsRect());
  Application->ProcessMessages();
  Grab();
  for (const auto& [control, area] : shown) EXPECT_GT(Count(area, clRed), 0) << "at " << area.Left << ", " << area.Top;

  for (const auto& [control, area] : shown)
    if (control != name) control->SetEnabled(false);
  Application->ProcessMessages();
  Grab();
  for (const auto& [control, area] : shown) {
    EXPECT_EQ(Count(area, clRed), 0) << "disabled at " << area.Left << ", " << area.Top;
    EXPECT_GT(Count(area, clGray), 0) << "disabled at " << area.Left << ", " << area.Top;
  }
  EXPECT_TRUE(name->Enabled());  // the label keeps its own flag
}

TEST_F(PaintTest, LabelBreaksLinesAtLineFeeds) {
  MakeLabel(10, 10, 100, 40, "AAA\nAAA");
  Grab();
  const TRect ink = Extent(Bounds(10, 10, 100, 40), clBlack);
  TBitmap probe(10, 10);
  const int line = probe.Canvas().GetTextMetrics().Height;
  EXPECT_GT(ink.Height(), line);  // two lines from the top
  EXPECT_LT(ink.Top, 10 + line);
}

TEST_F(PaintTest, PanelBevelsAndFace) {
  auto* raised = new TPanel(Form);
  raised->SetParent(Form);
  raised->SetBounds(10, 10, 60, 40);
  raised->SetColor(clSilver);
  auto* lowered = new TPanel(Form);
  lowered->SetParent(Form);
  lowered->SetBounds(100, 10, 60, 40);
  lowered->SetColor(clSilver);
  lowered->SetBevelOuter(bvLowered);
  auto* flat = new TPanel(Form);
  flat->SetParent(Form);
  flat->SetBounds(10, 60, 60, 40);
  flat->SetColor(clSilver);
  flat->SetBevelOuter(bvNone);
  Grab();
  // Raised: light top-left, shadow bottom-right; lowered the other way.
  EXPECT_EQ(Shot.Pixel(10, 10), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(Shot.Pixel(69, 49), ColorToRGB(clBtnShadow));
  EXPECT_EQ(Shot.Pixel(30, 30), clSilver);
  EXPECT_EQ(Shot.Pixel(100, 10), ColorToRGB(clBtnShadow));
  EXPECT_EQ(Shot.Pixel(159, 49), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(Count(Bounds(10, 60, 60, 40), clSilver), 2400);
}

TEST_F(PaintTest, PanelCentresItsCaption) {
  auto* panel = new TPanel(Form);
  panel->SetParent(Form);
  panel->SetBounds(20, 20, 120, 60);
  panel->SetColor(clWhite);
  panel->SetBevelOuter(bvNone);
  panel->SetCaption("HH");
  Grab();
  const TRect ink = Extent(Bounds(20, 20, 120, 60), clBlack);
  EXPECT_NEAR((ink.Left + ink.Right) / 2.0, 80.0, 1.5);
  EXPECT_NEAR((ink.Top + ink.Bottom) / 2.0, 50.0, 3.0);
}

TEST_F(PaintTest, PaintBoxDrawingOutsidePaintShowsAtOnce) {
  auto* box = new TPaintBox(Form);
  box->SetParent(Form);
  box->SetBounds(30, 30, 50, 50);
  box->SetControlStyle(box->ControlStyle() | csOpaque);
  box->Canvas().Brush().Color = clLime;
  box->Canvas().FillRect(Rect(0, 0, 50, 50));
  Grab();
  EXPECT_EQ(Count(Bounds(30, 30, 50, 50), clLime), 2500);
  // Without csOpaque, an empty OnPaint shows the parent.
  box->SetControlStyle(box->ControlStyle() & ~csOpaque);
  box->Invalidate();
  Grab();
  EXPECT_EQ(Count(Bounds(30, 30, 50, 50), clBlue), 2500);
}

TEST_F(PaintTest, ImageCentresStretchesAndCutsItsTransparentColour) {
  TBitmap picture(10, 10);
  picture.Canvas().Brush().Color = clRed;
  picture.Canvas().FillRect(Rect(0, 0, 10, 10));
  picture.Canvas().Brush().Color = clLime;
  picture.Canvas().FillRect(Rect(3, 3, 7, 7));
  auto* plain = new TImage(Form);
  plain->SetParent(Form);
  plain->SetBounds(10, 10, 30, 30);
  plain->SetPicture(picture);
  plain->SetCenter(true);
  auto* stretched = new TImage(Form);
  stretched->SetParent(Form);
  stretched->SetBounds(50, 10, 40, 40);
  stretched->SetPicture(picture);
  stretched->SetStretch(true);
  auto* cut = new TImage(Form);
  cut->SetParent(Form);
  cut->SetBounds(100, 10, 10, 10);
  cut->SetPicture(picture);
  cut->SetTransparent(true);  // the bottom-left colour, red, is cut
  Grab();
  EXPECT_EQ(Extent(Bounds(10, 10, 30, 30), clRed), Bounds(20, 20, 10, 10));
  EXPECT_EQ(Count(Bounds(50, 10, 40, 40), clRed) + Count(Bounds(50, 10, 40, 40), clLime), 1600);
  EXPECT_EQ(Count(Bounds(100, 10, 10, 10), clRed), 0);
  EXPECT_EQ(Count(Bounds(100, 10, 10, 10), clLime), 16);
}

TEST(Frame3D, TopLeftAndBottomRightEdges) {
  TBitmap b(10, 8);
  TCanvas& c = b.Canvas();
  c.Brush().Color = clBlue;
  c.FillRect(Rect(0, 0, 10, 8));
  TRect r = Rect(0, 0, 10, 8);
  Frame3D(c, r, clWhite, clBlack, 1);
  EXPECT_EQ(r, Rect(1, 1, 9, 7));
  EXPECT_EQ(b.Pixel(0, 0), clWhite);
  EXPECT_EQ(b.Pixel(8, 0), clWhite);
  EXPECT_EQ(b.Pixel(0, 6), clWhite);
  EXPECT_EQ(b.Pixel(9, 0), clBlack);
  EXPECT_EQ(b.Pixel(9, 7), clBlack);
  EXPECT_EQ(b.Pixel(0, 7), clBlack);
  EXPECT_EQ(b.Pixel(1, 1), clBlue);
}

}  // namespace
}  // namespace gui
