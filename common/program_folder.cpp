#include "common/program_folder.h"

#include "common/file_access.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace orvelle {

QString ExecutableFolder() { return QCoreApplication::applicationDirPath(); }

QString ChooseProgramFolder(const QString &executableFolder) {
  if (IsWritableFolder(executableFolder)) {
    return executableFolder;
  }
  const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
  QDir().mkpath(config);
  return config;
}

} // namespace orvelle
