#pragma once
// The FX2 port's backend for real devices, on libusb-1.0. It sees only the
// devices whose vendor and product IDs are configured (SARTEL_FX2_IDS).
// When libusb cannot start (no USB file system) it lists no device.

#include "fx2backend.h"
#include "fx2usbids.h"

#include <vector>

struct libusb_context;

namespace fx2port {

class TLibusbBackend : public TFx2Backend {
public:
  using TInitFunction = int (*)(libusb_context**);

  // init starts libusb; tests hand in one that fails.
  explicit TLibusbBackend(std::vector<TUsbId> ids, TInitFunction init = nullptr);
  ~TLibusbBackend() override;
  TLibusbBackend(const TLibusbBackend&) = delete;
  TLibusbBackend& operator=(const TLibusbBackend&) = delete;

  bool Started() const { return FContext != nullptr; }
  int DeviceCount() override;
  std::unique_ptr<TFx2BackendDevice> Open(int index) override;

private:
  libusb_context* FContext = nullptr;
  std::vector<TUsbId> FIds;
};

} // namespace fx2port
