#include "app/interval_window.h"

#include "batch/cli/problem_words.h"
#include "settings/view_settings.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace orvelle {

IntervalWindow::IntervalWindow(const ScreenPlan &plan, int seconds, const QString &settingsPath)
    : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint), m_count(new QLabel(this)),
      m_source(OpenIntervalSource(ReadScreenCastToken(settingsPath))) {
  setWindowTitle(QStringLiteral("定期トリム"));
  setAttribute(Qt::WA_DeleteOnClose);
  m_count->setObjectName(QStringLiteral("IntervalCount"));
  auto *stop = new QPushButton(QStringLiteral("停止"), this);
  stop->setObjectName(QStringLiteral("IntervalStop"));
  auto *layout = new QVBoxLayout(this);
  layout->addWidget(m_count);
  layout->addWidget(stop);
  connect(stop, &QPushButton::clicked, this, [this] { End({}); });
  // Room for the longest count, in a size of its own: a tiling desktop lets a
  // window that cannot be resized float, so it stays small there too.
  m_count->setText(QStringLiteral("9999999 枚\n取り込めなかった回数：9999999"));
  setFixedSize(sizeHint());
  ScreenPlan every = plan;
  every.everyMs = seconds * 1000;
  m_runner = new ScreenRunner(*m_source, every, this);
  m_runner->setBeforeGrab([this](const std::function<void()> &go) { BeforeGrab(go); });
  connect(m_runner, &ScreenRunner::stepped, this, &IntervalWindow::Stepped);
  connect(m_source.get(), &ScreenSource::sessionToken, this,
          [settingsPath](const QString &token) { WriteScreenCastToken(token, settingsPath); });
  connect(m_source.get(), &ScreenSource::noted, this, [this](const Problem &problem) {
    m_note = Words(problem).section(QLatin1Char('\n'), 0, 0); // the first line: the cause is in the log
  });
  ShowCount();
  m_hideForGrab = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
  m_source->setUnattended(true); // the main window is hidden, and this one for the grab where it must
  show();
  PlaceAwayFromFrame();
  stop->setFocus();
  activateWindow();
  m_runner->Start();
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
  const QRect frameArea = m_runner->Needed(DesktopPixels()); // in device pixels
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

void IntervalWindow::BeforeGrab(const std::function<void()> &go) {
  // The first grab once the main window is gone; this one hides where it must.
  if (m_hideForGrab) {
    hide();
  }
  // A source that sees the desktop's redraws takes the first picture drawn
  // after this; else the desktop is given time to redraw.
  const bool redraw = m_hideForGrab || m_first;
  m_first = false;
  if (redraw && !m_source->AwaitRedraw()) {
    QTimer::singleShot(kDesktopRedrawMs, this, go);
  } else {
    go();
  }
}

void IntervalWindow::Stepped(const ScreenStep &step) {
  if (step.outcome == ScreenStep::Outcome::Failed && step.last) {
    End(*step.problem); // a failed save
    return;
  }
  show();
  ShowCount();
}

void IntervalWindow::ShowCount() {
  QString text = QStringLiteral("%1 枚").arg(m_runner->saved());
  if (m_runner->failedGrabs() > 0) {
    text += QStringLiteral("\n取り込めなかった回数：%1").arg(m_runner->failedGrabs());
  }
  m_count->setText(text);
}

void IntervalWindow::End(const Expected<void> &result) {
  if (m_ended) {
    return;
  }
  m_ended = true;
  m_runner->Stop();
  emit ended(result, m_runner->saved(), m_note);
  close();
}

void IntervalWindow::closeEvent(QCloseEvent *event) {
  End({});
  event->accept();
}

} // namespace orvelle
