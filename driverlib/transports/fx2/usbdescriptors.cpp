#include "usbdescriptors.h"

#include <algorithm>

namespace sartel::fx2 {

uint16_t UsbWord(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }

bool ParseDeviceDescriptor(std::span<const uint8_t> bytes, TUsbDeviceDescriptor& d) {
  if (bytes.size() < UsbDeviceDescriptorSize || bytes[1] != UsbDeviceDescriptorType)
    return false;
  const uint8_t* b = bytes.data();
  d.UsbVersion = UsbWord(b + 2);
  d.DeviceClass = b[4];
  d.DeviceSubClass = b[5];
  d.DeviceProtocol = b[6];
  d.MaxPacketSize0 = b[7];
  d.VendorID = UsbWord(b + 8);
  d.ProductID = UsbWord(b + 10);
  d.DeviceRelease = UsbWord(b + 12);
  d.ManufacturerIndex = b[14];
  d.ProductIndex = b[15];
  d.SerialNumberIndex = b[16];
  d.ConfigurationCount = b[17];
  return true;
}

uint16_t ChooseLanguage(std::span<const uint8_t> stringZero) {
  if (stringZero.size() < 4 || stringZero[1] != UsbStringDescriptorType)
    return UsbLanguageEnglishUS;
  const std::size_t end = std::min<std::size_t>(stringZero[0], stringZero.size());
  if (end < 4)
    return UsbLanguageEnglishUS;
  for (std::size_t i = 2; i + 1 < end; i += 2)
    if (UsbWord(&stringZero[i]) == UsbLanguageEnglishUS)
      return UsbLanguageEnglishUS;
  return UsbWord(&stringZero[2]);
}

std::u16string DecodeStringDescriptor(std::span<const uint8_t> bytes) {
  if (bytes.size() < 2 || bytes[0] <= 2 || bytes[1] != UsbStringDescriptorType)
    return {};
  const std::size_t end = std::min<std::size_t>(bytes[0], bytes.size());
  std::u16string text;
  for (std::size_t i = 2; i + 1 < end && text.size() < UsbStringCapacity; i += 2)
    text.push_back(static_cast<char16_t>(UsbWord(&bytes[i])));
  return text;
}

uint32_t MaxTransferSizeOf(uint16_t maxPacketSize) {
  return (1u + ((maxPacketSize >> 11) & 0x3u)) * (maxPacketSize & 0x7FFu);
}

} // namespace sartel::fx2
