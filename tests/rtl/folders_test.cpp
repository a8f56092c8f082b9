#include "folders.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <vector>

#include "systemerror.h"
#include "tempdir.h"
#include "textconv.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST(Folders, UserDataDirHonoursXdgDataHome) {
  TTempDir dir;
  TScopedEnv home("HOME", "/home/tester");
  {
    TScopedEnv xdg("XDG_DATA_HOME", dir.Path().c_str());
    EXPECT_EQ(rtl::UserDataDir(), rtl::Utf8ToUtf16(dir.Path() + "/"));
  }
  {
    TScopedEnv xdg("XDG_DATA_HOME", "relative/ignored");
    EXPECT_EQ(rtl::UserDataDir(), u"/home/tester/.local/share/");
  }
  TScopedEnv xdg("XDG_DATA_HOME", nullptr);
  EXPECT_EQ(rtl::UserDataDir(), u"/home/tester/.local/share/");
  TScopedEnv noHome("HOME", nullptr);
  EXPECT_EQ(rtl::UserDataDir(), u"");
}

TEST(Folders, ProgramDirHoldsTheRunningProgram) {
  const std::u16string dir = rtl::ProgramDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.front(), u'/');
  EXPECT_EQ(dir.back(), u'/');
  EXPECT_TRUE(rtl::FileExists(dir + rtl::Utf8ToUtf16(RTL_TEST_EXE_NAME)));
}

TEST(Folders, ForceDirectoriesCreatesParents) {
  TTempDir dir;
  const std::u16string nested = rtl::Utf8ToUtf16(dir.Path()) + u"/Данные/振動/sub/";
  EXPECT_FALSE(rtl::DirectoryExists(nested));
  EXPECT_TRUE(rtl::ForceDirectories(nested));
  EXPECT_TRUE(rtl::DirectoryExists(nested));
  EXPECT_FALSE(rtl::FileExists(nested)) << "a folder is not a file";
  EXPECT_TRUE(rtl::ForceDirectories(nested)) << "existing is no error";
  EXPECT_FALSE(rtl::ForceDirectories(u""));

  const std::u16string file = rtl::Utf8ToUtf16(dir.Path()) + u"/plain";
  std::ofstream(rtl::NativePath(file)) << "x";
  EXPECT_FALSE(rtl::ForceDirectories(file + u"/below")) << "a file is in the way";
  EXPECT_FALSE(rtl::ForceDirectories(file));
}

TEST(Folders, ForceDirectoriesSaysWhyInTheSystemsWords) {
  TTempDir dir;
  const std::u16string file = rtl::Utf8ToUtf16(dir.Path()) + u"/plain";
  std::ofstream(rtl::NativePath(file)) << "x";
  int error = -1;
  EXPECT_FALSE(rtl::ForceDirectories(file, &error));
  EXPECT_EQ(error, EEXIST);
  EXPECT_EQ(rtl::SystemErrorText(error), u"File exists");
  error = -1;
  EXPECT_FALSE(rtl::ForceDirectories(file + u"/below", &error)) << "the parent step fails";
  EXPECT_EQ(error, EEXIST);
  EXPECT_FALSE(rtl::ForceDirectories(u"", &error));
  EXPECT_EQ(error, ENOENT);
  EXPECT_TRUE(rtl::ForceDirectories(rtl::Utf8ToUtf16(dir.Path()) + u"/made", &error));
  EXPECT_EQ(error, 0);
  EXPECT_EQ(rtl::SystemErrorText(EACCES), u"Permission denied");
}

std::vector<std::string> SyncedFolders;

void RecordSync(const std::string& folder) { SyncedFolders.push_back(folder); }

TEST(Folders, ForceDirectoriesSyncsTheParentOfEveryFolderItCreates) {
  TTempDir dir;
  SyncedFolders.clear();
  rtl::SetFolderSyncObserver(RecordSync);
  const bool made = rtl::ForceDirectories(rtl::Utf8ToUtf16(dir.Path()) + u"/new/sub/");
  const std::vector<std::string> afterCreating = SyncedFolders;
  ASSERT_TRUE(rtl::ForceDirectories(rtl::Utf8ToUtf16(dir.Path()) + u"/new/sub/"));
  rtl::SetFolderSyncObserver(nullptr);
  ASSERT_TRUE(made);
  // Each new name is durable in its parent, parents first; folders that
  // were there already need nothing.
  EXPECT_EQ(afterCreating, (std::vector<std::string>{dir.Path(), dir.Path() + "/new"}));
  EXPECT_EQ(SyncedFolders, afterCreating);
}

TEST(Folders, RenameReplacesAndDeleteRemoves) {
  TTempDir dir;
  const std::u16string base = rtl::Utf8ToUtf16(dir.Path()) + u"/";
  const std::u16string temp = base + u"session.tmp";
  const std::u16string target = base + u"Sitzung Größe.xml";
  std::ofstream(rtl::NativePath(temp)) << "new";
  std::ofstream(rtl::NativePath(target)) << "old";
  EXPECT_TRUE(rtl::FileExists(temp));

  EXPECT_TRUE(rtl::RenameFile(temp, target));
  EXPECT_FALSE(rtl::FileExists(temp));
  EXPECT_EQ(ReadAll(rtl::NativePath(target)), "new");
  EXPECT_FALSE(rtl::RenameFile(temp, target)) << "the source is gone";

  EXPECT_TRUE(rtl::DeleteFile(target));
  EXPECT_FALSE(rtl::FileExists(target));
  EXPECT_FALSE(rtl::DeleteFile(target));
  EXPECT_FALSE(rtl::DeleteFile(base)) << "folders are not deleted";
  EXPECT_TRUE(rtl::DirectoryExists(base));
}

TEST(Folders, NativePathIsUtf8) {
  EXPECT_EQ(rtl::NativePath(u"/tmp/Größe/振"), "/tmp/Gr\xC3\xB6\xC3\x9F" "e/\xE6\x8C\xAF");
}

}  // namespace
