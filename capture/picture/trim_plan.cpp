#include "capture/picture/trim_plan.h"

#include "capture/picture/picture_pixels.h"
#include "common/memory_budget.h"
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

std::optional<QSize> TrimOutputSize(const DragFrame &drag) {
  const auto width = Extent(drag.NewPicWidth);
  const auto height = Extent(drag.NewPicHeight);
  if (!width || !height) {
    return std::nullopt;
  }
  return QSize(*width, *height);
}

Expected<void> CheckOutputSize(QSize size) {
  if (PictureBytes(size.width(), size.height()) <= kPictureBudgetBytes) {
    return {};
  }
  return MakeProblem(ProblemKind::TrimTooLarge, {QString::number(size.width()), QString::number(size.height()),
                                                 QString::number(kPictureBudgetBytes >> 20)});
}

bool FrameMisses(QSize picture, const TrimFrame &trim) {
  const auto covered = Covered(trim.PicStartX, trim.PicStartY, trim.PicWidth, trim.PicHeight);
  return covered && !covered->isEmpty() && !covered->intersects(QRect(QPoint(0, 0), picture));
}

Problem FrameOutsideProblem(QSize picture) {
  return MakeProblem(ProblemKind::FrameOutside, {QString::number(picture.width()), QString::number(picture.height())});
}

std::optional<TrimPaint> PlanTrimPaint(QSize picture, const TrimFrame &trim, const DragFrame &drag) {
  const auto size = TrimOutputSize(drag);
  const auto covered = Covered(trim.PicStartX, trim.PicStartY, trim.PicWidth, trim.PicHeight);
  const auto destLeft = ToInt32(drag.NewPicStartX);
  const auto destTop = ToInt32(drag.NewPicStartY);
  if (!size || !covered || covered->isEmpty() || !destLeft || !destTop) {
    return std::nullopt;
  }
  TrimPaint paint{*covered, QRect(QPoint(*destLeft, *destTop), *size)};
  if (!ClipToPicture(QRect(QPoint(0, 0), picture), paint.source, paint.destination)) {
    return std::nullopt;
  }
  return paint;
}

QImage TrimRegion(const QImage &region, QPoint regionOrigin, const std::optional<TrimPaint> &paint, QSize outputSize) {
  const QRect source = paint ? paint->source.translated(-regionOrigin) : QRect();
  if (paint && paint->destination == QRect(QPoint(0, 0), outputSize) && source.size() == outputSize) {
    // One to one: the region's pixels themselves where it is all of the area.
    return (source == region.rect() ? region : region.copy(source)).convertToFormat(QImage::Format_RGB32);
  }
  QImage output(outputSize, QImage::Format_RGB32);
  if (output.isNull()) {
    return output;
  }
  output.fill(kOutsidePicture);
  if (paint) {
    PaintStretched(output, region, paint->destination, source);
  }
  return output;
}

OutputPicture TrimPicture(const QImage &picture, const OutputPicture &previous, const TrimFrame &trim,
                          const DragFrame &drag) {
  OutputPicture output{previous.size, QImage(), previous.place};
  const auto width = Extent(drag.NewPicWidth);
  const auto height = Extent(drag.NewPicHeight);
  if (width) {
    output.size.setWidth(*width);
  }
  if (height) {
    output.size.setHeight(*height);
  }
  const auto paint = picture.isNull() ? std::nullopt : PlanTrimPaint(picture.size(), trim, drag);
  output.image = TrimRegion(picture, QPoint(0, 0), paint, output.size);
  const auto covered = Covered(trim.PicStartX, trim.PicStartY, trim.PicWidth, trim.PicHeight);
  if (covered && std::abs(covered->top()) <= kMaxExtent && std::abs(covered->left()) <= kMaxExtent) {
    output.place = covered->topLeft();
  }
  return output;
}

} // namespace orvelle
