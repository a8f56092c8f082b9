#pragma once
// The asynchronous data file command of both views (bAsyncFile): a menu with
// Open and Save; Open reads a free-running capture from a "*.asd" file and
// switches the system to asynchronous mode, Save writes the current one.
// Reading a file clears the balancing job, so while a run holds a
// measurement Open asks first, as every command that replaces the job does;
// any answer but Yes, a cancelled dialog or a file the core refuses leaves
// everything as it was. Save checks the name as every save under a name
// does, and a save that fails says so in an error box.

#include <cstdint>
#include <vector>

#include "languageservice.h"

class TViewWorkspace;
class TZelto;

namespace gui {
class TControl;
class TForm;
}  // namespace gui

enum TAsyncFileResult : uint8_t { afNothing, afOpened, afSaved };

// Open is offered while no capture runs, Save also only in asynchronous
// mode. After a successful open the workspace is in asynchronous mode, its
// results refreshed, the loaded record evaluated and converted, and the
// spectrum thread woken when idle; the caller refreshes its oscilloscope.
TAsyncFileResult AsyncFileCommand(gui::TForm& window, gui::TControl* button, TViewWorkspace& workspace, TZelto& core);

// The menu's and the message boxes' texts (section "Forms").
extern const std::vector<TTextKey> AsyncFileLangKeys;
