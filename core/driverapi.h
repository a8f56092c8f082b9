#pragma once
// The driver library's entry points as the program binds them at run time.
// The members are in the order the names are looked up; their types come
// from the library's own header, so a signature change there breaks the
// build here instead of a call at run time.

#include "sartel.h"

struct TDriverApi {
  decltype(&::_InitDriver) InitDriver = nullptr;
  decltype(&::_FreeDriver) FreeDriver = nullptr;
  decltype(&::_SetPath) SetPath = nullptr;
  decltype(&::_ListDevices) ListDevices = nullptr;
  decltype(&::_GetDeviceDescr) GetDeviceDescr = nullptr;
  decltype(&::_OpenDevice) OpenDevice = nullptr;
  decltype(&::_CloseDevice) CloseDevice = nullptr;
  decltype(&::_InitDevice) InitDevice = nullptr;
  decltype(&::_ConfigDevice) ConfigDevice = nullptr;
  decltype(&::_FreeDevice) FreeDevice = nullptr;
  decltype(&::_StatusLED) StatusLED = nullptr;
  decltype(&::_ErrorLED) ErrorLED = nullptr;
  decltype(&::_LaserEnable) LaserEnable = nullptr;
  decltype(&::_ReadStatus) ReadStatus = nullptr;
  decltype(&::_GetAddress) GetAddress = nullptr;
  decltype(&::_GetDeviceID) GetDeviceID = nullptr;
  decltype(&::_GetDeviceSN) GetDeviceSN = nullptr;
  decltype(&::_GetDeviceVer) GetDeviceVer = nullptr;
  decltype(&::_GetConfigByte) GetConfigByte = nullptr;
  decltype(&::_GetDeviceRamSize) GetDeviceRamSize = nullptr;
  decltype(&::_GetConfigItems) GetConfigItems = nullptr;
  decltype(&::_GetClockItems) GetClockItems = nullptr;
  decltype(&::_GetGainItems) GetGainItems = nullptr;
  decltype(&::_GetDataA) GetDataA = nullptr;
  decltype(&::_GetCaptureParams) GetCaptureParams = nullptr;
  decltype(&::_GetTemperature) GetTemperature = nullptr;
  decltype(&::_CPMode) CPMode = nullptr;
  decltype(&::_CPBuffer) CPBuffer = nullptr;
  decltype(&::_CPSampling) CPSampling = nullptr;
  decltype(&::_CPGain) CPGain = nullptr;
  decltype(&::_CPSet) CPSet = nullptr;
  decltype(&::_StartCapture) StartCapture = nullptr;
  decltype(&::_StopCapture) StopCapture = nullptr;
  decltype(&::_EndCapture) EndCapture = nullptr;
  decltype(&::_ForceTrigger) ForceTrigger = nullptr;
  decltype(&::_Clear) Clear = nullptr;
  decltype(&::_ReadRAM) ReadRAM = nullptr;
  decltype(&::_WriteRAM) WriteRAM = nullptr;
  decltype(&::_GetLastErrorStr) GetLastErrorStr = nullptr;
  decltype(&::_ARPJ9457) ARPJ9457 = nullptr;
  decltype(&::_QPRE4902) QPRE4902 = nullptr;
};
