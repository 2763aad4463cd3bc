#include "savejpg/bitmap.h"

#include <turbojpeg.h>

#include <bit>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace savejpg {

namespace {

constexpr std::uint32_t kRgb = 0;       // uncompressed
constexpr std::uint32_t kBitFields = 3; // uncompressed, channels by masks

std::uint32_t U32(const unsigned char *p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24); }
std::uint16_t U16(const unsigned char *p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

bool ReadFile(const char *path, std::unique_ptr<unsigned char[]> &bytes, std::size_t &size) {
  // Never waits on a pipe: only a regular file is read.
  const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    return false;
  }
  struct stat st {};
  bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 && st.st_size < (std::int64_t(1) << 31);
  if (ok) {
    size = static_cast<std::size_t>(st.st_size);
    bytes.reset(new (std::nothrow) unsigned char[size]);
    ok = bytes != nullptr;
    std::size_t done = 0;
    while (ok && done < size) {
      const ssize_t n = read(fd, bytes.get() + done, size - done);
      if (n < 0 && errno == EINTR) {
        continue;
      }
      ok = n > 0;
      done += ok ? static_cast<std::size_t>(n) : 0;
    }
  }
  close(fd);
  return ok;
}

// One channel of a bit-field pixel, scaled to 8 bits.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  explicit Channel(std::uint32_t m) : mask(m) {
    if (m != 0) {
      shift = std::countr_zero(m);
      bits = std::popcount(m >> shift);
    }
  }
  unsigned char operator()(std::uint32_t pixel) const {
    if (bits == 0) {
      return 0;
    }
    const std::uint32_t v = (pixel & mask) >> shift;
    if (bits >= 8) {
      return static_cast<unsigned char>(v >> (bits - 8));
    }
    return static_cast<unsigned char>(v * 255 / ((1u << bits) - 1));
  }
};

// 32-bit rows, blue, green, red and an unused byte, made pixel by pixel.
template <typename PixelOf> bool Convert(Bitmap &bmp, const unsigned char *rows, std::int64_t pitch, PixelOf pixelOf) {
  const std::size_t outPitch = std::size_t(bmp.width) * 4;
  bmp.converted.reset(new (std::nothrow) unsigned char[outPitch * std::size_t(bmp.height)]);
  if (bmp.converted == nullptr) {
    return false;
  }
  for (int y = 0; y < bmp.height; ++y) {
    const unsigned char *in = rows + pitch * y;
    unsigned char *out = bmp.converted.get() + outPitch * std::size_t(y);
    for (int x = 0; x < bmp.width; ++x, out += 4) {
      const std::uint32_t bgr = pixelOf(in, x);
      out[0] = bgr & 0xFF;
      out[1] = (bgr >> 8) & 0xFF;
      out[2] = (bgr >> 16) & 0xFF;
      out[3] = 0;
    }
  }
  bmp.rows = bmp.converted.get();
  bmp.pitch = static_cast<int>(outPitch);
  bmp.pixelFormat = TJPF_BGRX;
  return true;
}

// A palette's colours (blue, green, red, unused); an index past its end is black.
bool ConvertPalette(Bitmap &bmp, const unsigned char *rows, std::int64_t pitch, int bits, const unsigned char *palette,
                    std::uint32_t colours) {
  const int perByte = 8 / bits;
  const unsigned mask = (1u << bits) - 1;
  return Convert(bmp, rows, pitch, [&](const unsigned char *row, int x) -> std::uint32_t {
    const int shift = 8 - bits * (x % perByte + 1);
    const unsigned index = (row[x / perByte] >> shift) & mask;
    return index < colours ? U32(palette + 4 * index) & 0xFFFFFF : 0;
  });
}

bool ConvertBitFields(Bitmap &bmp, const unsigned char *rows, std::int64_t pitch, const unsigned char *masks) {
  const Channel red(U32(masks)), green(U32(masks + 4)), blue(U32(masks + 8));
  return Convert(bmp, rows, pitch, [&](const unsigned char *row, int x) -> std::uint32_t {
    const std::uint32_t p = U32(row + 4 * x);
    return blue(p) | (std::uint32_t(green(p)) << 8) | (std::uint32_t(red(p)) << 16);
  });
}

} // namespace

bool ReadBitmap(const char *path, Bitmap &bmp) {
  if (!ReadFile(path, bmp.bytes, bmp.size) || bmp.size < 54) {
    return false;
  }
  const unsigned char *b = bmp.bytes.get();
  if (b[0] != 'B' || b[1] != 'M') {
    return false;
  }
  const std::uint32_t offset = U32(b + 10);
  const std::uint32_t infoSize = U32(b + 14);
  const auto width = static_cast<std::int32_t>(U32(b + 18));
  const auto height = static_cast<std::int32_t>(U32(b + 22));
  const std::uint16_t bits = U16(b + 28);
  const std::uint32_t compression = U32(b + 30);
  const bool bitFields = compression == kBitFields && bits == 32;
  if (infoSize < 40 || infoSize > bmp.size - 14 || U16(b + 26) != 1 || (compression != kRgb && !bitFields) ||
      (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)) {
    return false;
  }
  if (width <= 0 || width > 65535 || height == 0 || height < -65535 || height > 65535) {
    return false;
  }
  const std::int64_t rowCount = height < 0 ? -std::int64_t(height) : height;
  const std::int64_t pitch = ((std::int64_t(width) * bits + 31) / 32) * 4;
  // The colour table (or a short header's masks) lies between the header and the rows.
  const std::int64_t tableStart = 14 + std::int64_t(infoSize);
  if (offset < tableStart || std::int64_t(offset) + pitch * rowCount > std::int64_t(bmp.size)) {
    return false;
  }
  const unsigned char *rows = b + offset;
  bmp.width = width;
  bmp.height = static_cast<int>(rowCount);
  bmp.bottomUp = height > 0;
  if (bits <= 8) {
    const std::uint32_t used = U32(b + 46);
    const std::uint32_t colours = used == 0 || used > (1u << bits) ? (1u << bits) : used;
    if (tableStart + 4 * std::int64_t(colours) > offset) {
      return false;
    }
    return ConvertPalette(bmp, rows, pitch, bits, b + tableStart, colours);
  }
  if (bitFields) {
    // Masks inside a header of 52 bytes or more, else just after it.
    const std::int64_t masks = infoSize >= 52 ? 14 + 40 : tableStart;
    if (masks + 12 > offset) {
      return false;
    }
    const bool standard = U32(b + masks) == 0xFF0000 && U32(b + masks + 4) == 0xFF00 && U32(b + masks + 8) == 0xFF;
    if (!standard) {
      return ConvertBitFields(bmp, rows, pitch, b + masks);
    }
  }
  bmp.rows = rows;
  bmp.pitch = static_cast<int>(pitch);
  bmp.pixelFormat = bits == 32 ? TJPF_BGRX : TJPF_BGR;
  return true;
}

} // namespace savejpg
