#include "formtimegraph.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "application.h"
#include "asyncfilecommand.h"
#include "formatting.h"
#include "formfftgraph.h"
#include "timereadout.h"
#include "viewpopup.h"
#include "viewprint.h"
#include "viewworkspace.h"
#include "zelto.h"

TfTimeGraph* fTimeGraph = nullptr;

namespace {

// The colours the plot draws with besides the configured ones.
constexpr gui::TColor PlotValueBand = 0xE1FFFF, PlotBand = 0xF3F3F3, PlotText = 0x606060;

}  // namespace

const std::vector<TTextKey> TfTimeGraph::LangKeys = {
    {u"Forms", u"Close"},          {u"Forms", u"Oscilloscope"},
    {u"Forms", u"ZoomOut"},        {u"Forms", u"ZoomIn"},
    {u"Forms", u"ZoomXY"},         {u"Forms", u"ZoomPrev"},
    {u"Forms", u"ZoomAll"},        {u"Forms", u"GotoX"},
    {u"Forms", u"GotoY"},          {u"Forms", u"ChannelsView"},
    {u"Forms", u"Setup"},          {u"Forms", u"Print"},
    {u"Forms", u"AsyncDataFile"},  {u"Forms", u"Spectrum"},
    {u"Forms", u"Balancing"},      {u"Forms", u"Start"},
    {u"Forms", u"AsyncAnalysis"},  {u"Forms", u"Cursor"},
    {u"Forms", u"Channel"},        {u"Forms", u"MeasInCurPos"},
    {u"Forms", u"MeasBetweenCur"}, {u"Forms", u"MeasInTimeDomain"},
    {u"Forms", u"CursorX"},        {u"Forms", u"CursorY"},
    {u"Forms", u"Time"},           {u"Forms", u"Frequency"},
    {u"Forms", u"ChannelA"},       {u"Forms", u"ChannelB"},
    {u"Forms", u"RMSValue"},       {u"Forms", u"AVGValue"},
    {u"Forms", u"PkPkValue"},
};

std::u16string TfTimeGraph::Text(TText text) { return LangText(LangKeys[text]).Text; }

TfTimeGraph::TfTimeGraph(gui::TComponent* owner, TViewWorkspace& workspace)
    : TWindowFrame(owner, FrameTimeGraph), Workspace(workspace) {
  SolidA = SolidB = true;
  FormCreate();
  fTimeGraph = this;
  WindowServices().TimeGraph = this;
}

TfTimeGraph::~TfTimeGraph() {
  // The controls outlive the plot while the form's base destroys them.
  pbAnalog->OnPaint = nullptr;
  sbScroll->OnChange = nullptr;
  TTimeGraphServices* self = this;
  WindowServices().TimeGraph.compare_exchange_strong(self, nullptr);
  if (fTimeGraph == this) fTimeGraph = nullptr;
}

void TfTimeGraph::FormCreate() {
  SetName("fTimeGraph");
  LayoutFrame(TimeGraphPanelWidth, TimeGraphPanelHeight);
  bCloseC = CreateCaptionButton(this, "bCloseC", sgClose);
  bMaximize = CreateCaptionButton(this, "bMaximize", sgMaximize);
  bMinimize = CreateCaptionButton(this, "bMinimize", sgMinimize);
  PlaceCaptionButtons(bCloseC, bMaximize, bMinimize);
  BuildTimeGraphControls(*this, this, pWindow);
  Plot = std::make_unique<TDisplayA>(pbAnalog);
  Plot->MarginTop = Plot->MarginBottom = 18;
  Plot->MarginLeft = Plot->MarginRight = 38;
  SetConstraints({Width(), 350, 0, 0});
  SetPosition(gui::poScreenCenter);
  BindEvents();
  LayoutTimeGraph(*this, pWindow, Plot->MarginLeft, Plot->MarginRight);
}

void TfTimeGraph::BindEvents() {
  const auto bind = [this](TBitmapButton* b, void (TfTimeGraph::*handler)(gui::TComponent*)) {
    b->OnClick = [this, handler](gui::TComponent* sender) { (this->*handler)(sender); };
  };
  bCloseC->OnClick = [this](gui::TComponent*) { Close(); };
  bMinimize->OnClick = [](gui::TComponent*) {
    if (gui::Application) gui::Application->Minimize();
  };
  bind(bMaximize, &TfTimeGraph::bMaximizeClick);
  bind(bZoomInX, &TfTimeGraph::bZoomInXClick);
  bind(bZoomOutX, &TfTimeGraph::bZoomOutXClick);
  bind(bZoomInY, &TfTimeGraph::bZoomInYClick);
  bind(bZoomOutY, &TfTimeGraph::bZoomOutYClick);
  bind(bZoomPrev, &TfTimeGraph::bZoomPrevClick);
  bind(bZoomAll, &TfTimeGraph::bZoomAllClick);
  bind(bZoomXY, &TfTimeGraph::bZoomXYClick);
  bind(bGotoX, &TfTimeGraph::bGotoCurClick);
  bind(bGotoY, &TfTimeGraph::bGotoCurClick);
  bind(bDisplayChannels, &TfTimeGraph::bDisplayChannelsClick);
  bind(bAsyncFile, &TfTimeGraph::bAsyncFileClick);
  bind(bPrint, &TfTimeGraph::bPrintClick);
  bind(bSetup, &TfTimeGraph::bSetupClick);
  bind(bBalancing, &TfTimeGraph::bBalancingClick);
  bind(bSpectrum, &TfTimeGraph::bSpectrumClick);
  bind(bStartStop, &TfTimeGraph::bStartStopClick);
  for (TBitmapButton* b : {bVoltValue1, bVoltValue2, bVoltDistValue, bMeasValA, bMeasValB})
    bind(b, &TfTimeGraph::bVoltValueClick);
  bind(bCurPos1Label, &TfTimeGraph::bCurPos1LabelClick);
  bind(bCurPos2Label, &TfTimeGraph::bCurPos1LabelClick);
  bind(bDist1Value, &TfTimeGraph::pDistValueClick);
  bind(bDist2Value, &TfTimeGraph::pDistValueClick);
  bind(bVoltDistCh, &TfTimeGraph::pVoltDistChClick);
  bind(bMeasType, &TfTimeGraph::bMeasTypeClick);
  bind(bVoltCur1, &TfTimeGraph::bVoltCur1Click);
  bind(bVoltCur2, &TfTimeGraph::bVoltCur1Click);
  bind(bVoltCh1, &TfTimeGraph::bVoltCh1Click);
  bind(bVoltCh2, &TfTimeGraph::bVoltCh1Click);
  pbAnalog->OnPaint = [this](gui::TComponent*) { Plot->Paint(); };
  pbAnalog->OnMouseDown = [this](gui::TComponent*, gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
    pbAnalogMouseDown(button, shift, x, y);
  };
  pbAnalog->OnMouseMove = [this](gui::TComponent*, gui::TShiftState shift, int x, int y) {
    pbAnalogMouseMove(shift, x, y);
  };
  pbAnalog->OnMouseUp = [this](gui::TComponent*, gui::TMouseButton, gui::TShiftState, int, int) { DragAnchorX = -1; };
  sbScroll->OnChange = [this](gui::TComponent* sender) { sbScrollChange(sender); };
}

void TfTimeGraph::DoShow() {
  TWindowFrame::DoShow();
  TSignalViewServices::Visible = true;
  FormShow();
}

void TfTimeGraph::DoHide() {
  TSignalViewServices::Visible = false;
  TWindowFrame::DoHide();
}

void TfTimeGraph::FormShow() {
  SetColor(FrameActiveColor);
  pWindow->SetColor(WorkPanelColor);
  ShowTexts();
  if (fFFTGraph) {
    bStartStop->SetCaptionW(fFFTGraph->bStartStop->CaptionW());
    if (fFFTGraph->bStartStop->Enabled()) bStartStop->SetBitmap(&fFFTGraph->bStartStop->Bitmap());
  }
  const int32_t fs = FullScale();
  Plot->ViewStart = 0;
  Plot->ViewWidth = TheCore ? TheCore->BuffLength : 0;
  Plot->FullScale = fs;
  Plot->OffsetY = 0;
  Plot->SpanY = 2 * fs;
  ApplyCaptureState();
  const size_t ram = TheCore ? static_cast<size_t>(std::max(TheCore->RamSize, 0)) : 0;
  // New buffers each show; the old ones are freed by the assignment.
  ChannelBufferA.assign(ram, 0.0f);
  ChannelBufferB.assign(ram, 0.0f);
  Redraw();
  SyncScrollBar();
  RefreshReadout();
  MirrorStatus();
  Resize();
}

void TfTimeGraph::ShowTexts() {
  const auto tip = [this](gui::TControl* control, TText text, const char16_t* suffix) {
    TLanguageService::AddToolTip(this, control, Text(text) + suffix);
  };
  tip(bCloseC, ttClose, u"");
  leCaption->SetCaptionW(Text(ttOscilloscope));
  tip(bZoomOutX, ttZoomOut, u" [Ctrl + O]");
  tip(bZoomInX, ttZoomIn, u" [Ctrl + I]");
  tip(bZoomOutY, ttZoomOut, u" [Ctrl + Shift + O]");
  tip(bZoomInY, ttZoomIn, u" [Ctrl + Shift + I]");
  tip(bZoomXY, ttZoomXY, u" [Ctrl + W]");
  tip(bZoomPrev, ttZoomPrev, u" [Ctrl + P]");
  tip(bZoomAll, ttZoomAll, u" [Ctrl + A]");
  tip(bGotoX, ttGotoX, u" [X]");
  tip(bGotoY, ttGotoY, u" [Y]");
  tip(bDisplayChannels, ttChannelsView, u"");
  tip(bSetup, ttSetup, u" [S]");
  tip(bPrint, ttPrint, u"");
  tip(bAsyncFile, ttAsyncDataFile, u"");
  tip(bSpectrum, ttSpectrum, u" [F]");
  tip(bBalancing, ttBalancing, u" [B]");
  bStartStop->SetCaptionW(Text(ttStart));
  tip(bStartStop, ttAsyncAnalysis, u" [Space]");
  for (gui::TControl* c : std::initializer_list<gui::TControl*>{bCurPos1Label, bVoltCur1, bCurPos2Label, bVoltCur2})
    tip(c, ttCursor, u"");
  for (gui::TControl* c : std::initializer_list<gui::TControl*>{bVoltCh1, bVoltCh2, bVoltDistCh})
    tip(c, ttChannel, u"");
  for (gui::TControl* c : std::initializer_list<gui::TControl*>{bCurPos1Value, bVoltValue1, bCurPos2Value, bVoltValue2})
    tip(c, ttMeasInCurPos, u"");
  for (gui::TControl* c : std::initializer_list<gui::TControl*>{bDist1Value, bDist2Value, bVoltDistValue})
    tip(c, ttMeasBetweenCur, u"");
  tip(bMeasType, ttMeasInTimeDomain, u"");
}

// The commands a running capture bars.
void TfTimeGraph::ApplyCaptureState() {
  const bool running = TheCore && TheCore->Measuring;
  const bool async = TheCore && TheCore->AsyncMode;
  if (running && !async) bStartStop->SetEnabled(false);
  bSetup->SetEnabled(!running);
  bPrint->SetEnabled(!running);
  bCloseC->SetEnabled(!(running && async));
  bBalancing->SetEnabled(!(running && async));
}

void TfTimeGraph::Resize() {
  TWindowFrame::Resize();
  if (!Plot) return;
  LayoutTimeGraph(*this, pWindow, Plot->MarginLeft, Plot->MarginRight);
  Plot->Paint();
  Invalidate();
}

void TfTimeGraph::DoClose(gui::TCloseAction& action) {
  TWindowFrame::DoClose(action);
  if (!TheCore || action == gui::caNone) return;
  const bool spectrumShown = fFFTGraph && fFFTGraph->WindowVisible();
  if (!spectrumShown && TheCore->Measuring && TheCore->AsyncMode) {
    // The free-running capture feeds this window: stop it first.
    action = gui::caNone;
    bStartStopClick(bStartStop);
    return;
  }
  if (TheCore->AsyncMode && fFFTGraph && !fFFTGraph->WindowVisible()) {
    Workspace.SetAsyncMode(false);
    Workspace.RefreshResults();
  }
  Plot->DataA = Plot->DataB = nullptr;
  std::vector<float>().swap(ChannelBufferA);
  std::vector<float>().swap(ChannelBufferB);
}

int32_t TfTimeGraph::FullScale() const { return TheCore ? TheCore->DriverFullScale() : 0; }

void TfTimeGraph::UpdateUnits() {
  const auto channel = [&](const SensorInfo& sensor, int32_t gain, uint8_t ch, std::u16string& unit, int32_t& range) {
    if (sensor.Type > 2) return;
    const uint8_t q = DisplayQuantity(sensor.Type, TheCore->AmplDispModeOscmV);
    unit = AmplitudeUnitText(q, 1);
    const double converted = TheCore->ConvertAmplitude(TheCore->DriverInputRange(gain), 0.0, q, ch);
    range = static_cast<int32_t>(std::clamp(std::trunc(converted), -2e9, 2e9));
  };
  channel(TheCore->VibSensorA, TheCore->GainA, 0, Plot->UnitA, Plot->RangeA);
  channel(TheCore->VibSensorB, TheCore->GainB, 1, Plot->UnitB, Plot->RangeB);
}

void TfTimeGraph::CopySamples() {
  const bool live = TheCore->AsyncMode != 0;
  const int32_t step = TheCore->BalancingStep;
  FHasSamplesA = FHasSamplesB = false;
  if (!live && (step < 0 || step >= RunCount)) return;
  const std::vector<int32_t>& a = live ? TheCore->LiveDataA : TheCore->Captures[static_cast<size_t>(step)].DataA;
  const std::vector<int32_t>& b = live ? TheCore->LiveDataB : TheCore->Captures[static_cast<size_t>(step)].DataB;
  const auto copy = [&](const std::vector<int32_t>& from, std::vector<float>& to) {
    const size_t n = std::min({static_cast<size_t>(std::max(TheCore->BuffLength, 0)), from.size(), to.size()});
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
}

void TfTimeGraph::RefreshGraph() {
  if (!TheCore || !TheCore->DriverModule) return;
  Plot->ShowA = 1;
  Plot->ShowB = TheCore->Type == 1 ? 1 : 0;
  Plot->SampleRate = TheCore->DriverSamplingFrequency();
  UpdateUnits();
  if (Plot->TotalSamples != TheCore->BuffLength) {
    Plot->TotalSamples = TheCore->BuffLength;
    Plot->ViewStart = 0;
    Plot->ViewWidth = Plot->TotalSamples;
  }
  if (!FKeepSamples) CopySamples();
  // One channel has no channel choice: a view of B alone left from a
  // two-channel job would show nothing, with no button to change it.
  if (TheCore->Type != 1) ChannelsShown = 0;
  // The buffers hold RamSize samples, the record BuffLength of them.
  const bool fits = static_cast<size_t>(std::max(Plot->TotalSamples, 0)) <= ChannelBufferA.size();
  // A record without samples (a run not measured) shows no trace rather
  // than what the buffers kept from another record.
  Plot->DataA = fits && FHasSamplesA && ChannelsShown != 2 ? ChannelBufferA.data() : nullptr;
  Plot->DataB = fits && FHasSamplesB && ChannelsShown != 1 ? ChannelBufferB.data() : nullptr;
  const auto& colours = TheCore->WorkColors;
  Plot->ColorA = colours[wcWorkChA];
  Plot->ColorB = colours[wcWorkChB];
  Plot->BackColor = colours[wcWorkBack];
  Plot->CursorXColor = colours[wcWorkCurX];
  Plot->CursorYColor = colours[wcWorkCurY];
  Plot->GridColor = colours[wcWorkGrid];
  Plot->ValueBandColor = PlotValueBand;
  Plot->BandColor = PlotBand;
  Plot->ValueTextColor = Plot->TimeTextColor = PlotText;
  Plot->SolidA = SolidA ? 1 : 0;
  Plot->SolidB = SolidB ? 1 : 0;
  Plot->Paint();
  UpdateChannelsButton();
}

void TfTimeGraph::Redraw() {
  FKeepSamples = TheCore && TheCore->Measuring;
  RefreshGraph();
  FKeepSamples = false;
}

void TfTimeGraph::UpdateChannelsButton() {
  const bool two = TheCore && TheCore->Type == 1;
  bDisplayChannels->SetEnabled(two);
  if (!two) return;
  SetToolGlyph(bDisplayChannels, ChannelsGlyph(ChannelsShown));
  bDisplayChannels->Repaint();
}

void TfTimeGraph::ClearChannelBuffers() {
  std::fill(ChannelBufferA.begin(), ChannelBufferA.end(), 0.0f);
  std::fill(ChannelBufferB.begin(), ChannelBufferB.end(), 0.0f);
}

void TfTimeGraph::MirrorStatus() {
  TViewStatusControls& status = *this;
  ApplyStatusLine(status, Workspace.StatusLine());
}

void TfTimeGraph::bStartStopClick(gui::TComponent*) {
  Workspace.SetAsyncMode(true);
  Workspace.StartStopAsync();
}

void TfTimeGraph::bSetupClick(gui::TComponent*) { Workspace.SetupCommand(); }

void TfTimeGraph::bBalancingClick(gui::TComponent*) {
  if (gui::TForm* form = Workspace.WorkspaceForm()) form->BringToFront();
}

void TfTimeGraph::bSpectrumClick(gui::TComponent*) { Workspace.SpectrumCommand(); }

void TfTimeGraph::bMaximizeClick(gui::TComponent*) {
  const bool normal = WindowState() == gui::wsNormal;
  SetWindowState(normal ? gui::wsMaximized : gui::wsNormal);
  const gui::TBitmap glyph = StripGlyph(normal ? sgRestore : sgMaximize, gui::clBlack, bMaximize->ButtonColor());
  bMaximize->SetBitmap(&glyph);
}

void TfTimeGraph::bPrintClick(gui::TComponent*) {
  RunPrintCommand(*this, bPrint, Workspace, false,
                  [this](gui::TCanvas& printer, int channel) { PrintPage(printer, channel); });
}

void TfTimeGraph::bAsyncFileClick(gui::TComponent*) {
  if (!TheCore || AsyncFileCommand(*this, bAsyncFile, Workspace, *TheCore) != afOpened) return;
  RefreshGraph();
  RefreshReadout();
}

void TfTimeGraph::bDisplayChannelsClick(gui::TComponent*) {
  const int choice = PopupBelow(this, bDisplayChannels, {{u"A+B"}, {u"A"}, {u"B"}}, ChannelsShown + 1);
  if (choice == 0) return;
  ChannelsShown = static_cast<uint8_t>(choice - 1);
  Redraw();
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
  const uint8_t type = (ValueButtonChannel(sender) == 'B' ? TheCore->VibSensorB : TheCore->VibSensorA).Type;
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
    Plot->Suppress = 1;
    Plot->Print(ch, target, Canvas(), area);
    Plot->Suppress = 0;
    Plot->Paint();
  };
  PaintViewPage(printer, channel, page, Workspace);
}
