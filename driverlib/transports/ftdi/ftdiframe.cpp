#include "ftdiframe.h"

#include <algorithm>

namespace sartel::ftdi {

bool IsValidRegister(int reg) { return reg >= 0 && reg <= MaxRegister; }

bool IsValidLength(std::int64_t length) { return length >= 0 && length <= MaxFrameLength; }

THeader EncodeHeader(int reg, bool write, std::uint32_t length) {
  const auto number = static_cast<std::uint8_t>(reg & 0x7F);
  return {'A',
          'D',
          'C',
          static_cast<std::uint8_t>(write ? number | 0x80 : number),
          static_cast<std::uint8_t>(length & 0xFF),
          static_cast<std::uint8_t>((length >> 8) & 0xFF),
          static_cast<std::uint8_t>((length >> 16) & 0xFF)};
}

TWriteFrame EncodeWrite(int reg, std::uint8_t value) {
  const THeader header = EncodeHeader(reg, true, 1);
  TWriteFrame frame{};
  std::copy(header.begin(), header.end(), frame.begin());
  frame[HeaderSize] = value;
  return frame;
}

THeader EncodeRead(int reg) { return EncodeHeader(reg, false, 1); }

std::vector<std::size_t> SplitPieces(std::size_t length) {
  std::vector<std::size_t> pieces;
  for (std::size_t left = length; left > 0;) {
    const std::size_t piece = std::min(left, MaxPiece);
    pieces.push_back(piece);
    left -= piece;
  }
  return pieces;
}

}  // namespace sartel::ftdi
