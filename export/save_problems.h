#pragma once

#include "common/expected.h"

#include <QString>

namespace orvelle {

// The JPEG path: the folder, one separator unless it ends in one, the name and
// the suffix.
QString JpegPath(const QString &folder, const QString &baseName, const QString &suffix);

// Whether a picture can be saved under this base name into this folder, or
// why not (no name, no folder, a name that would leave the folder, a folder
// that is missing or cannot be written).
Expected<void> CheckSave(const QString &baseName, const QString &folder);
// The same for the folder alone.
Expected<void> CheckFolder(const QString &folder);

// Why a file was not saved, from the writer's code: read-only, a full disk,
// or the writer's code; nothing when the code says saved.
Expected<void> SavedByCode(const QString &path, int code, int systemError);

} // namespace orvelle
