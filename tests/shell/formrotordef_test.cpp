// The rotor definition: what each type asks for, OK with a complete or an
// incomplete rotor, Calculate, the speed unit, the number filter and keys.
#include <gtest/gtest.h>

#include "bitmapbutton.h"
#include "checkbox.h"
#include "combobox.h"
#include "dialogtestsupport.h"
#include "edit.h"
#include "formatting.h"
#include "formrotordef.h"
#include "image.h"
#include "inputsim.h"
#include "labelex.h"
#include "panel.h"
#include "radiobutton.h"

namespace {

using shelltest::PressEnter;
using shelltest::PressEscape;
using shelltest::TypeInto;
using shelltest::WhileOpen;

TfRotorDef& Dialog(gui::TForm& form) { return static_cast<TfRotorDef&>(form); }

class RotorDef : public testing::Test {
 protected:
  // Shows the dialog for the working rotor and runs `act` while it is open.
  int Show(bool twoPlanes, const std::function<void(TfRotorDef&)>& act) {
    TfRotorDef dialog(nullptr, work, twoPlanes);
    gui::TAnswerScript script;
    script.ExpectAction(gui::dkModalForm, WhileOpen([&](gui::TForm& form) { act(Dialog(form)); }));
    dialog.ShowModal();
    EXPECT_TRUE(script.Unexpected().empty());
    return dialog.CloseResult;
  }

  shelltest::TDialogCore data;
  RotorDefinition work;
};

TEST_F(RotorDef, OnePlaneTypeAStoresTheSpeedInHertz) {
  data.Core().SpeedDisplayMode = 0;
  const int result = Show(false, [](TfRotorDef& d) {
    EXPECT_EQ(d.leCaption->CaptionW(), u"Rotor definition");
    EXPECT_FALSE(d.rbTypeB->Visible());
    EXPECT_FALSE(d.bTypeC->Visible());
    EXPECT_TRUE(d.rbNoISO->Checked());
    EXPECT_EQ(d.lNomSpeedUnit->Caption(), "rpm");
    EXPECT_EQ(d.stMaxUnbalanceA->CaptionW(), u"?");
    EXPECT_FALSE(d.stMaxUnbalanceB->Visible());
    EXPECT_FALSE(d.eWeight->Enabled());
    gui::SimClick(*d.bTypeA, 10, 10);
    EXPECT_TRUE(d.rbTypeA->Checked());
    EXPECT_TRUE(d.iRotorType1P->Visible());
    EXPECT_FALSE(d.iRotorTypeA->Visible());
    EXPECT_TRUE(d.eDimensionDA->Enabled());
    EXPECT_FALSE(d.eDimensionDB->Enabled());
    EXPECT_FALSE(d.eDimensionA->Enabled());
    EXPECT_FALSE(d.cbMassCentreLocation->Enabled());
    d.eDimensionDA->SetText(u"500");
    d.eWeight->SetText(u"100");
    d.eNomSpeed->SetText(u"3000");
    d.cbClass->SetItemIndex(7);
    d.bCalculateClick(d.bCalculate);
    EXPECT_EQ(d.stMaxUnbalanceA->CaptionW(), u"2005 [g mm]");
    EXPECT_TRUE(d.SaveScreenshot(shelltest::PicturePath("rotordef_oneplane.png")));
    d.bOKClick(d.bOK);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(work.Type, 4);
  EXPECT_EQ(work.f, 50);
  EXPECT_EQ(work.dA, 500);
  EXPECT_EQ(work.ClassIndex, 7);
}

TEST_F(RotorDef, AnIncompleteRotorBlocksOKSilently) {
  work.Type = 4;
  work.m = 100;
  work.f = 50;
  work.ClassIndex = 3;
  const RotorDefinition before = work;
  const int result = Show(false, [](TfRotorDef& d) {
    EXPECT_TRUE(d.rbTypeA->Checked());
    EXPECT_EQ(d.eDimensionDA->Text(), u"0");
    EXPECT_EQ(d.cbClass->ItemIndex(), 3);
    d.eDimensionDA->SetText(u"");
    d.bOKClick(d.bOK);
    EXPECT_TRUE(d.Visible());
    EXPECT_EQ(d.CloseResult, 0);
    d.bCalculateClick(d.bCalculate);
    EXPECT_EQ(d.stMaxUnbalanceA->CaptionW(), u"?");
    PressEscape(d);
  });
  EXPECT_EQ(result, 2);
  EXPECT_EQ(work.m, before.m);
  EXPECT_EQ(work.dA, before.dA);
}

TEST_F(RotorDef, TypeCNeedsSOnlyWithTheMassCentreBox) {
  data.Core().SpeedDisplayMode = 1;
  const int result = Show(true, [](TfRotorDef& d) {
    EXPECT_TRUE(d.rbTypeC->Visible());
    d.rbTypeC->SetChecked(true);
    EXPECT_TRUE(d.iRotorTypeC->Visible());
    EXPECT_TRUE(d.eDimensionA->Enabled());
    EXPECT_TRUE(d.cbMassCentreLocation->Enabled());
    EXPECT_FALSE(d.eDimensionS->Enabled());
    for (auto [edit, text] : {std::pair{d.eDimensionA, u"100"}, {d.eDimensionB, u"800"}, {d.eDimensionL, u"1000"},
                              {d.eDimensionDA, u"500"}, {d.eDimensionDB, u"400"}, {d.eWeight, u"100"},
                              {d.eNomSpeed, u"50"}})
      edit->SetText(text);
    d.cbClass->SetItemIndex(7);
    d.cbMassCentreLocation->SetChecked(true);
    EXPECT_TRUE(d.eDimensionS->Enabled());
    d.eDimensionS->SetText(u"");
    d.bOKClick(d.bOK);
    EXPECT_TRUE(d.Visible());
    d.eDimensionS->SetText(u"300");
    d.bCalculateClick(d.bCalculate);
    EXPECT_EQ(d.stMaxUnbalanceA->CaptionW(), u"1504 [g mm]");
    EXPECT_EQ(d.stMaxUnbalanceB->CaptionW(), u"501,3 [g mm]");
    EXPECT_TRUE(d.SaveScreenshot(shelltest::PicturePath("rotordef_typec.png")));
    // Enter in a number field confirms.
    TypeInto(d, *d.eDimensionS, u"");
    PressEnter(d);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(work.Type, 3);
  EXPECT_EQ(work.s, 300);
  EXPECT_EQ(work.MassCentreLocation, 1);
  EXPECT_EQ(work.f, 50);
}

TEST_F(RotorDef, UndefinedStoresAZeroRotorWhateverTheFieldsHold) {
  work.Type = 1;
  work.m = 100;
  work.b = 5;
  const int result = Show(true, [](TfRotorDef& d) {
    EXPECT_TRUE(d.rbTypeA->Checked());
    EXPECT_TRUE(d.iRotorTypeA->Visible());
    gui::SimClick(*d.lNoISO, 5, 5);
    EXPECT_TRUE(d.rbNoISO->Checked());
    EXPECT_FALSE(d.eDimensionB->Enabled());
    EXPECT_FALSE(d.bCalculate->Enabled());
    d.eWeight->SetText(u"garbage");
    d.bOKClick(d.bOK);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(work.Type, 0);
  EXPECT_EQ(work.m, 0);
  EXPECT_EQ(work.b, 0);
}

TEST_F(RotorDef, TheSpeedUnitSwitchesAtOnceAndStaysAfterCancel) {
  data.Core().SpeedDisplayMode = 1;
  work.Type = 4;
  work.f = 25;
  const int result = Show(false, [&](TfRotorDef& d) {
    EXPECT_EQ(d.eNomSpeed->Text(), u"25");
    EXPECT_EQ(d.lNomSpeedUnit->Caption(), "Hz");
    gui::SimClick(*d.lNomSpeedUnit, 3, 3);
    EXPECT_EQ(d.lNomSpeedUnit->Caption(), "rpm");
    EXPECT_EQ(data.Core().SpeedDisplayMode, 0);
    // The number is not converted.
    EXPECT_EQ(d.eNomSpeed->Text(), u"25");
    gui::SimClick(*d.bClose, 5, 5);
  });
  EXPECT_EQ(result, 2);
  EXPECT_EQ(data.Core().SpeedDisplayMode, 0);
  EXPECT_EQ(work.f, 25);
}

// Enter is OK wherever the focus is: a focused Cancel or Calculate button
// does not take it.
TEST_F(RotorDef, EnterConfirmsAlsoWithAButtonFocused) {
  for (const bool cancel : {true, false}) {
    work = RotorDefinition{};
    const int result = Show(false, [cancel](TfRotorDef& d) {
      d.rbTypeA->SetChecked(true);
      for (auto [edit, text] : {std::pair{d.eDimensionDA, u"500"}, {d.eWeight, u"100"}, {d.eNomSpeed, u"3000"}})
        edit->SetText(text);
      TBitmapButton* focused = cancel ? d.bCancel : d.bCalculate;
      focused->SetFocus();
      ASSERT_EQ(d.ActiveControl(), focused);
      PressEnter(d);
    });
    EXPECT_EQ(result, 1) << (cancel ? "Cancel" : "Calculate") << " focused";
    EXPECT_EQ(work.Type, 4);
    EXPECT_EQ(work.dA, 500);
  }
}

// The grade list shows its numbers with the project's separator, like every
// number on screen.
TEST_F(RotorDef, GradeListFollowsTheDecimalSeparator) {
  for (const char16_t separator : {u'.', u','}) {
    DecimalSeparator = separator;
    Show(true, [separator](TfRotorDef& d) {
      const std::u16string point(1, separator);
      ASSERT_EQ(d.cbClass->Items().Count(), 11);
      EXPECT_EQ(d.cbClass->Items().Strings(0), u"G4000");
      EXPECT_EQ(d.cbClass->Items().Strings(7), u"G6" + point + u"3");
      EXPECT_EQ(d.cbClass->Items().Strings(8), u"G2" + point + u"5");
      EXPECT_EQ(d.cbClass->Items().Strings(10), u"G0" + point + u"4");
      d.bCancelClick(d.bCancel);
    });
  }
}

TEST_F(RotorDef, NumberFieldsTakeOneSeparatorAndDigits) {
  Show(true, [](TfRotorDef& d) {
    d.rbTypeB->SetChecked(true);
    d.eDimensionB->SetText(u"");
    TypeInto(d, *d.eDimensionB, u"1.5.,x\b3");
    EXPECT_EQ(d.eDimensionB->Text(), u"1,3");
    // Alt repaints the panel and leaves it shown.
    gui::SimKey(&d, gui::VK_MENU, 0, gui::ssAlt);
    EXPECT_TRUE(d.pWindow->Visible());
    d.bCancelClick(d.bCancel);
  });
}

}  // namespace
