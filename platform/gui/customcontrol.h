#pragma once
// TCustomControl: a windowed control that paints itself. Paint draws the
// whole control on Canvas. Before Paint the area is filled with Color unless
// the control style has csOpaque. The canvas may also be drawn on outside
// Paint (it shows at once); its next paint starts from what is there.

#include "canvas.h"
#include "wincontrol.h"

namespace gui {

class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;

  TCanvas& Canvas() { return FCanvas; }

 protected:
  virtual void Paint();
  TCanvas* PaintCanvas() override { return &FCanvas; }
  void DoPaint() override { Paint(); }

 private:
  TCanvas FCanvas;
};

}  // namespace gui
