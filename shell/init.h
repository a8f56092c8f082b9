#pragma once
// TfInit: the start-up window and the application's main form. It shows the
// five start-up steps while the hardware starts, stays hidden for the rest
// of the run, and its close is the program's shutdown. It owns the language
// service every window looks its texts up in. The steps themselves are
// TStartup's; this window shows them.

#include <array>
#include <cstdint>
#include <span>

#include "form.h"
#include "languageservice.h"
#include "pathfunctions.h"
#include "startup.h"

class TLabelEx;
class TfDebug;
class TfLog;

// What the start-up hands to the balancing workspace, which lives in a
// folder above the shell.
class TStartupWorkspace {
 public:
  virtual ~TStartupWorkspace() = default;
  // The last session is current at `step`: the workspace recomputes its
  // panel and shows itself.
  virtual void ShowAfterStart(int32_t step) = 0;
};

class TfInit : public gui::TForm, private TStartupHost {
 public:
  static constexpr std::array<TTextKey, 14> LangKeys = {{
      {u"Init", u"Init1"},
      {u"Init", u"Init2"},
      {u"Init", u"Init3"},
      {u"Init", u"Init4"},
      {u"Init", u"Init5"},
      {u"Init", u"Init1OK"},
      {u"Init", u"Init1Fail"},
      {u"Init", u"Init2OK"},
      {u"Init", u"Init2Fail"},
      {u"Init", u"Init3OK"},
      {u"Init", u"Init3Fail"},
      {u"Init", u"Init4OK"},
      {u"Init", u"Init5OK"},
      {u"Forms", u"EnterDemo"},
  }};

  // The creation handler: binds the path functions, creates the core object
  // and reads the configuration, asks for a language when none is set,
  // opens the language file and installs the idle handler. When the path
  // functions cannot be bound it reports that and ends the application.
  explicit TfInit(gui::TComponent* owner,
                  std::span<const rtl::TPathFunctionExport> pathFunctions = rtl::PathFunctionExports());
  ~TfInit() override;

  // The windows the program entry creates after this one.
  void SetWindows(TfDebug* debug, TfLog* log, TStartupWorkspace* workspace);

  // The step labels leInit1..leInit5 and their results leInitRes1..5.
  std::array<TLabelEx*, 5> leInit{};
  std::array<TLabelEx*, 5> leInitRes{};
  TStartupTexts StepTexts;
  TLanguageService Language;

  // The application's idle handler: the hardware steps and the start of the
  // workspace, once.
  void IdleHandler(gui::TComponent* sender, bool& done);
  bool Started() const { return FStartup.Started(); }

 protected:
  // The shutdown, after a finished start.
  void DoClose(gui::TCloseAction& action) override;

 private:
  void CreateLabels();
  void ChooseLanguage();
  void ReadTexts();

  // TStartupHost
  void EnableStep(int step) override;
  void ShowStepResult(int step, const std::u16string& text) override;
  void ProcessMessages() override;
  void Pause(uint32_t ms) override;
  bool AskEnterDemo(const std::u16string& question) override;
  void ShowError(const std::u16string& text) override;
  void ShowWarning(const std::u16string& text) override;
  void ShowMessageError(const std::u16string& text) override;
  void ShowMessageInformation(const std::u16string& text) override;
  void ShowMessageWarning(const std::u16string& text) override;
  void ShowDebugWindow() override;
  void WriteLog(uint8_t kind) override;
  void WriteLogNote(const std::u16string& text) override;
  void ShowWorkspace(int32_t step) override;
  void CloseLanguage() override;

  TStartup FStartup;
  TfDebug* FDebug = nullptr;
  TfLog* FLog = nullptr;
  TStartupWorkspace* FWorkspace = nullptr;
  bool FIdleRan = false;
};
