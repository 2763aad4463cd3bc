#include "export/jpeg_export.h"

#include "export/bmp_file.h"
#include "export/jpeg_library.h"
#include "export/png_file.h"
#include "export/save_problems.h"
#include "savejpg/SaveJPG.h"

#include <QDir>
#include <cerrno>
#include <cstdint>

namespace orvelle {

namespace {

// Nothing when the writer's code says saved; else the message for the user.
QString SavedOrWhy(const QString &path, int code, int systemError) {
  if (code == SAVEJPG_OK) {
    return QString();
  }
  const QString problem = JpegSaveProblem(path, code, systemError);
  return code == SAVEJPG_E_READONLY ? problem : problem + QStringLiteral("。");
}

// The steps both saves share once the name and the folder are known.
QString WriteJpeg(const JpegJob &job, const QString &folder, const QImage &picture, const QString &bmpName,
                  const QString &ending) {
  if (const QString problem = SaveProblem(job.baseName, folder); !problem.isEmpty()) {
    return problem;
  }
  if (picture.isNull()) {
    return QStringLiteral("保存する画像がありません（大きさが 0 です）。");
  }
  if (job.format == PictureFormat::Png) {
    const QString pngPath = JpegPath(folder, job.baseName, ending + Suffix(PictureFormat::Png));
    const int code = SavePng(picture, pngPath); // no bitmap, no library
    return SavedOrWhy(pngPath, code, errno);
  }
  const QString bmpPath = job.bitmapFolder + QLatin1Char('/') + bmpName;
  if (!SaveBmp(picture, bmpPath)) {
    return QStringLiteral("画像の一時ファイル「%1」を書き込めませんでした。").arg(QDir::toNativeSeparators(bmpPath));
  }
  const QString jpegPath = JpegPath(folder, job.baseName, ending + Suffix(PictureFormat::Jpeg));
  // The slider's value travels as a 32-bit, then 16-bit, then 8-bit number.
  const auto quality = static_cast<std::uint8_t>(static_cast<std::int16_t>(static_cast<std::int32_t>(job.quality)));
  QString loadError;
  const auto result = CallSavetoJPEG(job.libraryPath, bmpPath, jpegPath, quality, -1, &loadError);
  const int error = errno;
  if (!result) {
    return LibraryProblem(job.libraryPath, loadError);
  }
  return SavedOrWhy(jpegPath, *result, error);
}

} // namespace

QString SaveTrimmedJpeg(const JpegJob &job, const QString &folder, const QImage &trimmed) {
  return WriteJpeg(job, folder, trimmed, kTrimmedBmpName, QString());
}

QString SaveOriginalJpeg(const JpegJob &job, const QString &folder, const QImage &original) {
  return WriteJpeg(job, folder, original, kOriginalBmpName, QStringLiteral("-org"));
}

} // namespace orvelle
