#include "formconfig.h"

#include <algorithm>

#include "bitmapbutton.h"
#include "bitmap.h"
#include "canvas.h"
#include "checkbox.h"
#include "combobox.h"
#include "configpages.h"
#include "datetimepicker.h"
#include "dialogcontrols.h"
#include "drawgrid.h"
#include "edit.h"
#include "filefailure.h"
#include "formatting.h"
#include "formmessage.h"
#include "formrotordef.h"
#include "formselectsensor.h"
#include "imagelist.h"
#include "labelex.h"
#include "listbox.h"
#include "memo.h"
#include "numberedit.h"
#include "numberfield.h"
#include "panelex.h"
#include "popupmenu.h"
#include "radiobutton.h"
#include "rotorlogic.h"
#include "rotorpictures.h"
#include "setupservices.h"
#include "textlayout.h"
#include "textconv.h"
#include "wallclock.h"
#include "zelto.h"

using namespace configlayout;

namespace {

// The texts in the order of TfConfig::LangKeys.
enum TConfigText : size_t {
  ctSetup,
  ctClose,
  ctMenuFirst,  // the ten page list entries
  ctAveraging = ctMenuFirst + ConfigPageCount,
  ctOnePlane,
  ctTwoPlanes,
  ctBalancingHead,
  ctTwoWeights,
  ctThreeWeights,
  ctWeightAControlShift,
  ctSpeedTolerance,
  ctZeltoValue,
  ctGain,
  ctChange,
  ctPerResidualUnbalance,
  ctPerResidualSpecificUnbalance,
  ctPlaneA,
  ctPlaneB,
  ctInformation,
  ctSamplingRate,
  ctBufferSize,
  ctSpeedRange,
  ctMeasDuration,
  ctParameters,
  ctZeltoSensorBase,
  ctEdit,
  ctAcceleration,
  ctVelocity,
  ctDisplacement,
  ctYes,
  ctNo,
  ctChannelA,
  ctChannelB,
  ctName,  // the six row titles of the sensor grid: Name .. Temperature
  ctType,
  ctSensitivity,
  ctRangeLow,
  ctRangeHigh,
  ctTemperature,
  ctValue,
  ctUnit,
  ctSuggestedControlMass,
  ctAddMassEx,
  ctRemoveMassEx,
  ctDivideMass,
  ctLocation,
  ctDate,
  ctOperator,
  ctMachineOwner,
  ctMachineType,
  ctObjectName,
  ctVibration,
  ctSpeed,
  ctProcessingUnit,
  ctOK,
  ctCancel,
  ctChangeLangInfo,
  ctSetupClearsRuns,
  ctSetupClearsRunsAsk,
  ctRun,
  ctTrimRun,
  ctJobSensorNotListed,
  ctJobSensorDiffers,
  ctAboutName,
  ctAboutLine1,
};

std::u16string Text(size_t text) { return LangText(TfConfig::LangKeys[text]).Text; }

// A stored position, or no selection when the list has no such entry.
int ListIndex(int32_t position, int count) { return position >= 0 && position < count ? position : -1; }

}  // namespace

// ---- showing ----

void TfConfig::DoShow() {
  TWindowFrame::DoShow();
  const int start = FControlMassPage ? cpControlMass : FServices ? FServices->SetupPage() : 0;
  lbMenu->SetItemIndex(std::clamp(start, 0, ConfigPageCount - 1));
  ShowTexts();
  UpdatePageVisibility();
  FLoading = true;
  ShowValues();
  FLoading = false;
  UpdateEnabledState();
  SetActiveControl(lbMenu);
}

void TfConfig::ShowTexts() {
  leCaption->SetCaptionW(Text(ctSetup));
  TLanguageService::AddToolTip(this, bClose, Text(ctClose));
  for (int i = 0; i < ConfigPageCount; ++i) MenuTexts[static_cast<size_t>(i)] = Text(ctMenuFirst + i);
  peBalancing->SetCaptionW(Text(ctMenuFirst + static_cast<size_t>(cpBalancing)));
  leAveraging->SetCaptionW(Text(ctAveraging));
  tbOnePlane->SetCaptionW(Text(ctOnePlane));
  tbTwoPlanes->SetCaptionW(Text(ctTwoPlanes));
  tbBalancingHead->SetCaptionW(Text(ctBalancingHead));
  tbGWBTwoWeights->SetCaptionW(Text(ctTwoWeights));
  tbGWBThreeWeights->SetCaptionW(Text(ctThreeWeights));
  leGWBControlShift->SetCaptionW(Text(ctWeightAControlShift));
  leSpeedTolerance->SetCaptionW(Text(ctSpeedTolerance));
  leZeltoValue->SetCaptionW(Text(ctZeltoValue));
  peRotor->SetCaptionW(Text(ctMenuFirst + static_cast<size_t>(cpRotor)));
  leGain->SetCaptionW(Text(ctGain));
  const std::u16string change = Text(ctChange);
  bChangeRotorParams->SetCaptionW(change);
  leMaxUnbalance->SetCaptionW(Text(ctPerResidualUnbalance));
  leMaxSpecificUnbalance->SetCaptionW(Text(ctPerResidualSpecificUnbalance));
  for (TLabelEx* l : {lePlaneA1, lePlaneA2}) l->SetCaptionW(Text(ctPlaneA));
  for (TLabelEx* l : {lePlaneB1, lePlaneB2}) l->SetCaptionW(Text(ctPlaneB));
  peSamplingParams->SetCaptionW(Text(ctMenuFirst + static_cast<size_t>(cpSampling)));
  peSamplingInfo->SetCaptionW(Text(ctInformation));
  leSamplingRate->SetCaptionW(Text(ctSamplingRate));
  leBuffSizeLabel->SetCaptionW(Text(ctBufferSize));
  leSpeedRange->SetCaptionW(Text(ctSpeedRange));
  leMeasDuration->SetCaptionW(Text(ctMeasDuration));
  peSensorInfo->SetCaptionW(Text(ctParameters));
  TLanguageService::AddToolTip(this, bSelectSensorA, change);
  TLanguageService::AddToolTip(this, bSelectSensorB, change);
  peSensorBase->SetCaptionW(Text(ctZeltoSensorBase));
  bSensorBase->SetCaptionW(Text(ctEdit));
  for (size_t i = 0; i < FSensorTexts.Types.size(); ++i) FSensorTexts.Types[i] = Text(ctAcceleration + i);
  FSensorTexts.Yes = Text(ctYes);
  FSensorTexts.No = Text(ctNo);
  FColumnTitles = {Text(ctChannelA), Text(ctChannelB)};
  for (size_t i = 0; i < FRowTitles.size(); ++i) FRowTitles[i] = Text(ctName + i);
  peCtrlMass->SetCaptionW(Text(ctMenuFirst + static_cast<size_t>(cpControlMass)));
  leCtrlMassValue->SetCaptionW(Text(ctValue));
  leCtrlMassUnit->SetCaptionW(Text(ctUnit));
  leCtrlMassSugg->SetCaptionW(Text(ctSuggestedControlMass));
  peCorrectionMass->SetCaptionW(Text(ctMenuFirst + static_cast<size_t>(cpCorrectionMass)));
  tbAddMass->SetCaptionW(Text(ctAddMassEx));
  tbRemoveMass->SetCaptionW(Text(ctRemoveMassEx));
  tbDivideMass->SetCaptionW(Text(ctDivideMass));
  peSession->SetCaptionW(Text(ctMenuFirst + static_cast<size_t>(cpSession)));
  leInfoDate->SetCaptionW(Text(ctDate));
  const size_t infoTexts[SessionTextCount] = {ctLocation, ctOperator, ctMachineOwner, ctMachineType, ctObjectName};
  for (size_t i = 0; i < leInfo.size(); ++i) leInfo[i]->SetCaptionW(Text(infoTexts[i]));
  peAmplitude->SetCaptionW(Text(ctVibration));
  peSpeed->SetCaptionW(Text(ctSpeed));
  gui::TRadioButton* quantities[] = {rbVoltage, rbAcceleration, rbVelocity, rbDisplacement};
  for (uint8_t q = 0; q < 4; ++q) quantities[q]->SetCaptionW(AmplitudeUnitText(q, 0));
  peLanguage->SetCaptionW(Text(ctMenuFirst + static_cast<size_t>(cpLanguage)));
  leName->SetCaptionW(Text(ctAboutName));
  for (size_t i = 0; i < leLines.size(); ++i) leLines[i]->SetCaptionW(Text(ctAboutLine1 + i));
  bChangeLang->SetCaptionW(change);
  peOwner->SetCaptionW(Text(ctMenuFirst + static_cast<size_t>(cpOwner)));
  leOwner->SetCaptionW(Text(ctProcessingUnit));
  bOK->SetCaptionW(Text(ctOK));
  bCancel->SetCaptionW(Text(ctCancel));
  lbMenu->Invalidate();
}

void TfConfig::ShowValues() {
  if (!TheCore) return;
  TZelto& core = *TheCore;
  // A session that has no date yet gets today's.
  TSessionDate& date = core.Session.Date;
  if (date.Year == 0 && date.Month == 0 && date.Day == 0) {
    const TWallTime now = LocalWallTime();
    date = {static_cast<uint16_t>(now.Year), static_cast<uint16_t>(now.Month), static_cast<uint16_t>(now.Day)};
  }
  const TConfigSettings s = SettingsFromCore(core);
  rbOnePlane->SetChecked(s.OnePlane);
  rbTwoPlanes->SetChecked(!s.OnePlane);
  cbBalancingHead->SetChecked(s.GwbEnabled);
  if (s.GwbMode == 0) rbGWBTwoWeights->SetChecked(true);
  if (s.GwbMode == 1) rbGWBThreeWeights->SetChecked(true);
  eShiftWeightBy->ShowNumber({FormatPattern(s.GwbShift, u"0"), s.GwbShift});
  WorkRotor = s.Rotor;
  UpdateRotorParams();
  ShowSamplingLists(s);
  UpdateSamplingInfo();
  SensorsChanged = false;
  SensorNameA = core.VibSensorA.Name;
  SensorNameB = core.VibSensorB.Name;
  LoadSensorInfo();
  eCtrlMassValue->ShowNumber(s.CtrlMassValue);
  eCtrlMassUnit->SetText(s.CtrlMassUnit);
  UpdateSuggestedCtrlMass();
  ShowCorrectionAndSession(s);
  gui::TRadioButton* quantities[] = {rbVoltage, rbAcceleration, rbVelocity, rbDisplacement};
  quantities[s.AmplDisplayMode]->SetChecked(true);
  (s.SpeedHz ? rbHz : rbRpm)->SetChecked(true);
  reOwner->SetText(s.Owner);
  FShown.CtrlMassUnit = eCtrlMassUnit->Text();
  FShown.Owner = reOwner->Text();
  for (size_t i = 0; i < eInfo.size(); ++i) FShown.Session[i] = eInfo[i]->Text();
}

void TfConfig::ShowSamplingLists(const TConfigSettings& s) {
  const TZelto& core = *TheCore;
  FClockItems = DriverClockItems(core);
  cbSamplingRate->Items().Clear();
  for (const std::u16string& text : SamplingRateTexts(FClockItems)) cbSamplingRate->Items().Add(text);
  WorkSamplingRate = s.SamplingRate;
  cbSamplingRate->SetItemIndex(ListIndex(WorkSamplingRate, cbSamplingRate->Items().Count()));

  WorkBuffLength = s.BuffLength;
  FBufferItems = BufferLengthItems(core.RamSize, core.CapturesWholeMemory, WorkBuffLength);
  cbBuffSize->Items().Clear();
  for (const TBufferItem& item : FBufferItems) cbBuffSize->Items().Add(IntegerText(item.Length));
  cbBuffSize->SetItemIndex(FBufferItems.size() == 1 && !FBufferItems[0].HasValue
                               ? 0
                               : BufferItemIndex(FBufferItems, WorkBuffLength));

  cbSpeedTolerance->SetItemIndex(s.SpeedTolerance);
  cbZeltoValue->Items().Clear();
  for (uint8_t mode = 0; mode < 3; ++mode) cbZeltoValue->Items().Add(AmplitudeModeText(mode));
  cbZeltoValue->SetItemIndex(s.VibValueType);
  cbAveraging->Items().Clear();
  for (int i = 1; i <= MaxAvgSize; ++i) cbAveraging->Items().Add(IntegerText(i));
  cbAveraging->SetItemIndex(s.AveragingIndex);
}

void TfConfig::ShowCorrectionAndSession(const TConfigSettings& s) {
  (s.MassAdd ? rbAddMass : rbRemoveMass)->SetChecked(true);
  cbDivideMass->SetChecked(s.DivideMass);
  eRotorDivs->SetText(s.RotorDivs);
  dtpInfoDate->SetDate({s.Date.Year, s.Date.Month, s.Date.Day});
  for (size_t i = 0; i < eInfo.size(); ++i) eInfo[i]->SetText(s.SessionTexts[i]);
}

// ---- page operations ----

void TfConfig::UpdatePageVisibility() {
  const int selected = lbMenu->ItemIndex();
  for (int i = 0; i < ConfigPageCount; ++i) Pages[static_cast<size_t>(i)]->SetVisible(i == selected);
}

void TfConfig::UpdateEnabledState() {
  const bool fresh = TheCore && IsFreshSession(*TheCore);
  const TConfigEnabling e = ConfigEnabling(fresh, rbOnePlane->Checked(), cbBalancingHead->Checked(),
                                           cbDivideMass->Checked(), WorkRotor.Type);
  for (gui::TControl* c : std::initializer_list<gui::TControl*>{rbOnePlane, rbTwoPlanes, tbOnePlane, tbTwoPlanes})
    c->SetEnabled(e.Planes);
  for (gui::TControl* c : std::initializer_list<gui::TControl*>{leAveraging, cbAveraging, cbSamplingRate, cbBuffSize})
    c->SetEnabled(e.Capture);
  for (TBitmapButton* b : {bSelectSensorA, bSelectSensorB, bSensorBase}) b->SetEnabled(e.Sensors);
  cbBalancingHead->SetEnabled(e.BalancingHead);
  tbBalancingHead->SetEnabled(e.BalancingHead);
  for (gui::TControl* c : std::initializer_list<gui::TControl*>{rbGWBTwoWeights, rbGWBThreeWeights, eShiftWeightBy,
                                                                tbGWBTwoWeights, tbGWBThreeWeights, leGWBControlShift})
    c->SetEnabled(e.GwbOptions);
  eCtrlMassValue->SetEnabled(e.CtrlMassValue);
  eCtrlMassUnit->SetEnabled(e.CtrlMassUnit);
  cbDivideMass->SetEnabled(e.DivideMass);
  tbDivideMass->SetEnabled(e.DivideMass);
  eRotorDivs->SetEnabled(e.DivideMass);
}

void TfConfig::UpdateSamplingInfo() {
  const double rate = WorkSamplingRate >= 0 && WorkSamplingRate < static_cast<int32_t>(FClockItems.size())
                          ? FClockItems[static_cast<size_t>(WorkSamplingRate)]
                          : 0;
  const uint8_t mode = TheCore ? TheCore->SpeedDisplayMode : 0;
  const TSamplingInfo info = SamplingInfo(rate, WorkBuffLength, cbAveraging->ItemIndex() + 1, mode);
  stSpeedRange->SetCaptionW(info.SpeedRange);
  stMeasDuration->SetCaptionW(info.Duration);
}

void TfConfig::LoadSensorInfo() {
  auto load = [this](size_t channel, std::u16string& name, SensorInfo& sensor) {
    // The job's own sensor stays until one is chosen for the channel; it is
    // not looked up again, so a file that could not be read is told once.
    if (SensorOrigins[channel] != soList && !FSensorChosen[channel]) return;
    const TShownSensor shown =
        TheCore ? ShownSensor(*TheCore, name, channel == 0 ? TheCore->VibSensorA : TheCore->VibSensorB,
                              FSensorChosen[channel])
                : TShownSensor{};
    name = shown.Name;
    sensor = shown.Sensor;
    SensorOrigins[channel] = shown.Origin;
  };
  load(0, SensorNameA, WorkSensorA);
  load(1, SensorNameB, WorkSensorB);
  TellSensorFailures();
  ShowJobSensors();
  dgSensors->Repaint();
  FillGainList(cbGainA, WorkSensorA, TheCore ? TheCore->GainA : 0);
  FillGainList(cbGainB, WorkSensorB, TheCore ? TheCore->GainB : 0);
}

// The job's runs are measured with the sensors the job holds: a channel
// that shows one of them which this PC's list lacks or holds otherwise says
// so under the grid, wrapped at its width.
void TfConfig::ShowJobSensors() {
  std::u16string note;
  for (size_t channel = 0; channel < SensorOrigins.size(); ++channel) {
    if (SensorOrigins[channel] == soList) continue;
    if (!note.empty()) note += u"\n";
    note += FColumnTitles[channel] + u": " +
            Text(SensorOrigins[channel] == soJobDiffers ? ctJobSensorDiffers : ctJobSensorNotListed);
  }
  gui::TBitmap scratch(1, 1);
  scratch.Canvas().Font().Assign(leJobSensors->Font());
  leJobSensors->SetCaptionW(gui::WrapText(note, leJobSensors->Width(), [&](std::u16string_view line) {
    return scratch.Canvas().TextWidth(line);
  }));
}

std::function<void(const std::u16string&)> TfConfig::SensorFailureLog() const {
  return FServices ? FServices->JobSaveReport().WriteLog : nullptr;
}

void TfConfig::TellSensorFailures() {
  if (TheCore)
    ::TellSensorFailures(
        *TheCore, [this](const std::u16string& text) { ShowMessageBox(this, mkError, text); }, SensorFailureLog());
}

void TfConfig::FillGainList(gui::TComboBox* list, const SensorInfo& sensor, int32_t gain) {
  // A range the user already picked stays picked when the sensor changes.
  const int picked = FLoading ? -1 : list->ItemIndex();
  list->Items().Clear();
  for (const std::u16string& text : InputRangeTexts(TheCore ? DriverGainItems(*TheCore) : std::vector<int32_t>(),
                                                    sensor.InputGain))
    list->Items().Add(text);
  list->SetItemIndex(ListIndex(picked >= 0 ? picked : gain, list->Items().Count()));
}

void TfConfig::UpdateRotorParams() {
  const int type = WorkRotor.Type < RotorPictureCount ? WorkRotor.Type : 0;
  gui::TBitmap picture;
  ilRotors->GetBitmap(type, picture);
  bChangeRotorParamsImg->SetBitmap(&picture);
  bChangeRotorParamsImg->Repaint();
  const TRotorSummary summary = RotorSummary(WorkRotor, rbTwoPlanes->Checked());
  pRotorParams->SetVisible(summary.Shown);
  if (!summary.Shown) return;
  stMaxUnbalanceA->SetCaptionW(summary.UnbalanceA);
  stMaxSpecificUnbalanceA->SetCaptionW(summary.SpecificA);
  stMaxUnbalanceB->SetCaptionW(summary.UnbalanceB);
  stMaxSpecificUnbalanceB->SetCaptionW(summary.SpecificB);
  for (TLabelEx* l : {lePlaneB1, stMaxUnbalanceB, lePlaneB2, stMaxSpecificUnbalanceB}) l->SetVisible(summary.PlaneB);
}

void TfConfig::UpdateSuggestedCtrlMass() {
  const bool iso = WorkRotor.Type != 0;
  stCtrlMassSugg->SetEnabled(iso);
  leCtrlMassSugg->SetEnabled(iso);
  eCtrlMassUnit->SetEnabled(!iso);
  if (!iso) {
    stCtrlMassSugg->SetCaptionW(u"-");
    eCtrlMassUnit->SetText(TheCore ? rtl::Utf8ToUtf16(TheCore->CtrlMass.Unit) : u"g");
    return;
  }
  eCtrlMassUnit->SetText(u"g");
  const std::optional<double> mass = SuggestedControlMass(WorkRotor, rbTwoPlanes->Checked());
  stCtrlMassSugg->SetCaptionW(mass ? FormatNumber(*mass) + u"g" : u"-");
}

std::u16string TfConfig::SensorCellText(int col, int row) const {
  if (col < 1 || col > 2 || row < 1 || row >= GridRows) return {};
  const SensorInfo& sensor = col == 1 ? WorkSensorA : WorkSensorB;
  const std::u16string& name = col == 1 ? SensorNameA : SensorNameB;
  if (row == 1) return name;
  // A channel without a sensor is empty; a named one whose figures are not
  // known has none to show.
  if (!SensorKnown(sensor)) return name.empty() ? std::u16string() : std::u16string(UnknownSensorText);
  switch (row) {
    case 2: return SensorTypeText(sensor, FSensorTexts);
    case 3: return SensitivityText(sensor);
    case 4: return FormatFrequency(sensor.RangeLow, 1);
    case 5: return FormatFrequency(sensor.RangeHigh, 1);
    default: return TemperatureText(sensor, FSensorTexts);
  }
}

void TfConfig::dgSensorsDrawCell(int col, int row, gui::TRect rect) {
  gui::TCanvas& c = dgSensors->Canvas();
  c.Brush() = {col == 0 || row == 0 ? GridTitleColor : FieldColor, gui::bsSolid};
  c.FillRect(rect);
  c.SetBkMode(gui::bkTransparent);
  c.Font().SetColor(gui::clBlack);
  c.Font().SetStyle(0);
  if (col == 0 && row == 0) return;
  const int middle = rect.Left + (rect.Right - rect.Left) / 2;
  if (row == 0) {
    c.SetTextAlign(gui::TA_CENTER | gui::TA_TOP);
    c.TextOut(middle, rect.Top + 4, std::u16string_view(FColumnTitles[static_cast<size_t>(col - 1)]));
  } else if (col == 0) {
    c.SetTextAlign(gui::TA_LEFT | gui::TA_TOP);
    c.TextOut(rect.Left + 4, rect.Top + 4, std::u16string_view(FRowTitles[static_cast<size_t>(row - 1)]));
  } else {
    c.SetTextAlign(gui::TA_CENTER | gui::TA_TOP);
    c.TextOut(middle, rect.Top + 4, std::u16string_view(SensorCellText(col, row)));
  }
}

void TfConfig::lbMenuDrawItem(int index, gui::TRect rect, uint8_t state) {
  if (index < 0 || index >= ConfigPageCount) return;
  gui::TCanvas& c = lbMenu->Canvas();
  const gui::TColor fill = (state & gui::odSelected) ? SelectedFieldColor : FieldColor;
  c.Brush() = {fill, gui::bsSolid};
  c.FillRect(rect);
  c.Font().SetColor(gui::clBlack);
  c.SetBkMode(gui::bkOpaque);
  c.SetBkColor(fill);
  c.SetTextAlign(gui::TA_LEFT | gui::TA_TOP);
  const std::u16string& text = MenuTexts[static_cast<size_t>(index)];
  if (!text.empty()) c.TextOut(rect.Left + 16, rect.Top + 5, std::u16string_view(text));
  if (index < NumberedEntries) c.TextOut(rect.Left + 2, rect.Top + 5, IntegerText(index + 1) + u":");
  if (index == NumberedEntries) {
    c.Pen() = {SeparatorColor, 1, gui::psSolid};
    c.MoveTo(rect.Left + 2, rect.Top);
    c.LineTo(rect.Right - 2, rect.Top);
  }
}

// ---- handlers ----

void TfConfig::lbClick(gui::TComponent*) { UpdatePageVisibility(); }

void TfConfig::rbPlanesClick(gui::TComponent*) {
  if (FLoading) return;
  // A rotor belongs to its number of planes; the amplitude-only method to
  // one plane.
  WorkRotor = ZeroRotor();
  UpdateRotorParams();
  if (rbTwoPlanes->Checked()) cbBalancingHead->SetChecked(false);
  UpdateSuggestedCtrlMass();
  UpdateEnabledState();
}

void TfConfig::GwbOptionClick(gui::TComponent*) {
  if (FLoading) return;
  if (rbGWBTwoWeights->Enabled() && rbGWBThreeWeights->Enabled()) cbDivideMass->SetChecked(false);
  UpdateEnabledState();
}

void TfConfig::cbSamplingRateChange(gui::TComponent*) {
  WorkSamplingRate = cbSamplingRate->ItemIndex();
  UpdateSamplingInfo();
}

void TfConfig::cbBuffSizeChange(gui::TComponent*) {
  const int index = cbBuffSize->ItemIndex();
  if (index >= 0 && index < static_cast<int>(FBufferItems.size()) && FBufferItems[static_cast<size_t>(index)].HasValue)
    WorkBuffLength = FBufferItems[static_cast<size_t>(index)].Length;
  UpdateSamplingInfo();
}

void TfConfig::stSpeedRangeClick(gui::TComponent*) {
  if (TheCore) TheCore->SpeedDisplayMode = TheCore->SpeedDisplayMode == 1 ? 0 : 1;
  UpdateSamplingInfo();
}

void TfConfig::bChangeRotorParamsClick(gui::TComponent*) {
  {
    TfRotorDef rotor(this, WorkRotor, rbTwoPlanes->Checked());
    rotor.ShowModal();
  }
  UpdateRotorParams();
  UpdateSuggestedCtrlMass();
  UpdateEnabledState();
  // The rotor dialog may have switched the speed unit.
  UpdateSamplingInfo();
}

void TfConfig::bSelectSensorClick(gui::TComponent* sender) {
  if (!TheCore) return;
  const std::vector<std::u16string> names = SortedSensorNames(*TheCore);
  if (names.empty()) return;
  const bool channelA = sender == bSelectSensorA;
  std::u16string& current = channelA ? SensorNameA : SensorNameB;
  gui::TPopupMenu menu(this);
  const int count = static_cast<int>(names.size());
  for (int i = 0; i < count; ++i) {
    menu.Append(i + 1, names[static_cast<size_t>(i)]);
    if (names[static_cast<size_t>(i)] == current) menu.CheckRadioItem(1, count, i + 1);
  }
  auto* button = static_cast<TBitmapButton*>(sender);
  const gui::TPoint below = button->ClientToScreen({0, button->Height()});
  const int chosen = menu.Track(below.x, below.y, gui::TPM_LEFTALIGN | gui::TPM_TOPALIGN, this);
  if (chosen < 1 || chosen > count) return;
  current = names[static_cast<size_t>(chosen - 1)];
  FSensorChosen[channelA ? 0 : 1] = true;
  SensorsChanged = true;
  LoadSensorInfo();
}

void TfConfig::bSensorBaseClick(gui::TComponent*) {
  {
    TfSelectSensor database(this);
    database.WriteLog = SensorFailureLog();
    database.ShowModal();
  }
  // The database may have been given a channel's sensor: a channel whose
  // name it lists takes that sensor as chosen; one whose job's sensor it
  // lacks (or can't read) keeps the job's. The files it can't read it has
  // just told.
  if (TheCore) {
    for (const TSensorEntry& entry : LoadSensorEntries(*TheCore))
      for (const auto& [channel, name] : {std::pair{size_t{0}, &SensorNameA}, std::pair{size_t{1}, &SensorNameB}})
        if (entry.FileName == *name) FSensorChosen[channel] = true;
    TheCore->SensorFailures.clear();
  }
  SensorsChanged = true;
  LoadSensorInfo();
}

void TfConfig::eRotorDivsEnter(gui::TComponent*) {
  if (eRotorDivs->Text() == u"-") eRotorDivs->SetText(u"");
}

void TfConfig::eRotorDivsExit(gui::TComponent*) { eRotorDivs->SetText(ClampRotorDivs(eRotorDivs->Text())); }

void TfConfig::bChangeLangClick(gui::TComponent*) {
  // The language stays loaded; the next start asks for one.
  if (TheCore) TheCore->Language.clear();
  TfMessage box(this);
  box.Kind = mkInformation;
  box.MessageText = Text(ctChangeLangInfo);
  box.ShowModal();
}

// ---- confirming and closing ----

bool TfConfig::FieldFailed(TConfigPage page, gui::TEdit* field) {
  lbMenu->SetItemIndex(page);
  UpdatePageVisibility();
  field->SetFocus();
  return false;
}

bool TfConfig::ReadSettings(TConfigSettings& s) {
  const TZelto* core = TheCore;
  s = core ? SettingsFromCore(*core) : TConfigSettings();
  s.BuffLength = WorkBuffLength;
  s.SamplingRate = WorkSamplingRate;
  s.AveragingIndex = std::max(cbAveraging->ItemIndex(), 0);
  s.SpeedTolerance = std::max(cbSpeedTolerance->ItemIndex(), 0);
  s.VibValueType = std::max(cbZeltoValue->ItemIndex(), 0);
  s.GainA = cbGainA->ItemIndex();
  s.GainB = cbGainB->ItemIndex();
  s.OnePlane = rbOnePlane->Checked();
  s.Rotor = WorkRotor;
  // A field that can't be used keeps the core's value; an enabled one must
  // hold a usable number: a positive control mass, a whole shift angle. A
  // number or text field the user left as shown keeps the stored value.
  const std::optional<double> mass = FieldNumberValue(eCtrlMassValue->Number());
  if (mass && *mass > 0)
    s.CtrlMassValue = *mass;
  else if (eCtrlMassValue->Enabled())
    return FieldFailed(cpControlMass, eCtrlMassValue);
  if (eCtrlMassUnit->Text() != FShown.CtrlMassUnit) s.CtrlMassUnit = eCtrlMassUnit->Text();
  s.MassAdd = rbAddMass->Checked();
  s.DivideMass = cbDivideMass->Checked();
  s.RotorDivs = eRotorDivs->Text();
  s.GwbEnabled = cbBalancingHead->Checked();
  s.GwbMode = rbGWBTwoWeights->Checked() ? 0 : rbGWBThreeWeights->Checked() ? 1 : -1;
  // The shift is shown in whole degrees; typed, it is a whole number.
  const TFieldNumber shiftField = eShiftWeightBy->Number();
  std::optional<double> shift = shiftField.Given;
  if (const std::optional<int> typed = ParseFieldInteger(shiftField.Text, 9999); !shift && typed) shift = *typed;
  if (shift)
    s.GwbShift = *shift;
  else if (eShiftWeightBy->Enabled())
    return FieldFailed(cpBalancing, eShiftWeightBy);
  const gui::TCalendarDate date = dtpInfoDate->Date();
  s.Date = {static_cast<uint16_t>(date.Year), static_cast<uint16_t>(date.Month), static_cast<uint16_t>(date.Day)};
  for (size_t i = 0; i < eInfo.size(); ++i)
    if (eInfo[i]->Text() != FShown.Session[i]) s.SessionTexts[i] = eInfo[i]->Text();
  const gui::TRadioButton* quantities[] = {rbVoltage, rbAcceleration, rbVelocity, rbDisplacement};
  for (uint8_t q = 0; q < 4; ++q)
    if (quantities[q]->Checked()) s.AmplDisplayMode = q;
  s.SpeedHz = rbHz->Checked();
  if (reOwner->Text() != FShown.Owner) s.Owner = reOwner->Text();
  return true;
}

void TfConfig::bOKClick(gui::TComponent*) {
  // What the user typed into the rotor-divisions field is clamped as when
  // it is left; an untouched field keeps the stored count.
  if (eRotorDivs->Modified()) eRotorDivs->SetText(ClampRotorDivs(eRotorDivs->Text()));
  TConfigSettings settings;
  if (!ReadSettings(settings) || !ClearingAgreed(settings)) return;
  FConfirmed = settings;
  Finish(ConfigOK);
}

bool TfConfig::ClearingAgreed(const TConfigSettings& settings) {
  FClearingNote.clear();
  if (!TheCore) return true;
  const std::vector<int> runs = RunsClearedBy(*TheCore, settings);
  if (runs.empty()) return true;
  const std::u16string names = RunNames(runs, Text(ctRun), Text(ctTrimRun));
  const std::u16string told = Text(ctSetupClearsRuns) + u"\n" + names;
  if (ShowMessageBox(this, mkWarning, told + u"\n" + Text(ctSetupClearsRunsAsk)) != gui::mrYes) return false;
  FClearingNote = told;
  return true;
}

void TfConfig::bCancelClick(gui::TComponent*) { Finish(ConfigCancel); }

void TfConfig::bCloseClick(gui::TComponent*) {
  if (Modal())
    SetModalResult(gui::mrCancel);
  else
    Close();
}

void TfConfig::Finish(int32_t result) {
  CloseResult = result;
  if (Modal())
    SetModalResult(result == ConfigOK ? gui::mrOk : gui::mrCancel);
  else
    Close();
}

bool TfConfig::FocusTakesEnter() const {
  // Enter makes a new line in the owner text.
  return ActiveControl() == reOwner || TWindowFrame::FocusTakesEnter();
}

void TfConfig::DoClose(gui::TCloseAction& action) {
  TWindowFrame::DoClose(action);
  if (action == gui::caNone) return;
  if (TheCore && SensorsChanged) {
    ApplySensorChoice(*TheCore, SensorNameA, SensorNameB, SensorOrigins[0] != soList, SensorOrigins[1] != soList);
    // The names LoadSensorInfo looked up last: what failed was told then.
    TheCore->SensorFailures.clear();
  }
  if (TheCore && CloseResult == ConfigOK && FConfirmed) {
    if (!FClearingNote.empty() && FServices) FServices->WriteLogNote(FClearingNote);
    ApplySettings(*TheCore, *FConfirmed, FServices);
  }
  FConfirmed.reset();
  FClearingNote.clear();
  if (FServices) FServices->SetSetupPage(lbMenu->ItemIndex());
}

int32_t ShowSetupDialog(gui::TComponent* owner, TSetupServices* services, bool controlMassPage) {
  TfConfig dialog(owner, services, controlMassPage);
  dialog.ShowModal();
  return dialog.CloseResult;
}
