#pragma once
// The control interface of the simulated D2XX library (libftd2xx.so from
// sim/d2xx). Besides the 21 D2XX functions the stand-in exports these, so a
// test or a person can set the rotor, the devices and the faults. Look them
// up in the same loaded library the driver uses (dlopen "libftd2xx.so").

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Fault kinds for SimD2xx_InjectFault.
#define SIMD2XX_FAULT_FAIL 1    // the call fails (status 4, FALSE, invalid handle)
#define SIMD2XX_FAULT_SHORT 2   // a transfer moves half the bytes asked for
#define SIMD2XX_FAULT_HANG 3    // a transfer never completes: blocks until its time-out, moves nothing
#define SIMD2XX_FAULT_GARBAGE 4 // a transfer or listing moves random bytes instead of the real ones
#define SIMD2XX_FAULT_ONES 5    // a read moves bytes 0xFF instead of the real ones, as from an undriven bus

// Back to the start: one device listed as "Kalvenor", unconfigured, default
// rotor at 3000 rpm without masses or noise, no faults, call counts 0.
void SimD2xx_Reset(void);
// count devices (at most 300), each described as "Kalvenor".
void SimD2xx_SetDevices(int count);
void SimD2xx_SetDescription(int device, const char* description);

// The rotor.
void SimD2xx_SetSpeed(double rpm);
// The total mass in plane (0 A, 1 B): grams at an angle in degrees.
void SimD2xx_SetMass(int plane, double grams, double angleDeg);
void SimD2xx_SetNoise(double mvRms);

// From the skip+1-th call of function (a D2XX name such as
// "FT_W32_ReadFile"), count calls get the fault; count -1 means every call.
void SimD2xx_InjectFault(const char* function, int kind, int skip, int count);
void SimD2xx_ClearFaults(void);
// Calls of function since the last reset.
int SimD2xx_CallCount(const char* function);

// The device's 256-byte configuration memory.
void SimD2xx_SetConfigMemory(int device, const uint8_t* memory256);
// The image the last upload delivered, decoded; its size, or -1 when the
// device holds no valid image. Copies at most size bytes.
int SimD2xx_GetImage(int device, uint8_t* buffer, int size);
uint8_t SimD2xx_GetRegister(int device, int reg);
// The last completed capture: rotor time of its first sample (seconds),
// sampling rate, samples per channel and input ranges (mV). 0 when none.
int SimD2xx_LastCapture(int device, double* start, double* fs, int* length, double* rangeA, double* rangeB);

#ifdef __cplusplus
}
#endif
