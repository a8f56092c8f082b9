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

#include "balancingreport.h"
#include "bitmapbutton.h"
#include "folders.h"
#include "formmessage.h"
#include "formlog.h"
#include "labelex.h"
#include "languageservice.h"
#include "messageanswer.h"
#include "sessioncommands.h"
#include "sessionmenuscript.h"
#include "spectrumthread.h"
#include "textconv.h"
#include "viewsfixture.h"
#include "viewwindows.h"

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
      script.ExpectAction(gui::dkModalForm, testsupport::MessageAnswer(mkError, text, 1));
    Window->bSession->Click();
    EXPECT_EQ(script.Pending(), 0u);
    EXPECT_TRUE(script.Unexpected().empty());
  }

  std::u16string File(const char* name) const { return rtl::Utf8ToUtf16(Folder + "/" + name); }

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
  // The document as an older version wrote it: without the keys of the
  // conditions (the raw file's checksum is kept in another section).
  {
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

}  // namespace viewstest
