#pragma once

#include <QtGlobal>
#include <limits>

namespace orvelle {

// The most memory one picture job may hold at once (a file's decoder buffers,
// the part read and the output picture together), so that a batch on all
// cores stays within this many bytes per worker.
inline constexpr qint64 kPictureBudgetBytes = qint64(512) << 20;

// Bytes of a picture of 4 bytes a pixel; saturates instead of overflowing,
// so that any declared size, however absurd, compares safely.
constexpr qint64 PictureBytes(qint64 width, qint64 height) {
  if (width <= 0 || height <= 0) {
    return 0;
  }
  constexpr qint64 kMax = std::numeric_limits<qint64>::max();
  return width > kMax / 4 / height ? kMax : width * height * 4;
}

// Adds byte counts without overflowing.
constexpr qint64 AddBytes(qint64 a, qint64 b) {
  constexpr qint64 kMax = std::numeric_limits<qint64>::max();
  return a > kMax - b ? kMax : a + b;
}

} // namespace orvelle
