#pragma once
// The result panel of the balancing workspace as pure computations: the
// measurement error flags, the three rows of the run table, the choice of the
// value panel and the rows of the measured-value panels. The window copies
// what these return into its labels; nothing here touches a control.

#include <array>
#include <complex>
#include <cstdint>
#include <optional>
#include <string>

#include "balancing.h"
#include "records.h"
#include "workspacetexts.h"

class TZelto;

// Colours of the panel (0x00BBGGRR).
constexpr uint32_t CurrentRowColor = 0x00FFFF;
constexpr uint32_t OtherRowColor = 0xE1FFFF;
constexpr uint32_t CurrentSpeedColor = 0xFF4040;
constexpr uint32_t OtherSpeedColor = 0x000000;
constexpr uint32_t ErrorTextColor = 0x0000FF;

// The percentage of the speed tolerance stored as its list position 0..4
// ("0,1%", "0,5%", "1%", "5%", "10%"); any other position gives the default
// 1 %.
double SpeedTolerancePercent(int position);

// The working fields of the panel; the workspace window holds them as its
// own members.
struct TResultPanelState {
  double LastSpeed = 0.0;
  uint8_t SpeedOutOfTolerance = 0;
  uint8_t ZeroSpeed = 0;
  uint8_t OverRangeA = 0;
  uint8_t OverRangeB = 0;
  uint8_t AnyMeasurementError = 0;
  // Empty when there is none to show: a total whose ends could not be
  // computed, a correction not computed, or a split refused (fewer than
  // three rotor divisions). The total starts as four zeros.
  std::optional<TCorrection> TotalCorrection = TCorrection{};
  std::optional<SplitResult> PanelSplit;
  uint8_t TrimShowsVibration = 0;
  uint8_t ShowTotalMass = 0;
  int32_t FirstTrimRow = 1;
};

// The trim run shown in the top row once the current step is `step`: the
// current run in the bottom row from step 6 on, the first trim run before,
// so the run table always holds the current run.
int32_t FirstTrimRowFor(int32_t step);

// The correction the panel and the diagrams show for run `run`: the total
// while the total view is on, else the run's own; empty when not computed.
std::optional<TCorrection> ShownCorrection(const TZelto& core, const TResultPanelState& state, int32_t run);

// Run `run`'s amplitude on a channel in per cent of the initial run's
// ("0%"), the two in one unit (TZelto::ComparedAmplitudes); empty when the
// initial run has no amplitude, "-" when the two runs' sensors give them no
// common unit.
std::u16string UnbalancePercent(const TZelto& core, int32_t run, uint8_t channel);
// A measured run and the initial run have no common unit on a channel
// (runcomparison.h): its per cent, and every correction the runs give,
// show "-", and the error line says why.
bool RunsWithoutCommonUnit(const TZelto& core);

// Recomputes the five flags and LastSpeed from the current run; rangeA and
// rangeB are the channels' input ranges in the unit of the amplitudes.
void ComputeMeasurementFlags(const TZelto& core, double rangeA, double rangeB, TResultPanelState& state);

struct TRunRowView {
  uint32_t Background = OtherRowColor;
  bool Marker = false;
  std::u16string Operation;
  std::u16string Speed;
  uint32_t SpeedColor = OtherSpeedColor;
  bool SpeedVisible = true;
  bool ErrorImage = false;
};

struct TRunTableView {
  std::array<TRunRowView, 3> Rows;
  std::u16string SpeedCaption;  // leSpeed
  std::u16string SpeedUnit;     // bFreqUnit
};

// The run table by the current step. At the correction and trim steps it
// also recomputes TotalCorrection (total view) and PanelSplit (divided
// masses).
TRunTableView ComputeRunTable(const TZelto& core, TResultPanelState& state, const TWorkspaceTexts& texts);

enum TValuePanel : uint8_t {
  vpOnePlaneMeasured,
  vpOnePlaneCorrection,
  vpOnePlaneTrim,
  vpTwoPlanesMeasured,
  vpTwoPlanesCorrection,
  vpTwoPlanesTrim
};
TValuePanel ChooseValuePanel(uint8_t type, int32_t step);

struct TValueCell {
  std::u16string Text;
  uint32_t Color = 0;
};

struct TMeasuredRowView {
  uint32_t Background = OtherRowColor;
  TValueCell AmplitudeA, PhaseA, UnbalanceA, AmplitudeB, PhaseB, UnbalanceB;
  // One plane: the three placement angles of the amplitude-only method.
  std::array<TValueCell, 3> Placement;
};

struct TMeasuredPanelView {
  std::u16string AmplitudeHeader, PhaseHeader, UnbalanceHeader, UnbalanceUnit, AmplitudeUnit;
  // Rows 0..2 for two planes, 0..1 for one plane.
  std::array<TMeasuredRowView, 3> Rows;
  int RowCount = 0;
  // The placement headers; C only with three weights.
  bool PlacementHeaders = false, PlacementHeaderC = false;
};

// The measured-value panel (runs 0 to 2) of the current plane count; each
// row's background follows the run table row beside it. Placement vectors
// are read from `runVectors` (BalanceRunVectors).
using TRunVectors = std::array<std::array<std::complex<double>, 4>, RunCount>;
TMeasuredPanelView ComputeMeasuredPanel(const TZelto& core, const TResultPanelState& state, const TRunTableView& table,
                                        const TRunVectors& runVectors, const TWorkspaceTexts& texts);
