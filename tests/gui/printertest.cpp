#include "commandoutput.h"
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>

#include "answerhook.h"
#include "dialogs.h"
#include "geometry.h"
#include "printer.h"

namespace gui {
namespace {

std::string Output(const std::string& command) { return testsupport::CommandOutput(command); }

struct PrinterTest : testing::Test {
  std::filesystem::path Folder;
  std::filesystem::path Pdf;
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "gui_print_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    Folder = pattern;
    Pdf = Folder / "report.pdf";
  }
  void TearDown() override { std::filesystem::remove_all(Folder); }
};

TEST_F(PrinterTest, TwoPagesPrintIntoAPdfAndReadBack) {
  TAnswerScript script;
  script.Expect(dkPrintDialog, 1, Pdf.string());
  TPrintDialog dialog(nullptr);
  ASSERT_TRUE(dialog.Execute());
  TPrinter& printer = Printer();
  EXPECT_EQ(printer.OutputFileName(), Pdf.string());
  printer.SetTitle(u"Kalvenor Report");
  printer.SetOrientation(poPortrait);
  printer.BeginDoc();
  TCanvas& c = printer.Canvas();
  EXPECT_TRUE(c.IsPrinter());
  EXPECT_EQ(printer.PageNumber(), 1);
  // The canvas starts with the default font at the printer's resolution.
  EXPECT_EQ(c.Font().Height(), -MulDiv(8, c.PixelsPerInchY(), 72));
  EXPECT_GT(c.VertRes(), c.HorzRes());
  c.Font().SetName("Microsoft Sans Serif");
  c.Font().SetHeight(-MulDiv(10, c.PixelsPerInchY(), 72));
  c.TextOut(c.PixelsPerInchX(), c.PixelsPerInchY(), u"First page of the report");
  c.MoveTo(0, c.VertRes() / 2);
  c.LineTo(c.HorzRes(), c.VertRes() / 2);
  printer.NewPage();
  EXPECT_EQ(printer.PageNumber(), 2);
  c.SetTextAlign(TA_RIGHT | TA_BOTTOM);
  c.TextOut(c.HorzRes() - 10, c.VertRes() - 10, u"Second page");
  printer.EndDoc();
  EXPECT_FALSE(printer.Printing());

  ASSERT_TRUE(std::filesystem::exists(Pdf));
  EXPECT_NE(Output("pdfinfo '" + Pdf.string() + "'").find("Pages:           2"), std::string::npos);
  const std::string text = Output("pdftotext -layout '" + Pdf.string() + "' -");
  const size_t first = text.find("First page of the report");
  const size_t feed = text.find('\f');
  const size_t second = text.find("Second page");
  ASSERT_NE(first, std::string::npos) << text;
  ASSERT_NE(second, std::string::npos) << text;
  EXPECT_LT(first, feed);
  EXPECT_GT(second, feed);
}

TEST_F(PrinterTest, LandscapeAndMisuse) {
  TPrinter& printer = Printer();
  printer.SetOutputFileName(Pdf.string());
  printer.SetOrientation(poLandscape);
  EXPECT_THROW(printer.NewPage(), EPrinter);
  printer.BeginDoc();
  EXPECT_GT(printer.Canvas().HorzRes(), printer.Canvas().VertRes());
  EXPECT_THROW(printer.BeginDoc(), EPrinter);
  EXPECT_THROW(printer.SetOrientation(poPortrait), EPrinter);
  printer.EndDoc();
  printer.SetOrientation(poPortrait);
  EXPECT_FALSE(printer.Canvas().HasTarget());
}

TEST_F(PrinterTest, TheReportFileIsReplacedOnlyByAWholeReport) {
  const auto filesInFolder = [this] {
    return std::distance(std::filesystem::directory_iterator(Folder), std::filesystem::directory_iterator());
  };
  {
    std::FILE* old = std::fopen(Pdf.c_str(), "wb");
    ASSERT_NE(old, nullptr);
    std::fputs("earlier report", old);
    std::fclose(old);
  }
  TPrinter printer;
  printer.SetOutputFileName(Pdf.string());
  printer.BeginDoc();
  printer.Canvas().TextOut(10, 10, u"cut short");
  printer.Abort();
  EXPECT_EQ(Output("cat '" + Pdf.string() + "'"), "earlier report");
  EXPECT_EQ(filesInFolder(), 1);
  printer.BeginDoc();
  printer.Canvas().TextOut(10, 10, u"whole");
  printer.EndDoc();
  EXPECT_NE(Output("pdftotext '" + Pdf.string() + "' -").find("whole"), std::string::npos);
  EXPECT_EQ(filesInFolder(), 1);

  // A pipe named like the report is refused at once and stays as it was.
  const std::filesystem::path pipe = Folder / "pipe.pdf";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  printer.SetOutputFileName(pipe.string());
  ::alarm(10);  // a writer that waits for a reader ends the suite here
  EXPECT_THROW(printer.BeginDoc(), EPrinter);
  ::alarm(0);
  EXPECT_FALSE(printer.Printing());
  EXPECT_TRUE(std::filesystem::is_fifo(pipe));
}

TEST_F(PrinterTest, CancelledPrintDialogKeepsTheOutput) {
  TAnswerScript script;
  script.Expect(dkPrintDialog, 0, "/elsewhere.pdf");
  Printer().SetOutputFileName(Pdf.string());
  TPrintDialog dialog(nullptr);
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(Printer().OutputFileName(), Pdf.string());
}

}  // namespace
}  // namespace gui
