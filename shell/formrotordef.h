#pragma once
// TfRotorDef: the rotor definition for the ISO 1940 judgement: rotor type,
// dimensions, mass, nominal speed and quality grade. It edits the set-up
// dialog's working copy of the rotor, which reaches the core only when the
// set-up dialog is confirmed; "Calculate" shows the permissible residual
// unbalance per plane.
//
// Use: construct with the working rotor and the set-up dialog's number of
// planes, ShowModal, destroy. OK with a complete definition writes it into
// the working rotor (CloseResult 1, mrOk); an incomplete one keeps the
// dialog open. Cancel, Esc and the strip button leave it (CloseResult 2,
// mrCancel). A click on the speed unit switches the program's speed unit
// at once, also when the dialog is cancelled.

#include <array>
#include <cstdint>
#include <string>

#include "languageservice.h"
#include "numberedit.h"
#include "records.h"
#include "rotorlogic.h"
#include "windowframe.h"

class TBitmapButton;
class TLabelEx;
class TPanelEx;

namespace gui {
class TCheckBox;
class TComboBox;
class TImage;
class TRadioButton;
}  // namespace gui

class TfRotorDef : public TWindowFrame {
 public:
  static constexpr std::array<TTextKey, 18> LangKeys = {{
      {u"Forms", u"RotorDef"},
      {u"Forms", u"Close"},
      {u"Forms", u"OK"},
      {u"Forms", u"Cancel"},
      {u"Forms", u"Type"},
      {u"Forms", u"Undefined"},
      {u"Forms", u"Parameters"},
      {u"Forms", u"Dimensions"},
      {u"Forms", u"MassCentreLocation"},
      {u"Forms", u"CorrectionPlaneDiameter"},
      {u"Forms", u"Other"},
      {u"Forms", u"Weight"},
      {u"Forms", u"NomSpeed"},
      {u"Forms", u"QualityGrade"},
      {u"Forms", u"PerResidualUnbalance"},
      {u"Forms", u"PlaneA"},
      {u"Forms", u"PlaneB"},
      {u"Forms", u"Calculate"},
  }};

  TfRotorDef(gui::TComponent* owner, RotorDefinition& workRotor, bool twoPlanes);

  int32_t CloseResult = 0;
  // The record the fields were last read into.
  RotorDefinition Rotor;

  TBitmapButton* bClose = nullptr;
  TBitmapButton* bOK = nullptr;
  TBitmapButton* bCancel = nullptr;
  TPanelEx* peType = nullptr;
  gui::TRadioButton* rbNoISO = nullptr;
  gui::TRadioButton* rbTypeA = nullptr;
  gui::TRadioButton* rbTypeB = nullptr;
  gui::TRadioButton* rbTypeC = nullptr;
  TLabelEx* lNoISO = nullptr;
  TLabelEx* lTypeA = nullptr;
  TLabelEx* lTypeB = nullptr;
  TLabelEx* lTypeC = nullptr;
  TBitmapButton* bNoISO = nullptr;
  TBitmapButton* bTypeA = nullptr;
  TBitmapButton* bTypeB = nullptr;
  TBitmapButton* bTypeC = nullptr;
  TPanelEx* peParameters = nullptr;
  gui::TImage* iRotorTypeA = nullptr;
  gui::TImage* iRotorType1P = nullptr;
  gui::TImage* iRotorTypeB = nullptr;
  gui::TImage* iRotorTypeC = nullptr;
  TPanelEx* peDimensions = nullptr;
  TLabelEx* lDimensionA = nullptr;
  TLabelEx* lDimensionB = nullptr;
  TLabelEx* lDimensionL = nullptr;
  TLabelEx* lDimensionS = nullptr;
  TNumberEdit* eDimensionA = nullptr;
  TNumberEdit* eDimensionB = nullptr;
  TNumberEdit* eDimensionL = nullptr;
  TNumberEdit* eDimensionS = nullptr;
  gui::TCheckBox* cbMassCentreLocation = nullptr;
  TLabelEx* lMassCentreLocation = nullptr;
  TPanelEx* peDiameters = nullptr;
  TLabelEx* lDimensionDA = nullptr;
  TLabelEx* lDimensionDAsup = nullptr;
  TLabelEx* lDimensionDB = nullptr;
  TLabelEx* lDimensionDBsup = nullptr;
  TNumberEdit* eDimensionDA = nullptr;
  TNumberEdit* eDimensionDB = nullptr;
  TPanelEx* peOther = nullptr;
  TLabelEx* leWeight = nullptr;
  TNumberEdit* eWeight = nullptr;
  TLabelEx* leNomSpeed = nullptr;
  TNumberEdit* eNomSpeed = nullptr;
  TLabelEx* lNomSpeedUnit = nullptr;
  TLabelEx* leClass = nullptr;
  gui::TComboBox* cbClass = nullptr;
  TPanelEx* peMaxUnbalance = nullptr;
  TLabelEx* lePlaneA = nullptr;
  TLabelEx* lePlaneB = nullptr;
  TLabelEx* stMaxUnbalanceA = nullptr;
  TLabelEx* stMaxUnbalanceB = nullptr;
  TBitmapButton* bCalculate = nullptr;

  // Reads the fields into Rotor; true when the definition is complete.
  bool ReadRotor();

  void bOKClick(gui::TComponent* sender);
  void bCancelClick(gui::TComponent* sender);
  void bCalculateClick(gui::TComponent* sender);
  void rbTypeClick(gui::TComponent* sender);
  void cbMassCentreLocationClick(gui::TComponent* sender);
  void lNomSpeedUnitClick(gui::TComponent* sender);

 protected:
  void DoShow() override;
  // Enter runs OK wherever the focus is, on a button too.
  bool FocusTakesEnter() const override;
  void KeyDown(gui::TVirtualKey& key, gui::TShiftState shift) override;

 private:
  void BuildTypePanel();
  void BuildParameters();
  void BuildResults();
  void ShowTexts();
  void UpdateSpeedUnit();
  TRotorChoice CheckedChoice() const;
  TRotorFields ReadFields() const;

  RotorDefinition& FWorkRotor;
  bool FTwoPlanes;
};
