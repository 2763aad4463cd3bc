#include "common/program_folder.h"

#include "common/file_access.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace orvelle {

QString ExecutableFolder() { return QCoreApplication::applicationDirPath(); }

namespace {
QString BesidePath(const QString &executableFolder) {
  return executableFolder + QLatin1Char('/') + kJpegLibraryFileName;
}
} // namespace

QString JpegLibraryPath(const QString &executableFolder) {
  const QString installed =
      QDir::cleanPath(executableFolder + QStringLiteral("/" ORVELLE_LIBRARY_RELATIVE_DIR "/") + kJpegLibraryFileName);
  return !QFileInfo::exists(BesidePath(executableFolder)) && QFileInfo::exists(installed)
             ? installed
             : BesidePath(executableFolder);
}

bool IsInstalledProgram(const QString &executableFolder) {
  return JpegLibraryPath(executableFolder) != BesidePath(executableFolder);
}

namespace {
QString UserFolder(QStandardPaths::StandardLocation location) {
  const QString folder = QStandardPaths::writableLocation(location);
  QDir().mkpath(folder);
  return folder;
}
} // namespace

QString ChooseProgramFolder(const QString &executableFolder) {
  if (!IsInstalledProgram(executableFolder) && IsWritableFolder(executableFolder)) {
    return executableFolder;
  }
  return UserFolder(QStandardPaths::AppConfigLocation);
}

QString ChooseBitmapFolder(const QString &executableFolder) {
  return IsInstalledProgram(executableFolder) ? UserFolder(QStandardPaths::CacheLocation)
                                              : ChooseProgramFolder(executableFolder);
}

} // namespace orvelle
