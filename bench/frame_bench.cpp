// Dragging and nudging a frame over a 3840 x 2160 capture at the display
// scale the run is given (scripts/bench.sh runs it at 1 and 2): the cost of one
// mouse move and of one arrow key (handler and repaint) and of one wheel step
// over the capture scrolled in a window of half the screen, each beside the
// one reference of the run, a full repaint of the visible canvas in the
// window that shows the whole capture (every device pixel painted, checked);
// the wheel step also beside a plain copy of the bytes its canvas shows; and
// the trim of a frame smaller than the capture (whose pixels are copied out)
// beside a plain copy of the same rectangle. Run on a 4K offscreen screen.

#include "bench/bench_util.h"
#include "resources/tools/synthetic_screen.h"
#include "tests/support/form1_harness.h"

#include "app/interface_font.h"
#include "capture/canvas/picture_box.h"
#include "capture/picture/trim_plan.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QPaintEvent>
#include <QScrollArea>
#include <QTest>
#include <QWheelEvent>

using namespace orvelle;
using namespace orvelle::testing;
using orvelle::tools::SyntheticScreen;

namespace {
// The region of the last paint event of the object it watches.
struct PaintedRegion : QObject {
  QRegion region;
  bool eventFilter(QObject *, QEvent *event) override {
    if (event->type() == QEvent::Paint) {
      region = static_cast<QPaintEvent *>(event)->region();
    }
    return false;
  }
};
} // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  ApplyInterfaceFont();
  const QSize uhd(3840, 2160);
  Form1Harness h(uhd);
  h.start();
  const qreal ratio = h.form().devicePixelRatioF();
  // The whole capture on the screen.
  h.form().resize(qCeil(uhd.width() / ratio), qCeil(uhd.height() / ratio) + 80);
  QApplication::processEvents();
  const QImage screen = SyntheticScreen(uhd);
  QApplication::clipboard()->setImage(screen);
  h.form().Command3_Click();
  auto *canvas = static_cast<PictureBox *>(h.child("Picture1"));
  QApplication::processEvents();
  // A full repaint: every device pixel of the visible canvas painted at once
  // and shown (repaint() paints without waiting for the event loop, which may
  // merge or put off an update()); the paint event's region is checked to
  // cover the visible canvas.
  PaintedRegion painted;
  canvas->installEventFilter(&painted);
  const auto full = [&] {
    const double ms = bench::MedianMs(15, [&] {
      canvas->repaint();
      QApplication::processEvents();
    });
    if (painted.region != canvas->visibleRegion()) {
      std::printf("  (the reference repaint did not cover the visible canvas: not comparable)\n");
    }
    return ms;
  };
  const double fullRepaint = full();

  const auto at = [ratio](int x, int y) { return QPointF(x, y) / ratio; };
  h.press(canvas, at(200, 150));
  int step = 0;
  const double move = bench::MedianMs(201, [&] {
    ++step;
    h.move(canvas, at(400 + (step % 100) * 30, 300 + (step % 100) * 16));
    QApplication::processEvents(); // the repaint of what changed
  });
  h.release(canvas, at(400, 300));
  // The same with the magnifier following the pointer.
  h.child<QAction>("M_S_Loupe")->setChecked(true);
  h.press(canvas, at(200, 150));
  const double loupeMove = bench::MedianMs(201, [&] {
    ++step;
    h.move(canvas, at(400 + (step % 100) * 30, 300 + (step % 100) * 16));
    QApplication::processEvents();
  });
  h.release(canvas, at(400, 300));
  h.child<QAction>("M_S_Loupe")->setChecked(false);
  const double nudge = bench::MedianMs(201, [&] {
    QTest::keyClick(canvas, ++step % 2 != 0 ? Qt::Key_Right : Qt::Key_Left, Qt::ShiftModifier);
    QApplication::processEvents();
  });

  std::printf("Frame editor on a %dx%d capture at scale %.2f (visible canvas %dx%d):\n", uhd.width(), uhd.height(),
              ratio, canvas->visibleRegion().boundingRect().width(), canvas->visibleRegion().boundingRect().height());
  bench::Report("one mouse move (handler + repaint)", move, "one full repaint of the canvas", fullRepaint,
                "0.1 or less");
  bench::Report("one mouse move with the magnifier", loupeMove, "one full repaint of the canvas", fullRepaint,
                "0.1 or less");
  bench::Report("one arrow key (handler + repaint)", nudge, "one full repaint of the canvas", fullRepaint,
                "0.1 or less");

  // The capture in a window of half the screen, scrolled by the wheel.
  h.form().resize(qCeil(uhd.width() / ratio / 2), qCeil(uhd.height() / ratio / 2));
  QApplication::processEvents();
  QWidget *viewport = h.child<QScrollArea>("CanvasArea")->viewport();
  const double wheel = bench::MedianMs(41, [&] {
    QWheelEvent event(QPointF(50, 50), viewport->mapToGlobal(QPointF(50, 50)), QPoint(),
                      QPoint(0, ++step % 2 ? -120 : 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &event);
    QApplication::processEvents();
  });
  bench::Report("one wheel step over the scrolled capture", wheel, "one full repaint of the canvas", fullRepaint,
                "1.0 or less");
  // The least a scroll must move: the visible canvas's bytes, copied once.
  const QRect visible = QRectF(QRectF(canvas->visibleRegion().boundingRect()).topLeft() * ratio,
                               QSizeF(canvas->visibleRegion().boundingRect().size()) * ratio)
                            .toAlignedRect();
  QImage bytes;
  const double plainCopy = bench::MedianMs(41, [&] { bytes = canvas->picture().copy(visible); });
  bench::Report("one wheel step over the scrolled capture", wheel, "a plain copy of the visible canvas's bytes",
                plainCopy, "(for scale)");

  // A large frame inside the capture, trimmed: its pixels are copied out (a
  // frame of the whole capture shares the capture's pixels and costs nothing).
  const QRect area(200, 150, 3200, 1800);
  const TrimFrame frame{float(area.x()), float(area.y()), float(area.width()), area.height()};
  const DragFrame drag{0, 0, float(area.width()), static_cast<std::int16_t>(area.height())};
  QImage trimmed;
  const double trim = bench::MedianMs(9, [&] {
    const OutputPicture small{{10, 10}, QImage(), std::nullopt}; // as after a small trim before
    trimmed = TrimPicture(canvas->picture(), small, frame, drag).image;
  });
  if (trimmed.constBits() == canvas->picture().constBits() || trimmed.size() != area.size()) {
    std::printf("  (the trim did not copy the frame's pixels: not comparable)\n");
  }
  QImage copied;
  const double copy = bench::MedianMs(9, [&] { copied = canvas->picture().copy(area); });
  bench::Report("trim of a 3200x1800 frame of the capture", trim, "QImage::copy of the same rectangle", copy,
                "2 or less");
  return 0;
}
