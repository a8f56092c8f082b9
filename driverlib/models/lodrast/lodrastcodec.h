#pragma once
// The network device's wire protocol as pure functions: the 4-byte command
// packets the library sends and the decoding of the replies it receives. No
// I/O here; the model around it moves the bytes.
//
// A command packet is: opcode, a big-endian 16-bit length (1 unless the
// command says otherwise), and one argument byte. Capture programming is the
// exception: a 3-byte header (opcode, length 4) followed by four parameter
// bytes.

#include "frontend.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace sartel::lodrast {

using TPacket = std::array<std::uint8_t, 4>;

enum TOpcode : std::uint8_t {
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

// The argument byte of commands that take none.
inline constexpr std::uint8_t NoArgument = 0x55;
inline constexpr std::uint8_t RunArgument = 0x90;
inline constexpr std::uint8_t HaltArgument = 0x80;
inline constexpr std::uint8_t TriggerBalancing = 0;
inline constexpr std::uint8_t TriggerFreeRunning = 1;

// Reply sizes the device sends. The status reply is one byte, but the
// library takes whatever one receive of up to StatusReceiveMax brings.
inline constexpr std::size_t StatusReplySize = 1;
inline constexpr std::size_t StatusReceiveMax = 2048;
inline constexpr std::size_t AddressReplySize = 3;
inline constexpr std::size_t WordReplySize = 2;
inline constexpr std::size_t TemperatureWords = 256;
inline constexpr std::size_t TemperatureReplySize = TemperatureWords * 2;
inline constexpr std::size_t ProgramHeaderSize = 3;
inline constexpr std::size_t ProgramParameterCount = 4;

// The device's memory in samples of one channel, and the largest read-out a
// packet's 16-bit length can ask for.
inline constexpr std::int32_t RamSamples = 0x4000;
inline constexpr std::int32_t MaxReadOutBytes = 0xFFFF;

// The input ranges by gain index: the front end's range and code
// (frontend.h), the offset this device's converter adds to every sample, and
// the full-scale millivolts of its temperature input.
struct TGainRow {
  frontend::TGainRow Range;
  std::uint16_t SampleOffset;
  std::int32_t TemperatureScaleMv;
};
inline constexpr std::array<TGainRow, 3> Gains{{
    {frontend::GainRows[0], 125, 5000},
    {frontend::GainRows[1], 300, 2000},
    {frontend::GainRows[2], 520, 1000},
}};
static_assert(Gains.size() == frontend::GainRows.size(), "a row per input range");

// The input a channel selector (0-3) picks: the argument of the temperature
// command and the channel code of capture programming.
struct TSelectorRow {
  std::uint8_t TemperatureArgument;
  std::uint8_t ChannelCode;
};
inline constexpr std::array<TSelectorRow, 4> Selectors{{
    {16, 0},
    {21, 5},
    {26, 10},
    {31, 15},
}};

// Row lookups; nullptr for an index outside the table.
const TGainRow* GainRow(std::int32_t gainIndex);
const TSelectorRow* SelectorRow(std::int32_t selector);

TPacket Command(std::uint8_t opcode, std::uint8_t argument, std::uint16_t length = 1);
std::array<std::uint8_t, ProgramHeaderSize> ProgramHeader();
// Gain code, divider low and high byte, channel code. An unknown gain index
// sends code 0, an unknown sampling index divider 0, an unknown selector
// channel code 0.
std::array<std::uint8_t, ProgramParameterCount> ProgramParameters(std::int32_t gainIndex,
                                                                  std::int32_t samplingIndex,
                                                                  std::int32_t selector);
TPacket TemperatureCommand(std::int32_t selector);
// The read-out of a whole memory of ramSamples samples: two bytes each.
TPacket ReadOutCommand(std::int32_t ramSamples);
std::int32_t ReadOutBytes(std::int32_t ramSamples);

std::uint16_t BigEndianWord(const std::uint8_t* bytes);

// The 3-byte address reply b0 b1 b2: the 15-bit write address b0 + (b1 &
// 0x7F) x 256.
std::int32_t DecodeAddress(const std::array<std::uint8_t, AddressReplySize>& reply);
// Revolutions from the address reply and the revolution counter word:
// b2 + (b1 >> 7) x 256 + (counter & 0x7FFF) x 512.
std::int32_t DecodeRevolutions(const std::array<std::uint8_t, AddressReplySize>& reply, std::uint16_t counter);

// The number of samples a read-out of bufferLength can deliver from a reply
// of replyBytes: never more than the reply holds.
std::int32_t SamplesToDecode(std::int32_t bufferLength, std::size_t replyBytes);
// Decodes n big-endian samples of reply into out: the converter offset of
// the gain index is taken off (no lower than 0), then 32768. The last two
// samples repeat sample n-3, as the device's final words are not valid;
// with fewer than three samples there is nothing to repeat.
void DecodeSamples(const std::uint8_t* reply, std::int32_t n, std::int32_t gainIndex, std::int32_t* out);

// Millivolts at the temperature input: the mean of the 256 words scaled to
// the gain's full-scale millivolts; nothing for an unknown gain index.
std::optional<double> DecodeTemperature(const std::array<std::uint8_t, TemperatureReplySize>& reply,
                                        std::int32_t gainIndex);

}  // namespace sartel::lodrast
