// Without any libftd2xx.so (the usual case on Linux): no error, no device,
// and start-up reaches the demo question through "no device".

#include "sartel.h"

#include <gtest/gtest.h>

namespace {

TEST(SartelWithoutD2xx, NoDeviceAndNoErrorThenDemo) {
  EXPECT_FALSE(_InitDriver());
  char16_t text[SARTEL_TEXT_LENGTH] = {};
  EXPECT_EQ(_GetLastErrorStr(text), 0);
  _SetPath(u"/tmp");
  std::int32_t indices[256] = {};
  EXPECT_EQ(_ListDevices(indices, nullptr), 0);
  EXPECT_EQ(_GetLastErrorStr(text), 0);
  EXPECT_TRUE(_InitDevice());
  EXPECT_TRUE(_ConfigDevice(0, true));
  EXPECT_EQ(_GetDeviceRamSize(), 0x4000);
  EXPECT_EQ(_GetClockItems(SARTEL_SELECT_COUNT), 13);
  EXPECT_EQ(_GetClockItems(SARTEL_SELECT_ENTRY + 12), 20);
  EXPECT_EQ(_GetGainItems(SARTEL_SELECT_COUNT), 3);
  EXPECT_EQ(_GetConfigItems(SARTEL_SELECT_ENTRY), 0x8000);
  EXPECT_EQ(_ReadStatus(), 0);
  EXPECT_EQ(_CPSet(), 0);
  EXPECT_EQ(_GetLastErrorStr(text), 0);
  _FreeDevice();
  // A second call finds the transport already made.
  EXPECT_TRUE(_InitDriver());
  _FreeDriver();
}

}  // namespace
