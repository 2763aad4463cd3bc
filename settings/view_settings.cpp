#include "settings/view_settings.h"

#include "settings/settings_file.h"

namespace orvelle {

namespace {
const QString kSection = QStringLiteral("View");
const QString kInterval = QStringLiteral("Interval");
const QString kLoupe = QStringLiteral("Loupe");
const QString kFormat = QStringLiteral("Format");
} // namespace

int ReadInterval(const QString &settingsPath) {
  bool ok = false;
  const int seconds = ReadSetting(kInterval, kSection, settingsPath).toInt(&ok);
  return ok && seconds >= 1 && seconds <= 3600 ? seconds : 5;
}

bool WriteInterval(int seconds, const QString &settingsPath) {
  return WriteSetting(QString::number(seconds), kInterval, kSection, settingsPath);
}

bool ReadLoupe(const QString &settingsPath) {
  return ReadSetting(kLoupe, kSection, settingsPath) == QLatin1String("1");
}

bool WriteLoupe(bool on, const QString &settingsPath) {
  return WriteSetting(on ? QStringLiteral("1") : QStringLiteral("0"), kLoupe, kSection, settingsPath);
}

bool ReadPngChosen(const QString &settingsPath) {
  return ReadSetting(kFormat, kSection, settingsPath) == QLatin1String("png");
}

bool WritePngChosen(bool png, const QString &settingsPath) {
  return WriteSetting(png ? QStringLiteral("png") : QStringLiteral("jpeg"), kFormat, kSection, settingsPath);
}

} // namespace orvelle
