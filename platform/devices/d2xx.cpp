#include "d2xx.h"

namespace d2xx {

const char* const FunctionNames[FunctionCount] = {
    "FT_Open",          "FT_OpenEx",         "FT_ListDevices",          "FT_Close",
    "FT_Read",          "FT_Write",          "FT_ResetDevice",          "FT_Purge",
    "FT_SetTimeouts",   "FT_GetQueueStatus", "FT_SetLatencyTimer",      "FT_GetLatencyTimer",
    "FT_SetBitMode",    "FT_SetUSBParameters", "FT_W32_CreateFile",     "FT_W32_CloseHandle",
    "FT_W32_ReadFile",  "FT_W32_WriteFile",  "FT_W32_GetLastError",     "FT_W32_PurgeComm",
    "FT_W32_GetOverlappedResult"};

namespace {

template <typename F>
bool Bind(const TSymbolLookup& lookup, int slot, F& target) {
  target = reinterpret_cast<F>(lookup(FunctionNames[slot]));
  return target != nullptr;
}

}  // namespace

bool BindFunctions(const TSymbolLookup& lookup, TFunctions& f) {
  int found = 0;
  int slot = 0;
  found += Bind(lookup, slot++, f.Open);
  found += Bind(lookup, slot++, f.OpenEx);
  found += Bind(lookup, slot++, f.ListDevices);
  found += Bind(lookup, slot++, f.Close);
  found += Bind(lookup, slot++, f.Read);
  found += Bind(lookup, slot++, f.Write);
  found += Bind(lookup, slot++, f.ResetDevice);
  found += Bind(lookup, slot++, f.Purge);
  found += Bind(lookup, slot++, f.SetTimeouts);
  found += Bind(lookup, slot++, f.GetQueueStatus);
  found += Bind(lookup, slot++, f.SetLatencyTimer);
  found += Bind(lookup, slot++, f.GetLatencyTimer);
  found += Bind(lookup, slot++, f.SetBitMode);
  found += Bind(lookup, slot++, f.SetUSBParameters);
  found += Bind(lookup, slot++, f.W32CreateFile);
  found += Bind(lookup, slot++, f.W32CloseHandle);
  found += Bind(lookup, slot++, f.W32ReadFile);
  found += Bind(lookup, slot++, f.W32WriteFile);
  found += Bind(lookup, slot++, f.W32GetLastError);
  found += Bind(lookup, slot++, f.W32PurgeComm);
  found += Bind(lookup, slot++, f.W32GetOverlappedResult);
  return found == FunctionCount;
}

}  // namespace d2xx
