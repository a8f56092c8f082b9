#include "d2xx.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

namespace {

d2xx::Status FakeOpen(int, d2xx::Handle*) { return 0; }

TEST(D2xxBinding, AllTwentyOneNamesInBindingOrder) {
  std::vector<std::string> asked;
  d2xx::TFunctions table;
  const bool all = d2xx::BindFunctions(
      [&](const char* name) -> void* {
        asked.emplace_back(name);
        return reinterpret_cast<void*>(&FakeOpen);
      },
      table);
  EXPECT_TRUE(all);
  ASSERT_EQ(asked.size(), 21u);
  EXPECT_EQ(asked.front(), "FT_Open");
  EXPECT_EQ(asked[14], "FT_W32_CreateFile");
  EXPECT_EQ(asked.back(), "FT_W32_GetOverlappedResult");
  EXPECT_NE(table.W32GetOverlappedResult, nullptr);
}

TEST(D2xxBinding, MissingNameFailsButKeepsTheOthers) {
  d2xx::TFunctions table;
  const bool all = d2xx::BindFunctions(
      [](const char* name) -> void* {
        return std::string(name) == "FT_Purge" ? nullptr : reinterpret_cast<void*>(&FakeOpen);
      },
      table);
  EXPECT_FALSE(all);
  EXPECT_EQ(table.Purge, nullptr);
  EXPECT_NE(table.Open, nullptr);
  EXPECT_NE(table.SetTimeouts, nullptr);
}

TEST(D2xxHandles, InvalidHandleHasThreeSpellings) {
  EXPECT_FALSE(d2xx::IsValidHandle(nullptr));
  EXPECT_FALSE(d2xx::IsValidHandle(reinterpret_cast<d2xx::Handle>(UINTPTR_MAX)));
  EXPECT_FALSE(d2xx::IsValidHandle(reinterpret_cast<d2xx::Handle>(std::uintptr_t{0xFFFFFFFFu})));
  EXPECT_FALSE(d2xx::IsValidHandle(d2xx::InvalidHandleValue()));
  int object = 0;
  EXPECT_TRUE(d2xx::IsValidHandle(&object));
}

TEST(D2xxLayout, OverlappedMatchesTheLibrary) {
  // {DWORD Internal; DWORD InternalHigh; union {DWORD Offset, OffsetHigh; void*}; void* hEvent}
  EXPECT_EQ(offsetof(d2xx::Overlapped, Internal), 0u);
  EXPECT_EQ(offsetof(d2xx::Overlapped, InternalHigh), 4u);
  EXPECT_EQ(offsetof(d2xx::Overlapped, Pointer), 8u);
  EXPECT_EQ(offsetof(d2xx::Overlapped, hEvent), 16u);
  EXPECT_EQ(sizeof(d2xx::Dword), 4u);
  EXPECT_EQ(sizeof(d2xx::Bool), 4u);
}

}  // namespace
