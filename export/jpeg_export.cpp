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

// The steps both saves share once the name and the folder are known.
Expected<void> WriteJpeg(const JpegJob &job, const QString &folder, const QImage &picture, const QString &bmpName,
                         const QString &ending) {
  if (Expected<void> possible = CheckSave(job.baseName, folder); !possible) {
    return possible;
  }
  if (picture.isNull()) {
    return MakeProblem(ProblemKind::NothingToSave);
  }
  if (job.format == PictureFormat::Png) {
    const QString pngPath = JpegPath(folder, job.baseName, ending + Suffix(PictureFormat::Png));
    const int code = SavePng(picture, pngPath); // no bitmap, no library
    return SavedByCode(pngPath, code, errno);
  }
  const QString bmpPath = job.bitmapFolder + QLatin1Char('/') + bmpName;
  if (!SaveBmp(picture, bmpPath)) {
    return MakeProblem(ProblemKind::ScratchUnwritable, {bmpPath});
  }
  const QString jpegPath = JpegPath(folder, job.baseName, ending + Suffix(PictureFormat::Jpeg));
  // The slider's value travels as a 32-bit, then 16-bit, then 8-bit number.
  const auto quality = static_cast<std::uint8_t>(static_cast<std::int16_t>(static_cast<std::int32_t>(job.quality)));
  const Expected<int> result = CallSavetoJPEG(job.libraryPath, bmpPath, jpegPath, quality, -1);
  const int error = errno;
  if (!result) {
    return result.problem();
  }
  return SavedByCode(jpegPath, *result, error);
}

} // namespace

Expected<void> SaveTrimmedJpeg(const JpegJob &job, const QString &folder, const QImage &trimmed) {
  return WriteJpeg(job, folder, trimmed, kTrimmedBmpName, QString());
}

Expected<void> SaveOriginalJpeg(const JpegJob &job, const QString &folder, const QImage &original) {
  return WriteJpeg(job, folder, original, kOriginalBmpName, QStringLiteral("-org"));
}

} // namespace orvelle
