#include "common/file_access.h"

#include <QFileInfo>

namespace orvelle {

namespace {
bool Writable(const QFileInfo &info) { return info.isWritable() && info.permission(QFileDevice::WriteOwner); }
} // namespace

bool IsWritableFile(const QString &path) {
  const QFileInfo info(path);
  return info.isFile() && Writable(info);
}

bool IsWritableFolder(const QString &path) {
  const QFileInfo info(path);
  return info.isDir() && Writable(info);
}

} // namespace orvelle
