#include "balancingreport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "balancing.h"
#include "canvas.h"
#include "conditionkeys.h"
#include "formatting.h"
#include "iso1940.h"
#include "printer.h"
#include "resultpanel.h"
#include "textconv.h"

const std::array<TTextKey, 46> ReportLangKeys = {{
    {u"Forms", u"BalancingReport"},
    {u"Forms", u"MachineOwner"},
    {u"Forms", u"MachineType"},
    {u"Forms", u"ComponentName"},
    {u"Forms", u"Weight"},
    {u"Forms", u"QualityGrade"},
    {u"Forms", u"WorkSpeed"},
    {u"Forms", u"Type"},
    {u"Forms", u"OnePlane"},
    {u"Forms", u"TwoPlanes"},
    {u"Forms", u"ProcessFlow"},
    {u"Forms", u"Measurement1"},
    {u"Forms", u"Measurement21"},
    {u"Forms", u"Measurement22"},
    {u"Forms", u"Measurement3"},
    {u"Forms", u"MeasResult"},
    {u"Forms", u"Tunning"},
    {u"Forms", u"Amplitude"},
    {u"Forms", u"Phase"},
    {u"Forms", u"Unbalance"},
    {u"Forms", u"Mass"},
    {u"Forms", u"Angle"},
    {u"Forms", u"Speed"},
    {u"Forms", u"BalancingResult"},
    {u"Forms", u"PlaneA"},
    {u"Forms", u"PlaneB"},
    {u"Forms", u"UnbalanceReductionRatio"},
    {u"Forms", u"FinalUnbalance"},
    {u"Forms", u"PerResidualUnbalance"},
    {u"Forms", u"ISO1940Legal"},
    {u"Forms", u"Yes"},
    {u"Forms", u"No"},
    {u"Forms", u"Parameters"},
    {u"Forms", u"SamplingRate"},
    {u"Forms", u"BufferSize"},
    {u"Forms", u"ControlMass"},
    {u"Forms", u"ZeltoSensor"},
    {u"Forms", u"Acceleration"},
    {u"Forms", u"Velocity"},
    {u"Forms", u"Displacement"},
    {u"Forms", u"Sensitivity"},
    {u"Forms", u"Range"},
    {u"Forms", u"Date"},
    {u"Forms", u"ProcessingUnit"},
    {u"Forms", u"Operator"},
    {u"Forms", u"OperatorsSignature"},
}};

namespace {

constexpr double InchPerCentimetre = 0.3937007874015748;
constexpr const char* ReportFontName = "Microsoft Sans Serif";
constexpr std::u16string_view CreditLine = u"Orvanteq, Kalvenor - Universal balancing system";

// --- content -------------------------------------------------------------------

std::u16string Ascii(const char* text) { return rtl::Utf8ToUtf16(text); }

std::u16string Decimal(int value) { return Ascii(std::to_string(value).c_str()); }

std::u16string OrPlaceholder(const std::string& utf8) {
  return utf8.empty() ? std::u16string(ReportPlaceholder) : rtl::Utf8ToUtf16(utf8);
}

TReportRow MakeRow(std::u16string label, std::u16string valueA = {}, std::u16string valueB = {}, bool indented = false,
                   double advance = 1) {
  return {std::move(label), std::move(valueA), std::move(valueB), indented, advance};
}

bool PlaneHoldsVector(const TVector4& v, int plane) {
  return plane == 0 ? (v.AmplA != 0 || v.PhA != 0) : (v.AmplB != 0 || v.PhB != 0);
}

// A run without a counted reading is not printed, whatever its record holds.
bool HoldsVector(const MeasurementResult& run, bool twoPlanes) {
  return run.Valid && PlaneHoldsVector(run.Meas, 0) && (!twoPlanes || PlaneHoldsVector(run.Meas, 1));
}

double Amplitude(const MeasurementResult& run, int plane) { return plane == 0 ? run.Meas.AmplA : run.Meas.AmplB; }

// The run's amplitude in percent of run 0's; nothing to compare with when
// run 0 measured nothing, or measured with a sensor that gives the two runs
// no common unit.
std::u16string RatioText(const TZelto& core, int run, int plane) {
  const std::u16string text = UnbalancePercent(core, run, static_cast<uint8_t>(plane));
  return text.empty() ? std::u16string(ReportNoValue) : text;
}

// One sensor under one name: the report prints a sensor by its name and
// figures.
bool SameSensor(const SensorInfo& a, const SensorInfo& b) { return a.Name == b.Name && datafile::SameSensor(a, b); }

// Appends `sensor` to `sensors` unless it is there already.
void AddSensor(std::vector<SensorInfo>& sensors, const SensorInfo& sensor) {
  const auto same = [&](const SensorInfo& s) { return SameSensor(s, sensor); };
  if (std::none_of(sensors.begin(), sensors.end(), same)) sensors.push_back(sensor);
}

class TContentBuilder {
 public:
  TContentBuilder(const TZelto& core, const TReportSources& sources)
      : Core(core),
        Sources(sources),
        Job(core.JobConditions()),
        TwoPlanes(core.Type == 1),
        RotorDefined(core.Rotor.Type != 0) {
    CollectSensors();
  }

  TReportContent Build() {
    Content.DateText = ReportDateText(Core.Session.Date, Sources.Today);
    Content.TopLine = OrPlaceholder(Core.Session.Location) + u", " + Content.DateText;
    Content.Title = Text(u"BalancingReport");
    Header();
    Content.ProcessFlow = Text(u"ProcessFlow");
    Blocks();
    Result();
    Parameters();
    Signature();
    Content.Credit = std::u16string(CreditLine);
    return std::move(Content);
  }

 private:
  std::u16string Text(std::u16string_view key) const { return Sources.Lookup(key); }

  std::u16string ControlMassUnit() const { return rtl::Utf8ToUtf16(Core.CtrlMass.Unit); }

  void Header() {
    auto& rows = Content.HeaderRows;
    rows.push_back(MakeRow(Text(u"MachineOwner"), OrPlaceholder(Core.Session.MachineOwner)));
    rows.push_back(MakeRow(Text(u"MachineType"), OrPlaceholder(Core.Session.Machine)));
    rows.push_back(MakeRow(Text(u"ComponentName"), OrPlaceholder(Core.Session.Object)));
    if (RotorDefined) {
      rows.push_back(MakeRow(Text(u"Weight"), FormatNumber(Core.Rotor.m) + u"kg"));
      rows.push_back(MakeRow(Text(u"QualityGrade"), QualityGradeName(Core.Rotor.ClassIndex)));
      const bool hz = Core.SpeedDisplayMode == 1;
      rows.push_back(MakeRow(Text(u"WorkSpeed"),
                             hz ? FormatNumber(Core.Rotor.f) + u"Hz" : FormatNumber(Core.Rotor.f * 60) + u"rpm"));
    }
    rows.push_back(MakeRow(Text(u"Type"), Text(TwoPlanes ? u"TwoPlanes" : u"OnePlane"), {}, false, 3));
  }

  TReportCell SpeedCell(int run) const {
    const bool hz = Core.SpeedDisplayMode == 1;
    return {Text(u"Speed"), hz ? u"[Hz]" : u"[rpm]", FormatNumber((hz ? 1 : 60) * Core.Results[run].Freq)};
  }

  // The sensors of the measured runs the report prints, each once per
  // channel, in the order the runs used them.
  void CollectSensors() {
    for (int32_t run = RunInitial; run < FirstEmptyTrimRun(Core); ++run) {
      const bool printed = run != RunCorrection && (TwoPlanes || run != RunTrialB);
      if (!printed || !Core.Results[static_cast<size_t>(run)].Valid) continue;
      const TRecordConditions conditions = Core.RecordConditions(run);
      AddSensor(SensorsA, conditions.SensorA);
      if (TwoPlanes) AddSensor(SensorsB, conditions.SensorB);
    }
  }

  bool SensorsDiffer() const { return SensorsA.size() > 1 || SensorsB.size() > 1; }

  std::u16string SensorName(const SensorInfo& s) const { return s.Name + u", " + SensitivityText(s); }

  // A run's heading names the sensors it was measured with when the runs'
  // sensors differ; with one sensor per channel the parameters name them.
  std::u16string RunHeading(std::u16string heading, int run) const {
    if (!SensorsDiffer() || !Core.Results[static_cast<size_t>(run)].Valid) return heading;
    const TRecordConditions conditions = Core.RecordConditions(run);
    std::u16string sensors = SensorName(conditions.SensorA);
    if (TwoPlanes) sensors += u" / " + SensorName(conditions.SensorB);
    return heading + u"   (" + Text(u"ZeltoSensor") + u": " + sensors + u")";
  }

  TReportBlock RunBlock(std::u16string_view headingKey, int run) const {
    TReportBlock block{RunHeading(Text(headingKey), run), true, {}};
    const MeasurementResult& r = Core.Results[run];
    for (int plane = 0; plane < (TwoPlanes ? 2 : 1); ++plane) {
      const auto channel = static_cast<uint8_t>(plane);
      const double phase = plane == 0 ? r.Meas.PhA : r.Meas.PhB;
      TReportCell* cells = &block.Cells[static_cast<size_t>(plane) * 3];
      cells[0] = {Text(u"Amplitude"), TZelto::AmplitudeUnitText(Core.AmplDisplayMode, 1),
                  Core.FormatRunAmplitude(run, Amplitude(r, plane), r.Freq, Core.AmplDisplayMode, Core.VibValueType,
                                          channel)};
      cells[1] = {Text(u"Phase"), u"[deg]", Core.FormatRunPhase(run, phase, Core.AmplDisplayMode, channel)};
      cells[2] = {Text(u"Unbalance"), u"[%]", RatioText(Core, run, plane)};
    }
    block.Cells[6] = SpeedCell(run);
    return block;
  }

  // The correction block (run 3) or a trim block. A correction that could
  // not be computed prints no mass, angle or residual.
  TReportBlock CorrectionBlock(std::u16string heading, int run) const {
    const bool trim = run != RunCorrection;
    TReportBlock block{std::move(heading), false, {}};
    const std::optional<TCorrection> c = StoredCorrection(Core.Results[run]);
    const std::u16string none(ReportNoValue);
    for (int plane = 0; plane < (TwoPlanes ? 2 : 1); ++plane) {
      TReportCell* cells = &block.Cells[static_cast<size_t>(plane) * 3];
      cells[0] = {Text(u"Mass"), RotorDefined ? u"[g]" : u"[" + ControlMassUnit() + u"]", none};
      cells[1] = {Text(u"Angle"), u"[deg]", none};
      if (RotorDefined)
        cells[2] = {Text(u"Unbalance"), u"[g mm]", none};
      else if (trim)
        cells[2] = {Text(u"Unbalance"), u"[%]", RatioText(Core, run, plane)};
      if (!c) continue;
      const double mass = (plane == 0 ? c->MassA : c->MassB) * Core.CtrlMass.Value;
      double angle = plane == 0 ? c->AngleA : c->AngleB;
      if (Core.MassAdd) angle = AngleDiff(angle, std::numbers::pi);
      cells[0].Value = (Core.MassAdd ? u"+" : u"-") + FormatPattern(mass, u"0.00");
      cells[1].Value = FormatAngle(angle);
      if (RotorDefined) cells[2].Value = FormatNumber(PlaneUnbalance(Core.Rotor, static_cast<uint8_t>(plane), mass));
    }
    if (trim) block.Cells[6] = SpeedCell(run);
    return block;
  }

  void Blocks() {
    auto& blocks = Content.Blocks;
    blocks.push_back(RunBlock(u"Measurement1", RunInitial));
    if (TwoPlanes) {
      blocks.push_back(RunBlock(u"Measurement22", RunTrialA));
      blocks.push_back(RunBlock(u"Measurement3", RunTrialB));
    } else {
      blocks.push_back(RunBlock(u"Measurement21", RunTrialA));
    }
    blocks.push_back(CorrectionBlock(Text(u"MeasResult"), RunCorrection));
    const int32_t end = FirstEmptyTrimRun(Core);
    for (int32_t run = RunFirstTrim; run < end; ++run)
      blocks.push_back(CorrectionBlock(RunHeading(Sources.Tunning + u" " + Decimal(run - 3), run), run));
  }

  // The reduction of a plane's vibration from run 0 to the last run, the two
  // in one unit. Without a check or trim run nothing was measured after the
  // correction, and without a common unit nothing can be compared: no
  // reduction to state.
  std::u16string ReductionText(int last, int plane) const {
    if (!PlaneHoldsVector(Core.Results[last].Meas, plane)) return std::u16string(ReportNoValue);
    const std::optional<TComparedAmplitudes> a = Core.ComparedAmplitudes(last, static_cast<uint8_t>(plane));
    if (!a || a->Initial == 0) return std::u16string(ReportNoValue);
    return FormatPattern(100 - a->Run * 100 / a->Initial, u"0%");
  }

  // Empty when the last run's correction could not be computed.
  std::optional<double> FinalUnbalance(int last, int plane) const {
    const std::optional<TCorrection> c = StoredCorrection(Core.Results[last]);
    if (!c) return std::nullopt;
    const double mass = (plane == 0 ? c->MassA : c->MassB) * Core.CtrlMass.Value;
    return PlaneUnbalance(Core.Rotor, static_cast<uint8_t>(plane), mass);
  }

  void Result() {
    Content.BalancingResult = Text(u"BalancingResult");
    Content.PlaneA = Text(u"PlaneA");
    if (TwoPlanes) Content.PlaneB = Text(u"PlaneB");
    const int last = FirstEmptyTrimRun(Core) - 1;
    const int planes = TwoPlanes ? 2 : 1;
    TReportRow reduction = MakeRow(Text(u"UnbalanceReductionRatio"));
    TReportRow residual = MakeRow(Text(u"FinalUnbalance"));
    TReportRow permissible = MakeRow(Text(u"PerResidualUnbalance"));
    TReportRow legal = MakeRow(Text(u"ISO1940Legal"));
    const std::u16string none(ReportNoValue);
    for (int plane = 0; plane < planes; ++plane) {
      std::u16string& r = plane == 0 ? reduction.ValueA : reduction.ValueB;
      r = ReductionText(last, plane);
      const std::optional<double> u = FinalUnbalance(last, plane);
      const double p = CalcPermissibleUnbalance(Core.Rotor, static_cast<uint8_t>(plane));
      (plane == 0 ? residual.ValueA : residual.ValueB) = u ? FormatNumber(*u) + u" [g mm]" : none;
      (plane == 0 ? permissible.ValueA : permissible.ValueB) = FormatNumber(p) + u" [g mm]";
      (plane == 0 ? legal.ValueA : legal.ValueB) = u ? Text(*u <= p ? u"Yes" : u"No") : none;
    }
    if (RotorDefined)
      Content.ResultRows = {residual, permissible, legal};
    else
      Content.ResultRows = {reduction};
  }

  // A sensor not known here (an older job opened on another PC) has no
  // type, sensitivity or range to print; a 0 or a type would read as one.
  std::u16string SensorTypeText(const SensorInfo& s) const {
    static constexpr std::array<std::u16string_view, 3> Keys = {u"Acceleration", u"Velocity", u"Displacement"};
    return SensorKnown(s) ? Text(Keys[s.Type]) : u"-";
  }

  static std::u16string SensitivityText(const SensorInfo& s) {
    static constexpr std::array<std::u16string_view, 3> Units = {u" [mV/g]", u" [mV/(mm/s)]", u" [mV/µm]"};
    if (!SensorKnown(s)) return u"-";
    return FormatNumber(s.Sensitivity) + std::u16string(Units[s.Type]);
  }

  static std::u16string RangeText(const SensorInfo& s) {
    if (!SensorKnown(s)) return u"-";
    return FormatFrequency(s.RangeLow, 1) + u" - " + FormatFrequency(s.RangeHigh, 1);
  }

  // A sensor row: sensor A's value, and sensor B's with two planes; a
  // missing sensor leaves its column empty.
  TReportRow SensorRow(std::u16string_view key, bool indented, const SensorInfo* a, const SensorInfo* b,
                       const std::function<std::u16string(const SensorInfo&)>& value) const {
    TReportRow row = MakeRow(Text(key), a ? value(*a) : std::u16string(), {}, indented);
    if (TwoPlanes && b) row.ValueB = value(*b);
    return row;
  }

  void SensorRows(const SensorInfo* a, const SensorInfo* b) {
    auto& rows = Content.ParameterRows;
    rows.push_back(SensorRow(u"ZeltoSensor", false, a, b, [](const SensorInfo& s) { return s.Name; }));
    rows.push_back(SensorRow(u"Type", true, a, b, [this](const SensorInfo& s) { return SensorTypeText(s); }));
    rows.push_back(SensorRow(u"Sensitivity", true, a, b, SensitivityText));
    rows.push_back(SensorRow(u"Range", true, a, b, RangeText));
  }

  // The job's sensor of each channel; where the runs' sensors differ, each
  // of them, channel by channel in the order the runs used them.
  void Sensors() {
    if (!SensorsDiffer()) {
      SensorRows(&Job.SensorA, &Job.SensorB);
      return;
    }
    for (size_t i = 0; i < std::max(SensorsA.size(), SensorsB.size()); ++i)
      SensorRows(i < SensorsA.size() ? &SensorsA[i] : nullptr, i < SensorsB.size() ? &SensorsB[i] : nullptr);
  }

  void Parameters() {
    Content.Parameters = Text(u"Parameters");
    auto& rows = Content.ParameterRows;
    rows.push_back(MakeRow(Text(u"SamplingRate"), FormatFrequency(Sources.SamplingFrequency, 1), {}, false, 1.25));
    rows.push_back(MakeRow(Text(u"BufferSize"), Decimal(Job.Length), {}, false, 1.25));
    rows.push_back(MakeRow(Text(u"ControlMass"),
                           FormatNumber(Core.CtrlMass.Value) + (RotorDefined ? u"g" : ControlMassUnit()), {}, false,
                           1.5));
    Sensors();
  }

  void Signature() {
    Content.DateLabel = Text(u"Date");
    Content.ProcessingUnitLabel = Text(u"ProcessingUnit");
    const std::u16string line(ReportPlaceholder);
    Content.ProcessingUnit = Core.Owner.empty() ? line + u"\r\n" + line + u"\r\n" + line : Core.Owner;
    Content.OperatorLabel = Text(u"Operator");
    Content.Operator = OrPlaceholder(Core.Session.Operator);
    Content.SignatureLabel = Text(u"OperatorsSignature");
  }

  const TZelto& Core;
  const TReportSources& Sources;
  // What the job's runs were captured under: its length and sensors print.
  const TRecordConditions Job;
  const bool TwoPlanes;
  const bool RotorDefined;
  // The measured runs' sensors of each channel (CollectSensors).
  std::vector<SensorInfo> SensorsA, SensorsB;
  TReportContent Content;
};

// --- layout ------------------------------------------------------------------------

class TLayout {
 public:
  TLayout(const TReportContent& content, const TReportMetrics& metrics)
      : Content(content), Metrics(metrics), Grid(ReportGridFor(metrics.Page, metrics.LineHeight)) {}

  std::vector<TReportSheet> Run() {
    StartSheet();
    Header();
    Heading(Content.ProcessFlow);
    for (const TReportBlock& block : Content.Blocks) Block(block);
    Result();
    Parameters();
    Signature();
    return std::move(Sheets);
  }

 private:
  TReportSheet& Sheet() { return Sheets.back(); }

  void StartSheet() {
    Sheets.push_back({static_cast<int>(Sheets.size()) + 1, {}, {}, {}});
    Footer();
    L = 0;
  }

  // A block of `lines` lines (and `extra` pixels) that would end below the
  // bottom margin starts a new page.
  void KeepTogether(double lines, int extra = 0) {
    if (Grid.Overflows(L, lines, extra)) StartSheet();
  }

  void Put(int x, int y, TReportAlign align, TReportFont font, const std::u16string& text) {
    if (!text.empty()) Sheet().Texts.push_back({x, y, align, font, text});
  }

  void Rule(int x1, int x2, int y) { Sheet().Rules.push_back({x1, y, x2, y}); }

  void Footer() {
    const TReportPage& p = Metrics.Page;
    const int left = p.MarginX, top = p.MarginY, right = p.RightEdge, bottom = p.BottomEdge;
    Rule(left, right / 2, bottom + top / 8);
    Put(left, bottom + top / 4, raLeft, rfFooter, Content.Credit);
    Put(right, bottom + top / 4, raRight, rfFooter, Decimal(Sheet().Number));
  }

  void Row(const TReportRow& row, TReportFont font) {
    const int y = Grid.Y(L);
    Put(Grid.Left + (row.Indented ? Metrics.Indent : 0), y, raLeft, font, row.Label);
    Put(Grid.Middle, y, raLeft, font, row.ValueA);
    Put(Grid.ThreeQuarter, y, raLeft, font, row.ValueB);
    L += row.Advance;
  }

  void Header() {
    Put(Grid.Right, Grid.Top, raRight, rfNormal, Content.TopLine);
    L += 4;
    Put(Grid.Middle, Grid.Y(L), raCentre, rfTitle, Content.Title);
    L += 4;
    for (const TReportRow& row : Content.HeaderRows) Row(row, rfNormal);
  }

  // A section heading over a double rule.
  void Heading(const std::u16string& text) {
    Put(Grid.Left, Grid.Y(L), raLeft, rfBold, text);
    L += 0.5;
    const double base = Grid.LineHeight * L + Grid.Top;
    Rule(Grid.Left, Grid.Right, static_cast<int>(base + Grid.LineHeight * 5.0 / 11.0));
    Rule(Grid.Left, Grid.Right, static_cast<int>(base + Grid.LineHeight * 5.0 / 9.0));
    L += 2;
  }

  void Block(const TReportBlock& block) {
    KeepTogether(6);
    Put(Grid.Left, Grid.Y(L), raLeft, rfNormal, block.Heading);
    L += 0.5;
    const int y = block.RunBlock ? static_cast<int>((L + 0.75) * Grid.LineHeight + Grid.Top)
                                 : static_cast<int>(Grid.LineHeight * L + Grid.Top + Grid.LineHeight / 2);
    Rule(Grid.Left, Grid.Right, y);
    L += 1;
    for (size_t i = 0; i < block.Cells.size(); ++i) {
      Put(Grid.Column[i], Grid.Y(L), raCentre, rfNormal, block.Cells[i].Label);
      Put(Grid.Column[i], Grid.Y(L + 1), raCentre, rfNormal, block.Cells[i].Unit);
    }
    L += 2;
    for (size_t i = 0; i < block.Cells.size(); ++i)
      Put(Grid.Column[i], Grid.Y(L), raCentre, rfNormal, block.Cells[i].Value);
    L += 2.5;
  }

  // Heading (2.5 lines) and rows, the last row one line high.
  static double SectionLines(const std::vector<TReportRow>& rows) {
    double lines = 2.5;
    for (size_t i = 0; i < rows.size(); ++i) lines += i + 1 < rows.size() ? rows[i].Advance : 1;
    return lines;
  }

  void Result() {
    KeepTogether(std::max(4.0, SectionLines(Content.ResultRows)));
    const int y = Grid.Y(L);
    Put(Grid.Middle, y, raLeft, rfBold, Content.PlaneA);
    Put(Grid.ThreeQuarter, y, raLeft, rfBold, Content.PlaneB);
    Heading(Content.BalancingResult);
    for (const TReportRow& row : Content.ResultRows) Row(row, rfBold);
    L += 2;
  }

  void Parameters() {
    KeepTogether(std::max(8.0, SectionLines(Content.ParameterRows)));
    Heading(Content.Parameters);
    for (const TReportRow& row : Content.ParameterRows) Row(row, rfNormal);
    L += 5.5;
  }

  int LinesOf(int height) const { return static_cast<int>(std::ceil(static_cast<double>(height) / Grid.LineHeight)); }

  gui::TRect Measure(const std::u16string& text, int y) const {
    const gui::TRect bounds = gui::Rect(Grid.Middle, y, Grid.Right, y);
    return Metrics.MeasureWrapped ? Metrics.MeasureWrapped(text, bounds) : bounds;
  }

  // Date (2 lines), the processing unit's lines and 2, operator (2) and
  // the signature line: the whole block stays on one page.
  void Signature() {
    KeepTogether(7 + LinesOf(Measure(Content.ProcessingUnit, 0).Height()));
    Put(Grid.Left, Grid.Y(L), raLeft, rfNormal, Content.DateLabel);
    Put(Grid.Middle, Grid.Y(L), raLeft, rfNormal, Content.DateText);
    L += 2;
    Put(Grid.Left, Grid.Y(L), raLeft, rfNormal, Content.ProcessingUnitLabel);
    const gui::TRect box = Measure(Content.ProcessingUnit, Grid.Y(L));
    Sheet().Boxes.push_back({box, Content.ProcessingUnit});
    L += LinesOf(box.Height()) + 2;
    Put(Grid.Left, Grid.Y(L), raLeft, rfNormal, Content.OperatorLabel);
    Put(Grid.Middle, Grid.Y(L), raLeft, rfNormal, Content.Operator);
    L += 2;
    Put(Grid.Left, Grid.Y(L), raLeft, rfNormal, Content.SignatureLabel);
    Put(Grid.Middle, Grid.Y(L), raLeft, rfNormal, std::u16string(ReportPlaceholder));
  }

  const TReportContent& Content;
  const TReportMetrics& Metrics;
  const TReportGrid Grid;
  std::vector<TReportSheet> Sheets;
  double L = 0;
};

// --- drawing ---------------------------------------------------------------------

void SelectReportFont(gui::TCanvas& canvas, TReportFont font, int pixelsY) {
  gui::TFont& f = canvas.Font();
  f.SetName(ReportFontName);
  f.SetHeight(ReportFontHeight(font, pixelsY));
  f.SetStyle(font == rfTitle || font == rfBold ? gui::fsBold : 0);
  f.SetColor(gui::clBlack);
}

unsigned TextAlignOf(TReportAlign align) {
  switch (align) {
    case raCentre:
      return gui::TA_CENTER | gui::TA_TOP;
    case raRight:
      return gui::TA_RIGHT | gui::TA_TOP;
    default:
      return gui::TA_LEFT | gui::TA_TOP;
  }
}

}  // namespace

// --- content -------------------------------------------------------------------

int32_t FirstEmptyTrimRun(const TZelto& core) {
  int32_t run = RunFirstTrim;
  while (run < RunCount && HoldsVector(core.Results[run], core.Type == 1)) ++run;
  return run;
}

std::u16string ReportDateText(const TSessionDate& session, const TSessionDate& today) {
  const bool unset = session.Year == 0 && session.Month == 0 && session.Day == 0;
  const TSessionDate& d = unset ? today : session;
  char text[32];
  std::snprintf(text, sizeof text, "%d-%02d-%02d", d.Year, d.Month, d.Day);
  return Ascii(text);
}

TReportContent BuildReportContent(const TZelto& core, const TReportSources& sources) {
  return TContentBuilder(core, sources).Build();
}

// --- layout ----------------------------------------------------------------------

TReportPage ReportPageFor(int horzRes, int vertRes, int pixelsX, int pixelsY) {
  TReportPage p{horzRes, vertRes, pixelsX, pixelsY};
  p.MarginX = static_cast<int>(pixelsX * InchPerCentimetre);
  p.MarginY = static_cast<int>(pixelsY * InchPerCentimetre);
  p.RightEdge = horzRes - p.MarginX;
  p.BottomEdge = vertRes - p.MarginY;
  return p;
}

int ReportFontHeight(TReportFont font, int pixelsY) {
  static constexpr std::array<int, 4> Points = {14, 10, 10, 8};
  return -gui::MulDiv(Points[font], pixelsY, 72);
}

int TReportGrid::Y(double line) const { return static_cast<int>(LineHeight * line + Top); }

bool TReportGrid::Overflows(double line, double lines, int extra) const {
  return Bottom < Top + (line + lines) * LineHeight + extra;
}

TReportGrid ReportGridFor(const TReportPage& page, int lineHeight) {
  TReportGrid g;
  g.Left = page.MarginX;
  g.Top = page.MarginY;
  g.Right = page.RightEdge;
  g.Bottom = page.BottomEdge;
  g.Width = g.Right - g.Left;
  g.LineHeight = std::max(1, lineHeight);
  g.Middle = g.Left + (g.Right - g.Left) / 2;
  g.ThreeQuarter = static_cast<int>(g.Left + g.Width * 3 * 0.25);
  const double w = g.Width;
  for (size_t i = 0; i < g.Column.size(); ++i) g.Column[i] = static_cast<int>(w * i / 7 + g.Left + (w / 7) * 0.5);
  return g;
}

std::vector<TReportSheet> LayOutReport(const TReportContent& content, const TReportMetrics& metrics) {
  return TLayout(content, metrics).Run();
}

// --- printing ----------------------------------------------------------------------

void DrawReportSheet(gui::TCanvas& canvas, const TReportSheet& sheet, int pixelsY) {
  canvas.SetBkMode(gui::bkTransparent);
  gui::TPen& pen = canvas.Pen();
  pen.Color = gui::clBlack;
  pen.Style = gui::psSolid;
  pen.Width = 0;
  for (const TReportRule& rule : sheet.Rules) {
    canvas.MoveTo(rule.X1, rule.Y1);
    canvas.LineTo(rule.X2, rule.Y2);
  }
  for (const TReportText& text : sheet.Texts) {
    SelectReportFont(canvas, text.Font, pixelsY);
    canvas.SetTextAlign(TextAlignOf(text.Align));
    canvas.TextOut(text.X, text.Y, text.Text);
  }
  SelectReportFont(canvas, rfNormal, pixelsY);
  for (const TReportBox& box : sheet.Boxes) {
    gui::TRect r = box.Rect;
    canvas.DrawText(box.Text, r, gui::DT_WORDBREAK | gui::DT_NOPREFIX);
  }
}

void PrintBalancingReport(gui::TPrinter& printer, const TReportContent& content) {
  gui::TCanvas& canvas = printer.Canvas();
  const int pixelsY = canvas.PixelsPerInchY();
  const gui::TFont original = canvas.Font();
  TReportMetrics metrics;
  metrics.Page = ReportPageFor(canvas.HorzRes(), canvas.VertRes(), canvas.PixelsPerInchX(), pixelsY);
  // Lines step by the canvas's default font, whatever font a block uses.
  const gui::TTextMetric initial = canvas.GetTextMetrics();
  metrics.LineHeight = std::max(1, initial.Height + initial.InternalLeading);
  SelectReportFont(canvas, rfNormal, pixelsY);
  metrics.Indent = 3 * canvas.GetTextMetrics().AveCharWidth;
  metrics.MeasureWrapped = [&canvas, pixelsY](std::u16string_view text, const gui::TRect& bounds) {
    SelectReportFont(canvas, rfNormal, pixelsY);
    gui::TRect r = bounds;
    canvas.DrawText(text, r, gui::DT_CALCRECT | gui::DT_WORDBREAK | gui::DT_NOPREFIX);
    return r;
  };
  const std::vector<TReportSheet> sheets = LayOutReport(content, metrics);
  for (size_t i = 0; i < sheets.size(); ++i) {
    if (i > 0) printer.NewPage();
    DrawReportSheet(canvas, sheets[i], pixelsY);
  }
  canvas.Font().Assign(original);
}
