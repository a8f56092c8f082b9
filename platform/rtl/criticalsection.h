#pragma once

// A recursive lock: the owning thread may enter again and must leave as
// often as it entered.

#include <mutex>

namespace rtl {

class TCriticalSection {
 public:
  TCriticalSection() = default;
  TCriticalSection(const TCriticalSection&) = delete;
  TCriticalSection& operator=(const TCriticalSection&) = delete;

  void Enter();
  void Leave();
  // Enters when no other thread holds the section; never blocks.
  bool TryEnter();

 private:
  std::recursive_mutex FMutex;
};

// Enters on construction and leaves on destruction.
class TCriticalSectionGuard {
 public:
  explicit TCriticalSectionGuard(TCriticalSection& section);
  ~TCriticalSectionGuard();
  TCriticalSectionGuard(const TCriticalSectionGuard&) = delete;
  TCriticalSectionGuard& operator=(const TCriticalSectionGuard&) = delete;

 private:
  TCriticalSection& FSection;
};

}  // namespace rtl
