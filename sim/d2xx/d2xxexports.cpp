// The 21 D2XX functions of the simulated library. Like the real library on
// Linux, every transfer completes before the call returns: a read waits up
// to its time-out for bytes that are not there and then returns what it
// has. OVERLAPPED blocks are refused, as the real library documents.

#include "d2xx.h"
#include "simworld.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <string>
#include <thread>

#define SIM_EXPORT __attribute__((visibility("default")))

using namespace sim;

namespace {

std::mt19937& Noise() {
  static std::mt19937 random(20240601u);
  return random;
}

void FillGarbage(std::uint8_t* data, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) data[i] = static_cast<std::uint8_t>(Noise()() & 0xFF);
}

// Sleeps without holding the world's lock, so control calls stay possible.
void Wait(std::unique_lock<std::mutex>& lock, std::uint32_t ms) {
  lock.unlock();
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  lock.lock();
}

std::uint32_t Timeout(std::uint32_t ms) { return ms ? ms : TSimWorld::DefaultTimeoutMs; }

struct TCall {
  std::unique_lock<std::mutex> Guard;
  TFault Fault;
  TCall(const char* function) : Guard(World().Lock), Fault(World().Faults.OnCall(function)) {}
};

TSimHarvik* DeviceOf(TSimHandle* handle) { return handle ? World().Device(handle->Device) : nullptr; }

// A read of count bytes through a handle, with the call's fault.
d2xx::Status ReadThrough(TCall& call, TSimHandle* handle, void* buffer, d2xx::Dword count, d2xx::Dword* done) {
  TSimHarvik* device = DeviceOf(handle);
  if (!device || !done || (!buffer && count)) return handle ? d2xx::InvalidParameter : d2xx::InvalidHandle;
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  *done = 0;
  switch (call.Fault) {
    case TFault::Fail:
      return d2xx::IoError;
    case TFault::Hang:
      Wait(call.Guard, Timeout(handle->ReadTimeoutMs));
      return d2xx::Ok;
    case TFault::Short:
      *done = static_cast<d2xx::Dword>(device->Answer(bytes, count / 2));
      return d2xx::Ok;
    case TFault::Garbage:
      device->Answer(bytes, count);
      FillGarbage(bytes, count);
      *done = count;
      return d2xx::Ok;
    case TFault::Ones:
      device->Answer(bytes, count);
      std::fill_n(bytes, count, std::uint8_t{0xFF});
      *done = count;
      return d2xx::Ok;
    case TFault::None:
      break;
  }
  std::size_t got = device->Answer(bytes, count);
  if (got < count) {
    Wait(call.Guard, Timeout(handle->ReadTimeoutMs));
    // The handle may have been closed meanwhile.
    if (World().Find(handle) && DeviceOf(handle)) got += DeviceOf(handle)->Answer(bytes + got, count - got);
  }
  *done = static_cast<d2xx::Dword>(got);
  return d2xx::Ok;
}

d2xx::Status WriteThrough(TCall& call, TSimHandle* handle, void* buffer, d2xx::Dword count, d2xx::Dword* done) {
  TSimHarvik* device = DeviceOf(handle);
  if (!device || !done || (!buffer && count)) return handle ? d2xx::InvalidParameter : d2xx::InvalidHandle;
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  *done = 0;
  switch (call.Fault) {
    case TFault::Fail:
      return d2xx::IoError;
    case TFault::Hang:
      Wait(call.Guard, Timeout(handle->WriteTimeoutMs));
      return d2xx::Ok;
    case TFault::Short:
      device->Receive(bytes, count / 2);
      *done = count / 2;
      return d2xx::Ok;
    case TFault::Garbage: {
      std::vector<std::uint8_t> damaged(count);
      FillGarbage(damaged.data(), count);
      device->Receive(damaged.data(), count);
      *done = count;
      return d2xx::Ok;
    }
    case TFault::Ones:
    case TFault::None:
      break;
  }
  device->Receive(bytes, count);
  *done = count;
  return d2xx::Ok;
}

d2xx::Bool W32Result(TSimHandle* handle, d2xx::Status status) {
  if (handle) handle->LastError = status;
  return status == d2xx::Ok ? 1 : 0;
}

void CopyDescription(const std::string& text, char* out, bool garbage) {
  // The library writes at most 64 bytes.
  constexpr std::size_t Limit = 64;
  if (garbage) {
    FillGarbage(reinterpret_cast<std::uint8_t*>(out), Limit);
    return;
  }
  const std::size_t n = std::min(text.size(), Limit - 1);
  std::memcpy(out, text.data(), n);
  out[n] = 0;
}

std::string SerialOf(int index) { return "SIM" + std::to_string(1000 + index); }

// The first device not yet open whose description (or serial number)
// equals name.
TSimHandle* OpenByName(const std::string& name, d2xx::Dword flags) {
  TSimWorld& world = World();
  for (int i = 0; i < static_cast<int>(world.Devices.size()); ++i) {
    const std::string& key =
        (flags & d2xx::OpenByDescription) ? world.Devices[static_cast<std::size_t>(i)]->Description : SerialOf(i);
    if (key != name) continue;
    if (TSimHandle* open = world.Open(i)) return open;
  }
  return nullptr;
}

}  // namespace

extern "C" {

SIM_EXPORT d2xx::Status FT_ListDevices(void* arg1, void* arg2, d2xx::Dword flags) {
  TCall call("FT_ListDevices");
  if (call.Fault == TFault::Fail) return d2xx::IoError;
  TSimWorld& world = World();
  const auto count = static_cast<d2xx::Dword>(world.Devices.size());
  if (flags & d2xx::ListNumberOnly) {
    if (!arg1) return d2xx::InvalidParameter;
    *static_cast<d2xx::Dword*>(arg1) = call.Fault == TFault::Garbage ? 0xFFFFFFF0u : count;
    return d2xx::Ok;
  }
  if (flags & d2xx::ListByIndex) {
    const auto index = static_cast<int>(reinterpret_cast<std::uintptr_t>(arg1) & 0xFFFFFFFFu);
    TSimHarvik* device = world.Device(index);
    if (!device) return d2xx::DeviceNotFound;
    if (!arg2) return d2xx::InvalidParameter;
    const bool byDescription = flags & d2xx::OpenByDescription;
    CopyDescription(byDescription ? device->Description : SerialOf(index), static_cast<char*>(arg2),
                    call.Fault == TFault::Garbage);
    return d2xx::Ok;
  }
  if (flags & d2xx::ListAll) {
    if (!arg1 || !arg2) return d2xx::InvalidParameter;
    auto** buffers = static_cast<char**>(arg1);
    for (d2xx::Dword i = 0; i < count && buffers[i]; ++i)
      CopyDescription(world.Devices[i]->Description, buffers[i], call.Fault == TFault::Garbage);
    *static_cast<d2xx::Dword*>(arg2) = count;
    return d2xx::Ok;
  }
  return d2xx::InvalidParameter;
}

SIM_EXPORT d2xx::Status FT_Open(int index, d2xx::Handle* handle) {
  TCall call("FT_Open");
  if (!handle) return d2xx::InvalidParameter;
  if (call.Fault == TFault::Fail) return d2xx::IoError;
  if (!World().Device(index)) return d2xx::DeviceNotFound;
  TSimHandle* open = World().Open(index);
  if (!open) return d2xx::DeviceNotOpened;
  *handle = open;
  return d2xx::Ok;
}

SIM_EXPORT d2xx::Status FT_OpenEx(void* arg, d2xx::Dword flags, d2xx::Handle* handle) {
  TCall call("FT_OpenEx");
  if (!handle || !arg) return d2xx::InvalidParameter;
  if (call.Fault == TFault::Fail) return d2xx::IoError;
  TSimHandle* open = OpenByName(static_cast<const char*>(arg), flags);
  if (!open) return d2xx::DeviceNotFound;
  *handle = open;
  return d2xx::Ok;
}

SIM_EXPORT d2xx::Status FT_Close(d2xx::Handle handle) {
  TCall call("FT_Close");
  if (call.Fault == TFault::Fail) return d2xx::IoError;
  return World().Close(handle) ? d2xx::Ok : d2xx::InvalidHandle;
}

SIM_EXPORT d2xx::Status FT_Read(d2xx::Handle handle, void* buffer, d2xx::Dword count, d2xx::Dword* done) {
  TCall call("FT_Read");
  return ReadThrough(call, World().Find(handle), buffer, count, done);
}

SIM_EXPORT d2xx::Status FT_Write(d2xx::Handle handle, void* buffer, d2xx::Dword count, d2xx::Dword* done) {
  TCall call("FT_Write");
  return WriteThrough(call, World().Find(handle), buffer, count, done);
}

SIM_EXPORT d2xx::Status FT_ResetDevice(d2xx::Handle handle) {
  TCall call("FT_ResetDevice");
  TSimHarvik* device = DeviceOf(World().Find(handle));
  if (!device) return d2xx::InvalidHandle;
  if (call.Fault == TFault::Fail) return d2xx::IoError;
  device->ResetBridge();
  return d2xx::Ok;
}

SIM_EXPORT d2xx::Status FT_Purge(d2xx::Handle handle, d2xx::Ulong mask) {
  TCall call("FT_Purge");
  TSimHarvik* device = DeviceOf(World().Find(handle));
  if (!device) return d2xx::InvalidHandle;
  if (call.Fault == TFault::Fail) return d2xx::IoError;
  if (mask & d2xx::PurgeRx) device->PurgeReceived();
  if (mask & d2xx::PurgeTx) device->PurgeSent();
  return d2xx::Ok;
}

SIM_EXPORT d2xx::Status FT_SetTimeouts(d2xx::Handle handle, d2xx::Ulong readMs, d2xx::Ulong writeMs) {
  TCall call("FT_SetTimeouts");
  TSimHandle* open = World().Find(handle);
  if (!open) return d2xx::InvalidHandle;
  if (call.Fault == TFault::Fail) return d2xx::IoError;
  open->ReadTimeoutMs = readMs;
  open->WriteTimeoutMs = writeMs;
  return d2xx::Ok;
}

SIM_EXPORT d2xx::Status FT_GetQueueStatus(d2xx::Handle handle, d2xx::Dword* waiting) {
  TCall call("FT_GetQueueStatus");
  TSimHarvik* device = DeviceOf(World().Find(handle));
  if (!device) return d2xx::InvalidHandle;
  if (!waiting) return d2xx::InvalidParameter;
  if (call.Fault == TFault::Fail) return d2xx::IoError;
  *waiting = static_cast<d2xx::Dword>(device->Waiting());
  return d2xx::Ok;
}

SIM_EXPORT d2xx::Status FT_SetLatencyTimer(d2xx::Handle handle, d2xx::Uchar ms) {
  TCall call("FT_SetLatencyTimer");
  if (!World().Find(handle)) return d2xx::InvalidHandle;
  if (call.Fault == TFault::Fail) return d2xx::IoError;
  return ms >= 1 ? d2xx::Ok : d2xx::InvalidParameter;
}

SIM_EXPORT d2xx::Status FT_GetLatencyTimer(d2xx::Handle handle, d2xx::Uchar* ms) {
  TCall call("FT_GetLatencyTimer");
  if (!World().Find(handle)) return d2xx::InvalidHandle;
  if (!ms) return d2xx::InvalidParameter;
  if (call.Fault == TFault::Fail) return d2xx::IoError;
  *ms = 2;
  return d2xx::Ok;
}

SIM_EXPORT d2xx::Status FT_SetBitMode(d2xx::Handle handle, d2xx::Uchar mask, d2xx::Uchar mode) {
  TCall call("FT_SetBitMode");
  TSimHarvik* device = DeviceOf(World().Find(handle));
  if (!device) return d2xx::InvalidHandle;
  if (call.Fault == TFault::Fail) return d2xx::IoError;
  device->SetBitMode(mask, mode);
  return d2xx::Ok;
}

SIM_EXPORT d2xx::Status FT_SetUSBParameters(d2xx::Handle handle, d2xx::Ulong inSize, d2xx::Ulong) {
  TCall call("FT_SetUSBParameters");
  if (!World().Find(handle)) return d2xx::InvalidHandle;
  if (call.Fault == TFault::Fail) return d2xx::IoError;
  return inSize >= 64 && inSize <= 65536 && inSize % 64 == 0 ? d2xx::Ok : d2xx::InvalidParameter;
}

SIM_EXPORT d2xx::Handle FT_W32_CreateFile(const char* name, d2xx::Dword, d2xx::Dword, void*, d2xx::Dword,
                                          d2xx::Dword flags, d2xx::Handle) {
  TCall call("FT_W32_CreateFile");
  if (!name || call.Fault == TFault::Fail) return d2xx::InvalidHandleValue();
  TSimHandle* open = OpenByName(name, flags);
  return open ? static_cast<d2xx::Handle>(open) : d2xx::InvalidHandleValue();
}

SIM_EXPORT d2xx::Bool FT_W32_CloseHandle(d2xx::Handle handle) {
  TCall call("FT_W32_CloseHandle");
  if (call.Fault == TFault::Fail) return 0;
  return World().Close(handle) ? 1 : 0;
}

SIM_EXPORT d2xx::Bool FT_W32_ReadFile(d2xx::Handle handle, void* buffer, d2xx::Dword count, d2xx::Dword* done,
                                      d2xx::Overlapped* overlapped) {
  TCall call("FT_W32_ReadFile");
  TSimHandle* open = World().Find(handle);
  if (overlapped) return W32Result(open, d2xx::InvalidParameter);
  return W32Result(open, ReadThrough(call, open, buffer, count, done));
}

SIM_EXPORT d2xx::Bool FT_W32_WriteFile(d2xx::Handle handle, void* buffer, d2xx::Dword count, d2xx::Dword* done,
                                       d2xx::Overlapped* overlapped) {
  TCall call("FT_W32_WriteFile");
  TSimHandle* open = World().Find(handle);
  if (overlapped) return W32Result(open, d2xx::InvalidParameter);
  return W32Result(open, WriteThrough(call, open, buffer, count, done));
}

SIM_EXPORT d2xx::Dword FT_W32_GetLastError(d2xx::Handle handle) {
  TCall call("FT_W32_GetLastError");
  TSimHandle* open = World().Find(handle);
  return open ? open->LastError : d2xx::InvalidHandle;
}

SIM_EXPORT d2xx::Bool FT_W32_PurgeComm(d2xx::Handle handle, d2xx::Dword mask) {
  TCall call("FT_W32_PurgeComm");
  TSimHandle* open = World().Find(handle);
  TSimHarvik* device = DeviceOf(open);
  if (!device) return 0;
  if (call.Fault == TFault::Fail) return W32Result(open, d2xx::IoError);
  if (mask & (d2xx::PurgeRxAbort | d2xx::PurgeRxClear)) device->PurgeReceived();
  if (mask & (d2xx::PurgeTxAbort | d2xx::PurgeTxClear)) device->PurgeSent();
  return W32Result(open, d2xx::Ok);
}

// Transfers complete before they return, so there is never a pending one
// whose result could be fetched.
SIM_EXPORT d2xx::Bool FT_W32_GetOverlappedResult(d2xx::Handle handle, d2xx::Overlapped*, d2xx::Dword* done,
                                                 d2xx::Bool) {
  TCall call("FT_W32_GetOverlappedResult");
  if (done) *done = 0;
  TSimHandle* open = World().Find(handle);
  if (open) open->LastError = d2xx::ErrorIoIncomplete;
  return 0;
}

}  // extern "C"
