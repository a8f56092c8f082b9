#pragma once
// The FTDI model's encodings as pure functions: capture programming as a
// list of register writes, the gain byte, status bits, sample decoding,
// capture parameters, and the bit-bang form of the configuration image.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace sartel::harvik {

struct TRegisterWrite {
  std::uint8_t Register;
  std::uint8_t Value;
  bool operator==(const TRegisterWrite&) const = default;
};

struct TCaptureSettings {
  std::int32_t BufferLength = 0;
  std::int32_t CaptureMode = 0;
  std::int32_t SamplingIndex = 0;
  std::int32_t GainA = 0;
  std::int32_t GainB = 0;
};

// Bits 1-0 gain index A, bits 5-4 gain index B, bit 3 lamp off. A gain index
// outside 0-2 counts as 0 (the widest range).
std::uint8_t GainByte(std::int32_t gainA, std::int32_t gainB, bool lampOff);
// The sampling divider minus one; 0 for an index outside the rate table.
std::uint32_t DividerValue(std::int32_t samplingIndex);
std::uint8_t ModeValue(std::int32_t captureMode);
// The 25 writes of capture programming, in the device's order. The buffer
// length is clamped to 1..maxLength samples.
std::vector<TRegisterWrite> CaptureProgram(const TCaptureSettings& settings, std::int32_t maxLength);

// Status register bits to the driver's status: bit 7 armed, bit 1
// triggered, bit 0 done.
std::uint8_t StatusBits(std::uint8_t status);

// A 12-bit two's-complement raw value.
std::int32_t Signed12(std::uint32_t raw);
// Decodes n samples of both channels from the three memory banks; a null
// channel is skipped. The first and last samples repeat their neighbours.
void DecodeSamples(const std::uint8_t* bank0, const std::uint8_t* bank1, const std::uint8_t* bank2, std::size_t n,
                   std::int32_t* channelA, std::int32_t* channelB);

struct TCaptureParams {
  std::int32_t Start = 0;
  std::int32_t End = 0;
  std::int32_t Revolutions = 0;
  // What the export returns: the revolutions, or 0 when the register is 0.
  std::int32_t Result = 0;
};
// From the registers 47-49 (start), 28-30 (end) and 31 (revolutions + 1).
TCaptureParams DecodeCaptureParams(const std::array<std::uint8_t, 3>& start, const std::array<std::uint8_t, 3>& end,
                                   std::uint8_t revolutionsPlusOne);

// The bit-bang stream of a configuration image: each byte XOR 0x5C, its bits
// from the least significant, 1 as 85 87 and 0 as 04 06, then eight 04 06
// pairs that clock the device past the last bit.
inline constexpr std::uint8_t ImageMask = 0x5C;
inline constexpr std::size_t ImageTrailer = 16;
std::vector<std::uint8_t> EncodeImage(std::span<const std::uint8_t> image);

}  // namespace sartel::harvik
