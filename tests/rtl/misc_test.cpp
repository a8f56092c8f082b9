// The small units: clock, colour shades, critical section.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "clock.h"
#include "sanitizerslowdown.h"
#include "colorshades.h"
#include "criticalsection.h"

namespace {

TEST(Clock, TicksAdvanceWithSleep) {
  const uint64_t start = rtl::GetTickCount64();
  const uint32_t start32 = rtl::GetTickCount();
  rtl::Sleep(30);
  EXPECT_GE(rtl::GetTickCount64() - start, 30u);
  // Unsigned difference, as wrapping ticks are compared.
  const uint32_t elapsed32 = rtl::GetTickCount() - start32;
  EXPECT_GE(elapsed32, 30u);
  EXPECT_LT(elapsed32, 5000u * testsupport::kSanitizerSlowdown);
  EXPECT_EQ(static_cast<uint32_t>(rtl::GetTickCount64() >> 32), static_cast<uint32_t>(start >> 32))
      << "the high half only changes every 49.7 days";
}

TEST(ColorShades, LightAndDarkPerChannel) {
  rtl::TColor light = 1;
  rtl::TColor dark = 1;
  rtl::CalcColors3D(0x9CDBDE, light, dark);
  EXPECT_EQ(light, 0xEAFFFFu);
  EXPECT_EQ(dark, 0x689294u);

  rtl::CalcColors3D(0x000000, light, dark);
  EXPECT_EQ(light, 0u);
  EXPECT_EQ(dark, 0u);
  rtl::CalcColors3D(0xFFFFFF, light, dark);
  EXPECT_EQ(light, 0xFFFFFFu);
  EXPECT_EQ(dark, 0xAAAAAAu);
  rtl::CalcColors3D(0xFF010203, light, dark);
  EXPECT_EQ(light, 0x010304u) << "high byte dropped; 1*1.5 truncates to 1";
  EXPECT_EQ(dark, 0x000102u);
}

TEST(CriticalSection, RecursiveAndExcludesOtherThreads) {
  rtl::TCriticalSection section;
  section.Enter();
  EXPECT_TRUE(section.TryEnter()) << "the owner may enter again";
  std::atomic<bool> otherGot{true};
  std::thread([&] { otherGot = section.TryEnter(); }).join();
  EXPECT_FALSE(otherGot);
  section.Leave();
  std::thread([&] { otherGot = section.TryEnter(); }).join();
  EXPECT_FALSE(otherGot) << "entered twice, left once";
  section.Leave();

  std::thread([&] {
    otherGot = section.TryEnter();
    if (otherGot) section.Leave();
  }).join();
  EXPECT_TRUE(otherGot);
}

TEST(CriticalSection, GuardLeavesAtScopeEnd) {
  rtl::TCriticalSection section;
  std::atomic<bool> otherGot{true};
  {
    rtl::TCriticalSectionGuard guard(section);
    std::thread([&] { otherGot = section.TryEnter(); }).join();
    EXPECT_FALSE(otherGot);
  }
  std::thread([&] {
    otherGot = section.TryEnter();
    if (otherGot) section.Leave();
  }).join();
  EXPECT_TRUE(otherGot);
}

}  // namespace
