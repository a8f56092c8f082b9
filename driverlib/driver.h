#pragma once
// TDriver: the library-wide objects behind the exports (the driver state,
// the transports, the one device model) and the export operations that
// involve more than one of them: listing, opening, configuring and freeing.

#include "daqlib.h"
#include "devicemodel.h"
#include "tcplink.h"
#include "namedlock.h"
#include "usbftdi.h"
#include "usbfx2.h"

#include <cstdint>
#include <memory>

namespace sartel {

class TDriver {
 public:
  // Entries _ListDevices writes at most; callers pass an array of this size.
  static constexpr std::int32_t MaxListed = 256;

  TDriver();
  ~TDriver();
  TDriver(const TDriver&) = delete;
  TDriver& operator=(const TDriver&) = delete;

  // Creates the TCP link and the FX2 transport (its port chosen by the
  // environment, the device left closed), and creates and binds the FTDI
  // transport, each unless it exists; the FTDI binding's result, or true
  // when it existed.
  bool InitTransports();

  std::int32_t ListDevices(std::int32_t* indices, const char* host);
  void DeviceDescription(std::int32_t index, char16_t* description);
  void OpenDevice(std::int32_t index);
  std::int32_t CloseDevice();
  void InitDevice();
  bool ConfigDevice(bool skipUpload);
  void FreeDevice();

  TDAQLib Lib;
  std::unique_ptr<ftdi::TUSBFTDI> Ftdi;
  std::unique_ptr<tcp::TTcpLink> Tcp;
  std::unique_ptr<fx2::TUSBFX2> Fx2;
  // The cross-process lock "ZeltoFX2Device<index>" of the opened FX2 device.
  std::unique_ptr<rtl::TNamedLock> Fx2Lock;
  std::unique_ptr<TDeviceModel> Model;

 private:
  std::int32_t ListTcp(const char* host);
  std::int32_t ListFtdi(std::int32_t* indices);
  std::int32_t ListFx2(std::int32_t* indices);
  void DescribeFx2(std::int32_t index, char16_t* description);
  void OpenFx2(std::int32_t index);
  void OpenFtdi(std::int32_t index);
};

}  // namespace sartel
