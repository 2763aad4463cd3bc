#pragma once

#include <QByteArrayView>
#include <QString>
#include <vector>

namespace orvelle {

// Writes the pieces, one after the other, to a temporary file in the target's
// folder and renames it over the target, keeping an existing file's
// permissions. The pieces go out straight from the callers' memory, as many
// at a time as the system takes. On any failure (missing or read-only folder,
// read-only file, full disk) the temporary file is removed, the old file stays
// exactly as it was, and the result is false. The new file is flushed to the
// disk before it takes the old one's place.
//
// A private scratch file (a picture on its way to another file, rewritten at
// every save) is readable and writable by its owner alone (0600; an existing
// one is made so before it is written again), and it is not flushed to the
// disk: it is still written whole before it takes the old one's place (the
// old one is removed just before, so that a crash may leave none).
enum class FileMode { KeepOrUmask, PrivateScratch };
bool ReplaceFile(const QString &path, const std::vector<QByteArrayView> &pieces, FileMode mode = FileMode::KeepOrUmask);

} // namespace orvelle
