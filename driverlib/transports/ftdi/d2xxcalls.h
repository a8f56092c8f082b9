#pragma once
// One wrapper per D2XX function the transport uses. A function the loaded
// library lacks answers like a failing call, so a partly bound library never
// crashes the caller: status calls answer 1, listing answers 0 with a count
// of 0, Boolean calls and opening answer false or the invalid handle, and
// the last error answers -1.

#include "d2xx.h"

#include <string>

namespace sartel::ftdi {

class TD2xxCalls {
 public:
  TD2xxCalls() = default;
  explicit TD2xxCalls(const d2xx::TFunctions& functions) : F(functions) {}

  const d2xx::TFunctions& Functions() const { return F; }

  d2xx::Status Open(int index, d2xx::Handle* handle) const;
  d2xx::Status Close(d2xx::Handle handle) const;
  d2xx::Status ResetDevice(d2xx::Handle handle) const;
  d2xx::Status Purge(d2xx::Handle handle, d2xx::Ulong mask) const;
  d2xx::Status SetTimeouts(d2xx::Handle handle, d2xx::Ulong readMs, d2xx::Ulong writeMs) const;
  d2xx::Status SetLatencyTimer(d2xx::Handle handle, d2xx::Uchar ms) const;
  d2xx::Status SetBitMode(d2xx::Handle handle, d2xx::Uchar mask, d2xx::Uchar mode) const;
  d2xx::Status SetUSBParameters(d2xx::Handle handle, d2xx::Ulong inSize, d2xx::Ulong outSize) const;

  // Number-only listing; count is 0 unless the call succeeded.
  d2xx::Status CountDevices(d2xx::Dword& count) const;
  // Description of device index, by index in the description form. buffer
  // must hold size bytes, zeroed; the last byte is kept zero.
  d2xx::Status Description(int index, char* buffer, std::size_t size) const;

  d2xx::Handle CreateFile(const char* name, d2xx::Dword flags) const;
  bool CloseHandle(d2xx::Handle handle) const;
  bool ReadFile(d2xx::Handle handle, void* buffer, d2xx::Dword count, d2xx::Dword* done,
                d2xx::Overlapped* overlapped) const;
  bool WriteFile(d2xx::Handle handle, void* buffer, d2xx::Dword count, d2xx::Dword* done,
                 d2xx::Overlapped* overlapped) const;
  d2xx::Dword GetLastError(d2xx::Handle handle) const;
  bool PurgeComm(d2xx::Handle handle, d2xx::Dword mask) const;
  bool GetOverlappedResult(d2xx::Handle handle, d2xx::Overlapped* overlapped, d2xx::Dword* done,
                           bool wait) const;

 private:
  d2xx::TFunctions F;
};

}  // namespace sartel::ftdi
