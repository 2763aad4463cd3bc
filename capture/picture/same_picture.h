#pragma once

#include <QImage>

namespace orvelle {

// Whether two pictures are the same picture for the trims made over and over:
// the same size, and no colour channel of any pixel more than `tolerance`
// levels apart (a clipboard manager that takes a picture over and offers it
// again may pass it through a lossy step).
bool SamePicture(const QImage &a, const QImage &b, int tolerance = 2);

} // namespace orvelle
