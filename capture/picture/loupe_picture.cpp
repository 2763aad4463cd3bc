#include "capture/picture/loupe_picture.h"

#include <QPainter>

namespace orvelle {

namespace {
constexpr QRgb kGrid = 0xff808080;
constexpr QRgb kCentreOutline = 0xffff0000;
} // namespace

QImage LoupePicture(const QImage &picture, QPoint centre, QRgb outside) {
  const int side = kLoupeSpan * kLoupeBlock + 1;
  QImage loupe(side, side + kLoupeText, QImage::Format_RGB32);
  loupe.fill(kGrid);
  const int half = kLoupeSpan / 2;
  for (int j = 0; j < kLoupeSpan; ++j) {
    for (int i = 0; i < kLoupeSpan; ++i) {
      const QPoint at = centre + QPoint(i - half, j - half);
      const QRgb colour = picture.valid(at) ? picture.pixel(at) : outside;
      for (int y = 1; y < kLoupeBlock; ++y) {
        auto *row = reinterpret_cast<QRgb *>(loupe.scanLine(j * kLoupeBlock + y)) + i * kLoupeBlock;
        std::fill(row + 1, row + kLoupeBlock, colour | 0xff000000u);
      }
    }
  }
  // The centre block's grid lines, in a colour that stands out.
  const int c = half * kLoupeBlock;
  for (int k = 0; k <= kLoupeBlock; ++k) {
    loupe.setPixel(c + k, c, kCentreOutline);
    loupe.setPixel(c + k, c + kLoupeBlock, kCentreOutline);
    loupe.setPixel(c, c + k, kCentreOutline);
    loupe.setPixel(c + kLoupeBlock, c + k, kCentreOutline);
  }
  QPainter painter(&loupe);
  const QRect strip(0, side, side, kLoupeText);
  painter.fillRect(strip, Qt::white);
  painter.setPen(Qt::black);
  QFont font = painter.font();
  font.setPixelSize(kLoupeText - 5);
  painter.setFont(font);
  painter.drawText(strip, Qt::AlignCenter, QStringLiteral("%1, %2").arg(centre.x()).arg(centre.y()));
  return loupe;
}

} // namespace orvelle
