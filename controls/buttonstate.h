#pragma once
// The hover, pressed and focus rules of the bitmap button. The button feeds
// every mouse and focus notification through here and fires its events as
// the answers say; the rules are tested without a display.

#include "buttonlayout.h"

class TButtonState {
 public:
  bool Hover() const { return FHover; }
  bool Pressed() const { return FPressed; }
  bool Focused() const { return FFocused; }

  // A press counts only for the left button of an enabled button; then a
  // bsButton shows the pressed face. True when the press counts (the button
  // takes the focus and fires OnMouseDown).
  bool Press(bool leftButton, bool enabled, TBtnStyle style);
  // True when OnMouseUp fires: only a release that ends a shown press.
  // Every release clears the pressed and hover looks.
  bool Release();
  // True when OnMouseEnter fires; a disabled button ignores the mouse.
  bool Enter(bool enabled);
  // Leaving always ends the press and the hover look (OnMouseLeave fires
  // also on a disabled button).
  void Leave();
  void FocusIn();
  // Losing the focus also drops the hover look.
  void FocusOut();

 private:
  bool FHover = false;
  bool FPressed = false;
  bool FFocused = false;
};
