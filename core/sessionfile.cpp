// Session files: the whole balancing job as a pair of files with one base
// name. The document (".daqsession", an XmlIniFile with root "SessionFile")
// holds the settings, the sensors, the rotor, the session texts and one
// section per run with the conditions its samples were captured under
// (conditionkeys.h); the raw file (".daqdata") holds the runs' samples, one
// block of "BuffLength" samples per channel and run, in the order the
// sections name them. A record shorter than the blocks is padded in the
// file and says its own length ("Length"); the capture length of the
// set-up is "CaptureLength". The core writes only the automatic pair; it
// reads any pair.

#include <algorithm>
#include <cerrno>
#include <new>
#include <optional>
#include <span>
#include <string>

#include "conditionkeys.h"
#include "conditionlimits.h"
#include "datafilepair.h"
#include "datafilevalues.h"
#include "folders.h"
#include "formatting.h"
#include "gainsetting.h"
#include "pathbinding.h"
#include "rawsamplefile.h"
#include "storedscale.h"
#include "textconv.h"
#include "xmlinifile.h"
#include "zelto.h"

namespace {

constexpr std::u16string_view Root = u"SessionFile";
constexpr std::u16string_view Options = u"Options";
constexpr std::u16string_view Config = u"Config";
constexpr std::u16string_view Other = u"Other";
constexpr std::u16string_view RawExtension = u".daqdata";

constexpr size_t MaxSensorName = 21;
constexpr size_t MaxUnit = 7;
constexpr size_t MaxSessionText = 29;
constexpr int32_t HighestClassIndex = 10;
constexpr int32_t HighestRotorType = 4;
constexpr int32_t HighestSpeedTolerance = 4;
constexpr int32_t HighestWindowType = 7;

// The raw file beside a named document: the document's extension (the last
// dot of its name and what follows) replaced by ".daqdata". The save
// dialog gives every new document the extension ".daqsession", so two
// documents never share a raw file; documents named otherwise by earlier
// versions find their raw file where those put it.
std::u16string RawPathOf(std::u16string path) {
  Shlwapi.PathRenameExtensionW(path, RawExtension);
  return path;
}

std::u16string RunSection(int32_t run) { return u"Measurement" + rtl::AsciiToUtf16(std::to_string(run)); }

// ---- writing ----

void WriteSessionTexts(XmlIniFile& d, const TSessionInfo& s) {
  d.WriteInteger(Options, u"Session.Date.Year", s.Date.Year);
  d.WriteInteger(Options, u"Session.Date.Month", s.Date.Month);
  d.WriteInteger(Options, u"Session.Date.Day", s.Date.Day);
  d.WriteStringA(Options, u"Session.Location", s.Location);
  d.WriteStringA(Options, u"Session.Operator", s.Operator);
  d.WriteStringA(Options, u"Session.MachineOwner", s.MachineOwner);
  d.WriteStringA(Options, u"Session.Machine", s.Machine);
  d.WriteStringA(Options, u"Session.Object", s.Object);
}

void WriteRotor(XmlIniFile& d, const RotorDefinition& r) {
  d.WriteInteger(Options, u"Rotor.Type", r.Type);
  d.WriteFloat(Options, u"Rotor.a", r.a);
  d.WriteFloat(Options, u"Rotor.b", r.b);
  d.WriteFloat(Options, u"Rotor.l", r.l);
  d.WriteInteger(Options, u"Rotor.MassCentreLocation", r.MassCentreLocation);
  d.WriteFloat(Options, u"Rotor.s", r.s);
  d.WriteFloat(Options, u"Rotor.dA", r.dA);
  d.WriteFloat(Options, u"Rotor.dB", r.dB);
  d.WriteFloat(Options, u"Rotor.m", r.m);
  d.WriteFloat(Options, u"Rotor.f", r.f);
  d.WriteInteger(Options, u"Rotor.ClassIndex", r.ClassIndex);
}

// A record's own length; one that holds no conditions (filled by hand) is
// as long as a capture now.
int32_t RecordLength(const TZelto& core, const CaptureRecord& c) {
  return c.Conditions.Holds() ? c.Conditions.Length : core.BuffLength;
}

// Samples per block of the raw file: the longest record stored, at least
// the capture length, so no record is cut to fit.
int32_t BlockLength(const TZelto& core) {
  int32_t length = core.BuffLength;
  const int32_t last = std::clamp(core.HighestStep, 0, LastRun);
  for (int32_t run = 0; run <= last; ++run) {
    const CaptureRecord& c = core.Captures[run];
    if (!c.DataA.empty() || !c.DataB.empty()) length = std::max(length, RecordLength(core, c));
  }
  return length;
}

void WriteSettings(XmlIniFile& d, const TZelto& core) {
  d.WriteInteger(Options, u"BuffLength", BlockLength(core));
  d.WriteInteger(Options, u"CaptureLength", core.BuffLength);
  d.WriteInteger(Options, u"AvgSize", core.AvgSize);
  d.WriteInteger(Options, u"SamplingRate", core.SamplingRate);
  d.WriteInteger(Options, u"GainA", core.GainA);
  d.WriteInteger(Options, u"GainB", core.GainB);
  datafile::WriteScaleKeys(d, Options, core.DeviceConditions());
  datafile::WriteSensorKeys(d, Options, u"VibSensorA", core.VibSensorA);
  datafile::WriteSensorKeys(d, Options, u"VibSensorB", core.VibSensorB);
  d.WriteInteger(Options, u"RotationDir", core.RotationDir);
  d.WriteInteger(Options, u"Type", core.Type);
  d.WriteFloat(Options, u"CtrlMass.Value", core.CtrlMass.Value);
  d.WriteStringA(Options, u"CtrlMass.Unit", core.CtrlMass.Unit);
  WriteRotor(d, core.Rotor);
  d.WriteInteger(Options, u"MassAdd", core.MassAdd);
  d.WriteInteger(Options, u"SpeedTolerance", core.SpeedTolerance);
  d.WriteInteger(Options, u"RotorDivCount", core.RotorDivCount);
  d.WriteInteger(Options, u"DivideMass", core.DivideMass);
  d.WriteInteger(Options, u"GWB.Enabled", core.GWB.Enabled);
  d.WriteInteger(Options, u"GWB.Mode", core.GWB.Mode);
  d.WriteFloat(Options, u"GWB.Shift", core.GWB.Shift);
  WriteSessionTexts(d, core.Session);
  d.WriteInteger(Options, u"SpeedDisplayMode", core.SpeedDisplayMode);
  d.WriteInteger(Config, u"WindowType", core.WindowType);
}

// The correction of a run, with its not-computable flag beside it.
void WriteCorrection(XmlIniFile& d, std::u16string_view section, const MeasurementResult& r) {
  d.WriteFloat(section, u"Result.MassA", r.Result.MassA);
  d.WriteFloat(section, u"Result.AngleA", r.Result.AngleA);
  d.WriteFloat(section, u"Result.MassB", r.Result.MassB);
  d.WriteFloat(section, u"Result.AngleB", r.Result.AngleB);
  d.WriteInteger(section, u"Result.NotComputable", r.NotComputable ? 1 : 0);
}

// One run's section, and its blocks appended to the raw file.
void WriteRun(XmlIniFile& d, datafile::TDataFilePairWriter& raw, const TZelto& core, int32_t run,
              int32_t blockLength) {
  const std::u16string section = RunSection(run);
  const CaptureRecord& capture = core.Captures[run];
  const MeasurementResult& result = core.Results[run];
  if (run == RunCorrection) {
    WriteCorrection(d, section, result);
  } else {
    d.WriteInteger(section, u"T", capture.T);
    d.WriteInteger(section, u"Start", capture.Start);
    d.WriteInteger(section, u"End", capture.End);
    d.WriteFloat(section, u"Meas.AmplA", result.Meas.AmplA);
    d.WriteFloat(section, u"Meas.PhA", result.Meas.PhA);
    d.WriteFloat(section, u"Meas.AmplB", result.Meas.AmplB);
    d.WriteFloat(section, u"Meas.PhB", result.Meas.PhB);
    if (run > RunCorrection) WriteCorrection(d, section, result);
    d.WriteFloat(section, u"Freq", result.Freq);
  }
  const bool hasA = !capture.DataA.empty();
  const bool hasB = core.Type == 1 && !capture.DataB.empty();
  // A record is stored with what it is shown with: its own conditions, or
  // (one that holds none) the device's now.
  if (run != RunCorrection && (hasA || hasB || result.Valid || HoldsReading(result, run))) {
    const TRecordConditions conditions = core.RecordConditions(run);
    if (conditions.Known())
      datafile::WriteConditionKeys(d, section, conditions, true);
    else
      d.WriteInteger(section, u"Length", conditions.Length);
  }
  d.WriteInteger(section, u"DataA", hasA ? 1 : 0);
  d.WriteInteger(section, u"DataB", hasB ? 1 : 0);
  // Only the record's own samples; the rest of the block is padding.
  const size_t length = static_cast<size_t>(std::max(RecordLength(core, capture), 0));
  const auto block = [&](const std::vector<int32_t>& data) {
    raw.WriteBlock(std::span<const int32_t>(data).first(std::min(data.size(), length)), blockLength);
  };
  if (hasA) block(capture.DataA);
  if (hasB) block(capture.DataB);
}

// ---- reading ----

// What the document says about the shape of the raw file and the runs. A
// file whose values here are impossible is refused as a whole.
struct TSessionLayout {
  int32_t StoredLength = 0;  // samples per block in the raw file
  int32_t Index = 0;         // the current run
  int32_t Highest = 0;       // the highest run measured, the last one stored
};

// A device that always captures its whole memory does so whatever the file
// says; the model tells at start-up.
bool CapturesWholeMemory(const TZelto& core) { return core.CapturesWholeMemory; }

std::optional<TSessionLayout> ReadLayout(const XmlIniFile& d, const TZelto& core) {
  TSessionLayout layout;
  layout.StoredLength = d.ReadInteger(Options, u"BuffLength", core.RamSize);
  if (datafile::HasKey(d, Options, u"BuffLength")) {
    // The stored length becomes the capture length, which the spectrum needs
    // as a power of two, unless the device replaces it by its memory size;
    // then it only steps through the raw blocks. Either way it sizes the
    // records, so it is never longer than a device's memory.
    const bool usable = CapturesWholeMemory(core) ? conditionlimits::PossibleLength(layout.StoredLength)
                                                  : datafile::IsSampleCount(layout.StoredLength);
    if (!usable) return std::nullopt;
  }
  layout.Index = d.ReadInteger(Other, u"Index", 0);
  // Files from before the highest step was stored end at the current one.
  layout.Highest = d.ReadInteger(Other, u"HighestStep", layout.Index);
  if (!datafile::IsRunIndex(layout.Index) || !datafile::IsRunIndex(layout.Highest)) return std::nullopt;
  return layout;
}

void ReadRotor(const XmlIniFile& d, RotorDefinition& r) {
  r.Type = TableIndex(d.ReadInteger(Options, u"Rotor.Type", 0), HighestRotorType, 0);
  r.a = d.ReadFloat(Options, u"Rotor.a", 0.0);
  r.b = d.ReadFloat(Options, u"Rotor.b", 0.0);
  r.l = d.ReadFloat(Options, u"Rotor.l", 0.0);
  r.MassCentreLocation = d.ReadInteger(Options, u"Rotor.MassCentreLocation", 0) != 0;
  r.s = d.ReadFloat(Options, u"Rotor.s", 0.0);
  r.dA = d.ReadFloat(Options, u"Rotor.dA", 0.0);
  r.dB = d.ReadFloat(Options, u"Rotor.dB", 0.0);
  r.m = d.ReadFloat(Options, u"Rotor.m", 0.0);
  r.f = d.ReadFloat(Options, u"Rotor.f", 0.0);
  r.ClassIndex = TableIndex(d.ReadInteger(Options, u"Rotor.ClassIndex", 8), HighestClassIndex, 8);
}

void ReadSessionTexts(const XmlIniFile& d, TSessionInfo& s) {
  s.Date.Year = static_cast<uint16_t>(d.ReadInteger(Options, u"Session.Date.Year", 0));
  s.Date.Month = static_cast<uint16_t>(d.ReadInteger(Options, u"Session.Date.Month", 0));
  s.Date.Day = static_cast<uint16_t>(d.ReadInteger(Options, u"Session.Date.Day", 0));
  s.Location = d.ReadStringA(Options, u"Session.Location", "", MaxSessionText);
  s.Operator = d.ReadStringA(Options, u"Session.Operator", "", MaxSessionText);
  s.MachineOwner = d.ReadStringA(Options, u"Session.MachineOwner", "", MaxSessionText);
  s.Machine = d.ReadStringA(Options, u"Session.Machine", "", MaxSessionText);
  s.Object = d.ReadStringA(Options, u"Session.Object", "", MaxSessionText);
}

// The capture length of the set-up, which the device's memory bounds; the
// stored records keep their own lengths.
void ReadCaptureSettings(const XmlIniFile& d, TZelto& core, int32_t storedLength) {
  const int32_t captureLength = d.ReadInteger(Options, u"CaptureLength", storedLength);
  const int32_t wanted = datafile::IsSampleCount(captureLength) ? captureLength : storedLength;
  core.BuffLength = CapturesWholeMemory(core) ? core.RamSize : std::min(wanted, core.RamSize);
  core.AvgSize = std::clamp(d.ReadInteger(Options, u"AvgSize", 1), 1, MaxAvgSize);
  core.SamplingRate = TableIndex(d.ReadInteger(Options, u"SamplingRate", 3), core.DriverClockCount() - 1, 3);
  // A job opened on another device model keeps its ranges' millivolts.
  const bool twoPlanes = TableIndex(d.ReadInteger(Options, u"Type", 0), 1, 0) == 1;
  core.GainA = datafile::ReadGainIndex(d, Options, 0, core, 1, true);
  core.GainB = datafile::ReadGainIndex(d, Options, 1, core, 1, twoPlanes);
}

void ReadSettings(const XmlIniFile& d, TZelto& core, int32_t storedLength) {
  ReadCaptureSettings(d, core, storedLength);
  // The set-up's sensors as stored; a file that names them only takes this
  // PC's sensors of those names, and a name not found here leaves the
  // channel without a sensor for the next capture.
  core.VibSensorA = datafile::ReadStoredSensor(d, Options, u"VibSensorA", core, false);
  core.VibSensorB = datafile::ReadStoredSensor(d, Options, u"VibSensorB", core, false);
  for (SensorInfo* sensor : {&core.VibSensorA, &core.VibSensorB})
    if (sensor->Sensitivity == 0) *sensor = SensorInfo{};
  core.RotationDir = TableIndex(d.ReadInteger(Options, u"RotationDir", 0), 1, 0);
  core.Type = TableIndex(d.ReadInteger(Options, u"Type", 0), 1, 0);
  core.CtrlMass.Value = d.ReadFloat(Options, u"CtrlMass.Value", 1.0);
  core.CtrlMass.Unit = d.ReadStringA(Options, u"CtrlMass.Unit", "g", MaxUnit);
  ReadRotor(d, core.Rotor);
  core.MassAdd = d.ReadInteger(Options, u"MassAdd", 1) != 0;
  core.SpeedTolerance = TableIndex(d.ReadInteger(Options, u"SpeedTolerance", 2), HighestSpeedTolerance, 2);
  core.RotorDivCount = d.ReadInteger(Options, u"RotorDivCount", 6);
  core.DivideMass = d.ReadInteger(Options, u"DivideMass", 0) != 0;
  core.GWB.Enabled = d.ReadInteger(Options, u"GWB.Enabled", 0) != 0;
  core.GWB.Mode = TableIndex(d.ReadInteger(Options, u"GWB.Mode", 1), 1, 1);
  core.GWB.Shift = d.ReadFloat(Options, u"GWB.Shift", 45.0);
  ReadSessionTexts(d, core.Session);
  core.SpeedDisplayMode = TableIndex(d.ReadInteger(Options, u"SpeedDisplayMode", 1), 1, 1);
  core.WindowType = TableIndex(d.ReadInteger(Config, u"WindowType", 0), HighestWindowType, 0);
}

void ReadCorrection(const XmlIniFile& d, std::u16string_view section, MeasurementResult& r) {
  r.Result.MassA = d.ReadFloat(section, u"Result.MassA", 0.0);
  r.Result.AngleA = d.ReadFloat(section, u"Result.AngleA", 0.0);
  r.Result.MassB = d.ReadFloat(section, u"Result.MassB", 0.0);
  r.Result.AngleB = d.ReadFloat(section, u"Result.AngleB", 0.0);
  r.NotComputable = d.ReadInteger(section, u"Result.NotComputable", 0) != 0;
}

// A block of the raw file into a run's channel, at the record's own length.
void ReadChannel(TRawSampleReader& raw, int32_t storedLength, int32_t length, std::vector<int32_t>& data) {
  data.assign(static_cast<size_t>(std::max(length, 0)), 0);
  raw.ReadBlock(storedLength, data);
}

// The device the scale of an older file is assumed from; empty in demo mode.
std::u16string AssumedDevice(const TZelto& core) { return core.DeviceReady ? TextOf(core.DeviceDescr) : u""; }

// What a run was captured under: as its section stores it, or, in a file
// written before the conditions were kept, the scale, ranges and rate at
// the stored positions of this device's lists and the set-up's sensors,
// each assumption noted. The record keeps the stored length.
TRecordConditions ReadRunConditions(const XmlIniFile& d, std::u16string_view section, const TZelto& core,
                                    int32_t storedLength) {
  TRecordConditions c;
  // A record holds at least its window and fits in its block (a run
  // stored without samples has none, and only a device's memory bounds
  // it); a length that doesn't would cut the samples the run was evaluated
  // over, so the record takes its whole block, as in a file without
  // lengths.
  const bool inBlocks = d.ReadInteger(section, u"DataA", 0) != 0 || d.ReadInteger(section, u"DataB", 0) != 0;
  const int32_t longest = inBlocks ? storedLength : conditionlimits::LargestDeviceMemory;
  const int32_t length = d.ReadInteger(section, u"Length", storedLength);
  const int32_t end = d.ReadInteger(section, u"End", 0);
  c.Length = length > 0 && length >= end && length <= longest ? length : storedLength;
  if (datafile::ReadScaleKeys(d, section, c)) {
    c.SensorA = datafile::ReadStoredSensor(d, section, u"SensorA", core, true);
    c.SensorB = datafile::ReadStoredSensor(d, section, u"SensorB", core, true);
    return c;
  }
  c.FullScale = core.DriverFullScale();
  c.RangeA = core.DriverInputRange(core.GainA);
  c.RangeB = core.DriverInputRange(core.GainB);
  c.SampleRate = core.DriverSamplingFrequency();
  // Without a driver nothing has a scale, and no amplitude is shown at all.
  if (c.Known()) core.NoteCondition(cnScaleAssumed, AssumedDevice(core));
  const std::u16string_view prefixes[] = {u"VibSensorA", u"VibSensorB"};
  for (uint8_t channel = 0; channel <= core.Type && channel < 2; ++channel) {
    if (datafile::HoldsSensorRecord(d, Options, prefixes[channel])) continue;
    const std::u16string name = d.ReadString(Options, std::u16string(prefixes[channel]) + u".Name", u"", MaxSensorName);
    if (!name.empty()) core.NoteCondition(core.ChannelSensor(channel).Sensitivity != 0 ? cnSensorAssumed : cnSensorUnknown, name);
  }
  c.SensorA = core.VibSensorA;
  c.SensorB = core.VibSensorB;
  if (c.SensorA.Sensitivity == 0) c.SensorA.Name = d.ReadString(Options, u"VibSensorA.Name", u"", MaxSensorName);
  if (c.SensorB.Sensitivity == 0) c.SensorB.Name = d.ReadString(Options, u"VibSensorB.Name", u"", MaxSensorName);
  return c;
}

// The input ranges of a scale, as a condition note names them.
std::u16string RangesText(const TRecordConditions& c, bool twoChannels) {
  std::u16string text = u"A: " + FormatVoltage(c.RangeA, 1);
  if (twoChannels) text += u", B: " + FormatVoltage(c.RangeB, 1);
  return text;
}

// A run of an older file is shown at the scale its stored amplitudes give,
// when one known model's does, rather than at the scale assumed from this
// device's lists; where none does, the note says that its signals may not
// match the values stored with it.
void FindOlderRunScale(const XmlIniFile& d, std::u16string_view section, TZelto& core, CaptureRecord& capture,
                       const TVector4& stored) {
  // Only a file older than the scale keys is searched: one that stores a
  // scale no device has is damaged, and its runs keep the stated fallback.
  if (!capture.Conditions.Known() || datafile::HoldsScaleKeys(d, section)) return;
  const bool twoChannels = core.Type == 1;
  const TScaleSearch search = ScaleOfStoredAmplitudes(capture, stored, twoChannels, core.GainA, core.GainB);
  if (!search.Compared) return;
  if (!search.Scale) {
    core.NoteCondition(cnScaleUnconfirmed, u"");
    return;
  }
  TRecordConditions found = capture.Conditions;
  found.FullScale = search.Scale->FullScale;
  found.RangeA = search.Scale->RangeA;
  found.RangeB = search.Scale->RangeB;
  if (found.MillivoltsPerCount(0) == capture.Conditions.MillivoltsPerCount(0) &&
      (!twoChannels || found.MillivoltsPerCount(1) == capture.Conditions.MillivoltsPerCount(1)))
    return;
  capture.Conditions = found;
  core.NoteCondition(cnScaleFound, RangesText(found, twoChannels));
}

// The run's values from its section and, with a raw file, its samples; true
// when the section names a block of samples. Every run up to the highest
// step has a section, also one never measured: the run is valid only when
// its values hold a reading.
bool ReadRun(const XmlIniFile& d, TZelto& core, int32_t run, int32_t storedLength, TRawSampleReader* raw) {
  // Every write of the run's record, conditions and samples is made under
  // the lock their readers hold: a spectrum thread that starts meanwhile
  // sizes its spectra from them (LongestRecord).
  rtl::TCriticalSectionGuard guard(core.ResultsLock);
  const std::u16string section = RunSection(run);
  CaptureRecord& capture = core.Captures[run];
  MeasurementResult& result = core.Results[run];
  if (run == RunCorrection) {
    ReadCorrection(d, section, result);
  } else {
    capture.T = d.ReadInteger(section, u"T", 0);
    capture.Start = d.ReadInteger(section, u"Start", 0);
    capture.End = d.ReadInteger(section, u"End", 0);
    result.Meas.AmplA = d.ReadFloat(section, u"Meas.AmplA", 0.0);
    result.Meas.PhA = d.ReadFloat(section, u"Meas.PhA", 0.0);
    result.Meas.AmplB = d.ReadFloat(section, u"Meas.AmplB", 0.0);
    result.Meas.PhB = d.ReadFloat(section, u"Meas.PhB", 0.0);
    if (run > RunCorrection) ReadCorrection(d, section, result);
    result.Slots[0] = result.Meas;
    result.Freq = d.ReadFloat(section, u"Freq", 0.0);
  }
  result.Valid = HoldsReading(result, run) ? 1 : 0;
  const bool hasA = d.ReadInteger(section, u"DataA", 0) != 0;
  const bool hasB = core.Type == 1 && d.ReadInteger(section, u"DataB", 0) != 0;
  if (run != RunCorrection && (result.Valid || hasA || hasB))
    capture.Conditions = ReadRunConditions(d, section, core, storedLength);
  const int32_t length = capture.Conditions.Length;
  if (raw && hasA) ReadChannel(*raw, storedLength, length, capture.DataA);
  if (raw && hasB) ReadChannel(*raw, storedLength, length, capture.DataB);
  if (run != RunCorrection) FindOlderRunScale(d, section, core, capture, result.Meas);
  return hasA || hasB;
}

void ClearStatistics(TZelto& core) {
  core.MeanA = core.MeanB = core.RmsA = core.RmsB = 0;
  core.MinA = core.MinB = core.MaxA = core.MaxB = 0;
  core.OverloadA = core.OverloadB = 0;
}

// A run whose samples can be evaluated again: a window inside the samples
// that holds whole revolutions.
bool CanEvaluate(const CaptureRecord& c) {
  return c.T > 0 && c.Start >= 0 && c.Start < c.End && c.End <= c.Conditions.Length &&
         c.DataA.size() >= static_cast<size_t>(c.End);
}

// The statistics of the current run, from its samples. The speed, the
// averaged vectors and the corrections stay as stored: evaluating the
// stored capture again would count it as one more reading, and a rate the
// reader had to assume would give the run another speed than it was
// measured at.
void RefreshCurrentRun(TZelto& core) {
  ClearStatistics(core);
  const int32_t run = core.BalancingStep;
  if (run == RunCorrection || !CanEvaluate(core.Captures[run])) return;
  const MeasurementResult stored = core.Results[run];
  core.EvaluateCapture(0, run);
  core.Results[run] = stored;
}

// The raw file's size the document asks for: a block for each channel that
// a run's section says was stored, whether or not the run is read. An
// impossible layout asks for none; ReadLayout refuses it.
uint64_t RawBytesOf(const XmlIniFile& d, const TZelto& core) {
  const std::optional<TSessionLayout> layout = ReadLayout(d, core);
  if (!layout) return 0;
  uint64_t blocks = 0;
  for (int32_t run = 0; run < RunCount; ++run) {
    const std::u16string section = RunSection(run);
    blocks += d.ReadInteger(section, u"DataA", 0) != 0;
    blocks += d.ReadInteger(section, u"DataB", 0) != 0;
  }
  return datafile::RawFileBytes(blocks, layout->StoredLength);
}

}  // namespace

int32_t TZelto::SaveSession() {
  std::u16string folder = AutoSessionFile;
  if (Shlwapi.PathRemoveFileSpecW(folder) && !folder.empty() && !Shlwapi.PathIsDirectoryW(folder))
    rtl::ForceDirectories(folder);
  return SaveSessionPair(AutoSessionFile, AutoDataFile);
}

int32_t TZelto::SaveSessionAs(const std::u16string& path) {
  return path.empty() ? sfrDocumentFailed : SaveSessionPair(path, RawPathOf(path));
}

void TZelto::NoteWithoutLocks(const TFileReason& folder) {
  if (!folder.File.empty() && PairLedger.FirstWithoutLocks(folder.File)) LockNotices.push_back(folder);
}

int32_t TZelto::SaveSessionPair(const std::u16string& documentPath, const std::u16string& rawPath) {
  PairKeptAside.clear();
  // The pair is replaced as one: a failure or a crash leaves the last
  // session whole.
  datafile::TDataFilePairWriter pair(documentPath, Root, Other, rawPath, PairLedger);
  FileFailure = pair.Failure();
  NoteWithoutLocks(pair.WithoutLocks());
  if (!pair.IsOpen()) return sfrRawFileFailed;
  // Built in memory without a file name: it is written only by the pair,
  // never by its own destructor.
  XmlIniFile document;
  document.Open(u"", Root, false);
  WriteSettings(document, *this);
  document.WriteInteger(Other, u"Index", BalancingStep);
  document.WriteInteger(Other, u"HighestStep", HighestStep);
  const int32_t last = std::clamp(HighestStep, 0, LastRun);
  const int32_t blockLength = BlockLength(*this);
  for (int32_t run = 0; run <= last; ++run) WriteRun(document, pair, *this, run, blockLength);
  const datafile::TDataFilePairWriter::TResult result = pair.Commit(document);
  FileFailure = pair.Failure();
  PairKeptAside = pair.KeptAside();
  switch (result) {
    case datafile::TDataFilePairWriter::TResult::Done: return sfrDone;
    case datafile::TDataFilePairWriter::TResult::DocumentFailed: return sfrDocumentFailed;
    case datafile::TDataFilePairWriter::TResult::RawFailed: break;
  }
  return sfrRawFileFailed;
}

TSaveTarget TZelto::SessionSaveTarget(const std::u16string& path, std::u16string& rawPath) const {
  rawPath = RawPathOf(path);
  return SaveTargetOf(path, rawPath, Root, Other,
                      [this](const XmlIniFile& document) { return RawBytesOf(document, *this); });
}

bool TZelto::SessionOwnsRawFile(const std::u16string& path, const std::u16string& rawPath) const {
  return SaveTargetOf(path, rawPath, Root, Other, [this](const XmlIniFile& document) {
           return RawBytesOf(document, *this);
         }) == TSaveTarget::OwnPair;
}

int32_t TZelto::LoadSession(std::u16string path) {
  const bool automatic = path.empty();
  const std::u16string documentPath = automatic ? AutoSessionFile : path;
  const std::u16string rawPath = automatic ? AutoDataFile : RawPathOf(path);
  ClearMeasurements();
  ConditionNotes.clear();
  FileFailure = {documentPath, 0};
  if (documentPath.empty()) return sfrDocumentFailed;
  const datafile::TPairLock lock(rawPath, datafile::TPairLock::TUse::Read);
  XmlIniFile document;
  std::optional<std::string> onDisk;
  if (!datafile::OpenPairDocument(documentPath, rawPath, Root, document, FileFailure, onDisk))
    return sfrDocumentFailed;
  // Samples of another save are never read with this document's values:
  // without a matching raw file the settings and the runs' values load and
  // the sample buffers stay empty. A raw file that can't be read at all may
  // be whole, so the load fails and leaves it to the caller.
  TRawSampleReader raw;
  const datafile::TRawFileState rawState =
      datafile::OpenRawFileFor(document, Other, rawPath, RawBytesOf(document, *this), raw);
  if (rawState == datafile::TRawFileState::Unreadable) {
    FileFailure = {rawPath, datafile::ReadErrorOf(rawPath)};
    return sfrRawFileFailed;
  }
  const std::optional<TSessionLayout> layout = ReadLayout(document, *this);
  if (!layout) return sfrDocumentFailed;
  // A file that stores its rate in Hz labels its records itself; an older
  // one only by the position in the device's list.
  if (!datafile::RateStoredInHertz(document, Options) && !datafile::RateListed(document, Options, DriverClockCount())) {
    FileFailure.Error = RateNotListedError;
    return sfrDocumentFailed;
  }

  const bool withSamples = rawState == datafile::TRawFileState::Matching;
  bool samplesNamed = false;
  // Every length is bounded by a device's memory, yet a PC may still lack
  // the memory for a whole job: the load then fails like one of a damaged
  // file, naming it, and leaves no half-read job behind.
  try {
    {
      const auto lock = LockSignalsForWriting();  // the spectrum's settings among them
      ReadSettings(document, *this, layout->StoredLength);
    }
    BalancingStep = layout->Index;
    HighestStep = layout->Highest;
    for (int32_t run = 0; run <= layout->Highest; ++run)
      samplesNamed |= ReadRun(document, *this, run, layout->StoredLength, withSamples ? &raw : nullptr);
    {
      const auto lock = LockSignalsForWriting();
      FitSpectraToRecords();
    }
    Readings = 0;
    ConvertSamples();
    RefreshCurrentRun(*this);
  } catch (const std::bad_alloc&) {
    ClearMeasurements();
    FileFailure = {documentPath, ENOMEM};
    return sfrDocumentFailed;
  }
  // The sensors named in the document were looked up on the way.
  FileFailure = {};
  // The job in memory is now this document's: a later save replaces it
  // without a word, and any other it keeps aside.
  PairLedger.Remember(documentPath, std::move(onDisk));
  // Every record keeps its stored length, whatever this device's memory.
  return samplesNamed && !withSamples ? sfrDoneWithoutSamples : sfrDone;
}
