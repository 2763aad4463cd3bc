#pragma once

#include "common/memory_budget.h"
#include "common/problem.h"

#include <QImage>
#include <QRect>
#include <QSize>

namespace orvelle {

// The part of an image file that a trim needs, as opaque RGB32 pixels.
struct Region {
  QSize imageSize; // the whole image's size
  QRect area;      // the part read, inside the image; empty when none is needed
  QImage pixels;   // the area's pixels
};

// Why a picture of this size cannot be read within the picture budget.
inline Problem TooLargeProblem(QSize size) {
  return MakeProblem(ProblemKind::ImageTooLarge, {QString::number(size.width()), QString::number(size.height()),
                                                  QString::number(kPictureBudgetBytes >> 20)});
}

} // namespace orvelle
