#include "dialogtestsupport.h"

#include <gtest/gtest.h>

#include "application.h"
#include "form.h"
#include "inputsim.h"
#include "textconv.h"
#include "wincontrol.h"

namespace shelltest {

namespace {

int32_t FakeClockItems(int32_t selector) {
  static constexpr int32_t Rates[FakeClockCount] = {1000, 5000, 10000, 20000};
  if (selector == SARTEL_SELECT_COUNT) return FakeClockCount;
  const int32_t i = selector - SARTEL_SELECT_ENTRY;
  return i >= 0 && i < FakeClockCount ? Rates[i] : 0;
}

int32_t FakeGainItems(int32_t selector) {
  static constexpr int32_t Ranges[FakeGainCount] = {100, 1000, 10000};
  if (selector == SARTEL_SELECT_COUNT) return FakeGainCount;
  const int32_t i = selector - SARTEL_SELECT_ENTRY;
  return i >= 0 && i < FakeGainCount ? Ranges[i] : 0;
}

// Stands for a loaded library: the items are looked up only while one is.
char FakeModule;

gui::TVirtualKey KeyOf(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<gui::TVirtualKey>(c - u'a' + u'A');
  if ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')) return c;
  switch (c) {
    case u' ': return gui::VK_SPACE;
    case u'.': return gui::VK_OEM_PERIOD;
    case u',': return gui::VK_OEM_COMMA;
    case u'-': return gui::VK_OEM_MINUS;
    case u'\b': return gui::VK_BACK;
    default: return 0;
  }
}

}  // namespace

TDialogCore::TDialogCore() {
  FCore.AppDataDir = FFolder.PathW() + u"/";
  FCore.AutoSessionFile = FCore.AppDataDir + u"!session.daqsession";
  FCore.AutoDataFile = FCore.AppDataDir + u"!session.daqdata";
  FCore.DriverModule = &FakeModule;
  FCore.DriverApi.GetClockItems = FakeClockItems;
  FCore.DriverApi.GetGainItems = FakeGainItems;
  TheCore = &FCore;
}

TDialogCore::~TDialogCore() {
  FCore.DriverModule = nullptr;
  TheCore = nullptr;
}

void TDialogCore::SaveSensor(const std::u16string& name, double sensitivity, uint8_t type, double inputGain) {
  SensorInfo s;
  s.Name = name;
  s.Sensitivity = sensitivity;
  s.Type = type;
  s.InputGain = inputGain;
  ASSERT_EQ(FCore.SaveSensor(name, s, false), TZelto::ssrSaved);
}

bool TDialogCore::SensorExists(const std::u16string& name) const {
  return !ReadBytes(SensorFile(rtl::Utf16ToUtf8(name))).empty();
}

gui::TAnswerScript::TAction WhileOpen(const std::function<void(gui::TForm& form)>& act) {
  return [act](const gui::TDialogRequest& request) -> std::optional<gui::TDialogAnswer> {
    gui::Application->ProcessMessages();
    act(*request.Form);
    if (request.Form->ModalResult() == gui::mrNone) return gui::TDialogAnswer{gui::mrCancel, {}};
    return std::nullopt;
  };
}

void TypeInto(gui::TForm& form, gui::TWinControl& control, std::u16string_view text) {
  control.SetFocus();
  gui::Application->ProcessMessages();
  for (char16_t c : text) gui::SimKey(&form, KeyOf(c), c);
}

void PressEnter(gui::TForm& form) { gui::SimKey(&form, gui::VK_RETURN, 13); }
void PressEscape(gui::TForm& form) { gui::SimKey(&form, gui::VK_ESCAPE, 27); }

}  // namespace shelltest
