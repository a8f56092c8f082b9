#include "conditionlimits.h"
#include "daqlib.h"
#include "frontend.h"
#include "harvikregisters.h"
#include "itemtables.h"
#include "kalvenor2.h"
#include "lasterror.h"
#include "lodrastcodec.h"
#include "textout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace sartel;

TEST(ItemTables, SelectorsOverTheHarvikTables) {
  TItemState items;
  items.Load({harvik::ClocksHz, harvik::GainsMv, harvik::AdcFullScale});
  EXPECT_EQ(items.ClockItems(0x100), 10);
  EXPECT_EQ(items.ClockItems(0x200), 200000);
  EXPECT_EQ(items.ClockItems(0x209), 200);
  EXPECT_EQ(items.ClockItems(0x20A), 0);
  EXPECT_EQ(items.ClockItems(0x1FF), 10);  // bit 0x100 wins
  EXPECT_EQ(items.ClockItems(0x80), 0);
  EXPECT_EQ(items.GainItems(0x100), 3);
  EXPECT_EQ(items.GainItems(0x202), 250);
  EXPECT_EQ(items.GainItems(0x203), 0);
  EXPECT_EQ(items.ConfigItemsFor(0x200), 2048);
  EXPECT_EQ(items.ConfigItemsFor(0x100), 0);
}

// The program's file readers take only the values a model can report: each
// model's rates, ranges, full scale and memories are among them.
TEST(ItemTables, EveryModelsValuesAreOnesTheFileReadersTake) {
  using namespace conditionlimits;
  const TItemTables models[] = {{harvik::ClocksHz, harvik::GainsMv, harvik::AdcFullScale},
                                frontend::ItemTables(), kalvenor2::TKalvenor2().Items()};
  for (const TItemTables& model : models) {
    EXPECT_TRUE(PossibleFullScale(model.ConfigItems)) << model.ConfigItems;
    for (int32_t hz : model.ClocksHz) EXPECT_TRUE(PossibleSamplingFrequency(hz)) << hz;
    for (int32_t mv : model.GainsMv) EXPECT_TRUE(PossibleInputRange(mv)) << mv;
  }
  for (int32_t memory : {harvik::SmallMemory, harvik::LargeMemory, kalvenor2::SmallMemory, kalvenor2::LargeMemory,
                         lodrast::RamSamples})
    EXPECT_TRUE(PossibleLength(memory)) << memory;
  EXPECT_EQ(LargestDeviceMemory, harvik::LargeMemory);
}

TEST(ItemTables, DemoTablesAndEmptyStart) {
  TItemState items;
  EXPECT_EQ(items.ClockItems(0x100), 0);
  EXPECT_EQ(items.GainItems(0x100), 0);
  EXPECT_EQ(items.ClockItems(0x200), 0);
  kalvenor2::TKalvenor2 demo;
  items.Load(demo.Items());
  EXPECT_EQ(items.ClockItems(0x100), 13);
  EXPECT_EQ(items.ClockItems(0x200 + 12), 20);
  EXPECT_EQ(items.GainItems(0x200), 2500);
  EXPECT_EQ(items.ConfigItemsFor(0x200), 0x8000);
  EXPECT_EQ(demo.RamSize(), 0x4000);
  EXPECT_EQ(demo.ConfigByte(16), 0);
  EXPECT_EQ(demo.ReadStatus(), 0);
}

TEST(LastError, TextIsBoundedAndTerminated) {
  TLastError error;
  error.Set(std::string(150, 'x'), 7);
  EXPECT_EQ(error.Text().size(), 99u);
  std::u16string out(100, u'#');
  error.CopyText(out.data());
  EXPECT_EQ(out[98], u'x');
  EXPECT_EQ(out[99], u'\0');
  EXPECT_EQ(error.ErrorCode(), 7);
  error.SetCode(0);
  EXPECT_EQ(error.Text().size(), 99u);
}

TEST(TextOut, DeviceTextsAreBoundedWidenedAndTerminated) {
  const unsigned char raw[] = {'K', 'a', 'l', 0xE9, 0, 'x'};
  EXPECT_EQ(BoundedText(raw, sizeof raw), std::string_view("Kal\xE9", 4));
  EXPECT_EQ(BoundedText(raw, 2), std::string_view("Ka", 2));
  std::u16string out(120, u'#');
  WriteWidened(std::string(300, 'K'), out.data());
  EXPECT_EQ(out.find(u'\0'), 99u);
  EXPECT_EQ(out[100], u'#');
  WriteWidened(BoundedText(raw, sizeof raw), out.data());
  EXPECT_EQ(out.substr(0, 5), std::u16string(u"Kal\u00E9") + u'\0');
}

TEST(DriverState, PathCopyIsBounded) {
  TDAQLib lib;
  std::u16string longPath(40000, u'p');
  lib.SetPath(longPath.c_str());
  EXPECT_EQ(lib.Path().size(), TDAQLib::PathUnits - 1);
  lib.SetPath(nullptr);
  EXPECT_TRUE(lib.Path().empty());
  EXPECT_EQ(lib.Kind, TKind::None);
  EXPECT_EQ(lib.Error.ErrorCode(), 0);
}

}  // namespace
