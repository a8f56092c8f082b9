#include "decimation.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Decimation, ColumnsHoldTheExtremesOfTheirSamples) {
  const std::vector<float> data = {1, 5, -3, 2, 7, 0, 4, -8, 6, 3};
  const auto columns = DecimateColumns(data.data(), 10, 0, 10, 2);
  ASSERT_EQ(columns.size(), 2u);
  EXPECT_EQ(columns[0].Min, -3);
  EXPECT_EQ(columns[0].Max, 7);
  EXPECT_EQ(columns[1].Min, -8);
  EXPECT_EQ(columns[1].Max, 6);
}

// 2.4 samples per column: every sample lands in a column, so a spike of one
// sample always shows.
TEST(Decimation, NoSampleFallsBetweenColumns) {
  for (int spike = 0; spike < 12; ++spike) {
    std::vector<float> data(12, 0.0f);
    data[spike] = 100;
    const auto columns = DecimateColumns(data.data(), 12, 0, 12, 5);
    int found = 0;
    for (const TColumnExtent& c : columns) found += c.Max == 100;
    EXPECT_EQ(found, 1) << "spike at " << spike;
  }
}

TEST(Decimation, ViewStartAndRecordEnd) {
  std::vector<float> data(20);
  for (int i = 0; i < 20; ++i) data[i] = static_cast<float>(i);
  // A view from 10 of 20 samples over 4 columns: the last two columns lie
  // beyond the record and stay empty.
  const auto columns = DecimateColumns(data.data(), 20, 10, 20, 4);
  ASSERT_EQ(columns.size(), 4u);
  EXPECT_EQ(columns[0].Min, 10);
  EXPECT_EQ(columns[0].Max, 14);
  EXPECT_EQ(columns[1].Min, 15);
  EXPECT_EQ(columns[1].Max, 19);
  EXPECT_TRUE(columns[2].Empty);
  EXPECT_TRUE(columns[3].Empty);
}

TEST(Decimation, CountsAreTruncatedTowardZero) {
  const std::vector<float> data = {-1.7f, 2.9f, 40000.5f, -40000.5f};
  const auto columns = DecimateColumns(data.data(), 4, 0, 4, 2);
  EXPECT_EQ(columns[0].Min, -1);
  EXPECT_EQ(columns[0].Max, 2);
  // Counts beyond 16 bits keep their value.
  EXPECT_EQ(columns[1].Min, -40000);
  EXPECT_EQ(columns[1].Max, 40000);
}

TEST(Decimation, NothingWithoutDataOrColumns) {
  const std::vector<float> data(4, 1.0f);
  EXPECT_TRUE(DecimateColumns(nullptr, 4, 0, 4, 2).empty());
  EXPECT_TRUE(DecimateColumns(data.data(), 4, 0, 4, 0).empty());
  EXPECT_TRUE(DecimateColumns(data.data(), 0, 0, 4, 2).empty());
}

}  // namespace
