#pragma once
// What the bitmap button draws where, kept apart from the painting so that
// the geometry is tested without a display. W and H are the button's width
// and height; all halvings truncate toward zero.

#include <array>
#include <cstdint>
#include <vector>

#include "color.h"
#include "ownerdraw.h"
#include "geometry.h"

// bsButton shows a pressed face while the left button is held; bsPanel never
// does (parameter cells that only react to clicks).
enum TBtnStyle : uint8_t { bsButton, bsPanel };
// bsRounded: 8 x 8 corner ellipses; bsRect: square corners.
enum TButtonShape : uint8_t { bsRounded, bsRect };
// fsSystem: the dotted focus rectangle; fsDefault: four corner marks.
enum TFocusStyle : uint8_t { fsSystem, fsDefault };

// The raised edges of the face. With a border they sit one pixel inside the
// outline; the rounded shape cuts its corners diagonally.
TEdges ButtonEdges(TButtonShape shape, bool drawBorder, int w, int h);

// The dotted focus rectangle of fsSystem.
gui::TRect ButtonFocusRect(TButtonShape shape, int w, int h);

// The four corner marks of fsDefault: top-left, top-right, bottom-right,
// bottom-left.
std::array<std::vector<gui::TPoint>, 4> ButtonFocusMarks(TButtonShape shape, int w, int h);

// The outline colour: BorderOver while hovered, BorderColor otherwise; a
// disabled button shows its outline in the dark shade of the face, unless it
// is flat.
gui::TColor ButtonBorderColor(bool enabled, bool hover, bool flat, gui::TColor borderColor,
                              gui::TColor borderOver, gui::TColor darkShade);

// Picture and caption side by side, Gap pixels apart, centred as a group.
// Caption is the centre of the caption's baseline (TextPaddingTop included);
// Picture the top-left corner of the picture. Neither is shifted for the
// pressed look.
struct TButtonContent {
  gui::TPoint Picture;
  gui::TPoint Caption;
  friend bool operator==(const TButtonContent&, const TButtonContent&) = default;
};
TButtonContent ButtonContentLayout(int w, int h, int gap, int textPaddingTop, int captionWidth, int ascent,
                                   int pictureWidth, int pictureHeight);
