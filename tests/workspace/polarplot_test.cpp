// The plane diagrams drawn: bitmaps probed at fixed pixels, pictures of a
// worked example job, and the diagrams, zoom commands and value panels in
// the workspace window.

#include "polarplot.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <numbers>
#include <string>

#include "application.h"
#include "datafolder.h"
#include "formbalancing.h"
#include "inputsim.h"
#include "labelex.h"
#include "languageservice.h"
#include "workcolors.h"
#include "zelto.h"

namespace {

constexpr double Pi = std::numbers::pi;

std::string PicturePath(const std::string& name) { return std::string(ZELTO_PICTURE_DIR) + "/" + name; }

// Pixels of a colour in a rectangle.
int Count(const gui::TBitmap& bitmap, gui::TRect r, gui::TColor colour) {
  int n = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) n += bitmap.Pixel(x, y) == colour;
  return n;
}

class PlotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Folder = testsupport::MakeDataFolder("zelto-plot");
    ASSERT_FALSE(Folder.empty());
    Core = std::make_unique<TZelto>();
    Core->AmplDisplayMode = admVoltage;
    Measure(0, 10.0, 0.0);
  }
  void TearDown() override {
    Core.reset();
    testsupport::RemoveDataFolder(Folder);
  }
  void Measure(int run, double ampl, double phase, double amplB = 0, double phaseB = 0) {
    Core->Results[run].Meas = {ampl, phase, amplB, phaseB};
    Core->Results[run].Freq = 25.0;
    Core->Results[run].Valid = 1;
  }
  gui::TBitmap Render(int width = 400, int height = 300) { return RenderPlaneDiagrams(*Core, View, width, height); }
  gui::TColor Colour(TWorkColor c) const { return Core->WorkColors[c]; }
  void DefineRotor() {
    Core->Rotor.Type = 4;
    Core->Rotor.m = 10;
    Core->Rotor.f = 25;
    Core->Rotor.dA = Core->Rotor.dB = 100;
  }

  std::string Folder;
  std::unique_ptr<TZelto> Core;
  TDiagramView View;
};

// One plane, 400 x 300: disc (85, 35, 316, 266) about (200, 150), R = 115.
TEST_F(PlotTest, CurrentRunOverTheDisc) {
  Core->BalancingStep = 1;
  Measure(1, 10.0, Pi / 2);  // s = 0.5: straight up to (200, 92)
  const gui::TBitmap bitmap = Render();
  EXPECT_EQ(bitmap.Pixel(2, 2), Colour(wcWorkBack));
  EXPECT_EQ(bitmap.Pixel(264, 214), Colour(wcWorkFill));   // on the disc, beyond the amplitude disc
  EXPECT_EQ(bitmap.Pixel(230, 170), Colour(wcWorkChACr));  // inside the amplitude disc
  EXPECT_EQ(bitmap.Pixel(200, 120), Colour(wcWorkChA));    // on the vector
  EXPECT_EQ(bitmap.Pixel(200, 92), Colour(wcWorkChA));     // its end dot
  EXPECT_GT(Count(bitmap, gui::Rect(85, 35, 316, 37), Colour(wcWorkText1)), 0);  // rim at the top
  EXPECT_GT(Count(bitmap, gui::Rect(0, 280, 60, 296), Colour(wcWorkText1)), 0);  // "x0.50"
}

// A vector beyond the rim is marked on the rim; nothing reaches outside it.
TEST_F(PlotTest, VectorBeyondTheRimStaysInside) {
  Core->BalancingStep = 1;
  Measure(1, 30.0, DegToRad(120));
  View.PlaneZoom = 1.0f;
  const gui::TBitmap bitmap = Render();
  EXPECT_EQ(bitmap.Pixel(138, 43), Colour(wcWorkBack));  // radius R + 8 on the ray
  // The outward triangle just inside the rim.
  const TDisc disc = DiscOf(gui::Rect(50, 0, 350, 300));
  const gui::TPoint inside = disc.PixelAt(DegToRad(120), disc.R - 6);
  EXPECT_EQ(bitmap.Pixel(inside.x, inside.y), Colour(wcWorkChA));
}

TEST_F(PlotTest, VerdictPictures) {
  const gui::TBitmap yes = IsoVerdictPicture(prIsoYes);
  const gui::TBitmap no = IsoVerdictPicture(prIsoNo);
  EXPECT_EQ(yes.Width(), IsoPictureSize);
  EXPECT_EQ(yes.Pixel(0, 0), gui::clWhite);
  EXPECT_GT(Count(yes, gui::Rect(0, 0, 24, 24), 0x00A000), 20);
  EXPECT_EQ(Count(yes, gui::Rect(0, 0, 24, 24), 0x0000FF), 0);
  EXPECT_GT(Count(no, gui::Rect(0, 0, 24, 24), 0x0000FF), 20);

  DefineRotor();
  Core->BalancingStep = 3;
  Core->Results[3].Result = {0.001, 1.0, 0, 0};
  const gui::TBitmap passed = Render();
  EXPECT_GT(Count(passed, gui::Rect(291, 241, 315, 265), 0x00A000), 20);
  Core->Results[3].Result.MassA = 100;
  EXPECT_GT(Count(Render(), gui::Rect(291, 241, 315, 265), 0x0000FF), 20);
}

TEST_F(PlotTest, NothingToDrawWithoutArea) {
  EXPECT_TRUE(Render(0, 300).Empty());
  EXPECT_TRUE(Render(400, -1).Empty());
  // Too small for a disc: only the background.
  const gui::TBitmap tiny = Render(50, 50);
  EXPECT_EQ(Count(tiny, gui::Rect(0, 0, 50, 30), Colour(wcWorkBack)), 50 * 30);
}

// Pictures of a worked example job: one plane with three weights (shift 90°,
// correction 0.5 at 30°), and two planes at a trim run with divided masses.
TEST_F(PlotTest, PicturesOfAWorkedExampleJob) {
  Core->GWB.Enabled = 1;
  Core->GWB.Mode = GwbThreeWeights;
  Core->GWB.Shift = 90;
  DefineRotor();
  Measure(1, 14.0, DegToRad(60));
  Core->AvgSize = 4;
  Core->Readings = 2;
  for (int step : {0, 1}) ComputeGwbRecords(View.RunVectors, step, Core->GWB.Mode, Core->GWB.Shift, Core->Results);
  Core->BalancingStep = 1;
  const gui::TBitmap trial = Render();
  EXPECT_TRUE(trial.SaveToFile(PicturePath("diagram_weights_run2.png")));
  // The trial position of weight A at 90° and B at 120°: letters at the rim.
  EXPECT_GT(Count(trial, gui::Rect(190, 25, 210, 45), Colour(wcWorkGWBA)), 20);

  Core->BalancingStep = 3;
  Core->Results[3].Result = {0.5, DegToRad(30), 0, 0};
  Core->Results[3].Valid = 1;
  ComputeGwbRecords(View.RunVectors, 3, Core->GWB.Mode, Core->GWB.Shift, Core->Results);
  const gui::TBitmap correction = Render();
  EXPECT_TRUE(correction.SaveToFile(PicturePath("diagram_weights_correction.png")));
  // Weight A at 345°.
  const TDisc disc = DiscOf(gui::Rect(50, 0, 350, 300));
  const gui::TPoint a = disc.PixelAt(DegToRad(345), disc.R);
  EXPECT_EQ(correction.Pixel(a.x + 6, a.y), Colour(wcWorkGWBA));

  Core->GWB.Enabled = 0;
  Core->Type = 1;
  Core->DivideMass = 1;
  Core->RotorDivCount = 8;
  Core->RotationDir = 1;
  Measure(0, 10.0, 0.3, 8.0, 2.0);
  Measure(4, 6.0, 1.3, 3.0, 4.0);
  Measure(5, 3.0, 1.9, 1.0, 5.0);
  Core->Results[5].Result = {0.2, DegToRad(100), 0.1, DegToRad(250)};
  Core->BalancingStep = 5;
  View.PanelSplit = *SplitCorrection(Core->Results[5].Result, 1, Core->MassAdd, Core->RotationDir, 8);
  const gui::TBitmap trim = Render(600, 250);
  EXPECT_TRUE(trim.SaveToFile(PicturePath("diagram_two_planes_trim.png")));
  EXPECT_GT(Count(trim, gui::Rect(325, 0, 575, 250), Colour(wcWorkVDiv1)), 10);
  EXPECT_GT(Count(trim, gui::Rect(25, 0, 275, 250), Colour(wcWorkVDiv2)), 10);
}

// --- the workspace window -------------------------------------------------------

class PlaneWindow : public PlotTest {
 protected:
  void SetUp() override {
    PlotTest::SetUp();
    TheCore = Core.get();
    Window = new TfBalancing(nullptr);
    Window->Show();
  }
  void TearDown() override {
    delete Window;
    TheCore = nullptr;
    PlotTest::TearDown();
  }
  std::u16string Caption(const char* name) const {
    auto* label = dynamic_cast<TLabelEx*>(Window->FindComponent(name));
    return label ? label->CaptionW() : u"<missing>";
  }
  bool Shows(const char* name) const {
    auto* control = dynamic_cast<gui::TControl*>(Window->FindComponent(name));
    return control && control->Visible();
  }
  // The window saved as a picture of that name and read back.
  gui::TBitmap Screenshot(const char* name) const {
    const std::string path = PicturePath(name);
    EXPECT_TRUE(Window->SaveScreenshot(path));
    gui::TBitmap shot;
    EXPECT_TRUE(shot.LoadFromFile(path));
    return shot;
  }
  // Where the diagrams' paint box lies in such a picture.
  gui::TRect PaintBoxArea() const {
    const gui::TPoint box = Window->pbPlanes->ClientToScreen({0, 0});
    const gui::TPoint form = Window->ClientToScreen({0, 0});
    const int left = box.x - form.x, top = box.y - form.y;
    return gui::Rect(left, top, left + Window->pbPlanes->Width(), top + Window->pbPlanes->Height());
  }

  TfBalancing* Window = nullptr;
};

TEST_F(PlaneWindow, ZoomCommandsAndTheirHistory) {
  EXPECT_FALSE(Window->bZoomPrev->Enabled());
  Window->bZoomIn->Click();
  EXPECT_FLOAT_EQ(Window->PlaneZoom, 1.0f);
  EXPECT_TRUE(Window->bZoomPrev->Enabled());
  gui::SimKey(Window, 'O', 0, gui::ssCtrl);
  EXPECT_FLOAT_EQ(Window->PlaneZoom, 0.5f);
  Window->bZoomOut->Click();
  EXPECT_FLOAT_EQ(Window->PlaneZoom, 0.25f);
  gui::SimKey(Window, 'A', 0, gui::ssCtrl);
  EXPECT_FLOAT_EQ(Window->PlaneZoom, 1.0f);
  EXPECT_EQ(Window->PlaneZoomHistory.Count, 4);
  for (float previous : {0.25f, 0.5f, 1.0f, 0.5f}) {
    Window->bZoomPrev->Click();
    EXPECT_FLOAT_EQ(Window->PlaneZoom, previous);
  }
  EXPECT_FALSE(Window->bZoomPrev->Enabled());
  // Ctrl+P with an empty history changes nothing.
  gui::SimKey(Window, 'P', 0, gui::ssCtrl);
  EXPECT_FLOAT_EQ(Window->PlaneZoom, 0.5f);
  EXPECT_EQ(Core->BalancingStep, 0);
}

TEST_F(PlaneWindow, DiagramsOnScreen) {
  Window->RefreshResults();
  const gui::TBitmap shot = Screenshot("workspace_diagrams.png");
  ASSERT_FALSE(shot.Empty());
  // The paint box's corner is the background; its disc is filled beyond
  // the amplitude of the initial run.
  const gui::TRect area = PaintBoxArea();
  const gui::TPoint origin = {area.Left, area.Top};
  const int w = area.Width(), h = area.Height();
  const TDisc disc = DiscOf(LayoutDiagrams(w, h, 0).Squares[0]);
  const gui::TPoint onDisc = disc.PixelAt(DegToRad(225), disc.R * 0.8);
  EXPECT_EQ(shot.Pixel(origin.x + 10, origin.y + 10), Colour(wcWorkBack));
  EXPECT_EQ(shot.Pixel(origin.x + onDisc.x, origin.y + onDisc.y), Colour(wcWorkFill));
}

// With fewer than three rotor divisions (as a session file may hold) a
// correction is not split: the panel says so, and the diagram marks no
// rotor position for the split.
TEST_F(PlaneWindow, NoSplitPositionsWhereTheSplitIsRefused) {
  Core->DivideMass = 1;
  Core->RotorDivCount = 2;
  Core->WorkColors[wcWorkVDiv1] = 0x12AB34;
  Core->WorkColors[wcWorkVDiv2] = 0x9A3B21;
  Measure(1, 12.0, 1.0);
  Core->BalancingStep = Core->HighestStep = 3;
  Core->Results[3].Result = {0.5, DegToRad(30), 0, 0};
  Core->Results[3].Valid = 1;
  const auto splitPixels = [this] {
    Window->RefreshResults();
    const gui::TBitmap shot = Screenshot("workspace_split.png");
    return Count(shot, PaintBoxArea(), 0x12AB34) + Count(shot, PaintBoxArea(), 0x9A3B21);
  };
  EXPECT_EQ(splitPixels(), 0);
  EXPECT_EQ(Caption("leMass1R2"), u"-");
  EXPECT_EQ(Caption("leAngle1R3"), u"-");
  // Eight divisions split the same correction, and both positions show.
  Core->RotorDivCount = 8;
  EXPECT_GT(splitPixels(), 20);
  EXPECT_NE(Caption("leMass1R2"), u"-");
}

TEST_F(PlaneWindow, CorrectionPanelsOfOneAndTwoPlanes) {
  Core->Type = 1;
  Core->MassAdd = 1;
  Measure(1, 12.0, 1.0, 9.0, 2.0);
  Measure(2, 11.0, 0.5, 10.0, 1.0);
  Core->BalancingStep = 3;
  Core->Results[3].Result = {0.35, DegToRad(30), 1.2, DegToRad(200)};
  Window->RefreshResults();
  EXPECT_TRUE(Window->Panel2R.Panel->Visible());
  EXPECT_EQ(Caption("leMass2R1A"), u"+0,35");
  EXPECT_EQ(Caption("leAngle2R1A"), u"210°");
  EXPECT_EQ(Caption("leMass2RB"), LangText({u"Forms", u"Mass"}).Text);
  EXPECT_FALSE(Shows("leUnbalance2RA"));

  Core->Type = 0;
  Core->GWB.Enabled = 1;
  Core->GWB.Mode = GwbThreeWeights;
  Core->GWB.Shift = 90;
  Core->BalancingStep = 1;
  Window->RefreshResults();  // records the trial run
  Core->BalancingStep = 3;
  Core->Results[3].Result = {0.5, DegToRad(30), 0, 0};
  Window->RefreshResults();
  EXPECT_TRUE(Window->Panel1R.Panel->Visible());
  EXPECT_EQ(Caption("leAngleM1R1"), u"345°");
  EXPECT_EQ(Caption("leAngleM2R1"), u"83°");
  EXPECT_EQ(Caption("leAngleM3R1"), u"247°");
  EXPECT_FALSE(Shows("leMass1R"));
  EXPECT_TRUE(Shows("leGWBMassCR"));
  EXPECT_EQ(Caption("leMass1R1"), u"");
}

}  // namespace

int main(int argc, char** argv) {
  // ctest lists the tests without the environment it runs them with.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  testing::InitGoogleTest(&argc, argv);
  gui::TApplication application(argc, argv);
  TLanguageService language;
  language.Open(u"" ZELTO_LANGUAGE_FILE);
  SetLanguageService(&language);
  const int result = RUN_ALL_TESTS();
  SetLanguageService(nullptr);
  return result;
}
