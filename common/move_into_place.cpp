#include "common/move_into_place.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace orvelle {

namespace {
bool NoHardLinks(int error) { return error == EPERM || error == EOPNOTSUPP || error == ENOSYS || error == EXDEV; }
} // namespace

Moved MoveIntoPlace(const QByteArray &from, const QByteArray &to) {
  if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
    return Moved::Done;
  }
  if (errno == EEXIST) {
    return Moved::NameTaken;
  }
  if (errno != EINVAL && errno != ENOSYS) {
    return Moved::Failed;
  }
  if (::link(from.constData(), to.constData()) == 0) {
    ::unlink(from.constData());
    return Moved::Done;
  }
  if (errno == EEXIST) {
    return Moved::NameTaken;
  }
  if (!NoHardLinks(errno)) {
    return Moved::Failed;
  }
  const int claim = ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (claim < 0) {
    return errno == EEXIST ? Moved::NameTaken : Moved::Failed;
  }
  ::close(claim);
  if (::rename(from.constData(), to.constData()) != 0) {
    const int error = errno;
    ::unlink(to.constData());
    errno = error;
    return Moved::Failed;
  }
  return Moved::Done;
}

} // namespace orvelle
