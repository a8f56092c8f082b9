#pragma once
// The FX2 port: what the kernel driver of the FX2 controller gave the class
// library, now in user space. It lists and opens devices and carries the
// same request records through I/O control codes (fx2request.h); a backend
// (fx2backend.h) moves the bytes. Transfers started with a completion record
// run in the background, so the caller can wait with a time-out and abort.

#include "fx2backend.h"
#include "fx2overlapped.h"
#include "fx2request.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

namespace fx2port {

using TPortHandle = int;
inline constexpr TPortHandle InvalidPortHandle = -1;

class TFx2Port {
public:
  // A port without backend lists no device.
  explicit TFx2Port(std::unique_ptr<TFx2Backend> backend);
  ~TFx2Port();
  TFx2Port(const TFx2Port&) = delete;
  TFx2Port& operator=(const TFx2Port&) = delete;

  int DeviceCount();
  TPortHandle Open(int index);
  bool Close(TPortHandle handle);

  // Like DeviceIoControl. Returns ErrorSuccess when the request completed
  // (returned holds the byte count), ErrorIoPending when a transfer was
  // started on the completion record, or the error that refused it. For
  // transfers the buffers are copied, and the caller's output (and, for a
  // direct transfer, the record in the input) is written only by
  // GetOverlappedResult, never behind the caller's back.
  uint32_t IoControl(TPortHandle handle, uint32_t code, void* input, uint32_t inputSize, void* output,
                     uint32_t outputSize, uint32_t& returned, TFx2Overlapped* overlapped);

  // The result of a request started on a completion record, without
  // waiting: false with ErrorIoIncomplete while it runs, false with the
  // transfer's error when it failed.
  bool GetOverlappedResult(TFx2Overlapped& overlapped, uint32_t& returned, uint32_t& error);

private:
  std::shared_ptr<TFx2BackendDevice> Device(TPortHandle handle);
  uint32_t Query(TFx2BackendDevice& device, uint32_t code, const uint8_t* input, uint32_t inputSize,
                 uint8_t* output, uint32_t outputSize, uint32_t& returned);
  uint32_t StartTransfer(std::shared_ptr<TFx2BackendDevice> device, uint32_t code, uint8_t* input,
                         uint32_t inputSize, uint8_t* output, uint32_t outputSize, uint32_t& returned,
                         TFx2Overlapped* overlapped);

  std::unique_ptr<TFx2Backend> FBackend;
  std::mutex FMutex;
  std::map<TPortHandle, std::shared_ptr<TFx2BackendDevice>> FDevices;
  TPortHandle FNextHandle = 1;
};

} // namespace fx2port
