#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <regex>

#include "checksum.h"
#include "datafilefixture.h"
#include "datafilepair.h"
#include "driveritems.h"
#include "folders.h"
#include "namedlock.h"
#include "regularfile.h"
#include "savetarget.h"
#include "systemerror.h"
#include "textconv.h"

namespace {

namespace fs = std::filesystem;

constexpr std::u16string_view Root = u"SessionFile";
constexpr int32_t Length = 256;

class SessionFileTest : public DataFileTest {
 protected:
  SessionFileTest() { Core->BuffLength = Length; }

  // A measured run with samples that tell the run and channel apart.
  static void Measure(TZelto& core, int32_t run) {
    CaptureRecord& c = core.Captures[run];
    c.DataA = Ramp(core.BuffLength, run * 1000);
    if (core.Type == 1) c.DataB = Ramp(core.BuffLength, -run * 1000 - 500);
    c.T = 3;
    c.Start = 10;
    c.End = 202;
    MeasurementResult& r = core.Results[run];
    r.Meas = {1.5 + run, 0.25, 2.5 + run, -0.5};
    r.Slots[0] = r.Meas;
    r.Freq = 25 + run;
    r.Valid = 1;
  }
  static void Correct(TZelto& core, int32_t run, double mass) {
    core.Results[run].Result = {mass, 1.25, mass / 2, 4.5};
    core.Results[run].Valid = 1;
  }
  // Runs 0 .. highest measured (3 holds a correction), the current step.
  void MeasureJob(int32_t step, int32_t highest) {
    for (int32_t run = 0; run <= highest; ++run) {
      if (run == RunCorrection) Correct(*Core, run, 0.75);
      else Measure(*Core, run);
      if (run > RunCorrection) Correct(*Core, run, 0.125 * run);
    }
    Core->BalancingStep = step;
    Core->HighestStep = highest;
  }
  std::u16string Document() const { return Core->AutoSessionFile; }
  // The saved document with `pattern` replaced, as a damaged copy would be.
  void EditDocument(const std::u16string& path, const std::string& pattern, const std::string& by) {
    const std::string bytes = ReadBytes(rtl::NativePath(path));
    std::u16string text(bytes.size() / 2, u'\0');
    std::memcpy(text.data(), bytes.data(), text.size() * 2);
    const std::u16string edited =
        rtl::Utf8ToUtf16(std::regex_replace(rtl::Utf16ToUtf8(text), std::regex(pattern), by));
    WriteBytes(rtl::NativePath(path), std::string_view(reinterpret_cast<const char*>(edited.data()), edited.size() * 2));
  }
  // The live record saved as asynchronous data, its document edited, read
  // by a restarted program; null when the save or the load failed.
  std::unique_ptr<TZelto> AsyncDataReadWith(const std::string& pattern, const std::string& by) {
    const std::u16string trace = Dir.File(u"trace.asd");
    if (!Core->SaveAsyncData(trace)) return nullptr;
    EditDocument(trace, pattern, by);
    auto loaded = Restarted();
    testsupport::BindDriverItems(*loaded);
    return loaded->LoadAsyncData(trace) ? std::move(loaded) : nullptr;
  }
  fs::path DocumentFile() const { return AppData() / "!session.daqsession"; }
  fs::path RawFile() const { return AppData() / "!session.daqdata"; }
  fs::path PendingFile() const { return AppData() / "!session.daqdata.pending"; }
};

void ExpectSameRun(const TZelto& a, const TZelto& b, int32_t run) {
  SCOPED_TRACE(run);
  EXPECT_EQ(a.Captures[run].DataA, b.Captures[run].DataA);
  EXPECT_EQ(a.Captures[run].DataB, b.Captures[run].DataB);
  EXPECT_EQ(a.Captures[run].T, b.Captures[run].T);
  EXPECT_EQ(a.Captures[run].Start, b.Captures[run].Start);
  EXPECT_EQ(a.Captures[run].End, b.Captures[run].End);
  const MeasurementResult& x = a.Results[run];
  const MeasurementResult& y = b.Results[run];
  EXPECT_DOUBLE_EQ(x.Meas.AmplA, y.Meas.AmplA);
  EXPECT_DOUBLE_EQ(x.Meas.PhA, y.Meas.PhA);
  EXPECT_DOUBLE_EQ(x.Meas.AmplB, y.Meas.AmplB);
  EXPECT_DOUBLE_EQ(x.Meas.PhB, y.Meas.PhB);
  EXPECT_DOUBLE_EQ(x.Result.MassA, y.Result.MassA);
  EXPECT_DOUBLE_EQ(x.Result.AngleA, y.Result.AngleA);
  EXPECT_DOUBLE_EQ(x.Result.MassB, y.Result.MassB);
  EXPECT_DOUBLE_EQ(x.Result.AngleB, y.Result.AngleB);
  EXPECT_EQ(x.NotComputable, y.NotComputable);
  EXPECT_DOUBLE_EQ(x.Freq, y.Freq);
  EXPECT_EQ(y.Valid, 1);
}

TEST_F(SessionFileTest, TwoPlanesWriteSixBlocksAndRunThreeNone) {
  Core->Type = 1;
  MeasureJob(3, 3);
  // A longer raw file from an earlier save is replaced, not overwritten.
  WriteBytes(RawFile(), std::string(100000, 'x'));
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);

  const std::vector<int32_t> raw = SamplesOf(ReadBytes(RawFile()));
  ASSERT_EQ(raw.size(), 6u * Length);
  for (int32_t run = 0; run < 3; ++run) {
    const auto block = raw.begin() + 2 * run * Length;
    EXPECT_EQ(std::vector<int32_t>(block, block + Length), Core->Captures[run].DataA);
    EXPECT_EQ(std::vector<int32_t>(block + Length, block + 2 * Length), Core->Captures[run].DataB);
  }
  const auto d = ReadDocument(Document(), Root);
  EXPECT_EQ(d->ReadInteger(u"Measurement3", u"DataA", -1), 0);
  EXPECT_EQ(d->ReadInteger(u"Measurement3", u"DataB", -1), 0);
  EXPECT_EQ(d->ReadFloat(u"Measurement3", u"Result.MassA", 0), 0.75);
  EXPECT_EQ(d->ReadInteger(u"Measurement3", u"T", -1), -1);
  EXPECT_EQ(d->ReadInteger(u"Measurement2", u"DataB", -1), 1);
  EXPECT_EQ(d->ReadString(u"Other", u"DataBytes", u""), u"1800");
  // Every setting first, then the window type, then the steps and the runs.
  const std::u16string text = Utf16LeText(ReadBytes(Dir.Native(u"Orvanteq/Kalvenor/!session.daqsession")));
  EXPECT_LT(text.find(u"<SpeedDisplayMode"), text.find(u"<Config>"));
  EXPECT_LT(text.find(u"<Config>"), text.find(u"<Other>"));
  EXPECT_LT(text.find(u"<Other>"), text.find(u"<Measurement0>"));
}

TEST_F(SessionFileTest, OnePlaneWritesChannelAOnly) {
  MeasureJob(2, 2);
  Core->Captures[1].DataB = Ramp(Length, 7);  // left from a two-plane job
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  EXPECT_EQ(fs::file_size(RawFile()), 3u * Length * 4);
  const auto d = ReadDocument(Document(), Root);
  for (const auto* section : {u"Measurement0", u"Measurement1", u"Measurement2"})
    EXPECT_EQ(d->ReadInteger(section, u"DataB", -1), 0);
}

TEST_F(SessionFileTest, RoundTripRestoresSettingsRunsAndSamples) {
  Core->Type = 1;
  Core->AvgSize = 4;
  Core->SamplingRate = 5;
  Core->GainB = 2;
  Core->WindowType = 6;
  Core->RotationDir = 1;
  Core->CtrlMass = {12.5, "oz"};
  Core->Rotor.Type = 3;
  Core->Rotor.m = 42.25;
  Core->Rotor.ClassIndex = 4;
  Core->MassAdd = 0;
  Core->SpeedTolerance = 4;
  Core->GWB = {1, 0, 90.0};
  Core->Session.Date = {2024, 3, 9};
  Core->Session.Machine = "Fan 3 \xC3\xA4";  // an a-umlaut, which Windows-1252 holds
  Core->SpeedDisplayMode = 0;
  MeasureJob(5, 5);
  Core->Results[4].NotComputable = 1;
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);

  auto loaded = Restarted();
  loaded->BuffLength = 64;
  ASSERT_EQ(loaded->LoadSession(), TZelto::sfrDone);
  EXPECT_EQ(loaded->BuffLength, Length);
  EXPECT_EQ(loaded->AvgSize, 4);
  EXPECT_EQ(loaded->SamplingRate, 5);
  EXPECT_EQ(loaded->GainB, 2);
  EXPECT_EQ(loaded->WindowType, 6);
  EXPECT_EQ(loaded->RotationDir, 1);
  EXPECT_EQ(loaded->CtrlMass.Value, 12.5);
  EXPECT_EQ(loaded->CtrlMass.Unit, "oz");
  EXPECT_EQ(loaded->Rotor.Type, 3);
  EXPECT_EQ(loaded->Rotor.m, 42.25);
  EXPECT_EQ(loaded->Rotor.ClassIndex, 4);
  EXPECT_EQ(loaded->MassAdd, 0);
  EXPECT_EQ(loaded->SpeedTolerance, 4);
  EXPECT_EQ(loaded->GWB.Enabled, 1);
  EXPECT_EQ(loaded->GWB.Mode, 0);
  EXPECT_EQ(loaded->GWB.Shift, 90.0);
  EXPECT_EQ(loaded->Session.Date.Year, 2024);
  EXPECT_EQ(loaded->Session.Date.Day, 9);
  EXPECT_EQ(loaded->Session.Machine, "Fan 3 \xC3\xA4");
  EXPECT_EQ(loaded->SpeedDisplayMode, 0);
  EXPECT_EQ(loaded->BalancingStep, 5);
  EXPECT_EQ(loaded->HighestStep, 5);
  for (int32_t run = 0; run <= 5; ++run) ExpectSameRun(*Core, *loaded, run);
  EXPECT_EQ(loaded->Captures[6].DataA.size(), 0u);
}

TEST_F(SessionFileTest, RunsAboveTheCurrentStepAreRestored) {
  MeasureJob(5, 9);
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  auto loaded = Restarted();
  ASSERT_EQ(loaded->LoadSession(), TZelto::sfrDone);
  EXPECT_EQ(loaded->BalancingStep, 5);
  EXPECT_EQ(loaded->HighestStep, 9);
  for (int32_t run = 0; run <= 9; ++run) ExpectSameRun(*Core, *loaded, run);
  // The current run's statistics come from its samples: the mean of the
  // ramp 5010 .. 5201 over the window.
  EXPECT_DOUBLE_EQ(loaded->MeanA, 5105.5);
}

TEST_F(SessionFileTest, OlderFilesEndAtTheCurrentStepAndReadAsComputable) {
  WriteDocument(Document(), Root, [](XmlIniFile& d) {
    d.WriteInteger(u"Options", u"BuffLength", 4);
    d.WriteInteger(u"Other", u"Index", 4);
    d.WriteInteger(u"Measurement4", u"DataA", 1);
    d.WriteFloat(u"Measurement4", u"Result.MassA", 2.0);
    d.WriteInteger(u"Measurement5", u"DataA", 1);
  });
  WriteBytes(RawFile(), SampleBytes(Ramp(8, 1)));
  ASSERT_EQ(Core->LoadSession(), TZelto::sfrDone);
  EXPECT_EQ(Core->BalancingStep, 4);
  EXPECT_EQ(Core->HighestStep, 4);
  EXPECT_EQ(Core->Results[4].Result.MassA, 2.0);
  EXPECT_EQ(Core->Results[4].NotComputable, 0);
  EXPECT_EQ(Core->Captures[4].DataA, Ramp(4, 1));
  EXPECT_EQ(Core->Results[5].Valid, 0);
}

TEST_F(SessionFileTest, LoadKeepsTheStoredAverageWhateverReadingsHeld) {
  Core->AvgSize = 5;
  MeasureJob(0, 0);
  Core->Results[0].Slots[1] = {9, 1, 0, 0};  // readings averaged before the save
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  Core->Readings = 3;
  ASSERT_EQ(Core->LoadSession(), TZelto::sfrDone);
  const MeasurementResult& r = Core->Results[0];
  EXPECT_EQ(Core->Readings, 0);
  EXPECT_DOUBLE_EQ(r.Meas.AmplA, 1.5);
  EXPECT_DOUBLE_EQ(r.Meas.PhA, 0.25);
  EXPECT_DOUBLE_EQ(r.Slots[0].AmplA, 1.5);
  EXPECT_EQ(r.Slots[1].AmplA, 0);
  EXPECT_EQ(r.Slots[3].AmplA, 0);
  EXPECT_DOUBLE_EQ(Core->MeanA, 105.5);
  EXPECT_EQ(Core->SignalA.size(), static_cast<size_t>(Length));
  EXPECT_EQ(Core->SignalA[7], 7.0);
}

TEST_F(SessionFileTest, CurrentRunWithABadWindowKeepsItsStoredValues) {
  MeasureJob(1, 1);
  Core->Captures[1].Start = 300;  // beyond the samples
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  auto loaded = Restarted();
  ASSERT_EQ(loaded->LoadSession(), TZelto::sfrDone);
  ExpectSameRun(*Core, *loaded, 1);
  EXPECT_EQ(loaded->MeanA, 0);
}

TEST_F(SessionFileTest, StoredBufferLengthStepsTheBlocks) {
  Core->RamSize = 8;
  const auto writeJob = [this](int32_t stored) {
    WriteDocument(Document(), Root, [stored](XmlIniFile& d) {
      d.WriteInteger(u"Options", u"BuffLength", stored);
      d.WriteInteger(u"Other", u"Index", 1);
      d.WriteInteger(u"Measurement0", u"DataA", 1);
      d.WriteInteger(u"Measurement1", u"DataA", 1);
    });
    WriteBytes(RawFile(), SampleBytes(Ramp(2 * stored, 0)));
  };
  // Longer than the device's memory: the capture length is lowered, the
  // records are read whole.
  writeJob(16);
  ASSERT_EQ(Core->LoadSession(), TZelto::sfrDone);
  EXPECT_EQ(Core->BuffLength, 8);
  EXPECT_EQ(Core->Captures[1].DataA, Ramp(16, 16));
  EXPECT_EQ(Core->Captures[1].Conditions.Length, 16);
  // A device of version 2 always captures its whole memory; a stored record
  // keeps its own length, never padded to it.
  Core->CapturesWholeMemory = true;
  writeJob(4);
  ASSERT_EQ(Core->LoadSession(), TZelto::sfrDone);
  EXPECT_EQ(Core->BuffLength, 8);
  EXPECT_EQ(Core->Captures[1].DataA, (std::vector<int32_t>{4, 5, 6, 7}));
  // There the stored length is only the block length, so one that is no
  // power of two is still read.
  writeJob(6);
  ASSERT_EQ(Core->LoadSession(), TZelto::sfrDone);
  EXPECT_EQ(Core->BuffLength, 8);
  EXPECT_EQ(Core->Captures[1].DataA, (std::vector<int32_t>{6, 7, 8, 9, 10, 11}));
}

TEST_F(SessionFileTest, ValuesOutsideTheirRangeTakeDefaults) {
  WriteDocument(Document(), Root, [](XmlIniFile& d) {
    d.WriteString(u"Options", u"AvgSize", u"14");
    d.WriteInteger(u"Options", u"Type", 2);
    d.WriteInteger(u"Options", u"Rotor.Type", 5);
    d.WriteInteger(u"Options", u"Rotor.ClassIndex", 11);
    d.WriteInteger(u"Options", u"SpeedTolerance", -1);
    d.WriteInteger(u"Options", u"GWB.Mode", 2);
    d.WriteInteger(u"Options", u"SpeedDisplayMode", 7);
    d.WriteInteger(u"Config", u"WindowType", 8);
  });
  ASSERT_EQ(Core->LoadSession(), TZelto::sfrDone);
  EXPECT_EQ(Core->AvgSize, 10);  // 0x14
  EXPECT_EQ(Core->Type, 0);
  EXPECT_EQ(Core->Rotor.Type, 0);
  EXPECT_EQ(Core->Rotor.ClassIndex, 8);
  EXPECT_EQ(Core->SpeedTolerance, 2);
  EXPECT_EQ(Core->GWB.Mode, 1);
  EXPECT_EQ(Core->SpeedDisplayMode, 1);
  EXPECT_EQ(Core->WindowType, 0);
  EXPECT_EQ(Core->BuffLength, Core->RamSize);
}

TEST_F(SessionFileTest, DeviceTableIndexesOutsideEveryTableTakeDefaults) {
  // Without a library the tables' sizes are unknown; an index no selector
  // can name is outside every table. A document without a rate takes the
  // default one.
  WriteDocument(Document(), Root, [](XmlIniFile& d) {
    d.WriteInteger(u"Options", u"GainA", 0x100);
    d.WriteInteger(u"Options", u"GainB", -1);
  });
  ASSERT_EQ(Core->LoadSession(), TZelto::sfrDone);
  EXPECT_EQ(Core->SamplingRate, 3);
  EXPECT_EQ(Core->GainA, 1);
  EXPECT_EQ(Core->GainB, 1);
  WriteDocument(Document(), Root, [](XmlIniFile& d) {
    d.WriteInteger(u"Options", u"SamplingRate", 0xFF);
    d.WriteInteger(u"Options", u"GainA", 0);
  });
  ASSERT_EQ(Core->LoadSession(), TZelto::sfrDone);
  EXPECT_EQ(Core->SamplingRate, 0xFF);
  EXPECT_EQ(Core->GainA, 0);
}

// The rate index is the only record of the rate the runs were captured at:
// a job saved at a rate this device does not list (one of a device with
// more rates) is refused, never read at a default rate; the device's last
// rate loads.
TEST_F(SessionFileTest, ASamplingRateTheDeviceDoesNotListRefusesTheFile) {
  MeasureJob(0, 0);
  auto loaded = Restarted();
  static int module = 0;
  loaded->DriverModule = &module;
  loaded->DriverApi.GetClockItems = [](int32_t selector) {
    return selector == SARTEL_SELECT_COUNT ? 10 : 1000 * (selector - SARTEL_SELECT_ENTRY + 1);
  };
  for (const auto& [stored, result] : {std::pair{10, TZelto::sfrDocumentFailed}, {-1, TZelto::sfrDocumentFailed},
                                       {0x7FFFFFFF, TZelto::sfrDocumentFailed}, {9, TZelto::sfrDone}}) {
    SCOPED_TRACE(stored);
    Core->SamplingRate = stored;
    ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
    loaded->SamplingRate = 4;
    EXPECT_EQ(loaded->LoadSession(), result);
    EXPECT_EQ(loaded->SamplingRate, result == TZelto::sfrDone ? stored : 4);
    EXPECT_EQ(loaded->FileFailure.Error, result == TZelto::sfrDone ? 0 : RateNotListedError);
    EXPECT_EQ(loaded->Results[0].Valid, result == TZelto::sfrDone ? 1 : 0);
  }
}

TEST_F(SessionFileTest, ImpossibleLayoutsRejectTheFileAndKeepTheSettings) {
  const std::pair<std::u16string_view, std::u16string_view> cases[] = {
      {u"BuffLength", u"0"}, {u"BuffLength", u"bb8"}, {u"Index", u"14"}, {u"HighestStep", u"ffffffff"}};
  for (const auto& [key, value] : cases) {
    SCOPED_TRACE(rtl::Utf16ToUtf8(key));
    WriteDocument(Document(), Root, [key = key, value = value](XmlIniFile& d) {
      d.WriteInteger(u"Options", u"AvgSize", 7);
      d.WriteString(key == u"BuffLength" ? u"Options" : u"Other", key, value);
    });
    Core->AvgSize = 3;
    MeasureJob(0, 0);
    EXPECT_EQ(Core->LoadSession(), TZelto::sfrDocumentFailed);
    EXPECT_EQ(Core->AvgSize, 3);
    EXPECT_EQ(Core->Captures[0].DataA.size(), 0u);
  }
}

// A stored length sizes the records: one longer than any device's memory
// refuses the file, naming it, before anything is allocated (a block of
// 2^30 samples passes the layout's power-of-two check, and a device that
// captures its whole memory took any positive one). A record read without
// its samples sizes nothing, neither the signals nor the views' buffers.
TEST_F(SessionFileTest, AStoredLengthNoDeviceHasIsRefusedAndARecordWithoutSamplesSizesNothing) {
  MeasureJob(1, 1);
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  EditDocument(Document(), "(<Measurement0>[\\s\\S]*?) <Length value = \"[0-9a-f]*\"/>\r?\n", "$1");
  for (const bool wholeMemory : {false, true}) {
    SCOPED_TRACE(wholeMemory);
    EditDocument(Document(), "<BuffLength value = \"[0-9a-f]*\"", wholeMemory ? "<BuffLength value = \"7fffffff\""
                                                                            : "<BuffLength value = \"40000000\"");
    auto loaded = Restarted();
    loaded->CapturesWholeMemory = wholeMemory;
    EXPECT_EQ(loaded->LoadSession(), TZelto::sfrDocumentFailed);
    EXPECT_EQ(loaded->FileFailure.File, Document());
    EXPECT_TRUE(loaded->Captures[0].DataA.empty() && loaded->SignalA.empty());
    EXPECT_EQ(loaded->LongestRecord(), loaded->RamSize);
  }
  // The largest memory of a device, without the raw file: the runs keep
  // their values and length, and nothing is allocated for them.
  EditDocument(Document(), "<BuffLength value = \"[0-9a-f]*\"", "<BuffLength value = \"80000\"");
  fs::remove(RawFile());
  auto loaded = Restarted();
  ASSERT_EQ(loaded->LoadSession(), TZelto::sfrDoneWithoutSamples);
  EXPECT_EQ(loaded->Captures[0].Conditions.Length, 0x80000);
  EXPECT_EQ(loaded->Captures[1].Conditions.Length, Length);
  EXPECT_TRUE(loaded->SignalA.empty());
  EXPECT_EQ(loaded->LongestRecord(), loaded->RamSize);
}

// Conditions no device model or sensor can have are never shown as numbers:
// the run takes the fallback of a file without them (this device's scale,
// this PC's sensor of the name) and the load notes it; a length that would
// cut the run's window takes the whole block; the stored speed stays.
TEST_F(SessionFileTest, ImpossibleConditionsTakeTheirFallbackAndSaySo) {
  testsupport::BindDriverItems(*Core);
  Core->VibSensorA = {u"Probe1", 100, stAcceleration, 0.5, 10000, 1.0};
  MeasureJob(0, 0);
  Core->Captures[0].Conditions = Core->DeviceConditions();
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  const std::string saved = ReadBytes(DocumentFile());
  const TRecordConditions measured = Core->Captures[0].Conditions;
  struct TCase {
    const char* Key;
    const char* Value;
    uint8_t Note;  // cnScaleAssumed, cnSensorUnknown; 0xFF: none
  };
  const TCase cases[] = {
      {"FullScale", "1", cnScaleAssumed},           {"FullScale", "7fffffff", cnScaleAssumed},
      {"InputRangeA", "7fffffff", cnScaleAssumed},  {"SamplingFrequency", "1e300", cnScaleAssumed},
      {"SamplingFrequency", "1e-300", cnScaleAssumed},
      {"SensorA.Sensitivity", "1e-300", cnSensorUnknown}, {"SensorA.Sensitivity", "1e300", cnSensorUnknown},
      {"SensorA.InputGain", "1e-300", cnSensorUnknown},   {"SensorA.Type", "ff", cnSensorUnknown},
      {"SensorA.Type", "3", cnSensorUnknown},       {"Length", "1", 0xFF},
      {"Length", "c8", 0xFF},  // 200: below the window's end, 202
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Key) + " " + c.Value);
    WriteBytes(DocumentFile(), saved);
    EditDocument(Document(), std::string("(<Measurement0>[\\s\\S]*?<") + c.Key + " value = \")[^\"]*", std::string("$01") + c.Value);
    auto loaded = Restarted();
    testsupport::BindDriverItems(*loaded);
    ASSERT_EQ(loaded->LoadSession(), TZelto::sfrDone);
    const TRecordConditions& read = loaded->Captures[0].Conditions;
    EXPECT_EQ(read.FullScale, measured.FullScale);
    EXPECT_EQ(read.RangeA, measured.RangeA);
    EXPECT_EQ(read.SampleRate, measured.SampleRate);
    EXPECT_EQ(read.Length, Length);
    const bool sensorKept = c.Note != cnSensorUnknown;
    EXPECT_EQ(read.SensorA.Sensitivity, sensorKept ? 100 : 0);
    EXPECT_EQ(read.SensorA.Name, u"Probe1");
    EXPECT_DOUBLE_EQ(loaded->Results[0].Freq, Core->Results[0].Freq);
    // This PC has no sensor files: the stored sensor is used where it can
    // be, and named as missing here.
    std::vector<TConditionNote> notes{{cnSensorMissing, u"Probe1"}};
    if (c.Note != 0xFF) notes.push_back({c.Note, c.Note == cnScaleAssumed ? u"" : u"Probe1"});
    EXPECT_EQ(loaded->ConditionNotes, notes);
  }
  // A sensor file no sensor can have is damaged: the lookup finds none and
  // says which file.
  SensorInfo probe = Core->VibSensorA;
  probe.Type = 3;
  ASSERT_EQ(Core->SaveSensor(u"Probe1", probe, false), TZelto::ssrSaved);
  SensorInfo found;
  EXPECT_FALSE(Core->LoadSensor(u"Probe1", found));
  ASSERT_EQ(Core->SensorFailures.size(), 1u);
  EXPECT_EQ(Core->SensorFailures[0].Error, 0);
  // The asynchronous-data reader takes the same fallback.
  Core->LiveConditions = measured;
  Core->LiveDataA.assign(Length, 7);
  auto loaded = AsyncDataReadWith("<FullScale value = \"[0-9a-f]*\"", "<FullScale value = \"1\"");
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->LiveConditions.FullScale, measured.FullScale);
  const TConditionNote assumed{cnScaleAssumed, u""};
  EXPECT_NE(std::find(loaded->ConditionNotes.begin(), loaded->ConditionNotes.end(), assumed),
            loaded->ConditionNotes.end());
}

// A sensor record without a name whose figures no sensor can have leaves
// its channel without a sensor, as one that never had a sensor does; but
// unlike that one (a sensitivity of 0, here channel B as the set-up
// stores it, and any record edited to 0), it is said, naming the channel:
// in a run, in the set-up and in asynchronous data. The set-up's record,
// which a name only leaves unsaid, is said by its name when it is damaged.
TEST_F(SessionFileTest, AnImpossibleSensorWithoutANameIsToldByItsChannel) {
  testsupport::BindDriverItems(*Core);
  Core->Type = 1;
  Core->VibSensorA = {u"", 100, stAcceleration, 0.5, 10000, 1.0};
  Core->VibSensorB.InputGain = 0;  // no sensor chosen
  MeasureJob(0, 0);
  Core->Captures[0].Conditions = Core->DeviceConditions();
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  const std::string saved = ReadBytes(DocumentFile());
  const auto impossible = [](const TZelto& core) {
    std::vector<TConditionNote> notes;
    for (const TConditionNote& note : core.ConditionNotes)
      if (note.Kind == cnSensorImpossible) notes.push_back(note);
    return notes;
  };
  const std::vector<TConditionNote> channelA{{cnSensorImpossible, u"A"}};
  struct TCase {
    const char* Section;
    const char* Key;
    const char* Value;
    bool Noted;
  };
  const TCase cases[] = {
      {"Measurement0", "SensorA.Sensitivity", "1e300", true}, {"Measurement0", "SensorA.InputGain", "1e-300", true},
      {"Measurement0", "SensorA.Type", "ff", true},           {"Options", "VibSensorA.Sensitivity", "1e-300", true},
      {"Measurement0", "SensorA.Sensitivity", "0", false},    {"Options", "VibSensorA.Sensitivity", "0", false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Section) + " " + c.Key + " " + c.Value);
    WriteBytes(DocumentFile(), saved);
    EditDocument(Document(), std::string("(<") + c.Section + ">[\\s\\S]*?<" + c.Key + " value = \")[^\"]*",
                 std::string("$01") + c.Value);
    auto loaded = Restarted();
    testsupport::BindDriverItems(*loaded);
    ASSERT_EQ(loaded->LoadSession(), TZelto::sfrDone);
    const bool setUp = std::string_view(c.Section) == "Options";
    const SensorInfo& edited = setUp ? loaded->VibSensorA : loaded->Captures[0].Conditions.SensorA;
    const SensorInfo& other = setUp ? loaded->Captures[0].Conditions.SensorA : loaded->VibSensorA;
    EXPECT_EQ(edited.Sensitivity, 0);
    EXPECT_EQ(other.Sensitivity, 100);
    EXPECT_EQ(impossible(*loaded), c.Noted ? channelA : std::vector<TConditionNote>{});
  }
  // A named one in the set-up is said by its name, as in a run.
  WriteBytes(DocumentFile(), saved);
  EditDocument(Document(), "(<VibSensorA.Name value = \")[^\"]*", "$01Probe1");
  EditDocument(Document(), "(<VibSensorA.Sensitivity value = \")[^\"]*", "$011e300");
  auto named = Restarted();
  ASSERT_EQ(named->LoadSession(), TZelto::sfrDone);
  EXPECT_EQ(named->VibSensorA.Sensitivity, 0);
  EXPECT_EQ(named->ConditionNotes, (std::vector<TConditionNote>{{cnSensorUnknown, u"Probe1"}}));
  // The asynchronous-data reader says the same.
  Core->LiveConditions = Core->Captures[0].Conditions;
  Core->LiveDataA.assign(Length, 7);
  Core->LiveDataB.assign(Length, 9);
  auto loaded = AsyncDataReadWith("(<VibSensorA.Sensitivity value = \")[^\"]*", "$011e300");
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->LiveConditions.SensorA.Sensitivity, 0);
  EXPECT_EQ(impossible(*loaded), channelA);
}

TEST_F(SessionFileTest, SensorsComeFromTheSensorFolderByName) {
  SensorInfo probe;
  probe.Name = u"Probe1";
  probe.Sensitivity = 100;
  probe.Type = 1;
  ASSERT_EQ(Core->SaveSensor(u"Probe1", probe, false), TZelto::ssrSaved);
  probe.Name = u"Probe2";
  ASSERT_EQ(Core->SaveSensor(u"Probe2", probe, false), TZelto::ssrSaved);
  Core->VibSensorA.Name = u"Probe1";
  Core->VibSensorB.Name = u"Probe2";
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  ASSERT_TRUE(Core->DeleteSensor(u"Probe1"));
  Core->VibSensorA.Sensitivity = 5;
  ASSERT_EQ(Core->LoadSession(), TZelto::sfrDone);
  EXPECT_EQ(Core->VibSensorA.Name, u"");
  EXPECT_EQ(Core->VibSensorA.Sensitivity, 0);
  EXPECT_EQ(Core->VibSensorB.Name, u"Probe2");
  EXPECT_EQ(Core->VibSensorB.Sensitivity, 100);

  // A name that would lead out of the sensor folder is no file name.
  WriteDocument(Document(), Root, [](XmlIniFile& d) {
    d.WriteString(u"Options", u"VibSensorB.Name", u"../Sensors/Probe2");
  });
  ASSERT_EQ(Core->LoadSession(), TZelto::sfrDone);
  EXPECT_EQ(Core->VibSensorB.Sensitivity, 0);
}

// The document holds every value of the runs; only the samples are in the
// raw file. Without it the values load, the sample buffers stay empty, and
// the load says so.
TEST_F(SessionFileTest, WithoutItsRawFileASessionGivesTheValuesWithoutSamples) {
  Core->AvgSize = 6;
  MeasureJob(2, 2);
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  fs::remove(RawFile());
  auto loaded = Restarted();
  ASSERT_EQ(loaded->LoadSession(), TZelto::sfrDoneWithoutSamples);
  EXPECT_EQ(loaded->AvgSize, 6);
  EXPECT_EQ(loaded->BalancingStep, 2);
  for (int32_t run = 0; run <= 2; ++run) {
    EXPECT_EQ(loaded->Results[run].Valid, 1);
    EXPECT_DOUBLE_EQ(loaded->Results[run].Meas.AmplA, Core->Results[run].Meas.AmplA);
    EXPECT_EQ(loaded->Captures[run].End, Core->Captures[run].End);
    EXPECT_TRUE(loaded->Captures[run].DataA.empty());
  }

  // A raw file that is a folder exists but can't be read.
  fs::create_directory(RawFile());
  EXPECT_EQ(loaded->LoadSession(), TZelto::sfrRawFileFailed);
  // A document that is itself damaged still fails.
  fs::remove(RawFile());
  WriteBytes(DocumentFile(), "<SessionFile><Other><Index value=\"zz");
  EXPECT_EQ(Restarted()->LoadSession(), TZelto::sfrDocumentFailed);
}

TEST_F(SessionFileTest, ANamedDocumentFindsItsRawFileBesideIt) {
  MeasureJob(1, 1);
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  fs::copy_file(AppData() / "!session.daqsession", Dir.Native(u"job.xml"));
  fs::copy_file(RawFile(), Dir.Native(u"job.daqdata"));
  fs::remove(RawFile());
  std::u16string path = Dir.File(u"job.xml");
  auto loaded = Restarted();
  ASSERT_EQ(loaded->LoadSession(path), TZelto::sfrDone);
  EXPECT_EQ(path, Dir.File(u"job.xml"));
  ExpectSameRun(*Core, *loaded, 1);
  // The raw file itself is no document.
  EXPECT_EQ(loaded->LoadSession(Dir.File(u"job.daqdata")), TZelto::sfrDocumentFailed);
}

TEST_F(SessionFileTest, ARawFileOfAnotherSaveIsNeverReadWithTheValues) {
  MeasureJob(2, 2);
  Core->AvgSize = 4;
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  const std::string saved = ReadBytes(RawFile());
  std::string sameSize = saved;
  sameSize[5] ^= 1;
  // Another size, and the same size with other samples: both come from
  // another save, and neither is read with this document's values; the
  // values load without samples, and the raw file stays as it is.
  for (const std::string& other : {SampleBytes(Ramp(2 * Length, 0)), sameSize}) {
    WriteBytes(RawFile(), other);
    auto loaded = Restarted();
    loaded->AvgSize = 2;
    EXPECT_EQ(loaded->LoadSession(), TZelto::sfrDoneWithoutSamples);
    EXPECT_EQ(loaded->AvgSize, 4);
    EXPECT_EQ(loaded->HighestStep, 2);
    for (int32_t run = 0; run <= 2; ++run) {
      EXPECT_DOUBLE_EQ(loaded->Results[run].Meas.AmplB, Core->Results[run].Meas.AmplB);
      EXPECT_TRUE(loaded->Captures[run].DataA.empty());
    }
    EXPECT_EQ(ReadBytes(RawFile()), other);
  }
}

// Runs captured with a larger device memory are read whole: only a capture
// is bounded by this device's memory. A save of the job read so writes the
// same raw file.
TEST_F(SessionFileTest, RunsLongerThanTheDeviceMemoryLoadWholeAndSaveWhole) {
  Core->RamSize = Core->BuffLength = 2 * Length;
  MeasureJob(1, 1);
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  const std::string raw = ReadBytes(RawFile());
  auto loaded = Restarted();
  loaded->RamSize = Length;
  EXPECT_EQ(loaded->LoadSession(), TZelto::sfrDone);
  EXPECT_EQ(loaded->BuffLength, Length);
  ExpectSameRun(*Core, *loaded, 1);
  EXPECT_EQ(loaded->Captures[1].Conditions.Length, 2 * Length);
  ASSERT_EQ(loaded->SaveSession(), TZelto::sfrDone);
  EXPECT_EQ(ReadBytes(RawFile()), raw);
}

// Writes beyond `bytes` fail as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &Saved);
    OldHandler = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = Saved;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &Saved);
    ::signal(SIGXFSZ, OldHandler);
  }

 private:
  rlimit Saved{};
  sighandler_t OldHandler;
};

TEST_F(SessionFileTest, TheDocumentRecordsItsRawFilesSizeAndChecksum) {
  MeasureJob(1, 1);
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  const std::string raw = ReadBytes(RawFile());
  const auto d = ReadDocument(Document(), Root);
  EXPECT_EQ(d->ReadString(u"Other", u"DataBytes", u""), u"800");
  EXPECT_EQ(static_cast<uint32_t>(d->ReadInteger(u"Other", u"DataChecksum", 0)), Crc32(0, raw.data(), raw.size()));
  // The checksum is the common CRC-32.
  EXPECT_EQ(Crc32(0, "123456789", 9), 0xCBF43926u);
  EXPECT_EQ(Crc32(Crc32(0, "1234", 4), "56789", 5), 0xCBF43926u);
}

TEST_F(SessionFileTest, OlderDocumentsWithoutAChecksumStillLoad) {
  MeasureJob(2, 2);
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  // As the version before the checksum wrote it: the byte count only.
  std::u16string text = Utf16LeText(ReadBytes(DocumentFile()));
  const size_t line = text.find(u" <DataChecksum");
  ASSERT_NE(line, std::u16string::npos);
  text.erase(line, text.find(u"\r\n", line) + 2 - line);
  ASSERT_NE(text.find(u"<DataBytes"), std::u16string::npos);
  WriteBytes(DocumentFile(), Utf16LeBytes(text));
  auto loaded = Restarted();
  ASSERT_EQ(loaded->LoadSession(), TZelto::sfrDone);
  for (int32_t run = 0; run <= 2; ++run) ExpectSameRun(*Core, *loaded, run);
  // Its byte count still tells a raw file of another size.
  WriteBytes(RawFile(), SampleBytes(Ramp(Length, 0)));
  EXPECT_EQ(loaded->LoadSession(), TZelto::sfrDoneWithoutSamples);
}

TEST_F(SessionFileTest, DocumentsWithoutARecordTakeOnlyARawFileOfTheirLayout) {
  Core->Type = 1;
  MeasureJob(2, 2);
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  // As the versions before the record wrote it: neither count nor checksum.
  std::u16string text = Utf16LeText(ReadBytes(DocumentFile()));
  for (const std::u16string_view key : {u" <DataChecksum", u" <DataBytes"}) {
    const size_t line = text.find(key);
    ASSERT_NE(line, std::u16string::npos);
    text.erase(line, text.find(u"\r\n", line) + 2 - line);
  }
  WriteBytes(DocumentFile(), Utf16LeBytes(text));
  const std::string raw = ReadBytes(RawFile());
  ASSERT_EQ(raw.size(), 6u * Length * 4);
  ASSERT_EQ(Restarted()->LoadSession(), TZelto::sfrDone);
  // Three runs of two channels are six blocks: a raw file of five or seven
  // holds the samples of another save, and none of them is read.
  for (const std::string& other : {raw.substr(Length * 4), raw + raw.substr(0, Length * 4)}) {
    WriteBytes(RawFile(), other);
    auto loaded = Restarted();
    EXPECT_EQ(loaded->LoadSession(), TZelto::sfrDoneWithoutSamples);
    EXPECT_TRUE(loaded->Captures[0].DataA.empty());
  }
}

TEST_F(SessionFileTest, ASaveStoppedAfterItsDocumentGivesTheNewPair) {
  MeasureJob(2, 2);
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  const std::string oldRaw = ReadBytes(RawFile());
  Core->Captures[1].DataA = Ramp(Length, 77);
  Core->Results[1].Meas.AmplA = 9;
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  const std::string newRaw = ReadBytes(RawFile());
  // The new document is in place, its raw file still waits under the
  // pending name, and the old raw file is where it was.
  fs::rename(RawFile(), PendingFile());
  WriteBytes(RawFile(), oldRaw);
  auto loaded = Restarted();
  ASSERT_EQ(loaded->LoadSession(), TZelto::sfrDone);
  for (int32_t run = 0; run <= 2; ++run) ExpectSameRun(*Core, *loaded, run);
  // The pending file took the raw file's place.
  EXPECT_EQ(ReadBytes(RawFile()), newRaw);
  EXPECT_FALSE(fs::exists(PendingFile()));
}

TEST_F(SessionFileTest, ASaveStoppedBeforeItsDocumentGivesTheOldPair) {
  MeasureJob(2, 2);
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  auto previous = Restarted();
  ASSERT_EQ(previous->LoadSession(), TZelto::sfrDone);
  // A raw file of a later save waits, but its document never came.
  WriteBytes(PendingFile(), SampleBytes(Ramp(3 * Length, 5)));
  auto loaded = Restarted();
  ASSERT_EQ(loaded->LoadSession(), TZelto::sfrDone);
  for (int32_t run = 0; run <= 2; ++run) ExpectSameRun(*previous, *loaded, run);
  // The next save removes it.
  ASSERT_EQ(loaded->SaveSession(), TZelto::sfrDone);
  EXPECT_FALSE(fs::exists(PendingFile()));
  EXPECT_EQ(ReadBytes(RawFile()).size(), 3u * Length * 4);
}

TEST_F(SessionFileTest, ASaveAfterAnInterruptedOneKeepsThatOnesPair) {
  Core->Type = 1;
  MeasureJob(2, 2);
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  const std::string oldRaw = ReadBytes(RawFile());
  Core->Results[2].Meas.AmplB = 7;
  Core->Captures[2].DataB = Ramp(Length, 3);
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  auto interrupted = Restarted();
  ASSERT_EQ(interrupted->LoadSession(), TZelto::sfrDone);
  fs::rename(RawFile(), PendingFile());
  WriteBytes(RawFile(), oldRaw);
  // The next save gets its raw file to the pending name and then fails at
  // its document: the interrupted save's pair must survive that.
  Core->BuffLength = 16;
  Core->Type = 0;
  for (CaptureRecord& c : Core->Captures) c = CaptureRecord();
  Core->Captures[0].DataA = Ramp(16, 0);
  {
    FileSizeLimit limit(2000);
    EXPECT_EQ(Core->SaveSession(), TZelto::sfrDocumentFailed);
  }
  auto loaded = Restarted();
  ASSERT_EQ(loaded->LoadSession(), TZelto::sfrDone);
  for (int32_t run = 0; run <= 2; ++run) ExpectSameRun(*interrupted, *loaded, run);
  size_t entries = 0;
  for (const auto& entry : fs::directory_iterator(AppData())) entries += entry.is_regular_file();
  EXPECT_EQ(entries, 2u);
}

TEST_F(SessionFileTest, APipeNamedLikeTheDocumentIsRefusedAtOnce) {
  ASSERT_EQ(::mkfifo(DocumentFile().c_str(), 0600), 0);
  ::alarm(10);  // a reader that waits for a writer ends the suite here
  EXPECT_EQ(Core->LoadSession(), TZelto::sfrDocumentFailed);
  ::alarm(0);
}

// Two names of one file (on a FAT stick "Pump.DAQDATA" and "Pump.daqdata";
// a hard link here) are never taken for a document and its raw file: no
// save, save-as or load of a session or of asynchronous data writes
// the document over itself or reads it as its own samples. A link is not
// such a second name for a save, which replaces it.
TEST_F(SessionFileTest, TwoNamesOfOneFileAreNeverADocumentAndItsRawFile) {
  MeasureJob(1, 1);
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  const auto twin = [this](std::u16string_view document, std::u16string_view raw) {
    fs::copy_file(DocumentFile(), Dir.Native(document));
    fs::create_hard_link(Dir.Native(document), Dir.Native(raw));
    return Dir.File(document);
  };
  const std::u16string session = twin(u"pump.daqsession", u"pump.daqdata");
  const std::u16string async = twin(u"trace.asd", u"trace.bin");
  const std::string bytes = ReadBytes(DocumentFile());
  std::u16string raw;
  EXPECT_EQ(Core->SessionSaveTarget(session, raw), TSaveTarget::RawIsDocument);
  EXPECT_EQ(Core->AsyncDataSaveTarget(async, raw), TSaveTarget::RawIsDocument);
  EXPECT_NE(Core->SaveSessionAs(session), TZelto::sfrDone);
  Core->LiveDataA = Ramp(Length, 5);
  EXPECT_FALSE(Core->SaveAsyncData(async));
  auto reader = Restarted();
  EXPECT_EQ(reader->LoadSession(session), TZelto::sfrDocumentFailed);
  EXPECT_FALSE(reader->LoadAsyncData(async));
  for (std::u16string_view name : {u"pump.daqsession", u"pump.daqdata", u"trace.asd", u"trace.bin"}) {
    SCOPED_TRACE(rtl::Utf16ToUtf8(name));
    EXPECT_EQ(ReadBytes(Dir.Native(name)), bytes);
    EXPECT_EQ(fs::hard_link_count(Dir.Native(name)), 2u);
  }
  // A link under the raw name to a document not yet written is no second
  // name of the document: the save replaces the link, and the pair loads
  // whole.
  fs::create_symlink(Dir.Native(u"fresh.daqsession"), Dir.Native(u"fresh.daqdata"));
  ASSERT_EQ(Core->SaveSessionAs(Dir.File(u"fresh.daqsession")), TZelto::sfrDone);
  EXPECT_FALSE(fs::is_symlink(Dir.Native(u"fresh.daqdata")));
  EXPECT_EQ(Restarted()->LoadSession(Dir.File(u"fresh.daqsession")), TZelto::sfrDone);
}

// A lock file's name is known in advance, in folders others may write in:
// a link planted under it is refused, and nothing is created where it
// points. The pair's lock for writing and for reading, and a device's lock.
TEST_F(SessionFileTest, ALockNameThatIsALinkIsRefusedAndNothingIsCreatedElsewhere) {
  const fs::path elsewhere = Dir.Path / "elsewhere";
  fs::create_directory(AppData().parent_path());
  fs::create_directory(AppData());
  const fs::path pairLock = AppData() / "!session.daqdata.lock";
  fs::create_symlink(elsewhere, pairLock);
  MeasureJob(1, 1);
  EXPECT_NE(Core->SaveSession(), TZelto::sfrDone);
  for (const auto use : {datafile::TPairLock::TUse::Write, datafile::TPairLock::TUse::Read}) {
    const datafile::TPairLock lock(Core->AutoDataFile, use);
    EXPECT_FALSE(lock.Held());
    EXPECT_EQ(lock.ErrorNumber(), rtl::LinkRefusedError);
  }
  EXPECT_FALSE(rtl::SystemErrorText(rtl::LinkRefusedError).empty());
  const std::string deviceLocks = (Dir.Path / "locks").string();
  fs::create_directory(deviceLocks);
  fs::create_symlink(elsewhere, rtl::NamedLockPath("Sartel_Device_1", deviceLocks));
  rtl::TNamedLock device("Sartel_Device_1", deviceLocks);
  EXPECT_FALSE(device.TryAcquire());
  EXPECT_FALSE(fs::exists(elsewhere));
  EXPECT_TRUE(fs::is_symlink(pairLock));
  EXPECT_FALSE(fs::exists(DocumentFile()));
}

TEST_F(SessionFileTest, AFailedSaveLeavesThePreviousSessionReadable) {
  Core->Type = 1;
  Core->BuffLength = 2048;
  MeasureJob(2, 2);
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  auto previous = Restarted();
  ASSERT_EQ(previous->LoadSession(), TZelto::sfrDone);

  MeasureJob(3, 3);
  Core->Captures[0].DataA.assign(2048, 99);
  {
    // The raw file breaks off in its fifth block.
    FileSizeLimit limit(40000);
    EXPECT_EQ(Core->SaveSession(), TZelto::sfrRawFileFailed);
  }
  Core->BuffLength = 16;
  for (CaptureRecord& c : Core->Captures) c = CaptureRecord();
  {
    // The raw file is complete, the document is not.
    FileSizeLimit limit(2000);
    EXPECT_EQ(Core->SaveSession(), TZelto::sfrDocumentFailed);
  }
  auto loaded = Restarted();
  ASSERT_EQ(loaded->LoadSession(), TZelto::sfrDone);
  EXPECT_EQ(loaded->HighestStep, 2);
  for (int32_t run = 0; run <= 2; ++run) ExpectSameRun(*previous, *loaded, run);
  // No temporary file is left behind.
  size_t entries = 0;
  for (const auto& entry : fs::directory_iterator(AppData())) entries += entry.is_regular_file();
  EXPECT_EQ(entries, 2u);
}

}  // namespace
