#pragma once

#include "batch/batch_trim.h"
#include "batch/numbered_save.h"

namespace orvelle {

// Grabs the part of the desktop that the frame needs, trims it exactly as the
// trim command trims a picture of the whole desktop and saves it as the next
// numbered file; prints the file's path. Runs the event loop until the grab
// is answered. The exit code: 0 saved, 1 the grab or the save failed.
int TrimScreen(const BatchFrame &frame, const NumberedTarget &target);

} // namespace orvelle
