#include "batch/partial_files.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace orvelle {

namespace {
// Whether the process's descriptor `fd` (its number as text) was opened for
// writing, by the flags /proc tells for it.
bool OpenForWriting(const char *fd) {
  const QByteArray info = QByteArray("/proc/self/fdinfo/") + fd;
  std::FILE *file = std::fopen(info.constData(), "re");
  if (file == nullptr) {
    return false;
  }
  unsigned flags = 0;
  char line[128];
  bool found = false;
  while (!found && std::fgets(line, sizeof line, file) != nullptr) {
    found = std::sscanf(line, "flags: %o", &flags) == 1;
  }
  std::fclose(file);
  return found && (flags & O_ACCMODE) != O_RDONLY;
}
} // namespace

void PartialFiles::Hold(const QByteArray &path) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_held.insert(path);
}

void PartialFiles::Release(const QByteArray &path) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_held.erase(path);
}

void PartialFiles::RemoveAll() {
  {
    std::lock_guard<std::mutex> guard(m_lock);
    for (const QByteArray &path : m_held) {
      ::unlink(path.constData());
    }
  }
  DIR *open = ::opendir("/proc/self/fd");
  if (open == nullptr) {
    return;
  }
  while (const dirent *entry = ::readdir(open)) {
    const QByteArray link = QByteArray("/proc/self/fd/") + entry->d_name;
    char target[PATH_MAX];
    const ssize_t length = ::readlink(link.constData(), target, sizeof target - 1);
    if (length <= 0 || target[0] != '/') {
      continue; // a pipe, a socket or the folder itself
    }
    target[length] = '\0';
    const char *name = std::strrchr(target, '/') + 1;
    if (std::strncmp(name, ".orvelle-", 9) == 0 && std::strstr(name, " (deleted)") == nullptr &&
        OpenForWriting(entry->d_name)) {
      ::unlink(target); // never a file only read, whatever its name
    }
  }
  ::closedir(open);
}

} // namespace orvelle
