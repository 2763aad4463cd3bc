#pragma once

#include "capture/picture/frame.h"

#include <QString>
#include <variant>

namespace orvelle {

// Stores the frame, the drag frame and the ratio as the nine keys of section
// Data, all in one replacement of the file. Nothing is written when a value
// does not fit the file's 16-bit range. The message for the user on failure,
// else an empty text.
QString SaveTrimInfo(const FrameState &frame, const QString &settingsPath);

// Reads and converts all nine keys; the loaded frame, or the message for the
// user naming the first key that is missing or holds no usable number.
std::variant<FrameState, QString> LoadTrimInfo(const QString &settingsPath);

} // namespace orvelle
