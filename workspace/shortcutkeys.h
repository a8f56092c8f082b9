#pragma once
// The keyboard of the balancing workspace: which command a key runs. With
// Ctrl held only the Ctrl keys apply (Ctrl+S opens the session menu, never
// the set-up); without Ctrl only the plain keys. A command reached by a key
// acts only while its button is enabled, where the button can be disabled.

#include <cstdint>

#include "keys.h"

enum class TWorkspaceKeyCommand : uint8_t {
  None,
  Spectrum,
  Oscilloscope,
  ZoomIn,
  ZoomOut,
  ZoomAll,
  ZoomPrev,
  Session,
  AmplitudeUnit,
  TotalMass,
  StartStop,
  Next,
  Prev,
  Setup,
};

// What the key rows test: the views' visibility, the own enabled state of
// the command buttons and the current run.
struct TWorkspaceKeyState {
  bool SpectrumVisible = false;
  bool OscilloscopeVisible = false;
  bool SessionEnabled = false;
  bool TotalMassEnabled = false;
  bool StartStopEnabled = false;
  bool NextEnabled = false;
  bool PrevEnabled = false;
  bool OscilloscopeEnabled = false;
  bool SpectrumEnabled = false;
  bool SetupEnabled = false;
  int32_t Step = 0;
};

TWorkspaceKeyCommand WorkspaceKeyCommand(gui::TVirtualKey key, gui::TShiftState shift, const TWorkspaceKeyState& state);
