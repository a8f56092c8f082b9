#pragma once
// TfFFTGraph: the spectrum window, a signal window (TfSignalView). It shows
// the amplitude spectra of channel A and, with two channels, B, of the
// current run or of the free-running capture, drawn by its TDisplayFFT. It
// computes no spectrum: while it is shown it owns the one TSpectrumThread,
// which writes the core's spectra. What it adds to the signal window: the
// thread's life, the display arrays converted into the displayed unit, FFT
// of the buffer or DFT over the run's revolution window, the window
// function, the linear or decibel axis, the DFT's progress, cursor T and
// the vertical scroll bar, and the read-out rows and band RMS
// (fftgraphreadout.cpp; the navigation in fftgraphnavigation.cpp).
//
// The workspace creates it on first use (ShowFFTGraph); closing hides it.

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "displayfft.h"
#include "fftgraphcontrols.h"
#include "signalview.h"
#include "spectrumreadout.h"

// The window functions' names, indexed by the core's WindowType; an empty
// row ends the list.
extern const std::array<std::u16string_view, 9> WindowTypeNames;

class TfFFTGraph : public TfSignalView, public TFFTGraphControls, public TSpectrumViewServices {
 public:
  TfFFTGraph(gui::TComponent* owner, TViewWorkspace& workspace);
  ~TfFFTGraph() override;

  std::unique_ptr<TDisplayFFT> Plot;
  // Display values per bin (RamSize each while shown, empty while hidden)
  // and the spectra they were converted from.
  std::vector<double> DisplayA, DisplayB;
  TSignalOrigin DisplayOriginA, DisplayOriginB;
  uint8_t LinearScale = 1;
  std::u16string ProcessingText;
  std::array<char, 3> MeasCur = {'T', 'X', 'Y'};
  std::array<char, 3> MeasCh = {'A', 'A', 'A'};
  uint8_t RmsType = 0;
  uint8_t LedBlink = 0;

  // TSpectrumViewServices: the spectrum thread's and the workspace's refreshes.
  void PlotSpectrum(bool rescale) override;
  void RefreshInfoPanel() override;
  void MirrorStatus() override { MirrorWorkspaceStatus(); }
  void UpdateButtonStates();
  void SyncScrollBars();
  // Texts and colours, the display arrays and the spectrum thread while the
  // window is shown; run again by the set-up dialog after a colour change,
  // it starts no second thread and allocates nothing anew.
  void FormShow() override;

  // The read-out (Part of the info panel).
  // The amplitude divisor: the coherent gain of the window the spectra were
  // computed with, so a sine's line reads its amplitude whatever the window.
  // The caller holds the core's SignalLock.
  double SpectrumGain() const;
  // The bins of the transform the present settings ask for (FFT of the
  // buffer or DFT over the run's window) and their frequencies.
  TBinScale BinScale() const;
  int32_t FrequencyToBin(double f) const;
  std::u16string CursorFrequencyText(char cursor) const;
  // kind 'A' the amplitude, 'P' the phase.
  std::u16string CursorReadoutText(char cursor, char channel, char kind) const;
  // The RMS over band RmsType in display units, none when the channel's
  // spectrum is not the one shown; the caller holds the core's SignalLock.
  std::optional<double> BandRms(uint8_t channel) const;
  // The cursor-position dialog for cursor 'X' or 'Y' at `bin`: the new bin,
  // or -1 when it was not closed with OK.
  int32_t AskCursorPosition(char letter, int32_t bin);

  // Commands.
  void bOscilloscopeClick(gui::TComponent* sender);
  void bValueClick(gui::TComponent* sender);
  void bAsyncFileClick(gui::TComponent* sender);
  void bLogLinClick(gui::TComponent* sender);
  void bSpectrumTypeClick(gui::TComponent* sender);
  void bWindowTypeClick(gui::TComponent* sender);
  void bRmsTypeClick(gui::TComponent* sender);
  void pMeasCurClick(gui::TComponent* sender);
  void pMeasChClick(gui::TComponent* sender);
  void bFreqClick(gui::TComponent* sender);
  void tProgressTimer(gui::TComponent* sender);

  // Navigation.
  void bZoomYInClick(gui::TComponent* sender);
  void bZoomYOutClick(gui::TComponent* sender);
  void bZoomAllClick(gui::TComponent* sender) override;
  void bZoomXYClick(gui::TComponent* sender) override;
  void bGotoCurClick(gui::TComponent* sender) override;
  void bGotoTAndZoomClick(gui::TComponent* sender);

  // The window's own texts in section "Forms", in the order of TText; those
  // it shares with the oscilloscope are TfSignalView's.
  enum TText : size_t {
    ftGotoT, ftGotoTAndZoom, ftLogLin, ftWindowType, ftSpectrumType, ftProcessingDFT, ftFreqInCurPos,
    ftAmplInCurPos, ftPhaseInCurPos, ftBandRMS, ftBandRMSValue, ftDFTProgress, ftCursorT
  };
  static const std::vector<TTextKey> LangKeys;
  static std::u16string Text(TText text);

 protected:
  TfSignalView* OtherView() const override;
  int32_t ViewTotal() const override { return Plot->TotalBins; }
  void LayoutControls() override;
  // Nothing is painted while the core rewrites the samples.
  void RepaintPlot() override;
  void Redraw() override { PlotSpectrum(false); }
  void ViewChanged() override {
    RepaintPlot();
    SyncScrollBars();
  }
  void CloseView() override;
  void PrintPage(gui::TCanvas& printer, int channel) override;
  bool ViewKey(gui::TVirtualKey key, bool ctrl) override;

 private:
  void BindEvents();
  void BindNavigation();
  void ShowOwnTexts();
  void StartSpectrumThread();
  void StopSpectrumThread();
  // The spectrum the window shows: of the free-running buffers or the
  // current run, of the samples the present settings transform, at the
  // present sampling frequency.
  TSignalOrigin ShownOrigin() const;
  // The channel's spectrum is that one (the caller holds SignalLock). Any
  // other belongs to an earlier record or to another length's axis and is
  // neither drawn nor read.
  bool SpectrumShown(bool channelA) const;
  void FillDisplay(bool channelA, int32_t n);
  int32_t TransformLength() const;
  // The bin a cursor reads: X and Y keep the positions the user gave them,
  // and a position beyond the last bin of the present transform reads the
  // last bin.
  int32_t CursorBin(char cursor) const;
  // The amplitude span of a full-scale signal at the frequency of `bin` in
  // the unit shown, for the sensor of `channel`.
  int32_t FullScaleSpan(double bin, uint8_t channel) const;
  // A new spectrum is on its way: the traces dotted until it arrives, the
  // three error lines with the text of ProcessingDFT.
  void AwaitSpectrum();
  void MirrorViews();
  // Stops a computation under way (with the error lines reset when asked)
  // and returns the signals' lock once the thread has let it go.
  std::unique_lock<std::mutex> AbortForChange(bool resetErrorLine);
  void pbFFTMouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y);
  void pbFFTMouseMove(gui::TShiftState shift, int x, int y);
  // Cursor X or Y placed by the cursor-position dialog: a bin below
  // `lowest` leaves it; a bin placed shows the cursor.
  void PlaceCursor(char letter, int32_t lowest);
};

// The spectrum window while it exists, else null.
extern TfFFTGraph* fFFTGraph;
