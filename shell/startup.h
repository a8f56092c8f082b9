#pragma once
// The program's start-up and shutdown as plain steps over the core object
// and the bound driver library. The start-up window TfInit shows them: what
// a step shows, asks or hands to another window goes through TStartupHost,
// so the whole sequence runs headless against a fake driver library.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "filereason.h"
#include "instancelock.h"
#include "languageservice.h"
#include "pathfunctions.h"

class TZelto;

// The texts the hardware steps show, from section "Init" (and the demo
// question from "Forms").
struct TStartupTexts {
  std::u16string Init1OK, Init1Fail, Init2OK, Init2Fail, Init3OK, Init3Fail, Init4OK, Init5OK;
  std::u16string EnterDemo;
};

// Fixed start-up texts; not translated, because they can appear before any
// language file is open.
extern const std::u16string ShlwapiFailedText;
extern const std::u16string DriverFailedText;
extern const std::u16string SignatureFailedText;
extern const std::u16string SessionNotRestoredText;
extern const std::u16string DemoDescription;
// A start refused because another instance uses the data folder: the text
// of the key in the language file the configuration names, or when that
// can't be read the fixed English text; the folder follows on a line of its
// own.
inline constexpr std::array<TTextKey, 1> StartupLangKeys = {{{u"Init", u"DataFolderInUse"}}};
// A data folder that could not be locked, told once at start with the lock
// file and why.
inline constexpr std::array<TTextKey, 1> StartupLockLangKeys = {{{u"Init", u"DataFolderNotLocked"}}};
extern const std::u16string DataFolderInUseText;

// Log entry kinds the start-up and the shutdown write.
constexpr uint8_t LogApplicationOpen = 0;
constexpr uint8_t LogApplicationClose = 1;
constexpr uint8_t LogCaptureLeft = 9;

class TStartupHost {
 public:
  virtual ~TStartupHost() = default;
  // The step labels 1 to 5 and their results.
  virtual void EnableStep(int step) = 0;
  virtual void ShowStepResult(int step, const std::u16string& text) = 0;
  // Lets the window show the progress; must not run the start-up again.
  virtual void ProcessMessages() = 0;
  virtual void Pause(uint32_t ms) = 0;
  // The demo question; true for Yes.
  virtual bool AskEnterDemo(const std::u16string& question) = 0;
  // A system error box titled "Error".
  virtual void ShowError(const std::u16string& text) = 0;
  // A system warning box titled "Warning": what the shutdown's save found
  // on the way though it went on.
  virtual void ShowWarning(const std::u16string& text) = 0;
  // The program's own error box (after start-up).
  virtual void ShowMessageError(const std::u16string& text) = 0;
  // The program's own information box: a last session restored with less
  // than was stored, or what lies aside of it (after start-up).
  virtual void ShowMessageInformation(const std::u16string& text) = 0;
  // The program's own warning that asks nothing: what the restored job
  // assumed (after start-up).
  virtual void ShowMessageWarning(const std::u16string& text) = 0;
  virtual void ShowDebugWindow() = 0;
  virtual void WriteLog(uint8_t kind) = 0;
  // A line of the given text in the day's log.
  virtual void WriteLogNote(const std::u16string& text) = 0;
  // The restored session is current at `step`; the workspace recomputes its
  // panel and shows itself.
  virtual void ShowWorkspace(int32_t step) = 0;
  // Frees the language document (shutdown step 1).
  virtual void CloseLanguage() = 0;
};

// The option "-debug" in any mix of cases among the parameters (1 ..).
bool HasDebugOption(const std::vector<std::string>& parameters);

class TStartup {
 public:
  explicit TStartup(TStartupHost& host);
  TStartup(const TStartup&) = delete;
  TStartup& operator=(const TStartup&) = delete;

  // Binds the path functions, creates the core object (TheCore), takes the
  // data folder for this instance and reads the configuration; one that
  // can't be read is moved aside, and InitHardware tells the user so. False,
  // with the error shown and nothing created, when the path functions could
  // not be bound or another instance uses the data folder; nothing of the
  // folder (configuration, log, session) is touched then.
  bool CreateCore(std::span<const rtl::TPathFunctionExport> exports = rtl::PathFunctionExports());

  // Steps 1 to 4 of the hardware start-up, after telling of a configuration
  // that could not be read. False ends the program: the
  // error was shown, or the user declined the demo mode.
  bool InitHardware(const TStartupTexts& texts);

  // Step 5 after InitHardware succeeded: the debug window when asked for,
  // the log entry, the last session and the workspace at the restored step.
  // A session that did not load whole is moved aside and the user told
  // where; an unreadable one leaves an empty job.
  void FinishStart(const TStartupTexts& texts, const std::vector<std::string>& parameters);

  // Ends a start that did not finish, and is what the start-up window's
  // destruction runs: releases the driver when it was initialised, unloads
  // it, frees the core object and the path functions. Nothing is saved or
  // logged. While a capture thread left running by the shutdown still
  // exists, all of them are kept, to the program's end.
  void Abandon();

  // The shutdown after a finished start, in its fixed order. A capture that
  // still runs is stopped first and its end hand-over served, so nothing
  // runs against the core object once it is freed. One that does not end
  // within the stop's limit is logged and left running: the driver and the
  // core object are then kept to the program's end.
  // The job is saved through the routine every save of the job goes
  // through, before the close is logged, so the log tells the save's
  // outcome in its place; being the last chance, its failure is always
  // shown.
  void Shutdown();

  bool Started() const { return FStarted; }

 private:
  bool LoadDriver();
  int32_t ListDevices(int32_t& index);
  bool ChooseDevice(int32_t count, int32_t index, const TStartupTexts& texts);
  bool InitDevice(const TStartupTexts& texts);
  void CheckIdentity(const TStartupTexts& texts);
  void BlinkStatusLamp(bool pauseAfter);
  void Fail();
  bool LockDataFolder();
  // Releases the driver and frees the core unless a capture thread still
  // uses them.
  void ReleaseCore();
  void FreeCore();
  void RestoreAutomaticSession();
  void KeepConfigAside();
  void TellConfigNotRead();
  void TellLockFailure();

  TStartupHost& Host;
  TZelto* Core = nullptr;
  bool FFailed = false;
  bool FDriverInitialised = false;
  bool FStarted = false;
  // Held from the core's creation to its release.
  TInstanceLock FInstanceLock;
  // The lock file of a data folder that could not be locked, and why (told
  // once the language and the log are open); empty when it was locked.
  TFileReason FLockFailure;
  // The configuration could not be read: why, and the name it was kept
  // under (empty when it stayed where it was, and why), until the user is
  // told.
  bool FConfigNotRead = false;
  TFileReason FConfigFailure;
  std::u16string FConfigKeptAs;
  TFileReason FConfigAsideFailure;
};
