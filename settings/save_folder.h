#pragma once

#include <QString>

namespace orvelle {

// The longest folder path, in bytes, that trim.ini gives back whole.
inline constexpr qsizetype kMaxFolderBytes = 254;

// The save folder stored in trim.ini (key F_Path of section File); "ERROR"
// when none is stored.
QString ReadSaveFolder(const QString &settingsPath);

// Whether the folder comes back whole from trim.ini.
bool FitsSettingsFile(const QString &folder);

// Stores the save folder; false when trim.ini could not be written.
bool WriteSaveFolder(const QString &folder, const QString &settingsPath);

} // namespace orvelle
