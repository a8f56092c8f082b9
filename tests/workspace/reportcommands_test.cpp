// The report and log menu through the window: the report printed into a
// PDF and read back, with its blocks, its residual unbalances and its
// verdicts.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <numbers>
#include <string>

#include "answerhook.h"
#include "balancingreport.h"
#include "bitmap.h"
#include "inputsim.h"
#include "commandsfixture.h"
#include "iso1940.h"
#include "logentry.h"
#include "polardiagram.h"
#include "printer.h"
#include "resultpanel.h"
#include "timer.h"
#include "valuepanels.h"
#include "workspacemenus.h"

using commandstest::Commands;
using commandstest::Forms;
using commandstest::MenuAnswer;
using commandstest::Narrow;
using commandstest::Output;
namespace fs = std::filesystem;

// --- report ------------------------------------------------------------------------

TEST_F(Commands, ReportNeedsTheCorrectionStepLogIsAlwaysThere) {
  for (int highest : {2, 3}) {
    Core->HighestStep = highest;
    gui::TAnswerScript script;
    script.ExpectAction(gui::dkPopupMenu, MenuAnswer(0, [highest](const gui::TPopupMenu& menu) {
                          const gui::TMenuItemInfo* report = menu.FindItem(rmReport);
                          const gui::TMenuItemInfo* log = menu.FindItem(rmLog);
                          ASSERT_TRUE(report && log);
                          EXPECT_EQ(report->Text, Forms(u"Report"));
                          EXPECT_EQ(report->Flags, highest < 3 ? gui::MF_GRAYED : gui::MF_STRING);
                          EXPECT_EQ(log->Text, Forms(u"Log"));
                          EXPECT_TRUE(log->Choosable());
                        }));
    Window->bReport->Click();
    EXPECT_EQ(script.Pending(), 0u);
  }
  // A disabled item cannot be chosen: nothing is printed.
  Core->HighestStep = 2;
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, rmReport);
  Window->bReport->Click();
  EXPECT_TRUE(script.Unexpected().empty());
}

// The menu as the user sees it: before the correction the report item is
// drawn greyed, so its row differs from the enabled one while the log's
// row stays the same.
TEST_F(Commands, TheReportItemLooksAsItActs) {
  std::array<gui::TBitmap, 2> drawn;
  for (size_t i : {0u, 1u}) {
    Core->HighestStep = i == 0 ? 2 : 3;
    gui::TTimer timer(nullptr);
    timer.SetInterval(30);
    timer.OnTimer = [&](gui::TComponent*) {
      timer.SetEnabled(false);
      EXPECT_TRUE(gui::CaptureOpenPopup(drawn[i]));
      gui::SimKey(nullptr, gui::VK_ESCAPE);
    };
    Window->bReport->Click();
  }
  ASSERT_FALSE(drawn[0].Empty());
  ASSERT_EQ(drawn[0].Width(), drawn[1].Width());
  ASSERT_EQ(drawn[0].Height(), drawn[1].Height());
  std::vector<int> differing;
  for (int y = 0; y < drawn[0].Height(); ++y)
    for (int x = 0; x < drawn[0].Width(); ++x)
      if (drawn[0].Pixel(x, y) != drawn[1].Pixel(x, y)) {
        differing.push_back(y);
        break;
      }
  ASSERT_FALSE(differing.empty()) << "the report item looks enabled";
  EXPECT_LT(differing.back(), drawn[0].Height() / 2) << "only the report item, above the log, differs";
}

TEST_F(Commands, LogItemShowsTheLogModally) {
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, rmLog);
  script.ExpectAction(gui::dkModalForm, [this](const gui::TDialogRequest& r) {
    EXPECT_EQ(r.Form, Log.get());
    return std::optional<gui::TDialogAnswer>(gui::TDialogAnswer{gui::mrOk, {}});
  });
  Window->bReport->Click();
  EXPECT_EQ(script.Pending(), 0u);
}

TEST_F(Commands, CancelledPrintDialogPrintsNothing) {
  OnePlaneJob(1);
  const fs::path pdf = Folder / "cancelled.pdf";
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, rmReport);
  script.Expect(gui::dkPrintDialog, 0, pdf.string());
  Window->bReport->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_FALSE(fs::exists(pdf));
  EXPECT_FALSE(gui::Printer().Printing());
}

// A report or a view printed to a file that can't be written is not printed,
// and the failure, which the application shows, names the file and why in
// the log too.
TEST_F(Commands, APrintToAFileThatCantBeWrittenIsLoggedWithWhy) {
  OnePlaneJob(1);
  const fs::path pdf = Folder / "missing" / "report.pdf";
  const std::string told = "Cannot write " + pdf.string() + ": No such file or directory";
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, rmReport);
  script.Expect(gui::dkPrintDialog, 1, pdf.string());
  try {
    Window->bReport->Click();
    ADD_FAILURE() << "the report was printed";
  } catch (const gui::EPrinter& error) {
    EXPECT_EQ(std::string(error.what()), told);
  }
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_FALSE(gui::Printer().Printing());
  const std::string log = LogText();
  EXPECT_NE(log.find(told), std::string::npos) << log;
  EXPECT_FALSE(fs::exists(Folder / "missing"));
}

// At 600 dpi the lines of the default font are about 0.4 cm high: the
// signature block of this job moves to a second page.
TEST_F(Commands, ReportPrintsIntoAPdfWithEveryBlockAndValue) {
  OnePlaneJob(2);
  const fs::path pdf = Folder / "report.pdf";
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, rmReport);
  script.Expect(gui::dkPrintDialog, 1, pdf.string());
  Window->bReport->Click();
  ASSERT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  ASSERT_TRUE(fs::exists(pdf));
  const std::string info = Output("pdfinfo '" + pdf.string() + "'");
  EXPECT_NE(info.find("Pages:           2"), std::string::npos) << info;
  EXPECT_NE(info.find("Title:           Kalvenor Report"), std::string::npos) << info;
  const std::string text = Output("pdftotext -layout '" + pdf.string() + "' -");
  for (const std::u16string& expected :
       {Forms(u"BalancingReport"), std::u16string(u"Hall 2, 2024-06-01"), Forms(u"Measurement1"),
        Forms(u"Measurement21"), Forms(u"MeasResult"), Forms(u"Tunning") + u" 1", Forms(u"Tunning") + u" 2",
        std::u16string(u"G16"), std::u16string(u"+1,50"), std::u16string(u"270°"), std::u16string(u"Impeller"),
        std::u16string(u"Field service"), std::u16string(u"Probe A"), std::u16string(u"Orvanteq, Kalvenor"),
        Forms(u"ISO1940Legal"), Forms(u"OperatorsSignature"), std::u16string(ReportPlaceholder)})
    EXPECT_NE(text.find(Narrow(expected)), std::string::npos) << Narrow(expected) << "\n" << text;
  // One page rendered, for a look at the layout.
  const std::string png = std::string(WORKSPACE_TEST_PICTURE_DIR) + "/balancing_report";
  Output("pdftoppm -png -r 60 -f 1 -singlefile '" + pdf.string() + "' '" + png + "'");
  ASSERT_TRUE(fs::exists(png + ".png"));
  EXPECT_GT(fs::file_size(png + ".png"), 5000u);
}

namespace {

// The line of the PDF's text that holds `label`, or empty.
std::string LineWith(const std::string& text, const std::u16string& label) {
  const size_t at = text.find(Narrow(label));
  if (at == std::string::npos) return {};
  const size_t start = text.rfind('\n', at);
  const size_t end = text.find('\n', at);
  return text.substr(start == std::string::npos ? 0 : start + 1, end == std::string::npos ? end : end - start - 1);
}

}  // namespace

// A job whose correction could not be computed (a trial run that changed
// nothing) and whose trim runs therefore have none either: the printed
// report gives no correction, no residual and no verdict.
TEST_F(Commands, ReportOfACorrectionNotComputedPrintsNoVerdict) {
  OnePlaneJob(2);
  for (int run : {3, 4, 5}) {
    Core->Results[run].Result = {};
    Core->Results[run].NotComputable = 1;
  }
  const std::string text = PrintedReportText("not-computable.pdf");
  const std::string verdict = LineWith(text, Forms(u"ISO1940Legal"));
  ASSERT_FALSE(verdict.empty()) << text;
  EXPECT_EQ(verdict.find(Narrow(Forms(u"Yes"))), std::string::npos) << verdict;
  EXPECT_EQ(verdict.back(), '-') << verdict;
  const std::string residual = LineWith(text, Forms(u"FinalUnbalance"));
  EXPECT_EQ(residual.find("[g mm]"), std::string::npos) << residual;
  EXPECT_EQ(residual.back(), '-') << residual;
  EXPECT_EQ(text.find("+0,00"), std::string::npos) << text;
}

TEST_F(Commands, SixteenTrimRunsFillASecondPage) {
  OnePlaneJob(16);
  const std::string text = PrintedReportText("long.pdf");
  const size_t feed = text.find('\f');
  ASSERT_NE(feed, std::string::npos);
  const size_t last = text.find(Narrow(Forms(u"Tunning") + u" 16"));
  ASSERT_NE(last, std::string::npos) << text;
  EXPECT_GT(last, feed);
  EXPECT_LT(text.find(Narrow(Forms(u"Measurement1"))), feed);
  // The signature closes the last page.
  EXPECT_GT(text.find(Narrow(Forms(u"OperatorsSignature"))), feed);
}

// A two-plane job on correction planes of 200 and 300 mm diameter whose
// trial masses each move only their own plane: the correction is 3,05 g in
// A and 3,5 g in B, at radii of 100 and 150 mm. Panel, diagrams, log and
// printed report all give 305 and 525 g mm and judge them against the
// 509 g mm the rotor permits per plane: A passes, B does not.
TEST_F(Commands, ResidualUnbalanceIsTheMassAtHalfThePlaneDiameterEverywhere) {
  Core->Type = 1;
  Core->Rotor = {1, 100, 100, 300, 0, 0, 200, 300, 20, 50, 6};
  Core->CtrlMass = {1.0, "g"};
  Measure(0, 305, 0, 25, 350, 0);
  Measure(1, 405, 0, 25, 350, 0);
  Measure(2, 305, 0, 25, 450, 0);
  Core->BalancingStep = Core->HighestStep = 2;
  Window->RefreshResults();
  Log->WriteEntry(lekMeasurement2);  // as the capture of the last trial run ends
  Window->bNext->Click();
  ASSERT_EQ(Core->BalancingStep, 3);
  const double permissible = CalcPermissibleUnbalance(Core->Rotor, 0);
  ASSERT_EQ(permissible, CalcPermissibleUnbalance(Core->Rotor, 1));
  ASSERT_TRUE(305 <= permissible && permissible < 525) << permissible;

  const std::u16string a = TZelto::FormatNumber(305.0), b = TZelto::FormatNumber(525.0);
  const auto label = [this](const char* name) { return dynamic_cast<TLabelEx*>(Window->FindComponent(name)); };
  ASSERT_TRUE(label("leUnbalance2R1A") && label("leUnbalance2R1B"));
  EXPECT_EQ(label("leUnbalance2R1A")->CaptionW(), a);
  EXPECT_EQ(label("leUnbalance2R1B")->CaptionW(), b);
  EXPECT_EQ(label("leUnbalance2R1A")->Font().Color(), PermissibleColor);
  EXPECT_EQ(label("leUnbalance2R1B")->Font().Color(), ErrorTextColor);

  for (uint8_t plane : {0, 1}) {
    const TScene scene = PlaneScene(*Core, TDiagramView{}, plane, gui::Rect(0, 0, 300, 300), 12);
    const auto verdict =
        std::find_if(scene.begin(), scene.end(), [](const TDrawOp& op) { return op.Kind == dkPicture; });
    ASSERT_NE(verdict, scene.end());
    EXPECT_EQ(verdict->Picture, plane == 0 ? prIsoYes : prIsoNo);
  }

  const std::string sign = Core->MassAdd ? "+" : "-";
  const std::string log = LogText();
  EXPECT_NE(log.find("Mass A: " + sign + "3,05g"), std::string::npos) << log;
  EXPECT_NE(log.find("Mass B: " + sign + "3,50g"), std::string::npos) << log;

  const std::string text = PrintedReportText("two-planes.pdf");
  const std::string residual = LineWith(text, Forms(u"FinalUnbalance"));
  const size_t atA = residual.find(Narrow(a + u" [g mm]")), atB = residual.find(Narrow(b + u" [g mm]"));
  ASSERT_NE(atA, std::string::npos) << text;
  ASSERT_NE(atB, std::string::npos) << residual;
  EXPECT_LT(atA, atB);
  const std::string legal = Narrow(Forms(u"ISO1940Legal"));
  const std::string verdict = LineWith(text, Forms(u"ISO1940Legal"));
  const size_t values = verdict.find(legal) + legal.size();
  const size_t yes = verdict.find(Narrow(Forms(u"Yes")), values), no = verdict.find(Narrow(Forms(u"No")), values);
  ASSERT_NE(yes, std::string::npos) << verdict;
  ASSERT_NE(no, std::string::npos) << verdict;
  EXPECT_LT(yes, no);
}

