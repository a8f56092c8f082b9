#pragma once
// One interface descriptor (one alternate setting) of a configuration, with
// the endpoints described behind it.

#include "usbendpoint.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace sartel::fx2 {

// Slot 0 is kept for the device's control endpoint.
constexpr std::size_t UsbEndpointSlots = 16;
constexpr std::size_t UsbMaxEndpointsPerInterface = UsbEndpointSlots - 1;

class CUsbInterface {
public:
  // descriptor: the 9 bytes of an interface descriptor.
  explicit CUsbInterface(std::span<const uint8_t, 9> descriptor);
  CUsbInterface(const CUsbInterface&) = delete;
  CUsbInterface& operator=(const CUsbInterface&) = delete;

  // Adds an endpoint from its 7 descriptor bytes, by the transfer type in
  // the attributes' low two bits; false when all slots are taken.
  bool AddEndPoint(fx2port::TFx2Port* port, fx2port::TPortHandle device, std::span<const uint8_t, 7> descriptor);

  uint8_t DscLen;
  uint8_t DscType;
  uint8_t InterfaceNumber;
  uint8_t AltSetting;
  uint8_t EndpointCount; // as the descriptor says
  uint8_t Class;
  uint8_t SubClass;
  uint8_t Protocol;
  uint8_t InterfaceString;
  // Bytes of descriptors from this one up to the next interface descriptor.
  uint32_t TotalLength = 0;
  std::array<CUsbEndPoint*, UsbEndpointSlots> EndPoints{};
  uint8_t EndPointsFound = 0;

private:
  std::vector<std::unique_ptr<CUsbEndPoint>> FOwned;
};

} // namespace sartel::fx2
