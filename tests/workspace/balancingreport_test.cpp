// The balancing report without a printer: its texts from the core object,
// and their places on the pages.

#include "balancingreport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "balancing.h"
#include "corefixture.h"
#include "formatting.h"
#include "iso1940.h"

namespace {

constexpr double Pi = std::numbers::pi;

class ReportContent : public CoreTest {
 protected:
  void SetUp() override {
    CoreTest::SetUp();
    Core->VibSensorA = {u"Probe A", 100, stAcceleration, 2, 10000};
    Core->VibSensorB = {u"Probe B", 50, stVelocity, 5, 2000};
    Core->SpeedDisplayMode = 1;
  }

  TReportContent Build() const {
    TReportSources sources;
    // Every text is its key, so a test reads which one was chosen.
    sources.Lookup = [](std::u16string_view key) { return std::u16string(key); };
    sources.Tunning = u"Trim";
    sources.Today = {2024, 3, 5};
    sources.SamplingFrequency = 5000;
    return BuildReportContent(*Core, sources);
  }

  void Correct(int run, double massA, double angleA, double massB = 0, double angleB = 0) {
    Core->Results[run].Result = {massA, angleA, massB, angleB};
  }

  // A one-plane job: runs 0 and 1, the correction and `trims` trim runs.
  void OnePlaneJob(int trims) {
    Measure(0, 200, 1.0, 25);
    Measure(1, 300, 2.0, 25);
    Correct(3, 1.5, Pi / 2);
    for (int i = 0; i < trims; ++i) {
      Measure(4 + i, 100.0 / (i + 1), 0.5, 25);
      Correct(4 + i, 0.5 / (i + 1), Pi / 4);
    }
    Core->HighestStep = 3 + trims;
  }

  static std::vector<std::u16string> Headings(const TReportContent& c) {
    std::vector<std::u16string> h;
    for (const TReportBlock& b : c.Blocks) h.push_back(b.Heading);
    return h;
  }

  static const TReportRow* FindRow(const std::vector<TReportRow>& rows, std::u16string_view label) {
    for (const TReportRow& r : rows)
      if (r.Label == label) return &r;
    return nullptr;
  }
};

}  // namespace

TEST_F(ReportContent, OnePlaneShowsItsRunsTheCorrectionAndEveryTrimRun) {
  OnePlaneJob(2);
  const TReportContent c = Build();
  EXPECT_EQ(Headings(c),
            (std::vector<std::u16string>{u"Measurement1", u"Measurement21", u"MeasResult", u"Trim 1", u"Trim 2"}));
  // Plane B's columns stay empty with one plane.
  for (size_t i = 3; i < 6; ++i) EXPECT_TRUE(c.Blocks[0].Cells[i].Label.empty());
  EXPECT_TRUE(c.PlaneB.empty());
  // The result is that of the last trim run (run 5): 50 of 200.
  ASSERT_EQ(c.ResultRows.size(), 1u);
  EXPECT_EQ(c.ResultRows[0].Label, u"UnbalanceReductionRatio");
  EXPECT_EQ(c.ResultRows[0].ValueA, u"75%");
  EXPECT_EQ(FindRow(c.HeaderRows, u"Type")->ValueA, u"OnePlane");
  EXPECT_EQ(c.HeaderRows.back().Advance, 3);
}

TEST_F(ReportContent, TwoPlanesStopTheTrimListAtTheFirstRunMissingEitherPlane) {
  Core->Type = 1;
  for (int run : {0, 1, 2, 4, 5}) Measure(run, 100, 1, 25, 80, 2);
  Measure(6, 40, 1, 25, 0, 0);  // plane B empty
  Measure(7, 30, 1, 25, 20, 1);
  const TReportContent c = Build();
  EXPECT_EQ(FirstEmptyTrimRun(*Core), 6);
  EXPECT_EQ(Headings(c), (std::vector<std::u16string>{u"Measurement1", u"Measurement22", u"Measurement3", u"MeasResult",
                                                      u"Trim 1", u"Trim 2"}));
  EXPECT_EQ(c.PlaneB, u"PlaneB");
  EXPECT_EQ(c.Blocks[0].Cells[3].Value, Core->FormatAmplitude(80, 25, Core->AmplDisplayMode, Core->VibValueType, 1));
  EXPECT_EQ(c.Blocks[0].Cells[4].Value, Core->FormatPhase(2, Core->AmplDisplayMode, 1));
  EXPECT_EQ(c.Blocks[0].Cells[5].Value, u"100%");
  // Each sensor with its own sensitivity and its own type's unit.
  const TReportRow* sensitivity = FindRow(c.ParameterRows, u"Sensitivity");
  ASSERT_NE(sensitivity, nullptr);
  EXPECT_EQ(sensitivity->ValueA, u"100,0 [mV/g]");
  EXPECT_EQ(sensitivity->ValueB, u"50,00 [mV/(mm/s)]");
  EXPECT_TRUE(sensitivity->Indented);
  EXPECT_EQ(FindRow(c.ParameterRows, u"ZeltoSensor")->ValueB, u"Probe B");
  EXPECT_EQ(FindRow(c.ParameterRows, u"Type")->ValueB, u"Velocity");
  EXPECT_EQ(FindRow(c.ParameterRows, u"Range")->ValueA, u"2 Hz - 10 kHz");
}

TEST_F(ReportContent, RunBlocksShowAmplitudePhasePercentAndSpeed) {
  OnePlaneJob(0);
  Core->AmplDisplayMode = admVelocity;
  const TReportContent c = Build();
  const TReportBlock& run0 = c.Blocks[0];
  EXPECT_TRUE(run0.RunBlock);
  EXPECT_EQ(run0.Cells[0].Unit, u"[mm/s]");
  EXPECT_EQ(run0.Cells[0].Value, Core->FormatAmplitude(200, 25, admVelocity, Core->VibValueType, 0));
  EXPECT_EQ(run0.Cells[1].Unit, u"[deg]");
  EXPECT_EQ(run0.Cells[2].Value, u"100%");
  EXPECT_EQ(c.Blocks[1].Cells[2].Value, u"150%");
  EXPECT_EQ(run0.Cells[6].Label, u"Speed");
  EXPECT_EQ(run0.Cells[6].Unit, u"[Hz]");
  EXPECT_EQ(run0.Cells[6].Value, u"25,00");
  Core->SpeedDisplayMode = 0;
  const TReportContent rpm = Build();
  EXPECT_EQ(rpm.Blocks[0].Cells[6].Unit, u"[rpm]");
  EXPECT_EQ(rpm.Blocks[0].Cells[6].Value, u"1500");
}

TEST_F(ReportContent, RotorUndefinedPrintsControlMassUnitsAndPercentages) {
  OnePlaneJob(1);
  Core->CtrlMass = {2.0, "oz"};
  const TReportContent c = Build();
  EXPECT_EQ(FindRow(c.HeaderRows, u"Weight"), nullptr);
  EXPECT_EQ(FindRow(c.HeaderRows, u"QualityGrade"), nullptr);
  EXPECT_EQ(FindRow(c.HeaderRows, u"WorkSpeed"), nullptr);
  const TReportBlock& correction = c.Blocks[2];
  EXPECT_FALSE(correction.RunBlock);
  EXPECT_EQ(correction.Cells[0].Unit, u"[oz]");
  EXPECT_EQ(correction.Cells[0].Value, u"+3,00");
  // The correction has only mass and angle, and no speed.
  EXPECT_TRUE(correction.Cells[2].Label.empty() && correction.Cells[2].Value.empty());
  EXPECT_TRUE(correction.Cells[6].Label.empty());
  const TReportBlock& trim = c.Blocks[3];
  EXPECT_EQ(trim.Cells[2].Unit, u"[%]");
  EXPECT_EQ(trim.Cells[2].Value, u"50%");
  EXPECT_EQ(trim.Cells[6].Value, u"25,00");
  EXPECT_EQ(FindRow(c.ParameterRows, u"ControlMass")->ValueA, u"2,000oz");
}

TEST_F(ReportContent, RotorDefinedPrintsGramsUnbalanceAndTheIsoVerdict) {
  Core->Rotor = {1, 100, 100, 300, 0, 0, 2, 2, 20, 50, 6};  // one gram is one g mm
  Core->CtrlMass = {1.0, "g"};
  Measure(0, 200, 1.0);
  Measure(1, 300, 2.0);
  const double permissible = CalcPermissibleUnbalance(Core->Rotor, 0);
  ASSERT_GT(permissible, 0);
  // The last run's correction equals the permissible unbalance exactly.
  Correct(3, permissible, Pi);
  Core->SpeedDisplayMode = 0;
  TReportContent c = Build();
  EXPECT_EQ(FindRow(c.HeaderRows, u"Weight")->ValueA, u"20,00kg");
  EXPECT_EQ(FindRow(c.HeaderRows, u"QualityGrade")->ValueA, u"G16");
  EXPECT_EQ(FindRow(c.HeaderRows, u"WorkSpeed")->ValueA, u"3000rpm");
  EXPECT_EQ(c.Blocks[2].Cells[0].Unit, u"[g]");
  EXPECT_EQ(c.Blocks[2].Cells[2].Unit, u"[g mm]");
  EXPECT_EQ(c.Blocks[2].Cells[2].Value, FormatNumber(permissible));
  ASSERT_EQ(c.ResultRows.size(), 3u);
  EXPECT_EQ(c.ResultRows[0].ValueA, FormatNumber(permissible) + u" [g mm]");
  EXPECT_EQ(c.ResultRows[1].ValueA, FormatNumber(permissible) + u" [g mm]");
  EXPECT_EQ(c.ResultRows[2].ValueA, u"Yes");
  Correct(3, std::nextafter(permissible, 1e9), Pi);
  c = Build();
  EXPECT_EQ(c.ResultRows[2].ValueA, u"No");
  // The unbalance of a plane is its mass times half the plane's diameter.
  Core->Rotor.dA = 2.5;
  Core->CtrlMass.Value = 4;
  Correct(3, 10, Pi);
  c = Build();
  EXPECT_EQ(c.Blocks[2].Cells[2].Value, FormatNumber(10 * 4 * 1.25));
  EXPECT_EQ(FindRow(c.ParameterRows, u"ControlMass")->ValueA, u"4,000g");
  EXPECT_EQ(FindRow(c.HeaderRows, u"WorkSpeed")->ValueA, u"3000rpm");
  Core->SpeedDisplayMode = 1;
  EXPECT_EQ(FindRow(Build().HeaderRows, u"WorkSpeed")->ValueA, u"50,00Hz");
}

// A correction that could not be computed is stored as zeros; the report
// must not print those as a correction of nothing that passes ISO 1940, at
// the correction and at every trim run after it.
TEST_F(ReportContent, ACorrectionNotComputedPrintsDashesAndNoVerdict) {
  Core->Type = 1;
  Core->Rotor = {1, 100, 100, 300, 0, 0, 1, 1, 20, 50, 6};
  Core->CtrlMass = {1.0, "g"};
  for (int run : {0, 1, 2, 4, 5}) Measure(run, 100, 1, 25, 80, 2);
  for (int run : {3, 4, 5}) Core->Results[run].NotComputable = 1;
  const TReportContent c = Build();
  ASSERT_EQ(Headings(c).size(), 6u);
  for (size_t block : {3u, 4u, 5u}) {
    for (size_t cell : {0u, 1u, 2u, 3u, 4u, 5u})
      EXPECT_EQ(c.Blocks[block].Cells[cell].Value, ReportNoValue) << block << " " << cell;
    // The columns keep their labels and units.
    EXPECT_EQ(c.Blocks[block].Cells[2].Unit, u"[g mm]");
  }
  // The trim runs were measured: their speed stays.
  EXPECT_EQ(c.Blocks[5].Cells[6].Value, u"25,00");
  ASSERT_EQ(c.ResultRows.size(), 3u);
  EXPECT_EQ(c.ResultRows[0].ValueA, ReportNoValue);
  EXPECT_EQ(c.ResultRows[0].ValueB, ReportNoValue);
  // The permissible unbalance belongs to the rotor and is printed all the same.
  EXPECT_EQ(c.ResultRows[1].ValueA, FormatNumber(CalcPermissibleUnbalance(Core->Rotor, 0)) + u" [g mm]");
  EXPECT_EQ(c.ResultRows[2].ValueA, ReportNoValue);
  EXPECT_EQ(c.ResultRows[2].ValueB, ReportNoValue);
  // Without a rotor a trim run's unbalance is measured, not computed.
  Core->Rotor.Type = 0;
  const TReportContent percent = Build();
  EXPECT_EQ(percent.Blocks[4].Cells[2].Value, u"100%");
  EXPECT_EQ(percent.Blocks[4].Cells[0].Value, ReportNoValue);
  // A computed last run gets its verdict again.
  Core->Rotor.Type = 1;
  Core->Results[5].NotComputable = 0;
  Core->Results[5].Result = {0.001, 1, 0.001, 2};
  const TReportContent computed = Build();
  EXPECT_EQ(computed.ResultRows[2].ValueA, u"Yes");
  EXPECT_EQ(computed.Blocks[5].Cells[0].Value, u"+0,00");
  EXPECT_EQ(computed.Blocks[4].Cells[0].Value, ReportNoValue);
}

TEST_F(ReportContent, AddedMassesTurnTheAngleRemovedKeepIt) {
  OnePlaneJob(0);
  Core->MassAdd = 1;
  EXPECT_EQ(Build().Blocks[2].Cells[0].Value, u"+1,50");
  EXPECT_EQ(Build().Blocks[2].Cells[1].Value, u"270°");
  Core->MassAdd = 0;
  EXPECT_EQ(Build().Blocks[2].Cells[0].Value, u"-1,50");
  EXPECT_EQ(Build().Blocks[2].Cells[1].Value, u"90°");
}

TEST_F(ReportContent, WithoutACheckRunNoReductionIsClaimed) {
  OnePlaneJob(0);
  EXPECT_EQ(FirstEmptyTrimRun(*Core), 4);
  EXPECT_EQ(Build().ResultRows[0].ValueA, ReportNoValue);
  // Run 0 without an amplitude gives no percentages either.
  OnePlaneJob(1);
  Core->Results[0].Meas.AmplA = 0;
  const TReportContent c = Build();
  EXPECT_EQ(c.Blocks[0].Cells[2].Value, ReportNoValue);
  EXPECT_EQ(c.ResultRows[0].ValueA, ReportNoValue);
}

TEST_F(ReportContent, EmptyFieldsPrintThePlaceholderAndAZeroDateIsToday) {
  OnePlaneJob(0);
  TReportContent c = Build();
  const std::u16string dots(ReportPlaceholder);
  EXPECT_EQ(dots.size(), 33u);
  EXPECT_EQ(c.TopLine, dots + u", 2024-03-05");
  EXPECT_EQ(c.HeaderRows[0].ValueA, dots);
  EXPECT_EQ(c.Operator, dots);
  EXPECT_EQ(c.ProcessingUnit, dots + u"\r\n" + dots + u"\r\n" + dots);
  Core->Session = {{2023, 11, 9}, "Plant 3", "Jane Roe", "Acme", "Fan", "Impeller"};
  Core->Owner = u"Service dept.";
  c = Build();
  EXPECT_EQ(c.TopLine, u"Plant 3, 2023-11-09");
  EXPECT_EQ(c.DateText, u"2023-11-09");
  EXPECT_EQ(FindRow(c.HeaderRows, u"MachineOwner")->ValueA, u"Acme");
  EXPECT_EQ(FindRow(c.HeaderRows, u"MachineType")->ValueA, u"Fan");
  EXPECT_EQ(FindRow(c.HeaderRows, u"ComponentName")->ValueA, u"Impeller");
  EXPECT_EQ(c.Operator, u"Jane Roe");
  EXPECT_EQ(c.ProcessingUnit, u"Service dept.");
}

TEST(ReportNames, GradesAndDates) {
  EXPECT_EQ(QualityGradeName(0), u"G4000");
  EXPECT_EQ(QualityGradeName(7), u"G6,3");
  EXPECT_EQ(QualityGradeName(10), u"G0,4");
  EXPECT_EQ(QualityGradeName(11), u"?");
  EXPECT_EQ(QualityGradeName(-1), u"?");
  EXPECT_EQ(ReportDateText({0, 0, 0}, {2025, 1, 2}), u"2025-01-02");
  EXPECT_EQ(ReportDateText({0, 0, 7}, {2025, 1, 2}), u"0-00-07");
}

// --- layout ----------------------------------------------------------------------

namespace {

// A4 at 600 dpi with a line of 100 pixels; wrapped text takes one line per
// 20 characters.
TReportMetrics Metrics(int vertRes = 7016) {
  TReportMetrics m;
  m.Page = ReportPageFor(4960, vertRes, 600, 600);
  m.LineHeight = 100;
  m.Indent = 45;
  m.MeasureWrapped = [](std::u16string_view text, const gui::TRect& bounds) {
    const int lines = static_cast<int>((text.size() + 19) / 20);
    return gui::Rect(bounds.Left, bounds.Top, bounds.Right, bounds.Top + 90 * lines);
  };
  return m;
}

TReportRow Row(const char16_t* label, const char16_t* value, double advance = 1) {
  return {label, value, {}, false, advance};
}

TReportContent SmallContent(int trims) {
  TReportContent c;
  c.TopLine = u"Here, 2024-01-01";
  c.Title = u"Report";
  c.HeaderRows = {Row(u"Owner", u"X"), Row(u"Machine", u"Y"), Row(u"Type", u"One", 3)};
  c.ProcessFlow = u"Flow";
  c.Blocks.push_back({u"Run 0", true, {}});
  c.Blocks.push_back({u"Run 1", true, {}});
  c.Blocks.push_back({u"Correction", false, {}});
  for (int i = 1; i <= trims; ++i) c.Blocks.push_back({u"Trim " + std::u16string(1, u'0' + i), false, {}});
  for (TReportBlock& b : c.Blocks) b.Cells[0] = {u"Mass", u"[g]", u"+1,00"};
  c.BalancingResult = u"Result";
  c.PlaneA = u"A";
  c.ResultRows = {Row(u"Reduction", u"75%")};
  c.Parameters = u"Parameters";
  c.ParameterRows = {Row(u"Rate", u"v", 1.25), Row(u"Buffer", u"v", 1.25), Row(u"Mass", u"v", 1.5),
                     Row(u"Sensor", u"v"),     Row(u"Type", u"v"),         Row(u"Sens", u"v"),
                     Row(u"Range", u"v")};
  c.DateLabel = u"Date";
  c.DateText = u"2024-01-01";
  c.ProcessingUnitLabel = u"Unit";
  c.ProcessingUnit = u"Service department of the plant";
  c.OperatorLabel = u"Operator";
  c.Operator = u"J";
  c.SignatureLabel = u"Signature";
  c.Credit = u"Credit";
  return c;
}

const TReportText* FindText(const TReportSheet& sheet, std::u16string_view text) {
  for (const TReportText& t : sheet.Texts)
    if (t.Text == text) return &t;
  return nullptr;
}

// The sheet that holds a text, or -1.
int SheetOf(const std::vector<TReportSheet>& sheets, std::u16string_view text) {
  for (size_t i = 0; i < sheets.size(); ++i)
    if (FindText(sheets[i], text)) return static_cast<int>(i);
  return -1;
}

}  // namespace

TEST(ReportLayout, PageGridFromTheResolution) {
  const TReportPage page = ReportPageFor(4960, 7016, 600, 600);
  EXPECT_EQ(page.MarginX, 236);  // 1 cm, truncated
  EXPECT_EQ(page.MarginY, 236);
  EXPECT_EQ(page.RightEdge, 4724);
  EXPECT_EQ(page.BottomEdge, 6780);
  const TReportGrid g = ReportGridFor(page, 100);
  EXPECT_EQ(g.Middle, 2480);
  EXPECT_EQ(g.ThreeQuarter, 3602);
  // Seven equal columns over 4488 pixels, each at its centre, truncated.
  EXPECT_EQ(g.Column[0], 556);
  EXPECT_EQ(g.Column[3], 2480);
  EXPECT_EQ(g.Column[6], 4403);
  EXPECT_EQ(g.Y(2.5), 486);
  EXPECT_EQ(ReportFontHeight(rfTitle, 600), -117);
  EXPECT_EQ(ReportFontHeight(rfFooter, 600), -67);
  // 300 dpi: the margin truncates 118.11 to 118.
  EXPECT_EQ(ReportPageFor(2480, 3508, 300, 300).MarginX, 118);
}

TEST(ReportLayout, HeaderTitleRowsAndSectionRules) {
  const std::vector<TReportSheet> sheets = LayOutReport(SmallContent(0), Metrics());
  ASSERT_EQ(sheets.size(), 1u);
  const TReportSheet& s = sheets[0];
  const TReportText* top = FindText(s, u"Here, 2024-01-01");
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->X, 4724);
  EXPECT_EQ(top->Y, 236);
  EXPECT_EQ(top->Align, raRight);
  const TReportText* title = FindText(s, u"Report");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->X, 2480);
  EXPECT_EQ(title->Y, 636);
  EXPECT_EQ(title->Align, raCentre);
  EXPECT_EQ(title->Font, rfTitle);
  EXPECT_EQ(FindText(s, u"Owner")->Y, 1036);
  EXPECT_EQ(FindText(s, u"X")->X, 2480);
  EXPECT_EQ(FindText(s, u"Machine")->Y, 1136);
  // After the plane count three lines: the heading at line 13, its rules at
  // 13.5 lines plus 5/11 and 5/9 of a line.
  const TReportText* flow = FindText(s, u"Flow");
  ASSERT_NE(flow, nullptr);
  EXPECT_EQ(flow->Y, 1536);
  EXPECT_EQ(flow->Font, rfBold);
  const auto hasRule = [&s](int y, int x1, int x2) {
    return std::any_of(s.Rules.begin(), s.Rules.end(),
                       [&](const TReportRule& r) { return r.Y1 == y && r.Y2 == y && r.X1 == x1 && r.X2 == x2; });
  };
  EXPECT_TRUE(hasRule(1586 + 45, 236, 4724));
  EXPECT_TRUE(hasRule(1586 + 55, 236, 4724));
  // Run 0 at line 15.5: its rule at 16.75 lines (labels, units and values
  // follow at lines 17, 18 and 19).
  EXPECT_EQ(FindText(s, u"Run 0")->Y, 1786);
  EXPECT_TRUE(hasRule(1911, 236, 4724));
  // The correction block (line 27.5) draws its rule half a line lower.
  EXPECT_EQ(FindText(s, u"Correction")->Y, 2986);
  EXPECT_TRUE(hasRule(3036 + 50, 236, 4724));
  // The footer lies in the bottom margin: a rule to half the right edge.
  EXPECT_TRUE(hasRule(6780 + 29, 236, 2362));
  const TReportText* number = FindText(s, u"1");
  ASSERT_NE(number, nullptr);
  EXPECT_EQ(number->Y, 6780 + 59);
  EXPECT_EQ(number->X, 4724);
  EXPECT_EQ(number->Align, raRight);
  EXPECT_EQ(number->Font, rfFooter);
  EXPECT_EQ(FindText(s, u"Credit")->X, 236);
}

TEST(ReportLayout, BlockCellsAreCentredOnTheirColumns) {
  const std::vector<TReportSheet> sheets = LayOutReport(SmallContent(0), Metrics());
  const TReportSheet& s = sheets[0];
  std::vector<const TReportText*> mass;
  for (const TReportText& t : s.Texts)
    if (t.Text == u"Mass" && t.Y < 4000) mass.push_back(&t);
  ASSERT_EQ(mass.size(), 3u);
  EXPECT_EQ(mass[0]->X, 556);
  EXPECT_EQ(mass[0]->Y, 1936);
  EXPECT_EQ(mass[0]->Align, raCentre);
  EXPECT_EQ(FindText(s, u"[g]")->Y, 2036);
  EXPECT_EQ(FindText(s, u"+1,00")->Y, 2136);
}

// With lines of 100 pixels the run blocks start at lines 15.5, 21.5, ...;
// the fourth block ends on line 39.5. A page whose bottom lies exactly
// there keeps it; one pixel less moves it to the next page.
TEST(ReportLayout, ABlockEndingOnTheBottomStaysOneBeyondMoves) {
  const int exact = 236 + 3950 + 236;
  std::vector<TReportSheet> sheets = LayOutReport(SmallContent(5), Metrics(exact));
  EXPECT_EQ(SheetOf(sheets, u"Trim 1"), 0);
  EXPECT_EQ(SheetOf(sheets, u"Trim 2"), 1);
  // The new page starts at its top with only its footer.
  EXPECT_EQ(FindText(sheets[1], u"Trim 2")->Y, 236);
  EXPECT_NE(FindText(sheets[1], u"2"), nullptr);
  EXPECT_EQ(sheets[1].Number, 2);
  sheets = LayOutReport(SmallContent(5), Metrics(exact - 1));
  EXPECT_EQ(SheetOf(sheets, u"Trim 1"), 1);
  EXPECT_EQ(FindText(sheets[1], u"Trim 1")->Y, 236);
}

// Whatever the page height, no section runs into the bottom margin: each
// moves to a new page as a whole.
TEST(ReportLayout, NothingButTheFooterLiesBelowTheBottomMargin) {
  for (int vertRes = 3000; vertRes < 9000; vertRes += 37) {
    const TReportMetrics m = Metrics(vertRes);
    const int bottom = m.Page.BottomEdge;
    const std::vector<TReportSheet> sheets = LayOutReport(SmallContent(6), m);
    for (const TReportSheet& s : sheets) {
      for (const TReportText& t : s.Texts) {
        if (t.Font == rfFooter) continue;
        EXPECT_LE(t.Y + m.LineHeight, bottom) << "page height " << vertRes << ": " << testing::PrintToString(t.Text);
      }
      for (const TReportBox& b : s.Boxes) EXPECT_LE(b.Rect.Bottom, bottom) << vertRes;
    }
    // The signature block stays on one page.
    EXPECT_EQ(SheetOf(sheets, u"Date"), SheetOf(sheets, u"Signature")) << vertRes;
    EXPECT_EQ(SheetOf(sheets, u"Date"), static_cast<int>(sheets.size()) - 1);
  }
}

TEST(ReportLayout, SignatureWrapsTheProcessingUnitAndIndentsSensorRows) {
  TReportContent c = SmallContent(0);
  c.ParameterRows[4].Indented = true;
  const std::vector<TReportSheet> sheets = LayOutReport(c, Metrics());
  const TReportSheet& s = sheets.back();
  ASSERT_EQ(s.Boxes.size(), 1u);
  const TReportBox& box = s.Boxes[0];
  EXPECT_EQ(box.Text, c.ProcessingUnit);
  EXPECT_EQ(box.Rect.Left, 2480);
  EXPECT_EQ(box.Rect.Height(), 180);  // two wrapped lines
  const TReportText* unit = FindText(s, u"Unit");
  ASSERT_NE(unit, nullptr);
  EXPECT_EQ(box.Rect.Top, unit->Y);
  // Two lines of the measured height and two more.
  EXPECT_EQ(FindText(s, u"Operator")->Y, unit->Y + 400);
  EXPECT_EQ(FindText(s, u"Signature")->Y, unit->Y + 600);
  EXPECT_EQ(FindText(s, u"Date")->Y, unit->Y - 200);
  const TReportText* placeholder = FindText(s, ReportPlaceholder);
  ASSERT_NE(placeholder, nullptr);
  EXPECT_EQ(placeholder->X, 2480);
  // Indented rows start three average characters in.
  bool indented = false;
  for (const TReportText& t : s.Texts)
    if (t.Text == u"Type" && t.X == 236 + 45) indented = true;
  EXPECT_TRUE(indented);
}

TEST(ReportLayout, ResultHeadingCarriesThePlaneColumns) {
  TReportContent c = SmallContent(0);
  c.PlaneB = u"B";
  c.ResultRows[0].ValueB = u"60%";
  const std::vector<TReportSheet> sheets = LayOutReport(c, Metrics());
  const TReportSheet& s = sheets[0];
  const TReportText* heading = FindText(s, u"Result");
  ASSERT_NE(heading, nullptr);
  EXPECT_EQ(FindText(s, u"A")->Y, heading->Y);
  EXPECT_EQ(FindText(s, u"A")->X, 2480);
  EXPECT_EQ(FindText(s, u"B")->X, 3602);
  EXPECT_EQ(FindText(s, u"A")->Font, rfBold);
  const TReportText* value = FindText(s, u"60%");
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->Y, heading->Y + 250);
  EXPECT_EQ(value->Font, rfBold);
}
