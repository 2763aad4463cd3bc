#pragma once

#include <QString>

namespace orvelle {

// The window's own choices kept in trim.ini, section View (every other key
// and line of the file left as it is).

// The interval trim's seconds (key Interval): 1 to 3600, 5 when none is stored.
int ReadInterval(const QString &settingsPath);
bool WriteInterval(int seconds, const QString &settingsPath);

// Whether the magnifier is on (key Loupe, 1 or 0): off when none is stored.
bool ReadLoupe(const QString &settingsPath);
bool WriteLoupe(bool on, const QString &settingsPath);

// Whether pictures are saved as PNG (key Format, "png"; "jpeg" after it is
// turned off): JPEG when none or another value is stored.
bool ReadPngChosen(const QString &settingsPath);
bool WritePngChosen(bool png, const QString &settingsPath);

// The global key (key TrimKey, Qt's portable form such as "Ctrl+Alt+G"):
// none when empty or missing. Written only when it changes.
QString ReadTrimKey(const QString &settingsPath);
bool WriteTrimKey(const QString &key, const QString &settingsPath);

// The screen cast's restore token (key ScreenCastToken): none when empty or
// missing. Each run's token replaces the last.
QString ReadScreenCastToken(const QString &settingsPath);
bool WriteScreenCastToken(const QString &token, const QString &settingsPath);

} // namespace orvelle
