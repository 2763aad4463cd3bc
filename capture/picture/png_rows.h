#pragma once

#include "capture/picture/region.h"
#include "common/expected.h"

#include <QRect>
#include <atomic>
#include <functional>
#include <optional>

namespace orvelle {

// The common screenshot forms of PNG (8 bits a sample, RGB or RGBA, not
// interlaced) read from the file's current position row by row down to the
// area's last row: the rows are inflated whole, but their filters are undone
// only as far as the area's right edge and only the area's pixels are kept
// (alpha dropped, no gamma applied: as Qt's and libspng's readers give
// them). What it holds (two rows, the inflater and the area) may not pass
// `budget`. Nothing where the picture is of another form, for another
// reader. Once `stop` is set the reading ends between two rows as
// interrupted.
std::optional<Expected<Region>> ReadPngRegion(int fd, const std::function<QRect(QSize)> &choose, qint64 budget,
                                              const std::atomic<bool> *stop = nullptr);

} // namespace orvelle
