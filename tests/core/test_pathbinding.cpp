#include "pathbinding.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <vector>

#include "scratchfolder.h"
#include "zelto.h"

namespace {

class PathBindingTest : public ::testing::Test {
 protected:
  void TearDown() override { FreeShlwapi(); }

  // The runtime layer's table without one name.
  static std::vector<rtl::TPathFunctionExport> TableWithout(std::string_view name) {
    std::vector<rtl::TPathFunctionExport> table;
    for (const auto& entry : rtl::PathFunctionExports())
      if (entry.Name != name) table.push_back(entry);
    return table;
  }
};

TEST_F(PathBindingTest, BindsAllFifteenFunctions) {
  EXPECT_EQ(rtl::PathFunctionExports().size(), 15u);
  ASSERT_TRUE(LoadShlwapi());
  EXPECT_TRUE(ShlwapiLoaded());
  std::u16string path = u"/data/Kalvenor/";
  Shlwapi.PathAppendW(path, u"Sensors");
  EXPECT_EQ(path, u"/data/Kalvenor/Sensors");
  FreeShlwapi();
  EXPECT_FALSE(ShlwapiLoaded());
}

TEST_F(PathBindingTest, AnyMissingNameFailsTheBinding) {
  for (const auto& entry : rtl::PathFunctionExports()) {
    EXPECT_FALSE(LoadShlwapi(TableWithout(entry.Name))) << entry.Name;
    EXPECT_FALSE(ShlwapiLoaded()) << entry.Name;
  }
  EXPECT_FALSE(LoadShlwapi({}));
}

TEST_F(PathBindingTest, NeverCalledFunctionStillRequired) {
  ASSERT_TRUE(LoadShlwapi());
  EXPECT_FALSE(LoadShlwapi(TableWithout("StrFormatByteSizeW")));
  EXPECT_FALSE(ShlwapiLoaded());
}

// A stand-in that says no file exists, bound in place of the real one.
bool NothingExists(std::u16string_view) { return false; }

TEST_F(PathBindingTest, DataFilesCallThroughTheBinding) {
  TScratchFolder dir;
  ::setenv("XDG_DATA_HOME", dir.Path.c_str(), 1);
  TZelto core;
  ASSERT_EQ(core.SaveSensor(u"Probe", SensorInfo{}, false), TZelto::ssrSaved);
  SensorInfo sensor;
  EXPECT_TRUE(core.LoadSensor(u"Probe", sensor));

  auto table = TableWithout("");
  std::replace_if(
      table.begin(), table.end(), [](const auto& e) { return e.Name == "PathFileExistsW"; },
      rtl::TPathFunctionExport{"PathFileExistsW", reinterpret_cast<rtl::TAnyFunction>(&NothingExists)});
  ASSERT_TRUE(LoadShlwapi(table));
  EXPECT_FALSE(core.LoadSensor(u"Probe", sensor));
  EXPECT_FALSE(core.DeleteSensor(u"Probe"));
  FreeShlwapi();
  EXPECT_TRUE(core.DeleteSensor(u"Probe"));
}

}  // namespace
