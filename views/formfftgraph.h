#pragma once
// TfFFTGraph: the spectrum window. It shows the amplitude spectra of channel
// A and, with two channels, B, of the current run or of the free-running
// capture, drawn by its TDisplayFFT. It computes no spectrum: while it is
// shown it owns the one TSpectrumThread, which writes the core's spectra;
// the window converts them into the displayed unit, chooses FFT of the
// buffer or DFT over the run's revolution window and the window function,
// and mirrors the workspace's status line with the DFT's progress. The
// read-out rows, the band RMS, the navigation and the print page are in
// their own units (fftgraphreadout.cpp, fftgraphnavigation.cpp, viewprint).
//
// The workspace creates it on first use (ShowFFTGraph); closing hides it.

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "displayfft.h"
#include "fftgraphcontrols.h"
#include "languageservice.h"
#include "spectrumnavigation.h"
#include "spectrumreadout.h"
#include "windowframe.h"
#include "workspaceservices.h"
#include "zoomhistory.h"

class TViewWorkspace;

// The window functions' names, indexed by the core's WindowType; an empty
// row ends the list.
extern const std::array<std::u16string_view, 9> WindowTypeNames;

class TfFFTGraph : public TWindowFrame, public TFFTGraphControls, public TSpectrumViewServices {
 public:
  TfFFTGraph(gui::TComponent* owner, TViewWorkspace& workspace);
  ~TfFFTGraph() override;

  std::unique_ptr<TDisplayFFT> Plot;
  uint8_t ChannelsShown = 0;  // 0 A and B, 1 A, 2 B
  // Display values per bin (RamSize each while shown, empty while hidden).
  std::vector<double> DisplayA, DisplayB;
  uint8_t LinearScale = 1;
  TZoomHistory<TSpectrumView> ZoomHistory;
  int32_t DragAnchorX = -1;
  int32_t DragStartBin = 0;
  std::u16string ProcessingText;
  std::array<char, 3> MeasCur = {'T', 'X', 'Y'};
  std::array<char, 3> MeasCh = {'A', 'A', 'A'};
  uint8_t RmsType = 0;
  uint8_t LedBlink = 0;

  // TSpectrumViewServices: the spectrum thread's and the workspace's refreshes.
  void PlotSpectrum(bool rescale) override;
  void RefreshInfoPanel() override;
  void MirrorStatus() override;
  void UpdateButtonStates();
  void SyncScrollBars();
  // Texts and colours, the display arrays and the spectrum thread while the
  // window is shown; the set-up dialog runs it again after a colour change
  // (then no second thread is started and nothing is allocated anew).
  void FormShow();
  bool WindowVisible() const { return gui::TControl::Visible(); }

  // The read-out (Part of the info panel).
  static double SpectrumGain() { return 1.0; }
  // The bins of the transform the present settings ask for (FFT of the
  // buffer or DFT over the run's window) and their frequencies.
  TBinScale BinScale() const;
  int32_t FrequencyToBin(double f) const;
  std::u16string CursorFrequencyText(char cursor) const;
  // kind 'A' the amplitude, 'P' the phase.
  std::u16string CursorReadoutText(char cursor, char channel, char kind) const;
  // The RMS over band RmsType in display units; the caller holds the core's
  // SignalLock.
  double BandRms(uint8_t channel) const;
  // The cursor-position dialog for cursor 'X' or 'Y' at `bin`: the new bin,
  // or -1 when it was not closed with OK.
  int32_t AskCursorPosition(char letter, int32_t bin);

  // Commands.
  void bStartStopClick(gui::TComponent* sender);
  void bSetupClick(gui::TComponent* sender);
  void bOscilloscopeClick(gui::TComponent* sender);
  void bBalancingClick(gui::TComponent* sender);
  void bValueClick(gui::TComponent* sender);
  void bPrintClick(gui::TComponent* sender);
  void bAsyncFileClick(gui::TComponent* sender);
  void bDisplayChannelsClick(gui::TComponent* sender);
  void bLogLinClick(gui::TComponent* sender);
  void bSpectrumTypeClick(gui::TComponent* sender);
  void bWindowTypeClick(gui::TComponent* sender);
  void bRmsTypeClick(gui::TComponent* sender);
  void bMaximizeClick(gui::TComponent* sender);
  void pMeasCurClick(gui::TComponent* sender);
  void pMeasChClick(gui::TComponent* sender);
  void bFreqClick(gui::TComponent* sender);
  void tProgressTimer(gui::TComponent* sender);

  // Navigation.
  void PushZoom();
  void PopZoom();
  void bZoomXInClick(gui::TComponent* sender);
  void bZoomXOutClick(gui::TComponent* sender);
  void bZoomYInClick(gui::TComponent* sender);
  void bZoomYOutClick(gui::TComponent* sender);
  void bZoomAllClick(gui::TComponent* sender);
  void bZoomPrevClick(gui::TComponent* sender);
  void bZoomXYClick(gui::TComponent* sender);
  void bGotoCurClick(gui::TComponent* sender);
  void bGotoTAndZoomClick(gui::TComponent* sender);

  enum TText : size_t {
    ftClose,
    ftSpectrum,
    ftZoomOut,
    ftZoomIn,
    ftZoomXY,
    ftZoomPrev,
    ftZoomAll,
    ftGotoX,
    ftGotoY,
    ftGotoT,
    ftGotoTAndZoom,
    ftLogLin,
    ftChannelsView,
    ftWindowType,
    ftSpectrumType,
    ftSetup,
    ftPrint,
    ftAsyncDataFile,
    ftOscilloscope,
    ftBalancing,
    ftProcessingDFT,
    ftStart,
    ftAsyncAnalysis,
    ftCursor,
    ftChannel,
    ftFreqInCurPos,
    ftAmplInCurPos,
    ftPhaseInCurPos,
    ftBandRMS,
    ftBandRMSValue,
    ftDFTProgress,
    ftCursorX,
    ftCursorY,
    ftCursorT,
    ftChannelA,
    ftChannelB,
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
  void BindNavigation();
  void ShowTexts();
  void ApplyCaptureState();
  void UpdateChannelsButton();
  void StartSpectrumThread();
  void StopSpectrumThread();
  // The channel has samples to show: always in free-running mode, else
  // when the current run captured it. A spectrum of a channel without
  // samples belongs to an earlier record and is neither drawn nor read.
  bool ChannelHasSamples(bool channelA) const;
  void FillDisplay(bool channelA, int32_t n);
  int32_t TransformLength() const;
  int32_t CursorBin(char cursor) const;
  // Cursors X and Y inside a spectrum of `bins` bins: a cursor left beyond
  // the last bin by a longer transform moves onto it.
  void ClampCursors(int32_t bins);
  // The amplitude span of a full-scale signal at the frequency of `bin` in
  // the unit shown, for the sensor of `channel`.
  int32_t FullScaleSpan(double bin, uint8_t channel) const;
  // The three error lines show the text of ProcessingDFT.
  void ShowProcessing();
  void MirrorViews();
  // Stops a computation under way (with the error lines reset when asked)
  // and returns the signals' lock once the thread has let it go.
  std::unique_lock<std::mutex> AbortForChange(bool resetErrorLine);
  void pbFFTMouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y);
  void pbFFTMouseMove(gui::TShiftState shift, int x, int y);
  void KeyCursor(char letter, bool ctrl);
  void PrintPage(gui::TCanvas& printer, int channel);
  TSpectrumView View() const;
  void SetView(const TSpectrumView& v);
  void RepaintPlot();

  TViewWorkspace& Workspace;
};

// The spectrum window while it exists, else null.
extern TfFFTGraph* fFFTGraph;
