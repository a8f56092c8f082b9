#include "init.h"

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "application.h"
#include "dialogs.h"
#include "formdebug.h"
#include "formlog.h"
#include "formmessage.h"
#include "formselectlang.h"
#include "labelex.h"
#include "zelto.h"

namespace {

constexpr int ClientWidthInit = 521;
constexpr int ClientHeightInit = 105;
constexpr int StepLeft = 16;
constexpr int ResultLeft = 261;
constexpr int LabelWidth = 240;
constexpr int LabelHeight = 13;

const TTextKey& Key(size_t index) { return TfInit::LangKeys[index]; }

}  // namespace

TfInit::TfInit(gui::TComponent* owner, std::span<const rtl::TPathFunctionExport> pathFunctions)
    : gui::TForm(owner), FStartup(*this) {
  SetName("fInit");
  SetOwnFrame(true);
  SetBorderStyle(gui::bsSingle);
  SetPosition(gui::poScreenCenter);
  SetClientWidth(ClientWidthInit);
  SetClientHeight(ClientHeightInit);
  SetColor(gui::clWhite);
  CreateLabels();
  if (!FStartup.CreateCore(pathFunctions)) {
    if (gui::Application) gui::Application->Terminate();
    return;
  }
  // A configured language file that can't be read (a pipe, a folder, no
  // permission) is chosen again, as on the first start, rather than leaving
  // every text of the program empty.
  if (TheCore->Language.empty() || !Language.Open(TheCore->Language)) {
    ChooseLanguage();
    Language.Open(TheCore->Language);
  }
  SetLanguageService(&Language);
  ReadTexts();
  TLanguageService::InstallHintHandler();
  if (gui::Application)
    gui::Application->OnIdle = [this](gui::TComponent* sender, bool& done) { IdleHandler(sender, done); };
}

TfInit::~TfInit() {
  if (gui::Application) gui::Application->OnIdle = nullptr;
  if (LanguageService() == &Language) SetLanguageService(nullptr);
  // A start that never finished leaves the driver and the core behind.
  FStartup.Abandon();
}

void TfInit::SetWindows(TfDebug* debug, TfLog* log, TStartupWorkspace* workspace) {
  FDebug = debug;
  FLog = log;
  FWorkspace = workspace;
}

void TfInit::CreateLabels() {
  for (size_t i = 0; i < leInit.size(); ++i) {
    const int top = 16 * static_cast<int>(i + 1);
    for (bool result : {false, true}) {
      auto* label = new TLabelEx(this);
      label->SetName((result ? "leInitRes" : "leInit") + std::to_string(i + 1));
      label->SetParent(this);
      label->SetAutoSize(false);
      label->SetBounds(result ? ResultLeft : StepLeft, top, LabelWidth, LabelHeight);
      label->SetParentColor(true);
      label->Font().SetName("Microsoft Sans Serif");
      label->Font().SetHeight(-11);
      label->Font().SetStyle(gui::fsBold);
      label->Font().SetColor(gui::clBlack);
      // A result can name the device found, whose "&" is its own; step
      // labels are drawn greyed until their step begins.
      if (result)
        label->SetShowAccelChar(false);
      else
        label->SetEnabled(false);
      (result ? leInitRes : leInit)[i] = label;
    }
  }
}

void TfInit::ChooseLanguage() {
  TfSelectLang dialog(this, TheCore->ProgramDir + u"Language/");
  dialog.ShowModal();
  // However the dialog closed, the selected entry is taken; without one the
  // language stays unset and the next start asks again.
  TheCore->Language = dialog.ChosenPath();
}

void TfInit::ReadTexts() {
  for (size_t i = 0; i < leInit.size(); ++i) {
    leInit[i]->SetCaptionW(Language.GetLangText(Key(i)).Text);
    leInitRes[i]->SetCaption("");
    leInitRes[i]->SetCaptionW(u"");
  }
  std::u16string* texts[] = {&StepTexts.Init1OK,   &StepTexts.Init1Fail, &StepTexts.Init2OK,
                             &StepTexts.Init2Fail, &StepTexts.Init3OK,   &StepTexts.Init3Fail,
                             &StepTexts.Init4OK,   &StepTexts.Init5OK,   &StepTexts.EnterDemo};
  for (size_t i = 0; i < std::size(texts); ++i) *texts[i] = Language.GetLangText(Key(leInit.size() + i)).Text;
}

void TfInit::IdleHandler(gui::TComponent*, bool&) {
  // Runs once: the label updates below process messages, which must not
  // start the steps again.
  if (FIdleRan) return;
  FIdleRan = true;
  if (gui::Application) gui::Application->OnIdle = nullptr;
  if (!FStartup.InitHardware(StepTexts)) {
    FStartup.Abandon();
    if (gui::Application) {
      gui::Application->Terminate();
      gui::Application->ProcessMessages();
    }
    return;
  }
  std::vector<std::string> parameters;
  if (gui::Application)
    for (int i = 1; i <= gui::Application->ParamCount(); ++i) parameters.push_back(gui::Application->ParamStr(i));
  FStartup.FinishStart(StepTexts, parameters);
}

void TfInit::DoClose(gui::TCloseAction& action) {
  if (FStartup.Started()) FStartup.Shutdown();
  gui::TForm::DoClose(action);
}

// --- what the start-up shows -------------------------------------------------

void TfInit::EnableStep(int step) {
  if (step >= 1 && step <= static_cast<int>(leInit.size())) leInit[step - 1]->SetEnabled(true);
}

void TfInit::ShowStepResult(int step, const std::u16string& text) {
  if (step >= 1 && step <= static_cast<int>(leInitRes.size())) leInitRes[step - 1]->SetCaptionW(text);
}

void TfInit::ProcessMessages() {
  if (gui::Application) gui::Application->ProcessMessages();
}

void TfInit::Pause(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool TfInit::AskEnterDemo(const std::u16string& question) {
  return gui::MessageBox(this, question, u"", gui::MB_YESNO | gui::MB_ICONQUESTION) == gui::IDYES;
}

void TfInit::ShowError(const std::u16string& text) {
  // Before the window shows (the path functions) the box has no owner.
  gui::MessageBox(Visible() ? this : nullptr, text, u"Error", gui::MB_OK | gui::MB_ICONERROR);
}

void TfInit::ShowWarning(const std::u16string& text) {
  gui::MessageBox(Visible() ? this : nullptr, text, u"Warning", gui::MB_OK | gui::MB_ICONWARNING);
}

void TfInit::ShowMessageError(const std::u16string& text) { ShowMessageBox(this, mkError, text); }

void TfInit::ShowMessageInformation(const std::u16string& text) { ShowMessageBox(this, mkInformation, text); }

void TfInit::ShowMessageWarning(const std::u16string& text) { ShowMessageBox(this, mkWarningNote, text); }

void TfInit::ShowDebugWindow() {
  if (FDebug) FDebug->Show();
}

void TfInit::WriteLog(uint8_t kind) {
  if (FLog) FLog->WriteEntry(static_cast<TLogEntryKind>(kind));
}

void TfInit::WriteLogNote(const std::u16string& text) {
  if (FLog) FLog->WriteNote(text);
}

void TfInit::ShowWorkspace(int32_t step) {
  if (FWorkspace) FWorkspace->ShowAfterStart(step);
  Hide();
}

void TfInit::CloseLanguage() {
  if (LanguageService() == &Language) SetLanguageService(nullptr);
  Language.Close();
}
