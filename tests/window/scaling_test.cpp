// Framing on a scaled display (run with QT_SCALE_FACTOR 2 and 1.5): one
// capture pixel on one device pixel, frames in capture pixels, the arrow keys,
// and framing in a capture larger than the window.

#include "tests/support/form1_harness.h"
#include "tests/support/qt_test_main.h"

#include "capture/picture_box.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

using namespace orvelle;
using namespace orvelle::testing;

namespace {
// Where the pointer lies on the canvas over the centre of a capture pixel.
QPointF At(QPoint pixel, qreal ratio) { return (pixel + QPointF(0.5, 0.5)) / ratio; }
} // namespace

class ScalingTest : public QObject {
  Q_OBJECT

private slots:
  void oneCapturePixelOnOneDevicePixel();
  void everyPixelOfALargeCaptureCanBeFramed();
};

void ScalingTest::oneCapturePixelOnOneDevicePixel() {
  Form1Harness h;
  h.start();
  const qreal ratio = h.form().devicePixelRatioF();
  QVERIFY2(ratio > 1, "run with QT_SCALE_FACTOR");
  const QImage screen = NumberedImage({700, 500});
  h.capture(screen);
  // The canvas starts 440 twips down the client area, on the next whole device pixel.
  QPoint origin(0, int(29 * ratio));
  while (origin.y() < int(29 * ratio) + 2 && h.clientImage().copy(QRect(origin, screen.size())) != screen) {
    origin.ry()++;
  }
  QCOMPARE(h.clientImage().copy(QRect(origin, screen.size())), screen);
  // A drag from device pixel (100, 50) to (300, 200) of the capture.
  h.drag(At({100, 50}, ratio), {At({200, 120}, ratio), At({300, 200}, ratio)});
  QCOMPARE(h.readouts(), QStringLiteral("100,50,200,150"));
  const QImage framed = h.clientImage().copy(QRect(origin, screen.size()));
  QVERIFY(OutlineIs(framed, {100, 50}, {300, 200}, qRgb(0, 0, 0))); // one device pixel wide
  QCOMPARE(framed.copy(101, 51, 199, 149), screen.copy(101, 51, 199, 149));
  // The trim lies over the frame, pixel for pixel.
  h.form().Command4_Click();
  QCOMPARE(h.child<PictureBox>("Picture2")->image(), screen.copy(100, 50, 200, 150));
  QCOMPARE(h.clientImage().copy(QRect(origin + QPoint(100, 50), QSize(200, 150))), screen.copy(100, 50, 200, 150));

  // The arrow keys move the frame, with Ctrl size it, with Shift by 10.
  h.form().Command3_Click();
  QWidget *canvas = h.child("Picture1");
  const auto key = [canvas](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(canvas, k, m); };
  key(Qt::Key_Right);
  key(Qt::Key_Down, Qt::ShiftModifier);
  key(Qt::Key_Right, Qt::ControlModifier);
  key(Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier);
  QCOMPARE(h.readouts(), QStringLiteral("101,60,201,140"));
  QCOMPARE(h.form().state().frame.drag.NewPicWidth, 201.0f);
  QCOMPARE(h.form().state().frame.drag.NewPicHeight, 140);
  QVERIFY(OutlineIs(h.clientImage().copy(QRect(origin, screen.size())), {101, 60}, {302, 200}, qRgb(0, 0, 0)));
  // With a ratio the height follows the width, halves to even; Ctrl+Up/Down do nothing.
  h.type("Text1", QStringLiteral("0.5"));
  key(Qt::Key_Left, Qt::ControlModifier);
  QCOMPARE(h.readouts(), QStringLiteral("101,60,200,100"));
  key(Qt::Key_Right, Qt::ControlModifier);
  key(Qt::Key_Down, Qt::ControlModifier);
  QCOMPARE(h.readouts(), QStringLiteral("101,60,201,100"));
  // A ratio of 4 or more, or no number, switches the keys off.
  for (const char *off : {"4", "x"}) {
    h.type("Text1", QString::fromLatin1(off));
    key(Qt::Key_Left);
    QCOMPARE(h.readouts(), QStringLiteral("101,60,201,100"));
  }
}

void ScalingTest::everyPixelOfALargeCaptureCanBeFramed() {
  Form1Harness h;
  h.start();
  const qreal ratio = h.form().devicePixelRatioF();
  auto *area = h.child<QScrollArea>("CanvasArea");
  const QImage screen = NumberedImage(area->viewport()->size() * ratio * 5 / 4);
  h.capture(screen);
  QApplication::processEvents();
  // The wheel scrolls down, with Shift across.
  for (const Qt::KeyboardModifier shift : {Qt::NoModifier, Qt::ShiftModifier}) {
    QWheelEvent wheel(QPointF(20, 20), area->viewport()->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, shift, Qt::NoScrollPhase, false);
    QApplication::sendEvent(area->viewport(), &wheel);
  }
  QVERIFY(area->verticalScrollBar()->value() > 0 && area->horizontalScrollBar()->value() > 0);
  // Held past the edge, the view keeps following the pointer.
  QWidget *canvas = h.child("Picture1");
  area->horizontalScrollBar()->setValue(0);
  h.press(canvas, canvas->mapFrom(area->viewport(), QPoint(20, 20)));
  h.move(canvas, canvas->mapFrom(area->viewport(), QPoint(area->viewport()->width() + 5, 30)));
  const int first = area->horizontalScrollBar()->value();
  QTest::qWait(200);
  QVERIFY(first > 0 && area->horizontalScrollBar()->value() > first);
  h.release(canvas, QPointF());
  // The far corner, scrolled to, framed and trimmed.
  area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->maximum());
  area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
  const QPoint corner(screen.width() - 1, screen.height() - 1);
  h.drag(At(corner - QPoint(120, 80), ratio), {At(corner, ratio)});
  h.form().Command4_Click();
  QCOMPARE(h.child<PictureBox>("Picture2")->image(), screen.copy(QRect(corner - QPoint(120, 80), QSize(120, 80))));
}

ORVELLE_QTEST_MAIN(ScalingTest)
#include "scaling_test.moc"
