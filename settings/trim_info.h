#pragma once

#include "capture/picture/frame.h"

#include "common/expected.h"

#include <QString>

namespace orvelle {

// Stores the frame, the drag frame and the ratio as the nine keys of section
// Data, all in one replacement of the file. Nothing is written when a value
// does not fit the file's 16-bit range. Done, or why not.
Expected<void> SaveTrimInfo(const FrameState &frame, const QString &settingsPath);

// Reads and converts all nine keys; the loaded frame, or the problem naming
// the first key that is missing or holds no usable number.
Expected<FrameState> LoadTrimInfo(const QString &settingsPath);

} // namespace orvelle
