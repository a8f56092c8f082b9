#pragma once
// The rotor the simulated network device measures: the shared signal model.
// The device needs only Generate, ReferenceIndexes, RevolutionHz and the
// setters of speed, masses and noise.

#include "signalmodel.h"

namespace sim {

using TRotor = TSignalModel;

}  // namespace sim
