#pragma once
// The workspace with its signal views on the offscreen platform: a core in
// demo mode with driver item tables bound to test functions, an instant
// capture clock, and the helpers that serve the capture threads'
// hand-overs. The suite's main (viewcommands_test.cpp) opens the English
// language file.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "answerhook.h"
#include "application.h"
#include "captureclock.h"
#include "capturethreads.h"
#include "formbalancing.h"
#include "formfftgraph.h"
#include "formmessage.h"
#include "formtimegraph.h"
#include "languageservice.h"
#include "synchronize.h"
#include "zelto.h"

namespace viewstest {

// Sleeps of the demo capture return at once.
class TInstantClock : public TCaptureClock {
 public:
  void Sleep(uint32_t ms) override { Now += ms; }
  uint32_t GetTickCount() override { return Now; }
  std::atomic<uint32_t> Now{0};
};

inline const std::vector<int32_t> Clocks{200000, 100000, 50000, 20000, 10000, 5000, 2000, 1000, 500, 200, 100, 50, 20};
inline const std::vector<int32_t> Gains{2500, 1000, 500};

inline int32_t Item(const std::vector<int32_t>& table, int32_t selector) {
  const int32_t i = selector - SARTEL_SELECT_ENTRY;
  if (selector == 0x100) return static_cast<int32_t>(table.size());
  return i >= 0 && i < static_cast<int32_t>(table.size()) ? table[static_cast<size_t>(i)] : 0;
}
inline int32_t ClockItems(int32_t selector) { return Item(Clocks, selector); }
inline int32_t GainItems(int32_t selector) { return Item(Gains, selector); }
inline int32_t ConfigItems(int32_t selector) { return selector == SARTEL_SELECT_ENTRY ? 32768 : 0; }
// Stands for the loaded library: the item queries need a module.
inline int DriverModuleStandIn = 0;

inline std::u16string Forms(std::u16string_view key) { return LangText({u"Forms", key}).Text; }

// A sine of `cycles` periods over the record, `amplitude` counts.
inline std::vector<int32_t> Sine(int32_t length, double cycles, double amplitude) {
  std::vector<int32_t> s(static_cast<size_t>(length));
  for (int32_t i = 0; i < length; ++i)
    s[static_cast<size_t>(i)] = static_cast<int32_t>(std::lround(amplitude * std::sin(2 * M_PI * cycles * i / length)));
  return s;
}

// Answers the exit question by its button: Yes is the left one, No the right.
inline gui::TAnswerScript::TAction ExitAnswer(bool yes) {
  return [yes](const gui::TDialogRequest& r) {
    auto* box = dynamic_cast<TfMessage*>(r.Form);
    EXPECT_TRUE(box && box->Kind == mkQuestion && box->MessageText == Forms(u"ExitMessage"));
    if (box) (yes ? box->bButton2 : box->bButton1)->Click();
    return std::optional<gui::TDialogAnswer>();
  };
}

class WorkspaceViews : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "zelto-views-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    Folder = pattern;
    setenv("XDG_DATA_HOME", Folder.c_str(), 1);
    Core = std::make_unique<TZelto>();
    TheCore = Core.get();
    Core->DriverModule = &DriverModuleStandIn;
    Core->DriverApi.GetClockItems = &ClockItems;
    Core->DriverApi.GetGainItems = &GainItems;
    Core->DriverApi.GetConfigItems = &ConfigItems;
    Core->DeviceReady = 0;
    Core->RamSize = 16384;
    Core->BuffLength = 4096;
    Core->SamplingRate = 4;
    Core->Type = 1;
    for (SensorInfo* s : {&Core->VibSensorA, &Core->VibSensorB}) {
      s->Sensitivity = 100;
      s->Type = stAcceleration;
      s->InputGain = 1.0;
    }
    SetCaptureClock(&Clock);
    Window = new TfBalancing(nullptr);
    Window->Show();
  }

  void TearDown() override {
    StopCaptureAndWait();
    delete Window;
    EXPECT_EQ(fTimeGraph, nullptr);
    EXPECT_EQ(fFFTGraph, nullptr);
    SetCaptureClock(nullptr);
    Core.reset();
    TheCore = nullptr;
    std::error_code ignored;
    std::filesystem::remove_all(Folder, ignored);
  }

  // Serves Synchronize until the condition holds (at most 20 s).
  static bool ServeUntil(const std::function<bool()>& condition) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!condition()) {
      if (std::chrono::steady_clock::now() > limit) return false;
      rtl::CheckSynchronize(5);
    }
    return true;
  }

  bool ServeUntilIdle() {
    return ServeUntil([this] { return !BalThread && !VibThread && !Core->Measuring; });
  }

  void Key(gui::TVirtualKey key, gui::TShiftState shift = {}) { Window->FormKeyDown(Window, key, shift); }

  std::string Folder;
  std::unique_ptr<TZelto> Core;
  TInstantClock Clock;
  TfBalancing* Window = nullptr;
};

}  // namespace viewstest
