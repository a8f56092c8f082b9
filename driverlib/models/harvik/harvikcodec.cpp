#include "harvikcodec.h"

#include "harvikregisters.h"

#include <algorithm>

namespace sartel::harvik {

namespace {

std::int32_t GainIndex(std::int32_t index) {
  return index >= 0 && index < static_cast<std::int32_t>(std::size(GainsMv)) ? index : 0;
}

std::uint8_t Byte(std::uint32_t value, int byte) { return static_cast<std::uint8_t>((value >> (8 * byte)) & 0xFF); }

void Push(std::vector<TRegisterWrite>& writes, TRole role, std::uint8_t value) {
  writes.push_back({static_cast<std::uint8_t>(Reg(role)), value});
}

}  // namespace

std::uint8_t GainByte(std::int32_t gainA, std::int32_t gainB, bool lampOff) {
  return static_cast<std::uint8_t>(GainIndex(gainA) | (GainIndex(gainB) << 4) | (lampOff ? LampOffBit : 0));
}

std::uint32_t DividerValue(std::int32_t samplingIndex) {
  if (samplingIndex < 0 || samplingIndex >= static_cast<std::int32_t>(Rates.size())) return 0;
  return Rates[static_cast<std::size_t>(samplingIndex)].Divider - 1;
}

std::uint8_t ModeValue(std::int32_t captureMode) { return captureMode == 1 ? ModeFreeRunning : ModeBalancing; }

std::vector<TRegisterWrite> CaptureProgram(const TCaptureSettings& s, std::int32_t maxLength) {
  const std::int32_t length = std::clamp(s.BufferLength, 1, std::max(maxLength, 1));
  const auto last = static_cast<std::uint32_t>(length - 1);
  const std::uint32_t second = last | 0x800000u;
  const std::uint32_t divider = DividerValue(s.SamplingIndex);
  std::vector<TRegisterWrite> w;
  w.reserve(25);
  Push(w, TRole::Run, 0);
  Push(w, TRole::Arm, 0);
  Push(w, TRole::Length0, Byte(last, 0));
  Push(w, TRole::Length1, Byte(last, 1));
  Push(w, TRole::Length2, Byte(last, 2));
  Push(w, TRole::SecondLength0, Byte(second, 0));
  Push(w, TRole::SecondLength1, Byte(second, 1));
  Push(w, TRole::SecondLength2, Byte(second, 2));
  Push(w, TRole::Cleared33, 0);
  Push(w, TRole::Cleared36, 0);
  Push(w, TRole::GainAndLamp, GainByte(s.GainA, s.GainB, false));
  Push(w, TRole::Mode, ModeValue(s.CaptureMode));
  for (TRole role : {TRole::Cleared51, TRole::Cleared52, TRole::Cleared53, TRole::Cleared54}) Push(w, role, 0);
  for (TRole role : {TRole::Trigger0, TRole::Trigger1, TRole::Trigger2, TRole::Trigger3}) Push(w, role, 0);
  Push(w, TRole::Cleared40, 0);
  Push(w, TRole::RamAccess, 1);
  Push(w, TRole::Divider0, Byte(divider, 0));
  Push(w, TRole::Divider1, Byte(divider, 1));
  Push(w, TRole::Divider2, Byte(divider, 2));
  return w;
}

std::uint8_t StatusBits(std::uint8_t status) {
  return static_cast<std::uint8_t>(((status & 0x80) ? 1 : 0) | ((status & 0x02) ? 2 : 0) | ((status & 0x01) ? 4 : 0));
}

std::int32_t Signed12(std::uint32_t raw) {
  const auto value = static_cast<std::int32_t>(raw & 0xFFF);
  return value < 0x800 ? value : value - 4096;
}

void DecodeSamples(const std::uint8_t* bank0, const std::uint8_t* bank1, const std::uint8_t* bank2, std::size_t n,
                   std::int32_t* channelA, std::int32_t* channelB) {
  for (std::size_t i = 0; i < n; ++i) {
    if (channelA) channelA[i] = Signed12((bank1[i] & 0x0Fu) * 256u + bank0[i]);
    if (channelB) channelB[i] = Signed12((bank1[i] & 0xF0u) * 16u + bank2[i]);
  }
  if (n < 2) return;
  for (std::int32_t* channel : {channelA, channelB}) {
    if (!channel) continue;
    channel[0] = channel[1];
    channel[n - 1] = channel[n - 2];
  }
}

TCaptureParams DecodeCaptureParams(const std::array<std::uint8_t, 3>& start, const std::array<std::uint8_t, 3>& end,
                                   std::uint8_t revolutionsPlusOne) {
  TCaptureParams p;
  p.Start = start[2] * 65536 + start[1] * 256 + start[0];
  p.End = end[2] * 65536 + end[1] * 256 + end[0];
  p.Revolutions = revolutionsPlusOne == 0 ? 0 : revolutionsPlusOne - 1;
  p.Result = p.Revolutions;
  return p;
}

std::vector<std::uint8_t> EncodeImage(std::span<const std::uint8_t> image) {
  std::vector<std::uint8_t> out;
  out.reserve(image.size() * 16 + ImageTrailer);
  for (const std::uint8_t fileByte : image) {
    const auto value = static_cast<std::uint8_t>(fileByte ^ ImageMask);
    for (int bit = 0; bit < 8; ++bit) {
      const bool one = (value >> bit) & 1;
      out.push_back(one ? 0x85 : 0x04);
      out.push_back(one ? 0x87 : 0x06);
    }
  }
  for (std::size_t i = 0; i < ImageTrailer / 2; ++i) {
    out.push_back(0x04);
    out.push_back(0x06);
  }
  return out;
}

}  // namespace sartel::harvik
