#pragma once
// TfTimeGraph: the oscilloscope window, a signal window (TfSignalView). It
// shows the time record of channels A and B, of the current balancing run or
// of the free-running capture, as traces drawn by its TDisplayA, with two
// cursors set by the mouse. What it adds to the signal window: the channel
// buffers copied from the core, the units of the sensors' quantities, the
// zoom limits of the record and one scroll bar, and the read-out of levels,
// times and distances at the cursors and the measurement over the record
// (timegraphreadout.cpp; the navigation in timegraphnavigation.cpp). It
// computes no signal; the capture threads refresh it through
// TTimeGraphServices, the workspace through the operations below.
//
// The workspace creates it on first use (ShowTimeGraph) with itself as owner;
// closing hides it; the workspace's close destroys it.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "channelstats.h"
#include "displaya.h"
#include "signalview.h"
#include "timegraphcontrols.h"

class TfTimeGraph : public TfSignalView, public TTimeGraphControls, public TTimeGraphServices {
 public:
  TfTimeGraph(gui::TComponent* owner, TViewWorkspace& workspace);
  ~TfTimeGraph() override;

  // The plot; owned.
  std::unique_ptr<TDisplayA> Plot;
  // Channel A and B of the shown record as floats (RamSize each while the
  // window is shown, empty while closed).
  std::vector<float> ChannelBufferA, ChannelBufferB;
  // Read-out options.
  char CurPos1 = 'X', CurPos2 = 'Y', Dist1Type = 't', Dist2Type = 'f', VoltCur1 = 'X', VoltCh1 = 'A', VoltCur2 = 'Y',
       VoltCh2 = 'A', VoltDistCh = 'A', MeasType = 'R';

  // TTimeGraphServices: the capture threads' and the workspace's refreshes.
  // A refresh copies the present record into the channel buffers.
  void RefreshGraph() override { DrawRecord(true); }
  void RefreshReadout() override;
  void MirrorStatus() override { MirrorWorkspaceStatus(); }
  // Fits sbScroll to the plot's view.
  void SyncScrollBar();
  // Zero-fills both channel buffers (a new session).
  void ClearChannelBuffers();
  // Texts, colours, buffers and the whole-record view.
  void FormShow() override;

  // Read-out texts.
  std::u16string CursorValueText(char cursor, char channel) const;
  std::u16string CursorDifferenceText(char cursor1, char cursor2, char channel) const;
  std::u16string CursorDistanceText(char cursor1, char cursor2, char type) const;

  // Tool-bar and read-out commands (the buttons' click handlers).
  void bSpectrumClick(gui::TComponent* sender);
  void bAsyncFileClick(gui::TComponent* sender);
  void bVoltValueClick(gui::TComponent* sender);
  void bCurPos1LabelClick(gui::TComponent* sender);
  void pDistValueClick(gui::TComponent* sender);
  void pVoltDistChClick(gui::TComponent* sender);
  void bMeasTypeClick(gui::TComponent* sender);
  void bVoltCur1Click(gui::TComponent* sender);
  void bVoltCh1Click(gui::TComponent* sender);

  // View navigation.
  void bZoomInYClick(gui::TComponent* sender);
  void bZoomOutYClick(gui::TComponent* sender);
  void bZoomAllClick(gui::TComponent* sender) override;
  void bZoomXYClick(gui::TComponent* sender) override;
  void bGotoCurClick(gui::TComponent* sender) override;
  void sbScrollChange(gui::TComponent* sender);

  // The window's own texts in section "Forms", in the order of TText; those
  // it shares with the spectrum window are TfSignalView's.
  enum TText : size_t {
    ttMeasInCurPos, ttMeasBetweenCur, ttMeasInTimeDomain, ttTime, ttFrequency, ttRMSValue, ttAVGValue, ttPkPkValue
  };
  static const std::vector<TTextKey> LangKeys;
  static std::u16string Text(TText text);

 protected:
  TfSignalView* OtherView() const override;
  int32_t ViewTotal() const override { return Plot->TotalSamples; }
  void LayoutControls() override;
  void RepaintPlot() override { Plot->Paint(); }
  // A redraw outside a capture's hand-over (a command of the window, the
  // show): while a capture runs its thread writes the samples, so the
  // buffers keep the record of the capture's last hand-over.
  void Redraw() override;
  void ViewChanged() override {
    Redraw();
    SyncScrollBar();
  }
  void CloseView() override;
  void PrintPage(gui::TCanvas& printer, int channel) override;
  bool ViewKey(gui::TVirtualKey key, bool ctrl) override;

 private:
  void BindEvents();
  void ShowOwnTexts();
  // Copies the samples and settings into the plot and redraws; with
  // copySamples the present record is copied into the channel buffers
  // first, else they keep what they hold.
  void DrawRecord(bool copySamples);
  void UpdateUnits();
  // Copies the present record into the channel buffers; FHasSamplesA/B tell
  // which channels it had, FStatsA/B hold its statistics.
  void CopySamples();
  // The channel whose units a value button shows: 'B' for bMeasValB and
  // for a level button set to channel B, else 'A'.
  char ValueButtonChannel(gui::TComponent* button) const;
  void pbAnalogMouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y);
  void pbAnalogMouseMove(gui::TShiftState shift, int x, int y);
  int32_t FullScale() const;
  int32_t CursorIndex(char cursor) const;
  int32_t CursorLevel(char cursor) const;
  std::u16string LevelTextOf(double counts, char channel) const;

  bool FHasSamplesA = false, FHasSamplesB = false;
  // The statistics of the record in the channel buffers, taken with its
  // copy (the core's belong to the capture evaluated last, which need not
  // be the record shown); none for a channel the record lacks.
  std::optional<TChannelStats> FStatsA, FStatsB;
};

// The oscilloscope window while it exists, else null.
extern TfTimeGraph* fTimeGraph;
