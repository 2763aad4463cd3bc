#include "savejpg/SaveJPG.h"

#include <turbojpeg.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
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

// Writes the bytes to a temporary file beside the target and renames it over
// the target; the temporary file is removed on every failure.
int WriteReplacing(const char *target, const unsigned char *data, unsigned long size) {
  std::string temp = std::string(target) + ".partial-XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) {
    return SAVEJPG_E_TARGET;
  }
  const mode_t mask = umask(0);
  umask(mask);
  bool ok = fchmod(fd, 0666 & ~mask) == 0 && WriteAll(fd, data, size);
  ok = (close(fd) == 0) && ok;
  if (!ok || rename(temp.c_str(), target) != 0) {
    unlink(temp.c_str());
    return SAVEJPG_E_TARGET;
  }
  return SAVEJPG_OK;
}

} // namespace

extern "C" int SavetoJPEG(const char *source, const char *target, uint8_t quality, int32_t flag) {
  if (source == nullptr || target == nullptr || *target == '\0' || quality > 100 || flag != -1) {
    return SAVEJPG_E_ARGUMENT;
  }
  int width = 0;
  int height = 0;
  int pixelFormat = TJPF_UNKNOWN;
  TjBuffer pixels;
  pixels.data = tjLoadImage(source, &width, 1, &height, &pixelFormat, 0);
  if (pixels.data == nullptr) {
    return SAVEJPG_E_SOURCE;
  }
  TjHandle compressor;
  if (compressor.handle == nullptr) {
    return SAVEJPG_E_ENCODE;
  }
  const int q = quality == 0 ? 1 : quality;
  const int subsampling = q >= kHighQuality ? TJSAMP_444 : TJSAMP_420;
  TjBuffer jpeg;
  unsigned long jpegSize = 0;
  if (tjCompress2(compressor.handle, pixels.data, width, 0, height, pixelFormat, &jpeg.data, &jpegSize, subsampling, q,
                  TJFLAG_ACCURATEDCT) != 0) {
    return SAVEJPG_E_ENCODE;
  }
  return WriteReplacing(target, jpeg.data, jpegSize);
}
