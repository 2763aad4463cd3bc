#include "capture/canvas/outline_layer.h"

#include <QImage>
#include <QPainter>

namespace orvelle {

namespace {
// A one-pixel strip of a dotted line: every other pixel lit, those whose
// coordinates add up to an even number, so that dots meet at the corners and
// stay in place when only a part of the line is repainted.
QImage DottedStrip(const QRect &strip, const QColor &colour) {
  QImage dots(strip.size(), QImage::Format_ARGB32_Premultiplied);
  dots.fill(Qt::transparent);
  const QRgb lit = colour.rgba();
  const bool horizontal = strip.height() == 1;
  const int length = horizontal ? strip.width() : strip.height();
  const int first = (strip.left() + strip.top()) % 2 == 0 ? 0 : 1;
  for (int i = first; i < length; i += 2) {
    dots.setPixel(horizontal ? i : 0, horizontal ? 0 : i, lit);
  }
  return dots;
}
} // namespace

std::vector<QRect> OutlineLayer::clear() {
  std::vector<QRect> cleared;
  for (const Outline &o : m_outlines) {
    cleared.push_back(o.pixels);
  }
  m_outlines.clear();
  return cleared;
}

QRegion OutlineLayer::Strips(const QRect &r) {
  QRegion region;
  region += QRect(r.left(), r.top(), r.width(), 1);
  region += QRect(r.left(), r.bottom(), r.width(), 1);
  region += QRect(r.left(), r.top(), 1, r.height());
  region += QRect(r.right(), r.top(), 1, r.height());
  return region;
}

void OutlineLayer::paint(QPainter &painter, const QRect &pixels, QPointF origin, qreal ratio) const {
  for (const Outline &o : m_outlines) {
    for (const QRect &strip : Strips(o.pixels) & pixels) {
      QImage line = o.style == Style::Dot ? DottedStrip(strip, o.colour) : QImage(strip.size(), QImage::Format_RGB32);
      if (o.style != Style::Dot) {
        line.fill(o.colour);
      }
      line.setDevicePixelRatio(ratio);
      painter.drawImage(origin + QPointF(strip.topLeft()) / ratio, line);
    }
  }
}

} // namespace orvelle
