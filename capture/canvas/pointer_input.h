#pragma once

#include <QMouseEvent>
#include <QWidget>
#include <cmath>

// What the canvas takes from the pointer: its exact place, and the masks in
// which it reports mouse buttons and modifier keys.

namespace orvelle {

// Where the pointer is in the widget's own coordinates, exactly. Qt hands
// widgets position() rounded to whole logical pixels, which at a fractional
// scale is not the device pixel under the pointer; the position in the window
// keeps the fraction. An event made for the widget alone carries no window
// position (it repeats its own): its position is exact.
inline QPointF ExactPosition(const QMouseEvent &event, const QWidget &widget) {
  const QPointF inWindow = event.scenePosition() - QPointF(widget.mapTo(widget.window(), QPoint(0, 0)));
  const QPointF rounding = inWindow - event.position();
  return std::abs(rounding.x()) <= 0.5 && std::abs(rounding.y()) <= 0.5 ? inWindow : event.position();
}

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
