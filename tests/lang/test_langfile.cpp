// The shipped language sources: readable, complete as far as the windows'
// descriptions name their keys, with an index that matches the definitions.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "langindex.h"
#include "langsource.h"
#include "textconv.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> ShippedSources() {
  std::vector<fs::path> paths;
  for (const auto& entry : fs::directory_iterator(ZELTO_LANG_SOURCE_DIR)) {
    if (entry.path().extension() == ".xml") paths.push_back(entry.path());
  }
  return paths;
}

TLangSource LoadSource(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  TLangSource source;
  std::string error;
  EXPECT_TRUE(ParseLangSource(bytes.str(), source, error)) << path << ": " << error;
  return source;
}

std::string Name(const std::u16string& section, const std::u16string& key) {
  return rtl::Utf16ToUtf8(section) + "/" + rtl::Utf16ToUtf8(key);
}

}  // namespace

TEST(LangFile, EveryShippedSourceIsReadableAndNamesItsLanguage) {
  std::vector<fs::path> paths = ShippedSources();
  ASSERT_FALSE(paths.empty());
  for (const fs::path& path : paths) {
    TLangSource source = LoadSource(path);
    EXPECT_EQ(source.Root, u"Language") << path;
    // The language choice lists only files whose "About"/"Name" is set.
    EXPECT_NE(source.FindKey(u"About", u"Name"), nullptr) << path;
    // The help command opens "Help"/"File" when it is there; no help
    // document is shipped yet.
    EXPECT_EQ(source.FindSection(u"Help"), nullptr) << path;
  }
}

TEST(LangFile, EnglishHoldsTheKeysTheWindowsNameVerbatim) {
  TLangSource source = LoadSource(fs::path(ZELTO_LANG_SOURCE_DIR) / "English.xml");
  const std::pair<std::u16string, std::u16string> keys[] = {
      {u"About", u"Name"},          {u"About", u"Line4"},
      {u"Init", u"Init1"},          {u"Init", u"Init3Fail"},
      {u"Init", u"Init5OK"},        {u"Forms", u"EnterDemo"},
      {u"Forms", u"Question"},      {u"Forms", u"Log"},
      {u"Forms", u"SoftwareVersion"}, {u"Forms", u"PerResidualSpecificUnbalance"},
      {u"Forms", u"ChangeLangInfo"}, {u"Forms", u"MassCentreLocation"},
      {u"Forms", u"RemoveSensor"},  {u"Forms", u"TempOffsetUnit"},
      {u"Forms", u"SensorExists"},  {u"Forms", u"Measurement21"},
      {u"Forms", u"SensorUnselected"}, {u"Forms", u"Tunning"},
      {u"Forms", u"NextHint"},      {u"Forms", u"ExitMessage"},
      {u"Forms", u"ISO1940Legal"},  {u"Forms", u"OperatorsSignature"},
      {u"Forms", u"MeasInTimeDomain"}, {u"Forms", u"PkPkValue"},
      {u"Forms", u"GotoTAndZoom"},  {u"Forms", u"ProcessingDFT"},
      {u"Forms", u"CursorT"},       {u"Forms", u"CursorPos"},
  };
  for (const auto& [section, key] : keys) {
    EXPECT_NE(source.FindKey(section, key), nullptr) << Name(section, key);
  }
  EXPECT_EQ(source.FindKey(u"About", u"Name")->Value, u"English");
  // The step texts are numbered 1 to 5; the lookups compose "Init" and the number.
  for (char16_t n = u'1'; n <= u'5'; ++n) {
    EXPECT_NE(source.FindKey(u"Init", std::u16string(u"Init") + n), nullptr);
  }
  for (char16_t n = u'1'; n <= u'4'; ++n) {
    EXPECT_NE(source.FindKey(u"About", std::u16string(u"Line") + n), nullptr);
  }
}

TEST(LangFile, TextsFitTheirBuffersAndShowNoAcceleratorMark) {
  for (const fs::path& path : ShippedSources()) {
    TLangSource source = LoadSource(path);
    for (const TLangSection& section : source.Sections) {
      for (const TLangKey& key : section.Keys) {
        // 199 characters of the shared buffer, less the longest shortcut
        // suffix a tool-tip appends (" [Ctrl + Shift + O]").
        EXPECT_LE(key.Value.size(), 180u) << path << ": " << Name(section.Name, key.Name);
        // A label draws a single "&" as an accelerator mark; "&&" shows one "&".
        std::u16string rest = key.Value;
        for (size_t pos = rest.find(u"&&"); pos != std::u16string::npos; pos = rest.find(u"&&"))
          rest.erase(pos, 2);
        EXPECT_EQ(rest.find(u'&'), std::u16string::npos) << path << ": " << Name(section.Name, key.Name);
      }
    }
  }
}

TEST(LangFile, TheKeyIndexListsExactlyTheDefinedKeys) {
  TLangSource source = LoadSource(fs::path(ZELTO_LANG_SOURCE_DIR) / "English.xml");
  std::vector<TLangUse> uses = ReadLangIndex(source);
  std::set<std::string> indexed;
  for (const TLangUse& use : uses) {
    std::string name = Name(use.Section, use.Key);
    EXPECT_FALSE(use.Window.empty()) << "line " << use.Line << ": " << name << " under no window";
    EXPECT_FALSE(use.Component.empty()) << "line " << use.Line << ": " << name << " names no component";
    EXPECT_NE(source.FindKey(use.Section, use.Key), nullptr)
        << "line " << use.Line << ": " << name << " is listed but not defined";
    indexed.insert(name);
  }
  for (const TLangSection& section : source.Sections) {
    for (const TLangKey& key : section.Keys) {
      EXPECT_EQ(indexed.count(Name(section.Name, key.Name)), 1u)
          << "line " << key.Line << ": " << Name(section.Name, key.Name) << " is not in the index";
    }
  }
}
