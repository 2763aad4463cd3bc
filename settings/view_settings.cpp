#include "settings/view_settings.h"

#include "settings/setting_rows.h"

#include <algorithm>

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

QString ReadScreenCastToken(const QString &settingsPath) { return ReadRow(setting::kScreenCastToken, settingsPath); }

bool WriteScreenCastToken(const QString &token, const QString &settingsPath) {
  // A token is the desktop's own text: one that would not stay one line of
  // the file (or is absurdly long) is not kept.
  const bool oneLine = token.size() <= 1024 && std::all_of(token.begin(), token.end(), [](QChar c) {
                         return c.isPrint() && c != QLatin1Char('\n') && c != QLatin1Char('\r');
                       });
  return !oneLine || token == ReadScreenCastToken(settingsPath) ||
         WriteRow(setting::kScreenCastToken, token, settingsPath);
}

} // namespace orvelle
