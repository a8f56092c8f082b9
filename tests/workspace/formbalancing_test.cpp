// The workspace window: its row tables, the result panel on screen, the
// Start checks, Next and Previous through the buttons, the hand-overs of a
// capture's end, and closing it while a capture runs.

#include "formbalancing.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <numbers>
#include <string>

#include "answerhook.h"
#include "application.h"
#include "capturethreads.h"
#include "folders.h"
#include "formmessage.h"
#include "labelex.h"
#include "languageservice.h"
#include "textconv.h"
#include "windowfixture.h"
#include "workspaceimages.h"
#include "xmlinifile.h"
#include "zelto.h"

namespace {

class Workspace : public WorkspaceWindowTest {
 protected:
  std::u16string Caption(const char* name) const {
    auto* label = dynamic_cast<TLabelEx*>(Window->FindComponent(name));
    return label ? label->CaptionW() : u"<missing>";
  }

  // What a box shows in a screenshot of the window (kept in the build
  // folder for a look).
  gui::TBitmap Picture(const gui::TControl& box, const char* name) const {
    const std::string path = std::string(ZELTO_PICTURE_DIR) + "/" + name + ".png";
    EXPECT_TRUE(Window->SaveScreenshot(path));
    gui::TBitmap shot;
    EXPECT_TRUE(shot.LoadFromFile(path));
    const gui::TPoint at = box.ClientOrigin();
    const gui::TRect from = gui::Bounds(at.x - Window->Left(), at.y - Window->Top(), box.Width(), box.Height());
    gui::TBitmap image(box.Width(), box.Height());
    image.Canvas().CopyRect(box.ClientRect(), shot.Canvas(), from);
    return image;
  }
  // The rows between the outlines that hold anything but the face colour.
  static std::pair<int, int> InkRows(const gui::TBitmap& image, gui::TColor face) {
    int first = image.Height(), last = -1;
    for (int y = 2; y < image.Height() - 2; ++y)
      for (int x = 2; x < image.Width() - 2; ++x)
        if (image.Pixel(x, y) != face) {
          first = std::min(first, y);
          last = std::max(last, y);
        }
    return {first, last};
  }

  void Measure(int run, double ampl, double phase, double freq = 25.0) {
    Core->Results[run].Meas = {ampl, phase, ampl, phase};
    Core->Results[run].Freq = freq;
    Core->Results[run].Valid = 1;
  }
};

}  // namespace

TEST_F(Workspace, RowTablesHoldTheirLabelsAndLeaveEmptySlots) {
  EXPECT_EQ(Window->RunTableRows[2].leFreq, Window->FindComponent("leFreq3"));
  EXPECT_EQ(Window->Panel2DRows[0].Slots[3], Window->FindComponent("leAmplitude2D1B"));
  for (int row : {1, 2}) {
    EXPECT_NE(Window->Panel1RRows[row].Slots[1], nullptr);
    for (int slot = 2; slot < 6; ++slot) EXPECT_EQ(Window->Panel1RRows[row].Slots[slot], nullptr);
    EXPECT_EQ(Window->Panel2RRows[row].Slots[2], nullptr);
    EXPECT_EQ(Window->Panel2RRows[row].Slots[5], nullptr);
  }
  EXPECT_EQ(Window->Panel1DRows.size(), 2u);
  EXPECT_EQ(Caption("lePhaseUnit2DB"), u"[deg]");
  EXPECT_EQ(Caption("leAngleUnit1T"), u"[deg]");
  EXPECT_FLOAT_EQ(Window->PlaneZoom, 0.5f);
  EXPECT_EQ(Window->FirstTrimRow, 1);
}

TEST_F(Workspace, PanelShowsTheRunsOfTheCurrentPlaneCount) {
  Core->Type = 1;
  Core->VibSensorA.Sensitivity = Core->VibSensorB.Sensitivity = 100;
  Measure(0, 200, 0.5);
  Window->RefreshResults();
  EXPECT_TRUE(Window->Panel2D.Panel->Visible());
  EXPECT_FALSE(Window->Panel1D.Panel->Visible());
  EXPECT_EQ(Caption("leOper1"), u"Run 1");
  EXPECT_EQ(Caption("leFreq1"), u"25,00");
  EXPECT_EQ(Caption("leAmplitude2D1A"), Core->FormatAmplitude(200, 25, Core->AmplDisplayMode, Core->VibValueType, 0));
  EXPECT_EQ(Caption("leAmplitude2D2A"), u"");
  // Without a driver every input range is 0: the amplitude is over range.
  EXPECT_EQ(Window->RunTableRows[0].pHighlight->Color(), CurrentRowColor);
  EXPECT_EQ(static_cast<TLabelEx*>(Window->FindComponent("leAmplitude2D1A"))->Font().Color(), ErrorTextColor);
  Core->Type = 0;
  Core->BalancingStep = 4;
  Window->RefreshResults();
  EXPECT_TRUE(Window->Panel1T.Panel->Visible());
  EXPECT_FALSE(Window->Panel2D.Panel->Visible());
  EXPECT_EQ(Caption("leOper1"), u"Trim run 1");
}

TEST_F(Workspace, RestoredStepSevenScrollsTheTrimTable) {
  Core->BalancingStep = Core->HighestStep = 7;
  Window->ShowAfterStart(7);
  EXPECT_EQ(Window->FirstTrimRow, 2);
  EXPECT_EQ(Caption("leOper1"), u"Trim run 2");
  EXPECT_EQ(Caption("leOper3"), u"Trim run 4");
}

// Start at a check run below the highest captures at the highest run; when
// Next cannot go on from there (the last run), the run table must still
// scroll to the run being captured.
TEST_F(Workspace, StartAtALowerCheckRunShowsTheCapturedRunInTheTable) {
  Core->VibSensorA.Sensitivity = Core->VibSensorB.Sensitivity = 100;
  Core->DeviceReady = 0;
  for (int run = 0; run < RunCount; ++run)
    if (run != RunCorrection) Measure(run, 10, 1);
  Core->HighestStep = LastRun;
  Core->BalancingStep = 5;
  Window->RefreshResults();
  ASSERT_EQ(Window->FirstTrimRow, 1);
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, [](const gui::TDialogRequest& r) {
    auto* box = dynamic_cast<TfMessage*>(r.Form);
    EXPECT_TRUE(box && box->Kind == mkWarning);
    if (box) box->bButton2->Click();  // Yes
    return std::optional<gui::TDialogAnswer>();
  });
  Window->bStartStop->Click();
  EXPECT_EQ(script.Pending(), 0u);
  ASSERT_TRUE(Core->Measuring);
  EXPECT_EQ(Core->BalancingStep, LastRun);
  Window->bStartStop->Click();
  ASSERT_TRUE(ServeUntilIdle());
  EXPECT_EQ(Window->FirstTrimRow, 14);
  EXPECT_EQ(Caption("leOper3"), u"Trim run 16");
  EXPECT_EQ(Window->RunTableRows[2].pHighlight->Color(), CurrentRowColor);
}

TEST_F(Workspace, StartWithoutBothSensorsRefuses) {
  Core->VibSensorA.Sensitivity = 100;
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, [](const gui::TDialogRequest& r) {
    auto* box = dynamic_cast<TfMessage*>(r.Form);
    EXPECT_TRUE(box && box->Kind == mkError);
    if (box) {
      EXPECT_EQ(box->MessageText, LangText({u"Forms", u"SensorUnselected"}).Text);
    }
    return std::optional<gui::TDialogAnswer>(gui::TDialogAnswer{gui::mrOk, {}});
  });
  Window->bStartStop->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_FALSE(Core->Measuring);
  EXPECT_EQ(BalThread, nullptr);
}

TEST_F(Workspace, NextAndPreviousOfOnePlaneSkipTheSecondTrialRun) {
  Measure(0, 10, 1);
  Measure(1, 5, 1);
  Core->BalancingStep = 1;
  Window->RefreshResults();
  Window->bNext->Click();
  EXPECT_EQ(Core->BalancingStep, 3);
  EXPECT_EQ(Core->HighestStep, 3);
  EXPECT_EQ(Caption("leOper1"), LangText({u"Forms", u"MeasResult"}).Text);
  EXPECT_TRUE(std::filesystem::exists(rtl::NativePath(Core->AutoSessionFile)));
  Window->bPrev->Click();
  EXPECT_EQ(Core->BalancingStep, 1);
  EXPECT_TRUE(Window->bPrev->Enabled());
  EXPECT_TRUE(Window->bNext->Enabled());
}

TEST_F(Workspace, CaptureEndingOnADriverErrorShowsItsText) {
  Core->Measuring = 1;
  Core->CaptureError = 1;
  SetText(Core->LastErrorText, u"Transfer failed");
  Window->SyncMeasurementDone();
  EXPECT_EQ(Caption("leError"), u"Transfer failed");
  EXPECT_EQ(Window->leError->Font().Color(), ErrorTextColor);
  EXPECT_FALSE(Core->Measuring);
  EXPECT_EQ(Window->bStartStop->CaptionW(), LangText({u"Forms", u"Start"}).Text);
  EXPECT_TRUE(Window->bCloseC->Enabled());
}

// Closing asks the capture to stop first; No keeps the window, and the
// capture ends all the same through its hand-over.
TEST_F(Workspace, CloseDuringACaptureStopsItAndNoKeepsTheWindow) {
  Core->VibSensorA.Sensitivity = Core->VibSensorB.Sensitivity = 100;
  Core->DeviceReady = 0;
  Window->bStartStop->Click();
  ASSERT_TRUE(Core->Measuring);
  EXPECT_EQ(Window->bStartStop->CaptionW(), LangText({u"Forms", u"Stop"}).Text);
  EXPECT_FALSE(Window->bCloseC->Enabled());
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, [](const gui::TDialogRequest& r) {
    auto* box = dynamic_cast<TfMessage*>(r.Form);
    EXPECT_TRUE(box && box->Kind == mkQuestion);
    if (box) box->bButton1->Click();  // No
    return std::optional<gui::TDialogAnswer>();
  });
  Window->bCloseCClick(Window->bCloseC);
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(Window->Visible());
  ASSERT_TRUE(ServeUntilIdle());
  EXPECT_EQ(Window->bStartStop->CaptionW(), LangText({u"Forms", u"Start"}).Text);
  EXPECT_TRUE(std::filesystem::exists(rtl::NativePath(Core->AutoSessionFile)));
}

// The set-up button shows a cog, as settings do in desktop programs: teeth
// round a ring with a hole, so a walk round the rim crosses glyph and face
// by turns. A plain ring (a record button) has no teeth to cross.
// The bottom row's value boxes share one look: the same flat outline, no
// inner edges, the text in the middle. At the correction step the run table
// shows no speed, and its unit button goes too.
TEST_F(Workspace, BottomRowBoxesLookAlikeAndAnEmptyUnitButtonHides) {
  gui::Application->ProcessMessages();
  const gui::TBitmap direction = Picture(*Window->bDirValue, "bottom_row");
  const gui::TBitmap revolutions = Picture(*Window->pePeriodsValue, "bottom_row");
  ASSERT_EQ(direction.Width(), revolutions.Width());
  ASSERT_EQ(direction.Height(), revolutions.Height());
  const int w = direction.Width(), h = direction.Height();
  for (const gui::TPoint p : {gui::TPoint{0, 0}, {w / 2, 0}, {0, h / 2}, {w - 1, h / 2}, {w / 2, h - 1}, {1, 1},
                              {w / 2, 1}, {w - 2, h / 2}, {w / 2, h - 2}})
    EXPECT_EQ(direction.Pixel(p.x, p.y), revolutions.Pixel(p.x, p.y)) << p.x << ", " << p.y;
  const gui::TColor face = direction.Pixel(4, h / 2);
  // "Right" and "0" start at the height of a capital.
  const auto [dirTop, dirBottom] = InkRows(direction, face);
  const auto [revTop, revBottom] = InkRows(revolutions, face);
  ASSERT_LE(revTop, revBottom);
  EXPECT_NEAR(revTop, dirTop, 1);

  EXPECT_TRUE(Window->bFreqUnit->Visible());
  Core->BalancingStep = RunCorrection;
  Window->RefreshResults();
  EXPECT_FALSE(Window->bFreqUnit->Visible());
  Core->BalancingStep = 0;
  Window->RefreshResults();
  EXPECT_TRUE(Window->bFreqUnit->Visible());
}

TEST_F(Workspace, SetupButtonShowsACog) {
  const gui::TBitmap& glyph = Window->bSetup->Bitmap();
  ASSERT_EQ(glyph.Width(), CommandGlyphSize);
  ASSERT_EQ(glyph.Height(), CommandGlyphSize);
  EXPECT_TRUE(glyph.SaveToFile(std::string(ZELTO_PICTURE_DIR) + "/setup_glyph.png"));
  // Points around the middle of the picture (the centre of pixel 7, 7).
  const auto inked = [&glyph](double radius, double degrees) {
    const double a = degrees * std::numbers::pi / 180;
    const double x = 7.5 + radius * std::cos(a), y = 7.5 - radius * std::sin(a);
    return glyph.Pixel(static_cast<int>(x), static_cast<int>(y)) == GlyphColor;
  };
  int teeth = 0;
  for (int degrees = 0; degrees < 360; ++degrees) teeth += inked(6.5, degrees) && !inked(6.5, degrees - 1);
  EXPECT_GE(teeth, 6);
  EXPECT_LE(teeth, 10);
  // The wheel is solid between the hole and the teeth, and the hole is open.
  for (int degrees = 0; degrees < 360; degrees += 15) EXPECT_TRUE(inked(4, degrees)) << degrees;
  EXPECT_FALSE(inked(0, 0));
  EXPECT_FALSE(inked(1.5, 45));
  // The disabled picture is the same cog in the disabled colour.
  const gui::TBitmap& disabled = Window->bSetup->DisBitmap();
  for (int y = 0; y < CommandGlyphSize; ++y)
    for (int x = 0; x < CommandGlyphSize; ++x)
      EXPECT_EQ(disabled.Pixel(x, y) == DisabledGlyphColor, glyph.Pixel(x, y) == GlyphColor) << x << "," << y;
}

// Every text the workspace looks up is in the shipped language file.
TEST(WorkspaceTexts, EveryKeyIsInTheEnglishFile) {
  XmlIniFile document;
  ASSERT_TRUE(document.Open(u"" ZELTO_LANGUAGE_FILE, u"Language", true));
  for (const TWorkspaceTextKey& key : WorkspaceTextKeys)
    EXPECT_NE(document.ReadString(u"Forms", key.Key, u"###"), u"###") << rtl::Utf16ToUtf8(key.Key);
  for (const TTextKey& key : TfBalancing::CaptionKeys)
    EXPECT_NE(document.ReadString(key.Section, key.Key, u"###"), u"###") << rtl::Utf16ToUtf8(key.Key);
}

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
