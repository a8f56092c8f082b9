#include "ftditransfer.h"

#include <chrono>

namespace sartel::ftdi {

// Notified under the lock: the waiter may return and free the event as soon
// as it can see the flag, which is only after this has let the lock go.
void TTransferEvent::Set() {
  std::lock_guard<std::mutex> guard(Lock);
  Signalled = true;
  Changed.notify_all();
}

bool TTransferEvent::WaitFor(std::uint32_t ms) {
  std::unique_lock<std::mutex> guard(Lock);
  return Changed.wait_for(guard, std::chrono::milliseconds(ms), [this] { return Signalled; });
}

namespace {

bool Start(const TD2xxCalls& calls, d2xx::Handle handle, TDirection direction, void* data, std::uint32_t count,
           d2xx::Dword* done, d2xx::Overlapped* overlapped) {
  return direction == TDirection::Write ? calls.WriteFile(handle, data, count, done, overlapped)
                                        : calls.ReadFile(handle, data, count, done, overlapped);
}

TTransferResult ByCount(d2xx::Dword done, std::uint32_t count) {
  return done == count ? TTransferResult::Done : TTransferResult::TimedOut;
}

constexpr d2xx::Dword AbortAndClear =
    d2xx::PurgeTxAbort | d2xx::PurgeRxAbort | d2xx::PurgeTxClear | d2xx::PurgeRxClear;

}  // namespace

TTransferResult Transfer(const TD2xxCalls& calls, d2xx::Handle handle, TDirection direction, void* data,
                         std::uint32_t count, const TTransferSettings& settings) {
  TTransferEvent event;
  d2xx::Overlapped block{};
  block.hEvent = &event;
  d2xx::Dword done = 0;
  if (Start(calls, handle, direction, data, count, &done, settings.Overlapped ? &block : nullptr))
    return ByCount(done, count);
  if (!settings.Overlapped || calls.GetLastError(handle) != d2xx::ErrorIoPending) return TTransferResult::Failed;
  if (!event.WaitFor(settings.TimeoutMs)) {
    calls.PurgeComm(handle, AbortAndClear);
    return TTransferResult::TimedOut;
  }
  done = 0;
  if (!calls.GetOverlappedResult(handle, &block, &done, false)) return TTransferResult::Failed;
  return ByCount(done, count);
}

}  // namespace sartel::ftdi
