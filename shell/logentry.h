#pragma once
// The entries of the daily log, built from the core object and the
// balancing workspace. Pure apart from the one call into the workspace that
// recomputes the amplitude-only vectors, so every entry kind is tested byte
// for byte.
//
// An entry is "[hh:mm:ss] " and a body. Inside a body, "\r\n\t" starts a
// detail line and "\r\n\t\t" a sub-line.

#include <array>
#include <complex>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "wallclock.h"

class TZelto;

enum TLogEntryKind : uint8_t {
  lekApplicationOpen = 0,
  lekApplicationClose = 1,
  lekMeasurement1 = 2,  // one plane, runs below 3
  lekResult1 = 3,       // correction of one plane, on reaching run 3
  lekTrim1 = 4,         // one plane, runs above 3
  lekMeasurement2 = 5,  // the same for two planes
  lekResult2 = 6,
  lekTrim2 = 7,
  lekNewSession = 8,
  lekCaptureError = 9,  // a capture that ended on a device error or a refused window: LastErrorText
  lekCaptureLeft = 10,  // a capture did not end within the stop's limit
  lekNoSpeedSignal = 11,  // a capture found no whole revolution: the speed signal is missing
  lekSpeedSignalBack = 12,  // after a logged loss, a capture counted a reading again
};

// The placement vectors of one run for the amplitude-only method: A, B, C
// and the method's solution vector; a vector of magnitude 0 stands for no
// placement.
using TBalanceRunVectors = std::array<std::complex<double>, 4>;

// What the log reads of the balancing workspace, which implements it.
class TLogWorkspace {
 public:
  virtual ~TLogWorkspace() = default;
  // The placement vectors of a run, as the workspace shows them.
  virtual TBalanceRunVectors BalanceRunVectors(int run) const = 0;
};

// The body of an entry of that kind for the current run (BalancingStep), or
// nothing when the kind's condition fails: a measurement or trim entry needs
// a counted reading of the run (Valid) and the initial run's amplitude (both
// amplitudes for two planes), a result entry a measurement logged since the
// last result; `resultPending` is the log's flag that links them. A
// correction that could not be computed is written "-", as on the screen.
// Without a workspace the amplitude-only weights show "?".
std::optional<std::u16string> LogEntryBody(TLogEntryKind kind, const TZelto& core, TLogWorkspace* workspace,
                                           bool& resultPending);

// "hh:mm:ss", 24-hour.
std::u16string LogTimeText(const TWallTime& time);
// "[" time "] " body.
std::u16string LogEntryText(const TWallTime& time, std::u16string_view body);
