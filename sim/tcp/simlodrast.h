#pragma once
// The logic of the simulated network device: it executes complete commands
// and answers with replies of exactly the protocol's sizes (the status one
// byte, the address three, the revolution counter two, the temperature 512,
// a read-out the byte count it asked for).
//
// The device's clock is the simulation's, not the wall's: a capture moves
// on with every status read (armed, triggered, then SamplesPerPoll samples
// per read until the memory is full), so a whole capture takes as long as
// the host polls. A balancing capture starts on the reference pulse, so its
// window begins at sample 0 and ends on the last whole revolution.

#include "commandparser.h"
#include "rotor.h"
#include "simfrontend.h"

#include <cstdint>
#include <vector>

namespace sim {

struct TLodrastCapture {
  bool Done = false;
  bool Balancing = true;
  double Start = 0;
  double Fs = 0;
  double RangeMv = 0;
  std::int32_t Samples = 0;
  std::int32_t End = 0;
  std::int32_t Revolutions = 0;
};

class TSimLodrast {
 public:
  static constexpr std::int32_t MemorySamples = 0x4000;

  explicit TSimLodrast(const TRotor& rotor);

  std::vector<std::uint8_t> Execute(const TCommand& command);

  // How far a capture moves with each status read while sampling.
  std::int32_t SamplesPerPoll = MemorySamples / 4;
  // Millivolts at the temperature input.
  double TemperatureMv = 250.0;

  const TLodrastCapture& LastCapture() const { return Capture; }
  // Channel A of the last capture in millivolts, as the converter saw it.
  const std::vector<double>& LastSignal() const { return Signal; }
  double SamplingHz() const { return SampleRateHz(Divider); }
  double RangeMv() const;
  std::uint16_t SampleOffset() const;
  // Simulation time in seconds.
  double Clock() const { return Time; }

 private:
  enum class TState { Idle, Armed, Sampling, Done };

  std::uint8_t Status();
  void FinishCapture(std::int32_t samples);
  std::uint16_t ToWord(double mv) const;
  std::vector<std::uint8_t> AddressReply() const;
  std::vector<std::uint8_t> CounterReply() const;
  std::vector<std::uint8_t> ReadOut(std::uint16_t bytes) const;
  std::vector<std::uint8_t> TemperatureReply() const;

  const TRotor& Rotor;
  double Time = 0.0;
  bool Running = false;
  bool Balancing = true;
  TState State = TState::Idle;
  std::int32_t WriteAddress = 0;
  std::uint8_t GainCode = 0xFF;
  std::uint16_t Divider = 39;
  std::vector<std::uint16_t> Memory;
  std::vector<double> Signal;
  TLodrastCapture Capture;
};

}  // namespace sim
