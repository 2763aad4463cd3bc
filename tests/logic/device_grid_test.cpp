#include "common/device_grid.h"

#include <gtest/gtest.h>

namespace orvelle {

TEST(DeviceGrid, EveryDevicePixelIsReachedAndHeldAtEveryScale) {
  for (const qreal ratio : {1.0, 1.25, 1.5, 1.75, 2.0}) {
    const DeviceGrid grid(ratio);
    for (int d = 0; d < 600; ++d) {
      // The pointer on device pixel d comes as d / ratio; a pixel's start and middle lie on it.
      EXPECT_EQ(grid.pixelAt(QPointF(d / ratio, (d + 0.5) / ratio)), QPoint(d, d)) << ratio << " " << d;
      EXPECT_EQ(grid.pixelAt(grid.pointOf(QPointF(d, d))), QPoint(d, d));
      EXPECT_EQ(grid.firstPixelFrom(QPointF(d, d)).x(), int(std::ceil(d * ratio - 1e-9)));
    }
    for (int length = 0; length < 300; ++length) {
      // A canvas of the pixels an area holds fits that area, and holds them wherever it starts.
      EXPECT_LE(grid.lengthFor(grid.pixelsIn(length)), length);
      EXPECT_GE(grid.pixelsIn(length), length * ratio - 2);
      for (int start = 0; length > 0 && start < 4; ++start) {
        EXPECT_LE(grid.firstPixelFrom(QPointF(start, 0)).x() + length, (start + grid.lengthFor(length)) * ratio + 1e-9);
      }
    }
  }
}

} // namespace orvelle
