#pragma once

#include <QImage>
#include <QString>

namespace orvelle {

// Writes the image as a 32-bit top-down Windows bitmap: the header and then the
// image's memory in one piece, through a temporary file that replaces the
// target only when it is complete. False when the file cannot be written.
bool SaveBmp(const QImage &image, const QString &path);

} // namespace orvelle
