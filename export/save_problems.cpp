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

QString FolderProblem(const QString &folder) {
  if (folder.isEmpty()) {
    return QStringLiteral("ファイルの保存先を指定ください");
  }
  if (!IsWritableFolder(folder)) {
    return UnusableFolderProblem(folder) +
           QStringLiteral("\nメニューの［設定(S)］－［保存フォルダー］で保存先を選んでください。");
  }
  return QString();
}

QString UnusableFolderProblem(const QString &folder) {
  return QStringLiteral("保存先フォルダー「%1」が見つからないか、書き込みできません。").arg(folder);
}

QString SaveProblem(const QString &baseName, const QString &folder) {
  if (baseName.isEmpty()) {
    return QStringLiteral("ファイル名を指定ください");
  }
  if (!folder.isEmpty() && !IsUsableFileName(baseName)) {
    return QStringLiteral("ファイル名「%1」には使えない文字（/ や \\）が含まれています。").arg(baseName);
  }
  return FolderProblem(folder);
}

QString JpegSaveProblem(const QString &jpegPath, int code, int systemError) {
  const QString path = QDir::toNativeSeparators(jpegPath);
  if (code == SAVEJPG_E_READONLY) {
    return QStringLiteral("「%1」は読み取り専用のため上書きしません").arg(QFileInfo(jpegPath).fileName());
  }
  const QString kind = jpegPath.endsWith(QLatin1String(".png")) ? QStringLiteral("PNG") : QStringLiteral("JPEG");
  if (code == SAVEJPG_E_TARGET && (systemError == ENOSPC || systemError == EDQUOT)) {
    return QStringLiteral("%1 ファイル「%2」を保存できませんでした（ディスクがいっぱいです）").arg(kind, path);
  }
  return QStringLiteral("%1 ファイル「%2」を保存できませんでした（エラー コード %3）")
      .arg(kind, path, IntegerText(code));
}

QString LibraryProblem(const QString &libraryPath, const QString &loadError) {
  return QStringLiteral("JPEG 保存ライブラリ「%1」を読み込めませんでした。\n%2")
      .arg(QDir::toNativeSeparators(libraryPath), loadError);
}

QString JpegPath(const QString &folder, const QString &baseName, const QString &suffix) {
  const QString withSeparator = folder.endsWith(kSeparator) ? folder : folder + kSeparator;
  return withSeparator + baseName + suffix;
}

} // namespace orvelle
