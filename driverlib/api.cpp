// The 44 exports of libSartel.so. Each one reaches the driver through Call,
// which answers 0 (or does nothing) before _InitDriver and after
// _FreeDriver, and keeps every exception inside the library.

#include "sartel.h"

#include "driver.h"
#include "ftdiframe.h"
#include "textout.h"

#include <cstdint>

static_assert(sartel::SelectWholeMemory == SARTEL_CONFIG_WHOLE_MEMORY);

namespace {

// Freed only by _FreeDriver: at process exit the D2XX library may already
// be finalised, so no static destructor may talk to it.
sartel::TDriver* Driver = nullptr;

template <typename R, typename F>
R Call(R fallback, F&& body) noexcept {
  try {
    if (!Driver) return fallback;
    return body(*Driver);
  } catch (...) {
    return fallback;
  }
}

template <typename F>
void Call(F&& body) noexcept {
  Call(0, [&](sartel::TDriver& d) {
    body(d);
    return 0;
  });
}

sartel::TDeviceModel* Model(sartel::TDriver& d) { return d.Model.get(); }

// For exports whose model operation answers an int32 or byte.
template <typename R, typename F>
R WithModel(F&& body) noexcept {
  return Call(R{0}, [&](sartel::TDriver& d) -> R { return Model(d) ? body(*Model(d)) : R{0}; });
}

}  // namespace

extern "C" {

bool _InitDriver(void) {
  try {
    if (!Driver) Driver = new sartel::TDriver;
    return Driver->InitTransports();
  } catch (...) {
    return false;
  }
}

void _FreeDriver(void) {
  // Destructors do not throw.
  delete Driver;
  Driver = nullptr;
}

void _SetPath(const char16_t* folder) {
  Call([&](sartel::TDriver& d) { d.Lib.SetPath(folder); });
}

int32_t _ListDevices(int32_t* indices, const char* host) {
  return Call(0, [&](sartel::TDriver& d) { return d.ListDevices(indices, host); });
}

void _GetDeviceDescr(int32_t index, char16_t* description) {
  Call([&](sartel::TDriver& d) { d.DeviceDescription(index, description); });
}

void _OpenDevice(int32_t index) {
  Call([&](sartel::TDriver& d) { d.OpenDevice(index); });
}

int32_t _CloseDevice(void) {
  return Call(0, [](sartel::TDriver& d) { return d.CloseDevice(); });
}

bool _InitDevice(void) {
  return Call(false, [](sartel::TDriver& d) {
    d.InitDevice();
    return true;
  });
}

bool _ConfigDevice(int32_t, bool skipUpload) {
  return Call(false, [&](sartel::TDriver& d) { return d.ConfigDevice(skipUpload); });
}

void _FreeDevice(void) {
  Call([](sartel::TDriver& d) { d.FreeDevice(); });
}

void _CPMode(int32_t mode) {
  Call([&](sartel::TDriver& d) { d.Lib.CaptureMode = mode; });
}

void _CPBuffer(int32_t length) {
  Call([&](sartel::TDriver& d) { d.Lib.BufferLength = length; });
}

void _CPSampling(int32_t index) {
  Call([&](sartel::TDriver& d) { d.Lib.SamplingIndex = index; });
}

void _CPGain(int32_t gainA, int32_t gainB) {
  Call([&](sartel::TDriver& d) {
    d.Lib.GainA = gainA;
    d.Lib.GainB = gainB;
  });
}

int32_t _CPSet(void) {
  return Call(0, [](sartel::TDriver& d) {
    // A new capture starts without the last one's error, text included.
    d.Lib.Error.Clear();
    return d.Model ? d.Model->CaptureProgramming() : 0;
  });
}

int32_t _StartCapture(void) {
  return WithModel<int32_t>([](sartel::TDeviceModel& m) { return m.StartCapture(); });
}

int32_t _StopCapture(void) {
  return WithModel<int32_t>([](sartel::TDeviceModel& m) { return m.StopCapture(); });
}

int32_t _EndCapture(void) {
  return WithModel<int32_t>([](sartel::TDeviceModel& m) { return m.EndCapture(); });
}

int32_t _ForceTrigger(void) {
  return WithModel<int32_t>([](sartel::TDeviceModel& m) { return m.ForceTrigger(); });
}

uint8_t _ReadStatus(void) {
  return WithModel<uint8_t>([](sartel::TDeviceModel& m) { return m.ReadStatus(); });
}

int32_t _GetAddress(void) {
  return WithModel<int32_t>([](sartel::TDeviceModel& m) { return m.WriteAddress(); });
}

void _GetDataA(int32_t* channelA, int32_t* channelB) {
  WithModel<int32_t>([&](sartel::TDeviceModel& m) {
    m.ReadSamples(channelA, channelB);
    return 0;
  });
}

int32_t _GetCaptureParams(int32_t* start, int32_t* end, int32_t* revolutions) {
  return WithModel<int32_t>([&](sartel::TDeviceModel& m) { return m.CaptureParams(start, end, revolutions); });
}

int32_t _GetTemperature(double* a, double* b) {
  return WithModel<int32_t>([&](sartel::TDeviceModel& m) { return m.Temperature(a, b); });
}

void _GetDeviceID(char16_t* identity) {
  WithModel<int32_t>([&](sartel::TDeviceModel& m) {
    if (identity) sartel::WriteWidened(m.Identity(), identity);
    return 0;
  });
}

void _GetDeviceSN(char16_t* serialNumber) {
  WithModel<int32_t>([&](sartel::TDeviceModel& m) {
    if (serialNumber) sartel::WriteWidened(m.SerialNumber(), serialNumber);
    return 0;
  });
}

void _GetDeviceVer(char16_t* version) {
  WithModel<int32_t>([&](sartel::TDeviceModel& m) {
    if (version) sartel::WriteWidened(m.Version(), version);
    return 0;
  });
}

uint8_t _GetConfigByte(int32_t position) {
  return WithModel<uint8_t>([&](sartel::TDeviceModel& m) { return m.ConfigByte(position); });
}

int32_t _GetDeviceRamSize(void) {
  return Call(0, [](sartel::TDriver& d) { return d.Lib.RamSize; });
}

int32_t _GetDeviceCalibration(int32_t position, char) {
  return WithModel<int32_t>([&](sartel::TDeviceModel& m) { return m.Calibration(position); });
}

int32_t _StatusLED(bool on) {
  return WithModel<int32_t>([&](sartel::TDeviceModel& m) { return m.StatusLamp(on); });
}

int32_t _ErrorLED(bool on) {
  return WithModel<int32_t>([&](sartel::TDeviceModel& m) { return m.ErrorLamp(on); });
}

int32_t _LaserEnable(bool on) {
  return WithModel<int32_t>([&](sartel::TDeviceModel& m) { return m.Laser(on); });
}

int32_t _GetClockItems(int32_t selector) {
  return Call(0, [&](sartel::TDriver& d) { return d.Lib.Items.ClockItems(selector); });
}

int32_t _GetGainItems(int32_t selector) {
  return Call(0, [&](sartel::TDriver& d) { return d.Lib.Items.GainItems(selector); });
}

int32_t _GetConfigItems(int32_t selector) {
  return Call(0, [&](sartel::TDriver& d) { return d.Lib.Items.ConfigItemsFor(selector); });
}

int32_t _Clear(void) {
  return WithModel<int32_t>([](sartel::TDeviceModel& m) { return m.Clear(); });
}

int32_t _ReadRAM(int32_t bank, uint8_t* buffer, int32_t length) {
  if (!buffer || length <= 0 || !sartel::ftdi::IsValidLength(length)) return 0;
  return WithModel<int32_t>([&](sartel::TDeviceModel& m) { return m.ReadBank(bank, buffer, length); });
}

int32_t _WriteRAM(int32_t bank, uint8_t* buffer, int32_t length) {
  if (!buffer || length <= 0 || !sartel::ftdi::IsValidLength(length)) return 0;
  return WithModel<int32_t>([&](sartel::TDeviceModel& m) { return m.WriteBank(bank, buffer, length); });
}

int32_t _GetLastErrorStr(char16_t* text) {
  return Call(0, [&](sartel::TDriver& d) {
    if (text) d.Lib.Error.CopyText(text);
    return d.Lib.Error.ErrorCode();
  });
}

int32_t _NGRH0485(uint8_t* configuration256) {
  if (!configuration256) return 0;
  return WithModel<int32_t>([&](sartel::TDeviceModel& m) { return m.ReadConfigMemory(configuration256); });
}

int32_t _NAOP4239(uint8_t* configuration256) {
  if (!configuration256) return 0;
  return WithModel<int32_t>([&](sartel::TDeviceModel& m) { return m.WriteConfigMemory(configuration256); });
}

uint8_t _QPRE4902(int32_t reg, int32_t value) {
  if (!sartel::ftdi::IsValidRegister(reg)) return 0;
  return Call(uint8_t{0}, [&](sartel::TDriver& d) -> uint8_t {
    return d.Ftdi && d.Ftdi->WriteRegister(reg, static_cast<uint8_t>(value)) ? 1 : 0;
  });
}

uint8_t _ARPJ9457(int32_t reg, uint8_t* value) {
  if (!value || !sartel::ftdi::IsValidRegister(reg)) return 0;
  return Call(uint8_t{0}, [&](sartel::TDriver& d) -> uint8_t {
    return d.Ftdi && d.Ftdi->ReadRegister(reg, *value) ? 1 : 0;
  });
}

}  // extern "C"
