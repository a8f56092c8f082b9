#pragma once
// The four pictures of the message box, 60 x 60 pixels each, drawn in code:
// a blue disc with "i", a blue disc with "?", a yellow triangle with "!" and
// a red disc with a white cross.

#include "bitmap.h"

enum TMessageIcon : uint8_t { miInformation, miQuestion, miWarning, miError };

constexpr int MessageIconSize = 60;

gui::TBitmap MessageIconPicture(TMessageIcon icon, gui::TColor background);
