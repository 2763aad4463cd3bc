#pragma once

#include <QString>

// Whether a file or folder may be written. A file or folder marked read-only
// (no write permission for its owner) counts as not writable for every user,
// the administrator included, as a read-only file does on Windows.

namespace orvelle {

bool IsWritableFile(const QString &path);
bool IsWritableFolder(const QString &path);

} // namespace orvelle
