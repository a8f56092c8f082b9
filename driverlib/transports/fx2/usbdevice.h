#pragma once
// CUsbDevice: one FX2 device behind the FX2 port. It counts and opens
// devices, reads their descriptors and strings, builds the configurations
// and selects the interface of the device's current alternate setting,
// whose endpoints then carry the transfers.

#include "usbconfig.h"
#include "usbdescriptors.h"
#include "usbendpoint.h"

#include "fx2/fx2port.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sartel::fx2 {

struct TUsbGuid {
  uint32_t Data1 = 0;
  uint16_t Data2 = 0;
  uint16_t Data3 = 0;
  std::array<uint8_t, 8> Data4{};
};

constexpr std::size_t UsbMaxConfigs = 2;
// Drivers older than this take only buffered transfers.
constexpr uint32_t UsbDirectXferDriverVersion = 0x01050500;
constexpr uint32_t UsbDescriptorTimeOutMs = 5000;

class CUsbDevice {
public:
  CUsbDevice(fx2port::TFx2Port* port, const TUsbGuid& guid, bool open = false);
  ~CUsbDevice();
  CUsbDevice(const CUsbDevice&) = delete;
  CUsbDevice& operator=(const CUsbDevice&) = delete;

  // Number of devices the port lists, as a byte.
  uint8_t DeviceCount();
  bool Open(uint8_t index);
  void Close();
  bool IsOpen() const { return hDevice != fx2port::InvalidPortHandle; }

  // Address 0 gives the control endpoint; any other address is searched
  // among the endpoints of the selected alternate setting. Null when none
  // matches, with the text "Failed to find endpoint.".
  CUsbEndPoint* EndPointOf(uint8_t address);

  // The last error of the class library (closing handles, endpoint lookup).
  const std::string& ErrorText() const { return FErrorText; }

  CUsbInterface* Interface = nullptr;
  CUsbControlEndPoint* ControlEndPt = nullptr;
  CUsbEndPoint* IsocInEndPt = nullptr;
  CUsbEndPoint* IsocOutEndPt = nullptr;
  CUsbEndPoint* BulkInEndPt = nullptr;
  CUsbEndPoint* BulkOutEndPt = nullptr;
  CUsbEndPoint* InterruptInEndPt = nullptr;
  CUsbEndPoint* InterruptOutEndPt = nullptr;

  uint16_t StrLangID = 0;
  uint32_t UsbdStatus = 0;
  uint32_t NtStatus = 0;
  uint32_t DriverVersion = 0;
  uint32_t UsbdiVersion = 0;
  std::string DeviceName;
  std::string FriendlyName;
  std::u16string Manufacturer;
  std::u16string Product;
  std::u16string SerialNumber;

  std::array<uint8_t, UsbDeviceDescriptorSize> USBDeviceDescriptor{};
  TUsbDeviceDescriptor Descriptor;
  uint8_t USBAddress = 0;
  bool bHighSpeed = false;

  fx2port::TPortHandle hDevice = fx2port::InvalidPortHandle;
  TUsbGuid DrvGuid;
  uint8_t DevNum = 0;

  std::array<std::vector<uint8_t>, UsbMaxConfigs> ConfigDescriptors;
  std::array<std::unique_ptr<CUsbConfig>, UsbMaxConfigs> Configs;
  uint8_t Devices = 0;
  uint8_t ConfigCount = 0;
  uint8_t InterfaceCount = 0;
  uint8_t CfgNum = 0;
  uint8_t IntfcNum = 0;
  uint8_t AltSetting = 0;

  // Wait of each descriptor request while opening (its record says 5 s).
  uint32_t DescriptorTimeOut = UsbDescriptorTimeOutMs;

private:
  bool ReadDescriptor(uint16_t value, uint16_t language, std::vector<uint8_t>& bytes, uint32_t length);
  std::vector<uint8_t> ReadStringDescriptor(uint8_t index);
  std::u16string ReadString(uint8_t index);
  bool Query(uint32_t code, uint8_t* buffer, uint32_t size);
  uint32_t QueryWord(uint32_t code);
  std::string QueryName(uint32_t code);
  void QueryDriver();
  bool ReadConfigs();
  void SelectInterface(uint8_t alternateSetting);

  fx2port::TFx2Port* FPort;
  std::unique_ptr<CUsbControlEndPoint> FControlEndPoint;
  std::string FErrorText;
};

} // namespace sartel::fx2
