#include "decimation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "plotscale.h"

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

// The runs an index-by-index walk finds: a new run wherever the column of
// the index changes.
std::vector<TColumnRun> WalkedRuns(int64_t first, int64_t end, double pxPerIndex) {
  std::vector<TColumnRun> runs;
  for (int64_t i = first; i < end; ++i) {
    const int32_t x = RoundHalfUp(static_cast<double>(i) * pxPerIndex);
    if (runs.empty() || runs.back().X != x)
      runs.push_back({x, i, i + 1});
    else
      runs.back().End = i + 1;
  }
  return runs;
}

bool SameRuns(const std::vector<TColumnRun>& a, const std::vector<TColumnRun>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].X != b[i].X || a[i].First != b[i].First || a[i].End != b[i].End) return false;
  return true;
}

// Scales of a spectrum plot (plot width over bins in view), scales whose
// column edges fall exactly on a half pixel, more than one pixel per index,
// upside down, zero, and beyond the pixel range.
TEST(Decimation, ColumnRunsAreTheRunsOfAnIndexByIndexWalk) {
  const double pxPerIndex[] = {724.0 / 999,        724.0 / 524287, 684.0 / 65535, 0.5,   0.25, 1.0 / 3,
                               3.5,                1,              -0.3,          0,     1e-300,
                               1e9,                std::numeric_limits<double>::quiet_NaN()};
  for (const double px : pxPerIndex)
    for (const auto& [first, end] : {std::pair<int64_t, int64_t>{0, 1000}, {1, 1000}, {137, 70001}, {5, 5}, {9, 3}})
      EXPECT_TRUE(SameRuns(ColumnRuns(first, end, px), WalkedRuns(first, end, px)))
          << "px " << px << " from " << first << " to " << end;
}

TEST(Decimation, ColumnRunsOfAWideSpectrumFollowTheColumns) {
  const auto runs = ColumnRuns(1, 524288, 724.0 / 524287);
  ASSERT_EQ(runs.size(), 725u);
  EXPECT_EQ(runs.front().First, 1);
  EXPECT_EQ(runs.back().End, 524288);
  for (size_t i = 1; i < runs.size(); ++i) {
    EXPECT_EQ(runs[i].X, runs[i - 1].X + 1);
    EXPECT_EQ(runs[i].First, runs[i - 1].End);
  }
}

}  // namespace
