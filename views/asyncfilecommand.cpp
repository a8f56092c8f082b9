#include "asyncfilecommand.h"

#include "dialogs.h"
#include "events.h"
#include "filefailure.h"
#include "form.h"
#include "formmessage.h"
#include "jobguard.h"
#include "pairnotices.h"
#include "textconv.h"
#include "viewpopup.h"
#include "viewworkspace.h"
#include "zelto.h"

const std::vector<TTextKey> AsyncFileLangKeys = {
    {u"Forms", u"Open"}, {u"Forms", u"Save"}, {u"Forms", u"AsyncDataNotSaved"}, {u"Forms", u"AsyncDataNotRead"}};

namespace {

enum TAsyncFileText : size_t { atOpen, atSave, atAsyncDataNotSaved, atAsyncDataNotRead };

std::u16string Text(TAsyncFileText text) { return LangText(AsyncFileLangKeys[text]).Text; }

constexpr const char* Filter = "Asynchronous data files (*.asd)|*.asd";

// The failure with its reason, in the log and in the error box.
void TellFailure(gui::TForm& window, TViewWorkspace& workspace, TAsyncFileText text, const TFileReason& failure) {
  const std::u16string message = WithFileFailure(Text(text), failure);
  workspace.WriteLogNote(message);
  ShowMessageBox(&window, mkError, message);
}

void SetUpDialog(gui::TOpenDialog& dialog) {
  dialog.Filter = Filter;
  dialog.DefaultExt = "asd";
  dialog.FileName.clear();
}

bool Open(gui::TForm& window, TViewWorkspace& workspace, TZelto& core) {
  gui::TOpenDialog dialog(nullptr);
  SetUpDialog(dialog);
  dialog.Options = gui::ofFileMustExist | gui::ofHideReadOnly;
  if (!dialog.Execute(&window)) return false;
  // Loading clears the balancing job; a measured one goes only when the
  // user says so.
  if (!ConfirmJobReplacement(&window, core, TJobReplacement::OpenAsyncFile)) return false;
  const std::u16string path = rtl::Utf8ToUtf16(dialog.FileName);
  const bool loaded = core.LoadAsyncData(path);
  // The record took the place of the runs and the capture settings; the
  // rest of the job stays, and the job in memory, in no file now, is saved
  // at once as a new session is. That save, not the job that went, tells
  // whether it is saved: the file Save As chose holds the job that went.
  if (loaded) workspace.SaveSession();
  const auto show = [&window](const std::u16string& text) { ShowMessageBox(&window, mkError, text); };
  const auto log = [&workspace](const std::u16string& text) { workspace.WriteLogNote(text); };
  TellSensorFailures(core, show, log);
  TellConditionNotes(
      core, [&window](const std::u16string& text) { ShowMessageBox(&window, mkWarningNote, text); }, log);
  if (!loaded) {
    TellFailure(window, workspace, atAsyncDataNotRead, core.FileFailure);
    return false;
  }
  workspace.SetAsyncMode(true);
  workspace.RefreshResults();
  core.EvaluateCapture(1, 0);
  core.ConvertSamples();
  if (!core.SpectrumBusy && core.SpectrumEvent) core.SpectrumEvent->SetEvent();
  return true;
}

bool Save(gui::TForm& window, TViewWorkspace& workspace, TZelto& core) {
  gui::TSaveDialog dialog(nullptr);
  SetUpDialog(dialog);
  // An existing file is replaced without a question.
  dialog.Options = gui::ofHideReadOnly;
  if (!dialog.Execute(&window)) return false;
  const std::u16string path = rtl::Utf8ToUtf16(dialog.FileName);
  std::u16string rawPath;
  if (!ConfirmSaveTarget(&window, core.AsyncDataSaveTarget(path, rawPath), rawPath)) return false;
  const bool saved = core.SaveAsyncData(path);
  TellPairNotices(
      core, saved, PairNoticeTexts(),
      [&window](const std::u16string& text) { ShowMessageBox(&window, mkWarningNote, text); },
      [&workspace](const std::u16string& text) { workspace.WriteLogNote(text); });
  if (saved) return true;
  TellFailure(window, workspace, atAsyncDataNotSaved, core.FileFailure);
  return false;
}

}  // namespace

TAsyncFileResult AsyncFileCommand(gui::TForm& window, gui::TControl* button, TViewWorkspace& workspace, TZelto& core) {
  const bool idle = !core.Measuring;
  const auto flags = [](bool enabled) { return enabled ? gui::MF_STRING : gui::MF_GRAYED; };
  const int choice = PopupBelow(&window, button,
                                {{Text(atOpen), flags(idle)}, {Text(atSave), flags(idle && core.AsyncMode)}},
                                0);
  if (choice == 1) return Open(window, workspace, core) ? afOpened : afNothing;
  if (choice == 2) return Save(window, workspace, core) ? afSaved : afNothing;
  return afNothing;
}
