// Feeds arbitrary bytes to every reader of what an FX2 device sends: the
// class library's descriptor walk and string readers, and the FX2 model's
// identity reader. The port's request mapping gets them as a record too.

#include "fx2/fx2requestmap.h"
#include "kalvenor2protocol.h"
#include "usbconfig.h"
#include "usbdescriptors.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);

  sartel::fx2::CUsbConfig config(nullptr, fx2port::InvalidPortHandle, bytes);
  for (const auto& i : config.Interfaces)
    for (std::size_t slot = 1; slot <= i->EndPointsFound; ++slot)
      if (!i->EndPoints[slot])
        __builtin_trap();

  sartel::fx2::TUsbDeviceDescriptor device;
  sartel::fx2::ParseDeviceDescriptor(bytes, device);
  sartel::fx2::ChooseLanguage(bytes);
  if (sartel::fx2::DecodeStringDescriptor(bytes).size() > sartel::fx2::UsbStringCapacity)
    __builtin_trap();

  const sartel::kalvenor2::TIdentity id = sartel::kalvenor2::ParseIdentityBlock(bytes);
  if (id.Identity.size() > sartel::kalvenor2::IdentityCapacity || id.Version.size() > sartel::kalvenor2::VersionCapacity ||
      id.SerialNumber.size() > sartel::kalvenor2::SerialCapacity)
    __builtin_trap();

  for (uint32_t code : {fx2port::IoctlControlTransfer, fx2port::IoctlBufferedTransfer, fx2port::IoctlDirectTransfer})
    fx2port::MapRequest(code, bytes, size);
  return 0;
}
