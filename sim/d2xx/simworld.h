#pragma once
// Everything the simulated D2XX library holds: the rotor, the devices on the
// simulated bus, the open handles and the fault table. One instance per
// process, behind one lock; the exported functions reach it through World().

#include "faults.h"
#include "signalmodel.h"
#include "simharvik.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

namespace sim {

struct TSimHandle {
  int Device = 0;
  std::uint32_t ReadTimeoutMs = 0;
  std::uint32_t WriteTimeoutMs = 0;
  std::uint32_t LastError = 0;
};

class TSimWorld {
 public:
  static constexpr int MaxDevices = 300;
  // A transfer with no time-out set waits this long, so nothing hangs.
  static constexpr std::uint32_t DefaultTimeoutMs = 10000;

  TSimWorld();
  void Reset();
  void SetDevices(int count);

  std::mutex Lock;
  TSignalModel Rotor;
  // Rotor time in seconds; each capture moves it on.
  double Clock = 0;
  TFaults Faults;
  std::vector<std::unique_ptr<TSimHarvik>> Devices;

  TSimHarvik* Device(int index);
  // Opening and closing; an open device cannot be opened again.
  TSimHandle* Open(int device);
  bool Close(void* handle);
  TSimHandle* Find(void* handle);

 private:
  std::set<std::unique_ptr<TSimHandle>> Handles;
  std::vector<bool> IsOpen;
};

TSimWorld& World();

}  // namespace sim
