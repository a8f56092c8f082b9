#include "synchronize.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

namespace rtl {
namespace {

struct TSyncCall {
  std::function<void()> Method;
  std::thread::id Caller;
  bool Done = false;
  bool Dropped = false;
  std::exception_ptr Error;
};
using TSyncCallPtr = std::shared_ptr<TSyncCall>;

struct TSyncQueue {
  std::mutex Lock;
  // Wakes the main thread (new call, or a WaitUntil condition changed) and
  // threads blocked in WaitUntil.
  std::condition_variable MainCv;
  // Wakes workers whose call finished or was dropped.
  std::condition_variable WorkerCv;
  std::deque<TSyncCallPtr> Pending;
  // Calls being run by the main thread; more than one when a call runs a
  // nested CheckSynchronize (a modal loop).
  std::vector<TSyncCallPtr> Running;
  std::set<std::thread::id> Cancelled;
  std::function<void()> WakeHook;
};

// Never destroyed: a detached worker may still queue or wake during exit.
TSyncQueue& Queue() {
  static TSyncQueue* queue = new TSyncQueue;
  return *queue;
}

std::atomic<std::thread::id>& MainThreadId() {
  static std::atomic<std::thread::id> id{std::this_thread::get_id()};
  return id;
}

// Fixes the main thread at load time, before any worker can exist.
[[maybe_unused]] const bool MainThreadTouched = (MainThreadId(), Queue(), true);

void RunCall(const TSyncCallPtr& call) {
  try {
    call->Method();
  } catch (...) {
    call->Error = std::current_exception();
  }
}

// Runs the calls queued when it starts, oldest first; calls queued meanwhile
// wait for the next round so a busy worker cannot keep the main thread here.
bool RunPending(std::unique_lock<std::mutex>& lock) {
  TSyncQueue& q = Queue();
  size_t budget = q.Pending.size();
  bool ran = false;
  while (budget-- > 0 && !q.Pending.empty()) {
    TSyncCallPtr call = q.Pending.front();
    q.Pending.pop_front();
    q.Running.push_back(call);
    lock.unlock();
    RunCall(call);
    lock.lock();
    q.Running.erase(std::find(q.Running.begin(), q.Running.end(), call));
    call->Done = true;
    ran = true;
    q.WorkerCv.notify_all();
  }
  return ran;
}

// The call is queued already: a failing hook must not tear the worker away
// from it, or the main thread would later run a call whose caller is gone.
void CallWakeHook(const std::function<void()>& hook) {
  if (!hook) return;
  try {
    hook();
  } catch (...) {
    // Without the wake-up the call still runs at the next CheckSynchronize.
  }
}

bool IsCancelled(const TSyncQueue& q, std::thread::id id) { return q.Cancelled.count(id) != 0; }

}  // namespace

ESynchronizeCancelled::ESynchronizeCancelled()
    : std::runtime_error("Synchronize cancelled: the thread object is being destroyed") {}

bool IsMainThread() { return std::this_thread::get_id() == MainThreadId().load(); }

void SetMainThread() { MainThreadId().store(std::this_thread::get_id()); }

void SetSynchronizeWakeHook(std::function<void()> hook) {
  TSyncQueue& q = Queue();
  std::lock_guard<std::mutex> lock(q.Lock);
  q.WakeHook = std::move(hook);
}

void Synchronize(const std::function<void()>& method) {
  if (IsMainThread()) {
    method();
    return;
  }
  TSyncQueue& q = Queue();
  const std::thread::id self = std::this_thread::get_id();
  auto call = std::make_shared<TSyncCall>();
  call->Method = method;
  call->Caller = self;
  {
    std::lock_guard<std::mutex> lock(q.Lock);
    if (IsCancelled(q, self)) throw ESynchronizeCancelled();
    q.Pending.push_back(call);
    // Called under the lock, never on a copy: once the hook's owner has
    // removed it, no worker is still inside it, and the owner may free what
    // it uses (the application object at the program's end).
    CallWakeHook(q.WakeHook);
  }
  q.MainCv.notify_all();

  std::unique_lock<std::mutex> lock(q.Lock);
  q.WorkerCv.wait(lock, [&] { return call->Done || call->Dropped; });
  // A finished call still reports the cancellation: the worker's object is
  // gone or going, so Execute must not carry on with it.
  if (call->Dropped || IsCancelled(q, self)) throw ESynchronizeCancelled();
  if (call->Error) std::rethrow_exception(call->Error);
}

bool CheckSynchronize(int timeoutMs) {
  if (!IsMainThread()) return false;
  TSyncQueue& q = Queue();
  std::unique_lock<std::mutex> lock(q.Lock);
  if (q.Pending.empty() && timeoutMs > 0)
    q.MainCv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return !q.Pending.empty(); });
  return RunPending(lock);
}

namespace detail {

void WaitUntil(const std::function<bool()>& done) {
  TSyncQueue& q = Queue();
  const bool serve = IsMainThread();
  std::unique_lock<std::mutex> lock(q.Lock);
  while (!done()) {
    if (serve && !q.Pending.empty()) {
      RunPending(lock);
      continue;
    }
    q.MainCv.wait(lock);
  }
}

void WakeWaiters() {
  TSyncQueue& q = Queue();
  // Taking the lock orders this wake-up after the waiter's check of done().
  { std::lock_guard<std::mutex> lock(q.Lock); }
  q.MainCv.notify_all();
}

bool CancelSynchronize(std::thread::id worker) {
  TSyncQueue& q = Queue();
  std::lock_guard<std::mutex> lock(q.Lock);
  q.Cancelled.insert(worker);
  for (auto it = q.Pending.begin(); it != q.Pending.end();) {
    if ((*it)->Caller == worker) {
      (*it)->Dropped = true;
      it = q.Pending.erase(it);
    } else {
      ++it;
    }
  }
  q.WorkerCv.notify_all();
  return std::any_of(q.Running.begin(), q.Running.end(),
                     [&](const TSyncCallPtr& call) { return call->Caller == worker; });
}

void ForgetCancelled(std::thread::id worker) {
  TSyncQueue& q = Queue();
  std::lock_guard<std::mutex> lock(q.Lock);
  q.Cancelled.erase(worker);
}

bool IsCallRunningFrom(std::thread::id worker) {
  TSyncQueue& q = Queue();
  std::lock_guard<std::mutex> lock(q.Lock);
  return std::any_of(q.Running.begin(), q.Running.end(),
                     [&](const TSyncCallPtr& call) { return call->Caller == worker; });
}

}  // namespace detail
}  // namespace rtl
