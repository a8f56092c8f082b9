// The exported functions of the simulated FX2 library: the port backend's
// entry point and the control interface of simfx2.h.

#include "simfx2.h"
#include "simfx2world.h"

#include <algorithm>
#include <cstring>

using sim::TSimFx2Unit;
using sim::World;

namespace {

// Runs f on the unit of device under the lock; nothing for an unknown one.
template <typename F> void WithUnit(int device, F f) {
  std::lock_guard lock(World().Mutex);
  if (const std::shared_ptr<TSimFx2Unit> unit = World().Unit(device))
    f(*unit);
}

std::string Text(const char* text) { return text ? text : ""; }

} // namespace

extern "C" {

__attribute__((visibility("default"))) fx2port::TFx2Backend* SartelFx2CreateBackend() {
  return sim::CreateSimFx2Backend().release();
}

void SimFx2_Reset(void) {
  std::lock_guard lock(World().Mutex);
  World().Reset();
}

void SimFx2_SetDevices(int count) {
  std::lock_guard lock(World().Mutex);
  World().SetDevices(count);
}

void SimFx2_SetSpeed(double rpm) {
  std::lock_guard lock(World().Mutex);
  World().Rotor.SetSpeed(rpm);
}

void SimFx2_SetMass(int plane, double grams, double angleDeg) {
  std::lock_guard lock(World().Mutex);
  World().Rotor.SetMass(plane, grams, angleDeg);
}

void SimFx2_SetNoise(double mvRms) {
  std::lock_guard lock(World().Mutex);
  World().Rotor.SetNoise(mvRms);
}

void SimFx2_InjectFault(const char* transfer, int kind, int skip, int count) {
  if (!transfer || kind < 0 || kind > static_cast<int>(sim::TFx2Fault::Ones))
    return;
  std::lock_guard lock(World().Mutex);
  World().Faults.Inject(transfer, static_cast<sim::TFx2Fault>(kind), skip, count);
}

void SimFx2_ClearFaults(void) {
  std::lock_guard lock(World().Mutex);
  World().Faults.Clear();
}

int SimFx2_CallCount(const char* transfer) {
  std::lock_guard lock(World().Mutex);
  return transfer ? World().Faults.CallCount(transfer) : 0;
}

void SimFx2_SetIdentity(int device, uint8_t config0, const char* identity, const char* version, const char* serial) {
  WithUnit(device, [&](TSimFx2Unit& u) { u.Device.SetIdentity(config0, Text(identity), Text(version), Text(serial)); });
}

void SimFx2_WriteEeprom(int device, int address, const uint8_t* data, int length) {
  WithUnit(device, [&](TSimFx2Unit& u) {
    if (!data || address < 0 || length < 0 || static_cast<std::size_t>(address) >= u.Device.Eeprom.size())
      return;
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(length), u.Device.Eeprom.size() - address);
    std::memcpy(&u.Device.Eeprom[static_cast<std::size_t>(address)], data, n);
  });
}

void SimFx2_EraseEeprom(int device) {
  WithUnit(device, [](TSimFx2Unit& u) { u.Device.Eeprom.fill(0xFF); });
}

void SimFx2_SetLanguages(int device, const uint16_t* ids, int count) {
  WithUnit(device, [&](TSimFx2Unit& u) {
    u.Device.Languages.assign(ids, ids + (ids ? std::clamp(count, 0, 126) : 0));
  });
}

void SimFx2_SetHighSpeed(int device, int on) {
  WithUnit(device, [&](TSimFx2Unit& u) { u.Device.HighSpeed = on != 0; });
}

void SimFx2_SetStringIndex(int device, int which, uint8_t index) {
  WithUnit(device, [&](TSimFx2Unit& u) {
    if (which >= 0 && which < 3)
      u.Device.StringIndexes[static_cast<std::size_t>(which)] = index;
  });
}

void SimFx2_SetAlternateSetting(int device, int setting) {
  WithUnit(device, [&](TSimFx2Unit& u) { u.AlternateSetting = static_cast<uint8_t>(setting); });
}

void SimFx2_SetDriverVersion(int device, uint32_t version) {
  WithUnit(device, [&](TSimFx2Unit& u) { u.DriverVersion = version; });
}

void SimFx2_SetTemperature(int device, int channel, uint8_t value) {
  WithUnit(device, [&](TSimFx2Unit& u) {
    if (channel == 0 || channel == 1)
      u.Device.Temperatures[static_cast<std::size_t>(channel)] = value;
  });
}

int SimFx2_Lamp(int device, int lamp) {
  int value = -1;
  WithUnit(device, [&](TSimFx2Unit& u) {
    if (lamp == 0 || lamp == 2)
      value = u.Device.Lamps[static_cast<std::size_t>(lamp)];
  });
  return value;
}

int SimFx2_ProtocolErrors(int device) {
  int errors = 0;
  WithUnit(device, [&](TSimFx2Unit& u) { errors = u.Device.ProtocolErrors; });
  return errors;
}

int SimFx2_LogCount(void) {
  std::lock_guard lock(World().Mutex);
  return static_cast<int>(World().Log.size());
}

int SimFx2_LogEntry(int i, char* text, int size) {
  std::lock_guard lock(World().Mutex);
  const std::vector<std::string>& log = World().Log;
  if (i < 0 || i >= static_cast<int>(log.size()))
    return -1;
  const std::string& entry = log[static_cast<std::size_t>(i)];
  if (text && size > 0) {
    const std::size_t n = std::min(entry.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(text, entry.data(), n);
    text[n] = 0;
  }
  return static_cast<int>(entry.size());
}

void SimFx2_ClearLog(void) {
  std::lock_guard lock(World().Mutex);
  World().Log.clear();
}

int SimFx2_LastCapture(int device, double* start, double* fs, int* length, double* rangeA, double* rangeB,
                       int* twelveBit) {
  int done = 0;
  WithUnit(device, [&](TSimFx2Unit& u) {
    const sim::TFx2Capture& c = u.Device.LastCapture;
    done = c.Done ? 1 : 0;
    if (start)
      *start = c.Start;
    if (fs)
      *fs = c.Fs;
    if (length)
      *length = c.Length;
    if (rangeA)
      *rangeA = c.RangeA;
    if (rangeB)
      *rangeB = c.RangeB;
    if (twelveBit)
      *twelveBit = c.TwelveBit ? 1 : 0;
  });
  return done;
}

} // extern "C"
