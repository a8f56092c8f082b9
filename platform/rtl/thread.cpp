#include "thread.h"

#include <sys/resource.h>
#include <unistd.h>

#include <stdexcept>

namespace rtl {
namespace {

int NiceValue(TThreadPriority priority) {
  static constexpr int nice[] = {19, 10, 5, 0, -5, -10, -20};
  const int index = static_cast<int>(priority);
  return (index >= 0 && index < 7) ? nice[index] : 0;
}

}  // namespace

// The parameter is kept for the toolkit's signature; see the header for why
// the thread only ever starts at Resume().
TThread::TThread([[maybe_unused]] bool CreateSuspended) {}

TThread::~TThread() {
  const std::thread::id worker = WorkerId();
  if (worker == std::thread::id()) return;
  if (worker == std::this_thread::get_id()) {
    // Deleted from inside its own Execute: nobody can join this thread.
    FState->Abandoned = true;
    std::lock_guard<std::mutex> lock(FThreadLock);
    FThread.detach();
    return;
  }
  Terminate();
  FState->Destroying = true;
  const bool runningHere = detail::CancelSynchronize(worker) && IsMainThread();
  if (runningHere) {
    // We are inside the worker's own Synchronize call, which cannot finish
    // before we return: let the worker go on its own.
    FState->Abandoned = true;
    std::lock_guard<std::mutex> lock(FThreadLock);
    FThread.detach();
    return;
  }
  const std::shared_ptr<TState> state = FState;
  detail::WaitUntil([&] { return state->Done.load(); });
  {
    std::lock_guard<std::mutex> lock(FThreadLock);
    FThread.join();
  }
  detail::ForgetCancelled(worker);
}

void TThread::Resume() {
  std::lock_guard<std::mutex> lock(FThreadLock);
  if (FStarted) return;
  FThread = std::thread(&TThread::Run, this, FState);
  FStarted = true;
}

void TThread::Terminate() { FTerminated = true; }

bool TThread::Terminated() const { return FTerminated; }

bool TThread::Finished() const { return FFinished; }

void TThread::SetPriority(TThreadPriority priority) {
  FPriority = priority;
  ApplyPriority();
}

TThreadPriority TThread::Priority() const { return FPriority; }

int TThread::WaitFor() {
  const std::thread::id worker = WorkerId();
  if (worker == std::thread::id()) return ReturnValue;
  if (worker == std::this_thread::get_id()) throw std::logic_error("A thread cannot wait for itself");
  if (IsMainThread() && detail::IsCallRunningFrom(worker))
    throw std::logic_error("WaitFor inside a Synchronize call of the same thread");
  const std::shared_ptr<TState> state = FState;
  detail::WaitUntil([&] { return state->Done.load(); });
  std::lock_guard<std::mutex> lock(FThreadLock);
  if (FThread.joinable()) FThread.join();
  return ReturnValue;
}

std::string TThread::FatalException() const {
  std::lock_guard<std::mutex> lock(FFatalLock);
  return FFatal;
}

void TThread::Synchronize(std::function<void()> method) { rtl::Synchronize(method); }

void TThread::Run(TThread* self, std::shared_ptr<TState> state) {
  // Resume holds the lock until FThread is assigned.
  { std::lock_guard<std::mutex> lock(self->FThreadLock); }
  self->FTid = static_cast<int>(::gettid());
  self->ApplyPriority();

  self->RunExecute(*state);
  if (!state->Abandoned) {
    self->FFinished = true;
    self->RunOnTerminate(*state);
  }
  if (!state->Abandoned) {
    self->FTid = 0;
    if (self->FreeOnTerminate && !state->Destroying) {
      {
        std::lock_guard<std::mutex> lock(self->FThreadLock);
        self->FThread.detach();
      }
      delete self;
    } else {
      // From here on the owner may join and free the object.
      state->Done = true;
      detail::WakeWaiters();
    }
  }
  detail::ForgetCancelled(std::this_thread::get_id());
}

void TThread::RunExecute(const TState& state) {
  try {
    Execute();
  } catch (const ESynchronizeCancelled&) {
    // The object is being destroyed; nothing to report to.
  } catch (const std::exception& e) {
    if (!state.Abandoned) SetFatalException(e.what());
  } catch (...) {
    if (!state.Abandoned) SetFatalException("Unknown exception in thread");
  }
}

void TThread::RunOnTerminate(const TState& state) {
  if (!OnTerminate) return;
  // A copy: the handler may free this object, and with it the member.
  const std::function<void()> handler = OnTerminate;
  try {
    rtl::Synchronize(handler);
  } catch (const ESynchronizeCancelled&) {
    // Destroyed before the handler could run, or by the handler itself.
  } catch (const std::exception& e) {
    if (!state.Abandoned && FatalException().empty()) SetFatalException(e.what());
  } catch (...) {
    if (!state.Abandoned && FatalException().empty()) SetFatalException("Unknown exception in OnTerminate");
  }
}

void TThread::SetFatalException(const std::string& message) {
  std::lock_guard<std::mutex> lock(FFatalLock);
  FFatal = message;
}

void TThread::ApplyPriority() const {
  const int tid = FTid;
  if (tid == 0) return;
  // Best effort: without privileges the kernel refuses to raise it again.
  setpriority(PRIO_PROCESS, static_cast<id_t>(tid), NiceValue(FPriority));
}

std::thread::id TThread::WorkerId() {
  std::lock_guard<std::mutex> lock(FThreadLock);
  return FThread.joinable() ? FThread.get_id() : std::thread::id();
}

}  // namespace rtl
