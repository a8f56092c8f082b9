#pragma once

// Time in the manner of the Windows calls the system was written against.

#include <cstdint>

namespace rtl {

// Milliseconds since an arbitrary start (system boot), monotonic and counting
// through suspend; the 32-bit form wraps after about 49.7 days, so compare
// ticks by unsigned difference.
uint32_t GetTickCount();
uint64_t GetTickCount64();

// Sleeps at least ms milliseconds (interruptions by signals are resumed);
// Sleep(0) only yields the processor.
void Sleep(uint32_t ms);

}  // namespace rtl
