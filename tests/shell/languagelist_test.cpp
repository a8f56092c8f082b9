// The language choice's list: which files are listed and in what order.
#include <gtest/gtest.h>

#include "formselectlang.h"
#include "shelltestsupport.h"

namespace {

using shelltest::TTempFolder;

void WriteLanguage(const TTempFolder& folder, const std::string& file, const std::u16string& name) {
  std::vector<shelltest::TKeyValue> values;
  if (!name.empty()) values.push_back({u"About", u"Name", name});
  for (char16_t n = u'1'; n <= u'4'; ++n)
    values.push_back({u"About", std::u16string(u"Line") + n, name + u" line " + n});
  shelltest::WriteLanguageFile(folder.File(file), values);
}

std::vector<std::u16string> Names(const std::vector<TLanguageEntry>& entries) {
  std::vector<std::u16string> names;
  for (const TLanguageEntry& e : entries) names.push_back(e.Name);
  return names;
}

TEST(LanguageList, SortedByNameWithFullPathsAndLines) {
  TTempFolder folder;
  WriteLanguage(folder, "English.xml", u"English");
  WriteLanguage(folder, "Deutsch.xml", u"Deutsch");
  const std::vector<TLanguageEntry> list = ListLanguages(folder.PathW());
  ASSERT_EQ(Names(list), (std::vector<std::u16string>{u"Deutsch", u"English"}));
  EXPECT_EQ(list[0].Path, folder.PathW() + u"/Deutsch.xml");
  EXPECT_EQ(list[0].Lines[0], u"Deutsch line 1");
  EXPECT_EQ(list[0].Lines[3], u"Deutsch line 4");
}

TEST(LanguageList, CodeUnitOrderAndFilesLeftOut) {
  TTempFolder folder;
  WriteLanguage(folder, "a.xml", u"deutsch");
  WriteLanguage(folder, "b.xml", u"English");
  WriteLanguage(folder, "c.xml", u"Eng");
  WriteLanguage(folder, "noname.xml", u"");
  shelltest::WriteBytes(folder.File("damaged.xml"), "not a document");
  WriteLanguage(folder, "other.txt", u"Other");
  // Upper case before lower case; a prefix before the longer name.
  EXPECT_EQ(Names(ListLanguages(folder.PathW())), (std::vector<std::u16string>{u"Eng", u"English", u"deutsch"}));
}

TEST(LanguageList, MissingFolderAndTheLimit) {
  TTempFolder folder;
  EXPECT_TRUE(ListLanguages(folder.PathW() + u"/Language").empty());
  for (int i = 0; i < 101; ++i) {
    const std::string n = std::to_string(1000 + i);
    WriteLanguage(folder, n + ".xml", std::u16string(n.begin(), n.end()));
  }
  EXPECT_EQ(ListLanguages(folder.PathW()).size(), MaxLanguageFiles);
}

TEST(LanguageList, CompareEntries) {
  const TLanguageEntry a{u"Eng", {}, {}}, b{u"English", {}, {}}, c{u"english", {}, {}};
  EXPECT_EQ(CompareLanguageEntries(a, b), -1);
  EXPECT_EQ(CompareLanguageEntries(b, a), 1);
  EXPECT_EQ(CompareLanguageEntries(b, c), -1);
  EXPECT_EQ(CompareLanguageEntries(b, b), 0);
}

}  // namespace
