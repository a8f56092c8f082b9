#pragma once
// When the log hears of the speed signal during a balancing capture: its
// loss once, and its return once, however often a loose mark makes it
// flicker. A loss is logged only when the last entry is at least MinGapMs
// old, and a return only after a logged loss, so a flickering signal writes
// at most two entries per gap; a loss that outlasts the gap is still logged.
// Pure: the caller gives the time (milliseconds of the capture clock).

#include <cstdint>

class TSpeedSignalLog {
 public:
  static constexpr uint32_t MinGapMs = 30000;

  // A capture without a whole revolution at `nowMs`: true when the loss is
  // to be logged now.
  bool Loss(uint32_t nowMs);
  // A counted reading at `nowMs`: true when the return is to be logged now.
  bool Reading(uint32_t nowMs);

 private:
  bool LossLogged = false;
  bool AnyEntry = false;
  uint32_t LastEntryMs = 0;
};
