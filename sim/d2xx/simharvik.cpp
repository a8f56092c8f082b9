#include "simharvik.h"

#include <algorithm>
#include <cstring>

namespace sim {

namespace {

// Registers as the device defines them.
constexpr int Length0 = 3;
constexpr int Run = 6;
constexpr int Status = 10;
constexpr int Mode = 11;
constexpr int Divider0 = 21;
constexpr int Divider2 = 23;
constexpr int Bank0 = 25;
constexpr int CaptureEnd0 = 28;
constexpr int Revolutions = 31;
constexpr int Gain = 32;
constexpr int CaptureStart0 = 47;
constexpr int ConfigData = 60;
constexpr int ConfigCommand = 61;
constexpr int Reset = 63;

constexpr std::uint8_t Ready = 0x40;
constexpr std::uint8_t ArmedBit = 0x80;
constexpr std::uint8_t TriggeredBit = 0x02;
constexpr std::uint8_t DoneBit = 0x01;
constexpr std::uint8_t ModeBalancing = 64;
constexpr std::uint8_t ModeForceTrigger = 32;
constexpr double ClockHz = 20e6;
constexpr double RangesMv[] = {1000, 500, 250};
constexpr std::int32_t FullScale = 2048;
constexpr std::size_t MaxRevolutions = 254;
// A simulated pause between captures, so each one sees another rotor phase.
constexpr double Gap = 0.37;
constexpr std::uint8_t ImageMask = 0x5C;
// The largest image the device takes.
constexpr std::size_t MaxImage = 16u << 20;

bool IsBank(int reg) { return reg >= Bank0 && reg < Bank0 + 3; }

double Range(int index) { return RangesMv[std::min(index, 2)]; }

void Put24(std::array<std::uint8_t, 128>& registers, int reg0, std::size_t value) {
  for (int i = 0; i < 3; ++i) registers[static_cast<std::size_t>(reg0 + i)] = (value >> (8 * i)) & 0xFF;
}

void PutText(std::array<std::uint8_t, TSimHarvik::ConfigSize>& memory, std::size_t at, const char* text) {
  std::memcpy(memory.data() + at, text, std::strlen(text) + 1);
}

}  // namespace

std::array<std::uint8_t, TSimHarvik::ConfigSize> DefaultConfigMemory() {
  std::array<std::uint8_t, TSimHarvik::ConfigSize> memory{};
  PutText(memory, 0, "Kalvenor");
  PutText(memory, 21, "2.1");
  PutText(memory, 27, "000517");
  for (std::size_t word = 0; word < 8; ++word) {
    const std::size_t value = 0x1000 + 0x111 * word;
    memory[238 + word] = static_cast<std::uint8_t>(value >> 8);
    memory[246 + word] = static_cast<std::uint8_t>(value & 0xFF);
  }
  memory[255] = 1;
  return memory;
}

TSimHarvik::TSimHarvik(const TSignalModel& rotor, double& clock)
    : Rotor(rotor), Clock(clock), ConfigMemory(DefaultConfigMemory()) {}

void TSimHarvik::Receive(const std::uint8_t* data, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (BitBang)
      BitBangByte(data[i]);
    else if (HasImage)
      ParseByte(data[i]);
  }
}

std::size_t TSimHarvik::Answer(std::uint8_t* out, std::size_t length) {
  const std::size_t n = std::min(length, Waiting());
  std::copy_n(Answers.begin() + static_cast<std::ptrdiff_t>(AnswerHead), n, out);
  AnswerHead += n;
  if (AnswerHead == Answers.size()) PurgeReceived();
  return n;
}

void TSimHarvik::PurgeReceived() {
  Answers.clear();
  AnswerHead = 0;
}

void TSimHarvik::ResetBridge() {
  PurgeReceived();
  Parser = {};
}

void TSimHarvik::SetBitMode(std::uint8_t mask, std::uint8_t mode) {
  if (mode == 0x01 && mask == 0xFF) {
    // Clocking in an image replaces the device's logic.
    BitBang = true;
    BitBangValid = true;
    PairFirst = -1;
    BitCount = 0;
    RawByte = 0;
    RawImage.clear();
    HasImage = false;
  } else if (mode == 0x00 && BitBang) {
    BitBang = false;
    FinishImage();
  }
}

void TSimHarvik::BitBangByte(std::uint8_t byte) {
  if (PairFirst < 0) {
    PairFirst = byte;
    return;
  }
  const bool one = PairFirst == 0x85 && byte == 0x87;
  const bool zero = PairFirst == 0x04 && byte == 0x06;
  PairFirst = -1;
  if (!one && !zero) BitBangValid = false;
  if (one) RawByte = static_cast<std::uint8_t>(RawByte | (1u << BitCount));
  if (++BitCount < 8) return;
  if (RawImage.size() <= MaxImage) RawImage.push_back(RawByte);
  else BitBangValid = false;
  BitCount = 0;
  RawByte = 0;
}

void TSimHarvik::FinishImage() {
  // Whole bytes of valid pairs, then at least one trailing byte of 0 bits.
  const bool complete = BitBangValid && PairFirst < 0 && BitCount == 0 && RawImage.size() >= 2 &&
                        RawImage.back() == 0;
  HasImage = complete;
  Decoded.clear();
  if (complete) {
    RawImage.pop_back();
    for (std::uint8_t raw : RawImage) Decoded.push_back(raw ^ ImageMask);
    ResetLogic();
    SizeBanks();
  }
  RawImage.clear();
  RawImage.shrink_to_fit();
}

void TSimHarvik::ParseByte(std::uint8_t byte) {
  if (Parser.InData) {
    WriteData(Parser.Reg, Parser.Offset++, byte);
    if (Parser.Offset == Parser.Length) Parser = {};
    return;
  }
  Parser.Header[Parser.HeaderBytes++] = byte;
  // Resynchronise on the "ADC" magic after damaged bytes.
  static constexpr char Magic[] = "ADC";
  auto magicOk = [&] {
    for (std::size_t i = 0; i < std::min<std::size_t>(Parser.HeaderBytes, 3); ++i)
      if (Parser.Header[i] != static_cast<std::uint8_t>(Magic[i])) return false;
    return true;
  };
  while (Parser.HeaderBytes > 0 && !magicOk()) {
    std::copy(Parser.Header.begin() + 1, Parser.Header.begin() + static_cast<std::ptrdiff_t>(Parser.HeaderBytes),
              Parser.Header.begin());
    --Parser.HeaderBytes;
  }
  if (Parser.HeaderBytes == Parser.Header.size()) StartFrame();
}

void TSimHarvik::StartFrame() {
  const std::array<std::uint8_t, 7> h = Parser.Header;
  const int reg = h[3] & 0x7F;
  const bool write = h[3] & 0x80;
  const std::uint32_t length = h[4] | (h[5] << 8) | (static_cast<std::uint32_t>(h[6]) << 16);
  Parser = {};
  if (!write) {
    AnswerRead(reg, length);
    return;
  }
  if (length == 0) return;
  Parser.InData = true;
  Parser.Reg = reg;
  Parser.Length = length;
}

void TSimHarvik::WriteData(int reg, std::uint32_t offset, std::uint8_t value) {
  if (IsBank(reg)) {
    auto& bank = Banks[static_cast<std::size_t>(reg - Bank0)];
    if (offset < bank.size()) bank[offset] = value;
  } else if (reg == ConfigData) {
    if (offset < ConfigSize) ConfigWrite[offset] = value;
  } else if (offset == 0) {
    SetRegister(reg, value);
  }
}

void TSimHarvik::AnswerRead(int reg, std::uint32_t length) {
  // The device sends the data it has and zeros past its end.
  const std::size_t from = Answers.size();
  Answers.resize(from + length, 0);
  auto* out = Answers.data() + from;
  if (IsBank(reg)) {
    const auto& bank = Banks[static_cast<std::size_t>(reg - Bank0)];
    std::copy_n(bank.begin(), std::min<std::size_t>(length, bank.size()), out);
  } else if (reg == ConfigData) {
    std::copy_n(ConfigRead.begin(), std::min<std::size_t>(length, ConfigSize), out);
  } else if (length > 0) {
    out[0] = reg == Status ? ReadStatus() : Registers[static_cast<std::size_t>(reg)];
  }
}

std::uint8_t TSimHarvik::ReadStatus() {
  if (!Programmed) return 0;
  switch (State) {
    case TState::Idle:
      return Ready;
    case TState::Armed:
      // The reference pulse triggers a balancing capture at once; a
      // free-running one waits for the forced trigger.
      if (Balancing) State = TState::Triggered;
      return Ready | ArmedBit;
    case TState::Triggered:
      RunCapture();
      State = TState::Done;
      return Ready | ArmedBit | TriggeredBit;
    case TState::Done:
      return Ready | ArmedBit | TriggeredBit | DoneBit;
  }
  return 0;
}

void TSimHarvik::SetRegister(int reg, std::uint8_t value) {
  Registers[static_cast<std::size_t>(reg)] = value;
  switch (reg) {
    case Reset:
      if (value == 0xFF) ResetLogic();
      break;
    case ConfigCommand:
      if (value == 1) ConfigRead = ConfigMemory;
      if (value == 2) {
        ConfigMemory = ConfigWrite;
        SizeBanks();
      }
      break;
    case Divider2:
      Programmed = true;
      break;
    case Run:
      if (value == 1 && Programmed) {
        State = TState::Armed;
        Balancing = Registers[Mode] == ModeBalancing;
        Capture.Done = false;
      } else if (value == 0 && State != TState::Done) {
        State = TState::Idle;
      }
      break;
    case Mode:
      if (value == ModeForceTrigger && State == TState::Armed) State = TState::Triggered;
      break;
    default:
      break;
  }
}

void TSimHarvik::ResetLogic() {
  Registers.fill(0);
  Programmed = false;
  State = TState::Idle;
}

std::size_t TSimHarvik::BankSize() const { return (ConfigMemory[255] & 1) ? 0x80000 : 0x20000; }

void TSimHarvik::SizeBanks() {
  for (auto& bank : Banks) bank.resize(BankSize());
}

std::uint8_t TSimHarvik::Register(int reg) const { return Registers[static_cast<std::size_t>(reg & 0x7F)]; }

void TSimHarvik::SetConfigMemory(const std::uint8_t* memory) {
  std::copy_n(memory, ConfigSize, ConfigMemory.begin());
  if (HasImage) SizeBanks();
}

std::uint32_t TSimHarvik::Value24(int reg0) const {
  return Register(reg0) | (Register(reg0 + 1) << 8) | (static_cast<std::uint32_t>(Register(reg0 + 2)) << 16);
}

void TSimHarvik::RunCapture() {
  const std::size_t n = std::min<std::size_t>(Value24(Length0) + 1, BankSize());
  const double fs = ClockHz / (Value24(Divider0) + 1.0);
  const double rangeA = Range(Register(Gain) & 3);
  const double rangeB = Range((Register(Gain) >> 4) & 3);
  std::vector<double> a(n);
  std::vector<double> b(n);
  Rotor.Generate(Clock, fs, n, a.data(), b.data());
  for (std::size_t i = 0; i < n; ++i) {
    const auto rawA = static_cast<std::uint32_t>(ToCounts(a[i], rangeA, FullScale)) & 0xFFF;
    const auto rawB = static_cast<std::uint32_t>(ToCounts(b[i], rangeB, FullScale)) & 0xFFF;
    Banks[0][i] = rawA & 0xFF;
    Banks[1][i] = static_cast<std::uint8_t>((rawA >> 8) | ((rawB >> 8) << 4));
    Banks[2][i] = rawB & 0xFF;
  }
  const double hz = Rotor.RevolutionHz();
  const std::vector<std::size_t> pulses = Rotor.ReferenceIndexes(Clock, fs, n);
  StoreCaptureParams(RevolutionWindow(pulses, hz > 0 ? fs / hz : 0, false, n, MaxRevolutions), n, Balancing);
  Capture = {true, Clock, fs, static_cast<std::int32_t>(n), rangeA, rangeB};
  Clock += static_cast<double>(n) / fs + Gap;
}

void TSimHarvik::StoreCaptureParams(const TRevolutionWindow& window, std::size_t n, bool balancing) {
  const std::size_t start = balancing ? window.Start : 0;
  const std::size_t end = balancing ? window.End : n - 1;
  const std::size_t turns = balancing ? window.Turns : 0;
  Put24(Registers, CaptureStart0, start);
  Put24(Registers, CaptureEnd0, end);
  Registers[Revolutions] = static_cast<std::uint8_t>(turns + 1);
}

}  // namespace sim
