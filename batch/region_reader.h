#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <functional>
#include <variant>

namespace orvelle {

// The part of an image file that a trim needs, as opaque RGB32 pixels.
struct Region {
  QSize imageSize; // the whole image's size
  QRect area;      // the part read, inside the image; empty when none is needed
  QImage pixels;   // the area's pixels
};

// Reads an image file's size, then only the pixels of the area that `choose`
// picks for that size. A PNG file is decoded row by row up to the area's last
// row; other formats go through Qt's image readers, cut to the area. A file
// that is no image, is cut short or is larger than Qt's image allocation limit
// gives the reason, in Japanese, instead.
std::variant<Region, QString> ReadRegion(const QString &path, const std::function<QRect(QSize)> &choose);

} // namespace orvelle
