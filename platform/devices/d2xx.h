#pragma once
// Our declarations of the FTDI D2XX library's binary interface on Linux.
//
// The driver library loads "libftd2xx.so" at run time and binds these 21
// functions by name; the simulated device in sim/ exports the same 21 with
// these very prototypes, so the compiler holds both sides to one interface.
// Types are the 32-bit forms of current releases (see the team's d2xx notes).

#include <cstdint>
#include <functional>

namespace d2xx {

using Handle = void*;
using Status = std::uint32_t;
using Dword = std::uint32_t;
using Ulong = std::uint32_t;
using Bool = std::int32_t;
using Uchar = std::uint8_t;

inline constexpr const char* LibraryName = "libftd2xx.so";

// Status values.
inline constexpr Status Ok = 0;
inline constexpr Status InvalidHandle = 1;
inline constexpr Status DeviceNotFound = 2;
inline constexpr Status DeviceNotOpened = 3;
inline constexpr Status IoError = 4;
inline constexpr Status InsufficientResources = 5;
inline constexpr Status InvalidParameter = 6;
inline constexpr Status OtherError = 18;

// Open-by and listing flags.
inline constexpr Dword OpenBySerialNumber = 1;
inline constexpr Dword OpenByDescription = 2;
inline constexpr Dword OpenByLocation = 4;
inline constexpr Dword ListNumberOnly = 0x80000000u;
inline constexpr Dword ListByIndex = 0x40000000u;
inline constexpr Dword ListAll = 0x20000000u;

// FT_Purge masks.
inline constexpr Ulong PurgeRx = 1;
inline constexpr Ulong PurgeTx = 2;

// FT_W32_PurgeComm masks (1 is TX abort here, unlike FT_Purge).
inline constexpr Dword PurgeTxAbort = 0x1;
inline constexpr Dword PurgeRxAbort = 0x2;
inline constexpr Dword PurgeTxClear = 0x4;
inline constexpr Dword PurgeRxClear = 0x8;

// FT_W32_CreateFile arguments (access and creation are ignored on Linux).
inline constexpr Dword GenericRead = 0x80000000u;
inline constexpr Dword GenericWrite = 0x40000000u;
inline constexpr Dword OpenExisting = 3;
inline constexpr Dword FileAttributeNormal = 0x80;
inline constexpr Dword FlagOverlapped = 0x40000000u;

// FT_W32_GetLastError values of an overlapped transfer.
inline constexpr Dword ErrorIoIncomplete = 996;
inline constexpr Dword ErrorIoPending = 997;

// FT_SetBitMode modes.
inline constexpr Uchar BitModeReset = 0x00;
inline constexpr Uchar BitModeAsyncBitBang = 0x01;

// The library's OVERLAPPED layout; hEvent is whatever event the caller uses.
struct Overlapped {
  Dword Internal;
  Dword InternalHigh;
  union {
    struct {
      Dword Offset;
      Dword OffsetHigh;
    } Position;
    void* Pointer;
  };
  void* hEvent;
};

// The invalid handle has had three spellings across releases.
inline bool IsValidHandle(Handle handle) {
  const auto value = reinterpret_cast<std::uintptr_t>(handle);
  return value != 0 && value != UINTPTR_MAX && value != 0xFFFFFFFFu;
}

inline Handle InvalidHandleValue() { return reinterpret_cast<Handle>(UINTPTR_MAX); }

}  // namespace d2xx

extern "C" {
d2xx::Status FT_Open(int index, d2xx::Handle* handle);
d2xx::Status FT_OpenEx(void* arg, d2xx::Dword flags, d2xx::Handle* handle);
d2xx::Status FT_ListDevices(void* arg1, void* arg2, d2xx::Dword flags);
d2xx::Status FT_Close(d2xx::Handle handle);
d2xx::Status FT_Read(d2xx::Handle handle, void* buffer, d2xx::Dword count, d2xx::Dword* done);
d2xx::Status FT_Write(d2xx::Handle handle, void* buffer, d2xx::Dword count, d2xx::Dword* done);
d2xx::Status FT_ResetDevice(d2xx::Handle handle);
d2xx::Status FT_Purge(d2xx::Handle handle, d2xx::Ulong mask);
d2xx::Status FT_SetTimeouts(d2xx::Handle handle, d2xx::Ulong readMs, d2xx::Ulong writeMs);
d2xx::Status FT_GetQueueStatus(d2xx::Handle handle, d2xx::Dword* waiting);
d2xx::Status FT_SetLatencyTimer(d2xx::Handle handle, d2xx::Uchar ms);
d2xx::Status FT_GetLatencyTimer(d2xx::Handle handle, d2xx::Uchar* ms);
d2xx::Status FT_SetBitMode(d2xx::Handle handle, d2xx::Uchar mask, d2xx::Uchar mode);
d2xx::Status FT_SetUSBParameters(d2xx::Handle handle, d2xx::Ulong inSize, d2xx::Ulong outSize);
d2xx::Handle FT_W32_CreateFile(const char* name, d2xx::Dword access, d2xx::Dword share, void* security,
                               d2xx::Dword creation, d2xx::Dword flags, d2xx::Handle templateFile);
d2xx::Bool FT_W32_CloseHandle(d2xx::Handle handle);
d2xx::Bool FT_W32_ReadFile(d2xx::Handle handle, void* buffer, d2xx::Dword count, d2xx::Dword* done,
                           d2xx::Overlapped* overlapped);
d2xx::Bool FT_W32_WriteFile(d2xx::Handle handle, void* buffer, d2xx::Dword count, d2xx::Dword* done,
                            d2xx::Overlapped* overlapped);
d2xx::Dword FT_W32_GetLastError(d2xx::Handle handle);
d2xx::Bool FT_W32_PurgeComm(d2xx::Handle handle, d2xx::Dword mask);
d2xx::Bool FT_W32_GetOverlappedResult(d2xx::Handle handle, d2xx::Overlapped* overlapped, d2xx::Dword* done,
                                      d2xx::Bool wait);
}

namespace d2xx {

// The 21 entry points as bound at run time, in binding order; a pointer the
// library lacks stays null.
struct TFunctions {
  decltype(&FT_Open) Open = nullptr;
  decltype(&FT_OpenEx) OpenEx = nullptr;
  decltype(&FT_ListDevices) ListDevices = nullptr;
  decltype(&FT_Close) Close = nullptr;
  decltype(&FT_Read) Read = nullptr;
  decltype(&FT_Write) Write = nullptr;
  decltype(&FT_ResetDevice) ResetDevice = nullptr;
  decltype(&FT_Purge) Purge = nullptr;
  decltype(&FT_SetTimeouts) SetTimeouts = nullptr;
  decltype(&FT_GetQueueStatus) GetQueueStatus = nullptr;
  decltype(&FT_SetLatencyTimer) SetLatencyTimer = nullptr;
  decltype(&FT_GetLatencyTimer) GetLatencyTimer = nullptr;
  decltype(&FT_SetBitMode) SetBitMode = nullptr;
  decltype(&FT_SetUSBParameters) SetUSBParameters = nullptr;
  decltype(&FT_W32_CreateFile) W32CreateFile = nullptr;
  decltype(&FT_W32_CloseHandle) W32CloseHandle = nullptr;
  decltype(&FT_W32_ReadFile) W32ReadFile = nullptr;
  decltype(&FT_W32_WriteFile) W32WriteFile = nullptr;
  decltype(&FT_W32_GetLastError) W32GetLastError = nullptr;
  decltype(&FT_W32_PurgeComm) W32PurgeComm = nullptr;
  decltype(&FT_W32_GetOverlappedResult) W32GetOverlappedResult = nullptr;
};

inline constexpr int FunctionCount = 21;

// The names in binding order.
extern const char* const FunctionNames[FunctionCount];

// Looks every name up through lookup and stores what it finds, also when a
// name is missing; true only when all 21 were found.
using TSymbolLookup = std::function<void*(const char* name)>;
bool BindFunctions(const TSymbolLookup& lookup, TFunctions& functions);

}  // namespace d2xx
