#include "common/file_access.h"

#include "common/file_names.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvelle {

namespace {
bool Writable(const QString &path, mode_t type) {
  const QByteArray name = EncodeFileName(path);
  struct stat st {};
  return ::stat(name.constData(), &st) == 0 && (st.st_mode & S_IFMT) == type && (st.st_mode & S_IWUSR) != 0 &&
         ::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) == 0;
}
} // namespace

bool IsWritableFile(const QString &path) { return !path.isEmpty() && Writable(path, S_IFREG); }

bool IsWritableFolder(const QString &path) { return !path.isEmpty() && Writable(path, S_IFDIR); }

} // namespace orvelle
