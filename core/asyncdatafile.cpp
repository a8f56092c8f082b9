// Asynchronous data files: one free-running capture, the live buffers, kept
// for the oscilloscope and spectrum windows. A pair of files with one base
// name: the document (".asd", an XmlIniFile with root "AsyncDataFile") with
// the capture settings and sensor names, and the raw file (".bin") with the
// block of channel A and, for two channels, the block of channel B.

#include <algorithm>
#include <span>
#include <string>

#include "datafilepair.h"
#include "datafilevalues.h"
#include "folders.h"
#include "pathbinding.h"
#include "xmlinifile.h"
#include "zelto.h"

namespace {

constexpr std::u16string_view Root = u"AsyncDataFile";
constexpr std::u16string_view Options = u"Options";
constexpr std::u16string_view Data = u"Data";
constexpr std::u16string_view Config = u"Config";
constexpr std::u16string_view RawExtension = u".bin";

constexpr size_t MaxSensorName = 21;
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

void WriteSettings(XmlIniFile& d, const TZelto& core) {
  d.WriteInteger(Options, u"Type", core.Type);
  d.WriteInteger(Options, u"BuffLength", core.BuffLength);
  d.WriteInteger(Options, u"SamplingRate", core.SamplingRate);
  d.WriteInteger(Options, u"GainA", core.GainA);
  d.WriteInteger(Options, u"GainB", core.GainB);
  d.WriteString(Options, u"VibSensorA.Name", core.VibSensorA.Name);
  d.WriteString(Options, u"VibSensorB.Name", core.VibSensorB.Name);
}

void ReadSettings(const XmlIniFile& d, TZelto& core, int32_t storedLength) {
  core.Type = TableIndex(d.ReadInteger(Options, u"Type", 0), 1, 0);
  core.BuffLength = std::min(storedLength, core.RamSize);
  core.SamplingRate = TableIndex(d.ReadInteger(Options, u"SamplingRate", 0), core.DriverClockCount() - 1, 0);
  core.GainA = TableIndex(d.ReadInteger(Options, u"GainA", 0), core.DriverGainCount() - 1, 0);
  core.GainB = TableIndex(d.ReadInteger(Options, u"GainB", 0), core.DriverGainCount() - 1, 0);
  core.WindowType = TableIndex(d.ReadInteger(Config, u"WindowType", 0), HighestWindowType, 0);
}

// A channel whose name is empty, or whose sensor file is gone, keeps the
// sensor it had.
void ReadSensor(const XmlIniFile& d, std::u16string_view key, const TZelto& core, SensorInfo& sensor) {
  const std::u16string name = d.ReadString(Options, key, u"", MaxSensorName);
  SensorInfo loaded;
  if (name.empty() || !core.LoadSensor(name, loaded)) return;
  datafile::CheckSensorType(loaded);
  sensor = loaded;
}

// The raw file's size the document asks for: a block of `storedLength`
// samples for each channel it says was stored, whether or not it is read.
uint64_t RawBytesOf(const XmlIniFile& d, int32_t storedLength) {
  const uint64_t blocks = static_cast<uint64_t>(d.ReadInteger(Data, u"ChannelA", 0) != 0) +
                          static_cast<uint64_t>(d.ReadInteger(Data, u"ChannelB", 0) != 0);
  return datafile::RawFileBytes(blocks, storedLength);
}

// A live buffer as the capture threads size it, at least RamSize samples,
// with the block of BuffLength samples from the raw file at its start.
void ReadLiveChannel(TRawSampleReader& raw, const TZelto& core, int32_t storedLength,
                     std::vector<int32_t>& live) {
  const int32_t length = std::max(core.BuffLength, 0);
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
  PairKeptAside = pair.KeptAside();
  NoteWithoutLocks(pair.WithoutLocks());
  if (!pair.IsOpen()) return false;

  const bool hasA = !LiveDataA.empty();
  const bool hasB = Type == 1 && !LiveDataB.empty();
  WriteSettings(document, *this);
  document.WriteInteger(Data, u"ChannelA", hasA ? 1 : 0);
  document.WriteInteger(Data, u"ChannelB", hasB ? 1 : 0);
  if (hasA) pair.WriteBlock(LiveDataA, BuffLength);
  if (hasB) pair.WriteBlock(LiveDataB, BuffLength);
  const bool saved = pair.Commit(document) == datafile::TDataFilePairWriter::TResult::Done;
  FileFailure = pair.Failure();
  return saved;
}

bool TZelto::LoadAsyncData(std::u16string path) {
  const std::u16string rawPath = RawPathOf(path);
  FileFailure = {path, 0};
  if (path.empty()) return false;
  const datafile::TPairLock lock(rawPath, datafile::TPairLock::TUse::Read);
  XmlIniFile document;
  if (!datafile::OpenPairDocument(path, rawPath, Root, document, FileFailure, PairLedger)) return false;
  // Everything is checked before the core changes: a file refused here
  // leaves the runs, the live buffers and the settings as they were. Samples
  // of another save are never read with this document's values.
  const int32_t storedLength = document.ReadInteger(Options, u"BuffLength", RamSize);
  if (datafile::HasKey(document, Options, u"BuffLength") && !datafile::IsSampleCount(storedLength)) return false;
  if (!datafile::RateListed(document, Options, DriverClockCount())) {
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
  {
    const auto lock = LockSignalsForWriting();  // the spectrum's settings among them
    ReadSettings(document, *this, storedLength);
  }
  ReadSensor(document, u"VibSensorA.Name", *this, VibSensorA);
  ReadSensor(document, u"VibSensorB.Name", *this, VibSensorB);
  if (document.ReadInteger(Data, u"ChannelA", 0) != 0) ReadLiveChannel(raw, *this, storedLength, LiveDataA);
  if (Type == 1 && document.ReadInteger(Data, u"ChannelB", 0) != 0)
    ReadLiveChannel(raw, *this, storedLength, LiveDataB);
  // The sensors named in the document were looked up on the way.
  FileFailure = {};
  return true;
}
