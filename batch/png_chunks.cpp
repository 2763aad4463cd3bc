#include "batch/png_chunks.h"

#include "batch/jpeg_markers.h"

#include <QtEndian>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace orvelle {

namespace {
bool ReadExactly(int fd, unsigned char *into, std::size_t count) {
  while (count > 0) {
    const ssize_t n = ::read(fd, into, count);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return false;
    }
    into += n;
    count -= std::size_t(n);
  }
  return true;
}
} // namespace

QString CheckPngStructure(int fd, qint64 fileSize) {
  const QString cutShort = QStringLiteral("画像が途中で切れているか、壊れています");
  unsigned char head[8];
  if (!ReadExactly(fd, head, 8) || std::memcmp(head, "\x89PNG\r\n\x1a\n", 8) != 0) {
    return QStringLiteral("PNG として読み込めません");
  }
  qint64 at = 8;
  qint64 metadata = 0;
  for (;;) {
    if (!ReadExactly(fd, head, 8)) {
      return cutShort;
    }
    const qint64 length = qFromBigEndian<quint32>(head);
    const bool pictureChunk = std::memcmp(head + 4, "IDAT", 4) == 0;
    // Data and CRC lie inside the file; a length past 2^31 - 1 is no PNG's.
    if (length > 0x7fffffff || at + 12 + length > fileSize) {
      return cutShort;
    }
    if (std::memcmp(head + 4, "IEND", 4) == 0) {
      return QString();
    }
    if (!pictureChunk && (metadata += length) > kMaxJpegMetadataBytes) {
      return QStringLiteral("付随データ（コメントなど）が大きすぎます（%1 MB を超えています）")
          .arg(kMaxJpegMetadataBytes >> 20);
    }
    at += 12 + length;
    if (::lseek(fd, at, SEEK_SET) != at) {
      return cutShort;
    }
  }
}

} // namespace orvelle
