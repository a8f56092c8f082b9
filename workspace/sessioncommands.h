#pragma once
// The session menu of the balancing workspace: a new session, opening a
// session file, restoring the automatically saved session, saving the
// session under a name, and closing the workspace. The TfBalancing
// handlers live in sessioncommands.cpp; their texts and menu ids are here.

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
