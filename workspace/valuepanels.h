#pragma once
// The value panels of the computed correction (run 3) and of the trim runs:
// correction masses and angles, their split onto rotor positions, residual
// unbalances with their ISO 1940 verdict colours, and for one plane the
// placement angles of the amplitude-only method. The computations are pure
// and return what each label shows; ApplyPanelView copies a view into the
// panel's controls.

#include <array>
#include <optional>
#include <span>
#include <string>

#include "resultpanel.h"
#include "workspacecontrols.h"

class TZelto;

// A verdict that passes.
constexpr uint32_t PermissibleColor = 0x008000;

// A header or unit control: its caption (none: left as it is, such as the
// fixed "[deg]" of the angle units) and whether it shows.
struct TPanelLabel {
  std::optional<std::u16string> Caption;
  bool Visible = true;
};

struct TPanelCell {
  std::u16string Text;
  uint32_t Color = 0;
  bool Visible = true;
};

struct TPanelRow {
  uint32_t Background = OtherRowColor;
  // In the slot order of the row tables: mass, angle, unbalance of plane A,
  // then plane B, or for one plane the three placement angles.
  std::array<TPanelCell, 6> Cells;
};

// In the slot order of TValuePanelControls.
struct TValuePanelView {
  std::array<TPanelLabel, 6> Headers, Units;
  std::array<TPanelRow, 3> Rows;
  // One plane: the placement header over the angle columns, and C with
  // three weights.
  bool PlacementHeaders = false, PlacementHeaderC = false;
};

// The panel of run 3 (Panel2R, Panel1R) and of the trim runs (Panel2T,
// Panel1T), by the core's plane count. The rows' backgrounds follow the run
// table. Placements are read from `runVectors`, which the caller has brought
// up to date (ComputeGwbVectors) when the amplitude-only method is on.
TValuePanelView ComputeCorrectionPanel(const TZelto& core, const TResultPanelState& state, const TRunTableView& table,
                                       const TRunVectors& runVectors, const TWorkspaceTexts& texts);
TValuePanelView ComputeTrimPanel(const TZelto& core, const TResultPanelState& state, const TRunTableView& table,
                                 const TRunVectors& runVectors, const TWorkspaceTexts& texts);

// Copies a view into a panel's header, unit and row controls; empty slots
// are skipped.
void ApplyPanelView(const TValuePanelView& view, const TValuePanelControls& panel, std::span<const TValueRow> rows);
