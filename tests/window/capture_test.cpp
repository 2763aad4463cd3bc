// Capture, the trimming frame editor and the trim, driven through the real
// main window with clipboard images, mouse events and keys; checked on pixels,
// labels and the stored frame. Run at display scales 1, 2 and 1.5: the tests
// whose names begin with "scaled" run on a scaled display, the others at 1.

#include "tests/support/form1_harness.h"
#include "tests/support/qt_test_main.h"
#include "tests/support/test_files.h"

#include "batch/batch_trim.h"
#include "capture/canvas/picture_box.h"

#include <QAction>
#include <QBackingStore>
#include <QBuffer>
#include <QClipboard>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

using namespace orvelle;
using namespace orvelle::testing;

namespace {

constexpr int kCanvasTop = 29; // 440 twips

// How many pixels of the picture have the colour, against the outline's size.
double Share(const QImage &image, QPoint a, QPoint b, QRgb colour) {
  int n = 0;
  for (int i = 0; i < image.width() * image.height(); ++i) {
    n += image.pixel(i % image.width(), i / image.width()) == colour ? 1 : 0;
  }
  const QRect r = QRect(a, b).normalized();
  return n / double(r.width() == 1 || r.height() == 1 ? r.width() * r.height() : 2 * (r.width() + r.height()) - 4);
}

PictureBox *Box(Form1Harness &h, const char *name) { return h.child<PictureBox>(name); }

// Where the pointer lies on the canvas over the centre of a capture pixel.
QPointF At(QPoint pixel, qreal ratio) { return (pixel + QPointF(0.5, 0.5)) / ratio; }

} // namespace

class CaptureTest : public QObject {
  Q_OBJECT

private slots:
  void init() {
    if (QByteArray(QTest::currentTestFunction()).startsWith("scaled") != (qApp->devicePixelRatio() > 1)) {
      QSKIP("for another display scale");
    }
  }
  void captureShowsTheClipboardImagePixelForPixel();
  void dragMarksTheFrameBoundByTheRatio();
  void trimCutsTheFrameOut();
  void scaledOneCapturePixelOnOneDevicePixel();
};

void CaptureTest::captureShowsTheClipboardImagePixelForPixel() {
  Form1Harness h;
  h.start();
  // Screenshots often come with an alpha of 0: shown opaque all the same.
  QImage transparent(64, 48, QImage::Format_ARGB32);
  transparent.fill(qRgba(200, 40, 90, 0));
  h.capture(transparent);
  QCOMPARE(h.clientImage().copy(0, kCanvasTop, 64, 48), QImage(transparent).convertToFormat(QImage::Format_RGB32));
  h.drag({10, 10}, {{50, 40}});
  h.form().Command4_Click();
  const QImage trimmed = Box(h, "Picture2")->image();
  // Text on the clipboard: the canvas is emptied, the trim only hidden, nothing said.
  QApplication::clipboard()->setText(QStringLiteral("only text"));
  h.form().Command3_Click();
  QVERIFY(!Box(h, "Picture1")->hasPicture() && Box(h, "Picture2")->isHidden());
  QCOMPARE(Box(h, "Picture2")->image(), trimmed);
  QCOMPARE(h.modals().texts.size(), 1); // the start-up message only
  // Another program's picture, as file bytes: one past Qt's own 128 MB limit
  // is taken; one of more than 1 GB is refused with a message.
  QImage big(6000, 6000, QImage::Format_Grayscale8);
  big.fill(77);
  QBuffer png;
  QVERIFY(png.open(QIODevice::WriteOnly) && big.save(&png, "PNG"));
  PutFileOnClipboard("image/png", png.data());
  h.form().Command3_Click();
  QCOMPARE(Box(h, "Picture1")->picture().size(), QSize(6000, 6000));
  PutFileOnClipboard("image/jpeg", JpegDeclaring({20000, 20000}));
  h.form().Command3_Click();
  QVERIFY(!Box(h, "Picture1")->hasPicture() && h.modals().texts.last().contains(QStringLiteral("大きすぎる")));
  // A PNG whose text chunk claims 2 GB is refused before its decoder allocates them.
  PutFileOnClipboard("image/png", png.data().left(33) + QByteArray("\x78\0\0\0tEXt", 8) + "short");
  h.form().Command3_Click();
  QVERIFY(!Box(h, "Picture1")->hasPicture() && h.modals().texts.last().contains(QStringLiteral("途中で切れて")));
}

void CaptureTest::dragMarksTheFrameBoundByTheRatio() {
  Form1Harness h;
  h.start();
  QImage gray(500, 400, QImage::Format_RGB32);
  gray.fill(Qt::gray);
  h.capture(gray);
  QWidget *canvas = h.child("Picture1");
  const QRgb black = qRgb(0, 0, 0);
  h.drag({20, 20}, {{200, 300}, {210, 310}});
  const QImage framed = h.canvasImage();
  // A click, the pointer staying within the drag distance, keeps frame and outline.
  h.press(canvas, {100, 50});
  h.move(canvas, {104, 53});
  h.release(canvas, {104, 53});
  QVERIFY(h.readouts() == QStringLiteral("20,20,190,290") && h.canvasImage() == framed);
  h.press(canvas, {100, 50}); // neither clears nor draws until the pointer leaves the distance
  QCOMPARE(h.readouts(), QStringLiteral("20,20,190,290"));
  QCOMPARE(Share(h.canvasImage(), {20, 20}, {210, 310}, black), 1.0);
  // The dotted frame trails the pointer by one event: the first move draws a
  // frame of width 0, the next one the frame to the previous point.
  h.move(canvas, {200, 120});
  QVERIFY(Share(h.canvasImage(), {100, 50}, {100, 50}, black) <= 1);
  h.move(canvas, {300, 200});
  const double dots = Share(h.canvasImage(), {100, 50}, {200, 120}, black);
  QVERIFY(dots > 0.4 && dots < 0.6);
  // The colour is read at each drawing; the release draws solid to the last move.
  h.child("Option3")->setProperty("checked", true);
  h.release(canvas, {320, 260});
  QCOMPARE(Share(h.canvasImage(), {100, 50}, {300, 200}, qRgb(255, 0, 0)), 1.0);
  QVERIFY(OutlineIs(h.canvasImage(), {100, 50}, {300, 200}, qRgb(255, 0, 0)));
  QVERIFY(h.readouts() == QStringLiteral("100,50,200,150") && h.form().session().frame.drag.NewPicHeight == 150);
  QCOMPARE(Box(h, "Picture1")->image(), gray); // no line in the picture
  // A right-button drag draws nothing and keeps the frame.
  const QImage solid = h.canvasImage();
  h.press(canvas, {50, 50}, Qt::RightButton);
  h.move(canvas, {80, 90}, Qt::RightButton);
  QCOMPARE(h.canvasImage(), solid);
  QCOMPARE(h.readouts(), QStringLiteral("100,50,200,150"));
  h.child("Option1")->setProperty("checked", true);
  const FrameState &frame = h.form().session().frame;
  // Ratio, pointer path, then the frame's moving corner and its stored height.
  const std::tuple<const char *, QPoint, QPoint, QPoint, int> drags[] = {
      {"0.75", {100, 50}, {300, 10}, {300, 200}, 150}, // the pointer's y does not count
      {"0.5", {300, 100}, {200, 100}, {200, 50}, -50}, // to the left: up and left of the anchor
      {"-1", {100, 300}, {150, 300}, {150, 250}, -50}, // a negative ratio grows upwards
      {"0.5", {10, 10}, {25, 10}, {25, 18}, 8},        // 7.5 to the even 8
      {"0.5", {10, 10}, {27, 10}, {27, 18}, 8},        // 8.5 to the even 8
  };
  for (const auto &[ratio, from, to, corner, height] : drags) {
    h.type("Text1", QString::fromLatin1(ratio));
    h.drag(from, {to});
    QCOMPARE(h.text("Label9"), QString::number(height));
    QCOMPARE(Share(h.canvasImage(), from, corner, black), 1.0);
    QVERIFY2(OutlineIs(h.canvasImage(), from, corner, black), ratio);
  }
  // 4 or more switches the editor off; a box with no number changes nothing
  // and is marked, without a message at every move.
  h.drag({100, 50}, {{300, 200}});
  const QImage before = h.canvasImage();
  for (const auto &[ratio, number] :
       {std::pair{"4", true}, {"10", true}, {"", false}, {"abc", false}, {"1e40", false}}) {
    h.type("Text1", QString::fromLatin1(ratio));
    h.drag({20, 20}, {{60, 80}, {90, 100}});
    QCOMPARE(h.readouts(), QStringLiteral("100,50,200,100"));
    QVERIFY(h.canvasImage() == before && h.child("Text1")->toolTip().isEmpty() == number);
  }
  QVERIFY(frame.FrameRatio == 10.0f && h.modals().texts.size() == 1);
  // A height beyond 16 bits is shown; the output placement keeps its last size.
  h.type("Text1", QStringLiteral("-3.5"));
  h.drag({20, 20}, {{20000, 20}});
  QCOMPARE(h.text("Label9"), QStringLiteral("-69930"));
  QCOMPARE(frame.drag.NewPicHeight, 100);
  // Under a negative ratio the typed frame, confirmed unchanged, stays where it is.
  h.type("Text1", QStringLiteral("-0.5"));
  h.drag({100, 300}, {{300, 300}});
  for (int i = 0; i < 3; ++i) {
    h.child<QAction>("M_E_Frame")->trigger();
    QCOMPARE(h.readouts(), QStringLiteral("100,300,200,-100"));
  }
}

void CaptureTest::trimCutsTheFrameOut() {
  const QImage screen = NumberedImage({800, 2300});
  // The batch trim cuts the same pixels out of the picture's files.
  QTemporaryDir dir;
  const QStringList files = {dir.filePath("s.png"), dir.filePath("s.bmp")};
  QVERIFY(screen.save(files[0]) && screen.save(files[1]));
  // Frames dragged each way, one higher than 2184 pixels, one beyond the picture.
  const std::tuple<QPoint, QPoint, QRect> frames[] = {
      {{100, 50}, {300, 200}, {100, 50, 200, 150}},
      {{300, 200}, {100, 50}, {100, 50, 200, 150}}, // up and to the left: the area, unmirrored
      {{10, 5}, {60, 2190}, {10, 5, 50, 2185}},
      {{700, 50}, {900, 150}, {700, 50, 200, 100}}};
  for (const auto &[from, to, area] : frames) {
    Form1Harness h({1280, 2400});
    h.start();
    h.drag(from, {to});
    h.form().Command4_Click(); // without a picture: still placed and shown
    QCOMPARE(Box(h, "Picture2")->geometry(), area);
    h.capture(screen);
    h.drag(from, {to});
    h.form().Command4_Click();
    QVERIFY(Box(h, "Picture2")->isVisible() && Box(h, "Picture2")->geometry() == area);
    const QRect inside = area & screen.rect();
    const QImage output = Box(h, "Picture2")->image();
    QCOMPARE(output.copy(0, 0, inside.width(), inside.height()), screen.copy(inside));
    if (inside == area && area.height() < 1000) { // on the screen, over the frame, without frame lines
      QCOMPARE(h.clientImage().copy(area.translated(0, kCanvasTop)), screen.copy(area));
    }
    const FrameState &frame = h.form().session().frame;
    for (const QString &file : files) {
      QCOMPARE(TrimImageFile(file, {frame.trim, frame.drag}).value(), output);
    }
    h.press(Box(h, "Picture2"), {1, 1}); // does not reach the editor
    QCOMPARE(h.text("Label6"), QString::number(from.x()));
  }
  // A loaded drag frame of another size stretches the frame's area into it.
  Form1Harness h;
  h.start();
  const QImage picture = NumberedImage({400, 300});
  h.capture(picture);
  h.drag({0, 0}, {{120, 100}});
  h.form().Command4_Click();
  WriteFile(h.settingsPath(), "[Data]\nPicStartX=30\nPicStartY=20\nPicWidth=50\nPicHeight=40\nNewPicStartX=10\n"
                              "NewPicStartY=5\nNewPicWidth=100\nNewPicHeight=80\nPicRatio=0\n");
  h.form().Command1_Click();
  h.form().Command4_Click();
  QCOMPARE(Box(h, "Picture2")->geometry(), QRect(30, 20, 100, 80));
  const QImage out = Box(h, "Picture2")->image();
  // Each source pixel becomes two by two, from (10, 5) on.
  const QImage doubled = picture.copy(30, 20, 50, 40).scaled(100, 80, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  QCOMPARE(out.copy(10, 5, 90, 75), doubled.copy(0, 0, 90, 75));
  QCOMPARE(out.pixel(3, 2), qRgb(240, 240, 240)); // where nothing is painted: no earlier trim shows through
  const FrameState &frame = h.form().session().frame;
  // A move without a button puts the frame's size back into the placement.
  h.move(h.child("Picture1"), {390, 290}, Qt::NoButton);
  QCOMPARE(frame.drag.NewPicWidth, 50.0f);
  QCOMPARE(frame.drag.NewPicHeight, 40);
  // A frame wholly off the picture is refused and leaves no trim to save.
  h.drag({450, 50}, {{500, 100}});
  h.form().Command4_Click();
  h.form().Command5_Click();
  QCOMPARE(h.modals().texts.mid(1), (QStringList{QStringLiteral("トリミング枠が画像の外にあります（画像は 400×300）"),
                                                 QStringLiteral("トリムされた画像がありません")}));
  QVERIFY(!Box(h, "Picture2")->isVisible());
}

void CaptureTest::scaledOneCapturePixelOnOneDevicePixel() {
  Form1Harness h;
  h.start();
  const qreal ratio = h.form().devicePixelRatioF();
  auto *area = h.child<QScrollArea>("CanvasArea"); // an empty canvas fits it
  QVERIFY(!area->horizontalScrollBar()->isVisible() && !area->verticalScrollBar()->isVisible());
  const QImage screen = NumberedImage({700, 500});
  h.capture(screen);
  // The canvas starts 440 twips down the client area, on the next whole device pixel.
  QPoint origin(0, int(29 * ratio));
  for (; h.clientImage().copy(QRect(origin, screen.size())) != screen && origin.y() < 29 * ratio + 2; ++origin.ry()) {
  }
  QCOMPARE(h.clientImage().copy(QRect(origin, screen.size())), screen);
  // A drag from device pixel (100, 50) to (300, 200) of the capture (real
  // pointer events and the trim over the frame: the end-to-end run at scales);
  // the arrow keys move the frame, with Ctrl size it, with Shift by 10.
  h.drag(At({100, 50}, ratio), {At({300, 200}, ratio)});
  QWidget *canvas = h.child("Picture1");
  const auto key = [canvas](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(canvas, k, m); };
  key(Qt::Key_Right);
  key(Qt::Key_Down, Qt::ShiftModifier);
  key(Qt::Key_Right, Qt::ControlModifier);
  key(Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier);
  QCOMPARE(h.readouts(), QStringLiteral("101,60,201,140"));
  QCOMPARE(h.form().session().frame.drag.NewPicHeight, 140);
  QVERIFY(OutlineIs(h.clientImage().copy(QRect(origin, screen.size())), {101, 60}, {302, 200}, qRgb(0, 0, 0)));
  // With a ratio the height follows the width, halves to even; Ctrl+Up/Down do nothing.
  h.type("Text1", QStringLiteral("0.5"));
  key(Qt::Key_Left, Qt::ControlModifier);
  QCOMPARE(h.readouts(), QStringLiteral("101,60,200,100"));
  key(Qt::Key_Right, Qt::ControlModifier);
  key(Qt::Key_Down, Qt::ControlModifier);
  h.type("Text1", QStringLiteral("4")); // which switches the keys off
  key(Qt::Key_Left);
  QCOMPARE(h.readouts(), QStringLiteral("101,60,201,100"));

  // A capture larger than the canvas area scrolls to every pixel.
  const QImage large = NumberedImage(area->viewport()->size() * ratio * 5 / 4);
  h.type("Text1", QStringLiteral("0"));
  h.capture(large);
  QApplication::processEvents();
  // The wheel scrolls down, with Shift across, also in a smooth wheel's small steps.
  for (const auto &[shift, step] : {std::pair{Qt::NoModifier, -120},
                                    {Qt::ShiftModifier, -40},
                                    {Qt::ShiftModifier, -40},
                                    {Qt::ShiftModifier, -40}}) {
    QWheelEvent wheel(QPointF(20, 20), area->viewport()->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, step),
                      Qt::NoButton, shift, Qt::NoScrollPhase, false);
    QApplication::sendEvent(area->viewport(), &wheel);
  }
  QCOMPARE(area->horizontalScrollBar()->value(), area->verticalScrollBar()->value());
  QVERIFY(area->verticalScrollBar()->value() > 0);
  // What the scrolls left on the screen is what a whole repaint of the view shows, pixel for pixel.
  QApplication::processEvents();
  const QRect view = QRectF(QPointF(area->viewport()->mapTo(&h.form(), QPoint(0, 0))) * ratio,
                            QSizeF(area->viewport()->size()) * ratio)
                         .toRect();
  const auto *store = dynamic_cast<const QImage *>(h.form().backingStore()->paintDevice());
  QImage onScreen = store != nullptr ? store->convertToFormat(QImage::Format_RGB32) : QImage();
  onScreen.setDevicePixelRatio(1);
  QImage repainted = h.form().grab().toImage().convertToFormat(QImage::Format_RGB32);
  repainted.setDevicePixelRatio(1);
  QVERIFY(!onScreen.isNull() && onScreen.copy(view) == repainted.copy(view));
  // Held past the edge, the view keeps following the pointer.
  area->horizontalScrollBar()->setValue(0);
  h.press(canvas, canvas->mapFrom(area->viewport(), QPoint(20, 20)));
  h.move(canvas, canvas->mapFrom(area->viewport(), QPoint(area->viewport()->width() + 5, 30)));
  const int first = area->horizontalScrollBar()->value();
  QVERIFY(first > 0);
  QTRY_VERIFY(area->horizontalScrollBar()->value() > first);
  h.release(canvas, QPointF());
  // Held past the edge, where the window system rounds the pointer's place to
  // whole logical pixels: the frame keeps to the device pixel under it.
  area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->maximum());
  h.press(canvas, canvas->mapFrom(area->viewport(), QPoint(20, 20)));
  const auto pixelAt = [&](double x) {
    int p = int(x * ratio);
    for (; Box(h, "Picture1")->logicalPoint({p + 1, 0}).x() <= x; ++p) {
    }
    for (; Box(h, "Picture1")->logicalPoint({p, 0}).x() > x; --p) {
    }
    return p;
  };
  QPointF held = canvas->mapFrom(area->viewport(), QPointF(area->viewport()->width() + 1, 30));
  for (; pixelAt(held.x()) == pixelAt(std::round(held.x())); held.rx() += 0.05) { // one whose rounding is another pixel
  }
  QMouseEvent outside(QEvent::MouseMove, held.toPoint(), held + QPointF(canvas->mapTo(&h.form(), QPoint(0, 0))),
                      canvas->mapToGlobal(held), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(canvas, &outside);
  // The view follows, and tells the canvas of the pointer again.
  QTRY_COMPARE(h.text("Label6").toInt() + h.text("Label8").toInt(), pixelAt(held.x()));
  h.release(canvas, held);
  // The far corner, scrolled to, framed and trimmed.
  area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->maximum());
  area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
  const QPoint corner(large.width() - 1, large.height() - 1);
  // Scrolled, the picture begins on the first whole device pixel of the canvas.
  const auto centre = [&](QPoint pixel) { return Box(h, "Picture1")->logicalPoint(pixel) + QPointF(0.5, 0.5) / ratio; };
  h.drag(centre(corner - QPoint(120, 80)), {centre(corner)});
  h.form().Command4_Click();
  QCOMPARE(Box(h, "Picture2")->image(), large.copy(QRect(corner - QPoint(120, 80), QSize(120, 80))));
}

ORVELLE_QTEST_MAIN(CaptureTest)
#include "capture_test.moc"
