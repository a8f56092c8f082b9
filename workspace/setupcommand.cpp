#include "setupcommand.h"

#include "events.h"
#include "formbalancing.h"
#include "formconfig.h"
#include "formfftgraph.h"
#include "formlog.h"
#include "formtimegraph.h"
#include "spectrumthread.h"
#include "zelto.h"

int TWorkspaceSetup::SetupPage() const { return Window.SetupPage; }

void TWorkspaceSetup::SetSetupPage(int page) { Window.SetupPage = page; }

void TWorkspaceSetup::NewSession() { Window.NewSession(false); }

void TWorkspaceSetup::RefreshResults() { Window.RefreshResults(); }

TJobSaveReport TWorkspaceSetup::JobSaveReport() { return Window.JobSaveReport(); }

void TWorkspaceSetup::WriteLogNote(const std::u16string& text) {
  if (Window.Log) Window.Log->WriteNote(text);
}

void TWorkspaceSetup::RefreshViews() {
  if (fFFTGraph && fFFTGraph->WindowVisible()) {
    fFFTGraph->UpdateButtonStates();
    fFFTGraph->RefreshInfoPanel();
    fFFTGraph->SyncScrollBars();
  }
  if (fTimeGraph && fTimeGraph->WindowVisible()) {
    fTimeGraph->RefreshReadout();
    fTimeGraph->SyncScrollBar();
  }
}

// Opened from the control-mass button, the dialog starts on its control
// mass page.
void TfBalancing::bSetupClick(gui::TComponent* sender) {
  if (!TheCore) return;
  const bool aborted = TheCore->SpectrumBusy && SpectrumThread;
  if (aborted) {
    SpectrumThread->AbortCalculation();
    UpdateOperationStatus();
    ShowNoError();
  }
  TWorkspaceSetup services(*this);
  ShowSetupDialog(this, &services, sender == bCtrlMassValue);
  RefreshResults();
  if (fTimeGraph && fTimeGraph->WindowVisible()) {
    fTimeGraph->RefreshGraph();
    fTimeGraph->MirrorStatus();
  }
  // The settings may have changed the unit and range: the axis starts anew.
  if (fFFTGraph && fFFTGraph->WindowVisible()) {
    fFFTGraph->PlotSpectrum(true);
    fFFTGraph->MirrorStatus();
  }
  // The computation dropped above is started again, with the new settings.
  if (aborted && SpectrumThread && TheCore->SpectrumEvent) TheCore->SpectrumEvent->SetEvent();
  SaveSession();
}
