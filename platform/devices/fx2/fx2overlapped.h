#pragma once
// The completion record of one pending port request, in the place of an
// overlapped block with its event: the caller waits on it with a time-out
// and then asks the port for the result.

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

namespace fx2port {

struct TPortJob;

class TFx2Overlapped {
public:
  TFx2Overlapped() = default;
  // Waits for a request still running; the backend's abort guarantees that
  // it ends.
  ~TFx2Overlapped();
  TFx2Overlapped(const TFx2Overlapped&) = delete;
  TFx2Overlapped& operator=(const TFx2Overlapped&) = delete;

  // True once the request has completed (the event is set); false after
  // timeoutMs without completion.
  bool Wait(uint32_t timeoutMs);

private:
  friend class TFx2Port;
  std::shared_ptr<TPortJob> FJob;
  std::thread FWorker;
};

} // namespace fx2port
