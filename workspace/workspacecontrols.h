#pragma once
// The components of the balancing workspace and the row tables through
// which the result panel reaches its labels. BuildWorkspaceControls creates
// them all, names them as the workspace's descriptions do (so tests find
// them with FindComponent) and lays them out in the work panel; the window
// places the groups again at every resize (LayoutWorkspace).

#include <array>

#include "bitmapbutton.h"
#include "image.h"
#include "imagelist.h"
#include "labelex.h"
#include "paintbox.h"
#include "panel.h"
#include "panelex.h"

// One row of the run table.
struct TRunTableRow {
  gui::TPanel* pHighlight = nullptr;
  gui::TImage* iMarker = nullptr;
  TLabelEx* leOper = nullptr;
  gui::TImage* iError = nullptr;
  TLabelEx* leFreq = nullptr;
};

// One row of a value panel: the highlight and six label slots in the order
// of the row table; an empty slot is null and skipped by every loop.
struct TValueRow {
  gui::TPanel* pHighlight = nullptr;
  std::array<TLabelEx*, 6> Slots{};
};

// A value panel with its header labels and unit controls, in the slot order
// of its rows (plane A columns, then plane B or the placement angles).
struct TValuePanelControls {
  gui::TPanel* Panel = nullptr;
  std::array<gui::TControl*, 6> Headers{};
  std::array<gui::TControl*, 6> Units{};
  // One plane: the placement header over the three angle columns.
  TLabelEx* GwbLabel = nullptr;
};

struct TBalancingControls {
  // caption strip
  TBitmapButton* bCloseC = nullptr;
  TBitmapButton* bMaximize = nullptr;
  TBitmapButton* bMinimize = nullptr;
  TBitmapButton* bInfoC = nullptr;
  gui::TImageList* ilCaption = nullptr;

  // lamp pictures and glyphs
  gui::TImage* iGLedOn = nullptr;
  gui::TImage* iYLedOn = nullptr;
  gui::TImage* iRLedOn = nullptr;
  gui::TImage* iLedOff = nullptr;
  gui::TImageList* ilStartStop = nullptr;

  // plane diagrams
  gui::TPaintBox* pbPlanes = nullptr;

  // result panel: run table
  gui::TPanel* pMeas = nullptr;
  TLabelEx* leSpeed = nullptr;
  TBitmapButton* bFreqUnit = nullptr;
  gui::TImage* iMarker = nullptr;
  gui::TImage* iError = nullptr;
  std::array<TRunTableRow, 3> RunTableRows;

  // result panel: value panels and their row tables
  TValuePanelControls Panel1D, Panel1R, Panel1T, Panel2D, Panel2R, Panel2T;
  std::array<TValueRow, 2> Panel1DRows;
  std::array<TValueRow, 3> Panel1RRows, Panel1TRows, Panel2DRows, Panel2RRows, Panel2TRows;
  TBitmapButton* bAmplUnit1D = nullptr;
  TBitmapButton* bAmplUnit2DA = nullptr;
  TBitmapButton* bAmplUnit2DB = nullptr;
  TBitmapButton* bMass1T = nullptr;
  TBitmapButton* bMass2TA = nullptr;
  TBitmapButton* bMass2TB = nullptr;

  // commands
  gui::TPanel* peButtons = nullptr;
  TBitmapButton* bStartStop = nullptr;
  TBitmapButton* bPrev = nullptr;
  TBitmapButton* bNext = nullptr;
  TBitmapButton* bSession = nullptr;
  TBitmapButton* bSetup = nullptr;
  TBitmapButton* bReport = nullptr;
  TBitmapButton* bSpectrum = nullptr;
  TBitmapButton* bOscilloscope = nullptr;
  TBitmapButton* bTotalMass = nullptr;
  TBitmapButton* bZoomIn = nullptr;
  TBitmapButton* bZoomOut = nullptr;
  TBitmapButton* bZoomAll = nullptr;
  TBitmapButton* bZoomPrev = nullptr;
  TBitmapButton* bHelp = nullptr;

  // status line
  gui::TPanel* peStatus = nullptr;
  gui::TImage* iStatusLed = nullptr;
  TLabelEx* leStatus = nullptr;
  TLabelEx* leSamplingProgress = nullptr;
  TLabelEx* leOperation = nullptr;
  TLabelEx* leCurrentOperation = nullptr;
  gui::TImage* iErrorLed = nullptr;
  TLabelEx* leError = nullptr;

  // run parameters
  gui::TPanel* peInfo = nullptr;
  TPanelEx* peDirLabel = nullptr;
  TBitmapButton* bDirValue = nullptr;
  TPanelEx* pePeriodsLabel = nullptr;
  TPanelEx* pePeriodsValue = nullptr;
  TPanelEx* peCtrlMassLabel = nullptr;
  TBitmapButton* bCtrlMassValue = nullptr;
  TPanelEx* peCorrectionMassLabel = nullptr;
  TBitmapButton* bCorrectionMassValue = nullptr;
};

// The work panel's size as designed; the window cannot be made smaller.
constexpr int WorkPanelWidth = 780;
constexpr int WorkPanelHeight = 560;

// Creates every component on `panel` (the work panel) with `form` as owner.
void BuildWorkspaceControls(TBalancingControls& c, gui::TForm* form, gui::TPanel* panel);

// The groups from the bottom of the work panel up, centred, and the plane
// diagrams above them (the window's resize rules).
void LayoutWorkspace(TBalancingControls& c, gui::TPanel* panel);
