// The workspace's side of the signal views: opening the oscilloscope and
// spectrum windows, the free-running capture they ask for, what the views
// need of the workspace (TViewWorkspace), and how the start and end of a
// capture switch the views' buttons.

#include "application.h"
#include "capturethreads.h"
#include "dialogs.h"
#include "events.h"
#include "formbalancing.h"
#include "formlog.h"
#include "formfftgraph.h"
#include "formmessage.h"
#include "formtimegraph.h"
#include "spectrumthread.h"
#include "viewwindows.h"
#include "workflow.h"
#include "workspaceimages.h"
#include "zelto.h"

// The views show both channels in a unit of their sensors, whatever the
// number of planes. A measured run whose sensors are not known here (an
// older job opened on another PC) still has its millivolts, so a view that
// shows them opens on it.
bool TfBalancing::ViewSensorsMissing(bool showsMillivolts) {
  if (SensorsAssigned(*TheCore)) return false;
  if (showsMillivolts && ShownRunHoldsSamples(*TheCore)) return false;
  AskMessage(mkError, LangText({u"Forms", u"SensorUnselected"}).Text);
  return true;
}

// --- opening the windows ---------------------------------------------------------

void TfBalancing::bSpectrumClick(gui::TComponent*) {
  if (!TheCore) return;
  if (ViewSensorsMissing(TheCore->AmplDisplayMode == 0)) return;
  const bool wasShown = fFFTGraph && fFFTGraph->WindowVisible();
  ShowFFTGraph(this, *this);
  // The spectrum of the data the window now shows.
  if (!wasShown && TheCore->SpectrumEvent) TheCore->SpectrumEvent->SetEvent();
}

void TfBalancing::bOscilloscopeClick(gui::TComponent*) {
  if (!TheCore) return;
  // The oscilloscope shows a channel without a known sensor in mV.
  if (ViewSensorsMissing(true)) return;
  ShowTimeGraph(this, *this);
}

// --- TViewWorkspace ------------------------------------------------------------------

gui::TForm* TfBalancing::WorkspaceForm() { return this; }

void TfBalancing::SetupCommand() {
  if (bSetup->Enabled()) bSetupClick(bSetup);
}

void TfBalancing::SpectrumCommand() { bSpectrumClick(bSpectrum); }

void TfBalancing::OscilloscopeCommand() { bOscilloscopeClick(bOscilloscope); }

void TfBalancing::AmplitudeUnitCommand(gui::TControl* below) { bAmplUnitClick(below); }

bool TfBalancing::ExecutePrintDialog(gui::TForm* owner) { return pdReport && pdReport->Execute(owner); }

std::u16string TfBalancing::CurrentOperationCaption() { return leCurrentOperation->CaptionW(); }

TViewStatusLine TfBalancing::StatusLine() {
  TViewStatusLine line;
  line.StatusText = leStatus->CaptionW();
  line.StatusLamp = iStatusLed->Picture();
  line.ErrorText = leError->CaptionW();
  line.ErrorColor = leError->Font().Color();
  line.ErrorLamp = iErrorLed->Picture();
  return line;
}

void TfBalancing::ShowErrorText(const std::u16string& text, gui::TColor colour) {
  leError->SetCaptionW(text);
  leError->Font().SetColor(colour);
  MirrorViews(false);
}

void TfBalancing::ShowErrorLamp(TViewLamp lamp) {
  SetLamp(iErrorLed, lamp == vlYellow ? lpYellow : lpOff);
  MirrorViews(false);
}

void TfBalancing::MirrorViews(bool visibleOnly) {
  if (fTimeGraph && (!visibleOnly || fTimeGraph->WindowVisible())) fTimeGraph->MirrorStatus();
  if (fFFTGraph && (!visibleOnly || fFFTGraph->WindowVisible())) fFFTGraph->MirrorStatus();
}

// --- the free-running capture ----------------------------------------------------

void TfBalancing::StartStopAsync() {
  if (!TheCore) return;
  if (TheCore->Measuring) {
    RequestCaptureStop();
    return;
  }
  if (TheCore->DeviceReady && TheCore->DriverApi.ErrorLED) TheCore->DriverApi.ErrorLED(false);
  for (TBitmapButton* b : {bStartStop, bNext, bPrev, bSetup, bSession, bReport, bCloseC}) b->SetEnabled(false);
  ShowNoError();
  SetViewsRunning(true, true);
  if (!StartFreeRunningCapture(*TheCore)) AsyncMeasurementDone();
}

// --- the views' buttons ------------------------------------------------------------

void TfBalancing::SetViewStartStop(TBitmapButton* button, bool running) {
  gui::TBitmap picture;
  if (ilStartStop->GetBitmap(running ? GlyphStop : GlyphStart, picture)) button->SetBitmap(&picture);
  button->SetCaptionW(running ? Texts.Stop : Texts.Start);
}

// A free-running capture runs from the views' Start/Stop, so their own
// button stays enabled to stop it; a balancing capture disables it.
void TfBalancing::SetViewsRunning(bool running, bool freeRunning) {
  const bool enabled = !running;
  if (fFFTGraph) fFFTGraph->bSpectrumType->SetEnabled(enabled);
  for (TfSignalView* view : {static_cast<TfSignalView*>(fFFTGraph), static_cast<TfSignalView*>(fTimeGraph)}) {
    if (!view) continue;
    for (TBitmapButton* b : {view->bSetup, view->bPrint}) b->SetEnabled(enabled);
    if (freeRunning) {
      view->bBalancing->SetEnabled(enabled);
      view->bCloseC->SetEnabled(enabled);
      SetViewStartStop(view->bStartStop, running);
    } else {
      view->bStartStop->SetEnabled(enabled);
      view->bCloseC->SetEnabled(true);
    }
  }
}

void TfBalancing::RefreshViewsAtCaptureStart() {
  if (fFFTGraph && fFFTGraph->WindowVisible()) {
    fFFTGraph->RefreshInfoPanel();
    fFFTGraph->UpdateButtonStates();
  }
  if (fTimeGraph && fTimeGraph->WindowVisible()) fTimeGraph->RefreshReadout();
}

void TfBalancing::RefreshViewsAfterFreeRunning() {
  if (fTimeGraph && fTimeGraph->WindowVisible()) {
    fTimeGraph->RefreshGraph();
    fTimeGraph->RefreshReadout();
  }
  MirrorViews(false);
}

// The step changed, or the job was replaced: the views show the new run.
// The samples are converted whether or not the spectrum window is shown, so
// a window opened later computes the spectrum of this run and not of the one
// before. The spectrum window is drawn before the thread is woken: the
// spectrum it drew belongs to another run or job, and only while the thread
// is idle does the window see that (a computation under way keeps the
// picture until its hand-over); so it shows nothing, on the new axis, until
// the new spectrum arrives.
void TfBalancing::RefreshViewsAfterStep() {
  if (fTimeGraph && fTimeGraph->WindowVisible()) {
    fTimeGraph->RefreshGraph();
    fTimeGraph->RefreshReadout();
  }
  if (SpectrumThread && TheCore->SpectrumBusy) SpectrumThread->AbortCalculation();
  TheCore->ConvertSamples();
  if (fFFTGraph && fFFTGraph->WindowVisible()) {
    fFFTGraph->PlotSpectrum(false);
    if (TheCore->SpectrumEvent) TheCore->SpectrumEvent->SetEvent();
    fFFTGraph->UpdateButtonStates();
  }
}

void TfBalancing::RefreshViewsAfterModeChange() {
  if (fTimeGraph && fTimeGraph->WindowVisible()) {
    fTimeGraph->RefreshGraph();
    fTimeGraph->RefreshReadout();
  }
  if (fFFTGraph && fFFTGraph->WindowVisible()) {
    // The spectrum shown so far belongs to the other mode's buffers; drawn
    // before the thread is woken, as after a step.
    fFFTGraph->PlotSpectrum(false);
    if (TheCore->SpectrumEvent) TheCore->SpectrumEvent->SetEvent();
    fFFTGraph->UpdateButtonStates();
    fFFTGraph->RefreshInfoPanel();
  }
}

// Before anything of the workspace is freed: the views call back into it.
// A capture still running reaches the views through its hand-overs, so it
// ends first (its end hand-over runs here). One that does not end within
// the limit is left to end on its own: the views and the workspace
// unregister from WindowServices as they go, so its later hand-overs reach
// none of them.
void TfBalancing::CloseViews(bool serveWindow) {
  ::StopCaptureAndWait(serveWindow ? CaptureStopWait() : TCaptureStopWait{});
  DestroyViews();
}

// The windows repaint and show that the capture is stopping while the
// window's thread waits for it; a capture left running is logged.
TCaptureStopWait TfBalancing::CaptureStopWait() {
  TCaptureStopWait wait;
  wait.ServeWindow = [] {
    if (gui::Application) gui::Application->ProcessMessagesExceptInput();
  };
  wait.ShowStopping = [this] {
    leStatus->SetCaptionW(Texts.StateStopping);
    MirrorViews(true);
  };
  wait.ReportLeft = [this] { WriteLog(lekCaptureLeft); };
  return wait;
}

void TfBalancing::StopCaptureAndWait() { ::StopCaptureAndWait(CaptureStopWait()); }

void TfBalancing::WriteLogNote(const std::u16string& text) {
  if (Log) Log->WriteNote(text);
}
