#include "formconfig.h"

#include <algorithm>

#include "bitmapbutton.h"
#include "canvas.h"
#include "checkbox.h"
#include "combobox.h"
#include "datetimepicker.h"
#include "dialogcontrols.h"
#include "drawgrid.h"
#include "edit.h"
#include "formatting.h"
#include "formmessage.h"
#include "formrotordef.h"
#include "formselectsensor.h"
#include "imagelist.h"
#include "labelex.h"
#include "listbox.h"
#include "memo.h"
#include "numberfield.h"
#include "panelex.h"
#include "popupmenu.h"
#include "radiobutton.h"
#include "rotorlogic.h"
#include "rotorpictures.h"
#include "setupservices.h"
#include "textconv.h"
#include "wallclock.h"
#include "zelto.h"

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
  ctAboutName,
  ctAboutLine1,
};

std::u16string Text(size_t text) { return LangText(TfConfig::LangKeys[text]).Text; }

constexpr int PanelWidth = 620;
constexpr int PanelHeight = 400;
constexpr int MenuItemHeight = 24;
constexpr int PageLeft = 176, PageTop = 8, PageWidth = 436, PageHeight = 350;
constexpr int LabelWidth = 180, FieldLeft = 196, FieldHeight = 21;
constexpr int RotorImageWidth = 200, RotorImageHeight = 100;
constexpr int GridTitleWidth = 101, GridColumnWidth = 140, GridRowHeight = 21, GridRows = 7;
// Entries 0..7 are numbered; a line separates the last two.
constexpr int NumberedEntries = 8;
constexpr gui::TColor SeparatorColor = 0x808080;
constexpr gui::TColor GridTitleColor = WorkPanelColor;

// The row of a label and its control on a page: label right-aligned in the
// left column, control from FieldLeft.
int RowTop(int row) { return GroupHeaderHeight + 8 + row * 27; }

gui::TBitmap DropGlyph() {
  gui::TBitmap glyph(9, 5);
  gui::TCanvas& c = glyph.Canvas();
  c.Brush() = {gui::clWhite, gui::bsSolid};
  c.FillRect(gui::Rect(0, 0, 9, 5));
  for (int y = 0; y < 5; ++y)
    for (int x = y; x < 9 - y; ++x) c.SetPixel(x, y, gui::clBlack);
  glyph.SetTransparent(true);
  glyph.SetTransparentColor(gui::clWhite);
  return glyph;
}

std::u16string IntegerText(int value) { return rtl::AsciiToUtf16(std::to_string(value)); }

}  // namespace

// ---- construction ----

TfConfig::TfConfig(gui::TComponent* owner, TSetupServices* services, bool controlMassPage)
    : TWindowFrame(owner, FrameConfig), FServices(services), FControlMassPage(controlMassPage) {
  LayoutFrame(PanelWidth, PanelHeight);
  SetPosition(gui::poOwnerFormCenter);
  bClose = CreateStripCloseButton();
  bClose->OnClick = [this](gui::TComponent* sender) { bCloseClick(sender); };

  ilRotors = new gui::TImageList(this);
  FillRotorImages(*ilRotors, RotorImageWidth, RotorImageHeight, WorkPanelColor);

  BuildPageList();
  BuildBalancingPage();
  BuildSamplingPage();
  BuildUnitsPage();
  BuildRotorPage();
  BuildSensorsPage();
  BuildControlMassPage();
  BuildCorrectionMassPage();
  BuildSessionPage();
  BuildOwnerPage();
  BuildLanguagePage();

  const TDialogParent onPanel{this, pWindow};
  bOK = NewButton(onPanel, gui::Bounds(PanelWidth - 8 - 75 - 8 - 75, PanelHeight - 8 - 25, 75, 25));
  bCancel = NewButton(onPanel, gui::Bounds(PanelWidth - 8 - 75, PanelHeight - 8 - 25, 75, 25));
  bOK->OnClick = [this](gui::TComponent* sender) { bOKClick(sender); };
  bCancel->OnClick = [this](gui::TComponent* sender) { bCancelClick(sender); };

  EscapeAction = [this] { bCancelClick(this); };
  EnterAction = [this] { bOKClick(this); };
}

TfConfig::~TfConfig() = default;

void TfConfig::BuildPageList() {
  lbMenu = new gui::TListBox(this);
  lbMenu->SetParent(pWindow);
  lbMenu->SetStyle(gui::lbOwnerDrawFixed);
  lbMenu->SetItemHeight(MenuItemHeight);
  lbMenu->SetColor(FieldColor);
  lbMenu->SetBounds(8, 8, PageLeft - 16, ConfigPageCount * MenuItemHeight + 4);
  lbMenu->SetTabStop(true);
  for (int i = 0; i < ConfigPageCount; ++i) lbMenu->Items().Add(u"");
  lbMenu->OnClick = [this](gui::TComponent* sender) { lbClick(sender); };
  lbMenu->OnDrawItem = [this](gui::TComponent*, int index, gui::TRect rect, gui::TOwnerDrawState state) {
    lbMenuDrawItem(index, rect, state);
  };
  const TDialogParent onPanel{this, pWindow};
  for (int i = 0; i < ConfigPageCount; ++i) {
    // Pages with a caption of their own have the header band; the others
    // only hold captioned groups.
    const bool header = i != cpSampling && i != cpUnits && i != cpSensors;
    Pages[static_cast<size_t>(i)] = NewGroup(onPanel, gui::Bounds(PageLeft, PageTop, PageWidth, PageHeight), header);
  }
  peBalancing = Pages[cpBalancing];
  peSampling = Pages[cpSampling];
  peUnits = Pages[cpUnits];
  peRotor = Pages[cpRotor];
  peZeltoSensor = Pages[cpSensors];
  peCtrlMass = Pages[cpControlMass];
  peCorrectionMass = Pages[cpCorrectionMass];
  peSession = Pages[cpSession];
  peOwner = Pages[cpOwner];
  peLanguage = Pages[cpLanguage];
}

void TfConfig::BuildBalancingPage() {
  const TDialogParent at{this, peBalancing};
  auto option = [&](const TDialogParent& in, int left, int top, int width, gui::TRadioButton*& radio,
                    TLabelEx*& label) {
    radio = NewRadio(in, left, top);
    label = NewLabel(in, gui::Bounds(left + 20, top + 1, width, 14));
    gui::TRadioButton* target = radio;
    label->OnClick = [target](gui::TComponent*) {
      if (target->Enabled()) target->SetChecked(true);
    };
  };
  option(at, 12, RowTop(0), 300, rbOnePlane, tbOnePlane);
  option(at, 12, RowTop(0) + 22, 300, rbTwoPlanes, tbTwoPlanes);
  rbOnePlane->OnClick = [this](gui::TComponent* sender) { rbPlanesClick(sender); };
  rbTwoPlanes->OnClick = [this](gui::TComponent* sender) { rbPlanesClick(sender); };

  pBalancingHead = NewGroup(at, gui::Bounds(8, RowTop(2), PageWidth - 16, 124), false);
  pBalancingHead->SetBevelOuter(gui::bvSpace);
  pBalancingHead->SetBorderColor(SeparatorColor);
  const TDialogParent head{this, pBalancingHead};
  cbBalancingHead = NewCheck(head, 8, 8);
  tbBalancingHead = NewLabel(head, gui::Bounds(28, 9, PageWidth - 60, 14));
  tbBalancingHead->OnClick = [this](gui::TComponent*) {
    if (cbBalancingHead->Enabled()) cbBalancingHead->SetChecked(!cbBalancingHead->Checked());
  };
  cbBalancingHead->OnClick = [this](gui::TComponent*) {
    if (!FLoading) UpdateEnabledState();
  };
  option(head, 28, 34, PageWidth - 90, rbGWBTwoWeights, tbGWBTwoWeights);
  option(head, 28, 56, PageWidth - 90, rbGWBThreeWeights, tbGWBThreeWeights);
  rbGWBTwoWeights->OnClick = [this](gui::TComponent* sender) { GwbOptionClick(sender); };
  rbGWBThreeWeights->OnClick = [this](gui::TComponent* sender) { GwbOptionClick(sender); };
  leGWBControlShift = NewLabel(head, gui::Bounds(28, 89, 250, 14));
  eShiftWeightBy = NewEdit(head, gui::Bounds(284, 86, 50, FieldHeight), 4);
  eShiftWeightBy->OnKeyPress = [](gui::TComponent*, char16_t& key) { DigitFieldKey(key); };
  NewLabel(head, gui::Bounds(340, 89, 40, 14))->SetCaption("deg");
}

void TfConfig::BuildSamplingPage() {
  peSamplingParams = NewGroup({this, peSampling}, gui::Bounds(0, 0, PageWidth, RowTop(7) + 2), true);
  const TDialogParent at{this, peSamplingParams};
  auto row = [&](int r, TLabelEx*& label, gui::TComboBox*& list, int left = FieldLeft) {
    label = NewLabel(at, gui::Bounds(8, RowTop(r) + 3, LabelWidth, 14), gui::taRightJustify);
    list = NewList(at, gui::Bounds(left, RowTop(r), 130, FieldHeight));
  };
  row(0, leSamplingRate, cbSamplingRate);
  row(1, leBuffSizeLabel, cbBuffSize);
  row(2, leAveraging, cbAveraging);
  row(3, leSpeedTolerance, cbSpeedTolerance);
  row(4, leZeltoValue, cbZeltoValue);
  row(5, leGain, cbGainA, FieldLeft + 20);
  row(6, leGainB, cbGainB, FieldLeft + 20);
  leGainB->SetBounds(FieldLeft, RowTop(6) + 3, 16, 14);
  leGainB->SetCaption("B");
  leGainA = NewLabel(at, gui::Bounds(FieldLeft, RowTop(5) + 3, 16, 14));
  leGainA->SetCaption("A");
  for (std::u16string_view item : SpeedToleranceItems) cbSpeedTolerance->Items().Add(std::u16string(item));
  cbSamplingRate->OnChange = [this](gui::TComponent* sender) { cbSamplingRateChange(sender); };
  cbBuffSize->OnChange = [this](gui::TComponent* sender) { cbBuffSizeChange(sender); };
  cbAveraging->OnChange = [this](gui::TComponent*) { UpdateSamplingInfo(); };

  peSamplingInfo =
      NewGroup({this, peSampling}, gui::Bounds(0, peSamplingParams->Height() + 8, PageWidth, RowTop(2)), true);
  const TDialogParent info{this, peSamplingInfo};
  leSpeedRange = NewLabel(info, gui::Bounds(8, RowTop(0) + 3, LabelWidth, 14), gui::taRightJustify);
  stSpeedRange = NewLabel(info, gui::Bounds(FieldLeft, RowTop(0) + 3, 230, 14), gui::taLeftJustify, true);
  stSpeedRange->OnClick = [this](gui::TComponent* sender) { stSpeedRangeClick(sender); };
  leMeasDuration = NewLabel(info, gui::Bounds(8, RowTop(1) + 3, LabelWidth, 14), gui::taRightJustify);
  stMeasDuration = NewLabel(info, gui::Bounds(FieldLeft, RowTop(1) + 3, 230, 14), gui::taLeftJustify, true);
}

void TfConfig::BuildUnitsPage() {
  peAmplitude = NewGroup({this, peUnits}, gui::Bounds(0, 0, PageWidth, RowTop(4)), true);
  const TDialogParent amplitude{this, peAmplitude};
  gui::TRadioButton** quantities[] = {&rbVoltage, &rbAcceleration, &rbVelocity, &rbDisplacement};
  for (int i = 0; i < 4; ++i) {
    *quantities[i] = NewRadio(amplitude, 12, RowTop(i));
    (*quantities[i])->SetWidth(250);
  }
  peSpeed = NewGroup({this, peUnits}, gui::Bounds(0, RowTop(4) + 8, PageWidth, RowTop(2)), true);
  const TDialogParent speed{this, peSpeed};
  rbRpm = NewRadio(speed, 12, RowTop(0));
  rbHz = NewRadio(speed, 12, RowTop(1));
  rbRpm->SetWidth(250);
  rbHz->SetWidth(250);
  rbRpm->SetCaption("rpm");
  rbHz->SetCaption("Hz");
}

void TfConfig::BuildRotorPage() {
  const TDialogParent at{this, peRotor};
  bChangeRotorParamsImg = NewButton(at, gui::Bounds(12, RowTop(0), RotorImageWidth + 4, RotorImageHeight + 4));
  bChangeRotorParamsImg->SetShape(bsRect);
  bChangeRotorParams = NewButton(at, gui::Bounds(RotorImageWidth + 28, RowTop(0), 90, 25));
  bChangeRotorParamsImg->OnClick = [this](gui::TComponent* sender) { bChangeRotorParamsClick(sender); };
  bChangeRotorParams->OnClick = [this](gui::TComponent* sender) { bChangeRotorParamsClick(sender); };

  pRotorParams = NewGroup(at, gui::Bounds(8, RowTop(0) + RotorImageHeight + 16, PageWidth - 16, 116), false);
  const TDialogParent params{this, pRotorParams};
  auto line = [&](int top, TLabelEx*& name, TLabelEx*& value) {
    name = NewLabel(params, gui::Bounds(16, top, 90, 14));
    value = NewLabel(params, gui::Bounds(110, top, 290, 14), gui::taLeftJustify, true);
  };
  leMaxUnbalance = NewLabel(params, gui::Bounds(4, 4, 400, 14));
  line(22, lePlaneA1, stMaxUnbalanceA);
  line(40, lePlaneB1, stMaxUnbalanceB);
  leMaxSpecificUnbalance = NewLabel(params, gui::Bounds(4, 62, 400, 14));
  line(80, lePlaneA2, stMaxSpecificUnbalanceA);
  line(98, lePlaneB2, stMaxSpecificUnbalanceB);
}

void TfConfig::BuildSensorsPage() {
  const int gridWidth = GridTitleWidth + 2 * GridColumnWidth + 4;
  const int gridHeight = GridRows * GridRowHeight + GridRows + 1;
  peSensorInfo = NewGroup({this, peZeltoSensor}, gui::Bounds(0, 0, PageWidth, RowTop(0) + gridHeight + 38), true);
  dgSensors = new gui::TDrawGrid(this);
  dgSensors->SetParent(peSensorInfo);
  dgSensors->SetBounds(8, RowTop(0), gridWidth, gridHeight);
  UsePlainFont(dgSensors);
  dgSensors->SetColCount(3);
  dgSensors->SetRowCount(GridRows);
  dgSensors->SetFixedCols(0);
  dgSensors->SetFixedRows(0);
  dgSensors->SetDefaultRowHeight(GridRowHeight);
  dgSensors->SetColWidths(0, GridTitleWidth);
  dgSensors->SetColWidths(1, GridColumnWidth);
  dgSensors->SetColWidths(2, GridColumnWidth);
  dgSensors->SetScrollBars(gui::ssNone);
  dgSensors->SetDefaultDrawing(false);
  dgSensors->SetColor(FieldColor);
  dgSensors->OnDrawCell = [this](gui::TComponent*, int col, int row, gui::TRect rect, gui::TGridDrawState) {
    dgSensorsDrawCell(col, row, rect);
  };
  dgSensors->OnSelectCell = [](gui::TComponent*, int, int, bool& canSelect) { canSelect = false; };

  const TDialogParent at{this, peSensorInfo};
  const gui::TBitmap glyph = DropGlyph();
  const int buttonTop = RowTop(0) + gridHeight + 6;
  bSelectSensorA = NewButton(at, gui::Bounds(8 + GridTitleWidth + 1, buttonTop, GridColumnWidth, 22));
  bSelectSensorB = NewButton(at, gui::Bounds(8 + GridTitleWidth + GridColumnWidth + 2, buttonTop, GridColumnWidth, 22));
  for (TBitmapButton* b : {bSelectSensorA, bSelectSensorB}) {
    b->SetBitmap(&glyph);
    b->OnClick = [this](gui::TComponent* sender) { bSelectSensorClick(sender); };
  }

  peSensorBase =
      NewGroup({this, peZeltoSensor}, gui::Bounds(0, peSensorInfo->Height() + 8, PageWidth, RowTop(1) + 4), true);
  bSensorBase = NewButton({this, peSensorBase}, gui::Bounds(12, RowTop(0), 90, 25));
  bSensorBase->OnClick = [this](gui::TComponent* sender) { bSensorBaseClick(sender); };
}

void TfConfig::BuildControlMassPage() {
  const TDialogParent at{this, peCtrlMass};
  auto label = [&](int row) { return NewLabel(at, gui::Bounds(8, RowTop(row) + 3, LabelWidth, 14), gui::taRightJustify); };
  leCtrlMassValue = label(0);
  eCtrlMassValue = NewEdit(at, gui::Bounds(FieldLeft, RowTop(0), 110, FieldHeight), 0);
  leCtrlMassUnit = label(1);
  eCtrlMassUnit = NewEdit(at, gui::Bounds(FieldLeft, RowTop(1), 60, FieldHeight), CtrlMassUnitLength);
  leCtrlMassSugg = label(2);
  stCtrlMassSugg = NewLabel(at, gui::Bounds(FieldLeft, RowTop(2) + 3, 200, 14), gui::taLeftJustify, true);
}

void TfConfig::BuildCorrectionMassPage() {
  const TDialogParent at{this, peCorrectionMass};
  auto choice = [&](int top, gui::TRadioButton*& radio, TLabelEx*& label) {
    radio = NewRadio(at, 12, top);
    label = NewLabel(at, gui::Bounds(32, top + 1, 380, 14));
    gui::TRadioButton* target = radio;
    label->OnClick = [target](gui::TComponent*) { target->SetChecked(true); };
  };
  choice(RowTop(0), rbAddMass, tbAddMass);
  choice(RowTop(0) + 22, rbRemoveMass, tbRemoveMass);
  cbDivideMass = NewCheck(at, 12, RowTop(2));
  tbDivideMass = NewLabel(at, gui::Bounds(32, RowTop(2) + 1, 250, 14));
  tbDivideMass->OnClick = [this](gui::TComponent*) {
    if (cbDivideMass->Enabled()) cbDivideMass->SetChecked(!cbDivideMass->Checked());
  };
  cbDivideMass->OnClick = [this](gui::TComponent*) {
    if (!FLoading) UpdateEnabledState();
  };
  eRotorDivs = NewEdit(at, gui::Bounds(290, RowTop(2) - 3, 40, FieldHeight), 0);
  eRotorDivs->OnKeyPress = [](gui::TComponent*, char16_t& key) { RotorDivsKey(key); };
  eRotorDivs->OnEnter = [this](gui::TComponent* sender) { eRotorDivsEnter(sender); };
  eRotorDivs->OnExit = [this](gui::TComponent* sender) { eRotorDivsExit(sender); };
  NewLabel(at, gui::Bounds(336, RowTop(2), 60, 14))->SetCaption("(3 - 32)");
}

void TfConfig::BuildSessionPage() {
  const TDialogParent at{this, peSession};
  auto label = [&](int row) { return NewLabel(at, gui::Bounds(8, RowTop(row) + 3, 150, 14), gui::taRightJustify); };
  leInfoDate = label(0);
  dtpInfoDate = new gui::TDateTimePicker(this);
  dtpInfoDate->SetParent(peSession);
  dtpInfoDate->SetBounds(166, RowTop(0), 120, FieldHeight);
  dtpInfoDate->SetColor(FieldColor);
  dtpInfoDate->SetTabStop(true);
  UsePlainFont(dtpInfoDate);
  for (size_t i = 0; i < eInfo.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    leInfo[i] = label(row);
    // One less than the field of the session file, so that all of a typed
    // text is kept.
    eInfo[i] = NewEdit(at, gui::Bounds(166, RowTop(row), 250, FieldHeight), SessionTextLength);
  }
}

void TfConfig::BuildOwnerPage() {
  const TDialogParent at{this, peOwner};
  leOwner = NewLabel(at, gui::Bounds(12, RowTop(0), 300, 14));
  reOwner = new gui::TRichEdit(this);
  reOwner->SetParent(peOwner);
  reOwner->SetBounds(12, RowTop(0) + 18, PageWidth - 24, PageHeight - RowTop(0) - 30);
  reOwner->SetPlainText(true);
  reOwner->SetMaxLength(500);
  reOwner->SetWordWrap(false);
  reOwner->SetScrollBars(gui::ssVertical);
  reOwner->SetColor(FieldColor);
  reOwner->SetTabStop(true);
  UsePlainFont(reOwner);
}

void TfConfig::BuildLanguagePage() {
  const TDialogParent at{this, peLanguage};
  leName = NewLabel(at, gui::Bounds(12, RowTop(0), 400, 14), gui::taLeftJustify, true);
  for (size_t i = 0; i < leLines.size(); ++i)
    leLines[i] = NewLabel(at, gui::Bounds(12, RowTop(0) + 24 + 18 * static_cast<int>(i), 400, 14));
  bChangeLang = NewButton(at, gui::Bounds(12, RowTop(4) + 8, 90, 25));
  bChangeLang->OnClick = [this](gui::TComponent* sender) { bChangeLangClick(sender); };
}

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
  eShiftWeightBy->SetText(FormatPattern(s.GwbShift, u"0"));
  WorkRotor = s.Rotor;
  UpdateRotorParams();
  ShowSamplingLists(s);
  UpdateSamplingInfo();
  SensorsChanged = false;
  SensorNameA = core.VibSensorA.Name;
  SensorNameB = core.VibSensorB.Name;
  LoadSensorInfo();
  eCtrlMassValue->SetText(FieldNumberText(s.CtrlMassValue));
  eCtrlMassUnit->SetText(s.CtrlMassUnit);
  UpdateSuggestedCtrlMass();
  ShowCorrectionAndSession(s);
  gui::TRadioButton* quantities[] = {rbVoltage, rbAcceleration, rbVelocity, rbDisplacement};
  quantities[s.AmplDisplayMode]->SetChecked(true);
  (s.SpeedHz ? rbHz : rbRpm)->SetChecked(true);
  reOwner->SetText(s.Owner);
}

void TfConfig::ShowSamplingLists(const TConfigSettings& s) {
  const TZelto& core = *TheCore;
  FClockItems = DriverClockItems(core);
  cbSamplingRate->Items().Clear();
  for (const std::u16string& text : SamplingRateTexts(FClockItems)) cbSamplingRate->Items().Add(text);
  WorkSamplingRate = s.SamplingRate;
  cbSamplingRate->SetItemIndex(WorkSamplingRate < cbSamplingRate->Items().Count() ? WorkSamplingRate : -1);

  WorkBuffLength = s.BuffLength;
  FBufferItems = BufferLengthItems(core.RamSize, TextOf(core.DeviceVer), WorkBuffLength);
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
  auto load = [](std::u16string& name, SensorInfo& sensor) {
    if (name.empty() || !TheCore || !TheCore->LoadSensor(name, sensor)) {
      name.clear();
      sensor = NoSensor();
    }
  };
  load(SensorNameA, WorkSensorA);
  load(SensorNameB, WorkSensorB);
  dgSensors->Repaint();
  FillGainList(cbGainA, WorkSensorA, TheCore ? TheCore->GainA : 0);
  FillGainList(cbGainB, WorkSensorB, TheCore ? TheCore->GainB : 0);
}

void TfConfig::FillGainList(gui::TComboBox* list, const SensorInfo& sensor, int32_t gain) {
  // A range the user already picked stays picked when the sensor changes.
  const int picked = FLoading ? -1 : list->ItemIndex();
  list->Items().Clear();
  for (const std::u16string& text : InputRangeTexts(TheCore ? DriverGainItems(*TheCore) : std::vector<int32_t>(),
                                                    sensor.InputGain))
    list->Items().Add(text);
  const int index = picked >= 0 ? picked : gain;
  list->SetItemIndex(index < list->Items().Count() ? index : -1);
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
  if (row == 1) return col == 1 ? SensorNameA : SensorNameB;
  if (sensor.Sensitivity == 0) return {};
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
  SensorsChanged = true;
  LoadSensorInfo();
}

void TfConfig::bSensorBaseClick(gui::TComponent*) {
  {
    TfSelectSensor database(this);
    database.ShowModal();
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
  // hold a usable number: a positive control mass, a whole shift angle.
  const std::optional<double> mass = ParseFieldNumber(eCtrlMassValue->Text());
  if (mass && *mass > 0)
    s.CtrlMassValue = *mass;
  else if (eCtrlMassValue->Enabled())
    return FieldFailed(cpControlMass, eCtrlMassValue);
  s.CtrlMassUnit = eCtrlMassUnit->Text();
  s.MassAdd = rbAddMass->Checked();
  s.DivideMass = cbDivideMass->Checked();
  s.RotorDivs = eRotorDivs->Text();
  s.GwbEnabled = cbBalancingHead->Checked();
  s.GwbMode = rbGWBTwoWeights->Checked() ? 0 : rbGWBThreeWeights->Checked() ? 1 : -1;
  const std::optional<int> shift = ParseFieldInteger(eShiftWeightBy->Text(), 9999);
  if (shift)
    s.GwbShift = *shift;
  else if (eShiftWeightBy->Enabled())
    return FieldFailed(cpBalancing, eShiftWeightBy);
  const gui::TCalendarDate date = dtpInfoDate->Date();
  s.Date = {static_cast<uint16_t>(date.Year), static_cast<uint16_t>(date.Month), static_cast<uint16_t>(date.Day)};
  for (size_t i = 0; i < eInfo.size(); ++i) s.SessionTexts[i] = eInfo[i]->Text();
  const gui::TRadioButton* quantities[] = {rbVoltage, rbAcceleration, rbVelocity, rbDisplacement};
  for (uint8_t q = 0; q < 4; ++q)
    if (quantities[q]->Checked()) s.AmplDisplayMode = q;
  s.SpeedHz = rbHz->Checked();
  s.Owner = reOwner->Text();
  return true;
}

void TfConfig::bOKClick(gui::TComponent*) {
  // The rotor-divisions field is clamped as when it is left.
  eRotorDivs->SetText(ClampRotorDivs(eRotorDivs->Text()));
  TConfigSettings settings;
  if (!ReadSettings(settings)) return;
  FConfirmed = settings;
  Finish(ConfigOK);
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
  if (TheCore && SensorsChanged) ApplySensorChoice(*TheCore, SensorNameA, SensorNameB);
  if (TheCore && CloseResult == ConfigOK && FConfirmed) ApplySettings(*TheCore, *FConfirmed, FServices);
  FConfirmed.reset();
  if (FServices) FServices->SetSetupPage(lbMenu->ItemIndex());
}

int32_t ShowSetupDialog(gui::TComponent* owner, TSetupServices* services, bool controlMassPage) {
  TfConfig dialog(owner, services, controlMassPage);
  dialog.ShowModal();
  return dialog.CloseResult;
}
