#pragma once
// The control interface of the simulated FX2 device (libsim_fx2.so from
// sim/fx2). The library is an FX2 port backend: the driver loads it when
// SARTEL_FX2_PORT names it. Besides the backend's entry point it exports
// these functions, so a test or a person can set the rotor, the devices and
// the faults and read the transfer log. Look them up in the same library
// file the driver loads (dlopen of the same path gives the same library).

#include <stdint.h>

#define SIMFX2_EXPORT __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

// Fault kinds for SimFx2_InjectFault.
#define SIMFX2_FAULT_FAIL 1    // the transfer fails with a stall
#define SIMFX2_FAULT_SHORT 2   // the transfer moves half the bytes asked for
#define SIMFX2_FAULT_HANG 3    // the transfer never completes until it is aborted
#define SIMFX2_FAULT_GARBAGE 4 // an IN transfer delivers random bytes
#define SIMFX2_FAULT_ONES 5    // an IN transfer delivers bytes 0xFF, as from an undriven bus

// Back to the start: one device, identity "Kalvenor2", version "2.0", serial
// "00001", large memory, high speed, languages 0x0407 and 0x0409, default
// rotor at 3000 rpm without masses or noise, no faults, empty log.
SIMFX2_EXPORT void SimFx2_Reset(void);
// count devices (at most 8), each with the default identity.
SIMFX2_EXPORT void SimFx2_SetDevices(int count);

// The rotor.
SIMFX2_EXPORT void SimFx2_SetSpeed(double rpm);
SIMFX2_EXPORT void SimFx2_SetMass(int plane, double grams, double angleDeg);
SIMFX2_EXPORT void SimFx2_SetNoise(double mvRms);

// Transfers are named "control-out", "control-in", "bulk-out", "bulk-in",
// or by a vendor request in hexadecimal ("B5"). From the skip+1-th call so
// named after the injection, count calls get the fault; count -1 means every
// call.
SIMFX2_EXPORT void SimFx2_InjectFault(const char* transfer, int kind, int skip, int count);
SIMFX2_EXPORT void SimFx2_ClearFaults(void);
SIMFX2_EXPORT int SimFx2_CallCount(const char* transfer);

// The EEPROM identity block: configuration byte 0 (bit 0 large memory,
// bit 2 12-bit samples) and the three texts.
SIMFX2_EXPORT void SimFx2_SetIdentity(int device, uint8_t config0, const char* identity, const char* version, const char* serial);
// Writes raw bytes at an EEPROM address (0 to 0x7FFF).
SIMFX2_EXPORT void SimFx2_WriteEeprom(int device, int address, const uint8_t* data, int length);
// Every EEPROM byte becomes 0xFF.
SIMFX2_EXPORT void SimFx2_EraseEeprom(int device);

// USB details: the string languages offered, full or high speed, the
// alternate setting the port reports, the driver version the port reports.
SIMFX2_EXPORT void SimFx2_SetLanguages(int device, const uint16_t* ids, int count);
SIMFX2_EXPORT void SimFx2_SetHighSpeed(int device, int on);
// String index (0 none) of string which: 0 manufacturer, 1 product, 2 serial.
SIMFX2_EXPORT void SimFx2_SetStringIndex(int device, int which, uint8_t index);
SIMFX2_EXPORT void SimFx2_SetAlternateSetting(int device, int setting);
SIMFX2_EXPORT void SimFx2_SetDriverVersion(int device, uint32_t version);

// The temperature byte of channel (0 A, 1 B).
SIMFX2_EXPORT void SimFx2_SetTemperature(int device, int channel, uint8_t value);
// The last byte sent for lamp (0 error lamp, 2 laser); -1 when none.
SIMFX2_EXPORT int SimFx2_Lamp(int device, int lamp);
// Requests and bulk transfers the device could not make sense of.
SIMFX2_EXPORT int SimFx2_ProtocolErrors(int device);

// The transfer log, one text per transfer in the order the device saw them:
// "ctl B3 out v=0000 i=0000 [A4]", "ctl A9 in v=5000 i=0000 n=128",
// "bulk 02 out [01 40]", "bulk 86 in n=512".
SIMFX2_EXPORT int SimFx2_LogCount(void);
// Copies entry i with its terminator (at most size bytes); its length, or
// -1 when there is no such entry.
SIMFX2_EXPORT int SimFx2_LogEntry(int i, char* text, int size);
SIMFX2_EXPORT void SimFx2_ClearLog(void);

// The last capture: rotor time of its first sample (seconds), sampling
// rate, samples per channel, input ranges (mV) and 12-bit mode; 0 when none.
SIMFX2_EXPORT int SimFx2_LastCapture(int device, double* start, double* fs, int* length, double* rangeA, double* rangeB,
                       int* twelveBit);

#ifdef __cplusplus
}
#endif
