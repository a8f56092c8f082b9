#pragma once
// One simulated FX2 acquisition device as its USB controller sees it: the
// standard descriptors, the vendor requests, the control byte with its
// read-back registers, and the bulk protocol of its two sample memories.
// Captures sample the shared rotor signal. Everything here runs under the
// simulator's one lock; no threads of its own.

#include "fx2/fx2transfer.h"
#include "signalmodel.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

struct TFx2Capture {
  bool Done = false;
  double Start = 0;
  double Fs = 0;
  std::int32_t Length = 0;
  double RangeA = 0;
  double RangeB = 0;
  bool TwelveBit = false;
};

class TSimKalvenor2 {
public:
  static constexpr std::size_t EepromSize = 0x8000;
  static constexpr std::size_t IdentityAddress = 0x5000;

  TSimKalvenor2(const TSignalModel& rotor, double& clock);

  // Answers a request on endpoint 0; false stalls it.
  bool Control(const fx2port::TSetupPacket& setup, std::uint8_t* data, std::uint32_t& transferred);
  // False stalls the transfer.
  bool BulkOut(const std::uint8_t* data, std::uint32_t length);
  // False when the device has nothing announced to send: it NAKs, and the
  // transfer waits until it is aborted.
  bool BulkIn(std::uint8_t* data, std::uint32_t length, std::uint32_t& transferred);

  void SetIdentity(std::uint8_t config0, const std::string& identity, const std::string& version,
                   const std::string& serial);
  // The identity text as the product string shows it: up to the first zero,
  // empty for an erased EEPROM.
  std::string IdentityText() const;

  std::array<std::uint8_t, EepromSize> Eeprom{};
  std::vector<std::uint16_t> Languages{0x0407, 0x0409};
  bool HighSpeed = true;
  // String indexes of manufacturer, product and serial number; 0 for none.
  std::array<std::uint8_t, 3> StringIndexes{1, 2, 3};
  std::array<std::uint8_t, 2> Temperatures{0x40, 0x48};
  std::array<int, 3> Lamps{-1, -1, -1};
  int ProtocolErrors = 0;
  TFx2Capture LastCapture;

private:
  enum class TState { Idle, Prepared, Armed, Triggered, Done };

  bool StandardRequest(const fx2port::TSetupPacket& setup, std::uint8_t* data, std::uint32_t& transferred);
  bool VendorOut(const fx2port::TSetupPacket& setup, const std::uint8_t* data);
  bool VendorIn(const fx2port::TSetupPacket& setup, std::uint8_t* data, std::uint32_t& transferred);
  std::vector<std::uint8_t> Descriptor(std::uint16_t value, std::uint16_t language) const;
  std::string EepromText(int which) const;
  void SetControl(std::uint8_t control);
  std::uint8_t Status();
  std::uint8_t ReadBack() const;
  void ReadMemory(std::uint8_t* data, std::uint32_t length);
  void RunCapture();
  void Stop();
  std::size_t MemorySize() const;
  bool Error();

  const TSignalModel& Rotor;
  double& Clock;
  std::uint8_t ControlValue = 0;
  std::array<std::uint8_t, 2> GainCodes{};
  std::uint16_t Divider = 0;
  std::uint32_t Announced = 0;
  bool MemoryReady = false;
  std::uint32_t WritePointer = 0;
  std::array<std::uint32_t, 2> ReadPointer{};
  std::array<bool, 2> TemperatureAsked{};
  TState State = TState::Idle;
  bool FreeRunning = false;
  bool Stopped = false;
  std::int32_t Address = 0;
  std::int32_t Revolutions = 0;
  std::vector<std::size_t> References;
  double TurnSamples = 0;
  std::array<std::vector<std::uint16_t>, 2> Memory;
};

} // namespace sim
