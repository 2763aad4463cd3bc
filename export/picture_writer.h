#pragma once

#include "export/picture_format.h"
#include "savejpg/SaveJPG.h"

#include <QImage>
#include <QString>

namespace orvelle {

// Writes an RGB32 picture to the path in the format: PNG by the program
// itself, JPEG by the library's writer at the quality (0 to 100). The
// writers' codes (SAVEJPG_OK or why not); errno tells a failed write.
int WritePicture(const QImage &pixels, const QString &path, PictureFormat format, SavePixelstoJPEGFunction jpeg,
                 int quality);

} // namespace orvelle
