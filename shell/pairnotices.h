#pragma once
// What a save of a document-and-raw-file pair found on the way and the user
// must hear of though the save went on: the files of a pair another program
// had written since this one last read or wrote it, kept aside before the
// save, and a folder whose file system keeps no locks, saved without them
// (told once per folder). Every command that saves a pair tells them
// through here.

#include <array>
#include <functional>
#include <string>

#include "filefailure.h"
#include "languageservice.h"

class TZelto;

// Every key looked up here (section "Forms").
extern const std::array<TTextKey, 3> PairNoticeLangKeys;

// The texts, looked up when made: the shutdown makes them before the
// language file closes. A pair kept aside is told as replaced by the job
// only by a save that succeeded.
struct TPairNoticeTexts {
  std::u16string KeptAside, KeptAsideNotSaved, WithoutLocks;
  TFileFailureTexts Failures;
};
TPairNoticeTexts PairNoticeTexts();

// Tells TZelto::PairKeptAside (the heading, then the files' new names) and
// each of TZelto::LockNotices (the heading, then the folder and the
// system's reason) in a message and the log, and clears both; nothing when
// both are empty. `saved` is whether the save that kept the pair aside
// succeeded. What the save found is no failure of its own (a failed save
// is told by its caller): `show` is a warning that asks nothing
// (mkWarningNote), not an error. Either callback may be empty.
void TellPairNotices(TZelto& core, bool saved, const TPairNoticeTexts& texts,
                     const std::function<void(const std::u16string&)>& show,
                     const std::function<void(const std::u16string&)>& log);
