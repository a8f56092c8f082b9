#include "printlayout.h"

#include <gtest/gtest.h>

namespace {

// An A4 landscape page at 600 dpi.
TPageMetrics A4() { return PageMetrics(7016, 4960, 600, 600, 100); }

TEST(PrintLayout, MarginsOfOneCentimetre) {
  const TPageMetrics m = A4();
  EXPECT_EQ(m.Left, 236);
  EXPECT_EQ(m.Top, 236);
  EXPECT_EQ(m.Right, 7016 - 236);
  EXPECT_EQ(m.Bottom, 4960 - 236);
  EXPECT_EQ(TitlePoint(m).x, 236 + (m.Right - 236) / 2);
  EXPECT_EQ(ChannelNamePoint(m).x, m.Right);
  const gui::TRect plot = PrintPlotArea(m);
  EXPECT_EQ(plot.Top, 472);
  EXPECT_EQ(plot.Bottom, 4015);
  EXPECT_EQ(plot.Left, 236);
  EXPECT_EQ(plot.Right, m.Right);
  EXPECT_EQ(SettingsLabelPoint(m, 0).y, 4133);
  EXPECT_EQ(SettingsLabelPoint(m, 2).y, 4333);
  EXPECT_EQ(SettingsValuePoint(m, 1).x, 236 + (m.Right - 236) / 4);
}

TEST(PrintLayout, OscilloscopeGridRowsAbut) {
  const TPageMetrics m = A4();
  const std::vector<TPrintBox> boxes = TimePrintGrid(m);
  ASSERT_EQ(boxes.size(), 2u + 3 + 2 + 3 + 3 + 2 + 2 + 3);
  // First row, left group: from R - 12.5 cm, 1 cm and 4 cm.
  EXPECT_EQ(boxes[0].Cell, pcCurPos1Label);
  EXPECT_EQ(boxes[0].Box, gui::Rect(3827, 4133, 4063, 4251));
  EXPECT_EQ(boxes[1].Box, gui::Rect(4063, 4133, 5007, 4251));
  // The last row of the right group ends 2 cm before R.
  const TPrintBox& last = boxes.back();
  EXPECT_EQ(last.Cell, pcVoltDistValue);
  EXPECT_NEAR(last.Box.Right, m.Right - 2 * m.CmY, 3);
  EXPECT_EQ(last.Box.Top, static_cast<int>(m.Bottom - 1.0 * m.CmY));
  int fixed = 0;
  for (size_t i = 1; i < boxes.size(); ++i) {
    if (boxes[i].Box.Top == boxes[i - 1].Box.Top && boxes[i].Box.Left > boxes[i - 1].Box.Left) {
      EXPECT_EQ(boxes[i].Box.Left, boxes[i - 1].Box.Right);
    }
    fixed += boxes[i].Cell == pcCursorLetters;
  }
  EXPECT_EQ(fixed, 3);
}

TEST(PrintLayout, SpectrumGridOfThreeRows) {
  const TPageMetrics m = A4();
  const std::vector<TPrintBox> boxes = SpectrumPrintGrid(m);
  ASSERT_EQ(boxes.size(), 15u);
  EXPECT_EQ(boxes[0].Box.Left, static_cast<int>(m.Right - 11 * m.CmY));
  EXPECT_EQ(boxes[4].Cell, pcPhase1);
  EXPECT_NEAR(boxes[4].Box.Right, m.Right, 3);
  EXPECT_EQ(boxes[10].Cell, pcMeasCur3);
  EXPECT_EQ(boxes[10].Box.Top, static_cast<int>(m.Bottom - 1.5 * m.CmY));
}

// Side margins follow the horizontal resolution; every other distance the
// vertical one.
TEST(PrintLayout, UnequalResolutions) {
  const TPageMetrics m = PageMetrics(3508, 4960, 300, 600, 50);
  EXPECT_EQ(m.Left, 118);
  EXPECT_EQ(m.Top, 236);
  const std::vector<TPrintBox> boxes = SpectrumPrintGrid(m);
  EXPECT_EQ(boxes[0].Box.Width(), 236);
  EXPECT_EQ(boxes[0].Box.Height(), 118);
}

TEST(PrintLayout, FooterRuleEndsAtHalfOfR) {
  const TPageMetrics m = A4();
  const TFooterLayout f = FooterLayout(m);
  EXPECT_EQ(f.RuleFrom, (gui::TPoint{236, static_cast<int>(m.Bottom - 0.4 * m.CmY)}));
  EXPECT_EQ(f.RuleTo.x, m.Right / 2);
  EXPECT_EQ(f.Text, (gui::TPoint{236, m.Bottom}));
}

}  // namespace
