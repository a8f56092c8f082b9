#pragma once
// TfSignalView: what the oscilloscope (TfTimeGraph) and the spectrum window
// (TfFFTGraph) both are: a signal window with a plot, a tool bar, the
// workspace's status line, a read-out panel and the state of the capture
// that feeds it. It holds the rules they share: the frame and the commands
// of the shared buttons (start/stop, set-up, balancing, print, maximise,
// channel choice), which commands a running capture bars, the status
// mirror, closing in free-running mode, the zoom history, panning, the wheel
// and the shortcut keys both answer, the colours of the plot and the letters
// of the read-outs. Each window adds its plot, its data and its read-out
// through the hooks below.
//
// It reaches the workspace only through TViewWorkspace.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "languageservice.h"
#include "plotrenderer.h"
#include "viewcontrols.h"
#include "viewnavigation.h"
#include "viewpopup.h"
#include "windowframe.h"
#include "workspaceservices.h"
#include "zoomhistory.h"

class TViewWorkspace;

class TfSignalView : public TWindowFrame, public TSignalViewControls {
 public:
  uint8_t ChannelsShown = 0;  // 0 A and B, 1 A, 2 B
  TZoomHistory<TPlotView> ZoomHistory;
  int32_t DragAnchorX = -1;    // where a pan began in the paint box; -1 none
  int32_t DragStartIndex = 0;  // the view's start (sample or bin) then

  // The window is shown (TControl's flag; the services' atomic mirrors it).
  bool WindowVisible() const { return gui::TControl::Visible(); }
  // The show handler: texts, colours, data and view of the window; the
  // set-up dialog runs it again after a colour change.
  virtual void FormShow() = 0;

  // The commands both tool bars have (the buttons' click handlers).
  void bStartStopClick(gui::TComponent* sender);
  void bSetupClick(gui::TComponent* sender);
  void bBalancingClick(gui::TComponent* sender);
  void bMaximizeClick(gui::TComponent* sender);
  void bDisplayChannelsClick(gui::TComponent* sender);
  void bPrintClick(gui::TComponent* sender);
  void bZoomPrevClick(gui::TComponent* sender);
  // Zoom X in (half the width around the middle, not below the narrowest
  // view) and out (twice the width, kept inside the whole).
  void ZoomXInClick(gui::TComponent* sender);
  void ZoomXOutClick(gui::TComponent* sender);
  virtual void bZoomAllClick(gui::TComponent* sender) = 0;
  virtual void bZoomXYClick(gui::TComponent* sender) = 0;
  virtual void bGotoCurClick(gui::TComponent* sender) = 0;

  // The view before a zoom command changes it, into the history; the latest
  // one back. bZoomPrev is enabled while the history holds one.
  void PushZoom();
  void PopZoom();
  // A zoom command's new view, when it has one: the view before it into the
  // history, then the view changed.
  void ApplyZoom(const std::optional<TPlotView>& view);

  // The texts both windows look up in section "Forms", in the order of
  // TViewText; each window's own are in its own table.
  enum TViewText : size_t {
    vtClose,
    vtOscilloscope,
    vtSpectrum,
    vtZoomOut,
    vtZoomIn,
    vtZoomXY,
    vtZoomPrev,
    vtZoomAll,
    vtGotoX,
    vtGotoY,
    vtChannelsView,
    vtSetup,
    vtPrint,
    vtAsyncDataFile,
    vtBalancing,
    vtStart,
    vtAsyncAnalysis,
    vtCursor,
    vtChannel,
    vtCursorX,
    vtCursorY,
    vtChannelA,
    vtChannelB,
  };
  static const std::vector<TTextKey> LangKeys;
  static std::u16string ViewText(TViewText text);

 protected:
  // What tells the windows apart at construction.
  struct TViewKind {
    const char* Name;      // the form's component name
    TViewText Title;       // the caption
    TViewText OtherTitle;  // the other window's button's tool-tip
    char OtherKey;         // the key that opens the other window
    bool SpectrumPage;     // what the print command prints
    // Closing while a free-running capture runs stops it, unless the other
    // window exists (and, when set, is shown).
    bool OtherMustBeShown;
    int32_t MinViewWidth;  // the narrowest horizontal view
    // A view taken back from the history: its start and width fitted to the
    // record or spectrum shown now, with the vertical offset and span as
    // saved, or (the oscilloscope) as they are.
    bool HistoryRestoresSpan;
  };
  // The parts each window has and names its own way: the zoom buttons, the
  // button that opens the other window, the plot and the services the
  // threads reach the window through.
  struct TOwnParts {
    TBitmapButton* ZoomOutX = nullptr;
    TBitmapButton* ZoomInX = nullptr;
    TBitmapButton* ZoomOutY = nullptr;
    TBitmapButton* ZoomInY = nullptr;
    TBitmapButton* OtherView = nullptr;
    TPlotRenderer* Plot = nullptr;
    TSignalViewServices* Services = nullptr;
  };

  TfSignalView(gui::TComponent* owner, const TFrameStyle& style, TViewWorkspace& workspace, const TViewKind& kind);

  // Creation in three steps: the frame with its caption buttons; then the
  // window builds its controls and plot; then the plot's margins, the size
  // limits, the bindings of the shared commands and the layout. The window
  // binds its own events after it.
  void CreateFrame();
  void FinishCreate(const TOwnParts& own);
  // The plot's paint box calls the window no more: the window's destructor
  // calls it, since the controls outlive the plot while the form's base
  // destroys them.
  void ReleasePlotBox();
  // The colours and the shared texts of the window (the start of a show).
  void ShowFrame();
  // The commands a running capture bars.
  void ApplyCaptureState();
  // bDisplayChannels: enabled with two channels, its glyph the channels shown.
  void UpdateChannelsButton();
  // Copies the workspace's status line (MirrorStatus).
  void MirrorWorkspaceStatus();
  // The colours, trace styles and show flags of the plot before a paint.
  void ApplyPlotLook(TPlotRenderer& plot);

  // One channel has no channel choice: a view of B alone left from a
  // two-channel job would show nothing, with no button to change it, so it
  // falls back to both.
  void FitChannelChoice();
  // The channel choice draws channel A (or B).
  bool ChannelChosen(bool channelA) const { return ChannelsShown != (channelA ? 2 : 1); }
  // The arrays a window hands its plot, one per channel: the core's RamSize
  // zeros each while the window is shown (the old ones freed), none while
  // it is closed.
  template <typename T>
  static void AllocateChannelArrays(std::vector<T>& a, std::vector<T>& b) {
    a.assign(ChannelArraySize(), T{});
    b.assign(ChannelArraySize(), T{});
  }
  template <typename T>
  static void ReleaseChannelArrays(std::vector<T>& a, std::vector<T>& b) {
    std::vector<T>().swap(a);
    std::vector<T>().swap(b);
  }

  // Panning: a press with Shift starts it (true); a move while it lasts
  // sets the view's start (true) for a plot of pxPerIndex over `length`.
  bool StartPan(gui::TShiftState shift, int x);
  bool PanTo(int x, double pxPerIndex, int32_t length);
  // The plot printed by `print` while the screen's plot is held, then
  // repainted.
  void PrintPlotSuppressed(const std::function<void()>& print);

  // A menu below `sender` with an item per letter of `letters` (the texts
  // in that order), the current one marked; a choice goes into `letter`.
  // False when dismissed.
  bool PopupLetter(gui::TComponent* sender, char& letter, std::string_view letters,
                   const std::vector<TPopupItem>& items);
  // The channel letter of a read-out: with one channel every letter of `all`
  // becomes 'A' and no menu opens; with two a menu chooses `letter`. False
  // without a core.
  bool PopupChannel(gui::TComponent* sender, char& letter, std::initializer_list<char*> all);

  void DoShow() override;
  void DoHide() override;
  void DoClose(gui::TCloseAction& action) override;
  void Resize() override;
  void KeyDown(gui::TVirtualKey& key, gui::TShiftState shift) override;
  bool DoMouseWheel(gui::TShiftState shift, int wheelDelta, gui::TPoint mousePos) override;

  // The plot, null until the window has created it.
  TPlotRenderer* Renderer() const { return Own.Plot; }
  // A button's click runs a handler of the window.
  template <class TWindow>
  void BindClick(TBitmapButton* button, void (TWindow::*handler)(gui::TComponent*)) {
    TWindow* window = static_cast<TWindow*>(this);
    button->OnClick = [window, handler](gui::TComponent* sender) { (window->*handler)(sender); };
  }

  // What each window does its own way.
  // The other signal window while it exists.
  virtual TfSignalView* OtherView() const = 0;
  // The positions the view moves in: samples of the record or bins.
  virtual int32_t ViewTotal() const = 0;
  virtual void LayoutControls() = 0;
  // The plot painted as it stands; redrawn after a command of the window.
  virtual void RepaintPlot() = 0;
  virtual void Redraw() = 0;
  // The plot redrawn for a new view and the scroll bars fitted to it.
  virtual void ViewChanged() = 0;
  // The close goes ahead: what the window releases.
  virtual void CloseView() = 0;
  virtual void PrintPage(gui::TCanvas& printer, int channel) = 0;
  // A key of the window's own; true when it was one.
  virtual bool ViewKey(gui::TVirtualKey key, bool ctrl) = 0;

  TViewWorkspace& Workspace;
  TOwnParts Own;

 private:
  static size_t ChannelArraySize();
  void BindCommands();
  void ShowTexts();
  void CtrlKey(gui::TVirtualKey key, bool withShift);
  void PlainKey(gui::TVirtualKey key);

  TViewKind FKind;
};

// The read-outs' letters: a letter button's caption and colour, and the
// colours of the cursors X, Y, T and the channels A, B.
void ShowLetter(TBitmapButton* button, char letter, gui::TColor colour);
gui::TColor CursorColour(char cursor);
gui::TColor ChannelColour(char channel);
// The colour of the workspace's second text (the error line of a DFT).
gui::TColor WorkText2Colour();
