#include "batch/numbered_save.h"

#include "common/file_names.h"
#include "common/move_into_place.h"
#include "export/numbered_name.h"
#include "export/picture_writer.h"
#include "export/save_problems.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace orvelle {

namespace {
// How often a number taken by another program meanwhile is passed over.
constexpr int kClaims = 1000;

QString NumberedPath(const NumberedTarget &target, qulonglong number, PictureFormat format) {
  return JpegPath(target.folder, NumberedName(target.base, number), Suffix(format));
}

bool Exists(const QString &path) {
  struct stat st {};
  return ::lstat(EncodeFileName(path).constData(), &st) == 0;
}

} // namespace

Expected<QString> NumberedSeries::Save(const QImage &picture, const NumberedTarget &target) {
  if (picture.isNull()) {
    return MakeProblem(ProblemKind::NothingToSave);
  }
  if (!m_next || target.folder != m_folder || target.base != m_base) {
    m_folder = target.folder;
    m_base = target.base;
    m_next = NextNumber(target.folder, target.base);
  }
  const QImage pixels = picture.convertToFormat(QImage::Format_RGB32);
  // Written whole (flushed) to a hidden file in the folder first.
  const QString hidden = HiddenPicturePath(target.folder, target.format);
  const int code = WritePicture(pixels, hidden, target.format, target.save, target.quality);
  const int error = errno;
  if (code != SAVEJPG_OK) {
    ::unlink(EncodeFileName(hidden).constData());
    return SavedByCode(NumberedPath(target, *m_next, target.format), code, error).problem();
  }
  const PictureFormat other = target.format == PictureFormat::Png ? PictureFormat::Jpeg : PictureFormat::Png;
  for (int claim = 0; claim < kClaims && *m_next <= kMaxNumber; ++claim, ++*m_next) {
    const QString path = NumberedPath(target, *m_next, target.format);
    if (Exists(NumberedPath(target, *m_next, other))) {
      continue; // the number is the other format's
    }
    const Moved moved = MoveIntoPlace(EncodeFileName(hidden), EncodeFileName(path));
    if (moved == Moved::Done) {
      ++*m_next;
      return path;
    }
    if (moved == Moved::Failed) {
      const int why = errno;
      ::unlink(EncodeFileName(hidden).constData());
      return MakeProblem(ProblemKind::NumberedSaveFailed, {path, QString::fromLocal8Bit(std::strerror(why))});
    }
  }
  ::unlink(EncodeFileName(hidden).constData());
  if (*m_next > kMaxNumber) {
    return MakeProblem(ProblemKind::NumberTooHigh, {QString::number(kMaxNumber), target.base});
  }
  return MakeProblem(ProblemKind::NumberedNoName, {target.folder});
}

} // namespace orvelle
