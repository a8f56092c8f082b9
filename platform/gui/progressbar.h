#pragma once
// TProgressBar: the platform's progress bar; Position is held within
// Min..Max.

#include "wincontrol.h"

namespace gui {

class TProgressBar : public TWinControl {
 public:
  explicit TProgressBar(TComponent* owner);

  int Min() const { return FMin; }
  int Max() const { return FMax; }
  int Position() const { return FPosition; }
  void SetRange(int min, int max);
  void SetMin(int min) { SetRange(min, FMax); }
  void SetMax(int max) { SetRange(FMin, max); }
  void SetPosition(int position);

 private:
  int FMin = 0;
  int FMax = 100;
  int FPosition = 0;
};

}  // namespace gui
