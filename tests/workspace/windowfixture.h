#pragma once
// The workspace window on the offscreen platform over a core of its own, a
// fresh data folder and an instant capture clock. A suite prepares the core
// before the window opens (PrepareCore) and checks what closing left behind
// (WindowClosed).

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "capturethreads.h"
#include "datafolder.h"
#include "formbalancing.h"
#include "instantclock.h"
#include "serveuntil.h"
#include "zelto.h"

class WorkspaceWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Folder = testsupport::MakeDataFolder("zelto-window");
    ASSERT_FALSE(Folder.empty());
    SetCaptureClock(&Clock);
    StartProgram();
  }

  void TearDown() override {
    StopCaptureAndWait();
    StopProgram();
    SetCaptureClock(nullptr);
    testsupport::RemoveDataFolder(Folder);
  }

  virtual void PrepareCore() {}
  virtual void WindowClosed() {}

  // A program start: a new core object and a new window.
  void StartProgram() {
    Core = std::make_unique<TZelto>();
    TheCore = Core.get();
    PrepareCore();
    Window = new TfBalancing(nullptr);
    Window->Show();
  }
  void StopProgram() {
    delete Window;
    Window = nullptr;
    WindowClosed();
    Core.reset();
    TheCore = nullptr;
  }

  // Serves Synchronize until the capture thread's end hand-over has run.
  bool ServeUntilIdle() {
    return testsupport::ServeUntil([this] { return !BalThread && !Core->Measuring; });
  }

  std::string Folder;
  std::unique_ptr<TZelto> Core;
  testsupport::TInstantClock Clock;
  TfBalancing* Window = nullptr;
};
