#include "color.h"

namespace gui {

TColor ColorToRGB(TColor color) {
  if ((color & 0xFF000000u) != 0x80000000u) return color & 0x00FFFFFFu;
  switch (color) {
    case clWindow: return 0xFFFFFF;
    case clWindowText: return 0x000000;
    case clBtnFace: return 0xC8D0D4;
    case clBtnShadow: return 0x808080;
    case clGrayText: return 0x808080;
    case clBtnText: return 0x000000;
    case clBtnHighlight: return 0xFFFFFF;
    case clHighlight: return 0x6A240A;
    case clHighlightText: return 0xFFFFFF;
    case clInfoBk: return 0xE1FFFF;
    case clInfoText: return 0x000000;
    default: return 0x000000;
  }
}

}  // namespace gui
