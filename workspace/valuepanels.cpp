#include "valuepanels.h"

#include <cmath>
#include <complex>
#include <numbers>

#include "balancing.h"
#include "formatting.h"
#include "gwbmethod.h"
#include "iso1940.h"
#include "labelex.h"
#include "textconv.h"
#include "workcolors.h"
#include "zelto.h"

namespace {

constexpr double Pi = std::numbers::pi;
constexpr std::u16string_view NoValue = u"-";

class TPanelBuilder {
 public:
  TPanelBuilder(const TZelto& core, const TResultPanelState& state, const TRunTableView& table,
                const TRunVectors& vectors, const TWorkspaceTexts& texts)
      : Core(core), State(state), Table(table), Vectors(vectors), Texts(texts) {}

  TValuePanelView CorrectionTwoPlanes();
  TValuePanelView CorrectionOnePlane();
  TValuePanelView TrimTwoPlanes();
  TValuePanelView TrimOnePlane();

 private:
  int32_t Step() const { return Core.BalancingStep; }
  const MeasurementResult& Run(int32_t r) const { return Core.Results[static_cast<size_t>(r)]; }
  bool Rotor() const { return Core.Rotor.Type != 0; }
  uint32_t Channel(uint8_t plane) const { return Core.WorkColors[plane == 0 ? wcWorkChA : wcWorkChB]; }
  uint32_t OtherRun() const { return Core.WorkColors[wcWorkText2]; }
  // A run without a counted reading shows nothing, whatever its record holds.
  bool Empty(int32_t r, uint8_t plane) const {
    const TVector4& m = Run(r).Meas;
    return !Run(r).Valid || (plane == 0 ? m.AmplA == 0 && m.PhA == 0 : m.AmplB == 0 && m.PhB == 0);
  }

  std::u16string MassUnit() const;
  std::u16string SignedMass(double factor) const;
  std::u16string ShownAngle(double angle) const;
  double Residual(double factor, uint8_t plane) const;
  uint32_t VerdictColor(double residual, uint8_t plane) const;
  std::optional<TCorrection> CorrectionOf(int32_t r, bool total) const;

  void RowBackgrounds(TValuePanelView& view) const;
  void CorrectionCells(TPanelCell& mass, TPanelCell& angle, const std::optional<TCorrection>& c, uint8_t plane) const;
  void ResidualCell(TPanelCell& cell, const std::optional<TCorrection>& c, uint8_t plane) const;
  void SplitRows(TValuePanelView& view, uint8_t plane, bool filled) const;
  void TrimHeaders(TValuePanelView& view, bool twoPlanes) const;
  void TrimUnbalance(TPanelCell& cell, int32_t r, uint8_t plane) const;
  void TrimCells(TPanelRow& row, int32_t r, uint8_t plane) const;
  void DividedTrimRows(TValuePanelView& view, uint8_t plane) const;
  void PlacementColours(TPanelRow& row) const;
  void Placements(TPanelRow& row, int32_t r) const;
  void OnePlaneColumns(TValuePanelView& view) const;

  const TZelto& Core;
  const TResultPanelState& State;
  const TRunTableView& Table;
  const TRunVectors& Vectors;
  const TWorkspaceTexts& Texts;
};

// --- common texts -------------------------------------------------------------

// Without a rotor the masses stay in the control mass's unit.
std::u16string TPanelBuilder::MassUnit() const {
  return Rotor() ? u"[g]" : u"[" + rtl::Utf8ToUtf16(Core.CtrlMass.Unit) + u"]";
}

std::u16string TPanelBuilder::SignedMass(double factor) const {
  return std::u16string(Core.MassAdd ? u"+" : u"-") + FormatPattern(factor * Core.CtrlMass.Value, u"0.00");
}

// A mass to add goes opposite the stored angle.
std::u16string TPanelBuilder::ShownAngle(double angle) const {
  return TZelto::FormatAngle(Core.MassAdd ? AngleDiff(angle, Pi) : angle);
}

double TPanelBuilder::Residual(double factor, uint8_t plane) const {
  return PlaneUnbalance(Core.Rotor, plane, factor * Core.CtrlMass.Value);
}

// Red also when either value is not a number.
uint32_t TPanelBuilder::VerdictColor(double residual, uint8_t plane) const {
  return CalcPermissibleUnbalance(Core.Rotor, plane) >= residual ? PermissibleColor : ErrorTextColor;
}

// The total (computed by the run table) or the run's own correction.
std::optional<TCorrection> TPanelBuilder::CorrectionOf(int32_t r, bool total) const {
  return total ? State.TotalCorrection : StoredCorrection(Run(r));
}

void TPanelBuilder::RowBackgrounds(TValuePanelView& view) const {
  for (size_t i = 0; i < view.Rows.size(); ++i) view.Rows[i].Background = Table.Rows[i].Background;
}

void TPanelBuilder::CorrectionCells(TPanelCell& mass, TPanelCell& angle, const std::optional<TCorrection>& c,
                                    uint8_t plane) const {
  if (Core.AsyncMode || !c) {
    mass.Text = angle.Text = NoValue;
    return;
  }
  mass.Text = SignedMass(plane == 0 ? c->MassA : c->MassB);
  angle.Text = ShownAngle(plane == 0 ? c->AngleA : c->AngleB);
}

// A correction that was not computed has no residual to judge.
void TPanelBuilder::ResidualCell(TPanelCell& cell, const std::optional<TCorrection>& c, uint8_t plane) const {
  if (Core.AsyncMode || !c) {
    cell.Text = NoValue;
    cell.Color = Channel(plane);
    return;
  }
  const double residual = Residual(plane == 0 ? c->MassA : c->MassB, plane);
  cell.Text = TZelto::FormatNumber(residual);
  cell.Color = VerdictColor(residual, plane);
}

// Rows 2 and 3: the first and second rotor position of the split the run
// table made (none when it had none to make), or empty rows in the channel
// colour. `filled` says whether the run behind them has data at all.
void TPanelBuilder::SplitRows(TValuePanelView& view, uint8_t plane, bool filled) const {
  const std::optional<SplitResult>& split = State.PanelSplit;
  const size_t base = plane == 0 ? 0 : 3;
  const std::array<uint32_t, 2> colours = {Core.WorkColors[wcWorkVDiv1], Core.WorkColors[wcWorkVDiv2]};
  for (size_t k = 0; k < 2; ++k) {
    TPanelCell& mass = view.Rows[k + 1].Cells[base];
    TPanelCell& angle = view.Rows[k + 1].Cells[base + 1];
    if (!Core.DivideMass) {
      mass.Color = angle.Color = Channel(plane);
      continue;
    }
    mass.Color = angle.Color = colours[k];
    if (!filled) continue;
    if (Core.AsyncMode || !split) {
      mass.Text = angle.Text = NoValue;
      continue;
    }
    const SplitResult& s = *split;
    const double m = plane == 0 ? (k == 0 ? s.MassA1 : s.MassA2) : (k == 0 ? s.MassB1 : s.MassB2);
    const double a = plane == 0 ? (k == 0 ? s.AngleA1 : s.AngleA2) : (k == 0 ? s.AngleB1 : s.AngleB2);
    mass.Text = SignedMass(m);
    angle.Text = TZelto::FormatAngle(a);
  }
}

// --- placements of the amplitude-only method ----------------------------------

void TPanelBuilder::PlacementColours(TPanelRow& row) const {
  const std::array<TWorkColor, 3> colours = {wcWorkGWBA, wcWorkGWBB, wcWorkGWBC};
  for (size_t k = 0; k < 3; ++k) row.Cells[3 + k].Color = Core.WorkColors[colours[k]];
}

void TPanelBuilder::Placements(TPanelRow& row, int32_t r) const {
  if (!Core.GWB.Enabled) return;
  if (Core.AsyncMode) {
    for (size_t k = 0; k < 3; ++k) row.Cells[3 + k].Text = NoValue;
    return;
  }
  const size_t shown = Core.GWB.Mode == GwbTwoWeights ? 2 : Core.GWB.Mode == GwbThreeWeights ? 3 : 0;
  for (size_t k = 0; k < shown; ++k) row.Cells[3 + k].Text = PlacementText(Vectors[static_cast<size_t>(r)][k]);
}

// Headers and units of the mass and angle columns show only without the
// amplitude-only method, which places weights instead.
void TPanelBuilder::OnePlaneColumns(TValuePanelView& view) const {
  for (TPanelRow& row : view.Rows) PlacementColours(row);
  const bool masses = !Core.GWB.Enabled;
  view.Headers[0].Visible = view.Units[0].Visible = masses;
  view.Headers[1].Visible = view.Units[1].Visible = masses;
  view.PlacementHeaders = Core.GWB.Enabled;
  view.PlacementHeaderC = Core.GWB.Enabled && Core.GWB.Mode == GwbThreeWeights;
  view.Units[3].Visible = view.Units[4].Visible = view.PlacementHeaders;
  view.Units[5].Visible = view.PlacementHeaderC;
}

// --- correction (run 3) -------------------------------------------------------

TValuePanelView TPanelBuilder::CorrectionTwoPlanes() {
  TValuePanelView view;
  RowBackgrounds(view);
  const std::optional<TCorrection> correction = CorrectionOf(RunCorrection, false);
  for (uint8_t plane = 0; plane < 2; ++plane) {
    const size_t base = plane == 0 ? 0 : 3;
    view.Headers[base] = {Texts.Mass, true};
    view.Headers[base + 1] = {Texts.Angle, true};
    view.Headers[base + 2] = {Texts.Unbalance, Rotor()};
    view.Units[base].Caption = MassUnit();
    view.Units[base + 2].Caption = Rotor() ? u"[g mm]" : u"";
    TPanelRow& row = view.Rows[0];
    row.Cells[base].Color = row.Cells[base + 1].Color = Channel(plane);
    CorrectionCells(row.Cells[base], row.Cells[base + 1], correction, plane);
    if (Rotor()) ResidualCell(row.Cells[base + 2], correction, plane);
    SplitRows(view, plane, true);
  }
  return view;
}

TValuePanelView TPanelBuilder::CorrectionOnePlane() {
  TValuePanelView view;
  RowBackgrounds(view);
  view.Headers[0].Caption = Texts.Mass;
  view.Headers[1].Caption = Texts.Angle;
  view.Headers[2] = {Texts.Unbalance, Rotor()};
  view.Units[0].Caption = MassUnit();
  view.Units[2].Caption = Rotor() ? u"[g mm]" : u"";
  const std::optional<TCorrection> correction = CorrectionOf(RunCorrection, false);
  TPanelRow& row = view.Rows[0];
  row.Cells[0].Color = row.Cells[1].Color = Channel(0);
  if (!Core.GWB.Enabled) CorrectionCells(row.Cells[0], row.Cells[1], correction, 0);
  if (Rotor()) ResidualCell(row.Cells[2], correction, 0);
  Placements(row, RunCorrection);
  SplitRows(view, 0, true);
  OnePlaneColumns(view);
  return view;
}

// --- trim runs ------------------------------------------------------------------

void TPanelBuilder::TrimHeaders(TValuePanelView& view, bool twoPlanes) const {
  const bool vibration = State.TrimShowsVibration != 0;
  const std::u16string mass =
      vibration ? Texts.Vibration + u": " + TZelto::AmplitudeModeText(Core.VibValueType) : Texts.Mass;
  const std::u16string unit = vibration ? TZelto::AmplitudeUnitText(Core.AmplDisplayMode, 1) : MassUnit();
  for (size_t base : {size_t{0}, size_t{3}}) {
    if (base == 3 && !twoPlanes) break;
    view.Headers[base].Caption = mass;
    view.Headers[base + 1].Caption = vibration ? Texts.Phase : Texts.Angle;
    view.Headers[base + 2].Caption = Texts.Unbalance;
    view.Units[base].Caption = unit;
    view.Units[base + 2].Caption = Rotor() ? u"[g mm]" : u"[%]";
  }
}

// Per cent of the initial run without a rotor, else the residual; only the
// current run is judged.
void TPanelBuilder::TrimUnbalance(TPanelCell& cell, int32_t r, uint8_t plane) const {
  const bool current = r == Step();
  cell.Visible = !(current && State.ShowTotalMass);
  cell.Color = current ? Channel(plane) : OtherRun();
  if (Empty(r, plane)) return;
  if (Core.AsyncMode) {
    cell.Text = NoValue;
    return;
  }
  if (!Rotor()) {
    cell.Text = UnbalancePercent(Core, r, plane);
    return;
  }
  const std::optional<TCorrection> own = CorrectionOf(r, false);
  if (!own) {
    cell.Text = NoValue;
    return;
  }
  const double residual = Residual(plane == 0 ? own->MassA : own->MassB, plane);
  cell.Text = TZelto::FormatNumber(residual);
  if (current) cell.Color = VerdictColor(residual, plane);
}

// One run's mass (or vibration), angle (or phase) and unbalance of a plane.
void TPanelBuilder::TrimCells(TPanelRow& row, int32_t r, uint8_t plane) const {
  const size_t base = plane == 0 ? 0 : 3;
  TPanelCell& mass = row.Cells[base];
  TPanelCell& angle = row.Cells[base + 1];
  const bool current = r == Step();
  mass.Color = angle.Color = current ? Channel(plane) : OtherRun();
  TrimUnbalance(row.Cells[base + 2], r, plane);
  if (Empty(r, plane)) return;
  if (Core.AsyncMode) {
    mass.Text = angle.Text = NoValue;
  } else if (State.TrimShowsVibration) {
    const MeasurementResult& run = Run(r);
    mass.Text = Core.FormatRunAmplitude(r, plane == 0 ? run.Meas.AmplA : run.Meas.AmplB, run.Freq,
                                        Core.AmplDisplayMode, Core.VibValueType, plane);
    angle.Text = Core.FormatRunPhase(r, plane == 0 ? run.Meas.PhA : run.Meas.PhB, Core.AmplDisplayMode, plane);
  } else {
    CorrectionCells(mass, angle, CorrectionOf(r, current && State.ShowTotalMass), plane);
  }
}

// With divided masses: the current run's correction (or the total), always
// as masses, and its split onto two rotor positions.
void TPanelBuilder::DividedTrimRows(TValuePanelView& view, uint8_t plane) const {
  const size_t base = plane == 0 ? 0 : 3;
  const int32_t c = Step();
  TPanelRow& row = view.Rows[0];
  row.Cells[base].Color = row.Cells[base + 1].Color = Channel(plane);
  TrimUnbalance(row.Cells[base + 2], c, plane);
  if (!Empty(c, plane)) CorrectionCells(row.Cells[base], row.Cells[base + 1], ShownCorrection(Core, State, c), plane);
  SplitRows(view, plane, !Empty(c, plane));
  // The split rows have no unbalance; their empty cells take the split colour.
  for (size_t k = 1; k < 3; ++k) view.Rows[k].Cells[base + 2].Color = view.Rows[k].Cells[base].Color;
}

TValuePanelView TPanelBuilder::TrimTwoPlanes() {
  TValuePanelView view;
  RowBackgrounds(view);
  TrimHeaders(view, true);
  for (uint8_t plane = 0; plane < 2; ++plane) {
    if (Core.DivideMass) {
      DividedTrimRows(view, plane);
      continue;
    }
    for (int32_t j = 0; j < 3; ++j) {
      const int32_t r = State.FirstTrimRow + 3 + j;
      if (r >= RunFirstTrim && r <= LastRun) TrimCells(view.Rows[static_cast<size_t>(j)], r, plane);
    }
  }
  return view;
}

TValuePanelView TPanelBuilder::TrimOnePlane() {
  TValuePanelView view;
  RowBackgrounds(view);
  TrimHeaders(view, false);
  OnePlaneColumns(view);
  // With divided masses the amplitude-only method is not consulted and the
  // placements stay empty.
  if (Core.DivideMass) {
    DividedTrimRows(view, 0);
    return view;
  }
  for (int32_t j = 0; j < 3; ++j) {
    const int32_t r = State.FirstTrimRow + 3 + j;
    TPanelRow& row = view.Rows[static_cast<size_t>(j)];
    if (r < RunFirstTrim || r > LastRun) continue;
    if (Core.GWB.Enabled) {
      row.Cells[0].Color = row.Cells[1].Color = r == Step() ? Channel(0) : OtherRun();
      TrimUnbalance(row.Cells[2], r, 0);
    } else {
      TrimCells(row, r, 0);
    }
    // An unmeasured run has no placement; one measured gets the weights.
    if (Run(r).Meas.AmplA != 0) Placements(row, r);
  }
  return view;
}

}  // namespace

TValuePanelView ComputeCorrectionPanel(const TZelto& core, const TResultPanelState& state, const TRunTableView& table,
                                       const TRunVectors& runVectors, const TWorkspaceTexts& texts) {
  TPanelBuilder builder(core, state, table, runVectors, texts);
  return core.Type == 1 ? builder.CorrectionTwoPlanes() : builder.CorrectionOnePlane();
}

TValuePanelView ComputeTrimPanel(const TZelto& core, const TResultPanelState& state, const TRunTableView& table,
                                 const TRunVectors& runVectors, const TWorkspaceTexts& texts) {
  TPanelBuilder builder(core, state, table, runVectors, texts);
  // A step outside the trim runs has no rows to show.
  if (core.BalancingStep <= RunCorrection || core.BalancingStep > LastRun) return {};
  return core.Type == 1 ? builder.TrimTwoPlanes() : builder.TrimOnePlane();
}

// --- controls -------------------------------------------------------------------

namespace {

void SetCaption(gui::TControl* control, const std::u16string& caption) {
  if (auto* label = dynamic_cast<TLabelEx*>(control))
    label->SetCaptionW(caption);
  else if (auto* button = dynamic_cast<TBitmapButton*>(control))
    button->SetCaptionW(caption);
}

void ApplyLabel(gui::TControl* control, const TPanelLabel& label) {
  if (!control) return;
  if (label.Caption) SetCaption(control, *label.Caption);
  control->SetVisible(label.Visible);
}

}  // namespace

void ApplyPanelView(const TValuePanelView& view, const TValuePanelControls& panel, std::span<const TValueRow> rows) {
  for (size_t k = 0; k < 6; ++k) {
    ApplyLabel(panel.Headers[k], view.Headers[k]);
    ApplyLabel(panel.Units[k], view.Units[k]);
  }
  if (panel.GwbLabel) panel.GwbLabel->SetVisible(view.PlacementHeaders);
  for (size_t i = 0; i < rows.size() && i < view.Rows.size(); ++i) {
    if (rows[i].pHighlight) rows[i].pHighlight->SetColor(view.Rows[i].Background);
    for (size_t k = 0; k < 6; ++k) {
      TLabelEx* label = rows[i].Slots[k];
      if (!label) continue;
      const TPanelCell& cell = view.Rows[i].Cells[k];
      label->SetCaptionW(cell.Text);
      label->Font().SetColor(cell.Color);
      label->SetVisible(cell.Visible);
    }
  }
}
