// A measured record is shown, printed and stored with the conditions it was
// captured under: opened with another device model, after a range or sensor
// change, on a PC whose sensor list lacks or differs, longer than this
// device's memory, or from a file written before the conditions were kept.
// Through the workspace, its oscilloscope and spectrum windows, the result
// panel, the report and Open, with scripted answers.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <utility>

#include "balancingreport.h"
#include "bitmapbutton.h"
#include "dialogs.h"
#include "folders.h"
#include "formmessage.h"
#include "formatting.h"
#include "formlog.h"
#include "image.h"
#include "labelex.h"
#include "languageservice.h"
#include "messageanswer.h"
#include "polardiagram.h"
#include "resultpanel.h"
#include "sessioncommands.h"
#include "sessionmenuscript.h"
#include "spectrumthread.h"
#include "textconv.h"
#include "viewsfixture.h"
#include "viewwindows.h"
#include "xmlinifile.h"

namespace viewstest {

namespace {

namespace fs = std::filesystem;

// The FTDI model's tables: full scale 2048, ranges 1000/500/250 mV. The
// fixture's own tables are those of the FX2, network and demo models.
const std::vector<int32_t> SmallGains{1000, 500, 250};
int32_t SmallGainItems(int32_t selector) { return testsupport::Item(SmallGains, selector); }
int32_t SmallConfigItems(int32_t selector) { return selector == SARTEL_SELECT_ENTRY ? 2048 : 0; }

enum class TModel { Large, Small };

void Bind(TZelto& core, TModel model) {
  testsupport::BindDriverItems(core);
  if (model == TModel::Small) {
    core.DriverApi.GetGainItems = &SmallGainItems;
    core.DriverApi.GetConfigItems = &SmallConfigItems;
  }
}

double CaptionNumber(const std::u16string& caption) {
  std::string text = rtl::Utf16ToUtf8(caption);
  if (const size_t colon = text.find(": "); colon != std::string::npos) text.erase(0, colon + 2);
  std::replace(text.begin(), text.end(), ',', '.');
  return std::stod(text);
}

std::string Bytes(const std::u16string& path) {
  std::ifstream in(rtl::NativePath(path), std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// What the windows show of run 0, channel A.
struct TShown {
  double Scope = 0, Cursor = 0, Band = 0, Panel = 0, Report = 0;
};

}  // namespace

class RecordConditions : public WorkspaceViews {
 protected:
  // A demo capture of run 0 with the device and set-up as they are.
  void MeasureRun0() {
    Core->BalancingStep = 0;
    Core->PrepareRunBuffers();
    ASSERT_TRUE(Core->SimulateCapture(0));
    Core->EvaluateCapture(0, 0);
    Core->ConvertSamples();
    Window->RefreshResults();
  }

  std::u16string PanelAmplitude() const {
    auto* label = dynamic_cast<TLabelEx*>(Window->FindComponent("leAmplitude2D1A"));
    return label ? label->CaptionW() : u"<missing>";
  }

  std::u16string ReportAmplitude() const {
    TReportSources sources;
    sources.Lookup = [](std::u16string_view key) { return std::u16string(key); };
    return BuildReportContent(*Core, sources).Blocks[0].Cells[0].Value;
  }

  // Opens both views on run 0, reads them, and closes them again.
  TShown Read() {
    TShown shown;
    Window->bOscilloscope->Click();
    EXPECT_TRUE(fTimeGraph);
    if (!fTimeGraph) return shown;
    fTimeGraph->MeasType = 'R';
    fTimeGraph->RefreshReadout();
    shown.Scope = CaptionNumber(fTimeGraph->bMeasValA->CaptionW());
    fTimeGraph->Close();
    Window->bSpectrum->Click();
    EXPECT_TRUE(fFFTGraph);
    if (!fFFTGraph) return shown;
    fFFTGraph->RmsType = 5;  // 0 Hz to half the sampling rate
    fFFTGraph->MeasCur[0] = 'T';
    fFFTGraph->MeasCh[0] = 'A';
    EXPECT_TRUE(ServeUntil([] {
      fFFTGraph->RefreshInfoPanel();
      return fFFTGraph->bRmsValueA->CaptionW() != u"-" && fFFTGraph->bValue[0]->CaptionW() != u"-";
    }));
    shown.Cursor = CaptionNumber(fFFTGraph->bValue[0]->CaptionW());
    shown.Band = CaptionNumber(fFFTGraph->bRmsValueA->CaptionW());
    fFFTGraph->Close();
    // The closed window's thread is let go, not waited for: the settings the
    // test changes next without the program's lock are its to read until it
    // has ended.
    AwaitSpectrumThreads(*Core);
    shown.Panel = CaptionNumber(PanelAmplitude());
    shown.Report = CaptionNumber(ReportAmplitude());
    return shown;
  }

  static void ExpectSame(const TShown& now, const TShown& measured) {
    const auto near = [](double a, double b) { return std::fabs(a - b) <= 0.005 * std::fabs(b); };
    EXPECT_TRUE(near(now.Scope, measured.Scope)) << now.Scope << " vs " << measured.Scope;
    EXPECT_TRUE(near(now.Cursor, measured.Cursor)) << now.Cursor << " vs " << measured.Cursor;
    EXPECT_TRUE(near(now.Band, measured.Band)) << now.Band << " vs " << measured.Band;
    EXPECT_TRUE(near(now.Panel, measured.Panel)) << now.Panel << " vs " << measured.Panel;
    EXPECT_TRUE(near(now.Report, measured.Report)) << now.Report << " vs " << measured.Report;
  }

  // Open through the session menu; the job in memory is empty, so only the
  // messages given are asked.
  void OpenThroughTheMenu(const std::u16string& path, const std::vector<std::u16string>& messages = {}) {
    gui::TAnswerScript script;
    script.Expect(gui::dkPopupMenu, smOpenSession);
    script.Expect(gui::dkOpenDialog, 1, rtl::Utf16ToUtf8(path));
    for (const std::u16string& text : messages)
      script.ExpectAction(gui::dkModalForm, testsupport::MessageAnswer(mkWarningNote, text, 1));
    Window->bSession->Click();
    EXPECT_EQ(script.Pending(), 0u);
    EXPECT_TRUE(script.Unexpected().empty());
  }

  std::u16string File(const char* name) const { return rtl::Utf8ToUtf16(Folder + "/" + name); }

  // The document as an older version wrote it: without the keys of the
  // conditions (the raw file's checksum is kept in another section).
  static void WriteAsOlderVersion(const std::u16string& path) {
    std::ifstream in(rtl::NativePath(path), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::u16string text(bytes.size() / 2, u'\0');
    std::memcpy(text.data(), bytes.data(), text.size() * 2);
    std::string narrow = rtl::Utf16ToUtf8(text);
    const std::regex added(
        "[^\\n]*(FullScale|InputRange[AB]|SamplingFrequency|CaptureLength|\\bLength|[^A-Za-z]Sensor[AB]\\.|"
        "VibSensor[AB]\\.(Type|Sensitivity|RangeLow|RangeHigh|InputGain|Temperature))[^\\n]*\\n");
    narrow = std::regex_replace(narrow, added, "");
    const std::u16string stripped = rtl::Utf8ToUtf16(narrow);
    std::ofstream out(rtl::NativePath(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(stripped.data()), static_cast<std::streamsize>(stripped.size() * 2));
  }

  std::string LogText(const TfLog& log) const {
    std::ifstream in(rtl::NativePath(log.LogPath), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
};

// A run measured on one model opened on the other, both directions: every
// view, the result panel and the report read what the measuring device
// showed. The job is longer than the opening device's memory: it is shown
// whole, and saving it again writes the same samples.
TEST_F(RecordConditions, ARunOpenedOnAnotherModelReadsAsMeasuredAndStaysWhole) {
  for (const auto& [measuring, opening] : {std::pair{TModel::Small, TModel::Large}, {TModel::Large, TModel::Small}}) {
    SCOPED_TRACE(measuring == TModel::Small ? "measured on the small model" : "measured on the large model");
    Core->ClearMeasurements();
    Bind(*Core, measuring);
    Core->RamSize = Core->BuffLength = 8192;
    Core->GainA = Core->GainB = 1;
    MeasureRun0();
    const TShown measured = Read();
    const std::u16string path = File(measuring == TModel::Small ? "small.daqsession" : "large.daqsession");
    ASSERT_EQ(Core->SaveSessionAs(path), TZelto::sfrDone);
    const std::string raw = Bytes(path.substr(0, path.size() - 11) + u".daqdata");

    Core->ClearMeasurements();
    Bind(*Core, opening);
    Core->RamSize = Core->BuffLength = 4096;
    Core->GainA = Core->GainB = 2;
    OpenThroughTheMenu(path);
    ASSERT_EQ(Core->Captures[0].DataA.size(), 8192u);
    EXPECT_EQ(Core->BuffLength, 4096);
    ExpectSame(Read(), measured);
    ASSERT_EQ(Core->SaveSessionAs(path), TZelto::sfrDone);
    EXPECT_EQ(Bytes(path.substr(0, path.size() - 11) + u".daqdata"), raw);
  }
}

// A range or sensor change after a measured run does not relabel it: not on
// screen, not in the report, and not after a restart.
TEST_F(RecordConditions, ARangeOrSensorChangeLeavesTheMeasuredRunAsItWas) {
  Core->GainA = Core->GainB = 2;  // 500 mV
  MeasureRun0();
  const TShown measured = Read();
  Core->GainA = 0;                       // 2500 mV
  Core->VibSensorA.Sensitivity = 10;     // another sensor on channel A
  Window->RefreshResults();
  ExpectSame(Read(), measured);
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  StopProgram();
  StartProgram();
  ASSERT_EQ(Core->LoadSession(), TZelto::sfrDone);
  EXPECT_TRUE(Core->ConditionNotes.empty());
  Window->ShowAfterStart(Core->BalancingStep);
  EXPECT_EQ(Core->VibSensorA.Sensitivity, 10);
  ExpectSame(Read(), measured);
}

// Channel B's sensor swapped for one twice as sensitive after the initial
// run: the trial and trim runs read twice the millivolts of the same
// vibration. The panel's per cents, the correction, the diagram and the
// report's per cents and reduction are those of the job measured with one
// sensor, and the report names each run's sensors.
TEST_F(RecordConditions, ASensorChangedBetweenRunsIsComparedInOneUnitAndNamed) {
  const auto sensor = [](std::u16string name, double sensitivity) {
    SensorInfo s;
    s.Name = std::move(name);
    s.Sensitivity = sensitivity;
    return s;
  };
  const SensorInfo a = sensor(u"AccelA100", 100), before = sensor(u"AccelB50", 50);
  // The job's vibration in the millivolts of sensors A and `before`.
  const std::array<std::pair<int, TVector4>, 4> job = {{{0, {100, 0, 60, 0.5}},
                                                        {1, {150, 1.2, 70, 0.9}},
                                                        {2, {110, 0.3, 120, 2.0}},
                                                        {4, {30, 0.4, 20, 1.0}}}};
  const auto label = [this](const char* name) {
    auto* l = dynamic_cast<TLabelEx*>(Window->FindComponent(name));
    return l ? l->CaptionW() : u"<missing>";
  };
  const auto measure = [&](const SensorInfo& after) {
    Core->ClearMeasurements();
    for (const auto& [run, meas] : job) {
      TRecordConditions& c = Core->Captures[run].Conditions;
      c = Core->DeviceConditions();
      c.SensorA = a;
      c.SensorB = run == 0 ? before : after;
      MeasurementResult& r = Core->Results[run];
      r.Meas = meas;
      r.Meas.AmplB *= c.SensorB.Sensitivity / before.Sensitivity;
      r.Freq = 25;
      r.Valid = 1;
    }
    Core->HighestStep = 4;
    Core->BalancingStep = 2;
    Window->RefreshResults();
    std::vector<std::u16string> shown;
    for (const char* name : {"leUnbalance2D2A", "leUnbalance2D2B", "leUnbalance2D3A", "leUnbalance2D3B"})
      shown.push_back(label(name));
    const TDiagramView view{Window->PlaneZoom, 0, std::nullopt, std::nullopt, {}};
    for (const TDrawOp& op : DiagramScene(*Core, view, 600, 250, 13)) {
      std::u16string geometry = rtl::AsciiToUtf16(std::to_string(op.Kind) + ":" + std::to_string(op.Box.Left) +
                                                  "," + std::to_string(op.Box.Top) + "," +
                                                  std::to_string(op.Box.Right) + "," + std::to_string(op.Box.Bottom));
      for (const gui::TPoint& p : op.Points)
        geometry += rtl::AsciiToUtf16(" " + std::to_string(p.x) + "," + std::to_string(p.y));
      shown.push_back(geometry);
    }
    Core->EvaluateCapture(0, RunCorrection);
    Core->BalancingStep = RunCorrection;
    Window->RefreshResults();
    for (const char* name : {"leMass2R1A", "leAngle2R1A", "leMass2R1B", "leAngle2R1B"}) shown.push_back(label(name));
    TReportSources sources;
    sources.Lookup = [](std::u16string_view key) { return std::u16string(key); };
    const TReportContent report = BuildReportContent(*Core, sources);
    for (const TReportBlock& block : report.Blocks)
      for (const TReportCell& cell : block.Cells) shown.push_back(cell.Value);
    shown.push_back(report.ResultRows.at(0).ValueA);
    shown.push_back(report.ResultRows.at(0).ValueB);
    return std::pair{shown, report};
  };

  const auto [oneSensor, oneReport] = measure(before);
  const auto [swapped, swappedReport] = measure(sensor(u"AccelB100", 100));
  EXPECT_EQ(oneSensor[3], u"200%");
  EXPECT_NE(oneReport.Blocks.at(3).Cells[0].Value, u"-");  // a correction was computed
  ASSERT_EQ(swapped.size(), oneSensor.size());
  for (size_t i = 0; i < oneSensor.size(); ++i)
    EXPECT_EQ(rtl::Utf16ToUtf8(swapped[i]), rtl::Utf16ToUtf8(oneSensor[i])) << "value " << i;

  // One sensor per channel: the headings as they were, one set of sensor
  // rows. Swapped: each run's heading names its sensors, and the rows name
  // both of channel B.
  EXPECT_EQ(oneReport.Blocks[1].Heading, u"Measurement22");
  const auto names = [](const TReportContent& report, bool channelB) {
    std::vector<std::u16string> found;
    for (const TReportRow& row : report.ParameterRows)
      if (row.Label == u"ZeltoSensor") found.push_back(channelB ? row.ValueB : row.ValueA);
    return found;
  };
  EXPECT_EQ(names(oneReport, true), std::vector<std::u16string>{u"AccelB50"});
  EXPECT_EQ(names(swappedReport, true), (std::vector<std::u16string>{u"AccelB50", u"AccelB100"}));
  EXPECT_EQ(names(swappedReport, false), (std::vector<std::u16string>{u"AccelA100", u""}));
  const auto heading = [&](size_t block) { return rtl::Utf16ToUtf8(swappedReport.Blocks.at(block).Heading); };
  EXPECT_NE(heading(0).find("AccelB50"), std::string::npos) << heading(0);
  EXPECT_NE(heading(1).find("AccelB100"), std::string::npos) << heading(1);
  EXPECT_NE(heading(4).find("AccelB100"), std::string::npos) << heading(4);
  EXPECT_EQ(heading(3), "MeasResult");
}

// A run measured with a sensor of no known sensitivity, among others, has no
// unit in common with the initial run: its per cent reads "-", and the
// error line says why once the job is saved (Next), its lamp off; with the
// runs comparable again the line goes back to "NoError".
TEST_F(RecordConditions, RunsWithoutACommonUnitSayWhyInTheErrorLine) {
  SensorInfo known, unknown;
  known.Name = u"AccelA100";
  known.Sensitivity = 100;
  unknown.Name = u"Probe X";  // named by an older file, not on this PC
  const auto measure = [this](const SensorInfo& second) {
    Core->ClearMeasurements();
    for (const int run : {0, 1}) {
      TRecordConditions& c = Core->Captures[static_cast<size_t>(run)].Conditions;
      c = Core->DeviceConditions();
      c.SensorA = run == 0 ? Core->VibSensorA : second;
      MeasurementResult& r = Core->Results[static_cast<size_t>(run)];
      r.Meas = {run == 0 ? 100.0 : 50.0, 0.5, 0, 0};
      r.Freq = 25;
      r.Valid = 1;
    }
    Core->HighestStep = 1;
    Core->BalancingStep = 1;
    Window->RefreshResults();
    Window->bNext->Click();
  };
  const auto unbalance = [this] {
    auto* l = dynamic_cast<TLabelEx*>(Window->FindComponent("leUnbalance2D2A"));
    return l ? l->CaptionW() : u"<missing>";
  };
  Core->VibSensorA = known;
  measure(unknown);
  EXPECT_EQ(unbalance(), u"-");
  EXPECT_EQ(Window->leError->CaptionW(), LangText({u"Forms", u"RunsWithoutCommonUnit"}).Text);
  EXPECT_EQ(Window->leError->Font().Color(), ErrorTextColor);
  measure(known);
  EXPECT_EQ(unbalance(), u"50%");
  EXPECT_EQ(Window->leError->CaptionW(), LangText({u"Forms", u"NoError"}).Text);
}

// A session whose sensor this PC's list lacks, or holds otherwise under the
// same name: the stored sensor is used, and the message and the log name it.
TEST_F(RecordConditions, ASensorMissingOrDifferentHereIsNamedAndTheStoredOneUsed) {
  TfLog log(nullptr);
  Window->Log = &log;
  Core->VibSensorA.Name = u"AccelA100";
  Core->VibSensorB.Name = u"AccelB100";
  MeasureRun0();
  const TShown measured = Read();
  const std::u16string path = File("sensors.daqsession");
  ASSERT_EQ(Core->SaveSessionAs(path), TZelto::sfrDone);

  Core->ClearMeasurements();
  const std::u16string missing =
      LangText({u"Forms", u"SensorMissing"}).Text + u"\nAccelA100\nAccelB100";
  OpenThroughTheMenu(path, {missing});
  ExpectSame(Read(), measured);
  EXPECT_NE(CaptionNumber(ReportAmplitude()), 0);
  EXPECT_NE(LogText(log).find("AccelA100"), std::string::npos);

  SensorInfo other = Core->VibSensorA;
  other.Sensitivity = 10;
  ASSERT_EQ(Core->SaveSensor(u"AccelA100", other, false), TZelto::ssrSaved);
  Core->ClearMeasurements();
  const std::u16string differs = LangText({u"Forms", u"SensorMissing"}).Text + u"\nAccelB100\n" +
                                 LangText({u"Forms", u"SensorDiffers"}).Text + u"\nAccelA100";
  OpenThroughTheMenu(path, {differs});
  EXPECT_EQ(Core->VibSensorA.Sensitivity, 100);
  ExpectSame(Read(), measured);
  Window->Log = nullptr;
}

// A notice that the job opened with stated assumptions is a warning that
// asks nothing, titled and drawn so; a file that could not be opened is
// still an error.
TEST_F(RecordConditions, AConditionNoticeIsAWarningAndAFailedOpenStillAnError) {
  Core->VibSensorA.Name = u"AccelA100";
  Core->VibSensorB.Name = u"AccelB100";
  MeasureRun0();
  const std::u16string path = File("notice.daqsession");
  ASSERT_EQ(Core->SaveSessionAs(path), TZelto::sfrDone);
  const std::u16string damaged = File("damaged.daqsession");
  std::ofstream(rtl::NativePath(damaged), std::ios::binary) << "no session";
  struct TLook {
    TMessageKind Kind;
    std::u16string Title;
    bool WarningPicture, ErrorPicture;
  };
  const auto expect = [](const TLook& look) {
    return [look](const gui::TDialogRequest& r) {
      auto* box = dynamic_cast<TfMessage*>(r.Form);
      EXPECT_TRUE(box && box->Kind == look.Kind);
      if (box) {
        EXPECT_EQ(box->leCaption->CaptionW(), look.Title);
        EXPECT_EQ(box->iWarning->Visible(), look.WarningPicture);
        EXPECT_EQ(box->iError->Visible(), look.ErrorPicture);
        EXPECT_FALSE(box->bButton2->Visible());
        EXPECT_EQ(box->bButton1->CaptionW(), LangText({u"Forms", u"OK"}).Text);
        box->bButton1->Click();
        EXPECT_EQ(box->Answer, gui::IDOK);
      }
      return std::optional<gui::TDialogAnswer>();
    };
  };
  for (const auto& [file, look] :
       {std::pair{path, TLook{mkWarningNote, LangText({u"Forms", u"Warning"}).Text, true, false}},
        std::pair{damaged, TLook{mkError, LangText({u"Forms", u"Error"}).Text, false, true}}}) {
    Core->ClearMeasurements();
    gui::TAnswerScript script;
    script.Expect(gui::dkPopupMenu, smOpenSession);
    script.Expect(gui::dkOpenDialog, 1, rtl::Utf16ToUtf8(file));
    script.ExpectAction(gui::dkModalForm, expect(look));
    Window->bSession->Click();
    EXPECT_EQ(script.Pending(), 0u);
    EXPECT_TRUE(script.Unexpected().empty());
  }
}

// A session written before the conditions were kept still opens, at this
// device's scale and this PC's sensors, and says so before a value is shown.
TEST_F(RecordConditions, AnOlderFileOpensAndSaysWhatIsAssumed) {
  TfLog log(nullptr);
  Window->Log = &log;
  SensorInfo probe = Core->VibSensorA;
  probe.Name = u"Probe A";
  ASSERT_EQ(Core->SaveSensor(probe.Name, probe, false), TZelto::ssrSaved);
  Core->VibSensorA = Core->VibSensorB = probe;
  MeasureRun0();
  const TShown measured = Read();
  const std::u16string path = File("older.daqsession");
  ASSERT_EQ(Core->SaveSessionAs(path), TZelto::sfrDone);
  WriteAsOlderVersion(path);
  ASSERT_EQ(Bytes(path).find("F\0u\0l\0l\0S\0c\0a\0l\0e", 0, 18), std::string::npos);

  Core->ClearMeasurements();
  const std::u16string assumed = LangText({u"Forms", u"ConditionsAssumed"}).Text + u"\n" +
                                 LangText({u"Forms", u"DemoModeScale"}).Text + u"\n" +
                                 LangText({u"Forms", u"SensorAssumed"}).Text + u"\nProbe A";
  OpenThroughTheMenu(path, {assumed});
  ExpectSame(Read(), measured);
  EXPECT_NE(LogText(log).find(rtl::Utf16ToUtf8(LangText({u"Forms", u"ConditionsAssumed"}).Text)), std::string::npos);
  Window->Log = nullptr;
}

// An older job measured on the FTDI model, opened in demo mode on a PC
// without its sensors: every view shows the run's real millivolts, at the
// scale the amplitudes stored with it give, and the report prints no
// sensitivity or frequency range of 0 for the sensors it does not know.
TEST_F(RecordConditions, AnOlderJobWithoutItsSensorsShowsItsMillivolts) {
  Core->AmplDisplayMode = admVoltage;
  Core->VibSensorA.Name = Core->VibSensorB.Name = u"Probe A";
  Bind(*Core, TModel::Small);
  Core->GainA = Core->GainB = 1;  // 500 mV
  MeasureRun0();
  const TShown measured = Read();
  ASSERT_GT(measured.Panel, 0);
  const std::u16string path = File("older-ftdi.daqsession");
  ASSERT_EQ(Core->SaveSessionAs(path), TZelto::sfrDone);
  WriteAsOlderVersion(path);

  Core->ClearMeasurements();
  Bind(*Core, TModel::Large);
  const std::u16string notes = Forms(u"ConditionsAssumed") + u"\n" + Forms(u"DemoModeScale") + u"\n" +
                               Forms(u"SensorUnknown") + u"\nProbe A\n" + Forms(u"ScaleFound") + u"\nA: " +
                               FormatVoltage(500, 1) + u", B: " + FormatVoltage(500, 1);
  OpenThroughTheMenu(path, {notes});
  EXPECT_EQ(Core->VibSensorA.Sensitivity, 0);
  EXPECT_EQ(Core->Captures[0].Conditions.FullScale, 2048);
  {
    // The views open without a question.
    gui::TAnswerScript none;
    ExpectSame(Read(), measured);
    EXPECT_TRUE(none.Unexpected().empty());
  }
  TReportSources sources;
  sources.Lookup = [](std::u16string_view key) { return std::u16string(key); };
  const TReportContent report = BuildReportContent(*Core, sources);
  int sensorRows = 0;
  for (const TReportRow& row : report.ParameterRows) {
    if (row.Label != u"Type" && row.Label != u"Sensitivity" && row.Label != u"Range") continue;
    ++sensorRows;
    EXPECT_EQ(row.ValueA, u"-") << rtl::Utf16ToUtf8(row.Label);
    EXPECT_EQ(row.ValueB, u"-") << rtl::Utf16ToUtf8(row.Label);
  }
  EXPECT_EQ(sensorRows, 3);

  // Stored amplitudes that no model's ranges give leave the assumed scale,
  // and the message says that the signals may differ from the panel.
  {
    XmlIniFile document;
    ASSERT_TRUE(document.Open(path, u"SessionFile", true));
    document.WriteFloat(u"Measurement0", u"Meas.AmplA", 3 * document.ReadFloat(u"Measurement0", u"Meas.AmplA", 0));
    document.WriteFloat(u"Measurement0", u"Meas.AmplB", 3 * document.ReadFloat(u"Measurement0", u"Meas.AmplB", 0));
    ASSERT_TRUE(document.Save());
  }
  Core->ClearMeasurements();
  OpenThroughTheMenu(path, {Forms(u"ConditionsAssumed") + u"\n" + Forms(u"DemoModeScale") + u"\n" +
                            Forms(u"SensorUnknown") + u"\nProbe A\n" + Forms(u"ScaleUnconfirmed")});
  EXPECT_EQ(Core->Captures[0].Conditions.FullScale, 0x8000);
}

// The set-up's input ranges are kept by their millivolts when a job is
// opened on the other device model: the same range where that model has
// it, else the next larger one (the largest when none is larger), named in
// the message.
TEST_F(RecordConditions, TheInputRangesKeepTheirMillivoltsOnAnotherModel) {
  struct TCase {
    TModel Saving, Opening;
    int32_t GainA, GainB;          // on the saving model
    int32_t OpenedA, OpenedB;      // on the opening model
    std::u16string Replaced;       // the message's lines, empty for none
  };
  const auto replaced = [](const char16_t* channel, int32_t from, int32_t to) {
    return std::u16string(channel) + u": " + FormatVoltage(from, 1) + u" \u2192 " + FormatVoltage(to, 1);
  };
  const std::vector<TCase> cases = {
      {TModel::Large, TModel::Small, 1, 2, 0, 1, u""},  // 1 V / 500 mV
      {TModel::Small, TModel::Large, 0, 1, 1, 2, u""},  // 1 V / 500 mV
      {TModel::Large, TModel::Small, 0, 2, 0, 1, replaced(u"A", 2500, 1000)},
      {TModel::Small, TModel::Large, 1, 2, 2, 2, replaced(u"B", 250, 500)},
  };
  const std::u16string path = File("ranges.daqsession");
  for (const TCase& c : cases) {
    Core->ClearMeasurements();
    Bind(*Core, c.Saving);
    Core->GainA = c.GainA;
    Core->GainB = c.GainB;
    ASSERT_EQ(Core->SaveSessionAs(path), TZelto::sfrDone);
    Bind(*Core, c.Opening);
    Core->GainA = Core->GainB = 2;
    if (c.Replaced.empty())
      OpenThroughTheMenu(path);
    else
      OpenThroughTheMenu(path, {Forms(u"RangeReplaced") + u"\n" + c.Replaced});
    EXPECT_EQ(Core->GainA, c.OpenedA);
    EXPECT_EQ(Core->GainB, c.OpenedB);
  }
}

}  // namespace viewstest
