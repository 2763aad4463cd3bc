#include "export/save_folder.h"

#include "common/message_box.h"
#include "common/text_encoding.h"
#include "settings/settings_file.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

namespace orvelle {

QString BrowseForFolder(QWidget *owner) {
  return QFileDialog::getExistingDirectory(owner, QStringLiteral("フォルダの選択"),
                                           QStandardPaths::writableLocation(QStandardPaths::DesktopLocation),
                                           QFileDialog::ShowDirsOnly);
}

bool ApplyChosenFolder(QWidget *owner, const QString &chosen, QString &saveFolder, const QString &settingsPath) {
  if (chosen.isEmpty()) {
    ShowMessage(owner, QStringLiteral("キャンセルを選択"));
    return false;
  }
  // trim.ini gives back at most 254 bytes of a value: a longer folder would
  // come back cut at the next start, naming another folder.
  if (EncodeText(chosen, TextEncoding::Locale).size() > kMaxFolderBytes) {
    ShowMessage(owner, QStringLiteral("フォルダー「%1」は名前が長すぎるため保存先にできません（%2 バイトまで）。")
                           .arg(QDir::toNativeSeparators(chosen))
                           .arg(kMaxFolderBytes));
    return false;
  }
  saveFolder = chosen;
  if (!WriteSetting(saveFolder, QStringLiteral("F_Path"), QStringLiteral("File"), settingsPath)) {
    ShowMessage(owner, QStringLiteral("保存先フォルダーを設定ファイル「%1」に記録できませんでした。\n"
                                      "次回の起動時には元の保存先に戻ります。")
                           .arg(QDir::toNativeSeparators(settingsPath)));
  }
  return true;
}

} // namespace orvelle
