#pragma once

#include <QImage>
#include <QRect>

namespace orvelle {

// A picture as the canvas shows it: opaque, each pixel with its colour even
// where a screenshot's alpha channel is 0.
QImage OpaquePicture(const QImage &picture);

// Paints the source rectangle of a picture into the destination rectangle of
// the target, stretching it when the sizes differ; what was there is replaced.
void PaintStretched(QImage &target, const QImage &source, const QRect &destination, const QRect &sourceRect);

} // namespace orvelle
