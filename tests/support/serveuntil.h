#pragma once
// Runs the worker threads' hand-overs on the test's main thread until a
// condition holds; a hand-over never served would leave the thread waiting.

#include <chrono>
#include <functional>

#include "synchronize.h"
#include "sanitizerslowdown.h"

namespace testsupport {

// False when the condition still fails after `limit` (by default far
// beyond the work, stretched by a sanitizer's slowdown).
inline bool ServeUntil(const std::function<bool()>& condition,
                       std::chrono::steady_clock::duration limit = std::chrono::seconds(20) * kSanitizerSlowdown) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    rtl::CheckSynchronize(5);
  }
  return true;
}

}  // namespace testsupport
