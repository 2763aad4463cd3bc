#pragma once

#include <QRect>
#include <optional>

class QWidget;

namespace orvelle {

// The dialog "枠の数値指定": the frame's X, Y, width and height in capture
// pixels (in that Tab order, X focused, Return for OK), each within what
// trim.ini stores, width and height at least 1. With a ratio (not 0) the
// height follows the width as the frame editor makes it follow, and cannot
// be typed. The frame typed, or nothing when cancelled.
std::optional<QRect> AskFrame(QWidget *owner, const QRect &frame, float ratio);

} // namespace orvelle
