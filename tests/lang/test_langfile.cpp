// The shipped language sources: readable, complete as far as the windows'
// descriptions name their keys, with an index that matches the definitions;
// and the language files the build writes from them: in the store's format,
// answering every key of their source with its text.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
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
#include "xmlinifile.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> ShippedSources() {
  std::vector<fs::path> paths;
  for (const auto& entry : fs::directory_iterator(ZELTO_LANG_SOURCE_DIR)) {
    if (entry.path().extension() == ".xml") paths.push_back(entry.path());
  }
  return paths;
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

TLangSource LoadSource(const fs::path& path) {
  TLangSource source;
  std::string error;
  EXPECT_TRUE(ParseLangSource(ReadBytes(path), source, error)) << path << ": " << error;
  return source;
}

fs::path GeneratedFile(const fs::path& source) {
  return fs::path(ZELTO_LANGUAGE_DIR) / source.filename();
}

// A folder of its own for each test that writes files.
fs::path MakeTempFolder() {
  std::string pattern = (fs::temp_directory_path() / "langfile-XXXXXX").string();
  const char* made = mkdtemp(pattern.data());
  EXPECT_NE(made, nullptr);
  return made ? fs::path(made) : fs::path();
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
      {u"About", u"Name"},
      {u"About", u"Line4"},
      {u"Init", u"Init1"},
      {u"Init", u"Init3Fail"},
      {u"Init", u"Init5OK"},
      {u"Forms", u"EnterDemo"},
      {u"Forms", u"Question"},
      {u"Forms", u"Log"},
      {u"Forms", u"SoftwareVersion"},
      {u"Forms", u"PerResidualSpecificUnbalance"},
      {u"Forms", u"ChangeLangInfo"},
      {u"Forms", u"MassCentreLocation"},
      {u"Forms", u"RemoveSensor"},
      {u"Forms", u"TempOffsetUnit"},
      {u"Forms", u"SensorExists"},
      {u"Forms", u"Measurement21"},
      {u"Forms", u"SensorUnselected"},
      {u"Forms", u"Tunning"},
      {u"Forms", u"NextHint"},
      {u"Forms", u"ExitMessage"},
      {u"Forms", u"ISO1940Legal"},
      {u"Forms", u"OperatorsSignature"},
      {u"Forms", u"MeasInTimeDomain"},
      {u"Forms", u"PkPkValue"},
      {u"Forms", u"GotoTAndZoom"},
      {u"Forms", u"ProcessingDFT"},
      {u"Forms", u"CursorT"},
      {u"Forms", u"CursorPos"},
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
        EXPECT_EQ(rest.find(u'&'), std::u16string::npos)
            << path << ": " << Name(section.Name, key.Name);
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
    EXPECT_FALSE(use.Component.empty())
        << "line " << use.Line << ": " << name << " names no component";
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

TEST(LangFile, TheBuildWritesEnglishInTheStoresLayout) {
  std::string bytes = ReadBytes(fs::path(ZELTO_LANGUAGE_DIR) / "English.xml");
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(bytes.substr(0, 2), std::string("\xFF\xFE", 2));
  std::u16string text;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    auto low = static_cast<unsigned char>(bytes[i]),
         high = static_cast<unsigned char>(bytes[i + 1]);
    text += static_cast<char16_t>(low | high << 8);
  }
  EXPECT_TRUE(
      text.starts_with(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<Language>\r\n<About>\r\n"
                       u" <Name value = \"English\"/>\r\n"));
  EXPECT_TRUE(text.ends_with(u"\r\n</Forms>\r\n</Language>"));
}

TEST(LangFile, EachGeneratedFileIsTheStoresDocumentOfItsSource) {
  for (const fs::path& path : ShippedSources()) {
    TLangSource source = LoadSource(path);
    XmlIniFile expected;
    expected.Open(u"unused.xml", source.Root, false);
    for (const TLangSection& section : source.Sections)
      for (const TLangKey& key : section.Keys)
        expected.WriteString(section.Name, key.Name, key.Value);
    EXPECT_TRUE(ReadBytes(GeneratedFile(path)) == expected.Serialize())
        << GeneratedFile(path) << " is not what the store writes for " << path;
  }
}

TEST(LangFile, EveryKeyReadsBackWithItsSourceText) {
  for (const fs::path& path : ShippedSources()) {
    TLangSource source = LoadSource(path);
    XmlIniFile document;
    ASSERT_TRUE(document.Open(GeneratedFile(path).u16string(), u"Language", true))
        << GeneratedFile(path);
    size_t keys = 0;
    for (const TLangSection& section : source.Sections) {
      for (const TLangKey& key : section.Keys) {
        EXPECT_EQ(document.ReadString(section.Name, key.Name, u"###"), key.Value)
            << GeneratedFile(path) << ": " << Name(section.Name, key.Name);
        ++keys;
      }
    }
    EXPECT_EQ(keys, source.KeyCount());
    EXPECT_FALSE(document.Modified());
  }
}

TEST(LangFile, TheConverterRefusesAFaultySourceAndWritesNothing) {
  fs::path folder = MakeTempFolder();
  fs::path source = folder / "Broken.xml";
  fs::path output = folder / "out" / "Broken.xml";
  fs::create_directories(output.parent_path());
  std::ofstream(source) << "<Language>\n<Forms>\n<Close value=\"Close\"/>\n<Close "
                           "value=\"Shut\"/>\n</Forms>\n</Language>\n";
  fs::path log = folder / "stderr.txt";
  std::string command = std::string("\"") + ZELTO_LANGCONVERT + "\" \"" + source.string() +
                        "\" \"" + output.string() + "\" 2> \"" + log.string() + "\"";
  int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  EXPECT_NE(ReadBytes(log).find("line 4: key \"Close\" defined twice"), std::string::npos)
      << ReadBytes(log);
  EXPECT_FALSE(fs::exists(output));

  // The same call on a sound source writes the file.
  std::ofstream(source) << "<Language>\n<Forms>\n<Close value=\"Close\"/>\n</Forms>\n</Language>\n";
  status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadBytes(log);
  XmlIniFile document;
  ASSERT_TRUE(document.Open(output.u16string(), u"Language", true));
  EXPECT_EQ(document.ReadString(u"Forms", u"Close", u"###"), u"Close");
  fs::remove_all(folder);
}
