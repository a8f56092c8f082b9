// Linked into every suite. Qt runs large image conversions and scaling on
// its global thread pool; the application's end joins the pool's threads,
// but each may still be tearing down its thread data when the process
// exits. The leak checker runs at that moment: it reads the half-freed
// data as leaked, or its tracer fails to suspend a thread that is leaving.
// So a test process waits at its exit, bounded, until the pool's threads
// are gone; they go within milliseconds.

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace {

// The name Qt gives the threads of its pools.
constexpr const char* PooledThreadName = "Thread (pooled)";

bool PooledThreadLeft() {
  std::error_code error;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    if (std::getline(comm, name) && name == PooledThreadName) return true;
  }
  return false;
}

void AwaitPooledThreads() {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (PooledThreadLeft() && std::chrono::steady_clock::now() < limit)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// Registered before main, so it runs after the application is destroyed
// (exit handlers run in reverse order) and before the leak checker's,
// which the sanitizer's runtime registered before any of the program's.
[[maybe_unused]] const int Registered = std::atexit(AwaitPooledThreads);

}  // namespace
