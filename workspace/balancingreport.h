#pragma once
// The printed balancing report of the current job: a header with the job
// data, the process flow (every run's measured vectors, the correction and
// the trim runs), the result with its ISO 1940 verdict, the capture
// parameters with the sensors, and a signature block; a footer on every
// page.
//
// Three stages, so that what goes where is tested without a printer:
// BuildReportContent turns the core object into texts, LayOutReport places
// those texts on pages (positions in printer pixels, page breaks, footers),
// and PrintBalancingReport measures the printer's fonts and draws the pages.

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "geometry.h"
#include "languageservice.h"
#include "zelto.h"

namespace gui {
class TCanvas;
class TPrinter;
}  // namespace gui

// Every key the report looks up in section "Forms".
extern const std::array<TTextKey, 46> ReportLangKeys;

// The text of an empty field, and the line of the operator's signature.
inline constexpr std::u16string_view ReportPlaceholder = u".................................";
// What a cell prints that has no value: a ratio whose reference run measured
// nothing, or a correction that could not be computed.
inline constexpr std::u16string_view ReportNoValue = u"-";

// --- content -------------------------------------------------------------------

// A row of label and values: plane or sensor A at the middle, B at three
// quarters; Advance is the line step after the row.
struct TReportRow {
  std::u16string Label, ValueA, ValueB;
  bool Indented = false;
  double Advance = 1;
};

// One table cell; a cell whose texts are all empty prints nothing.
struct TReportCell {
  std::u16string Label, Unit, Value;
};

// A run, correction or trim block: the heading over seven centred columns
// (plane A 0..2, plane B 3..5, speed 6).
struct TReportBlock {
  std::u16string Heading;
  bool RunBlock = true;  // the rule of a run block lies lower
  std::array<TReportCell, 7> Cells;
};

struct TReportContent {
  std::u16string TopLine;  // location, ", " and the date
  std::u16string Title;
  std::vector<TReportRow> HeaderRows;  // the last (the plane count) advances 3 lines
  std::u16string ProcessFlow;
  std::vector<TReportBlock> Blocks;
  std::u16string BalancingResult, PlaneA, PlaneB;  // PlaneB empty with one plane
  std::vector<TReportRow> ResultRows;
  std::u16string Parameters;
  std::vector<TReportRow> ParameterRows;
  std::u16string DateLabel, DateText;
  std::u16string ProcessingUnitLabel, ProcessingUnit;  // the owner text, or three placeholder lines
  std::u16string OperatorLabel, Operator;
  std::u16string SignatureLabel;
  std::u16string Credit;  // the footer's maker and product line
};

// The lookup of a key in section "Forms".
using TReportLookup = std::function<std::u16string(std::u16string_view key)>;

struct TReportSources {
  TReportLookup Lookup;
  std::u16string Tunning;         // the workspace's kept text of "Tunning"
  TSessionDate Today;             // printed when the session has no date
  int32_t SamplingFrequency = 0;  // Hz, the job's runs were captured at (TZelto::JobConditions)
};

// The runs the report shows after the correction: 4, 5, ... up to the first
// run without a vector (19 at most). Returns the first run not shown.
int32_t FirstEmptyTrimRun(const TZelto& core);
// "%d-%02d-%02d" of the session date, or of `today` when it is 0-0-0.
std::u16string ReportDateText(const TSessionDate& session, const TSessionDate& today);

TReportContent BuildReportContent(const TZelto& core, const TReportSources& sources);

// --- layout ----------------------------------------------------------------------

// Page metrics in printer pixels, margins of 1 cm.
struct TReportPage {
  int HorzRes = 0, VertRes = 0, PixelsX = 0, PixelsY = 0;
  int MarginX = 0, MarginY = 0, RightEdge = 0, BottomEdge = 0;
};
TReportPage ReportPageFor(int horzRes, int vertRes, int pixelsX, int pixelsY);

// The fonts of the report: 14 pt bold, 10 pt bold, 10 pt normal, 8 pt.
enum TReportFont : uint8_t { rfTitle, rfBold, rfNormal, rfFooter };
// Character height of a font (negative, in pixels) at a resolution.
int ReportFontHeight(TReportFont font, int pixelsY);

enum TReportAlign : uint8_t { raLeft, raCentre, raRight };

struct TReportText {
  int X = 0, Y = 0;
  TReportAlign Align = raLeft;
  TReportFont Font = rfNormal;
  std::u16string Text;
};

struct TReportRule {
  int X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};

// Text word-wrapped in 10 pt normal inside its rectangle.
struct TReportBox {
  gui::TRect Rect;
  std::u16string Text;
};

struct TReportSheet {
  int Number = 1;
  std::vector<TReportText> Texts;
  std::vector<TReportRule> Rules;
  std::vector<TReportBox> Boxes;
};

// What the layout needs of the printer's fonts.
struct TReportMetrics {
  TReportPage Page;
  // Text height plus internal leading of the canvas's default 8-pt font.
  int LineHeight = 1;
  // Three average character widths of 10 pt normal.
  int Indent = 0;
  // The rectangle a text word-wrapped in 10 pt normal takes from the
  // top-left corner of `bounds` within its width (DT_CALCRECT).
  std::function<gui::TRect(std::u16string_view text, const gui::TRect& bounds)> MeasureWrapped;
};

// The report's grid: margins, value columns and the seven table columns.
struct TReportGrid {
  int Left = 0, Top = 0, Right = 0, Bottom = 0, Width = 0;
  int Middle = 0, ThreeQuarter = 0;
  std::array<int, 7> Column{};
  int LineHeight = 1;
  // Top of text line L.
  int Y(double line) const;
  // A block of `lines` lines (and `extra` pixels) from line L ends below
  // Bottom.
  bool Overflows(double line, double lines, int extra = 0) const;
};
TReportGrid ReportGridFor(const TReportPage& page, int lineHeight);

// The report on pages, each with its footer.
std::vector<TReportSheet> LayOutReport(const TReportContent& content, const TReportMetrics& metrics);

// --- printing ----------------------------------------------------------------------

// Measures the fonts on the printer's canvas, lays the report out and draws
// it, calling the printer's NewPage between pages. The printer is between
// BeginDoc and EndDoc.
void PrintBalancingReport(gui::TPrinter& printer, const TReportContent& content);
// Draws one laid-out page onto a canvas.
void DrawReportSheet(gui::TCanvas& canvas, const TReportSheet& sheet, int pixelsY);
