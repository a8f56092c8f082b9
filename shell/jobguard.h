#pragma once
// How every window that loads or saves the balancing job guards the job on
// disk: a stored job is replaced only by a job the user had or chose, and a
// save that fails says so. One routine saves the job and reports a failure;
// one routine asks the command's own question before a measured job is
// replaced; one check comes before a document is saved under a name whose
// raw file isn't its own; and an automatic pair that did not load whole is
// moved aside before anything can be saved over it.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "filefailure.h"
#include "languageservice.h"
#include "pairnotices.h"
#include "savetarget.h"
#include "wallclock.h"

class TZelto;

namespace gui {
class TComponent;
}

// Every key looked up here (section "Forms").
extern const std::array<TTextKey, 16> JobGuardLangKeys;

// The text of a failed save of the job.
std::u16string JobNotSavedText();
// The text of the shutdown's failed save, after which nothing can be done
// in the program: that the job is kept in the file Save As chose
// (TZelto::JobSavedAsFile, named), that it was left unsaved as the user
// chose at the close (TZelto::JobUnsaved), or that the session on disk is
// the one saved before.
std::u16string ShutdownNotSavedText(const TZelto& core);
// The error line's text while the job is unsaved: why its last save failed
// (TZelto::JobSaveFailure), with the file's name only.
std::u16string LastSaveFailureLine(const TZelto& core);

// The automatic pair moved aside under names that say it was not restored,
// with the time `now`, its raw file still named as the document's. `Files`
// are the new names of the files moved; when a move fails the pair is put
// back as it was and `Moved` is false.
struct TKeptAside {
  bool Moved = false;
  std::vector<std::u16string> Files;
};
// What the message and the log say of it: the heading before the new
// names, or that the files stay where they were.
struct TKeptAsideTexts {
  std::u16string Moved, NotMoved;
};
TKeptAsideTexts KeptAsideTexts();

// Where a save of the job is told: a failure in the program's error box,
// what a save that went on found on the way (pairs kept aside, a folder
// without locks) in its warning box, and either in a line of the day's
// log; any may be empty where no window can tell it. The texts are looked
// up when the report is made, so a report made before the language file
// closes (the shutdown) still has them.
struct TJobSaveReport {
  std::function<void(const std::u16string&)> ShowError;
  std::function<void(const std::u16string&)> WriteLog;
  std::function<void(const std::u16string&)> ShowNotice = nullptr;
  std::u16string ErrorText = JobNotSavedText();
  TKeptAsideTexts KeptTexts = KeptAsideTexts();
  TFileFailureTexts FailureTexts = FileFailureTexts();
  TPairNoticeTexts PairTexts = PairNoticeTexts();
  // Every failure is shown, not only the first since a save succeeded: for
  // the shutdown, after which no save could tell it.
  bool ShowEveryFailure = false;
  // The file the job was just stored in under a name the user chose (Save
  // As; empty for none): it is saved, whatever becomes of the automatic
  // pair.
  std::u16string SavedAs{};
  // Runs after every save, so the window's mark follows TZelto::JobUnsaved.
  std::function<void()> ShowSaveState = nullptr;
};

// Writes the job into the automatic pair; every save of the job goes through
// here. A failure is logged each time and shown the first time, then again
// only after a save that succeeded. While the automatic pair is held (it
// did not load whole and could not be moved aside) each save first tries
// again to move it aside and tells where it went; while it can't, nothing
// is saved over it and the failure says so. The job is marked unsaved
// (TZelto::JobUnsaved) from a failure until a save succeeds, here or under
// a chosen name, and why is kept (TZelto::JobSaveFailure). True when the job
// was saved.
bool SaveJob(TZelto& core, const TJobSaveReport& report);

// A run holds a measurement when any of its averaged values is set.
bool HoldsMeasurements(const TZelto& core);
// What replaces the job in memory: a session file opened, the last session
// restored, or a free-running data file opened.
enum class TJobReplacement : uint8_t { OpenSession, RestoreSession, OpenAsyncFile };
// Asked before something replaces the job in memory: while a run holds a
// measurement, the question of that replacement, which names what goes and
// what comes; true to go on (nothing measured, or Yes).
bool ConfirmJobReplacement(gui::TComponent* owner, const TZelto& core, TJobReplacement replacement);

// Asked before a document is saved under a chosen name: a name whose raw
// file would be the document itself is refused with an error; one whose raw
// file belongs to another document (or to none) asks, naming that file.
// True to save.
bool ConfirmSaveTarget(gui::TComponent* owner, TSaveTarget target, const std::u16string& rawPath);

// Moves the automatic pair aside (see TKeptAside). The folder is forced to
// disk after the renames, so a power loss can't bring back a pair half
// moved, nor let a later save of the automatic pair overtake them. The core
// holds the pair (AutomaticPairHeld) while it could not be moved, and the
// job in memory, which can't be saved over it, is marked unsaved.
TKeptAside KeepAutomaticPairAside(TZelto& core, const TWallTime& now);
// What a keep-aside stopped between its renames (a power loss, a kill)
// left: the raw file under its new name, the document still the automatic
// one. Before the automatic pair is read, a raw file kept aside without its
// document that the automatic document records is put back beside it, so
// the pair is read, and if need be kept aside, as one. Only the one raw
// file the document accepts is: a document of the older format records no
// checksum, and of two raw files of its size nothing tells which is its
// own, so none goes back. The kept-aside raw files that stay without their
// document are returned, for the message to name them.
std::vector<std::u16string> ReuniteHalfKeptPair(TZelto& core);
// Pending raw files beside the kept-aside names of the automatic raw file
// that a save which never finished left (their writer has ended; a running
// one's, another instance's, are left alone). Where the kept-aside pair
// beside them is whole they are not its samples and are removed; the others
// may be someone's only samples and are returned, for the message to name.
std::vector<std::u16string> ClearLeftoverPendingFiles(TZelto& core);
// The line that names them (empty when there are none).
std::u16string LooseSamplesText(const std::vector<std::u16string>& files);
// The documents of automatic pairs kept aside earlier (not restored, or
// changed elsewhere), the latest written first: where the last saved job
// lies when the automatic pair is not in its place.
std::vector<std::u16string> KeptAsideSessions(const TZelto& core);
// The line that names them (empty when there are none).
std::u16string KeptSessionsText(const std::vector<std::u16string>& files);

// What lies aside of the automatic pair as it is about to be read.
struct TPairAside {
  // The sessions kept aside earlier, while no automatic document is in
  // place (otherwise none): the last saved job may lie there.
  std::vector<std::u16string> EarlierSessions;
  // Raw files kept aside without their document, and pending raw files
  // left beside kept-aside names that could not be removed.
  std::vector<std::u16string> LooseSamples;
};
// Every read of the automatic pair starts here (the start, Restore, the
// demo tool): a pair a stop left half moved is put back together, what
// ended writers left beside kept-aside names (pending raw files, copies cut
// short) is cleared, and what lies aside is found, to be named whatever the
// load then does.
TPairAside SettleAutomaticPair(TZelto& core);
// The lines that name it (empty when there is nothing).
std::u16string PairAsideText(const TPairAside& aside);

// A name for another file that could not be used, kept aside beside it:
// "Kalvenor (not read yyyy-mm-dd hh-mm-ss).ini" for `why` "not read", with
// a count added when that name is taken.
std::u16string KeptAsideName(const std::u16string& path, std::u16string_view why, const TWallTime& now);
// What the message and the log say of it: the names the files now have, or
// that they stay where they were.
std::u16string KeptAsideText(const TKeptAside& kept, const TKeptAsideTexts& texts = KeptAsideTexts());

// The text of a load that left a job with less than was stored (without
// samples, shortened); empty for every other result.
std::u16string PartialLoadText(int32_t result);
