#include "capture/canvas_area.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <cmath>

namespace orvelle {

CanvasArea::CanvasArea(QWidget *parent) : QScrollArea(parent) {
  setFrameShape(QFrame::NoFrame);
  setWidgetResizable(false);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setFocusPolicy(Qt::NoFocus);
  viewport()->setBackgroundRole(QPalette::Window);
}

void CanvasArea::setCanvas(QWidget *canvas) {
  setWidget(canvas);
  canvas->installEventFilter(this);
}

QSize CanvasArea::devicePixelSize() const {
  const qreal ratio = devicePixelRatioF();
  return {static_cast<int>(std::floor(viewport()->width() * ratio)),
          static_cast<int>(std::floor(viewport()->height() * ratio))};
}

void CanvasArea::wheelEvent(QWheelEvent *event) {
  // Shift turns the wheel across, as most programs do.
  if (event->modifiers().testFlag(Qt::ShiftModifier) && event->angleDelta().x() == 0) {
    QScrollBar *bar = horizontalScrollBar();
    const int steps = event->angleDelta().y() / 120;
    bar->setValue(bar->value() - steps * bar->singleStep() * 3);
    event->accept();
    return;
  }
  QScrollArea::wheelEvent(event);
}

bool CanvasArea::eventFilter(QObject *watched, QEvent *event) {
  if (watched == widget() && event->type() == QEvent::MouseMove) {
    const auto *move = static_cast<QMouseEvent *>(event);
    if (move->buttons() != Qt::NoButton) {
      const QPoint p = move->position().toPoint();
      ensureVisible(p.x(), p.y(), 0, 0);
    }
  }
  return QScrollArea::eventFilter(watched, event);
}

} // namespace orvelle
