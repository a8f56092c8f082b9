// The configuration file: the language choice, the display settings, the
// owner text and the drawing colours, in the XmlIniFile document
// "Kalvenor.ini" of the per-user data folder. Read once at start-up, written
// once at shutdown.

#include <array>
#include <cerrno>
#include <string_view>

#include "pathbinding.h"
#include "tableindex.h"
#include "xmlinifile.h"
#include "zelto.h"

namespace {

constexpr std::u16string_view Root = u"ConfigFile";
constexpr std::u16string_view Config = u"Config";
constexpr std::u16string_view Colors = u"Colors";
constexpr size_t MaxText = 32767;

// The keys of WorkColors entries 1..17, in entry order.
constexpr std::array<std::u16string_view, 17> ColorKeys = {
    u"WorkBack",  u"WorkGrid",  u"WorkChA",   u"WorkChB",   u"WorkText1", u"WorkText2",
    u"WorkCurX",  u"WorkCurY",  u"WorkCurT",  u"WorkFill",  u"WorkChACr", u"WorkChBCr",
    u"WorkVDiv1", u"WorkVDiv2", u"WorkGWBA",  u"WorkGWBB",  u"WorkGWBC"};

constexpr uint8_t DefaultAmplDisplayMode = admAcceleration;
constexpr uint8_t DefaultVibValueType = vvtRms;

std::u16string ConfigFilePath(const std::u16string& appDataDir) {
  // Without a data folder there is no configuration, rather than a file in
  // whatever folder the program was started from.
  if (appDataDir.empty()) return {};
  std::u16string path = appDataDir;
  Shlwapi.PathAppendW(path, u"Kalvenor.ini");
  return path;
}

}  // namespace

std::u16string TZelto::ConfigFileName() const { return ConfigFilePath(AppDataDir); }

bool TZelto::LoadConfig() {
  // A missing file reads as empty and gives every default; a damaged one is
  // not read at all, leaving the values the constructor set.
  const std::u16string path = ConfigFilePath(AppDataDir);
  FileFailure = {};
  if (path.empty()) return true;
  XmlIniFile document;
  if (!document.Open(path, Root, true)) {
    FileFailure = {path, document.LoadErrorNumber()};
    return false;
  }
  Language = document.ReadString(Config, u"Language", u"", MaxText);
  // A display mode outside its list would index past the windows' tables.
  AmplDisplayMode = TableIndex(document.ReadInteger(Config, u"AmplDisplayMode", DefaultAmplDisplayMode),
                               admDisplacement, DefaultAmplDisplayMode);
  AmplDispModeOscmV = document.ReadInteger(Config, u"AmplDispModeOscmV", 1) != 0;
  VibValueType = TableIndex(document.ReadInteger(Config, u"VibValueType", DefaultVibValueType),
                            vvtPeakToPeak, DefaultVibValueType);
  const std::u16string owner = document.ReadString(Config, u"Owner", u"", MaxText);
  if (!owner.empty()) Owner = owner;
  for (size_t i = 0; i < ColorKeys.size(); ++i) {
    const auto fallback = static_cast<int32_t>(DefaultWorkColors[i + 1]);
    // Only the colour bytes count; a high byte would not be a colour.
    WorkColors[i + 1] = static_cast<uint32_t>(document.ReadInteger(Colors, ColorKeys[i], fallback)) & 0xFFFFFF;
  }
  return true;
}

std::u16string TZelto::ConfiguredLanguage() const {
  const std::u16string path = ConfigFilePath(AppDataDir);
  XmlIniFile document;
  // A damaged file still gives the sections read before its fault.
  if (!path.empty()) document.Open(path, Root, true);
  return document.ReadString(Config, u"Language", u"", MaxText);
}

bool TZelto::SaveConfig() {
  // The file is loaded first so that every other section and key, the
  // colours among them, survives; a damaged file is left as it is.
  const std::u16string path = ConfigFilePath(AppDataDir);
  FileFailure = {u"Kalvenor.ini", ENOENT};
  if (path.empty()) return false;
  XmlIniFile document;
  if (!document.Open(path, Root, true)) {
    FileFailure = {path, document.LoadErrorNumber()};
    return false;
  }
  document.WriteString(Config, u"Language", Language);
  document.WriteInteger(Config, u"AmplDisplayMode", AmplDisplayMode);
  document.WriteInteger(Config, u"AmplDispModeOscmV", AmplDispModeOscmV);
  document.WriteInteger(Config, u"VibValueType", VibValueType);
  document.WriteString(Config, u"Owner", Owner);
  const bool saved = document.Save();
  FileFailure = saved ? TFileReason() : TFileReason{path, document.SaveErrorNumber()};
  return saved;
}
