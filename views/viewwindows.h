#pragma once
// How the workspace reaches the view windows: it creates each on first use
// with itself as owner and the interface of viewworkspace.h, shows it, and
// destroys both when it closes. The windows' language keys for the
// language-file check.

#include <vector>

#include "langkeys.h"

class TfFFTGraph;
class TfTimeGraph;
class TViewWorkspace;

namespace gui {
class TComponent;
}

// The oscilloscope window, created on first use, shown and brought to the
// front.
TfTimeGraph* ShowTimeGraph(gui::TComponent* owner, TViewWorkspace& workspace);
// The spectrum window likewise.
TfFFTGraph* ShowFFTGraph(gui::TComponent* owner, TViewWorkspace& workspace);
// Destroys both windows (the spectrum window first, which stops its thread).
void DestroyViews();

// The key tables of the views' windows, named as the language file's index
// names them.
std::vector<TWindowLangKeys> ViewLangKeys();
