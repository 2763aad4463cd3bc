#include "capture/picture_box.h"

#include "common/units.h"

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

float Twips(qreal pixels) { return static_cast<float>(PixelsToTwips(std::floor(pixels))); }

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
  QImage opaque = picture.format() == QImage::Format_ARGB32_Premultiplied
                      ? picture.convertToFormat(QImage::Format_ARGB32)
                      : picture;
  m_picture = opaque.convertToFormat(QImage::Format_RGB32);
  if (m_autoSize) {
    resize(m_picture.size());
  }
  update();
}

void PictureBox::clearPicture() {
  m_picture = QImage();
  update();
}

QColor PictureBox::backColor() const { return palette().color(QPalette::Window); }

void PictureBox::materialize() const {
  if (m_image.size() == size()) {
    return;
  }
  QImage grown(size(), QImage::Format_RGB32);
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
  if (m_picture.size() == size()) {
    return m_picture;
  }
  QImage out(size(), QImage::Format_RGB32);
  out.fill(backColor());
  QPainter p(&out);
  p.drawImage(0, 0, m_picture);
  return out;
}

void PictureBox::paintPicture(const QImage &source, const QRect &destination, const QRect &sourceRect) {
  if (source.isNull() || destination.isEmpty() || sourceRect.isEmpty()) {
    return;
  }
  const QRect whole(QPoint(0, 0), size());
  if (destination == whole && sourceRect.size() == whole.size() && source.rect().contains(sourceRect)) {
    // The whole image is replaced one to one: no need to keep what was there.
    m_image = source.copy(sourceRect).convertToFormat(QImage::Format_RGB32);
  } else {
    materialize();
    QPainter p(&m_image);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QRectF(destination), source, QRectF(sourceRect));
  }
  update();
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
    const QRect visible = strip & rect();
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

void PictureBox::paintImageArea(QPainter &painter, const QRect &area) const {
  const QImage &shown = m_persistent ? m_image : m_picture;
  const QRect covered = area & shown.rect();
  if (!covered.isEmpty()) {
    painter.drawImage(covered.topLeft(), shown, covered);
  }
  const QRegion rest = QRegion(area) - QRegion(covered);
  for (const QRect &r : rest) {
    painter.fillRect(r, backColor());
  }
}

void PictureBox::paintEvent(QPaintEvent *event) {
  if (m_persistent) {
    materialize();
  }
  QPainter painter(this);
  for (const QRect &area : event->region()) {
    paintImageArea(painter, area);
  }
  for (const Outline &o : m_outlines) {
    const QRegion strips = OutlineRegion(o.pixels) & event->region();
    if (strips.isEmpty()) {
      continue;
    }
    for (const QRect &r : strips) {
      if (o.style == DrawStyle::Dot) {
        painter.drawImage(r.topLeft(), DottedStrip(r, o.colour));
      } else {
        painter.fillRect(r, o.colour);
      }
    }
  }
}

void PictureBox::mousePressEvent(QMouseEvent *event) {
  emit mouseDown(ButtonMask(event->button()), ShiftMask(event->modifiers()), Twips(event->position().x()),
                 Twips(event->position().y()));
}

void PictureBox::mouseMoveEvent(QMouseEvent *event) {
  emit mouseMove(ButtonMask(event->buttons()), ShiftMask(event->modifiers()), Twips(event->position().x()),
                 Twips(event->position().y()));
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event) {
  emit mouseUp(ButtonMask(event->button()), ShiftMask(event->modifiers()), Twips(event->position().x()),
               Twips(event->position().y()));
}

} // namespace orvelle
