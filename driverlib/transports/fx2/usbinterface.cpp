#include "usbinterface.h"

namespace sartel::fx2 {

CUsbInterface::CUsbInterface(std::span<const uint8_t, 9> d)
    : DscLen(d[0]), DscType(d[1]), InterfaceNumber(d[2]), AltSetting(d[3]), EndpointCount(d[4]), Class(d[5]),
      SubClass(d[6]), Protocol(d[7]), InterfaceString(d[8]) {}

bool CUsbInterface::AddEndPoint(fx2port::TFx2Port* port, fx2port::TPortHandle device, std::span<const uint8_t, 7> d) {
  if (EndPointsFound >= UsbMaxEndpointsPerInterface)
    return false;
  std::unique_ptr<CUsbEndPoint> endpoint;
  switch (d[3] & 0x3) {
  case 0:
    endpoint = std::make_unique<CUsbControlEndPoint>(port, device, d);
    break;
  case 1:
    endpoint = std::make_unique<CUsbIsocEndPoint>(port, device, d);
    break;
  case 2:
    endpoint = std::make_unique<CUsbBulkEndPoint>(port, device, d);
    break;
  default:
    endpoint = std::make_unique<CUsbInterruptEndPoint>(port, device, d);
    break;
  }
  EndPoints[++EndPointsFound] = endpoint.get();
  FOwned.push_back(std::move(endpoint));
  return true;
}

} // namespace sartel::fx2
