#include "export/png_file.h"

#include "common/file_names.h"
#include "savejpg/SaveJPG.h"

#include <spng.h>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace orvelle {

namespace {

// Chosen by measurement on 4K screenshots (the benchmark's synthetic screen
// and a real one): the "up" filter alone at zlib level 4 writes in about half
// Qt's time (level 6, every filter tried on every row) files 1.07 to 1.13
// times the size; trying more filters costs twice the time for a few per
// cent, and levels 1 to 3 lose a quarter of the size on flat areas and text.
constexpr int kCompressionLevel = 4;
constexpr int kFilters = SPNG_FILTER_CHOICE_UP;

struct SpngFree {
  void operator()(spng_ctx *ctx) const { spng_ctx_free(ctx); }
};

// The encoder's bytes go straight to the file; errno tells a failed write.
int WriteOut(spng_ctx *, void *user, void *data, size_t length) {
  const int fd = *static_cast<int *>(user);
  auto *bytes = static_cast<const unsigned char *>(data);
  while (length > 0) {
    const ssize_t n = ::write(fd, bytes, length);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return SPNG_IO_ERROR;
    }
    bytes += n;
    length -= static_cast<size_t>(n);
  }
  return 0;
}

bool Encode(const QImage &pixels, int fd) {
  std::unique_ptr<spng_ctx, SpngFree> ctx(spng_ctx_new(SPNG_CTX_ENCODER));
  if (!ctx) {
    return false;
  }
  spng_ihdr header{};
  header.width = static_cast<uint32_t>(pixels.width());
  header.height = static_cast<uint32_t>(pixels.height());
  header.bit_depth = 8;
  header.color_type = SPNG_COLOR_TYPE_TRUECOLOR;
  if (spng_set_png_stream(ctx.get(), WriteOut, &fd) != 0 || spng_set_ihdr(ctx.get(), &header) != 0 ||
      spng_set_option(ctx.get(), SPNG_IMG_COMPRESSION_LEVEL, kCompressionLevel) != 0 ||
      spng_set_option(ctx.get(), SPNG_FILTER_CHOICE, kFilters) != 0 ||
      spng_encode_image(ctx.get(), nullptr, 0, SPNG_FMT_PNG, SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE) != 0) {
    return false;
  }
  // Row by row, blue-green-red-unused turned into red-green-blue.
  std::vector<unsigned char> row(std::size_t(pixels.width()) * 3);
  for (int y = 0; y < pixels.height(); ++y) {
    const auto *in = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
    unsigned char *out = row.data();
    for (int x = 0; x < pixels.width(); ++x, out += 3) {
      out[0] = static_cast<unsigned char>(qRed(in[x]));
      out[1] = static_cast<unsigned char>(qGreen(in[x]));
      out[2] = static_cast<unsigned char>(qBlue(in[x]));
    }
    const int done = spng_encode_row(ctx.get(), row.data(), row.size());
    if (done != 0 && done != SPNG_EOI) {
      return false;
    }
  }
  return true;
}

// A new hidden file beside the target, with the permissions the umask gives.
int CreateTemporary(const QByteArray &target, QByteArray &temp) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  const qsizetype slash = target.lastIndexOf('/');
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = target.left(slash + 1) + ".orvelle-";
    for (int i = 0; i < 6; ++i) {
      temp += kLetters[random() % (sizeof(kLetters) - 1)];
    }
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) {
      return fd;
    }
  }
  return -1;
}

// Whether the target exists and may not be written, asked without opening it.
bool ReadOnlyTarget(const QByteArray &target) {
  struct stat st {};
  return ::stat(target.constData(), &st) == 0 &&
         (::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0 || (st.st_mode & S_IWUSR) == 0);
}

} // namespace

int SavePng(const QImage &picture, const QString &path) {
  if (picture.isNull()) {
    return SAVEJPG_E_SOURCE;
  }
  const QByteArray target = EncodeFileName(path);
  if (ReadOnlyTarget(target)) {
    return SAVEJPG_E_READONLY;
  }
  const QImage pixels = picture.convertToFormat(QImage::Format_RGB32);
  QByteArray temp;
  const int fd = CreateTemporary(target, temp);
  if (fd < 0) {
    return SAVEJPG_E_TARGET;
  }
  errno = 0;
  const bool encoded = Encode(pixels, fd);
  int error = errno;
  bool written = encoded && ::fsync(fd) == 0;
  error = written || !encoded ? error : errno;
  if (::close(fd) != 0 && written) {
    written = false;
    error = errno;
  }
  if (written && ::rename(temp.constData(), target.constData()) != 0) {
    written = false;
    error = errno;
  }
  if (!written) {
    ::unlink(temp.constData());
    errno = error;
    return !encoded && error == 0 ? SAVEJPG_E_ENCODE : SAVEJPG_E_TARGET; // a write sets errno
  }
  return SAVEJPG_OK;
}

} // namespace orvelle
