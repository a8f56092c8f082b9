// The sensor editor: add and edit mode, the key filters, required fields,
// an existing name, a file that can't be written, and the ways out.
#include <gtest/gtest.h>

#include "bitmapbutton.h"
#include "checkbox.h"
#include "dialogtestsupport.h"
#include "edit.h"
#include "formeditsensor.h"
#include "formmessage.h"
#include "inputsim.h"
#include "labelex.h"
#include "languageservice.h"
#include "radiobutton.h"

namespace {

using shelltest::PressEnter;
using shelltest::PressEscape;
using shelltest::TypeInto;
using shelltest::WhileOpen;

TfEditSensor& Editor(gui::TForm& form) { return static_cast<TfEditSensor&>(form); }

class EditSensor : public testing::Test {
 protected:
  shelltest::TDialogCore data;
  TZelto& core = data.Core();
};

TEST_F(EditSensor, AddModeStartsEmptyAndWritesANewSensor) {
  TfEditSensor editor(nullptr);
  editor.AddMode = 1;
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, WhileOpen([](gui::TForm& form) {
    TfEditSensor& e = Editor(form);
    EXPECT_EQ(e.leCaption->CaptionW(), u"Add sensor");
    EXPECT_EQ(e.eName->Text(), u"");
    EXPECT_TRUE(e.eName->Enabled());
    EXPECT_EQ(e.eSensitivity()->Text(), u"");
    EXPECT_EQ(e.eInputGain()->Text(), u"1");
    EXPECT_TRUE(e.rbType[0]->Checked());
    EXPECT_EQ(e.leSensUnit->CaptionW(), u" mV/g");
    EXPECT_FALSE(e.cbTemperature->Checked());
    EXPECT_EQ(e.leTempGainUnit->CaptionW(), u"mV/°C");
    EXPECT_TRUE(e.SaveScreenshot(shelltest::PicturePath("editsensor_add.png")));
    // The blank is refused; a 21st character is not taken.
    TypeInto(e, *e.eName, u"Probe 1");
    EXPECT_EQ(e.eName->Text(), u"Probe1");
    TypeInto(e, *e.eName, u"abcdefghijklmnopq");
    EXPECT_EQ(e.eName->Text(), u"Probe1abcdefghijklmn");
    // One separator, no letters, Backspace works.
    TypeInto(e, *e.eSensitivity(), u"1.5,x7\b2");
    EXPECT_EQ(e.eSensitivity()->Text(), u"1,52");
    e.rbType[1]->SetChecked(true);
    EXPECT_EQ(e.leSensUnit->CaptionW(), u" mV/(mm/s)");
    // Enter in a field confirms.
    PressEnter(e);
  }));
  EXPECT_EQ(editor.ShowModal(), gui::mrOk);
  EXPECT_EQ(editor.EditResult, 1);
  SensorInfo stored;
  ASSERT_TRUE(core.LoadSensor(u"Probe1abcdefghijklmn", stored));
  EXPECT_EQ(stored.Sensitivity, 1.52);
  EXPECT_EQ(stored.Type, 1);
  EXPECT_EQ(stored.InputGain, 1);
  EXPECT_TRUE(script.Unexpected().empty());
}

TEST_F(EditSensor, MissingRequiredFieldsTakeTheFocusAndNothingIsWritten) {
  TfEditSensor editor(nullptr);
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, WhileOpen([](gui::TForm& form) {
    TfEditSensor& e = Editor(form);
    e.bOKClick(e.bOK);
    EXPECT_EQ(e.ActiveControl(), e.eName);
    e.eName->SetText(u"P");
    e.bOKClick(e.bOK);
    EXPECT_EQ(e.ActiveControl(), e.eSensitivity());
    e.eSensitivity()->SetText(u"5");
    e.eInputGain()->SetText(u"");
    e.bOKClick(e.bOK);
    EXPECT_EQ(e.ActiveControl(), e.eInputGain());
    // A value that is no number, pasted past the filter.
    e.eInputGain()->SetText(u"1");
    e.eValue[svRangeHigh]->SetText(u",");
    e.bOKClick(e.bOK);
    EXPECT_EQ(e.ActiveControl(), e.eValue[svRangeHigh]);
    EXPECT_TRUE(e.Visible());
  }));
  editor.ShowModal();
  EXPECT_EQ(editor.EditResult, 0);
  EXPECT_FALSE(data.SensorExists(u"P"));
}

TEST_F(EditSensor, AnExistingNameIsRefusedAndTheDialogKeepsTheInput) {
  data.SaveSensor(u"Probe", 100);
  TfEditSensor editor(nullptr);
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, WhileOpen([](gui::TForm& form) {
    TfEditSensor& e = Editor(form);
    e.eName->SetText(u"Probe");
    e.eSensitivity()->SetText(u"7");
    e.bOKClick(e.bOK);
    EXPECT_EQ(e.eSensitivity()->Text(), u"7");
    PressEscape(e);
  }));
  script.ExpectAction(gui::dkModalForm, [](const gui::TDialogRequest& r) {
    auto& box = static_cast<TfMessage&>(*r.Form);
    EXPECT_EQ(box.Kind, mkError);
    EXPECT_EQ(box.MessageText, u"A sensor with this name already exists.\nPlease choose another name.");
    box.bButton1Click(box.bButton1);
    return std::optional<gui::TDialogAnswer>();
  });
  EXPECT_EQ(editor.ShowModal(), gui::mrCancel);
  EXPECT_EQ(editor.EditResult, 2);
  SensorInfo stored;
  ASSERT_TRUE(core.LoadSensor(u"Probe", stored));
  EXPECT_EQ(stored.Sensitivity, 100);
  EXPECT_TRUE(script.Unexpected().empty());
}

TEST_F(EditSensor, EditModeShowsTheFileAndOverwritesItWithoutAsking) {
  data.SaveSensor(u"Disp", 10.26, 2, 2);
  TfEditSensor editor(nullptr);
  editor.AddMode = 0;
  editor.EditName = u"Disp";
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, WhileOpen([](gui::TForm& form) {
    TfEditSensor& e = Editor(form);
    EXPECT_EQ(e.leCaption->CaptionW(), u"Edit sensor");
    EXPECT_EQ(e.eName->Text(), u"Disp");
    EXPECT_FALSE(e.eName->Enabled());
    EXPECT_TRUE(e.rbType[2]->Checked());
    EXPECT_EQ(e.leSensUnit->CaptionW(), u"mV/µm");
    EXPECT_EQ(e.eSensitivity()->Text(), u"10,26");
    EXPECT_EQ(e.eInputGain()->Text(), u"2");
    EXPECT_TRUE(e.SaveScreenshot(shelltest::PicturePath("editsensor_edit.png")));
    e.rbType[1]->SetChecked(true);
    EXPECT_EQ(e.leSensUnit->CaptionW(), u" mV/(mm/s)");
    e.bOKClick(e.bOK);
  }));
  EXPECT_EQ(editor.ShowModal(), gui::mrOk);
  EXPECT_EQ(editor.EditResult, 1);
  SensorInfo stored;
  ASSERT_TRUE(core.LoadSensor(u"Disp", stored));
  EXPECT_EQ(stored.Type, 1);
  // Unchanged fields keep their values exactly.
  EXPECT_EQ(stored.Sensitivity, 10.26);
  EXPECT_EQ(stored.InputGain, 2);
  EXPECT_TRUE(script.Unexpected().empty());
}

// Enter is OK wherever the focus is: a focused Cancel button does not take
// it.
TEST_F(EditSensor, EnterConfirmsAlsoWithTheCancelButtonFocused) {
  TfEditSensor editor(nullptr);
  editor.AddMode = 1;
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, WhileOpen([](gui::TForm& form) {
    TfEditSensor& e = Editor(form);
    e.eName->SetText(u"Probe");
    e.eSensitivity()->SetText(u"100");
    e.bCancel->SetFocus();
    ASSERT_EQ(e.ActiveControl(), e.bCancel);
    PressEnter(e);
  }));
  EXPECT_EQ(editor.ShowModal(), gui::mrOk);
  EXPECT_EQ(editor.EditResult, 1);
  SensorInfo stored;
  ASSERT_TRUE(core.LoadSensor(u"Probe", stored));
  EXPECT_EQ(stored.Sensitivity, 100);
  EXPECT_TRUE(script.Unexpected().empty());
}

// A name pasted past the key filter that no sensor file can have ("/",
// "..") is refused with why, and nothing is written; the dialog keeps the
// input.
TEST_F(EditSensor, ANameNoFileCanHaveIsRefusedWithWhy) {
  TfEditSensor editor(nullptr);
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, WhileOpen([](gui::TForm& form) {
    TfEditSensor& e = Editor(form);
    for (const char16_t* name : {u"Acc 100mV/g", u"..", u"a\\b"}) {
      e.eName->SetText(name);
      e.eSensitivity()->SetText(u"7");
      e.bOKClick(e.bOK);
      EXPECT_TRUE(e.Visible());
      EXPECT_EQ(e.eName->Text(), name);
    }
    PressEscape(e);
  }));
  for (int i = 0; i < 3; ++i)
    script.ExpectAction(gui::dkModalForm, [](const gui::TDialogRequest& r) {
      auto& box = static_cast<TfMessage&>(*r.Form);
      EXPECT_EQ(box.Kind, mkError);
      EXPECT_EQ(box.MessageText, LangText({u"Forms", u"SensorNameRefused"}).Text);
      box.bButton1Click(box.bButton1);
      return std::optional<gui::TDialogAnswer>();
    });
  editor.ShowModal();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  EXPECT_EQ(core.FindSensorFile(nullptr, false), 0);
  EXPECT_NE(LangText({u"Forms", u"SensorNameRefused"}).Text.find(u"/"), std::u16string::npos);
}

TEST_F(EditSensor, AFileThatCantBeWrittenIsReportedAndTheDialogStays) {
  // The sensor folder's place is taken by a file.
  shelltest::WriteBytes(shelltest::Narrow(core.AppDataDir) + "Sensors", "in the way");
  TfEditSensor editor(nullptr);
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, WhileOpen([](gui::TForm& form) {
    TfEditSensor& e = Editor(form);
    e.eName->SetText(u"Probe");
    e.eSensitivity()->SetText(u"7");
    e.bOKClick(e.bOK);
    EXPECT_TRUE(e.Visible());
    gui::SimClick(*e.bCloseS, 5, 5);
  }));
  script.ExpectAction(gui::dkModalForm, [this](const gui::TDialogRequest& r) {
    auto& box = static_cast<TfMessage&>(*r.Form);
    // The reason follows: the sensor's folder is a file.
    EXPECT_EQ(box.MessageText, u"The sensor file could not be written.\nThe sensor was not saved.\n" + core.AppDataDir +
                                   u"Sensors/Probe.xml: Not a directory");
    box.bButton1Click(box.bButton1);
    return std::optional<gui::TDialogAnswer>();
  });
  editor.ShowModal();
  EXPECT_EQ(editor.EditResult, 2);
  EXPECT_TRUE(script.Unexpected().empty());
}

}  // namespace
