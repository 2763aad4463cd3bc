#include "app/client_area.h"

namespace orvelle {

void ClientArea::DockAtBottom(QWidget *child) {
  m_docked = child;
  child->raise();
  child->setGeometry(0, height() - child->height(), width(), child->height());
}

void ClientArea::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  if (m_docked != nullptr) {
    m_docked->setGeometry(0, height() - m_docked->height(), width(), m_docked->height());
  }
}

} // namespace orvelle
