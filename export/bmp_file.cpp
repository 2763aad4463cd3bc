#include "export/bmp_file.h"

#include "common/replace_file.h"

#include <QByteArray>
#include <QtEndian>
#include <cstring>

namespace orvelle {

namespace {
constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;

template <typename T> void Put(QByteArray &header, int offset, T value) {
  const T le = qToLittleEndian(value);
  std::memcpy(header.data() + offset, &le, sizeof le);
}
} // namespace

bool SaveBmp(const QImage &image, const QString &path) {
  if (image.isNull()) {
    return false;
  }
  // RGB32 lies in memory as B, G, R, X per pixel, which is the bitmap's own
  // 32-bit layout, with rows of width * 4 bytes and no padding. The bitmap
  // stores the bottom row first, so the image is written flipped into one
  // buffer: one copy of the pixels, one write.
  const QImage pixels = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
  const qsizetype rowBytes = qsizetype(pixels.width()) * 4;
  const qint64 dataBytes = qint64(rowBytes) * pixels.height();
  const qint64 fileBytes = kFileHeaderSize + kInfoHeaderSize + dataBytes;
  if (fileBytes > 0x7fffffff) {
    return false;
  }
  QByteArray bytes(fileBytes, Qt::Uninitialized);
  std::memset(bytes.data(), 0, kFileHeaderSize + kInfoHeaderSize);
  bytes[0] = 'B';
  bytes[1] = 'M';
  Put<quint32>(bytes, 2, static_cast<quint32>(fileBytes));
  Put<quint32>(bytes, 10, kFileHeaderSize + kInfoHeaderSize);
  Put<quint32>(bytes, 14, kInfoHeaderSize);
  Put<qint32>(bytes, 18, pixels.width());
  Put<qint32>(bytes, 22, pixels.height());
  Put<quint16>(bytes, 26, 1);  // planes
  Put<quint16>(bytes, 28, 32); // bits per pixel
  Put<quint32>(bytes, 30, 0);  // no compression
  Put<quint32>(bytes, 34, static_cast<quint32>(dataBytes));
  Put<qint32>(bytes, 38, 3780); // 96 dots per inch
  Put<qint32>(bytes, 42, 3780);
  char *out = bytes.data() + kFileHeaderSize + kInfoHeaderSize;
  for (int row = pixels.height() - 1; row >= 0; --row, out += rowBytes) {
    std::memcpy(out, pixels.constScanLine(row), rowBytes);
  }
  return ReplaceFile(path, {bytes});
}

} // namespace orvelle
