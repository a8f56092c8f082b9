#pragma once
// One configuration descriptor and the interfaces behind it, built by a
// bounded walk over the descriptor bytes.

#include "usbinterface.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace sartel::fx2 {

constexpr std::size_t UsbMaxInterfaces = 8;

class CUsbConfig {
public:
  // Walks the descriptors by their length bytes, within the bytes received
  // and the configuration's total length. It ends on a length byte of 0 or
  // a descriptor running past the end, takes at most 8 interfaces and 15
  // endpoints each, and skips descriptors too short for their type.
  CUsbConfig(fx2port::TFx2Port* port, fx2port::TPortHandle device, std::span<const uint8_t> descriptor);
  CUsbConfig(const CUsbConfig&) = delete;
  CUsbConfig& operator=(const CUsbConfig&) = delete;

  uint8_t DscLen = 0;
  uint8_t DscType = 0;
  uint16_t TotalLength = 0;
  uint8_t NumInterfaces = 0;
  uint8_t ConfigValue = 0;
  uint8_t ConfigString = 0;
  uint8_t Attributes = 0;
  uint8_t MaxPower = 0;

  std::vector<std::unique_ptr<CUsbInterface>> Interfaces;
  // For each interface, how many interfaces share its interface number.
  std::vector<uint8_t> AltInterfaces;
};

} // namespace sartel::fx2
