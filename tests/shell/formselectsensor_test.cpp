// The sensor database: listing, the highlighted row, add, edit and delete
// with their questions, damaged files, sizing and closing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "application.h"
#include "bitmap.h"
#include "bitmapbutton.h"
#include "dialogcontrols.h"
#include "dialogtestsupport.h"
#include "drawgrid.h"
#include "edit.h"
#include "formeditsensor.h"
#include "formmessage.h"
#include "formselectsensor.h"
#include "inputsim.h"
#include "dialogs.h"
#include "labelex.h"
#include "languageservice.h"
#include "textconv.h"

namespace {

using shelltest::PressEscape;
using shelltest::WhileOpen;

TfSelectSensor& Database(gui::TForm& form) { return static_cast<TfSelectSensor&>(form); }

// The answer to a message box: Yes or No, after checking its text.
gui::TAnswerScript::TAction Answer(int answer, std::u16string expectedText) {
  return [=](const gui::TDialogRequest& r) {
    auto& box = static_cast<TfMessage&>(*r.Form);
    EXPECT_EQ(box.MessageText, expectedText);
    if (answer == gui::IDYES)
      box.bButton2Click(box.bButton2);
    else
      box.bButton1Click(box.bButton1);
    return std::optional<gui::TDialogAnswer>();
  };
}

const std::u16string UpdateQuestion = u"Do you want to change the data of the selected sensor?";
const std::u16string RemoveQuestion = u"Do you want to delete the selected sensor?\nIts sensor file is removed.";

void ClickRow(TfSelectSensor& d, int row) {
  const gui::TRect cell = d.dgSensors->CellRect(2, row);
  gui::SimClick(*d.dgSensors, cell.Left + 5, cell.Top + 5);
}

// The fill colour in the middle of a grid cell, from a screenshot.
gui::TColor CellColor(TfSelectSensor& d, int col, int row) {
  // Several tests probe at once in their own processes: each needs its own file.
  const std::string path = shelltest::PicturePath("selectsensor_probe_" + std::to_string(::getpid()) + ".png");
  EXPECT_TRUE(d.SaveScreenshot(path));
  gui::TBitmap picture;
  EXPECT_TRUE(picture.LoadFromFile(path));
  std::remove(path.c_str());
  const gui::TRect cell = d.dgSensors->CellRect(col, row);
  const gui::TPoint grid = d.dgSensors->ClientOrigin();
  return picture.Canvas().Pixel(grid.x - d.Left() + cell.Right - 3, grid.y - d.Top() + cell.Top + 2);
}

class SelectSensor : public testing::Test {
 protected:
  shelltest::TDialogCore data;
};

TEST_F(SelectSensor, AnEmptyDatabaseShowsTheHeaderOnlyAndAddStillWorks) {
  TfSelectSensor dialog(nullptr);
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, WhileOpen([](gui::TForm& form) {
    TfSelectSensor& d = Database(form);
    EXPECT_EQ(d.leCaption->CaptionW(), u"Sensor database");
    EXPECT_EQ(d.dgSensors->RowCount(), 1);
    EXPECT_FALSE(d.dgSensors->Enabled());
    EXPECT_TRUE(d.SaveScreenshot(shelltest::PicturePath("selectsensor_empty.png")));
    d.bAddClick(d.bAdd);
    EXPECT_EQ(d.dgSensors->RowCount(), 2);
    EXPECT_TRUE(d.dgSensors->Enabled());
    EXPECT_EQ(d.CellText(1, 1), u"First");
    PressEscape(d);
  }));
  script.ExpectAction(gui::dkModalForm, WhileOpen([](gui::TForm& form) {
    auto& e = static_cast<TfEditSensor&>(form);
    EXPECT_EQ(e.AddMode, 1);
    e.eName->SetText(u"First");
    e.eSensitivity()->SetText(u"100");
    e.bOKClick(e.bOK);
  }));
  EXPECT_EQ(dialog.ShowModal(), gui::mrCancel);
  EXPECT_TRUE(script.Unexpected().empty());
  EXPECT_EQ(script.Pending(), 0u);
}

TEST_F(SelectSensor, ListsSortedWithNoRowHighlightedAndTheRowTexts) {
  data.SaveSensor(u"b", 100);
  data.SaveSensor(u"A", 5, 1);
  data.SaveSensor(u"c", 100);
  SensorInfo velocity;
  ASSERT_TRUE(data.Core().LoadSensor(u"A", velocity));
  velocity.RangeLow = 0.5;
  velocity.RangeHigh = 12500;
  velocity.Temperature = 1;
  ASSERT_EQ(data.Core().SaveSensor(u"A", velocity, false), TZelto::ssrSaved);
  TfSelectSensor dialog(nullptr);
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, WhileOpen([](gui::TForm& form) {
    TfSelectSensor& d = Database(form);
    ASSERT_EQ(d.dgSensors->RowCount(), 4);
    const std::u16string headers[] = {u"Name", u"Type", u"Sensitivity", u"Frequency range", u"Temperature output", u""};
    for (int col = 1; col <= 6; ++col) EXPECT_EQ(d.CellText(col, 0), headers[col - 1]);
    EXPECT_EQ(d.CellText(1, 1), u"A");
    EXPECT_EQ(d.CellText(1, 2), u"b");
    EXPECT_EQ(d.CellText(1, 3), u"c");
    EXPECT_EQ(d.CellText(2, 1), u"Velocity");
    EXPECT_EQ(d.CellText(3, 1), u"5,000 mV/(mm/s)");
    EXPECT_EQ(d.CellText(4, 1), u"0,5 Hz - 12,5 kHz");
    EXPECT_EQ(d.CellText(5, 1), u"Yes");
    EXPECT_EQ(d.CellText(5, 2), u"No");
    EXPECT_EQ(d.SelectedIndex, -1);
    EXPECT_EQ(CellColor(d, 2, 1), FieldColor);
    EXPECT_TRUE(d.SaveScreenshot(shelltest::PicturePath("selectsensor.png")));
    ClickRow(d, 2);
    EXPECT_EQ(d.SelectedIndex, 1);
    EXPECT_EQ(CellColor(d, 2, 2), SelectedFieldColor);
    EXPECT_EQ(CellColor(d, 2, 1), FieldColor);
    // Without a question, Edit and Delete ask only for a selected sensor.
    PressEscape(d);
  }));
  dialog.ShowModal();
  EXPECT_TRUE(script.Unexpected().empty());
}

TEST_F(SelectSensor, DeletingAsksAndLeavesTheFirstRowSelected) {
  for (const char16_t* name : {u"s1", u"s2", u"s3", u"s4", u"s5"}) data.SaveSensor(name, 100);
  TfSelectSensor dialog(nullptr);
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, WhileOpen([&](gui::TForm& form) {
    TfSelectSensor& d = Database(form);
    // Nothing selected: neither Edit nor Delete asks.
    d.bEditClick(d.bEdit);
    d.bDeleteClick(d.bDelete);
    ClickRow(d, 3);
    d.bDeleteClick(d.bDelete);  // answered No
    EXPECT_EQ(d.dgSensors->RowCount(), 6);
    EXPECT_TRUE(data.SensorExists(u"s3"));
    d.bDeleteClick(d.bDelete);  // answered Yes
    EXPECT_FALSE(data.SensorExists(u"s3"));
    EXPECT_EQ(d.dgSensors->RowCount(), 5);
    EXPECT_EQ(d.SelectedIndex, 0);
    EXPECT_EQ(d.dgSensors->Row(), 1);
    EXPECT_EQ(CellColor(d, 2, 1), SelectedFieldColor);
    PressEscape(d);
  }));
  script.ExpectAction(gui::dkModalForm, Answer(gui::IDNO, RemoveQuestion));
  script.ExpectAction(gui::dkModalForm, Answer(gui::IDYES, RemoveQuestion));
  dialog.ShowModal();
  EXPECT_TRUE(script.Unexpected().empty());
  EXPECT_EQ(script.Pending(), 0u);
}

// A sensor file that can't be deleted is named with why, in the message
// and the log; the grid shows it still there. Here a folder took the
// file's name after the list was read (the tests may run with every
// permission).
TEST_F(SelectSensor, AFailedDeletionIsToldWithTheFileAndWhy) {
  data.SaveSensor(u"Probe", 100);
  const std::string file = shelltest::Narrow(data.Core().AppDataDir) + "Sensors/Probe.xml";
  TfSelectSensor dialog(nullptr);
  std::vector<std::u16string> logged;
  dialog.WriteLog = [&logged](const std::u16string& text) { logged.push_back(text); };
  const std::u16string told = LangText({u"Forms", u"SensorNotDeleted"}).Text + u"\n" +
                              rtl::Utf8ToUtf16(file) + u": Is a directory";
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, WhileOpen([&](gui::TForm& form) {
    TfSelectSensor& d = Database(form);
    ClickRow(d, 1);
    std::remove(file.c_str());
    std::filesystem::create_directory(file);
    d.bDeleteClick(d.bDelete);
    EXPECT_TRUE(std::filesystem::is_directory(file));
    PressEscape(d);
  }));
  script.ExpectAction(gui::dkModalForm, Answer(gui::IDYES, RemoveQuestion));
  script.ExpectAction(gui::dkModalForm, [&told](const gui::TDialogRequest& r) {
    auto& box = static_cast<TfMessage&>(*r.Form);
    EXPECT_EQ(box.Kind, mkError);
    EXPECT_EQ(box.MessageText, told);
    box.bButton1Click(box.bButton1);
    return std::optional<gui::TDialogAnswer>();
  });
  dialog.ShowModal();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  EXPECT_EQ(logged, std::vector<std::u16string>{told});
}

TEST_F(SelectSensor, DeletingTheLastSensorLeavesTheHeaderOnly) {
  data.SaveSensor(u"Only", 100);
  TfSelectSensor dialog(nullptr);
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, WhileOpen([](gui::TForm& form) {
    TfSelectSensor& d = Database(form);
    ClickRow(d, 1);
    d.bDeleteClick(d.bDelete);
    EXPECT_EQ(d.dgSensors->RowCount(), 1);
    EXPECT_FALSE(d.dgSensors->Enabled());
    EXPECT_TRUE(d.SensorList().empty());
    PressEscape(d);
  }));
  script.ExpectAction(gui::dkModalForm, Answer(gui::IDYES, RemoveQuestion));
  dialog.ShowModal();
  EXPECT_FALSE(data.SensorExists(u"Only"));
}

TEST_F(SelectSensor, EditingOpensTheSelectedFileAndRefillsWhateverTheResult) {
  data.SaveSensor(u"A", 100);
  data.SaveSensor(u"B", 200);
  TfSelectSensor dialog(nullptr);
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, WhileOpen([](gui::TForm& form) {
    TfSelectSensor& d = Database(form);
    ClickRow(d, 2);
    d.bEditClick(d.bEdit);  // No: the editor does not open
    d.bEditClick(d.bEdit);  // Yes: the editor changes B
    EXPECT_EQ(d.CellText(3, 2), u"250,0 mV/g");
    PressEscape(d);
  }));
  script.ExpectAction(gui::dkModalForm, Answer(gui::IDNO, UpdateQuestion));
  script.ExpectAction(gui::dkModalForm, Answer(gui::IDYES, UpdateQuestion));
  script.ExpectAction(gui::dkModalForm, WhileOpen([](gui::TForm& form) {
    auto& e = static_cast<TfEditSensor&>(form);
    EXPECT_EQ(e.AddMode, 0);
    EXPECT_EQ(e.eName->Text(), u"B");
    e.eSensitivity()->SetText(u"250");
    e.bOKClick(e.bOK);
  }));
  dialog.ShowModal();
  EXPECT_TRUE(script.Unexpected().empty());
  EXPECT_EQ(script.Pending(), 0u);
}

TEST_F(SelectSensor, ADamagedOrRenamedFileIsShownAndDeletedUnderItsFileName) {
  data.SaveSensor(u"Renamed", 100);
  shelltest::WriteBytes(data.SensorFile("Broken"), "<garbage");
  SensorInfo inside;
  ASSERT_TRUE(data.Core().LoadSensor(u"Renamed", inside));
  inside.Name = u"Original";
  ASSERT_EQ(data.Core().SaveSensor(u"Renamed", inside, false), TZelto::ssrSaved);
  TfSelectSensor dialog(nullptr);
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, WhileOpen([](gui::TForm& form) {
    TfSelectSensor& d = Database(form);
    EXPECT_EQ(d.CellText(1, 1), u"Broken");
    // Its figures are not known: none is shown as a value.
    EXPECT_EQ(d.CellText(2, 1), u"-");
    EXPECT_EQ(d.CellText(3, 1), u"-");
    EXPECT_EQ(d.CellText(4, 1), u"-");
    EXPECT_EQ(d.CellText(5, 1), u"-");
    EXPECT_EQ(d.CellText(1, 2), u"Renamed");
    ClickRow(d, 2);
    d.bDeleteClick(d.bDelete);
    ClickRow(d, 1);
    d.bDeleteClick(d.bDelete);
    EXPECT_TRUE(d.SensorList().empty());
    PressEscape(d);
  }));
  script.ExpectAction(gui::dkModalForm, Answer(gui::IDYES, RemoveQuestion));
  script.ExpectAction(gui::dkModalForm, Answer(gui::IDYES, RemoveQuestion));
  dialog.ShowModal();
  EXPECT_FALSE(data.SensorExists(u"Renamed"));
  EXPECT_FALSE(data.SensorExists(u"Broken"));
}

TEST_F(SelectSensor, GrowsWithFixedColumnsButNeverBelowItsFirstSize) {
  TfSelectSensor dialog(nullptr);
  dialog.Show();
  const int width = dialog.Width(), height = dialog.Height();
  dialog.SetBounds(dialog.Left(), dialog.Top(), width + 100, height + 50);
  gui::Application->ProcessMessages();
  EXPECT_EQ(dialog.Width(), width + 100);
  for (int c = 0; c < 7; ++c)
    EXPECT_EQ(dialog.dgSensors->ColWidths(c), TfSelectSensor::ColumnWidths[static_cast<size_t>(c)]);
  EXPECT_GT(dialog.dgSensors->Width(), 691);
  dialog.SetBounds(dialog.Left(), dialog.Top(), width - 100, height - 50);
  gui::Application->ProcessMessages();
  EXPECT_EQ(dialog.Width(), width);
  EXPECT_EQ(dialog.Height(), height);
  dialog.Hide();
}

TEST_F(SelectSensor, TheStripButtonAndCloseEndTheDialog) {
  for (int way = 0; way < 2; ++way) {
    TfSelectSensor dialog(nullptr);
    gui::TAnswerScript script;
    script.ExpectAction(gui::dkModalForm, [&](const gui::TDialogRequest&) {
      gui::SimClick(way == 0 ? *dialog.bCloseS : *dialog.bClose, 5, 5);
      return std::optional<gui::TDialogAnswer>();
    });
    EXPECT_EQ(dialog.ShowModal(), gui::mrCancel) << way;
    EXPECT_TRUE(dialog.SensorList().empty());
  }
}

}  // namespace
