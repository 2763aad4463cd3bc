// Framing on a scaled display (run with QT_SCALE_FACTOR 2 and 1.5): one
// capture pixel on one device pixel, frames in capture pixels, the arrow keys,
// and framing in a capture larger than the window.

#include "tests/support/form1_harness.h"
#include "tests/support/qt_test_main.h"

#include "capture/picture_box.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>

using namespace orvelle;
using namespace orvelle::testing;

namespace {

// Where the picture lies in the grabbed client area, in device pixels: the
// canvas starts 440 twips down, on the next whole device pixel.
std::optional<QPoint> Find(const QImage &client, const QImage &picture, qreal ratio) {
  for (int dy = 0; dy <= 2; ++dy) {
    const QPoint at(0, static_cast<int>(29 * ratio) + dy);
    if (client.copy(QRect(at, picture.size())) == picture) {
      return at;
    }
  }
  return std::nullopt;
}

// Where the pointer lies on the canvas over the centre of a capture pixel.
QPointF At(QPoint pixel, qreal ratio) { return (pixel + QPointF(0.5, 0.5)) / ratio; }

} // namespace

class ScalingTest : public QObject {
  Q_OBJECT

private slots:
  void oneCapturePixelOnOneDevicePixel();
  void arrowKeysNudgeTheFrame();
  void everyPixelOfALargeCaptureCanBeFramed();
};

void ScalingTest::oneCapturePixelOnOneDevicePixel() {
  Form1Harness h;
  h.start();
  const qreal ratio = h.form().devicePixelRatioF();
  QVERIFY2(ratio > 1, "run with QT_SCALE_FACTOR");
  const QImage screen = NumberedImage({700, 500});
  h.capture(screen);
  const auto origin = Find(h.clientImage(), screen, ratio);
  QVERIFY(origin.has_value());
  // A drag from device pixel (100, 50) to (300, 200) of the capture.
  h.drag(At({100, 50}, ratio), {At({200, 120}, ratio), At({300, 200}, ratio)});
  QCOMPARE(h.text("Label6") + h.text("Label7") + h.text("Label8") + h.text("Label9"), QStringLiteral("10050200150"));
  // The solid frame is one device pixel wide on the capture's pixels.
  const QImage framed = h.clientImage().copy(QRect(*origin, screen.size()));
  QVERIFY(OutlineIs(framed, {100, 50}, {300, 200}, qRgb(0, 0, 0)));
  QCOMPARE(framed.copy(101, 51, 199, 149), screen.copy(101, 51, 199, 149));
  // The trim lies over the frame, pixel for pixel.
  h.form().Command4_Click();
  QCOMPARE(static_cast<PictureBox *>(h.child("Picture2"))->image(), screen.copy(100, 50, 200, 150));
  QCOMPARE(h.clientImage().copy(QRect(*origin + QPoint(100, 50), QSize(200, 150))), screen.copy(100, 50, 200, 150));
}

void ScalingTest::arrowKeysNudgeTheFrame() {
  Form1Harness h;
  h.start();
  const qreal ratio = h.form().devicePixelRatioF();
  h.capture(NumberedImage({600, 400}));
  auto *canvas = h.child("Picture1");
  const auto key = [&](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(canvas, k, m); };
  const auto frame = [&] {
    return h.text("Label6") + ',' + h.text("Label7") + ',' + h.text("Label8") + ',' + h.text("Label9");
  };
  key(Qt::Key_Right); // no frame yet: nothing
  QCOMPARE(frame(), QStringLiteral("0,0,0,0"));
  h.drag(At({100, 50}, ratio), {At({300, 200}, ratio)});
  QCOMPARE(frame(), QStringLiteral("100,50,200,150"));
  key(Qt::Key_Right);
  key(Qt::Key_Down, Qt::ShiftModifier);
  key(Qt::Key_Right, Qt::ControlModifier);
  key(Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier);
  QCOMPARE(frame(), QStringLiteral("101,60,201,140"));
  QCOMPARE(h.form().state().frame.drag.NewPicWidth, 201.0f);
  QCOMPARE(h.form().state().frame.drag.NewPicHeight, 140);
  QVERIFY(OutlineIs(h.canvasImage().copy(0, 0, 600, 400), {101, 60}, {302, 200}, qRgb(0, 0, 0)));
  // With a ratio the height follows the width, halves to even; Ctrl+Up/Down do nothing.
  h.child<QLineEdit>("Text1")->setText(QStringLiteral("0.5"));
  key(Qt::Key_Left, Qt::ControlModifier);
  QCOMPARE(frame(), QStringLiteral("101,60,200,100"));
  key(Qt::Key_Right, Qt::ControlModifier);
  key(Qt::Key_Down, Qt::ControlModifier);
  QCOMPARE(frame(), QStringLiteral("101,60,201,100"));
  // A ratio of 4 or more, or no number, switches the keys off.
  for (const char *off : {"4", "x"}) {
    h.child<QLineEdit>("Text1")->setText(QString::fromLatin1(off));
    key(Qt::Key_Left);
    QCOMPARE(frame(), QStringLiteral("101,60,201,100"));
  }
}

void ScalingTest::everyPixelOfALargeCaptureCanBeFramed() {
  Form1Harness h;
  h.start();
  const qreal ratio = h.form().devicePixelRatioF();
  auto *area = h.child<QScrollArea>("CanvasArea");
  const QSize view = area->viewport()->size() * ratio;
  const QImage screen = NumberedImage(view * 5 / 4);
  h.capture(screen);
  QApplication::processEvents();
  QVERIFY(area->horizontalScrollBar()->maximum() > 0 && area->verticalScrollBar()->maximum() > 0);
  // The wheel scrolls down, with Shift across.
  for (const Qt::KeyboardModifier shift : {Qt::NoModifier, Qt::ShiftModifier}) {
    QWheelEvent wheel(QPointF(20, 20), area->viewport()->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, shift, Qt::NoScrollPhase, false);
    QApplication::sendEvent(area->viewport(), &wheel);
  }
  QVERIFY(area->verticalScrollBar()->value() > 0);
  QVERIFY(area->horizontalScrollBar()->value() > 0);
  // Dragging past the edge scrolls the view after the pointer.
  QWidget *canvas = h.child("Picture1");
  const int before = area->horizontalScrollBar()->value();
  h.drag(canvas->mapFrom(area->viewport(), QPoint(20, 20)),
         {canvas->mapFrom(area->viewport(), QPoint(area->viewport()->width() + 50, 30))});
  QVERIFY(area->horizontalScrollBar()->value() > before);
  // The far corner, scrolled to, framed, trimmed and saved.
  area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->maximum());
  area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
  const QPoint corner(screen.width() - 1, screen.height() - 1);
  h.drag(At(corner - QPoint(120, 80), ratio), {At(corner, ratio)});
  QCOMPARE(h.text("Label8") + ',' + h.text("Label9"), QStringLiteral("120,80"));
  h.form().Command4_Click();
  QCOMPARE(static_cast<PictureBox *>(h.child("Picture2"))->image(),
           screen.copy(QRect(corner - QPoint(120, 80), QSize(120, 80))));
  QTemporaryDir out;
  h.child<QLineEdit>("Text2")->setText(QStringLiteral("corner"));
  h.child<QSlider>("Slider1")->setValue(100);
  h.child<QLabel>("Panel1")->setText(out.path());
  h.form().Command5_Click();
  QCOMPARE(QImage(out.filePath(QStringLiteral("corner.jpg"))).size(), QSize(120, 80));
}

ORVELLE_QTEST_MAIN(ScalingTest)
#include "scaling_test.moc"
