#include "app/library_placement.h"

#include <QDir>

#include <QFile>
#include <QFileInfo>

namespace orvelle {

std::optional<QString> LibraryTargetFolder(const QString &osName) {
  if (osName == QLatin1String("Windows NT 4.0") || osName == QLatin1String("Windows 2000")) {
    return QStringLiteral("WINNT/SYSTEM32");
  }
  if (osName == QLatin1String("Windows Server 2003") || osName == QLatin1String("Windows XP")) {
    return QStringLiteral("WINDOWS/SYSTEM32");
  }
  if (osName == QLatin1String("Windows Me") || osName == QLatin1String("Windows 98") ||
      osName == QLatin1String("Windows 95")) {
    return QStringLiteral("WINDOWS/SYSTEM");
  }
  return std::nullopt;
}

LibraryPlacement PlaceJpegLibrary(const QString &osName, const QString &source, const QString &systemRoot) {
  const auto folder = LibraryTargetFolder(osName);
  if (!folder) {
    return {};
  }
  LibraryPlacement placement;
  placement.target = systemRoot + QLatin1Char('/') + *folder + QLatin1Char('/') + QFileInfo(source).fileName();
  // The search finds ordinary and read-only files, not hidden ones.
  const QFileInfo found(placement.target);
  if (found.isFile() && !found.isHidden()) {
    placement.outcome = LibraryPlacement::Outcome::AlreadyPresent;
    return placement;
  }
  QFile file(source);
  if (!file.copy(placement.target)) {
    placement.outcome = LibraryPlacement::Outcome::CopyFailed;
    placement.error = file.errorString();
    return placement;
  }
  placement.outcome = LibraryPlacement::Outcome::Copied;
  return placement;
}

QString PlacementMessage(const LibraryPlacement &placement, const QString &source) {
  switch (placement.outcome) {
  case LibraryPlacement::Outcome::NoTarget:
    return QStringLiteral("このOSでは、動作を確認していません。");
  case LibraryPlacement::Outcome::CopyFailed:
    return QStringLiteral("JPEG 保存ライブラリ「%1」を「%2」へコピーできませんでした。\n%3")
        .arg(QDir::toNativeSeparators(source), QDir::toNativeSeparators(placement.target), placement.error);
  case LibraryPlacement::Outcome::AlreadyPresent:
  case LibraryPlacement::Outcome::Copied:
    break;
  }
  return QString();
}

} // namespace orvelle
