// libFuzzer target for the two readers of image files: the JPEG library's
// bitmap reader (SavetoJPEG) and the batch's region reader (PNG, JPEG, BMP
// and whatever else Qt reads). Any bytes as the file: no input may crash
// either, read out of bounds or hold more than the budget allows; what the
// library accepts is written as a JPEG, and what the region reader accepts
// has the area it was asked for.
#include "capture/picture/region_reader.h"
#include "savejpg/SaveJPG.h"

#include <QFile>
#include <QtEndian>
#include <cstddef>
#include <cstdint>
#include <unistd.h>
#include <zlib.h>

// A PNG's chunk checksums set right, so that mutations reach past them.
static QByteArray WithChunkCrcs(QByteArray bytes) {
  for (qsizetype at = 8; bytes.startsWith("\x89PNG") && at + 12 <= bytes.size();) {
    const quint32 length = qFromBigEndian<quint32>(bytes.constData() + at);
    if (length > quint32(bytes.size() - at - 12)) {
      break;
    }
    const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef *>(bytes.constData() + at + 4), length + 4));
    qToBigEndian(crc, bytes.data() + at + 8 + length);
    at += 12 + qsizetype(length);
  }
  return bytes;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  static const QString path = QStringLiteral("/tmp/image_fuzz_%1").arg(getpid());
  static const QByteArray source = QFile::encodeName(path), target = source + ".jpg";
  QFile file(path);
  const QByteArray bytes = WithChunkCrcs(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
    return 0;
  }
  file.close();
  const int rc = SavetoJPEG(source.constData(), target.constData(), 75, -1);
  if (rc != SAVEJPG_OK && rc != SAVEJPG_E_SOURCE && rc != SAVEJPG_E_ENCODE) {
    __builtin_trap();
  }
  const QRect asked(3, 2, 17, 11);
  const auto read = orvelle::ReadRegion(
      path, [&](QSize) { return asked; }, qint64(64) << 20);
  if (read) {
    const orvelle::Region *region = &*read;
    const QRect expected = asked & QRect(QPoint(0, 0), region->imageSize);
    if (region->area != expected || (!expected.isEmpty() && region->pixels.size() != expected.size())) {
      __builtin_trap();
    }
  }
  return 0;
}
