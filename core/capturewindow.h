#pragma once
// The sample window a device reports for a balancing capture: T whole
// revolutions between Start and End. Whether such a window can be true, and
// the text a refused one is reported with.

#include <cstdint>
#include <string>

struct TCaptureWindow {
  int32_t Start = 0;
  int32_t End = 0;
  int32_t T = 0;
};

// The fewest samples a revolution can take: the set-up accepts speeds up to
// a quarter of the sampling frequency.
inline constexpr int32_t MinSamplesPerRevolution = 4;

// True when 0 <= Start < End <= buffLength and 1 <= T <= (End - Start) / 4.
// Anything else cannot come from a capture of buffLength samples of a rotor
// turning within the accepted speed range.
bool CaptureWindowPossible(const TCaptureWindow& window, int32_t buffLength);

// The fixed English text of a refused window, with its numbers, for
// LastErrorText and the log.
std::u16string ImpossibleWindowText(const TCaptureWindow& window, int32_t buffLength);
