// Saves of the data-file pairs on file systems that answer otherwise than a
// local disk: one that keeps no locks (a network share without its lock
// service), one whose locks fail otherwise, one without permission bits (a
// FAT stick), and a pair that another program wrote since this one last
// read or wrote it (a second instance the locks did not keep out). The file
// system's answers are stood in for through the runtime layer's calls.

#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <set>

#include "datafilefixture.h"
#include "filesystemcalls.h"
#include "folders.h"
#include "namedlock.h"

namespace {

namespace fs = std::filesystem;

constexpr int32_t Length = 256;

int NoLocks(int, int) {
  errno = ENOLCK;
  return -1;
}
int LockFails(int, int) {
  errno = EIO;
  return -1;
}
int NoModes(int, mode_t) {
  errno = ENOSYS;
  return -1;
}
int ModesRefused(int, mode_t) {
  errno = EPERM;
  return -1;
}
int ModeFails(int, mode_t) {
  errno = EIO;
  return -1;
}

// Puts the system's calls back whatever the test did.
struct TSystemCalls {
  ~TSystemCalls() {
    rtl::SetFlockCall(nullptr);
    rtl::SetFchmodCall(nullptr);
  }
};

class FileSystemAnswers : public DataFileTest {
 protected:
  FileSystemAnswers() {
    Core->BuffLength = Length;
    Measure(*Core, 1.5);
  }
  static void Measure(TZelto& core, double amplitude) {
    core.Captures[0].DataA = Ramp(Length, 7);
    core.Results[0].Meas = {amplitude, 0.25, 0, 0};
    core.Results[0].Valid = 1;
  }
  // The pair saved on the local disk as the reference of its bytes.
  void SaveReference() { ASSERT_EQ(Core->SaveSessionAs(Dir.File(u"reference.daqsession")), TZelto::sfrDone); }
  void ExpectLikeReference(std::u16string_view name) const {
    SCOPED_TRACE(rtl::Utf16ToUtf8(name));
    EXPECT_EQ(ReadBytes(Dir.Native(std::u16string(name) + u".daqsession")),
              ReadBytes(Dir.Native(u"reference.daqsession")));
    EXPECT_EQ(ReadBytes(Dir.Native(std::u16string(name) + u".daqdata")), ReadBytes(Dir.Native(u"reference.daqdata")));
  }
  // Every name in the folder.
  static std::set<std::string> Entries(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
  }

  TSystemCalls Calls;
};

}  // namespace

// Without locks the pair is saved without one, twice, and the folder is
// reported once; a lock that fails otherwise refuses the save with the
// system's reason, and the pair stays. No lock file is left either way; the
// device lock is taken without locks too.
TEST_F(FileSystemAnswers, WithoutLocksAPairIsSavedAndNoLockFileIsLeft) {
  SaveReference();
  rtl::SetFlockCall(NoLocks);
  ASSERT_EQ(Core->SaveSessionAs(Dir.File(u"job.daqsession")), TZelto::sfrDone);
  ASSERT_EQ(Core->SaveSessionAs(Dir.File(u"job.daqsession")), TZelto::sfrDone);
  ExpectLikeReference(u"job");
  ASSERT_EQ(Core->LockNotices.size(), 1u);
  EXPECT_EQ(Core->LockNotices[0].File, Dir.Folder());
  EXPECT_EQ(Core->LockNotices[0].Error, ENOLCK);
  auto loaded = Restarted();
  EXPECT_EQ(loaded->LoadSession(Dir.File(u"job.daqsession")), TZelto::sfrDone);
  EXPECT_EQ(loaded->Captures[0].DataA, Core->Captures[0].DataA);
  rtl::TNamedLock device("Sartel_Device_1", Dir.Native(u"locks").string());
  EXPECT_TRUE(device.TryAcquire());
  device.Release();

  rtl::SetFlockCall(LockFails);
  Measure(*Core, 9.5);
  EXPECT_EQ(Core->SaveSessionAs(Dir.File(u"job.daqsession")), TZelto::sfrRawFileFailed);
  EXPECT_EQ(Core->FileFailure.File, Dir.File(u"job.daqsession"));
  EXPECT_EQ(Core->FileFailure.Error, EIO);
  ExpectLikeReference(u"job");
  for (const std::string& name : Entries(Dir.Path)) EXPECT_EQ(name.find(".lock"), std::string::npos) << name;
}

// A file system without permission bits answers fchmod with ENOSYS (or
// EPERM to the file's owner): Save As over a pair there goes on, twice;
// any other failure still stops it and the pair stays.
TEST_F(FileSystemAnswers, SaveAsTwiceOnAFileSystemWithoutModes) {
  SaveReference();
  rtl::SetFchmodCall(NoModes);
  ASSERT_EQ(Core->SaveSessionAs(Dir.File(u"pump.daqsession")), TZelto::sfrDone);
  ASSERT_EQ(Core->SaveSessionAs(Dir.File(u"pump.daqsession")), TZelto::sfrDone);
  ExpectLikeReference(u"pump");
  rtl::SetFchmodCall(ModesRefused);
  ASSERT_EQ(Core->SaveSessionAs(Dir.File(u"pump.daqsession")), TZelto::sfrDone);
  ExpectLikeReference(u"pump");
  rtl::SetFchmodCall(ModeFails);
  Measure(*Core, 9.5);
  EXPECT_EQ(Core->SaveSessionAs(Dir.File(u"pump.daqsession")), TZelto::sfrRawFileFailed);
  EXPECT_EQ(Core->FileFailure.File, Dir.File(u"pump.daqdata"));
  EXPECT_EQ(Core->FileFailure.Error, EIO);
  ExpectLikeReference(u"pump");
}

// Two cores on one folder, whatever the locks did: a save never replaces a
// pair the other wrote since this one loaded or saved it. That pair is kept
// aside, byte for byte, and named; a pair that did not change is replaced
// without a word. Sessions and asynchronous data alike.
TEST_F(FileSystemAnswers, ASaveKeepsAsideAPairAnotherProgramWroteSince) {
  ASSERT_EQ(Core->LoadSession(), TZelto::sfrDone);  // none yet: an empty job
  Core->BuffLength = Length;
  Measure(*Core, 1.5);
  auto other = Restarted();
  other->BuffLength = Length;
  ASSERT_EQ(other->LoadSession(), TZelto::sfrDone);
  Measure(*other, 4.5);
  ASSERT_EQ(other->SaveSession(), TZelto::sfrDone);
  const std::string othersDocument = ReadBytes(AppData() / "!session.daqsession");
  const std::string othersRaw = ReadBytes(AppData() / "!session.daqdata");

  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  ASSERT_EQ(Core->PairKeptAside.size(), 2u);
  EXPECT_EQ(ReadBytes(rtl::NativePath(Core->PairKeptAside[0])), othersRaw);
  EXPECT_EQ(ReadBytes(rtl::NativePath(Core->PairKeptAside[1])), othersDocument);
  EXPECT_NE(Core->PairKeptAside[1].find(u"!session (changed elsewhere "), std::u16string::npos);
  auto restarted = Restarted();
  ASSERT_EQ(restarted->LoadSession(), TZelto::sfrDone);
  EXPECT_EQ(restarted->Results[0].Meas.AmplA, 1.5);
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  EXPECT_TRUE(Core->PairKeptAside.empty());

  Core->RamSize = Length;
  Core->LiveDataA = Ramp(Length, 3);
  other->RamSize = Length;
  ASSERT_TRUE(Core->SaveAsyncData(Dir.File(u"trace.asd")));
  ASSERT_TRUE(other->LoadAsyncData(Dir.File(u"trace.asd")));
  other->LiveDataA = Ramp(Length, 11);
  ASSERT_TRUE(other->SaveAsyncData(Dir.File(u"trace.asd")));
  EXPECT_TRUE(other->PairKeptAside.empty());
  const std::string othersTrace = ReadBytes(Dir.Native(u"trace.bin"));
  ASSERT_TRUE(Core->SaveAsyncData(Dir.File(u"trace.asd")));
  ASSERT_EQ(Core->PairKeptAside.size(), 2u);
  EXPECT_EQ(ReadBytes(rtl::NativePath(Core->PairKeptAside[0])), othersTrace);
}

// One file reached under two spellings is one document: a pair saved
// through a linked folder, or through the folder's name in another letter
// case (one FAT stick under two mount names; a link stands in for the
// case-blind file system here), is this program's own, and the next save
// under the first spelling keeps nothing aside. A pair loaded under one
// spelling is saved under the other as its own, and a folder without
// locks is told once under any of its names.
TEST_F(FileSystemAnswers, APairReachedUnderAnotherSpellingIsThisProgramsOwn) {
  const fs::path stick = Dir.Path / "stick";
  fs::create_directory(stick);
  const auto pump = [this](std::u16string_view folder) { return Dir.File(std::u16string(folder) + u"/pump.daqsession"); };
  for (const std::u16string other : {u"media", u"STICK"}) {
    SCOPED_TRACE(rtl::Utf16ToUtf8(other));
    fs::create_directory_symlink(stick, Dir.Native(other));
    Measure(*Core, 1.5);
    ASSERT_EQ(Core->SaveSessionAs(pump(u"stick")), TZelto::sfrDone);
    Measure(*Core, 2.5);
    ASSERT_EQ(Core->SaveSessionAs(pump(other)), TZelto::sfrDone);
    EXPECT_TRUE(Core->PairKeptAside.empty());
    Measure(*Core, 3.5);
    ASSERT_EQ(Core->SaveSessionAs(pump(u"stick")), TZelto::sfrDone);
    EXPECT_TRUE(Core->PairKeptAside.empty());

    auto loaded = Restarted();
    loaded->BuffLength = Length;
    ASSERT_EQ(loaded->LoadSession(pump(other)), TZelto::sfrDone);
    EXPECT_EQ(loaded->Results[0].Meas.AmplA, 3.5);
    Measure(*loaded, 4.5);
    ASSERT_EQ(loaded->SaveSessionAs(pump(u"stick")), TZelto::sfrDone);
    EXPECT_TRUE(loaded->PairKeptAside.empty());
    EXPECT_EQ(Entries(stick), (std::set<std::string>{"pump.daqdata", "pump.daqsession"}));
    // The next spelling starts from an empty stick.
    fs::remove_all(stick);
    fs::create_directory(stick);
  }

  rtl::SetFlockCall(NoLocks);
  ASSERT_EQ(Core->SaveSessionAs(pump(u"stick")), TZelto::sfrDone);
  ASSERT_EQ(Core->SaveSessionAs(pump(u"media")), TZelto::sfrDone);
  ASSERT_EQ(Core->SaveSessionAs(pump(u"STICK")), TZelto::sfrDone);
  EXPECT_EQ(Core->LockNotices.size(), 1u);
}
