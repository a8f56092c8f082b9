#include "formfftgraph.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <mutex>

#include "application.h"
#include "asyncfilecommand.h"
#include "capturethreads.h"
#include "events.h"
#include "formatting.h"
#include "formtimegraph.h"
#include "spectrumreadout.h"
#include "spectrumthread.h"
#include "viewpopup.h"
#include "viewprint.h"
#include "viewworkspace.h"
#include "zelto.h"

TfFFTGraph* fFFTGraph = nullptr;

const std::array<std::u16string_view, 9> WindowTypeNames = {
    u"Rectangular", u"Blackman", u"Flat Top", u"Gaussian (3.0)", u"Hamming", u"Hanning", u"Harris", u"Triangle", u""};

namespace {

constexpr gui::TColor PlotValueBand = 0xE1FFFF, PlotBand = 0xF3F3F3, PlotText = 0x606060;

}  // namespace

const std::vector<TTextKey> TfFFTGraph::LangKeys = {
    {u"Forms", u"Close"},         {u"Forms", u"Spectrum"},      {u"Forms", u"ZoomOut"},
    {u"Forms", u"ZoomIn"},        {u"Forms", u"ZoomXY"},        {u"Forms", u"ZoomPrev"},
    {u"Forms", u"ZoomAll"},       {u"Forms", u"GotoX"},         {u"Forms", u"GotoY"},
    {u"Forms", u"GotoT"},         {u"Forms", u"GotoTAndZoom"},  {u"Forms", u"LogLin"},
    {u"Forms", u"ChannelsView"},  {u"Forms", u"WindowType"},    {u"Forms", u"SpectrumType"},
    {u"Forms", u"Setup"},         {u"Forms", u"Print"},         {u"Forms", u"AsyncDataFile"},
    {u"Forms", u"Oscilloscope"},  {u"Forms", u"Balancing"},     {u"Forms", u"ProcessingDFT"},
    {u"Forms", u"Start"},         {u"Forms", u"AsyncAnalysis"}, {u"Forms", u"Cursor"},
    {u"Forms", u"Channel"},       {u"Forms", u"FreqInCurPos"},  {u"Forms", u"AmplInCurPos"},
    {u"Forms", u"PhaseInCurPos"}, {u"Forms", u"BandRMS"},       {u"Forms", u"BandRMSValue"},
    {u"Forms", u"DFTProgress"},   {u"Forms", u"CursorX"},       {u"Forms", u"CursorY"},
    {u"Forms", u"CursorT"},       {u"Forms", u"ChannelA"},      {u"Forms", u"ChannelB"},
};

std::u16string TfFFTGraph::Text(TText text) { return LangText(LangKeys[text]).Text; }

TfFFTGraph::TfFFTGraph(gui::TComponent* owner, TViewWorkspace& workspace)
    : TWindowFrame(owner, FrameFFTGraph), Workspace(workspace) {
  SolidA = SolidB = true;
  FormCreate();
  fFFTGraph = this;
  WindowServices().SpectrumView = this;
}

TfFFTGraph::~TfFFTGraph() {
  // The controls outlive the plot while the form's base destroys them.
  pbFFT->OnPaint = nullptr;
  tProgress->OnTimer = nullptr;
  sbScrollX->OnChange = sbScrollY->OnChange = nullptr;
  TSpectrumViewServices* self = this;
  WindowServices().SpectrumView.compare_exchange_strong(self, nullptr);
  TSignalViewServices::Visible = false;
  StopSpectrumThread();
  if (fFFTGraph == this) fFFTGraph = nullptr;
}

void TfFFTGraph::FormCreate() {
  SetName("fFFTGraph");
  LayoutFrame(FFTGraphPanelWidth, FFTGraphPanelHeight);
  bCloseC = CreateCaptionButton(this, "bCloseC", sgClose);
  bMaximize = CreateCaptionButton(this, "bMaximize", sgMaximize);
  bMinimize = CreateCaptionButton(this, "bMinimize", sgMinimize);
  PlaceCaptionButtons(bCloseC, bMaximize, bMinimize);
  BuildFFTGraphControls(*this, this, pWindow);
  Plot = std::make_unique<TDisplayFFT>(pbFFT);
  Plot->MarginTop = Plot->MarginBottom = 18;
  Plot->MarginLeft = Plot->MarginRight = 38;
  Plot->ShowCursorT = 1;
  SetConstraints({Width(), 350, 0, 0});
  SetPosition(gui::poScreenCenter);
  BindEvents();
  BindNavigation();
  LayoutFFTGraph(*this, pWindow, Plot->MarginLeft, Plot->MarginRight);
}

void TfFFTGraph::BindEvents() {
  const auto bind = [this](TBitmapButton* b, void (TfFFTGraph::*handler)(gui::TComponent*)) {
    b->OnClick = [this, handler](gui::TComponent* sender) { (this->*handler)(sender); };
  };
  bCloseC->OnClick = [this](gui::TComponent*) { Close(); };
  bMinimize->OnClick = [](gui::TComponent*) {
    if (gui::Application) gui::Application->Minimize();
  };
  bind(bMaximize, &TfFFTGraph::bMaximizeClick);
  bind(bStartStop, &TfFFTGraph::bStartStopClick);
  bind(bSetup, &TfFFTGraph::bSetupClick);
  bind(bOscilloscope, &TfFFTGraph::bOscilloscopeClick);
  bind(bBalancing, &TfFFTGraph::bBalancingClick);
  bind(bPrint, &TfFFTGraph::bPrintClick);
  bind(bAsyncFile, &TfFFTGraph::bAsyncFileClick);
  bind(bDisplayChannels, &TfFFTGraph::bDisplayChannelsClick);
  bind(bLogLin, &TfFFTGraph::bLogLinClick);
  bind(bSpectrumType, &TfFFTGraph::bSpectrumTypeClick);
  bind(bWindowType, &TfFFTGraph::bWindowTypeClick);
  bind(bRmsType, &TfFFTGraph::bRmsTypeClick);
  for (size_t r = 0; r < 3; ++r) {
    bind(bMeasCur[r], &TfFFTGraph::pMeasCurClick);
    bind(bMeasCh[r], &TfFFTGraph::pMeasChClick);
    bind(bFreq[r], &TfFFTGraph::bFreqClick);
    bind(bValue[r], &TfFFTGraph::bValueClick);
  }
  bind(bRmsValueA, &TfFFTGraph::bValueClick);
  bind(bRmsValueB, &TfFFTGraph::bValueClick);
  tProgress->OnTimer = [this](gui::TComponent* sender) { tProgressTimer(sender); };
  pbFFT->OnPaint = [this](gui::TComponent*) { RepaintPlot(); };
}

void TfFFTGraph::DoShow() {
  TWindowFrame::DoShow();
  TSignalViewServices::Visible = true;
  FormShow();
}

void TfFFTGraph::DoHide() {
  TSignalViewServices::Visible = false;
  TWindowFrame::DoHide();
}

void TfFFTGraph::FormShow() {
  SetColor(FrameActiveColor);
  pWindow->SetColor(WorkPanelColor);
  ShowTexts();
  const bool shown = WindowVisible();
  // The arrays before the first conversion, and only once per show.
  if (shown && DisplayA.empty() && TheCore) {
    const size_t ram = static_cast<size_t>(std::max(TheCore->RamSize, 0));
    DisplayA.assign(ram, 0.0);
    DisplayB.assign(ram, 0.0);
  }
  PlotSpectrum(true);
  SyncScrollBars();
  if (shown) {
    StartSpectrumThread();
    tProgress->SetEnabled(true);
  }
  ApplyCaptureState();
  RefreshInfoPanel();
  MirrorStatus();
  UpdateButtonStates();
}

void TfFFTGraph::ShowTexts() {
  const auto tip = [this](gui::TControl* control, TText text, const char16_t* suffix) {
    TLanguageService::AddToolTip(this, control, Text(text) + suffix);
  };
  tip(bCloseC, ftClose, u"");
  leCaption->SetCaptionW(Text(ftSpectrum));
  tip(bZoomXOut, ftZoomOut, u" [Ctrl + O]");
  tip(bZoomXIn, ftZoomIn, u" [Ctrl + I]");
  tip(bZoomYOut, ftZoomOut, u" [Ctrl + Shift + O]");
  tip(bZoomYIn, ftZoomIn, u" [Ctrl + Shift + I]");
  tip(bZoomXY, ftZoomXY, u" [Ctrl + W]");
  tip(bZoomPrev, ftZoomPrev, u" [Ctrl + P]");
  tip(bZoomAll, ftZoomAll, u" [Ctrl + A]");
  tip(bGotoX, ftGotoX, u" [X]");
  tip(bGotoY, ftGotoY, u" [Y]");
  tip(bGotoT, ftGotoT, u" [T]");
  tip(bGotoTAndZoom, ftGotoTAndZoom, u" [Ctrl + T]");
  tip(bLogLin, ftLogLin, u"");
  tip(bDisplayChannels, ftChannelsView, u"");
  tip(bWindowType, ftWindowType, u"");
  tip(bSpectrumType, ftSpectrumType, u"");
  tip(bSetup, ftSetup, u" [S]");
  tip(bPrint, ftPrint, u"");
  tip(bAsyncFile, ftAsyncDataFile, u"");
  tip(bOscilloscope, ftOscilloscope, u" [A]");
  tip(bBalancing, ftBalancing, u" [B]");
  ProcessingText = Text(ftProcessingDFT);
  bStartStop->SetCaptionW(Text(ftStart));
  if (fTimeGraph) {
    bStartStop->SetCaptionW(fTimeGraph->bStartStop->CaptionW());
    if (fTimeGraph->bStartStop->Enabled()) bStartStop->SetBitmap(&fTimeGraph->bStartStop->Bitmap());
  }
  tip(bStartStop, ftAsyncAnalysis, u" [Space]");
  for (size_t r = 0; r < 3; ++r) {
    tip(bMeasCur[r], ftCursor, u"");
    tip(bMeasCh[r], ftChannel, u"");
    tip(bFreq[r], ftFreqInCurPos, u"");
    tip(bValue[r], ftAmplInCurPos, u"");
    tip(pePhase[r], ftPhaseInCurPos, u"");
  }
  tip(bRmsType, ftBandRMS, u"");
  tip(bRmsValueA, ftBandRMSValue, u"");
  tip(bRmsValueB, ftBandRMSValue, u"");
  tip(pProgressLabel, ftDFTProgress, u"");
  tip(pbProgress, ftDFTProgress, u"");
}

void TfFFTGraph::ApplyCaptureState() {
  const bool running = TheCore && TheCore->Measuring;
  const bool async = TheCore && TheCore->AsyncMode;
  if (running && !async) bStartStop->SetEnabled(false);
  bSetup->SetEnabled(!running);
  bPrint->SetEnabled(!running);
  bCloseC->SetEnabled(!(running && async));
  bBalancing->SetEnabled(!(running && async));
}

void TfFFTGraph::Resize() {
  TWindowFrame::Resize();
  if (!Plot) return;
  LayoutFFTGraph(*this, pWindow, Plot->MarginLeft, Plot->MarginRight);
  RepaintPlot();
  Invalidate();
}

void TfFFTGraph::RepaintPlot() {
  if (!TheCore || !TheCore->PlotUpdating) Plot->Paint();
}

void TfFFTGraph::StartSpectrumThread() {
  if (SpectrumThread || !TheCore) return;
  auto* thread = new TSpectrumThread(*TheCore, true);
  SpectrumThread = thread;
  thread->FreeOnTerminate = false;
  thread->SetPriority(rtl::tpLower);
  thread->Resume();
  if (TheCore->SpectrumEvent) TheCore->SpectrumEvent->SetEvent();
}

// The wait serves the thread's Synchronize, so a hand-over under way ends.
void TfFFTGraph::StopSpectrumThread() {
  TSpectrumThread* thread = SpectrumThread;
  if (!thread) return;
  thread->Terminate();
  if (TheCore && TheCore->SpectrumEvent) TheCore->SpectrumEvent->SetEvent();
  thread->WaitFor();
  delete thread;
  SpectrumThread = nullptr;
}

void TfFFTGraph::DoClose(gui::TCloseAction& action) {
  TWindowFrame::DoClose(action);
  if (!TheCore || action == gui::caNone) return;
  if (!fTimeGraph && TheCore->Measuring && TheCore->AsyncMode) {
    // The free-running capture feeds this window alone: stop it first; the
    // user closes the window again once it has stopped.
    action = gui::caNone;
    bStartStopClick(bStartStop);
    return;
  }
  if (TheCore->AsyncMode && fTimeGraph && !fTimeGraph->WindowVisible()) {
    Workspace.SetAsyncMode(false);
    Workspace.RefreshResults();
  }
  tProgress->SetEnabled(false);
  if (TheCore->SpectrumBusy && SpectrumThread) {
    SpectrumThread->AbortCalculation();
    Workspace.ShowNoError();
  }
  TSignalViewServices::Visible = false;
  StopSpectrumThread();
  Plot->DataA = Plot->DataB = nullptr;
  std::vector<double>().swap(DisplayA);
  std::vector<double>().swap(DisplayB);
  if (fTimeGraph && !fTimeGraph->WindowVisible() && TheCore->Measuring && TheCore->AsyncMode) StopCaptureAndWait();
}

int32_t TfFFTGraph::TransformLength() const {
  if (!TheCore) return 0;
  const int32_t step = TheCore->BalancingStep;
  const CaptureRecord* run = step >= 0 && step < RunCount ? &TheCore->Captures[static_cast<size_t>(step)] : nullptr;
  rtl::TCriticalSectionGuard guard(TheCore->ResultsLock);  // a capture writes Start and End
  return ::TransformLength(TheCore->SpectrumInWindow != 0, TheCore->AsyncMode != 0, run ? run->Start : 0,
                           run ? run->End : 0, TheCore->BuffLength);
}

TBinScale TfFFTGraph::BinScale() const {
  if (!TheCore) return {};
  const int32_t n = std::max(TransformLength(), 0);
  return {n / 2, n, static_cast<double>(TheCore->DriverSamplingFrequency())};
}

int32_t TfFFTGraph::FullScaleSpan(double bin, uint8_t channel) const {
  const double span = TheCore->ConvertAmplitude(TheCore->DriverFullScale(), BinScale().Frequency(bin),
                                                TheCore->AmplDisplayMode, channel);
  return static_cast<int32_t>(std::clamp(std::trunc(span), 0.0, 2e9));
}

void TfFFTGraph::ClampCursors(int32_t bins) {
  const int32_t last = std::max(bins - 1, 0);
  Plot->CursorX = std::clamp(Plot->CursorX, 0, last);
  Plot->CursorY = std::clamp(Plot->CursorY, 0, last);
}

// The run's buffers are sized on this thread only (before a capture
// starts), so whether they exist is known here without a lock.
bool TfFFTGraph::ChannelHasSamples(bool channelA) const {
  if (TheCore->AsyncMode) return true;
  const int32_t step = TheCore->BalancingStep;
  if (step < 0 || step >= RunCount) return false;
  const CaptureRecord& run = TheCore->Captures[static_cast<size_t>(step)];
  return !(channelA ? run.DataA : run.DataB).empty();
}

void TfFFTGraph::FillDisplay(bool channelA, int32_t n) {
  const std::vector<std::complex<double>>& spectrum = channelA ? TheCore->SpectrumA : TheCore->SpectrumB;
  std::vector<double>& display = channelA ? DisplayA : DisplayB;
  const double*& data = channelA ? Plot->DataA : Plot->DataB;
  const bool shown = ChannelsShown == 0 || ChannelsShown == (channelA ? 1 : 2);
  const int32_t bins = n / 2;
  if (spectrum.empty() || !ChannelHasSamples(channelA) || !shown || display.empty()) {
    data = nullptr;
    return;
  }
  // A computation under way holds the lock and writes the spectra: the
  // display keeps its values until the thread hands the new ones over.
  std::unique_lock<std::mutex> lock(TheCore->SignalLock, std::try_to_lock);
  if (lock.owns_lock()) {
    const int64_t last =
        std::min<int64_t>({bins, static_cast<int64_t>(spectrum.size()) - 1, static_cast<int64_t>(display.size()) - 1});
    display[0] = 0.0;
    for (int64_t k = 1; k <= last; ++k) {
      const double a = 2 * std::abs(spectrum[static_cast<size_t>(k)]) / SpectrumGain();
      display[static_cast<size_t>(k)] = TheCore->ConvertAmplitude(
          a, BinFrequency(static_cast<double>(k), Plot->SampleRate, n), TheCore->AmplDisplayMode, channelA ? 0 : 1);
    }
  }
  data = display.data();
}

void TfFFTGraph::PlotSpectrum(bool rescale) {
  if (!TheCore) return;
  const int32_t n = std::max(TransformLength(), 0);
  const int32_t bins = n / 2;
  Plot->SampleRate = TheCore->DriverSamplingFrequency();
  Plot->TransformLength = n;
  if (Plot->TotalBins != bins) {
    Plot->TotalBins = Plot->ViewWidth = bins;
    Plot->ViewStart = 0;
    ClampCursors(bins);
    rescale = true;
  }
  const uint8_t quantity = TheCore->AmplDisplayMode;
  // One channel has no channel choice: a view of B alone left from a
  // two-channel job would show nothing, with no button to change it.
  if (TheCore->Type != 1) ChannelsShown = 0;
  if (rescale) {
    Plot->SpanY = FullScaleSpan(1, 0);
    Plot->RefSpan = Plot->SpanY;
    Plot->OffsetY = 0;
    if (quantity != 0 && LinearScale == 0) LinearScale = 1;
  }
  if (n > 0) {
    FillDisplay(true, n);
    if (TheCore->Type == 1) FillDisplay(false, n);
  } else {
    Plot->DataA = Plot->DataB = nullptr;
  }
  Plot->LogScale = LinearScale ? 0 : 1;
  const double binFrequency = BinFrequency(1, Plot->SampleRate, n);
  Plot->RangeA = TheCore->ConvertAmplitude(TheCore->DriverInputRange(TheCore->GainA), binFrequency, quantity, 0);
  Plot->RangeB = TheCore->ConvertAmplitude(TheCore->DriverInputRange(TheCore->GainB), binFrequency, quantity, 1);
  const auto& colours = TheCore->WorkColors;
  Plot->BackColor = colours[wcWorkBack];
  Plot->ColorA = colours[wcWorkChA];
  Plot->ColorB = colours[wcWorkChB];
  Plot->CursorXColor = colours[wcWorkCurX];
  Plot->CursorYColor = colours[wcWorkCurY];
  Plot->CursorTColor = colours[wcWorkCurT];
  Plot->GridColor = colours[wcWorkGrid];
  Plot->ValueBandColor = PlotValueBand;
  Plot->BandColor = PlotBand;
  Plot->ValueTextColor = Plot->LabelColor = PlotText;
  Plot->UnitA = Plot->UnitB = LinearScale ? AmplitudeUnitText(quantity, 1) : u"[dB]";
  Plot->ShowA = 1;
  Plot->ShowB = TheCore->Type == 1 ? 1 : 0;
  Plot->CursorT = CursorBin('T');
  Plot->SolidA = SolidA ? 1 : 0;
  Plot->SolidB = SolidB ? 1 : 0;
  RepaintPlot();
  UpdateChannelsButton();
}

void TfFFTGraph::UpdateChannelsButton() {
  const bool two = TheCore && TheCore->Type == 1;
  bDisplayChannels->SetEnabled(two);
  if (!two) return;
  SetToolGlyph(bDisplayChannels, ChannelsGlyph(ChannelsShown));
  bDisplayChannels->Repaint();
}

void TfFFTGraph::UpdateButtonStates() {
  if (!TheCore) return;
  bGotoTAndZoom->SetEnabled(!TheCore->AsyncMode);
  bGotoT->SetEnabled(!TheCore->AsyncMode);
  bLogLin->SetEnabled(TheCore->AmplDisplayMode == 0);
}

void TfFFTGraph::MirrorStatus() {
  TViewStatusControls& status = *this;
  ApplyStatusLine(status, Workspace.StatusLine());
}

void TfFFTGraph::MirrorViews() {
  MirrorStatus();
  if (fTimeGraph) fTimeGraph->MirrorStatus();
}

void TfFFTGraph::ShowProcessing() {
  Workspace.ShowErrorText(ProcessingText, TheCore ? TheCore->WorkColors[wcWorkText2] : 0);
  MirrorViews();
}

std::unique_lock<std::mutex> TfFFTGraph::AbortForChange(bool resetErrorLine) {
  if (resetErrorLine && TheCore->SpectrumBusy) Workspace.ShowNoError();
  // Waits for the thread to drop its computation; the caller changes the
  // settings the thread reads while it holds the lock.
  return TheCore->LockSignalsForWriting();
}

void TfFFTGraph::tProgressTimer(gui::TComponent*) {
  if (!TheCore || !TheCore->SpectrumInWindow || !TheCore->SpectrumBusy) {
    pbProgress->SetPosition(0);
    return;
  }
  pbProgress->SetPosition(static_cast<int>(TheCore->SpectrumProgress.load()));
  LedBlink = LedBlink ? 0 : 1;
  Workspace.ShowErrorLamp(LedBlink ? vlYellow : vlOff);
  MirrorViews();
}

void TfFFTGraph::bStartStopClick(gui::TComponent*) {
  Workspace.SetAsyncMode(true);
  Workspace.StartStopAsync();
}

void TfFFTGraph::bSetupClick(gui::TComponent*) { Workspace.SetupCommand(); }
void TfFFTGraph::bOscilloscopeClick(gui::TComponent*) { Workspace.OscilloscopeCommand(); }

void TfFFTGraph::bBalancingClick(gui::TComponent*) {
  if (gui::TForm* form = Workspace.WorkspaceForm()) form->BringToFront();
}

void TfFFTGraph::bValueClick(gui::TComponent* sender) {
  Workspace.AmplitudeUnitCommand(static_cast<gui::TControl*>(sender));
}

void TfFFTGraph::bMaximizeClick(gui::TComponent*) {
  const bool normal = WindowState() == gui::wsNormal;
  SetWindowState(normal ? gui::wsMaximized : gui::wsNormal);
  const gui::TBitmap glyph = StripGlyph(normal ? sgRestore : sgMaximize, gui::clBlack, bMaximize->ButtonColor());
  bMaximize->SetBitmap(&glyph);
}

void TfFFTGraph::bAsyncFileClick(gui::TComponent*) {
  if (!TheCore || AsyncFileCommand(*this, bAsyncFile, Workspace, *TheCore) != afOpened) return;
  if (fTimeGraph && fTimeGraph->WindowVisible()) {
    fTimeGraph->RefreshGraph();
    fTimeGraph->RefreshReadout();
  }
}

void TfFFTGraph::bDisplayChannelsClick(gui::TComponent*) {
  const int choice = PopupBelow(this, bDisplayChannels, {{u"A+B"}, {u"A"}, {u"B"}}, ChannelsShown + 1);
  if (choice == 0) return;
  ChannelsShown = static_cast<uint8_t>(choice - 1);
  PlotSpectrum(false);
}

void TfFFTGraph::bLogLinClick(gui::TComponent*) {
  LinearScale = LinearScale ? 0 : 1;
  Plot->LogScale = LinearScale ? 0 : 1;
  Plot->OffsetY = 0;
  sbScrollY->SetPosition(0);
  SyncScrollBars();
  PlotSpectrum(false);
  RefreshInfoPanel();
}

void TfFFTGraph::bSpectrumTypeClick(gui::TComponent*) {
  if (!TheCore) return;
  const int choice = PopupBelow(this, bSpectrumType, {{u"FFT"}, {u"DFT"}}, TheCore->SpectrumInWindow ? 2 : 1);
  if (choice == 0) return;
  {
    const auto lock = AbortForChange(true);
    TheCore->SpectrumInWindow = choice == 2 ? 1 : 0;
  }
  if (choice == 2) {
    SolidA = SolidB = false;
    Plot->SolidA = Plot->SolidB = 0;
    RepaintPlot();
    ShowProcessing();
  }
  if (TheCore->SpectrumEvent) TheCore->SpectrumEvent->SetEvent();
  RefreshInfoPanel();
}

void TfFFTGraph::bWindowTypeClick(gui::TComponent*) {
  if (!TheCore) return;
  std::vector<TPopupItem> items;
  for (std::u16string_view name : WindowTypeNames) {
    if (name.empty()) break;
    items.push_back({std::u16string(name)});
  }
  const int choice = PopupBelow(this, bWindowType, items, TheCore->WindowType + 1);
  if (choice == 0) return;
  {
    const auto lock = AbortForChange(false);
    TheCore->WindowType = static_cast<uint8_t>(choice - 1);
  }
  if (TheCore->SpectrumInWindow) {
    SolidA = SolidB = false;
    Plot->SolidA = Plot->SolidB = 0;
    RepaintPlot();
    ShowProcessing();
  }
  if (TheCore->SpectrumEvent) TheCore->SpectrumEvent->SetEvent();
  UpdateButtonStates();
  RefreshInfoPanel();
}

void TfFFTGraph::bPrintClick(gui::TComponent*) {
  RunPrintCommand(*this, bPrint, Workspace, true,
                  [this](gui::TCanvas& printer, int channel) { PrintPage(printer, channel); });
}

void TfFFTGraph::PrintPage(gui::TCanvas& printer, int channel) {
  TPrintPage page;
  page.Spectrum = true;
  const size_t type = TheCore ? std::min<size_t>(TheCore->WindowType, 7) : 0;
  page.SpectrumLine = bSpectrumType->CaptionW() + u" / " + std::u16string(WindowTypeNames[type]);
  page.Caption = [this](TPrintCell cell) -> std::u16string {
    const int index = static_cast<int>(cell) - static_cast<int>(pcMeasCur1);
    if (index < 0 || index >= 15) return u"";
    const size_t row = static_cast<size_t>(index / 5);
    switch (index % 5) {
      case 0: return bMeasCur[row]->CaptionW();
      case 1: return bMeasCh[row]->CaptionW();
      case 2: return bFreq[row]->CaptionW();
      case 3: return bValue[row]->CaptionW();
      default: return pePhase[row]->CaptionW();
    }
  };
  page.PrintPlot = [this](int ch, gui::TCanvas& target, const gui::TRect& area) {
    Plot->Suppress = 1;
    Plot->Print(ch, target, Canvas(), area);
    Plot->Suppress = 0;
    RepaintPlot();
  };
  PaintViewPage(printer, channel, page, Workspace);
}
