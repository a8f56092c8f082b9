#pragma once
// Keyboard and mouse vocabulary of the notifications: virtual-key codes (the
// values the windows' descriptions compare against), shift state and mouse
// buttons. Letters and digits are their upper-case character codes.

#include <cstdint>

namespace gui {

using TVirtualKey = uint16_t;

constexpr TVirtualKey VK_BACK = 0x08;
constexpr TVirtualKey VK_TAB = 0x09;
constexpr TVirtualKey VK_RETURN = 0x0D;
constexpr TVirtualKey VK_SHIFT = 0x10;
constexpr TVirtualKey VK_CONTROL = 0x11;
constexpr TVirtualKey VK_MENU = 0x12;  // Alt
constexpr TVirtualKey VK_PAUSE = 0x13;
constexpr TVirtualKey VK_CAPITAL = 0x14;
constexpr TVirtualKey VK_ESCAPE = 0x1B;
constexpr TVirtualKey VK_SPACE = 0x20;
constexpr TVirtualKey VK_PRIOR = 0x21;  // Page Up
constexpr TVirtualKey VK_NEXT = 0x22;   // Page Down
constexpr TVirtualKey VK_END = 0x23;
constexpr TVirtualKey VK_HOME = 0x24;
constexpr TVirtualKey VK_LEFT = 0x25;
constexpr TVirtualKey VK_UP = 0x26;
constexpr TVirtualKey VK_RIGHT = 0x27;
constexpr TVirtualKey VK_DOWN = 0x28;
constexpr TVirtualKey VK_INSERT = 0x2D;
constexpr TVirtualKey VK_DELETE = 0x2E;
constexpr TVirtualKey VK_NUMPAD0 = 0x60;
constexpr TVirtualKey VK_MULTIPLY = 0x6A;
constexpr TVirtualKey VK_ADD = 0x6B;
constexpr TVirtualKey VK_SUBTRACT = 0x6D;
constexpr TVirtualKey VK_DECIMAL = 0x6E;
constexpr TVirtualKey VK_DIVIDE = 0x6F;
constexpr TVirtualKey VK_F1 = 0x70;
constexpr TVirtualKey VK_F12 = 0x7B;
constexpr TVirtualKey VK_OEM_1 = 0xBA;       // ;:
constexpr TVirtualKey VK_OEM_PLUS = 0xBB;    // =+
constexpr TVirtualKey VK_OEM_COMMA = 0xBC;   // ,<
constexpr TVirtualKey VK_OEM_MINUS = 0xBD;   // -_
constexpr TVirtualKey VK_OEM_PERIOD = 0xBE;  // .>
constexpr TVirtualKey VK_OEM_2 = 0xBF;       // /?
constexpr TVirtualKey VK_OEM_3 = 0xC0;       // `~
constexpr TVirtualKey VK_OEM_4 = 0xDB;       // [{
constexpr TVirtualKey VK_OEM_5 = 0xDC;       // backslash |
constexpr TVirtualKey VK_OEM_6 = 0xDD;       // ]}
constexpr TVirtualKey VK_OEM_7 = 0xDE;       // '"

// Shift state of a key or mouse notification (a set of flags).
using TShiftState = uint16_t;
constexpr TShiftState ssShift = 0x01;
constexpr TShiftState ssAlt = 0x02;
constexpr TShiftState ssCtrl = 0x04;
constexpr TShiftState ssLeft = 0x08;
constexpr TShiftState ssRight = 0x10;
constexpr TShiftState ssMiddle = 0x20;
constexpr TShiftState ssDouble = 0x40;

enum TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };

}  // namespace gui
