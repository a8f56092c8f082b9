// The construction of the set-up dialog: its frame, the page list and the
// ten pages with their controls and handlers. What the pages do is in
// formconfig.cpp.
#include "formconfig.h"

#include "bitmapbutton.h"
#include "canvas.h"
#include "checkbox.h"
#include "combobox.h"
#include "configpages.h"
#include "datetimepicker.h"
#include "dialogcontrols.h"
#include "drawgrid.h"
#include "edit.h"
#include "imagelist.h"
#include "labelex.h"
#include "listbox.h"
#include "memo.h"
#include "numberedit.h"
#include "numberfield.h"
#include "panelex.h"
#include "radiobutton.h"
#include "rotorpictures.h"
#include "textconv.h"

using namespace configlayout;

std::u16string configlayout::IntegerText(int value) { return rtl::AsciiToUtf16(std::to_string(value)); }

namespace {

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

}  // namespace

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
    label->SetFocusControl(radio);
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
  tbBalancingHead->SetFocusControl(cbBalancingHead);
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
  eShiftWeightBy = NewNumberEdit(head, gui::Bounds(284, 86, 50, FieldHeight), 4);
  leGWBControlShift->SetFocusControl(eShiftWeightBy);
  eShiftWeightBy->OnKeyPress = [](gui::TComponent*, char16_t& key) { DigitFieldKey(key); };
  TLabelEx* shiftUnit = NewLabel(head, gui::Bounds(340, 89, 40, 14));
  shiftUnit->SetCaption("deg");
  shiftUnit->SetFocusControl(eShiftWeightBy);
}

void TfConfig::BuildSamplingPage() {
  peSamplingParams = NewGroup({this, peSampling}, gui::Bounds(0, 0, PageWidth, RowTop(7) + 2), true);
  const TDialogParent at{this, peSamplingParams};
  auto row = [&](int r, TLabelEx*& label, gui::TComboBox*& list, int left = FieldLeft) {
    label = NewLabel(at, gui::Bounds(8, RowTop(r) + 3, LabelWidth, 14), gui::taRightJustify);
    list = NewList(at, gui::Bounds(left, RowTop(r), 130, FieldHeight));
    label->SetFocusControl(list);
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
  leGainA->SetFocusControl(cbGainA);
  for (size_t i = 0; i < SpeedTolerancePercents.size(); ++i) cbSpeedTolerance->Items().Add(SpeedToleranceText(i));
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
  const int noteTop = peSensorBase->Top() + peSensorBase->Height() + 6;
  leJobSensors = NewLabel({this, peZeltoSensor}, gui::Bounds(8, noteTop, PageWidth - 16, PageHeight - noteTop));
}

void TfConfig::BuildControlMassPage() {
  const TDialogParent at{this, peCtrlMass};
  auto label = [&](int row) {
    return NewLabel(at, gui::Bounds(8, RowTop(row) + 3, LabelWidth, 14), gui::taRightJustify);
  };
  leCtrlMassValue = label(0);
  eCtrlMassValue = NewNumberEdit(at, gui::Bounds(FieldLeft, RowTop(0), 110, FieldHeight), 0);
  leCtrlMassValue->SetFocusControl(eCtrlMassValue);
  leCtrlMassUnit = label(1);
  eCtrlMassUnit = NewEdit(at, gui::Bounds(FieldLeft, RowTop(1), 60, FieldHeight), CtrlMassUnitLength);
  leCtrlMassUnit->SetFocusControl(eCtrlMassUnit);
  leCtrlMassSugg = label(2);
  stCtrlMassSugg = NewLabel(at, gui::Bounds(FieldLeft, RowTop(2) + 3, 200, 14), gui::taLeftJustify, true);
}

void TfConfig::BuildCorrectionMassPage() {
  const TDialogParent at{this, peCorrectionMass};
  auto choice = [&](int top, gui::TRadioButton*& radio, TLabelEx*& label) {
    radio = NewRadio(at, 12, top);
    label = NewLabel(at, gui::Bounds(32, top + 1, 380, 14));
    label->SetFocusControl(radio);
    gui::TRadioButton* target = radio;
    label->OnClick = [target](gui::TComponent*) { target->SetChecked(true); };
  };
  choice(RowTop(0), rbAddMass, tbAddMass);
  choice(RowTop(0) + 22, rbRemoveMass, tbRemoveMass);
  cbDivideMass = NewCheck(at, 12, RowTop(2));
  tbDivideMass = NewLabel(at, gui::Bounds(32, RowTop(2) + 1, 250, 14));
  tbDivideMass->SetFocusControl(cbDivideMass);
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
  TLabelEx* divsRange = NewLabel(at, gui::Bounds(336, RowTop(2), 60, 14));
  divsRange->SetCaption("(3 - 32)");
  divsRange->SetFocusControl(eRotorDivs);
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
  // The language file's own name and lines, shown as the language choice
  // shows them.
  leName->SetShowAccelChar(false);
  for (TLabelEx* line : leLines) line->SetShowAccelChar(false);
  bChangeLang = NewButton(at, gui::Bounds(12, RowTop(4) + 8, 90, 25));
  bChangeLang->OnClick = [this](gui::TComponent* sender) { bChangeLangClick(sender); };
}
