#include "workflow.h"

#include <algorithm>

#include "jobguard.h"
#include "resultpanel.h"
#include "textconv.h"
#include "zelto.h"

namespace {

bool ValidStep(int32_t step) { return step >= 0 && step <= LastRun; }

const MeasurementResult* CurrentRun(const TZelto& core) {
  return ValidStep(core.BalancingStep) ? &core.Results[core.BalancingStep] : nullptr;
}

std::u16string Number(int32_t n) { return rtl::AsciiToUtf16(std::to_string(n)); }

bool NextRefusedAt(const TZelto& core, int32_t step) {
  if (!ValidStep(step) || step == LastRun) return true;
  const auto measured = [&core](int32_t run) { return RunMeasured(core.Results[run]); };
  if (core.Type == 1 && step == RunTrialB) return !measured(RunInitial) || !measured(RunTrialA) || !measured(RunTrialB);
  if (core.Type == 0 && step == RunTrialA) return !measured(RunInitial) || !measured(RunTrialA);
  if (step > RunCorrection) return !measured(step);
  return false;
}

// Where Next goes from `step`: one plane has no second trial run.
int32_t StepAfter(const TZelto& core, int32_t step) {
  const int32_t next = step + 1;
  return core.Type == 0 && next == RunTrialB ? RunCorrection : next;
}

}  // namespace

bool RunMeasured(const MeasurementResult& run) { return run.Meas.AmplA != 0 || run.Meas.PhA != 0; }

bool RunHasValues(const MeasurementResult& run) {
  return run.Meas.AmplA != 0 || run.Meas.PhA != 0 || run.Meas.AmplB != 0 || run.Meas.PhB != 0;
}

bool NextRefused(const TZelto& core) { return NextRefusedAt(core, core.BalancingStep); }

TNextResult AdvanceStep(TZelto& core) {
  if (NextRefused(core)) return {};
  TNextResult result;
  result.Advanced = true;
  core.BalancingStep = StepAfter(core, core.BalancingStep);
  if (core.BalancingStep == RunCorrection) {
    core.HighestStep = std::max(core.HighestStep, RunCorrection);
    result.ReachedCorrection = true;
  }
  return result;
}

void RetreatStep(TZelto& core, int32_t& firstTrimRow) {
  if (core.BalancingStep > 0) --core.BalancingStep;
  if (core.Type == 0 && core.BalancingStep == RunTrialB) core.BalancingStep = RunTrialA;
  if (firstTrimRow > 1) --firstTrimRow;
}

bool NextEnabled(const TZelto& core) { return !core.Measuring && core.BalancingStep < LastRun; }

bool PrevEnabled(const TZelto& core) { return !core.Measuring && core.BalancingStep != 0; }

bool SetupEnabled(const TZelto& core) { return !core.Measuring; }

bool TotalMassEnabled(const TZelto& core) {
  const MeasurementResult* run = CurrentRun(core);
  return core.BalancingStep > RunCorrection && !core.GWB.Enabled && run && run->Valid;
}

bool SensorsAssigned(const TZelto& core) {
  return core.VibSensorA.Sensitivity != 0 && core.VibSensorB.Sensitivity != 0;
}

bool ShownRunHoldsSamples(const TZelto& core) {
  const int32_t step = core.BalancingStep;
  return !core.AsyncMode && step >= 0 && step < RunCount && !core.Captures[static_cast<size_t>(step)].DataA.empty();
}

TStartMove StartMoveFor(const TZelto& core) {
  const int32_t step = core.BalancingStep;
  if (step == RunCorrection && core.HighestStep == RunCorrection) return TStartMove::NextFirst;
  // A check run below the highest cannot be measured again.
  if (step >= RunCorrection && step < core.HighestStep) return TStartMove::HighestThenNext;
  return TStartMove::Stay;
}

int32_t StartCaptureRun(const TZelto& core) {
  switch (StartMoveFor(core)) {
    case TStartMove::NextFirst:
      return StepAfter(core, core.BalancingStep);
    case TStartMove::HighestThenNext:
      return NextRefusedAt(core, core.HighestStep) ? core.HighestStep : StepAfter(core, core.HighestStep);
    case TStartMove::Stay:
    default:
      return core.BalancingStep;
  }
}

bool StartAsksToReplace(const TZelto& core) {
  const int32_t run = StartCaptureRun(core);
  return ValidStep(run) && RunHasValues(core.Results[run]);
}

std::optional<uint8_t> LogKindAtEnd(int32_t step, uint8_t type) {
  if (step == RunCorrection) return std::nullopt;
  if (step < RunCorrection) return type == 0 ? 2 : 5;
  return type == 0 ? 4 : 7;
}

std::u16string OperationCaption(const TZelto& core, uint8_t showTotalMass, const TWorkspaceTexts& texts,
                                const std::u16string& totalMassText) {
  const bool weights = core.GWB.Enabled;
  switch (core.BalancingStep) {
    case RunInitial:
      return weights ? texts.Measurement1GWB : texts.Measurement1;
    case RunTrialA:
      return weights ? texts.Measurement2GWB : core.Type == 0 ? texts.Measurement21 : texts.Measurement22;
    case RunTrialB:
      return texts.Measurement3;
    case RunCorrection:
      return texts.MeasResult;
    default:
      break;
  }
  std::u16string caption = texts.Tunning + u" " + Number(core.BalancingStep - RunCorrection);
  if (showTotalMass) caption += u"  \u2211 - " + totalMassText;
  return caption;
}

TErrorLine MeasurementErrorLine(const TZelto& core, const TResultPanelState& flags, const TWorkspaceTexts& texts) {
  if (!flags.AnyMeasurementError) return NoErrorLine(core, texts);
  TErrorLine line{texts.NoError, ErrorTextColor, lpRed};
  // A later flag wins.
  if (flags.SpeedOutOfTolerance) line.Text = texts.FreqOutOfRange;
  if (flags.ZeroSpeed) line.Text = texts.SpeedError;
  if (flags.OverRangeA || flags.OverRangeB) line.Text = texts.AmplOutOfRange;
  return line;
}

TErrorLine DriverErrorLine(const TZelto& core, const std::u16string& windowErrorText) {
  const bool window = core.CaptureError == CaptureErrorWindow;
  return {window ? windowErrorText : TextOf(core.LastErrorText), ErrorTextColor, lpRed};
}

TErrorLine NoErrorLine(const TZelto& core, const TWorkspaceTexts& texts) {
  if (core.JobUnsaved) return {LastSaveFailureLine(core), ErrorTextColor, lpRed, true};
  if (RunsWithoutCommonUnit(core)) return {texts.RunsWithoutCommonUnit, ErrorTextColor, lpOff};
  return {texts.NoError, core.WorkColors[wcWorkText2], lpOff};
}

TAcquisitionView AcquisitionViewFor(uint8_t state, const TWorkspaceTexts& texts) {
  switch (state) {
    case asArmed:
      return {texts.StateWaiting, lpGreen, true};
    case asSynchronous:
      return {texts.StateSyncSampling, lpOff, false};
    case asAsynchronous:
      return {texts.StateAsyncSampling, lpOff, true};
    case asTransfer:
      return {texts.StateTransfer, std::nullopt, true};
    default:
      return {u"", std::nullopt, true};
  }
}

TParamCaptions ComputeParamCaptions(const TZelto& core, const TWorkspaceTexts& texts) {
  TParamCaptions captions;
  const int32_t revolutions = ValidStep(core.BalancingStep) ? core.Captures[core.BalancingStep].T : 0;
  if (core.AsyncMode) {
    captions.Direction = captions.Periods = u"-";
  } else {
    captions.Direction = core.RotationDir == 0 ? texts.Right : texts.Left;
    captions.Periods = Number(revolutions);
  }
  captions.PeriodsAlert = core.Measuring && revolutions == 0;
  captions.MassButtonsEnabled = !core.GWB.Enabled && !core.AsyncMode;
  if (!captions.MassButtonsEnabled) {
    captions.ControlMass = captions.CorrectionMass = u"-";
    return captions;
  }
  captions.ControlMass = TZelto::FormatNumber(core.CtrlMass.Value) +
                         (core.Rotor.Type != 0 ? std::u16string(u"g") : rtl::Utf8ToUtf16(core.CtrlMass.Unit));
  captions.CorrectionMass = core.MassAdd ? texts.AddMass : texts.RemoveMass;
  return captions;
}
