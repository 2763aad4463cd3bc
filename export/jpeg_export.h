#pragma once

#include "common/expected.h"
#include "export/picture_format.h"

#include <QImage>
#include <QString>

namespace orvelle {

// What both saves take from the window and the program.
struct JpegJob {
  QString baseName;     // the file-name box, used exactly as typed
  int quality = 50;     // the slider, 0 to 100
  QString bitmapFolder; // where the intermediate BMP files live
  QString libraryPath;  // the JPEG writer
  PictureFormat format = PictureFormat::Jpeg;
};

inline const QString kTrimmedBmpName = QStringLiteral("default.bmp");
inline const QString kOriginalBmpName = QStringLiteral("default-org.bmp");

// Saves the trimmed picture as name + ".jpg" into the folder, through the
// intermediate bitmap and the library's SavetoJPEG; as PNG, name + ".png",
// written directly. Done, or why it was not saved.
Expected<void> SaveTrimmedJpeg(const JpegJob &job, const QString &folder, const QImage &trimmed);

// Saves the whole captured picture as name + "-org.jpg" (name + "-org.png")
// into the folder, the same way.
Expected<void> SaveOriginalJpeg(const JpegJob &job, const QString &folder, const QImage &original);

} // namespace orvelle
