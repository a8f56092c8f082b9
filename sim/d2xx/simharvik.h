#pragma once
// One simulated FTDI-attached device as its USB bridge sees it: bytes the
// host writes go to the "ADC" frame parser (or, in bit-bang mode, to the
// image decoder), and answers queue up for the host to read.
//
// The device's logic exists only after a valid configuration image was
// clocked in; before that it ignores frames and never answers, as an
// unconfigured device does. Configured, it keeps 128 registers, the 256-byte
// configuration memory and three memory banks, and runs captures of the
// shared rotor signal.

#include "signalmodel.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

struct TCaptureRecord {
  bool Done = false;
  double Start = 0;
  double Fs = 0;
  std::int32_t Length = 0;
  double RangeA = 0;
  double RangeB = 0;
};

class TSimHarvik {
 public:
  static constexpr std::size_t ConfigSize = 256;

  TSimHarvik(const TSignalModel& rotor, double& clock);

  std::string Description = "Kalvenor";

  // The bridge.
  void Receive(const std::uint8_t* data, std::size_t length);
  std::size_t Answer(std::uint8_t* out, std::size_t length);
  std::size_t Waiting() const { return Answers.size() - AnswerHead; }
  void PurgeReceived();
  void PurgeSent() { Parser = {}; }
  void ResetBridge();
  void SetBitMode(std::uint8_t mask, std::uint8_t mode);

  // What tests look at.
  bool Configured() const { return HasImage; }
  const std::vector<std::uint8_t>& Image() const { return Decoded; }
  std::uint8_t Register(int reg) const;
  void SetConfigMemory(const std::uint8_t* memory);
  const TCaptureRecord& LastCapture() const { return Capture; }

 private:
  enum class TState { Idle, Armed, Triggered, Done };
  struct TParser {
    std::array<std::uint8_t, 7> Header{};
    std::size_t HeaderBytes = 0;
    bool InData = false;
    int Reg = 0;
    std::uint32_t Length = 0;
    std::uint32_t Offset = 0;
  };

  void ParseByte(std::uint8_t byte);
  void StartFrame();
  void WriteData(int reg, std::uint32_t offset, std::uint8_t value);
  void AnswerRead(int reg, std::uint32_t length);
  std::uint8_t ReadStatus();
  void SetRegister(int reg, std::uint8_t value);
  void ResetLogic();
  void BitBangByte(std::uint8_t byte);
  void FinishImage();
  void SizeBanks();
  void RunCapture();
  void StoreCaptureParams(const TRevolutionWindow& window, std::size_t n, bool balancing);
  std::size_t BankSize() const;
  std::uint32_t Value24(int reg0) const;

  const TSignalModel& Rotor;
  double& Clock;
  // The image arrives as pairs of bytes, one pair per bit.
  bool BitBang = false;
  bool BitBangValid = true;
  int PairFirst = -1;
  int BitCount = 0;
  std::uint8_t RawByte = 0;
  std::vector<std::uint8_t> RawImage;
  bool HasImage = false;
  std::vector<std::uint8_t> Decoded;
  TParser Parser;
  // Answers not yet read start at AnswerHead.
  std::vector<std::uint8_t> Answers;
  std::size_t AnswerHead = 0;
  std::array<std::uint8_t, 128> Registers{};
  std::array<std::uint8_t, ConfigSize> ConfigMemory{};
  std::array<std::uint8_t, ConfigSize> ConfigRead{};
  std::array<std::uint8_t, ConfigSize> ConfigWrite{};
  std::array<std::vector<std::uint8_t>, 3> Banks;
  // Set once the last register of capture programming arrived.
  bool Programmed = false;
  bool Balancing = true;
  TState State = TState::Idle;
  TCaptureRecord Capture;
};

// The configuration memory a new simulated device holds: identity
// "Kalvenor", version, serial number, calibration words and large memory.
std::array<std::uint8_t, TSimHarvik::ConfigSize> DefaultConfigMemory();

}  // namespace sim
