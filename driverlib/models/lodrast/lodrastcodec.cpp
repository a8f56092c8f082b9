#include "lodrastcodec.h"

#include <algorithm>

namespace sartel::lodrast {

namespace {

template <typename Row, std::size_t N>
const Row* RowAt(const std::array<Row, N>& table, std::int32_t index) {
  if (index < 0 || static_cast<std::size_t>(index) >= N) return nullptr;
  return &table[static_cast<std::size_t>(index)];
}

std::uint8_t High(std::uint16_t value) { return static_cast<std::uint8_t>(value >> 8); }
std::uint8_t Low(std::uint16_t value) { return static_cast<std::uint8_t>(value & 0xFF); }

}  // namespace

const TGainRow* GainRow(std::int32_t gainIndex) { return RowAt(Gains, gainIndex); }
const TSelectorRow* SelectorRow(std::int32_t selector) { return RowAt(Selectors, selector); }

TPacket Command(std::uint8_t opcode, std::uint8_t argument, std::uint16_t length) {
  return {opcode, High(length), Low(length), argument};
}

std::array<std::uint8_t, ProgramHeaderSize> ProgramHeader() {
  return {OpProgram, 0x00, static_cast<std::uint8_t>(ProgramParameterCount)};
}

std::array<std::uint8_t, ProgramParameterCount> ProgramParameters(std::int32_t gainIndex,
                                                                  std::int32_t samplingIndex,
                                                                  std::int32_t selector) {
  const TGainRow* gain = GainRow(gainIndex);
  const frontend::TSamplingRow* clock = frontend::SamplingRow(samplingIndex);
  const TSelectorRow* channel = SelectorRow(selector);
  const std::uint16_t divider = clock ? clock->Divider : 0;
  return {gain ? gain->Range.Code : std::uint8_t{0}, Low(divider), High(divider),
          channel ? channel->ChannelCode : std::uint8_t{0}};
}

TPacket TemperatureCommand(std::int32_t selector) {
  const TSelectorRow* row = SelectorRow(selector);
  return Command(OpTemperature, row ? row->TemperatureArgument : Selectors[0].TemperatureArgument);
}

std::int32_t ReadOutBytes(std::int32_t ramSamples) {
  return std::clamp(ramSamples, 0, MaxReadOutBytes / 2) * 2;
}

TPacket ReadOutCommand(std::int32_t ramSamples) {
  return Command(OpReadOut, NoArgument, static_cast<std::uint16_t>(ReadOutBytes(ramSamples)));
}

std::uint16_t BigEndianWord(const std::uint8_t* bytes) {
  return static_cast<std::uint16_t>((bytes[0] << 8) | bytes[1]);
}

std::int32_t DecodeAddress(const std::array<std::uint8_t, AddressReplySize>& reply) {
  return reply[0] + (reply[1] & 0x7F) * 256;
}

std::int32_t DecodeRevolutions(const std::array<std::uint8_t, AddressReplySize>& reply, std::uint16_t counter) {
  return reply[2] + (reply[1] >> 7) * 256 + (counter & 0x7FFF) * 512;
}

std::int32_t SamplesToDecode(std::int32_t bufferLength, std::size_t replyBytes) {
  const auto available = static_cast<std::int32_t>(std::min<std::size_t>(replyBytes / 2, MaxReadOutBytes));
  return std::clamp(bufferLength, 0, available);
}

void DecodeSamples(const std::uint8_t* reply, std::int32_t n, std::int32_t gainIndex, std::int32_t* out) {
  const TGainRow* gain = GainRow(gainIndex);
  const std::int32_t offset = gain ? gain->SampleOffset : 0;
  for (std::int32_t i = 0; i < n; ++i) {
    const std::int32_t v = BigEndianWord(reply + 2 * static_cast<std::size_t>(i));
    out[i] = std::max(v - offset, 0) - 32768;
  }
  if (n >= 3) out[n - 1] = out[n - 2] = out[n - 3];
}

std::optional<double> DecodeTemperature(const std::array<std::uint8_t, TemperatureReplySize>& reply,
                                        std::int32_t gainIndex) {
  const TGainRow* gain = GainRow(gainIndex);
  if (!gain) return std::nullopt;
  std::int64_t sum = 0;
  for (std::size_t i = 0; i < TemperatureWords; ++i) sum += BigEndianWord(reply.data() + 2 * i);
  const double mean = static_cast<double>(sum) / TemperatureWords;
  return mean * gain->TemperatureScaleMv / 65535.0;
}

}  // namespace sartel::lodrast
