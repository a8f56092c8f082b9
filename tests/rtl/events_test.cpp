#include "events.h"
#include "sanitizerslowdown.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "clock.h"

namespace {

// Polls until count reaches want or the limit passes.
bool WaitCount(const std::atomic<int>& count, int want, uint32_t limitMs = 5000 * testsupport::kSanitizerSlowdown) {
  const uint64_t start = rtl::GetTickCount64();
  while (count < want) {
    if (rtl::GetTickCount64() - start > limitMs) return false;
    rtl::Sleep(1);
  }
  return true;
}

TEST(Event, AutoResetReleasesExactlyOneWaiterPerSet) {
  rtl::TEvent event(false, false);
  std::atomic<int> released{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < 4; ++i)
    waiters.emplace_back([&] {
      if (event.WaitFor(rtl::INFINITE_WAIT) == rtl::TWaitResult::Signaled) ++released;
    });
  rtl::Sleep(50);  // let them all block
  EXPECT_EQ(released, 0);
  for (int set = 1; set <= 3; ++set) {
    event.SetEvent();
    ASSERT_TRUE(WaitCount(released, set));
    rtl::Sleep(30);
    EXPECT_EQ(released, set) << "one SetEvent released more than one waiter";
  }
  EXPECT_EQ(event.WaitFor(0), rtl::TWaitResult::Timeout) << "the signal was consumed";
  event.SetEvent();
  for (std::thread& waiter : waiters) waiter.join();
  EXPECT_EQ(released, 4);
}

TEST(Event, ManualResetReleasesAllUntilReset) {
  rtl::TEvent event(true, false);
  std::atomic<int> released{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < 4; ++i)
    waiters.emplace_back([&] {
      if (event.WaitFor(rtl::INFINITE_WAIT) == rtl::TWaitResult::Signaled) ++released;
    });
  event.SetEvent();
  for (std::thread& waiter : waiters) waiter.join();
  EXPECT_EQ(released, 4);
  EXPECT_EQ(event.WaitFor(0), rtl::TWaitResult::Signaled) << "stays signaled";
  event.ResetEvent();
  EXPECT_EQ(event.WaitFor(0), rtl::TWaitResult::Timeout);
}

TEST(Event, InitialStateAndTimedWait) {
  rtl::TEvent autoReset(false, true);
  EXPECT_EQ(autoReset.WaitFor(0), rtl::TWaitResult::Signaled);
  const uint64_t start = rtl::GetTickCount64();
  EXPECT_EQ(autoReset.WaitFor(60), rtl::TWaitResult::Timeout);
  EXPECT_GE(rtl::GetTickCount64() - start, 59u);

  rtl::TEvent setLater(false, false);
  std::thread setter([&] {
    rtl::Sleep(20);
    setLater.SetEvent();
  });
  EXPECT_EQ(setLater.WaitFor(5000 * testsupport::kSanitizerSlowdown), rtl::TWaitResult::Signaled);
  setter.join();
}

TEST(Event, NamedRegistryReturnsTheSameEvent) {
  auto first = rtl::CreateNamedEvent(u"RtlTestEvent", false, false);
  auto again = rtl::CreateNamedEvent(u"RtlTestEvent", true, true);
  EXPECT_EQ(first, again);
  EXPECT_EQ(again->WaitFor(0), rtl::TWaitResult::Timeout) << "an existing event keeps its state";
  EXPECT_EQ(rtl::OpenNamedEvent(u"RtlTestEvent"), first);
  EXPECT_NE(rtl::CreateNamedEvent(u"RtlTestEvent2", false, false), first);
  EXPECT_EQ(rtl::OpenNamedEvent(u"RtlTestEventNone"), nullptr);

  first->SetEvent();
  EXPECT_EQ(rtl::OpenNamedEvent(u"RtlTestEvent")->WaitFor(0), rtl::TWaitResult::Signaled);
}

TEST(Event, NamedEventDiesWithItsLastHolder) {
  auto event = rtl::CreateNamedEvent(u"RtlTestShortLived", true, true);
  event.reset();
  EXPECT_EQ(rtl::OpenNamedEvent(u"RtlTestShortLived"), nullptr);
  auto fresh = rtl::CreateNamedEvent(u"RtlTestShortLived", true, false);
  EXPECT_EQ(fresh->WaitFor(0), rtl::TWaitResult::Timeout) << "a new event, not the old state";
}

TEST(Event, EmptyNameGivesUnnamedEvents) {
  auto a = rtl::CreateNamedEvent(u"", false, false);
  auto b = rtl::CreateNamedEvent(u"", false, false);
  ASSERT_NE(a, nullptr);
  EXPECT_NE(a, b);
  EXPECT_EQ(rtl::OpenNamedEvent(u""), nullptr);
}

}  // namespace
