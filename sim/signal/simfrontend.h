#pragma once
// The converter front end the simulated FX2 and network devices share, as
// the devices see it: the 400 kHz clock their sampling dividers divide, and
// the input range each gain code selects. The driver library keeps its own
// table of these rows on its side of the wire; the simulator must not borrow
// it, so a wrong code in the driver shows up as a wrong reading in the tests.

#include <array>
#include <cstdint>

namespace sim {

inline constexpr double FrontEndClockHz = 400000.0;

// The sampling rate a divider gives.
constexpr double SampleRateHz(std::uint16_t divider) { return FrontEndClockHz / (divider + 1.0); }

struct TInputRange {
  std::uint8_t Code;
  double RangeMv;
};
inline constexpr std::array<TInputRange, 3> InputRanges{{{0xFF, 2500}, {0x66, 1000}, {0x33, 500}}};

// The range of a gain code; nullptr for a code the devices do not know.
constexpr const TInputRange* InputRangeOf(std::uint8_t code) {
  for (const TInputRange& range : InputRanges)
    if (range.Code == code) return &range;
  return nullptr;
}

}  // namespace sim
