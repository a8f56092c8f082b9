#pragma once
// TKalvenor2: the device behind the FX2 USB controller, and the model that
// stands for demo mode. It drives the device with vendor requests and the
// two bulk endpoints of the FX2 transport (kalvenor2protocol.h has the
// bytes), reads its identity from the EEPROM, programs gains and the
// sampling divider, runs captures and decodes their samples. Without a
// device (demo mode) it does no I/O and answers 0.
//
// A failing operation stops at its first failed transfer, returns 0 and
// sets error code 1 with the transport's text; failed read-backs give 0.

#include "daqlib.h"
#include "devicemodel.h"
#include "kalvenor2protocol.h"
#include "usbfx2.h"

#include <array>
#include <cstdint>
#include <string>

namespace sartel::kalvenor2 {

inline constexpr std::int32_t SmallMemory = 0x4000;
inline constexpr std::int32_t LargeMemory = 0x8000;
// In 12-bit mode a high-speed device needs this long before its memory can
// be read.
inline constexpr std::uint32_t TwelveBitSettleMs = 1000;
inline constexpr std::uint32_t TemperatureSettleMs = 20;

class TKalvenor2 : public TDeviceModel {
 public:
  static constexpr std::size_t ConfigBytes = ConfigByteCount;

  // Demo mode: no device, no I/O.
  TKalvenor2() = default;
  TKalvenor2(TDAQLib& lib, fx2::TUSBFX2& fx2);

  TItemTables Items() const override;
  // Reads the identity from the EEPROM and configures the device (0xB1);
  // without a device there is nothing to read.
  bool Configure() override;
  std::int32_t RamSize() const override;
  // Sends the free request 0xB0.
  void Shutdown() override;

  std::int32_t CaptureProgramming() override;
  std::int32_t StartCapture() override;
  std::int32_t StopCapture() override;
  std::int32_t EndCapture() override;
  std::uint8_t ReadStatus() override;
  std::int32_t WriteAddress() override;
  void ReadSamples(std::int32_t* channelA, std::int32_t* channelB) override;
  std::int32_t CaptureParams(std::int32_t* start, std::int32_t* end, std::int32_t* revolutions) override;
  std::int32_t Temperature(double* a, double* b) override;

  std::string_view Identity() const override { return Id.Identity; }
  std::string_view SerialNumber() const override { return Id.SerialNumber; }
  std::string_view Version() const override { return Id.Version; }
  std::uint8_t ConfigByte(std::int32_t position) const override;

  std::int32_t ErrorLamp(bool on) override { return SetLamp(LampError, on); }
  std::int32_t Laser(bool on) override { return SetLamp(LampLaser, on); }

 private:
  bool Device() const { return Fx2 != nullptr; }
  bool TwelveBit() const { return (Id.Config[0] & 4) != 0; }
  std::int32_t SetLamp(std::uint16_t lamp, bool on);
  bool ReadIdentity();
  bool SendControl();
  bool ReadBack(std::uint8_t selector, std::uint8_t& value);
  bool BulkOut(std::initializer_list<std::uint8_t> bytes);
  bool ControlOut(std::uint8_t request, std::uint16_t value, std::initializer_list<std::uint8_t> bytes);
  bool SelectMemories(bool a, bool b);
  bool ReadChannel(bool channelB, std::vector<std::uint8_t>& bytes);
  bool ReadTemperature(std::uint16_t channel, double* out);
  // Sets error code 1 with the transport's text; false.
  bool Fail();

  TDAQLib* Lib = nullptr;
  fx2::TUSBFX2* Fx2 = nullptr;
  TIdentity Id;
  TControl Control;
};

}  // namespace sartel::kalvenor2
