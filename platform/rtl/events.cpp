#include "events.h"

#include <chrono>
#include <map>
#include <string>

namespace rtl {

TEvent::TEvent(bool manualReset, bool initialState) : FManualReset(manualReset), FSignaled(initialState) {}

void TEvent::SetEvent() {
  {
    std::lock_guard<std::mutex> lock(FLock);
    if (FSignaled) return;
    FSignaled = true;
  }
  if (FManualReset)
    FCv.notify_all();
  else
    FCv.notify_one();
}

void TEvent::ResetEvent() {
  std::lock_guard<std::mutex> lock(FLock);
  FSignaled = false;
}

TWaitResult TEvent::WaitFor(uint32_t timeoutMs) {
  std::unique_lock<std::mutex> lock(FLock);
  const auto signaled = [this] { return FSignaled; };
  if (timeoutMs == INFINITE_WAIT)
    FCv.wait(lock, signaled);
  else if (!FCv.wait_for(lock, std::chrono::milliseconds(timeoutMs), signaled))
    return TWaitResult::Timeout;
  // The waiter that sees an auto-reset event signaled consumes the signal,
  // under the lock, so no second waiter can pass on the same SetEvent.
  if (!FManualReset) FSignaled = false;
  return TWaitResult::Signaled;
}

namespace {

struct TEventRegistry {
  std::mutex Lock;
  std::map<std::u16string, std::weak_ptr<TEvent>, std::less<>> Events;

  std::shared_ptr<TEvent> Find(std::u16string_view name) {
    auto it = Events.find(name);
    return it == Events.end() ? nullptr : it->second.lock();
  }

  void DropExpired() {
    std::erase_if(Events, [](const auto& entry) { return entry.second.expired(); });
  }
};

TEventRegistry& Registry() {
  static TEventRegistry registry;
  return registry;
}

}  // namespace

std::shared_ptr<TEvent> CreateNamedEvent(std::u16string_view name, bool manualReset, bool initialState) {
  if (name.empty()) return std::make_shared<TEvent>(manualReset, initialState);
  TEventRegistry& registry = Registry();
  std::lock_guard<std::mutex> lock(registry.Lock);
  if (std::shared_ptr<TEvent> existing = registry.Find(name)) return existing;
  registry.DropExpired();
  auto created = std::make_shared<TEvent>(manualReset, initialState);
  registry.Events.insert_or_assign(std::u16string(name), created);
  return created;
}

std::shared_ptr<TEvent> OpenNamedEvent(std::u16string_view name) {
  if (name.empty()) return nullptr;
  TEventRegistry& registry = Registry();
  std::lock_guard<std::mutex> lock(registry.Lock);
  return registry.Find(name);
}

}  // namespace rtl
