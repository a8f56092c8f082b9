#pragma once
// TPaintBox: an area its owner paints: Paint fires OnPaint, and the owner
// draws on Canvas() (in OnPaint or at any other time).

#include "graphiccontrol.h"

namespace gui {

class TPaintBox : public TGraphicControl {
 public:
  explicit TPaintBox(TComponent* owner);

  TNotifyEvent OnPaint;

 protected:
  void Paint() override;
};

}  // namespace gui
