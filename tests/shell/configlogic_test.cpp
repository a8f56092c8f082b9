// The set-up dialog's rules without its window: lists, read-outs, enabling,
// the rotor-divisions field, the rotor summary and the control-mass
// suggestion, and the settings taken over on OK.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "configlogic.h"
#include "sensorlist.h"
#include "setupservices.h"
#include "shelltestsupport.h"
#include "textconv.h"

namespace {

using shelltest::TTempFolder;

TEST(BufferLengths, HalvedFromTheMemorySizeDownTo512) {
  std::vector<int32_t> lengths;
  for (const TBufferItem& item : BufferLengthItems(16384, false, 4096)) lengths.push_back(item.Length);
  EXPECT_EQ(lengths, (std::vector<int32_t>{16384, 8192, 4096, 2048, 1024, 512}));
  const std::vector<TBufferItem> odd = BufferLengthItems(1000, false, 1000);
  ASSERT_EQ(odd.size(), 1u);
  EXPECT_EQ(odd[0].Length, 1000);
  EXPECT_TRUE(BufferLengthItems(300, false, 300).empty());
  EXPECT_EQ(BufferItemIndex(BufferLengthItems(16384, false, 0), 2048), 3);
  EXPECT_EQ(BufferItemIndex(BufferLengthItems(16384, false, 0), 3000), -1);
}

TEST(BufferLengths, ADeviceCapturingItsWholeMemoryOffersOnlyTheCurrentLength) {
  const std::vector<TBufferItem> items = BufferLengthItems(16384, true, 4096);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].Length, 4096);
  EXPECT_FALSE(items[0].HasValue);
  EXPECT_EQ(BufferItemIndex(items, 4096), -1);
}

int32_t FakeItems(int32_t selector) {
  if (selector == 0x100) return 3;
  return (selector - 0x200 + 1) * 1000;
}
int32_t ManyItems(int32_t selector) { return selector == 0x100 ? 1 << 30 : 7; }
int32_t NegativeCount(int32_t) { return -5; }

TEST(DriverItems, CountThenEntriesBounded) {
  EXPECT_EQ(DriverItems(FakeItems), (std::vector<int32_t>{1000, 2000, 3000}));
  EXPECT_EQ(DriverItems(ManyItems).size(), static_cast<size_t>(MaxDriverItems));
  EXPECT_TRUE(DriverItems(NegativeCount).empty());
  EXPECT_TRUE(DriverItems(nullptr).empty());
  TZelto core;
  core.DriverApi.GetClockItems = FakeItems;
  // Without a loaded library the bound entry is not called.
  EXPECT_TRUE(DriverClockItems(core).empty());
}

TEST(ListTexts, RatesAndInputRangesScaledBySensorGain) {
  EXPECT_EQ(SamplingRateTexts({10000, 500}), (std::vector<std::u16string>{u"10 kHz", u"500 Hz"}));
  EXPECT_EQ(InputRangeTexts({100, 1000}, 2), (std::vector<std::u16string>{u"200 mV", u"2 V"}));
  EXPECT_EQ(InputRangeTexts({100, 1000}, 0), (std::vector<std::u16string>{u"0 V", u"0 V"}));
}

TEST(SamplingInfo, SpeedRangeAndDuration) {
  TSamplingInfo info = SamplingInfo(10000, 4096, 10, 1);
  EXPECT_EQ(info.SpeedRange, u"4,883 Hz - 2,5 kHz");
  EXPECT_EQ(info.Duration, u"4,096 s");
  info = SamplingInfo(10000, 4096, 1, 0);
  EXPECT_EQ(info.SpeedRange, u"293,0 rpm - 150000 rpm");
  EXPECT_EQ(info.Duration, u"409,6 ms");
  // Without a driver rate there is nothing to show, and nothing divides by 0.
  info = SamplingInfo(0, 4096, 1, 1);
  EXPECT_EQ(info.SpeedRange, u"-");
  EXPECT_EQ(info.Duration, u"-");
  EXPECT_EQ(SamplingInfo(10000, 0, 1, 1).SpeedRange, u"-");
}

TEST(ConfigEnabling, AMeasuredRunLocksWhatWouldInvalidateIt) {
  TConfigEnabling fresh = ConfigEnabling(true, true, false, false, 0);
  EXPECT_EQ(fresh, (TConfigEnabling{true, true, true, true, false, true, true, true}));
  TConfigEnabling measured = ConfigEnabling(false, true, false, false, 0);
  EXPECT_EQ(measured, (TConfigEnabling{false, false, false, false, false, false, false, true}));
  // The amplitude-only method: its options on, the control mass and the
  // mass splitting off.
  TConfigEnabling head = ConfigEnabling(true, true, true, false, 0);
  EXPECT_EQ(head, (TConfigEnabling{true, true, true, true, true, false, false, false}));
  EXPECT_FALSE(ConfigEnabling(true, false, false, false, 0).BalancingHead);
  EXPECT_FALSE(ConfigEnabling(true, true, false, true, 0).BalancingHead);
  // An ISO rotor fixes the unit to grams.
  EXPECT_FALSE(ConfigEnabling(true, true, false, false, 4).CtrlMassUnit);
}

TEST(RotorDivisions, DigitsOnlyAndClampedWhenLeft) {
  std::u16string typed;
  for (char16_t key : std::u16string(u"1a\b2x")) {
    if (RotorDivsKey(key)) typed += key;
  }
  EXPECT_EQ(typed, u"12");
  char16_t escape = 27;
  EXPECT_TRUE(RotorDivsKey(escape));
  EXPECT_EQ(ClampRotorDivs(u"2"), u"3");
  EXPECT_EQ(ClampRotorDivs(u"40"), u"32");
  EXPECT_EQ(ClampRotorDivs(u"12"), u"12");
  EXPECT_EQ(ClampRotorDivs(u""), u"");
  EXPECT_EQ(ClampRotorDivs(u"99999999999999"), u"32");
  EXPECT_EQ(ClampRotorDivs(u"-"), u"3");
}

RotorDefinition Rotor(uint8_t type) {
  RotorDefinition r;
  r.Type = type;
  r.ClassIndex = 7;  // G 6.3
  r.m = 100;
  r.f = 50;
  r.dA = 500;
  r.dB = 250;
  r.a = 100;
  r.b = 800;
  r.l = 1000;
  return r;
}

TEST(SuggestedControlMass, HalfThePlaneUnbalanceOverItsDiameter) {
  EXPECT_FALSE(SuggestedControlMass(Rotor(0), false).has_value());
  ASSERT_TRUE(SuggestedControlMass(Rotor(4), false).has_value());
  EXPECT_NEAR(*SuggestedControlMass(Rotor(4), false), 0.5 * 2005.35228 / 500, 1e-6);
  // Two planes: the smaller of the two planes' suggestions.
  EXPECT_NEAR(*SuggestedControlMass(Rotor(1), true), 0.5 * 1002.67614 / 500, 1e-6);
  RotorDefinition noDiameter = Rotor(4);
  noDiameter.dA = 0;
  EXPECT_FALSE(SuggestedControlMass(noDiameter, false).has_value());
}

TEST(RotorSummary, PermissibleAndSpecificUnbalancePerPlane) {
  EXPECT_FALSE(RotorSummary(Rotor(0), true).Shown);
  TRotorSummary one = RotorSummary(Rotor(4), false);
  EXPECT_TRUE(one.Shown);
  EXPECT_FALSE(one.PlaneB);
  EXPECT_EQ(one.UnbalanceA, u"2005 [g mm]");
  EXPECT_EQ(one.SpecificA, u"20,05 [(g mm)/kg]");
  TRotorSummary two = RotorSummary(Rotor(1), true);
  EXPECT_TRUE(two.PlaneB);
  EXPECT_EQ(two.UnbalanceB, u"1003 [g mm]");
  EXPECT_EQ(two.SpecificB, u"10,03 [(g mm)/kg]");
  RotorDefinition massless = Rotor(4);
  massless.m = 0;
  EXPECT_EQ(RotorSummary(massless, false).SpecificA, u"0 [(g mm)/kg]");
}

TEST(EightBitText, WindowsCodePageCutToTheField) {
  EXPECT_EQ(EightBitText(u"Plant \u00e9", 29), "Plant \xc3\xa9");
  EXPECT_EQ(EightBitText(u"\u4e2d", 29), "?");
  EXPECT_EQ(EightBitText(std::u16string(40, u'x'), 29), std::string(29, 'x'));
}

// The workspace, recording what the dialog asked of it.
class TRecordingServices : public TSetupServices {
 public:
  int SetupPage() const override { return Page; }
  void SetSetupPage(int page) override { Page = page; }
  void NewSession() override { Calls.push_back("NewSession"); }
  void RefreshResults() override { Calls.push_back("RefreshResults"); }
  void RefreshViews() override { Calls.push_back("RefreshViews"); }
  int Page = 0;
  std::vector<std::string> Calls;
};

class ApplySettingsTest : public testing::Test {
 protected:
  void SetUp() override {
    core.AppDataDir = folder.PathW() + u"/";
    core.AutoSessionFile = core.AppDataDir + u"!session.daqsession";
    core.AutoDataFile = core.AppDataDir + u"!session.daqdata";
  }
  TTempFolder folder;
  TZelto core;
  TRecordingServices services;
};

TEST_F(ApplySettingsTest, UnchangedSettingsKeepTheRunsAndRefreshTheWorkspace) {
  core.BalancingStep = 2;
  core.HighestStep = 2;
  core.Readings = 4;
  core.Results[0].Valid = 1;
  ApplySettings(core, SettingsFromCore(core), &services);
  EXPECT_EQ(core.BalancingStep, 2);
  EXPECT_EQ(core.Results[0].Valid, 1);
  EXPECT_EQ(core.Readings, 4);
  EXPECT_EQ(services.Calls, (std::vector<std::string>{"RefreshResults", "RefreshViews"}));
  // The automatic session was saved.
  EXPECT_FALSE(shelltest::ReadBytes(rtl::Utf16ToUtf8(core.AutoSessionFile)).empty());
}

TEST_F(ApplySettingsTest, ANewBufferLengthDiscardsTheRuns) {
  core.BalancingStep = 2;
  core.HighestStep = 2;
  core.Results[0].Valid = 1;
  TConfigSettings s = SettingsFromCore(core);
  s.BuffLength = core.BuffLength / 2;
  ApplySettings(core, s, &services);
  EXPECT_EQ(core.BuffLength, s.BuffLength);
  EXPECT_EQ(core.BalancingStep, 0);
  EXPECT_EQ(core.HighestStep, 0);
  EXPECT_EQ(core.Results[0].Valid, 0);
}

TEST_F(ApplySettingsTest, AnotherPlaneCountStartsANewSessionWithoutAsking) {
  core.Type = 0;
  TConfigSettings s = SettingsFromCore(core);
  s.OnePlane = false;
  ApplySettings(core, s, &services);
  EXPECT_EQ(core.Type, 1);
  EXPECT_EQ(services.Calls, (std::vector<std::string>{"NewSession", "RefreshResults", "RefreshViews"}));
}

TEST_F(ApplySettingsTest, OnlyAnotherAveragingCountRestartsTheAveraging) {
  core.AvgSize = 3;
  core.Readings = 2;
  TConfigSettings s = SettingsFromCore(core);
  EXPECT_EQ(s.AveragingIndex, 2);
  s.AveragingIndex = 9;
  ApplySettings(core, s, nullptr);
  EXPECT_EQ(core.AvgSize, 10);
  EXPECT_EQ(core.Readings, 0);
}

TEST_F(ApplySettingsTest, ValuesAreStoredInTheCoresUnits) {
  TConfigSettings s = SettingsFromCore(core);
  s.SpeedTolerance = 3;  // "5%"
  s.CtrlMassValue = 12.5;
  s.CtrlMassUnit = u"grams!!";
  s.RotorDivs = u"40";
  s.DivideMass = true;
  s.GwbEnabled = true;
  s.GwbMode = 0;
  s.GwbShift = 30;
  s.SessionTexts[0] = std::u16string(35, u'L');
  s.SessionTexts[4] = u"Fan \u4e2d";
  s.Date = {2024, 5, 17};
  s.AmplDisplayMode = 2;
  s.SpeedHz = false;
  s.VibValueType = 2;
  s.Owner = u"Workshop\nHall 3";
  s.GainA = 3;
  s.GainB = -1;  // an empty list leaves the core's gain
  core.GainB = 2;
  ApplySettings(core, s, nullptr);
  EXPECT_EQ(core.SpeedTolerance, 3);
  EXPECT_EQ(core.CtrlMass.Value, 12.5);
  EXPECT_EQ(core.CtrlMass.Unit, "grams!");
  EXPECT_EQ(core.RotorDivCount, 32);
  EXPECT_EQ(core.DivideMass, 1);
  EXPECT_EQ(core.GWB.Enabled, 1);
  EXPECT_EQ(core.GWB.Mode, 0);
  EXPECT_EQ(core.GWB.Shift, 30);
  EXPECT_EQ(core.Session.Location, std::string(29, 'L'));
  EXPECT_EQ(core.Session.Object, "Fan ?");
  EXPECT_EQ(core.Session.Date.Year, 2024);
  EXPECT_EQ(core.Session.Date.Day, 17);
  EXPECT_EQ(core.AmplDisplayMode, 2);
  EXPECT_EQ(core.SpeedDisplayMode, 0);
  EXPECT_EQ(core.VibValueType, 2);
  EXPECT_EQ(core.Owner, u"Workshop\nHall 3");
  EXPECT_EQ(core.GainA, 3);
  EXPECT_EQ(core.GainB, 2);
}

TEST_F(ApplySettingsTest, AnEmptyDivisionFieldStoresThreeAndSplitsNothing) {
  TConfigSettings s = SettingsFromCore(core);
  s.DivideMass = true;
  s.RotorDivs.clear();
  s.GwbMode = -1;  // neither option checked keeps the mode
  core.GWB.Mode = 1;
  ApplySettings(core, s, nullptr);
  EXPECT_EQ(core.RotorDivCount, 3);
  EXPECT_EQ(core.DivideMass, 0);
  EXPECT_EQ(core.GWB.Mode, 1);
}

TEST_F(ApplySettingsTest, ChosenSensorsReachTheChannelsUnderTheirNames) {
  SensorInfo probe;
  probe.Name = u"Inside";  // differs from the file name
  probe.Sensitivity = 100;
  probe.InputGain = 2;
  ASSERT_EQ(core.SaveSensor(u"Probe", probe, true), TZelto::ssrSaved);
  ApplySensorChoice(core, u"Probe", u"Gone");
  EXPECT_EQ(core.VibSensorA.Name, u"Probe");
  EXPECT_EQ(core.VibSensorA.Sensitivity, 100);
  EXPECT_EQ(core.VibSensorA.InputGain, 2);
  EXPECT_EQ(core.VibSensorB.Name, u"");
  EXPECT_EQ(core.VibSensorB.Sensitivity, 0);
  EXPECT_EQ(core.VibSensorB.InputGain, 0);
  ApplySensorChoice(core, u"", u"Probe");
  EXPECT_EQ(core.VibSensorA.Sensitivity, 0);
  EXPECT_EQ(core.VibSensorB.Sensitivity, 100);
}

TEST(SettingsFromCore, ListPositionsStayInsideTheirLists) {
  TZelto core;
  core.AvgSize = 0;
  core.SpeedTolerance = 9;
  core.VibValueType = 7;
  core.AmplDisplayMode = 5;
  const TConfigSettings s = SettingsFromCore(core);
  EXPECT_EQ(s.AveragingIndex, 0);
  EXPECT_EQ(s.SpeedTolerance, 4);
  EXPECT_EQ(s.VibValueType, 2);
  EXPECT_EQ(s.AmplDisplayMode, 3);
  EXPECT_EQ(s.RotorDivs, u"6");
  EXPECT_EQ(s.CtrlMassUnit, u"g");
}

}  // namespace
