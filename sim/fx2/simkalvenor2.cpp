#include "simkalvenor2.h"

#include "simfrontend.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sim {

namespace {

using fx2port::TSetupPacket;

constexpr std::int32_t FullScale = 0x8000;
// A simulated pause between captures, so each one sees another rotor phase.
constexpr double Gap = 0.29;
constexpr std::uint16_t VendorId = 0x5A45;
constexpr std::uint16_t ProductId = 0x0002;
constexpr std::uint8_t StatusArmed = 1;
constexpr std::uint8_t StatusTriggered = 2;
constexpr std::uint8_t StatusDone = 4;

// Control byte bits.
constexpr std::uint8_t Bit7 = 0x80;
constexpr std::uint8_t BitA = 0x20;
constexpr std::uint8_t BitB = 0x10;
constexpr std::uint8_t BitFree = 0x08;
constexpr std::uint8_t BitRun = 0x04;

// An unknown gain code leaves the widest range.
double RangeOf(std::uint8_t code) {
  const TInputRange* range = InputRangeOf(code);
  return range ? range->RangeMv : InputRanges[0].RangeMv;
}

void PutWord(std::vector<std::uint8_t>& d, std::uint16_t w) {
  d.push_back(static_cast<std::uint8_t>(w));
  d.push_back(static_cast<std::uint8_t>(w >> 8));
}

std::vector<std::uint8_t> StringDescriptor(const std::string& text) {
  std::vector<std::uint8_t> d{0, 3};
  for (std::size_t i = 0; i < text.size() && d.size() < 254; ++i)
    PutWord(d, static_cast<std::uint8_t>(text[i]));
  d[0] = static_cast<std::uint8_t>(d.size());
  return d;
}

} // namespace

TSimKalvenor2::TSimKalvenor2(const TSignalModel& rotor, double& clock) : Rotor(rotor), Clock(clock) {
  SetIdentity(0x01, "Kalvenor2", "2.0", "00001");
}

bool TSimKalvenor2::Error() {
  ++ProtocolErrors;
  return false;
}

void TSimKalvenor2::SetIdentity(std::uint8_t config0, const std::string& identity, const std::string& version,
                                const std::string& serial) {
  std::fill(Eeprom.begin() + IdentityAddress, Eeprom.end(), 0);
  std::size_t pos = IdentityAddress;
  Eeprom[pos] = config0;
  pos += 16;
  for (const std::string* text : {&identity, &version, &serial}) {
    const std::size_t n = std::min(text->size(), EepromSize - pos - 2);
    Eeprom[pos] = static_cast<std::uint8_t>(n >> 8);
    Eeprom[pos + 1] = static_cast<std::uint8_t>(n);
    std::memcpy(&Eeprom[pos + 2], text->data(), n);
    pos += 2 + n;
  }
}

// Text which (0 identity, 1 version, 2 serial) of the identity block.
std::string TSimKalvenor2::EepromText(int which) const {
  std::size_t pos = IdentityAddress + 16;
  for (int i = 0;; ++i) {
    if (pos + 2 > EepromSize)
      return {};
    const std::size_t n = static_cast<std::size_t>(Eeprom[pos] << 8 | Eeprom[pos + 1]);
    if (i == which) {
      std::string text(Eeprom.begin() + static_cast<std::ptrdiff_t>(pos + 2),
                       Eeprom.begin() + static_cast<std::ptrdiff_t>(std::min(pos + 2 + std::min<std::size_t>(n, 255), EepromSize)));
      text.resize(std::min(text.size(), text.find('\0')));
      return !text.empty() && static_cast<std::uint8_t>(text[0]) == 0xFF ? std::string() : text;
    }
    pos += 2 + n;
  }
}

std::string TSimKalvenor2::IdentityText() const { return EepromText(0); }

std::size_t TSimKalvenor2::MemorySize() const { return (Eeprom[IdentityAddress] & 1) ? 0x8000 : 0x4000; }

bool TSimKalvenor2::Control(const TSetupPacket& setup, std::uint8_t* data, std::uint32_t& transferred) {
  transferred = 0;
  const std::uint8_t type = setup.requestType & 0x60;
  const bool in = (setup.requestType & 0x80) != 0;
  if (type == 0x00)
    return StandardRequest(setup, data, transferred);
  if (type != 0x40)
    return Error();
  if (in)
    return VendorIn(setup, data, transferred);
  transferred = setup.length;
  return VendorOut(setup, data);
}

bool TSimKalvenor2::StandardRequest(const TSetupPacket& setup, std::uint8_t* data, std::uint32_t& transferred) {
  constexpr std::uint8_t GetDescriptor = 6;
  if (setup.requestType != 0x80 || setup.request != GetDescriptor)
    return Error();
  const std::vector<std::uint8_t> d = Descriptor(setup.value, setup.index);
  if (d.empty())
    return false;
  transferred = static_cast<std::uint32_t>(std::min<std::size_t>(d.size(), setup.length));
  std::memcpy(data, d.data(), transferred);
  return true;
}

std::vector<std::uint8_t> TSimKalvenor2::Descriptor(std::uint16_t value, std::uint16_t language) const {
  const std::uint8_t kind = static_cast<std::uint8_t>(value >> 8);
  const std::uint8_t index = static_cast<std::uint8_t>(value);
  if (kind == 1)
    return {18, 1, 0x00, 0x02, 0xFF, 0xFF, 0xFF, 64, static_cast<std::uint8_t>(VendorId), VendorId >> 8,
            static_cast<std::uint8_t>(ProductId), ProductId >> 8, 0x00, 0x01, StringIndexes[0], StringIndexes[1],
            StringIndexes[2], 1};
  if (kind == 2 && index == 0) {
    const std::uint16_t packet = HighSpeed ? 512 : 64;
    const auto lo = static_cast<std::uint8_t>(packet);
    const auto hi = static_cast<std::uint8_t>(packet >> 8);
    return {9, 2, 32, 0, 1, 1, 0, 0x80, 50, 9, 4, 0, 0, 2, 0xFF, 0, 0, 0, 7, 5, 0x02, 2, lo, hi, 0, 7, 5, 0x86,
            2, lo, hi, 0};
  }
  if (kind != 3)
    return {};
  if (index == 0) {
    std::vector<std::uint8_t> d{static_cast<std::uint8_t>(2 + 2 * Languages.size()), 3};
    for (std::uint16_t id : Languages)
      PutWord(d, id);
    return d;
  }
  const auto which = std::find(StringIndexes.begin(), StringIndexes.end(), index);
  if (std::find(Languages.begin(), Languages.end(), language) == Languages.end() || which == StringIndexes.end())
    return {};
  const std::string texts[3] = {"Zelto", EepromText(0), EepromText(2)};
  return StringDescriptor(texts[which - StringIndexes.begin()]);
}

bool TSimKalvenor2::VendorOut(const TSetupPacket& s, const std::uint8_t* data) {
  const auto oneByte = [&] { return s.length == 1; };
  switch (s.request) {
  case 0xB0:
    State = TState::Idle;
    return s.length == 0 || Error();
  case 0xB1:
    return (oneByte() && data[0] == 0) || Error();
  case 0xB2:
    if (s.length != 2)
      return Error();
    Announced = static_cast<std::uint32_t>(data[0] << 8 | data[1]);
    return true;
  case 0xB3:
    if (!oneByte())
      return Error();
    SetControl(data[0]);
    return true;
  case 0xB4:
    if (!oneByte() || s.value > 1)
      return Error();
    GainCodes[s.value] = data[0];
    return true;
  case 0xB7:
    State = TState::Prepared;
    return s.length == 0 || Error();
  case 0xB8:
    if (!oneByte() || (s.value != 0 && s.value != 2))
      return Error();
    Lamps[s.value] = data[0];
    return true;
  case 0xB9:
    if (!oneByte() || s.value > 1)
      return Error();
    TemperatureAsked[s.value] = true;
    return true;
  default:
    return Error();
  }
}

bool TSimKalvenor2::VendorIn(const TSetupPacket& s, std::uint8_t* data, std::uint32_t& transferred) {
  switch (s.request) {
  case 0xA9:
    if (s.value + static_cast<std::size_t>(s.length) > EepromSize)
      return Error();
    std::memcpy(data, &Eeprom[s.value], s.length);
    break;
  case 0xB5:
    if (s.length != 1)
      return Error();
    data[0] = Status();
    break;
  case 0xB6:
    if (s.length != 2)
      return Error();
    data[0] = static_cast<std::uint8_t>((Revolutions >> 9) >> 8 & 0x7F);
    data[1] = static_cast<std::uint8_t>(Revolutions >> 9);
    break;
  case 0xB9:
    if (s.length != 1 || s.value > 1)
      return Error();
    if (!TemperatureAsked[s.value])
      ++ProtocolErrors;
    TemperatureAsked[s.value] = false;
    data[0] = Temperatures[s.value];
    break;
  default:
    return Error();
  }
  transferred = s.length;
  return true;
}

void TSimKalvenor2::SetControl(std::uint8_t control) {
  const bool wasRunning = (ControlValue & BitRun) != 0;
  ControlValue = control;
  const bool running = (control & BitRun) != 0;
  if (running && !wasRunning && State == TState::Prepared) {
    State = TState::Armed;
    FreeRunning = (control & BitFree) != 0;
    Stopped = false;
    Address = 0;
    Revolutions = 0;
  }
  if ((control & Bit7) && (control & 3) == 3 && !(control & BitFree) && running)
    Stop();
  if (!running && wasRunning)
    State = TState::Idle;
}

// Each status read moves the capture on: armed (the capture is triggered
// right after, by the next reference pulse or at once when free-running),
// triggered with the memory half written, then done with the memory full.
std::uint8_t TSimKalvenor2::Status() {
  switch (State) {
  case TState::Armed:
    RunCapture();
    State = TState::Triggered;
    return StatusArmed;
  case TState::Triggered:
    if (!Stopped)
      Address = static_cast<std::int32_t>(MemorySize() / 2);
    State = TState::Done;
    return StatusArmed | StatusTriggered;
  case TState::Done:
    if (!Stopped)
      Address = static_cast<std::int32_t>(MemorySize() - 1);
    return StatusArmed | StatusTriggered | StatusDone;
  default:
    return 0;
  }
}

void TSimKalvenor2::RunCapture() {
  const std::size_t n = MemorySize();
  const double fs = SampleRateHz(Divider);
  const double f = Rotor.RevolutionHz();
  // A balancing capture starts on a reference pulse.
  const double start = FreeRunning || f <= 0 ? Clock : std::ceil(Clock * f) / f;
  const double ranges[2] = {RangeOf(GainCodes[0]), RangeOf(GainCodes[1])};
  const bool twelveBit = (Eeprom[IdentityAddress] & 4) != 0;
  std::vector<double> mv[2] = {std::vector<double>(n), std::vector<double>(n)};
  Rotor.Generate(start, fs, n, mv[0].data(), mv[1].data());
  for (int c = 0; c < 2; ++c) {
    Memory[c].resize(n);
    for (std::size_t i = 0; i < n; ++i) {
      auto raw = static_cast<std::uint16_t>(ToCounts(mv[c][i], ranges[c], FullScale) + FullScale);
      // A 12-bit converter leaves its low 4 bits undefined.
      if (twelveBit)
        raw = static_cast<std::uint16_t>((raw & 0xFFF0) | (i & 0xF));
      Memory[c][i] = raw;
    }
  }
  References = Rotor.ReferenceIndexes(start, fs, n);
  TurnSamples = f > 0 ? fs / f : 0;
  LastCapture = {true, start, fs, static_cast<std::int32_t>(n), ranges[0], ranges[1], twelveBit};
  Clock = start + static_cast<double>(n) / fs + Gap;
}

// Latches End and the revolutions: the last reference pulse the memory
// holds up to the address reached, and the whole turns since the pulse that
// started the capture at sample 0.
void TSimKalvenor2::Stop() {
  if (State != TState::Triggered && State != TState::Done)
    return;
  Stopped = true;
  std::size_t turns = 0;
  std::size_t end = static_cast<std::size_t>(Address);
  if (!FreeRunning) {
    const TRevolutionWindow window = RevolutionWindow(References, TurnSamples, true, end, AnyTurns);
    turns = window.Turns;
    end = window.End;
  }
  Address = static_cast<std::int32_t>(end);
  Revolutions = static_cast<std::int32_t>(turns);
}

std::uint8_t TSimKalvenor2::ReadBack() const {
  switch (ControlValue & 3) {
  case 1:
    return static_cast<std::uint8_t>(Address);
  case 2:
    return static_cast<std::uint8_t>((Address >> 8 & 0x7F) | ((Revolutions >> 8) & 1) << 7);
  case 3:
    return static_cast<std::uint8_t>(Revolutions);
  default:
    return 0;
  }
}

bool TSimKalvenor2::BulkOut(const std::uint8_t* data, std::uint32_t length) {
  const std::uint8_t memories = ControlValue & (BitA | BitB);
  if (!(ControlValue & Bit7) || length == 0)
    return Error();
  if (memories == 0) {
    const int selector = ControlValue & 3;
    if (length != 1 || (selector != 1 && selector != 2))
      return Error();
    Divider = selector == 2 ? static_cast<std::uint16_t>((Divider & 0xFF) | data[0] << 8)
                            : static_cast<std::uint16_t>((Divider & 0xFF00) | data[0]);
    return true;
  }
  const auto pointer = [&] { return static_cast<std::uint32_t>(data[1] << 8 | data[2]); };
  if (memories == (BitA | BitB) && length == 2 && data[0] == 0x01 && data[1] == 0x40) {
    MemoryReady = true;
    return true;
  }
  if (memories == (BitA | BitB) && length == 3 && data[0] == 0x02) {
    WritePointer = pointer();
    return true;
  }
  if (memories != (BitA | BitB) && length == 3 && data[0] == 0x03 && MemoryReady) {
    ReadPointer[memories == BitA ? 0 : 1] = pointer();
    return true;
  }
  return Error();
}

bool TSimKalvenor2::BulkIn(std::uint8_t* data, std::uint32_t length, std::uint32_t& transferred) {
  transferred = 0;
  if (Announced == 0) {
    Error();
    return false;
  }
  const std::uint32_t n = std::min(length, Announced);
  Announced -= n;
  const std::uint8_t memories = ControlValue & (BitA | BitB);
  if (ControlValue & Bit7) {
    std::fill_n(data, n, 0);
    Error();
  } else if (memories == BitA || memories == BitB) {
    ReadMemory(data, n);
  } else {
    std::fill_n(data, n, ReadBack());
  }
  transferred = n;
  return true;
}

void TSimKalvenor2::ReadMemory(std::uint8_t* data, std::uint32_t length) {
  const int channel = (ControlValue & BitA) ? 0 : 1;
  std::uint32_t& pointer = ReadPointer[channel];
  const std::vector<std::uint16_t>& memory = Memory[channel];
  for (std::uint32_t i = 0; i + 1 < length; i += 2, ++pointer) {
    const std::uint16_t word = pointer < memory.size() ? memory[pointer] : 0;
    if (pointer >= memory.size())
      ++ProtocolErrors;
    data[i] = static_cast<std::uint8_t>(word >> 8);
    data[i + 1] = static_cast<std::uint8_t>(word);
  }
}

} // namespace sim
