#pragma once

// Worker threads in the toolkit's manner: derive, override Execute, start
// with Resume, stop with Terminate (Execute polls Terminated), hand results
// to the main thread with Synchronize, and collect with WaitFor.
//
// Starting: a base constructor cannot start a thread that runs a derived
// Execute (the derived part does not exist yet), so the OS thread always
// starts at the first Resume(). A class meant to start on construction
// (CreateSuspended == false) calls Resume() as the last statement of its
// own, most-derived constructor.
//
// Ending:
// - WaitFor() joins and returns ReturnValue. On the main thread it keeps
//   running queued Synchronize calls, so a worker that is handing over
//   results (or running OnTerminate) can finish.
// - After Execute, OnTerminate (if set) runs on the main thread through
//   Synchronize; then, with FreeOnTerminate, the object deletes itself.
//   Never WaitFor or delete a FreeOnTerminate thread that was started.
// - Destroying a started thread object calls Terminate() and waits for the
//   OS thread. Its queued Synchronize calls are dropped and further ones
//   throw ESynchronizeCancelled (so OnTerminate does not run), which keeps
//   the destructor from waiting on a call nobody would run. Deleting the
//   object inside one of its own Synchronize calls (e.g. from OnTerminate)
//   does not wait: the OS thread is detached and leaves without touching the
//   object once that call returns. Because the derived part is already gone
//   when this destructor runs, a derived class whose Execute uses its own
//   members calls Terminate(); WaitFor(); in its own destructor (or the
//   owner does before delete).
//
// Exceptions thrown by Execute (or by OnTerminate) never leave the thread;
// the message is kept in FatalException().

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "synchronize.h"

namespace rtl {

// Mapped onto nice values (19, 10, 5, 0, -5, -10, -20). Raising a priority
// needs privileges Linux seldom grants, so it is best effort and never fails.
enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class TThread {
 public:
  explicit TThread(bool CreateSuspended);
  virtual ~TThread();
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // Starts the OS thread on the first call; later calls do nothing.
  void Resume();
  void Terminate();
  bool Terminated() const;
  // True once Execute has returned (OnTerminate may still be pending).
  bool Finished() const;
  void SetPriority(TThreadPriority priority);
  TThreadPriority Priority() const;
  // Joins the OS thread and returns ReturnValue; returns at once when the
  // thread was never started or already joined. Throws std::logic_error when
  // called by the thread itself or inside one of its Synchronize calls,
  // where waiting could never end.
  int WaitFor();
  // Message of the exception that ended Execute; empty when none did.
  std::string FatalException() const;

  // Set these before Resume().
  bool FreeOnTerminate = false;
  std::function<void()> OnTerminate;
  int ReturnValue = 0;

 protected:
  virtual void Execute() = 0;
  void Synchronize(std::function<void()> method);

 private:
  struct TState {
    // The worker is done with the object; it may be joined and freed.
    std::atomic<bool> Done{false};
    // The destructor has started.
    std::atomic<bool> Destroying{false};
    // The object was freed while the worker still ran; the worker must not
    // touch it again.
    std::atomic<bool> Abandoned{false};
  };

  static void Run(TThread* self, std::shared_ptr<TState> state);
  void RunExecute(const TState& state);
  void RunOnTerminate(const TState& state);
  void SetFatalException(const std::string& message);
  void ApplyPriority() const;
  std::thread::id WorkerId();

  std::shared_ptr<TState> FState = std::make_shared<TState>();
  std::mutex FThreadLock;  // guards FThread and FStarted
  std::thread FThread;
  bool FStarted = false;
  std::atomic<bool> FTerminated{false};
  std::atomic<bool> FFinished{false};
  std::atomic<TThreadPriority> FPriority{tpNormal};
  std::atomic<int> FTid{0};  // kernel thread id while running, for priorities
  mutable std::mutex FFatalLock;
  std::string FFatal;
};

}  // namespace rtl
