#include "usbdevice.h"

#include "fx2/fx2request.h"

#include <algorithm>

using namespace fx2port;

namespace sartel::fx2 {

namespace {

constexpr uint8_t GetDescriptor = 6;
constexpr uint16_t DeviceDescriptorValue = 0x0100;
constexpr uint16_t ConfigDescriptorValue = 0x0200;
constexpr uint16_t StringDescriptorValue = 0x0300;
constexpr uint32_t DescriptorRecordSeconds = 5;
constexpr uint8_t UnknownAlternateSetting = 255;

} // namespace

CUsbDevice::CUsbDevice(TFx2Port* port, const TUsbGuid& guid, bool open) : DrvGuid(guid), FPort(port) {
  if (open)
    Open(0);
}

CUsbDevice::~CUsbDevice() { Close(); }

uint8_t CUsbDevice::DeviceCount() {
  Devices = FPort ? static_cast<uint8_t>(std::min(FPort->DeviceCount(), 255)) : 0;
  return Devices;
}

bool CUsbDevice::Open(uint8_t index) {
  Close();
  if (DeviceCount() == 0 || index >= Devices)
    return false;
  hDevice = FPort->Open(index);
  if (hDevice == InvalidPortHandle)
    return false;
  DevNum = index;

  std::vector<uint8_t> bytes;
  if (!ReadDescriptor(DeviceDescriptorValue, 0, bytes, UsbDeviceDescriptorSize) ||
      !ParseDeviceDescriptor(bytes, Descriptor)) {
    Close();
    return false;
  }
  std::copy_n(bytes.begin(), UsbDeviceDescriptorSize, USBDeviceDescriptor.begin());
  StrLangID = ChooseLanguage(ReadStringDescriptor(0));
  Manufacturer = ReadString(Descriptor.ManufacturerIndex);
  Product = ReadString(Descriptor.ProductIndex);
  SerialNumber = ReadString(Descriptor.SerialNumberIndex);
  QueryDriver();

  FControlEndPoint = std::make_unique<CUsbControlEndPoint>(FPort, hDevice, Descriptor.MaxPacketSize0);
  ControlEndPt = FControlEndPoint.get();
  if (!ReadConfigs()) {
    Close();
    return false;
  }
  uint8_t alternate = 0;
  if (!Query(IoctlAlternateSetting, &alternate, 1))
    alternate = UnknownAlternateSetting;
  SelectInterface(alternate);
  return true;
}

void CUsbDevice::Close() {
  if (hDevice != InvalidPortHandle && !FPort->Close(hDevice))
    FErrorText = "Failed to close handle to driver.";
  hDevice = InvalidPortHandle;
  USBDeviceDescriptor.fill(0);
  Descriptor = {};
  for (std::size_t i = 0; i < UsbMaxConfigs; ++i) {
    Configs[i].reset();
    ConfigDescriptors[i].clear();
  }
  FControlEndPoint.reset();
  ControlEndPt = nullptr;
  Interface = nullptr;
  IsocInEndPt = IsocOutEndPt = BulkInEndPt = BulkOutEndPt = InterruptInEndPt = InterruptOutEndPt = nullptr;
  ConfigCount = InterfaceCount = CfgNum = IntfcNum = AltSetting = 0;
  Manufacturer.clear();
  Product.clear();
  SerialNumber.clear();
}

CUsbEndPoint* CUsbDevice::EndPointOf(uint8_t address) {
  if (address == 0 && ControlEndPt)
    return ControlEndPt;
  if (Interface)
    for (std::size_t slot = 1; slot <= Interface->EndPointsFound; ++slot)
      if (Interface->EndPoints[slot] && Interface->EndPoints[slot]->Address == address)
        return Interface->EndPoints[slot];
  FErrorText = "Failed to find endpoint.";
  return nullptr;
}

bool CUsbDevice::ReadDescriptor(uint16_t value, uint16_t language, std::vector<uint8_t>& bytes, uint32_t length) {
  CUsbControlEndPoint request(FPort, hDevice, 0);
  request.ReqType = 0;
  request.Direction = 1;
  request.ReqCode = GetDescriptor;
  request.Value = value;
  request.Index = language;
  request.TimeOut = DescriptorTimeOut;
  request.RecordTimeOutSeconds = DescriptorRecordSeconds;
  bytes.assign(length, 0);
  const bool ok = request.XferData(bytes.data(), length);
  UsbdStatus = request.UsbdStatus;
  NtStatus = request.NtStatus;
  bytes.resize(ok ? length : 0);
  return ok;
}

// First the two header bytes for the length, then the whole descriptor.
std::vector<uint8_t> CUsbDevice::ReadStringDescriptor(uint8_t index) {
  const uint16_t value = static_cast<uint16_t>(StringDescriptorValue + index);
  const uint16_t language = index == 0 ? 0 : StrLangID;
  std::vector<uint8_t> bytes;
  if (!ReadDescriptor(value, language, bytes, 2) || bytes.size() < 2 || bytes[0] <= 2)
    return {};
  ReadDescriptor(value, language, bytes, bytes[0]);
  return bytes;
}

// Index 0 names no string: reading it would return the language table.
std::u16string CUsbDevice::ReadString(uint8_t index) {
  return index == 0 ? std::u16string() : DecodeStringDescriptor(ReadStringDescriptor(index));
}

// A plain query passes one buffer as input and output and counts only
// when exactly its size came back; failed queries leave zero.
bool CUsbDevice::Query(uint32_t code, uint8_t* buffer, uint32_t size) {
  uint32_t returned = 0;
  const bool ok = FPort->IoControl(hDevice, code, buffer, size, buffer, size, returned, nullptr) == ErrorSuccess &&
                  returned == size;
  if (!ok)
    std::fill_n(buffer, size, 0);
  return ok;
}

uint32_t CUsbDevice::QueryWord(uint32_t code) {
  uint8_t b[4] = {};
  Query(code, b, 4);
  return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
         static_cast<uint32_t>(b[3]) << 24;
}

std::string CUsbDevice::QueryName(uint32_t code) {
  char name[DeviceNameSize] = {};
  Query(code, reinterpret_cast<uint8_t*>(name), DeviceNameSize);
  name[DeviceNameSize - 1] = 0;
  return name;
}

void CUsbDevice::QueryDriver() {
  Query(IoctlAddress, &USBAddress, 1);
  DeviceName = QueryName(IoctlDeviceName);
  FriendlyName = QueryName(IoctlFriendlyName);
  DriverVersion = QueryWord(IoctlDriverVersion);
  UsbdiVersion = QueryWord(IoctlUsbdiVersion);
  bHighSpeed = QueryWord(IoctlSpeed) == HighSpeed;
}

// First the 9-byte header for the total length, then the whole. Fails when
// no configuration with an interface was read.
bool CUsbDevice::ReadConfigs() {
  ConfigCount = static_cast<uint8_t>(std::min<std::size_t>(Descriptor.ConfigurationCount, UsbMaxConfigs));
  for (uint8_t i = 0; i < ConfigCount; ++i) {
    const uint16_t value = static_cast<uint16_t>(ConfigDescriptorValue + i);
    std::vector<uint8_t> header;
    if (!ReadDescriptor(value, 0, header, UsbConfigDescriptorSize) || header.size() < 4)
      continue;
    const uint16_t total = UsbWord(&header[2]);
    if (total < UsbConfigDescriptorSize || !ReadDescriptor(value, 0, ConfigDescriptors[i], total))
      continue;
    Configs[i] = std::make_unique<CUsbConfig>(FPort, hDevice, ConfigDescriptors[i]);
  }
  return Configs[0] && !Configs[0]->Interfaces.empty();
}

void CUsbDevice::SelectInterface(uint8_t alternateSetting) {
  CfgNum = 0;
  const CUsbConfig& config = *Configs[0];
  InterfaceCount = static_cast<uint8_t>(config.Interfaces.size());
  AltSetting = alternateSetting;
  Interface = nullptr;
  for (std::size_t i = 0; i < config.Interfaces.size() && !Interface; ++i)
    if (config.Interfaces[i]->AltSetting == alternateSetting) {
      Interface = config.Interfaces[i].get();
      IntfcNum = static_cast<uint8_t>(i);
    }
  if (!Interface)
    return;
  Interface->EndPoints[0] = ControlEndPt;
  for (std::size_t slot = 1; slot <= Interface->EndPointsFound; ++slot) {
    CUsbEndPoint* e = Interface->EndPoints[slot];
    if (DriverVersion < UsbDirectXferDriverVersion)
      e->bDirect = false;
    CUsbEndPoint*& chosen = [&]() -> CUsbEndPoint*& {
      switch (e->Attributes & 0x3) {
      case 1:
        return e->bIn ? IsocInEndPt : IsocOutEndPt;
      case 2:
        return e->bIn ? BulkInEndPt : BulkOutEndPt;
      default:
        return e->bIn ? InterruptInEndPt : InterruptOutEndPt;
      }
    }();
    if ((e->Attributes & 0x3) != 0 && !chosen)
      chosen = e;
  }
}

} // namespace sartel::fx2
