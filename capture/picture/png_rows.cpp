#include "capture/picture/png_rows.h"

#include "common/memory_budget.h"

#include <QtEndian>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <isa-l/igzip_lib.h>
#include <memory>
#include <unistd.h>
#include <utility>
#include <vector>
#include <zlib.h>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace orvelle {

namespace {

// The file's chunks, read through a buffer: the picture data of its IDAT
// chunks piece by piece, their CRCs checked, the chunks between passed over.
class Chunks {
public:
  explicit Chunks(int fd) : m_fd(fd), m_buffer(1 << 16) {}

  // Reads exactly `n` bytes.
  bool Read(unsigned char *out, std::size_t n) {
    while (n > 0) {
      if (m_at == m_end && !Fill()) {
        return false;
      }
      const std::size_t part = std::min(n, m_end - m_at);
      std::memcpy(out, m_buffer.data() + m_at, part);
      m_at += part, out += part, n -= part;
    }
    return true;
  }

  // The next piece of picture data; an empty one where it ends (the chunks
  // after the IDATs), a problem where the file is cut short or broken.
  Expected<std::pair<const unsigned char *, std::size_t>> NextData() {
    while (m_left == 0) {
      if (m_inData && !CheckCrc()) {
        return MakeProblem(ProblemKind::CutShort);
      }
      unsigned char head[8];
      if (!Read(head, 8)) {
        return MakeProblem(ProblemKind::CutShort);
      }
      const quint32 length = qFromBigEndian<quint32>(head);
      if (length > 0x7fffffff) {
        return MakeProblem(ProblemKind::NotAnImage);
      }
      const bool data = std::memcmp(head + 4, "IDAT", 4) == 0;
      if (!data && m_dataSeen) {
        return std::pair<const unsigned char *, std::size_t>(nullptr, 0); // the picture data ended
      }
      if (data) {
        m_dataSeen = m_inData = true;
        m_left = length;
        m_crc = crc32(0, head + 4, 4);
        continue;
      }
      // Before the picture data only a palette (a suggestion for RGB) and
      // ancillary chunks may come.
      if ((head[4] & 0x20) == 0 && std::memcmp(head + 4, "PLTE", 4) != 0) {
        return MakeProblem(ProblemKind::NotAnImage);
      }
      if (!Skip(qint64(length) + 4)) {
        return MakeProblem(ProblemKind::CutShort);
      }
    }
    if (m_at == m_end && !Fill()) {
      return MakeProblem(ProblemKind::CutShort);
    }
    const std::size_t part = std::min<std::size_t>(m_left, m_end - m_at);
    const unsigned char *piece = m_buffer.data() + m_at;
    m_crc = crc32(m_crc, piece, uInt(part));
    m_at += part, m_left -= quint32(part);
    return std::pair(piece, part);
  }

private:
  bool Fill() {
    ssize_t n;
    do {
      n = ::read(m_fd, m_buffer.data(), m_buffer.size());
    } while (n < 0 && errno == EINTR);
    m_at = 0;
    m_end = n > 0 ? std::size_t(n) : 0;
    return n > 0;
  }

  bool Skip(qint64 n) {
    const qint64 buffered = qint64(m_end - m_at);
    if (n <= buffered) {
      m_at += std::size_t(n);
      return true;
    }
    m_at = m_end = 0;
    return ::lseek(m_fd, n - buffered, SEEK_CUR) >= 0;
  }

  bool CheckCrc() {
    m_inData = false;
    unsigned char crc[4];
    return Read(crc, 4) && qFromBigEndian<quint32>(crc) == m_crc;
  }

  int m_fd;
  std::vector<unsigned char> m_buffer;
  std::size_t m_at = 0, m_end = 0;
  quint32 m_left = 0; // of the IDAT chunk being read
  uLong m_crc = 0;
  bool m_inData = false, m_dataSeen = false;
};

// Undoes the Paeth filter, which predicts each byte from the left, the upper
// and the upper-left neighbour, whichever is nearest to their gradient.
void Paeth(unsigned char *row, const unsigned char *above, std::size_t n, std::size_t bpp) {
  std::size_t i = 0;
#ifdef __SSE2__
  // A pixel at a time, its bytes as 16-bit lanes side by side (the rows
  // have room for reading four bytes at the last pixel of three).
  const __m128i zero = _mm_setzero_si128();
  const auto load = [&zero](const unsigned char *p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(v)), zero);
  };
  const auto absolute = [&zero](__m128i x) { return _mm_max_epi16(x, _mm_sub_epi16(zero, x)); };
  const auto pick = [](__m128i mask, __m128i yes, __m128i no) {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
  };
  __m128i a = zero, c = zero;
  for (; i + bpp <= n; i += bpp) {
    const __m128i b = load(above + i);
    const __m128i p = _mm_sub_epi16(b, c), q = _mm_sub_epi16(a, c);
    const __m128i pa = absolute(p), pb = absolute(q), pc = absolute(_mm_add_epi16(p, q));
    const __m128i notA = _mm_or_si128(_mm_cmpgt_epi16(pa, pb), _mm_cmpgt_epi16(pa, pc));
    const __m128i predicted = pick(notA, pick(_mm_cmpgt_epi16(pb, pc), c, b), a);
    a = _mm_and_si128(_mm_add_epi16(load(row + i), predicted), _mm_set1_epi16(0xff));
    const std::uint32_t out = std::uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(a, zero)));
    std::memcpy(row + i, &out, bpp);
    c = b;
  }
#endif
  for (; i < n; ++i) {
    const int a = i >= bpp ? row[i - bpp] : 0, b = above[i], c = i >= bpp ? above[i - bpp] : 0;
    const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    const int predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
    row[i] = static_cast<unsigned char>(row[i] + predicted);
  }
}

// Undoes a row's filter over its first `n` bytes, `bpp` bytes a pixel,
// against the row above (unfiltered, zeros above the first).
bool Unfilter(int filter, unsigned char *row, const unsigned char *above, std::size_t n, std::size_t bpp) {
  switch (filter) {
  case 0:
    return true;
  case 1:
    for (std::size_t i = bpp; i < n; ++i) {
      row[i] = static_cast<unsigned char>(row[i] + row[i - bpp]);
    }
    return true;
  case 2:
    for (std::size_t i = 0; i < n; ++i) {
      row[i] = static_cast<unsigned char>(row[i] + above[i]);
    }
    return true;
  case 3:
    for (std::size_t i = 0; i < n; ++i) {
      const int left = i >= bpp ? row[i - bpp] : 0;
      row[i] = static_cast<unsigned char>(row[i] + ((left + above[i]) >> 1));
    }
    return true;
  case 4:
    Paeth(row, above, n, bpp);
    return true;
  default:
    return false;
  }
}

// ISA-L's inflater, which keeps the history it needs in its state.
struct Inflater {
  std::unique_ptr<inflate_state> state = std::make_unique<inflate_state>();
  Inflater() {
    isal_inflate_init(state.get());
    state->crc_flag = ISAL_ZLIB; // the stream's header read, its checksum checked at its end
  }
};

} // namespace

std::optional<Expected<Region>> ReadPngRegion(int fd, const std::function<QRect(QSize)> &choose, qint64 budget,
                                              const std::atomic<bool> *stop) {
  Chunks chunks(fd);
  unsigned char head[8 + 8 + 13 + 4];
  if (!chunks.Read(head, sizeof head) || std::memcmp(head, "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16) != 0 ||
      qFromBigEndian<quint32>(head + 29) != crc32(0, head + 12, 17)) {
    return std::nullopt; // the other reader tells what is wrong
  }
  const quint32 width = qFromBigEndian<quint32>(head + 16), height = qFromBigEndian<quint32>(head + 20);
  const unsigned char depth = head[24], colour = head[25];
  if (width == 0 || height == 0 || width > 0x7fffffff || height > 0x7fffffff || depth != 8 ||
      (colour != 2 && colour != 6) || head[26] != 0 || head[27] != 0 || head[28] != 0) {
    return std::nullopt;
  }
  const std::size_t bpp = colour == 6 ? 4 : 3;
  Region region;
  region.imageSize = QSize(int(width), int(height));
  region.area = choose(region.imageSize) & QRect(QPoint(0, 0), region.imageSize);
  if (region.area.isEmpty()) {
    return region;
  }
  // Two rows, the inflater's state with its history, and the area.
  if (AddBytes(PictureBytes(width, 2) + qint64(sizeof(inflate_state)),
               PictureBytes(region.area.width(), region.area.height())) > budget) {
    return Expected<Region>(TooLargeProblem(region.imageSize));
  }
  const std::size_t rowBytes = std::size_t(width) * bpp;
  const std::size_t needed = std::size_t(region.area.right() + 1) * bpp;
  std::vector<unsigned char> rows(2 * (rowBytes + 1) + 4, 0); // room to read a pixel of three as four bytes
  unsigned char *above = rows.data(), *row = rows.data() + rowBytes + 1;
  region.pixels = QImage(region.area.size(), QImage::Format_RGB32);
  Inflater inflater;
  if (region.pixels.isNull()) {
    return Expected<Region>(MakeProblem(ProblemKind::OutOfMemory));
  }
  inflate_state &z = *inflater.state;
  bool ended = false; // the picture data
  for (int y = 0; y <= region.area.bottom(); ++y) {
    if (stop != nullptr && stop->load(std::memory_order_relaxed)) {
      return Expected<Region>(MakeProblem(ProblemKind::Interrupted));
    }
    z.next_out = row;
    z.avail_out = std::uint32_t(rowBytes + 1);
    while (z.avail_out > 0) {
      if (z.block_state == ISAL_BLOCK_FINISH) {
        return Expected<Region>(MakeProblem(ProblemKind::CutShort)); // the data ended before the rows
      }
      if (z.avail_in == 0 && !ended) {
        const auto piece = chunks.NextData();
        if (!piece) {
          return Expected<Region>(piece.problem());
        }
        ended = piece->second == 0; // then the inflater gives what it still holds
        z.next_in = const_cast<unsigned char *>(piece->first);
        z.avail_in = std::uint32_t(piece->second);
      }
      const std::uint32_t room = z.avail_out;
      if (isal_inflate(&z) != ISAL_DECOMP_OK || (ended && z.avail_out == room)) {
        return Expected<Region>(MakeProblem(ProblemKind::CutShort));
      }
    }
    if (!Unfilter(row[0], row + 1, above + 1, needed, bpp)) {
      return Expected<Region>(MakeProblem(ProblemKind::NotAnImage));
    }
    if (y >= region.area.top()) {
      auto *out = reinterpret_cast<QRgb *>(region.pixels.scanLine(y - region.area.top()));
      const unsigned char *in = row + 1 + std::size_t(region.area.left()) * bpp;
      for (int x = 0; x < region.area.width(); ++x, in += bpp) {
        out[x] = qRgb(in[0], in[1], in[2]);
      }
    }
    std::swap(above, row);
  }
  return Expected<Region>(std::move(region));
}

} // namespace orvelle
