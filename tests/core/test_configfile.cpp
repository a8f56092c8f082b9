#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>

#include "scratchfolder.h"
#include "zelto.h"

namespace {

namespace fs = std::filesystem;

constexpr std::u16string_view Header = u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n";

class ConfigFileTest : public ::testing::Test {
 protected:
  ConfigFileTest() {
    ::setenv("XDG_DATA_HOME", Dir.Path.c_str(), 1);
    Core = std::make_unique<TZelto>();
  }
  fs::path ConfigPath() const { return Dir.Path / "Orvanteq" / "Kalvenor" / "Kalvenor.ini"; }
  void WriteConfig(std::u16string_view text) {
    WriteBytes(ConfigPath(), Utf16LeBytes(std::u16string(u"\uFEFF").append(text)));
  }
  std::u16string ConfigText() const { return Utf16LeText(ReadBytes(ConfigPath())); }
  // Values unlike every default, to see what a load replaces.
  void SetNonDefaults() {
    Core->Language = u"previous.xml";
    Core->AmplDisplayMode = 3;
    Core->AmplDispModeOscmV = 0;
    Core->VibValueType = 0;
    Core->Owner = u"Previous owner";
    Core->WorkColors[wcWorkText1] = 0x123456;
  }

  TScratchFolder Dir;
  std::unique_ptr<TZelto> Core;
};

TEST_F(ConfigFileTest, MissingFileGivesEveryDefault) {
  SetNonDefaults();
  Core->LoadConfig();
  EXPECT_EQ(Core->Language, u"");
  EXPECT_EQ(Core->AmplDisplayMode, 1);
  EXPECT_EQ(Core->AmplDispModeOscmV, 1);
  EXPECT_EQ(Core->VibValueType, 1);
  EXPECT_EQ(Core->WorkColors, DefaultWorkColors);
  // The owner is taken only from a non-empty value.
  EXPECT_EQ(Core->Owner, u"Previous owner");
  EXPECT_FALSE(fs::exists(ConfigPath()));
}

TEST_F(ConfigFileTest, ColoursComeFromTheirKeys) {
  WriteConfig(u"<ConfigFile><Colors> <WorkText1 value = \"ff\"/> <WorkGWBC value = \"ff00ff00\"/></Colors></ConfigFile>");
  Core->LoadConfig();
  auto expected = DefaultWorkColors;
  expected[5] = 0x0000FF;
  // Only the three colour bytes are kept.
  expected[17] = 0x00FF00;
  EXPECT_EQ(Core->WorkColors, expected);
}

TEST_F(ConfigFileTest, DisplayModesOutOfRangeFallBack) {
  const struct {
    std::u16string_view Ampl, Osc, Vib;
    uint8_t ExpectedAmpl, ExpectedOsc, ExpectedVib;
  } cases[] = {
      {u"3", u"0", u"2", 3, 0, 2},
      {u"0", u"5", u"0", 0, 1, 0},
      {u"4", u"1", u"3", 1, 1, 1},
      {u"ffffffff", u"0", u"101", 1, 0, 1},
  };
  for (const auto& c : cases) {
    WriteConfig(u"<ConfigFile><Config> <AmplDisplayMode value = \"" + std::u16string(c.Ampl) +
                u"\"/> <AmplDispModeOscmV value = \"" + std::u16string(c.Osc) +
                u"\"/> <VibValueType value = \"" + std::u16string(c.Vib) + u"\"/></Config></ConfigFile>");
    Core->LoadConfig();
    EXPECT_EQ(Core->AmplDisplayMode, c.ExpectedAmpl) << rtl::Utf16ToUtf8(c.Ampl);
    EXPECT_EQ(Core->AmplDispModeOscmV, c.ExpectedOsc) << rtl::Utf16ToUtf8(c.Osc);
    EXPECT_EQ(Core->VibValueType, c.ExpectedVib) << rtl::Utf16ToUtf8(c.Vib);
  }
}

TEST_F(ConfigFileTest, DamagedFileIsNeitherReadNorWritten) {
  const std::u16string damaged = u"<ConfigFile><Config> <AmplDisplayMode value = \"2\"/></Config>";
  WriteConfig(damaged);
  const std::string before = ReadBytes(ConfigPath());
  SetNonDefaults();
  Core->LoadConfig();
  EXPECT_EQ(Core->AmplDisplayMode, 3);
  EXPECT_EQ(Core->Language, u"previous.xml");
  EXPECT_FALSE(Core->SaveConfig());
  EXPECT_EQ(ReadBytes(ConfigPath()), before);
}

TEST_F(ConfigFileTest, NewFileHoldsTheFiveKeysInOrder) {
  Core->Language = u"/opt/zelto/Language/English.xml";
  Core->AmplDisplayMode = 2;
  ASSERT_TRUE(Core->SaveConfig());
  EXPECT_EQ(ConfigText(), std::u16string(Header) +
                              u"<ConfigFile>\r\n<Config>\r\n"
                              u" <Language value = \"/opt/zelto/Language/English.xml\"/>\r\n"
                              u" <AmplDisplayMode value = \"2\"/>\r\n"
                              u" <AmplDispModeOscmV value = \"1\"/>\r\n"
                              u" <VibValueType value = \"1\"/>\r\n"
                              u" <Owner value = \"\"/>\r\n"
                              u"</Config>\r\n</ConfigFile>");
}

TEST_F(ConfigFileTest, ExistingFileKeepsItsSectionsAndOrder) {
  WriteConfig(u"<ConfigFile><Colors> <WorkBack value = \"ff\"/></Colors>"
              u"<Config> <Owner value = \"Old\"/> <Extra value = \"1\"/></Config></ConfigFile>");
  Core->LoadConfig();
  EXPECT_EQ(Core->Owner, u"Old");
  Core->Owner = u"New";
  ASSERT_TRUE(Core->SaveConfig());
  EXPECT_EQ(ConfigText(), std::u16string(Header) +
                              u"<ConfigFile>\r\n<Colors>\r\n <WorkBack value = \"ff\"/>\r\n</Colors>\r\n"
                              u"<Config>\r\n <Owner value = \"New\"/>\r\n <Extra value = \"1\"/>\r\n"
                              u" <Language value = \"\"/>\r\n <AmplDisplayMode value = \"1\"/>\r\n"
                              u" <AmplDispModeOscmV value = \"1\"/>\r\n <VibValueType value = \"1\"/>\r\n"
                              u"</Config>\r\n</ConfigFile>");
}

TEST_F(ConfigFileTest, SettingsRoundTrip) {
  Core->Language = u"/home/jürgen/Sprache/Deutsch.xml";
  Core->Owner = u"Smith & \"Sons\" <Ltd>";
  Core->AmplDisplayMode = 0;
  Core->AmplDispModeOscmV = 0;
  Core->VibValueType = 2;
  ASSERT_TRUE(Core->SaveConfig());
  Core.reset();
  TZelto restored;
  restored.LoadConfig();
  EXPECT_EQ(restored.Language, u"/home/jürgen/Sprache/Deutsch.xml");
  EXPECT_EQ(restored.Owner, u"Smith & \"Sons\" <Ltd>");
  EXPECT_EQ(restored.AmplDisplayMode, 0);
  EXPECT_EQ(restored.AmplDispModeOscmV, 0);
  EXPECT_EQ(restored.VibValueType, 2);
}

TEST_F(ConfigFileTest, FailedSaveIsReported) {
  fs::create_directory(ConfigPath());
  EXPECT_FALSE(Core->SaveConfig());
  Core->AppDataDir.clear();
  EXPECT_FALSE(Core->SaveConfig());
}

}  // namespace
