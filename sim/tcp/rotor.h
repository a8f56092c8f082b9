#pragma once
// The rotor the simulated network device measures. The device only needs
// Generate, ReferenceIndexes, RevolutionHz and the setters of speed, masses
// and noise, so the shared signal model drops in here by changing the alias.

#include "standinrotor.h"

namespace sim {

using TRotor = TStandInRotor;

}  // namespace sim
