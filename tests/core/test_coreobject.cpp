#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "events.h"
#include "scratchfolder.h"
#include "textconv.h"
#include "zelto.h"

namespace {

namespace fs = std::filesystem;

// Points the per-user data folder at a fresh scratch folder for one test.
class TDataFolder {
 public:
  TDataFolder() {
    if (const char* old = std::getenv("XDG_DATA_HOME")) Saved = old;
    setenv("XDG_DATA_HOME", Path().c_str(), 1);
  }
  ~TDataFolder() {
    if (Saved) setenv("XDG_DATA_HOME", Saved->c_str(), 1);
    else unsetenv("XDG_DATA_HOME");
  }
  std::string Path() const { return Scratch.Path.string(); }

 private:
  TScratchFolder Scratch;
  std::optional<std::string> Saved;
};

TEST(CoreObject, FreshCoreHasNoRunsAndADevice) {
  TDataFolder data;
  TZelto core;
  EXPECT_EQ(core.DeviceReady, 1);
  EXPECT_TRUE(TextOf(core.DeviceDescr).empty());
  EXPECT_TRUE(TextOf(core.DeviceSN).empty());
  EXPECT_TRUE(TextOf(core.DeviceVer).empty());
  EXPECT_EQ(core.DriverModule, nullptr);
  EXPECT_EQ(core.BalancingStep, 0);
  EXPECT_EQ(core.HighestStep, 0);
  EXPECT_EQ(core.Readings, 0);
  EXPECT_EQ(core.Measuring.load(), 0);
  EXPECT_EQ(core.AcquisitionState.load(), asIdle);
  for (int run = 0; run < RunCount; ++run) {
    EXPECT_EQ(core.Results[run].Valid, 0);
    EXPECT_EQ(core.Results[run].NotComputable, 0);
    EXPECT_TRUE(core.Captures[run].DataA.empty());
    EXPECT_TRUE(core.Captures[run].DataB.empty());
  }
  EXPECT_TRUE(core.SignalA.empty());
  EXPECT_TRUE(core.LiveDataA.empty());
  EXPECT_TRUE(core.SpectrumA.empty());
}

// A missing or damaged configuration or session must not leave black
// colours, an averaging size of 0 or a control mass of 0.
TEST(CoreObject, SettingsStartAtTheFileDefaults) {
  TDataFolder data;
  TZelto core;
  EXPECT_EQ(core.AvgSize, 1);
  EXPECT_EQ(core.BuffLength, core.RamSize);
  EXPECT_GT(core.BuffLength, 0);
  EXPECT_EQ(core.SamplingRate, 3);
  EXPECT_EQ(core.GainA, 1);
  EXPECT_EQ(core.GainB, 1);
  EXPECT_DOUBLE_EQ(core.CtrlMass.Value, 1.0);
  EXPECT_EQ(core.CtrlMass.Unit, "g");
  EXPECT_EQ(core.MassAdd, 1);
  EXPECT_EQ(core.SpeedTolerance, 2);
  EXPECT_EQ(core.RotorDivCount, 6);
  EXPECT_EQ(core.Rotor.ClassIndex, 8);
  EXPECT_EQ(core.GWB.Mode, 1);
  EXPECT_DOUBLE_EQ(core.GWB.Shift, 45.0);
  EXPECT_EQ(core.SpeedDisplayMode, 1);
  EXPECT_EQ(core.AmplDisplayMode, 1);
  EXPECT_EQ(core.AmplDispModeOscmV, 1);
  EXPECT_EQ(core.VibValueType, 1);
  EXPECT_DOUBLE_EQ(core.VibSensorA.InputGain, 1.0);
  EXPECT_EQ(core.WorkColors[wcWorkBack], 0xFFFFFFu);
  EXPECT_EQ(core.WorkColors[wcWorkText1], 0x606060u);
  EXPECT_EQ(core.WorkColors[wcWorkGWBC], 0x466439u);
}

TEST(CoreObject, DataFolderAndAutomaticSessionPair) {
  TDataFolder data;
  TZelto core;
  const std::string appData = rtl::Utf16ToUtf8(core.AppDataDir);
  EXPECT_EQ(appData, data.Path() + "/Orvanteq/Kalvenor/");
  EXPECT_TRUE(fs::is_directory(appData));
  EXPECT_EQ(core.AutoSessionFile, core.AppDataDir + u"!session.daqsession");
  EXPECT_EQ(core.AutoDataFile, core.AppDataDir + u"!session.daqdata");
  const fs::path dir = fs::path(appData).parent_path();
  EXPECT_EQ(dir.filename(), "Kalvenor");
  EXPECT_EQ(dir.parent_path().filename(), "Orvanteq");
}

TEST(CoreObject, ExistingDataFolderIsNoError) {
  TDataFolder data;
  fs::create_directories(data.Path() + "/Orvanteq/Kalvenor");
  TZelto core;
  EXPECT_EQ(rtl::Utf16ToUtf8(core.AppDataDir), data.Path() + "/Orvanteq/Kalvenor/");
}

TEST(CoreObject, ProgramDirIsTheExecutablesFolder) {
  TDataFolder data;
  TZelto core;
  ASSERT_FALSE(core.ProgramDir.empty());
  EXPECT_EQ(core.ProgramDir.back(), u'/');
  const fs::path self = fs::read_symlink("/proc/self/exe");
  EXPECT_EQ(rtl::Utf16ToUtf8(core.ProgramDir), self.parent_path().string() + "/");
}

// The spectrum thread sleeps on this event; a set left by an earlier holder
// of the name must not wake it for a computation nobody asked for.
TEST(CoreObject, SpectrumEventIsNamedAutoResetAndNotSignalled) {
  TDataFolder data;
  auto earlier = rtl::CreateNamedEvent(u"VibCalculateSpectrum", false, true);
  TZelto core;
  ASSERT_TRUE(core.SpectrumEvent);
  EXPECT_EQ(core.SpectrumEvent, rtl::OpenNamedEvent(u"VibCalculateSpectrum"));
  EXPECT_EQ(core.SpectrumEvent->WaitFor(0), rtl::TWaitResult::Timeout);
  core.SpectrumEvent->SetEvent();
  EXPECT_EQ(core.SpectrumEvent->WaitFor(0), rtl::TWaitResult::Signaled);
  EXPECT_EQ(core.SpectrumEvent->WaitFor(0), rtl::TWaitResult::Timeout);
}

TEST(CoreObject, DestructorClearsTheGlobalPointer) {
  TDataFolder data;
  TheCore = new TZelto;
  delete TheCore;
  EXPECT_EQ(TheCore, nullptr);
}

TEST(CoreObject, DeviceTextsAreBoundedAndTerminated) {
  TDeviceText text{};
  SetText(text, std::u16string(300, u'x'));
  EXPECT_EQ(TextOf(text).size(), text.size() - 1);
  SetText(text, u"Kalvenor - DEMO");
  EXPECT_EQ(TextOf(text), u"Kalvenor - DEMO");
  EXPECT_EQ(text[15], u'\0');
}

}  // namespace
