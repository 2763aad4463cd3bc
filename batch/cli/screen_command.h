#pragma once

#include "batch/cli/trim_command.h"
#include "batch/screen_trim.h"

namespace orvelle {

// orvelle-trim --screen: one screen trim, or with --every one every so many
// seconds until --count files are saved or a signal ends it (after the file
// being saved). Prints each file's path. Runs the event loop; sleeps between
// grabs. The exit code: 0 when every grab and save went well, else 1 (a
// failed save ends the series); 130 or 143 when Ctrl+C or SIGTERM ended a
// wait for the desktop's answer.
// Run from a menu, a dock or a key (neither output nor errors on a
// terminal), the screen trims' outcome is also told as a desktop notification.
bool RunsUnattended();
void TellDesktop(const QString &summary, const QString &body = QString());

// The words for a user who has no stored frame yet.
inline const QString kNoStoredFrame =
    QStringLiteral("トリミング枠が保存されていません。Orvelle で枠を決めて Ctrl+S で保存してください。");

int RunScreenCommand(const BatchFrame &frame, const NumberedTarget &target, const TrimOptions &options);

} // namespace orvelle
