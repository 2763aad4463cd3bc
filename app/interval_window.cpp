#include "app/interval_window.h"

#include "core/interval_trim.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace orvelle {

IntervalWindow::IntervalWindow(IntervalTrim &trim, int seconds)
    : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint), m_trim(trim), m_count(new QLabel(this)) {
  setWindowTitle(QStringLiteral("定期トリム"));
  setAttribute(Qt::WA_DeleteOnClose);
  m_count->setObjectName(QStringLiteral("IntervalCount"));
  auto *stop = new QPushButton(QStringLiteral("停止"), this);
  stop->setObjectName(QStringLiteral("IntervalStop"));
  auto *layout = new QVBoxLayout(this);
  layout->addWidget(m_count);
  layout->addWidget(stop);
  connect(stop, &QPushButton::clicked, this, [this] { End(Result::Done()); });
  // Room for the longest count, in a size of its own: a tiling desktop lets a
  // window that cannot be resized float, so it stays small there too.
  m_count->setText(QStringLiteral("9999999 枚\n取り込めなかった回数：9999999"));
  setFixedSize(sizeHint());
  ShowCount();
  m_tick.setInterval(seconds * 1000);
  connect(&m_tick, &QTimer::timeout, this, &IntervalWindow::Tick);
  connect(&m_grab, &ScreenGrab::grabbed, this, &IntervalWindow::Grabbed);
  connect(&m_grab, &ScreenGrab::failed, this, [this] {
    m_grabbing = false;
    m_trim.GrabFailed();
    show();
    ShowCount();
  });
  m_hideForGrab = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
  m_grab.setUnattended(true); // the main window is hidden, and this one for the grab where it must
  show();
  PlaceAwayFromFrame();
  stop->setFocus();
  activateWindow();
  m_tick.start();
  QTimer::singleShot(kDesktopRedrawMs, this, &IntervalWindow::Tick); // the first grab once the main window is gone
}

QSize DesktopPixels() {
  const QScreen *screen = QGuiApplication::primaryScreen();
  return screen->virtualSize() * screen->devicePixelRatio();
}

void IntervalWindow::PlaceAwayFromFrame() {
  const QScreen *screen = QGuiApplication::primaryScreen();
  // The work area (without the desktop's panels), for the whole window, the
  // window manager's frame and title bar included.
  const QRect desktop = screen->availableGeometry();
  const qreal ratio = screen->devicePixelRatio();
  const QRect frameArea = m_trim.Needed(DesktopPixels()); // in device pixels
  const QRectF frame(QPointF(frameArea.topLeft()) / ratio, QSizeF(frameArea.size()) / ratio);
  const QSize size = frameGeometry().size();
  QRect best;
  qreal farthest = -1;
  for (const QPoint corner : {desktop.topLeft(), desktop.topRight() - QPoint(size.width() - 1, 0),
                              desktop.bottomLeft() - QPoint(0, size.height() - 1),
                              desktop.bottomRight() - QPoint(size.width() - 1, size.height() - 1)}) {
    const QRect place(corner, size);
    const QPointF apart = QRectF(place).center() - frame.center();
    if (const qreal distance = QPointF::dotProduct(apart, apart); distance > farthest) {
      farthest = distance;
      best = place;
    }
  }
  m_placedFrame = FrameMargins();
  move(best.topLeft());
  m_hideForGrab = m_hideForGrab || QRectF(best).intersects(frame);
}

QMargins IntervalWindow::FrameMargins() const {
  const QRect frame = frameGeometry(), inside = geometry();
  return {inside.left() - frame.left(), inside.top() - frame.top(), frame.right() - inside.right(),
          frame.bottom() - inside.bottom()};
}

void IntervalWindow::moveEvent(QMoveEvent *event) {
  QWidget::moveEvent(event);
  // The window manager tells its frame once the window is on the screen:
  // placed again with it, so that no part of the frame lies off the screen.
  if (isVisible() && FrameMargins() != m_placedFrame) {
    PlaceAwayFromFrame();
  }
}

void IntervalWindow::Tick() {
  if (m_grabbing || m_ended) {
    return;
  }
  m_grabbing = true;
  const auto grab = [this] { m_grab.Start([this](QSize desktop) { return m_trim.Needed(desktop); }); };
  if (m_hideForGrab) {
    hide();
    QTimer::singleShot(kDesktopRedrawMs, this, grab);
  } else {
    grab();
  }
}

void IntervalWindow::Grabbed(const ScreenPicture &screen) {
  m_grabbing = false;
  const Result taken = m_trim.Take(screen);
  if (!taken.done) {
    End(taken);
    return;
  }
  show();
  ShowCount();
}

void IntervalWindow::ShowCount() { m_count->setText(m_trim.countText()); }

void IntervalWindow::End(const Result &result) {
  if (m_ended) {
    return;
  }
  m_ended = true;
  m_tick.stop();
  emit ended(result);
  close();
}

void IntervalWindow::closeEvent(QCloseEvent *event) {
  End(Result::Done());
  event->accept();
}

} // namespace orvelle
