#include "common/regular_file.h"

#include "common/file_names.h"

#include <QByteArray>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvelle {

RegularFile::~RegularFile() {
  if (m_fd >= 0) {
    ::close(m_fd);
  }
}

namespace {
QString OpenProblem(int error) {
  switch (error) {
  case ENOENT:
  case ENOTDIR:
  case ELOOP:
    return QStringLiteral("見つかりません");
  case EACCES:
  case EPERM:
    return QStringLiteral("読み取りの権限がありません");
  default:
    return QStringLiteral("開けません（%1）").arg(QString::fromLocal8Bit(std::strerror(error)));
  }
}
} // namespace

std::variant<RegularFile, QString> OpenRegularFile(const QString &path) {
  if (path.isEmpty()) {
    return QStringLiteral("見つかりません");
  }
  // O_NONBLOCK: opening a pipe with no writer would otherwise wait for one.
  const int fd = ::open(EncodeFileName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    return OpenProblem(errno);
  }
  RegularFile file(fd, 0);
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    return OpenProblem(errno);
  }
  if (S_ISDIR(st.st_mode)) {
    return QStringLiteral("フォルダーです（ファイルではありません）");
  }
  if (!S_ISREG(st.st_mode)) {
    return QStringLiteral("通常のファイルではありません（パイプやデバイスは読みません）");
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return RegularFile(file.release(), qint64(st.st_size));
}

std::variant<QByteArray, QString> ReadSmallFile(const QString &path, qint64 maxBytes) {
  auto opened = OpenRegularFile(path);
  if (QString *problem = std::get_if<QString>(&opened)) {
    return *problem;
  }
  const RegularFile &file = std::get<RegularFile>(opened);
  // Read until the end, never past the limit: a file that grows while it is
  // read is refused too.
  QByteArray bytes;
  char chunk[65536];
  for (;;) {
    const ssize_t n = ::read(file.fd(), chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return n == 0 ? std::variant<QByteArray, QString>(bytes) : OpenProblem(errno);
    }
    bytes.append(chunk, n);
    if (bytes.size() > maxBytes) {
      return QStringLiteral("大きすぎます（%1 バイトを超えています）").arg(maxBytes);
    }
  }
}

} // namespace orvelle
