#include "app/folder_dialog.h"

#include <QFileDialog>
#include <QStandardPaths>

namespace orvelle {

QString BrowseForFolder(QWidget *owner) {
  return QFileDialog::getExistingDirectory(owner, QStringLiteral("フォルダの選択"),
                                           QStandardPaths::writableLocation(QStandardPaths::DesktopLocation),
                                           QFileDialog::ShowDirsOnly);
}

} // namespace orvelle
