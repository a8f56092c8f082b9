#pragma once
// Pictures of the rotor types, as the rotor page and the rotor definition
// show them: the shaft on its two bearings, the correction planes A and B
// as disks, and the dimensions a, b, l and s the type asks for. Picture
// numbers are the rotor types: 0 undefined, 1 to 3 types A, B, C with two
// planes, 4 type A with one plane.

#include "bitmap.h"
#include "color.h"

namespace gui {
class TImageList;
}

constexpr int RotorPictureCount = 5;

// The picture of a rotor type (0..4) on the background colour; another
// number gives the undefined rotor.
gui::TBitmap RotorPicture(int type, int width, int height, gui::TColor background);

// The image list of the five pictures (ilRotors), each width x height.
void FillRotorImages(gui::TImageList& images, int width, int height, gui::TColor background);
