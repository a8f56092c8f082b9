#include "viewprint.h"

#include <stdexcept>

#include "bitmapbutton.h"
#include "form.h"
#include "formatting.h"
#include "printer.h"
#include "textconv.h"
#include "viewpopup.h"
#include "viewworkspace.h"
#include "zelto.h"

const std::vector<TTextKey> PrintLangKeys = {
    {u"Forms", u"ChannelA"},     {u"Forms", u"ChannelB"},   {u"Forms", u"AsyncAnalysis"},
    {u"Forms", u"SamplingRate"}, {u"Forms", u"BufferSize"}, {u"Forms", u"Gain"},
    {u"Forms", u"Spectrum"},
};

namespace {

enum TPrintText : size_t {
  ptChannelA,
  ptChannelB,
  ptAsyncAnalysis,
  ptSamplingRate,
  ptBufferSize,
  ptGain,
  ptSpectrum
};

// Every text of a page passes through a buffer of 199 characters.
constexpr size_t PageTextLimit = 199;

std::u16string Limit(std::u16string text) {
  if (text.size() > PageTextLimit) text.resize(PageTextLimit);
  return text;
}

std::u16string Text(TPrintText text) { return Limit(LangText(PrintLangKeys[text]).Text); }

// A page shows one input channel's signal, whichever plane its sensor
// watches, so it is named by the channel in balancing runs too.
std::u16string ChannelName(int channel) { return Text(channel == 1 ? ptChannelA : ptChannelB); }

void SelectPageFont(gui::TCanvas& c, int points, bool bold) {
  gui::TFont& f = c.Font();
  f.SetName("Microsoft Sans Serif");
  f.SetHeight(-gui::MulDiv(points, c.PixelsPerInchY(), 72));
  f.SetStyle(bold ? gui::fsBold : 0);
  f.SetColor(gui::clBlack);
}

void TextAt(gui::TCanvas& c, gui::TPoint p, unsigned align, const std::u16string& text) {
  c.SetTextAlign(align);
  c.TextOut(p.x, p.y, Limit(text));
}

void PaintTitle(gui::TCanvas& c, const TPageMetrics& m, int channel, TViewWorkspace& workspace) {
  SelectPageFont(c, 12, true);
  const bool async = TheCore && TheCore->AsyncMode;
  TextAt(c, TitlePoint(m), gui::TA_CENTER | gui::TA_TOP,
         async ? Text(ptAsyncAnalysis) : workspace.CurrentOperationCaption());
  if (TheCore && TheCore->Type == 1) TextAt(c, ChannelNamePoint(m), gui::TA_RIGHT | gui::TA_TOP, ChannelName(channel));
}

void PaintSettings(gui::TCanvas& c, const TPageMetrics& m, int channel, const TPrintPage& page) {
  SelectPageFont(c, 10, false);
  const uint8_t ch = channel == 1 ? 0 : 1;
  // The page states what the record was captured under.
  const TRecordConditions conditions = TheCore ? TheCore->ShownConditions() : TRecordConditions{};
  const double range = ConvertAmplitude(conditions.Sensor(ch), conditions.Range(ch), 0.0, 0);
  const auto line = [&](int i, TPrintText label, const std::u16string& value) {
    TextAt(c, SettingsLabelPoint(m, i), gui::TA_LEFT | gui::TA_TOP, Text(label) + u":");
    TextAt(c, SettingsValuePoint(m, i), gui::TA_LEFT | gui::TA_TOP, value);
  };
  line(0, ptSamplingRate, FormatFrequency(conditions.SampleRate, 1));
  const std::string length = std::to_string(conditions.Length);
  line(1, ptBufferSize, std::u16string(length.begin(), length.end()));
  line(2, ptGain, FormatVoltage(range, 1));
  if (page.Spectrum) line(3, ptSpectrum, page.SpectrumLine);
}

void PaintGrid(gui::TCanvas& c, const TPageMetrics& m, const TPrintPage& page) {
  c.Brush() = {gui::clWhite, gui::bsSolid};
  c.Pen() = {gui::clBlack, 0, gui::psSolid};
  for (const TPrintBox& box : page.Spectrum ? SpectrumPrintGrid(m) : TimePrintGrid(m)) {
    c.Rectangle(box.Box);
    gui::TRect r = box.Box;
    const std::u16string text = box.Cell == pcCursorLetters ? u"X Y" : page.Caption(box.Cell);
    c.DrawText(Limit(text), r, gui::DT_CENTER | gui::DT_VCENTER | gui::DT_SINGLELINE | gui::DT_NOPREFIX);
  }
}

void PaintFooter(gui::TCanvas& c, const TPageMetrics& m) {
  const TFooterLayout f = FooterLayout(m);
  c.Pen() = {gui::clBlack, 0, gui::psSolid};
  c.MoveTo(f.RuleFrom.x, f.RuleFrom.y);
  c.LineTo(f.RuleTo.x, f.RuleTo.y);
  SelectPageFont(c, 8, false);
  TextAt(c, f.Text, gui::TA_LEFT | gui::TA_BOTTOM, PrintCreditLine);
}

}  // namespace

std::u16string PrintTitle(bool spectrum, bool twoChannels, int channel) {
  std::u16string title = spectrum ? u"Kalvenor FFT Print" : u"Kalvenor Analog Print";
  if (twoChannels) title += channel == 1 ? u" (A)" : u" (B)";
  return title;
}

void PaintViewPage(gui::TCanvas& printer, int channel, const TPrintPage& page, TViewWorkspace& workspace) {
  const gui::TTextMetric tm = printer.GetTextMetrics();
  const TPageMetrics m = PageMetrics(printer.HorzRes(), printer.VertRes(), printer.PixelsPerInchX(),
                                     printer.PixelsPerInchY(), tm.Height + tm.InternalLeading);
  printer.SetBkMode(gui::bkTransparent);
  PaintTitle(printer, m, channel, workspace);
  page.PrintPlot(channel, printer, PrintPlotArea(m));
  PaintSettings(printer, m, channel, page);
  printer.SetBkMode(gui::bkTransparent);
  PaintGrid(printer, m, page);
  PaintFooter(printer, m);
}

void RunPrintCommand(gui::TForm& window, TBitmapButton* button, TViewWorkspace& workspace, bool spectrum,
                     const std::function<void(gui::TCanvas& printer, int channel)>& paint) {
  const bool two = TheCore && TheCore->Type == 1;
  int channel = 1;
  if (two) channel = PopupBelow(&window, button, {{ChannelName(1)}, {ChannelName(2)}}, 0);
  if (channel == 0 || !workspace.ExecutePrintDialog(&window)) return;
  gui::TPrinter& printer = gui::Printer();
  printer.SetTitle(PrintTitle(spectrum, two, channel));
  printer.SetOrientation(gui::poLandscape);
  // The application shows a failure (a file that could not be written, and
  // why); the log keeps it.
  try {
    printer.BeginDoc();
    try {
      paint(printer.Canvas(), channel);
    } catch (...) {
      printer.Abort();
      throw;
    }
    printer.EndDoc();
  } catch (const std::exception& error) {
    workspace.WriteLogNote(rtl::Utf8ToUtf16(error.what()));
    throw;
  }
}
