#include "capturewindow.h"

namespace {

std::u16string Number(int64_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

bool CaptureWindowPossible(const TCaptureWindow& window, int32_t buffLength) {
  if (window.Start < 0 || window.End <= window.Start || window.End > buffLength) return false;
  const int64_t samples = static_cast<int64_t>(window.End) - window.Start;
  return window.T >= 1 && window.T <= samples / MinSamplesPerRevolution;
}

std::u16string ImpossibleWindowText(const TCaptureWindow& window, int32_t buffLength) {
  return u"Impossible capture window: Start " + Number(window.Start) + u", End " + Number(window.End) + u", T " +
         Number(window.T) + u" in " + Number(buffLength) + u" samples.";
}
