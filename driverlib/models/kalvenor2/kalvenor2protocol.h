#pragma once
// The FX2 device's protocol as pure functions: its vendor requests, the
// control byte, the gain codes and sampling dividers (from the front-end
// rows it shares with the network device, frontend.h), the identity block of
// its EEPROM, the read-back registers and the sample words. No I/O here.

#include "frontend.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace sartel::kalvenor2 {

// Vendor requests, all with index 0.
enum TRequest : std::uint8_t {
  ReadEeprom = 0xA9,   // in, value: EEPROM address, 128 bytes
  Free = 0xB0,         // out, shut down
  Configure = 0xB1,    // out, one byte 0
  AnnounceRead = 0xB2, // out, count high and low of the next bulk-in
  SetControl = 0xB3,   // out, the control byte
  SetGain = 0xB4,      // out, value: channel, the gain code
  ReadStatus = 0xB5,   // in, one byte
  ReadRevolutions = 0xB6, // in, two bytes high, low
  ArmCapture = 0xB7,   // out, first step of a capture start
  SetLamp = 0xB8,      // out, value: LampError or LampLaser, 0xFF on / 0x00 off
  Temperature = 0xB9,  // out with one byte 0, then in one byte; value: channel
};

inline constexpr std::uint16_t LampError = 0;
inline constexpr std::uint16_t LampLaser = 2;

// The identity block: EEPROM addresses 0x5000 to 0x7FFF, read 128 bytes
// per request.
inline constexpr std::uint16_t IdentityAddress = 0x5000;
inline constexpr std::size_t IdentityBlockSize = 0x3000;
inline constexpr std::size_t EepromReadSize = 128;
inline constexpr std::size_t ConfigByteCount = 16;
inline constexpr std::size_t IdentityCapacity = 255;
inline constexpr std::size_t VersionCapacity = 9;
inline constexpr std::size_t SerialCapacity = 5;

// The seven control fields; bit 6 is never set by the model.
struct TControl {
  bool Bit7 = false; // cleared while the device delivers read-back bytes
  bool Bit6 = false;
  bool Bit5 = false; // memory of channel A
  bool Bit4 = false; // memory of channel B
  bool Bit3 = false; // capture mode: free-running
  bool Bit2 = false; // capture running
  std::uint8_t Selector = 0;
};

std::uint8_t ControlByte(const TControl& control);

// The code of gain index, or previous for an index outside the table.
std::uint8_t GainCode(std::int32_t gainIndex, std::uint8_t previous);
// The divider of sampling index, 0 outside the table.
std::uint16_t SamplingDivider(std::int32_t samplingIndex);

struct TIdentity {
  std::array<std::uint8_t, ConfigByteCount> Config{};
  std::string Identity;
  std::string Version;
  std::string SerialNumber;
};

// Reads the identity block. Each text is a big-endian length and that many
// bytes; the text is clamped to its field and ends at a zero byte, the walk
// advances by the raw length and stops at the end of the block. An identity
// starting with 0xFF (an erased EEPROM) reads as no identity.
TIdentity ParseIdentityBlock(std::span<const std::uint8_t> block);

// Big-endian 16-bit words less 32768; in 12-bit mode the low 4 bits of the
// signed result are cleared. Decodes min(count, bytes / 2) samples into out
// and returns how many.
std::size_t DecodeSamples(std::span<const std::uint8_t> bytes, bool twelveBit, std::int32_t* out, std::size_t count);

std::int32_t WriteAddress(std::uint8_t low, std::uint8_t high);

struct TCaptureParams {
  std::int32_t Start = 0;
  std::int32_t End = 0;
  std::int32_t Revolutions = 0;
};
// From the read-back bytes of selectors 1, 2, 3 and the revolution word.
TCaptureParams CaptureParams(std::uint8_t b1, std::uint8_t b2, std::uint8_t b3, std::uint16_t revolutionWord);

// The temperature output for a device byte: t x 5000 / 256.
double TemperatureValue(std::uint8_t t);

// Chunk sizes of a read-out of total bytes, each at most maxTransfer; empty
// when maxTransfer is 0.
std::vector<std::uint32_t> ReadOutChunks(std::uint32_t total, std::uint32_t maxTransfer);

} // namespace sartel::kalvenor2
