#include "thread.h"
#include "sanitizerslowdown.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <stdexcept>

#include "clock.h"
#include "events.h"

namespace {

// A thread whose Execute is given as a function, for short tests.
class TTestThread : public rtl::TThread {
 public:
  using TBody = std::function<void(TTestThread&)>;

  explicit TTestThread(TBody body, std::atomic<bool>* destroyed = nullptr)
      : rtl::TThread(true), FBody(std::move(body)), FDestroyed(destroyed) {}
  ~TTestThread() override {
    if (FDestroyed) *FDestroyed = true;
  }

  void Sync(std::function<void()> method) { Synchronize(std::move(method)); }

 protected:
  void Execute() override { FBody(*this); }

 private:
  TBody FBody;
  std::atomic<bool>* FDestroyed;
};

// Serves Synchronize until done() or the time limit; true when done().
bool PumpUntil(const std::function<bool()>& done, int limitMs = 5000 * testsupport::kSanitizerSlowdown) {
  const uint64_t start = rtl::GetTickCount64();
  while (!done()) {
    if (rtl::GetTickCount64() - start > static_cast<uint64_t>(limitMs)) return false;
    rtl::CheckSynchronize(10);
  }
  return true;
}

// Records whether a call was queued, through the wake hook.
class TWakeRecorder {
 public:
  TWakeRecorder() {
    rtl::SetSynchronizeWakeHook([this] { FQueued->SetEvent(); });
  }
  ~TWakeRecorder() { rtl::SetSynchronizeWakeHook(nullptr); }
  bool WaitQueued(uint32_t ms) { return FQueued->WaitFor(ms) == rtl::TWaitResult::Signaled; }

 private:
  std::shared_ptr<rtl::TEvent> FQueued = std::make_shared<rtl::TEvent>(false, false);
};

TEST(Thread, WaitForOnMainThreadServesSynchronize) {
  std::atomic<bool> ranOnMain{false};
  TTestThread thread([&](TTestThread& self) {
    self.Sync([&] { ranOnMain = rtl::IsMainThread(); });
    self.ReturnValue = 7;
  });
  thread.Resume();
  EXPECT_EQ(thread.WaitFor(), 7);
  EXPECT_TRUE(ranOnMain);
  EXPECT_TRUE(thread.Finished());
  EXPECT_EQ(thread.WaitFor(), 7) << "a second WaitFor returns at once";
}

TEST(Thread, WorkerBlockedInSynchronizeBeforeWaitForFinishes) {
  TWakeRecorder wake;
  int handedOver = 0;
  TTestThread thread([&](TTestThread& self) {
    for (int i = 1; i <= 3; ++i) self.Sync([&, i] { handedOver += i; });
  });
  thread.Resume();
  ASSERT_TRUE(wake.WaitQueued(5000)) << "the worker never queued its call";
  thread.WaitFor();
  EXPECT_EQ(handedOver, 6);
}

TEST(Thread, SynchronizeRunsAtOnceOnMainThreadAndCheckSynchronizeOnlyThere) {
  bool ran = false;
  rtl::Synchronize([&] { ran = true; });
  EXPECT_TRUE(ran);
  EXPECT_TRUE(rtl::IsMainThread());

  std::atomic<int> offMain{-1};
  TTestThread thread([&](TTestThread&) { offMain = rtl::CheckSynchronize(0) ? 1 : 0; });
  thread.Resume();
  thread.WaitFor();
  EXPECT_EQ(offMain, 0);
}

TEST(Thread, CheckSynchronizeWaitsForACall) {
  TTestThread thread([&](TTestThread& self) {
    rtl::Sleep(50);
    self.Sync([] {});
  });
  thread.Resume();
  // Returns with the call, long before its own limit would end the wait.
  constexpr int limitMs = 100000;
  const uint64_t start = rtl::GetTickCount64();
  EXPECT_TRUE(rtl::CheckSynchronize(limitMs));
  EXPECT_LT(rtl::GetTickCount64() - start, 4000u * testsupport::kSanitizerSlowdown);
  thread.WaitFor();
  EXPECT_FALSE(rtl::CheckSynchronize(0)) << "nothing left to run";
}

TEST(Thread, ExceptionInSynchronizedMethodReachesTheWorker) {
  std::string caught;
  TTestThread thread([&](TTestThread& self) {
    try {
      self.Sync([] { throw std::runtime_error("refused"); });
    } catch (const std::runtime_error& e) {
      caught = e.what();
    }
  });
  thread.Resume();
  thread.WaitFor();
  EXPECT_EQ(caught, "refused");
  EXPECT_EQ(thread.FatalException(), "");
}

TEST(Thread, OnTerminateRunsOnMainThreadAfterExecute) {
  std::atomic<bool> executeDone{false};
  bool onMain = false;
  bool afterExecute = false;
  bool finishedSeen = false;
  TTestThread thread([&](TTestThread&) { executeDone = true; });
  thread.OnTerminate = [&] {
    onMain = rtl::IsMainThread();
    afterExecute = executeDone;
    finishedSeen = thread.Finished();
  };
  thread.Resume();
  thread.WaitFor();
  EXPECT_TRUE(onMain);
  EXPECT_TRUE(afterExecute);
  EXPECT_TRUE(finishedSeen);
}

TEST(Thread, FreeOnTerminateDeletesAfterOnTerminate) {
  std::atomic<bool> destroyed{false};
  bool destroyedBeforeOnTerminate = true;
  auto* thread = new TTestThread([](TTestThread& self) { self.ReturnValue = 1; }, &destroyed);
  thread->FreeOnTerminate = true;
  thread->OnTerminate = [&] { destroyedBeforeOnTerminate = destroyed; };
  thread->Resume();
  EXPECT_TRUE(PumpUntil([&] { return destroyed.load(); }));
  EXPECT_FALSE(destroyedBeforeOnTerminate);
}

TEST(Thread, ExceptionInExecuteStaysInTheThread) {
  TTestThread failing([](TTestThread& self) {
    self.ReturnValue = 3;
    throw std::runtime_error("sensor gone");
  });
  failing.Resume();
  EXPECT_EQ(failing.WaitFor(), 3);
  EXPECT_EQ(failing.FatalException(), "sensor gone");
  EXPECT_TRUE(failing.Finished());

  TTestThread odd([](TTestThread&) { throw 42; });
  odd.Resume();
  odd.WaitFor();
  EXPECT_FALSE(odd.FatalException().empty());
}

TEST(Thread, TerminateStopsAPollingWorker) {
  std::atomic<int> rounds{0};
  TTestThread thread([&](TTestThread& self) {
    while (!self.Terminated()) {
      ++rounds;
      rtl::Sleep(1);
    }
  });
  thread.Resume();
  thread.Resume();  // a second Resume changes nothing
  ASSERT_TRUE(PumpUntil([&] { return rounds > 0; }));
  EXPECT_FALSE(thread.Terminated());
  thread.Terminate();
  thread.WaitFor();
  EXPECT_TRUE(thread.Terminated());
}

TEST(Thread, WaitForANeverStartedThreadReturnsAtOnce) {
  TTestThread thread([](TTestThread&) {});
  thread.ReturnValue = 5;
  EXPECT_EQ(thread.WaitFor(), 5);
  EXPECT_FALSE(thread.Finished());
}

// Keeps its flags outside the object: Execute is still running while the
// base destructor cancels it, after the derived part is gone.
class TPendingSyncThread : public rtl::TThread {
 public:
  static inline std::atomic<bool> MethodRan{false};
  static inline std::atomic<bool> Cancelled{false};

  TPendingSyncThread() : rtl::TThread(true) {}

 protected:
  void Execute() override {
    try {
      Synchronize([] { MethodRan = true; });
    } catch (const rtl::ESynchronizeCancelled&) {
      Cancelled = true;
      throw;
    }
  }
};

TEST(Thread, DestroyedWhileSynchronizePendingDoesNotHang) {
  TWakeRecorder wake;
  bool onTerminateRan = false;
  {
    TPendingSyncThread thread;
    thread.OnTerminate = [&] { onTerminateRan = true; };
    thread.Resume();
    ASSERT_TRUE(wake.WaitQueued(5000));
    // Leaving the scope destroys the object with the call still queued.
  }
  EXPECT_TRUE(TPendingSyncThread::Cancelled);
  EXPECT_FALSE(rtl::CheckSynchronize(0));
  EXPECT_FALSE(TPendingSyncThread::MethodRan) << "the dropped call must not run later";
  EXPECT_FALSE(onTerminateRan);
}

TEST(Thread, DeletedFromItsOwnOnTerminateDoesNotHang) {
  std::atomic<bool> destroyed{false};
  auto* thread = new TTestThread([](TTestThread&) {}, &destroyed);
  thread->OnTerminate = [&] { delete thread; };
  thread->Resume();
  EXPECT_TRUE(PumpUntil([&] { return destroyed.load(); }));
  // The detached worker leaves without touching the freed object; give it
  // time so the sanitizers would see it if it did.
  rtl::Sleep(50);
}

TEST(Thread, WaitForInsideOwnSynchronizeIsRefused) {
  TTestThread thread([](TTestThread&) {});
  thread.OnTerminate = [&] { thread.WaitFor(); };
  thread.Resume();
  thread.WaitFor();
  EXPECT_NE(thread.FatalException().find("WaitFor"), std::string::npos) << thread.FatalException();
}

TEST(Thread, LowerPriorityIsApplied) {
  const int before = getpriority(PRIO_PROCESS, 0);
  std::atomic<int> seen{-100};
  TTestThread thread([&](TTestThread&) { seen = getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid())); });
  thread.SetPriority(rtl::tpLowest);
  thread.Resume();
  thread.WaitFor();
  EXPECT_EQ(thread.Priority(), rtl::tpLowest);
  // Nice 10, unless the test already runs at a lower priority.
  EXPECT_GE(seen, std::max(10, before));
  thread.SetPriority(rtl::tpTimeCritical);  // finished thread: ignored, no failure
}

TEST(Thread, SetMainThreadMovesTheRole) {
  std::atomic<bool> mainThere{false};
  std::thread other([&] {
    rtl::SetMainThread();
    mainThere = rtl::IsMainThread();
  });
  other.join();
  EXPECT_TRUE(mainThere);
  EXPECT_FALSE(rtl::IsMainThread());
  rtl::SetMainThread();
  EXPECT_TRUE(rtl::IsMainThread());
}

}  // namespace
