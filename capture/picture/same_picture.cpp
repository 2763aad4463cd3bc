#include "capture/picture/same_picture.h"

#include <cstdlib>

namespace orvelle {

bool SamePicture(const QImage &a, const QImage &b, int tolerance) {
  if (a.isNull() || b.isNull() || a.size() != b.size()) {
    return false;
  }
  const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
  for (int row = 0; row < x.height(); ++row) {
    const auto *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
    const auto *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
    for (int col = 0; col < x.width(); ++col) {
      if (std::abs(qRed(p[col]) - qRed(q[col])) > tolerance || std::abs(qGreen(p[col]) - qGreen(q[col])) > tolerance ||
          std::abs(qBlue(p[col]) - qBlue(q[col])) > tolerance) {
        return false;
      }
    }
  }
  return true;
}

} // namespace orvelle
