// The application object's life cycle; each test has an application of its
// own, so this suite has its own program (no shared application).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <thread>

#include "answerhook.h"
#include "application.h"
#include "dialogs.h"
#include "events.h"
#include "form.h"
#include "sanitizerslowdown.h"
#include "synchronize.h"
#include "timer.h"

namespace gui {
namespace {

struct ApplicationTest : testing::Test {
  int Argc = 3;
  char Arg0[16] = "zelto";
  char Arg1[16] = "-DEBUG";
  char Arg2[16] = "other";
  char* Argv[4] = {Arg0, Arg1, Arg2, nullptr};
};

TEST_F(ApplicationTest, WorkerSynchronizeRunsInTheMessageLoop) {
  TApplication app(Argc, Argv);
  TForm* main = new TForm(&app);
  std::thread::id ranOn;
  std::atomic<bool> returned{false};
  std::thread worker([&] {
    rtl::Synchronize([&] {
      ranOn = std::this_thread::get_id();
      app.Terminate();
    });
    returned = true;
  });
  app.Run();
  worker.join();
  EXPECT_EQ(ranOn, std::this_thread::get_id());
  EXPECT_TRUE(returned);
  EXPECT_TRUE(app.Terminated());
  EXPECT_EQ(app.MainForm(), main);
}

TEST_F(ApplicationTest, SynchronizeIsServedWhileAModalFormWaits) {
  TApplication app(Argc, Argv);
  new TForm(&app);
  TForm dialog(nullptr);
  std::thread worker;
  TAnswerScript script;
  script.ExpectAction(dkModalForm, [&](const TDialogRequest&) {
    worker = std::thread([&] { rtl::Synchronize([&] { dialog.SetModalResult(mrYes); }); });
    return std::optional<TDialogAnswer>();
  });
  EXPECT_EQ(dialog.ShowModal(), mrYes);
  worker.join();
}

TEST_F(ApplicationTest, ClosingTheHiddenMainFormEndsTheProgramOtherWindowsDoNot) {
  TApplication app(Argc, Argv);
  TForm* main = new TForm(&app);  // first created: the main form, never shown
  app.SetShowMainForm(false);
  TForm* other = new TForm(&app);
  other->Show();
  int step = 0;
  TTimer timer(&app);
  timer.SetInterval(20);
  timer.OnTimer = [&](TComponent*) {
    if (++step == 1) {
      other->Close();  // the last visible window
    } else {
      EXPECT_FALSE(app.Terminated());
      main->Close();
    }
  };
  app.Run();
  EXPECT_EQ(step, 2);
  EXPECT_TRUE(app.Terminated());
  EXPECT_FALSE(other->Visible());
  EXPECT_FALSE(main->Visible());
}

TEST_F(ApplicationTest, RunShowsTheMainFormBeforeTheFirstIdleMoment) {
  TApplication app(Argc, Argv);
  TForm* main = new TForm(&app);
  bool shownWhenIdle = false;
  app.OnIdle = [&](TComponent*, bool&) {
    shownWhenIdle = main->Visible();
    app.OnIdle = nullptr;
    main->Hide();
    main->Close();  // closing the main form, even hidden, ends the loop
  };
  app.Run();
  EXPECT_TRUE(shownWhenIdle);
  EXPECT_TRUE(app.Terminated());
}

TEST_F(ApplicationTest, IdleHookRunsAtTheFirstIdleMomentAndCanRemoveItself) {
  TApplication app(Argc, Argv);
  new TForm(&app);
  int idles = 0;
  bool queuedFirst = false;
  TApplication::Queue([&] { queuedFirst = idles == 0; });
  app.OnIdle = [&](TComponent*, bool&) {
    ++idles;
    app.OnIdle = nullptr;
    TApplication::Queue([&] { app.Terminate(); });
  };
  app.Run();
  EXPECT_EQ(idles, 1);
  EXPECT_TRUE(queuedFirst);
}

TEST_F(ApplicationTest, ExceptionLeavingAHandlerIsShownAndTheLoopGoesOn) {
  TApplication app(Argc, Argv);
  app.SetTitle(u"Zelto");
  new TForm(&app);
  TAnswerScript script;
  script.Expect(dkMessageBox, IDOK);
  int ticks = 0;
  TTimer timer(&app);
  timer.SetInterval(10);
  timer.OnTimer = [&](TComponent*) {
    if (++ticks == 1) throw std::runtime_error("'x' is not a valid floating point value");
    app.Terminate();
  };
  app.Run();
  EXPECT_EQ(ticks, 2);
  ASSERT_EQ(script.Requests().size(), 1u);
  EXPECT_EQ(script.Requests()[0].Text, u"'x' is not a valid floating point value");
  EXPECT_EQ(script.Requests()[0].Title, u"Zelto");
  EXPECT_EQ(script.Requests()[0].Flags, MB_OK | MB_ICONERROR);
}

// A worker's wake-up is under way, held inside the hook on a gate, when the
// program ends: the application is destroyed only once the hook has
// returned, so the hook still finds it. Once let through, the hook gives a
// destruction that does not wait for it every chance to overtake it: it
// waits up to a limit for the application to be gone, which with the
// destruction waiting for the hook never happens meanwhile.
TEST_F(ApplicationTest, TheApplicationGoesOnlyAfterAWakeUpUnderWay) {
  auto app = std::make_unique<TApplication>(Argc, Argv);
  rtl::TEvent entered(true, false), gate(true, false);
  std::atomic<bool> destroyed{false}, applicationThere{false};
  rtl::SetSynchronizeWakeHook([&] {
    entered.SetEvent();
    gate.WaitFor(rtl::INFINITE_WAIT);
    const auto limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(500) * testsupport::kSanitizerSlowdown;
    while (!destroyed && std::chrono::steady_clock::now() < limit)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    applicationThere = Application != nullptr;
  });
  std::atomic<bool> served{false};
  std::thread worker([&] { rtl::Synchronize([&] { served = true; }); });
  ASSERT_EQ(entered.WaitFor(rtl::INFINITE_WAIT), rtl::TWaitResult::Signaled);
  gate.SetEvent();
  app.reset();
  destroyed = true;
  while (!served) rtl::CheckSynchronize(10);
  worker.join();
  EXPECT_TRUE(applicationThere);
  EXPECT_EQ(Application, nullptr);
}

TEST_F(ApplicationTest, ParametersAndProcessMessages) {
  TApplication app(Argc, Argv);
  EXPECT_EQ(app.ParamCount(), 2);
  EXPECT_EQ(app.ParamStr(1), "-DEBUG");
  EXPECT_EQ(app.ParamStr(3), "");
  bool ran = false;
  TApplication::Queue([&] { ran = true; });
  app.ProcessMessages();
  EXPECT_TRUE(ran);
  app.Terminate();
  app.Run();  // returns at once after Terminate
}

}  // namespace
}  // namespace gui

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
