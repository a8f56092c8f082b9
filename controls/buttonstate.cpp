#include "buttonstate.h"

bool TButtonState::Press(bool leftButton, bool enabled, TBtnStyle style) {
  if (!leftButton || !enabled) return false;
  if (style == bsButton) FPressed = true;
  return true;
}

bool TButtonState::Release() {
  const bool shown = FPressed;
  FPressed = false;
  FHover = false;
  return shown;
}

bool TButtonState::Enter(bool enabled) {
  if (!enabled) return false;
  FHover = true;
  return true;
}

void TButtonState::Leave() {
  FPressed = false;
  FHover = false;
}

void TButtonState::FocusIn() { FFocused = true; }

void TButtonState::FocusOut() {
  FFocused = false;
  FHover = false;
}
