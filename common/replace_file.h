#pragma once

#include <QByteArrayView>
#include <QString>
#include <initializer_list>

namespace orvelle {

// Writes the parts, one after the other, to a temporary file in the target's
// folder and renames it over the target, keeping an existing file's
// permissions. On any failure (missing or read-only folder, read-only file,
// full disk) the
// temporary file is removed, the old file stays exactly as it was, and the
// result is false.
bool ReplaceFile(const QString &path, std::initializer_list<QByteArrayView> parts);

} // namespace orvelle
