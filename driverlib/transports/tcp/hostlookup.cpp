#include "hostlookup.h"

#include <arpa/inet.h>
#include <netdb.h>

#include <chrono>
#include <ctime>
#include <list>
#include <memory>
#include <mutex>

namespace sartel::tcp {

namespace {

// One asynchronous lookup. The resolver's helper thread writes into it
// until the lookup completes, so a lookup given up while still running
// cannot be freed: it is parked and freed once it has finished.
struct TLookup {
  std::string Name;
  addrinfo Hints{};
  gaicb Block{};
  gaicb* List[1] = {&Block};

  explicit TLookup(const std::string& host) : Name(host) {
    Hints.ai_family = AF_INET;
    Hints.ai_socktype = SOCK_STREAM;
    Block.ar_name = Name.c_str();
    Block.ar_request = &Hints;
  }
  ~TLookup() {
    if (Block.ar_result) freeaddrinfo(Block.ar_result);
  }
  bool Running() { return gai_error(&Block) == EAI_INPROGRESS; }
};

std::mutex ParkedLock;

// Never destroyed: at unload or exit a parked lookup may still be running.
std::list<std::unique_ptr<TLookup>>& Parked() {
  static auto* parked = new std::list<std::unique_ptr<TLookup>>;
  return *parked;
}

void Park(std::unique_ptr<TLookup> lookup) {
  const std::lock_guard<std::mutex> lock(ParkedLock);
  Parked().push_back(std::move(lookup));
}

void FreeFinished() {
  const std::lock_guard<std::mutex> lock(ParkedLock);
  Parked().remove_if([](const std::unique_ptr<TLookup>& lookup) { return !lookup->Running(); });
}

bool FirstAddress(const addrinfo* result, in_addr& address) {
  for (const addrinfo* entry = result; entry; entry = entry->ai_next) {
    if (entry->ai_family != AF_INET || !entry->ai_addr) continue;
    address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr;
    return true;
  }
  return false;
}

}  // namespace

bool LookUpHost(const std::string& host, std::uint32_t timeoutMs, in_addr& address) {
  if (inet_pton(AF_INET, host.c_str(), &address) == 1) return true;
  if (host.empty()) return false;
  FreeFinished();
  auto lookup = std::make_unique<TLookup>(host);
  if (getaddrinfo_a(GAI_NOWAIT, lookup->List, 1, nullptr) != 0) return false;
  // gai_suspend also returns on signals and when other lookups finish; the
  // lookup's own state decides, within the one time limit.
  const gaicb* const waitList[1] = {&lookup->Block};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (lookup->Running()) {
    const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    const timespec wait{static_cast<time_t>(left.count() / 1000000000LL), static_cast<long>(left.count() % 1000000000LL)};
    gai_suspend(waitList, 1, &wait);
  }
  if (lookup->Running()) {
    if (gai_cancel(&lookup->Block) != EAI_CANCELED) Park(std::move(lookup));
    return false;
  }
  return gai_error(&lookup->Block) == 0 && FirstAddress(lookup->Block.ar_result, address);
}

}  // namespace sartel::tcp
