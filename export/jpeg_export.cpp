#include "export/jpeg_export.h"

#include "common/file_access.h"
#include "common/message_box.h"
#include "common/numbers.h"
#include "export/bmp_file.h"
#include "export/jpeg_library.h"
#include "savejpg/SaveJPG.h"
#include "settings/settings_file.h"

#include <QDir>
#include <cerrno>
#include <cstdint>

namespace orvelle {

namespace {

constexpr QChar kSeparator = QLatin1Char('/');

// A name that would leave the save folder or that no file may take.
bool IsUsableFileName(const QString &name) {
  return name != QLatin1String(".") && name != QLatin1String("..") && !name.contains(kSeparator) &&
         !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0));
}

// The steps both saves share once the name and the folder are known.
bool WriteJpeg(const JpegExport &job, const QString &folder, const QImage &picture, const QString &bmpName,
               const QString &suffix) {
  if (const QString problem = SaveProblem(job.baseName, folder); !problem.isEmpty()) {
    ShowMessage(job.parent, problem);
    return false;
  }
  if (picture.isNull()) {
    ShowMessage(job.parent, QStringLiteral("保存する画像がありません（大きさが 0 です）。"));
    return false;
  }
  const QString bmpPath = job.bitmapFolder + kSeparator + bmpName;
  if (!SaveBmp(picture, bmpPath)) {
    ShowMessage(
        job.parent,
        QStringLiteral("画像の一時ファイル「%1」を書き込めませんでした。").arg(QDir::toNativeSeparators(bmpPath)));
    return false;
  }
  const QString jpegPath = JpegPath(folder, job.baseName, suffix);
  // The slider's value travels as a 32-bit, then 16-bit, then 8-bit number.
  const auto quality = static_cast<std::uint8_t>(static_cast<std::int16_t>(static_cast<std::int32_t>(job.quality)));
  QString loadError;
  const auto result = CallSavetoJPEG(job.libraryPath, bmpPath, jpegPath, quality, -1, &loadError);
  const int error = errno;
  if (!result) {
    ShowMessage(job.parent, LibraryProblem(job.libraryPath, loadError));
    return false;
  }
  if (*result != 0) {
    ShowMessage(job.parent, JpegSaveProblem(jpegPath, *result, error) + QStringLiteral("。"));
    return false;
  }
  return true;
}

} // namespace

QString FolderProblem(const QString &folder) {
  if (folder.isEmpty()) {
    return QStringLiteral("ファイルの保存先を指定ください");
  }
  if (!IsWritableFolder(folder)) {
    return QStringLiteral("保存先フォルダー「%1」が見つからないか、書き込みできません。\n"
                          "メニューの［設定(S)］－［保存フォルダー］で保存先を選んでください。")
        .arg(folder);
  }
  return QString();
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
  if (code == SAVEJPG_E_TARGET && (systemError == ENOSPC || systemError == EDQUOT)) {
    return QStringLiteral("JPEG ファイル「%1」を保存できませんでした（ディスクがいっぱいです）").arg(path);
  }
  return QStringLiteral("JPEG ファイル「%1」を保存できませんでした（エラー コード %2）").arg(path, IntegerText(code));
}

QString LibraryProblem(const QString &libraryPath, const QString &loadError) {
  return QStringLiteral("JPEG 保存ライブラリ「%1」を読み込めませんでした。\n%2")
      .arg(QDir::toNativeSeparators(libraryPath), loadError);
}

QString JpegPath(const QString &folder, const QString &baseName, const QString &suffix) {
  const QString withSeparator = folder.endsWith(kSeparator) ? folder : folder + kSeparator;
  return withSeparator + baseName + suffix;
}

bool SaveTrimmedJpeg(const JpegExport &job, const QString &panelFolder, QString &saveFolder, const QImage &trimmed) {
  if (!job.baseName.isEmpty()) {
    saveFolder = panelFolder;
  }
  return WriteJpeg(job, saveFolder, trimmed, kTrimmedBmpName, QStringLiteral(".jpg"));
}

void SaveOriginalJpeg(const JpegExport &job, const QString &saveFolder, const QImage &original) {
  WriteSetting(saveFolder, QStringLiteral("F_Path"), QStringLiteral("File"), SettingsFilePath(job.programFolder));
  WriteJpeg(job, saveFolder, original, kOriginalBmpName, QStringLiteral("-org.jpg"));
}

} // namespace orvelle
