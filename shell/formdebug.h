#pragma once
// TfDebug: the diagnostic window, shown when the program was started with
// "-debug". An ordinary always-on-top window with the system frame that
// shows the run indexes and the sample window of the current run. The
// balancing capture thread refreshes it after every capture (through
// Synchronize, as the window registered in WindowServices()); the
// workspace's Next and Previous refresh it too. While hidden, a refresh
// does nothing. Its texts are fixed.

#include "form.h"
#include "workspaceservices.h"

namespace gui {
class TLabel;
}

class TfDebug : public gui::TForm, public TDebugServices {
 public:
  explicit TfDebug(gui::TComponent* owner);
  ~TfDebug() override;

  // Shows BalancingStep, HighestStep, and Start, End and End - Start of the
  // current run's capture, when the window is visible.
  void Update() override;

  gui::TLabel* Label1 = nullptr;
  gui::TLabel* lIndex = nullptr;
  gui::TLabel* Label2 = nullptr;
  gui::TLabel* lLastIndex = nullptr;
  gui::TLabel* Label3 = nullptr;
  gui::TLabel* lStart = nullptr;
  gui::TLabel* Label4 = nullptr;
  gui::TLabel* lEnd = nullptr;
  gui::TLabel* Label5 = nullptr;
  gui::TLabel* lEndStart = nullptr;

 protected:
  void DoShow() override;

 private:
  gui::TLabel* CreateLabel(int left, int top, const char* caption);
};
