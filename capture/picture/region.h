#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

namespace orvelle {

// The part of an image file that a trim needs, as opaque RGB32 pixels.
struct Region {
  QSize imageSize; // the whole image's size
  QRect area;      // the part read, inside the image; empty when none is needed
  QImage pixels;   // the area's pixels
};

} // namespace orvelle
