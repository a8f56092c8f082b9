#include "formtimegraph.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "asyncfilecommand.h"
#include "formatting.h"
#include "formfftgraph.h"
#include "timenavigation.h"
#include "timereadout.h"
#include "viewpopup.h"
#include "viewprint.h"
#include "viewworkspace.h"
#include "zelto.h"

TfTimeGraph* fTimeGraph = nullptr;

const std::vector<TTextKey> TfTimeGraph::LangKeys = {
    {u"Forms", u"MeasInCurPos"}, {u"Forms", u"MeasBetweenCur"}, {u"Forms", u"MeasInTimeDomain"},
    {u"Forms", u"Time"},         {u"Forms", u"Frequency"},      {u"Forms", u"RMSValue"},
    {u"Forms", u"AVGValue"},     {u"Forms", u"PkPkValue"},
};

std::u16string TfTimeGraph::Text(TText text) { return LangText(LangKeys[text]).Text; }

TfTimeGraph::TfTimeGraph(gui::TComponent* owner, TViewWorkspace& workspace)
    : TfSignalView(owner, FrameTimeGraph, workspace,
                   {"fTimeGraph", vtOscilloscope, vtSpectrum, 'F', false, true, MinTimeViewWidth, false}) {
  CreateFrame();
  BuildTimeGraphControls(*this, *this, this, pWindow);
  Plot = std::make_unique<TDisplayA>(pbAnalog);
  FinishCreate({bZoomOutX, bZoomInX, bZoomOutY, bZoomInY, bSpectrum, Plot.get(), this});
  BindEvents();
  fTimeGraph = this;
  WindowServices().TimeGraph = this;
}

TfTimeGraph::~TfTimeGraph() {
  ReleasePlotBox();
  sbScroll->OnChange = nullptr;
  TTimeGraphServices* self = this;
  WindowServices().TimeGraph.compare_exchange_strong(self, nullptr);
  if (fTimeGraph == this) fTimeGraph = nullptr;
}

TfSignalView* TfTimeGraph::OtherView() const { return fFFTGraph; }

void TfTimeGraph::BindEvents() {
  BindClick(bZoomInY, &TfTimeGraph::bZoomInYClick);
  BindClick(bZoomOutY, &TfTimeGraph::bZoomOutYClick);
  BindClick(bSpectrum, &TfTimeGraph::bSpectrumClick);
  BindClick(bAsyncFile, &TfTimeGraph::bAsyncFileClick);
  for (TBitmapButton* b : {bVoltValue1, bVoltValue2, bVoltDistValue, bMeasValA, bMeasValB})
    BindClick(b, &TfTimeGraph::bVoltValueClick);
  BindClick(bCurPos1Label, &TfTimeGraph::bCurPos1LabelClick);
  BindClick(bCurPos2Label, &TfTimeGraph::bCurPos1LabelClick);
  BindClick(bDist1Value, &TfTimeGraph::pDistValueClick);
  BindClick(bDist2Value, &TfTimeGraph::pDistValueClick);
  BindClick(bVoltDistCh, &TfTimeGraph::pVoltDistChClick);
  BindClick(bMeasType, &TfTimeGraph::bMeasTypeClick);
  BindClick(bVoltCur1, &TfTimeGraph::bVoltCur1Click);
  BindClick(bVoltCur2, &TfTimeGraph::bVoltCur1Click);
  BindClick(bVoltCh1, &TfTimeGraph::bVoltCh1Click);
  BindClick(bVoltCh2, &TfTimeGraph::bVoltCh1Click);
  pbAnalog->OnMouseDown = [this](gui::TComponent*, gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
    pbAnalogMouseDown(button, shift, x, y);
  };
  pbAnalog->OnMouseMove = [this](gui::TComponent*, gui::TShiftState shift, int x, int y) {
    pbAnalogMouseMove(shift, x, y);
  };
  sbScroll->OnChange = [this](gui::TComponent* sender) { sbScrollChange(sender); };
}

void TfTimeGraph::FormShow() {
  ShowFrame();
  ShowOwnTexts();
  const int32_t fs = FullScale();
  Plot->SetView({0, TheCore ? TheCore->ShownConditions().Length : 0, 0, 2 * fs});
  Plot->FullScale = fs;
  ApplyCaptureState();
  // New buffers each show.
  AllocateChannelArrays(ChannelBufferA, ChannelBufferB);
  Redraw();
  SyncScrollBar();
  RefreshReadout();
  MirrorStatus();
  Resize();
}

void TfTimeGraph::ShowOwnTexts() {
  const auto tip = [this](std::initializer_list<gui::TControl*> controls, std::u16string text) {
    for (gui::TControl* c : controls) TLanguageService::AddToolTip(this, c, text);
  };
  tip({bCurPos1Label, bVoltCur1, bCurPos2Label, bVoltCur2}, ViewText(vtCursor));
  tip({bVoltCh1, bVoltCh2, bVoltDistCh}, ViewText(vtChannel));
  tip({bCurPos1Value, bVoltValue1, bCurPos2Value, bVoltValue2}, Text(ttMeasInCurPos));
  tip({bDist1Value, bDist2Value, bVoltDistValue}, Text(ttMeasBetweenCur));
  tip({bMeasType}, Text(ttMeasInTimeDomain));
}

void TfTimeGraph::LayoutControls() {
  TSignalViewControls& shared = *this;
  LayoutTimeGraph(shared, *this, pWindow, Plot->MarginLeft, Plot->MarginRight);
}

void TfTimeGraph::CloseView() {
  Plot->DataA = Plot->DataB = nullptr;
  ReleaseChannelArrays(ChannelBufferA, ChannelBufferB);
}

int32_t TfTimeGraph::FullScale() const { return TheCore ? TheCore->ShownConditions().FullScale : 0; }

void TfTimeGraph::UpdateUnits() {
  const TRecordConditions conditions = TheCore->ShownConditions();
  const auto channel = [&](uint8_t ch, std::u16string& unit, int32_t& range) {
    const SensorInfo& sensor = conditions.Sensor(ch);
    const uint8_t q = DisplayQuantity(sensor, TheCore->AmplDispModeOscmV);
    unit = AmplitudeUnitText(q, 1);
    const double converted = ConvertAmplitude(sensor, conditions.Range(ch), 0.0, q);
    range = static_cast<int32_t>(std::clamp(std::trunc(converted), -2e9, 2e9));
  };
  channel(0, Plot->UnitA, Plot->RangeA);
  channel(1, Plot->UnitB, Plot->RangeB);
}

void TfTimeGraph::CopySamples() {
  const bool live = TheCore->AsyncMode != 0;
  const int32_t step = TheCore->BalancingStep;
  FHasSamplesA = FHasSamplesB = false;
  FStatsA = FStatsB = std::nullopt;
  if (!live && (step < 0 || step >= RunCount)) return;
  const CaptureRecord* run = live ? nullptr : &TheCore->Captures[static_cast<size_t>(step)];
  const std::vector<int32_t>& a = run ? run->DataA : TheCore->LiveDataA;
  const std::vector<int32_t>& b = run ? run->DataB : TheCore->LiveDataB;
  const TRecordConditions conditions = TheCore->ShownConditions();
  const auto copy = [&](const std::vector<int32_t>& from, std::vector<float>& to) {
    const size_t n = std::min({static_cast<size_t>(std::max(conditions.Length, 0)), from.size(), to.size()});
    std::transform(from.begin(), from.begin() + static_cast<std::ptrdiff_t>(n), to.begin(),
                   [](int32_t v) { return static_cast<float>(v); });
  };
  if (TheCore->Type == 1 && !a.empty() && !b.empty()) {
    copy(a, ChannelBufferA);
    copy(b, ChannelBufferB);
    FHasSamplesB = true;
  } else if (!a.empty()) {
    copy(a, ChannelBufferA);
  }
  FHasSamplesA = !a.empty();
  TSampleSpan span;
  {
    rtl::TCriticalSectionGuard guard(TheCore->ResultsLock);  // a capture writes Start and End
    span = StatisticsSpan(run, conditions.Length);
  }
  const double fullScale = conditions.FullScale;
  if (FHasSamplesA) FStatsA = SpanStats(a, span, fullScale);
  if (FHasSamplesB) FStatsB = SpanStats(b, span, fullScale);
}

void TfTimeGraph::DrawRecord(bool copySamples) {
  if (!TheCore || !TheCore->DriverModule) return;
  const TRecordConditions conditions = TheCore->ShownConditions();
  Plot->SampleRate = conditions.SampleRate;
  UpdateUnits();
  // A record of another scale starts at its own whole view.
  if (Plot->FullScale != conditions.FullScale) {
    Plot->FullScale = conditions.FullScale;
    Plot->SetView({0, conditions.Length, 0, 2 * conditions.FullScale});
    Plot->TotalSamples = conditions.Length;
  }
  if (Plot->TotalSamples != conditions.Length) {
    Plot->TotalSamples = conditions.Length;
    Plot->ViewStart = 0;
    Plot->ViewWidth = Plot->TotalSamples;
  }
  // A record longer than this device's memory (a job measured on another)
  // is drawn whole.
  if (static_cast<size_t>(std::max(conditions.Length, 0)) > ChannelBufferA.size() && !ChannelBufferA.empty())
    AllocateChannelArrays(ChannelBufferA, ChannelBufferB);
  if (copySamples) CopySamples();
  FitChannelChoice();
  // The buffers hold RamSize samples, the record BuffLength of them.
  const bool fits = static_cast<size_t>(std::max(Plot->TotalSamples, 0)) <= ChannelBufferA.size();
  // A record without samples (a run not measured) shows no trace rather
  // than what the buffers kept from another record.
  Plot->DataA = fits && FHasSamplesA && ChannelChosen(true) ? ChannelBufferA.data() : nullptr;
  Plot->DataB = fits && FHasSamplesB && ChannelChosen(false) ? ChannelBufferB.data() : nullptr;
  ApplyPlotLook(*Plot);
  Plot->TimeTextColor = Plot->ValueTextColor;
  Plot->Paint();
  UpdateChannelsButton();
  // The measurement read-out and the printed page show the new record's
  // statistics, whoever asked for the copy.
  if (copySamples) RefreshReadout();
}

void TfTimeGraph::Redraw() { DrawRecord(!(TheCore && TheCore->Measuring)); }

void TfTimeGraph::ClearChannelBuffers() {
  std::fill(ChannelBufferA.begin(), ChannelBufferA.end(), 0.0f);
  std::fill(ChannelBufferB.begin(), ChannelBufferB.end(), 0.0f);
  for (std::optional<TChannelStats>* stats : {&FStatsA, &FStatsB})
    if (*stats) *stats = TChannelStats{};
}

void TfTimeGraph::bSpectrumClick(gui::TComponent*) { Workspace.SpectrumCommand(); }

void TfTimeGraph::bAsyncFileClick(gui::TComponent*) {
  if (!TheCore || AsyncFileCommand(*this, bAsyncFile, Workspace, *TheCore) != afOpened) return;
  RefreshGraph();
  RefreshReadout();
}

char TfTimeGraph::ValueButtonChannel(gui::TComponent* button) const {
  if (!TheCore || TheCore->Type != 1) return 'A';
  if (button == bMeasValB) return 'B';
  if (button == bVoltValue1) return VoltCh1;
  if (button == bVoltValue2) return VoltCh2;
  if (button == bVoltDistValue) return VoltDistCh;
  return 'A';
}

// The second item names the quantity of the sensor on the button's channel.
void TfTimeGraph::bVoltValueClick(gui::TComponent* sender) {
  if (!TheCore) return;
  std::vector<TPopupItem> items{{AmplitudeUnitText(0, 0)}};
  const uint8_t type = TheCore->ShownConditions().Sensor(ValueButtonChannel(sender) == 'B' ? 1 : 0).Type;
  if (type <= 2) items.push_back({AmplitudeUnitText(static_cast<uint8_t>(type + 1), 0)});
  const int choice =
      PopupBelow(this, static_cast<gui::TControl*>(sender), items, TheCore->AmplDispModeOscmV == 0 ? 2 : 1);
  if (choice == 0) return;
  TheCore->AmplDispModeOscmV = choice == 1 ? 1 : 0;
  Redraw();
  RefreshReadout();
}

void TfTimeGraph::PrintPage(gui::TCanvas& printer, int channel) {
  TPrintPage page;
  page.Caption = [this](TPrintCell cell) -> std::u16string {
    switch (cell) {
      case pcCurPos1Label: return bCurPos1Label->CaptionW();
      case pcCurPos1Value: return bCurPos1Value->CaptionW();
      case pcVoltCur1: return bVoltCur1->CaptionW();
      case pcVoltCh1: return bVoltCh1->CaptionW();
      case pcVoltValue1: return bVoltValue1->CaptionW();
      case pcCurPos2Label: return bCurPos2Label->CaptionW();
      case pcCurPos2Value: return bCurPos2Value->CaptionW();
      case pcVoltCur2: return bVoltCur2->CaptionW();
      case pcVoltCh2: return bVoltCh2->CaptionW();
      case pcVoltValue2: return bVoltValue2->CaptionW();
      case pcMeasType: return bMeasType->CaptionW();
      case pcMeasValA: return bMeasValA->CaptionW();
      case pcMeasValB: return bMeasValB->CaptionW();
      case pcDist1Value: return bDist1Value->CaptionW();
      case pcDist2Value: return bDist2Value->CaptionW();
      case pcVoltDistCh: return bVoltDistCh->CaptionW();
      case pcVoltDistValue: return bVoltDistValue->CaptionW();
      default: return u"";
    }
  };
  page.PrintPlot = [this](int ch, gui::TCanvas& target, const gui::TRect& area) {
    PrintPlotSuppressed([&] { Plot->Print(ch, target, Canvas(), area); });
  };
  PaintViewPage(printer, channel, page, Workspace);
}
