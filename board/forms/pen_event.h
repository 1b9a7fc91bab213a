// The button and shift codes the board's pen handlers take, from a Qt mouse event.
#pragma once

#include <QMouseEvent>

namespace sw::board {

// 1 left, 2 right, 4 middle, or-ed for a set of buttons.
inline int buttonCode(Qt::MouseButtons buttons) noexcept {
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) |
           (buttons & Qt::MiddleButton ? 4 : 0);
}

// 1 shift, 2 control, 4 alt, or-ed.
inline int shiftCode(Qt::KeyboardModifiers modifiers) noexcept {
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

}  // namespace sw::board
