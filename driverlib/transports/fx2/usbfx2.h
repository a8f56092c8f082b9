#pragma once
// TUSBFX2: the thin transport the FX2 device model uses. Vendor control
// requests in and out, bulk out on endpoint 0x02 and bulk in on 0x86, all
// through one CUsbDevice on the FX2 port.

#include "usbdevice.h"

#include "fx2/fx2port.h"

#include <cstdint>
#include <memory>
#include <string>

namespace sartel::fx2 {

constexpr TUsbGuid Fx2InterfaceGuid{0x70985439, 0x5D7F, 0x43FD, {0xB3, 0x1C, 0xD1, 0x60, 0x8D, 0xC5, 0xF1, 0xE0}};
constexpr uint8_t Fx2BulkOutAddress = 0x02;
constexpr uint8_t Fx2BulkInAddress = 0x86;

class TUSBFX2 {
public:
  // Takes the port (the environment's choice in the driver) and leaves the
  // device closed. timeOutMs bounds every transfer.
  TUSBFX2(std::unique_ptr<fx2port::TFx2Port> port, uint32_t timeOutMs);
  TUSBFX2(const TUSBFX2&) = delete;
  TUSBFX2& operator=(const TUSBFX2&) = delete;

  CUsbDevice& Device() { return *FDevice; }

  // All four return false when the device is not open, with a text for
  // ErrorText(). A transfer fails unless every byte asked for moved.
  bool ControlOut(uint8_t request, uint16_t value, uint16_t index, const uint8_t* data, uint16_t length);
  bool ControlIn(uint8_t request, uint16_t value, uint16_t index, uint8_t* buffer, uint16_t length);
  // Fail without any I/O when the endpoint is missing or length exceeds
  // its maximum transfer size.
  bool BulkOut(const uint8_t* data, uint32_t length);
  bool BulkIn(uint8_t* buffer, uint32_t length);

  // Maximum transfer size of the bulk-in endpoint; 0, with a text, without
  // one.
  uint32_t BulkInMaxTransferSize();
  bool HighSpeed() const { return FDevice->bHighSpeed; }
  uint32_t TimeOut() const { return FTimeOut; }

  // Why the last failed operation failed.
  const std::string& ErrorText() const { return FErrorText; }

private:
  bool Control(uint8_t direction, uint8_t request, uint16_t value, uint16_t index, uint8_t* data, uint16_t length);
  bool Bulk(uint8_t address, uint8_t* data, uint32_t length);
  bool Run(CUsbEndPoint& endpoint, uint8_t* data, uint32_t length);
  bool Fail(std::string text);

  std::unique_ptr<fx2port::TFx2Port> FPort;
  std::unique_ptr<CUsbDevice> FDevice;
  uint32_t FTimeOut;
  std::string FErrorText;
};

} // namespace sartel::fx2
