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
Problem OpenProblem(int error) {
  switch (error) {
  case ENOENT:
  case ENOTDIR:
  case ELOOP:
    return MakeProblem(ProblemKind::FileMissing);
  case EACCES:
  case EPERM:
    return MakeProblem(ProblemKind::FileNoPermission);
  default:
    return MakeProblem(ProblemKind::FileOpenFailed, {QString::fromLocal8Bit(std::strerror(error))});
  }
}
} // namespace

Expected<RegularFile> OpenRegularFile(const QString &path) {
  if (path.isEmpty()) {
    return MakeProblem(ProblemKind::FileMissing);
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
    return MakeProblem(ProblemKind::FileIsFolder);
  }
  if (!S_ISREG(st.st_mode)) {
    return MakeProblem(ProblemKind::FileNotRegular);
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return RegularFile(file.release(), qint64(st.st_size));
}

Expected<QByteArray> ReadSmallFile(const QString &path, qint64 maxBytes) {
  const Expected<RegularFile> opened = OpenRegularFile(path);
  if (!opened) {
    return opened.problem();
  }
  const RegularFile &file = *opened;
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
      return n == 0 ? Expected<QByteArray>(bytes) : OpenProblem(errno);
    }
    bytes.append(chunk, n);
    if (bytes.size() > maxBytes) {
      return MakeProblem(ProblemKind::FileTooLarge, {QString::number(maxBytes)});
    }
  }
}

} // namespace orvelle
