#pragma once
// The session menu of the balancing workspace: a new session, opening a
// session file, restoring the automatically saved session, saving the
// session under a name, and closing the workspace. The TfBalancing
// handlers live in sessioncommands.cpp; the file work they share is here.

#include <array>
#include <string>
#include <string_view>

#include "languageservice.h"
#include "zelto.h"

// Every key the session commands look up in section "Forms".
extern const std::array<TTextKey, 6> SessionLangKeys;

// The fixed English texts of failed session files; not translated.
inline constexpr std::u16string_view SessionOpenErrorText = u"Couldn't open session file. File error.";
inline constexpr std::u16string_view SessionRestoreErrorText = u"Last session not restored. File error.";
inline constexpr std::u16string_view SessionSaveErrorText = u"Couldn't save session file. File error.";

// Filter and default extension of the open and save dialogs.
inline constexpr const char* SessionFileFilter = "Session files (*.daqsession)|*.daqsession";
inline constexpr const char* SessionFileExtension = "daqsession";

// Ids of the session menu.
enum TSessionMenuId : int {
  smNewSession = 1,
  smOpenSession = 3,
  smRestoreSession = 4,
  smSaveSession = 6,
  smClose = 8,
};

// The raw sample file beside a session file: the session file's extension
// replaced by `rawExtension` (".daqdata").
std::u16string RawFileFor(std::u16string sessionPath, std::u16string_view rawExtension);

// Copies a session file to `target` and its raw file beside it, named by
// RawFileFor with the raw file's extension. Each copy replaces a file of
// that name only once both copies are complete. False when a file could not
// be read or written, or when the raw copy would be the document copy;
// `failure` then tells why.
bool CopySessionPair(std::u16string_view session, std::u16string_view raw, std::u16string_view target,
                     TFileReason& failure);
