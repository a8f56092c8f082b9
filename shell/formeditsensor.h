#pragma once
// TfEditSensor: the sensor editor. It creates a new sensor file (add mode)
// or rewrites an existing one (edit mode); a sensor's name is its file
// name, so the name is typed only when a sensor is added. Nothing is
// written before a successful OK.
//
// Use: construct with the opening window as owner, set AddMode (and, for
// edit mode, EditName), ShowModal, read EditResult, destroy. EditResult is
// 0 from creation, 1 after a sensor was written (modal result mrOk), 2 after
// Cancel, Esc or the strip button (mrCancel).

#include <array>
#include <cstdint>
#include <string>

#include "languageservice.h"
#include "numberedit.h"
#include "sensorfields.h"
#include "windowframe.h"

class TBitmapButton;
class TLabelEx;
class TPanelEx;

namespace gui {
class TCheckBox;
class TEdit;
class TPanel;
class TRadioButton;
}  // namespace gui

class TfEditSensor : public TWindowFrame {
 public:
  static constexpr std::array<TTextKey, 21> LangKeys = {{
      {u"Forms", u"EditSensor"},
      {u"Forms", u"AddSensor"},
      {u"Forms", u"Close"},
      {u"Forms", u"OK"},
      {u"Forms", u"Cancel"},
      {u"Forms", u"Name"},
      {u"Forms", u"Type"},
      {u"Forms", u"Acceleration"},
      {u"Forms", u"Velocity"},
      {u"Forms", u"Displacement"},
      {u"Forms", u"Sensitivity"},
      {u"Forms", u"RangeLow"},
      {u"Forms", u"RangeHigh"},
      {u"Forms", u"InputGain"},
      {u"Forms", u"Temperature"},
      {u"Forms", u"TempGain"},
      {u"Forms", u"TempOffset"},
      {u"Forms", u"TempOffsetUnit"},
      {u"Forms", u"SensorExists"},
      {u"Forms", u"SensorNotSaved"},
      {u"Forms", u"SensorNameRefused"},
  }};

  explicit TfEditSensor(gui::TComponent* owner);

  uint8_t AddMode = 1;
  // Edit mode: the sensor's name in the database (its file name).
  std::u16string EditName;
  int32_t EditResult = 0;

  TBitmapButton* bCloseS = nullptr;
  TPanelEx* peEdit = nullptr;
  TLabelEx* leName = nullptr;
  gui::TEdit* eName = nullptr;
  TLabelEx* leType = nullptr;
  gui::TPanel* gbType = nullptr;
  std::array<gui::TRadioButton*, 3> rbType{};
  std::array<TLabelEx*, 3> leTypeName{};  // leType0, leType1, leType2
  TLabelEx* leSensitivity = nullptr;
  TLabelEx* leSensUnit = nullptr;
  TLabelEx* leRangeLow = nullptr;
  TLabelEx* leRangeHigh = nullptr;
  TLabelEx* leInputGain = nullptr;
  gui::TCheckBox* cbTemperature = nullptr;
  TLabelEx* lTemperature = nullptr;
  TLabelEx* leTempGain = nullptr;
  TLabelEx* leTempGainUnit = nullptr;
  TLabelEx* leTempOffset = nullptr;
  TLabelEx* leTempOffsetUnit = nullptr;
  // eSensitivity, eRangeLow, eRangeHigh, eInputGain, eTempGain, eTempOffset
  std::array<TNumberEdit*, SensorValueCount> eValue{};
  TBitmapButton* bOK = nullptr;
  TBitmapButton* bCancel = nullptr;

  TNumberEdit* eSensitivity() const { return eValue[svSensitivity]; }
  TNumberEdit* eInputGain() const { return eValue[svInputGain]; }

  void bOKClick(gui::TComponent* sender);
  void bCancelClick(gui::TComponent* sender);
  void cbTypeChange(gui::TComponent* sender);

 protected:
  void DoShow() override;
  // Enter runs OK wherever the focus is, on a button too.
  bool FocusTakesEnter() const override;

 private:
  void BuildRows();
  void ShowTexts();
  void ShowFields(const TSensorFields& fields);
  TSensorFields ReadFields() const;
  int CheckedType() const;
  void ShowError(size_t text, const std::u16string& reason = {});
  void Finish(int32_t result);
};
