#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>

namespace orvelle {

// The display's device pixels under Qt's logical coordinates at one scale
// (the device pixel ratio): which device pixel a logical point lies on, where
// a device pixel begins, and how many whole device pixels a logical length
// holds. At a fractional scale the grid falls anywhere inside a logical
// pixel, so lengths keep one device pixel of slack.
class DeviceGrid {
public:
  explicit DeviceGrid(qreal ratio) : m_ratio(ratio) {}

  qreal ratio() const { return m_ratio; }
  bool fractional() const;

  // The device pixel a logical point lies on; a point on a pixel's edge (as
  // the pointer's position is, divided by the scale) counts to that pixel.
  QPoint pixelAt(QPointF logical) const;
  // The first whole device pixel at or after a logical point.
  QPoint firstPixelFrom(QPointF logical) const;
  // Where a device pixel begins, in logical coordinates.
  QPointF pointOf(QPointF device) const { return device / m_ratio; }

  // How many device pixels a logical length holds wherever the grid falls in
  // it, and the logical length that holds so many wherever the grid falls:
  // lengthFor(pixelsIn(n)) is never more than n.
  int pixelsIn(int logical) const;
  int lengthFor(int pixels) const;

  // For a picture whose pixel (0, 0) lies at a logical point: the logical
  // rectangle that covers these of its pixels, and the pixels that a logical
  // rectangle touches.
  QRect logicalRect(QPointF origin, const QRect &pixels) const;
  QRect pixelsUnder(QPointF origin, const QRect &logical) const;

private:
  qreal m_ratio;
};

} // namespace orvelle
