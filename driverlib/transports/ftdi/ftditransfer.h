#pragma once
// One transfer of n bytes through the library's Win32-style calls.
//
// On Linux the library completes every call before returning (no OVERLAPPED
// is passed), so the immediate path is the one taken in use. A library that
// answers "pending" (997) is still served: the routine waits on the event in
// its OVERLAPPED block, bounded by the transfer time-out, and on a time-out
// aborts the transfer so the library no longer owns the buffer.

#include "d2xxcalls.h"
#include "transfertimeout.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace sartel::ftdi {

enum class TDirection { Write, Read };
enum class TTransferResult { Done, Failed, TimedOut };

// The manual-reset event an OVERLAPPED block carries in hEvent. A library
// that completes a pending transfer later calls Set.
class TTransferEvent {
 public:
  void Set();
  bool WaitFor(std::uint32_t ms);

 private:
  std::mutex Lock;
  std::condition_variable Changed;
  bool Signalled = false;
};

struct TTransferSettings {
  std::uint32_t TimeoutMs = DefaultTransferTimeoutMs;
  // Whether the library gets an OVERLAPPED block (never on Linux).
  bool Overlapped = false;
};

TTransferResult Transfer(const TD2xxCalls& calls, d2xx::Handle handle, TDirection direction, void* data,
                         std::uint32_t count, const TTransferSettings& settings);

}  // namespace sartel::ftdi
