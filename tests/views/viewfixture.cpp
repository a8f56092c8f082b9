#include "commandoutput.h"
#include "viewfixture.h"

#include <stdlib.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "application.h"
#include "dialogs.h"
#include "formatting.h"
#include "sanitizerslowdown.h"
#include "synchronize.h"
#include "viewwindows.h"

namespace viewstest {

namespace {

std::string Run(const std::string& command) { return testsupport::CommandOutput(command); }

}  // namespace

TRecordingWorkspace::TRecordingWorkspace(TZelto& core) : Core(core) {
  Form = new gui::TForm(nullptr);
  Form->SetName("fBalancing");
  Status.StatusText = u"Idle";
  Status.ErrorText = u"No error";
}

TRecordingWorkspace::~TRecordingWorkspace() {
  DestroyViews();
  delete Form;
}

// As the workspace's own command: a spectrum thread reads the mode.
void TRecordingWorkspace::SetAsyncMode(bool on) {
  Calls.push_back(on ? "SetAsyncMode(1)" : "SetAsyncMode(0)");
  if (Core.Measuring) return;
  const auto lock = Core.LockSignalsForWriting();
  Core.AsyncMode = on ? 1 : 0;
}

bool TRecordingWorkspace::ExecutePrintDialog(gui::TForm* owner) {
  Calls.push_back("PrintDialog");
  gui::TPrintDialog dialog(nullptr);
  return dialog.Execute(owner);
}

void TRecordingWorkspace::ShowErrorText(const std::u16string& text, gui::TColor colour) {
  Calls.push_back("ShowErrorText");
  Status.ErrorText = text;
  Status.ErrorColor = colour;
}

void TRecordingWorkspace::ShowErrorLamp(TViewLamp lamp) {
  Calls.push_back(lamp == vlYellow ? "Lamp(yellow)" : "Lamp(off)");
}

void TRecordingWorkspace::ShowNoError() {
  Calls.push_back("ShowNoError");
  Status.ErrorText = u"No error";
}

bool TRecordingWorkspace::Has(const std::string& call) const {
  for (const std::string& c : Calls)
    if (c == call) return true;
  return false;
}

void ViewWindows::SetUp() {
  std::string pattern = (std::filesystem::temp_directory_path() / "viewwindows-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  Folder = pattern;
  DecimalSeparator = u',';
  Core = std::make_unique<TZelto>();
  TheCore = Core.get();
  testsupport::BindDriverItems(*Core);
  Core->RamSize = 16384;
  Core->BuffLength = 4096;
  Core->SamplingRate = 4;  // 10 kHz
  Core->GainA = Core->GainB = 0;
  Core->Type = 1;
  Core->AmplDisplayMode = admVoltage;
  Core->AmplDispModeOscmV = 1;
  for (SensorInfo* s : {&Core->VibSensorA, &Core->VibSensorB}) {
    s->Sensitivity = 100;
    s->Type = stAcceleration;
    s->InputGain = 1.0;
  }
  CaptureRecord& run = Core->Captures[0];
  run.DataA = Sine(4096, 100, 10000);
  run.DataB = Sine(4096, 50, 5000);
  run.T = 10;
  run.Start = 0;
  run.End = 4096;
  Workspace = std::make_unique<TRecordingWorkspace>(*Core);
}

void ViewWindows::TearDown() {
  Workspace.reset();
  TheCore = nullptr;
  Core.reset();
  std::error_code error;
  std::filesystem::remove_all(Folder, error);
}

std::vector<int32_t> ViewWindows::Sine(int32_t length, double cycles, double amplitude) {
  std::vector<int32_t> s(static_cast<size_t>(length));
  for (int32_t i = 0; i < length; ++i)
    s[static_cast<size_t>(i)] = static_cast<int32_t>(std::lround(amplitude * std::sin(2 * M_PI * cycles * i / length)));
  return s;
}

bool ViewWindows::ServeUntil(const std::function<bool()>& condition) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20 * testsupport::kSanitizerSlowdown);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    gui::Application->ProcessMessages();
    rtl::CheckSynchronize(10);
  }
  return true;
}

void ViewWindows::ChangeSignals(const std::function<void()>& change) {
  const auto lock = Core->LockSignalsForWriting();
  change();
}

std::string ViewWindows::TempFile(const std::string& name) const { return Folder + "/" + name; }

void ExpectMenu(gui::TAnswerScript& script, int choice, std::vector<gui::TMenuItemInfo>& items) {
  script.ExpectAction(gui::dkPopupMenu, [&items, choice](const gui::TDialogRequest& r) {
    items = r.Menu->Items();
    return std::optional<gui::TDialogAnswer>(gui::TDialogAnswer{choice, {}});
  });
}

std::string PdfText(const std::string& path) { return Run("pdftotext -layout '" + path + "' -"); }
std::string PdfInfo(const std::string& path) { return Run("pdfinfo '" + path + "'"); }

}  // namespace viewstest
