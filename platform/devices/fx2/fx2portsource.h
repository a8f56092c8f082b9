#pragma once
// Chooses the FX2 port's backend from the environment: the shared library
// named by SARTEL_FX2_PORT (a simulated device), else libusb-1.0 with the
// IDs of SARTEL_FX2_IDS. A backend library that does not load gives a port
// without devices.

#include "fx2port.h"

#include <memory>
#include <string>

namespace fx2port {

inline constexpr const char* PortLibraryVariable = "SARTEL_FX2_PORT";

// Loads a backend library by path or name; null when it does not load or
// lacks the entry point. The library stays loaded while the backend lives.
std::unique_ptr<TFx2Backend> LoadBackendLibrary(const std::string& path);

std::unique_ptr<TFx2Port> CreatePortFromEnvironment();

} // namespace fx2port
