// Arbitrary device replies into the network model's decoders: the address
// and revolution-counter replies, a sample read-out of any length for any
// buffer length and gain index, and the temperature reply. Whatever the
// device sends, nothing may crash or overrun and decoded values stay in
// range.
//
// Input: one byte gain index (signed), two bytes buffer length (signed,
// big-endian), then the reply bytes.

#include "lodrastcodec.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using namespace sartel::lodrast;

void Check(bool condition) {
  if (!condition) std::abort();
}

void Samples(const std::uint8_t* reply, std::size_t size, std::int32_t bufferLength, std::int32_t gain) {
  const std::int32_t n = SamplesToDecode(bufferLength, size);
  Check(n >= 0 && static_cast<std::size_t>(n) <= size / 2 && n <= std::max(bufferLength, 0));
  // Exactly n slots, so a write past them is caught by the sanitizers.
  std::vector<std::int32_t> out(static_cast<std::size_t>(n));
  DecodeSamples(reply, n, gain, out.data());
  for (std::int32_t sample : out) Check(sample >= -32768 && sample <= 32767);
  if (n >= 3) Check(out[n - 1] == out[n - 3] && out[n - 2] == out[n - 3]);
}

void Address(const std::uint8_t* reply, std::size_t size) {
  if (size < AddressReplySize + WordReplySize) return;
  std::array<std::uint8_t, AddressReplySize> address{};
  std::copy_n(reply, AddressReplySize, address.begin());
  const std::int32_t end = DecodeAddress(address);
  Check(end >= 0 && end <= 0x7FFF);
  const std::int32_t turns = DecodeRevolutions(address, BigEndianWord(reply + AddressReplySize));
  Check(turns >= 0 && turns <= 0xFFFFFF);
}

void Temperature(const std::uint8_t* reply, std::size_t size, std::int32_t gain) {
  if (size < TemperatureReplySize) return;
  std::array<std::uint8_t, TemperatureReplySize> words{};
  std::copy_n(reply, TemperatureReplySize, words.begin());
  const std::optional<double> mv = DecodeTemperature(words, gain);
  const TGainRow* row = GainRow(gain);
  Check(mv.has_value() == (row != nullptr));
  if (mv) Check(*mv >= 0 && *mv <= row->TemperatureScaleMv);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const auto gain = static_cast<std::int8_t>(data[0]);
  const auto bufferLength = static_cast<std::int16_t>((data[1] << 8) | data[2]);
  const std::uint8_t* reply = data + 3;
  const std::size_t replySize = size - 3;
  Samples(reply, replySize, bufferLength, gain);
  Address(reply, replySize);
  Temperature(reply, replySize, gain);
  return 0;
}
