#pragma once
// The FTDI model's register frame: "ADC", the register number with bit 7 set
// for a write, a 24-bit little-endian length, then the data of a write.
// Pure functions of bytes; the transport does the I/O.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace sartel::ftdi {

inline constexpr std::size_t HeaderSize = 7;
inline constexpr std::size_t WriteFrameSize = 8;
inline constexpr std::uint32_t MaxFrameLength = 0xFFFFFF;
inline constexpr int MaxRegister = 127;
// The largest piece one transfer carries.
inline constexpr std::size_t MaxPiece = 0x40000;

using THeader = std::array<std::uint8_t, HeaderSize>;
using TWriteFrame = std::array<std::uint8_t, WriteFrameSize>;

bool IsValidRegister(int reg);
bool IsValidLength(std::int64_t length);

// Callers check the register and length first; out-of-range values are
// masked rather than spilling into neighbouring fields.
THeader EncodeHeader(int reg, bool write, std::uint32_t length);
TWriteFrame EncodeWrite(int reg, std::uint8_t value);
THeader EncodeRead(int reg);

// Sizes of the successive transfers that carry length bytes.
std::vector<std::size_t> SplitPieces(std::size_t length);

}  // namespace sartel::ftdi
