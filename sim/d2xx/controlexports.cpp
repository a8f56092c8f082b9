// The control interface of the simulated D2XX library (simd2xx.h).

#include "simd2xx.h"
#include "simworld.h"

#include <algorithm>
#include <cstring>

#define SIM_EXPORT __attribute__((visibility("default")))

using namespace sim;

namespace {

std::unique_lock<std::mutex> Locked() { return std::unique_lock<std::mutex>(World().Lock); }

}  // namespace

extern "C" {

SIM_EXPORT void SimD2xx_Reset(void) {
  auto guard = Locked();
  World().Reset();
}

SIM_EXPORT void SimD2xx_SetDevices(int count) {
  auto guard = Locked();
  World().SetDevices(count);
}

SIM_EXPORT void SimD2xx_SetDescription(int device, const char* description) {
  auto guard = Locked();
  if (TSimHarvik* d = World().Device(device)) d->Description = description ? description : "";
}

SIM_EXPORT void SimD2xx_SetSpeed(double rpm) {
  auto guard = Locked();
  World().Rotor.SetSpeed(rpm);
}

SIM_EXPORT void SimD2xx_SetMass(int plane, double grams, double angleDeg) {
  auto guard = Locked();
  World().Rotor.SetMass(plane, grams, angleDeg);
}

SIM_EXPORT void SimD2xx_SetNoise(double mvRms) {
  auto guard = Locked();
  World().Rotor.SetNoise(mvRms);
}

SIM_EXPORT void SimD2xx_InjectFault(const char* function, int kind, int skip, int count) {
  auto guard = Locked();
  if (function && kind >= SIMD2XX_FAULT_FAIL && kind <= SIMD2XX_FAULT_ONES)
    World().Faults.Inject(function, static_cast<TFault>(kind), skip, count);
}

SIM_EXPORT void SimD2xx_ClearFaults(void) {
  auto guard = Locked();
  World().Faults.Clear();
}

SIM_EXPORT int SimD2xx_CallCount(const char* function) {
  auto guard = Locked();
  return function ? World().Faults.CallCount(function) : 0;
}

SIM_EXPORT void SimD2xx_SetConfigMemory(int device, const uint8_t* memory256) {
  auto guard = Locked();
  if (TSimHarvik* d = World().Device(device); d && memory256) d->SetConfigMemory(memory256);
}

SIM_EXPORT int SimD2xx_GetImage(int device, uint8_t* buffer, int size) {
  auto guard = Locked();
  TSimHarvik* d = World().Device(device);
  if (!d || !d->Configured()) return -1;
  const auto& image = d->Image();
  if (buffer && size > 0)
    std::copy_n(image.begin(), std::min<std::size_t>(image.size(), static_cast<std::size_t>(size)), buffer);
  return static_cast<int>(image.size());
}

SIM_EXPORT uint8_t SimD2xx_GetRegister(int device, int reg) {
  auto guard = Locked();
  TSimHarvik* d = World().Device(device);
  return d ? d->Register(reg) : 0;
}

SIM_EXPORT int SimD2xx_LastCapture(int device, double* start, double* fs, int* length, double* rangeA,
                                   double* rangeB) {
  auto guard = Locked();
  TSimHarvik* d = World().Device(device);
  if (!d || !d->LastCapture().Done) return 0;
  const TCaptureRecord& c = d->LastCapture();
  if (start) *start = c.Start;
  if (fs) *fs = c.Fs;
  if (length) *length = c.Length;
  if (rangeA) *rangeA = c.RangeA;
  if (rangeB) *rangeB = c.RangeB;
  return 1;
}

}  // extern "C"
