#include "sessioncommands.h"

#include <fstream>
#include <vector>

#include "datafilepair.h"
#include "dialogs.h"
#include "events.h"
#include "folders.h"
#include "formbalancing.h"
#include "formfftgraph.h"
#include "formmessage.h"
#include "formtimegraph.h"
#include "jobsnapshot.h"
#include "pathfunctions.h"
#include "popupmenu.h"
#include "replacementfile.h"
#include "spectrumthread.h"
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

// Streams `source` into a replacement of `target`; false when reading or
// writing failed.
bool CopyInto(std::u16string_view source, TReplacementFile& target) {
  std::ifstream in(rtl::NativePath(source), std::ios::binary);
  if (!in || !target.IsOpen()) return false;
  std::vector<char> buffer(1 << 20);
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    if (in.gcount() > 0) target.Write(buffer.data(), static_cast<size_t>(in.gcount()));
  }
  return in.eof() && target.Finish();
}

}  // namespace

std::u16string RawFileFor(std::u16string sessionPath, std::u16string_view rawExtension) {
  rtl::PathRenameExtensionW(sessionPath, rawExtension);
  return sessionPath;
}

bool CopySessionPair(std::u16string_view session, std::u16string_view raw, std::u16string_view target) {
  const std::u16string rawTarget = RawFileFor(std::u16string(target), rtl::PathFindExtensionW(raw));
  TReplacementFile sessionCopy(target);
  TReplacementFile rawCopy(rawTarget);
  if (!CopyInto(session, sessionCopy) || !CopyInto(raw, rawCopy)) return false;
  // The pair is replaced in the order of every save of a pair: the raw file
  // waits under its pending name until the document is in place, so a crash
  // leaves the old pair or the new one at the target, never a mix.
  const std::string pending = rtl::NativePath(datafile::PendingRawPath(rawTarget));
  return rawCopy.CommitAs(pending) && sessionCopy.Commit() && MoveIntoPlace(pending, rawCopy.NativeTarget());
}

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
  TheCore->SaveSession();
  RefreshResults();
  if (fTimeGraph && fTimeGraph->WindowVisible()) {
    fTimeGraph->ClearChannelBuffers();
    fTimeGraph->RefreshGraph();
    fTimeGraph->RefreshReadout();
  }
  if (fFFTGraph && fFFTGraph->WindowVisible()) {
    if (SpectrumThread && TheCore->SpectrumBusy) SpectrumThread->AbortCalculation();
    TheCore->ConvertSamples();
    if (TheCore->SpectrumEvent) TheCore->SpectrumEvent->SetEvent();
    fFFTGraph->UpdateButtonStates();
  }
  WriteLog(lekNewSession);
}

// A loaded job stays at the step it was saved at. A load that fails puts
// back the job that was in memory (the reader clears the runs before it
// reads), so nothing changes and the next automatic save does not write an
// empty job over the automatic pair. A file that is gone counts as failed:
// the store would read it as an empty document and put the default
// settings in place of the user's.
void TfBalancing::LoadSessionFile(const std::u16string& path, std::u16string_view failureText) {
  const std::u16string& file = path.empty() ? TheCore->AutoSessionFile : path;
  bool loaded = false;
  if (rtl::FileExists(file)) {
    const TJobSnapshot before = TakeJobSnapshot(*TheCore);
    loaded = TheCore->LoadSession(path) == TZelto::sfrDone;
    if (!loaded) RestoreJobSnapshot(*TheCore, before);
  }
  if (loaded)
    FirstTrimRow = FirstTrimRowFor(TheCore->BalancingStep);
  else
    AskMessage(mkError, std::u16string(failureText));
  RefreshResults();
  // The reader cleared the runs and with them what the spectra belonged
  // to: the views show the job now in memory, loaded or put back.
  RefreshViewsAfterStep();
}

void TfBalancing::OpenSessionFile() {
  if (!TheCore) return;
  gui::TOpenDialog dialog(nullptr);
  dialog.Filter = SessionFileFilter;
  dialog.DefaultExt = SessionFileExtension;
  dialog.Options = gui::ofFileMustExist | gui::ofHideReadOnly;
  if (!dialog.Execute(this)) return;
  LoadSessionFile(rtl::Utf8ToUtf16(dialog.FileName), SessionOpenErrorText);
}

void TfBalancing::RestoreLastSession() {
  if (TheCore) LoadSessionFile({}, SessionRestoreErrorText);
}

void TfBalancing::SaveSessionAs() {
  if (!TheCore) return;
  gui::TSaveDialog dialog(nullptr);
  dialog.Filter = SessionFileFilter;
  dialog.DefaultExt = SessionFileExtension;
  dialog.Options = gui::ofHideReadOnly;
  if (!dialog.Execute(this)) return;
  // The automatic pair is brought up to the job in memory first, so that
  // the copy holds the session the user sees.
  const bool saved =
      TheCore->SaveSession() == TZelto::sfrDone &&
      CopySessionPair(TheCore->AutoSessionFile, TheCore->AutoDataFile, rtl::Utf8ToUtf16(dialog.FileName));
  if (!saved) AskMessage(mkError, std::u16string(SessionSaveErrorText));
}
