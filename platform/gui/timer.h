#pragma once
// TTimer: calls OnTimer every Interval milliseconds from the message loop
// while Enabled (and OnTimer is set).

#include <memory>

#include "component.h"

namespace gui {

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  int Interval() const { return FInterval; }
  void SetInterval(int ms);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);

  TNotifyEvent OnTimer;

 private:
  void Update();
  struct Impl;
  std::unique_ptr<Impl> FImpl;
  int FInterval = 1000;
  bool FEnabled = true;
};

}  // namespace gui
