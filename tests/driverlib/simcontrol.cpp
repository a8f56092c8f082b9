#include "simcontrol.h"

#include "dynlib.h"

namespace {

template <typename F>
void Find(void* module, F& target, const char* name) {
  target = reinterpret_cast<F>(rtl::FindSymbol(module, name));
}

}  // namespace

TSimControl::TSimControl() : Module(rtl::LoadModule("libftd2xx.so")) {
  if (!Module) return;
  Find(Module, Reset, "SimD2xx_Reset");
  Find(Module, SetDevices, "SimD2xx_SetDevices");
  Find(Module, SetDescription, "SimD2xx_SetDescription");
  Find(Module, SetSpeed, "SimD2xx_SetSpeed");
  Find(Module, SetMass, "SimD2xx_SetMass");
  Find(Module, SetNoise, "SimD2xx_SetNoise");
  Find(Module, InjectFault, "SimD2xx_InjectFault");
  Find(Module, ClearFaults, "SimD2xx_ClearFaults");
  Find(Module, CallCount, "SimD2xx_CallCount");
  Find(Module, SetConfigMemory, "SimD2xx_SetConfigMemory");
  Find(Module, GetImage, "SimD2xx_GetImage");
  Find(Module, GetRegister, "SimD2xx_GetRegister");
  Find(Module, LastCapture, "SimD2xx_LastCapture");
}

TSimControl::~TSimControl() { rtl::FreeModule(Module); }
