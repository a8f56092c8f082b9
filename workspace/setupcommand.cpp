#include "setupcommand.h"

#include "formbalancing.h"
#include "formconfig.h"
#include "spectrumthread.h"
#include "zelto.h"

int TWorkspaceSetup::SetupPage() const { return Window.SetupPage; }

void TWorkspaceSetup::SetSetupPage(int page) { Window.SetupPage = page; }

void TWorkspaceSetup::NewSession() { Window.NewSession(false); }

void TWorkspaceSetup::RefreshResults() { Window.RefreshResults(); }

void TWorkspaceSetup::RefreshViews() {
  if (TSpectrumViewServices* spectrum = WindowServices().SpectrumView; spectrum && spectrum->Visible)
    spectrum->RefreshInfoPanel();
  if (TTimeGraphServices* scope = WindowServices().TimeGraph; scope && scope->Visible) scope->RefreshReadout();
}

// Opened from the control-mass button, the dialog starts on its control
// mass page.
void TfBalancing::bSetupClick(gui::TComponent* sender) {
  if (!TheCore) return;
  if (TheCore->SpectrumBusy && SpectrumThread) {
    SpectrumThread->AbortCalculation();
    UpdateOperationStatus();
    ShowNoError();
  }
  TWorkspaceSetup services(*this);
  ShowSetupDialog(this, &services, sender == bCtrlMassValue);
  RefreshResults();
  if (TTimeGraphServices* scope = WindowServices().TimeGraph; scope && scope->Visible) {
    scope->RefreshGraph();
    scope->MirrorStatus();
  }
  if (TSpectrumViewServices* spectrum = WindowServices().SpectrumView; spectrum && spectrum->Visible) {
    spectrum->PlotSpectrum(false);
    spectrum->MirrorStatus();
  }
  TheCore->SaveSession();
}
