#pragma once
// How many times slower a sanitizer's runtime makes the program's own work
// (passes over large arrays, their release, building and destroying
// windows), the load of the other suites run beside included. A test that
// bounds how long a command takes beyond what it waits for allows that work
// this factor; a wait the command must not make stays far beyond it.

namespace testsupport {

#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr int kSanitizerSlowdown = 10;
#else
constexpr int kSanitizerSlowdown = 1;
#endif

}  // namespace testsupport
