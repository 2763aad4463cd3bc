#include "settings/save_folder.h"

#include "common/text_encoding.h"
#include "settings/settings_file.h"

namespace orvelle {

namespace {
const QString kKey = QStringLiteral("F_Path");
const QString kSection = QStringLiteral("File");
} // namespace

QString ReadSaveFolder(const QString &settingsPath) { return ReadSetting(kKey, kSection, settingsPath); }

bool FitsSettingsFile(const QString &folder) {
  return EncodeText(folder, TextEncoding::Locale).size() <= kMaxFolderBytes;
}

bool WriteSaveFolder(const QString &folder, const QString &settingsPath) {
  return WriteSetting(folder, kKey, kSection, settingsPath);
}

} // namespace orvelle
