#pragma once
// TfTimeGraph: the oscilloscope window. It shows the time record of channels
// A and B, of the current balancing run or of the free-running capture, as
// traces drawn by its TDisplayA, with two cursors set by the mouse, zoom with
// a history of ten views, panning and a scroll bar, a choice of channels, a
// tool bar, the workspace's status line and a read-out panel. It copies
// samples from the core and computes no signal; the capture threads refresh
// it through TTimeGraphServices, the workspace through the operations below.
//
// The workspace creates it on first use (ShowTimeGraph) with itself as owner;
// closing hides it; the workspace's close destroys it.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "displaya.h"
#include "languageservice.h"
#include "paintbox.h"
#include "scrollbar.h"
#include "timegraphcontrols.h"
#include "windowframe.h"
#include "workspaceservices.h"
#include "zoomhistory.h"

class TViewWorkspace;

class TfTimeGraph : public TWindowFrame, public TTimeGraphControls, public TTimeGraphServices {
 public:
  TfTimeGraph(gui::TComponent* owner, TViewWorkspace& workspace);
  ~TfTimeGraph() override;

  // The plot; owned.
  std::unique_ptr<TDisplayA> Plot;
  // Channel A and B of the shown record as floats (RamSize each while the
  // window is shown, empty while closed).
  std::vector<float> ChannelBufferA, ChannelBufferB;
  uint8_t ChannelsShown = 0;  // 0 A and B, 1 A, 2 B
  struct TZoomEntry {
    int32_t Start = 0, Width = 0;
  };
  TZoomHistory<TZoomEntry> ZoomHistory;
  int32_t DragAnchorX = -1;
  int32_t DragStartSample = 0;
  // Read-out options.
  char CurPos1 = 'X', CurPos2 = 'Y', Dist1Type = 't', Dist2Type = 'f', VoltCur1 = 'X', VoltCh1 = 'A', VoltCur2 = 'Y',
       VoltCh2 = 'A', VoltDistCh = 'A', MeasType = 'R';

  // TTimeGraphServices: the capture threads' and the workspace's refreshes.
  void RefreshGraph() override;
  void RefreshReadout() override;
  void MirrorStatus() override;
  // Fits sbScroll to the plot's view.
  void SyncScrollBar();
  // Zero-fills both channel buffers (a new session).
  void ClearChannelBuffers();
  // Texts, colours, buffers and the whole-record view; the set-up dialog
  // runs it again after a colour change.
  void FormShow();
  // The window is shown (TControl's flag; the services' atomic mirrors it).
  bool WindowVisible() const { return gui::TControl::Visible(); }

  // Read-out texts.
  std::u16string CursorValueText(char cursor, char channel) const;
  std::u16string CursorDifferenceText(char cursor1, char cursor2, char channel) const;
  std::u16string CursorDistanceText(char cursor1, char cursor2, char type) const;

  // Tool-bar and read-out commands (the buttons' click handlers).
  void bStartStopClick(gui::TComponent* sender);
  void bSetupClick(gui::TComponent* sender);
  void bBalancingClick(gui::TComponent* sender);
  void bSpectrumClick(gui::TComponent* sender);
  void bPrintClick(gui::TComponent* sender);
  void bAsyncFileClick(gui::TComponent* sender);
  void bDisplayChannelsClick(gui::TComponent* sender);
  void bVoltValueClick(gui::TComponent* sender);
  void bMaximizeClick(gui::TComponent* sender);
  void bCurPos1LabelClick(gui::TComponent* sender);
  void pDistValueClick(gui::TComponent* sender);
  void pVoltDistChClick(gui::TComponent* sender);
  void bMeasTypeClick(gui::TComponent* sender);
  void bVoltCur1Click(gui::TComponent* sender);
  void bVoltCh1Click(gui::TComponent* sender);

  // View navigation.
  void PushZoom();
  void PopZoom();
  void bZoomInXClick(gui::TComponent* sender);
  void bZoomOutXClick(gui::TComponent* sender);
  void bZoomInYClick(gui::TComponent* sender);
  void bZoomOutYClick(gui::TComponent* sender);
  void bZoomAllClick(gui::TComponent* sender);
  void bZoomPrevClick(gui::TComponent* sender);
  void bZoomXYClick(gui::TComponent* sender);
  void bGotoCurClick(gui::TComponent* sender);
  void sbScrollChange(gui::TComponent* sender);

  // The texts the window looks up in section "Forms", in the order of TText.
  enum TText : size_t {
    ttClose,
    ttOscilloscope,
    ttZoomOut,
    ttZoomIn,
    ttZoomXY,
    ttZoomPrev,
    ttZoomAll,
    ttGotoX,
    ttGotoY,
    ttChannelsView,
    ttSetup,
    ttPrint,
    ttAsyncDataFile,
    ttSpectrum,
    ttBalancing,
    ttStart,
    ttAsyncAnalysis,
    ttCursor,
    ttChannel,
    ttMeasInCurPos,
    ttMeasBetweenCur,
    ttMeasInTimeDomain,
    ttCursorX,
    ttCursorY,
    ttTime,
    ttFrequency,
    ttChannelA,
    ttChannelB,
    ttRMSValue,
    ttAVGValue,
    ttPkPkValue,
  };
  static const std::vector<TTextKey> LangKeys;
  static std::u16string Text(TText text);

 protected:
  void DoShow() override;
  void DoHide() override;
  void DoClose(gui::TCloseAction& action) override;
  void Resize() override;
  void KeyDown(gui::TVirtualKey& key, gui::TShiftState shift) override;
  bool DoMouseWheel(gui::TShiftState shift, int wheelDelta, gui::TPoint mousePos) override;

 private:
  void FormCreate();
  void BindEvents();
  void ShowTexts();
  void ApplyCaptureState();
  void UpdateChannelsButton();
  void UpdateUnits();
  // Copies the present record into the channel buffers; FHasSamplesA/B tell
  // which channels it had.
  void CopySamples();
  // The channel whose units a value button shows: 'B' for bMeasValB and
  // for a level button set to channel B, else 'A'.
  char ValueButtonChannel(gui::TComponent* button) const;
  // A redraw outside a capture's hand-over (a command of the window, the
  // show): while a capture runs its thread writes the samples, so the
  // buffers keep the record of the capture's last hand-over.
  void Redraw();
  void SetView(int32_t start, int32_t width);
  void pbAnalogMouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y);
  void pbAnalogMouseMove(gui::TShiftState shift, int x, int y);
  void PrintPage(gui::TCanvas& printer, int channel);
  int32_t FullScale() const;
  int32_t CursorIndex(char cursor) const;
  int32_t CursorLevel(char cursor) const;
  std::u16string LevelTextOf(double counts, char channel) const;

  TViewWorkspace& Workspace;
  bool FKeepSamples = false;
  bool FHasSamplesA = false, FHasSamplesB = false;
};

// The oscilloscope window while it exists, else null.
extern TfTimeGraph* fTimeGraph;
