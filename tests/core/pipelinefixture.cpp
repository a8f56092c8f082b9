#include "pipelinefixture.h"
#include "sanitizerslowdown.h"

#include "capturethreads.h"
#include "dynlib.h"
#include "synchronize.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>

void TFakeClock::Sleep(uint32_t ms) {
  std::lock_guard<std::mutex> guard(Lock);
  FSleeps.push_back(ms);
  Now += ms;
}

std::vector<uint32_t> TFakeClock::Sleeps() {
  std::lock_guard<std::mutex> guard(Lock);
  return FSleeps;
}

void TRecordingWorkspace::RefreshResults() {
  ++Refreshes;
  Calls.push_back("RefreshResults");
  if (OnRefresh) OnRefresh();
}

void TRecordingWorkspace::SyncMeasurementDone() {
  ++Ends;
  Calls.push_back("SyncMeasurementDone");
  ErrorAtEnd = TheCore ? TheCore->CaptureError.load() : 0;
  if (TheCore) ErrorTextAtEnd = TextOf(TheCore->LastErrorText);
}

void TRecordingWorkspace::AsyncMeasurementDone() {
  ++Ends;
  Calls.push_back("AsyncMeasurementDone");
  ErrorAtEnd = TheCore ? TheCore->CaptureError.load() : 0;
}

void PipelineTest::SetUp() {
  namespace fs = std::filesystem;
  std::string templ = (fs::temp_directory_path() / "zelto-pipeline-XXXXXX").string();
  DataFolder = mkdtemp(templ.data());
  setenv("XDG_DATA_HOME", DataFolder.c_str(), 1);
  Core = std::make_unique<TZelto>();
  TheCore = Core.get();
  SetCaptureClock(&Clock);
  TWindowServices& windows = WindowServices();
  windows.Balancing = &Workspace;
  windows.TimeGraph = &TimeGraph;
  windows.SpectrumView = &SpectrumView;
  windows.Debug = &Debug;
}

void PipelineTest::TearDown() {
  StopCaptureAndWait();
  TWindowServices& windows = WindowServices();
  windows.Balancing = nullptr;
  windows.TimeGraph = nullptr;
  windows.SpectrumView = nullptr;
  windows.Debug = nullptr;
  SetCaptureClock(nullptr);
  Core->UnloadDriver();
  Core.reset();
  TheCore = nullptr;
  std::error_code ec;
  std::filesystem::remove_all(DataFolder, ec);
}

TFakeSartel& PipelineTest::LoadFake(const std::u16string& subfolder) {
  if (!subfolder.empty()) Core->DriverFolder = Core->ProgramDir + subfolder;
  EXPECT_TRUE(Core->LoadDriver());
  auto state = reinterpret_cast<TFakeSartel* (*)()>(rtl::FindSymbol(Core->DriverModule, "FakeSartelState"));
  EXPECT_NE(state, nullptr);
  Fake = state ? state() : nullptr;
  return *Fake;
}

bool PipelineTest::ServeUntil(const std::function<bool()>& done) {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20) * testsupport::kSanitizerSlowdown;
  while (!done()) {
    if (std::chrono::steady_clock::now() > limit) {
      ADD_FAILURE() << "timed out";
      return false;
    }
    rtl::CheckSynchronize(5);
  }
  return true;
}

void PipelineTest::AllocateRun(int32_t run) {
  Core->Captures[run].DataA.assign(Core->BuffLength, 0);
  if (Core->Type == 1) Core->Captures[run].DataB.assign(Core->BuffLength, 0);
  // A capture reads into Incoming, as after the start of a capture.
  Core->Incoming.DataA.assign(Core->BuffLength, 0);
  if (Core->Type == 1) Core->Incoming.DataB.assign(Core->BuffLength, 0);
}
