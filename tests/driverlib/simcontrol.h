#pragma once
// The simulated D2XX library's control interface, looked up in the
// libftd2xx.so this process loads through LD_LIBRARY_PATH: the very library
// the driver binds.

#include "simd2xx.h"

#include <cstdint>

struct TSimControl {
  TSimControl();
  ~TSimControl();
  bool Loaded() const { return Module != nullptr; }

  decltype(&SimD2xx_Reset) Reset = nullptr;
  decltype(&SimD2xx_SetDevices) SetDevices = nullptr;
  decltype(&SimD2xx_SetDescription) SetDescription = nullptr;
  decltype(&SimD2xx_SetSpeed) SetSpeed = nullptr;
  decltype(&SimD2xx_SetMass) SetMass = nullptr;
  decltype(&SimD2xx_SetNoise) SetNoise = nullptr;
  decltype(&SimD2xx_InjectFault) InjectFault = nullptr;
  decltype(&SimD2xx_ClearFaults) ClearFaults = nullptr;
  decltype(&SimD2xx_CallCount) CallCount = nullptr;
  decltype(&SimD2xx_SetConfigMemory) SetConfigMemory = nullptr;
  decltype(&SimD2xx_GetImage) GetImage = nullptr;
  decltype(&SimD2xx_GetRegister) GetRegister = nullptr;
  decltype(&SimD2xx_LastCapture) LastCapture = nullptr;

 private:
  void* Module = nullptr;
};
