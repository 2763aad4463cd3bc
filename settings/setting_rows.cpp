#include "settings/setting_rows.h"

#include "settings/settings_file.h"

namespace orvelle {

QString ReadRow(const SettingRow &row, const QString &settingsPath) {
  const QString value = ReadSetting(row.Key(), row.Section(), settingsPath);
  return value == kMissingSetting ? row.Fallback() : value;
}

int ReadNumberRow(const SettingRow &row, const QString &settingsPath) {
  bool ok = false;
  const int value = ReadSetting(row.Key(), row.Section(), settingsPath).toInt(&ok);
  return ok && row.Holds(value) ? value : row.Fallback().toInt();
}

bool WriteRow(const SettingRow &row, const QString &value, const QString &settingsPath) {
  return WriteSetting(value, row.Key(), row.Section(), settingsPath);
}

} // namespace orvelle
