// Asynchronous data files: one free-running capture, the live buffers, kept
// for the oscilloscope and spectrum windows. A pair of files with one base
// name: the document (".asd", an XmlIniFile with root "AsyncDataFile") with
// the capture settings and the conditions the capture was taken under
// (conditionkeys.h: scale, ranges, rate and the sensors' records beside the
// older positions and names), and the raw file (".bin") with the block of
// channel A and, for two channels, the block of channel B.

#include <algorithm>
#include <cerrno>
#include <new>
#include <span>
#include <string>

#include "conditionkeys.h"
#include "datafilepair.h"
#include "datafilevalues.h"
#include "folders.h"
#include "gainsetting.h"
#include "pathbinding.h"
#include "xmlinifile.h"
#include "zelto.h"

namespace {

constexpr std::u16string_view Root = u"AsyncDataFile";
constexpr std::u16string_view Options = u"Options";
constexpr std::u16string_view Data = u"Data";
constexpr std::u16string_view Config = u"Config";
constexpr std::u16string_view RawExtension = u".bin";

constexpr int32_t HighestWindowType = 7;

// The raw file beside a document: the document's extension (the last dot
// of its name and what follows) replaced by ".bin". The save dialog gives
// every new document the extension ".asd", so two documents never share a
// raw file; documents named otherwise by earlier versions find their raw
// file where those put it.
std::u16string RawPathOf(std::u16string path) {
  Shlwapi.PathRenameExtensionW(path, RawExtension);
  return path;
}

// The live buffers' own conditions, written with them.
void WriteSettings(XmlIniFile& d, const TZelto& core, const TRecordConditions& live) {
  d.WriteInteger(Options, u"Type", core.Type);
  d.WriteInteger(Options, u"BuffLength", live.Length);
  d.WriteInteger(Options, u"SamplingRate", core.SamplingRate);
  d.WriteInteger(Options, u"GainA", core.GainA);
  d.WriteInteger(Options, u"GainB", core.GainB);
  datafile::WriteScaleKeys(d, Options, live);
  datafile::WriteSensorKeys(d, Options, u"VibSensorA", live.SensorA);
  datafile::WriteSensorKeys(d, Options, u"VibSensorB", live.SensorB);
}

// The capture length is bounded by the device's memory; the samples read
// keep the stored length.
void ReadSettings(const XmlIniFile& d, TZelto& core, int32_t storedLength) {
  core.Type = TableIndex(d.ReadInteger(Options, u"Type", 0), 1, 0);
  core.BuffLength = std::min(storedLength, core.RamSize);
  core.SamplingRate = TableIndex(d.ReadInteger(Options, u"SamplingRate", 0), core.DriverClockCount() - 1, 0);
  core.GainA = datafile::ReadGainIndex(d, Options, 0, core, 0, true);
  core.GainB = datafile::ReadGainIndex(d, Options, 1, core, 0, core.Type == 1);
  core.WindowType = TableIndex(d.ReadInteger(Config, u"WindowType", 0), HighestWindowType, 0);
}

// The conditions the stored capture was taken under: as stored, or in an
// older file the scale at the stored positions of this device's lists and
// this PC's sensors of the stored names, each assumption noted. Called
// after ReadSettings, with the set-up's sensors as they were.
TRecordConditions ReadLiveConditions(const XmlIniFile& d, const TZelto& core, int32_t storedLength) {
  TRecordConditions c;
  c.Length = storedLength;
  const bool stored = datafile::ReadScaleKeys(d, Options, c);
  if (!stored) {
    c.FullScale = core.DriverFullScale();
    c.RangeA = core.DriverInputRange(core.GainA);
    c.RangeB = core.DriverInputRange(core.GainB);
    c.SampleRate = core.DriverSamplingFrequency();
    if (c.Known()) core.NoteCondition(cnScaleAssumed, core.DeviceReady ? TextOf(core.DeviceDescr) : u"");
  }
  c.SensorA = datafile::ReadStoredSensor(d, Options, u"VibSensorA", core, true);
  c.SensorB = core.Type == 1 ? datafile::ReadStoredSensor(d, Options, u"VibSensorB", core, true) : SensorInfo{};
  return c;
}

// A channel whose sensor has no record here (no name, or a name only that
// this PC lacks) keeps the set-up's sensor for the next capture.
void TakeSetUpSensor(const SensorInfo& stored, SensorInfo& sensor) {
  if (stored.Sensitivity != 0) sensor = stored;
}

// The raw file's size the document asks for: a block of `storedLength`
// samples for each channel it says was stored, whether or not it is read.
uint64_t RawBytesOf(const XmlIniFile& d, int32_t storedLength) {
  const uint64_t blocks = static_cast<uint64_t>(d.ReadInteger(Data, u"ChannelA", 0) != 0) +
                          static_cast<uint64_t>(d.ReadInteger(Data, u"ChannelB", 0) != 0);
  return datafile::RawFileBytes(blocks, storedLength);
}

// A live buffer as the capture threads size it, at least RamSize samples,
// with the whole stored block at its start.
void ReadLiveChannel(TRawSampleReader& raw, const TZelto& core, int32_t storedLength,
                     std::vector<int32_t>& live) {
  const int32_t length = std::max(storedLength, 0);
  live.assign(static_cast<size_t>(std::max(core.RamSize, length)), 0);
  raw.ReadBlock(storedLength, std::span<int32_t>(live).first(static_cast<size_t>(length)));
}

}  // namespace

TSaveTarget TZelto::AsyncDataSaveTarget(const std::u16string& path, std::u16string& rawPath) const {
  rawPath = RawPathOf(path);
  return SaveTargetOf(path, rawPath, Root, Data, [this](const XmlIniFile& document) {
    return RawBytesOf(document, document.ReadInteger(Options, u"BuffLength", RamSize));
  });
}

bool TZelto::SaveAsyncData(std::u16string path) {
  const std::u16string rawPath = RawPathOf(path);
  FileFailure = {path, 0};
  PairKeptAside.clear();
  // A raw file that is the document itself (the same name, or two names of
  // one file) would be written over it.
  if (path.empty() || rtl::SameFile(rawPath, path)) return false;
  // Keys of an existing document that this writer doesn't know, the window
  // type among them, are kept; a damaged document is left alone.
  XmlIniFile existing;
  if (!existing.Open(path, Root, true)) {
    FileFailure.Error = existing.LoadErrorNumber();
    return false;
  }
  // Built in memory without a file name: written only by the pair.
  XmlIniFile document;
  document.Open(u"", Root, false);
  if (!document.Parse(existing.Serialize())) return false;
  // The pair is replaced as one: a failure or a crash leaves the old pair.
  datafile::TDataFilePairWriter pair(path, Root, Data, rawPath, PairLedger);
  FileFailure = pair.Failure();
  NoteWithoutLocks(pair.WithoutLocks());
  if (!pair.IsOpen()) return false;

  const bool hasA = !LiveDataA.empty();
  const bool hasB = Type == 1 && !LiveDataB.empty();
  const TRecordConditions live = RecordConditions(TSignalOrigin::LiveRecord);
  WriteSettings(document, *this, live);
  document.WriteInteger(Data, u"ChannelA", hasA ? 1 : 0);
  document.WriteInteger(Data, u"ChannelB", hasB ? 1 : 0);
  if (hasA) pair.WriteBlock(LiveDataA, live.Length);
  if (hasB) pair.WriteBlock(LiveDataB, live.Length);
  const bool saved = pair.Commit(document) == datafile::TDataFilePairWriter::TResult::Done;
  FileFailure = pair.Failure();
  PairKeptAside = pair.KeptAside();
  return saved;
}

bool TZelto::LoadAsyncData(std::u16string path) {
  const std::u16string rawPath = RawPathOf(path);
  FileFailure = {path, 0};
  if (path.empty()) return false;
  const datafile::TPairLock lock(rawPath, datafile::TPairLock::TUse::Read);
  XmlIniFile document;
  std::optional<std::string> onDisk;
  if (!datafile::OpenPairDocument(path, rawPath, Root, document, FileFailure, onDisk)) return false;
  // Everything is checked before the core changes: a file refused here
  // leaves the runs, the live buffers and the settings as they were. Samples
  // of another save are never read with this document's values.
  const int32_t storedLength = document.ReadInteger(Options, u"BuffLength", RamSize);
  if (datafile::HasKey(document, Options, u"BuffLength") && !datafile::IsSampleCount(storedLength)) return false;
  // A file that stores its rate in Hz labels its samples itself; an older
  // one only by the position in the device's list.
  if (!datafile::RateStoredInHertz(document, Options) && !datafile::RateListed(document, Options, DriverClockCount())) {
    FileFailure.Error = RateNotListedError;
    return false;
  }
  TRawSampleReader raw;
  const datafile::TRawFileState rawState =
      datafile::OpenRawFileFor(document, Data, rawPath, RawBytesOf(document, storedLength), raw);
  if (rawState != datafile::TRawFileState::Matching) {
    // A raw file of another save is refused as one that isn't this one's.
    FileFailure = {rawPath, rawState == datafile::TRawFileState::Foreign ? 0 : datafile::ReadErrorOf(rawPath)};
    return false;
  }

  ClearMeasurements();
  ConditionNotes.clear();
  {
    const auto lock = LockSignalsForWriting();  // the spectrum's settings among them
    ReadSettings(document, *this, storedLength);
  }
  TRecordConditions live = ReadLiveConditions(document, *this, storedLength);
  TakeSetUpSensor(live.SensorA, VibSensorA);
  TakeSetUpSensor(live.SensorB, VibSensorB);
  // The length is bounded by a device's memory, yet a PC may still lack
  // the memory for it: the load then fails, naming the file.
  try {
    if (document.ReadInteger(Data, u"ChannelA", 0) != 0) ReadLiveChannel(raw, *this, storedLength, LiveDataA);
    if (Type == 1 && document.ReadInteger(Data, u"ChannelB", 0) != 0)
      ReadLiveChannel(raw, *this, storedLength, LiveDataB);
  } catch (const std::bad_alloc&) {
    ClearMeasurements();
    FileFailure = {path, ENOMEM};
    return false;
  }
  {
    const auto lock = LockSignalsForWriting();
    rtl::TCriticalSectionGuard guard(ResultsLock);
    LiveConditions = std::move(live);
    FitSpectraToRecords();
  }
  // The sensors named in the document were looked up on the way.
  FileFailure = {};
  // The data in memory are now this document's (sessionfile.cpp).
  PairLedger.Remember(path, std::move(onDisk));
  return true;
}
