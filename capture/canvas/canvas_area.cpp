#include "capture/canvas/canvas_area.h"

#include "capture/canvas/pointer_input.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>
#include <cmath>

namespace orvelle {

CanvasArea::CanvasArea(QWidget *parent) : QScrollArea(parent), m_autoScroll(new QTimer(this)) {
  m_autoScroll->setInterval(30);
  connect(m_autoScroll, &QTimer::timeout, this, &CanvasArea::AutoScroll);
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

void CanvasArea::wheelEvent(QWheelEvent *event) {
  // Shift turns the wheel across, as most programs do: the same turn, given
  // to the scroll area as a turn across, which adds up a smooth wheel's or a
  // touchpad's small steps and takes the pixel steps where there are some.
  if (event->modifiers().testFlag(Qt::ShiftModifier) && event->angleDelta().x() == 0) {
    QWheelEvent across(event->position(), event->globalPosition(), event->pixelDelta().transposed(),
                       event->angleDelta().transposed(), event->buttons(), event->modifiers() & ~Qt::ShiftModifier,
                       event->phase(), event->inverted(), event->source());
    QScrollArea::wheelEvent(&across);
    event->setAccepted(across.isAccepted());
    return;
  }
  QScrollArea::wheelEvent(event);
}

void CanvasArea::scrollContentsBy(int dx, int dy) {
  QWidget *canvas = widget();
  if (canvas == nullptr) {
    return;
  }
  // A scroll moves pixels already on the screen: the viewport's picture is
  // moved with the canvas in it, and only the strip that comes into view is
  // painted. Where the canvas would not then lie where the scroll bars put it
  // (a right-to-left layout), or the step is no whole number of device pixels
  // (at 150 % an odd step), it is placed and painted anew, as the scroll area does.
  const QPoint wanted(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
  const qreal ratio = devicePixelRatioF();
  const bool wholePixels = std::fmod(dx * ratio, 1.0) == 0 && std::fmod(dy * ratio, 1.0) == 0;
  if (canvas->pos() + QPoint(dx, dy) == wanted && wholePixels) {
    viewport()->scroll(dx, dy);
  } else {
    QScrollArea::scrollContentsBy(dx, dy);
  }
}

bool CanvasArea::eventFilter(QObject *watched, QEvent *event) {
  if (watched == widget() && event->type() == QEvent::MouseMove) {
    const auto *move = static_cast<QMouseEvent *>(event);
    m_buttons = move->buttons();
    const QPointF at = ExactPosition(*move, *widget());
    m_pointer = widget()->mapTo(viewport(), at);
    if (m_buttons != Qt::NoButton) {
      const QPoint p = at.toPoint();
      ensureVisible(p.x(), p.y(), 0, 0);
    }
    const bool outside = !QRectF(viewport()->rect()).contains(m_pointer);
    m_buttons != Qt::NoButton &&outside ? m_autoScroll->start() : m_autoScroll->stop();
  } else if (watched == widget() && event->type() == QEvent::MouseButtonRelease) {
    m_autoScroll->stop();
  }
  return QScrollArea::eventFilter(watched, event);
}

void CanvasArea::AutoScroll() {
  // The pointer is held past the edge: tell the canvas of it again, which
  // scrolls the view as far again and lets the frame follow.
  const QPoint before(horizontalScrollBar()->value(), verticalScrollBar()->value());
  // The move carries its exact place in the window too, as the window system's do.
  const QPointF local = widget()->mapFrom(viewport(), m_pointer);
  const QPointF inWindow = local + QPointF(widget()->mapTo(widget()->window(), QPoint(0, 0)));
  QMouseEvent move(QEvent::MouseMove, local, inWindow, widget()->mapToGlobal(local), Qt::NoButton, m_buttons,
                   Qt::NoModifier);
  QCoreApplication::sendEvent(widget(), &move);
  if (before == QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value())) {
    m_autoScroll->stop(); // at the end
  }
}

} // namespace orvelle
