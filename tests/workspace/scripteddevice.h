#pragma once
// A device bound through the core's driver table whose captures the test
// steers while a balancing capture runs: every capture is at once armed,
// triggered and done, and reports Revolutions whole revolutions over the
// whole buffer (a sine of that many periods), or, with 0, no revolution at
// all (no speed pulses: Start = End = T = 0); with Flicker every other
// capture has no revolution, as a loose mark gives. FailNext ends the next
// capture's read-out with a device error. The item tables are the test
// device's (driveritems.h), so readings have a speed.

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string_view>

#include "answeringdevice.h"
#include "driveritems.h"
#include "zelto.h"

namespace testsupport {

class TScriptedDevice {
 public:
  static constexpr std::u16string_view ErrorText = u"Communication error, read timeout";

  explicit TScriptedDevice(TZelto& core) {
    BindDriverItems(core);
    TDriverApi& api = core.DriverApi;
    BindAnsweringControls(api);
    api.CPBuffer = [](int32_t length) { Length = length; };
    api.GetCaptureParams = &CaptureParams;
    api.GetDataA = &Samples;
    api.GetLastErrorStr = &LastError;
    core.DeviceReady = 1;
    Revolutions = 10;
    Flicker = false;
    FailNext = false;
    ErrorPending = false;
    Captures = 0;
  }

  // Revolutions of the captures from now on; 0: the speed signal is gone.
  static inline std::atomic<int32_t> Revolutions{10};
  static inline std::atomic<bool> Flicker{false};
  static inline std::atomic<bool> FailNext{false};
  // Captures read out so far.
  static inline std::atomic<int> Captures{0};

 private:
  static int32_t CaptureParams(int32_t* start, int32_t* end, int32_t* revolutions) {
    const bool lost = Flicker && ++Captures % 2 == 0;
    if (!Flicker) ++Captures;
    ErrorPending = FailNext.exchange(false);
    const int32_t t = ErrorPending || lost ? 0 : Revolutions.load();
    *start = 0;
    *end = t > 0 ? Length.load() : 0;
    *revolutions = t;
    return 0;
  }
  static void Samples(int32_t* a, int32_t* b) {
    const int32_t length = Length;
    const double cycles = Revolutions;
    for (int32_t i = 0; i < length; ++i) {
      const double s = 1000 * std::sin(2 * std::numbers::pi * cycles * i / length);
      a[i] = static_cast<int32_t>(s);
      if (b) b[i] = static_cast<int32_t>(s / 2);
    }
  }
  static int32_t LastError(char16_t* text) {
    if (!ErrorPending.exchange(false)) return 0;
    std::copy(ErrorText.begin(), ErrorText.end(), text);
    text[ErrorText.size()] = u'\0';
    return 1;
  }

  static inline std::atomic<int32_t> Length{0};
  static inline std::atomic<bool> ErrorPending{false};
};

}  // namespace testsupport
