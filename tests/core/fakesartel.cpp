// The fake driver library: every export of sartel.h answering from the
// script in TFakeSartel. Built several times, each variant leaving out the
// export named by FAKE_OMIT_* so the binding's handling of a missing name
// runs through the real loader.

#define SARTEL_BUILDING_LIBRARY
#include "fakesartel.h"
#include "sartel.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

TFakeSartel State;

void Record(const char* name) {
  std::lock_guard<std::mutex> guard(State.Lock);
  State.Calls.emplace_back(name);
  const auto error = State.ErrorAfter.find(name);
  if (error == State.ErrorAfter.end()) return;
  State.ErrorCode = error->second.first;
  State.ErrorText = error->second.second;
}

// A device text as the library writes it: no terminator.
void WriteText(const std::u16string& text, char16_t* to) {
  if (to) std::copy(text.begin(), text.end(), to);
}

template <typename T>
T Answer(const std::vector<T>& list, int32_t index) {
  if (list.empty()) return T{};
  return list[std::min<size_t>(static_cast<size_t>(index), list.size() - 1)];
}

void CopySamples(const std::vector<int32_t>& from, int32_t* to, int32_t length) {
  for (int32_t i = 0; i < length; ++i) to[i] = i < static_cast<int32_t>(from.size()) ? from[i] : 0;
}

// Copies a channel's samples while `left` (the samples the read-out still
// writes before it fails) lasts.
void CopyWhileLeft(const std::vector<int32_t>& from, int32_t* to, int32_t length, int32_t& left) {
  const int32_t written = std::min(length, left);
  CopySamples(from, to, written);
  left -= written;
}

void RaiseFailure() {
  State.ErrorCode = State.FailureCode;
  State.ErrorText = State.FailureText;
}

int32_t Item(const std::vector<int32_t>& table, int32_t selector) {
  if (selector & SARTEL_SELECT_COUNT) return static_cast<int32_t>(table.size());
  if (selector & SARTEL_SELECT_ENTRY) {
    const int32_t i = selector - SARTEL_SELECT_ENTRY;
    return i >= 0 && i < static_cast<int32_t>(table.size()) ? table[i] : 0;
  }
  return 0;
}

}  // namespace

extern "C" SARTEL_EXPORT TFakeSartel* FakeSartelState() { return &State; }

bool _InitDriver(void) { Record("_InitDriver"); return true; }
void _FreeDriver(void) { Record("_FreeDriver"); }
void _SetPath(const char16_t* folder) {
  Record("_SetPath");
  std::lock_guard<std::mutex> guard(State.Lock);
  State.PathSet = folder ? std::u16string(folder) : std::u16string();
}
int32_t _ListDevices(int32_t* indices, const char* host) {
  Record("_ListDevices");
  std::lock_guard<std::mutex> guard(State.Lock);
  State.HostGiven = host != nullptr;
  if (indices) std::copy(State.ListedIndices.begin(), State.ListedIndices.end(), indices);
  return static_cast<int32_t>(State.ListedIndices.size());
}
void _GetDeviceDescr(int32_t index, char16_t* description) {
  Record("_GetDeviceDescr");
  std::lock_guard<std::mutex> guard(State.Lock);
  State.DescribedIndex = index;
  WriteText(State.Description, description);
}
void _OpenDevice(int32_t index) {
  Record("_OpenDevice");
  std::lock_guard<std::mutex> guard(State.Lock);
  State.OpenedIndex = index;
}
int32_t _CloseDevice(void) { Record("_CloseDevice"); return 0; }
bool _InitDevice(void) { Record("_InitDevice"); return true; }
bool _ConfigDevice(int32_t, bool skipUpload) {
  Record("_ConfigDevice");
  std::lock_guard<std::mutex> guard(State.Lock);
  State.ConfigSkipUpload = skipUpload ? 1 : 0;
  return State.ConfigResult;
}
void _FreeDevice(void) { Record("_FreeDevice"); }

void _CPMode(int32_t mode) {
  Record("_CPMode");
  std::lock_guard<std::mutex> guard(State.Lock);
  State.Mode = mode;
}
void _CPBuffer(int32_t length) {
  Record("_CPBuffer");
  std::lock_guard<std::mutex> guard(State.Lock);
  State.BufferLength = length;
}
void _CPSampling(int32_t index) {
  Record("_CPSampling");
  std::lock_guard<std::mutex> guard(State.Lock);
  State.Sampling = index;
}
void _CPGain(int32_t gainA, int32_t gainB) {
  Record("_CPGain");
  std::lock_guard<std::mutex> guard(State.Lock);
  State.GainA = gainA;
  State.GainB = gainB;
}
int32_t _CPSet(void) {
  Record("_CPSet");
  std::lock_guard<std::mutex> guard(State.Lock);
  State.ErrorCode = State.ConfigErrorCode;
  State.ErrorText = State.ConfigErrorText;
  return State.ConfigErrorCode == 0;
}
int32_t _StartCapture(void) {
  Record("_StartCapture");
  std::lock_guard<std::mutex> guard(State.Lock);
  State.StatusReads = 0;
  State.AddressReads = 0;
  ++State.Captures;
  return 1;
}
int32_t _StopCapture(void) { Record("_StopCapture"); return 1; }
int32_t _EndCapture(void) { Record("_EndCapture"); return 1; }
int32_t _ForceTrigger(void) { Record("_ForceTrigger"); return 1; }

uint8_t _ReadStatus(void) {
  int32_t count;
  uint8_t status;
  std::function<void(int32_t)> hook;
  {
    std::lock_guard<std::mutex> guard(State.Lock);
    count = ++State.StatusReads;
    status = Answer(State.Statuses, count - 1);
    if (count - 1 == State.FailAtStatusRead) {
      State.ErrorCode = State.FailureCode;
      State.ErrorText = State.FailureText;
    }
    if (State.ErrorCode != 0) status = 0;  // a dropped device answers nothing
    hook = State.OnStatusRead;
  }
  if (hook) hook(count);
  return status;
}

int32_t _GetAddress(void) {
  std::lock_guard<std::mutex> guard(State.Lock);
  return Answer(State.Addresses, State.AddressReads++);
}

void _GetDataA(int32_t* channelA, int32_t* channelB) {
  Record("_GetDataA");
  std::lock_guard<std::mutex> guard(State.Lock);
  State.DataBRequested = channelB != nullptr;
  int32_t left = State.FailAfterSamples < 0 ? INT32_MAX : State.FailAfterSamples;
  if (channelA) CopyWhileLeft(State.DataA, channelA, State.BufferLength, left);
  if (channelB) CopyWhileLeft(State.DataB, channelB, State.BufferLength, left);
  if (State.FailOnGetData || State.FailAfterSamples >= 0) RaiseFailure();
}

int32_t _GetCaptureParams(int32_t* start, int32_t* end, int32_t* revolutions) {
  Record("_GetCaptureParams");
  std::lock_guard<std::mutex> guard(State.Lock);
  *start = State.Start;
  *end = State.End;
  *revolutions = State.Revolutions;
  return 1;
}

int32_t _GetTemperature(double* a, double* b) {
  Record("_GetTemperature");
  std::lock_guard<std::mutex> guard(State.Lock);
  State.TemperatureBRequested = b != nullptr;
  if (a) *a = State.TemperatureA;
  if (b) *b = State.TemperatureB;
  return 1;
}

void _GetDeviceID(char16_t* identity) {
  Record("_GetDeviceID");
  std::lock_guard<std::mutex> guard(State.Lock);
  WriteText(State.Identity, identity);
}
void _GetDeviceSN(char16_t* serialNumber) {
  Record("_GetDeviceSN");
  std::lock_guard<std::mutex> guard(State.Lock);
  WriteText(State.SerialNumber, serialNumber);
}
void _GetDeviceVer(char16_t* version) {
  Record("_GetDeviceVer");
  std::lock_guard<std::mutex> guard(State.Lock);
  WriteText(State.Version, version);
}
uint8_t _GetConfigByte(int32_t) { return 0; }
int32_t _GetDeviceRamSize(void) {
  Record("_GetDeviceRamSize");
  std::lock_guard<std::mutex> guard(State.Lock);
  return State.RamSize;
}
#ifndef FAKE_OMIT_GETDEVICECALIBRATION
int32_t _GetDeviceCalibration(int32_t, char) { return 0; }
#endif
int32_t _StatusLED(bool on) {
  Record("_StatusLED");
  std::lock_guard<std::mutex> guard(State.Lock);
  State.StatusLamp.push_back(on ? 1 : 0);
  return 1;
}
int32_t _ErrorLED(bool) { Record("_ErrorLED"); return 1; }
int32_t _LaserEnable(bool on) {
  Record("_LaserEnable");
  std::lock_guard<std::mutex> guard(State.Lock);
  State.LaserStates.push_back(on ? 1 : 0);
  return 1;
}
int32_t _GetClockItems(int32_t selector) {
  std::lock_guard<std::mutex> guard(State.Lock);
  return Item(State.Clocks, selector);
}
int32_t _GetGainItems(int32_t selector) {
  std::lock_guard<std::mutex> guard(State.Lock);
  return Item(State.Gains, selector);
}
int32_t _GetConfigItems(int32_t selector) {
  std::lock_guard<std::mutex> guard(State.Lock);
  if (selector == SARTEL_CONFIG_WHOLE_MEMORY) return State.WholeMemory ? 1 : 0;
  return (selector & SARTEL_SELECT_ENTRY) ? State.FullScale : 0;
}

int32_t _Clear(void) { return 0; }
int32_t _ReadRAM(int32_t, uint8_t*, int32_t) { return 0; }
int32_t _WriteRAM(int32_t, uint8_t*, int32_t) { return 0; }
#ifndef FAKE_OMIT_GETLASTERRORSTR
// Writes the whole text and its terminator, however long: the caller's
// copy must be bounded by the caller.
int32_t _GetLastErrorStr(char16_t* text) {
  std::lock_guard<std::mutex> guard(State.Lock);
  if (text) {
    std::copy(State.ErrorText.begin(), State.ErrorText.end(), text);
    text[State.ErrorText.size()] = 0;
  }
  return State.ErrorCode;
}
#endif
int32_t _NGRH0485(uint8_t*) { return 0; }
int32_t _NAOP4239(uint8_t*) { return 0; }
uint8_t _QPRE4902(int32_t, int32_t) { return 0; }
uint8_t _ARPJ9457(int32_t, uint8_t*) { return 0; }
