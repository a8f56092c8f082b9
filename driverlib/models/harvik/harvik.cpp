#include "harvik.h"

#include "harvikcodec.h"
#include "textout.h"

#include "clock.h"
#include "regularfile.h"
#include "textconv.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace sartel::harvik {

namespace {

constexpr std::size_t IdentityAt = 0;
constexpr std::size_t VersionAt = 21;
constexpr std::size_t SerialAt = 27;
constexpr std::size_t CalibrationHighAt = 238;
constexpr std::size_t CalibrationLowAt = 246;
constexpr std::int32_t CalibrationWords = 8;
constexpr std::size_t FlagsAt = 255;
constexpr std::uint32_t ProgrammingWaitMs = 500;
constexpr std::uint32_t PollIntervalMs = 10;
constexpr std::uint32_t PollLimitMs = 2000;
constexpr std::uint32_t UploadSettleMs = 50;
// A configuration image is a few hundred kilobytes; a file far beyond that
// is not one, and its bit-bang form would not fit in memory.
constexpr std::uintmax_t MaxImageBytes = 16u << 20;

constexpr int BankRegister(std::int32_t bank) { return Reg(TRole::Bank0) + bank; }

bool ReadFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes) {
  std::string read;
  int error = 0;
  if (!rtl::ReadRegularFile(rtl::Utf8ToUtf16(path.string()), MaxImageBytes, read, error)) return false;
  bytes.assign(read.begin(), read.end());
  return true;
}

}  // namespace

THarvik::THarvik(TDAQLib& lib, ftdi::TUSBFTDI& ftdi) : Lib(lib), Ftdi(ftdi) {}

TItemTables THarvik::Items() const { return {ClocksHz, GainsMv, AdcFullScale}; }

bool THarvik::Configure() {
  Copy.fill(0);
  if (!UploadImage()) return false;
  std::array<std::uint8_t, ConfigSize> scratch{};
  if (!ReadConfigMemory(scratch.data())) return false;
  TakeConfiguration(scratch.data());
  return true;
}

void THarvik::TakeConfiguration(const std::uint8_t* memory256) {
  Copy.fill(0);
  if (memory256[0] != 0 && memory256[0] != 0xFF) std::copy_n(memory256, ConfigSize, Copy.begin());
}

std::int32_t THarvik::RamSize() const { return (Copy[FlagsAt] & 1) ? LargeMemory : SmallMemory; }

void THarvik::Shutdown() { Ftdi.WriteRegister(Reg(TRole::Reset), ResetValue); }

std::filesystem::path THarvik::ImagePath() const {
  return std::filesystem::path(rtl::Utf16ToUtf8(Lib.Path())) / "Lib" / "Harvik.lib";
}

bool THarvik::UploadImage() {
  std::vector<std::uint8_t> image;
  if (!ReadFile(ImagePath(), image)) {
    Lib.Error.Set("Missing library.", 2);
    return false;
  }
  const std::vector<std::uint8_t> stream = EncodeImage(image);
  if (!Ftdi.ResetDevice()) {
    if (!Ftdi.Reopen()) {
      Lib.Error.Set("Communication error. Device not found.", 1);
      return false;
    }
    if (!Ftdi.Setup()) return false;
  }
  if (!Ftdi.WriteRegister(Reg(TRole::Reset), ResetValue)) {
    Lib.Error.Set("Could not clear device.", 3);
    return false;
  }
  // Every step runs, so the bridge leaves bit-bang mode even after a failed
  // stream.
  bool ok = Ftdi.ResetDevice();
  ok = Ftdi.SetBitMode(0xFF, d2xx::BitModeAsyncBitBang) && ok;
  ok = ok && Ftdi.WriteRaw(stream.data(), stream.size());
  ok = Ftdi.SetBitMode(0x00, d2xx::BitModeReset) && ok;
  ok = Ftdi.ResetDevice() && ok;
  ok = Ftdi.Purge(d2xx::PurgeRx | d2xx::PurgeTx) && ok;
  rtl::Sleep(UploadSettleMs);
  if (!ok) {
    Lib.Error.Set("Could not configure device.", 4);
    return false;
  }
  return true;
}

std::int32_t THarvik::CaptureProgramming() {
  const TCaptureSettings settings{Lib.BufferLength, Lib.CaptureMode, Lib.SamplingIndex, Lib.GainA, Lib.GainB};
  Ftdi.QueueClear();
  for (const TRegisterWrite& write : CaptureProgram(settings, RamSize()))
    if (!Ftdi.QueuePush(write.Register, write.Value)) return 0;
  SavedMode = harvik::ModeValue(Lib.CaptureMode);
  RamAccessValue = 1;
  if (!Ftdi.QueueSend()) return 0;
  rtl::Sleep(ProgrammingWaitMs);
  // The device answers 0 in its status register until it has taken the
  // new parameters.
  const std::uint32_t since = rtl::GetTickCount();
  std::uint8_t status = 0;
  if (!Ftdi.ReadRegister(Reg(TRole::Status), status)) return 0;
  while (status == 0) {
    rtl::Sleep(PollIntervalMs);
    if (!Ftdi.ReadRegister(Reg(TRole::Status), status)) return 0;
    if (rtl::GetTickCount() - since > PollLimitMs) {
      Lib.Error.Set("Could not set capture parameters. Timeout.", 1);
      return 0;
    }
  }
  return 1;
}

std::int32_t THarvik::StartCapture() {
  Ftdi.QueueClear();
  Ftdi.QueuePush(Reg(TRole::Arm), 0);
  Ftdi.QueuePush(Reg(TRole::Run), 1);
  return Ftdi.QueueSend() ? 1 : 0;
}

std::int32_t THarvik::StopCapture() { return Ftdi.WriteRegister(Reg(TRole::Run), 0) ? 1 : 0; }

std::int32_t THarvik::ForceTrigger() {
  Ftdi.QueueClear();
  for (TRole role : {TRole::Trigger0, TRole::Trigger1, TRole::Trigger2, TRole::Trigger3})
    Ftdi.QueuePush(Reg(role), 0);
  Ftdi.QueuePush(Reg(TRole::Mode), ModeForceTrigger);
  if (!Ftdi.QueueSend()) return 0;
  return Ftdi.WriteRegister(Reg(TRole::Mode), SavedMode) ? 1 : 0;
}

std::uint8_t THarvik::ReadStatus() {
  std::uint8_t status = 0;
  return Ftdi.ReadRegister(Reg(TRole::Status), status) ? StatusBits(status) : 0;
}

void THarvik::ReadSamples(std::int32_t* channelA, std::int32_t* channelB) {
  const std::int32_t n = std::min(Lib.BufferLength, RamSize());
  if (n <= 0 || !Ftdi.WriteRegister(Reg(TRole::RamAccess), 1)) return;
  const auto count = static_cast<std::size_t>(n);
  std::vector<std::uint8_t> banks(3 * count);
  bool ok = true;
  for (std::int32_t bank = 0; bank < 3 && ok; ++bank)
    ok = Ftdi.ReadBlock(BankRegister(bank), banks.data() + bank * count, count);
  if (ok) DecodeSamples(banks.data(), banks.data() + count, banks.data() + 2 * count, count, channelA, channelB);
  Ftdi.WriteRegister(Reg(TRole::RamAccess), RamAccessValue);
}

bool THarvik::ReadCapturePoint(int reg0, std::array<std::uint8_t, 3>& bytes) {
  for (int i = 0; i < 3; ++i)
    if (!Ftdi.ReadRegister(reg0 + i, bytes[static_cast<std::size_t>(i)])) return false;
  return true;
}

std::int32_t THarvik::CaptureParams(std::int32_t* start, std::int32_t* end, std::int32_t* revolutions) {
  std::array<std::uint8_t, 3> first{};
  std::array<std::uint8_t, 3> last{};
  std::uint8_t turns = 0;
  if (!ReadCapturePoint(Reg(TRole::CaptureStart0), first) || !ReadCapturePoint(Reg(TRole::CaptureEnd0), last) ||
      !Ftdi.ReadRegister(Reg(TRole::RevolutionsPlusOne), turns))
    return 0;
  const TCaptureParams params = DecodeCaptureParams(first, last, turns);
  if (start) *start = params.Start;
  if (end) *end = params.End;
  if (revolutions) *revolutions = params.Revolutions;
  return params.Result;
}

std::string_view THarvik::Text(std::size_t offset) const {
  return BoundedText(Copy.data() + offset, Copy.size() - offset);
}

std::string_view THarvik::Identity() const { return Text(IdentityAt); }

std::string_view THarvik::SerialNumber() const { return Text(SerialAt); }

std::string_view THarvik::Version() const { return Text(VersionAt); }

std::int32_t THarvik::Calibration(std::int32_t position) const {
  if (position < 0 || position >= CalibrationWords) return 0;
  const auto at = static_cast<std::size_t>(position);
  return Copy[CalibrationHighAt + at] * 256 + Copy[CalibrationLowAt + at];
}

std::int32_t THarvik::StatusLamp(bool on) {
  return Ftdi.WriteRegister(Reg(TRole::GainAndLamp), on ? 0 : LampOffBit) ? 1 : 0;
}

std::int32_t THarvik::Clear() {
  Ftdi.QueueClear();
  Ftdi.QueuePush(Reg(TRole::Run), 0);
  Ftdi.QueuePush(Reg(TRole::Arm), 0);
  return Ftdi.QueueSend() ? 1 : 0;
}

std::int32_t THarvik::ReadBank(std::int32_t bank, std::uint8_t* buffer, std::int32_t length) {
  if (bank < 0 || bank > 2) return 0;
  return Ftdi.ReadBlock(BankRegister(bank), buffer, static_cast<std::size_t>(length)) ? 1 : 0;
}

std::int32_t THarvik::WriteBank(std::int32_t bank, const std::uint8_t* data, std::int32_t length) {
  if (bank < 0 || bank > 2) return 0;
  return Ftdi.WriteBlock(BankRegister(bank), data, static_cast<std::size_t>(length)) ? 1 : 0;
}

std::int32_t THarvik::ReadConfigMemory(std::uint8_t* buffer256) {
  std::uint8_t ignored = 0;
  std::array<std::uint8_t, ConfigSize> scratch{};
  if (!Ftdi.WriteRegister(Reg(TRole::ConfigCommand), ConfigRead) || !Ftdi.ReadRegister(Reg(TRole::Status), ignored) ||
      !Ftdi.ReadBlock(Reg(TRole::ConfigData), scratch.data(), scratch.size()))
    return 0;
  std::copy(scratch.begin(), scratch.end(), buffer256);
  return 1;
}

std::int32_t THarvik::WriteConfigMemory(const std::uint8_t* data256) {
  std::uint8_t status = 0;
  return Ftdi.WriteBlock(Reg(TRole::ConfigData), data256, ConfigSize) &&
                 Ftdi.WriteRegister(Reg(TRole::ConfigCommand), ConfigWrite) &&
                 Ftdi.ReadRegister(Reg(TRole::Status), status)
             ? 1
             : 0;
}

}  // namespace sartel::harvik
