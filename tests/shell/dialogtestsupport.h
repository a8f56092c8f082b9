#pragma once
// What the tests of the set-up and database dialogs share: a core object
// with a data folder of its own and a driver whose item tables the test
// gives, modal showing with an action while the dialog is open, and typing.

#include <functional>
#include <string>

#include "answerhook.h"
#include "shelltestsupport.h"
#include "zelto.h"

namespace gui {
class TForm;
class TWinControl;
}  // namespace gui

namespace shelltest {

// The driver's item tables: sampling rates 1, 5, 10 and 20 kHz; input
// ranges 100 mV, 1 V and 10 V.
constexpr int32_t FakeClockCount = 4;
constexpr int32_t FakeGainCount = 3;

// A core object made current (TheCore) with an empty data folder of its
// own and the fake driver's item tables bound.
class TDialogCore {
 public:
  TDialogCore();
  ~TDialogCore();
  TDialogCore(const TDialogCore&) = delete;
  TDialogCore& operator=(const TDialogCore&) = delete;

  TZelto& Core() { return FCore; }
  // Writes a sensor file.
  void SaveSensor(const std::u16string& name, double sensitivity, uint8_t type = 0, double inputGain = 1);
  std::string SensorFile(const std::string& name) const { return FFolder.File("Sensors/" + name + ".xml"); }
  bool SensorExists(const std::u16string& name) const;

 private:
  TTempFolder FFolder;
  TZelto FCore;
};

// The script entry of a modal form: runs `act` while the form is open (after
// its show). A form that is still open afterwards is closed with mrCancel,
// so a failing test never waits in the modal loop.
gui::TAnswerScript::TAction WhileOpen(const std::function<void(gui::TForm& form)>& act);

// Types the characters into the control as a user would (the control gets
// the focus first); "\b" is Backspace.
void TypeInto(gui::TForm& form, gui::TWinControl& control, std::u16string_view text);
void PressEnter(gui::TForm& form);
void PressEscape(gui::TForm& form);

}  // namespace shelltest
