// The end of the start-up (restoring the last session) and the shutdown
// order, also while a capture runs.

#include <filesystem>
#include <fstream>

#include "capturethreads.h"
#include "instantclock.h"
#include "pathbinding.h"
#include "startupfixture.h"
#include "workspaceservices.h"
#include "zelto.h"

namespace {

using testsupport::TInstantClock;

// The workspace's end hand-over, recorded into the host's events.
class TEndRecorder : public TBalancingServices {
 public:
  explicit TEndRecorder(TRecordingHost& host) : Host(host) {}
  void RefreshResults() override { ++Refreshes; }
  void SyncMeasurementDone() override { Host.Events.push_back(TheCore ? "capture end" : "capture end without core"); }
  void AsyncMeasurementDone() override {}
  void ShowAcquisitionState(uint8_t) override {}
  void ShowSamplingProgress(const std::string&) override {}
  void UpdateOperationStatus() override {}
  void UpdateParamCaptions() override {}
  void ShowNoError() override {}
  TRecordingHost& Host;
  std::atomic<int> Refreshes{0};
};

class ShutdownTest : public StartupTest {
 protected:
  void StartInDemo() {
    CreateCore();
    Fake->ListedIndices.clear();
    ASSERT_TRUE(RunHardwareSteps());
  }
  std::filesystem::path DataFile(const char* name) const {
    return std::filesystem::path(DataFolder) / "Orvanteq/Kalvenor" / name;
  }
};

}  // namespace

TEST_F(ShutdownTest, RestoredSessionKeepsItsStep) {
  StartInDemo();
  TheCore->Results[7].Freq = 25;
  TheCore->BalancingStep = 7;
  TheCore->HighestStep = 9;
  ASSERT_EQ(TheCore->SaveSession(), 0);
  TheCore->ClearMeasurements();
  Host.Events.clear();
  Startup->FinishStart(Texts, {"-DeBuG"});
  EXPECT_EQ(Host.Events, (std::vector<std::string>{"step 5", "debug", "log 0", "workspace 7"}));
  EXPECT_EQ(Host.Results[5], u"Started");
  EXPECT_EQ(TheCore->BalancingStep, 7);
  EXPECT_EQ(TheCore->HighestStep, 9);
  EXPECT_TRUE(Host.MessageErrors.empty());
  EXPECT_TRUE(Startup->Started());
}

// The very first start has no session to restore, and that is no error:
// nothing is said.
TEST_F(ShutdownTest, TheVeryFirstStartRestoresNothingAndSaysNothing) {
  StartInDemo();
  ASSERT_FALSE(std::filesystem::exists(DataFile("!session.daqsession")));
  Host.Events.clear();
  Startup->FinishStart(Texts, {});
  EXPECT_TRUE(Host.MessageErrors.empty());
  EXPECT_EQ(Host.Events, (std::vector<std::string>{"step 5", "log 0", "workspace 0"}));
  EXPECT_TRUE(Startup->Started());
}

TEST_F(ShutdownTest, UnreadableSessionClearsTheRunsAndSaysSo) {
  StartInDemo();
  {
    std::ofstream damaged(DataFile("!session.daqsession"), std::ios::binary);
    damaged << "not a session";
  }
  TheCore->BalancingStep = 4;
  TheCore->Results[2].Freq = 30;
  Host.Events.clear();
  Startup->FinishStart(Texts, {"debug"});
  EXPECT_EQ(Host.MessageErrors, std::vector<std::u16string>{u"Last session not restored. File error."});
  EXPECT_EQ(TheCore->BalancingStep, 0);
  EXPECT_EQ(TheCore->Results[2].Freq, 0.0);
  EXPECT_EQ(Host.Events, (std::vector<std::string>{"step 5", "log 0", "workspace 0"}));
}

// Language, log entry, session, configuration, driver, core, path functions.
TEST_F(ShutdownTest, ShutdownRunsInItsFixedOrder) {
  StartInDemo();
  Startup->FinishStart(Texts, {});
  std::filesystem::remove(DataFile("!session.daqsession"));
  Host.Events.clear();
  Fake->Calls.clear();
  bool sessionBeforeLog = true, configBeforeLog = true;
  Host.OnLog = [&](uint8_t) {
    sessionBeforeLog = std::filesystem::exists(DataFile("!session.daqsession"));
    configBeforeLog = std::filesystem::exists(DataFile("Kalvenor.ini"));
  };
  Startup->Shutdown();
  EXPECT_FALSE(sessionBeforeLog);
  EXPECT_FALSE(configBeforeLog);
  EXPECT_EQ(Host.Events, (std::vector<std::string>{"close language", "log 1"}));
  ASSERT_TRUE(std::filesystem::exists(DataFile("!session.daqsession")));
  ASSERT_TRUE(std::filesystem::exists(DataFile("Kalvenor.ini")));
  EXPECT_LE(std::filesystem::last_write_time(DataFile("!session.daqsession")),
            std::filesystem::last_write_time(DataFile("Kalvenor.ini")));
  EXPECT_EQ(Fake->Calls, (std::vector<std::string>{"_FreeDevice", "_FreeDriver"}));
  EXPECT_EQ(TheCore, nullptr);
  EXPECT_FALSE(ShlwapiLoaded());
  EXPECT_FALSE(Startup->Started());
}

TEST_F(ShutdownTest, CloseDuringACaptureStopsItBeforeFreeingAnything) {
  TInstantClock clock;
  SetCaptureClock(&clock);
  TEndRecorder workspace(Host);
  WindowServices().Balancing = &workspace;
  StartInDemo();
  Startup->FinishStart(Texts, {});
  Host.Events.clear();
  ASSERT_TRUE(StartBalancingCapture(*TheCore));
  Startup->Shutdown();
  EXPECT_EQ(BalThread, nullptr);
  EXPECT_EQ(Host.Events, (std::vector<std::string>{"capture end", "close language", "log 1"}));
  EXPECT_EQ(TheCore, nullptr);
  WindowServices().Balancing = nullptr;
  SetCaptureClock(nullptr);
}
