// The program's end with a capture left running: the device stops
// answering in the middle of a balancing capture and the user closes the
// workspace, answering Yes to the exit question. The close gives the
// capture its stop's limit and leaves it; the shutdown, the destruction of
// the windows (the start-up window's last) and the process's end must then
// leave alone whatever that capture's thread still uses, for as long as it
// can run: the core, the driver library and the device library beneath it.
//
// Each program is a child process (the test binary run with "--exit-child"),
// running from this test's own program folder, with the scripted device of
// the tests (bound into the core once the workspace shows; its read-out
// blocks until the child lets it go) or with a simulated device whose next
// transfer hangs for the transfer time-out. Two children per device:
//   - the transfer returns after the start-up window is gone, while the
//     process still runs: the capture thread goes on up to its next
//     hand-over, which the program no longer serves;
//   - the process ends while the transfer still waits.
// Neither may end on a sanitizer's report or a signal. The process whose
// transfer still waits ends within one stop limit of the close, plus the
// program's own work after it (seconds, stretched by a sanitizer's
// slowdown): far less than the transfer's time-out, which the end would
// take if it waited for it. The other ends as soon as its capture's thread
// came back.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "answerhook.h"
#include "application.h"
#include "blockingtransfer.h"
#include "capturethreads.h"
#include "demosensors.h"
#include "dialogs.h"
#include "dynlib.h"
#include "formbalancing.h"
#include "formmessage.h"
#include "pathbinding.h"
#include "program.h"
#include "sanitizerslowdown.h"
#include "shelltestsupport.h"
#include "simd2xx.h"
#include "simfx2.h"
#include "synchronize.h"
#include "timer.h"
#include "zelto.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int Factor = testsupport::kSanitizerSlowdown;
constexpr milliseconds Limit{CaptureStopLimitMs};
// The program's own work after the limit: the shutdown's saves, the
// windows' destruction and the exit handlers, on a busy machine.
constexpr milliseconds Work = milliseconds(2000) * Factor;
// How long after the close a process whose transfer still waits may end.
constexpr milliseconds EndBound = Limit + Work;
// The time-out of a transfer that returns after the start-up window's
// destruction, counted from about the close; the process then ends once the
// capture's thread has come back from it.
constexpr milliseconds ReturnsAfterTheWindows = Limit + Work;
constexpr milliseconds ReturnedEndBound = ReturnsAfterTheWindows + Work;
// A transfer that is still waiting well after the process should have ended.
constexpr milliseconds OutlastsTheProcess = EndBound * 3;
// How long a child may take for everything before the close, and the
// parent for the whole child.
constexpr auto ChildPatience = std::chrono::seconds(60) * Factor;

enum class TDevice { Scripted, FtdiSimulator, Fx2Simulator };
enum class TCase { ReturnsAfterTheWindows, OutlastsTheProcess };

const char* DeviceName(TDevice device) {
  switch (device) {
    case TDevice::Scripted:
      return "scripted";
    case TDevice::FtdiSimulator:
      return "ftdi";
    case TDevice::Fx2Simulator:
      return "fx2";
  }
  return "";
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

int64_t Nanoseconds(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
}

// The moments a child passed, one "<name> <ns>" line each, for the parent
// to read once the child ended (the clock is the system's monotonic one,
// which both processes share).
void NotePhase(const fs::path& folder, const char* name) {
  std::ofstream(folder / "phases", std::ios::app) << name << ' ' << Nanoseconds(Clock::now()) << '\n';
}

// ---- one program (the child) ----

// The control functions of the simulated devices, from the very libraries
// the driver loads.
struct TSimulators {
  TSimulators() {
    D2xx = rtl::LoadModule("libftd2xx.so");
    if (const char* port = getenv("SARTEL_FX2_PORT")) Fx2 = rtl::LoadModule(port);
  }
  template <typename F>
  static F Get(void* module, const char* name) {
    return module ? reinterpret_cast<F>(rtl::FindSymbol(module, name)) : nullptr;
  }
  // Calls of the transfer that hangs; -1 when the simulator is missing.
  int HangingCalls(TDevice device) const {
    if (device == TDevice::FtdiSimulator) {
      auto count = Get<decltype(&SimD2xx_CallCount)>(D2xx, "SimD2xx_CallCount");
      return count ? count("FT_W32_ReadFile") : -1;
    }
    auto count = Get<decltype(&SimFx2_CallCount)>(Fx2, "SimFx2_CallCount");
    return count ? count("bulk-in") : -1;
  }
  // The next transfer of the kind hangs for its time-out.
  bool HangNext(TDevice device) const {
    if (device == TDevice::FtdiSimulator) {
      auto inject = Get<decltype(&SimD2xx_InjectFault)>(D2xx, "SimD2xx_InjectFault");
      if (inject) inject("FT_W32_ReadFile", SIMD2XX_FAULT_HANG, 0, 1);
      return inject != nullptr;
    }
    auto inject = Get<decltype(&SimFx2_InjectFault)>(Fx2, "SimFx2_InjectFault");
    if (inject) inject("bulk-in", SIMFX2_FAULT_HANG, 0, 1);
    return inject != nullptr;
  }
  // The FX2 device is the only one listed.
  bool ListNoFtdiDevice() const {
    auto set = Get<decltype(&SimD2xx_SetDevices)>(D2xx, "SimD2xx_SetDevices");
    if (set) set(0);
    return set != nullptr;
  }
  void* D2xx = nullptr;
  void* Fx2 = nullptr;
};

std::optional<gui::TDialogAnswer> AnswerAsAUser(const gui::TDialogRequest& r) {
  if (r.Kind == gui::dkMessageBox)
    return gui::TDialogAnswer{(r.Flags & gui::MB_YESNO) ? gui::IDYES : gui::IDOK, {}};
  if (auto* box = dynamic_cast<TfMessage*>(r.Form)) {
    // Yes to the exit question, OK to everything else.
    (box->Kind == mkQuestion ? box->bButton2 : box->bButton1)->Click();
    return std::nullopt;
  }
  return gui::TDialogAnswer{gui::mrOk, {}};
}

// The language chosen and the demo sensor pair in the data folder.
bool PrepareDataFolder() {
  if (!LoadShlwapi()) return false;
  bool prepared = false;
  {
    TZelto core;
    core.Type = 1;
    core.Language = core.ProgramDir + u"Language/English.xml";
    prepared = PrepareDemoSensors(core) && core.SaveConfig();
  }
  FreeShlwapi();
  return prepared;
}

// The scripted device whose read-out blocks, kept to the process's end: its
// destruction would let the transfer go.
void BindScriptedDevice(TZelto& core) {
  static testsupport::TBlockingTransfer* const device = new testsupport::TBlockingTransfer(core);
  (void)device;
}

// Exit codes of a child.
constexpr int ChildDone = 0;
constexpr int ChildNotPrepared = 2;
constexpr int ChildNotClosed = 3;
constexpr int ChildNoHandOver = 4;

// Starts the program; once the workspace shows, starts a balancing capture
// into a transfer that does not end, and closes the workspace while the
// capture's thread is inside it. The close's time goes into "closed".
int RunChild(int& argc, char** argv, TDevice device, TCase which, const fs::path& folder) {
  if (!PrepareDataFolder()) return ChildNotPrepared;
  gui::TApplication application(argc, argv);
  gui::SetAnswerHook(AnswerAsAUser);
  const TSimulators sims;
  if (device == TDevice::Fx2Simulator && !sims.ListNoFtdiDevice()) return ChildNotPrepared;
  const auto limit = Clock::now() + ChildPatience;
  int state = 0, callsBefore = 0;
  std::optional<Clock::time_point> closed;
  gui::TTimer timer(nullptr);
  timer.SetInterval(20);
  timer.OnTimer = [&](gui::TComponent*) {
    if (Clock::now() > limit) {
      timer.SetEnabled(false);
      application.Terminate();
      return;
    }
    if (!fBalancing || !fBalancing->Visible() || !TheCore) return;
    if (state == 0) {
      if (device == TDevice::Scripted) BindScriptedDevice(*TheCore);
      if (device != TDevice::Scripted) {
        callsBefore = sims.HangingCalls(device);
        if (callsBefore < 0 || !sims.HangNext(device)) return;
      }
      fBalancing->bStartStop->Click();
      state = 1;
      return;
    }
    const bool inTransfer = device == TDevice::Scripted ? testsupport::TBlockingTransfer::InTransfer.load()
                                                        : sims.HangingCalls(device) > callsBefore;
    if (state != 1 || !inTransfer) return;
    state = 2;
    timer.SetEnabled(false);
    NotePhase(folder, "closed");
    closed = Clock::now();
    // The window's own close (its close button waits while a capture runs).
    fBalancing->Close();
  };
  RunProgram(application);
  NotePhase(folder, "shut-down");
  while (application.ComponentCount() > 0) delete application.Components(0);
  NotePhase(folder, "windows-gone");
  if (!closed) return ChildNotClosed;
  if (which == TCase::OutlastsTheProcess) return ChildDone;
  // The start-up window is gone: let the transfer return, and wait until
  // the capture thread reaches its next hand-over (which nothing serves any
  // more) or, for a simulated device, until its time-out is well past.
  static std::atomic<bool> handedOver{false};
  rtl::SetSynchronizeWakeHook([] { handedOver = true; });
  testsupport::TBlockingTransfer::Released = true;
  const auto waitEnd = *closed + ReturnsAfterTheWindows + Work / 2;
  while (!handedOver && Clock::now() < waitEnd) std::this_thread::sleep_for(milliseconds(5));
  if (handedOver) NotePhase(folder, "handed-over");
  return handedOver || device != TDevice::Scripted ? ChildDone : ChildNoHandOver;
}

// ---- the test (the parent) ----

class TChild {
 public:
  TChild(TDevice device, TCase which, const fs::path& folder) : Folder(folder) {
    fs::create_directories(folder / "data");
    const milliseconds timeout = which == TCase::ReturnsAfterTheWindows ? ReturnsAfterTheWindows : OutlastsTheProcess;
    std::vector<std::string> env = {"XDG_DATA_HOME=" + (folder / "data").string(),
                                    "SARTEL_LOCK_DIR=" + folder.string(),
                                    "SARTEL_TIMEOUT_MS=" + std::to_string(timeout.count()),
                                    "QT_QPA_PLATFORM=offscreen"};
    if (device != TDevice::Scripted) {
      const char* path = getenv("LD_LIBRARY_PATH");
      env.push_back("LD_LIBRARY_PATH=" + std::string(SIM_D2XX_DIR) + (path ? std::string(":") + path : ""));
    }
    if (device == TDevice::Fx2Simulator) env.push_back("SARTEL_FX2_PORT=" SIM_FX2_LIBRARY);
    for (char** e = environ; *e; ++e) {
      const std::string entry = *e;
      const std::string name = entry.substr(0, entry.find('='));
      if (std::none_of(env.begin(), env.end(), [&](const std::string& s) { return s.rfind(name + "=", 0) == 0; }))
        env.push_back(entry);
    }
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string self = fs::read_symlink("/proc/self/exe").string();
    std::string flag = "--exit-child", deviceName = DeviceName(device), caseName = std::to_string(static_cast<int>(which)),
                folderName = folder.string();
    char* argv[] = {self.data(), flag.data(), deviceName.data(), caseName.data(), folderName.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, (folder / "errors").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (posix_spawn(&Pid, self.c_str(), &actions, nullptr, argv, envp.data()) != 0) Pid = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~TChild() {
    if (Pid > 0 && !Ended) {
      ::kill(Pid, SIGKILL);
      ::waitpid(Pid, nullptr, 0);
    }
  }

  // Looks once whether the child ended, and when.
  bool Poll() {
    if (Ended || Pid <= 0) return true;
    int status = 0;
    if (::waitpid(Pid, &status, WNOHANG) != Pid) return false;
    EndedAt = Clock::now();
    Ended = true;
    Status = status;
    return true;
  }

  bool Started() const { return Pid > 0; }
  bool Ended = false;
  int Status = 0;
  Clock::time_point EndedAt{};
  fs::path Folder;

  std::optional<Clock::time_point> Phase(const std::string& name) const {
    std::istringstream lines(ReadText(Folder / "phases"));
    std::string phase;
    int64_t ns = 0;
    while (lines >> phase >> ns)
      if (phase == name) return Clock::time_point(std::chrono::nanoseconds(ns));
    return std::nullopt;
  }
  // Each moment the child passed, in ms from the close, and its end.
  std::string Phases() const {
    const std::optional<Clock::time_point> closed = Phase("closed");
    if (!closed) return "never closed";
    std::string text;
    for (const char* name : {"shut-down", "windows-gone", "handed-over"})
      if (const auto at = Phase(name))
        text += std::string(name) + " " + std::to_string(std::chrono::duration_cast<milliseconds>(*at - *closed).count()) + " ms, ";
    return text + "ended " + std::to_string(std::chrono::duration_cast<milliseconds>(EndedAt - *closed).count()) + " ms after the close";
  }
  std::string Errors() const { return ReadText(Folder / "errors"); }

 private:
  pid_t Pid = -1;
};

class ProgramExit : public ::testing::TestWithParam<TDevice> {
 protected:
  void SetUp() override {
    // The FTDI model uploads its configuration image from the program
    // folder's Lib/; the simulated device takes any image.
    const fs::path program = fs::read_symlink("/proc/self/exe").parent_path();
    fs::create_directories(program / "Lib");
    std::ofstream(program / "Lib" / "Harvik.lib", std::ios::binary) << std::string(4096, 'Z');
  }
  shelltest::TTempFolder Scratch;
};

void ExpectCleanEndWithinTheBound(TChild& child, milliseconds bound, const char* what) {
  SCOPED_TRACE(what);
  ASSERT_TRUE(child.Ended) << "the process did not end";
  EXPECT_FALSE(WIFSIGNALED(child.Status)) << "signal " << WTERMSIG(child.Status) << "\n" << child.Errors();
  ASSERT_TRUE(WIFEXITED(child.Status));
  EXPECT_EQ(WEXITSTATUS(child.Status), ChildDone) << child.Errors();
  EXPECT_EQ(child.Errors().find("Sanitizer"), std::string::npos) << child.Errors();
  const std::optional<Clock::time_point> closed = child.Phase("closed");
  ASSERT_TRUE(closed) << "the workspace was never closed";
  EXPECT_LT(child.EndedAt - *closed, bound) << child.Phases();
}

}  // namespace

TEST_P(ProgramExit, ACaptureLeftAtTheExitIsNeverFreedUnderItsThreadAndTheProcessEndsWithinTheLimit) {
  const fs::path folder = Scratch.Path();
  TChild returns(GetParam(), TCase::ReturnsAfterTheWindows, folder / "returns");
  TChild outlasts(GetParam(), TCase::OutlastsTheProcess, folder / "outlasts");
  ASSERT_TRUE(returns.Started());
  ASSERT_TRUE(outlasts.Started());
  const auto limit = Clock::now() + ChildPatience + OutlastsTheProcess;
  for (bool ended = false; !ended && Clock::now() < limit; std::this_thread::sleep_for(milliseconds(5))) {
    // Both looked at every time, so each end is seen when it comes.
    const bool returned = returns.Poll(), outlasted = outlasts.Poll();
    ended = returned && outlasted;
  }
  ExpectCleanEndWithinTheBound(returns, ReturnedEndBound, "the transfer returns after the start-up window is gone");
  ExpectCleanEndWithinTheBound(outlasts, EndBound, "the process ends while the transfer waits");
}

INSTANTIATE_TEST_SUITE_P(Devices, ProgramExit,
                         ::testing::Values(TDevice::Scripted, TDevice::FtdiSimulator, TDevice::Fx2Simulator),
                         [](const ::testing::TestParamInfo<TDevice>& info) {
                           switch (info.param) {
                             case TDevice::Scripted:
                               return std::string("ScriptedDevice");
                             case TDevice::FtdiSimulator:
                               return std::string("FtdiSimulator");
                             case TDevice::Fx2Simulator:
                               return std::string("Fx2Simulator");
                           }
                           return std::string();
                         });

int main(int argc, char** argv) {
  // ctest lists the tests without the environment it runs them with.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  if (argc == 5 && std::string(argv[1]) == "--exit-child") {
    const std::string device = argv[2];
    const TDevice which = device == "ftdi"  ? TDevice::FtdiSimulator
                          : device == "fx2" ? TDevice::Fx2Simulator
                                            : TDevice::Scripted;
    return RunChild(argc, argv, which, static_cast<TCase>(std::stoi(argv[3])), argv[4]);
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
