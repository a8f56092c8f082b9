#pragma once
// TfBalancing: the balancing workspace, the program's working window. It
// leads the technician through a job one run at a time: Start/Stop of the
// balancing capture, Next and Previous, the status line, and the result
// panel recomputed after every change. The computations live in the pure
// units (resultpanel.h, workflow.h); this window applies them to its
// components and hands the capture threads' results to the screen.

#include <array>
#include <complex>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "capturethreads.h"
#include "init.h"
#include "jobguard.h"
#include "logentry.h"
#include "polardiagram.h"
#include "resultpanel.h"
#include "viewworkspace.h"
#include "windowframe.h"
#include "workflow.h"
#include "workspacecontrols.h"
#include "workspaceservices.h"
#include "workspacetexts.h"

class TfLog;
namespace gui {
class TPrintDialog;
class TPrinter;
}  // namespace gui

class TfBalancing : public TWindowFrame,
                    public TBalancingControls,
                    public TResultPanelState,
                    public TBalancingServices,
                    public TLogWorkspace,
                    public TStartupWorkspace,
                    public TViewWorkspace {
 public:
  // What the window looks up in section "Forms" besides the 32 kept texts.
  static const std::array<TTextKey, 31> CaptionKeys;

  explicit TfBalancing(gui::TComponent* owner);
  ~TfBalancing() override;

  // The log the workflow writes to (set by the program entry).
  TfLog* Log = nullptr;

  int32_t SetupPage = 0;
  float PlaneZoom = 0.5f;
  TPlaneZoomHistory PlaneZoomHistory;
  TWorkspaceTexts Texts;

  // workflow
  void bStartStopClick(gui::TComponent* sender);
  void bNextClick(gui::TComponent* sender);
  void bPrevClick(gui::TComponent* sender);
  void bCloseCClick(gui::TComponent* sender);
  void UpdatePrevNextButtons();
  // Where a failed save of the job from this window is told: an error box
  // and the log; the caption marks the job while it is not saved.
  TJobSaveReport JobSaveReport();
  // The caption, with the mark of a job that is not saved (TZelto::JobUnsaved),
  // and the error line, which says why as long as the caption marks it.
  void ShowSaveState();
  void UpdateSetupAndTotalMass();
  void FormResize();
  void pbPlanesPaint(gui::TComponent* sender);
  void bZoomInClick(gui::TComponent* sender);
  void bZoomOutClick(gui::TComponent* sender);
  void bZoomAllClick(gui::TComponent* sender);
  void bZoomPrevClick(gui::TComponent* sender);

  // TBalancingServices: the capture threads' hand-overs; RefreshResults and
  // ShowNoError serve the views (TViewWorkspace) as well.
  void RefreshResults() override;
  void SyncMeasurementDone() override;
  void AsyncMeasurementDone() override;
  void ShowAcquisitionState(uint8_t state) override;
  void ShowSamplingProgress(const std::string& caption) override;
  void UpdateOperationStatus() override;
  void UpdateParamCaptions() override;
  void ShowNoError() override;
  void ShowNoSpeedSignal() override;
  void LogSpeedSignal(bool lost) override;

  // TViewWorkspace (viewcommands.cpp, SetAsyncMode in formbalancing.cpp)
  gui::TForm* WorkspaceForm() override;
  void SetAsyncMode(bool on) override;
  void StartStopAsync() override;
  void SetupCommand() override;
  void SpectrumCommand() override;
  void OscilloscopeCommand() override;
  void AmplitudeUnitCommand(gui::TControl* below) override;
  bool ExecutePrintDialog(gui::TForm* owner) override;
  std::u16string CurrentOperationCaption() override;
  TViewStatusLine StatusLine() override;
  void StopCaptureAndWait() override;
  void WriteLogNote(const std::u16string& text) override;
  void ShowErrorText(const std::u16string& text, gui::TColor colour) override;
  void ShowErrorLamp(TViewLamp lamp) override;
  bool SaveSession() override;

  // the signal views (viewcommands.cpp)
  void bSpectrumClick(gui::TComponent* sender);
  void bOscilloscopeClick(gui::TComponent* sender);

  // The amplitude-only method's vectors of every run (BalanceRunVectors),
  // derived from the job in the core each time they are needed.
  TRunVectors ComputeGwbVectors() const;

  // TLogWorkspace
  TBalanceRunVectors BalanceRunVectors(int run) const override;

  // TStartupWorkspace
  void ShowAfterStart(int32_t step) override;

  // session menu (sessioncommands.cpp)
  void bSessionClick(gui::TComponent* sender);
  void NewSession(bool ask);
  void OpenSessionFile();
  void RestoreLastSession();
  void SaveSessionAs();

  // report, help and option menus (workspacemenus.cpp)
  gui::TPrintDialog* pdReport = nullptr;
  void bReportClick(gui::TComponent* sender);
  void PrintReport(gui::TPrinter& printer);
  void bHelpClick(gui::TComponent* sender);
  void bRotSpeedValueClick(gui::TComponent* sender);
  void bDirValueClick(gui::TComponent* sender);
  void bCorrectionMassValueClick(gui::TComponent* sender);
  void bAmplUnitClick(gui::TComponent* sender);
  void bMassTClick(gui::TComponent* sender);
  void bTotalMassClick(gui::TComponent* sender);
  void bCtrlMassValueClick(gui::TComponent* sender);

  // set-up (setupcommand.cpp)
  void bSetupClick(gui::TComponent* sender);

  // keyboard (shortcutkeys.cpp)
  void FormKeyDown(gui::TComponent* sender, gui::TVirtualKey& key, gui::TShiftState shift);

 protected:
  void DoShow() override;
  void DoClose(gui::TCloseAction& action) override;
  void Resize() override;
  void KeyDown(gui::TVirtualKey& key, gui::TShiftState shift) override;

 private:
  void FormCreate();
  void BindEvents();
  void ShowTexts();
  void ShowToolTips();
  bool ConfirmClose();
  void ApplyRunTable(const TRunTableView& view);
  void ApplyValuePanel(const TRunTableView& table);
  void ApplyMeasuredPanel(const TMeasuredPanelView& view, const TValuePanelControls& panel, std::span<TValueRow> rows);
  void ApplyErrorLine(const TErrorLine& line);
  void ZoomCommand(TZoomCommand command);
  TDiagramView DiagramView() const;
  void SetLamp(gui::TImage* image, TLamp lamp);
  void SetStartStopGlyph(int glyph);
  void EnableCaptureCommands(bool enabled);
  int AskMessage(uint8_t kind, const std::u16string& text);
  void StartCapture();
  void WriteLog(uint8_t kind);
  void UpdateDebug();
  // commands (sessioncommands.cpp, workspacemenus.cpp)
  void BindCommands();
  void LoadSessionFile(const std::u16string& path, std::u16string_view failureText);
  void PrintReportDocument();
  void OpenHelpDocument();
  // the views' side of captures and refreshes (viewcommands.cpp)
  bool ViewSensorsMissing(bool showsMillivolts);
  void MirrorViews(bool visibleOnly);
  void SetViewStartStop(TBitmapButton* button, bool running);
  void SetViewsRunning(bool running, bool freeRunning);
  void RefreshViewsAtCaptureStart();
  void RefreshViewsAfterFreeRunning();
  void RefreshViewsAfterStep();
  void RefreshViewsAfterModeChange();
  // Ends the capture (serving the windows meanwhile when asked), then
  // destroys the views.
  void CloseViews(bool serveWindow);
  TCaptureStopWait CaptureStopWait();

  // The error line tells no error of a measurement or the driver
  // (NoErrorLine): it follows the job after every save, back to "NoError"
  // once a save succeeds, or telling runs that can't be compared.
  bool ErrorLineFollowsJob = true;
};

// The workspace while it exists, else null.
extern TfBalancing* fBalancing;
