#include "common/device_grid.h"

#include <algorithm>
#include <cmath>

namespace orvelle {

namespace {
// Scaled coordinates of real pointer positions come back a hair off the
// whole device pixel they stand for.
constexpr qreal kSlop = 1e-3;
} // namespace

bool DeviceGrid::fractional() const { return std::floor(m_ratio) != m_ratio; }

QPoint DeviceGrid::pixelAt(QPointF logical) const {
  return {static_cast<int>(std::floor(logical.x() * m_ratio + kSlop)),
          static_cast<int>(std::floor(logical.y() * m_ratio + kSlop))};
}

QPoint DeviceGrid::firstPixelFrom(QPointF logical) const {
  return {static_cast<int>(std::ceil(logical.x() * m_ratio - kSlop)),
          static_cast<int>(std::ceil(logical.y() * m_ratio - kSlop))};
}

int DeviceGrid::pixelsIn(int logical) const {
  return std::max(0, static_cast<int>(std::floor(logical * m_ratio + kSlop)) - (fractional() ? 1 : 0));
}

int DeviceGrid::lengthFor(int pixels) const {
  if (pixels <= 0) {
    return 0;
  }
  return static_cast<int>(std::ceil((pixels + (fractional() ? 1 : 0)) / m_ratio - kSlop));
}

QRect DeviceGrid::logicalRect(QPointF origin, const QRect &pixels) const {
  return QRectF(origin + QPointF(pixels.topLeft()) / m_ratio, QSizeF(pixels.size()) / m_ratio).toAlignedRect();
}

QRect DeviceGrid::pixelsUnder(QPointF origin, const QRect &logical) const {
  return QRectF((QPointF(logical.topLeft()) - origin) * m_ratio, QSizeF(logical.size()) * m_ratio).toAlignedRect();
}

} // namespace orvelle
