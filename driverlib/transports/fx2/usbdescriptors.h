#pragma once
// Reading the standard USB descriptors a device sends: pure functions over
// the bytes actually received, never trusting a length byte beyond them.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace sartel::fx2 {

constexpr uint8_t UsbDeviceDescriptorType = 1;
constexpr uint8_t UsbConfigDescriptorType = 2;
constexpr uint8_t UsbStringDescriptorType = 3;
constexpr uint8_t UsbInterfaceDescriptorType = 4;
constexpr uint8_t UsbEndpointDescriptorType = 5;
constexpr std::size_t UsbDeviceDescriptorSize = 18;
constexpr std::size_t UsbConfigDescriptorSize = 9;
constexpr std::size_t UsbInterfaceDescriptorSize = 9;
constexpr std::size_t UsbEndpointDescriptorSize = 7;
constexpr uint16_t UsbLanguageEnglishUS = 0x0409;
// The class library keeps 256 UTF-16 units per string, with the terminator.
constexpr std::size_t UsbStringCapacity = 255;

struct TUsbDeviceDescriptor {
  uint16_t UsbVersion = 0;
  uint8_t DeviceClass = 0;
  uint8_t DeviceSubClass = 0;
  uint8_t DeviceProtocol = 0;
  uint8_t MaxPacketSize0 = 0;
  uint16_t VendorID = 0;
  uint16_t ProductID = 0;
  uint16_t DeviceRelease = 0;
  uint8_t ManufacturerIndex = 0;
  uint8_t ProductIndex = 0;
  uint8_t SerialNumberIndex = 0;
  uint8_t ConfigurationCount = 0;
};

uint16_t UsbWord(const uint8_t* bytes);

// False unless 18 bytes of a device descriptor arrived.
bool ParseDeviceDescriptor(std::span<const uint8_t> bytes, TUsbDeviceDescriptor& descriptor);

// The language of string descriptor 0: US English when offered, else the
// first one, else US English.
uint16_t ChooseLanguage(std::span<const uint8_t> stringZero);

// The text of a string descriptor: its length byte less 2 bytes of UTF-16,
// bounded by what arrived and by the field's capacity; empty when the length
// is 2 or less or the type is not 3.
std::u16string DecodeStringDescriptor(std::span<const uint8_t> bytes);

// (1 + bits 11-12) x bits 0-10 of wMaxPacketSize.
uint32_t MaxTransferSizeOf(uint16_t maxPacketSize);

} // namespace sartel::fx2
