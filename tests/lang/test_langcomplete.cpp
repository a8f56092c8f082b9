// Every (section, key) the windows look up is answered by every shipped
// language file, so no "###" reaches a user; and the key index of the
// English source lists, for each window, exactly the keys its table holds.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "langindex.h"
#include "langkeys.h"
#include "langsource.h"
#include "textconv.h"
#include "xmlinifile.h"

namespace {

namespace fs = std::filesystem;

using TKeyName = std::pair<std::u16string, std::u16string>;

// Keys a shipped file may lack: the help document is not shipped yet, and
// the help command opens nothing without its key.
const std::set<TKeyName> AllowedAbsent = {{u"Help", u"File"}};

std::string Name(const TKeyName& key) { return rtl::Utf16ToUtf8(key.first) + "/" + rtl::Utf16ToUtf8(key.second); }

std::set<TKeyName> KeysOf(const TWindowLangKeys& window) {
  std::set<TKeyName> keys;
  for (const TTextKey& key : window.Keys) keys.insert({std::u16string(key.Section), std::u16string(key.Key)});
  return keys;
}

std::vector<fs::path> ShippedFiles() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(ZELTO_LANGUAGE_DIR))
    if (entry.path().extension() == ".xml") files.push_back(entry.path());
  return files;
}

TEST(LangComplete, EveryShippedFileAnswersEveryLookup) {
  const std::vector<fs::path> files = ShippedFiles();
  ASSERT_FALSE(files.empty());
  for (const fs::path& file : files) {
    XmlIniFile document;
    ASSERT_TRUE(document.Open(file.u16string(), u"Language", true)) << file;
    for (const TWindowLangKeys& window : ShellLangKeys()) {
      for (const TKeyName& key : KeysOf(window)) {
        if (AllowedAbsent.count(key)) continue;
        EXPECT_NE(document.ReadString(key.first, key.second, u"###"), u"###")
            << file << " lacks " << Name(key) << " (" << window.Window << ")";
      }
    }
  }
}

TEST(LangComplete, TheIndexListsEachWindowsTable) {
  std::ifstream in(fs::path(ZELTO_LANG_SOURCE_DIR) / "English.xml", std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  TLangSource source;
  std::string error;
  ASSERT_TRUE(ParseLangSource(bytes.str(), source, error)) << error;
  const std::vector<TLangUse> uses = ReadLangIndex(source);
  for (const TWindowLangKeys& window : ShellLangKeys()) {
    std::set<TKeyName> indexed;
    for (const TLangUse& use : uses)
      if (use.Window == window.Window) indexed.insert({use.Section, use.Key});
    EXPECT_EQ(indexed, KeysOf(window)) << window.Window;
  }
}

}  // namespace
