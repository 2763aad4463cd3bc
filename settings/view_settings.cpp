#include "settings/view_settings.h"

#include "settings/setting_rows.h"

namespace orvelle {

int ReadInterval(const QString &settingsPath) { return ReadNumberRow(setting::kInterval, settingsPath); }

bool WriteInterval(int seconds, const QString &settingsPath) {
  return WriteRow(setting::kInterval, QString::number(seconds), settingsPath);
}

bool ReadLoupe(const QString &settingsPath) { return ReadNumberRow(setting::kLoupe, settingsPath) == 1; }

bool WriteLoupe(bool on, const QString &settingsPath) {
  return WriteRow(setting::kLoupe, on ? QStringLiteral("1") : QStringLiteral("0"), settingsPath);
}

bool ReadPngChosen(const QString &settingsPath) {
  return ReadRow(setting::kFormat, settingsPath) == QLatin1String("png");
}

bool WritePngChosen(bool png, const QString &settingsPath) {
  return WriteRow(setting::kFormat, png ? QStringLiteral("png") : QStringLiteral("jpeg"), settingsPath);
}

QString ReadTrimKey(const QString &settingsPath) { return ReadRow(setting::kTrimKey, settingsPath); }

bool WriteTrimKey(const QString &key, const QString &settingsPath) {
  return key == ReadTrimKey(settingsPath) || WriteRow(setting::kTrimKey, key, settingsPath);
}

} // namespace orvelle
