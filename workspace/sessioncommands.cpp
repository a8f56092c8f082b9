#include "sessioncommands.h"

#include <vector>

#include "datafilepair.h"
#include "dialogs.h"
#include "filefailure.h"
#include "folders.h"
#include "formbalancing.h"
#include "formlog.h"
#include "formmessage.h"
#include "formtimegraph.h"
#include "jobguard.h"
#include "jobsnapshot.h"
#include "pathfunctions.h"
#include "popupmenu.h"
#include "replacementfile.h"
#include "textconv.h"
#include "wallclock.h"
#include "workspacemenus.h"

const std::array<TTextKey, 6> SessionLangKeys = {{
    {u"Forms", u"NewSession"},
    {u"Forms", u"OpenSession"},
    {u"Forms", u"RestoreSession"},
    {u"Forms", u"SaveSession"},
    {u"Forms", u"Close"},
    {u"Forms", u"ResetMeasurements"},
}};

namespace {

std::u16string FormsText(std::u16string_view key) { return LangText({u"Forms", key}).Text; }

}  // namespace

// --- the window's commands --------------------------------------------------------

void TfBalancing::bSessionClick(gui::TComponent*) {
  gui::TPopupMenu menu(nullptr);
  menu.Append(smNewSession, FormsText(u"NewSession"));
  menu.AppendSeparator();
  menu.Append(smOpenSession, FormsText(u"OpenSession"));
  menu.Append(smRestoreSession, FormsText(u"RestoreSession"));
  menu.AppendSeparator();
  menu.Append(smSaveSession, FormsText(u"SaveSession"));
  menu.AppendSeparator();
  menu.Append(smClose, FormsText(u"Close"), bCloseC->Enabled() ? gui::MF_STRING : gui::MF_GRAYED);
  switch (TrackMenuBelow(menu, bSession, this)) {
    case smNewSession:
      NewSession(true);
      break;
    case smOpenSession:
      OpenSessionFile();
      break;
    case smRestoreSession:
      RestoreLastSession();
      break;
    case smSaveSession:
      SaveSessionAs();
      break;
    case smClose:
      Close();
      break;
    default:
      break;
  }
}

void TfBalancing::NewSession(bool ask) {
  if (!TheCore) return;
  if (ask && AskMessage(mkQuestion, FormsText(u"ResetMeasurements")) != gui::mrYes) return;
  TheCore->ClearMeasurements();
  LastSpeed = 0.0;
  FirstTrimRow = 1;
  TheCore->Session.Date = UtcToday();
  SaveSession();
  RefreshResults();
  if (fTimeGraph && fTimeGraph->WindowVisible()) fTimeGraph->ClearChannelBuffers();
  RefreshViewsAfterStep();
  WriteLog(lekNewSession);
}

// A loaded job stays at the step it was saved at. A load that fails puts
// back the job that was in memory (the reader clears the runs before it
// reads), so nothing changes and the next automatic save does not write an
// empty job over the automatic pair. A file that is gone counts as failed:
// the store would read it as an empty document and put the default
// settings in place of the user's.
//
// A load that left less than was stored (no samples, or shortened to the
// device memory) keeps what it read and says so. Restored from the
// automatic pair, a pair that did not load whole is moved aside as the
// start moves it, since the next save would replace it by less or by the
// job put back; the message names where it went. A partial restore whose
// pair can't be moved counts as failed; a failed one leaves the pair held.
// Once the pair has moved, the job in memory (put back, or what was read)
// is in no file: it is saved at once as every save of the job is, before
// anything is told, so no moment leaves it in memory alone, and a save that
// fails marks it unsaved.
void TfBalancing::LoadSessionFile(const std::u16string& path, std::u16string_view failureText) {
  const std::u16string& file = path.empty() ? TheCore->AutoSessionFile : path;
  int32_t result = TZelto::sfrDocumentFailed;
  // A name that is no file may still be an entry: a link that leads nowhere
  // says so.
  TFileReason failure{file, datafile::ReadErrorOf(file)};
  std::u16string partial, keptLine;
  bool partialNotKept = false, movedAside = false;
  // A pair a stop left half moved aside is read as one; what lies aside
  // of the automatic pair is named with whatever is told, a whole load too.
  const std::u16string loose = path.empty() ? PairAsideText(SettleAutomaticPair(*TheCore)) : std::u16string();
  const std::u16string looseLine = loose.empty() ? loose : u"\n" + loose;
  if (rtl::FileExists(file)) {
    const TJobSnapshot before = TakeJobSnapshot(*TheCore);
    result = TheCore->LoadSession(path);
    failure = TheCore->FileFailure;
    // The job in memory is now the one in the file, until a pair held
    // below keeps it from being saved.
    if (TZelto::SessionLoaded(result)) {
      TheCore->JobUnsaved = 0;
      TheCore->JobSavedAsFile.clear();
    }
    partial = PartialLoadText(result);
    if (path.empty() && result != TZelto::sfrDone) {
      const TKeptAside kept = KeepAutomaticPairAside(*TheCore, LocalWallTime());
      movedAside = kept.Moved;
      partialNotKept = !partial.empty() && !kept.Moved;
      if (partialNotKept) result = TZelto::sfrRawFileFailed;
      keptLine = u"\n" + KeptAsideText(kept);
      if (!partial.empty()) partial += keptLine + looseLine;
      if (Log && !partial.empty()) Log->WriteNote(KeptAsideText(kept) + looseLine);
    }
    if (!TZelto::SessionLoaded(result)) RestoreJobSnapshot(*TheCore, before);
    if (movedAside) SaveSession();
    const TJobSaveReport report = JobSaveReport();
    TellSensorFailures(*TheCore, report.ShowError, report.WriteLog);
    TellConditionNotes(
        *TheCore, [this](const std::u16string& text) { AskMessage(mkWarningNote, text); }, report.WriteLog);
  }
  if (TZelto::SessionLoaded(result)) {
    FirstTrimRow = FirstTrimRowFor(TheCore->BalancingStep);
  } else {
    // A partial load whose pair could not be moved aside says so; any other
    // failure says why, and where the pair went.
    const std::u16string why = partialNotKept ? partial : FileFailureText(failure) + keptLine + looseLine;
    const std::u16string text = std::u16string(failureText) + u"\n" + why;
    if (Log) Log->WriteNote(text);
    AskMessage(mkError, text);
  }
  // A pair that could not be moved aside is held, and the job can't be
  // saved over it.
  ShowSaveState();
  RefreshResults();
  // The reader cleared the runs and with them what the spectra belonged
  // to: the views show the job now in memory, loaded or put back.
  RefreshViewsAfterStep();
  if (TZelto::SessionLoaded(result) && !partial.empty()) AskMessage(mkInformation, partial);
  if (result == TZelto::sfrDone && !loose.empty()) {
    if (Log) Log->WriteNote(loose);
    AskMessage(mkInformation, loose);
  }
}

// Opening or restoring replaces the job in memory, which the next save
// writes over the automatic pair: a measured job goes only when the user
// says so.
void TfBalancing::OpenSessionFile() {
  if (!TheCore) return;
  gui::TOpenDialog dialog(nullptr);
  dialog.Filter = SessionFileFilter;
  dialog.DefaultExt = SessionFileExtension;
  dialog.Options = gui::ofFileMustExist | gui::ofHideReadOnly;
  if (!dialog.Execute(this)) return;
  if (!ConfirmJobReplacement(this, *TheCore, TJobReplacement::OpenSession)) return;
  LoadSessionFile(rtl::Utf8ToUtf16(dialog.FileName), SessionOpenErrorText);
}

void TfBalancing::RestoreLastSession() {
  if (TheCore && ConfirmJobReplacement(this, *TheCore, TJobReplacement::RestoreSession))
    LoadSessionFile({}, SessionRestoreErrorText);
}

void TfBalancing::SaveSessionAs() {
  if (!TheCore) return;
  gui::TSaveDialog dialog(nullptr);
  dialog.Filter = SessionFileFilter;
  dialog.DefaultExt = SessionFileExtension;
  dialog.Options = gui::ofHideReadOnly;
  if (!dialog.Execute(this)) return;
  const std::u16string target = rtl::Utf8ToUtf16(dialog.FileName);
  std::u16string rawTarget;
  if (!ConfirmSaveTarget(this, TheCore->SessionSaveTarget(target, rawTarget), rawTarget)) return;
  // The automatic pair chosen by name is saved as every save of it is, so
  // that a pair held since the start is never written over; the user asked
  // for this save, so its failure is told every time.
  const bool automatic =
      rtl::SameFile(target, TheCore->AutoSessionFile) || rtl::SameFile(rawTarget, TheCore->AutoDataFile);
  // Any other chosen pair takes the job in memory straight: a data folder
  // that takes no save (read-only, full) can't keep it from a disk that does.
  TJobSaveReport report = JobSaveReport();
  bool savedAs = false;
  if (!automatic) {
    savedAs = TheCore->SaveSessionAs(target) == TZelto::sfrDone;
    TellPairNotices(*TheCore, savedAs, report.PairTexts, report.ShowNotice, report.WriteLog);
    if (!savedAs) {
      const std::u16string text = WithFileFailure(SessionSaveErrorText, TheCore->FileFailure);
      if (Log) Log->WriteNote(text);
      AskMessage(mkError, text);
    }
  }
  // The automatic pair follows the job as after every command; its failure
  // is told as every failed save of the job is, and leaves the job saved
  // when the chosen pair took it.
  report.ShowEveryFailure = automatic;
  if (savedAs) report.SavedAs = target;
  SaveJob(*TheCore, report);
}
