#include "usbfx2.h"

#include <algorithm>

namespace sartel::fx2 {

namespace {

constexpr uint8_t ToDevice = 0;
constexpr uint8_t ToHost = 1;
constexpr uint8_t VendorRequest = 2;

} // namespace

TUSBFX2::TUSBFX2(std::unique_ptr<fx2port::TFx2Port> port, uint32_t timeOutMs)
    : FPort(std::move(port)), FDevice(std::make_unique<CUsbDevice>(FPort.get(), Fx2InterfaceGuid, false)),
      FTimeOut(timeOutMs) {
  FDevice->DescriptorTimeOut = std::min(timeOutMs, UsbDescriptorTimeOutMs);
  FDevice->Close();
}

bool TUSBFX2::Fail(std::string text) {
  FErrorText = std::move(text);
  return false;
}

bool TUSBFX2::ControlOut(uint8_t request, uint16_t value, uint16_t index, const uint8_t* data, uint16_t length) {
  // The endpoint reads an outgoing buffer only.
  return Control(ToDevice, request, value, index, const_cast<uint8_t*>(data), length);
}

bool TUSBFX2::ControlIn(uint8_t request, uint16_t value, uint16_t index, uint8_t* buffer, uint16_t length) {
  return Control(ToHost, request, value, index, buffer, length);
}

bool TUSBFX2::Control(uint8_t direction, uint8_t request, uint16_t value, uint16_t index, uint8_t* data,
                      uint16_t length) {
  if (!FDevice->IsOpen() || !FDevice->ControlEndPt)
    return Fail("USB device not open.");
  CUsbControlEndPoint& endpoint = *FDevice->ControlEndPt;
  endpoint.Target = 0;
  endpoint.ReqType = VendorRequest;
  endpoint.Direction = direction;
  endpoint.ReqCode = request;
  endpoint.Value = value;
  endpoint.Index = index;
  return Run(endpoint, data, length);
}

bool TUSBFX2::BulkOut(const uint8_t* data, uint32_t length) {
  // The endpoint reads an outgoing buffer only.
  return Bulk(Fx2BulkOutAddress, const_cast<uint8_t*>(data), length);
}

bool TUSBFX2::BulkIn(uint8_t* buffer, uint32_t length) { return Bulk(Fx2BulkInAddress, buffer, length); }

bool TUSBFX2::Bulk(uint8_t address, uint8_t* data, uint32_t length) {
  if (!FDevice->IsOpen())
    return Fail("USB device not open.");
  CUsbEndPoint* endpoint = FDevice->EndPointOf(address);
  if (!endpoint)
    return Fail(FDevice->ErrorText());
  if (length > endpoint->MaxTransferSize)
    return Fail("USB transfer larger than the endpoint allows.");
  return Run(*endpoint, data, length);
}

bool TUSBFX2::Run(CUsbEndPoint& endpoint, uint8_t* data, uint32_t length) {
  endpoint.TimeOut = FTimeOut;
  uint32_t moved = length;
  if (!endpoint.XferData(data, moved))
    return Fail(endpoint.TimedOut ? "USB transfer timed out." : "USB transfer failed.");
  if (moved < length)
    return Fail(endpoint.bIn ? "USB transfer returned too few bytes." : "USB transfer sent too few bytes.");
  return true;
}

uint32_t TUSBFX2::BulkInMaxTransferSize() {
  if (!FDevice->IsOpen())
    return Fail("USB device not open."), 0;
  const CUsbEndPoint* endpoint = FDevice->EndPointOf(Fx2BulkInAddress);
  if (!endpoint)
    return Fail(FDevice->ErrorText()), 0;
  if (endpoint->MaxTransferSize == 0)
    Fail("USB bulk-in endpoint has no transfer size.");
  return endpoint->MaxTransferSize;
}

} // namespace sartel::fx2
