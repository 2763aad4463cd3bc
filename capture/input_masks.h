#pragma once

#include <Qt>

// The masks in which the canvas reports mouse buttons and modifier keys.

namespace orvelle {

// 1 Shift, 2 Ctrl, 4 Alt.
inline int ShiftMask(Qt::KeyboardModifiers m) {
  return (m.testFlag(Qt::ShiftModifier) ? 1 : 0) | (m.testFlag(Qt::ControlModifier) ? 2 : 0) |
         (m.testFlag(Qt::AltModifier) ? 4 : 0);
}

// 1 left, 2 right, 4 middle.
inline int ButtonMask(Qt::MouseButtons b) {
  return (b.testFlag(Qt::LeftButton) ? 1 : 0) | (b.testFlag(Qt::RightButton) ? 2 : 0) |
         (b.testFlag(Qt::MiddleButton) ? 4 : 0);
}

} // namespace orvelle
