#pragma once
// Fixture of the pipeline suites: a core with its own data folder, the fake
// driver library, a clock that only counts, and windows that record what
// the threads hand them.

#include "captureclock.h"
#include "fakesartel.h"
#include "workspaceservices.h"
#include "zelto.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Sleeps return at once; the time they would have taken is added up.
class TFakeClock : public TCaptureClock {
 public:
  void Sleep(uint32_t ms) override;
  uint32_t GetTickCount() override { return static_cast<uint32_t>(Now.load()); }
  std::vector<uint32_t> Sleeps();
  std::atomic<uint64_t> Now{1000};

 private:
  std::mutex Lock;
  std::vector<uint32_t> FSleeps;
};

// All calls run on the user-interface thread (through Synchronize), so the
// record needs no lock.
class TRecordingWorkspace : public TBalancingServices {
 public:
  void RefreshResults() override;
  void SyncMeasurementDone() override;
  void AsyncMeasurementDone() override;
  void ShowAcquisitionState(uint8_t state) override {
    States.push_back(state);
    if (OnState) OnState(state);
  }
  void ShowSamplingProgress(const std::string& caption) override { Progress.push_back(caption); }
  void UpdateOperationStatus() override { Calls.push_back("UpdateOperationStatus"); }
  void UpdateParamCaptions() override { Calls.push_back("UpdateParamCaptions"); }
  void ShowNoError() override { Calls.push_back("ShowNoError"); }
  void ShowNoSpeedSignal() override { Calls.push_back("ShowNoSpeedSignal"); }
  void LogSpeedSignal(bool lost) override { Calls.push_back(lost ? "LogSpeedLost" : "LogSpeedBack"); }

  std::vector<std::string> Calls;
  std::vector<uint8_t> States;
  std::vector<std::string> Progress;
  int Refreshes = 0, Ends = 0;
  uint8_t ErrorAtEnd = 0;
  std::u16string ErrorTextAtEnd;
  std::function<void()> OnRefresh;  // runs inside RefreshResults
  std::function<void(uint8_t)> OnState;  // runs inside ShowAcquisitionState
};

class TRecordingTimeGraph : public TTimeGraphServices {
 public:
  void MirrorStatus() override { Calls.push_back("MirrorStatus"); }
  void RefreshGraph() override { Calls.push_back("RefreshGraph"); }
  void RefreshReadout() override { Calls.push_back("RefreshReadout"); }
  std::vector<std::string> Calls;
};

class TRecordingSpectrumView : public TSpectrumViewServices {
 public:
  void MirrorStatus() override { Calls.push_back("MirrorStatus"); }
  void PlotSpectrum(bool) override { ++Plots; Calls.push_back("PlotSpectrum"); }
  void RefreshInfoPanel() override { Calls.push_back("RefreshInfoPanel"); }
  std::vector<std::string> Calls;
  std::atomic<int> Plots{0};
};

class TRecordingDebug : public TDebugServices {
 public:
  void Update() override { ++Updates; }
  int Updates = 0;
};

class PipelineTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Loads the fake library from the program folder (or a variant subfolder).
  TFakeSartel& LoadFake(const std::u16string& subfolder = u"");
  // Serves Synchronize until done() holds; fails the test after 20 s.
  bool ServeUntil(const std::function<bool()>& done);
  // Zeroed run buffers of BuffLength samples for the current run.
  void AllocateRun(int32_t run);

  std::unique_ptr<TZelto> Core;
  TFakeSartel* Fake = nullptr;
  TFakeClock Clock;
  TRecordingWorkspace Workspace;
  TRecordingTimeGraph TimeGraph;
  TRecordingSpectrumView SpectrumView;
  TRecordingDebug Debug;

 private:
  std::string DataFolder;
};
