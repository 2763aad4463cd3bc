#include "export/png_file.h"

#include "common/file_names.h"
#include "export/png_deflate.h"
#include "savejpg/SaveJPG.h"

#include <zlib.h>

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace orvelle {

namespace {

// Chosen by measurement on 4K screenshots (the benchmark's synthetic screen
// and a real one): the "up" filter alone at zlib level 6, deflated on every
// core, writes files the size of Qt's (level 6, every filter tried on every
// row); trying more filters costs twice the time for a few per cent.
constexpr int kCompressionLevel = 6;

bool WriteAll(int fd, const unsigned char *bytes, std::size_t length) {
  while (length > 0) {
    const ssize_t n = ::write(fd, bytes, length);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return false;
    }
    bytes += n;
    length -= static_cast<std::size_t>(n);
  }
  return true;
}

// A PNG chunk: its length, its type and data, and their CRC.
bool WriteChunk(int fd, const char *type, const unsigned char *data, std::size_t length) {
  unsigned char head[8];
  for (int i = 0; i < 4; ++i) {
    head[i] = static_cast<unsigned char>(length >> (24 - 8 * i));
    head[4 + i] = static_cast<unsigned char>(type[i]);
  }
  uLong crc = crc32(0, head + 4, 4);
  if (length > 0) {
    crc = crc32(crc, data, uInt(length));
  }
  unsigned char tail[4];
  for (int i = 0; i < 4; ++i) {
    tail[i] = static_cast<unsigned char>(crc >> (24 - 8 * i));
  }
  return WriteAll(fd, head, 8) && WriteAll(fd, data, length) && WriteAll(fd, tail, 4);
}

// Signature, header (8-bit RGB, not interlaced), the picture data, end: no
// other chunk.
bool Encode(const QImage &pixels, int fd) {
  const std::vector<unsigned char> data = DeflateUpFiltered(pixels, kCompressionLevel);
  if (data.empty()) {
    return false;
  }
  static const unsigned char kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  unsigned char header[13] = {};
  for (int i = 0; i < 4; ++i) {
    header[i] = static_cast<unsigned char>(uint32_t(pixels.width()) >> (24 - 8 * i));
    header[4 + i] = static_cast<unsigned char>(uint32_t(pixels.height()) >> (24 - 8 * i));
  }
  header[8] = 8; // bits a sample
  header[9] = 2; // truecolour
  return WriteAll(fd, kSignature, sizeof kSignature) && WriteChunk(fd, "IHDR", header, sizeof header) &&
         WriteChunk(fd, "IDAT", data.data(), data.size()) && WriteChunk(fd, "IEND", nullptr, 0);
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
