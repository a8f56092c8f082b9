#pragma once
// Fixture of the view window suites: a core with driver item tables bound
// to test functions (no library), a recorded workspace behind the views'
// interface, a balancing run with a sine on each channel, and helpers that
// serve the spectrum thread's hand-overs and read PDF output back.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "answerhook.h"
#include "capturethreads.h"
#include "driveritems.h"
#include "form.h"
#include "popupmenu.h"
#include "viewworkspace.h"
#include "zelto.h"

namespace viewstest {

// The driver's item tables of the tests: sampling rates, input ranges, full
// scale.
using testsupport::Clocks;
using testsupport::FullScale;
using testsupport::Gains;

class TRecordingWorkspace : public TViewWorkspace {
 public:
  explicit TRecordingWorkspace(TZelto& core);
  ~TRecordingWorkspace() override;

  gui::TForm* WorkspaceForm() override { return Form; }
  void SetAsyncMode(bool on) override;
  void StartStopAsync() override { Calls.push_back("StartStopAsync"); }
  void RefreshResults() override { Calls.push_back("RefreshResults"); }
  bool SaveSession() override {
    Calls.push_back("SaveSession");
    return true;
  }
  void SetupCommand() override { Calls.push_back("Setup"); }
  void SpectrumCommand() override { Calls.push_back("Spectrum"); }
  void OscilloscopeCommand() override { Calls.push_back("Oscilloscope"); }
  void AmplitudeUnitCommand(gui::TControl*) override { Calls.push_back("AmplitudeUnit"); }
  bool ExecutePrintDialog(gui::TForm* owner) override;
  std::u16string CurrentOperationCaption() override { return u"Initial run"; }
  TViewStatusLine StatusLine() override { return Status; }
  void ShowErrorText(const std::u16string& text, gui::TColor colour) override;
  void ShowErrorLamp(TViewLamp lamp) override;
  void ShowNoError() override;
  void StopCaptureAndWait() override {
    Calls.push_back("StopCaptureAndWait");
    ::StopCaptureAndWait();
  }

  void WriteLogNote(const std::u16string& text) override { LogNotes.push_back(text); }

  bool Has(const std::string& call) const;

  TZelto& Core;
  gui::TForm* Form = nullptr;
  TViewStatusLine Status;
  std::vector<std::string> Calls;
  std::vector<std::u16string> LogNotes;
};

class ViewWindows : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A sine of `cycles` periods over the record and `amplitude` counts.
  static std::vector<int32_t> Sine(int32_t length, double cycles, double amplitude);
  // Serves hand-overs of worker threads until the condition holds (at most
  // twenty seconds, times a sanitizer's slowdown); false on time-out.
  static bool ServeUntil(const std::function<bool()>& condition);
  // Changes what a spectrum thread reads (the mode, the spectrum's settings,
  // the spectra) as the program does: the computation under way stopped,
  // under the signals' lock. A closed window's thread may still run.
  void ChangeSignals(const std::function<void()>& change);
  std::string TempFile(const std::string& name) const;

  std::unique_ptr<TZelto> Core;
  std::unique_ptr<TRecordingWorkspace> Workspace;
  std::string Folder;
};

// Answers the next popup menu with `choice` and keeps a copy of its items
// (the menu itself lives only while it is asked).
void ExpectMenu(gui::TAnswerScript& script, int choice, std::vector<gui::TMenuItemInfo>& items);

// The text pdftotext reads from a file, and what pdfinfo says.
std::string PdfText(const std::string& path);
std::string PdfInfo(const std::string& path);

}  // namespace viewstest
