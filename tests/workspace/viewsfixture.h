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
#include "capturethreads.h"
#include "driveritems.h"
#include "formbalancing.h"
#include "formfftgraph.h"
#include "formmessage.h"
#include "formtimegraph.h"
#include "languageservice.h"
#include "serveuntil.h"
#include "windowfixture.h"
#include "zelto.h"

namespace viewstest {

inline std::u16string Forms(std::u16string_view key) { return LangText({u"Forms", key}).Text; }

// A sine of `cycles` periods over the record, `amplitude` counts.
inline std::vector<int32_t> Sine(int32_t length, double cycles, double amplitude) {
  std::vector<int32_t> s(static_cast<size_t>(length));
  for (int32_t i = 0; i < length; ++i)
    s[static_cast<size_t>(i)] = static_cast<int32_t>(std::lround(amplitude * std::sin(2 * M_PI * cycles * i / length)));
  return s;
}

// The set-up's question before a change deletes the measured runs `names`
// ("Run 1, Trim run 2").
inline std::u16string SetupClearingQuestion(const std::u16string& names) {
  return Forms(u"SetupClearsRuns") + u"\n" + names + u"\n" + Forms(u"SetupClearsRunsAsk");
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

class WorkspaceViews : public WorkspaceWindowTest {
 protected:
  void PrepareCore() override {
    testsupport::BindDriverItems(*Core);
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
  }

  void WindowClosed() override {
    EXPECT_EQ(fTimeGraph, nullptr);
    EXPECT_EQ(fFFTGraph, nullptr);
  }

  // Serves Synchronize until the condition holds (at most 20 s, stretched by
  // a sanitizer's slowdown).
  static bool ServeUntil(const std::function<bool()>& condition) { return testsupport::ServeUntil(condition); }

  // Also waits for the oscilloscope's capture thread.
  bool ServeUntilIdle() {
    return ServeUntil([this] { return !BalThread && !VibThread && !Core->Measuring; });
  }

  void Key(gui::TVirtualKey key, gui::TShiftState shift = {}) { Window->FormKeyDown(Window, key, shift); }
};

}  // namespace viewstest
