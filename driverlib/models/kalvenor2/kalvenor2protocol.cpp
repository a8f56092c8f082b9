#include "kalvenor2protocol.h"

#include <algorithm>

namespace sartel::kalvenor2 {

std::uint8_t ControlByte(const TControl& c) {
  return static_cast<std::uint8_t>(c.Bit7 << 7 | c.Bit6 << 6 | c.Bit5 << 5 | c.Bit4 << 4 | c.Bit3 << 3 |
                                   c.Bit2 << 2 | (c.Selector & 0x3));
}

std::uint8_t GainCode(std::int32_t gainIndex, std::uint8_t previous) {
  const frontend::TGainRow* row = frontend::GainRow(gainIndex);
  return row ? row->Code : previous;
}

std::uint16_t SamplingDivider(std::int32_t samplingIndex) {
  const frontend::TSamplingRow* row = frontend::SamplingRow(samplingIndex);
  return row ? row->Divider : 0;
}

namespace {

// One text of the block at pos; pos moves by the raw length.
std::string ReadText(std::span<const std::uint8_t> block, std::size_t& pos, std::size_t capacity) {
  if (pos + 2 > block.size()) {
    pos = block.size();
    return {};
  }
  const std::size_t length = static_cast<std::size_t>(block[pos] << 8 | block[pos + 1]);
  pos += 2;
  const std::size_t stored = std::min({length, capacity, block.size() - pos});
  std::string text(block.begin() + static_cast<std::ptrdiff_t>(pos),
                   block.begin() + static_cast<std::ptrdiff_t>(pos + stored));
  text.resize(std::min(text.size(), text.find('\0')));
  pos = std::min(pos + length, block.size());
  return text;
}

} // namespace

TIdentity ParseIdentityBlock(std::span<const std::uint8_t> block) {
  TIdentity id;
  std::copy_n(block.begin(), std::min(block.size(), ConfigByteCount), id.Config.begin());
  std::size_t pos = std::min(block.size(), ConfigByteCount);
  id.Identity = ReadText(block, pos, IdentityCapacity);
  id.Version = ReadText(block, pos, VersionCapacity);
  id.SerialNumber = ReadText(block, pos, SerialCapacity);
  if (!id.Identity.empty() && static_cast<std::uint8_t>(id.Identity[0]) == 0xFF)
    id.Identity.clear();
  return id;
}

std::size_t DecodeSamples(std::span<const std::uint8_t> bytes, bool twelveBit, std::int32_t* out, std::size_t count) {
  const std::size_t n = std::min(count, bytes.size() / 2);
  const std::int32_t mask = twelveBit ? ~0xF : ~0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::int32_t word = bytes[2 * i] << 8 | bytes[2 * i + 1];
    out[i] = (word - 32768) & mask;
  }
  return n;
}

std::int32_t WriteAddress(std::uint8_t low, std::uint8_t high) { return low + (high & 0x7F) * 256; }

TCaptureParams CaptureParams(std::uint8_t b1, std::uint8_t b2, std::uint8_t b3, std::uint16_t revolutionWord) {
  TCaptureParams p;
  p.End = WriteAddress(b1, b2);
  p.Revolutions = b3 + (b2 >> 7) * 256 + (revolutionWord & 0x7FFF) * 512;
  return p;
}

double TemperatureValue(std::uint8_t t) { return t * 5000.0 / 256.0; }

std::vector<std::uint32_t> ReadOutChunks(std::uint32_t total, std::uint32_t maxTransfer) {
  std::vector<std::uint32_t> chunks;
  if (maxTransfer == 0)
    return chunks;
  for (std::uint32_t done = 0; done < total; done += chunks.back())
    chunks.push_back(std::min(maxTransfer, total - done));
  return chunks;
}

} // namespace sartel::kalvenor2
