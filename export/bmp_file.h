#pragma once

#include <QImage>
#include <QString>

namespace orvelle {

// Writes the image as a 32-bit Windows bitmap in one write, through a
// temporary file that replaces the target only when it is complete, readable
// by the user alone, not flushed to the disk (it is rewritten at every save). False when the file cannot be written.
bool SaveBmp(const QImage &image, const QString &path);

} // namespace orvelle
