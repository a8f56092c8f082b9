#pragma once
// THarvik: the two-channel 12-bit device behind an FTDI bridge. Its logic is
// loaded from the configuration image "Lib/Harvik.lib" under the driver's
// path; after that it is driven through registers (harvikregisters.h) and
// keeps a copy of its 256-byte configuration memory for identity,
// calibration and memory size.

#include "daqlib.h"
#include "devicemodel.h"
#include "harvikregisters.h"
#include "usbftdi.h"

#include <array>
#include <cstdint>
#include <filesystem>

namespace sartel::harvik {

class THarvik : public TDeviceModel {
 public:
  static constexpr std::size_t ConfigSize = 256;

  THarvik(TDAQLib& lib, ftdi::TUSBFTDI& ftdi);

  TItemTables Items() const override;
  bool Configure() override;
  std::int32_t RamSize() const override;
  void Shutdown() override;

  std::int32_t CaptureProgramming() override;
  std::int32_t StartCapture() override;
  std::int32_t StopCapture() override;
  std::int32_t ForceTrigger() override;
  std::uint8_t ReadStatus() override;
  void ReadSamples(std::int32_t* channelA, std::int32_t* channelB) override;
  std::int32_t CaptureParams(std::int32_t* start, std::int32_t* end, std::int32_t* revolutions) override;

  std::string_view Identity() const override;
  std::string_view SerialNumber() const override;
  std::string_view Version() const override;
  std::int32_t Calibration(std::int32_t position) const override;

  std::int32_t StatusLamp(bool on) override;
  std::int32_t Clear() override;
  std::int32_t ReadBank(std::int32_t bank, std::uint8_t* buffer, std::int32_t length) override;
  std::int32_t WriteBank(std::int32_t bank, const std::uint8_t* data, std::int32_t length) override;
  std::int32_t ReadConfigMemory(std::uint8_t* buffer256) override;
  std::int32_t WriteConfigMemory(const std::uint8_t* data256) override;

  // Keeps a configuration memory read from the device as the copy, or a
  // zeroed copy when its first byte says it holds none (0 or 0xFF).
  void TakeConfiguration(const std::uint8_t* memory256);

  // Clocks the configuration image into the device; false with the error
  // record set ("Missing library." 2, device not found 1, 3, 4).
  bool UploadImage();
  // Where the image is looked for: the driver's path, then Lib, Harvik.lib.
  std::filesystem::path ImagePath() const;

 private:
  std::string_view Text(std::size_t offset) const;
  bool ReadCapturePoint(int reg0, std::array<std::uint8_t, 3>& bytes);

  TDAQLib& Lib;
  ftdi::TUSBFTDI& Ftdi;
  std::array<std::uint8_t, ConfigSize> Copy{};
  std::uint8_t RamAccessValue = 1;
  std::uint8_t SavedMode = ModeBalancing;
};

}  // namespace sartel::harvik
