#pragma once

// Events in the manner of the Windows kernel objects, within one process.
// Named events live in a registry by name so that two parts of the program
// that agree on a name share one event; the registry holds weak references,
// so an event dies with its last holder.

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string_view>

namespace rtl {

enum class TWaitResult { Signaled, Timeout };

constexpr uint32_t INFINITE_WAIT = 0xFFFFFFFF;

class TEvent {
 public:
  // An auto-reset event (manualReset false) releases exactly one waiter per
  // SetEvent and turns unsignaled again; a manual-reset event releases every
  // waiter until ResetEvent.
  TEvent(bool manualReset, bool initialState);
  TEvent(const TEvent&) = delete;
  TEvent& operator=(const TEvent&) = delete;

  void SetEvent();
  void ResetEvent();
  // timeoutMs 0 only polls; INFINITE_WAIT waits without limit.
  TWaitResult WaitFor(uint32_t timeoutMs);

 private:
  std::mutex FLock;
  std::condition_variable FCv;
  const bool FManualReset;
  bool FSignaled;
};

// Returns the live event of that name when there is one (its reset mode and
// state stay as they are, like the Windows call), else a new one registered
// under the name. An empty name gives a new unnamed event.
std::shared_ptr<TEvent> CreateNamedEvent(std::u16string_view name, bool manualReset, bool initialState);
// The live event of that name, or null.
std::shared_ptr<TEvent> OpenNamedEvent(std::u16string_view name);

}  // namespace rtl
