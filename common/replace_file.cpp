#include "common/replace_file.h"

#include "common/file_access.h"

#include <QFileInfo>
#include <QSaveFile>

namespace orvelle {

bool ReplaceFile(const QString &path, std::initializer_list<QByteArrayView> parts) {
  const QFileInfo info(path);
  if (!IsWritableFolder(info.absolutePath()) || (info.exists() && !IsWritableFile(path))) {
    return false;
  }
  QSaveFile file(path);
  file.setDirectWriteFallback(false);
  if (!file.open(QIODevice::WriteOnly)) {
    return false;
  }
  for (const QByteArrayView part : parts) {
    if (file.write(part.data(), part.size()) != part.size()) {
      file.cancelWriting();
      return false;
    }
  }
  // A failure while the buffer goes to disk must not reach the rename.
  if (!file.flush() || file.error() != QFileDevice::NoError) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

} // namespace orvelle
