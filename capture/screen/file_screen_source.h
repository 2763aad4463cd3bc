#pragma once

#include "capture/screen/screen_source.h"
#include "common/expected.h"

#include <QStringList>

namespace orvelle {

// Pictures of files served as the screen: one file, or the pictures of a
// folder in the order of their names' bytes, the last again after the end.
// Each is read within the picture budget as any other image file is, and
// only the part chosen is kept.
class FileScreenSource : public ScreenSource {
  Q_OBJECT

public:
  explicit FileScreenSource(QString path, QObject *parent = nullptr);

  void Start(Choose choose) override;
  void Cancel() override { ++m_request; }

private:
  // The file to serve next, or the problem with the path.
  Expected<QString> Next();

  QString m_path;
  QStringList m_files; // a folder's pictures, once listed
  int m_next = 0;
  unsigned m_request = 0;
};

} // namespace orvelle
