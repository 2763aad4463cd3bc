#include "capture/trim.h"

#include "capture/picture_box.h"
#include "common/numbers.h"

#include <QImage>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace orvelle {

namespace {
// The largest size a control can take.
constexpr std::int32_t kMaxExtent = 16777215;

std::optional<std::int32_t> Extent(double value) {
  const auto v = ToInt32(std::fabs(value));
  if (!v || *v > kMaxExtent) {
    return std::nullopt;
  }
  return v;
}

// A rectangle from a start and a signed size, turned to cover the same area
// with a positive size.
std::optional<QRect> Covered(double x, double y, double width, double height) {
  const auto left = ToInt32(width < 0 ? x + width : x);
  const auto top = ToInt32(height < 0 ? y + height : y);
  const auto w = Extent(width);
  const auto h = Extent(height);
  if (!left || !top || !w || !h) {
    return std::nullopt;
  }
  return QRect(*left, *top, *w, *h);
}

// The part of the source that lies inside the picture, and where that part
// lands in the destination when the source is stretched onto it.
bool ClipToPicture(const QRect &picture, QRect &source, QRect &destination) {
  const QRect inside = source & picture;
  if (inside.isEmpty()) {
    return false;
  }
  if (inside != source) {
    const double sx = static_cast<double>(destination.width()) / source.width();
    const double sy = static_cast<double>(destination.height()) / source.height();
    const int left = destination.left() + static_cast<int>(std::lround((inside.left() - source.left()) * sx));
    const int top = destination.top() + static_cast<int>(std::lround((inside.top() - source.top()) * sy));
    const int right =
        destination.left() + static_cast<int>(std::lround((inside.left() + inside.width() - source.left()) * sx));
    const int bottom =
        destination.top() + static_cast<int>(std::lround((inside.top() + inside.height() - source.top()) * sy));
    destination = QRect(left, top, right - left, bottom - top);
    source = inside;
  }
  return !destination.isEmpty();
}
} // namespace

void TrimToFrame(const PictureBox &canvas, PictureBox &output, const TrimFrame &trim, const DragFrame &drag) {
  const auto width = Extent(drag.NewPicWidth);
  const auto height = Extent(drag.NewPicHeight);
  // The area the frame covers on the canvas, whichever way it was dragged.
  const auto covered = Covered(trim.PicStartX, trim.PicStartY, trim.PicWidth, trim.PicHeight);
  // 1. Width.
  if (width) {
    output.setPixelSize({*width, output.pixelSize().height()});
  }
  // 2. Height.
  if (height) {
    output.setPixelSize({output.pixelSize().width(), *height});
  }
  // 3. Paint the covered area into the destination, which keeps its start and
  //    takes the drag frame's size.
  const auto destLeft = ToInt32(drag.NewPicStartX);
  const auto destTop = ToInt32(drag.NewPicStartY);
  if (canvas.hasPicture() && width && height && destLeft && destTop && covered && !covered->isEmpty()) {
    QRect source = *covered;
    QRect destination(*destLeft, *destTop, *width, *height);
    if (ClipToPicture(canvas.picture().rect(), source, destination)) {
      output.paintPicture(canvas.picture(), destination, source);
    }
  }
  // 4. Place over the covered area of the canvas.
  if (covered && std::abs(covered->top()) <= kMaxExtent && std::abs(covered->left()) <= kMaxExtent) {
    output.setPixelPos(covered->topLeft());
  }
  // 5. Show.
  output.show();
}

} // namespace orvelle
