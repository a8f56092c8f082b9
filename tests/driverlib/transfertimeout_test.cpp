// The one SARTEL_TIMEOUT_MS rule: the parser's edge cases, and the three
// transports taking the same value from the environment.

#include "driver.h"
#include "transfertimeout.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace sartel;

TEST(TransferTimeout, PositiveMillisecondsAreTakenAsTheyStand) {
  EXPECT_EQ(TransferTimeoutMs("1"), 1u);
  EXPECT_EQ(TransferTimeoutMs("250"), 250u);
  EXPECT_EQ(TransferTimeoutMs("0250"), 250u);
  EXPECT_EQ(TransferTimeoutMs("70000"), 70000u);
  EXPECT_EQ(TransferTimeoutMs("600000"), 600000u);
}

TEST(TransferTimeout, LargerNumbersAreClampedToTenMinutes) {
  EXPECT_EQ(TransferTimeoutMs("600001"), MaxTransferTimeoutMs);
  EXPECT_EQ(TransferTimeoutMs("700000"), MaxTransferTimeoutMs);
  EXPECT_EQ(TransferTimeoutMs("4294967295"), MaxTransferTimeoutMs);
  // Too large for any integer is still a positive number.
  EXPECT_EQ(TransferTimeoutMs("4294967296"), MaxTransferTimeoutMs);
  EXPECT_EQ(TransferTimeoutMs("99999999999999999999999999"), MaxTransferTimeoutMs);
}

TEST(TransferTimeout, AnythingElseGivesTheDefault) {
  EXPECT_EQ(TransferTimeoutMs(nullptr), DefaultTransferTimeoutMs);
  for (const char* bad : {"", "0", "000", "-5", "-0", "+5", " 5", "5 ", "12ms", "abc", "1.5", "0x10", "-99999999999999999999"})
    EXPECT_EQ(TransferTimeoutMs(bad), DefaultTransferTimeoutMs) << '"' << bad << '"';
  EXPECT_EQ(DefaultTransferTimeoutMs, 10000u);
}

TEST(TransferTimeout, ReadFromTheEnvironmentAsItIsNow) {
  unsetenv("SARTEL_TIMEOUT_MS");
  EXPECT_EQ(TransferTimeoutFromEnvironment(), DefaultTransferTimeoutMs);
  setenv("SARTEL_TIMEOUT_MS", "300", 1);
  EXPECT_EQ(TransferTimeoutFromEnvironment(), 300u);
  setenv("SARTEL_TIMEOUT_MS", "garbage", 1);
  EXPECT_EQ(TransferTimeoutFromEnvironment(), DefaultTransferTimeoutMs);
  unsetenv("SARTEL_TIMEOUT_MS");
}

// The FTDI, FX2 and TCP transports as the driver creates them: one value,
// whatever the text.
TEST(TransferTimeout, EveryTransportTakesTheSameValue) {
  for (const auto& [text, expected] : {std::pair{"700000", MaxTransferTimeoutMs}, std::pair{"450", 450u},
                                       std::pair{"0", DefaultTransferTimeoutMs}, std::pair{"x1", DefaultTransferTimeoutMs}}) {
    setenv("SARTEL_TIMEOUT_MS", text, 1);
    TDriver driver;
    driver.InitTransports();
    ASSERT_TRUE(driver.Ftdi && driver.Fx2 && driver.Tcp);
    EXPECT_EQ(driver.Ftdi->TimeoutMs(), expected) << text;
    EXPECT_EQ(driver.Fx2->TimeOut(), expected) << text;
    // The link reads the environment at each connect; an empty host fails
    // at once, without any network.
    EXPECT_EQ(driver.Tcp->Connect(""), tcp::TConnectResult::NoHost);
    EXPECT_EQ(driver.Tcp->TimeoutMs(), expected) << text;
  }
  unsetenv("SARTEL_TIMEOUT_MS");
}

}  // namespace
