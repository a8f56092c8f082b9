#include "simfx2world.h"

#include <algorithm>

namespace sim {

TSimFx2World::TSimFx2World() { Reset(); }

void TSimFx2World::Reset() {
  Rotor = TSignalModel();
  Clock = 0;
  Units.clear();
  SetDevices(1);
  Faults.Clear();
  Faults.ClearCounts();
  Log.clear();
}

void TSimFx2World::SetDevices(int count) {
  count = std::clamp(count, 0, MaxDevices);
  Units.resize(static_cast<std::size_t>(count));
  for (auto& unit : Units)
    if (!unit)
      unit = std::make_shared<TSimFx2Unit>(Rotor, Clock);
}

std::shared_ptr<TSimFx2Unit> TSimFx2World::Unit(int index) const {
  if (index < 0 || index >= static_cast<int>(Units.size()))
    return nullptr;
  return Units[static_cast<std::size_t>(index)];
}

// Never destroyed: a transfer the program left waiting at its end still
// waits on the world's condition while the exit handlers run, and wakes
// into it at its time-out.
TSimFx2World& World() {
  static TSimFx2World* const world = new TSimFx2World;
  return *world;
}

} // namespace sim
