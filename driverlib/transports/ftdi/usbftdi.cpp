#include "usbftdi.h"

#include "ftdiframe.h"

#include "clock.h"
#include "dynlib.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace sartel::ftdi {

namespace {

constexpr std::int32_t CommunicationCode = 1;
constexpr d2xx::Dword ClearBoth = d2xx::PurgeTxClear | d2xx::PurgeRxClear;
constexpr d2xx::Dword OpenFlags = d2xx::FlagOverlapped | d2xx::FileAttributeNormal | d2xx::OpenByDescription;
// The library writes at most 64 bytes of description; the buffer is larger.
constexpr std::size_t DescriptionBuffer = 100;
constexpr d2xx::Ulong UsbInSize = 4096;
constexpr d2xx::Uchar LatencyMs = 2;
constexpr std::uint32_t SettleMs = 100;

}  // namespace

TUSBFTDI::TUSBFTDI(TLastError& error) : Error(error), Device(d2xx::InvalidHandleValue()) {
  Settings.TimeoutMs = TransferTimeoutFromEnvironment();
}

TUSBFTDI::TUSBFTDI(TLastError& error, const d2xx::TFunctions& functions, const TTransferSettings& settings)
    : Error(error), Calls(functions), Settings(settings), Device(d2xx::InvalidHandleValue()) {}

TUSBFTDI::~TUSBFTDI() {
  Close();
  rtl::FreeModule(Module);
}

bool TUSBFTDI::Bind() {
  if (!Module) Module = rtl::LoadModule(d2xx::LibraryName);
  if (!Module) return false;
  d2xx::TFunctions functions;
  const bool all = d2xx::BindFunctions([this](const char* name) { return rtl::FindSymbol(Module, name); }, functions);
  Calls = TD2xxCalls(functions);
  return all;
}

bool TUSBFTDI::CountDevices(std::uint32_t& count) const {
  d2xx::Dword found = 0;
  const bool ok = Calls.CountDevices(found) == d2xx::Ok;
  count = found;
  return ok;
}

bool TUSBFTDI::Description(int index, std::string& text) const {
  char buffer[DescriptionBuffer] = {};
  const d2xx::Status status = Calls.Description(index, buffer, sizeof buffer);
  text.assign(buffer, strnlen(buffer, sizeof buffer));
  return status == d2xx::Ok;
}

bool TUSBFTDI::OpenByDescription(const std::string& description) {
  if (IsOpen()) Close();
  Device = Calls.CreateFile(description.c_str(), OpenFlags);
  if (!d2xx::IsValidHandle(Device)) Device = d2xx::InvalidHandleValue();
  return IsOpen();
}

bool TUSBFTDI::IsOpen() const { return d2xx::IsValidHandle(Device); }

bool TUSBFTDI::Setup() {
  if (Calls.SetUSBParameters(Device, UsbInSize, 0) != d2xx::Ok) {
    Error.Set("Could not set USB in/out buffer parameters", 3);
    return false;
  }
  if (Calls.ResetDevice(Device) != d2xx::Ok) {
    Error.Set("Could not reset USB device", 4);
    return false;
  }
  if (Calls.SetTimeouts(Device, Settings.TimeoutMs, Settings.TimeoutMs) != d2xx::Ok) {
    Error.Set("Could not set USB timeouts", 5);
    return false;
  }
  if (Calls.SetLatencyTimer(Device, LatencyMs) != d2xx::Ok) {
    Error.Set("Could not set USB latency time", 5);
    return false;
  }
  rtl::Sleep(SettleMs);
  return true;
}

std::int32_t TUSBFTDI::Close() {
  if (!IsOpen()) return 0;
  const bool closed = Calls.CloseHandle(Device);
  Device = d2xx::InvalidHandleValue();
  return closed ? 1 : 0;
}

bool TUSBFTDI::Reopen() {
  if (IsOpen()) Calls.Close(Device);
  Device = d2xx::InvalidHandleValue();
  d2xx::Handle handle = nullptr;
  if (Calls.Open(DeviceIndex, &handle) != d2xx::Ok || !d2xx::IsValidHandle(handle)) return false;
  Device = handle;
  return true;
}

bool TUSBFTDI::ResetDevice() { return IsOpen() && Calls.ResetDevice(Device) == d2xx::Ok; }

bool TUSBFTDI::SetBitMode(std::uint8_t mask, std::uint8_t mode) {
  return IsOpen() && Calls.SetBitMode(Device, mask, mode) == d2xx::Ok;
}

bool TUSBFTDI::Purge(std::uint32_t mask) { return IsOpen() && Calls.Purge(Device, mask) == d2xx::Ok; }

bool TUSBFTDI::Report(TTransferResult result, TDirection direction) {
  const bool write = direction == TDirection::Write;
  switch (result) {
    case TTransferResult::Done:
      return true;
    case TTransferResult::Failed:
      Error.Set(write ? "Communication error, write failed" : "Communication error, read failed",
                CommunicationCode);
      return false;
    case TTransferResult::TimedOut:
      Error.Set(write ? "Communication error, write timeout" : "Communication error, read timeout",
                CommunicationCode);
      return false;
  }
  return false;
}

bool TUSBFTDI::Send(const std::uint8_t* data, std::size_t length) {
  if (!IsOpen()) return Report(TTransferResult::Failed, TDirection::Write);
  // The library's write takes a non-const buffer but does not change it.
  auto* bytes = const_cast<std::uint8_t*>(data);
  return Report(Transfer(Calls, Device, TDirection::Write, bytes, static_cast<std::uint32_t>(length), Settings),
                TDirection::Write);
}

bool TUSBFTDI::Receive(std::uint8_t* buffer, std::size_t length) {
  if (!IsOpen()) return Report(TTransferResult::Failed, TDirection::Read);
  return Report(Transfer(Calls, Device, TDirection::Read, buffer, static_cast<std::uint32_t>(length), Settings),
                TDirection::Read);
}

bool TUSBFTDI::PurgeBeforeOperation() {
  if (IsOpen() && Calls.PurgeComm(Device, ClearBoth)) return true;
  // Without the purge, stale bytes could be taken for the answer.
  return Report(TTransferResult::Failed, TDirection::Write);
}

bool TUSBFTDI::Pieces(TDirection direction, std::uint8_t* data, std::size_t length) {
  std::size_t offset = 0;
  for (const std::size_t piece : SplitPieces(length)) {
    const bool ok = direction == TDirection::Write ? Send(data + offset, piece) : Receive(data + offset, piece);
    if (!ok) return false;
    offset += piece;
  }
  return true;
}

bool TUSBFTDI::WriteRegister(int reg, std::uint8_t value) {
  if (!IsValidRegister(reg) || !PurgeBeforeOperation()) return false;
  const TWriteFrame frame = EncodeWrite(reg, value);
  return Send(frame.data(), frame.size());
}

bool TUSBFTDI::ReadRegister(int reg, std::uint8_t& value) {
  if (!IsValidRegister(reg) || !PurgeBeforeOperation()) return false;
  const THeader frame = EncodeRead(reg);
  std::uint8_t answer = 0;
  if (!Send(frame.data(), frame.size()) || !Receive(&answer, 1)) return false;
  value = answer;
  return true;
}

bool TUSBFTDI::WriteBlock(int reg, const std::uint8_t* data, std::size_t length) {
  if (!IsValidRegister(reg) || !IsValidLength(static_cast<std::int64_t>(length)) || !PurgeBeforeOperation())
    return false;
  const THeader header = EncodeHeader(reg, true, static_cast<std::uint32_t>(length));
  return Send(header.data(), header.size()) && Pieces(TDirection::Write, const_cast<std::uint8_t*>(data), length);
}

bool TUSBFTDI::ReadBlock(int reg, std::uint8_t* buffer, std::size_t length) {
  if (!IsValidRegister(reg) || !IsValidLength(static_cast<std::int64_t>(length)) || !PurgeBeforeOperation())
    return false;
  const THeader header = EncodeHeader(reg, false, static_cast<std::uint32_t>(length));
  return Send(header.data(), header.size()) && Pieces(TDirection::Read, buffer, length);
}

bool TUSBFTDI::WriteRaw(const std::uint8_t* data, std::size_t length) {
  return Pieces(TDirection::Write, const_cast<std::uint8_t*>(data), length);
}

void TUSBFTDI::QueueClear() {
  std::fill(std::begin(Queue), std::end(Queue), 0);
  QueueLength = 0;
}

bool TUSBFTDI::QueuePush(int reg, std::uint8_t value) {
  if (!IsValidRegister(reg) || QueueLength + WriteFrameSize > QueueSize) return false;
  const TWriteFrame frame = EncodeWrite(reg, value);
  std::copy(frame.begin(), frame.end(), Queue + QueueLength);
  QueueLength += WriteFrameSize;
  return true;
}

bool TUSBFTDI::QueueSend() {
  const bool ok = Send(Queue, QueueLength);
  QueueClear();
  return ok;
}

}  // namespace sartel::ftdi
