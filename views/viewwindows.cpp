#include "viewwindows.h"

#include "asyncfilecommand.h"
#include "formcursorpos.h"
#include "formfftgraph.h"
#include "formtimegraph.h"
#include "viewprint.h"

TfTimeGraph* ShowTimeGraph(gui::TComponent* owner, TViewWorkspace& workspace) {
  if (!fTimeGraph) new TfTimeGraph(owner, workspace);
  fTimeGraph->Show();
  fTimeGraph->BringToFront();
  return fTimeGraph;
}

TfFFTGraph* ShowFFTGraph(gui::TComponent* owner, TViewWorkspace& workspace) {
  if (!fFFTGraph) new TfFFTGraph(owner, workspace);
  fFFTGraph->Show();
  fFFTGraph->BringToFront();
  return fFFTGraph;
}

void DestroyViews() {
  delete fFFTGraph;
  delete fTimeGraph;
}

std::vector<TWindowLangKeys> ViewLangKeys() {
  return {
      {"TfTimeGraph and TfFFTGraph", TfSignalView::LangKeys},
      {"TfTimeGraph", TfTimeGraph::LangKeys},
      {"TfFFTGraph", TfFFTGraph::LangKeys},
      {"TfTimeGraph and TfFFTGraph file menu", AsyncFileLangKeys},
      {"TfTimeGraph and TfFFTGraph print pages", PrintLangKeys},
      {"TfCursorPos", TfCursorPos::LangKeys},
  };
}
