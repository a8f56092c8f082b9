// Confirming a dialog without a single edit never rewrites a stored value:
// the set-up dialog (every page looked at, the rotor dialog confirmed from
// it) and the sensor editor, opened over records with texts longer than
// their fields take and numbers of 17 significant digits, leave the
// configuration, session and sensor files byte for byte as they were.
#include <gtest/gtest.h>

#include <bit>
#include <string>

#include "bitmapbutton.h"
#include "dialogtestsupport.h"
#include "formconfig.h"
#include "formeditsensor.h"
#include "formrotordef.h"
#include "listbox.h"
#include "memo.h"
#include "setupservices.h"
#include "textconv.h"

namespace {

using shelltest::ReadBytes;
using shelltest::WhileOpen;

class TQuietServices : public TSetupServices {
 public:
  int SetupPage() const override { return 0; }
  void SetSetupPage(int) override {}
  void NewSession() override { ++NewSessions; }
  void RefreshResults() override {}
  void RefreshViews() override {}
  int NewSessions = 0;
};

// Bit for bit: 0.1 + 0.2 and 0.3 are different doubles.
void ExpectSame(double actual, double expected, const char* what) {
  EXPECT_EQ(std::bit_cast<uint64_t>(actual), std::bit_cast<uint64_t>(expected)) << what;
}

constexpr double Long17 = 1234.5678901234567;  // 17 significant digits

class UntouchedOK : public testing::Test {
 protected:
  void SetUp() override {
    core.RamSize = 16384;
    core.BuffLength = 4096;
    SetText(core.DeviceVer, u"1.0");
    core.SamplingRate = 2;
    core.GainA = core.GainB = 1;
    core.Type = 1;
    core.SpeedDisplayMode = 0;  // the rotor's speed shows in rpm
    core.CtrlMass = {Long17, "grammes"};  // the unit field takes 6 characters
    core.GWB = {0, 1, 45.678};            // shown in whole degrees
    core.RotorDivCount = 40;              // beyond the field's 3..32
    core.DivideMass = 1;
    core.Rotor = {3, 123.45678901234567, 800.123456789, 1234.5678901234567, 1, 98.765432109876543,
                  500.00000000000011, 399.99999999999994, 0.1 + 0.2, 49.999999999999993, 6};
    core.Session = {{2024, 6, 1},
                    "Hall 2 north, bay 12 / pit 4A",
                    "Jane Roe-Richardson Smithfield",
                    "Acme Power & Light Generation",
                    "Induced draught fan unit 7b",
                    "Impeller, drive end, stage 3"};
    core.Owner = std::u16string(600, u'x') + u"\r\nField service";
    core.Language = u"English.xml";
    SensorInfo a{u"LongAcc", 0.0123456789, stAcceleration, 0.5, 12345678901, 1.2345678901234567, 1,
                 123.45678901234567, -0.000123456789};
    SensorInfo b{u"Vel", 98.765432109876543, stVelocity, 2, 1000, 10, 0, 0, 0};
    ASSERT_EQ(core.SaveSensor(a.Name, a, false), TZelto::ssrSaved);
    ASSERT_EQ(core.SaveSensor(b.Name, b, false), TZelto::ssrSaved);
    ASSERT_TRUE(core.LoadSensor(a.Name, core.VibSensorA));
    ASSERT_TRUE(core.LoadSensor(b.Name, core.VibSensorB));
  }

  // The configuration and the automatic session pair as the program writes
  // them now.
  std::string Files() {
    EXPECT_TRUE(core.SaveConfig());
    EXPECT_EQ(core.SaveSession(), TZelto::sfrDone);
    const std::string folder = rtl::Utf16ToUtf8(core.AppDataDir);
    return ReadBytes(folder + "Kalvenor.ini") + "\n--\n" + ReadBytes(rtl::Utf16ToUtf8(core.AutoSessionFile)) +
           "\n--\n" + ReadBytes(rtl::Utf16ToUtf8(core.AutoDataFile));
  }

  shelltest::TDialogCore data;
  TZelto& core = data.Core();
};

TEST_F(UntouchedOK, SetupDialogOnEveryPageAndTheRotorDialogChangeNothing) {
  const RotorDefinition rotor = core.Rotor;
  const std::string before = Files();
  TQuietServices services;
  TfConfig dialog(nullptr, &services, false);
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, WhileOpen([](gui::TForm& form) {
    auto& d = static_cast<TfConfig&>(form);
    // The fields show the whole stored texts and numbers; with an ISO
    // rotor the control mass is in grams.
    EXPECT_EQ(d.eCtrlMassUnit->Text(), u"g");
    EXPECT_GE(d.reOwner->Text().size(), 614u);
    for (int page = 0; page < ConfigPageCount; ++page) {
      d.lbMenu->SetItemIndex(page);
      d.lbClick(d.lbMenu);
    }
    d.lbMenu->SetItemIndex(cpRotor);
    d.lbClick(d.lbMenu);
    d.bChangeRotorParamsClick(d.bChangeRotorParams);
    d.bOKClick(d.bOK);
  }));
  script.ExpectAction(gui::dkModalForm, WhileOpen([](gui::TForm& form) {
    auto& r = static_cast<TfRotorDef&>(form);
    EXPECT_EQ(r.eDimensionL->Text(), u"1234,56789012346");
    r.bOKClick(r.bOK);
  }));
  dialog.ShowModal();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  ASSERT_EQ(dialog.CloseResult, ConfigOK);
  EXPECT_EQ(services.NewSessions, 0);

  ExpectSame(core.CtrlMass.Value, Long17, "control mass");
  EXPECT_EQ(core.CtrlMass.Unit, "grammes");
  ExpectSame(core.GWB.Shift, 45.678, "shift");
  EXPECT_EQ(core.RotorDivCount, 40);
  EXPECT_EQ(core.DivideMass, 1);
  ExpectSame(core.Rotor.b, rotor.b, "b");
  ExpectSame(core.Rotor.m, rotor.m, "m");
  ExpectSame(core.Rotor.f, rotor.f, "f");
  EXPECT_EQ(core.Owner.size(), 615u);
  EXPECT_EQ(Files(), before);
}

// In memory the control mass keeps even a value the session file can't
// tell from its rounding (0.1 + 0.2 is shown "0,3").
TEST_F(UntouchedOK, SetupDialogKeepsAControlMassItShowsRounded) {
  core.CtrlMass.Value = 0.1 + 0.2;
  TfConfig dialog(nullptr, nullptr, true);
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, WhileOpen([](gui::TForm& form) {
    auto& d = static_cast<TfConfig&>(form);
    EXPECT_EQ(d.eCtrlMassValue->Text(), u"0,3");
    d.bOKClick(d.bOK);
  }));
  dialog.ShowModal();
  ASSERT_EQ(dialog.CloseResult, ConfigOK);
  ExpectSame(core.CtrlMass.Value, 0.1 + 0.2, "control mass");
}

// What the user types still counts: a retyped control mass and a unit
// typed over the long one are taken as typed, within the field's limit.
TEST_F(UntouchedOK, SetupDialogTakesWhatTheUserTyped) {
  TfConfig dialog(nullptr, nullptr, true);
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, WhileOpen([](gui::TForm& form) {
    auto& d = static_cast<TfConfig&>(form);
    d.eCtrlMassValue->SetText(u"");
    shelltest::TypeInto(d, *d.eCtrlMassValue, u"0,3");
    d.eInfo[0]->SetText(u"");
    shelltest::TypeInto(d, *d.eInfo[0], u"Hall 3");
    d.bOKClick(d.bOK);
  }));
  dialog.ShowModal();
  ASSERT_EQ(dialog.CloseResult, ConfigOK);
  ExpectSame(core.CtrlMass.Value, 0.3, "control mass");
  EXPECT_EQ(core.Session.Location, "Hall 3");
  EXPECT_EQ(core.Session.Operator, "Jane Roe-Richardson Smithfield");
}

// Without an ISO rotor the unit field shows the stored unit whole, though
// it takes only 6 typed characters; untouched it keeps all 7.
TEST_F(UntouchedOK, TheUnitFieldBoundsTypingNotTheStoredUnit) {
  core.Rotor = {};
  for (const bool retype : {false, true}) {
    TfConfig dialog(nullptr, nullptr, true);
    gui::TAnswerScript script;
    script.ExpectAction(gui::dkModalForm, WhileOpen([retype](gui::TForm& form) {
      auto& d = static_cast<TfConfig&>(form);
      EXPECT_EQ(d.eCtrlMassUnit->Text(), u"grammes");
      if (retype) {
        d.eCtrlMassUnit->SetText(u"");
        shelltest::TypeInto(d, *d.eCtrlMassUnit, u"kilograms");
        EXPECT_EQ(d.eCtrlMassUnit->Text(), u"kilogr");
      }
      d.bOKClick(d.bOK);
    }));
    dialog.ShowModal();
    ASSERT_EQ(dialog.CloseResult, ConfigOK);
    EXPECT_EQ(core.CtrlMass.Unit, retype ? "kilogr" : "grammes");
    if (retype) core.CtrlMass.Unit = "grammes";
  }
}

TEST_F(UntouchedOK, SensorEditorRewritesTheSameFile) {
  for (const std::u16string name : {u"LongAcc", u"Vel"}) {
    const std::string file = data.SensorFile(rtl::Utf16ToUtf8(name));
    const std::string before = ReadBytes(file);
    ASSERT_FALSE(before.empty());
    TfEditSensor editor(nullptr);
    editor.AddMode = 0;
    editor.EditName = name;
    gui::TAnswerScript script;
    script.ExpectAction(gui::dkModalForm, WhileOpen([](gui::TForm& form) {
      auto& e = static_cast<TfEditSensor&>(form);
      e.bOKClick(e.bOK);
    }));
    editor.ShowModal();
    ASSERT_EQ(editor.EditResult, 1);
    EXPECT_EQ(ReadBytes(file), before) << rtl::Utf16ToUtf8(name);
  }
  SensorInfo stored;
  ASSERT_TRUE(core.LoadSensor(u"LongAcc", stored));
  ExpectSame(stored.RangeHigh, 12345678901, "range high");
  ExpectSame(stored.Sensitivity, 0.0123456789, "sensitivity");
}

}  // namespace
