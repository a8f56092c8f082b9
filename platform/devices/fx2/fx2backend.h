#pragma once
// The seam between the FX2 port and what moves the bytes: the libusb-1.0
// backend for real devices, or a simulated device loaded as a shared
// library (SARTEL_FX2_PORT). Both backends are ordinary implementations of
// these two classes; nothing above the seam knows which one it talks to.

#include "fx2transfer.h"

#include <cstdint>
#include <memory>
#include <string>

namespace fx2port {

// Versions the port reports for itself. Drivers from 1.5.5 on take direct
// transfers; a backend may report an older one to get buffered transfers.
constexpr uint32_t PortDriverVersion = 0x02000000;
constexpr uint32_t PortUsbdiVersion = 0x00000500;
constexpr uint32_t SpeedLow = 0;
constexpr uint32_t SpeedFull = 1;
constexpr uint32_t SpeedHigh = 2;

struct TDeviceInfo {
  uint8_t address = 0;
  uint32_t speed = SpeedFull;
  std::string deviceName;
  std::string friendlyName;
  uint32_t driverVersion = PortDriverVersion;
  uint32_t usbdiVersion = PortUsbdiVersion;
};

// One opened device.
class TFx2BackendDevice {
public:
  virtual ~TFx2BackendDevice() = default;

  // Runs one transfer to its end: done, failed, out of its own time-out
  // (when transfer.timeoutMs > 0) or aborted. data holds transfer.length
  // bytes: the data stage going out, or room for the one coming in.
  virtual TTransferStatus Transfer(const TUsbTransfer& transfer, uint8_t* data, uint32_t& transferred) = 0;

  // Cancels the transfers running on an endpoint (0: the control endpoint)
  // and returns only once they have completed, so that no buffer is written
  // after it returns. Called from another thread while Transfer runs.
  virtual void Abort(uint8_t endpoint) = 0;

  virtual TDeviceInfo Info() = 0;

  // The current alternate setting of an interface; false when unknown.
  virtual bool AlternateSetting(uint8_t interfaceNumber, uint8_t& setting) = 0;
};

class TFx2Backend {
public:
  virtual ~TFx2Backend() = default;

  // Counts the FX2 devices present. Never claims, resets or configures one,
  // so it also counts devices another process holds.
  virtual int DeviceCount() = 0;

  // Opens device index (0-based); null when it cannot.
  virtual std::unique_ptr<TFx2BackendDevice> Open(int index) = 0;
};

// A backend library exports this function under CreateBackendSymbol; the
// port owns what it returns.
using TCreateBackendFunction = TFx2Backend* (*)();
inline constexpr const char* CreateBackendSymbol = "SartelFx2CreateBackend";

} // namespace fx2port
