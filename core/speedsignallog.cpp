#include "speedsignallog.h"

bool TSpeedSignalLog::Loss(uint32_t nowMs) {
  if (LossLogged) return false;
  // Unsigned difference: right across the wrap of the millisecond count.
  if (AnyEntry && nowMs - LastEntryMs < MinGapMs) return false;
  LossLogged = AnyEntry = true;
  LastEntryMs = nowMs;
  return true;
}

bool TSpeedSignalLog::Reading(uint32_t nowMs) {
  // A loss too soon after the last entry was never logged: nor is its end.
  if (!LossLogged) return false;
  LossLogged = false;
  LastEntryMs = nowMs;
  return true;
}
