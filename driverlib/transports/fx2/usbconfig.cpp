#include "usbconfig.h"

#include "usbdescriptors.h"

#include <algorithm>

namespace sartel::fx2 {

namespace {

bool IsConfigHeader(std::span<const uint8_t> d) {
  return d.size() >= UsbConfigDescriptorSize && d[0] >= UsbConfigDescriptorSize && d[1] == UsbConfigDescriptorType;
}

} // namespace

CUsbConfig::CUsbConfig(fx2port::TFx2Port* port, fx2port::TPortHandle device, std::span<const uint8_t> d) {
  std::size_t limit = d.size();
  if (IsConfigHeader(d)) {
    DscLen = d[0];
    DscType = d[1];
    TotalLength = UsbWord(&d[2]);
    NumInterfaces = d[4];
    ConfigValue = d[5];
    ConfigString = d[6];
    Attributes = d[7];
    MaxPower = d[8];
    limit = std::min<std::size_t>(limit, TotalLength);
  }

  CUsbInterface* current = nullptr;
  for (std::size_t pos = 0; pos + 2 <= limit;) {
    const std::size_t length = d[pos];
    const uint8_t type = d[pos + 1];
    if (length == 0 || pos + length > limit)
      break;
    if (type == UsbInterfaceDescriptorType && length >= UsbInterfaceDescriptorSize) {
      current = nullptr;
      if (Interfaces.size() < UsbMaxInterfaces) {
        Interfaces.push_back(std::make_unique<CUsbInterface>(d.subspan(pos).first<UsbInterfaceDescriptorSize>()));
        current = Interfaces.back().get();
      }
    } else if (type == UsbEndpointDescriptorType && length >= UsbEndpointDescriptorSize && current) {
      current->AddEndPoint(port, device, d.subspan(pos).first<UsbEndpointDescriptorSize>());
    }
    if (current)
      current->TotalLength += static_cast<uint32_t>(length);
    pos += length;
  }

  for (const auto& i : Interfaces)
    AltInterfaces.push_back(static_cast<uint8_t>(std::count_if(
        Interfaces.begin(), Interfaces.end(), [&](const auto& j) { return j->InterfaceNumber == i->InterfaceNumber; })));
}

} // namespace sartel::fx2
