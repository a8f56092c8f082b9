#include "jobguard.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <iterator>
#include <utility>

#include "datafilepair.h"
#include "filefailure.h"
#include "folders.h"
#include "formmessage.h"
#include "pathfunctions.h"
#include "textconv.h"
#include "zelto.h"

const std::array<TTextKey, 16> JobGuardLangKeys = {{
    {u"Forms", u"SessionNotSaved"},
    {u"Forms", u"OpenSessionReplacesRuns"},
    {u"Forms", u"RestoreSessionReplacesRuns"},
    {u"Forms", u"OpenAsyncFileReplacesRuns"},
    {u"Forms", u"SampleFileIsDocument"},
    {u"Forms", u"ReplaceSampleFile"},
    {u"Forms", u"SessionKeptAside"},
    {u"Forms", u"SessionNotKeptAside"},
    {u"Forms", u"SamplesNotFound"},
    {u"Forms", u"SaveNameOnlyExtension"},
    {u"Forms", u"LooseSamplesFound"},
    {u"Forms", u"SessionNotSavedAtClose"},
    {u"Forms", u"SessionLeftUnsaved"},
    {u"Forms", u"SessionKeptInChosenFile"},
    {u"Forms", u"LastSaveFailed"},
    {u"Forms", u"KeptSessionsFound"},
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
  jtSaveNameOnlyExtension,
  jtLooseSamplesFound,
  jtSessionNotSavedAtClose,
  jtSessionLeftUnsaved,
  jtSessionKeptInChosenFile,
  jtLastSaveFailed,
  jtKeptSessionsFound,
};

std::u16string Text(TJobGuardText text) { return LangText(JobGuardLangKeys[text]).Text; }

std::u16string SaveFailureLine(const TZelto& core, const TFileFailureTexts& texts) {
  return u"Session not saved: " + FileFailureText(core.FileFailure, texts);
}

// Why the automatic pair was kept aside, in its files' new names.
constexpr std::u16string_view NotRestored = u"not restored";

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
  const std::u16string tag = KeptTag(NotRestored, now);
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
    if (report.ShowNotice) report.ShowNotice(text);
    return true;
  }
  if (report.WriteLog)
    report.WriteLog(u"Session not saved: the last session in " + core.AppDataDir +
                    u" did not load whole and could not be moved aside.");
  ShowSaveFailure(core, report, text);
  return false;
}

bool WriteJob(TZelto& core, const TJobSaveReport& report) {
  if (core.AutomaticPairHeld && !MoveHeldPairAside(core, report)) return false;
  const int32_t result = core.SaveSession();
  TellPairNotices(core, result == TZelto::sfrDone, report.PairTexts, report.ShowNotice, report.WriteLog);
  if (result == TZelto::sfrDone) {
    core.JobSaveFailureShown = 0;
    return true;
  }
  core.JobSaveFailure = core.FileFailure;
  if (report.WriteLog) report.WriteLog(SaveFailureLine(core, report.FailureTexts));
  ShowSaveFailure(core, report, WithFileFailure(report.ErrorText, core.FileFailure, report.FailureTexts));
  return false;
}

std::u16string FolderOf(const std::u16string& path) {
  const size_t slash = path.rfind(u'/');
  return slash == std::u16string::npos ? u"." : path.substr(0, slash);
}

// The tags of the files beside `path` named as it is kept aside, "<name>
// (<tag>)<extension><suffix>", sorted; with a suffix such as ".pending" the
// files waiting to become such a file.
std::vector<std::u16string> KeptAsideTags(const std::u16string& path, std::u16string_view suffix = {}) {
  const std::u16string folder = FolderOf(path);
  const std::u16string_view extension = rtl::PathFindExtensionW(path);
  const std::u16string base = path.substr(folder.size() + 1, path.size() - folder.size() - 1 - extension.size());
  const std::u16string end = std::u16string(extension) + std::u16string(suffix);
  const std::u16string tagStart = u" (";
  std::vector<std::u16string> tags;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(rtl::NativePath(folder), error)) {
    const std::u16string name = rtl::Utf8ToUtf16(entry.path().filename().string());
    const size_t endAt = suffix.empty() ? name.size() - std::min(name.size(), end.size()) : name.rfind(end);
    if (endAt == std::u16string::npos || endAt < base.size() + tagStart.size() + 1 ||
        name.compare(0, base.size(), base) != 0 || name.compare(endAt, end.size(), end) != 0)
      continue;
    const std::u16string tag = name.substr(base.size(), endAt - base.size());
    if (tag.compare(0, tagStart.size(), tagStart) == 0 && tag.back() == u')') tags.push_back(tag);
  }
  std::sort(tags.begin(), tags.end());
  tags.erase(std::unique(tags.begin(), tags.end()), tags.end());
  return tags;
}

// The automatic raw files kept aside (not restored, or changed elsewhere)
// whose document is not beside them under the same tag, by name.
std::vector<std::u16string> LooseKeptAsideRawFiles(const TZelto& core) {
  std::vector<std::u16string> loose;
  for (const std::u16string& tag : KeptAsideTags(core.AutoDataFile))
    if (!rtl::FileExists(Tagged(core.AutoSessionFile, tag))) loose.push_back(Tagged(core.AutoDataFile, tag));
  return loose;
}

// A heading followed by one file a line; nothing for no files.
std::u16string FileListText(TJobGuardText heading, const std::vector<std::u16string>& files) {
  if (files.empty()) return {};
  std::u16string text = Text(heading);
  for (const std::u16string& file : files) text += u"\n" + file;
  return text;
}

}  // namespace

std::u16string JobNotSavedText() { return Text(jtSessionNotSaved); }

std::u16string ShutdownNotSavedText(const TZelto& core) {
  if (!core.JobSavedAsFile.empty()) return Text(jtSessionKeptInChosenFile) + u"\n" + core.JobSavedAsFile;
  return Text(core.JobUnsaved ? jtSessionLeftUnsaved : jtSessionNotSavedAtClose);
}

std::u16string LastSaveFailureLine(const TZelto& core) {
  const std::u16string& file = core.JobSaveFailure.File;
  const std::u16string name = file.substr(file.rfind(u'/') + 1);
  return Text(jtLastSaveFailed) + u" " + FileFailureText({name, core.JobSaveFailure.Error});
}

TKeptAsideTexts KeptAsideTexts() { return {Text(jtSessionKeptAside), Text(jtSessionNotKeptAside)}; }

bool SaveJob(TZelto& core, const TJobSaveReport& report) {
  const bool saved = WriteJob(core, report);
  core.JobUnsaved = !saved && report.SavedAs.empty();
  core.JobSavedAsFile = report.SavedAs;
  if (report.ShowSaveState) report.ShowSaveState();
  return saved;
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
    case TSaveTarget::NoName:
      ShowMessageBox(owner, mkError, Text(jtSaveNameOnlyExtension));
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
      core.JobSaveFailure = {from, errno};
      for (auto undo = done.rbegin(); undo != done.rend(); ++undo) rtl::RenameFile(undo->second, undo->first);
      kept = {};
      break;
    }
    done.emplace_back(from, to);
    kept.Files.push_back(to);
  }
  rtl::SyncFolder(rtl::NativePath(FolderOf(core.AutoSessionFile)));
  core.AutomaticPairHeld = !kept.Moved;
  if (!kept.Moved) core.JobUnsaved = 1;
  return kept;
}

std::vector<std::u16string> ReuniteHalfKeptPair(TZelto& core) {
  std::vector<std::u16string> loose = LooseKeptAsideRawFiles(core);
  const std::string nativeRaw = rtl::NativePath(core.AutoDataFile);
  // The raw file goes first and the document last: only a document still in
  // place without its raw file can be what a stop half-way left.
  if (loose.empty() || !rtl::FileExists(core.AutoSessionFile) || rtl::FileExists(core.AutoDataFile) ||
      !datafile::PendingFiles(nativeRaw).empty())
    return loose;
  std::vector<std::u16string> fitting;
  std::copy_if(loose.begin(), loose.end(), std::back_inserter(fitting), [&core](const std::u16string& raw) {
    return core.SessionOwnsRawFile(core.AutoSessionFile, raw);
  });
  if (fitting.size() != 1) return loose;
  const auto own = std::find(loose.begin(), loose.end(), fitting.front());
  const std::string nativeKept = rtl::NativePath(*own);
  for (const std::string& pending : datafile::PendingFiles(nativeKept))
    rtl::RenameFile(rtl::Utf8ToUtf16(pending), core.AutoDataFile + rtl::Utf8ToUtf16(pending.substr(nativeKept.size())));
  if (rtl::RenameFile(*own, core.AutoDataFile)) loose.erase(own);
  rtl::SyncFolder(rtl::NativePath(FolderOf(core.AutoDataFile)));
  return loose;
}

std::vector<std::u16string> ClearLeftoverPendingFiles(TZelto& core) {
  std::vector<std::u16string> named;
  bool removed = false;
  for (const std::u16string& tag : KeptAsideTags(core.AutoDataFile, u".pending")) {
    const std::u16string raw = Tagged(core.AutoDataFile, tag), document = Tagged(core.AutoSessionFile, tag);
    const std::string nativeRaw = rtl::NativePath(raw);
    if (datafile::LeftoverPendingFiles(nativeRaw).empty()) continue;
    // The check takes a pending file the document records into place, as
    // a load of the pair would; what is left then is not the pair's.
    const bool whole = rtl::FileExists(raw) && rtl::FileExists(document) && core.SessionOwnsRawFile(document, raw);
    for (const std::string& pending : datafile::LeftoverPendingFiles(nativeRaw)) {
      const bool gone = whole && ::unlink(pending.c_str()) == 0;
      removed = removed || gone;
      if (!gone) named.push_back(rtl::Utf8ToUtf16(pending));
    }
  }
  if (removed) rtl::SyncFolder(rtl::NativePath(FolderOf(core.AutoDataFile)));
  return named;
}

std::u16string LooseSamplesText(const std::vector<std::u16string>& files) {
  return FileListText(jtLooseSamplesFound, files);
}

std::vector<std::u16string> KeptAsideSessions(const TZelto& core) {
  std::vector<std::pair<std::filesystem::file_time_type, std::u16string>> documents;
  for (const std::u16string& tag : KeptAsideTags(core.AutoSessionFile)) {
    const std::u16string document = Tagged(core.AutoSessionFile, tag);
    std::error_code error;
    documents.emplace_back(std::filesystem::last_write_time(rtl::NativePath(document), error), document);
  }
  std::sort(documents.begin(), documents.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<std::u16string> files;
  for (const auto& document : documents) files.push_back(document.second);
  return files;
}

std::u16string KeptSessionsText(const std::vector<std::u16string>& files) {
  return FileListText(jtKeptSessionsFound, files);
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

TPairAside SettleAutomaticPair(TZelto& core) {
  TPairAside aside;
  // Known before the reunion, which needs the document in place and leaves
  // it there.
  const bool documentMissing = !rtl::FileExists(core.AutoSessionFile);
  aside.LooseSamples = ReuniteHalfKeptPair(core);
  datafile::RemoveInterruptedKeepAsides(core.AutoSessionFile, core.AutoDataFile);
  for (std::u16string& pending : ClearLeftoverPendingFiles(core)) aside.LooseSamples.push_back(std::move(pending));
  if (documentMissing) aside.EarlierSessions = KeptAsideSessions(core);
  return aside;
}

std::u16string PairAsideText(const TPairAside& aside) {
  const std::u16string earlier = KeptSessionsText(aside.EarlierSessions);
  const std::u16string loose = LooseSamplesText(aside.LooseSamples);
  return earlier.empty() || loose.empty() ? earlier + loose : earlier + u"\n" + loose;
}
