#include "simlodrast.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace sim {

namespace {

enum : std::uint8_t {
  OpStatus = 7,
  OpTemperature = 8,
  OpRevolutions = 9,
  OpReadOut = 16,
  OpAddress = 17,
  OpStart = 18,
  OpStop = 19,
  OpEnd = 20,
  OpProgram = 21,
  OpRunControl = 22,
};
enum : std::uint8_t { Armed = 1, Triggered = 2, Done = 4 };
constexpr std::uint8_t RunArgument = 0x90;
constexpr std::uint8_t HaltArgument = 0x80;

// By gain code: the front end's input range, the offset this device's
// converter adds, and the full scale of its temperature input.
struct TRange {
  TInputRange Input;
  std::uint16_t Offset;
  double TemperatureScaleMv;
};
constexpr TRange Ranges[] = {{InputRanges[0], 125, 5000}, {InputRanges[1], 300, 2000}, {InputRanges[2], 520, 1000}};
static_assert(std::size(Ranges) == InputRanges.size(), "a row per input range");
constexpr TRange UnknownRange{{0, 2500}, 0, 5000};

const TRange& RangeOf(std::uint8_t code) {
  for (const TRange& range : Ranges)
    if (range.Input.Code == code) return range;
  return UnknownRange;
}

// Counts per side of the 16-bit converter.
constexpr std::int32_t FullScale = 32768;

// Simulated seconds between two captures, so each sees another rotor phase.
constexpr double Gap = 0.37;

}  // namespace

TSimLodrast::TSimLodrast(const TRotor& rotor) : Rotor(rotor), Memory(MemorySamples, 0x8000) {}

double TSimLodrast::RangeMv() const { return RangeOf(GainCode).Input.RangeMv; }

std::uint16_t TSimLodrast::SampleOffset() const { return RangeOf(GainCode).Offset; }

std::vector<std::uint8_t> TSimLodrast::Execute(const TCommand& command) {
  switch (command.Opcode) {
    case OpStatus:
      return {Status()};
    case OpTemperature:
      return TemperatureReply();
    case OpRevolutions:
      return CounterReply();
    case OpReadOut:
      return ReadOut(command.Length);
    case OpAddress:
      return AddressReply();
    case OpStart:
      if (Running) {
        Balancing = command.Argument == 0;
        State = TState::Armed;
        WriteAddress = 0;
      }
      return {};
    case OpStop:
      if (State == TState::Sampling) FinishCapture(WriteAddress);
      if (State == TState::Armed) State = TState::Idle;
      return {};
    case OpEnd:
      State = TState::Idle;
      return {};
    case OpProgram:
      GainCode = command.Parameters[0];
      Divider = static_cast<std::uint16_t>(command.Parameters[1] | (command.Parameters[2] << 8));
      return {};
    case OpRunControl:
      if (command.Argument == RunArgument) Running = true;
      if (command.Argument == HaltArgument) Running = false;
      return {};
    default:
      return {};
  }
}

std::uint8_t TSimLodrast::Status() {
  switch (State) {
    case TState::Idle:
      return 0;
    case TState::Armed:
      State = TState::Sampling;
      return Armed;
    case TState::Sampling:
      WriteAddress = std::min(WriteAddress + std::max(SamplesPerPoll, 1), MemorySamples);
      if (WriteAddress < MemorySamples) return Armed | Triggered;
      FinishCapture(MemorySamples);
      return Armed | Triggered | Done;
    case TState::Done:
      return Armed | Triggered | Done;
  }
  return 0;
}

void TSimLodrast::FinishCapture(std::int32_t samples) {
  const double fs = SamplingHz();
  const double hz = Rotor.RevolutionHz();
  // A balancing capture waits for the reference pulse.
  const double start = Balancing && hz > 0 ? std::ceil(Time * hz) / hz : Time;
  const auto n = static_cast<std::size_t>(std::max(samples, 0));
  Signal.assign(n, 0.0);
  std::vector<double> b(n);
  Rotor.Generate(start, fs, n, Signal.data(), b.data());
  std::fill(Memory.begin(), Memory.end(), ToWord(0.0));
  std::transform(Signal.begin(), Signal.end(), Memory.begin(), [this](double mv) { return ToWord(mv); });

  std::int32_t end = samples;
  std::int32_t turns = 0;
  if (Balancing) {
    const TRevolutionWindow window =
        RevolutionWindow(Rotor.ReferenceIndexes(start, fs, n), hz > 0 ? fs / hz : 0, true, n, AnyTurns);
    end = static_cast<std::int32_t>(window.End);
    turns = static_cast<std::int32_t>(window.Turns);
  } else if (hz > 0) {
    turns = static_cast<std::int32_t>(samples * hz / fs);
  }
  Capture = {true, Balancing, start, fs, RangeMv(), samples, end, turns};
  WriteAddress = end;
  State = TState::Done;
  Time = start + static_cast<double>(n) / fs + Gap;
}

std::uint16_t TSimLodrast::ToWord(double mv) const {
  const TRange& range = RangeOf(GainCode);
  const std::int32_t word = ToCounts(mv, range.Input.RangeMv, FullScale) + FullScale + range.Offset;
  return static_cast<std::uint16_t>(std::clamp(word, 0, 0xFFFF));
}

std::vector<std::uint8_t> TSimLodrast::AddressReply() const {
  const std::int32_t turns = State == TState::Done ? Capture.Revolutions : 0;
  const auto address = static_cast<std::uint32_t>(WriteAddress) & 0x7FFF;
  return {static_cast<std::uint8_t>(address & 0xFF),
          static_cast<std::uint8_t>((address >> 8) | (((turns >> 8) & 1) << 7)),
          static_cast<std::uint8_t>(turns & 0xFF)};
}

std::vector<std::uint8_t> TSimLodrast::CounterReply() const {
  const std::int32_t turns = State == TState::Done ? Capture.Revolutions : 0;
  const auto counter = static_cast<std::uint16_t>((turns >> 9) & 0x7FFF);
  return {static_cast<std::uint8_t>(counter >> 8), static_cast<std::uint8_t>(counter & 0xFF)};
}

std::vector<std::uint8_t> TSimLodrast::ReadOut(std::uint16_t bytes) const {
  std::vector<std::uint8_t> reply(bytes, 0);
  for (std::size_t i = 0; i + 1 < reply.size() && i / 2 < Memory.size(); i += 2) {
    reply[i] = static_cast<std::uint8_t>(Memory[i / 2] >> 8);
    reply[i + 1] = static_cast<std::uint8_t>(Memory[i / 2] & 0xFF);
  }
  return reply;
}

std::vector<std::uint8_t> TSimLodrast::TemperatureReply() const {
  const double scale = RangeOf(GainCode).TemperatureScaleMv;
  const auto word = static_cast<std::uint16_t>(std::clamp(std::round(TemperatureMv / scale * 65535.0), 0.0, 65535.0));
  std::vector<std::uint8_t> reply;
  reply.reserve(512);
  for (int i = 0; i < 256; ++i) {
    reply.push_back(static_cast<std::uint8_t>(word >> 8));
    reply.push_back(static_cast<std::uint8_t>(word & 0xFF));
  }
  return reply;
}

}  // namespace sim
