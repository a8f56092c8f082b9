#include "transfertimeout.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>

namespace sartel {

std::uint32_t TransferTimeoutMs(const char* text) {
  if (!text) return DefaultTransferTimeoutMs;
  const char* end = text + std::strlen(text);
  std::uint32_t value = 0;
  const auto [rest, failure] = std::from_chars(text, end, value);
  // Digits only, all of them: from_chars stops at a sign or any other
  // character, and reads nothing from an empty text.
  if (rest == text || rest != end) return DefaultTransferTimeoutMs;
  if (failure == std::errc::result_out_of_range) return MaxTransferTimeoutMs;
  if (failure != std::errc() || value == 0) return DefaultTransferTimeoutMs;
  return std::min(value, MaxTransferTimeoutMs);
}

std::uint32_t TransferTimeoutFromEnvironment() { return TransferTimeoutMs(std::getenv("SARTEL_TIMEOUT_MS")); }

}  // namespace sartel
