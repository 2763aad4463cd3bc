#pragma once

#include <QColor>
#include <QRect>
#include <QRegion>
#include <vector>

class QPainter;

namespace orvelle {

class DeviceGrid;

// The drawing layer of a picture control: rectangle outlines one device pixel
// wide, solid or dotted, above the picture and never part of it.
class OutlineLayer {
public:
  enum class Style { Solid = 0, Dot = 2 };

  // An outline with both corners included, in picture pixels.
  void add(const QRect &pixels, Style style, const QColor &colour) { m_outlines.push_back({pixels, style, colour}); }
  // Empties the layer; the outlines it held, to be repainted.
  std::vector<QRect> clear();

  // The four one-pixel strips of an outline.
  static QRegion Strips(const QRect &pixels);

  // Paints the outlines' pixels that lie under these picture pixels, the
  // picture's pixel (0, 0) at `origin` (logical).
  void paint(QPainter &painter, const QRect &pixels, QPointF origin, qreal ratio) const;

private:
  struct Outline {
    QRect pixels;
    Style style;
    QColor colour;
  };
  std::vector<Outline> m_outlines;
};

} // namespace orvelle
