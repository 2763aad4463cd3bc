#include "capture/picture/png_chunks.h"

#include <QtEndian>
#include <cerrno>
#include <cstring>
#include <functional>
#include <unistd.h>

namespace orvelle {

namespace {

// The walk itself, over a way to read the 8 bytes at a place.
Expected<void> Walk(qint64 size, const std::function<bool(qint64 at, unsigned char *head)> &headAt) {
  const Problem cutShort = MakeProblem(ProblemKind::CutShort);
  unsigned char head[8];
  if (!headAt(0, head) || std::memcmp(head, "\x89PNG\r\n\x1a\n", 8) != 0) {
    return MakeProblem(ProblemKind::NotPng);
  }
  qint64 metadata = 0;
  for (qint64 at = 8;;) {
    if (!headAt(at, head)) {
      return cutShort;
    }
    const qint64 length = qFromBigEndian<quint32>(head);
    // Data and CRC lie inside the file; a length past 2^31 - 1 is no PNG's.
    if (length > 0x7fffffff || at + 12 + length > size) {
      return cutShort;
    }
    if (std::memcmp(head + 4, "IEND", 4) == 0) {
      return {};
    }
    if (std::memcmp(head + 4, "IDAT", 4) != 0 && (metadata += length) > kMaxPngMetadataBytes) {
      return MakeProblem(ProblemKind::MetadataTooLarge, {QString::number(kMaxPngMetadataBytes >> 20)});
    }
    at += 12 + length;
  }
}

} // namespace

Expected<void> CheckPngStructure(int fd, qint64 fileSize) {
  return Walk(fileSize, [fd](qint64 at, unsigned char *head) {
    std::size_t done = 0;
    while (done < 8) {
      const ssize_t n = ::pread(fd, head + done, 8 - done, off_t(at + qint64(done)));
      if (n < 0 && errno == EINTR) {
        continue;
      }
      if (n <= 0) {
        return false;
      }
      done += std::size_t(n);
    }
    return true;
  });
}

Expected<void> CheckPngBytes(QByteArrayView bytes) {
  return Walk(bytes.size(), [bytes](qint64 at, unsigned char *head) {
    if (at + 8 > bytes.size()) {
      return false;
    }
    std::memcpy(head, bytes.data() + at, 8);
    return true;
  });
}

} // namespace orvelle
