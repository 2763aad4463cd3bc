#pragma once

#include "capture/picture/region.h"
#include "common/expected.h"

#include <QImage>
#include <QRect>
#include <atomic>
#include <functional>
#include <optional>

namespace orvelle {

// A JPEG's part, read with libjpeg-turbo itself: only the rows down to the
// area's last are decoded, and of them only the columns around the area.
// What the decoder keeps for the whole picture (a progressive JPEG's
// coefficients) may take no more than `budget` bytes less the rows and the
// area: past that it stops before allocating, and the picture is refused.
// Corrupt data the decoder would fill in grey fails as cut short. Read from
// the file's current position. Nothing (and no problem) where this reader
// leaves the file to another (CMYK and YCCK pictures). Once `stop` is set
// the reading ends between two rows as interrupted.
std::optional<Expected<Region>> ReadJpegRegion(int fd, const std::function<QRect(QSize)> &choose, qint64 budget,
                                               const std::atomic<bool> *stop = nullptr);

} // namespace orvelle
