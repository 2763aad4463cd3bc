#include "common/device_grid.h"

#include <gtest/gtest.h>

namespace orvelle {

TEST(DeviceGrid, EveryDevicePixelIsReachedAndHeldAtEveryScale) {
  for (const qreal ratio : {1.0, 1.25, 1.5, 1.75, 2.0}) {
    const DeviceGrid grid(ratio);
    for (int d = 0; d < 600; ++d) {
      // The pointer on device pixel d comes as d / ratio; a pixel's start and middle lie on it.
      EXPECT_EQ(grid.pixelAt(QPointF(d / ratio, (d + 0.5) / ratio)), QPoint(d, d)) << ratio << " " << d;
      EXPECT_EQ(grid.firstPixelFrom(grid.pointOf(QPointF(d, d))), QPoint(d, d));
      // A canvas of the pixels an area holds fits the area, and holds them wherever it starts.
      EXPECT_LE(grid.lengthFor(grid.pixelsIn(d)), d);
      EXPECT_GE(grid.pixelsIn(d), d * ratio - 2);
      EXPECT_LE(grid.firstPixelFrom(QPointF(d % 4, 0)).x() + d, (d % 4 + grid.lengthFor(d)) * ratio + 1e-9);
    }
  }
}

} // namespace orvelle
