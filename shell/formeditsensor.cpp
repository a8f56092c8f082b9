#include "formeditsensor.h"

#include "bitmapbutton.h"
#include "checkbox.h"
#include "dialogcontrols.h"
#include "edit.h"
#include "filefailure.h"
#include "formatting.h"
#include "formmessage.h"
#include "labelex.h"
#include "numberedit.h"
#include "numberfield.h"
#include "panel.h"
#include "panelex.h"
#include "radiobutton.h"
#include "sensorlist.h"
#include "zelto.h"

namespace {

enum TEditSensorText : size_t {
  etEditSensor,
  etAddSensor,
  etClose,
  etOK,
  etCancel,
  etName,
  etType,
  etAcceleration,
  etVelocity,
  etDisplacement,
  etSensitivity,
  etRangeLow,
  etRangeHigh,
  etInputGain,
  etTemperature,
  etTempGain,
  etTempOffset,
  etTempOffsetUnit,
  etSensorExists,
  etSensorNotSaved,
  etSensorNameRefused,
};

std::u16string Text(TEditSensorText text) { return LangText(TfEditSensor::LangKeys[text]).Text; }

constexpr int PanelWidth = 466;
constexpr int PanelHeight = 380;
constexpr int LabelLeft = 8, LabelWidth = 150;
constexpr int FieldLeft = 166, FieldWidth = 120;
constexpr int UnitLeft = 292, UnitWidth = 140;
constexpr int RowHeight = 21;

// The unit labels the edit-mode show puts there: the unit of the type
// without the leading blank the type buttons give it.
constexpr std::u16string_view StoredUnits[] = {u"mV/g", u"mV/(mm/s)", u"mV/µm"};

}  // namespace

TfEditSensor::TfEditSensor(gui::TComponent* owner) : TWindowFrame(owner, FrameEditSensor) {
  LayoutFrame(PanelWidth, PanelHeight);
  SetPosition(gui::poOwnerFormCenter);
  bCloseS = CreateStripCloseButton();
  bCloseS->OnClick = [this](gui::TComponent* sender) { bCancelClick(sender); };

  const TDialogParent onPanel{this, pWindow};
  peEdit = NewGroup(onPanel, gui::Bounds(8, 8, PanelWidth - 16, 322), false);
  peEdit->SetBevelOuter(gui::bvSpace);
  peEdit->SetBorderColor(gui::clGray);
  BuildRows();

  bOK = NewButton(onPanel, gui::Bounds(PanelWidth - 8 - 75 - 8 - 75, PanelHeight - 8 - 25, 75, 25));
  bCancel = NewButton(onPanel, gui::Bounds(PanelWidth - 8 - 75, PanelHeight - 8 - 25, 75, 25));
  bOK->OnClick = [this](gui::TComponent* sender) { bOKClick(sender); };
  bCancel->OnClick = [this](gui::TComponent* sender) { bCancelClick(sender); };
  rbType[0]->SetChecked(true);

  EscapeAction = [this] { bCancelClick(this); };
  EnterAction = [this] { bOKClick(this); };
}

bool TfEditSensor::FocusTakesEnter() const { return false; }

void TfEditSensor::BuildRows() {
  const TDialogParent inPanel{this, peEdit};
  int top = 12;
  auto rowLabel = [&](int y) {
    return NewLabel(inPanel, gui::Bounds(LabelLeft, y + 3, LabelWidth, 14), gui::taRightJustify);
  };
  auto unitLabel = [&](int y) { return NewLabel(inPanel, gui::Bounds(UnitLeft, y + 3, UnitWidth, 14)); };

  leName = rowLabel(top);
  eName = NewEdit(inPanel, gui::Bounds(FieldLeft, top, 2 * FieldWidth, RowHeight), SensorNameLength);
  eName->OnKeyPress = [](gui::TComponent*, char16_t& key) { SensorNameKey(key); };
  leName->SetFocusControl(eName);
  top += 30;

  leType = rowLabel(top);
  gbType = new gui::TPanel(this);
  gbType->SetParent(peEdit);
  gbType->SetBevelOuter(gui::bvNone);
  gbType->SetParentColor(true);
  gbType->SetBounds(FieldLeft, top, 2 * FieldWidth, 60);
  const TDialogParent inGroup{this, gbType};
  for (size_t i = 0; i < rbType.size(); ++i) {
    const int y = 2 + 20 * static_cast<int>(i);
    rbType[i] = NewRadio(inGroup, 0, y);
    rbType[i]->OnClick = [this](gui::TComponent* sender) { cbTypeChange(sender); };
    leTypeName[i] = NewLabel(inGroup, gui::Bounds(20, y + 1, 2 * FieldWidth - 20, 14));
    leTypeName[i]->SetFocusControl(rbType[i]);
    leTypeName[i]->OnClick = [this, i](gui::TComponent*) { rbType[i]->SetChecked(true); };
  }
  top += 66;

  leSensitivity = rowLabel(top);
  for (size_t i = 0; i < eValue.size(); ++i) {
    if (i == svTempGain) {
      // The temperature output sits between the input gain and its values.
      cbTemperature = NewCheck(inPanel, FieldLeft, top + 2);
      lTemperature = NewLabel(inPanel, gui::Bounds(FieldLeft + 20, top + 3, UnitLeft + UnitWidth - FieldLeft - 20, 14));
      lTemperature->OnClick = [this](gui::TComponent*) { cbTemperature->SetChecked(!cbTemperature->Checked()); };
      top += 28;
    }
    eValue[i] = NewNumberEdit(inPanel, gui::Bounds(FieldLeft, top, FieldWidth, RowHeight), SensorValueLength);
    auto* edit = eValue[i];
    edit->OnKeyPress = [edit](gui::TComponent*, char16_t& key) { DecimalFieldKey(key, edit->Text()); };
    top += 28;
  }
  const auto rowTop = [&](TSensorValue v) { return eValue[v]->Top(); };
  leSensUnit = unitLabel(rowTop(svSensitivity));
  leRangeLow = rowLabel(rowTop(svRangeLow));
  unitLabel(rowTop(svRangeLow))->SetCaption("Hz");
  leRangeHigh = rowLabel(rowTop(svRangeHigh));
  unitLabel(rowTop(svRangeHigh))->SetCaption("Hz");
  leInputGain = rowLabel(rowTop(svInputGain));
  leTempGain = rowLabel(rowTop(svTempGain));
  leTempGainUnit = unitLabel(rowTop(svTempGain));
  leTempOffset = rowLabel(rowTop(svTempOffset));
  leTempOffsetUnit = unitLabel(rowTop(svTempOffset));
}

void TfEditSensor::ShowTexts() {
  leCaption->SetCaptionW(Text(AddMode == 0 ? etEditSensor : etAddSensor));
  TLanguageService::AddToolTip(this, bCloseS, Text(etClose));
  bOK->SetCaptionW(Text(etOK));
  bCancel->SetCaptionW(Text(etCancel));
  leName->SetCaptionW(Text(etName));
  leType->SetCaptionW(Text(etType));
  for (size_t i = 0; i < leTypeName.size(); ++i) leTypeName[i]->SetCaptionW(Text(TEditSensorText(etAcceleration + i)));
  leSensitivity->SetCaptionW(Text(etSensitivity));
  leRangeLow->SetCaptionW(Text(etRangeLow));
  leRangeHigh->SetCaptionW(Text(etRangeHigh));
  leInputGain->SetCaptionW(Text(etInputGain));
  lTemperature->SetCaptionW(Text(etTemperature));
  leTempGain->SetCaptionW(Text(etTempGain));
  leTempGainUnit->SetCaptionW(u"mV/°C");
  leTempOffset->SetCaptionW(Text(etTempOffset));
  leTempOffsetUnit->SetCaptionW(Text(etTempOffsetUnit));
}

void TfEditSensor::DoShow() {
  TWindowFrame::DoShow();
  ShowTexts();
  if (AddMode == 0) {
    // The dialog starts from the file as it is on disk; a damaged or missing
    // file starts from zero.
    SensorInfo stored = NoSensor();
    if (TheCore) TheCore->LoadSensor(EditName, stored);
    stored.Name = EditName;
    ShowFields(SensorFieldsOf(stored));
    eName->SetEnabled(false);
    SetActiveControl(eSensitivity());
  } else {
    TSensorFields empty;
    empty.Values[svInputGain] = u"1";
    ShowFields(empty);
    cbTypeChange(rbType[0]);
    eName->SetEnabled(true);
    SetActiveControl(eName);
  }
  eName->SetMaxLength(SensorNameLength);
}

void TfEditSensor::ShowFields(const TSensorFields& fields) {
  eName->SetText(fields.Name);
  for (size_t i = 0; i < rbType.size(); ++i) rbType[i]->SetChecked(static_cast<int>(i) == fields.Type);
  for (size_t i = 0; i < eValue.size(); ++i) eValue[i]->ShowNumber(fields.Values[i]);
  cbTemperature->SetChecked(fields.Temperature);
  // Checking a button gave the unit with its blank; the stored type shows
  // the plain unit.
  if (fields.Type >= 0) leSensUnit->SetCaptionW(std::u16string(StoredUnits[fields.Type]));
}

int TfEditSensor::CheckedType() const {
  for (size_t i = 0; i < rbType.size(); ++i)
    if (rbType[i]->Checked()) return static_cast<int>(i);
  return -1;
}

TSensorFields TfEditSensor::ReadFields() const {
  TSensorFields fields;
  fields.Name = eName->Text();
  fields.Type = CheckedType();
  for (size_t i = 0; i < eValue.size(); ++i) fields.Values[i] = eValue[i]->Number();
  fields.Temperature = cbTemperature->Checked();
  return fields;
}

void TfEditSensor::cbTypeChange(gui::TComponent*) {
  const int type = CheckedType();
  leSensUnit->SetCaptionW(SensitivityUnitText(static_cast<uint8_t>(type < 0 ? 0 : type)));
  leSensUnit->Repaint();
}

void TfEditSensor::bOKClick(gui::TComponent*) {
  TSensorBuild build = BuildSensor(ReadFields());
  if (build.Check == sfcName) {
    eName->SetFocus();
    return;
  }
  if (build.Check == sfcValue) {
    eValue[build.Field]->SetFocus();
    return;
  }
  // An edited sensor keeps its file, whatever its name's length. A new name
  // pasted in (the keys that would make it are refused while typing) must
  // be one a file can have.
  if (AddMode == 0) build.Sensor.Name = EditName;
  if (AddMode == 1 && !TZelto::SensorNameStorable(build.Sensor.Name)) {
    ShowError(etSensorNameRefused);
    eName->SetFocus();
    return;
  }
  const std::u16string name = build.Sensor.Name;
  const auto saved = TheCore ? TheCore->SaveSensor(name, build.Sensor, AddMode == 1) : TZelto::ssrWriteFailed;
  if (saved == TZelto::ssrExists) {
    ShowError(etSensorExists);
    return;
  }
  if (saved == TZelto::ssrWriteFailed) {
    ShowError(etSensorNotSaved, TheCore ? FileFailureText(TheCore->FileFailure) : std::u16string());
    return;
  }
  Finish(1);
}

void TfEditSensor::ShowError(size_t text, const std::u16string& reason) {
  TfMessage box(this);
  box.Kind = mkError;
  box.MessageText = reason.empty() ? Text(TEditSensorText(text)) : Text(TEditSensorText(text)) + u"\n" + reason;
  box.ShowModal();
}

void TfEditSensor::bCancelClick(gui::TComponent*) { Finish(2); }

void TfEditSensor::Finish(int32_t result) {
  EditResult = result;
  if (Modal())
    SetModalResult(result == 1 ? gui::mrOk : gui::mrCancel);
  else
    Close();
}
