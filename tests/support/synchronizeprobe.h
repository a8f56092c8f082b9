#pragma once
// Shows whether the main thread waits for a thread during a command: a wait
// serves the threads' hand-overs (Synchronize), so a hand-over that another
// thread keeps queued all through the command is served inside it only when
// the command waits. Structure, not time: it holds on any machine.
//
//   testsupport::TSynchronizeProbe probe;
//   command();
//   EXPECT_EQ(probe.End(), 0);  // hand-overs served during the command

#include <atomic>
#include <thread>

#include "serveuntil.h"
#include "synchronize.h"

namespace testsupport {

class TSynchronizeProbe {
 public:
  TSynchronizeProbe()
      : FThread([this] {
          while (FProbing)
            rtl::Synchronize([this] {
              if (FMeasuring) ++FServed;
            });
          FEnded = true;
        }) {}
  ~TSynchronizeProbe() { End(); }
  TSynchronizeProbe(const TSynchronizeProbe&) = delete;
  TSynchronizeProbe& operator=(const TSynchronizeProbe&) = delete;

  // Main thread: the hand-overs served since the probe began; serves the
  // last one so the probe's thread ends.
  int End() {
    if (!FThread.joinable()) return FServedAtEnd;
    FMeasuring = false;
    FProbing = false;
    FServedAtEnd = FServed;
    ServeUntil([this] { return FEnded.load(); });
    FThread.join();
    return FServedAtEnd;
  }

 private:
  std::atomic<bool> FMeasuring{true}, FProbing{true}, FEnded{false};
  std::atomic<int> FServed{0};
  int FServedAtEnd = 0;
  std::thread FThread;
};

}  // namespace testsupport
