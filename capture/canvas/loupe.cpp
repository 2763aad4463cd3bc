#include "capture/canvas/loupe.h"

#include "capture/canvas/picture_box.h"
#include "capture/picture/loupe_picture.h"

namespace orvelle {

namespace {
constexpr int kLeftButton = 1;
// How far the magnifier keeps from the pointer, in device pixels.
constexpr int kGap = 16;
} // namespace

Loupe::Loupe(PictureBox &canvas) : QObject(&canvas), m_canvas(canvas) {
  m_brief.setSingleShot(true);
  m_brief.setInterval(1000);
  connect(&m_brief, &QTimer::timeout, this, [this] {
    if (!m_dragging) {
      Hide();
    }
  });
  connect(&canvas, &PictureBox::mouseDown, this, [this](int buttons, int, float x, float y) {
    m_dragging = (buttons & kLeftButton) != 0;
    if (m_dragging) {
      ShowAt(QPoint(int(x), int(y)));
    }
  });
  connect(&canvas, &PictureBox::mouseMove, this, [this](int buttons, int, float x, float y) {
    if (m_dragging && (buttons & kLeftButton) != 0) {
      ShowAt(QPoint(int(x), int(y)));
    }
  });
  connect(&canvas, &PictureBox::mouseUp, this, [this](int buttons, int, float, float) {
    if ((buttons & kLeftButton) != 0) {
      m_dragging = false;
      Hide();
    }
  });
}

void Loupe::setEnabled(bool on) {
  m_on = on;
  if (!on) {
    Hide();
  }
}

void Loupe::ShowBriefly(QPoint pixel) {
  ShowAt(pixel);
  m_brief.start();
}

void Loupe::ShowAt(QPoint pixel) {
  if (!m_on) {
    return;
  }
  const QImage loupe = LoupePicture(m_canvas.picture(), pixel, m_canvas.backColor().rgb());
  const QRect visible = m_canvas.visiblePixels();
  const QSize size = loupe.size();
  // Right of and below the pointer, else on the other side.
  QPoint at = pixel + QPoint(kGap, kGap);
  if (at.x() + size.width() > visible.right() + 1 && pixel.x() - kGap - size.width() >= visible.left()) {
    at.setX(pixel.x() - kGap - size.width() + 1);
  }
  if (at.y() + size.height() > visible.bottom() + 1 && pixel.y() - kGap - size.height() >= visible.top()) {
    at.setY(pixel.y() - kGap - size.height() + 1);
  }
  m_canvas.setOverlay(loupe, at);
}

void Loupe::Hide() { m_canvas.clearOverlay(); }

} // namespace orvelle
