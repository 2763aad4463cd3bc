#include "capture/canvas/picture_box.h"

#include "capture/canvas/pointer_input.h"
#include "common/numbers.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace orvelle {

namespace {
// A corner's whole pixel; far-away corners are kept within a range that
// painting handles, which still lies well outside any control.
std::optional<int> CornerPixel(double pixels) {
  if (!std::isfinite(pixels)) {
    return std::nullopt;
  }
  constexpr double kLimit = 1e7;
  return static_cast<int>(RoundHalfEven(std::clamp(pixels, -kLimit, kLimit)));
}

// A view of the image's pixels that draws one pixel per device pixel at this
// ratio; it shares the image's memory, so it costs no copy.
QImage DeviceView(const QImage &image, qreal ratio) {
  QImage view(image.constBits(), image.width(), image.height(), image.bytesPerLine(), image.format());
  view.setDevicePixelRatio(ratio);
  return view;
}
} // namespace

PictureBox::PictureBox(QWidget *parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
}

void PictureBox::setPicture(const QImage &picture) {
  if (picture.isNull()) {
    clearPicture();
    return;
  }
  m_picture = picture;
  update();
}

void PictureBox::clearPicture() {
  m_picture = QImage();
  update();
}

QColor PictureBox::backColor() const { return palette().color(QPalette::Window); }

void PictureBox::setPixelSize(QSize pixels) {
  m_pixelSize = pixels.expandedTo(QSize(0, 0));
  relayout();
}

void PictureBox::setPixelPos(QPoint pixels) {
  m_pixelPos = pixels;
  setAttribute(Qt::WA_OpaquePaintEvent, false); // the other control shows at its edges
  relayout();
}

QPointF PictureBox::deviceOrigin() const {
  const auto *box = qobject_cast<const PictureBox *>(parentWidget());
  if (m_pixelPos && box != nullptr) {
    return box->deviceOrigin() + QPointF(*m_pixelPos);
  }
  return grid().firstPixelFrom(QPointF(mapTo(window(), QPoint(0, 0))));
}

QPointF PictureBox::pictureOffset() const {
  return grid().pointOf(deviceOrigin()) - QPointF(mapTo(window(), QPoint(0, 0)));
}

QPointF PictureBox::logicalPoint(QPoint pixel) const { return pictureOffset() + grid().pointOf(QPointF(pixel)); }

QRect PictureBox::visiblePixels() const {
  return grid().pixelsUnder(pictureOffset(), visibleRegion().boundingRect()) & QRect(QPoint(0, 0), m_pixelSize);
}

void PictureBox::relayout() {
  // Enough of the window to hold every pixel, wherever the device grid falls.
  const auto *box = qobject_cast<const PictureBox *>(parentWidget());
  if (m_pixelPos && box != nullptr) {
    const QRect area = box->grid().logicalRect(box->pictureOffset(), QRect(*m_pixelPos, m_pixelSize));
    setGeometry(area.isValid() ? area : QRect(area.topLeft(), QSize(0, 0)));
    return;
  }
  resize(grid().lengthFor(m_pixelSize.width()), grid().lengthFor(m_pixelSize.height()));
}

QImage PictureBox::image() const {
  if (m_picture.size() == m_pixelSize) {
    return m_picture;
  }
  QImage out(m_pixelSize, QImage::Format_RGB32);
  out.fill(backColor());
  QPainter p(&out);
  p.drawImage(0, 0, m_picture);
  return out;
}

void PictureBox::repaintOutline(const QRect &pixels) {
  // Drawing shows at once, one line at a time: each is a plain rectangle to
  // repaint, where the four together would be one costly complex region.
  for (const QRect &strip : OutlineLayer::Strips(pixels)) {
    const QRect visible = grid().logicalRect(pictureOffset(), strip) & rect();
    if (!visible.isEmpty()) {
      repaint(visible);
    }
  }
}

void PictureBox::clearDrawings() {
  for (const QRect &pixels : m_outlines.clear()) {
    repaintOutline(pixels);
  }
}

void PictureBox::drawFrame(QPointF cornerA, QPointF cornerB, std::optional<QColor> colour) {
  const auto x1 = CornerPixel(cornerA.x()), y1 = CornerPixel(cornerA.y());
  const auto x2 = CornerPixel(cornerB.x()), y2 = CornerPixel(cornerB.y());
  if (!x1 || !y1 || !x2 || !y2) {
    return;
  }
  const QRect pixels = QRect(QPoint(*x1, *y1), QPoint(*x2, *y2)).normalized();
  m_outlines.add(pixels, m_drawStyle, colour.value_or(foreColor()));
  repaintOutline(pixels);
}

void PictureBox::setOverlay(const QImage &image, QPoint pixel) {
  const QRect before(m_overlayPos, m_overlay.size());
  m_overlay = image;
  m_overlayPos = pixel;
  // A control lying on this one's pixels (the output picture) shows its part.
  for (QObject *child : children()) {
    if (auto *box = qobject_cast<PictureBox *>(child); box != nullptr && box->m_pixelPos) {
      box->setOverlay(image, pixel - *box->m_pixelPos);
    }
  }
  // One plain rectangle each: a region of several would make a costly clip.
  const QRect old = logicalRect(before), now = logicalRect(QRect(pixel, image.size()));
  if (old.intersects(now)) {
    repaint(old | now);
  } else {
    repaint(old);
    repaint(now);
  }
}

void PictureBox::clearOverlay() { setOverlay(QImage(), m_overlayPos); }

void PictureBox::paintImageArea(QPainter &painter, const QRect &area, const QPointF &offset) const {
  // The pixels under the area, and those of them the picture has.
  const DeviceGrid g = grid();
  const QRect pixels = g.pixelsUnder(offset, area);
  const QRect covered = pixels & m_picture.rect();
  if (covered != pixels) {
    // A control on another's pixels paints only its own: the logical pixels
    // its edges share with the other one show that one's picture.
    const QRect own = pixels & QRect(QPoint(0, 0), m_pixelSize);
    painter.fillRect(m_pixelPos ? QRectF(offset + g.pointOf(own.topLeft()), QSizeF(own.size()) / g.ratio())
                                : QRectF(area),
                     backColor());
  }
  if (!covered.isEmpty()) {
    painter.drawImage(offset + g.pointOf(covered.topLeft()), DeviceView(m_picture, g.ratio()), QRectF(covered));
  }
}

void PictureBox::paintEvent(QPaintEvent *event) {
  const QPointF offset = pictureOffset();
  QPainter painter(this);
  for (const QRect &area : event->region()) {
    paintImageArea(painter, area, offset);
  }
  for (const QRect &area : event->region()) {
    m_outlines.paint(painter, grid().pixelsUnder(offset, area), offset, grid().ratio());
  }
  if (!m_overlay.isNull()) {
    const QImage view = DeviceView(m_overlay, grid().ratio());
    for (const QRect &area : event->region()) {
      const QRect pixels = grid().pixelsUnder(offset, area) & QRect(m_overlayPos, m_overlay.size());
      if (!pixels.isEmpty()) {
        painter.drawImage(offset + grid().pointOf(pixels.topLeft()), view, QRectF(pixels.translated(-m_overlayPos)));
      }
    }
  }
}

QPointF PictureBox::pointerPixel(const QMouseEvent *event) const {
  return grid().pixelAt(ExactPosition(*event, *this) - pictureOffset());
}

void PictureBox::mousePressEvent(QMouseEvent *event) {
  const QPointF at = pointerPixel(event);
  emit mouseDown(ButtonMask(event->button()), ShiftMask(event->modifiers()), float(at.x()), float(at.y()));
}

void PictureBox::mouseMoveEvent(QMouseEvent *event) {
  const QPointF at = pointerPixel(event);
  emit mouseMove(ButtonMask(event->buttons()), ShiftMask(event->modifiers()), float(at.x()), float(at.y()));
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event) {
  const QPointF at = pointerPixel(event);
  emit mouseUp(ButtonMask(event->button()), ShiftMask(event->modifiers()), float(at.x()), float(at.y()));
}

void PictureBox::keyPressEvent(QKeyEvent *event) {
  emit keyDown(event->key(), ShiftMask(event->modifiers()));
  const int key = event->key();
  if (key != Qt::Key_Left && key != Qt::Key_Right && key != Qt::Key_Up && key != Qt::Key_Down) {
    QWidget::keyPressEvent(event); // the arrows belong to the frame
  }
}

void PictureBox::moveEvent(QMoveEvent *event) {
  QWidget::moveEvent(event);
  // A control placed on another's pixels follows where that one's grid falls,
  // which moves only at a fractional scale.
  for (QObject *child : children()) {
    if (auto *box = qobject_cast<PictureBox *>(child); grid().fractional() && box != nullptr && box->m_pixelPos) {
      box->relayout();
    }
  }
}

} // namespace orvelle
