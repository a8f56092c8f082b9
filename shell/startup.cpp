#include "startup.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>

#include "capturethreads.h"
#include "filefailure.h"
#include "folders.h"
#include "jobguard.h"
#include "pathbinding.h"
#include "systemerror.h"
#include "wallclock.h"
#include "zelto.h"

const std::u16string ShlwapiFailedText = u"Could not load 'shlwapi.dll'.";
const std::u16string DriverFailedText = u"Could not load '" SARTEL_LIBRARY_NAME "'.";
const std::u16string SignatureFailedText = u"Hardware initialization error.\nIncorrect device signature.";
const std::u16string SessionNotRestoredText = u"Last session not restored. File error.";
const std::u16string DemoDescription = u"Kalvenor - DEMO";
const std::u16string DataFolderInUseText = u"Another instance of the program is using the data folder.";

namespace {

// The driver may list this many devices; it writes one index per device.
constexpr size_t MaxListedDevices = 256;
constexpr uint32_t LampBlinkMs = 200;

// The low byte of the first unit says whether the device has an identity.
bool HasIdentity(const std::array<char16_t, SARTEL_IDENTITY_LENGTH>& identity) {
  const unsigned low = identity[0] & 0xFF;
  return low != 0 && low != 0xFF;
}

std::u16string IdentityText(const std::array<char16_t, SARTEL_IDENTITY_LENGTH>& identity) {
  // The buffer is one unit longer than any identity the library writes, so
  // the last unit stays zero; the search is bounded all the same.
  const auto end = std::find(identity.begin(), identity.end(), u'\0');
  return std::u16string(identity.begin(), end);
}

// The refusal comes before the language file is open: the text is looked up
// in the file the configuration names, which is only read.
std::u16string FolderInUseText(const TZelto& core) {
  TLanguageService language;
  language.Open(core.ConfiguredLanguage());
  const TLangText text = language.GetLangText(StartupLangKeys[0]);
  return (text ? text.Text : DataFolderInUseText) + u"\n" + core.AppDataDir;
}

}  // namespace

bool HasDebugOption(const std::vector<std::string>& parameters) {
  return std::any_of(parameters.begin(), parameters.end(), [](std::string p) {
    std::transform(p.begin(), p.end(), p.begin(), [](unsigned char c) { return std::tolower(c); });
    return p == "-debug";
  });
}

TStartup::TStartup(TStartupHost& host) : Host(host) {}

bool TStartup::CreateCore(std::span<const rtl::TPathFunctionExport> exports) {
  FFailed = false;
  if (!LoadShlwapi(exports)) {
    Host.ShowError(ShlwapiFailedText);
    return false;
  }
  Core = new TZelto;
  TheCore = Core;
  if (!LockDataFolder()) {
    FreeCore();
    return false;
  }
  if (!Core->LoadConfig()) KeepConfigAside();
  return true;
}

// A second instance on the folder is refused (TInstanceLock knows one that
// runs without the lock too). A folder whose lock can't be taken (a lock
// file no one may open, a folder no one may write in, a file system without
// locks) is used without it, and the user is told once the language and the
// log are there; the saves of the job then keep a session another instance
// saved aside rather than save over it.
bool TStartup::LockDataFolder() {
  FLockFailure = {};
  const TInstanceLock::TResult result = FInstanceLock.Acquire(Core->AppDataDir);
  if (result == TInstanceLock::TResult::InUse) {
    Host.ShowError(FolderInUseText(*Core));
    return false;
  }
  if (result == TInstanceLock::TResult::Unavailable) {
    FLockFailure = {FInstanceLock.LockPath(), FInstanceLock.ErrorNumber()};
    // Saves in this folder say nothing more of the missing locks.
    if (FLockFailure.Error == ENOLCK) Core->PairLedger.FirstWithoutLocks(Core->AppDataDir);
  }
  return true;
}

void TStartup::TellLockFailure() {
  if (FLockFailure.File.empty() && FLockFailure.Error == 0) return;
  const std::u16string text = WithFileFailure(LangText(StartupLockLangKeys[0]).Text, FLockFailure);
  FLockFailure = {};
  Host.WriteLogNote(text);
  Host.ShowMessageError(text);
}

// A configuration that can't be read would stay so at every start, and every
// choice made since would never be saved over it: it is moved aside under a
// name that says so, and the defaults and the user's new choices are saved
// from then on. The user is told once the language and the log are there.
void TStartup::KeepConfigAside() {
  FConfigNotRead = true;
  FConfigFailure = Core->FileFailure;
  const std::u16string path = Core->ConfigFileName();
  const std::u16string aside = KeptAsideName(path, u"not read", LocalWallTime());
  const bool kept = rtl::RenameFile(path, aside);
  FConfigAsideFailure = {path, kept ? 0 : errno};
  FConfigKeptAs = kept ? aside : std::u16string();
}

void TStartup::TellConfigNotRead() {
  if (!FConfigNotRead) return;
  FConfigNotRead = false;
  const std::u16string text = ConfigNotReadText(FConfigFailure, FConfigKeptAs, FConfigAsideFailure);
  Host.WriteLogNote(text);
  Host.ShowMessageError(text);
}

void TStartup::Fail() {
  Core->DeviceReady = 0;
  FFailed = true;
}

bool TStartup::LoadDriver() {
  Host.EnableStep(1);
  Host.ProcessMessages();
  if (!Core->LoadDriver()) {
    SetText(Core->LastErrorText, DriverFailedText);
    Fail();
    return false;
  }
  Core->DriverApi.InitDriver();
  FDriverInitialised = true;
  Core->DriverApi.SetPath(Core->ProgramDir.c_str());
  const int32_t code = Core->ReadDriverError();
  if (code != 0) Core->DeviceReady = 0;
  // Code 1 is the soft error of a missing transport: demo mode is offered.
  if (code != 0 && code != 1) {
    FFailed = true;
    return false;
  }
  return true;
}

// The number of devices listed, with the index of the first in `index`; -1
// when listing failed.
int32_t TStartup::ListDevices(int32_t& index) {
  if (!Core->DeviceReady) return 0;
  std::array<int32_t, MaxListedDevices> indices;
  indices.fill(-1);
  const int32_t count = Core->DriverApi.ListDevices(indices.data(), nullptr);
  if (Core->ReadDriverError() != 0) {
    Fail();
    return -1;
  }
  index = indices[0];
  return count;
}

// Opens the one listed device, or asks for the demo mode. False ends the
// start-up (an error to report, or No to the question).
bool TStartup::ChooseDevice(int32_t count, int32_t index, const TStartupTexts& texts) {
  const TDriverApi& api = Core->DriverApi;
  if (count == 1) {
    Core->DeviceDescr.fill(0);
    api.GetDeviceDescr(index, Core->DeviceDescr.data());
    if (Core->ReadDriverError() != 0) {
      Fail();
      return false;
    }
    Host.ShowStepResult(1, texts.Init1OK + u": " + TextOf(Core->DeviceDescr));
    Host.ProcessMessages();
    api.OpenDevice(index);
    // A failed open is reported by the final check, after the device step
    // has run in demo form.
    Core->DeviceReady = Core->ReadDriverError() == 0;
    if (!Core->DeviceReady) FFailed = true;
    return true;
  }
  if (!Host.AskEnterDemo(texts.EnterDemo)) return false;
  Host.ShowStepResult(1, texts.Init1Fail);
  Host.ProcessMessages();
  Core->DeviceReady = 0;
  SetText(Core->DeviceDescr, DemoDescription);
  return true;
}

bool TStartup::InitDevice(const TStartupTexts& texts) {
  Core->DriverApi.InitDevice();
  Host.EnableStep(2);
  Host.ProcessMessages();
  if (!Core->DriverApi.ConfigDevice(0, Core->DeviceReady == 0)) {
    Core->ReadDriverError();
    Fail();
    return false;
  }
  Host.ShowStepResult(2, Core->DeviceReady ? texts.Init2OK : texts.Init2Fail);
  Host.ProcessMessages();
  return true;
}

void TStartup::BlinkStatusLamp(bool pauseAfter) {
  Core->DriverApi.StatusLED(false);
  Host.Pause(LampBlinkMs);
  Core->DriverApi.StatusLED(true);
  if (pauseAfter) Host.Pause(LampBlinkMs);
}

void TStartup::CheckIdentity(const TStartupTexts& texts) {
  const TDriverApi& api = Core->DriverApi;
  BlinkStatusLamp(true);
  Host.EnableStep(3);
  Host.ProcessMessages();
  std::array<char16_t, SARTEL_IDENTITY_LENGTH> identity{};
  api.GetDeviceID(identity.data());
  if (!HasIdentity(identity)) {
    Host.ShowStepResult(3, texts.Init3Fail);
  } else {
    Core->DeviceSN.fill(0);
    Core->DeviceVer.fill(0);
    api.GetDeviceSN(Core->DeviceSN.data());
    api.GetDeviceVer(Core->DeviceVer.data());
    Host.ShowStepResult(3, texts.Init3OK + u" " + IdentityText(identity) + u", #" + TextOf(Core->DeviceSN));
  }
  Host.ProcessMessages();
  BlinkStatusLamp(false);
  // The device must be the one that was listed; one without an identity
  // never is.
  if (IdentityText(identity) != TextOf(Core->DeviceDescr)) {
    SetText(Core->LastErrorText, SignatureFailedText);
    Fail();
    return;
  }
  if (Core->ReadDriverError() != 0) Fail();
}

bool TStartup::InitHardware(const TStartupTexts& texts) {
  TellConfigNotRead();
  if (Core->DeviceReady) {
    int32_t index = -1;
    if (LoadDriver()) {
      const int32_t count = ListDevices(index);
      if (count >= 0) {
        if (!ChooseDevice(count, index, texts)) {
          // No to the demo question ends quietly; an error is reported below.
          if (!FFailed) return false;
        } else if (InitDevice(texts) && Core->DeviceReady) {
          CheckIdentity(texts);
        }
      }
    }
  }
  if (FFailed) {
    Host.ShowError(TextOf(Core->LastErrorText));
    return false;
  }
  Host.EnableStep(4);
  // A capture never asks for more samples than the device holds, nor for
  // fewer than a model that captures its whole memory gives.
  Core->ReadDeviceMemory();
  Host.ShowStepResult(4, texts.Init4OK);
  Host.ProcessMessages();
  return true;
}

void TStartup::FreeCore() {
  delete Core;
  Core = nullptr;
  TheCore = nullptr;
  FInstanceLock.Release();
  FreeShlwapi();
}

// Every end of the program's core passes here: the shutdown, a start that
// did not finish, and the start-up window's destruction. A capture thread
// left running (its device stopped answering) still reads the core and sits
// in the driver library: nothing of them is freed then, at this call or
// after it, and the process ends without touching them.
void TStartup::ReleaseCore() {
  if (!Core || CaptureThreadRuns()) return;
  if (FDriverInitialised) Core->ReleaseDriver();
  Core->UnloadDriver();
  FDriverInitialised = false;
  FreeCore();
}

void TStartup::Abandon() { ReleaseCore(); }

void TStartup::FinishStart(const TStartupTexts& texts, const std::vector<std::string>& parameters) {
  Host.EnableStep(5);
  Host.ShowStepResult(5, texts.Init5OK);
  Host.ProcessMessages();
  if (HasDebugOption(parameters)) Host.ShowDebugWindow();
  Host.WriteLog(LogApplicationOpen);
  TellLockFailure();
  FStarted = true;
  RestoreAutomaticSession();
  const auto show = [this](const std::u16string& text) { Host.ShowMessageError(text); };
  const auto log = [this](const std::u16string& text) { Host.WriteLogNote(text); };
  TellSensorFailures(*Core, show, log);
  TellConditionNotes(*Core, [this](const std::u16string& text) { Host.ShowMessageWarning(text); }, log);
  Host.ShowWorkspace(Core->BalancingStep);
}

// A pair that did not load whole (unreadable, without its samples, or
// shortened to the device memory) would be replaced by less at the next
// save: it is moved aside first, and the message and the log say where. A
// failed load leaves an empty job; a partial one keeps what was read. A
// pair an earlier start stopped moving half-way is put together first; raw
// files kept aside without their document, and pending raw files a save
// never finished beside them, are named, however the load went. Without
// an automatic document the last saved job may lie in a pair kept aside
// earlier (a save or a keep-aside stopped half-way): those are named too.
void TStartup::RestoreAutomaticSession() {
  const std::u16string aside = PairAsideText(SettleAutomaticPair(*Core));
  const int32_t result = Core->LoadSession();
  std::vector<std::u16string> lines;
  // What failed is an error: a pair that could not be read, or one that
  // could not be moved aside, so that the job can't be saved over it. A
  // partial load kept aside, and what lies aside, tell of a job that was
  // restored, as the workspace's Restore tells them.
  bool failed = false;
  if (result != TZelto::sfrDone) {
    const bool loaded = TZelto::SessionLoaded(result);
    if (!loaded) Core->ClearMeasurements();
    const TKeptAside kept = KeepAutomaticPairAside(*Core, LocalWallTime());
    failed = !loaded || !kept.Moved;
    // An unreadable pair is told with the system's reason, in the log too.
    lines = {loaded ? PartialLoadText(result) : WithFileFailure(SessionNotRestoredText, Core->FileFailure),
             KeptAsideText(kept)};
  }
  if (!aside.empty()) lines.push_back(aside);
  if (lines.empty()) return;
  std::u16string text = lines.front();
  for (auto line = lines.begin() + 1; line != lines.end(); ++line) text += u"\n" + *line;
  Host.WriteLogNote(text);
  if (failed)
    Host.ShowMessageError(text);
  else
    Host.ShowMessageInformation(text);
}

// A capture thread left running (its device stopped answering) still uses
// the core and the driver library: both are then kept to the program's end
// (ReleaseCore).
void TStartup::Shutdown() {
  if (!Core) return;
  TCaptureStopWait wait;
  wait.ReportLeft = [this] { Host.WriteLog(LogCaptureLeft); };
  const bool stopped = StopCaptureAndWait(wait);
  // The language closes first: every text a failure below could tell, its
  // reasons included, is taken now, and the system's error box, which needs
  // no language, shows them. No later save could tell a failure, so every
  // one is shown.
  TJobSaveReport report{[this](const std::u16string& text) { Host.ShowError(text); },
                        [this](const std::u16string& text) { Host.WriteLogNote(text); },
                        [this](const std::u16string& text) { Host.ShowWarning(text); }};
  report.ShowEveryFailure = true;
  // Save As can't be taken any more: the failure says where the job is, or
  // that the user chose to leave it unsaved.
  report.ErrorText = report.KeptTexts.NotMoved = ShutdownNotSavedText(*Core);
  const std::u16string configNotSaved = ConfigNotSavedText();
  Host.CloseLanguage();
  // A capture left running may still write its run's samples: the job stays
  // as its last save (every hand-over, Next and set-up saves it) rather than
  // being saved half-written. The close is logged after the save, whose
  // outcome belongs to the run it ends.
  if (!stopped)
    Host.WriteLogNote(u"Session kept as last saved: a capture still writes into it");
  else
    SaveJob(*Core, report);
  if (!Core->SaveConfig()) {
    const std::u16string text = WithFileFailure(configNotSaved, Core->FileFailure, report.FailureTexts);
    Host.WriteLogNote(text);
    Host.ShowError(text);
  }
  Host.WriteLog(LogApplicationClose);
  FStarted = false;
  ReleaseCore();
}
