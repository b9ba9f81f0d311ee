#pragma once

#include <Qt>

namespace Pixtile {

// The button and shift codes the control's mouse and drag events carry: buttons 1 left, 2 right,
// 4 middle; shift bits 1 Shift, 2 Ctrl, 4 Alt.
namespace ThumbInputCodes {

// The button that changed.
inline int Button(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

// The buttons held.
inline int Buttons(Qt::MouseButtons buttons)
{
    int code = 0;
    if (buttons & Qt::LeftButton)
        code |= 1;
    if (buttons & Qt::RightButton)
        code |= 2;
    if (buttons & Qt::MiddleButton)
        code |= 4;
    return code;
}

inline int Shift(Qt::KeyboardModifiers modifiers)
{
    int code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= 1;
    if (modifiers & Qt::ControlModifier)
        code |= 2;
    if (modifiers & Qt::AltModifier)
        code |= 4;
    return code;
}

} // namespace ThumbInputCodes

} // namespace Pixtile
