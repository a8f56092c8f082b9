#pragma once
// The part every scripted device of the tests shares: each control call of
// a capture succeeds at once, and every status read says armed, triggered
// and done. A device binds this first, then its own read-out.

#include <cstdint>

#include "sartel.h"
#include "zelto.h"

namespace testsupport {

inline void BindAnsweringControls(TDriverApi& api) {
  api.CPMode = [](int32_t) {};
  api.CPBuffer = [](int32_t) {};
  api.CPSampling = [](int32_t) {};
  api.CPGain = [](int32_t, int32_t) {};
  api.CPSet = [] { return int32_t{0}; };
  api.StartCapture = [] { return int32_t{0}; };
  api.StopCapture = [] { return int32_t{0}; };
  api.EndCapture = [] { return int32_t{0}; };
  api.ReadStatus = [] { return uint8_t{SARTEL_STATUS_ARMED | SARTEL_STATUS_TRIGGERED | SARTEL_STATUS_DONE}; };
  api.GetAddress = [] { return int32_t{0}; };
}

}  // namespace testsupport
