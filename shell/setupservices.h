#pragma once
// What the set-up dialog needs of the balancing workspace, which opens it:
// the workspace implements this class and hands itself to the dialog
// (ShowSetupDialog in formconfig.h). The dialog calls it only on the
// user-interface thread, while it is open or closing.

#include <string>

#include "jobguard.h"

class TSetupServices {
 public:
  virtual ~TSetupServices() = default;

  // Where a failed save of the job is told; nowhere unless the workspace
  // says.
  virtual TJobSaveReport JobSaveReport() { return {}; }

  // The page list entry shown last (0..9, 0 before the first set-up); the
  // dialog starts there and stores the page it closed on.
  virtual int SetupPage() const = 0;
  virtual void SetSetupPage(int page) = 0;

  // A new session without asking (TfBalancing::NewSession(false)): run after
  // the number of planes was changed.
  virtual void NewSession() = 0;
  // A note in the day's log (the workspace's log window); nowhere unless
  // the workspace says.
  virtual void WriteLogNote(const std::u16string& /*text*/) {}
  // Recomputes and shows the result panel (TfBalancing::RefreshResults).
  virtual void RefreshResults() = 0;
  // After the settings were taken over: the spectrum window, when it exists
  // and is visible, updates its button states, its info panel and its
  // scroll bars; the oscilloscope, when it exists and is visible, its
  // read-out and its scroll bar.
  virtual void RefreshViews() = 0;
};
