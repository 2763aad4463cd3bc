#include "export/save_problems.h"

#include "common/file_access.h"
#include "common/numbers.h"
#include "savejpg/SaveJPG.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>

namespace orvelle {

namespace {

constexpr QChar kSeparator = QLatin1Char('/');

// A name that would leave the save folder or that no file may take.
bool IsUsableFileName(const QString &name) {
  return name != QLatin1String(".") && name != QLatin1String("..") && !name.contains(kSeparator) &&
         !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0));
}

} // namespace

Expected<void> CheckFolder(const QString &folder) {
  if (folder.isEmpty()) {
    return MakeProblem(ProblemKind::NoSaveFolder);
  }
  if (!IsWritableFolder(folder)) {
    return MakeProblem(ProblemKind::FolderUnusable, {folder});
  }
  return {};
}

Expected<void> CheckSave(const QString &baseName, const QString &folder) {
  if (baseName.isEmpty()) {
    return MakeProblem(ProblemKind::NoFileName);
  }
  if (!folder.isEmpty() && !IsUsableFileName(baseName)) {
    return MakeProblem(ProblemKind::BadFileName, {baseName});
  }
  return CheckFolder(folder);
}

Expected<void> SavedByCode(const QString &path, int code, int systemError) {
  if (code == SAVEJPG_OK) {
    return {};
  }
  if (code == SAVEJPG_E_READONLY) {
    return MakeProblem(ProblemKind::ReadOnly, {QFileInfo(path).fileName()});
  }
  const QString kind = path.endsWith(QLatin1String(".png")) ? QStringLiteral("PNG") : QStringLiteral("JPEG");
  if (code == SAVEJPG_E_TARGET && (systemError == ENOSPC || systemError == EDQUOT)) {
    return MakeProblem(ProblemKind::DiskFull, {kind, path});
  }
  return MakeProblem(ProblemKind::SaveError, {kind, path, IntegerText(code)});
}

QString JpegPath(const QString &folder, const QString &baseName, const QString &suffix) {
  const QString withSeparator = folder.endsWith(kSeparator) ? folder : folder + kSeparator;
  return withSeparator + baseName + suffix;
}

} // namespace orvelle
