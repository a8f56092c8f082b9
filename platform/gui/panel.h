#pragma once
// TPanel: a container that paints a bevelled face. Paint draws the outer
// bevel (BevelOuter, raised by default, BevelWidth thick), the inner bevel
// (BevelInner, none by default), fills the rest with Color and centres
// Caption vertically by Alignment.

#include "alignment.h"
#include "customcontrol.h"

namespace gui {

enum TBevelCut : uint8_t { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TCustomControl {
 public:
  explicit TPanel(TComponent* owner);

  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut bevel);
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut bevel);
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int width);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment alignment);

 protected:
  void Paint() override;

 private:
  TBevelCut FBevelOuter = bvRaised;
  TBevelCut FBevelInner = bvNone;
  int FBevelWidth = 1;
  TAlignment FAlignment = taCenter;
};

}  // namespace gui
