#include "formrotordef.h"

#include "bitmapbutton.h"
#include "checkbox.h"
#include "combobox.h"
#include "dialogcontrols.h"
#include "edit.h"
#include "formatting.h"
#include "image.h"
#include "iso1940.h"
#include "labelex.h"
#include "numberedit.h"
#include "numberfield.h"
#include "panelex.h"
#include "radiobutton.h"
#include "rotorpictures.h"
#include "zelto.h"

namespace {

enum TRotorDefText : size_t {
  rtRotorDef,
  rtClose,
  rtOK,
  rtCancel,
  rtType,
  rtUndefined,
  rtParameters,
  rtDimensions,
  rtMassCentreLocation,
  rtCorrectionPlaneDiameter,
  rtOther,
  rtWeight,
  rtNomSpeed,
  rtQualityGrade,
  rtPerResidualUnbalance,
  rtPlaneA,
  rtPlaneB,
  rtCalculate,
};

std::u16string Text(TRotorDefText text) { return LangText(TfRotorDef::LangKeys[text]).Text; }

constexpr int PanelWidth = 600;
constexpr int PanelHeight = 500;
constexpr int ButtonPictureWidth = 116, ButtonPictureHeight = 52;
constexpr int PictureWidth = 270, PictureHeight = 150;
constexpr int FieldHeight = 21;
constexpr uint8_t OnePlaneTypeA = 4;

gui::TBitmap ButtonPicture(int type) {
  return RotorPicture(type, ButtonPictureWidth, ButtonPictureHeight, WorkPanelColor);
}

gui::TImage* NewPicture(gui::TComponent* owner, gui::TWinControl* parent, int type) {
  auto* image = new gui::TImage(owner);
  image->SetParent(parent);
  image->SetBounds(8, GroupHeaderHeight + 8, PictureWidth, PictureHeight);
  image->SetPicture(RotorPicture(type, PictureWidth, PictureHeight, WorkPanelColor));
  image->SetVisible(false);
  return image;
}

std::u16string UnbalanceText(const RotorDefinition& rotor, uint8_t plane) {
  return FormatNumber(CalcPermissibleUnbalance(rotor, plane)) + u" [g mm]";
}

}  // namespace

TfRotorDef::TfRotorDef(gui::TComponent* owner, RotorDefinition& workRotor, bool twoPlanes)
    : TWindowFrame(owner, FrameRotorDef), Rotor(workRotor), FWorkRotor(workRotor), FTwoPlanes(twoPlanes) {
  LayoutFrame(PanelWidth, PanelHeight);
  SetPosition(gui::poOwnerFormCenter);
  bClose = CreateStripCloseButton();
  bClose->OnClick = [this](gui::TComponent* sender) { bCancelClick(sender); };

  BuildTypePanel();
  BuildParameters();
  BuildResults();

  const TDialogParent onPanel{this, pWindow};
  bOK = NewButton(onPanel, gui::Bounds(PanelWidth - 8 - 75 - 8 - 75, PanelHeight - 8 - 25, 75, 25));
  bCancel = NewButton(onPanel, gui::Bounds(PanelWidth - 8 - 75, PanelHeight - 8 - 25, 75, 25));
  bOK->OnClick = [this](gui::TComponent* sender) { bOKClick(sender); };
  bCancel->OnClick = [this](gui::TComponent* sender) { bCancelClick(sender); };

  EscapeAction = [this] { bCancelClick(this); };
  // Enter confirms also from inside a number field or on a button.
  EnterAction = [this] { bOKClick(this); };
}

bool TfRotorDef::FocusTakesEnter() const { return false; }

void TfRotorDef::BuildTypePanel() {
  peType = NewGroup({this, pWindow}, gui::Bounds(8, 8, PanelWidth - 16, 104), true);
  const TDialogParent inPanel{this, peType};
  const int columnWidth = (PanelWidth - 16) / 4;
  auto column = [&](int i, gui::TRadioButton*& radio, TLabelEx*& label, TBitmapButton*& button) {
    const int left = 8 + i * columnWidth;
    button = NewButton(inPanel,
                       gui::Bounds(left, GroupHeaderHeight + 6, ButtonPictureWidth + 4, ButtonPictureHeight + 4));
    button->SetShape(bsRect);
    const gui::TBitmap picture = ButtonPicture(i);
    button->SetBitmap(&picture);
    radio = NewRadio(inPanel, left, GroupHeaderHeight + 64);
    radio->OnClick = [this](gui::TComponent* sender) { rbTypeClick(sender); };
    label = NewLabel(inPanel, gui::Bounds(left + 20, GroupHeaderHeight + 65, columnWidth - 28, 14));
    gui::TRadioButton* target = radio;
    auto choose = [target](gui::TComponent*) {
      target->SetChecked(true);
      target->SetFocus();
    };
    button->OnClick = choose;
    label->OnClick = choose;
  };
  column(0, rbNoISO, lNoISO, bNoISO);
  column(1, rbTypeA, lTypeA, bTypeA);
  column(2, rbTypeB, lTypeB, bTypeB);
  column(3, rbTypeC, lTypeC, bTypeC);
}

void TfRotorDef::BuildParameters() {
  peParameters = NewGroup({this, pWindow}, gui::Bounds(8, 120, PanelWidth - 16, 296), true);
  iRotorTypeA = NewPicture(this, peParameters, 1);
  iRotorType1P = NewPicture(this, peParameters, OnePlaneTypeA);
  iRotorTypeB = NewPicture(this, peParameters, 2);
  iRotorTypeC = NewPicture(this, peParameters, 3);

  const TDialogParent inParameters{this, peParameters};
  auto edit = [&](const TDialogParent& at, int left, int top) {
    TNumberEdit* e = NewNumberEdit(at, gui::Bounds(left, top, 90, FieldHeight), 10);
    e->OnKeyPress = [e](gui::TComponent*, char16_t& key) { DecimalFieldKey(key, e->Text()); };
    return e;
  };
  auto unit = [&](const TDialogParent& at, int left, int top, const std::string& text) {
    NewLabel(at, gui::Bounds(left, top + 3, 30, 14))->SetCaption(text);
  };
  auto label = [&](const TDialogParent& at, int left, int top, int width, const std::string& text = {}) {
    TLabelEx* l = NewLabel(at, gui::Bounds(left, top + 3, width, 14), gui::taRightJustify);
    l->SetCaption(text);
    return l;
  };

  peDimensions = NewGroup(inParameters, gui::Bounds(286, GroupHeaderHeight + 8, 282, 150), true);
  const TDialogParent inDimensions{this, peDimensions};
  const int rowTop = GroupHeaderHeight + 6;
  lDimensionA = label(inDimensions, 8, rowTop, 24, "a");
  eDimensionA = edit(inDimensions, 40, rowTop);
  unit(inDimensions, 136, rowTop, "mm");
  lDimensionB = label(inDimensions, 8, rowTop + 25, 24, "b");
  eDimensionB = edit(inDimensions, 40, rowTop + 25);
  unit(inDimensions, 136, rowTop + 25, "mm");
  lDimensionL = label(inDimensions, 8, rowTop + 50, 24, "l");
  eDimensionL = edit(inDimensions, 40, rowTop + 50);
  unit(inDimensions, 136, rowTop + 50, "mm");
  cbMassCentreLocation = NewCheck(inDimensions, 40, rowTop + 77);
  cbMassCentreLocation->OnClick = [this](gui::TComponent* sender) { cbMassCentreLocationClick(sender); };
  lMassCentreLocation = NewLabel(inDimensions, gui::Bounds(60, rowTop + 78, 214, 14));
  lMassCentreLocation->OnClick = [this](gui::TComponent*) {
    if (cbMassCentreLocation->Enabled()) cbMassCentreLocation->SetChecked(!cbMassCentreLocation->Checked());
  };
  lDimensionS = label(inDimensions, 8, rowTop + 100, 24, "s");
  eDimensionS = edit(inDimensions, 40, rowTop + 100);
  unit(inDimensions, 136, rowTop + 100, "mm");

  const int lowerTop = GroupHeaderHeight + 8 + PictureHeight + 8;
  peDiameters = NewGroup(inParameters, gui::Bounds(8, lowerTop, 270, 88), true);
  const TDialogParent inDiameters{this, peDiameters};
  auto diameter = [&](int top, TLabelEx*& letter, TLabelEx*& sub, TNumberEdit*& field, const char* plane) {
    letter = label(inDiameters, 8, top, 20, "d");
    sub = NewLabel(inDiameters, gui::Bounds(29, top + 9, 10, 12));
    sub->SetCaption(plane);
    sub->Font().SetHeight(-9);
    field = edit(inDiameters, 40, top);
    unit(inDiameters, 136, top, "mm");
  };
  diameter(rowTop, lDimensionDA, lDimensionDAsup, eDimensionDA, "A");
  diameter(rowTop + 28, lDimensionDB, lDimensionDBsup, eDimensionDB, "B");

  peOther = NewGroup(inParameters, gui::Bounds(286, lowerTop, 282, 110), true);
  const TDialogParent inOther{this, peOther};
  leWeight = label(inOther, 8, rowTop, 110);
  eWeight = edit(inOther, 126, rowTop);
  unit(inOther, 222, rowTop, "kg");
  leNomSpeed = label(inOther, 8, rowTop + 28, 110);
  eNomSpeed = edit(inOther, 126, rowTop + 28);
  lNomSpeedUnit = NewLabel(inOther, gui::Bounds(222, rowTop + 31, 40, 14));
  lNomSpeedUnit->Font().SetStyle(gui::fsUnderline);
  lNomSpeedUnit->OnClick = [this](gui::TComponent* sender) { lNomSpeedUnitClick(sender); };
  leClass = label(inOther, 8, rowTop + 56, 110);
  cbClass = NewList(inOther, gui::Bounds(126, rowTop + 56, 90, FieldHeight));
  for (int32_t grade = 0; grade < QualityGradeCount; ++grade) cbClass->Items().Add(QualityGradeName(grade));
  cbClass->SetDropDownCount(16);
}

void TfRotorDef::BuildResults() {
  peMaxUnbalance = NewGroup({this, pWindow}, gui::Bounds(8, 424, 400, 68), true);
  const TDialogParent inPanel{this, peMaxUnbalance};
  lePlaneA = NewLabel(inPanel, gui::Bounds(8, GroupHeaderHeight + 6, 80, 14));
  stMaxUnbalanceA = NewLabel(inPanel, gui::Bounds(92, GroupHeaderHeight + 6, 200, 14), gui::taLeftJustify, true);
  lePlaneB = NewLabel(inPanel, gui::Bounds(8, GroupHeaderHeight + 26, 80, 14));
  stMaxUnbalanceB = NewLabel(inPanel, gui::Bounds(92, GroupHeaderHeight + 26, 200, 14), gui::taLeftJustify, true);
  bCalculate = NewButton(inPanel, gui::Bounds(400 - 8 - 90, GroupHeaderHeight + 10, 90, 25));
  bCalculate->OnClick = [this](gui::TComponent* sender) { bCalculateClick(sender); };
}

void TfRotorDef::ShowTexts() {
  leCaption->SetCaptionW(Text(rtRotorDef));
  TLanguageService::AddToolTip(this, bClose, Text(rtClose));
  bOK->SetCaptionW(Text(rtOK));
  bCancel->SetCaptionW(Text(rtCancel));
  const std::u16string type = Text(rtType);
  peType->SetCaptionW(type);
  lNoISO->SetCaptionW(Text(rtUndefined));
  lTypeA->SetCaptionW(type + u" A");
  lTypeB->SetCaptionW(type + u" B");
  lTypeC->SetCaptionW(type + u" C");
  peParameters->SetCaptionW(Text(rtParameters));
  peDimensions->SetCaptionW(Text(rtDimensions));
  lMassCentreLocation->SetCaptionW(Text(rtMassCentreLocation));
  peDiameters->SetCaptionW(Text(rtCorrectionPlaneDiameter));
  peOther->SetCaptionW(Text(rtOther));
  leWeight->SetCaptionW(Text(rtWeight));
  leNomSpeed->SetCaptionW(Text(rtNomSpeed));
  leClass->SetCaptionW(Text(rtQualityGrade));
  peMaxUnbalance->SetCaptionW(Text(rtPerResidualUnbalance));
  lePlaneA->SetCaptionW(Text(rtPlaneA));
  lePlaneB->SetCaptionW(Text(rtPlaneB));
  bCalculate->SetCaptionW(Text(rtCalculate));
}

void TfRotorDef::DoShow() {
  TWindowFrame::DoShow();
  ShowTexts();
  for (gui::TControl* c : {static_cast<gui::TControl*>(rbTypeB), static_cast<gui::TControl*>(bTypeB),
                           static_cast<gui::TControl*>(lTypeB), static_cast<gui::TControl*>(rbTypeC),
                           static_cast<gui::TControl*>(bTypeC), static_cast<gui::TControl*>(lTypeC)})
    c->SetVisible(FTwoPlanes);
  const gui::TBitmap typeA = ButtonPicture(FTwoPlanes ? 1 : OnePlaneTypeA);
  bTypeA->SetBitmap(&typeA);

  const bool rpm = TheCore && TheCore->SpeedDisplayMode != 1;
  const TRotorFields fields = RotorFieldsOf(FWorkRotor, FTwoPlanes, rpm);
  eDimensionA->ShowNumber(fields.a);
  eDimensionB->ShowNumber(fields.b);
  eDimensionL->ShowNumber(fields.l);
  cbMassCentreLocation->SetChecked(fields.MassCentre);
  eDimensionS->ShowNumber(fields.s);
  eDimensionDA->ShowNumber(fields.dA);
  eDimensionDB->ShowNumber(fields.dB);
  eWeight->ShowNumber(fields.m);
  eNomSpeed->ShowNumber(fields.f);
  UpdateSpeedUnit();
  const bool gradeListed = fields.ClassIndex >= 0 && fields.ClassIndex < cbClass->Items().Count();
  cbClass->SetItemIndex(gradeListed ? fields.ClassIndex : -1);
  stMaxUnbalanceA->SetCaptionW(u"?");
  stMaxUnbalanceB->SetCaptionW(u"?");
  stMaxUnbalanceB->SetVisible(FTwoPlanes);
  lePlaneB->SetVisible(FTwoPlanes);

  std::array<gui::TRadioButton*, 4> radios = {rbNoISO, rbTypeA, rbTypeB, rbTypeC};
  radios[fields.Choice]->SetChecked(true);
  rbTypeClick(radios[fields.Choice]);
}

TRotorChoice TfRotorDef::CheckedChoice() const {
  if (rbTypeA->Checked()) return rcTypeA;
  if (FTwoPlanes && rbTypeB->Checked()) return rcTypeB;
  if (FTwoPlanes && rbTypeC->Checked()) return rcTypeC;
  return rcNoISO;
}

void TfRotorDef::rbTypeClick(gui::TComponent*) {
  const TRotorChoice choice = CheckedChoice();
  iRotorTypeA->SetVisible(FTwoPlanes && choice == rcTypeA);
  iRotorType1P->SetVisible(!FTwoPlanes && choice == rcTypeA);
  iRotorTypeB->SetVisible(choice == rcTypeB);
  iRotorTypeC->SetVisible(choice == rcTypeC);
  const TRotorEnabling e = RotorEnabling(FTwoPlanes, choice, cbMassCentreLocation->Checked());
  auto enable = [](bool on, std::initializer_list<gui::TControl*> controls) {
    for (gui::TControl* c : controls) c->SetEnabled(on);
  };
  enable(e.a, {eDimensionA, lDimensionA});
  enable(e.b, {eDimensionB, lDimensionB});
  enable(e.l, {eDimensionL, lDimensionL});
  enable(e.dB, {eDimensionDB, lDimensionDB, lDimensionDBsup});
  enable(e.MassCentre, {cbMassCentreLocation, lMassCentreLocation});
  enable(e.s, {eDimensionS, lDimensionS});
  enable(e.dA, {eDimensionDA, lDimensionDA, lDimensionDAsup});
  enable(e.Others, {eWeight, leWeight, eNomSpeed, leNomSpeed, cbClass, leClass, lePlaneA, lePlaneB, bCalculate});
}

void TfRotorDef::cbMassCentreLocationClick(gui::TComponent*) {
  const bool on = cbMassCentreLocation->Checked() && cbMassCentreLocation->Enabled();
  eDimensionS->SetEnabled(on);
  lDimensionS->SetEnabled(on);
}

void TfRotorDef::UpdateSpeedUnit() {
  lNomSpeedUnit->SetCaption(TheCore && TheCore->SpeedDisplayMode == 1 ? "Hz" : "rpm");
}

void TfRotorDef::lNomSpeedUnitClick(gui::TComponent*) {
  // The number is not converted: it is read in the unit shown when it is
  // read, so its text counts from now on, not the speed it was given.
  if (TheCore) TheCore->SpeedDisplayMode = TheCore->SpeedDisplayMode == 1 ? 0 : 1;
  eNomSpeed->SetModified(true);
  UpdateSpeedUnit();
}

TRotorFields TfRotorDef::ReadFields() const {
  TRotorFields f;
  f.TwoPlanes = FTwoPlanes;
  f.Choice = CheckedChoice();
  f.a = eDimensionA->Number();
  f.b = eDimensionB->Number();
  f.l = eDimensionL->Number();
  f.s = eDimensionS->Number();
  f.dA = eDimensionDA->Number();
  f.dB = eDimensionDB->Number();
  f.m = eWeight->Number();
  f.f = eNomSpeed->Number();
  f.MassCentre = cbMassCentreLocation->Checked();
  f.ClassIndex = cbClass->ItemIndex();
  f.SpeedInRpm = !TheCore || TheCore->SpeedDisplayMode != 1;
  return f;
}

bool TfRotorDef::ReadRotor() {
  const TRotorReading reading = ::ReadRotor(ReadFields());
  Rotor = reading.Rotor;
  return reading.Valid;
}

void TfRotorDef::bOKClick(gui::TComponent*) {
  if (!ReadRotor()) return;
  FWorkRotor = Rotor;
  CloseResult = 1;
  if (Modal())
    SetModalResult(gui::mrOk);
  else
    Close();
}

void TfRotorDef::bCancelClick(gui::TComponent*) {
  CloseResult = 2;
  if (Modal())
    SetModalResult(gui::mrCancel);
  else
    Close();
}

void TfRotorDef::bCalculateClick(gui::TComponent*) {
  const bool valid = ReadRotor();
  stMaxUnbalanceA->SetCaptionW(valid ? UnbalanceText(Rotor, 0) : u"?");
  if (FTwoPlanes) stMaxUnbalanceB->SetCaptionW(valid ? UnbalanceText(Rotor, 1) : u"?");
}

void TfRotorDef::KeyDown(gui::TVirtualKey& key, gui::TShiftState shift) {
  // Alt repaints the whole work panel.
  if (key == gui::VK_MENU || (shift & gui::ssAlt)) {
    pWindow->Hide();
    pWindow->Show();
  }
  TWindowFrame::KeyDown(key, shift);
}
