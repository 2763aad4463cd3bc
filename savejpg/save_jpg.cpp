#include "savejpg/SaveJPG.h"

#include <turbojpeg.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <new>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kHighQuality = 80;

// Frees what TurboJPEG hands out, whatever way the function is left.
struct TjBuffer {
  unsigned char *data = nullptr;
  ~TjBuffer() { tjFree(data); }
};
struct TjHandle {
  tjhandle handle = tjInitCompress();
  ~TjHandle() {
    if (handle != nullptr) {
      tjDestroy(handle);
    }
  }
};

bool WriteAll(int fd, const unsigned char *data, unsigned long size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    data += n;
    size -= static_cast<unsigned long>(n);
  }
  return true;
}

// The target's folder, with its separator; empty for a name without one.
std::string FolderOf(const std::string &target) {
  const std::size_t slash = target.rfind('/');
  return slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
}

// Creates a new temporary file of a short hidden name in the target's folder
// (a left-over one never looks like a picture, and a long target name still
// fits), with the permissions the process's umask gives a new file.
int CreateTemporary(const std::string &target, std::string &temp) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = FolderOf(target) + ".orvelle-";
    for (int i = 0; i < 6; ++i) {
      temp += kLetters[random() % (sizeof(kLetters) - 1)];
    }
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) {
      return fd;
    }
  }
  return -1;
}

// Writes the bytes to a temporary file beside the target, flushes them to the
// disk and renames the file over the target; the temporary file is removed on
// every failure, and errno then tells the system's reason (ENOSPC: disk full).
int WriteReplacing(const char *target, const unsigned char *data, unsigned long size) {
  std::string temp;
  const int fd = CreateTemporary(target, temp);
  if (fd < 0) {
    return SAVEJPG_E_TARGET;
  }
  bool ok = WriteAll(fd, data, size) && fsync(fd) == 0;
  int error = errno;
  if (close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && rename(temp.c_str(), target) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    unlink(temp.c_str());
    errno = error;
    return SAVEJPG_E_TARGET;
  }
  return SAVEJPG_OK;
}

// An uncompressed 24- or 32-bit bitmap, read whole, whose rows the encoder
// takes as they lie in the file.
struct Bitmap {
  std::unique_ptr<unsigned char[]> bytes; // not zeroed first: read() fills it
  std::size_t size = 0;
  const unsigned char *rows = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;
  int pixelFormat = TJPF_UNKNOWN;
  bool bottomUp = true;
};

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

enum class BitmapKind { Invalid, Direct, Other };

// Checks the bitmap's header against its size: uncompressed, at most 65535
// pixels a side (the most JPEG holds), and all of its rows in the file, so
// that no header can make the reader allocate or read more than is there.
// 24- and 32-bit rows are taken as they lie (Direct); palette bitmaps go to
// TurboJPEG's own reader (Other).
BitmapKind ReadBitmap(const char *path, Bitmap &bmp) {
  if (!ReadFile(path, bmp.bytes, bmp.size) || bmp.size < 54) {
    return BitmapKind::Invalid;
  }
  const unsigned char *b = bmp.bytes.get();
  if (b[0] != 'B' || b[1] != 'M') {
    return BitmapKind::Invalid;
  }
  const std::uint32_t offset = U32(b + 10);
  const std::uint32_t infoSize = U32(b + 14);
  const auto width = static_cast<std::int32_t>(U32(b + 18));
  const auto height = static_cast<std::int32_t>(U32(b + 22));
  const std::uint16_t bits = U16(b + 28);
  if (infoSize < 40 || U16(b + 26) != 1 || U32(b + 30) != 0 ||
      (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)) {
    return BitmapKind::Invalid;
  }
  if (width <= 0 || width > 65535 || height == 0 || height < -65535 || height > 65535) {
    return BitmapKind::Invalid;
  }
  const std::int64_t rows = height < 0 ? -std::int64_t(height) : height;
  const std::int64_t pitch = ((std::int64_t(width) * bits + 31) / 32) * 4;
  if (offset < 14 + std::int64_t(infoSize) || std::int64_t(offset) + pitch * rows > std::int64_t(bmp.size)) {
    return BitmapKind::Invalid;
  }
  if (bits != 24 && bits != 32) {
    return BitmapKind::Other;
  }
  bmp.rows = b + offset;
  bmp.width = width;
  bmp.height = static_cast<int>(rows);
  bmp.pitch = static_cast<int>(pitch);
  bmp.pixelFormat = bits == 32 ? TJPF_BGRX : TJPF_BGR;
  bmp.bottomUp = height > 0;
  return BitmapKind::Direct;
}

} // namespace

namespace {

bool ValidTarget(const char *target, uint8_t quality, int32_t flag) {
  return target != nullptr && *target != '\0' && quality <= 100 && flag == -1;
}

// Encodes the rows and writes them to the target, replacing it whole.
int Encode(const unsigned char *rows, int width, int pitch, int height, int pixelFormat, bool bottomUp,
           const char *target, uint8_t quality) {
  TjHandle compressor;
  if (compressor.handle == nullptr) {
    return SAVEJPG_E_ENCODE;
  }
  const int q = quality == 0 ? 1 : quality;
  const int subsampling = q >= kHighQuality ? TJSAMP_444 : TJSAMP_420;
  TjBuffer jpeg;
  unsigned long jpegSize = 0;
  const int flags = TJFLAG_ACCURATEDCT | (bottomUp ? TJFLAG_BOTTOMUP : 0);
  // The rows are read only; the API's pointer is not const.
  if (tjCompress2(compressor.handle, const_cast<unsigned char *>(rows), width, pitch, height, pixelFormat, &jpeg.data,
                  &jpegSize, subsampling, q, flags) != 0) {
    return SAVEJPG_E_ENCODE;
  }
  return WriteReplacing(target, jpeg.data, jpegSize);
}

} // namespace

extern "C" int SavetoJPEG(const char *source, const char *target, uint8_t quality, int32_t flag) {
  if (source == nullptr || !ValidTarget(target, quality, flag)) {
    return SAVEJPG_E_ARGUMENT;
  }
  Bitmap bmp;
  TjBuffer loaded;
  const BitmapKind kind = ReadBitmap(source, bmp);
  if (kind == BitmapKind::Invalid) {
    return SAVEJPG_E_SOURCE;
  }
  if (kind == BitmapKind::Other) {
    bmp = Bitmap{};
    loaded.data = tjLoadImage(source, &bmp.width, 1, &bmp.height, &bmp.pixelFormat, 0);
    if (loaded.data == nullptr) {
      return SAVEJPG_E_SOURCE;
    }
    bmp.rows = loaded.data;
    bmp.pitch = 0;
    bmp.bottomUp = false;
  }
  return Encode(bmp.rows, bmp.width, bmp.pitch, bmp.height, bmp.pixelFormat, bmp.bottomUp, target, quality);
}

extern "C" int SavePixelstoJPEG(const unsigned char *pixels, int32_t width, int32_t height, int32_t pitch,
                                const char *target, uint8_t quality, int32_t flag) {
  if (!ValidTarget(target, quality, flag)) {
    return SAVEJPG_E_ARGUMENT;
  }
  if (pixels == nullptr || width < 1 || height < 1 || width > 65535 || height > 65535 ||
      std::int64_t(pitch) < std::int64_t(width) * 4) {
    return SAVEJPG_E_SOURCE;
  }
  return Encode(pixels, width, pitch, height, TJPF_BGRX, false, target, quality);
}
