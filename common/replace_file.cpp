#include "common/replace_file.h"

#include "common/file_access.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <sys/uio.h>

namespace orvelle {

namespace {
bool WriteAll(int fd, const std::vector<QByteArrayView> &pieces) {
  std::vector<iovec> rest;
  rest.reserve(pieces.size());
  for (const QByteArrayView piece : pieces) {
    if (!piece.isEmpty()) {
      rest.push_back({const_cast<char *>(piece.data()), static_cast<std::size_t>(piece.size())});
    }
  }
  std::size_t next = 0;
  while (next < rest.size()) {
    const int count = static_cast<int>(std::min<std::size_t>(rest.size() - next, IOV_MAX));
    ssize_t written = writev(fd, rest.data() + next, count);
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    // Skip what went out; a piece written in part keeps its rest.
    while (next < rest.size() && written >= static_cast<ssize_t>(rest[next].iov_len)) {
      written -= static_cast<ssize_t>(rest[next].iov_len);
      ++next;
    }
    if (written > 0) {
      rest[next].iov_base = static_cast<char *>(rest[next].iov_base) + written;
      rest[next].iov_len -= static_cast<std::size_t>(written);
    }
  }
  return true;
}
} // namespace

bool ReplaceFile(const QString &path, const std::vector<QByteArrayView> &pieces, FileMode mode) {
  const QFileInfo info(path);
  if (!IsWritableFolder(info.absolutePath()) || (info.exists() && !IsWritableFile(path))) {
    return false;
  }
  if (mode == FileMode::PrivateScratch) {
    if (info.exists() && ::chmod(QFile::encodeName(path).constData(), S_IRUSR | S_IWUSR) != 0) {
      return false;
    }
    QTemporaryFile scratch(info.absolutePath() + QStringLiteral("/.orvelle-XXXXXX")); // made 0600
    if (!scratch.open() || !WriteAll(scratch.handle(), pieces)) {
      return false;
    }
    // The old file goes first: renamed over, ext4 would start writing the
    // new one to the disk at once (as it does for a file replaced so), which
    // is what a scratch file need not wait for.
    const QByteArray target = QFile::encodeName(path);
    if ((::unlink(target.constData()) != 0 && errno != ENOENT) ||
        ::rename(QFile::encodeName(scratch.fileName()).constData(), target.constData()) != 0) {
      return false;
    }
    scratch.setAutoRemove(false); // it is the file now
    return true;
  }
  QSaveFile file(path);
  file.setDirectWriteFallback(false);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    return false;
  }
  if (!WriteAll(file.handle(), pieces)) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

} // namespace orvelle
