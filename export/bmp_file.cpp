#include "export/bmp_file.h"

#include <QSaveFile>
#include <QtEndian>
#include <array>
#include <cstring>

namespace orvelle {

namespace {
constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;

template <typename T> void Put(std::array<char, kFileHeaderSize + kInfoHeaderSize> &header, int offset, T value) {
  const T le = qToLittleEndian(value);
  std::memcpy(header.data() + offset, &le, sizeof le);
}
} // namespace

bool SaveBmp(const QImage &image, const QString &path) {
  if (image.isNull()) {
    return false;
  }
  // RGB32 lies in memory as B, G, R, X per pixel, which is the bitmap's own
  // 32-bit layout, with rows of width * 4 bytes and no padding.
  const QImage pixels = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
  const qint64 rowBytes = qint64(pixels.width()) * 4;
  const qint64 dataBytes = rowBytes * pixels.height();
  const qint64 fileBytes = kFileHeaderSize + kInfoHeaderSize + dataBytes;
  if (pixels.bytesPerLine() != rowBytes || fileBytes > 0x7fffffff) {
    return false;
  }
  std::array<char, kFileHeaderSize + kInfoHeaderSize> header{};
  header[0] = 'B';
  header[1] = 'M';
  Put<quint32>(header, 2, static_cast<quint32>(fileBytes));
  Put<quint32>(header, 10, kFileHeaderSize + kInfoHeaderSize);
  Put<quint32>(header, 14, kInfoHeaderSize);
  Put<qint32>(header, 18, pixels.width());
  Put<qint32>(header, 22, -pixels.height()); // negative: the first row is the top one
  Put<quint16>(header, 26, 1);               // planes
  Put<quint16>(header, 28, 32);              // bits per pixel
  Put<quint32>(header, 30, 0);               // BI_RGB
  Put<quint32>(header, 34, static_cast<quint32>(dataBytes));
  Put<qint32>(header, 38, 3780); // 96 dots per inch
  Put<qint32>(header, 42, 3780);

  QSaveFile file(path);
  file.setDirectWriteFallback(false);
  if (!file.open(QIODevice::WriteOnly)) {
    return false;
  }
  if (file.write(header.data(), header.size()) != qint64(header.size()) ||
      file.write(reinterpret_cast<const char *>(pixels.constBits()), dataBytes) != dataBytes) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

} // namespace orvelle
