#pragma once
// The run control of a balancing job as pure rules over the core object:
// which step Next and Previous go to, what Start must check or do first,
// which buttons are enabled, and the texts of the operation caption, the
// error line, the acquisition state and the run-parameter buttons. The
// workspace window applies them to its controls.

#include <cstdint>
#include <optional>
#include <string>

#include "resultpanel.h"
#include "workspacetexts.h"

class TZelto;

// Channel A's averaged vector is not zero.
bool RunMeasured(const MeasurementResult& run);
// Any of the four averaged values is not zero.
bool RunHasValues(const MeasurementResult& run);

// --- Next and Previous -----------------------------------------------------

// Next refuses (and changes nothing) at the last step, and while a run it
// needs is not measured.
bool NextRefused(const TZelto& core);

struct TNextResult {
  bool Advanced = false;
  bool ReachedCorrection = false;  // the step is now 3: evaluate and log the correction
};
// Steps 2 to 4 of Next: the refusals, one step on, the step 2 of one plane
// skipped, HighestStep raised on reaching the correction.
TNextResult AdvanceStep(TZelto& core);

// Steps 2 to 4 of Previous: one step back (one plane skips step 2), and the
// run table scrolls up with it.
void RetreatStep(TZelto& core, int32_t& firstTrimRow);

// --- buttons ----------------------------------------------------------------

bool NextEnabled(const TZelto& core);
bool PrevEnabled(const TZelto& core);
bool SetupEnabled(const TZelto& core);
bool TotalMassEnabled(const TZelto& core);

// --- Start -------------------------------------------------------------------

// Both channels need a sensor, also with one plane.
bool SensorsAssigned(const TZelto& core);
// The run shown holds samples: a view can show them in mV, whether or not
// the job's sensors are known here.
bool ShownRunHoldsSamples(const TZelto& core);
enum class TStartMove {
  Stay,             // capture the current step
  NextFirst,        // step 3 right after the correction: Next, then capture
  HighestThenNext,  // a lower check run: go to HighestStep, Next, then capture
};
TStartMove StartMoveFor(const TZelto& core);

// The run Start will capture into once it has made its move: the current
// step, the step after the correction, or HighestStep or the step after it
// (Next advances only from a measured run below the last).
int32_t StartCaptureRun(const TZelto& core);
// That run holds values a new capture would replace, so Start asks first.
bool StartAsksToReplace(const TZelto& core);

// The log entry kind written when a capture of `step` ends; nullopt at the
// correction step.
std::optional<uint8_t> LogKindAtEnd(int32_t step, uint8_t type);

// --- status line and captions ---------------------------------------------

// leCurrentOperation; `totalMassText` is the text of "TotalMass".
std::u16string OperationCaption(const TZelto& core, uint8_t showTotalMass, const TWorkspaceTexts& texts,
                                const std::u16string& totalMassText);

enum TLamp : uint8_t { lpOff, lpGreen, lpYellow, lpRed };

struct TErrorLine {
  std::u16string Text;
  uint32_t Color = 0;
  TLamp Lamp = lpOff;
  bool SaveFailure = false;  // it tells why the job is not saved
};
// The error line of a running balancing capture from the refresh's flags.
TErrorLine MeasurementErrorLine(const TZelto& core, const TResultPanelState& flags, const TWorkspaceTexts& texts);
// The error line when a capture ended on a driver error: its text in red;
// for an impossible capture window, windowErrorText instead.
TErrorLine DriverErrorLine(const TZelto& core, const std::u16string& windowErrorText);
// The error line without an error of the measurement: while the job is not
// saved (TZelto::JobUnsaved) that is an error, and the line says why in red,
// as the caption marks it; while runs the panel compares have no common
// unit (RunsWithoutCommonUnit), the line says so, its lamp off, since
// nothing failed; otherwise "NoError".
TErrorLine NoErrorLine(const TZelto& core, const TWorkspaceTexts& texts);

struct TAcquisitionView {
  std::u16string Text;
  std::optional<TLamp> Lamp;  // nullopt: the lamp keeps its picture
  bool ClearProgress = true;
};
TAcquisitionView AcquisitionViewFor(uint8_t state, const TWorkspaceTexts& texts);

struct TParamCaptions {
  std::u16string Direction;
  std::u16string Periods;
  bool PeriodsAlert = false;  // bold red: a capture runs and the run has no revolution yet
  bool MassButtonsEnabled = false;
  std::u16string ControlMass, CorrectionMass;
};
TParamCaptions ComputeParamCaptions(const TZelto& core, const TWorkspaceTexts& texts);
