#pragma once
// TfConfig: the set-up dialog of the balancing workspace: capture settings,
// balancing options, rotor, sensors, control and correction mass, session
// information, owner text, display units and language, on ten pages chosen
// from a list. On show it copies the core's values into its controls and a
// few working fields; only OK writes them back (ApplySettings, see
// configlogic.h). The one exception is the sensor choice, which reaches the
// core when the dialog closes in any way.
//
// Opening: ShowSetupDialog below; the workspace implements TSetupServices.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "configlogic.h"
#include "languageservice.h"
#include "numberedit.h"
#include "records.h"
#include "sensorlist.h"
#include "windowframe.h"

class TBitmapButton;
class TLabelEx;
class TPanelEx;
class TSetupServices;

namespace gui {
class TCheckBox;
class TComboBox;
class TDateTimePicker;
class TDrawGrid;
class TEdit;
class TImageList;
class TListBox;
class TRadioButton;
class TRichEdit;
}  // namespace gui

// The pages of the list, in its order.
enum TConfigPage : int {
  cpBalancing,
  cpSampling,
  cpUnits,
  cpRotor,
  cpSensors,
  cpControlMass,
  cpCorrectionMass,
  cpSession,
  cpOwner,
  cpLanguage,
};
constexpr int ConfigPageCount = 10;

// Results of the dialog (CloseResult): 0 closed by the strip's close
// button, 1 OK, 2 Cancel (or Esc).
constexpr int32_t ConfigClosed = 0;
constexpr int32_t ConfigOK = 1;
constexpr int32_t ConfigCancel = 2;

class TfConfig : public TWindowFrame {
 public:
  static constexpr std::array<TTextKey, 77> LangKeys = {{
      {u"Forms", u"Setup"},
      {u"Forms", u"Close"},
      {u"Forms", u"Balancing"},
      {u"Forms", u"MeasParams"},
      {u"Forms", u"Units"},
      {u"Forms", u"RotorParams"},
      {u"Forms", u"ZeltoSensor"},
      {u"Forms", u"ControlMass"},
      {u"Forms", u"CorrectionMass"},
      {u"Forms", u"SessionParams"},
      {u"Forms", u"Owner"},
      {u"Forms", u"Language"},
      {u"Forms", u"Averaging"},
      {u"Forms", u"OnePlane"},
      {u"Forms", u"TwoPlanes"},
      {u"Forms", u"BalancingHead"},
      {u"Forms", u"TwoWeights"},
      {u"Forms", u"ThreeWeights"},
      {u"Forms", u"WeightAControlShift"},
      {u"Forms", u"SpeedTolerance"},
      {u"Forms", u"ZeltoValue"},
      {u"Forms", u"Gain"},
      {u"Forms", u"Change"},
      {u"Forms", u"PerResidualUnbalance"},
      {u"Forms", u"PerResidualSpecificUnbalance"},
      {u"Forms", u"PlaneA"},
      {u"Forms", u"PlaneB"},
      {u"Forms", u"Information"},
      {u"Forms", u"SamplingRate"},
      {u"Forms", u"BufferSize"},
      {u"Forms", u"SpeedRange"},
      {u"Forms", u"MeasDuration"},
      {u"Forms", u"Parameters"},
      {u"Forms", u"ZeltoSensorBase"},
      {u"Forms", u"Edit"},
      {u"Forms", u"Acceleration"},
      {u"Forms", u"Velocity"},
      {u"Forms", u"Displacement"},
      {u"Forms", u"Yes"},
      {u"Forms", u"No"},
      {u"Forms", u"ChannelA"},
      {u"Forms", u"ChannelB"},
      {u"Forms", u"Name"},
      {u"Forms", u"Type"},
      {u"Forms", u"Sensitivity"},
      {u"Forms", u"RangeLow"},
      {u"Forms", u"RangeHigh"},
      {u"Forms", u"Temperature"},
      {u"Forms", u"Value"},
      {u"Forms", u"Unit"},
      {u"Forms", u"SuggestedControlMass"},
      {u"Forms", u"AddMassEx"},
      {u"Forms", u"RemoveMassEx"},
      {u"Forms", u"DivideMass"},
      {u"Forms", u"Location"},
      {u"Forms", u"Date"},
      {u"Forms", u"Operator"},
      {u"Forms", u"MachineOwner"},
      {u"Forms", u"MachineType"},
      {u"Forms", u"ObjectName"},
      {u"Forms", u"Vibration"},
      {u"Forms", u"Speed"},
      {u"Forms", u"ProcessingUnit"},
      {u"Forms", u"OK"},
      {u"Forms", u"Cancel"},
      {u"Forms", u"ChangeLangInfo"},
      {u"Forms", u"SetupClearsRuns"},
      {u"Forms", u"SetupClearsRunsAsk"},
      {u"Forms", u"Measurement"},
      {u"Forms", u"Tunning"},
      {u"Forms", u"JobSensorNotListed"},
      {u"Forms", u"JobSensorDiffers"},
      {u"About", u"Name"},
      {u"About", u"Line1"},
      {u"About", u"Line2"},
      {u"About", u"Line3"},
      {u"About", u"Line4"},
  }};

  // `services` is the workspace (may be null). With `controlMassPage` the
  // dialog opens on the control-mass page (the workspace's control-mass
  // button), otherwise on the page it was closed on last.
  TfConfig(gui::TComponent* owner, TSetupServices* services, bool controlMassPage = false);
  ~TfConfig() override;

  // 0 from creation, 1 after OK, 2 after Cancel; the strip's close button
  // leaves it.
  int32_t CloseResult = ConfigClosed;
  int32_t WorkBuffLength = 0;
  int32_t WorkSamplingRate = 0;
  RotorDefinition WorkRotor;
  SensorInfo WorkSensorA, WorkSensorB;
  std::u16string SensorNameA, SensorNameB;
  bool SensorsChanged = false;
  // Whether channel A and B show the job's own sensor (ShownSensor).
  std::array<TSensorOrigin, 2> SensorOrigins{};
  std::array<std::u16string, ConfigPageCount> MenuTexts;

  // frame and page list
  TBitmapButton* bClose = nullptr;
  gui::TListBox* lbMenu = nullptr;
  std::array<TPanelEx*, ConfigPageCount> Pages{};
  TBitmapButton* bOK = nullptr;
  TBitmapButton* bCancel = nullptr;
  gui::TImageList* ilRotors = nullptr;

  // page 0, balancing
  TPanelEx* peBalancing = nullptr;
  gui::TRadioButton* rbOnePlane = nullptr;
  gui::TRadioButton* rbTwoPlanes = nullptr;
  TLabelEx* tbOnePlane = nullptr;
  TLabelEx* tbTwoPlanes = nullptr;
  TPanelEx* pBalancingHead = nullptr;
  gui::TCheckBox* cbBalancingHead = nullptr;
  TLabelEx* tbBalancingHead = nullptr;
  gui::TRadioButton* rbGWBTwoWeights = nullptr;
  gui::TRadioButton* rbGWBThreeWeights = nullptr;
  TLabelEx* tbGWBTwoWeights = nullptr;
  TLabelEx* tbGWBThreeWeights = nullptr;
  TLabelEx* leGWBControlShift = nullptr;
  TNumberEdit* eShiftWeightBy = nullptr;

  // page 1, sampling
  TPanelEx* peSampling = nullptr;
  TPanelEx* peSamplingParams = nullptr;
  TLabelEx* leSamplingRate = nullptr;
  gui::TComboBox* cbSamplingRate = nullptr;
  TLabelEx* leBuffSizeLabel = nullptr;
  gui::TComboBox* cbBuffSize = nullptr;
  TLabelEx* leAveraging = nullptr;
  gui::TComboBox* cbAveraging = nullptr;
  TLabelEx* leSpeedTolerance = nullptr;
  gui::TComboBox* cbSpeedTolerance = nullptr;
  TLabelEx* leZeltoValue = nullptr;
  gui::TComboBox* cbZeltoValue = nullptr;
  TLabelEx* leGain = nullptr;
  TLabelEx* leGainA = nullptr;
  TLabelEx* leGainB = nullptr;
  gui::TComboBox* cbGainA = nullptr;
  gui::TComboBox* cbGainB = nullptr;
  TPanelEx* peSamplingInfo = nullptr;
  TLabelEx* leSpeedRange = nullptr;
  TLabelEx* stSpeedRange = nullptr;
  TLabelEx* leMeasDuration = nullptr;
  TLabelEx* stMeasDuration = nullptr;

  // page 2, units
  TPanelEx* peUnits = nullptr;
  TPanelEx* peAmplitude = nullptr;
  gui::TRadioButton* rbVoltage = nullptr;
  gui::TRadioButton* rbAcceleration = nullptr;
  gui::TRadioButton* rbVelocity = nullptr;
  gui::TRadioButton* rbDisplacement = nullptr;
  TPanelEx* peSpeed = nullptr;
  gui::TRadioButton* rbRpm = nullptr;
  gui::TRadioButton* rbHz = nullptr;

  // page 3, rotor
  TPanelEx* peRotor = nullptr;
  TBitmapButton* bChangeRotorParamsImg = nullptr;
  TBitmapButton* bChangeRotorParams = nullptr;
  TPanelEx* pRotorParams = nullptr;
  TLabelEx* leMaxUnbalance = nullptr;
  TLabelEx* lePlaneA1 = nullptr;
  TLabelEx* stMaxUnbalanceA = nullptr;
  TLabelEx* lePlaneB1 = nullptr;
  TLabelEx* stMaxUnbalanceB = nullptr;
  TLabelEx* leMaxSpecificUnbalance = nullptr;
  TLabelEx* lePlaneA2 = nullptr;
  TLabelEx* stMaxSpecificUnbalanceA = nullptr;
  TLabelEx* lePlaneB2 = nullptr;
  TLabelEx* stMaxSpecificUnbalanceB = nullptr;

  // page 4, sensors
  TPanelEx* peZeltoSensor = nullptr;
  TPanelEx* peSensorInfo = nullptr;
  gui::TDrawGrid* dgSensors = nullptr;
  TBitmapButton* bSelectSensorA = nullptr;
  TBitmapButton* bSelectSensorB = nullptr;
  TPanelEx* peSensorBase = nullptr;
  TBitmapButton* bSensorBase = nullptr;
  // Names the channels that show the job's own sensor, and why.
  TLabelEx* leJobSensors = nullptr;

  // page 5, control mass
  TPanelEx* peCtrlMass = nullptr;
  TLabelEx* leCtrlMassValue = nullptr;
  TNumberEdit* eCtrlMassValue = nullptr;
  TLabelEx* leCtrlMassUnit = nullptr;
  gui::TEdit* eCtrlMassUnit = nullptr;
  TLabelEx* leCtrlMassSugg = nullptr;
  TLabelEx* stCtrlMassSugg = nullptr;

  // page 6, correction mass
  TPanelEx* peCorrectionMass = nullptr;
  gui::TRadioButton* rbAddMass = nullptr;
  gui::TRadioButton* rbRemoveMass = nullptr;
  TLabelEx* tbAddMass = nullptr;
  TLabelEx* tbRemoveMass = nullptr;
  gui::TCheckBox* cbDivideMass = nullptr;
  TLabelEx* tbDivideMass = nullptr;
  gui::TEdit* eRotorDivs = nullptr;

  // page 7, session
  TPanelEx* peSession = nullptr;
  TLabelEx* leInfoDate = nullptr;
  gui::TDateTimePicker* dtpInfoDate = nullptr;
  // eInfoLocation, eInfoOperator, eInfoOwner, eInfoMachine, eInfoObject
  std::array<gui::TEdit*, SessionTextCount> eInfo{};
  // leInfoLocation, leInfoOperator, leInfoOwner, leInfoMachine, leInfoObject
  std::array<TLabelEx*, SessionTextCount> leInfo{};

  // page 8, owner
  TPanelEx* peOwner = nullptr;
  TLabelEx* leOwner = nullptr;
  gui::TRichEdit* reOwner = nullptr;

  // page 9, language
  TPanelEx* peLanguage = nullptr;
  TLabelEx* leName = nullptr;
  std::array<TLabelEx*, 4> leLines{};
  TBitmapButton* bChangeLang = nullptr;

  // The page operations.
  void UpdatePageVisibility();
  void UpdateEnabledState();
  void UpdateSamplingInfo();
  void LoadSensorInfo();
  void ShowJobSensors();
  // Tells the sensor files the lookups could not read (filefailure.h), in
  // the dialog's error box and the workspace's log.
  void TellSensorFailures();
  std::function<void(const std::u16string&)> SensorFailureLog() const;
  void UpdateRotorParams();
  void UpdateSuggestedCtrlMass();
  // The settings the controls hold now, as OK would take them over. False
  // (and the field shown and focused) when an enabled number field holds no
  // usable number.
  bool ReadSettings(TConfigSettings& settings);

  // Handlers.
  void bOKClick(gui::TComponent* sender);
  void bCancelClick(gui::TComponent* sender);
  void bCloseClick(gui::TComponent* sender);
  void lbClick(gui::TComponent* sender);
  void rbPlanesClick(gui::TComponent* sender);
  void GwbOptionClick(gui::TComponent* sender);
  void cbSamplingRateChange(gui::TComponent* sender);
  void cbBuffSizeChange(gui::TComponent* sender);
  void stSpeedRangeClick(gui::TComponent* sender);
  void bChangeRotorParamsClick(gui::TComponent* sender);
  void bSelectSensorClick(gui::TComponent* sender);
  void bSensorBaseClick(gui::TComponent* sender);
  void eRotorDivsEnter(gui::TComponent* sender);
  void eRotorDivsExit(gui::TComponent* sender);
  void bChangeLangClick(gui::TComponent* sender);

  // The texts of the sensor grid's cell (column 1 channel A, 2 channel B).
  std::u16string SensorCellText(int col, int row) const;

 protected:
  void DoShow() override;
  void DoClose(gui::TCloseAction& action) override;
  bool FocusTakesEnter() const override;

 private:
  void BuildPageList();
  void BuildBalancingPage();
  void BuildSamplingPage();
  void BuildUnitsPage();
  void BuildRotorPage();
  void BuildSensorsPage();
  void BuildControlMassPage();
  void BuildCorrectionMassPage();
  void BuildSessionPage();
  void BuildOwnerPage();
  void BuildLanguagePage();
  void ShowTexts();
  void ShowValues();
  void ShowSamplingLists(const TConfigSettings& s);
  void ShowCorrectionAndSession(const TConfigSettings& s);
  void FillGainList(gui::TComboBox* list, const SensorInfo& sensor, int32_t gain);
  void lbMenuDrawItem(int index, gui::TRect rect, uint8_t state);
  void dgSensorsDrawCell(int col, int row, gui::TRect rect);
  bool FieldFailed(TConfigPage page, gui::TEdit* field);
  // Settings that would clear measured runs are taken over only when the
  // user agrees to the question that names them; false keeps the dialog
  // open. The agreed clearing is noted for the log.
  bool ClearingAgreed(const TConfigSettings& settings);
  void Finish(int32_t result);

  TSetupServices* FServices;
  bool FControlMassPage;
  // Set while the show fills the controls: their click handlers, which
  // setting a check mark also runs, must not act on the user's behalf.
  bool FLoading = false;
  // The settings OK read and ApplySettings takes over when the dialog closes.
  std::optional<TConfigSettings> FConfirmed;
  // The log's note of the runs the confirmed settings clear; empty: none.
  std::u16string FClearingNote;
  // The texts the show put into the text fields. A field that still shows
  // its text writes back the stored one, which it may not hold whole.
  struct TShownTexts {
    std::u16string CtrlMassUnit, Owner;
    std::array<std::u16string, SessionTextCount> Session;
  } FShown;
  std::vector<TBufferItem> FBufferItems;
  std::vector<int32_t> FClockItems;
  std::array<std::u16string, 6> FRowTitles;     // the grid's row titles
  std::array<std::u16string, 2> FColumnTitles;  // "ChannelA", "ChannelB"
  TSensorTexts FSensorTexts;
  // A sensor was chosen for channel A, B since the dialog opened: it no
  // longer shows the job's own.
  std::array<bool, 2> FSensorChosen{};
};

// The workspace's set-up command after it stopped a running spectrum
// computation: creates the dialog with `owner` (the command's button) as
// owner, shows it modally and destroys it. Returns CloseResult. The caller
// then refreshes its results and views and saves the session.
int32_t ShowSetupDialog(gui::TComponent* owner, TSetupServices* services, bool controlMassPage);
