#include "formfftgraph.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <mutex>

#include "asyncfilecommand.h"
#include "capturethreads.h"
#include "events.h"
#include "formatting.h"
#include "formtimegraph.h"
#include "spectrumnavigation.h"
#include "spectrumreadout.h"
#include "spectrumthread.h"
#include "viewpopup.h"
#include "viewprint.h"
#include "viewworkspace.h"
#include "zelto.h"

TfFFTGraph* fFFTGraph = nullptr;

const std::array<std::u16string_view, 9> WindowTypeNames = {
    u"Rectangular", u"Blackman", u"Flat Top", u"Gaussian (3.0)", u"Hamming", u"Hanning", u"Harris", u"Triangle", u""};

const std::vector<TTextKey> TfFFTGraph::LangKeys = {
    {u"Forms", u"GotoT"},         {u"Forms", u"GotoTAndZoom"},  {u"Forms", u"LogLin"},
    {u"Forms", u"WindowType"},    {u"Forms", u"SpectrumType"},  {u"Forms", u"ProcessingDFT"},
    {u"Forms", u"FreqInCurPos"},  {u"Forms", u"AmplInCurPos"},  {u"Forms", u"PhaseInCurPos"},
    {u"Forms", u"BandRMS"},       {u"Forms", u"BandRMSValue"},  {u"Forms", u"DFTProgress"},
    {u"Forms", u"CursorT"},
};

std::u16string TfFFTGraph::Text(TText text) { return LangText(LangKeys[text]).Text; }

TfFFTGraph::TfFFTGraph(gui::TComponent* owner, TViewWorkspace& workspace)
    : TfSignalView(owner, FrameFFTGraph, workspace,
                   {"fFFTGraph", vtSpectrum, vtOscilloscope, 'A', true, false, MinSpectrumViewWidth, true}) {
  CreateFrame();
  BuildFFTGraphControls(*this, *this, this, pWindow);
  Plot = std::make_unique<TDisplayFFT>(pbFFT);
  Plot->ShowCursorT = 1;
  FinishCreate({bZoomXOut, bZoomXIn, bZoomYOut, bZoomYIn, bOscilloscope, Plot.get(), this});
  BindEvents();
  fFFTGraph = this;
  WindowServices().SpectrumView = this;
}

TfFFTGraph::~TfFFTGraph() {
  ReleasePlotBox();
  tProgress->OnTimer = nullptr;
  sbScrollX->OnChange = sbScrollY->OnChange = nullptr;
  TSpectrumViewServices* self = this;
  WindowServices().SpectrumView.compare_exchange_strong(self, nullptr);
  TSignalViewServices::Visible = false;
  StopSpectrumThread();
  if (fFFTGraph == this) fFFTGraph = nullptr;
}

TfSignalView* TfFFTGraph::OtherView() const { return fTimeGraph; }

void TfFFTGraph::BindEvents() {
  BindClick(bOscilloscope, &TfFFTGraph::bOscilloscopeClick);
  BindClick(bAsyncFile, &TfFFTGraph::bAsyncFileClick);
  BindClick(bLogLin, &TfFFTGraph::bLogLinClick);
  BindClick(bSpectrumType, &TfFFTGraph::bSpectrumTypeClick);
  BindClick(bWindowType, &TfFFTGraph::bWindowTypeClick);
  BindClick(bRmsType, &TfFFTGraph::bRmsTypeClick);
  for (size_t r = 0; r < 3; ++r) {
    BindClick(bMeasCur[r], &TfFFTGraph::pMeasCurClick);
    BindClick(bMeasCh[r], &TfFFTGraph::pMeasChClick);
    BindClick(bFreq[r], &TfFFTGraph::bFreqClick);
    BindClick(bValue[r], &TfFFTGraph::bValueClick);
  }
  BindClick(bRmsValueA, &TfFFTGraph::bValueClick);
  BindClick(bRmsValueB, &TfFFTGraph::bValueClick);
  tProgress->OnTimer = [this](gui::TComponent* sender) { tProgressTimer(sender); };
  BindNavigation();
}

void TfFFTGraph::FormShow() {
  ShowFrame();
  ShowOwnTexts();
  const bool shown = WindowVisible();
  // The arrays before the first conversion, and only once per show.
  if (shown && DisplayA.empty() && TheCore) AllocateChannelArrays(DisplayA, DisplayB);
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

void TfFFTGraph::ShowOwnTexts() {
  const auto tip = [this](gui::TControl* control, std::u16string text) {
    TLanguageService::AddToolTip(this, control, text);
  };
  tip(bGotoT, Text(ftGotoT) + u" [T]");
  tip(bGotoTAndZoom, Text(ftGotoTAndZoom) + u" [Ctrl + T]");
  tip(bLogLin, Text(ftLogLin));
  tip(bWindowType, Text(ftWindowType));
  tip(bSpectrumType, Text(ftSpectrumType));
  ProcessingText = Text(ftProcessingDFT);
  for (size_t r = 0; r < 3; ++r) {
    tip(bMeasCur[r], ViewText(vtCursor));
    tip(bMeasCh[r], ViewText(vtChannel));
    tip(bFreq[r], Text(ftFreqInCurPos));
    tip(bValue[r], Text(ftAmplInCurPos));
    tip(pePhase[r], Text(ftPhaseInCurPos));
  }
  tip(bRmsType, Text(ftBandRMS));
  tip(bRmsValueA, Text(ftBandRMSValue));
  tip(bRmsValueB, Text(ftBandRMSValue));
  tip(pProgressLabel, Text(ftDFTProgress));
  tip(pbProgress, Text(ftDFTProgress));
}

void TfFFTGraph::LayoutControls() {
  TSignalViewControls& shared = *this;
  LayoutFFTGraph(shared, *this, pWindow, Plot->MarginLeft, Plot->MarginRight);
}

void TfFFTGraph::RepaintPlot() {
  if (!TheCore || !TheCore->PlotUpdating) Plot->Paint();
}

// The thread frees itself once let go (StopSpectrumThread).
void TfFFTGraph::StartSpectrumThread() {
  if (SpectrumThread || !TheCore) return;
  auto* thread = new TSpectrumThread(*TheCore, true);
  SpectrumThread = thread;
  thread->FreeOnTerminate = true;
  thread->SetPriority(rtl::tpLower);
  thread->Resume();
  if (TheCore->SpectrumEvent) TheCore->SpectrumEvent->SetEvent();
}

// The window never waits for the thread, which runs below its priority: a
// computation under way, even one that cannot be stopped at once, stops on
// its own and frees the thread. Until then the core's spectra are still
// the thread's: a thread started by the next show waits for it on its own
// side, and the core, freed at the program's end, waits for both.
void TfFFTGraph::StopSpectrumThread() {
  TSpectrumThread* thread = SpectrumThread;
  if (!thread) return;
  SpectrumThread = nullptr;
  thread->LetGo();
}

void TfFFTGraph::CloseView() {
  tProgress->SetEnabled(false);
  if (TheCore->SpectrumBusy && SpectrumThread) {
    SpectrumThread->AbortCalculation();
    Workspace.ShowNoError();
  }
  TSignalViewServices::Visible = false;
  StopSpectrumThread();
  Plot->DataA = Plot->DataB = nullptr;
  ReleaseChannelArrays(DisplayA, DisplayB);
  DisplayOriginA = DisplayOriginB = {};
  if (fTimeGraph && !fTimeGraph->WindowVisible() && TheCore->Measuring && TheCore->AsyncMode)
    Workspace.StopCaptureAndWait();
}

int32_t TfFFTGraph::TransformLength() const {
  if (!TheCore) return 0;
  const int32_t step = TheCore->BalancingStep;
  const CaptureRecord* run = step >= 0 && step < RunCount ? &TheCore->Captures[static_cast<size_t>(step)] : nullptr;
  rtl::TCriticalSectionGuard guard(TheCore->ResultsLock);  // a capture writes Start and End
  return ::TransformLength(TheCore->SpectrumInWindow != 0, TheCore->AsyncMode != 0, run ? run->Start : 0,
                           run ? run->End : 0, TheCore->ShownConditions().Length);
}

TBinScale TfFFTGraph::BinScale() const {
  if (!TheCore) return {};
  const int32_t n = std::max(TransformLength(), 0);
  return {n / 2, n, TheCore->ShownConditions().SampleRate};
}

int32_t TfFFTGraph::FullScaleSpan(double bin, uint8_t channel) const {
  const TRecordConditions conditions = TheCore->ShownConditions();
  const double span = ConvertAmplitude(conditions.Sensor(channel), conditions.FullScale, BinScale().Frequency(bin),
                                       TheCore->AmplDisplayMode);
  return static_cast<int32_t>(std::clamp(std::trunc(span), 0.0, 2e9));
}

TSignalOrigin TfFFTGraph::ShownOrigin() const {
  const int32_t record = TheCore->AsyncMode ? TSignalOrigin::LiveRecord : TheCore->BalancingStep;
  return {record, TransformLength(), TheCore->ShownConditions().SampleRate, TheCore->Job};
}

bool TfFFTGraph::SpectrumShown(bool channelA) const {
  const TSignalOrigin& origin = channelA ? TheCore->SpectrumOriginA : TheCore->SpectrumOriginB;
  return origin.Holds() && origin == ShownOrigin();
}

void TfFFTGraph::FillDisplay(bool channelA, int32_t n) {
  const std::vector<std::complex<double>>& spectrum = channelA ? TheCore->SpectrumA : TheCore->SpectrumB;
  std::vector<double>& display = channelA ? DisplayA : DisplayB;
  TSignalOrigin& filled = channelA ? DisplayOriginA : DisplayOriginB;
  const double*& data = channelA ? Plot->DataA : Plot->DataB;
  const bool shown = ChannelChosen(channelA);
  const int32_t bins = n / 2;
  if (!shown || display.empty()) {
    data = nullptr;
    return;
  }
  const TSignalOrigin wanted = ShownOrigin();
  // A computation under way holds the lock and writes the spectra: the
  // display keeps its values until the thread hands the new ones over.
  std::unique_lock<std::mutex> lock(TheCore->SignalLock, std::try_to_lock);
  if (lock.owns_lock()) filled = channelA ? TheCore->SpectrumOriginA : TheCore->SpectrumOriginB;
  // Values of another record or transform are not drawn on this axis.
  if (!filled.Holds() || filled != wanted) {
    data = nullptr;
    return;
  }
  if (lock.owns_lock()) {
    const SensorInfo sensor = TheCore->ShownConditions().Sensor(channelA ? 0 : 1);
    const int64_t last =
        std::min<int64_t>({bins, static_cast<int64_t>(spectrum.size()) - 1, static_cast<int64_t>(display.size()) - 1});
    display[0] = 0.0;
    for (int64_t k = 1; k <= last; ++k) {
      const double a = 2 * std::abs(spectrum[static_cast<size_t>(k)]) / SpectrumGain();
      display[static_cast<size_t>(k)] =
          ConvertAmplitude(sensor, a, BinFrequency(static_cast<double>(k), Plot->SampleRate, n), TheCore->AmplDisplayMode);
    }
  }
  data = display.data();
}

void TfFFTGraph::PlotSpectrum(bool rescale) {
  if (!TheCore) return;
  const int32_t n = std::max(TransformLength(), 0);
  const int32_t bins = n / 2;
  const TRecordConditions conditions = TheCore->ShownConditions();
  Plot->SampleRate = conditions.SampleRate;
  Plot->TransformLength = n;
  if (Plot->TotalBins != bins) {
    Plot->TotalBins = Plot->ViewWidth = bins;
    Plot->ViewStart = 0;
    rescale = true;
  }
  const uint8_t quantity = TheCore->AmplDisplayMode;
  // A record longer than this device's memory is drawn whole.
  if (!DisplayA.empty() && DisplayA.size() < static_cast<size_t>(bins) + 1) AllocateChannelArrays(DisplayA, DisplayB);
  FitChannelChoice();
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
  Plot->RangeA = ConvertAmplitude(conditions.SensorA, conditions.RangeA, binFrequency, quantity);
  Plot->RangeB = ConvertAmplitude(conditions.SensorB, conditions.RangeB, binFrequency, quantity);
  ApplyPlotLook(*Plot);
  Plot->CursorTColor = CursorColour('T');
  Plot->LabelColor = Plot->ValueTextColor;
  Plot->UnitA = Plot->UnitB = LinearScale ? AmplitudeUnitText(quantity, 1) : u"[dB]";
  Plot->CursorT = CursorBin('T');
  RepaintPlot();
  UpdateChannelsButton();
}

void TfFFTGraph::UpdateButtonStates() {
  if (!TheCore) return;
  bGotoTAndZoom->SetEnabled(!TheCore->AsyncMode);
  bGotoT->SetEnabled(!TheCore->AsyncMode);
  bLogLin->SetEnabled(TheCore->AmplDisplayMode == 0);
}

void TfFFTGraph::MirrorViews() {
  MirrorStatus();
  if (fTimeGraph) fTimeGraph->MirrorStatus();
}

void TfFFTGraph::AwaitSpectrum() {
  SolidA = SolidB = false;
  Plot->SolidA = Plot->SolidB = 0;
  RepaintPlot();
  Workspace.ShowErrorText(ProcessingText, WorkText2Colour());
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

void TfFFTGraph::bOscilloscopeClick(gui::TComponent*) { Workspace.OscilloscopeCommand(); }

void TfFFTGraph::bValueClick(gui::TComponent* sender) {
  Workspace.AmplitudeUnitCommand(static_cast<gui::TControl*>(sender));
}

void TfFFTGraph::bAsyncFileClick(gui::TComponent*) {
  if (!TheCore || AsyncFileCommand(*this, bAsyncFile, Workspace, *TheCore) != afOpened) return;
  if (fTimeGraph && fTimeGraph->WindowVisible()) {
    fTimeGraph->RefreshGraph();
    fTimeGraph->RefreshReadout();
  }
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
  if (choice == 2) AwaitSpectrum();
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
  if (TheCore->SpectrumInWindow) AwaitSpectrum();
  if (TheCore->SpectrumEvent) TheCore->SpectrumEvent->SetEvent();
  UpdateButtonStates();
  RefreshInfoPanel();
}

void TfFFTGraph::PrintPage(gui::TCanvas& printer, int channel) {
  // The page shows the spectrum and read-out of the present settings and
  // record, as the window would after its next hand-over.
  PlotSpectrum(false);
  RefreshInfoPanel();
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
    PrintPlotSuppressed([&] { Plot->Print(ch, target, Canvas(), area); });
  };
  PaintViewPage(printer, channel, page, Workspace);
}
