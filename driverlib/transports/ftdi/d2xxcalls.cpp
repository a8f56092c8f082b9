#include "d2xxcalls.h"

#include <cstdint>

namespace sartel::ftdi {

namespace {
constexpr d2xx::Status MissingStatus = 1;
}

d2xx::Status TD2xxCalls::Open(int index, d2xx::Handle* handle) const {
  return F.Open ? F.Open(index, handle) : MissingStatus;
}

d2xx::Status TD2xxCalls::Close(d2xx::Handle handle) const {
  return F.Close ? F.Close(handle) : MissingStatus;
}

d2xx::Status TD2xxCalls::ResetDevice(d2xx::Handle handle) const {
  return F.ResetDevice ? F.ResetDevice(handle) : MissingStatus;
}

d2xx::Status TD2xxCalls::Purge(d2xx::Handle handle, d2xx::Ulong mask) const {
  return F.Purge ? F.Purge(handle, mask) : MissingStatus;
}

d2xx::Status TD2xxCalls::SetTimeouts(d2xx::Handle handle, d2xx::Ulong readMs, d2xx::Ulong writeMs) const {
  return F.SetTimeouts ? F.SetTimeouts(handle, readMs, writeMs) : MissingStatus;
}

d2xx::Status TD2xxCalls::SetLatencyTimer(d2xx::Handle handle, d2xx::Uchar ms) const {
  return F.SetLatencyTimer ? F.SetLatencyTimer(handle, ms) : MissingStatus;
}

d2xx::Status TD2xxCalls::SetBitMode(d2xx::Handle handle, d2xx::Uchar mask, d2xx::Uchar mode) const {
  return F.SetBitMode ? F.SetBitMode(handle, mask, mode) : MissingStatus;
}

d2xx::Status TD2xxCalls::SetUSBParameters(d2xx::Handle handle, d2xx::Ulong inSize, d2xx::Ulong outSize) const {
  return F.SetUSBParameters ? F.SetUSBParameters(handle, inSize, outSize) : MissingStatus;
}

d2xx::Status TD2xxCalls::CountDevices(d2xx::Dword& count) const {
  count = 0;
  if (!F.ListDevices) return d2xx::Ok;
  d2xx::Dword found = 0;
  const d2xx::Status status = F.ListDevices(&found, nullptr, d2xx::ListNumberOnly);
  if (status == d2xx::Ok) count = found;
  return status;
}

d2xx::Status TD2xxCalls::Description(int index, char* buffer, std::size_t size) const {
  if (!F.ListDevices || size == 0) return d2xx::Ok;
  const auto arg = reinterpret_cast<void*>(static_cast<std::uintptr_t>(static_cast<std::uint32_t>(index)));
  const d2xx::Status status = F.ListDevices(arg, buffer, d2xx::ListByIndex | d2xx::OpenByDescription);
  buffer[size - 1] = 0;
  return status;
}

d2xx::Handle TD2xxCalls::CreateFile(const char* name, d2xx::Dword flags) const {
  if (!F.W32CreateFile) return d2xx::InvalidHandleValue();
  return F.W32CreateFile(name, d2xx::GenericRead | d2xx::GenericWrite, 0, nullptr, d2xx::OpenExisting, flags,
                         nullptr);
}

bool TD2xxCalls::CloseHandle(d2xx::Handle handle) const {
  return F.W32CloseHandle && F.W32CloseHandle(handle) != 0;
}

bool TD2xxCalls::ReadFile(d2xx::Handle handle, void* buffer, d2xx::Dword count, d2xx::Dword* done,
                          d2xx::Overlapped* overlapped) const {
  return F.W32ReadFile && F.W32ReadFile(handle, buffer, count, done, overlapped) != 0;
}

bool TD2xxCalls::WriteFile(d2xx::Handle handle, void* buffer, d2xx::Dword count, d2xx::Dword* done,
                           d2xx::Overlapped* overlapped) const {
  return F.W32WriteFile && F.W32WriteFile(handle, buffer, count, done, overlapped) != 0;
}

d2xx::Dword TD2xxCalls::GetLastError(d2xx::Handle handle) const {
  return F.W32GetLastError ? F.W32GetLastError(handle) : static_cast<d2xx::Dword>(-1);
}

bool TD2xxCalls::PurgeComm(d2xx::Handle handle, d2xx::Dword mask) const {
  return F.W32PurgeComm && F.W32PurgeComm(handle, mask) != 0;
}

bool TD2xxCalls::GetOverlappedResult(d2xx::Handle handle, d2xx::Overlapped* overlapped, d2xx::Dword* done,
                                     bool wait) const {
  return F.W32GetOverlappedResult && F.W32GetOverlappedResult(handle, overlapped, done, wait ? 1 : 0) != 0;
}

}  // namespace sartel::ftdi
