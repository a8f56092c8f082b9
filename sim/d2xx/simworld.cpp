#include "simworld.h"

#include <algorithm>

namespace sim {

TSimWorld::TSimWorld() { Reset(); }

void TSimWorld::Reset() {
  Handles.clear();
  Rotor = TSignalModel();
  Clock = 0;
  Faults.Clear();
  Faults.ClearCounts();
  SetDevices(1);
}

void TSimWorld::SetDevices(int count) {
  count = std::clamp(count, 0, MaxDevices);
  Handles.clear();
  Devices.clear();
  for (int i = 0; i < count; ++i) Devices.push_back(std::make_unique<TSimHarvik>(Rotor, Clock));
  IsOpen.assign(static_cast<std::size_t>(count), false);
}

TSimHarvik* TSimWorld::Device(int index) {
  return index >= 0 && index < static_cast<int>(Devices.size()) ? Devices[static_cast<std::size_t>(index)].get()
                                                                : nullptr;
}

TSimHandle* TSimWorld::Open(int device) {
  if (!Device(device) || IsOpen[static_cast<std::size_t>(device)]) return nullptr;
  IsOpen[static_cast<std::size_t>(device)] = true;
  auto handle = std::make_unique<TSimHandle>();
  handle->Device = device;
  return Handles.insert(std::move(handle)).first->get();
}

TSimHandle* TSimWorld::Find(void* handle) {
  const auto found = std::find_if(Handles.begin(), Handles.end(),
                                   [&](const std::unique_ptr<TSimHandle>& h) { return h.get() == handle; });
  return found == Handles.end() ? nullptr : found->get();
}

bool TSimWorld::Close(void* handle) {
  TSimHandle* open = Find(handle);
  if (!open) return false;
  IsOpen[static_cast<std::size_t>(open->Device)] = false;
  std::erase_if(Handles, [&](const std::unique_ptr<TSimHandle>& h) { return h.get() == open; });
  return true;
}

// Never destroyed: a transfer the program left waiting at its end wakes
// into the world at its time-out, after the exit handlers ran.
TSimWorld& World() {
  static TSimWorld* const world = new TSimWorld;
  return *world;
}

}  // namespace sim
