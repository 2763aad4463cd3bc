#pragma once

#include <QByteArray>
#include <mutex>
#include <set>
#include <utility>

namespace orvelle {

// The pictures a batch is writing under hidden names, so that a run ended at
// once (a second Ctrl+C) leaves none of them behind.
class PartialFiles {
public:
  void Hold(const QByteArray &path);
  void Release(const QByteArray &path);
  // Removes the files held and every hidden picture file (".orvelle-…") that
  // the process has open at this moment: the JPEG library's and the PNG
  // writer's temporary files, whose names only they know.
  void RemoveAll();

private:
  std::mutex m_lock;
  std::set<QByteArray> m_held;
};

// Holds a path in the files (when there are any) for as long as it lives.
class HeldFile {
public:
  HeldFile(PartialFiles *files, QByteArray path) : m_files(files), m_path(std::move(path)) {
    if (m_files != nullptr) {
      m_files->Hold(m_path);
    }
  }
  ~HeldFile() {
    if (m_files != nullptr) {
      m_files->Release(m_path);
    }
  }
  HeldFile(const HeldFile &) = delete;
  HeldFile &operator=(const HeldFile &) = delete;

private:
  PartialFiles *m_files;
  QByteArray m_path;
};

} // namespace orvelle
