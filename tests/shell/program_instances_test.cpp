// Program instances on one data folder, each a child process running the
// whole program in demo mode: a second start is refused with a message that
// names the folder while the first runs, and the first's job is the one on
// disk after both ended; a first instance that was killed does not block the
// next start. The test binary is its own child: run with "--instance" it is
// one program instance, driven through files in a signal folder.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "answerhook.h"
#include "application.h"
#include "dialogs.h"
#include "filesystemcalls.h"
#include "formbalancing.h"
#include "folders.h"
#include "formmessage.h"
#include "instancelock.h"
#include "pathbinding.h"
#include "program.h"
#include "sanitizerslowdown.h"
#include "shelltestsupport.h"
#include "startup.h"
#include "textconv.h"
#include "timer.h"
#include "zelto.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// The run an instance measures before it closes, and its amplitude.
constexpr int MeasuredRun = 2;
constexpr double MeasuredAmplitude = 4.5;
// How long a child may take to show its workspace or to end, stretched by a
// sanitizer's slowdown of the whole program.
constexpr auto ChildPatience = std::chrono::seconds(60) * testsupport::kSanitizerSlowdown;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// ---- one instance (the child) ----

// Answers what the program asks as a user would, and writes every message
// it shows into "<name>.messages".
std::optional<gui::TDialogAnswer> AnswerAsAUser(const gui::TDialogRequest& r, const fs::path& messages) {
  const auto note = [&](const std::u16string& text) {
    std::ofstream(messages, std::ios::app) << rtl::Utf16ToUtf8(text) << "\n--\n";
  };
  if (r.Kind == gui::dkMessageBox) {
    if (r.Flags & gui::MB_YESNO) return gui::TDialogAnswer{gui::IDYES, {}};  // the demo question
    note(r.Text);
    return gui::TDialogAnswer{gui::IDOK, {}};
  }
  if (auto* box = dynamic_cast<TfMessage*>(r.Form)) {
    if (box->Kind != mkQuestion) note(box->MessageText);
    // Yes to the exit question, OK to everything else.
    (box->Kind == mkQuestion ? box->bButton2 : box->bButton1)->Click();
    return std::nullopt;
  }
  return gui::TDialogAnswer{gui::mrOk, {}};  // the language choice
}

// A file system whose locks lock nothing (a home shared by two machines
// whose locks are per client), and one without locks.
int LockNothing(int, int) { return 0; }
int NoLocks(int, int) {
  errno = ENOLCK;
  return -1;
}

// The file system the instance's folder stands on, as "<name>.calls" says.
void StandInForFileSystem(const fs::path& signals, const std::string& name) {
  const std::string calls = ReadText(signals / (name + ".calls"));
  if (calls == "lock nothing") rtl::SetFlockCall(LockNothing);
  if (calls == "no locks") rtl::SetFlockCall(NoLocks);
}

// Runs the program. Once its workspace shows it writes "<name>.ready"; when
// "<name>.close" appears it closes the workspace, having measured a run
// first when the file says "measure". Exit code 0 for a program that ended,
// 3 for one that had to be stopped.
int RunInstance(int& argc, char** argv, const fs::path& signals, const std::string& name) {
  StandInForFileSystem(signals, name);
  gui::TApplication application(argc, argv);
  const fs::path messages = signals / (name + ".messages");
  gui::SetAnswerHook([&](const gui::TDialogRequest& r) { return AnswerAsAUser(r, messages); });
  const auto limit = std::chrono::steady_clock::now() + ChildPatience;
  bool ready = false, closing = false, stopped = false;
  gui::TTimer timer(nullptr);
  timer.SetInterval(20);
  timer.OnTimer = [&](gui::TComponent*) {
    if (std::chrono::steady_clock::now() > limit) {
      stopped = true;
      application.Terminate();
      return;
    }
    if (!fBalancing || !fBalancing->Visible() || !TheCore || closing) return;
    if (!ready) {
      ready = true;
      std::ofstream(signals / (name + ".ready")) << "ready";
    }
    if (!fs::exists(signals / (name + ".close"))) return;
    closing = true;
    if (ReadText(signals / (name + ".close")) == "measure") {
      MeasurementResult& run = TheCore->Results[MeasuredRun];
      run.Meas = {MeasuredAmplitude, 0.5, 0, 0};
      run.Valid = 1;
      TheCore->HighestStep = TheCore->BalancingStep = MeasuredRun;
    }
    fBalancing->bCloseC->Click();
  };
  RunProgram(application);
  while (application.ComponentCount() > 0) delete application.Components(0);
  return stopped ? 3 : 0;
}

// ---- the test (the parent) ----

class TInstance {
 public:
  // `calls` names the file system the instance stands on ("lock nothing",
  // "no locks"); empty for the real one.
  TInstance(const fs::path& signals, std::string name, const std::string& calls = {})
      : Signals(signals), Name(std::move(name)) {
    if (!calls.empty()) std::ofstream(Signals / (Name + ".calls")) << calls;
    std::string self = fs::read_symlink("/proc/self/exe").string();
    std::string flag = "--instance", folder = Signals.string();
    char* argv[] = {self.data(), flag.data(), folder.data(), Name.data(), nullptr};
    if (posix_spawn(&Pid, self.c_str(), nullptr, nullptr, argv, environ) != 0) Pid = -1;
  }
  ~TInstance() {
    if (Pid > 0 && !Ended) {
      ::kill(Pid, SIGKILL);
      ::waitpid(Pid, nullptr, 0);
    }
  }

  // Waits until the workspace shows or the process ended; true for shown.
  bool WaitReady() {
    while (!Deadline()) {
      if (fs::exists(Signals / (Name + ".ready"))) return true;
      if (Poll()) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }
  // The child acts on the file as soon as it exists: it is written under a
  // temporary name and renamed, so it never reads it half written.
  void Close(bool measureFirst) {
    const fs::path signal = Signals / (Name + ".close"), part = Signals / (Name + ".close.part");
    std::ofstream(part) << (measureFirst ? "measure" : "close");
    fs::rename(part, signal);
  }
  // The exit status once ended; -1 when it did not end in time.
  int WaitEnd() {
    while (!Poll() && !Deadline()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return Ended ? Status : -1;
  }
  void Kill() {
    ::kill(Pid, SIGKILL);
    ::waitpid(Pid, nullptr, 0);
    Ended = true;
  }
  std::string Messages() const { return ReadText(Signals / (Name + ".messages")); }
  bool Started() const { return Pid > 0; }

 private:
  bool Poll() {
    if (Ended) return true;
    int status = 0;
    if (::waitpid(Pid, &status, WNOHANG) != Pid) return false;
    Ended = true;
    Status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return true;
  }
  bool Deadline() const { return std::chrono::steady_clock::now() > Limit; }

  fs::path Signals;
  std::string Name;
  pid_t Pid = -1;
  bool Ended = false;
  int Status = 0;
  std::chrono::steady_clock::time_point Limit = std::chrono::steady_clock::now() + ChildPatience;
};

class ProgramInstances : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_DATA_HOME", Data.Path().c_str(), 1);
    Signals = fs::path(Data.Path()) / "signals";
    fs::create_directories(Signals);
    // The language is chosen already, so the refusal can speak it.
    ASSERT_TRUE(LoadShlwapi());
    {
      TZelto core;
      core.Language = core.ProgramDir + u"Language/English.xml";
      ASSERT_TRUE(core.SaveConfig());
      Folder = core.AppDataDir;
    }
    FreeShlwapi();
  }

  // The amplitude of the measured run in the job on disk: the automatic
  // pair, or the one of the document at `path`.
  double StoredAmplitude(const std::u16string& path = {}) {
    EXPECT_TRUE(LoadShlwapi());
    double amplitude = -1;
    {
      TZelto core;
      if (core.LoadSession(path) == TZelto::sfrDone) amplitude = core.Results[MeasuredRun].Meas.AmplA;
    }
    FreeShlwapi();
    return amplitude;
  }

  shelltest::TTempFolder Data;
  fs::path Signals;
  std::u16string Folder;
};

}  // namespace

// The second start, while the first runs, is refused before it touches the
// log, the configuration or the session; the run the first measured is what
// the folder holds after both ended, though the second would have closed
// last (with the job it found at its start).
TEST_F(ProgramInstances, ASecondStartIsRefusedAndTheFirstsJobStays) {
  TInstance first(Signals, "first");
  ASSERT_TRUE(first.WaitReady()) << first.Messages();
  TInstance second(Signals, "second");
  ASSERT_TRUE(second.Started());
  EXPECT_FALSE(second.WaitReady()) << "a second instance ran on the same data folder";
  first.Close(true);
  EXPECT_EQ(first.WaitEnd(), 0);
  second.Close(false);
  EXPECT_EQ(second.WaitEnd(), 0);
  EXPECT_EQ(second.Messages(),
            "Another instance of the program is using the data folder.\n" + rtl::Utf16ToUtf8(Folder) + "\n--\n");
  EXPECT_EQ(first.Messages(), "");
  EXPECT_EQ(StoredAmplitude(), MeasuredAmplitude);
}

// The system drops the lock of a process that was killed.
TEST_F(ProgramInstances, AKilledInstanceDoesNotBlockTheNextStart) {
  TInstance crashed(Signals, "crashed");
  ASSERT_TRUE(crashed.WaitReady()) << crashed.Messages();
  crashed.Kill();
  TInstance next(Signals, "next");
  EXPECT_TRUE(next.WaitReady()) << next.Messages();
  next.Close(true);
  EXPECT_EQ(next.WaitEnd(), 0);
  EXPECT_EQ(next.Messages(), "");
  EXPECT_EQ(StoredAmplitude(), MeasuredAmplitude);
}

// Runs zelto-prepare-demo on the test's data folder; its exit status, and
// what it wrote to the error output in `errors`.
int PrepareDemo(const fs::path& signals, std::string& errors) {
  const fs::path output = signals / "prepare-demo.errors";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::string tool = PREPARE_DEMO_TOOL;
  char* argv[] = {tool.data(), nullptr};
  pid_t pid = -1;
  int status = -1;
  if (posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv, environ) == 0) ::waitpid(pid, &status, 0);
  posix_spawn_file_actions_destroy(&actions);
  errors = ReadText(output);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The demo preparation writes into the folder of a running program only
// when none runs, and a failure says which file failed and why: a folder in
// use writes nothing; a last session that can't be read, or a sensor that
// can't be written, names the file with the system's reason.
TEST_F(ProgramInstances, TheDemoPreparationRespectsARunningInstanceAndTellsWhyItFails) {
  const fs::path folder = rtl::NativePath(Folder);
  const fs::path session = folder / "!session.daqsession", sensors = folder / "Sensors";
  std::string errors;
  {
    TInstanceLock running;
    ASSERT_EQ(running.Acquire(Folder), TInstanceLock::TResult::Held);
    EXPECT_EQ(PrepareDemo(Signals, errors), 1);
    EXPECT_NE(errors.find("using the data folder " + folder.string()), std::string::npos) << errors;
    EXPECT_FALSE(fs::exists(session));
    EXPECT_FALSE(fs::exists(sensors));
  }
  fs::create_directory(session);
  EXPECT_EQ(PrepareDemo(Signals, errors), 1);
  EXPECT_NE(errors.find(session.string() + ": Is a directory"), std::string::npos) << errors;
  EXPECT_TRUE(fs::is_directory(session));
  fs::remove(session);
  std::ofstream(sensors) << "a file where the sensor folder should be";
  EXPECT_EQ(PrepareDemo(Signals, errors), 1);
  EXPECT_NE(errors.find((sensors / "Demo sensor A.xml").string() + ": Not a directory"), std::string::npos)
      << errors;
  EXPECT_FALSE(fs::exists(session));
}

// What a lock entry that can't carry the lock, or a file system whose locks
// don't keep a second instance out, does to two instances on one folder:
// B starts and idles, A starts, measures and closes, then B closes. A's run
// survives B's close, or a message came first. An entry that is no regular
// file is replaced, and A is refused; one that can't be replaced (a folder
// with files) is told at B's start with its name and why, and A, finding
// the day's log held, is refused. Where the locks lock nothing or are not
// there, both run: B's close keeps A's session aside, byte for byte, and
// says where. The demo preparation beside a running B is refused like A.
TEST_F(ProgramInstances, AnUnlockableFolderNeverLosesTheOtherInstancesJob) {
  const fs::path folder = rtl::NativePath(Folder);
  const fs::path lock = folder / "Kalvenor.lock";
  const std::string inUse =
      "Another instance of the program is using the data folder.\n" + rtl::Utf16ToUtf8(Folder) + "\n--\n";
  const std::string notLocked = "The data folder could not be locked against a second instance of the program.\n"
                                "A session another instance saves there is kept aside, not saved over:\n" +
                                lock.string();
  struct TCase {
    std::string Name;
    std::function<void()> Prepare;
    std::string Calls;
    bool BothRun;
    std::string StartMessage;  // B's, after the lock file's name
  };
  const fs::path target = fs::path(Data.Path()) / "elsewhere";
  const std::vector<TCase> cases = {
      {"empty folder", [&] { fs::create_directory(lock); }, "", false, ""},
      {"folder with a file",
       [&] {
         fs::create_directory(lock);
         std::ofstream(lock / "kept") << "kept";
       },
       "", false, ": Is a directory\n--\n"},
      {"pipe", [&] { ::mkfifo(lock.c_str(), 0600); }, "", false, ""},
      {"link", [&] { fs::create_symlink(target, lock); }, "", false, ""},
      {"locks that lock nothing", [] {}, "lock nothing", true, ""},
      {"no locks", [] {}, "no locks", true, ": No locks available\n--\n"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    // Each case starts from the configuration alone.
    for (const auto& entry : fs::directory_iterator(folder))
      if (entry.path().filename() != "Kalvenor.ini") fs::remove_all(entry.path());
    for (const auto& entry : fs::directory_iterator(Signals)) fs::remove(entry.path());
    c.Prepare();
    TInstance b(Signals, "b", c.Calls);
    ASSERT_TRUE(b.WaitReady()) << b.Messages();
    if (c.Calls.empty()) {
      // The demo preparation finds the running program by its lock or by
      // its log, as a second instance does, where the folder keeps locks.
      std::string errors;
      EXPECT_EQ(PrepareDemo(Signals, errors), 1);
      EXPECT_NE(errors.find("using the data folder"), std::string::npos) << errors;
    }
    TInstance a(Signals, "a", c.Calls);
    ASSERT_TRUE(a.Started());
    EXPECT_EQ(a.WaitReady(), c.BothRun) << a.Messages();
    a.Close(true);
    EXPECT_EQ(a.WaitEnd(), 0);
    b.Close(false);
    EXPECT_EQ(b.WaitEnd(), 0);
    EXPECT_FALSE(fs::exists(target));
    if (c.StartMessage.empty()) {
      EXPECT_EQ(b.Messages().find(notLocked), std::string::npos) << b.Messages();
    } else {
      EXPECT_EQ(b.Messages().substr(0, notLocked.size() + c.StartMessage.size()), notLocked + c.StartMessage);
    }
    if (!c.BothRun) {
      EXPECT_EQ(a.Messages(), inUse);
      EXPECT_TRUE(c.StartMessage.empty() == fs::is_regular_file(lock));
      continue;
    }
    // B closed last with the job it had: A's session is kept aside and named.
    const std::string kept = "Another program had changed these files since this program last loaded or saved them.";
    const std::string messages = b.Messages();
    const size_t heading = messages.find(kept);
    ASSERT_NE(heading, std::string::npos) << messages;
    fs::path keptDocument;
    for (const auto& entry : fs::directory_iterator(folder))
      if (entry.path().extension() == ".daqsession" && entry.path().filename() != "!session.daqsession")
        keptDocument = entry.path();
    ASSERT_FALSE(keptDocument.empty());
    EXPECT_NE(messages.find(keptDocument.string(), heading), std::string::npos) << messages;
    EXPECT_EQ(StoredAmplitude(rtl::Utf8ToUtf16(keptDocument.string())), MeasuredAmplitude);
    EXPECT_EQ(StoredAmplitude(), 0);
  }
}

int main(int argc, char** argv) {
  // ctest lists the tests without the environment it runs them with.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  if (argc == 4 && std::string(argv[1]) == "--instance") return RunInstance(argc, argv, argv[2], argv[3]);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
