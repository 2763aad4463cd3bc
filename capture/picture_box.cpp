#include "capture/picture_box.h"

#include "common/units.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace orvelle {

namespace {
// Pixels for a corner in twips; far-away corners are kept within a range that
// painting handles, which still lies well outside any control.
std::optional<int> CornerPixel(double twips) {
  if (!std::isfinite(twips)) {
    return std::nullopt;
  }
  constexpr double kLimit = 1e7;
  return TwipsToPixels(std::clamp(twips, -kLimit * kTwipsPerPixel, kLimit * kTwipsPerPixel));
}

int ShiftMask(Qt::KeyboardModifiers m) {
  return (m.testFlag(Qt::ShiftModifier) ? 1 : 0) | (m.testFlag(Qt::ControlModifier) ? 2 : 0) |
         (m.testFlag(Qt::AltModifier) ? 4 : 0);
}

int ButtonMask(Qt::MouseButtons b) {
  return (b.testFlag(Qt::LeftButton) ? 1 : 0) | (b.testFlag(Qt::RightButton) ? 2 : 0) |
         (b.testFlag(Qt::MiddleButton) ? 4 : 0);
}

// A view of the image's pixels that draws one pixel per device pixel at this
// ratio; it shares the image's memory, so it costs no copy.
QImage DeviceView(const QImage &image, qreal ratio) {
  QImage view(image.constBits(), image.width(), image.height(), image.bytesPerLine(), image.format());
  view.setDevicePixelRatio(ratio);
  return view;
}

// A one-pixel strip of a dotted line: every other pixel lit, those whose
// coordinates add up to an even number, so that dots meet at the corners and
// stay in place when only a part of the line is repainted.
QImage DottedStrip(const QRect &strip, const QColor &colour) {
  QImage dots(strip.size(), QImage::Format_ARGB32_Premultiplied);
  dots.fill(Qt::transparent);
  const QRgb lit = colour.rgba();
  const bool horizontal = strip.height() == 1;
  const int length = horizontal ? strip.width() : strip.height();
  const int first = (strip.left() + strip.top()) % 2 == 0 ? 0 : 1;
  for (int i = first; i < length; i += 2) {
    dots.setPixel(horizontal ? i : 0, horizontal ? 0 : i, lit);
  }
  return dots;
}
} // namespace

PictureBox::PictureBox(QWidget *parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
}

void PictureBox::setPicture(const QImage &picture) {
  // The picture is shown and kept opaque: screenshots often come with an alpha
  // channel of 0, whose colours are still the screen's.
  if (picture.isNull()) {
    clearPicture();
    return;
  }
  m_picture = OpaquePicture(picture);
  if (m_autoSize) {
    setPixelSize(m_picture.size());
  }
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

QPointF PictureBox::pictureOffset() const { return deviceOrigin() / ratio() - QPointF(mapTo(window(), QPoint(0, 0))); }

QPointF PictureBox::logicalPoint(QPoint pixel) const { return pictureOffset() + QPointF(pixel) / ratio(); }

QRect PictureBox::logicalRect(const QRect &pixels) const {
  return QRectF(logicalPoint(pixels.topLeft()), QSizeF(pixels.size()) / ratio()).toAlignedRect();
}

void PictureBox::relayout() {
  // Enough of the window to hold every pixel, wherever the device grid falls.
  const auto *box = qobject_cast<const PictureBox *>(parentWidget());
  if (m_pixelPos && box != nullptr) {
    const QRect area = box->logicalRect(QRect(*m_pixelPos, m_pixelSize));
    setGeometry(area.isValid() ? area : QRect(area.topLeft(), QSize(0, 0)));
    return;
  }
  resize(grid().lengthFor(m_pixelSize.width()), grid().lengthFor(m_pixelSize.height()));
}

void PictureBox::materialize() const {
  if (m_image.size() == m_pixelSize) {
    return;
  }
  QImage grown(m_pixelSize, QImage::Format_RGB32);
  grown.fill(backColor());
  if (!m_image.isNull()) {
    QPainter p(&grown);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, m_image);
  }
  m_image = grown;
}

QImage PictureBox::image() const {
  if (m_persistent) {
    materialize();
    return m_image;
  }
  if (m_picture.size() == m_pixelSize) {
    return m_picture;
  }
  QImage out(m_pixelSize, QImage::Format_RGB32);
  out.fill(backColor());
  QPainter p(&out);
  p.drawImage(0, 0, m_picture);
  return out;
}

void PictureBox::fillImage(const QColor &colour) {
  m_image = QImage(m_pixelSize, QImage::Format_RGB32);
  m_image.fill(colour);
  update();
}

void PictureBox::paintPicture(const QImage &source, const QRect &destination, const QRect &sourceRect) {
  if (source.isNull() || destination.isEmpty() || sourceRect.isEmpty()) {
    return;
  }
  const QRect whole(QPoint(0, 0), m_pixelSize);
  if (destination == whole && sourceRect.size() == whole.size() && source.rect().contains(sourceRect)) {
    // The whole image is replaced one to one: no need to keep what was there.
    m_image = source.copy(sourceRect).convertToFormat(QImage::Format_RGB32);
  } else {
    materialize();
    PaintStretched(m_image, source, destination, sourceRect);
  }
  update();
}

QImage OpaquePicture(const QImage &picture) {
  const QImage straight = picture.format() == QImage::Format_ARGB32_Premultiplied
                              ? picture.convertToFormat(QImage::Format_ARGB32)
                              : picture;
  return straight.convertToFormat(QImage::Format_RGB32);
}

void PaintStretched(QImage &target, const QImage &source, const QRect &destination, const QRect &sourceRect) {
  QPainter p(&target);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.drawImage(QRectF(destination), source, QRectF(sourceRect));
}

QRegion PictureBox::OutlineRegion(const QRect &r) {
  QRegion region;
  region += QRect(r.left(), r.top(), r.width(), 1);
  region += QRect(r.left(), r.bottom(), r.width(), 1);
  region += QRect(r.left(), r.top(), 1, r.height());
  region += QRect(r.right(), r.top(), 1, r.height());
  return region;
}

void PictureBox::repaintOutline(const QRect &pixels) {
  // Drawing shows at once, one line at a time: each is a plain rectangle to
  // repaint, where the four together would be one costly complex region.
  for (const QRect &strip : OutlineRegion(pixels)) {
    const QRect visible = logicalRect(strip) & rect();
    if (!visible.isEmpty()) {
      repaint(visible);
    }
  }
}

void PictureBox::clearDrawings() {
  const std::vector<Outline> cleared = std::move(m_outlines);
  m_outlines.clear();
  for (const Outline &o : cleared) {
    repaintOutline(o.pixels);
  }
}

void PictureBox::drawFrame(QPointF cornerA, QPointF cornerB, std::optional<QColor> colour) {
  const auto x1 = CornerPixel(cornerA.x()), y1 = CornerPixel(cornerA.y());
  const auto x2 = CornerPixel(cornerB.x()), y2 = CornerPixel(cornerB.y());
  if (!x1 || !y1 || !x2 || !y2) {
    return;
  }
  const QRect pixels = QRect(QPoint(*x1, *y1), QPoint(*x2, *y2)).normalized();
  m_outlines.push_back({pixels, m_drawStyle, colour.value_or(foreColor())});
  repaintOutline(pixels);
}

void PictureBox::paintImageArea(QPainter &painter, const QRect &area, const QPointF &offset, qreal r) const {
  const QImage &shown = m_persistent ? m_image : m_picture;
  // The pixels under the area, and those of them the picture has.
  const QRect pixels = QRectF((QPointF(area.topLeft()) - offset) * r, QSizeF(area.size()) * r).toAlignedRect();
  const QRect covered = pixels & shown.rect();
  if (covered != pixels) {
    // A control on another's pixels paints only its own: the logical pixels
    // its edges share with the other one show that one's picture.
    const QRect own = pixels & QRect(QPoint(0, 0), m_pixelSize);
    painter.fillRect(m_pixelPos ? QRectF(offset + QPointF(own.topLeft()) / r, QSizeF(own.size()) / r) : QRectF(area),
                     backColor());
  }
  if (!covered.isEmpty()) {
    painter.drawImage(offset + QPointF(covered.topLeft()) / r, DeviceView(shown, r), QRectF(covered));
  }
}

void PictureBox::paintEvent(QPaintEvent *event) {
  if (m_persistent) {
    materialize();
  }
  const qreal r = ratio();
  const QPointF offset = pictureOffset();
  QPainter painter(this);
  for (const QRect &area : event->region()) {
    paintImageArea(painter, area, offset, r);
  }
  for (const Outline &o : m_outlines) {
    for (const QRect &area : event->region()) {
      const QRect pixels = QRectF((QPointF(area.topLeft()) - offset) * r, QSizeF(area.size()) * r).toAlignedRect();
      for (const QRect &strip : OutlineRegion(o.pixels) & pixels) {
        QImage line =
            o.style == DrawStyle::Dot ? DottedStrip(strip, o.colour) : QImage(strip.size(), QImage::Format_RGB32);
        if (o.style != DrawStyle::Dot) {
          line.fill(o.colour);
        }
        line.setDevicePixelRatio(r);
        painter.drawImage(offset + QPointF(strip.topLeft()) / r, line);
      }
    }
  }
}

QPointF PictureBox::pointerTwips(const QMouseEvent *event) const {
  // Qt hands widgets position() rounded to whole logical pixels, which at a
  // fractional scale is not the device pixel under the pointer; the position
  // in the window keeps the fraction. An event made for this control alone
  // carries no window position (it repeats its own): its position is exact.
  const QPointF inWindow = event->scenePosition() - QPointF(mapTo(window(), QPoint(0, 0)));
  const QPointF rounding = inWindow - event->position();
  const bool fromWindow = std::abs(rounding.x()) <= 0.5 && std::abs(rounding.y()) <= 0.5;
  const QPointF local = fromWindow ? inWindow : event->position();
  const QPoint pixel = grid().pixelAt(local - pictureOffset());
  return {PixelsToTwips(pixel.x()), PixelsToTwips(pixel.y())};
}

void PictureBox::mousePressEvent(QMouseEvent *event) {
  const QPointF at = pointerTwips(event);
  emit mouseDown(ButtonMask(event->button()), ShiftMask(event->modifiers()), float(at.x()), float(at.y()));
}

void PictureBox::mouseMoveEvent(QMouseEvent *event) {
  const QPointF at = pointerTwips(event);
  emit mouseMove(ButtonMask(event->buttons()), ShiftMask(event->modifiers()), float(at.x()), float(at.y()));
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event) {
  const QPointF at = pointerTwips(event);
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
