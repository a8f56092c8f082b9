#include "resultpanel.h"

#include <algorithm>
#include <cmath>

#include "formatting.h"
#include "textconv.h"
#include "zelto.h"

namespace {

constexpr std::array<double, 5> TolerancePercents = {0.1, 0.5, 1.0, 5.0, 10.0};
constexpr int DefaultTolerancePosition = 2;
constexpr std::u16string_view SumMark = u"  \u2211";

// Speed deviation in per cent of a reference; the caller skips a zero
// reference.
double DeviationPercent(double speed, double reference) { return std::fabs(speed - reference) * 100.0 / reference; }

std::u16string Numbered(const std::u16string& text, int32_t number) {
  return text + u" " + rtl::AsciiToUtf16(std::to_string(number));
}

bool IsCurrentAndMeasuring(const TZelto& core, int32_t run) { return run == core.BalancingStep && core.Measuring; }

std::u16string SpeedText(const TZelto& core, const TResultPanelState& state, const TWorkspaceTexts& texts,
                         int32_t run) {
  if (state.ZeroSpeed && IsCurrentAndMeasuring(core, run)) return texts.Error;
  const double f = core.Results[run].Freq;
  if (f == 0) return {};
  if (core.AsyncMode) return u"-";
  return TZelto::FormatNumber(core.SpeedDisplayMode == 1 ? f : f * 60.0);
}

uint32_t SpeedColor(const TZelto& core, const TResultPanelState& state, int32_t run) {
  if ((state.ZeroSpeed || state.SpeedOutOfTolerance) && IsCurrentAndMeasuring(core, run)) return ErrorTextColor;
  return run == core.BalancingStep ? CurrentSpeedColor : OtherSpeedColor;
}

// A row showing run `run` with its speed; the current run is highlighted.
TRunRowView RunRow(const TZelto& core, const TResultPanelState& state, const TWorkspaceTexts& texts, int32_t run,
                   std::u16string operation) {
  TRunRowView row;
  const bool current = run == core.BalancingStep;
  row.Background = current ? CurrentRowColor : OtherRowColor;
  row.Marker = current;
  row.Operation = std::move(operation);
  row.Speed = SpeedText(core, state, texts, run);
  row.SpeedColor = SpeedColor(core, state, run);
  row.ErrorImage = state.AnyMeasurementError && IsCurrentAndMeasuring(core, run);
  return row;
}

// The current row of the correction or divided trim view.
TRunRowView HeadRow(std::u16string operation) {
  TRunRowView row;
  row.Background = CurrentRowColor;
  row.Marker = true;
  row.Operation = std::move(operation);
  return row;
}

TRunRowView SplitRow(const TZelto& core, const TWorkspaceTexts& texts) {
  TRunRowView row;
  if (core.DivideMass) row.Operation = texts.DivPart;
  return row;
}

std::u16string SpeedUnit(const TZelto& core) { return core.SpeedDisplayMode == 1 ? u"[Hz]" : u"[rpm]"; }

// The split of the correction shown at run `run`; none when that
// correction was not computed or the rotor has too few divisions.
void SplitShownCorrection(const TZelto& core, TResultPanelState& state, int32_t run) {
  const std::optional<TCorrection> shown = ShownCorrection(core, state, run);
  state.PanelSplit =
      shown ? SplitCorrection(*shown, core.Type, core.MassAdd, core.RotationDir, core.RotorDivCount) : std::nullopt;
}

std::u16string TrimOperation(const TZelto& core, const TResultPanelState& state, const TWorkspaceTexts& texts,
                             int32_t run) {
  std::u16string text = Numbered(texts.Tunning, run - 3);
  if (state.ShowTotalMass && !state.TrimShowsVibration && run == core.BalancingStep && core.Results[run].Valid)
    text += SumMark;
  return text;
}

void MeasurementRows(const TZelto& core, const TResultPanelState& state, const TWorkspaceTexts& texts,
                     TRunTableView& view) {
  for (int32_t i = 0; i < 3; ++i) {
    // One plane has no second trial run: its row stays blank.
    if (i == 2 && core.Type == 0) break;
    view.Rows[i] = RunRow(core, state, texts, i, Numbered(texts.Measurement, i + 1));
  }
  view.SpeedCaption = texts.Speed;
  view.SpeedUnit = SpeedUnit(core);
}

void CorrectionRows(const TZelto& core, TResultPanelState& state, const TWorkspaceTexts& texts, TRunTableView& view) {
  if (core.DivideMass) SplitShownCorrection(core, state, RunCorrection);
  view.Rows[0] = HeadRow(texts.MeasResult);
  view.Rows[1] = SplitRow(core, texts);
  view.Rows[2] = SplitRow(core, texts);
}

void TrimRows(const TZelto& core, const TResultPanelState& state, const TWorkspaceTexts& texts, TRunTableView& view) {
  for (int32_t j = 0; j < 3; ++j) {
    const int32_t run = state.FirstTrimRow + 3 + j;
    // A top row past the last runs leaves the rows below it blank.
    if (run < RunFirstTrim || run > LastRun) continue;
    view.Rows[j] = RunRow(core, state, texts, run, TrimOperation(core, state, texts, run));
    view.Rows[j].SpeedVisible = !(run == core.BalancingStep && state.ShowTotalMass);
  }
}

void DividedTrimRows(const TZelto& core, TResultPanelState& state, const TWorkspaceTexts& texts, TRunTableView& view) {
  const int32_t c = core.BalancingStep;
  SplitShownCorrection(core, state, c);
  TRunRowView row = HeadRow(TrimOperation(core, state, texts, c));
  row.Speed = SpeedText(core, state, texts, c);
  row.SpeedColor = SpeedColor(core, state, c);
  row.SpeedVisible = !state.ShowTotalMass;
  row.ErrorImage = state.AnyMeasurementError && core.Measuring;
  view.Rows[0] = row;
  view.Rows[1] = SplitRow(core, texts);
  view.Rows[2] = SplitRow(core, texts);
}

// --- measured-value panels ---------------------------------------------------

struct TChannelCells {
  TValueCell* Amplitude;
  TValueCell* Phase;
  TValueCell* Unbalance;
};

void FillChannel(const TZelto& core, int32_t run, uint8_t channel, bool overRange, TChannelCells cells) {
  const MeasurementResult& r = core.Results[run];
  const double amplitude = channel == 0 ? r.Meas.AmplA : r.Meas.AmplB;
  const double phase = channel == 0 ? r.Meas.PhA : r.Meas.PhB;
  if (amplitude == 0 && phase == 0) {
    cells.Amplitude->Text = cells.Phase->Text = cells.Unbalance->Text = u"";
  } else if (core.AsyncMode) {
    cells.Amplitude->Text = cells.Phase->Text = cells.Unbalance->Text = u"-";
  } else {
    cells.Amplitude->Text =
        core.FormatRunAmplitude(run, amplitude, r.Freq, core.AmplDisplayMode, core.VibValueType, channel);
    cells.Phase->Text = core.FormatRunPhase(run, phase, core.AmplDisplayMode, channel);
    cells.Unbalance->Text = UnbalancePercent(core, run, channel);
  }
  const uint32_t own = core.WorkColors[channel == 0 ? wcWorkChA : wcWorkChB];
  const uint32_t colour = run == core.BalancingStep ? own : core.WorkColors[wcWorkText2];
  cells.Amplitude->Color = overRange ? ErrorTextColor : colour;
  cells.Phase->Color = colour;
  cells.Unbalance->Color = colour;
}

void FillPlacement(const TZelto& core, const TRunVectors& vectors, int32_t run, TMeasuredRowView& row) {
  const std::array<uint32_t, 3> colours = {core.WorkColors[wcWorkGWBA], core.WorkColors[wcWorkGWBB],
                                           core.WorkColors[wcWorkGWBC]};
  for (size_t k = 0; k < 3; ++k) row.Placement[k].Color = colours[k];
  if (!core.GWB.Enabled) return;
  if (core.AsyncMode) {
    for (TValueCell& cell : row.Placement) cell.Text = u"-";
    return;
  }
  const size_t shown = core.GWB.Mode == 0 ? 2 : core.GWB.Mode == 1 ? 3 : 0;
  for (size_t k = 0; k < shown; ++k) row.Placement[k].Text = PlacementText(vectors[run][k]);
}

}  // namespace

double SpeedTolerancePercent(int position) {
  if (position < 0 || position >= static_cast<int>(TolerancePercents.size())) position = DefaultTolerancePosition;
  return TolerancePercents[position];
}

int32_t FirstTrimRowFor(int32_t step) { return std::max(step - 5, 1); }

std::optional<TCorrection> ShownCorrection(const TZelto& core, const TResultPanelState& state, int32_t run) {
  if (state.ShowTotalMass) return state.TotalCorrection;
  return StoredCorrection(core.Results[static_cast<size_t>(run)]);
}

std::u16string UnbalancePercent(const TZelto& core, int32_t run, uint8_t channel) {
  const std::optional<TComparedAmplitudes> a = core.ComparedAmplitudes(run, channel);
  if (!a) return u"-";
  if (a->Initial == 0) return {};
  return FormatPattern(a->Run * 100.0 / a->Initial, u"0%");
}

bool RunsWithoutCommonUnit(const TZelto& core) {
  const auto measured = [&core](int32_t run, uint8_t channel) {
    const TVector4& m = core.Results[static_cast<size_t>(run)].Meas;
    return channel == 0 ? m.AmplA != 0 || m.PhA != 0 : m.AmplB != 0 || m.PhB != 0;
  };
  const uint8_t channels = core.Type == 1 ? 2 : 1;
  for (uint8_t channel = 0; channel < channels; ++channel) {
    if (!measured(RunInitial, channel)) continue;
    // A set of runs has a common unit when each has one with the initial
    // run: the corrections need no other check.
    for (int32_t run = RunInitial + 1; run < RunCount; ++run)
      if (measured(run, channel) && !core.ComparedAmplitudes(run, channel)) return true;
  }
  return false;
}

void ComputeMeasurementFlags(const TZelto& core, double rangeA, double rangeB, TResultPanelState& state) {
  const MeasurementResult& run = core.Results[std::clamp(core.BalancingStep, 0, LastRun)];
  const double fc = run.Freq;
  const double f0 = core.Results[RunInitial].Freq;
  const double tol = SpeedTolerancePercent(static_cast<int8_t>(core.SpeedTolerance));
  state.SpeedOutOfTolerance = f0 != 0 && DeviationPercent(fc, f0) > tol;
  if (state.LastSpeed != 0 && DeviationPercent(fc, state.LastSpeed) > tol) state.SpeedOutOfTolerance = 1;
  state.LastSpeed = fc;
  // A capture without speed pulses keeps the run's last reading, whose speed
  // is not the one the rotor has now.
  state.ZeroSpeed = fc == 0 || (core.Measuring && core.NoSpeedSignal);
  state.OverRangeA = run.Meas.AmplA > rangeA;
  state.OverRangeB = core.Type == 1 && run.Meas.AmplB > rangeB;
  state.AnyMeasurementError = state.SpeedOutOfTolerance || state.ZeroSpeed || state.OverRangeA || state.OverRangeB;
}

TRunTableView ComputeRunTable(const TZelto& core, TResultPanelState& state, const TWorkspaceTexts& texts) {
  TRunTableView view;
  const int32_t c = core.BalancingStep;
  // A step outside the job shows nothing rather than reading past the runs.
  if (c < 0 || c > LastRun) return view;
  if (c < RunCorrection) {
    MeasurementRows(core, state, texts, view);
    return view;
  }
  if (c == RunCorrection) {
    CorrectionRows(core, state, texts, view);
    return view;
  }
  if (state.ShowTotalMass) state.TotalCorrection = SumCorrections(core.Results, c, core.Type);
  if (core.DivideMass)
    DividedTrimRows(core, state, texts, view);
  else
    TrimRows(core, state, texts, view);
  view.SpeedCaption = texts.Speed;
  view.SpeedUnit = SpeedUnit(core);
  return view;
}

TValuePanel ChooseValuePanel(uint8_t type, int32_t step) {
  const int offset = step < RunCorrection ? 0 : step == RunCorrection ? 1 : 2;
  return static_cast<TValuePanel>((type == 1 ? vpTwoPlanesMeasured : vpOnePlaneMeasured) + offset);
}

TMeasuredPanelView ComputeMeasuredPanel(const TZelto& core, const TResultPanelState& state, const TRunTableView& table,
                                        const TRunVectors& runVectors, const TWorkspaceTexts& texts) {
  TMeasuredPanelView view;
  view.AmplitudeHeader = texts.Vibration + u": " + TZelto::AmplitudeModeText(core.VibValueType);
  view.PhaseHeader = texts.Phase;
  view.UnbalanceHeader = texts.Unbalance;
  view.UnbalanceUnit = u"[%]";
  view.AmplitudeUnit = TZelto::AmplitudeUnitText(core.AmplDisplayMode, 1);
  const bool twoPlanes = core.Type == 1;
  view.RowCount = twoPlanes ? 3 : 2;
  for (int32_t i = 0; i < view.RowCount; ++i) {
    TMeasuredRowView& row = view.Rows[i];
    row.Background = table.Rows[i].Background;
    FillChannel(core, i, 0, state.OverRangeA, {&row.AmplitudeA, &row.PhaseA, &row.UnbalanceA});
    if (twoPlanes)
      FillChannel(core, i, 1, state.OverRangeB, {&row.AmplitudeB, &row.PhaseB, &row.UnbalanceB});
    else
      FillPlacement(core, runVectors, i, row);
  }
  view.PlacementHeaders = !twoPlanes && core.GWB.Enabled;
  view.PlacementHeaderC = view.PlacementHeaders && core.GWB.Mode == 1;
  return view;
}
