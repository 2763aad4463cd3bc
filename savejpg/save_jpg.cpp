#include "savejpg/SaveJPG.h"

#include "savejpg/bitmap.h"

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

// Whether the target exists and may not be written: the caller has no write
// permission, or its owner none (a file marked read-only, which even the
// administrator leaves be). Asked without opening it, so that a pipe of that
// name is never waited on.
bool ReadOnlyTarget(const char *target) {
  struct stat st {};
  if (stat(target, &st) != 0) {
    return false; // none yet
  }
  return faccessat(AT_FDCWD, target, W_OK, AT_EACCESS) != 0 || (st.st_mode & S_IWUSR) == 0;
}

// Writes the bytes to a temporary file beside the target, flushes them to the
// disk and renames the file over the target; the temporary file is removed on
// every failure, and errno then tells the system's reason (ENOSPC: disk full).
int WriteReplacing(const char *target, const unsigned char *data, unsigned long size) {
  if (ReadOnlyTarget(target)) {
    return SAVEJPG_E_READONLY;
  }
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
  savejpg::Bitmap bmp;
  if (!savejpg::ReadBitmap(source, bmp)) {
    return SAVEJPG_E_SOURCE;
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
