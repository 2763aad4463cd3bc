// Dragging a frame over a 3840 x 2160 capture: the cost of one mouse move
// (handler and repaint) beside one full repaint of the canvas; and a
// full-screen trim beside a plain copy of the same rectangle.
// Run on a 4K offscreen screen (scripts/bench.sh sets it up).

#include "bench/bench_util.h"
#include "tests/support/form1_harness.h"
#include "tests/support/synthetic_screen.h"

#include "app/interface_font.h"
#include "capture/picture_box.h"
#include "capture/trim.h"

#include <QApplication>
#include <QTest>

using namespace orvelle;
using namespace orvelle::testing;

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  ApplyInterfaceFont();
  const QSize uhd(3840, 2160);
  Form1Harness h(uhd);
  h.start();
  h.form().resize(uhd.width(), uhd.height() + 80); // the whole canvas on the screen
  QApplication::processEvents();
  const QImage screen = SyntheticScreen(uhd);
  h.setClipboardImage(screen);
  h.form().Command3_Click();
  auto *canvas = static_cast<PictureBox *>(h.child("Picture1"));
  QApplication::processEvents();

  const double full = bench::MedianMs(15, [&] { canvas->repaint(); });

  h.press(canvas, {200, 150});
  int step = 0;
  const double move = bench::MedianMs(201, [&] {
    ++step;
    h.move(canvas, {400 + (step % 100) * 30, 300 + (step % 100) * 16});
    QApplication::processEvents(); // the repaint of what changed
  });
  h.release(canvas, {400, 300});
  const double idle = bench::MedianMs(201, [&] {
    ++step;
    h.move(canvas, {400 + (step % 100) * 30, 300}, Qt::NoButton);
    QApplication::processEvents();
  });
  const double strip = bench::MedianMs(201, [&] {
    ++step;
    canvas->update(QRect(0, 100 + step % 100, 3000, 1));
    QApplication::processEvents();
  });

  std::printf("Frame editor on a %dx%d capture (visible canvas %dx%d):\n", uhd.width(), uhd.height(),
              canvas->visibleRegion().boundingRect().width(), canvas->visibleRegion().boundingRect().height());
  bench::Report("one mouse move (handler + repaint)", move, "one full repaint of the canvas", full, "0.1 or less");
  std::printf("  for comparison: a move without a button %.3f ms, one repainted line %.3f ms\n", idle, strip);

  // A full-screen frame, trimmed.
  const TrimFrame frame{0, 0, float(uhd.width()), uhd.height()};
  const DragFrame drag{0, 0, float(uhd.width()), static_cast<std::int16_t>(uhd.height())};
  auto *output = static_cast<PictureBox *>(h.child("Picture2"));
  const double trim = bench::MedianMs(9, [&] {
    output->resize(10, 10); // as after a small trim before
    TrimToFrame(*canvas, *output, frame, drag);
    (void)output->image();
  });
  QImage copied;
  const double copy = bench::MedianMs(9, [&] { copied = canvas->picture().copy(QRect(QPoint(0, 0), uhd)); });
  bench::Report("full-screen trim of the capture", trim, "QImage::copy of the same rectangle", copy, "2 or less");
  return 0;
}
