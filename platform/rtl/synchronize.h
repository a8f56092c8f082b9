#pragma once

// Handing calls from worker threads to the main thread.
//
// A worker calls Synchronize(method): the call is queued, the wake hook (if
// any) is called so the GUI event loop wakes up, and the worker blocks until
// the main thread has run the method through CheckSynchronize(). An exception
// thrown by the method on the main thread is rethrown in the worker.

#include <functional>
#include <stdexcept>
#include <thread>

namespace rtl {

// Thrown by Synchronize in a worker whose TThread object is being destroyed
// before the thread finished: the queued call was dropped (or, when already
// running, completed) and the worker should leave Execute. TThread absorbs it.
class ESynchronizeCancelled : public std::runtime_error {
 public:
  ESynchronizeCancelled();
};

// Queues method for the main thread and blocks until it has run there. On the
// main thread the method runs at once.
void Synchronize(const std::function<void()>& method);

// Runs the calls queued so far, on the main thread only (elsewhere it returns
// false at once). With nothing queued it waits up to timeoutMs for a call.
// Returns true when at least one call ran.
bool CheckSynchronize(int timeoutMs = 0);

// hook is called from the worker each time a call is queued (it must be
// thread-safe and must not block); an empty function removes it. The hook
// runs under the queue's lock, so it must not call back into this unit, and
// a replacement or removal returns only once no worker is inside the old
// hook: what the old hook uses may be freed right after.
void SetSynchronizeWakeHook(std::function<void()> hook);

bool IsMainThread();
// Makes the calling thread the main thread. Default: the thread that loaded
// the program (static initialisation).
void SetMainThread();

// Plumbing for TThread; not for other callers.
namespace detail {

// Blocks until done() is true. On the main thread it serves Synchronize while
// it waits. done() is evaluated under the queue's lock; whoever makes it true
// calls WakeWaiters() afterwards.
void WaitUntil(const std::function<bool()>& done);
void WakeWaiters();

// Drops the queued calls of worker and makes its further Synchronize calls
// throw ESynchronizeCancelled. Returns true when a call of worker is running
// right now (on the main thread, further up the calling stack when the caller
// is the main thread).
bool CancelSynchronize(std::thread::id worker);
// Clears the mark of CancelSynchronize once worker's OS thread has ended, so a
// later thread that reuses the id is not affected.
void ForgetCancelled(std::thread::id worker);
bool IsCallRunningFrom(std::thread::id worker);

}  // namespace detail
}  // namespace rtl
