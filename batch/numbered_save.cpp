#include "batch/numbered_save.h"

#include "common/file_names.h"
#include "export/numbered_name.h"
#include "export/png_file.h"
#include "export/save_problems.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvelle {

namespace {
// How often a number taken by another program meanwhile is passed over.
constexpr int kClaims = 1000;
} // namespace

NumberedSave SaveAsNextNumbered(const QImage &picture, const NumberedTarget &target) {
  if (picture.isNull()) {
    return {QString(), QStringLiteral("保存する画像がありません（大きさが 0 です）。")};
  }
  const QImage pixels = picture.convertToFormat(QImage::Format_RGB32);
  for (int claim = 0; claim < kClaims; ++claim) {
    const QString numbered = NextNumberedName(target.folder, target.base);
    const QString path = JpegPath(target.folder, numbered, Suffix(target.format));
    const QByteArray name = EncodeFileName(path);
    const int fd = open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0 && errno == EEXIST) {
      continue; // another program took this number
    }
    // A number is the picture's in either format: one the other format took
    // meanwhile is given back.
    const PictureFormat other = target.format == PictureFormat::Png ? PictureFormat::Jpeg : PictureFormat::Png;
    struct stat taken {};
    if (fd >= 0 && lstat(EncodeFileName(JpegPath(target.folder, numbered, Suffix(other))).constData(), &taken) == 0) {
      close(fd);
      unlink(name.constData());
      continue;
    }
    if (fd < 0) {
      return {QString(), QStringLiteral("JPEG ファイル「%1」を作れませんでした（%2）")
                             .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(errno)))};
    }
    close(fd);
    const int code = target.format == PictureFormat::Png
                         ? SavePng(pixels, path)
                         : target.save(pixels.constBits(), pixels.width(), pixels.height(), int(pixels.bytesPerLine()),
                                       name.constData(), static_cast<uint8_t>(target.quality), -1);
    const int error = errno;
    if (code != SAVEJPG_OK) {
      unlink(name.constData());
      return {QString(), JpegSaveProblem(path, code, error)};
    }
    return {path, QString()};
  }
  return {QString(), QStringLiteral("保存先フォルダー「%1」に番号付きのファイルを作れませんでした。")
                         .arg(QDir::toNativeSeparators(target.folder))};
}

} // namespace orvelle
