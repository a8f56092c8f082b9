// The converter front end the FX2 and network models share: one table of
// rows, read the same way by both models' programming and item tables.

#include "frontend.h"
#include "kalvenor2.h"
#include "kalvenor2protocol.h"
#include "lodrast.h"
#include "lodrastcodec.h"
#include "tcplink.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace sartel;

std::vector<std::int32_t> Values(std::span<const std::int32_t> items) { return {items.begin(), items.end()}; }

TEST(FrontEnd, EachDividerGivesItsClock) {
  for (const frontend::TSamplingRow& row : frontend::SamplingRows)
    EXPECT_EQ(frontend::BaseClockHz / (row.Divider + 1), row.ClockHz) << row.Divider;
  EXPECT_EQ(frontend::SamplingRow(0)->ClockHz, 200000);
  EXPECT_EQ(frontend::SamplingRow(12)->ClockHz, 20);
  EXPECT_EQ(frontend::SamplingRow(13), nullptr);
  EXPECT_EQ(frontend::SamplingRow(-1), nullptr);
  EXPECT_EQ(frontend::GainRow(2)->Code, 0x33);
  EXPECT_EQ(frontend::GainRow(3), nullptr);
  EXPECT_EQ(frontend::GainRow(-1), nullptr);
}

TEST(FrontEnd, BothModelsOfferTheRowsAsTheirItemTables) {
  const std::vector<std::int32_t> clocks{200000, 100000, 50000, 20000, 10000, 5000, 2000, 1000, 500, 200, 100, 50, 20};
  const std::vector<std::int32_t> gains{2500, 1000, 500};
  kalvenor2::TKalvenor2 fx2;
  TDAQLib lib;
  tcp::TTcpLink link;
  lodrast::TLodrast network(lib, link);
  for (const TItemTables& items : {fx2.Items(), network.Items()}) {
    EXPECT_EQ(Values(items.ClocksHz), clocks);
    EXPECT_EQ(Values(items.GainsMv), gains);
    EXPECT_EQ(items.ConfigItems, 0x8000);
  }
}

// Both models program a gain index and a sampling index with the same codes.
TEST(FrontEnd, BothModelsProgramTheSameCodes) {
  for (std::int32_t gain = 0; gain < 3; ++gain) {
    const std::uint8_t code = frontend::GainRows[static_cast<std::size_t>(gain)].Code;
    EXPECT_EQ(kalvenor2::GainCode(gain, 0), code);
    EXPECT_EQ(lodrast::ProgramParameters(gain, 0, 0)[0], code);
    EXPECT_EQ(lodrast::Gains[static_cast<std::size_t>(gain)].Range.RangeMv,
              frontend::GainRows[static_cast<std::size_t>(gain)].RangeMv);
  }
  for (std::int32_t index = 0; index < 13; ++index) {
    const std::uint16_t divider = frontend::SamplingRows[static_cast<std::size_t>(index)].Divider;
    EXPECT_EQ(kalvenor2::SamplingDivider(index), divider);
    const auto parameters = lodrast::ProgramParameters(0, index, 0);
    EXPECT_EQ(parameters[1] | parameters[2] << 8, divider);
  }
}

}  // namespace
