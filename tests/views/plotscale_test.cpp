#include "plotscale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "formatting.h"

namespace {

class PlotScale : public testing::Test {
 protected:
  void SetUp() override { DecimalSeparator = u','; }
};

TEST_F(PlotScale, RoundingGoesHalfUp) {
  EXPECT_EQ(RoundHalfUp(2.5), 3);
  EXPECT_EQ(RoundHalfUp(-2.5), -2);
  EXPECT_EQ(RoundHalfUp(-2.6), -3);
  EXPECT_EQ(RoundHalfUp(2.49), 2);
  EXPECT_EQ(RoundHalfUp(std::nan("")), 0);
}

TEST_F(PlotScale, StepsAreBroughtIntoTheirInterval) {
  // Too fine: the first entry that reaches the lower bound.
  TGridStep s = NormaliseStep(3, 20, 100);
  EXPECT_DOUBLE_EQ(s.Step, 30);
  EXPECT_DOUBLE_EQ(s.Factor, 10);
  // Too coarse: divided by the first entry that brings it down.
  s = NormaliseStep(1000, 20, 100);
  EXPECT_DOUBLE_EQ(s.Step, 100);
  EXPECT_DOUBLE_EQ(s.Factor, 0.1);
  // The first search overshoots and the second brings it back below: 60
  // becomes 120 and then 60 again.
  s = NormaliseStep(60, 75, 100);
  EXPECT_DOUBLE_EQ(s.Step, 60);
  EXPECT_DOUBLE_EQ(s.Factor, 1);
  // Nothing in the table reaches: the last entry.
  s = NormaliseStep(1e-10, 20, 100);
  EXPECT_DOUBLE_EQ(s.Factor, 1e8);
  // Inside: unchanged.
  s = NormaliseStep(50, 20, 100);
  EXPECT_DOUBLE_EQ(s.Step, 50);
  EXPECT_DOUBLE_EQ(s.Factor, 1);
}

// 10 kHz, 100 samples on a 700-pixel plot: 7 px per sample.
TEST_F(PlotScale, TimeLabelsOfATenthOfASecondRecordAreMilliseconds) {
  const auto labels = TimeLabelSteps(70000, 700);
  ASSERT_TRUE(labels);
  EXPECT_DOUBLE_EQ(labels->Units, 1000);
  EXPECT_DOUBLE_EQ(labels->Step, 70);
  EXPECT_DOUBLE_EQ(labels->Value, 1);
  EXPECT_EQ(labels->Prefix, 2);
  EXPECT_EQ(TimeLabelText(9 * labels->Value, labels->Value, labels->Prefix), u"9ms");
  // The record holds 10 steps; the 10th would stand on its end.
  const TTickRange ticks = TickRange(38, labels->Step, 38, 738, 100 * labels->Units / 10000);
  EXPECT_EQ(ticks.First, 0);
  EXPECT_EQ(ticks.Last, 9);
  // The grid's own search lands on 2 ms.
  const auto grid = TimeGridSteps(70000, 700);
  ASSERT_TRUE(grid);
  EXPECT_DOUBLE_EQ(grid->Units, 500);
  EXPECT_DOUBLE_EQ(grid->Step, 140);
}

TEST_F(PlotScale, TimeLabelsChangePrefixInTheSecondDecade) {
  const auto labels = TimeLabelSteps(9000, 700);
  ASSERT_TRUE(labels);
  EXPECT_DOUBLE_EQ(labels->Units, 100);
  EXPECT_EQ(labels->Prefix, 2);
  EXPECT_DOUBLE_EQ(labels->Value, 10);
  EXPECT_EQ(TimeLabelText(2 * labels->Value, labels->Value, labels->Prefix), u"20ms");
  // Halves and fifths of a second.
  const auto fifths = TimeLabelSteps(700, 700);
  ASSERT_TRUE(fifths);
  EXPECT_DOUBLE_EQ(fifths->Value, 0.2);
  EXPECT_EQ(TimeLabelText(3 * fifths->Value, fifths->Value, fifths->Prefix), u"0,6s");
}

TEST_F(PlotScale, NoTimeStepsWithoutAPlotOrARate) {
  EXPECT_FALSE(TimeGridSteps(0, 700));
  EXPECT_FALSE(TimeGridSteps(7000, 0));
  EXPECT_FALSE(TimeGridSteps(-5, 700));
  EXPECT_FALSE(TimeLabelSteps(std::numeric_limits<double>::infinity(), 700));
}

TEST_F(PlotScale, TicksStayInsideTheirBoundsAndTheRecord) {
  TTickRange r = TickRange(0, 10, 5, 45, 100);
  EXPECT_EQ(r.First, 1);
  EXPECT_EQ(r.Last, 4);
  // Both edges belong to the range.
  r = TickRange(0, 10, 10, 40, 100);
  EXPECT_EQ(r.First, 1);
  EXPECT_EQ(r.Last, 4);
  // An origin left of the plot: ticks counted from it.
  r = TickRange(-25, 10, 0, 30, 100);
  EXPECT_EQ(r.First, 3);
  EXPECT_EQ(r.Last, 5);
  EXPECT_TRUE(TickRange(0, 10, 5, 45, 0).Empty());
  // A step below one pixel draws nothing.
  EXPECT_TRUE(TickRange(0, 0.5, 0, 100, 1000).Empty());
}

TEST_F(PlotScale, ValueStepsDivideThousands) {
  auto v = ValueSteps(0.004, 20, 100);
  ASSERT_TRUE(v);
  EXPECT_TRUE(v->Thousands);
  EXPECT_DOUBLE_EQ(v->Step, 0.004 * 5000);
  EXPECT_DOUBLE_EQ(v->Increment, 5);
  v = ValueSteps(25, 20, 100);
  ASSERT_TRUE(v);
  EXPECT_FALSE(v->Thousands);
  EXPECT_DOUBLE_EQ(v->Increment, 1);
  EXPECT_FALSE(ValueSteps(0, 20, 100));
  EXPECT_FALSE(ValueSteps(std::nan(""), 20, 100));
}

TEST_F(PlotScale, FrequencyStepsChooseTheirUnit) {
  // Half a pixel per hertz: kilohertz, 500 px per kHz brought down to 100.
  auto f = FrequencySteps(0.5, 1);
  ASSERT_TRUE(f);
  EXPECT_EQ(std::u16string(f->Unit), u"kHz");
  EXPECT_DOUBLE_EQ(f->Step, 100);
  EXPECT_DOUBLE_EQ(f->Increment, 0.2);
  EXPECT_EQ(FrequencyLabelText(3 * f->Increment, f->Unit), u"0,6kHz");
  f = FrequencySteps(0.0002, 1);
  ASSERT_TRUE(f);
  EXPECT_EQ(std::u16string(f->Unit), u"MHz");
  f = FrequencySteps(4, 1);
  ASSERT_TRUE(f);
  EXPECT_EQ(std::u16string(f->Unit), u"Hz");
  EXPECT_DOUBLE_EQ(f->Step, 80);
  EXPECT_DOUBLE_EQ(f->Increment, 20);
  EXPECT_FALSE(FrequencySteps(0, 1));
}

TEST_F(PlotScale, DecibelSteps) {
  auto d = DecibelSteps(4.5, 1);  // 450 px for 100 dB
  ASSERT_TRUE(d);
  EXPECT_DOUBLE_EQ(d->Step, 22.5);
  EXPECT_DOUBLE_EQ(d->Increment, 5);
  // Below a pixel per decibel the increment counts thousands of decibels
  // before the step is normalised.
  d = DecibelSteps(0.01, 1);
  ASSERT_TRUE(d);
  EXPECT_DOUBLE_EQ(d->Step, 20);
  EXPECT_DOUBLE_EQ(d->Increment, 2000);
  EXPECT_FALSE(d->Thousands);
  EXPECT_FALSE(DecibelSteps(0, 1));
}

TEST_F(PlotScale, LabelTexts) {
  EXPECT_EQ(ValueLabelText(0.5), u"0,50");
  EXPECT_EQ(ValueLabelText(-0.5), u"-0,50");
  EXPECT_EQ(ValueLabelText(25), u"25,0");
  EXPECT_EQ(ValueLabelText(-250), u"-250");
  EXPECT_EQ(AmplitudeLabelText(0), u"0");
  EXPECT_EQ(AmplitudeLabelText(2), u"2,00");
  EXPECT_EQ(DecibelLabelText(0), u"0");
  EXPECT_EQ(DecibelLabelText(0.5), u"-0,5");
  EXPECT_EQ(DecibelLabelText(20), u"-20");
  EXPECT_EQ(TimeLabelText(0.05, 0.05, 1), u"0,05s");
  EXPECT_EQ(TimeLabelText(1.5, 0.5, 3), u"1,5\u00B5s");
}

}  // namespace
