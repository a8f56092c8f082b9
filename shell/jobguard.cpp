#include "jobguard.h"

#include <algorithm>
#include <utility>

#include "datafilepair.h"
#include "filefailure.h"
#include "folders.h"
#include "formmessage.h"
#include "pathfunctions.h"
#include "textconv.h"
#include "zelto.h"

const std::array<TTextKey, 9> JobGuardLangKeys = {{
    {u"Forms", u"SessionNotSaved"},
    {u"Forms", u"OpenSessionReplacesRuns"},
    {u"Forms", u"RestoreSessionReplacesRuns"},
    {u"Forms", u"OpenAsyncFileReplacesRuns"},
    {u"Forms", u"SampleFileIsDocument"},
    {u"Forms", u"ReplaceSampleFile"},
    {u"Forms", u"SessionKeptAside"},
    {u"Forms", u"SessionNotKeptAside"},
    {u"Forms", u"SamplesNotFound"},
}};

namespace {

enum TJobGuardText : size_t {
  jtSessionNotSaved,
  jtOpenSessionReplacesRuns,
  jtRestoreSessionReplacesRuns,
  jtOpenAsyncFileReplacesRuns,
  jtSampleFileIsDocument,
  jtReplaceSampleFile,
  jtSessionKeptAside,
  jtSessionNotKeptAside,
  jtSamplesNotFound,
};

std::u16string Text(TJobGuardText text) { return LangText(JobGuardLangKeys[text]).Text; }

std::u16string SaveFailureLine(const TZelto& core) {
  return u"Session not saved: " + FileFailureText(core.FileFailure);
}

std::u16string TwoDigits(int n) { return rtl::AsciiToUtf16((n < 10 ? "0" : "") + std::to_string(n)); }

// " (<why> yyyy-mm-dd hh-mm-ss)": no colons, which some file systems
// refuse.
std::u16string KeptTag(std::u16string_view why, const TWallTime& t) {
  return u" (" + std::u16string(why) + u" " + rtl::AsciiToUtf16(std::to_string(t.Year)) + u"-" +
         TwoDigits(t.Month) + u"-" + TwoDigits(t.Day) + u" " + TwoDigits(t.Hour) + u"-" + TwoDigits(t.Minute) + u"-" + TwoDigits(t.Second) +
         u")";
}

// The path with `tag` put before its extension.
std::u16string Tagged(const std::u16string& path, const std::u16string& tag) {
  const std::u16string_view extension = rtl::PathFindExtensionW(path);
  return path.substr(0, path.size() - extension.size()) + tag + std::u16string(extension);
}

// The tag with a count before its closing parenthesis, for the n-th file
// kept aside within one second.
std::u16string Numbered(const std::u16string& tag, int n) {
  return tag.substr(0, tag.size() - 1) + u" " + rtl::AsciiToUtf16(std::to_string(n)) + u")";
}

// A tag under which neither file of the pair exists yet.
std::u16string FreeTag(const TZelto& core, const TWallTime& now) {
  const std::u16string tag = KeptTag(u"not restored", now);
  std::u16string candidate = tag;
  for (int n = 2; rtl::FileExists(Tagged(core.AutoSessionFile, candidate)) ||
                  rtl::FileExists(Tagged(core.AutoDataFile, candidate));
       ++n)
    candidate = Numbered(tag, n);
  return candidate;
}

void ShowSaveFailure(TZelto& core, const TJobSaveReport& report, const std::u16string& text) {
  if (!report.ShowError || (core.JobSaveFailureShown && !report.ShowEveryFailure)) return;
  core.JobSaveFailureShown = 1;
  report.ShowError(text);
}

// A held pair is tried again before the save; the save goes on only once
// it has moved, and the user is told where it went (nothing, when its files
// were gone already).
bool MoveHeldPairAside(TZelto& core, const TJobSaveReport& report) {
  const TKeptAside kept = KeepAutomaticPairAside(core, LocalWallTime());
  const std::u16string text = KeptAsideText(kept, report.KeptTexts);
  if (kept.Moved) {
    if (kept.Files.empty()) return true;
    if (report.WriteLog) report.WriteLog(text);
    if (report.ShowError) report.ShowError(text);
    return true;
  }
  if (report.WriteLog)
    report.WriteLog(u"Session not saved: the last session in " + core.AppDataDir +
                    u" did not load whole and could not be moved aside.");
  ShowSaveFailure(core, report, text);
  return false;
}

std::u16string FolderOf(const std::u16string& path) {
  const size_t slash = path.rfind(u'/');
  return slash == std::u16string::npos ? u"." : path.substr(0, slash);
}

}  // namespace

std::u16string JobNotSavedText() { return Text(jtSessionNotSaved); }

TKeptAsideTexts KeptAsideTexts() { return {Text(jtSessionKeptAside), Text(jtSessionNotKeptAside)}; }

bool SaveJob(TZelto& core, const TJobSaveReport& report) {
  if (core.AutomaticPairHeld && !MoveHeldPairAside(core, report)) return false;
  const int32_t result = core.SaveSession();
  TellPairNotices(core, report.PairTexts, report.ShowError, report.WriteLog);
  if (result == TZelto::sfrDone) {
    core.JobSaveFailureShown = 0;
    return true;
  }
  if (report.WriteLog) report.WriteLog(SaveFailureLine(core));
  ShowSaveFailure(core, report, WithFileFailure(report.ErrorText, core.FileFailure));
  return false;
}

bool HoldsMeasurements(const TZelto& core) {
  return std::any_of(core.Results.begin(), core.Results.end(), [](const MeasurementResult& r) {
    return r.Meas.AmplA != 0 || r.Meas.PhA != 0 || r.Meas.AmplB != 0 || r.Meas.PhB != 0;
  });
}

bool ConfirmJobReplacement(gui::TComponent* owner, const TZelto& core, TJobReplacement replacement) {
  if (!HoldsMeasurements(core)) return true;
  const TJobGuardText question = replacement == TJobReplacement::OpenSession      ? jtOpenSessionReplacesRuns
                                 : replacement == TJobReplacement::RestoreSession ? jtRestoreSessionReplacesRuns
                                                                                  : jtOpenAsyncFileReplacesRuns;
  return ShowMessageBox(owner, mkQuestion, Text(question)) == gui::mrYes;
}

bool ConfirmSaveTarget(gui::TComponent* owner, TSaveTarget target, const std::u16string& rawPath) {
  switch (target) {
    case TSaveTarget::Free:
    case TSaveTarget::OwnPair:
      return true;
    case TSaveTarget::RawIsDocument:
      ShowMessageBox(owner, mkError, Text(jtSampleFileIsDocument));
      return false;
    case TSaveTarget::ForeignRaw:
      break;
  }
  return ShowMessageBox(owner, mkQuestion, Text(jtReplaceSampleFile) + u"\n" + rawPath) == gui::mrYes;
}

// The raw file and a raw file still waiting for its document go first, the
// document last: a stop half-way leaves the values where they were.
TKeptAside KeepAutomaticPairAside(TZelto& core, const TWallTime& now) {
  const std::u16string tag = FreeTag(core, now);
  const std::u16string raw = Tagged(core.AutoDataFile, tag);
  std::vector<std::pair<std::u16string, std::u16string>> moves = {{core.AutoDataFile, raw}};
  // A pending raw file keeps its suffix, so the loader still finds it beside
  // the raw file's new name.
  const std::string nativeRaw = rtl::NativePath(core.AutoDataFile);
  for (const std::string& pending : datafile::PendingFiles(nativeRaw))
    moves.emplace_back(rtl::Utf8ToUtf16(pending), raw + rtl::Utf8ToUtf16(pending.substr(nativeRaw.size())));
  moves.emplace_back(core.AutoSessionFile, Tagged(core.AutoSessionFile, tag));
  TKeptAside kept;
  std::vector<std::pair<std::u16string, std::u16string>> done;
  kept.Moved = true;
  for (const auto& [from, to] : moves) {
    if (!rtl::FileExists(from)) continue;
    if (!rtl::RenameFile(from, to)) {
      for (auto undo = done.rbegin(); undo != done.rend(); ++undo) rtl::RenameFile(undo->second, undo->first);
      kept = {};
      break;
    }
    done.emplace_back(from, to);
    kept.Files.push_back(to);
  }
  rtl::SyncFolder(rtl::NativePath(FolderOf(core.AutoSessionFile)));
  core.AutomaticPairHeld = !kept.Moved;
  return kept;
}

std::u16string KeptAsideName(const std::u16string& path, std::u16string_view why, const TWallTime& now) {
  const std::u16string tag = KeptTag(why, now);
  std::u16string candidate = tag;
  for (int n = 2; rtl::FileExists(Tagged(path, candidate)); ++n) candidate = Numbered(tag, n);
  return Tagged(path, candidate);
}

std::u16string KeptAsideText(const TKeptAside& kept, const TKeptAsideTexts& texts) {
  if (!kept.Moved) return texts.NotMoved;
  std::u16string text = texts.Moved;
  for (const std::u16string& file : kept.Files) text += u"\n" + file;
  return text;
}

std::u16string PartialLoadText(int32_t result) {
  if (result == TZelto::sfrDoneWithoutSamples) return Text(jtSamplesNotFound);
  return {};
}
