// Saves of the session pair and of the asynchronous-data pair killed at
// random moments. A child process saves numbered jobs in a loop and is
// killed with SIGKILL; a fresh core then loads the pair, which must be
// exactly the save before the kill or the save under way: values and
// samples of one and the same save, loaded as a success.

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <thread>

#include "filesystemcalls.h"
#include "folders.h"
#include "sanitizerslowdown.h"
#include "textconv.h"
#include "zelto.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int KillsPerCase = 300;
// Document, raw file, pending raw file, the temporary files and the lock
// file of the one save that was killed: anything beyond is a pile-up.
constexpr size_t MostFilesAfterAKill = 6;

// What the saving child tells the test: the number of the save it began
// and of the last one it completed.
struct TProgress {
  std::atomic<int64_t> Started{0};
  std::atomic<int64_t> Finished{0};
};

// Memory that the forked child shares with the test.
class TSharedProgress {
 public:
  TSharedProgress() {
    void* memory = ::mmap(nullptr, sizeof(TProgress), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (memory != MAP_FAILED) Progress = new (memory) TProgress();
  }
  ~TSharedProgress() {
    if (Progress) ::munmap(Progress, sizeof(TProgress));
  }
  TProgress* Progress = nullptr;
};

// A folder in memory (tmpfs) when there is one: the saves are quick and
// the kills land in every step of them.
class TMemoryFolder {
 public:
  TMemoryFolder() {
    const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string pattern = (base / "zelto-kill-XXXXXX").string();
    if (::mkdtemp(pattern.data())) Path = pattern;
  }
  ~TMemoryFolder() {
    std::error_code ignored;
    fs::remove_all(Path, ignored);
  }
  fs::path Path;
};

std::vector<int32_t> Samples(int64_t save, int32_t tag, size_t count) {
  std::vector<int32_t> samples(count);
  for (size_t i = 0; i < count; ++i)
    samples[i] = static_cast<int32_t>(save * 4096 + tag * 1024 + static_cast<int64_t>(i % 1024));
  return samples;
}

// One kind of pair: how save number k fills the core, how a core is saved
// and loaded, and which save a loaded core holds (NoSave when its values
// and samples are not those of one save).
constexpr int64_t NoSave = -1;

class TPairKind {
 public:
  explicit TPairKind(bool varyingSize) : VaryingSize(varyingSize) {}
  virtual ~TPairKind() = default;
  virtual void Fill(TZelto& core, int64_t save) const = 0;
  virtual bool Save(TZelto& core) const = 0;
  virtual bool Load(TZelto& core) const = 0;
  virtual int64_t SaveIn(const TZelto& core) const = 0;
  virtual fs::path Folder(const TZelto& core) const = 0;

 protected:
  bool VaryingSize;
};

class TSessionPair : public TPairKind {
 public:
  using TPairKind::TPairKind;

  void Fill(TZelto& core, int64_t save) const override {
    core.Type = 1;
    core.BuffLength = VaryingSize ? 64 << (save % 3) : 128;
    core.BalancingStep = core.HighestStep = 2;
    for (int32_t run = 0; run <= 2; ++run) {
      CaptureRecord& c = core.Captures[run];
      c.DataA = Samples(save, 2 * run, static_cast<size_t>(core.BuffLength));
      c.DataB = Samples(save, 2 * run + 1, static_cast<size_t>(core.BuffLength));
      // No whole revolution: the loader keeps the stored values as they are.
      c.T = 0;
      c.Start = static_cast<int32_t>(save);
      c.End = run;
      MeasurementResult& r = core.Results[run];
      r.Meas = {static_cast<double>(save), 0.5 + run, static_cast<double>(save) / 4, -0.25 * run};
      r.Freq = static_cast<double>(save);
      r.Valid = 1;
    }
  }
  bool Save(TZelto& core) const override { return core.SaveSession() == TZelto::sfrDone; }
  bool Load(TZelto& core) const override { return core.LoadSession() == TZelto::sfrDone; }
  int64_t SaveIn(const TZelto& core) const override {
    const int64_t save = static_cast<int64_t>(core.Results[0].Freq);
    TZelto expected;
    Fill(expected, save);
    if (core.BuffLength != expected.BuffLength || core.HighestStep != 2) return NoSave;
    for (int32_t run = 0; run <= 2; ++run) {
      const CaptureRecord& c = core.Captures[run];
      const CaptureRecord& e = expected.Captures[run];
      const MeasurementResult& r = core.Results[run];
      const MeasurementResult& x = expected.Results[run];
      if (c.DataA != e.DataA || c.DataB != e.DataB || c.Start != e.Start || c.End != e.End) return NoSave;
      if (r.Meas.AmplA != x.Meas.AmplA || r.Meas.PhA != x.Meas.PhA || r.Meas.AmplB != x.Meas.AmplB ||
          r.Meas.PhB != x.Meas.PhB || r.Freq != x.Freq)
        return NoSave;
    }
    return save;
  }
  fs::path Folder(const TZelto& core) const override { return rtl::NativePath(core.AppDataDir); }
};

class TAsyncPair : public TPairKind {
 public:
  TAsyncPair(bool varyingSize, fs::path folder) : TPairKind(varyingSize), Document(folder / "trace.asd") {}

  void Fill(TZelto& core, int64_t save) const override {
    core.RamSize = 2048;
    core.Type = VaryingSize ? save % 2 : 1;
    core.BuffLength = VaryingSize ? 256 << (save % 3) : 512;
    // The number of the save, in three indexes of the document.
    core.SamplingRate = static_cast<int32_t>(save & 0xFF);
    core.GainA = static_cast<int32_t>((save >> 8) & 0xFF);
    core.GainB = static_cast<int32_t>((save >> 16) & 0xFF);
    core.LiveDataA = Samples(save, 0, static_cast<size_t>(core.RamSize));
    core.LiveDataB = Samples(save, 1, static_cast<size_t>(core.RamSize));
  }
  bool Save(TZelto& core) const override { return core.SaveAsyncData(Path()); }
  bool Load(TZelto& core) const override {
    core.RamSize = 2048;
    return core.LoadAsyncData(Path());
  }
  int64_t SaveIn(const TZelto& core) const override {
    const int64_t save = core.SamplingRate | core.GainA << 8 | core.GainB << 16;
    TZelto expected;
    Fill(expected, save);
    if (core.Type != expected.Type || core.BuffLength != expected.BuffLength) return NoSave;
    const auto block = [&core](const std::vector<int32_t>& live) {
      return std::vector<int32_t>(live.begin(), live.begin() + std::min<size_t>(live.size(), core.BuffLength));
    };
    if (block(core.LiveDataA) != block(expected.LiveDataA)) return NoSave;
    const std::vector<int32_t> expectedB = expected.Type == 1 ? block(expected.LiveDataB) : std::vector<int32_t>();
    if (block(core.LiveDataB) != expectedB) return NoSave;
    return save;
  }
  fs::path Folder(const TZelto&) const override { return Document.parent_path(); }

 private:
  std::u16string Path() const { return rtl::Utf8ToUtf16(Document.string()); }
  fs::path Document;
};

// Saves jobs 1, 2, 3, ... after the last one completed, until killed.
[[noreturn]] void SaveUntilKilled(const TPairKind& kind, TProgress& progress) {
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  TZelto core;
  for (int64_t save = progress.Finished + 1; save < progress.Finished + 100000; ++save) {
    kind.Fill(core, save);
    progress.Started = save;
    if (!kind.Save(core)) ::_exit(3);
    progress.Finished = save;
  }
  ::_exit(0);
}

size_t FilesIn(const fs::path& folder) {
  size_t files = 0;
  for (const auto& entry : fs::directory_iterator(folder)) files += entry.is_regular_file();
  return files;
}

class SaveKillTest : public ::testing::TestWithParam<std::tuple<bool, bool>> {
 protected:
  SaveKillTest() { ::setenv("XDG_DATA_HOME", Dir.Path.c_str(), 1); }

  std::unique_ptr<TPairKind> Kind() const {
    const auto [session, varying] = GetParam();
    if (session) return std::make_unique<TSessionPair>(varying);
    return std::make_unique<TAsyncPair>(varying, Dir.Path);
  }

  // The mean time of one save, from a few in this process.
  static Clock::duration SaveTime(const TPairKind& kind, TZelto& core) {
    constexpr int Saves = 20;
    const Clock::time_point start = Clock::now();
    for (int i = 1; i <= Saves; ++i) {
      kind.Fill(core, i);
      EXPECT_TRUE(kind.Save(core));
    }
    return (Clock::now() - start) / Saves;
  }

  TMemoryFolder Dir;
};

TEST_P(SaveKillTest, AKilledSaveLeavesTheSaveBeforeOrTheSaveUnderWay) {
  ASSERT_FALSE(Dir.Path.empty());
  TSharedProgress shared;
  ASSERT_NE(shared.Progress, nullptr);
  TProgress& progress = *shared.Progress;
  const std::unique_ptr<TPairKind> kind = Kind();
  TZelto first;
  const fs::path folder = kind->Folder(first);
  const auto saveTime = std::chrono::duration_cast<std::chrono::microseconds>(SaveTime(*kind, first));
  progress.Started = progress.Finished = 20;

  const unsigned seed = std::random_device()();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  // From the start of the child's first save to well into its third.
  std::uniform_int_distribution<int64_t> delay(0, std::max<int64_t>(3 * saveTime.count(), 50));
  int mixed = 0, interrupted = 0, newer = 0;
  for (int kill = 0; kill < KillsPerCase && mixed == 0; ++kill) {
    const int64_t before = progress.Finished;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) SaveUntilKilled(*kind, progress);
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(10) * testsupport::kSanitizerSlowdown;
    while (progress.Started == before && Clock::now() < deadline) std::this_thread::yield();
    // Waited out rather than slept: a sleep would round the moment up to
    // the scheduler's slack.
    const Clock::time_point moment = Clock::now() + std::chrono::microseconds(delay(random));
    while (Clock::now() < moment) {
    }
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the child ended by itself: " << status;

    const int64_t started = progress.Started, finished = progress.Finished;
    ASSERT_GT(started, before) << "the child never began a save";
    TZelto loaded;
    const bool ok = kind->Load(loaded);
    const int64_t save = ok ? kind->SaveIn(loaded) : NoSave;
    if (save == NoSave || (save != finished && save != started)) {
      ++mixed;
      ADD_FAILURE() << "kill " << kill << ": load " << (ok ? "succeeded" : "failed") << " with save " << save
                    << " (-1: none), saves " << finished << " done, " << started << " begun";
    }
    interrupted += started != finished;
    newer += save == started && started != finished;
    // The next child continues after what the pair now holds.
    if (save != NoSave) progress.Started = progress.Finished = save;
    ASSERT_LE(FilesIn(folder), MostFilesAfterAKill);
  }
  EXPECT_EQ(mixed, 0);
  // The kills must have landed inside saves, or the test shows nothing.
  EXPECT_GT(interrupted, KillsPerCase / 10) << newer << " loads gave the save under way";
  RecordProperty("KillsInsideASave", interrupted);
  RecordProperty("LoadsOfTheSaveUnderWay", newer);
  // The next save clears what the killed ones left.
  TZelto last;
  kind->Fill(last, progress.Finished + 1);
  ASSERT_TRUE(kind->Save(last));
  EXPECT_EQ(FilesIn(folder), 2u);
}

INSTANTIATE_TEST_SUITE_P(Pairs, SaveKillTest,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<SaveKillTest::ParamType>& info) {
                           return std::string(std::get<0>(info.param) ? "Session" : "AsyncData") +
                                  (std::get<1>(info.param) ? "VaryingSize" : "ConstantSize");
                         });

// Two programs on one data folder: each saves the automatic session while
// this process loads it.
class TwoWritersTest : public ::testing::Test {
 protected:
  TwoWritersTest() { ::setenv("XDG_DATA_HOME", Dir.Path.c_str(), 1); }

  // Which whole save a load gives; NoSave when it failed or mixed saves.
  int64_t LoadedSave() const {
    TZelto loaded;
    return Kind.Load(loaded) ? Kind.SaveIn(loaded) : NoSave;
  }

  TMemoryFolder Dir;
  const TSessionPair Kind{true};
};

// Ends the process's save at the moment its raw file has its pending name:
// the first folder the save makes durable is the one of that rename.
void StopAtTheFirstFolderSync(const std::string&) {
  rtl::SetFolderSyncObserver(nullptr);
  ::raise(SIGSTOP);
}

pid_t StartWriter(const TPairKind& kind, int64_t firstSave, int64_t saves, bool stopInFirstSave) {
  const pid_t child = ::fork();
  if (child != 0) return child;
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  TZelto core;
  for (int64_t save = firstSave; save < firstSave + saves; ++save) {
    kind.Fill(core, save);
    if (stopInFirstSave && save == firstSave) rtl::SetFolderSyncObserver(StopAtTheFirstFolderSync);
    if (!kind.Save(core)) ::_exit(3);
  }
  ::_exit(0);
}

bool Running(pid_t child) {
  siginfo_t info{};
  return ::waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == 0;
}

bool EndedWell(pid_t child) {
  int status = 0;
  return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(TwoWritersTest, LoadsBetweenTwoProcessesSavingAlwaysGiveAWholeSave) {
  ASSERT_FALSE(Dir.Path.empty());
  constexpr int64_t SavesEach = 150;
  TZelto first;
  Kind.Fill(first, 1);
  ASSERT_TRUE(Kind.Save(first));
  const pid_t writers[] = {StartWriter(Kind, 100000, SavesEach, false), StartWriter(Kind, 200000, SavesEach, false)};
  ASSERT_GT(writers[0], 0);
  ASSERT_GT(writers[1], 0);
  int loads = 0, failures = 0;
  for (; Running(writers[0]) || Running(writers[1]); ++loads) failures += LoadedSave() == NoSave;
  EXPECT_TRUE(EndedWell(writers[0]));
  EXPECT_TRUE(EndedWell(writers[1]));
  EXPECT_EQ(failures, 0) << "of " << loads << " loads";
  const int64_t last = LoadedSave();
  EXPECT_TRUE(last == 100000 + SavesEach - 1 || last == 200000 + SavesEach - 1) << last;
}

TEST_F(TwoWritersTest, AWriterStoppedWithItsRawFileUnderItsPendingNameCostsNoSave) {
  ASSERT_FALSE(Dir.Path.empty());
  TZelto core;
  Kind.Fill(core, 1);
  ASSERT_TRUE(Kind.Save(core));
  const pid_t stopped = StartWriter(Kind, 2, 1, true);
  ASSERT_GT(stopped, 0);
  int status = 0;
  ASSERT_EQ(::waitpid(stopped, &status, WUNTRACED), stopped);
  ASSERT_TRUE(WIFSTOPPED(status));
  // While it stands still, the pair is the save before it, and another
  // save either completes whole or says it failed.
  EXPECT_EQ(LoadedSave(), 1);
  Kind.Fill(core, 3);
  const bool savedMeanwhile = Kind.Save(core);
  EXPECT_EQ(LoadedSave(), savedMeanwhile ? 3 : 1);
  ::kill(stopped, SIGCONT);
  EXPECT_TRUE(EndedWell(stopped)) << "the stopped save finished and said so";
  EXPECT_EQ(LoadedSave(), 2);
  Kind.Fill(core, 4);
  ASSERT_TRUE(Kind.Save(core));
  EXPECT_EQ(LoadedSave(), 4);
  // The other writer's save, which this one never read, was kept aside
  // beside it rather than saved over.
  EXPECT_EQ(core.PairKeptAside.size(), 2u);
  EXPECT_EQ(FilesIn(Kind.Folder(core)), 4u);
}


// The folder operation after which the saving child is killed, and how many
// it has made so far: every step of a save that changes what the folder
// names (a rename, a new name) is made durable before the next, so a kill
// at each durable step covers every state a kill or a power loss can leave.
int KillAtFolderSync = 0;
int FolderSyncsMade = 0;

void KillAtTheChosenFolderSync(const std::string&) {
  if (++FolderSyncsMade == KillAtFolderSync) ::raise(SIGKILL);
}

// The document of a pair kept aside as changed elsewhere; empty when none.
fs::path ChangedElsewhereDocument(const fs::path& folder) {
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.find("(changed elsewhere ") != std::string::npos && entry.path().extension() == ".daqsession")
      return entry.path();
  }
  return {};
}

// A save that keeps aside the pair another program wrote, killed after
// each of its steps in turn: the automatic pair is always whole, the other
// program's or the new one, and once the new one is in place the other
// program's pair is whole under the names that say it was kept aside.
TEST_F(TwoWritersTest, AKeepAsideSaveKilledAfterAnyStepLeavesBothPairsWhole) {
  ASSERT_FALSE(Dir.Path.empty());
  TZelto mine;
  const fs::path folder = Kind.Folder(mine);
  bool completed = false;
  for (int step = 1; step < 50 && !completed; ++step) {
    SCOPED_TRACE("killed after folder operation " + std::to_string(step));
    fs::remove_all(folder);
    TZelto own;
    Kind.Fill(own, 1);
    ASSERT_TRUE(Kind.Save(own));
    TZelto other;
    Kind.Fill(other, 2);
    ASSERT_TRUE(Kind.Save(other));

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::prctl(PR_SET_PDEATHSIG, SIGKILL);
      Kind.Fill(own, 3);
      KillAtFolderSync = step;
      rtl::SetFolderSyncObserver(KillAtTheChosenFolderSync);
      ::_exit(Kind.Save(own) && !own.PairKeptAside.empty() ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    completed = WIFEXITED(status);
    ASSERT_TRUE(completed ? WEXITSTATUS(status) == 0 : WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        << status;

    const int64_t automatic = LoadedSave();
    EXPECT_TRUE(automatic == 2 || automatic == 3) << automatic;
    const fs::path kept = ChangedElsewhereDocument(folder);
    if (automatic == 3) {
      ASSERT_FALSE(kept.empty()) << "the other program's pair was replaced without a name";
    }
    if (kept.empty()) continue;
    TZelto keptPair;
    EXPECT_EQ(keptPair.LoadSession(rtl::Utf8ToUtf16(kept.string())), TZelto::sfrDone);
    EXPECT_EQ(Kind.SaveIn(keptPair), 2);
  }
  EXPECT_TRUE(completed) << "the save never ended by itself";
}


// A file system without links (a FAT stick) refuses every link.
int RefuseLink(const char*, const char*) {
  errno = EPERM;
  return -1;
}

struct TWithoutLinks {
  TWithoutLinks() { rtl::SetLinkCall(RefuseLink); }
  ~TWithoutLinks() { rtl::SetLinkCall(nullptr); }
};

std::string FileBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every file in `folder` whose name holds `part`, by name.
std::vector<fs::path> FilesNamed(const fs::path& folder, const std::string& part) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().filename().string().find(part) != std::string::npos) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

// Without links a pair another program wrote is kept aside by copies, each
// written under a temporary name first. A save killed in the middle of
// such a copy (here the file-size limit ends it, as a kill would) leaves
// that temporary file beside a name with the time in it, which no later
// save need write again: the next save removes it, and the pair kept aside
// before stays byte for byte, under its names.
TEST_F(TwoWritersTest, ACopyAKillCutShortIsRemovedByTheNextSaveAndTheKeptPairStays) {
  ASSERT_FALSE(Dir.Path.empty());
  const TWithoutLinks fatStick;
  TZelto own, other;
  const fs::path folder = Kind.Folder(own);
  Kind.Fill(own, 1);
  ASSERT_TRUE(Kind.Save(own));
  Kind.Fill(other, 2);
  ASSERT_TRUE(Kind.Save(other));
  Kind.Fill(own, 3);
  ASSERT_TRUE(Kind.Save(own));
  const std::vector<fs::path> kept = FilesNamed(folder, "(changed elsewhere ");
  ASSERT_EQ(kept.size(), 2u);
  std::vector<std::string> keptBytes;
  for (const fs::path& file : kept) {
    EXPECT_EQ(fs::hard_link_count(file), 1u) << "a copy, not a link";
    keptBytes.push_back(FileBytes(file));
  }

  // The other program's next job has a raw file far larger than the limit,
  // this one's new pair fits below it.
  constexpr rlim_t Limit = 64 * 1024;
  Kind.Fill(other, 4);
  other.BuffLength = 8192;
  for (CaptureRecord& c : other.Captures)
    if (!c.DataA.empty()) c.DataA = c.DataB = Samples(4, 0, static_cast<size_t>(other.BuffLength));
  ASSERT_EQ(other.SaveSession(), TZelto::sfrDone);
  ASSERT_GT(fs::file_size(folder / "!session.daqdata"), 2 * Limit);
  const std::string otherPair = FileBytes(folder / "!session.daqsession") + FileBytes(folder / "!session.daqdata");

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    const rlimit size{Limit, RLIM_INFINITY}, noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    ::setrlimit(RLIMIT_FSIZE, &size);
    Kind.Fill(own, 6);
    ::_exit(Kind.Save(own) ? 0 : 3);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
  const std::vector<fs::path> cut = FilesNamed(folder, ".daqdata.tmp" + std::to_string(child) + "-");
  ASSERT_EQ(cut.size(), 1u) << "the copy under way";
  EXPECT_NE(cut[0].filename().string().find("(changed elsewhere "), std::string::npos);
  EXPECT_TRUE(FileBytes(folder / "!session.daqsession") + FileBytes(folder / "!session.daqdata") == otherPair);

  // The next save is the other program's, whose pair is in place: it keeps
  // nothing aside, and copies nothing under the name the copy was to take.
  Kind.Fill(other, 9);
  ASSERT_TRUE(Kind.Save(other));
  EXPECT_TRUE(other.PairKeptAside.empty());
  EXPECT_EQ(LoadedSave(), 9);
  EXPECT_FALSE(fs::exists(cut[0]));
  EXPECT_EQ(FilesNamed(folder, ".tmp"), std::vector<fs::path>());
  for (size_t i = 0; i < kept.size(); ++i) EXPECT_TRUE(FileBytes(kept[i]) == keptBytes[i]) << kept[i];
}

}  // namespace
