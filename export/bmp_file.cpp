#include "export/bmp_file.h"

#include "common/replace_file.h"

#include <QtEndian>
#include <array>
#include <cstring>
#include <vector>

namespace orvelle {

namespace {
constexpr int kHeaderSize = 14 + 40;

template <typename T> void Put(std::array<char, kHeaderSize> &header, int offset, T value) {
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
  // stores the bottom row first: the rows go out straight from the image's
  // memory in that order, without a copy.
  const QImage pixels = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
  const std::size_t rowBytes = std::size_t(pixels.width()) * 4;
  const qint64 dataBytes = qint64(rowBytes) * pixels.height();
  const qint64 fileBytes = kHeaderSize + dataBytes;
  if (fileBytes > 0x7fffffff) {
    return false;
  }
  std::array<char, kHeaderSize> header{};
  header[0] = 'B';
  header[1] = 'M';
  Put<quint32>(header, 2, static_cast<quint32>(fileBytes));
  Put<quint32>(header, 10, kHeaderSize);
  Put<quint32>(header, 14, 40);
  Put<qint32>(header, 18, pixels.width());
  Put<qint32>(header, 22, pixels.height());
  Put<quint16>(header, 26, 1);  // planes
  Put<quint16>(header, 28, 32); // bits per pixel
  Put<quint32>(header, 30, 0);  // no compression
  Put<quint32>(header, 34, static_cast<quint32>(dataBytes));
  Put<qint32>(header, 38, 3780); // 96 dots per inch
  Put<qint32>(header, 42, 3780);

  std::vector<QByteArrayView> pieces;
  pieces.reserve(std::size_t(pixels.height()) + 1);
  pieces.emplace_back(header.data(), header.size());
  for (int row = pixels.height() - 1; row >= 0; --row) {
    pieces.emplace_back(pixels.constScanLine(row), static_cast<qsizetype>(rowBytes));
  }
  return ReplaceFile(path, pieces, FileMode::PrivateScratch); // it holds a screenshot
}

} // namespace orvelle
