#pragma once

#include "capture/frame.h"

#include <QString>

namespace orvelle {

// What the operations share while the program runs: the trimming frame with
// its ratio, and the save folder (shown in the status bar, stored as F_Path).
struct SharedState {
  FrameState frame;
  QString SaveFolder;
};

} // namespace orvelle
