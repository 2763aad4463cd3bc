#pragma once

#include "common/expected.h"

#include <QString>
#include <utility>

namespace orvelle {

// A file opened for reading that is known to be a regular file: never a
// folder, a pipe or a device, so that reading it can neither block nor go on
// for ever. Closed when it goes out of scope.
class RegularFile {
public:
  RegularFile(int fd, qint64 size) : m_fd(fd), m_size(size) {}
  RegularFile(RegularFile &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)), m_size(other.m_size) {}
  RegularFile &operator=(RegularFile &&) = delete;
  ~RegularFile();

  int fd() const { return m_fd; }
  qint64 size() const { return m_size; } // when it was opened
  // Hands the descriptor over; the caller closes it.
  int release() { return std::exchange(m_fd, -1); }

private:
  int m_fd;
  qint64 m_size;
};

// Opens the file (through symbolic links) without blocking, or says why not:
// missing, no permission, a folder, not a regular file.
Expected<RegularFile> OpenRegularFile(const QString &path);

// The whole file, when it is a regular file of at most maxBytes; else why not.
Expected<QByteArray> ReadSmallFile(const QString &path, qint64 maxBytes);

} // namespace orvelle
