#include "signalview.h"

#include <algorithm>

#include "application.h"
#include "viewprint.h"
#include "viewworkspace.h"
#include "workcolors.h"
#include "zelto.h"

namespace {

gui::TColor WorkColour(TWorkColor entry) { return TheCore ? TheCore->WorkColors[entry] : 0; }

// The colours the plots draw with besides the configured ones.
constexpr gui::TColor PlotValueBand = 0xE1FFFF, PlotBand = 0xF3F3F3, PlotText = 0x606060;

// A key's command runs only while its button is enabled.
void ClickIfEnabled(TBitmapButton* button) {
  if (button->Enabled()) button->Click();
}

// A command reached directly (a key, the wheel), whatever its button's state.
void RunCommand(TBitmapButton* button) {
  if (button && button->OnClick) button->OnClick(button);
}

}  // namespace

const std::vector<TTextKey> TfSignalView::LangKeys = {
    {u"Forms", u"Close"},         {u"Forms", u"Oscilloscope"},  {u"Forms", u"Spectrum"},
    {u"Forms", u"ZoomOut"},       {u"Forms", u"ZoomIn"},        {u"Forms", u"ZoomXY"},
    {u"Forms", u"ZoomPrev"},      {u"Forms", u"ZoomAll"},       {u"Forms", u"GotoX"},
    {u"Forms", u"GotoY"},         {u"Forms", u"ChannelsView"},  {u"Forms", u"Setup"},
    {u"Forms", u"Print"},         {u"Forms", u"AsyncDataFile"}, {u"Forms", u"Balancing"},
    {u"Forms", u"Start"},         {u"Forms", u"AsyncAnalysis"}, {u"Forms", u"Cursor"},
    {u"Forms", u"Channel"},       {u"Forms", u"CursorX"},       {u"Forms", u"CursorY"},
    {u"Forms", u"ChannelA"},      {u"Forms", u"ChannelB"},
};

std::u16string TfSignalView::ViewText(TViewText text) { return LangText(LangKeys[text]).Text; }

TfSignalView::TfSignalView(gui::TComponent* owner, const TFrameStyle& style, TViewWorkspace& workspace,
                           const TViewKind& kind)
    : TWindowFrame(owner, style), Workspace(workspace), FKind(kind) {}

void TfSignalView::CreateFrame() {
  SetName(FKind.Name);
  LayoutFrame(SignalViewPanelWidth, SignalViewPanelHeight);
  bCloseC = CreateCaptionButton(this, "bCloseC", sgClose);
  bMaximize = CreateCaptionButton(this, "bMaximize", sgMaximize);
  bMinimize = CreateCaptionButton(this, "bMinimize", sgMinimize);
  PlaceCaptionButtons(bCloseC, bMaximize, bMinimize);
}

void TfSignalView::FinishCreate(const TOwnParts& own) {
  Own = own;
  Own.Services->SolidA = Own.Services->SolidB = true;
  TPlotRenderer& plot = *Renderer();
  plot.MarginTop = plot.MarginBottom = 18;
  plot.MarginLeft = plot.MarginRight = 38;
  SetConstraints({Width(), 350, 0, 0});
  SetPosition(gui::poScreenCenter);
  BindCommands();
  LayoutControls();
}

void TfSignalView::BindCommands() {
  bCloseC->OnClick = [this](gui::TComponent*) { Close(); };
  bMinimize->OnClick = [](gui::TComponent*) {
    if (gui::Application) gui::Application->Minimize();
  };
  BindClick(bMaximize, &TfSignalView::bMaximizeClick);
  BindClick(bStartStop, &TfSignalView::bStartStopClick);
  BindClick(bSetup, &TfSignalView::bSetupClick);
  BindClick(bBalancing, &TfSignalView::bBalancingClick);
  BindClick(bPrint, &TfSignalView::bPrintClick);
  BindClick(bDisplayChannels, &TfSignalView::bDisplayChannelsClick);
  BindClick(Own.ZoomInX, &TfSignalView::ZoomXInClick);
  BindClick(Own.ZoomOutX, &TfSignalView::ZoomXOutClick);
  BindClick(bZoomAll, &TfSignalView::bZoomAllClick);
  BindClick(bZoomPrev, &TfSignalView::bZoomPrevClick);
  BindClick(bZoomXY, &TfSignalView::bZoomXYClick);
  BindClick(bGotoX, &TfSignalView::bGotoCurClick);
  BindClick(bGotoY, &TfSignalView::bGotoCurClick);
  gui::TPaintBox* box = Renderer()->PaintBox;
  box->OnPaint = [this](gui::TComponent*) { RepaintPlot(); };
  box->OnMouseUp = [this](gui::TComponent*, gui::TMouseButton, gui::TShiftState, int, int) { DragAnchorX = -1; };
}

void TfSignalView::ReleasePlotBox() {
  gui::TPaintBox* box = Renderer()->PaintBox;
  box->OnPaint = nullptr;
  box->OnMouseDown = nullptr;
  box->OnMouseMove = nullptr;
  box->OnMouseUp = nullptr;
}

void TfSignalView::DoShow() {
  TWindowFrame::DoShow();
  Own.Services->Visible = true;
  FormShow();
}

void TfSignalView::DoHide() {
  Own.Services->Visible = false;
  TWindowFrame::DoHide();
}

void TfSignalView::ShowFrame() {
  SetColor(FrameActiveColor);
  pWindow->SetColor(WorkPanelColor);
  ShowTexts();
}

void TfSignalView::ShowTexts() {
  const auto tip = [this](gui::TControl* control, TViewText text, std::u16string_view suffix) {
    TLanguageService::AddToolTip(this, control, ViewText(text) + std::u16string(suffix));
  };
  tip(bCloseC, vtClose, u"");
  leCaption->SetCaptionW(ViewText(FKind.Title));
  tip(Own.ZoomOutX, vtZoomOut, u" [Ctrl + O]");
  tip(Own.ZoomInX, vtZoomIn, u" [Ctrl + I]");
  tip(Own.ZoomOutY, vtZoomOut, u" [Ctrl + Shift + O]");
  tip(Own.ZoomInY, vtZoomIn, u" [Ctrl + Shift + I]");
  tip(bZoomXY, vtZoomXY, u" [Ctrl + W]");
  tip(bZoomPrev, vtZoomPrev, u" [Ctrl + P]");
  tip(bZoomAll, vtZoomAll, u" [Ctrl + A]");
  tip(bGotoX, vtGotoX, u" [X]");
  tip(bGotoY, vtGotoY, u" [Y]");
  tip(bDisplayChannels, vtChannelsView, u"");
  tip(bSetup, vtSetup, u" [S]");
  tip(bPrint, vtPrint, u"");
  tip(bAsyncFile, vtAsyncDataFile, u"");
  tip(Own.OtherView, FKind.OtherTitle, u" [" + std::u16string(1, static_cast<char16_t>(FKind.OtherKey)) + u"]");
  tip(bBalancing, vtBalancing, u" [B]");
  bStartStop->SetCaptionW(ViewText(vtStart));
  // Both windows show the same start/stop state.
  if (const TfSignalView* other = OtherView()) {
    bStartStop->SetCaptionW(other->bStartStop->CaptionW());
    if (other->bStartStop->Enabled()) bStartStop->SetBitmap(&other->bStartStop->Bitmap());
  }
  tip(bStartStop, vtAsyncAnalysis, u" [Space]");
}

void TfSignalView::ApplyCaptureState() {
  const bool running = TheCore && TheCore->Measuring;
  const bool async = TheCore && TheCore->AsyncMode;
  if (running && !async) bStartStop->SetEnabled(false);
  bSetup->SetEnabled(!running);
  bPrint->SetEnabled(!running);
  bCloseC->SetEnabled(!(running && async));
  bBalancing->SetEnabled(!(running && async));
}

void TfSignalView::Resize() {
  TWindowFrame::Resize();
  if (!Renderer()) return;
  LayoutControls();
  RepaintPlot();
  Invalidate();
}

void TfSignalView::DoClose(gui::TCloseAction& action) {
  TWindowFrame::DoClose(action);
  if (!TheCore || action == gui::caNone) return;
  const TfSignalView* other = OtherView();
  const bool shownElsewhere = other && (!FKind.OtherMustBeShown || other->WindowVisible());
  if (!shownElsewhere && TheCore->Measuring && TheCore->AsyncMode) {
    // The free-running capture feeds this window: stop it first; the user
    // closes the window again once it has stopped.
    action = gui::caNone;
    bStartStopClick(bStartStop);
    return;
  }
  if (TheCore->AsyncMode && other && !other->WindowVisible()) {
    Workspace.SetAsyncMode(false);
    Workspace.RefreshResults();
  }
  CloseView();
}

void TfSignalView::UpdateChannelsButton() {
  const bool two = TheCore && TheCore->Type == 1;
  bDisplayChannels->SetEnabled(two);
  if (!two) return;
  SetToolGlyph(bDisplayChannels, ChannelsGlyph(ChannelsShown));
  bDisplayChannels->Repaint();
}

void TfSignalView::MirrorWorkspaceStatus() {
  TViewStatusControls& status = *this;
  ApplyStatusLine(status, Workspace.StatusLine());
}

void TfSignalView::ApplyPlotLook(TPlotRenderer& plot) {
  plot.ColorA = WorkColour(wcWorkChA);
  plot.ColorB = WorkColour(wcWorkChB);
  plot.BackColor = WorkColour(wcWorkBack);
  plot.CursorXColor = WorkColour(wcWorkCurX);
  plot.CursorYColor = WorkColour(wcWorkCurY);
  plot.GridColor = WorkColour(wcWorkGrid);
  plot.ValueBandColor = PlotValueBand;
  plot.BandColor = PlotBand;
  plot.ValueTextColor = PlotText;
  plot.ShowA = 1;
  plot.ShowB = TheCore && TheCore->Type == 1 ? 1 : 0;
  plot.SolidA = Own.Services->SolidA ? 1 : 0;
  plot.SolidB = Own.Services->SolidB ? 1 : 0;
}

void TfSignalView::FitChannelChoice() {
  if (TheCore && TheCore->Type != 1) ChannelsShown = 0;
}

size_t TfSignalView::ChannelArraySize() {
  return TheCore ? static_cast<size_t>(std::max(TheCore->LongestRecord(), 0)) : 0;
}

void TfSignalView::bStartStopClick(gui::TComponent*) {
  Workspace.SetAsyncMode(true);
  Workspace.StartStopAsync();
}

void TfSignalView::bSetupClick(gui::TComponent*) { Workspace.SetupCommand(); }

void TfSignalView::bBalancingClick(gui::TComponent*) {
  if (gui::TForm* form = Workspace.WorkspaceForm()) form->BringToFront();
}

void TfSignalView::bMaximizeClick(gui::TComponent*) {
  const bool normal = WindowState() == gui::wsNormal;
  SetWindowState(normal ? gui::wsMaximized : gui::wsNormal);
  const gui::TBitmap glyph = StripGlyph(normal ? sgRestore : sgMaximize, gui::clBlack, bMaximize->ButtonColor());
  bMaximize->SetBitmap(&glyph);
}

void TfSignalView::bDisplayChannelsClick(gui::TComponent*) {
  const int choice = PopupBelow(this, bDisplayChannels, {{u"A+B"}, {u"A"}, {u"B"}}, ChannelsShown + 1);
  if (choice == 0) return;
  ChannelsShown = static_cast<uint8_t>(choice - 1);
  Redraw();
}

void TfSignalView::bPrintClick(gui::TComponent*) {
  RunPrintCommand(*this, bPrint, Workspace, FKind.SpectrumPage,
                  [this](gui::TCanvas& printer, int channel) { PrintPage(printer, channel); });
}

void TfSignalView::PrintPlotSuppressed(const std::function<void()>& print) {
  TPlotRenderer& plot = *Renderer();
  plot.Suppress = 1;
  print();
  plot.Suppress = 0;
  RepaintPlot();
}

void TfSignalView::PushZoom() {
  ZoomHistory.Push(Renderer()->View());
  bZoomPrev->SetEnabled(true);
}

void TfSignalView::PopZoom() {
  const auto view = ZoomHistory.Pop();
  if (!view) return;
  TPlotRenderer& plot = *Renderer();
  // The view was saved on another record or transform perhaps: it comes
  // back inside the positions shown now.
  const TPlotView saved =
      FKind.HistoryRestoresSpan ? *view : TPlotView{view->ViewStart, view->ViewWidth, plot.OffsetY, plot.SpanY};
  plot.SetView(FitView(saved, ViewTotal()));
  if (ZoomHistory.Count() == 0) bZoomPrev->SetEnabled(false);
}

void TfSignalView::ApplyZoom(const std::optional<TPlotView>& view) {
  if (!view) return;
  PushZoom();
  Renderer()->SetView(*view);
  ViewChanged();
}

void TfSignalView::ZoomXInClick(gui::TComponent*) {
  ApplyZoom(ZoomXIn(Renderer()->View(), ViewTotal(), FKind.MinViewWidth));
}

void TfSignalView::ZoomXOutClick(gui::TComponent*) { ApplyZoom(ZoomXOut(Renderer()->View(), ViewTotal())); }

void TfSignalView::bZoomPrevClick(gui::TComponent*) {
  PopZoom();
  ViewChanged();
}

bool TfSignalView::StartPan(gui::TShiftState shift, int x) {
  if (!(shift & gui::ssShift)) return false;
  DragAnchorX = x;
  DragStartIndex = Renderer()->ViewStart;
  return true;
}

bool TfSignalView::PanTo(int x, double pxPerIndex, int32_t length) {
  if (DragAnchorX == -1) return false;
  TPlotRenderer& plot = *Renderer();
  plot.ViewStart = PannedStart(DragStartIndex, DragAnchorX, x, pxPerIndex, plot.ViewWidth, length);
  return true;
}

bool TfSignalView::DoMouseWheel(gui::TShiftState shift, int wheelDelta, gui::TPoint mousePos) {
  const gui::TPaintBox* box = Renderer()->PaintBox;
  const gui::TPoint origin = box->ClientToScreen({0, 0});
  const bool over = mousePos.x >= origin.x && mousePos.x <= origin.x + box->Width() && mousePos.y >= origin.y &&
                    mousePos.y <= origin.y + box->Height();
  if (!over) return TWindowFrame::DoMouseWheel(shift, wheelDelta, mousePos);
  const bool vertical = (shift & gui::ssShift) != 0;
  if (wheelDelta > 0)
    RunCommand(vertical ? Own.ZoomInY : Own.ZoomInX);
  else
    RunCommand(vertical ? Own.ZoomOutY : Own.ZoomOutX);
  return true;
}

// The window sees keys before its controls and does not consume them.
void TfSignalView::KeyDown(gui::TVirtualKey& key, gui::TShiftState shift) {
  const bool ctrl = (shift & gui::ssCtrl) != 0;
  if (!ViewKey(key, ctrl)) {
    if (ctrl)
      CtrlKey(key, (shift & gui::ssShift) != 0);
    else
      PlainKey(key);
  }
  TWindowFrame::KeyDown(key, shift);
}

// The Ctrl keys act whatever their buttons' state.
void TfSignalView::CtrlKey(gui::TVirtualKey key, bool withShift) {
  switch (key) {
    case 'I': RunCommand(withShift ? Own.ZoomInY : Own.ZoomInX); break;
    case 'O': RunCommand(withShift ? Own.ZoomOutY : Own.ZoomOutX); break;
    case 'A': bZoomAllClick(bZoomAll); break;
    case 'W': bZoomXYClick(bZoomXY); break;
    case 'P': bZoomPrevClick(bZoomPrev); break;
    case gui::VK_TAB: bBalancingClick(bBalancing); break;
    default: break;
  }
}

void TfSignalView::PlainKey(gui::TVirtualKey key) {
  if (key == static_cast<gui::TVirtualKey>(FKind.OtherKey)) {
    ClickIfEnabled(Own.OtherView);
    return;
  }
  switch (key) {
    case 'B': ClickIfEnabled(bBalancing); break;
    case 'S': ClickIfEnabled(bSetup); break;
    case gui::VK_SPACE: ClickIfEnabled(bStartStop); break;
    default: break;
  }
}

bool TfSignalView::PopupLetter(gui::TComponent* sender, char& letter, std::string_view letters,
                               const std::vector<TPopupItem>& items) {
  const size_t current = letters.find(letter);
  const int checked = current == std::string_view::npos ? 0 : static_cast<int>(current) + 1;
  const int choice = PopupBelow(this, static_cast<gui::TControl*>(sender), items, checked);
  if (choice == 0) return false;
  letter = letters[static_cast<size_t>(choice - 1)];
  return true;
}

bool TfSignalView::PopupChannel(gui::TComponent* sender, char& letter, std::initializer_list<char*> all) {
  if (!TheCore) return false;
  if (TheCore->Type != 1) {
    for (char* each : all) *each = 'A';
    return true;
  }
  PopupLetter(sender, letter, "AB", {{ViewText(vtChannelA)}, {ViewText(vtChannelB)}});
  return true;
}

void ShowLetter(TBitmapButton* button, char letter, gui::TColor colour) {
  button->Font().SetColor(colour);
  button->SetCaptionW(std::u16string(1, static_cast<char16_t>(letter)));
}

gui::TColor CursorColour(char cursor) {
  return WorkColour(cursor == 'X' ? wcWorkCurX : cursor == 'Y' ? wcWorkCurY : wcWorkCurT);
}

gui::TColor ChannelColour(char channel) { return WorkColour(channel == 'A' ? wcWorkChA : wcWorkChB); }

gui::TColor WorkText2Colour() { return WorkColour(wcWorkText2); }
