// The sensor database: one XmlIniFile document per sensor, named after the
// sensor, in the folder "Sensors" of the per-user data folder.

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

#include "conditionlimits.h"
#include "folders.h"
#include "pathbinding.h"
#include "textconv.h"
#include "xmlinifile.h"
#include "zelto.h"

namespace {

constexpr std::u16string_view Root = u"SensorFile";
constexpr std::u16string_view Section = u"Sensor";
constexpr std::u16string_view Extension = u".xml";
constexpr size_t MaxNameLength = 21;

// The one enumeration of the sensor folder: the names found when it started
// and the next one to hand out.
struct TSensorSearch {
  bool Active = false;
  std::vector<std::u16string> Names;
  size_t Next = 0;
};
TSensorSearch Search;

// Sensor names of the folder's "*.xml" files, in the folder's order.
std::vector<std::u16string> ListSensorNames(std::u16string_view folder) {
  std::vector<std::u16string> names;
  std::error_code error;
  std::filesystem::directory_iterator entries(rtl::NativePath(folder), error);
  for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
    if (!entries->is_regular_file(error)) continue;
    std::u16string name = rtl::Utf8ToUtf16(entries->path().filename().string());
    if (Shlwapi.PathFindExtensionW(name) != Extension) continue;
    Shlwapi.PathRemoveExtensionW(name);
    if (!name.empty()) names.push_back(std::move(name));
  }
  return names;
}

std::u16string SensorFolder(const std::u16string& appDataDir) {
  if (appDataDir.empty()) return {};
  std::u16string folder = appDataDir;
  Shlwapi.PathAppendW(folder, u"Sensors");
  Shlwapi.PathAddBackslashW(folder);
  return folder;
}

// The file of a sensor name; empty for a name that is refused.
std::u16string SensorFilePath(const std::u16string& appDataDir, std::u16string_view name) {
  const std::u16string folder = SensorFolder(appDataDir);
  if (folder.empty() || !TZelto::SensorNameStorable(name)) return {};
  std::u16string path = folder;
  Shlwapi.PathAppendW(path, name);
  // "Probe1" and "Probe1.xml" name the same file; "Probe1.XML" does not.
  if (Shlwapi.PathFindExtensionW(path) != Extension) path += Extension;
  return path;
}

// A file's figures no sensor can have (an unknown type, a sensitivity or
// input gain outside every sensor's) would be shown as numbers in a unit:
// such a file counts as damaged, and a lookup finds no sensor in it. A
// sensitivity of 0 is a record without one, which the set-up asks for.
bool PossibleSensor(int32_t type, const SensorInfo& sensor) {
  return conditionlimits::PossibleSensorOrNone(type, sensor.Sensitivity, sensor.InputGain);
}

}  // namespace

// A name becomes a file name inside the sensor folder; a separator or ".."
// could make it name a file elsewhere.
bool TZelto::SensorNameStorable(std::u16string_view name) {
  return !name.empty() && name.find_first_of(u"/\\") == std::u16string_view::npos &&
         name.find(u"..") == std::u16string_view::npos && name.find(u'\0') == std::u16string_view::npos;
}

void TZelto::NoteSensorFailure(const TFileReason& failure) const {
  const bool known = std::any_of(SensorFailures.begin(), SensorFailures.end(),
                                 [&](const TFileReason& f) { return f.File == failure.File; });
  if (!known) SensorFailures.push_back(failure);
}

int32_t TZelto::FindSensorFile(std::u16string* name, bool first) const {
  if (!name) {
    // Counting ends any enumeration that is under way.
    Search = TSensorSearch{};
    return static_cast<int32_t>(ListSensorNames(SensorFolder(AppDataDir)).size());
  }
  if (first) Search = TSensorSearch{true, ListSensorNames(SensorFolder(AppDataDir)), 0};
  if (!Search.Active || Search.Next >= Search.Names.size()) {
    Search = TSensorSearch{};
    return 0;
  }
  *name = Search.Names[Search.Next++];
  return 1;
}

bool TZelto::LoadSensor(std::u16string_view name, SensorInfo& sensor) const {
  const std::u16string path = SensorFilePath(AppDataDir, name);
  FileFailure = {path.empty() ? std::u16string(name) : path, ENOENT};
  if (path.empty() || !Shlwapi.PathFileExistsW(path)) return false;
  // A damaged file still gives the keys before the damage and defaults for
  // the rest; a file that can't be read at all gives no sensor.
  XmlIniFile document;
  document.Open(path, Root, true);
  FileFailure = {path, document.LoadErrorNumber()};
  if (FileFailure.Error != 0) {
    NoteSensorFailure(FileFailure);
    return false;
  }
  SensorInfo read;
  read.Name = document.ReadString(Section, u"Name", u"", MaxNameLength);
  const int32_t type = document.ReadInteger(Section, u"Type", 0);
  read.Type = static_cast<uint8_t>(type);
  read.Sensitivity = document.ReadFloat(Section, u"Sensitivity", 0.0);
  read.RangeLow = document.ReadFloat(Section, u"RangeLow", 0.0);
  read.RangeHigh = document.ReadFloat(Section, u"RangeHigh", 0.0);
  read.InputGain = document.ReadFloat(Section, u"InputGain", 1.0);
  read.Temperature = document.ReadInteger(Section, u"Temperature", 0) != 0;
  read.TemperatureGain = document.ReadFloat(Section, u"TemperatureGain", 0.0);
  read.TemperatureOffset = document.ReadFloat(Section, u"TemperatureOffset", 0.0);
  if (!PossibleSensor(type, read)) {
    NoteSensorFailure(FileFailure);  // {path, 0}: the file is damaged
    return false;
  }
  FileFailure = {};
  sensor = std::move(read);
  return true;
}

TZelto::TSensorSaveResult TZelto::SaveSensor(std::u16string_view name, const SensorInfo& sensor,
                                     bool failIfExists) const {
  const std::u16string path = SensorFilePath(AppDataDir, name);
  FileFailure = {std::u16string(name), SensorFolder(AppDataDir).empty() ? ENOENT : EINVAL};
  if (path.empty()) return ssrWriteFailed;
  FileFailure = {};
  if (failIfExists && Shlwapi.PathFileExistsW(path)) return ssrExists;
  rtl::ForceDirectories(SensorFolder(AppDataDir));
  // Written from scratch: the record is the whole file.
  XmlIniFile document;
  document.Open(path, Root, false);
  document.WriteString(Section, u"Name", sensor.Name);
  document.WriteInteger(Section, u"Type", static_cast<int8_t>(sensor.Type));
  document.WriteFloat(Section, u"Sensitivity", sensor.Sensitivity);
  document.WriteFloat(Section, u"RangeLow", sensor.RangeLow);
  document.WriteFloat(Section, u"RangeHigh", sensor.RangeHigh);
  document.WriteFloat(Section, u"InputGain", sensor.InputGain);
  document.WriteInteger(Section, u"Temperature", sensor.Temperature ? 1 : 0);
  document.WriteFloat(Section, u"TemperatureGain", sensor.TemperatureGain);
  document.WriteFloat(Section, u"TemperatureOffset", sensor.TemperatureOffset);
  const bool saved = document.Save();
  if (!saved) FileFailure = {path, document.SaveErrorNumber()};
  return saved ? ssrSaved : ssrWriteFailed;
}

bool TZelto::DeleteSensor(std::u16string_view name) const {
  const std::u16string path = SensorFilePath(AppDataDir, name);
  FileFailure = {path.empty() ? std::u16string(name) : path, ENOENT};
  if (path.empty() || !Shlwapi.PathFileExistsW(path)) return false;
  if (!rtl::DeleteFile(path)) {
    FileFailure.Error = errno;
    return false;
  }
  FileFailure = {};
  return true;
}
