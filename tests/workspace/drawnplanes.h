#pragma once
// What the workspace's plane diagrams draw now, for the window suites:
// counts of drawing operations, and the kinds a test looks for.

#include <cstddef>
#include <functional>

#include "formbalancing.h"
#include "polardiagram.h"
#include "zelto.h"

namespace testsupport {

// How many drawing operations of the window's plane diagrams `select` picks.
inline size_t DrawnOps(TfBalancing& window, const TZelto& core, const std::function<bool(const TDrawOp&)>& select) {
  const TDiagramView view{window.PlaneZoom, window.ShowTotalMass, window.TotalCorrection, window.PanelSplit,
                          window.ComputeGwbVectors()};
  size_t count = 0;
  for (const TDrawOp& op : DiagramScene(core, view, 400, 300, 13)) count += select(op);
  return count;
}

// The current run's vector and correction lines: two pixels wide or dashed.
inline bool VectorLine(const TDrawOp& op) {
  return op.Kind == dkLine && (op.Pen.Width == 2 || op.Pen.Style == skDash);
}

// The ISO 1940 verdict: its picture or its caption.
inline bool IsoVerdict(const TDrawOp& op) {
  return op.Kind == dkPicture || (op.Kind == dkText && op.Text == u"ISO 1940");
}

}  // namespace testsupport
