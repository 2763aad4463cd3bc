#pragma once

#include "batch/screen_trim.h"
#include "batch/trim_command.h"

namespace orvelle {

// orvelle-trim --screen: one screen trim, or with --every one every so many
// seconds until --count files are saved or a signal ends it (after the file
// being saved). Prints each file's path. Runs the event loop; sleeps between
// grabs. The exit code: 0 when every grab and save went well, else 1 (a
// failed save ends the series).
int RunScreenCommand(const BatchFrame &frame, const NumberedTarget &target, const TrimOptions &options);

} // namespace orvelle
