#include "settings/save_folder.h"

#include "common/text_encoding.h"
#include "settings/setting_rows.h"

namespace orvelle {

QString ReadSaveFolder(const QString &settingsPath) { return ReadRow(setting::kSaveFolder, settingsPath); }

bool FitsSettingsFile(const QString &folder) {
  return EncodeText(folder, TextEncoding::Locale).size() <= kMaxFolderBytes;
}

bool WriteSaveFolder(const QString &folder, const QString &settingsPath) {
  return WriteRow(setting::kSaveFolder, folder, settingsPath);
}

} // namespace orvelle
