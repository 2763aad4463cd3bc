#include "capture/picture/jpeg_markers.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace orvelle {

namespace {

const Problem kCutShort = MakeProblem(ProblemKind::CutShort);

// Bytes of a file, read through a fixed buffer; skipping ahead seeks.
class Bytes {
public:
  explicit Bytes(int fd) : m_fd(fd) {}

  // The next byte, or -1 at the end of the file or on an error.
  int next() {
    if (m_pos == m_len && !fill()) {
      return -1;
    }
    return m_buffer[m_pos++];
  }
  bool skip(qint64 count) {
    const qint64 buffered = qint64(m_len - m_pos);
    if (count <= buffered) {
      m_pos += std::size_t(count);
      return true;
    }
    m_pos = m_len;
    return ::lseek(m_fd, count - buffered, SEEK_CUR) >= 0;
  }
  // Moves to the next 0xFF byte; false at the end of the file.
  bool seekFF() {
    for (;;) {
      const void *found = std::memchr(m_buffer.data() + m_pos, 0xFF, m_len - m_pos);
      if (found != nullptr) {
        m_pos = std::size_t(static_cast<const unsigned char *>(found) - m_buffer.data());
        return true;
      }
      m_pos = m_len;
      if (!fill()) {
        return false;
      }
    }
  }

private:
  bool fill() {
    for (;;) {
      const ssize_t n = ::read(m_fd, m_buffer.data(), m_buffer.size());
      if (n < 0 && errno == EINTR) {
        continue;
      }
      m_pos = 0;
      m_len = n > 0 ? std::size_t(n) : 0;
      return n > 0;
    }
  }

  int m_fd;
  std::array<unsigned char, 65536> m_buffer{};
  std::size_t m_pos = 0;
  std::size_t m_len = 0;
};

bool IsStandalone(int marker) { return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7); }
bool IsMetadata(int marker) { return marker == 0xFE || (marker >= 0xE0 && marker <= 0xEF); }
// A start of frame: C0 to CF but for the tables C4 and CC and the reserved C8.
bool IsFrame(int marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}
bool IsLossless(int marker) { return marker == 0xC3 || marker == 0xC7 || marker == 0xCB || marker == 0xCF; }

// Whether the decoder can read a picture of this frame, or why not.
Expected<void> CheckFrame(int marker, int precision) {
  if (IsLossless(marker)) {
    return MakeProblem(ProblemKind::JpegLossless);
  }
  if (precision != 8) {
    return MakeProblem(ProblemKind::JpegPrecision, {QString::number(precision)});
  }
  return {};
}

} // namespace

Expected<void> CheckJpegStructure(int fd) {
  Bytes bytes(fd);
  if (bytes.next() != 0xFF || bytes.next() != 0xD8) {
    return MakeProblem(ProblemKind::NotJpeg);
  }
  int scans = 0;
  qint64 metadata = 0;
  for (;;) {
    // The next marker: in a scan's coded data a 0xFF followed by 0 or a
    // restart marker belongs to the data.
    if (!bytes.seekFF()) {
      return kCutShort;
    }
    int marker = bytes.next();
    while (marker == 0xFF) {
      marker = bytes.next();
    }
    if (marker < 0) {
      return kCutShort;
    }
    if (marker == 0x00 || IsStandalone(marker)) {
      continue;
    }
    if (marker == 0xD9) {
      return scans > 0 ? Expected<void>() : kCutShort;
    }
    const int high = bytes.next();
    const int low = bytes.next();
    const int length = high < 0 || low < 0 ? -1 : (high << 8 | low);
    if (length < 2) {
      return kCutShort;
    }
    if (IsMetadata(marker) && (metadata += length) > kMaxJpegMetadataBytes) {
      return MakeProblem(ProblemKind::MetadataTooLarge, {QString::number(kMaxJpegMetadataBytes >> 20)});
    }
    if (marker == 0xDA && ++scans > kMaxJpegScans) {
      return MakeProblem(ProblemKind::TooManyScans, {QString::number(kMaxJpegScans)});
    }
    qint64 rest = length - 2;
    if (IsFrame(marker) && rest > 0) {
      const int precision = bytes.next();
      if (precision < 0) {
        return kCutShort;
      }
      if (Expected<void> readable = CheckFrame(marker, precision); !readable) {
        return readable;
      }
      --rest;
    }
    if (!bytes.skip(rest)) {
      return kCutShort;
    }
  }
}

} // namespace orvelle
