#include "kalvenor2.h"

#include "clock.h"

#include <algorithm>
#include <vector>

namespace sartel::kalvenor2 {

namespace {

constexpr std::uint8_t MemoryInit[] = {0x01, 0x40};
constexpr std::uint8_t WriteFromZero[] = {0x02, 0x00, 0x00};
constexpr std::uint8_t ReadFromZero[] = {0x03, 0x00, 0x00};

}  // namespace

TKalvenor2::TKalvenor2(TDAQLib& lib, fx2::TUSBFX2& fx2) : Lib(&lib), Fx2(&fx2) {}

// A device counts its write address through the whole memory on every
// capture; demo mode synthesises the length it is asked for.
TItemTables TKalvenor2::Items() const {
  TItemTables tables = frontend::ItemTables();
  tables.WholeMemory = Device();
  return tables;
}

std::int32_t TKalvenor2::RamSize() const { return (Id.Config[0] & 1) ? LargeMemory : SmallMemory; }

std::uint8_t TKalvenor2::ConfigByte(std::int32_t position) const {
  return position >= 0 && position < static_cast<std::int32_t>(ConfigBytes) ? Id.Config[static_cast<std::size_t>(position)]
                                                                            : 0;
}

bool TKalvenor2::Fail() {
  Lib->Error.Set(Fx2->ErrorText(), 1);
  return false;
}

bool TKalvenor2::ControlOut(std::uint8_t request, std::uint16_t value, std::initializer_list<std::uint8_t> bytes) {
  return Fx2->ControlOut(request, value, 0, bytes.begin(), static_cast<std::uint16_t>(bytes.size())) || Fail();
}

bool TKalvenor2::BulkOut(std::initializer_list<std::uint8_t> bytes) {
  return Fx2->BulkOut(bytes.begin(), static_cast<std::uint32_t>(bytes.size())) || Fail();
}

bool TKalvenor2::SendControl() { return ControlOut(SetControl, 0, {kalvenor2::ControlByte(Control)}); }

bool TKalvenor2::SelectMemories(bool a, bool b) {
  Control.Bit5 = a;
  Control.Bit4 = b;
  return SendControl();
}

bool TKalvenor2::ReadBack(std::uint8_t selector, std::uint8_t& value) {
  value = 0;
  Control.Selector = selector;
  std::uint8_t answer = 0;
  if (!SendControl() || !ControlOut(AnnounceRead, 0, {0x00, 0x01})) return false;
  if (!Fx2->BulkIn(&answer, 1)) return Fail();
  value = answer;
  return true;
}

// 96 reads of 128 bytes; the first failure ends the walk, so a silent
// device fails within one time-out.
bool TKalvenor2::ReadIdentity() {
  std::vector<std::uint8_t> block(IdentityBlockSize);
  for (std::size_t offset = 0; offset < block.size(); offset += EepromReadSize) {
    const auto address = static_cast<std::uint16_t>(IdentityAddress + offset);
    if (!Fx2->ControlIn(ReadEeprom, address, 0, block.data() + offset, EepromReadSize)) return Fail();
  }
  Id = ParseIdentityBlock(block);
  return true;
}

bool TKalvenor2::Configure() {
  if (!Device()) return true;
  return ReadIdentity() && ControlOut(kalvenor2::Configure, 0, {0x00});
}

void TKalvenor2::Shutdown() {
  if (Device()) ControlOut(Free, 0, {});
}

std::int32_t TKalvenor2::CaptureProgramming() {
  if (!Device()) return 0;
  // An index outside the table leaves the byte of the previous request:
  // none for channel A, channel A's for channel B.
  const std::uint8_t codeA = GainCode(Lib->GainA, 0x00);
  const std::uint8_t codeB = GainCode(Lib->GainB, codeA);
  const std::uint16_t divider = SamplingDivider(Lib->SamplingIndex);
  if (!ControlOut(SetGain, 0, {codeA}) || !ControlOut(SetGain, 1, {codeB})) return 0;
  Control.Bit7 = true;
  Control.Selector = 2;
  if (!SelectMemories(false, false) || !BulkOut({static_cast<std::uint8_t>(divider >> 8)})) return 0;
  Control.Selector = 1;
  return SendControl() && BulkOut({static_cast<std::uint8_t>(divider)}) ? 1 : 0;
}

std::int32_t TKalvenor2::StartCapture() {
  if (!Device() || !ControlOut(ArmCapture, 0, {})) return 0;
  Control.Bit7 = true;
  Control.Selector = 0;
  if (!SelectMemories(true, true) || !BulkOut({MemoryInit[0], MemoryInit[1]})) return 0;
  if (!SelectMemories(false, false)) return 0;
  if (!SelectMemories(true, true) || !BulkOut({WriteFromZero[0], WriteFromZero[1], WriteFromZero[2]})) return 0;
  Control.Bit3 = Lib->CaptureMode != 0;
  Control.Bit2 = true;
  return SendControl() ? 1 : 0;
}

std::int32_t TKalvenor2::StopCapture() {
  if (!Device()) return 0;
  Control.Bit7 = true;
  Control.Bit3 = false;
  Control.Selector = 3;
  return SendControl() ? 1 : 0;
}

std::int32_t TKalvenor2::EndCapture() {
  if (!Device()) return 0;
  Control.Bit7 = true;
  Control.Bit5 = Control.Bit4 = Control.Bit2 = false;
  Control.Selector = 0;
  return SendControl() ? 1 : 0;
}

std::uint8_t TKalvenor2::ReadStatus() {
  std::uint8_t status = 0;
  if (!Device()) return 0;
  if (!Fx2->ControlIn(kalvenor2::ReadStatus, 0, 0, &status, 1)) {
    Fail();
    return 0;
  }
  return status;
}

std::int32_t TKalvenor2::WriteAddress() {
  if (!Device()) return 0;
  Control.Bit7 = false;
  std::uint8_t low = 0;
  std::uint8_t high = 0;
  return ReadBack(1, low) && ReadBack(2, high) ? kalvenor2::WriteAddress(low, high) : 0;
}

std::int32_t TKalvenor2::CaptureParams(std::int32_t* start, std::int32_t* end, std::int32_t* revolutions) {
  TCaptureParams params;
  if (Device()) {
    Control.Bit7 = Control.Bit5 = Control.Bit4 = false;
    std::uint8_t b[3] = {};
    std::uint8_t word[2] = {};
    const bool ok = ReadBack(1, b[0]) && ReadBack(2, b[1]) && ReadBack(3, b[2]) &&
                    (Fx2->ControlIn(ReadRevolutions, 0, 0, word, 2) || Fail());
    if (ok) params = kalvenor2::CaptureParams(b[0], b[1], b[2], static_cast<std::uint16_t>(word[0] << 8 | word[1]));
  }
  if (start) *start = params.Start;
  if (end) *end = params.End;
  if (revolutions) *revolutions = params.Revolutions;
  return params.Revolutions;
}

bool TKalvenor2::ReadTemperature(std::uint16_t channel, double* out) {
  *out = 0;
  std::uint8_t t = 0;
  if (!ControlOut(kalvenor2::Temperature, channel, {0x00})) return false;
  rtl::Sleep(TemperatureSettleMs);
  if (!Fx2->ControlIn(kalvenor2::Temperature, channel, 0, &t, 1)) return Fail();
  *out = TemperatureValue(t);
  return true;
}

std::int32_t TKalvenor2::Temperature(double* a, double* b) {
  if (!Device()) return 0;
  bool ok = false;
  if (a) ok = ReadTemperature(0, a);
  if (b) ok = ReadTemperature(1, b);
  return ok ? 1 : 0;
}

std::int32_t TKalvenor2::SetLamp(std::uint16_t lamp, bool on) {
  if (!Device()) return 0;
  return ControlOut(kalvenor2::SetLamp, lamp, {static_cast<std::uint8_t>(on ? 0xFF : 0x00)}) ? 1 : 0;
}

// Reads the whole memory of one channel, each chunk of one maximum
// transfer announced by 0xB2.
bool TKalvenor2::ReadChannel(bool channelB, std::vector<std::uint8_t>& bytes) {
  if (!SelectMemories(!channelB, channelB) || !BulkOut({ReadFromZero[0], ReadFromZero[1], ReadFromZero[2]}))
    return false;
  Control.Bit7 = false;
  if (!SendControl()) return false;
  const std::vector<std::uint32_t> chunks =
      ReadOutChunks(static_cast<std::uint32_t>(bytes.size()), Fx2->BulkInMaxTransferSize());
  if (chunks.empty() && !bytes.empty()) return Fail();
  std::size_t offset = 0;
  for (std::uint32_t chunk : chunks) {
    if (!ControlOut(AnnounceRead, 0, {static_cast<std::uint8_t>(chunk >> 8), static_cast<std::uint8_t>(chunk)}))
      return false;
    if (!Fx2->BulkIn(bytes.data() + offset, chunk)) return Fail();
    offset += chunk;
  }
  Control.Bit7 = true;
  return SelectMemories(false, false);
}

void TKalvenor2::ReadSamples(std::int32_t* channelA, std::int32_t* channelB) {
  if (!Device() || !channelA) return;
  const std::int32_t memory = std::max(Lib->RamSize, 0);
  const auto count = static_cast<std::size_t>(std::clamp(Lib->BufferLength, 0, memory));
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(memory) * 2);
  if (TwelveBit() && Fx2->HighSpeed()) rtl::Sleep(TwelveBitSettleMs);
  Control.Bit7 = true;
  Control.Selector = 0;
  if (!SelectMemories(true, true) || !BulkOut({MemoryInit[0], MemoryInit[1]})) return;
  if (!SelectMemories(false, false)) return;
  // A channel is decoded into the caller's buffer only once all of it came.
  if (!ReadChannel(false, bytes)) return;
  DecodeSamples(bytes, TwelveBit(), channelA, count);
  if (channelB && ReadChannel(true, bytes)) DecodeSamples(bytes, TwelveBit(), channelB, count);
}

}  // namespace sartel::kalvenor2
