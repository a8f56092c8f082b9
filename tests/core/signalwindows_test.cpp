#include "signalwindows.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(SignalWindows, HannIsZeroAtBothEndsAndOneInTheMiddleOfAnOddWindow) {
  EXPECT_NEAR(WindowValue(wtHann, 9, 0), 0.0, 1e-15);
  EXPECT_NEAR(WindowValue(wtHann, 9, 8), 0.0, 1e-15);
  EXPECT_NEAR(WindowValue(wtHann, 9, 4), 1.0, 1e-15);
}

TEST(SignalWindows, TriangleOfFiveSamples) {
  const double expected[] = {0, 0.5, 1, 0.5, 0};
  for (int i = 0; i < 5; ++i) EXPECT_DOUBLE_EQ(WindowValue(wtTriangle, 5, i), expected[i]) << i;
}

TEST(SignalWindows, CosineWindowsAtTheirEndsAndMiddle) {
  // At i = 0 every cosine is 1, so the end weight is the alternating sum of
  // the coefficients; at the middle of an odd window every odd cosine is -1.
  EXPECT_NEAR(WindowValue(wtBlackman, 11, 0), 0.0, 1e-15);
  EXPECT_NEAR(WindowValue(wtBlackman, 11, 5), 1.0, 1e-15);
  EXPECT_NEAR(WindowValue(wtHamming, 11, 0), 0.08, 1e-15);
  EXPECT_NEAR(WindowValue(wtHamming, 11, 5), 1.0, 1e-15);
  EXPECT_NEAR(WindowValue(wtFlatTop, 11, 0), 0.2810639 - 0.5208972 + 0.1980399, 1e-15);
  EXPECT_NEAR(WindowValue(wtFlatTop, 11, 5), 0.2810639 + 0.5208972 + 0.1980399, 1e-15);
  EXPECT_NEAR(WindowValue(wtHarris, 11, 0), 0.36 - 0.49 + 0.14 - 0.01, 1e-15);
  EXPECT_NEAR(WindowValue(wtHarris, 11, 5), 1.0, 1e-15);
}

TEST(SignalWindows, GaussianIsFlatOverTheTwoMiddleSamplesOfAnEvenWindow) {
  EXPECT_DOUBLE_EQ(WindowValue(wtGaussian, 8, 3), 1.0);
  EXPECT_DOUBLE_EQ(WindowValue(wtGaussian, 8, 4), 1.0);
  EXPECT_DOUBLE_EQ(WindowValue(wtGaussian, 8, 0), WindowValue(wtGaussian, 8, 7));
  EXPECT_DOUBLE_EQ(WindowValue(wtGaussian, 8, 0), std::exp(-4.5 * 9 / 64));
  // Odd windows count the distance from (n div 2) - 1 below the middle and
  // from n div 2 above it.
  EXPECT_DOUBLE_EQ(WindowValue(wtGaussian, 7, 2), 1.0);
  EXPECT_DOUBLE_EQ(WindowValue(wtGaussian, 7, 3), std::exp(-4.5 / 49));
  EXPECT_DOUBLE_EQ(WindowValue(wtGaussian, 7, 6), std::exp(-4.5 * 9 / 49));
}

TEST(SignalWindows, RectangularForUnknownTypesAndForWindowsOfOneSample) {
  EXPECT_EQ(WindowValue(wtRectangular, 16, 3), 1.0);
  EXPECT_EQ(WindowValue(8, 16, 3), 1.0);
  EXPECT_EQ(WindowValue(255, 16, 3), 1.0);
  for (uint8_t type = 0; type < 8; ++type) {
    EXPECT_EQ(WindowValue(type, 1, 0), 1.0) << int(type);
    EXPECT_TRUE(std::isfinite(WindowValue(type, 0, 0))) << int(type);
  }
}

// The weights of a million-sample window take tens of milliseconds: made
// for a spectrum thread, they ask its stop on the way, and a table cut short
// is never used but made whole at the next call.
TEST(SignalWindows, AWindowTableBeingMadeGivesUpAtItsCallersStopAndIsMadeWholeNextTime) {
  constexpr int32_t n = 1 << 20;
  int asked = 0;
  EXPECT_FALSE(PrepareWindowTable(wtFlatTop, n, [&asked] { return ++asked == 3; }));
  EXPECT_EQ(asked, 3);
  const std::vector<double>& weights = WindowTable(wtFlatTop, n);
  ASSERT_EQ(weights.size(), static_cast<size_t>(n));
  for (int32_t i : {0, 1, n / 3, n / 2, n - 1})
    EXPECT_EQ(weights[static_cast<size_t>(i)], WindowValue(wtFlatTop, n, i)) << i;
  EXPECT_TRUE(PrepareWindowTable(wtFlatTop, n, [] { return true; }));  // whole already: nothing asked
}
