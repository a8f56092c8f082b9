#include "faked2xx.h"

#include <algorithm>

TFakeD2xx* TFakeD2xx::Current = nullptr;

TFakeD2xx::TFakeD2xx() { Current = this; }

TFakeD2xx::~TFakeD2xx() { Current = nullptr; }

d2xx::Handle FakeHandle() {
  static int object = 0;
  return &object;
}

d2xx::Status TFakeD2xx::StatusOf(const char* name) {
  Calls.emplace_back(name);
  const auto forced = Status.find(name);
  return forced == Status.end() ? d2xx::Ok : forced->second;
}

namespace {

TFakeD2xx& F() { return *TFakeD2xx::Current; }

d2xx::Bool Fail(d2xx::Overlapped* overlapped) {
  F().LastError = F().Pending ? d2xx::ErrorIoPending : d2xx::IoError;
  if (F().Pending && F().OnPending) F().OnPending(overlapped);
  return 0;
}

d2xx::Bool ReadFile(d2xx::Handle, void* buffer, d2xx::Dword count, d2xx::Dword* done, d2xx::Overlapped* overlapped) {
  F().Calls.emplace_back("FT_W32_ReadFile");
  if (F().FailReads) return Fail(overlapped);
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  d2xx::Dword n = 0;
  for (; n < count && !F().ReadBytes.empty(); ++n) {
    bytes[n] = F().ReadBytes.front();
    F().ReadBytes.pop_front();
  }
  if (F().ZerosWhenEmpty) {
    std::fill(bytes + n, bytes + count, 0);
    n = count;
  }
  *done = n;
  return 1;
}

d2xx::Bool WriteFile(d2xx::Handle, void* buffer, d2xx::Dword count, d2xx::Dword* done, d2xx::Overlapped* overlapped) {
  F().Calls.emplace_back("FT_W32_WriteFile");
  if (F().FailWrites) return Fail(overlapped);
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  F().Writes.emplace_back(bytes, bytes + count);
  *done = count;
  return 1;
}

}  // namespace

d2xx::TFunctions TFakeD2xx::Table() const {
  d2xx::TFunctions t;
  t.Open = [](int, d2xx::Handle* h) {
    *h = FakeHandle();
    return F().StatusOf("FT_Open");
  };
  t.Close = [](d2xx::Handle) { return F().StatusOf("FT_Close"); };
  t.ResetDevice = [](d2xx::Handle) { return F().StatusOf("FT_ResetDevice"); };
  t.Purge = [](d2xx::Handle, d2xx::Ulong) { return F().StatusOf("FT_Purge"); };
  t.SetTimeouts = [](d2xx::Handle, d2xx::Ulong read, d2xx::Ulong) {
    F().TimeoutRead = read;
    return F().StatusOf("FT_SetTimeouts");
  };
  t.SetLatencyTimer = [](d2xx::Handle, d2xx::Uchar) { return F().StatusOf("FT_SetLatencyTimer"); };
  t.SetBitMode = [](d2xx::Handle, d2xx::Uchar, d2xx::Uchar) { return F().StatusOf("FT_SetBitMode"); };
  t.SetUSBParameters = [](d2xx::Handle, d2xx::Ulong, d2xx::Ulong) { return F().StatusOf("FT_SetUSBParameters"); };
  t.W32CreateFile = [](const char*, d2xx::Dword, d2xx::Dword, void*, d2xx::Dword, d2xx::Dword, d2xx::Handle) {
    return F().StatusOf("FT_W32_CreateFile") == d2xx::Ok ? FakeHandle() : d2xx::InvalidHandleValue();
  };
  t.W32CloseHandle = [](d2xx::Handle) -> d2xx::Bool { return F().StatusOf("FT_W32_CloseHandle") == d2xx::Ok; };
  t.W32ReadFile = &ReadFile;
  t.W32WriteFile = &WriteFile;
  t.W32GetLastError = [](d2xx::Handle) { return F().LastError; };
  t.W32PurgeComm = [](d2xx::Handle, d2xx::Dword mask) -> d2xx::Bool {
    F().Calls.emplace_back("FT_W32_PurgeComm");
    F().PurgeMasks.push_back(mask);
    return F().PurgeCommOk;
  };
  t.W32GetOverlappedResult = [](d2xx::Handle, d2xx::Overlapped*, d2xx::Dword* done, d2xx::Bool) -> d2xx::Bool {
    F().Calls.emplace_back("FT_W32_GetOverlappedResult");
    *done = F().ResultCount;
    return F().ResultOk;
  };
  return t;
}
