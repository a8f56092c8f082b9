#include "pathfunctions.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "textconv.h"

namespace {

using namespace rtl;

std::u16string Appended(std::u16string path, std::u16string_view more) {
  PathAppendW(path, more);
  return path;
}

TEST(PathFunctions, AppendAndCombine) {
  EXPECT_EQ(Appended(u"/data/Kalvenor/", u"Kalvenor.ini"), u"/data/Kalvenor/Kalvenor.ini");
  EXPECT_EQ(Appended(u"/data/Kalvenor", u"Sensors"), u"/data/Kalvenor/Sensors");
  EXPECT_EQ(Appended(u"/data", u"/Sensors"), u"/data/Sensors");
  EXPECT_EQ(Appended(u"/data/a", u"../b"), u"/data/b");
  EXPECT_EQ(Appended(u"/", u"../../x"), u"/x");
  EXPECT_EQ(Appended(u"", u"x"), u"x");
  EXPECT_EQ(PathCombineW(u"/a/./b//", u"c/"), u"/a/b/c/");
  EXPECT_EQ(PathCombineW(u"/a", u"/b"), u"/b");
  EXPECT_EQ(PathCombineW(u"a", u"../../b"), u"../b");
  EXPECT_EQ(PathCombineW(u"/a/b", u""), u"/a/b");
}

TEST(PathFunctions, Backslash) {
  std::u16string path = u"/data";
  PathAddBackslashW(path);
  EXPECT_EQ(path, u"/data/");
  PathAddBackslashW(path);
  EXPECT_EQ(path, u"/data/");
  path.clear();
  PathAddBackslashW(path);
  EXPECT_EQ(path, u"");
}

TEST(PathFunctions, Extensions) {
  EXPECT_EQ(PathFindExtensionW(u"/a/Probe1.xml"), u".xml");
  EXPECT_EQ(PathFindExtensionW(u"/a/archive.tar.gz"), u".gz");
  EXPECT_EQ(PathFindExtensionW(u"/a.d/Probe1"), u"");
  EXPECT_EQ(PathFindExtensionW(u"/a/name. with blank"), u"");
  std::u16string path = u"/a/trace.asd";
  PathRenameExtensionW(path, u".bin");
  EXPECT_EQ(path, u"/a/trace.bin");
  path = u"/a/job";
  PathRenameExtensionW(path, u".daqdata");
  EXPECT_EQ(path, u"/a/job.daqdata");
  PathRemoveExtensionW(path);
  EXPECT_EQ(path, u"/a/job");
  EXPECT_TRUE(PathAddExtensionW(path, u".xml"));
  EXPECT_EQ(path, u"/a/job.xml");
  EXPECT_TRUE(PathAddExtensionW(path, u".txt"));
  EXPECT_EQ(path, u"/a/job.xml");
  path = u"/a/job";
  EXPECT_FALSE(PathAddExtensionW(path, u""));
}

TEST(PathFunctions, FileNamesAndFolders) {
  EXPECT_EQ(PathFindFileNameW(u"/a/b/c.xml"), u"c.xml");
  EXPECT_EQ(PathFindFileNameW(u"/a/b/"), u"b/");
  EXPECT_EQ(PathFindFileNameW(u"c.xml"), u"c.xml");
  const std::pair<std::u16string, std::u16string> specs[] = {
      {u"/a/b", u"/a"}, {u"/a", u"/"}, {u"a/", u"a"}, {u"a", u""}, {u"/a/b/", u"/a/b"}};
  for (const auto& [before, after] : specs) {
    std::u16string path = before;
    EXPECT_TRUE(PathRemoveFileSpecW(path)) << Utf16ToUtf8(before);
    EXPECT_EQ(path, after) << Utf16ToUtf8(before);
  }
  std::u16string root = u"/";
  EXPECT_FALSE(PathRemoveFileSpecW(root));
  EXPECT_EQ(root, u"/");
}

TEST(PathFunctions, Existence) {
  std::string pattern = (std::filesystem::temp_directory_path() / "zelto-path-XXXXXX").string();
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  const std::u16string dir = Utf8ToUtf16(pattern);
  std::ofstream(pattern + "/file.xml") << "x";
  EXPECT_TRUE(PathFileExistsW(dir));
  EXPECT_TRUE(PathIsDirectoryW(dir));
  EXPECT_TRUE(PathFileExistsW(dir + u"/file.xml"));
  EXPECT_FALSE(PathIsDirectoryW(dir + u"/file.xml"));
  EXPECT_FALSE(PathFileExistsW(dir + u"/missing.xml"));
  std::filesystem::remove_all(pattern);
}

TEST(PathFunctions, Compact) {
  std::u16string path = u"/home/user/data/Sensors/Probe1.xml";
  EXPECT_TRUE(PathCompactPathW(path, 100));
  EXPECT_EQ(path, u"/home/user/data/Sensors/Probe1.xml");
  EXPECT_TRUE(PathCompactPathW(path, 20));
  EXPECT_EQ(path, u"/home/.../Probe1.xml");
  EXPECT_FALSE(PathCompactPathW(path, 8));
  EXPECT_EQ(path, u"Probe...");
}

TEST(PathFunctions, Strings) {
  EXPECT_EQ(StrCmpIW(u"probe", u"PROBE"), 0);
  EXPECT_LT(StrCmpIW(u"apple", u"Banana"), 0);
  EXPECT_GT(StrCmpIW(u"Größe", u"GRÖSSE"), 0);
  EXPECT_EQ(StrStrW(u"Kalvenor.ini", u"nor"), 5u);
  EXPECT_EQ(StrStrW(u"Kalvenor.ini", u"xml"), std::u16string_view::npos);
  EXPECT_EQ(StrFormatByteSizeW(532), u"532 bytes");
  EXPECT_EQ(StrFormatByteSizeW(1485), u"1.45 KB");
  // Cut off, not rounded: 12.2999... MB.
  EXPECT_EQ(StrFormatByteSizeW(12'897'484), u"12.2 MB");
  EXPECT_EQ(StrFormatByteSizeW(12'897'485), u"12.3 MB");
  EXPECT_EQ(StrFormatByteSizeW(150LL << 30), u"150 GB");
}

TEST(PathFunctions, ExportTableNamesEveryFunction) {
  const char* names[] = {"PathAddBackslashW", "PathAddExtensionW", "PathAppendW", "PathCombineW",
                         "PathCompactPathW", "PathFindExtensionW", "PathFindFileNameW", "PathFileExistsW",
                         "PathIsDirectoryW", "PathRemoveExtensionW", "PathRemoveFileSpecW",
                         "PathRenameExtensionW", "StrCmpIW", "StrFormatByteSizeW", "StrStrW"};
  const auto exports = PathFunctionExports();
  ASSERT_EQ(exports.size(), std::size(names));
  for (size_t i = 0; i < exports.size(); ++i) {
    EXPECT_EQ(exports[i].Name, names[i]);
    EXPECT_NE(exports[i].Address, nullptr);
  }
  const auto append = reinterpret_cast<decltype(&PathAppendW)>(exports[2].Address);
  std::u16string path = u"/a";
  append(path, u"b");
  EXPECT_EQ(path, u"/a/b");
}

}  // namespace
