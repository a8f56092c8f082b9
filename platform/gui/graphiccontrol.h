#pragma once
// TGraphicControl: a control without a window of its own that paints on its
// parent's surface: it never takes the focus, lies below its windowed
// siblings, and what it does not paint shows the parent (unless csOpaque).

#include "canvas.h"
#include "control.h"

namespace gui {

class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;

  TCanvas& Canvas() { return FCanvas; }

 protected:
  virtual void Paint();
  TCanvas* PaintCanvas() override { return &FCanvas; }
  void DoPaint() override { Paint(); }

 private:
  TCanvas FCanvas;
};

}  // namespace gui
