#pragma once

#include <Qt>

class QKeyEvent;

namespace desk::keys {

// The Shift argument of key and mouse events: 1 Shift, 2 Ctrl, 4 Alt.
inline constexpr int ShiftMask = 1;
inline constexpr int CtrlMask = 2;
inline constexpr int AltMask = 4;

int shiftMask(Qt::KeyboardModifiers modifiers);

// The character a key press types (8 backspace, 9 tab, 13 enter, 27 escape, else the
// typed character), or -1 for keys that type none (arrows, Delete, function keys).
int characterCode(const QKeyEvent* event);

inline bool isDigit(int code) {
    return code >= '0' && code <= '9';
}
inline bool isPrintable(int code) {
    return code >= 0x20 && code != 0x7f;
}

} // namespace desk::keys
