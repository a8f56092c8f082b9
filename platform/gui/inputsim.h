#pragma once
// Input as a user gives it, sent through the platform's event path (window
// system events: enter and leave, mouse grabs, double-click timing, focus,
// popup menus). Meant for tests of the layer and of the windows built on
// it; coordinates are in the control's client area.

#include <string>

#include "control.h"
#include "keys.h"

namespace gui {

class TBitmap;
class TForm;

void SimMouseMove(TControl& control, int x, int y, TShiftState buttonsHeld = 0);
void SimMouseDown(TControl& control, TMouseButton button, int x, int y, TShiftState shift = 0);
void SimMouseUp(TControl& control, TMouseButton button, int x, int y, TShiftState shift = 0);
// Move there, press and release the left button.
void SimClick(TControl& control, int x, int y);
// Two clicks within the double-click time.
void SimDoubleClick(TControl& control, int x, int y);
// The mouse leaves the form's window.
void SimMouseLeaveWindow(TForm& form);
// One wheel step (delta 120 per notch, positive away from the user).
void SimWheel(TControl& control, int x, int y, int delta, TShiftState shift = 0);
// Press and release of a key with its character (0 for none) to the focus
// of `form`'s window; nullptr sends to the open popup menu or the active
// window.
void SimKey(TForm* form, TVirtualKey key, char16_t ch = 0, TShiftState shift = 0);

// The text of the tool-tip on screen; empty while none is shown.
std::u16string ShownToolTip();

// The popup menu open now as it is drawn on the screen, into `picture`;
// false while none is open.
bool CaptureOpenPopup(TBitmap& picture);

}  // namespace gui
