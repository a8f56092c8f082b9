#pragma once
// The state of the simulated FX2 library: the rotor, the devices, the
// faults and the transfer log, behind one lock. The port's backend and the
// control interface both work on it.

#include "fx2/fx2backend.h"
#include "signalmodel.h"
#include "simfx2faults.h"
#include "simkalvenor2.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace sim {

// One device with what its USB side reports.
struct TSimFx2Unit {
  TSimFx2Unit(const TSignalModel& rotor, double& clock) : Device(rotor, clock) {}
  TSimKalvenor2 Device;
  std::uint8_t AlternateSetting = 0;
  std::uint32_t DriverVersion = fx2port::PortDriverVersion;
  // Counts aborts, so a waiting transfer sees one happen.
  std::uint64_t Aborts = 0;
  int Waiting = 0;
};

class TSimFx2World {
public:
  static constexpr int MaxDevices = 8;

  TSimFx2World();
  // Both need Mutex held.
  void Reset();
  void SetDevices(int count);
  std::shared_ptr<TSimFx2Unit> Unit(int index) const;

  std::mutex Mutex;
  std::condition_variable Changed;
  TSignalModel Rotor;
  double Clock = 0;
  std::vector<std::shared_ptr<TSimFx2Unit>> Units;
  TFx2Faults Faults;
  std::vector<std::string> Log;
};

TSimFx2World& World();

// The backend the FX2 port gets from this library.
std::unique_ptr<fx2port::TFx2Backend> CreateSimFx2Backend();

} // namespace sim
