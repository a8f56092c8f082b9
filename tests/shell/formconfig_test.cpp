// The set-up dialog: the start page, the values it shows, the ways out and
// what each of them takes over, the locks after the first run, the plane
// count, the rotor and sensor dialogs, and its number fields.
#include <gtest/gtest.h>

#include <algorithm>

#include "bitmapbutton.h"
#include "checkbox.h"
#include "combobox.h"
#include "dialogs.h"
#include "dialogtestsupport.h"
#include "edit.h"
#include "formatting.h"
#include "formconfig.h"
#include "formmessage.h"
#include "formrotordef.h"
#include "formselectsensor.h"
#include "inputsim.h"
#include "labelex.h"
#include "listbox.h"
#include "memo.h"
#include "panelex.h"
#include "popupmenu.h"
#include "radiobutton.h"
#include "setupservices.h"
#include "textconv.h"

namespace {

using shelltest::PressEnter;
using shelltest::PressEscape;
using shelltest::TypeInto;
using shelltest::WhileOpen;

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

TfConfig& ConfigOf(gui::TForm& form) { return static_cast<TfConfig&>(form); }

void ShowPage(TfConfig& d, TConfigPage page) {
  d.lbMenu->SetItemIndex(page);
  d.lbClick(d.lbMenu);
}

class Config : public testing::Test {
 protected:
  void SetUp() override {
    core.RamSize = 16384;
    core.BuffLength = 4096;
    SetText(core.DeviceVer, u"1.0");
    core.SamplingRate = 2;  // 10 kHz
    data.SaveSensor(u"Acc", 100, 0, 2);
    data.SaveSensor(u"b", 50, 1);
    core.VibSensorA.Name = u"Acc";
  }

  // Shows the dialog and runs `act` while it is open; `more` answers the
  // questions that follow. Returns CloseResult.
  int32_t Show(const std::function<void(TfConfig&)>& act, const std::function<void(gui::TAnswerScript&)>& more = {},
               bool controlMassPage = false) {
    TfConfig dialog(nullptr, &services, controlMassPage);
    gui::TAnswerScript script;
    script.ExpectAction(gui::dkModalForm, WhileOpen([&](gui::TForm& form) { act(ConfigOf(form)); }));
    if (more) more(script);
    dialog.ShowModal();
    EXPECT_TRUE(script.Unexpected().empty());
    EXPECT_EQ(script.Pending(), 0u);
    return dialog.CloseResult;
  }

  shelltest::TDialogCore data;
  TZelto& core = data.Core();
  TRecordingServices services;
};

// The tolerance list shows its numbers with the project's separator, like
// every number on screen.
TEST_F(Config, SpeedToleranceListFollowsTheDecimalSeparator) {
  for (const char16_t separator : {u'.', u','}) {
    DecimalSeparator = separator;
    Show([separator](TfConfig& d) {
      const std::u16string point(1, separator);
      ASSERT_EQ(d.cbSpeedTolerance->Items().Count(), 5);
      EXPECT_EQ(d.cbSpeedTolerance->Items().Strings(0), u"0" + point + u"1%");
      EXPECT_EQ(d.cbSpeedTolerance->Items().Strings(1), u"0" + point + u"5%");
      EXPECT_EQ(d.cbSpeedTolerance->Items().Strings(2), u"1%");
      EXPECT_EQ(d.cbSpeedTolerance->Items().Strings(4), u"10%");
      d.bCancelClick(d.bCancel);
    });
  }
}

TEST_F(Config, ShowsTheCoresSettingsOnTheirPages) {
  core.AvgSize = 10;
  core.SpeedTolerance = 3;
  core.VibValueType = 1;
  core.SpeedDisplayMode = 1;
  core.GainA = 1;
  core.GainB = 2;
  core.VibSensorB.Name = u"Missing";
  core.CtrlMass = {12.5, "g"};
  core.Session.Location = "Hall 3";
  core.Session.Date = {2024, 5, 17};
  core.Owner = u"Workshop";
  services.Page = 3;
  const int32_t result = Show([](TfConfig& d) {
    EXPECT_EQ(d.leCaption->CaptionW(), u"Setup");
    EXPECT_EQ(d.lbMenu->ItemIndex(), cpRotor);
    for (int i = 0; i < ConfigPageCount; ++i) EXPECT_EQ(d.Pages[static_cast<size_t>(i)]->Visible(), i == cpRotor);
    EXPECT_EQ(d.MenuTexts[cpSensors], u"Sensors");
    // Sampling page.
    ASSERT_EQ(d.cbBuffSize->Items().Count(), 6);
    EXPECT_EQ(d.cbBuffSize->ItemIndex(), 2);
    EXPECT_EQ(d.cbBuffSize->Text(), u"4096");
    ASSERT_EQ(d.cbSamplingRate->Items().Count(), shelltest::FakeClockCount);
    EXPECT_EQ(d.cbSamplingRate->Text(), u"10 kHz");
    EXPECT_EQ(d.stSpeedRange->CaptionW(), u"4,883 Hz - 2,5 kHz");
    EXPECT_EQ(d.stMeasDuration->CaptionW(), u"4,096 s");
    EXPECT_EQ(d.cbSpeedTolerance->Text(), u"5%");
    EXPECT_EQ(d.cbAveraging->Items().Count(), 10);
    EXPECT_EQ(d.cbAveraging->Text(), u"10");
    EXPECT_EQ(d.cbZeltoValue->Text(), u"RMS");
    // Input ranges scaled by the sensor's input gain; no sensor reads zero.
    ASSERT_EQ(d.cbGainA->Items().Count(), shelltest::FakeGainCount);
    EXPECT_EQ(d.cbGainA->Items().Strings(0), u"200 mV");
    EXPECT_EQ(d.cbGainA->Items().Strings(2), u"20 V");
    EXPECT_EQ(d.cbGainA->ItemIndex(), 1);
    EXPECT_EQ(d.cbGainB->Items().Strings(1), u"0 V");
    EXPECT_EQ(d.cbGainB->ItemIndex(), 2);
    // Sensor grid: a name without a file leaves the column empty.
    EXPECT_EQ(d.SensorCellText(1, 1), u"Acc");
    EXPECT_EQ(d.SensorCellText(1, 2), u"Acceleration");
    EXPECT_EQ(d.SensorCellText(1, 3), u"100,0 mV/g");
    EXPECT_EQ(d.SensorCellText(1, 6), u"No");
    EXPECT_EQ(d.SensorNameB, u"");
    EXPECT_EQ(d.SensorCellText(2, 1), u"");
    EXPECT_EQ(d.SensorCellText(2, 2), u"");
    EXPECT_EQ(d.eCtrlMassValue->Text(), u"12,5");
    EXPECT_EQ(d.eCtrlMassUnit->Text(), u"g");
    EXPECT_EQ(d.stCtrlMassSugg->CaptionW(), u"-");
    EXPECT_EQ(d.eInfo[0]->Text(), u"Hall 3");
    EXPECT_EQ(d.reOwner->Text(), u"Workshop");
    EXPECT_TRUE(d.rbAcceleration->Checked());
    EXPECT_TRUE(d.rbHz->Checked());
    EXPECT_EQ(d.leName->CaptionW(), u"English");
    EXPECT_FALSE(d.pRotorParams->Visible());
    for (int i = 0; i < ConfigPageCount; ++i) {
      ShowPage(d, static_cast<TConfigPage>(i));
      EXPECT_TRUE(d.SaveScreenshot(shelltest::PicturePath("config_page" + std::to_string(i) + ".png")));
    }
    gui::SimClick(*d.bClose, 5, 5);
  });
  EXPECT_EQ(result, ConfigClosed);
  // The page it closed on is where it opens next.
  EXPECT_EQ(services.Page, cpLanguage);
  EXPECT_TRUE(services.Calls.empty());
}

TEST_F(Config, TheControlMassButtonOpensTheControlMassPage) {
  services.Page = cpUnits;
  Show([](TfConfig& d) {
    EXPECT_EQ(d.lbMenu->ItemIndex(), cpControlMass);
    EXPECT_TRUE(d.peCtrlMass->Visible());
    d.bCancelClick(d.bCancel);
  }, {}, true);
  EXPECT_EQ(services.Page, cpControlMass);
}

TEST_F(Config, LeavingWithoutOKKeepsTheSettingsYetAChosenSensorReachesTheCore) {
  const int32_t expected[] = {ConfigCancel, ConfigCancel, ConfigClosed};
  for (int way = 0; way < 3; ++way) {
    core.AvgSize = 1;
    core.VibSensorA = SensorInfo();
    core.VibSensorA.Name = u"Acc";
    services.Calls.clear();
    const int32_t result = Show(
        [way](TfConfig& d) {
          d.cbAveraging->SetItemIndex(4);
          d.bSelectSensorClick(d.bSelectSensorA);
          EXPECT_EQ(d.SensorNameA, u"b");
          EXPECT_TRUE(d.SensorsChanged);
          EXPECT_EQ(d.SensorCellText(1, 2), u"Velocity");
          if (way == 0) gui::SimClick(*d.bCancel, 5, 5);
          if (way == 1) PressEscape(d);
          if (way == 2) gui::SimClick(*d.bClose, 5, 5);
        },
        [](gui::TAnswerScript& script) {
          script.ExpectAction(gui::dkPopupMenu, [](const gui::TDialogRequest& r) {
            const std::vector<gui::TMenuItemInfo>& items = r.Menu->Items();
            EXPECT_EQ(items.size(), 2u);
            EXPECT_EQ(items[0].Text, u"Acc");
            EXPECT_EQ(items[1].Text, u"b");
            EXPECT_TRUE(items[0].RadioCheck && (items[0].Flags & gui::MF_CHECKED));
            return gui::TDialogAnswer{2, {}};
          });
        });
    EXPECT_EQ(result, expected[way]) << way;
    EXPECT_EQ(core.AvgSize, 1) << way;
    EXPECT_EQ(core.VibSensorA.Name, u"b") << way;
    EXPECT_EQ(core.VibSensorA.Sensitivity, 50) << way;
    EXPECT_TRUE(services.Calls.empty()) << way;
  }
}

// The job's runs are measured with the sensors the job holds: the Sensors
// page shows them and says which this PC's list lacks or holds otherwise,
// and a channel keeps its job's sensor when another channel's is chosen.
TEST_F(Config, TheSensorsPageShowsTheJobsOwnSensors) {
  core.VibSensorA = {u"Acc", 90, stAcceleration, 2, 10000};  // the list's "Acc" has 100 mV/g
  core.VibSensorB = {u"Stored B", 80, stVelocity, 5, 5000};  // not in the list
  const auto unwrapped = [](std::u16string text) {
    std::replace(text.begin(), text.end(), u'\n', u' ');
    return text;
  };
  const std::u16string differs = u"Channel A: " + LangText({u"Forms", u"JobSensorDiffers"}).Text;
  const std::u16string notListed = u"Channel B: " + LangText({u"Forms", u"JobSensorNotListed"}).Text;
  Show(
      [&](TfConfig& d) {
        ShowPage(d, cpSensors);
        EXPECT_EQ(d.SensorCellText(1, 1), u"Acc");
        EXPECT_EQ(d.WorkSensorA.Sensitivity, 90);
        EXPECT_EQ(d.SensorCellText(2, 1), u"Stored B");
        EXPECT_EQ(d.SensorCellText(2, 2), u"Velocity");
        EXPECT_EQ(d.WorkSensorB.Sensitivity, 80);
        EXPECT_EQ(unwrapped(d.leJobSensors->CaptionW()), differs + u" " + notListed);
        EXPECT_TRUE(d.SaveScreenshot(shelltest::PicturePath("config_jobsensors.png")));
        d.bSelectSensorClick(d.bSelectSensorA);
        EXPECT_EQ(d.SensorCellText(1, 1), u"b");
        EXPECT_EQ(d.SensorCellText(2, 1), u"Stored B");
        EXPECT_EQ(unwrapped(d.leJobSensors->CaptionW()), notListed);
        gui::SimClick(*d.bClose, 5, 5);
      },
      [](gui::TAnswerScript& script) { script.Expect(gui::dkPopupMenu, 2); });
  EXPECT_EQ(core.VibSensorA.Name, u"b");
  EXPECT_EQ(core.VibSensorA.Sensitivity, 50);
  EXPECT_EQ(core.VibSensorB.Name, u"Stored B");
  EXPECT_EQ(core.VibSensorB.Sensitivity, 80);
}

TEST_F(Config, EnterMakesALineInTheOwnerTextAndConfirmsElsewhere) {
  const int32_t result = Show([](TfConfig& d) {
    ShowPage(d, cpOwner);
    d.reOwner->SetText(u"");
    TypeInto(d, *d.reOwner, u"Ab");
    PressEnter(d);
    TypeInto(d, *d.reOwner, u"C");
    EXPECT_TRUE(d.Visible());
    EXPECT_EQ(d.reOwner->Text(), u"Ab\nC");
    d.lbMenu->SetFocus();
    PressEnter(d);
  });
  EXPECT_EQ(result, ConfigOK);
  EXPECT_EQ(core.Owner, u"Ab\nC");
  EXPECT_EQ(services.Calls, (std::vector<std::string>{"RefreshResults", "RefreshViews"}));
}

TEST_F(Config, AMeasuredRunLocksThePlanesCaptureSensorsAndMethod) {
  core.HighestStep = 1;
  Show([](TfConfig& d) {
    for (gui::TControl* c : std::initializer_list<gui::TControl*>{
             d.rbOnePlane, d.rbTwoPlanes, d.cbAveraging, d.cbSamplingRate, d.cbBuffSize, d.bSelectSensorA,
             d.bSelectSensorB, d.bSensorBase, d.cbBalancingHead, d.eShiftWeightBy, d.eCtrlMassValue, d.eCtrlMassUnit})
      EXPECT_FALSE(c->Enabled());
    EXPECT_TRUE(d.cbDivideMass->Enabled());
    EXPECT_TRUE(d.cbSpeedTolerance->Enabled());
    EXPECT_TRUE(d.bChangeRotorParams->Enabled());
    d.bCancelClick(d.bCancel);
  });
}

TEST_F(Config, TwoPlanesEraseTheRotorAndTheAmplitudeOnlyMethod) {
  core.Type = 0;
  core.GWB.Enabled = 1;
  core.Rotor = RotorDefinition();
  core.Rotor.Type = 4;
  core.Rotor.ClassIndex = 7;
  core.Rotor.m = 100;
  core.Rotor.f = 50;
  core.Rotor.dA = 500;
  core.CtrlMass.Unit = "oz";
  const int32_t result = Show([](TfConfig& d) {
    EXPECT_TRUE(d.pRotorParams->Visible());
    EXPECT_EQ(d.stMaxUnbalanceA->CaptionW(), u"2005 [g mm]");
    EXPECT_EQ(d.stMaxSpecificUnbalanceA->CaptionW(), u"20,05 [(g mm)/kg]");
    EXPECT_FALSE(d.stMaxUnbalanceB->Visible());
    EXPECT_EQ(d.stCtrlMassSugg->CaptionW(), u"2,005g");
    EXPECT_EQ(d.eCtrlMassUnit->Text(), u"g");
    EXPECT_FALSE(d.eCtrlMassUnit->Enabled());
    EXPECT_TRUE(d.cbBalancingHead->Checked());
    EXPECT_TRUE(d.rbGWBTwoWeights->Enabled());
    EXPECT_FALSE(d.cbDivideMass->Enabled());
    gui::SimClick(*d.tbTwoPlanes, 3, 3);
    EXPECT_TRUE(d.rbTwoPlanes->Checked());
    EXPECT_EQ(d.WorkRotor.Type, 0);
    EXPECT_FALSE(d.pRotorParams->Visible());
    EXPECT_FALSE(d.cbBalancingHead->Checked());
    EXPECT_FALSE(d.cbBalancingHead->Enabled());
    EXPECT_EQ(d.stCtrlMassSugg->CaptionW(), u"-");
    EXPECT_EQ(d.eCtrlMassUnit->Text(), u"oz");
    EXPECT_TRUE(d.eCtrlMassUnit->Enabled());
    d.bOKClick(d.bOK);
  });
  EXPECT_EQ(result, ConfigOK);
  EXPECT_EQ(core.Type, 1);
  EXPECT_EQ(core.Rotor.Type, 0);
  EXPECT_EQ(core.GWB.Enabled, 0);
  EXPECT_EQ(services.Calls, (std::vector<std::string>{"NewSession", "RefreshResults", "RefreshViews"}));
}

TEST_F(Config, TheRotorDialogEditsOnlyTheWorkingCopy) {
  core.Type = 0;
  const int32_t result = Show(
      [](TfConfig& d) {
        ShowPage(d, cpRotor);
        d.bChangeRotorParamsClick(d.bChangeRotorParams);
        EXPECT_EQ(d.WorkRotor.Type, 4);
        EXPECT_TRUE(d.pRotorParams->Visible());
        EXPECT_EQ(d.stMaxUnbalanceA->CaptionW(), u"2005 [g mm]");
        EXPECT_EQ(d.stCtrlMassSugg->CaptionW(), u"2,005g");
        EXPECT_TRUE(d.SaveScreenshot(shelltest::PicturePath("config_rotor.png")));
        d.bCancelClick(d.bCancel);
      },
      [](gui::TAnswerScript& script) {
        script.ExpectAction(gui::dkModalForm, WhileOpen([](gui::TForm& form) {
          auto& r = static_cast<TfRotorDef&>(form);
          r.rbTypeA->SetChecked(true);
          r.eDimensionDA->SetText(u"500");
          r.eWeight->SetText(u"100");
          r.eNomSpeed->SetText(u"50");
          r.cbClass->SetItemIndex(7);
          r.bOKClick(r.bOK);
        }));
      });
  EXPECT_EQ(result, ConfigCancel);
  EXPECT_EQ(core.Rotor.Type, 0);
}

TEST_F(Config, RotorDivisionsRefuseBackspaceAndAreClamped) {
  core.RotorDivCount = 6;
  const int32_t result = Show([](TfConfig& d) {
    ShowPage(d, cpCorrectionMass);
    EXPECT_EQ(d.eRotorDivs->Text(), u"6");
    TypeInto(d, *d.eRotorDivs, u"\b0");
    EXPECT_EQ(d.eRotorDivs->Text(), u"60");
    d.eRotorDivsExit(d.eRotorDivs);
    EXPECT_EQ(d.eRotorDivs->Text(), u"32");
    d.eRotorDivs->SetText(u"2");
    d.eRotorDivsExit(d.eRotorDivs);
    EXPECT_EQ(d.eRotorDivs->Text(), u"3");
    d.eRotorDivs->SetText(u"-");
    d.eRotorDivsEnter(d.eRotorDivs);
    EXPECT_EQ(d.eRotorDivs->Text(), u"");
    d.cbDivideMass->SetChecked(true);
    d.bOKClick(d.bOK);
  });
  EXPECT_EQ(result, ConfigOK);
  // An empty field stores 3 divisions and no splitting.
  EXPECT_EQ(core.RotorDivCount, 3);
  EXPECT_EQ(core.DivideMass, 0);
}

// The run is deleted only once the question that names it was answered Yes.
TEST_F(Config, ANewBufferLengthDiscardsTheRunsOnOK) {
  core.Results[0].Valid = 1;
  core.AvgSize = 2;
  core.Readings = 1;
  const int32_t result = Show(
      [](TfConfig& d) {
    ShowPage(d, cpSampling);
    d.cbBuffSize->SetItemIndex(3);
    d.cbBuffSizeChange(d.cbBuffSize);
    EXPECT_EQ(d.WorkBuffLength, 2048);
    EXPECT_EQ(d.stMeasDuration->CaptionW(), u"409,6 ms");
    // A click on the speed range switches the unit at once.
    gui::SimClick(*d.stSpeedRange, 3, 3);
    EXPECT_EQ(d.stSpeedRange->CaptionW(), u"585,9 rpm - 150000 rpm");
    d.bOKClick(d.bOK);
      },
      [](gui::TAnswerScript& script) {
        script.ExpectAction(gui::dkModalForm, [](const gui::TDialogRequest& r) {
          auto& box = static_cast<TfMessage&>(*r.Form);
          EXPECT_EQ(box.Kind, mkWarning);
          EXPECT_NE(box.MessageText.find(u" 1\n"), std::u16string::npos) << rtl::Utf16ToUtf8(box.MessageText);
          box.bButton2Click(box.bButton2);
          return std::optional<gui::TDialogAnswer>();
        });
      });
  EXPECT_EQ(result, ConfigOK);
  EXPECT_EQ(core.BuffLength, 2048);
  EXPECT_EQ(core.Results[0].Valid, 0);
  // Only the averaging count restarts the averaging; it is unchanged here.
  EXPECT_EQ(core.Readings, 1);
  // On OK the units page decides the speed unit.
  EXPECT_EQ(core.SpeedDisplayMode, 1);
}

TEST_F(Config, AControlMassThatIsNoNumberKeepsTheDialogOnItsPage) {
  const int32_t result = Show([](TfConfig& d) {
    d.eCtrlMassValue->SetText(u"abc");
    d.bOKClick(d.bOK);
    EXPECT_TRUE(d.Visible());
    EXPECT_EQ(d.lbMenu->ItemIndex(), cpControlMass);
    EXPECT_TRUE(d.peCtrlMass->Visible());
    EXPECT_EQ(d.ActiveControl(), d.eCtrlMassValue);
    d.eCtrlMassValue->SetText(u"0");
    d.bOKClick(d.bOK);
    EXPECT_TRUE(d.Visible());
    d.eCtrlMassValue->SetText(u"2.5");
    d.bOKClick(d.bOK);
  });
  EXPECT_EQ(result, ConfigOK);
  EXPECT_EQ(core.CtrlMass.Value, 2.5);
}

TEST_F(Config, ChangingTheLanguageForgetsItForTheNextStart) {
  core.Language = u"English.xml";
  Show(
      [](TfConfig& d) {
        ShowPage(d, cpLanguage);
        d.bChangeLangClick(d.bChangeLang);
        d.bCancelClick(d.bCancel);
      },
      [](gui::TAnswerScript& script) {
        script.ExpectAction(gui::dkModalForm, [](const gui::TDialogRequest& r) {
          auto& box = static_cast<TfMessage&>(*r.Form);
          EXPECT_EQ(box.Kind, mkInformation);
          EXPECT_EQ(box.MessageText.substr(0, 24), u"The language stays as it");
          box.bButton1Click(box.bButton1);
          return std::optional<gui::TDialogAnswer>();
        });
      });
  EXPECT_TRUE(core.Language.empty());
}

TEST_F(Config, TheSensorDatabaseRereadsTheChannelsSensors) {
  core.VibSensorA.Sensitivity = 1;  // older than the file
  Show(
      [&](TfConfig& d) {
        d.cbGainA->SetItemIndex(2);
        d.bSensorBaseClick(d.bSensorBase);
        EXPECT_TRUE(d.SensorsChanged);
        EXPECT_EQ(d.WorkSensorA.Sensitivity, 100);
        // The range the user picked stays picked.
        EXPECT_EQ(d.cbGainA->ItemIndex(), 2);
        d.bCancelClick(d.bCancel);
      },
      [](gui::TAnswerScript& script) {
        script.ExpectAction(gui::dkModalForm, WhileOpen([](gui::TForm& form) {
          auto& database = static_cast<TfSelectSensor&>(form);
          EXPECT_EQ(database.SensorList().size(), 2u);
          database.bCloseClick(database.bClose);
        }));
      });
  EXPECT_EQ(core.VibSensorA.Sensitivity, 100);
}

TEST_F(Config, NoSensorFileNoMenu) {
  data.Core().DeleteSensor(u"Acc");
  data.Core().DeleteSensor(u"b");
  Show([](TfConfig& d) {
    d.bSelectSensorClick(d.bSelectSensorB);
    EXPECT_FALSE(d.SensorsChanged);
    d.bCancelClick(d.bCancel);
  });
  // Nothing was chosen: the channels stay as they were.
  EXPECT_EQ(core.VibSensorA.Name, u"Acc");
}

TEST(SetupDialog, OpensThroughTheWorkspaceCommand) {
  shelltest::TDialogCore data;
  TRecordingServices services;
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, WhileOpen([](gui::TForm& form) { PressEscape(form); }));
  EXPECT_EQ(ShowSetupDialog(nullptr, &services, false), ConfigCancel);
  EXPECT_TRUE(script.Unexpected().empty());
}

}  // namespace
