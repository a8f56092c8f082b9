#pragma once
// What the capture and spectrum threads hand to the windows: the balancing
// workspace, the oscilloscope, the spectrum window and the diagnostic
// window implement these classes and register themselves in
// WindowServices() while they exist. The threads call the operations only
// through Synchronize, so they run on the user-interface thread. A window
// may go between two hand-overs, so a worker never reaches these objects
// outside Synchronize; what it shares with the windows meanwhile lives in
// the core (its atomic flags and the fields behind its locks).

#include <atomic>
#include <cstdint>
#include <string>

// TfBalancing
class TBalancingServices {
 public:
  virtual ~TBalancingServices() = default;
  // Recomputes and shows the result panel; ends with the status line,
  // button and caption updates.
  virtual void RefreshResults() = 0;
  // End of a balancing capture (normal stop or driver error: the core's
  // CaptureError and LastErrorText tell which).
  virtual void SyncMeasurementDone() = 0;
  // End of a free-running capture (likewise).
  virtual void AsyncMeasurementDone() = 0;
  // Status caption and lamp of the acquisition state 1 to 4.
  virtual void ShowAcquisitionState(uint8_t state) = 0;
  // Caption of leSamplingProgress: "" or the transfer percent ("37%").
  virtual void ShowSamplingProgress(const std::string& caption) = 0;
  // Operation caption and error line.
  virtual void UpdateOperationStatus() = 0;
  // Run-parameter captions.
  virtual void UpdateParamCaptions() = 0;
  // A capture of the running balancing capture found no whole revolution:
  // the error line says the speed signal is missing. The capture goes on.
  virtual void ShowNoSpeedSignal() = 0;
  // The log notes the loss (lost) or the return of the speed signal; the
  // capture thread decides how seldom.
  virtual void LogSpeedSignal(bool lost) = 0;
  // The error lines of the workspace and of the existing views show the
  // "NoError" text in the colour WorkText2 with the dark lamp.
  virtual void ShowNoError() = 0;
};

// What both signal views share.
class TSignalViewServices {
 public:
  virtual ~TSignalViewServices() = default;
  // Set by the window when it is shown or hidden.
  std::atomic<bool> Visible{false};
  // Trace style per channel: true solid, false dotted. Set to solid by the
  // threads on new data; the window's commands clear them.
  std::atomic<bool> SolidA{false}, SolidB{false};
  // Copies the workspace's status caption, lamps and error line.
  virtual void MirrorStatus() = 0;
};

// TfTimeGraph
class TTimeGraphServices : public TSignalViewServices {
 public:
  virtual void RefreshGraph() = 0;
  virtual void RefreshReadout() = 0;
};

// TfFFTGraph
class TSpectrumViewServices : public TSignalViewServices {
 public:
  // Hands SpectrumA/SpectrumB to the spectrum plot and redraws; with
  // rescale the amplitude axis is reset too (the threads pass false).
  virtual void PlotSpectrum(bool rescale) = 0;
  virtual void RefreshInfoPanel() = 0;
};

// TfDebug
class TDebugServices {
 public:
  virtual ~TDebugServices() = default;
  virtual void Update() = 0;
};

// The windows that exist; null until a window registers and after it left.
struct TWindowServices {
  std::atomic<TBalancingServices*> Balancing{nullptr};
  std::atomic<TTimeGraphServices*> TimeGraph{nullptr};
  std::atomic<TSpectrumViewServices*> SpectrumView{nullptr};
  std::atomic<TDebugServices*> Debug{nullptr};
};

TWindowServices& WindowServices();
