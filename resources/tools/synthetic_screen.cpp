#include "resources/tools/synthetic_screen.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace orvelle::tools {

QImage SyntheticScreen(QSize size) {
  QImage image(size, QImage::Format_RGB32);
  QPainter p(&image);
  QLinearGradient desktop(0, 0, size.width(), size.height());
  desktop.setColorAt(0, QColor(20, 60, 120));
  desktop.setColorAt(1, QColor(90, 160, 200));
  p.fillRect(image.rect(), desktop);

  const int unit = qMax(1, size.width() / 64);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(qMax(8, unit));
  p.setFont(font);
  const QColor textColours[] = {Qt::black, QColor(200, 0, 0), QColor(0, 110, 0), QColor(0, 0, 190)};
  for (int w = 0; w < 3; ++w) {
    const QRect window(unit * (2 + w * 20), unit * (2 + w * 6), unit * 30, unit * 22);
    p.fillRect(window.adjusted(unit / 3, unit / 3, unit / 3, unit / 3), QColor(0, 0, 0, 90));
    p.fillRect(window, QColor(246, 246, 242));
    p.fillRect(QRect(window.left(), window.top(), window.width(), unit * 2), QColor(40 + w * 60, 80, 160));
    p.setPen(Qt::white);
    p.drawText(window.left() + unit / 2, window.top() + unit * 3 / 2,
               QStringLiteral("Window %1 - Report.txt").arg(w + 1));
    for (int line = 0; line < 12; ++line) {
      p.setPen(textColours[(line + w) % 4]);
      p.drawText(window.left() + unit / 2, window.top() + unit * (4 + line * 3 / 2),
                 QStringLiteral("Line %1: The quick brown fox jumps over 13 lazy dogs.").arg(line + 1));
    }
  }
  QRadialGradient photo(QPointF(size.width() * 0.8, size.height() * 0.7), size.width() * 0.15);
  photo.setColorAt(0, QColor(250, 220, 120));
  photo.setColorAt(0.6, QColor(200, 90, 40));
  photo.setColorAt(1, QColor(40, 30, 60));
  p.fillRect(QRectF(size.width() * 0.65, size.height() * 0.55, size.width() * 0.3, size.height() * 0.35), photo);
  p.fillRect(QRect(0, size.height() - unit * 2, size.width(), unit * 2), QColor(30, 30, 34));
  for (int i = 0; i < 8; ++i) {
    p.fillRect(QRect(unit * (1 + i * 3), size.height() - unit * 2 + unit / 4, unit * 2, unit * 3 / 2),
               QColor::fromHsv(i * 45, 180, 220));
  }
  p.end();
  return image;
}

} // namespace orvelle::tools
