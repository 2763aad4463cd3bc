#pragma once

#include "capture/picture/region.h"
#include "common/expected.h"

#include <QImage>
#include <QRect>
#include <QString>
#include <atomic>
#include <functional>

namespace orvelle {

// Reads an image file's size, then only the pixels of the area that `choose`
// picks for that size. Only regular files are opened. A PNG file is decoded
// row by row up to the area's last row; a JPEG's structure is checked first
// (whole up to its end-of-image marker, few scans, little metadata) and only
// its area kept; other formats go through Qt's image readers whole. What the
// reading holds at once (rows, decoder buffers, the area) may not pass
// `budget` bytes. A file that is no image, is cut short, is too large or
// cannot be opened gives the reason instead. Once `stop` is set, a PNG or
// JPEG being decoded ends between two rows as interrupted.
Expected<Region> ReadRegion(const QString &path, const std::function<QRect(QSize)> &choose, qint64 budget,
                            const std::atomic<bool> *stop = nullptr);

} // namespace orvelle
