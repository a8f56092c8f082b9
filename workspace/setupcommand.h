#pragma once
// The set-up command of the balancing workspace, and what the set-up dialog
// asks of the workspace while it is open (TSetupServices). The command's
// handler, TfBalancing::bSetupClick, lives in setupcommand.cpp.

#include "setupservices.h"

class TfBalancing;

class TWorkspaceSetup : public TSetupServices {
 public:
  explicit TWorkspaceSetup(TfBalancing& window) : Window(window) {}

  int SetupPage() const override;
  void SetSetupPage(int page) override;
  void NewSession() override;
  void RefreshResults() override;
  void RefreshViews() override;
  TJobSaveReport JobSaveReport() override;
  void WriteLogNote(const std::u16string& text) override;

 private:
  TfBalancing& Window;
};
