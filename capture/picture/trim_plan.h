#pragma once

#include "capture/picture/frame.h"
#include "common/expected.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

namespace orvelle {

// The frame's area of a picture (source, in picture pixels) and where the trim
// paints it in the output picture (destination): at the drag frame's start,
// stretched to its size. A frame reaching past the picture takes what lies
// inside it, and the destination shrinks with it.
struct TrimPaint {
  QRect source;
  QRect destination;
};

// The colour of every pixel of an output picture that no picture pixel
// covers (the window background the design was made on), whatever the
// desktop's theme, so that no earlier picture shows through and every trim of
// a frame and a picture gives the same output.
inline const QColor kOutsidePicture = QColor(0xF0, 0xF0, 0xF0);

// The output picture's size: the drag frame's size; nothing when it cannot be one.
std::optional<QSize> TrimOutputSize(const DragFrame &drag);

// Whether an output picture of this size can be made, or why not (it would
// pass the memory one picture may take).
Expected<void> CheckOutputSize(QSize size);

// Whether the frame covers an area of which no pixel lies in a picture of
// this size, so that its trim would be nothing but kOutsidePicture.
bool FrameMisses(QSize picture, const TrimFrame &trim);
// Why such a frame is not trimmed.
Problem FrameOutsideProblem(QSize picture);

// What the trim paints from a picture of this size; nothing when it paints nothing.
std::optional<TrimPaint> PlanTrimPaint(QSize picture, const TrimFrame &trim, const DragFrame &drag);

// The output picture of a trim of a picture of which a region is at hand
// (the region's pixels, their place in the picture, the plan for the picture,
// which must lie in the region; none when it paints nothing):
// kOutsidePicture where the plan paints nothing; a null image when memory is short.
QImage TrimRegion(const QImage &region, QPoint regionOrigin, const std::optional<TrimPaint> &paint, QSize outputSize);

// The output picture of a trim: its size (which may be empty), its pixels, and
// where it lies over the canvas's picture (nowhere before it is placed).
struct OutputPicture {
  QSize size;
  QImage image;
  std::optional<QPoint> place;
};

// Cuts the frame's area out of the picture into a new output picture. The
// steps run in order, each skipped on its own when it cannot be done:
// 1. width and 2. height of the output picture from the drag frame's size
//    (else the previous output's);
// 3. paint the frame's area of the picture into the drag frame's rectangle of
//    the output picture, stretched when the sizes differ, the rest of it
//    kOutsidePicture;
// 4. place the output picture over the area the frame covers.
// A frame dragged to the left or upwards trims the area it covers, unmirrored.
OutputPicture TrimPicture(const QImage &picture, const OutputPicture &previous, const TrimFrame &trim,
                          const DragFrame &drag);

} // namespace orvelle
