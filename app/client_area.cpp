#include "app/client_area.h"

#include "common/device_grid.h"

namespace orvelle {

void ClientArea::DockAtBottom(QWidget *child) {
  m_docked = child;
  child->raise();
  Arrange();
}

void ClientArea::FillBelow(QWidget *child, int top) {
  m_fill = child;
  m_fillTop = top;
  Arrange();
}

QRect ClientArea::FillRect() const {
  const int bottom = m_docked != nullptr ? m_docked->height() : 0;
  return {0, m_fillTop, width(), qMax(0, height() - m_fillTop - bottom)};
}

void ClientArea::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  Arrange();
  emit resized();
}

void ClientArea::Arrange() {
  if (m_docked != nullptr) {
    m_docked->setGeometry(0, height() - m_docked->height(), width(), m_docked->height());
  }
  if (m_fill != nullptr) {
    m_fill->setGeometry(FillRect());
  }
}

QSize ClientArea::FillPixels() const {
  const DeviceGrid grid(devicePixelRatioF());
  const QSize logical = FillRect().size();
  return {grid.pixelsIn(logical.width()), grid.pixelsIn(logical.height())};
}

} // namespace orvelle
