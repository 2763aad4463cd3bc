#include "capture/picture/picture_pixels.h"

#include <QPainter>

namespace orvelle {

QImage OpaquePicture(const QImage &picture) {
  const QImage straight = picture.format() == QImage::Format_ARGB32_Premultiplied
                              ? picture.convertToFormat(QImage::Format_ARGB32)
                              : picture;
  return straight.convertToFormat(QImage::Format_RGB32);
}

void PaintStretched(QImage &target, const QImage &source, const QRect &destination, const QRect &sourceRect) {
  QPainter p(&target);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.drawImage(QRectF(destination), source, QRectF(sourceRect));
}

} // namespace orvelle
