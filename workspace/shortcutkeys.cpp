#include "shortcutkeys.h"

#include "formbalancing.h"
#include "records.h"
#include "zelto.h"

namespace {

using enum TWorkspaceKeyCommand;

TWorkspaceKeyCommand CtrlKey(gui::TVirtualKey key, const TWorkspaceKeyState& s) {
  switch (key) {
    case gui::VK_TAB:
      // Brings the visible analysis window to the front, the spectrum first.
      if (s.SpectrumVisible) return Spectrum;
      return s.OscilloscopeVisible ? Oscilloscope : None;
    case 'I':
      return ZoomIn;
    case 'O':
      return ZoomOut;
    case 'A':
      return ZoomAll;
    case 'P':
      return ZoomPrev;
    case 'S':
      return s.SessionEnabled ? Session : None;
    // The amplitude unit shows only in the panels of the measured runs.
    case 'U':
      return s.Step < RunCorrection ? AmplitudeUnit : None;
    case 'E':
      return s.TotalMassEnabled ? TotalMass : None;
    default:
      return None;
  }
}

TWorkspaceKeyCommand PlainKey(gui::TVirtualKey key, const TWorkspaceKeyState& s) {
  switch (key) {
    case gui::VK_SPACE:
      return s.StartStopEnabled ? StartStop : None;
    case 'N':
    case gui::VK_NEXT:
      return s.NextEnabled ? Next : None;
    case 'P':
    case gui::VK_PRIOR:
      return s.PrevEnabled ? Prev : None;
    case 'A':
      return s.OscilloscopeEnabled ? Oscilloscope : None;
    case 'F':
      return s.SpectrumEnabled ? Spectrum : None;
    case 'S':
      return s.SetupEnabled ? Setup : None;
    default:
      return None;
  }
}

}  // namespace

TWorkspaceKeyCommand WorkspaceKeyCommand(gui::TVirtualKey key, gui::TShiftState shift,
                                         const TWorkspaceKeyState& state) {
  return (shift & gui::ssCtrl) ? CtrlKey(key, state) : PlainKey(key, state);
}

// --- the window's key handler --------------------------------------------------------

namespace {

// Runs what a click on the control runs, whether or not it is enabled.
void Invoke(gui::TControl* control) {
  if (control && control->OnClick) control->OnClick(control);
}

}  // namespace

void TfBalancing::FormKeyDown(gui::TComponent*, gui::TVirtualKey& key, gui::TShiftState shift) {
  TWorkspaceKeyState state;
  const TSpectrumViewServices* spectrum = WindowServices().SpectrumView;
  const TTimeGraphServices* scope = WindowServices().TimeGraph;
  state.SpectrumVisible = spectrum && spectrum->Visible;
  state.OscilloscopeVisible = scope && scope->Visible;
  state.SessionEnabled = bSession->Enabled();
  state.TotalMassEnabled = bTotalMass->Enabled();
  state.StartStopEnabled = bStartStop->Enabled();
  state.NextEnabled = bNext->Enabled();
  state.PrevEnabled = bPrev->Enabled();
  state.OscilloscopeEnabled = bOscilloscope->Enabled();
  state.SpectrumEnabled = bSpectrum->Enabled();
  state.SetupEnabled = bSetup->Enabled();
  state.Step = TheCore ? TheCore->BalancingStep : 0;
  switch (WorkspaceKeyCommand(key, shift, state)) {
    case TWorkspaceKeyCommand::Spectrum:
      Invoke(bSpectrum);
      break;
    case TWorkspaceKeyCommand::Oscilloscope:
      Invoke(bOscilloscope);
      break;
    case TWorkspaceKeyCommand::ZoomIn:
      bZoomInClick(bZoomIn);
      break;
    case TWorkspaceKeyCommand::ZoomOut:
      bZoomOutClick(bZoomOut);
      break;
    case TWorkspaceKeyCommand::ZoomAll:
      bZoomAllClick(bZoomAll);
      break;
    case TWorkspaceKeyCommand::ZoomPrev:
      bZoomPrevClick(bZoomPrev);
      break;
    case TWorkspaceKeyCommand::Session:
      bSessionClick(bSession);
      break;
    case TWorkspaceKeyCommand::AmplitudeUnit:
      bAmplUnitClick(TheCore && TheCore->Type == 1 ? bAmplUnit2DA : bAmplUnit1D);
      break;
    case TWorkspaceKeyCommand::TotalMass:
      bTotalMassClick(bTotalMass);
      break;
    case TWorkspaceKeyCommand::StartStop:
      bStartStopClick(bStartStop);
      break;
    case TWorkspaceKeyCommand::Next:
      bNextClick(bNext);
      break;
    case TWorkspaceKeyCommand::Prev:
      bPrevClick(bPrev);
      break;
    case TWorkspaceKeyCommand::Setup:
      bSetupClick(bSetup);
      break;
    case TWorkspaceKeyCommand::None:
      break;
  }
}
