#pragma once
// Horizontal and vertical text placement of labels, panels and buttons.

#include <cstdint>

namespace gui {

enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout : uint8_t { tlTop, tlCenter, tlBottom };

}  // namespace gui
