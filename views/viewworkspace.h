#pragma once
// What the signal views need of the balancing workspace. The workspace
// implements this interface and hands it to the view windows when it creates
// them (ShowTimeGraph, ShowFFTGraph); the views never include the
// workspace's own headers. Everything runs on the user-interface thread.

#include <string>

#include "bitmap.h"
#include "color.h"

namespace gui {
class TControl;
class TForm;
}  // namespace gui

// The workspace's status line as the views mirror it.
struct TViewStatusLine {
  std::u16string StatusText;
  gui::TBitmap StatusLamp;
  std::u16string ErrorText;
  gui::TColor ErrorColor = 0;
  gui::TBitmap ErrorLamp;
};

// The two lamp pictures the spectrum window blinks while a DFT runs.
enum TViewLamp : uint8_t { vlOff, vlYellow };

class TViewWorkspace {
 public:
  virtual ~TViewWorkspace() = default;

  // The balancing window: the views' owner, brought to the front by the
  // views' Balancing command.
  virtual gui::TForm* WorkspaceForm() = 0;

  // The run control: switch to or from asynchronous mode (nothing while a
  // capture runs), start or stop the free-running capture, recompute the
  // result panel.
  virtual void SetAsyncMode(bool on) = 0;
  virtual void StartStopAsync() = 0;
  virtual void RefreshResults() = 0;
  // The automatic save of the job, as after every command: a failure is
  // told and marks the job unsaved as every save's does; true when saved.
  virtual bool SaveSession() = 0;

  // The workspace's commands the views' buttons reach: the set-up dialog,
  // the spectrum and oscilloscope windows, and the amplitude-unit popup
  // opened below `below`.
  virtual void SetupCommand() = 0;
  virtual void SpectrumCommand() = 0;
  virtual void OscilloscopeCommand() = 0;
  virtual void AmplitudeUnitCommand(gui::TControl* below) = 0;

  // The report's print dialog (pdReport); false when cancelled.
  virtual bool ExecutePrintDialog(gui::TForm* owner) = 0;
  // The caption of leCurrentOperation: the title of a printed page outside
  // asynchronous mode.
  virtual std::u16string CurrentOperationCaption() = 0;

  // The status line the views mirror (MirrorStatus).
  virtual TViewStatusLine StatusLine() = 0;
  // The workspace's own error line: a text in a colour, and its lamp. The
  // views mirror them afterwards.
  virtual void ShowErrorText(const std::u16string& text, gui::TColor colour) = 0;
  virtual void ShowErrorLamp(TViewLamp lamp) = 0;
  // The "NoError" text in WorkText2 with the dark lamp, in the workspace's
  // error line and the error lines of the existing views.
  virtual void ShowNoError() = 0;
  // Stops the capture and waits for its end, for a bounded time, while the
  // windows repaint and show that it is stopping (StopCaptureAndWait).
  virtual void StopCaptureAndWait() = 0;
  // A line of the given text in the day's log.
  virtual void WriteLogNote(const std::u16string& text) = 0;
};
