#include "replacementfile.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include "scratchfolder.h"

namespace {

namespace fs = std::filesystem;

class ReplacementFileTest : public ::testing::Test {
 protected:
  std::set<std::string> Entries() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(Dir.Path)) names.insert(entry.path().filename().string());
    return names;
  }

  TScratchFolder Dir;
  std::u16string Path = Dir.File(u"doc.xml");
};

// The id of a process that has ended.
pid_t EndedProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

TEST_F(ReplacementFileTest, NothingChangesBeforeCommit) {
  WriteBytes(Dir.Native(u"doc.xml"), "old");
  {
    TReplacementFile file(Path);
    ASSERT_TRUE(file.IsOpen());
    file.Write("new contents");
    EXPECT_EQ(file.Size(), 12u);
    EXPECT_EQ(ReadBytes(Dir.Native(u"doc.xml")), "old");
    ASSERT_TRUE(file.Finish());
    EXPECT_EQ(ReadBytes(Dir.Native(u"doc.xml")), "old");
  }
  // Never committed: the temporary file is gone, the old file stands.
  EXPECT_EQ(Entries(), std::set<std::string>{"doc.xml"});
  EXPECT_EQ(ReadBytes(Dir.Native(u"doc.xml")), "old");
}

TEST_F(ReplacementFileTest, CommitReplacesAndKeepsThePermissionsButTheOwnersAccess) {
  WriteBytes(Dir.Native(u"doc.xml"), "old");
  fs::permissions(Dir.Native(u"doc.xml"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  ASSERT_TRUE(ReplaceFile(Path, "new"));
  EXPECT_EQ(ReadBytes(Dir.Native(u"doc.xml")), "new");
  EXPECT_EQ(fs::status(Dir.Native(u"doc.xml")).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
  EXPECT_EQ(Entries(), std::set<std::string>{"doc.xml"});
  // A file nobody could read becomes one its owner can read and write.
  fs::permissions(Dir.Native(u"doc.xml"), fs::perms::none);
  ASSERT_TRUE(ReplaceFile(Path, "newer"));
  EXPECT_EQ(fs::status(Dir.Native(u"doc.xml")).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  // A new file gets the usual permissions.
  ASSERT_TRUE(ReplaceFile(Dir.File(u"fresh.xml"), "x"));
  EXPECT_NE(fs::status(Dir.Native(u"fresh.xml")).permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST_F(ReplacementFileTest, AFailedReplacementLeavesTheTargetAndNoTemporary) {
  fs::create_directory(Dir.Native(u"doc.xml"));
  EXPECT_FALSE(ReplaceFile(Path, "new"));
  EXPECT_TRUE(fs::is_directory(Dir.Native(u"doc.xml")));
  EXPECT_EQ(Entries(), std::set<std::string>{"doc.xml"});
  EXPECT_FALSE(ReplaceFile(Dir.File(u"missing/doc.xml"), "new"));
  TReplacementFile unnamed(u"");
  EXPECT_FALSE(unnamed.IsOpen());
  EXPECT_FALSE(unnamed.Finish());
  EXPECT_FALSE(unnamed.Commit());
}

TEST_F(ReplacementFileTest, LeftoversOfEndedWritersGoAtTheNextReplacement) {
  const std::string ended = std::to_string(EndedProcess());
  const std::string running = std::to_string(::getppid());
  const std::set<std::string> kept = {
      "doc.xml",
      "doc.xml.tmp" + running + "-4",   // a writer that still runs
      "doc.xml.tmp" + ended + "-x",     // not a temporary name
      "doc.xml.tmp" + ended,            // nor this
      "other.xml.tmp" + ended + "-0",   // another file's
      "doc.xml.pending",
  };
  for (const std::string& name : kept) WriteBytes(Dir.Path / name, "keep");
  // Ours, and those of the earlier raw-file writer.
  for (const std::string& name :
       {"doc.xml.tmp" + ended + "-0", "doc.xml.tmp" + ended + "-17", "doc.xml.new" + ended + "-3"})
    WriteBytes(Dir.Path / name, "left");
  ASSERT_TRUE(ReplaceFile(Path, "new"));
  EXPECT_EQ(Entries(), kept);
  EXPECT_EQ(ReadBytes(Dir.Native(u"doc.xml")), "new");
}

TEST_F(ReplacementFileTest, CommitAsStagesTheFileUnderAnotherName) {
  WriteBytes(Dir.Native(u"doc.xml"), "old");
  TReplacementFile file(Path);
  file.Write("new");
  ASSERT_TRUE(file.Finish());
  ASSERT_TRUE(file.CommitAs((Dir.Path / "doc.xml.pending").string()));
  EXPECT_FALSE(file.Commit());  // committed once only
  EXPECT_EQ(ReadBytes(Dir.Native(u"doc.xml")), "old");
  ASSERT_TRUE(MoveIntoPlace((Dir.Path / "doc.xml.pending").string(), file.NativeTarget()));
  EXPECT_EQ(ReadBytes(Dir.Native(u"doc.xml")), "new");
  EXPECT_EQ(Entries(), std::set<std::string>{"doc.xml"});
}

}  // namespace
