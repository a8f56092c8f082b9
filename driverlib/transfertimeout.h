#pragma once
// The transfer time-out every transport bounds its waits with: 10 s, or what
// SARTEL_TIMEOUT_MS says, so tests and trials notice a silent device sooner.
// One rule for the FTDI, FX2 and TCP transports alike.

#include <cstdint>

namespace sartel {

inline constexpr std::uint32_t DefaultTransferTimeoutMs = 10000;
inline constexpr std::uint32_t MaxTransferTimeoutMs = 600000;

// The time-out a SARTEL_TIMEOUT_MS text gives: a positive whole number of
// milliseconds in plain digits, clamped to MaxTransferTimeoutMs (also when it
// is too large for any integer). No text, an empty one, 0, a sign, blanks or
// any other character give DefaultTransferTimeoutMs.
std::uint32_t TransferTimeoutMs(const char* text);

// The same over the environment as it is now.
std::uint32_t TransferTimeoutFromEnvironment();

}  // namespace sartel
