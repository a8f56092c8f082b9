#pragma once
// Public interface of the device-driver library libSartel.so.
//
// The program never links against the library: it loads it at run time and
// looks the entry points up by name, so these declarations serve two sides.
// The library defines them, and the program's binding takes their types with
// decltype, which keeps both sides on one signature.
//
// Conventions of the interface:
// - Plain C functions; integers are 32-bit, flags are C bool, texts are
//   UTF-16 buffers owned by the caller.
// - Identity, serial number, version and device description are written one
//   UTF-16 unit per narrow character without a terminating zero, so callers
//   pass zeroed buffers (100 units; the identity 257). Fixed texts and the
//   last error text (at most 100 units with its terminator) are terminated.
// - A failing call returns false or 0 and leaves an error text and code for
//   _GetLastErrorStr; code 0 means no error.
// - Item queries take selectors: 0x100 asks for a count, 0x200 + i for entry i.

#include <stdint.h>
#include <stdbool.h>
#ifndef __cplusplus
#include <uchar.h>
#endif

#define SARTEL_LIBRARY_NAME "libSartel.so"

#define SARTEL_SELECT_COUNT 0x100
#define SARTEL_SELECT_ENTRY 0x200
// _GetConfigItems with this selector: 1 when the open device model always
// captures its whole memory (_GetDeviceRamSize samples) whatever _CPBuffer
// asked for, else 0 (also from libraries that do not know the selector).
#define SARTEL_CONFIG_WHOLE_MEMORY 0x400

// Status bits of _ReadStatus, set in this order during one capture.
#define SARTEL_STATUS_ARMED 0x01
#define SARTEL_STATUS_TRIGGERED 0x02
#define SARTEL_STATUS_DONE 0x04

#define SARTEL_TEXT_LENGTH 100
#define SARTEL_IDENTITY_LENGTH 257

#if defined(SARTEL_BUILDING_LIBRARY)
#define SARTEL_EXPORT __attribute__((visibility("default")))
#else
#define SARTEL_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Driver state and devices
SARTEL_EXPORT bool _InitDriver(void);
SARTEL_EXPORT void _FreeDriver(void);
SARTEL_EXPORT void _SetPath(const char16_t* folder);
SARTEL_EXPORT int32_t _ListDevices(int32_t* indices, const char* host);
SARTEL_EXPORT void _GetDeviceDescr(int32_t index, char16_t* description);
SARTEL_EXPORT void _OpenDevice(int32_t index);
SARTEL_EXPORT int32_t _CloseDevice(void);
SARTEL_EXPORT bool _InitDevice(void);
SARTEL_EXPORT bool _ConfigDevice(int32_t unused, bool skipUpload);
SARTEL_EXPORT void _FreeDevice(void);

// Capture programming and the capture cycle
SARTEL_EXPORT void _CPMode(int32_t mode);
SARTEL_EXPORT void _CPBuffer(int32_t length);
SARTEL_EXPORT void _CPSampling(int32_t index);
SARTEL_EXPORT void _CPGain(int32_t gainA, int32_t gainB);
SARTEL_EXPORT int32_t _CPSet(void);
SARTEL_EXPORT int32_t _StartCapture(void);
SARTEL_EXPORT int32_t _StopCapture(void);
SARTEL_EXPORT int32_t _EndCapture(void);
SARTEL_EXPORT int32_t _ForceTrigger(void);
SARTEL_EXPORT uint8_t _ReadStatus(void);
SARTEL_EXPORT int32_t _GetAddress(void);
SARTEL_EXPORT void _GetDataA(int32_t* channelA, int32_t* channelB);
SARTEL_EXPORT int32_t _GetCaptureParams(int32_t* start, int32_t* end, int32_t* revolutions);
SARTEL_EXPORT int32_t _GetTemperature(double* a, double* b);

// Identity and configuration
SARTEL_EXPORT void _GetDeviceID(char16_t* identity);
SARTEL_EXPORT void _GetDeviceSN(char16_t* serialNumber);
SARTEL_EXPORT void _GetDeviceVer(char16_t* version);
SARTEL_EXPORT uint8_t _GetConfigByte(int32_t position);
SARTEL_EXPORT int32_t _GetDeviceRamSize(void);
SARTEL_EXPORT int32_t _GetDeviceCalibration(int32_t position, char channel);
SARTEL_EXPORT int32_t _StatusLED(bool on);
SARTEL_EXPORT int32_t _ErrorLED(bool on);
SARTEL_EXPORT int32_t _LaserEnable(bool on);
SARTEL_EXPORT int32_t _GetClockItems(int32_t selector);
SARTEL_EXPORT int32_t _GetGainItems(int32_t selector);
SARTEL_EXPORT int32_t _GetConfigItems(int32_t selector);

// Memory banks, errors and raw register access
SARTEL_EXPORT int32_t _Clear(void);
SARTEL_EXPORT int32_t _ReadRAM(int32_t bank, uint8_t* buffer, int32_t length);
SARTEL_EXPORT int32_t _WriteRAM(int32_t bank, uint8_t* buffer, int32_t length);
SARTEL_EXPORT int32_t _GetLastErrorStr(char16_t* text);
SARTEL_EXPORT int32_t _NGRH0485(uint8_t* configuration256);
SARTEL_EXPORT int32_t _NAOP4239(uint8_t* configuration256);
SARTEL_EXPORT uint8_t _QPRE4902(int32_t reg, int32_t value);
SARTEL_EXPORT uint8_t _ARPJ9457(int32_t reg, uint8_t* value);

#ifdef __cplusplus
}
#endif
