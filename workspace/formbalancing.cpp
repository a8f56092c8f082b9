#include "formbalancing.h"

#include <algorithm>

#include "application.h"
#include "capturethreads.h"
#include "forminfo.h"
#include "formfftgraph.h"
#include "formlog.h"
#include "formtimegraph.h"
#include "formmessage.h"
#include "gwbmethod.h"
#include "polarplot.h"
#include "spectrumthread.h"
#include "valuepanels.h"
#include "wallclock.h"
#include "workflow.h"
#include "workspaceimages.h"
#include "zelto.h"

TfBalancing* fBalancing = nullptr;

const std::array<TTextKey, 31> TfBalancing::CaptionKeys = {{
    {u"Forms", u"Balancing"},
    {u"Forms", u"Operation"},
    {u"Forms", u"GWBMassLocation"},
    {u"Forms", u"Close"},
    {u"Forms", u"About"},
    {u"Forms", u"Unit"},
    {u"Forms", u"ZoomOut"},
    {u"Forms", u"ZoomIn"},
    {u"Forms", u"ZoomPrev"},
    {u"Forms", u"ZoomAll"},
    {u"Forms", u"TotalMass"},
    {u"Forms", u"Help"},
    {u"Forms", u"Setup"},
    {u"Forms", u"Report"},
    {u"Forms", u"Spectrum"},
    {u"Forms", u"Oscilloscope"},
    {u"Forms", u"Session"},
    {u"Forms", u"Previous"},
    {u"Forms", u"Next"},
    {u"Forms", u"NextHint"},
    {u"Forms", u"Direction"},
    {u"Forms", u"Periods"},
    {u"Forms", u"ControlMass"},
    {u"Forms", u"CorrectionMass"},
    {u"Forms", u"SensorUnselected"},
    {u"Forms", u"ReplyMeasurement"},
    {u"Forms", u"ExitMessage"},
    {u"Forms", u"CaptureWindowError"},
    {u"Forms", u"ExitSessionNotSaved"},
    {u"Forms", u"SessionNotSavedMark"},
    {u"Forms", u"ExitWithoutSaving"},
}};

namespace {

std::u16string Text(std::u16string_view key) { return LangText({u"Forms", key}).Text; }

void SetCell(TLabelEx* label, const TValueCell& cell) {
  if (!label) return;
  label->SetCaptionW(cell.Text);
  label->Font().SetColor(cell.Color);
}

}  // namespace

// --- construction ------------------------------------------------------------

TfBalancing::TfBalancing(gui::TComponent* owner) : TWindowFrame(owner, FrameBalancing) {
  SetName("fBalancing");
  FormCreate();
  fBalancing = this;
  WindowServices().Balancing = this;
}

TfBalancing::~TfBalancing() {
  // The views call back into the workspace while they go. The window is
  // going: nothing of it is served while a capture is awaited.
  CloseViews(false);
  if (WindowServices().Balancing == this) WindowServices().Balancing = nullptr;
  if (fBalancing == this) fBalancing = nullptr;
}

void TfBalancing::FormCreate() {
  LayoutFrame(WorkPanelWidth, WorkPanelHeight);
  BuildWorkspaceControls(*this, this, pWindow);
  PlaceCaptionButtons(bCloseC, bMaximize, bMinimize);
  bInfoC->SetBounds(bMinimize->Left() - bInfoC->Width() - 2, 2, bInfoC->Width(), bInfoC->Height());
  bInfoC->SetAnchors(gui::akTop | gui::akRight);
  // The window cannot be made smaller than designed.
  SetConstraints({Width(), Height(), 0, 0});
  pbPlanes->SetControlStyle(pbPlanes->ControlStyle() | gui::csOpaque | gui::csFramed);
  bZoomPrev->SetEnabled(false);
  BindEvents();
  FormResize();
}

void TfBalancing::BindEvents() {
  bStartStop->OnClick = [this](gui::TComponent* s) { bStartStopClick(s); };
  bNext->OnClick = [this](gui::TComponent* s) { bNextClick(s); };
  bPrev->OnClick = [this](gui::TComponent* s) { bPrevClick(s); };
  bCloseC->OnClick = [this](gui::TComponent* s) { bCloseCClick(s); };
  bMinimize->OnClick = [](gui::TComponent*) {
    if (gui::Application) gui::Application->Minimize();
  };
  bMaximize->OnClick = [this](gui::TComponent*) {
    const bool normal = WindowState() == gui::wsNormal;
    SetWindowState(normal ? gui::wsMaximized : gui::wsNormal);
    gui::TBitmap glyph;
    if (ilCaption->GetBitmap(normal ? 0 : 1, glyph)) bMaximize->SetBitmap(&glyph);
  };
  bInfoC->OnClick = [this](gui::TComponent*) {
    TfInfo about(this);
    about.ShowModal();
  };
  pbPlanes->OnPaint = [this](gui::TComponent* s) { pbPlanesPaint(s); };
  pbPlanes->OnClick = [this](gui::TComponent*) { RefreshResults(); };
  bZoomIn->OnClick = [this](gui::TComponent* s) { bZoomInClick(s); };
  bZoomOut->OnClick = [this](gui::TComponent* s) { bZoomOutClick(s); };
  bZoomAll->OnClick = [this](gui::TComponent* s) { bZoomAllClick(s); };
  bZoomPrev->OnClick = [this](gui::TComponent* s) { bZoomPrevClick(s); };
  bSpectrum->OnClick = [this](gui::TComponent* s) { bSpectrumClick(s); };
  bOscilloscope->OnClick = [this](gui::TComponent* s) { bOscilloscopeClick(s); };
  BindCommands();
}

void TfBalancing::Resize() {
  TWindowFrame::Resize();
  if (pMeas) FormResize();
}

void TfBalancing::FormResize() { LayoutWorkspace(*this, pWindow); }

// --- texts -------------------------------------------------------------------

void TfBalancing::DoShow() {
  TWindowFrame::DoShow();
  pWindow->SetColor(WorkPanelColor);
  LoadWorkspaceTexts(Texts, [](std::u16string_view section, std::u16string_view key) {
    return LangText({section, key}).Text;
  });
  ShowTexts();
  ShowToolTips();
  FormResize();
  RefreshResults();
}

void TfBalancing::ShowSaveState() {
  const std::u16string device = TheCore ? TextOf(TheCore->DeviceDescr) : std::u16string();
  std::u16string caption = Text(u"Balancing") + u" (" + device + u")";
  if (TheCore && TheCore->JobUnsaved) caption += u" - " + Text(u"SessionNotSavedMark");
  leCaption->SetCaptionW(caption);
  if (TheCore && (TheCore->JobUnsaved || ErrorLineFollowsJob)) ShowNoError();
}

void TfBalancing::ShowTexts() {
  leOperation->SetCaptionW(Text(u"Operation"));
  const std::u16string gwb = Text(u"GWBMassLocation");
  for (TValuePanelControls* p : {&Panel1D, &Panel1R, &Panel1T}) {
    p->GwbLabel->SetCaptionW(gwb);
    static_cast<TLabelEx*>(p->Units[3])->SetCaptionW(u"A");
    static_cast<TLabelEx*>(p->Units[4])->SetCaptionW(u"B");
    static_cast<TLabelEx*>(p->Units[5])->SetCaptionW(u"C");
  }
  bNext->SetCaptionW(Text(u"Next"));
  bStartStop->SetCaptionW(Texts.Start);
  SetStartStopGlyph(GlyphStart);
  peDirLabel->SetCaptionW(Text(u"Direction"));
  pePeriodsLabel->SetCaptionW(Text(u"Periods"));
  peCtrlMassLabel->SetCaptionW(Text(u"ControlMass"));
  peCorrectionMassLabel->SetCaptionW(Text(u"CorrectionMass"));
  leStatus->SetCaptionW(Texts.StateReady);
  leSamplingProgress->SetCaption("");
  leError->SetCaptionW(Texts.NoError);
  const auto ready = [this](TViewStatusControls& view) {
    view.leStatus->SetCaptionW(Texts.StateReady);
    view.leError->SetCaptionW(Texts.NoError);
  };
  if (fTimeGraph) ready(*fTimeGraph);
  if (fFFTGraph) ready(*fFFTGraph);
  ErrorLineFollowsJob = true;
  ShowSaveState();
}

void TfBalancing::ShowToolTips() {
  const auto tip = [this](gui::TControl* control, std::u16string_view key, std::u16string_view suffix) {
    TLanguageService::AddToolTip(this, control, Text(key) + std::u16string(suffix));
  };
  tip(bCloseC, u"Close", u"");
  tip(bInfoC, u"About", u"");
  tip(bFreqUnit, u"Unit", u"");
  for (gui::TControl* unit : {bAmplUnit1D, bAmplUnit2DA, bAmplUnit2DB}) tip(unit, u"Unit", u" [Ctrl + U]");
  tip(bZoomOut, u"ZoomOut", u" [Ctrl + O]");
  tip(bZoomIn, u"ZoomIn", u" [Ctrl + I]");
  tip(bZoomPrev, u"ZoomPrev", u" [Ctrl + P]");
  tip(bZoomAll, u"ZoomAll", u" [Ctrl + A]");
  tip(bTotalMass, u"TotalMass", u" [Ctrl + E]");
  tip(bHelp, u"Help", u"");
  tip(bSetup, u"Setup", u" [S]");
  tip(bReport, u"Report", u"");
  tip(bSpectrum, u"Spectrum", u" [F]");
  tip(bOscilloscope, u"Oscilloscope", u" [A]");
  tip(bSession, u"Session", u" [Ctrl + S]");
  tip(bPrev, u"Previous", u" [P, Page Up]");
  tip(bNext, u"NextHint", u" [N, Page Down]");
  tip(bStartStop, u"Balancing", u" [Space]");
}

// --- result panel --------------------------------------------------------------

// The core's ResultsLock serialises the refreshes and keeps a capture
// thread from storing a reading halfway through one. The diagrams are
// painted here, inside the lock and inside a capture's hand-over, so they
// show the reading the panel shows (the averaging count included).
void TfBalancing::RefreshResults() {
  // After shutdown nothing may read the core.
  if (!TheCore || !pMeas) return;
  rtl::TCriticalSectionGuard guard(TheCore->ResultsLock);
  // The current run is judged against the ranges it was captured with.
  const TRecordConditions conditions = TheCore->RecordConditions(TheCore->BalancingStep);
  ComputeMeasurementFlags(*TheCore, conditions.RangeA, conditions.RangeB, *this);
  const TRunTableView table = ComputeRunTable(*TheCore, *this, Texts);
  ApplyRunTable(table);
  ApplyValuePanel(table);
  pbPlanesPaint(pbPlanes);
  UpdateOperationStatus();
  UpdateSetupAndTotalMass();
  UpdateParamCaptions();
  UpdatePrevNextButtons();
}

void TfBalancing::ApplyRunTable(const TRunTableView& view) {
  for (size_t i = 0; i < RunTableRows.size(); ++i) {
    const TRunTableRow& row = RunTableRows[i];
    const TRunRowView& v = view.Rows[i];
    row.pHighlight->SetColor(v.Background);
    row.iMarker->SetVisible(v.Marker);
    row.leOper->SetCaptionW(v.Operation);
    row.leFreq->SetCaptionW(v.Speed);
    row.leFreq->Font().SetColor(v.SpeedColor);
    row.leFreq->SetVisible(v.SpeedVisible);
    row.iError->SetVisible(v.ErrorImage);
  }
  leSpeed->SetCaptionW(view.SpeedCaption);
  bFreqUnit->SetCaptionW(view.SpeedUnit);
  // The correction step shows no speed: its unit button goes with it.
  bFreqUnit->SetVisible(!view.SpeedUnit.empty());
}

void TfBalancing::ApplyValuePanel(const TRunTableView& table) {
  const TValuePanel shown = ChooseValuePanel(TheCore->Type, TheCore->BalancingStep);
  const std::array<TValuePanelControls*, 6> panels = {&Panel1D, &Panel1R, &Panel1T, &Panel2D, &Panel2R, &Panel2T};
  for (size_t k = 0; k < panels.size(); ++k) panels[k]->Panel->SetVisible(k == shown);
  // Every value row follows the run table row beside it.
  const auto follow = [&table](std::span<TValueRow> rows) {
    for (size_t i = 0; i < rows.size(); ++i) rows[i].pHighlight->SetColor(table.Rows[i].Background);
  };
  follow(Panel1RRows);
  follow(Panel1TRows);
  follow(Panel2RRows);
  follow(Panel2TRows);
  const TRunVectors vectors = ComputeGwbVectors();
  switch (shown) {
    case vpOnePlaneCorrection:
      return ApplyPanelView(ComputeCorrectionPanel(*TheCore, *this, table, vectors, Texts), Panel1R, Panel1RRows);
    case vpTwoPlanesCorrection:
      return ApplyPanelView(ComputeCorrectionPanel(*TheCore, *this, table, vectors, Texts), Panel2R, Panel2RRows);
    case vpOnePlaneTrim:
      return ApplyPanelView(ComputeTrimPanel(*TheCore, *this, table, vectors, Texts), Panel1T, Panel1TRows);
    case vpTwoPlanesTrim:
      return ApplyPanelView(ComputeTrimPanel(*TheCore, *this, table, vectors, Texts), Panel2T, Panel2TRows);
    default:
      break;
  }
  const TMeasuredPanelView view = ComputeMeasuredPanel(*TheCore, *this, table, vectors, Texts);
  if (shown == vpTwoPlanesMeasured)
    ApplyMeasuredPanel(view, Panel2D, Panel2DRows);
  else
    ApplyMeasuredPanel(view, Panel1D, Panel1DRows);
}

void TfBalancing::ApplyMeasuredPanel(const TMeasuredPanelView& view, const TValuePanelControls& panel,
                                     std::span<TValueRow> rows) {
  const bool twoPlanes = &panel == &Panel2D;
  const std::array<std::u16string, 3> headers = {view.AmplitudeHeader, view.PhaseHeader, view.UnbalanceHeader};
  for (size_t k = 0; k < 3; ++k) {
    static_cast<TLabelEx*>(panel.Headers[k])->SetCaptionW(headers[k]);
    if (twoPlanes) static_cast<TLabelEx*>(panel.Headers[k + 3])->SetCaptionW(headers[k]);
  }
  const auto units = [&](size_t base) {
    static_cast<TBitmapButton*>(panel.Units[base])->SetCaptionW(view.AmplitudeUnit);
    static_cast<TLabelEx*>(panel.Units[base + 2])->SetCaptionW(view.UnbalanceUnit);
  };
  units(0);
  if (twoPlanes) units(3);
  for (size_t i = 0; i < rows.size(); ++i) {
    const TMeasuredRowView& v = view.Rows[i];
    rows[i].pHighlight->SetColor(v.Background);
    const std::array<const TValueCell*, 6> cells =
        twoPlanes ? std::array<const TValueCell*, 6>{&v.AmplitudeA, &v.PhaseA, &v.UnbalanceA,
                                                     &v.AmplitudeB, &v.PhaseB, &v.UnbalanceB}
                  : std::array<const TValueCell*, 6>{&v.AmplitudeA,   &v.PhaseA,       &v.UnbalanceA,
                                                     &v.Placement[0], &v.Placement[1], &v.Placement[2]};
    for (size_t k = 0; k < cells.size(); ++k) SetCell(rows[i].Slots[k], *cells[k]);
  }
  if (twoPlanes) return;
  panel.GwbLabel->SetVisible(view.PlacementHeaders);
  panel.Units[3]->SetVisible(view.PlacementHeaders);
  panel.Units[4]->SetVisible(view.PlacementHeaders);
  panel.Units[5]->SetVisible(view.PlacementHeaderC);
}

TRunVectors TfBalancing::ComputeGwbVectors() const {
  if (!TheCore) return {};
  return DeriveGwbRecords(TheCore->GWB.Mode, TheCore->GWB.Shift, TheCore->Results);
}

TBalanceRunVectors TfBalancing::BalanceRunVectors(int run) const {
  if (run < 0 || run >= RunCount) return {};
  return ComputeGwbVectors()[static_cast<size_t>(run)];
}

// The plane diagrams, drawn off-screen and copied in one step.
void TfBalancing::pbPlanesPaint(gui::TComponent*) {
  if (!TheCore) return;
  rtl::TCriticalSectionGuard guard(TheCore->ResultsLock);
  PaintPlaneDiagrams(pbPlanes->Canvas(), *TheCore, DiagramView(), pbPlanes->Width(), pbPlanes->Height());
}

TDiagramView TfBalancing::DiagramView() const {
  return {PlaneZoom, ShowTotalMass, TotalCorrection, PanelSplit, ComputeGwbVectors()};
}

void TfBalancing::ZoomCommand(TZoomCommand command) {
  bZoomPrev->SetEnabled(ApplyZoomCommand(command, PlaneZoom, PlaneZoomHistory));
  pbPlanes->Invalidate();
}

void TfBalancing::bZoomInClick(gui::TComponent*) { ZoomCommand(zcIn); }
void TfBalancing::bZoomOutClick(gui::TComponent*) { ZoomCommand(zcOut); }
void TfBalancing::bZoomAllClick(gui::TComponent*) { ZoomCommand(zcAll); }
void TfBalancing::bZoomPrevClick(gui::TComponent*) { ZoomCommand(zcPrevious); }

// --- status line and buttons ---------------------------------------------------

void TfBalancing::SetLamp(gui::TImage* image, TLamp lamp) {
  const gui::TImage* source = lamp == lpGreen    ? iGLedOn
                              : lamp == lpRed    ? iRLedOn
                              : lamp == lpYellow ? iYLedOn
                                                 : iLedOff;
  image->SetPicture(source->Picture());
}

void TfBalancing::ApplyErrorLine(const TErrorLine& line) {
  leError->SetCaptionW(line.Text);
  leError->Font().SetColor(line.Color);
  SetLamp(iErrorLed, line.Lamp);
  ErrorLineFollowsJob = line.Lamp == lpOff || line.SaveFailure;
}

void TfBalancing::UpdateOperationStatus() {
  if (!TheCore || TheCore->AsyncMode) return;
  leCurrentOperation->SetCaptionW(OperationCaption(*TheCore, ShowTotalMass, Texts, Text(u"TotalMass")));
  if (!TheCore->Measuring) return;
  ApplyErrorLine(MeasurementErrorLine(*TheCore, *this, Texts));
  MirrorViews(false);
  if (TheCore->DeviceReady && TheCore->DriverApi.ErrorLED) TheCore->DriverApi.ErrorLED(AnyMeasurementError != 0);
}

void TfBalancing::ShowNoError() {
  if (TheCore) ApplyErrorLine(NoErrorLine(*TheCore, Texts));
  MirrorViews(false);
}

void TfBalancing::ShowAcquisitionState(uint8_t state) {
  const TAcquisitionView view = AcquisitionViewFor(state, Texts);
  leStatus->SetCaptionW(view.Text);
  if (view.Lamp) SetLamp(iStatusLed, *view.Lamp);
  if (view.ClearProgress) leSamplingProgress->SetCaption("");
  MirrorViews(true);
}

void TfBalancing::ShowSamplingProgress(const std::string& caption) { leSamplingProgress->SetCaption(caption); }

void TfBalancing::UpdateParamCaptions() {
  if (!TheCore) return;
  // The periods are the current run's T, which a capture writes.
  const TParamCaptions captions = [this] {
    rtl::TCriticalSectionGuard guard(TheCore->ResultsLock);
    return ComputeParamCaptions(*TheCore, Texts);
  }();
  bDirValue->SetCaptionW(captions.Direction);
  pePeriodsValue->SetCaptionW(captions.Periods);
  pePeriodsValue->Font().SetStyle(captions.PeriodsAlert ? gui::fsBold : 0);
  pePeriodsValue->Font().SetColor(captions.PeriodsAlert ? ErrorTextColor : gui::clBlack);
  bCtrlMassValue->SetEnabled(captions.MassButtonsEnabled);
  bCtrlMassValue->SetCaptionW(captions.ControlMass);
  bCorrectionMassValue->SetEnabled(captions.MassButtonsEnabled);
  bCorrectionMassValue->SetCaptionW(captions.CorrectionMass);
  if (fTimeGraph && fTimeGraph->WindowVisible()) fTimeGraph->RefreshReadout();
  if (fFFTGraph && fFFTGraph->WindowVisible()) fFFTGraph->RefreshInfoPanel();
}

void TfBalancing::UpdatePrevNextButtons() {
  if (!TheCore) return;
  bNext->SetEnabled(NextEnabled(*TheCore));
  bPrev->SetEnabled(PrevEnabled(*TheCore));
}

void TfBalancing::UpdateSetupAndTotalMass() {
  if (!TheCore) return;
  bSetup->SetEnabled(SetupEnabled(*TheCore));
  bTotalMass->SetEnabled(TotalMassEnabled(*TheCore));
}

void TfBalancing::SetStartStopGlyph(int glyph) {
  gui::TBitmap picture;
  if (ilStartStop->GetBitmap(glyph, picture)) bStartStop->SetBitmap(&picture);
}

// The commands a running capture bars.
void TfBalancing::EnableCaptureCommands(bool enabled) {
  for (TBitmapButton* b : {bSession, bReport, bSetup, bCloseC}) b->SetEnabled(enabled);
  if (!enabled) {
    bPrev->SetEnabled(false);
    bNext->SetEnabled(false);
    return;
  }
  UpdatePrevNextButtons();
}

// --- workflow ------------------------------------------------------------------

int TfBalancing::AskMessage(uint8_t kind, const std::u16string& text) {
  return ShowMessageBox(this, static_cast<TMessageKind>(kind), text);
}

void TfBalancing::WriteLog(uint8_t kind) {
  if (Log) Log->WriteEntry(static_cast<TLogEntryKind>(kind));
}

TJobSaveReport TfBalancing::JobSaveReport() {
  TJobSaveReport report{[this](const std::u16string& text) { AskMessage(mkError, text); },
                        [this](const std::u16string& text) {
                          if (Log) Log->WriteNote(text);
                        }};
  report.ShowNotice = [this](const std::u16string& text) { AskMessage(mkWarningNote, text); };
  report.ShowSaveState = [this] { ShowSaveState(); };
  return report;
}

bool TfBalancing::SaveSession() { return SaveJob(*TheCore, JobSaveReport()); }

void TfBalancing::UpdateDebug() {
  if (TDebugServices* debug = WindowServices().Debug) debug->Update();
}

void TfBalancing::bStartStopClick(gui::TComponent*) {
  if (!TheCore || !bStartStop->Enabled()) return;
  if (TheCore->SpectrumBusy && SpectrumThread) {
    SpectrumThread->AbortCalculation();
    ShowNoError();
  }
  if (TheCore->Measuring) {
    RequestCaptureStop();
    return;
  }
  if (!SensorsAssigned(*TheCore)) {
    AskMessage(mkError, Text(u"SensorUnselected"));
    return;
  }
  if (StartAsksToReplace(*TheCore) && AskMessage(mkWarning, Text(u"ReplyMeasurement")) != gui::mrYes) return;
  switch (StartMoveFor(*TheCore)) {
    case TStartMove::NextFirst:
      bNextClick(bNext);
      break;
    case TStartMove::HighestThenNext:
      // Next may refuse to go on from there (the last run); the table must
      // show the run captured all the same.
      TheCore->BalancingStep = TheCore->HighestStep;
      FirstTrimRow = FirstTrimRowFor(TheCore->BalancingStep);
      bNextClick(bNext);
      break;
    case TStartMove::Stay:
      break;
  }
  StartCapture();
}

void TfBalancing::StartCapture() {
  SetAsyncMode(false);
  TheCore->HighestStep = std::max(TheCore->HighestStep, TheCore->BalancingStep);
  SetStartStopGlyph(GlyphStop);
  bStartStop->SetCaptionW(Texts.Stop);
  EnableCaptureCommands(false);
  SetViewsRunning(true, false);
  RefreshViewsAtCaptureStart();
  TheCore->Session.Date = UtcToday();
  StartBalancingCapture(*TheCore);
}

void TfBalancing::bNextClick(gui::TComponent*) {
  if (!TheCore || !bNext->Enabled()) return;
  const TNextResult next = AdvanceStep(*TheCore);
  if (!next.Advanced) return;
  UpdatePrevNextButtons();
  if (next.ReachedCorrection) {
    TheCore->EvaluateCapture(0, RunCorrection);
    WriteLog(TheCore->Type == 1 ? lekResult2 : lekResult1);
  }
  FirstTrimRow = FirstTrimRowFor(TheCore->BalancingStep);
  if (TheCore->AsyncMode) SetAsyncMode(false);
  SpeedOutOfTolerance = ZeroSpeed = ShowTotalMass = 0;
  RefreshResults();
  UpdateSetupAndTotalMass();
  RefreshViewsAfterStep();
  SaveSession();
  UpdateDebug();
}

void TfBalancing::bPrevClick(gui::TComponent*) {
  if (!TheCore || !bPrev->Enabled()) return;
  RetreatStep(*TheCore, FirstTrimRow);
  UpdatePrevNextButtons();
  SetAsyncMode(false);
  SpeedOutOfTolerance = ZeroSpeed = ShowTotalMass = 0;
  UpdateSetupAndTotalMass();
  RefreshResults();
  RefreshViewsAfterStep();
  UpdateDebug();
}

void TfBalancing::SetAsyncMode(bool on) {
  if (!TheCore || TheCore->Measuring) return;
  {
    // The spectrum thread reads the mode with the signals it chooses.
    const auto lock = TheCore->LockSignalsForWriting();
    TheCore->AsyncMode = on;
  }
  TheCore->ConvertSamples();
  RefreshViewsAfterModeChange();
}

// --- hand-overs of the capture threads ------------------------------------------

void TfBalancing::SyncMeasurementDone() {
  if (!TheCore) return;
  TheCore->Measuring = 0;
  SaveSession();
  // Only a capture that counted a reading has a result to log; one that
  // ended without left the run as it was.
  const std::optional<uint8_t> kind = LogKindAtEnd(TheCore->BalancingStep, TheCore->Type);
  if (kind && TheCore->CaptureReadings > 0) WriteLog(*kind);
  SetStartStopGlyph(GlyphStart);
  bStartStop->SetCaptionW(Texts.Start);
  EnableCaptureCommands(true);
  SetLamp(iStatusLed, lpOff);
  leStatus->SetCaptionW(Texts.StateReady);
  RefreshResults();
  // A capture that ended on a driver error says why, on the error line and
  // in the log; otherwise the error line keeps its last text.
  if (TheCore->CaptureError) WriteLog(lekCaptureError);
  if (TheCore->CaptureError) ApplyErrorLine(DriverErrorLine(*TheCore, Text(u"CaptureWindowError")));
  SetViewsRunning(false, false);
  MirrorViews(false);
  if (TheCore->DeviceReady && TheCore->DriverApi.ErrorLED) TheCore->DriverApi.ErrorLED(false);
}

// The result panel's refresh shows the error line of a missing speed.
void TfBalancing::ShowNoSpeedSignal() {
  if (!TheCore) return;
  RefreshResults();
}

void TfBalancing::LogSpeedSignal(bool lost) { WriteLog(lost ? lekNoSpeedSignal : lekSpeedSignalBack); }

void TfBalancing::AsyncMeasurementDone() {
  if (!TheCore) return;
  TheCore->Measuring = 0;
  bStartStop->SetEnabled(true);
  EnableCaptureCommands(true);
  RefreshResults();
  if (TheCore->CaptureError) ApplyErrorLine(DriverErrorLine(*TheCore, Text(u"CaptureWindowError")));
  leStatus->SetCaptionW(Texts.StateReady);
  SetViewsRunning(false, true);
  RefreshViewsAfterFreeRunning();
}

// --- start, close, keys ----------------------------------------------------------

void TfBalancing::ShowAfterStart(int32_t step) {
  FirstTrimRow = FirstTrimRowFor(step);
  Show();
  RefreshResults();
}

// A running capture is stopped before the exit question: a balancing one
// through Start/Stop, a free-running one of the visible spectrum window
// through that window's own Start/Stop.
void TfBalancing::bCloseCClick(gui::TComponent*) {
  if (TheCore && TheCore->Measuring && !TheCore->AsyncMode) bStartStopClick(bStartStop);
  if (TheCore && TheCore->Measuring && TheCore->AsyncMode && fFFTGraph && fFFTGraph->WindowVisible())
    fFFTGraph->bStartStopClick(fFFTGraph->bStartStop);
  Close();
}

// A job that is in no file would be lost by the close: the question says
// so and offers Save As. Where that did not save it (the dialog cancelled,
// or no folder takes it), the user may still close, losing the job, after
// a last question: a program that can save nowhere must not be impossible
// to leave.
bool TfBalancing::ConfirmClose() {
  if (!TheCore || !TheCore->JobUnsaved) return AskMessage(mkQuestion, Text(u"ExitMessage")) == gui::mrYes;
  if (AskMessage(mkWarning, Text(u"ExitSessionNotSaved")) != gui::mrYes) return false;
  SaveSessionAs();
  if (!TheCore->JobUnsaved) return true;
  return AskMessage(mkWarning, Text(u"ExitWithoutSaving")) == gui::mrYes;
}

void TfBalancing::DoClose(gui::TCloseAction& action) {
  if (!ConfirmClose()) {
    action = gui::caNone;
    return;
  }
  CloseViews(true);
  TWindowFrame::DoClose(action);
  // Closing the start-up window runs the shutdown and ends the program.
  if (gui::Application && gui::Application->MainForm() && gui::Application->MainForm() != this)
    gui::Application->MainForm()->Close();
}

void TfBalancing::KeyDown(gui::TVirtualKey& key, gui::TShiftState shift) {
  FormKeyDown(this, key, shift);
  TWindowFrame::KeyDown(key, shift);
}
