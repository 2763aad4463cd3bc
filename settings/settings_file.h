#pragma once

#include "common/expected.h"
#include <QList>
#include <QString>
#include <utility>

// trim.ini: one value per call, the file named by its full path each time.
// Nothing is cached; the file is not kept open.

namespace orvelle {

inline const QString kSettingsFileName = QStringLiteral("trim.ini");
inline const QString kMissingSetting = QStringLiteral("ERROR");

// The settings file in a folder: the folder, one separator, "trim.ini".
QString SettingsFilePath(const QString &folder);

// The most a settings file may hold; a larger one is not read.
inline constexpr qint64 kMaxSettingsFileBytes = qint64(1) << 20;

// The value of the key in the section; "ERROR" when the file, the section or the
// key is missing; at most its first 254 bytes, cut at a character boundary.
// Only a regular file of at most 1 MB is read.
QString ReadSetting(const QString &key, const QString &section, const QString &path);

// The settings file's bytes, read once for several lookups, or why they
// cannot be read.
Expected<QByteArray> ReadSettingsFile(const QString &path);
// The value of the key in the section of a file's bytes, as ReadSetting gives it.
QString LookupSetting(const QByteArray &content, const QString &key, const QString &section);

// Sets the key in the section, creating the file or section when missing.
// The new content goes to a temporary file in the same folder that then
// replaces trim.ini, so a failure at any point leaves the old file as it was.
// False when nothing could be written (missing folder, read-only file or
// folder, a value that would break the file's lines, a text the file's
// character set cannot hold).
bool WriteSetting(const QString &value, const QString &key, const QString &section, const QString &path);

// Several keys of one section in one replacement of the file, in this order.
bool WriteSettings(const QList<std::pair<QString, QString>> &values, const QString &section, const QString &path);

} // namespace orvelle
