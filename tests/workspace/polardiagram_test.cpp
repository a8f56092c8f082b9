// The plane diagrams' geometry: layout, scales, zoom with its history, and
// the scenes of a job at its runs, checked at the pixel positions they give.

#include "polardiagram.h"

#include <gtest/gtest.h>

#include <functional>
#include <numbers>

#include "corefixture.h"
#include "formatting.h"
#include "iso1940.h"

namespace {

constexpr double Pi = std::numbers::pi;
constexpr int LabelHeight = 16;

using TOpTest = std::function<bool(const TDrawOp&)>;

std::vector<const TDrawOp*> Find(const TScene& scene, TDrawKind kind, const TOpTest& test = {}) {
  std::vector<const TDrawOp*> found;
  for (const TDrawOp& op : scene)
    if (op.Kind == kind && (!test || test(op))) found.push_back(&op);
  return found;
}

const TDrawOp* FindText(const TScene& scene, std::u16string_view text) {
  const auto found = Find(scene, dkText, [&](const TDrawOp& op) { return op.Text == text; });
  return found.empty() ? nullptr : found.front();
}

// The results point into the scene, which must outlive them.
void Find(TScene&&, TDrawKind, const TOpTest& = {}) = delete;
void FindText(TScene&&, std::u16string_view) = delete;

// A line op ending at `to`.
TOpTest LineTo(gui::TPoint to, int width) {
  return [=](const TDrawOp& op) { return op.Points[1] == to && op.Pen.Width == width; };
}

TEST(DiagramLayout, SquaresOfOneAndTwoPlanes) {
  const TDiagramLayout one = LayoutDiagrams(400, 300, 0);
  EXPECT_EQ(one.Planes, 1);
  EXPECT_EQ(one.Squares[0], gui::Rect(50, 0, 350, 300));
  const TDisc disc = DiscOf(one.Squares[0]);
  EXPECT_EQ(disc.R, 115);
  EXPECT_EQ(disc.Centre(), (gui::TPoint{200, 150}));

  const TDiagramLayout two = LayoutDiagrams(600, 250, 1);
  EXPECT_EQ(two.Planes, 2);
  EXPECT_EQ(two.Squares[0], gui::Rect(25, 0, 275, 250));
  EXPECT_EQ(two.Squares[1], gui::Rect(325, 0, 575, 250));

  // An odd side loses a pixel.
  EXPECT_EQ(LayoutDiagrams(251, 251, 0).Squares[0].Width(), 250);
}

TEST(DiagramScales, AnglesAndAmplitudes) {
  EXPECT_DOUBLE_EQ(DisplayedAngle(Pi / 2, 0), Pi / 2);
  EXPECT_DOUBLE_EQ(DisplayedAngle(Pi / 2, 1), 3 * Pi / 2);
  EXPECT_DOUBLE_EQ(AmplitudeScale(20, 10, 0.5f), 1.0);
  EXPECT_DOUBLE_EQ(AmplitudeScale(20, 0, 0.5f), 0.0);
  const TDisc disc = DiscOf(gui::Rect(50, 0, 350, 300));
  EXPECT_EQ(disc.PixelAt(0, disc.R), (gui::TPoint{315, 150}));
  EXPECT_EQ(disc.PixelAt(Pi / 2, disc.R), (gui::TPoint{200, 35}));
}

TEST(DiagramScales, AngleArcRunsInStepsOfThreeDegrees) {
  const TDisc disc = DiscOf(gui::Rect(50, 0, 350, 300));
  const std::vector<gui::TPoint> arc = AngleArc(disc, DegToRad(10), 100, 0);
  ASSERT_EQ(arc.size(), 4u);  // 0°, 3°, 6°, 9°
  EXPECT_EQ(arc.front(), (gui::TPoint{300, 150}));
  EXPECT_EQ(arc.back(), disc.PixelAt(DegToRad(9), 100));
  // Mirrored for a rotor turning left: below the 0° axis.
  const std::vector<gui::TPoint> mirrored = AngleArc(disc, DegToRad(10), 100, 1);
  EXPECT_EQ(mirrored.back().y - 150, 150 - arc.back().y);
  EXPECT_EQ(AngleArc(disc, DegToRad(360), 100, 0).size(), 121u);
  EXPECT_TRUE(AngleArc(disc, std::nan(""), 100, 0).empty());
}

TEST(DiagramZoom, StepsAndLimits) {
  EXPECT_FLOAT_EQ(ZoomedIn(0.5f), 1.0f);
  EXPECT_FLOAT_EQ(ZoomedIn(1.0f), 1.5f);
  EXPECT_FLOAT_EQ(ZoomedIn(0.25f), 0.5f);
  EXPECT_FLOAT_EQ(ZoomedIn(10.0f), 10.0f);
  EXPECT_FLOAT_EQ(ZoomedIn(9.75f), 10.0f);
  EXPECT_FLOAT_EQ(ZoomedOut(1.0f), 0.5f);
  EXPECT_FLOAT_EQ(ZoomedOut(0.5f), 0.25f);
  EXPECT_FLOAT_EQ(ZoomedOut(0.25f), 0.25f);
}

TEST(DiagramZoom, CommandsKeepAHistoryOfTen) {
  float zoom = ZoomStart;
  TPlaneZoomHistory history;
  // Previous with an empty history changes nothing.
  EXPECT_FALSE(ApplyZoomCommand(zcPrevious, zoom, history));
  EXPECT_FLOAT_EQ(zoom, 0.5f);
  EXPECT_TRUE(ApplyZoomCommand(zcAll, zoom, history));
  EXPECT_FLOAT_EQ(zoom, 1.0f);
  for (int i = 0; i < 20; ++i) ApplyZoomCommand(zcIn, zoom, history);
  EXPECT_FLOAT_EQ(zoom, 10.0f);
  // A push at the limit still pushes; eleven and more keep only ten.
  EXPECT_EQ(history.Count, ZoomHistorySize);
  EXPECT_FLOAT_EQ(history.Entries.back(), 10.0f);
  EXPECT_FLOAT_EQ(history.Entries.front(), 6.0f);  // pushed by the eleventh zoom-in
  for (int i = 0; i < ZoomHistorySize - 1; ++i) EXPECT_TRUE(ApplyZoomCommand(zcPrevious, zoom, history));
  EXPECT_FALSE(ApplyZoomCommand(zcPrevious, zoom, history));
  EXPECT_FLOAT_EQ(zoom, 6.0f);

  TPlaneZoomHistory small;
  small.Push(0.5f);
  small.Push(1.0f);
  EXPECT_EQ(small.Pop(), 1.0f);
  EXPECT_EQ(small.Pop(), 0.5f);
  EXPECT_EQ(small.Pop(), std::nullopt);
}

TEST(DiagramZoom, ElevenPushesDropTheOldest) {
  TPlaneZoomHistory history;
  for (int i = 1; i <= 11; ++i) history.Push(static_cast<float>(i));
  EXPECT_EQ(history.Count, 10);
  EXPECT_FLOAT_EQ(history.Entries.front(), 2.0f);
  EXPECT_FLOAT_EQ(history.Entries.back(), 11.0f);
}

class DiagramScene : public CoreTest {
 protected:
  void SetUp() override {
    CoreTest::SetUp();
    Core->AmplDisplayMode = admVoltage;
    Measure(0, 10.0, 0.0);
  }
  TScene Scene(int width = 400, int height = 300) { return ::DiagramScene(*Core, View, width, height, LabelHeight); }
  uint32_t Colour(TWorkColor c) const { return Core->WorkColors[c]; }

  TDiagramView View;
};

TEST_F(DiagramScene, DiscAndScaleOfOnePlane) {
  const TScene scene = Scene();
  ASSERT_FALSE(scene.empty());
  EXPECT_EQ(scene.front().Kind, dkFill);
  EXPECT_EQ(scene.front().Brush, Colour(wcWorkBack));
  const auto discs = Find(scene, dkEllipse, [&](const TDrawOp& op) { return op.Brush == Colour(wcWorkFill); });
  ASSERT_FALSE(discs.empty());
  EXPECT_EQ(discs.front()->Box, gui::Rect(85, 35, 316, 266));
  EXPECT_EQ(Find(scene, dkClip).front()->Box, gui::Rect(86, 36, 316, 266));
  // 4 axes and 24 ticks.
  EXPECT_EQ(Find(scene, dkLine,
                 [&](const TDrawOp& op) {
                   return op.Pen == TPenSpec{Colour(wcWorkGrid), 0, skDot};
                 })
                .size(),
            4u);
  EXPECT_EQ(Find(scene, dkLine,
                 [&](const TDrawOp& op) {
                   return op.Pen == TPenSpec{Colour(wcWorkText1), 0, skSolid};
                 })
                .size(),
            24u);
  // The side labels are centred on the disc by the label height.
  EXPECT_EQ(FindText(scene, u"0°")->Points[0], (gui::TPoint{325, 142}));
  EXPECT_EQ(FindText(scene, u"180°")->Points[0], (gui::TPoint{75, 142}));
  EXPECT_EQ(FindText(scene, u"90°")->Points[0], (gui::TPoint{200, 27}));
  EXPECT_EQ(FindText(scene, u"270°")->Points[0], (gui::TPoint{200, 274}));
  // No plane letter for one plane.
  EXPECT_EQ(FindText(scene, u"A"), nullptr);
}

TEST_F(DiagramScene, TwoPlanesCarryTheirLetters) {
  Core->Type = 1;
  const TScene scene = Scene(600, 250);
  const TDrawOp* a = FindText(scene, u"A");
  const TDrawOp* b = FindText(scene, u"B");
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->Points[0], (gui::TPoint{60, 35}));
  EXPECT_EQ(b->Points[0], (gui::TPoint{360, 35}));
  EXPECT_EQ(a->TextColor, Colour(wcWorkChA));
  EXPECT_EQ(b->TextColor, Colour(wcWorkChB));
}

TEST_F(DiagramScene, ZoomTextAndReferenceRing) {
  const TScene scene = Scene();
  const TDrawOp* zoom = FindText(scene, u"x0,50");
  ASSERT_NE(zoom, nullptr);
  // The zoom factor is a number on screen like any other: the project's
  // separator.
  DecimalSeparator = u'.';
  const TScene point = Scene();
  EXPECT_NE(FindText(point, u"x0.50"), nullptr);
  DecimalSeparator = u',';
  EXPECT_EQ(zoom->Points[0], (gui::TPoint{5, 295}));
  EXPECT_EQ(zoom->VAlign, vaBaseline);
  const auto rings = Find(scene, dkArc, [&](const TDrawOp& op) { return op.Pen.Color == Colour(wcWorkGrid); });
  ASSERT_EQ(rings.size(), 1u);
  EXPECT_EQ(rings.front()->Box, gui::Rect(143, 93, 258, 208));  // radius 57 about (200, 150)

  View.PlaneZoom = 1.0f;
  const TScene full = Scene();
  EXPECT_TRUE(Find(full, dkText, [](const TDrawOp& op) { return op.Text.starts_with(u"x"); }).empty());
  EXPECT_TRUE(Find(full, dkArc, [&](const TDrawOp& op) { return op.Pen.Color == Colour(wcWorkGrid); }).empty());
}

TEST_F(DiagramScene, AveragingProgress) {
  Core->AvgSize = 4;
  Core->Readings = 2;
  const TScene scene = Scene();
  const TDrawOp* running = FindText(scene, u"AVG: 3/4");
  ASSERT_NE(running, nullptr);
  EXPECT_EQ(running->TextColor, 0x0000FFu);
  EXPECT_EQ(running->Points[0], (gui::TPoint{395, 295}));
  EXPECT_EQ(running->HAlign, haRight);
  Core->Readings = 4;
  const TScene done = Scene();
  const TDrawOp* complete = FindText(done, u"AVG: 4/4");
  ASSERT_NE(complete, nullptr);
  EXPECT_EQ(complete->TextColor, Colour(wcWorkText1));
  Core->Type = 1;
  const TScene two = Scene(600, 250);
  ASSERT_NE(FindText(two, u"AVG: 4/4"), nullptr);
  EXPECT_EQ(FindText(two, u"AVG: 4/4")->Points[0], (gui::TPoint{300, 245}));
  Core->AvgSize = 1;
  const TScene single = Scene();
  EXPECT_TRUE(Find(single, dkText, [](const TDrawOp& op) { return op.Text.starts_with(u"AVG"); }).empty());
}

// Twice the initial amplitude ends on the rim at zoom 0.5 and reaches
// beyond it at 1.0.
TEST_F(DiagramScene, CurrentRunOnAndBeyondTheRim) {
  Core->BalancingStep = 1;
  Measure(1, 20.0, Pi / 2);
  const TScene atHalf = Scene();
  EXPECT_EQ(Find(atHalf, dkLine, LineTo({200, 35}, 2)).size(), 1u);
  EXPECT_EQ(Find(atHalf, dkEllipse, [](const TDrawOp& op) { return op.Box == gui::Rect(196, 31, 204, 39); }).size(),
            1u);
  EXPECT_TRUE(Find(atHalf, dkPolygon, [&](const TDrawOp& op) { return op.Brush == Colour(wcWorkChA); }).empty());
  // The amplitude disc of the current run.
  EXPECT_EQ(Find(atHalf, dkEllipse, [&](const TDrawOp& op) { return op.Brush == Colour(wcWorkChACr); }).front()->Box,
            gui::Rect(85, 35, 315, 265));
  // The initial run's marker at half the radius, numbered 1.
  EXPECT_EQ(FindText(atHalf, u"1")->Points[0], (gui::TPoint{260, 152}));

  View.PlaneZoom = 1.0f;
  const TScene atFull = Scene();
  EXPECT_TRUE(Find(atFull, dkLine, LineTo({200, 35}, 2)).empty());
  const auto triangles = Find(atFull, dkPolygon, [&](const TDrawOp& op) { return op.Brush == Colour(wcWorkChA); });
  ASSERT_EQ(triangles.size(), 1u);
  EXPECT_EQ(triangles.front()->Points[0], (gui::TPoint{200, 35}));
  // Pointing outward: both other corners lie inside, below the rim point.
  EXPECT_GT(triangles.front()->Points[1].y, 35);
  EXPECT_GT(triangles.front()->Points[2].y, 35);
  EXPECT_TRUE(Find(atFull, dkEllipse, [&](const TDrawOp& op) { return op.Brush == Colour(wcWorkChACr); }).empty());
}

TEST_F(DiagramScene, RotationToTheLeftMirrorsTheScale) {
  Core->RotationDir = 1;
  Core->BalancingStep = 1;
  Measure(1, 20.0, Pi / 2);
  const TScene scene = Scene();
  EXPECT_EQ(FindText(scene, u"270°")->Points[0], (gui::TPoint{200, 27}));
  EXPECT_EQ(FindText(scene, u"90°")->Points[0], (gui::TPoint{200, 274}));
  // A phase of 90° points straight down.
  EXPECT_EQ(Find(scene, dkLine, LineTo({200, 265}, 2)).size(), 1u);
  // The arrow sits below 45° and points counter-clockwise.
  const auto arrows = Find(scene, dkPolygon, [&](const TDrawOp& op) { return op.Brush == Colour(wcWorkText1); });
  ASSERT_EQ(arrows.size(), 1u);
  const TDrawOp* arc = Find(scene, dkArc, [&](const TDrawOp& op) { return op.Pen.Color == Colour(wcWorkText1); })[0];
  EXPECT_GT(arc->Points[0].y, arc->Points[1].y);
  EXPECT_GT(arrows.front()->Points[1].y, arrows.front()->Points[0].y);
}

// A job whose runs are not measured yet (a fresh session at a later step)
// shows the bare disc: no run marker at the centre, no vector, and no
// correction line towards 0 degrees.
TEST_F(DiagramScene, RunsWithoutAMeasurementDrawNothing) {
  const auto runShapes = [](const TScene& scene) {
    return Find(scene, dkEllipse).size() + Find(scene, dkText, [](const TDrawOp& op) { return op.Text == u"1"; }).size() +
           Find(scene, dkLine, [](const TDrawOp& op) { return op.Pen.Width == 2 || op.Pen.Style == skDash; }).size();
  };
  Core->BalancingStep = 1;
  const size_t measured = runShapes(Scene());
  EXPECT_GT(measured, 0u);  // run 1 is marked while it holds a measurement
  Core->Results[0].Valid = 0;
  EXPECT_EQ(runShapes(Scene()), 1u);  // the disc itself only

  Core->BalancingStep = RunCorrection;
  Core->DivideMass = 1;
  Core->RotorDivCount = 6;
  Core->Results[RunCorrection] = MeasurementResult{};
  EXPECT_EQ(runShapes(Scene()), 1u);
}

TEST_F(DiagramScene, AsynchronousModeShowsNoRuns) {
  Core->BalancingStep = 1;
  Measure(1, 10.0, 1.0);
  Core->AsyncMode = 1;
  const TScene scene = Scene();
  EXPECT_EQ(FindText(scene, u"1"), nullptr);
  EXPECT_TRUE(Find(scene, dkLine, [](const TDrawOp& op) { return op.Pen.Width == 2; }).empty());
  EXPECT_TRUE(Find(scene, dkPolygon).empty());  // no rotation arrow
}

class CorrectionScene : public DiagramScene {
 protected:
  void SetUp() override {
    DiagramScene::SetUp();
    Measure(1, 12.0, 0.5);
    Core->BalancingStep = 3;
    Core->Results[3].Result = {0.5, DegToRad(40), 0, 0};
    Core->Results[3].Valid = 1;
  }
  // The correction mark: a circle of radius 5 with a 2-pixel pen.
  static std::vector<const TDrawOp*> Marks(const TScene& scene) {
    return Find(scene, dkEllipse, [](const TDrawOp& op) { return op.Pen.Width == 2; });
  }
  static void Marks(TScene&&) = delete;
};

TEST_F(CorrectionScene, MassAddedLiesOppositeAndFilled) {
  Core->MassAdd = 1;
  const TDisc disc = DiscOf(gui::Rect(50, 0, 350, 300));
  const gui::TPoint c = disc.PixelAt(DegToRad(220), disc.R);
  const TScene added = Scene();
  const auto marks = Marks(added);
  ASSERT_EQ(marks.size(), 1u);
  EXPECT_EQ(marks.front()->Box, gui::Rect(c.x - 5, c.y - 5, c.x + 5, c.y + 5));
  EXPECT_EQ(marks.front()->Brush, Colour(wcWorkChA));

  Core->MassAdd = 0;
  const gui::TPoint stored = disc.PixelAt(DegToRad(40), disc.R);
  const TScene removed = Scene();
  const auto hollow = Marks(removed);
  ASSERT_EQ(hollow.size(), 1u);
  EXPECT_EQ(hollow.front()->Box.Left, stored.x - 5);
  EXPECT_EQ(hollow.front()->Brush, Colour(wcWorkBack));
}

TEST_F(CorrectionScene, IsoVerdictAtThePermissibleValue) {
  Core->Rotor.Type = 4;
  Core->Rotor.m = 10;
  Core->Rotor.f = 25;
  Core->Rotor.dA = 2;  // one gram on a 1 mm radius
  Core->CtrlMass.Value = 1;
  Core->Results[3].Result.MassA = CalcPermissibleUnbalance(Core->Rotor, 0);
  const TScene scene = Scene();
  const auto pictures = Find(scene, dkPicture);
  ASSERT_EQ(pictures.size(), 1u);
  EXPECT_EQ(pictures.front()->Picture, prIsoYes);
  EXPECT_EQ(pictures.front()->Points[0], (gui::TPoint{291, 241}));
  EXPECT_EQ(FindText(scene, u"ISO 1940")->Points[0], (gui::TPoint{303, 265}));

  Core->Results[3].Result.MassA *= 1.01;
  const TScene failed = Scene();
  ASSERT_EQ(Find(failed, dkPicture).size(), 1u);
  EXPECT_EQ(Find(failed, dkPicture).front()->Picture, prIsoNo);
  Core->Rotor.Type = 0;
  const TScene none = Scene();
  EXPECT_TRUE(Find(none, dkPicture).empty());
}

// A correction that could not be computed is stored as zeros: it gets no
// mark and no verdict, which its zero residual would pass.
TEST_F(CorrectionScene, UncomputedCorrectionHasNoMarkAndNoVerdict) {
  Core->Rotor.Type = 4;
  Core->Rotor.m = 10;
  Core->Rotor.f = 25;
  Core->Results[3].Result = {};
  Core->Results[3].NotComputable = 1;
  const TScene scene = Scene();
  EXPECT_TRUE(Marks(scene).empty());
  EXPECT_TRUE(Find(scene, dkPicture).empty());
}

// A split that was refused (too few rotor divisions) marks the correction
// but no rotor position.
TEST_F(CorrectionScene, RefusedSplitMarksNoPosition) {
  Core->DivideMass = 1;
  Core->RotorDivCount = 2;
  View.PanelSplit.reset();
  const TScene scene = Scene();
  for (TWorkColor position : {wcWorkVDiv1, wcWorkVDiv2})
    EXPECT_TRUE(Find(scene, dkEllipse, [&](const TDrawOp& op) { return op.Pen.Color == Colour(position); }).empty());
  EXPECT_TRUE(Find(scene, dkLine, [&](const TDrawOp& op) { return op.Pen.Color == Colour(wcWorkVDiv1); }).empty());
  EXPECT_EQ(Find(scene, dkLine, [&](const TDrawOp& op) { return op.Pen.Style == skDash; }).size(), 1u);
}

TEST_F(CorrectionScene, SplitOntoRotorPositions) {
  Core->DivideMass = 1;
  Core->RotorDivCount = 6;
  View.PanelSplit = SplitResult{};
  View.PanelSplit->AngleA1 = DegToRad(180);
  View.PanelSplit->AngleA2 = DegToRad(240);
  const TScene scene = Scene();
  EXPECT_EQ(Find(scene, dkLine,
                 [&](const TDrawOp& op) {
                   return op.Pen == TPenSpec{Colour(wcWorkGrid), 0, skSolid};
                 })
                .size(),
            6u);
  const auto first = Find(scene, dkEllipse, [&](const TDrawOp& op) { return op.Pen.Color == Colour(wcWorkVDiv1); });
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first.front()->Box, gui::Rect(80, 145, 90, 155));  // drawn as stored
  EXPECT_EQ(Find(scene, dkEllipse, [&](const TDrawOp& op) { return op.Pen.Color == Colour(wcWorkVDiv2); }).size(), 1u);
  EXPECT_EQ(Find(scene, dkLine, [&](const TDrawOp& op) { return op.Pen.Style == skDash; }).size(), 1u);
  // A damaged count draws no spokes rather than millions.
  Core->RotorDivCount = 100000000;
  const TScene damaged = Scene();
  EXPECT_TRUE(Find(damaged, dkLine, [&](const TDrawOp& op) {
                return op.Pen == TPenSpec{Colour(wcWorkGrid), 0, skSolid};
              }).empty());
}

class WeightScene : public DiagramScene {
 protected:
  void SetUp() override {
    DiagramScene::SetUp();
    Core->GWB.Enabled = 1;
    Core->GWB.Mode = GwbThreeWeights;
    Core->WorkColors[wcWorkGWBA] = 0x0000C0;
    Core->WorkColors[wcWorkGWBB] = 0x00C000;
    Core->WorkColors[wcWorkGWBC] = 0xC00000;
    for (int run = 0; run < RunCount; ++run) {
      View.RunVectors[run][GwbWeightA] = std::polar(1.0, DegToRad(10.0));
      View.RunVectors[run][GwbWeightB] = std::polar(1.0, DegToRad(130.0));
      View.RunVectors[run][GwbWeightC] = std::polar(1.0, DegToRad(250.0));
    }
  }
  size_t Letters(const TScene& scene, std::u16string_view letter, uint32_t colour) const {
    return Find(scene, dkText, [&](const TDrawOp& op) { return op.Text == letter && op.TextColor == colour; }).size();
  }
};

// At a trim run with three weights: the current run shows A, B and C; the
// previous run B and C but not A, which stays where it was.
TEST_F(WeightScene, ThreeWeightsAtATrimRun) {
  Core->BalancingStep = 5;
  Measure(5, 8.0, 1.0);
  const TScene scene = Scene();
  for (std::u16string_view letter : {u"A", u"B", u"C"})
    EXPECT_EQ(Letters(scene, letter, 0xFFFFFF), 1u) << static_cast<char>(letter[0]);
  EXPECT_EQ(Letters(scene, u"A", Colour(wcWorkGWBA)), 0u);
  EXPECT_EQ(Letters(scene, u"B", Colour(wcWorkGWBB)), 1u);
  EXPECT_EQ(Letters(scene, u"C", Colour(wcWorkGWBC)), 1u);
  // The vector of a trim run is thin with the method on.
  EXPECT_TRUE(Find(scene, dkLine, [](const TDrawOp& op) { return op.Pen.Width == 2; }).empty());

  Core->GWB.Mode = GwbTwoWeights;
  const TScene two = Scene();
  EXPECT_EQ(Letters(two, u"A", Colour(wcWorkGWBA)), 1u);
  EXPECT_EQ(Letters(two, u"C", 0xFFFFFF), 0u);
}

TEST_F(WeightScene, ZeroPositionIsDrawnAtZeroDegrees) {
  Core->BalancingStep = 1;
  View.RunVectors[1][GwbWeightA] = {};
  const TDisc disc = DiscOf(gui::Rect(50, 0, 350, 300));
  const gui::TPoint q = disc.PixelAt(0, disc.R);
  const TScene scene = Scene();
  const auto markers = Find(scene, dkEllipse, [&](const TDrawOp& op) { return op.Brush == Colour(wcWorkGWBA); });
  ASSERT_EQ(markers.size(), 1u);
  EXPECT_EQ(markers.front()->Box, gui::Rect(q.x - 9, q.y - 9, q.x + 9, q.y + 9));
}

// The method's correction is the run-3 angle turned by the trial
// unbalance's direction; without divided masses only the weights show.
TEST_F(WeightScene, CorrectionOfTheMethod) {
  Core->BalancingStep = 3;
  Core->DivideMass = 1;
  Core->RotorDivCount = 6;
  View.RunVectors[1][GwbResultant] = {-1.0, 1.0};  // 135°
  Core->Results[3].Result.AngleA = DegToRad(30);
  Core->Results[3].Valid = 1;  // computed, as the evaluation marks it
  const TDisc disc = DiscOf(gui::Rect(50, 0, 350, 300));
  const TScene divided = Scene();
  const auto dashed = Find(divided, dkLine, [](const TDrawOp& op) { return op.Pen.Style == skDash; });
  ASSERT_EQ(dashed.size(), 1u);
  EXPECT_EQ(dashed.front()->Points[1], disc.PixelAt(DegToRad(165), disc.R));
  Core->DivideMass = 0;
  const TScene whole = Scene();
  EXPECT_TRUE(Find(whole, dkEllipse, [](const TDrawOp& op) { return op.Pen.Width == 2; }).empty());
}

TEST_F(DiagramScene, TemperatureWhileMeasuring) {
  Core->VibSensorA.Temperature = 1;
  Core->TemperatureA = 41.6;
  const TScene idle = Scene();
  EXPECT_EQ(FindText(idle, u"42°C"), nullptr);
  Core->Measuring = 1;
  const TScene measuring = Scene();
  const TDrawOp* t = FindText(measuring, u"42°C");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->Points[0], (gui::TPoint{85, 265}));
  EXPECT_EQ(t->VAlign, vaBottom);
}

TEST_F(DiagramScene, SmallSquaresDrawOnlyTheBackground) {
  const TScene scene = Scene(60, 60);
  EXPECT_TRUE(Find(scene, dkEllipse).empty());
  EXPECT_EQ(scene.front().Kind, dkFill);
}

}  // namespace
