// Capture, the trimming frame editor and the trim, driven through the real
// main window with clipboard images and mouse events; checked on pixels,
// labels and the stored frame.

#include "tests/support/form1_harness.h"
#include "tests/support/qt_test_main.h"
#include "tests/support/test_files.h"

#include "batch/batch_trim.h"
#include "capture/picture_box.h"

#include <QClipboard>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>

using namespace orvelle;
using namespace orvelle::testing;

namespace {

constexpr int kCanvasTop = 29; // 440 twips

int CountColour(const QImage &image, QRgb colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      n += image.pixel(x, y) == colour ? 1 : 0;
    }
  }
  return n;
}

int Perimeter(QPoint a, QPoint b) {
  const QRect r = QRect(a, b).normalized();
  return r.width() == 1 || r.height() == 1 ? r.width() * r.height() : 2 * (r.width() + r.height()) - 4;
}

QImage Plain(QSize size) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::gray);
  return image;
}

PictureBox *Output(Form1Harness &h) { return static_cast<PictureBox *>(h.child("Picture2")); }

} // namespace

class CaptureTest : public QObject {
  Q_OBJECT

private slots:
  void captureShowsTheClipboardImagePixelForPixel();
  void dragMarksTheFrame();
  void ratioBindsTheHeight();
  void trimCutsTheFrameOut();
  void trimStretchesToALoadedDragFrame();
};

void CaptureTest::captureShowsTheClipboardImagePixelForPixel() {
  Form1Harness h;
  h.start();
  const QImage screen = NumberedImage({700, 500});
  h.capture(screen);
  QCOMPARE(h.child("Picture1")->size(), QSize(700, 500));
  QCOMPARE(h.clientImage().copy(0, kCanvasTop, 700, 500), screen);
  h.drag({10, 10}, {{50, 50}});
  h.form().Command4_Click();
  const QImage trimmed = Output(h)->image();
  // Screenshots often come with an alpha of 0: shown opaque all the same.
  QImage transparent(64, 48, QImage::Format_ARGB32);
  transparent.fill(qRgba(200, 40, 90, 0));
  h.capture(transparent);
  QCOMPARE(h.clientImage().pixel(20, kCanvasTop + 30), qRgb(200, 40, 90));
  // Text on the clipboard: the canvas is emptied, the trim only hidden, nothing said.
  QVERIFY(!Output(h)->isVisible());
  QApplication::clipboard()->setText(QStringLiteral("only text"));
  h.form().Command3_Click();
  QVERIFY(!static_cast<PictureBox *>(h.child("Picture1"))->hasPicture());
  QCOMPARE(Output(h)->image(), trimmed);
  QCOMPARE(h.modals().texts.size(), 1); // the start-up message only
}

void CaptureTest::dragMarksTheFrame() {
  Form1Harness h;
  h.start();
  h.capture(Plain({500, 400}));
  QWidget *canvas = h.child("Picture1");
  const QRgb black = qRgb(0, 0, 0);
  h.drag({20, 20}, {{200, 300}, {210, 310}});
  h.press(canvas, {100, 50});
  QCOMPARE(h.text("Label6"), QStringLiteral("100"));
  QCOMPARE(h.text("Label8"), QStringLiteral("190"));                              // kept until the first move
  QCOMPARE(CountColour(h.canvasImage(), black), Perimeter({20, 20}, {210, 310})); // a press neither clears nor draws
  // The dotted frame trails the pointer by one event: the first move draws a
  // frame of width 0, the next one the frame to the previous point.
  h.move(canvas, {200, 120});
  QVERIFY(CountColour(h.canvasImage(), black) <= 1);
  h.move(canvas, {300, 200});
  const int dots = CountColour(h.canvasImage(), black);
  QVERIFY(dots > Perimeter({100, 50}, {200, 120}) / 3 && dots < Perimeter({100, 50}, {200, 120}) * 2 / 3);
  // The colour is read at each drawing; the release draws solid to the last move.
  h.child<QRadioButton>("Option3")->setChecked(true);
  h.release(canvas, {320, 260});
  QVERIFY(OutlineIs(h.canvasImage(), {100, 50}, {300, 200}, qRgb(255, 0, 0)));
  QCOMPARE(CountColour(h.canvasImage(), qRgb(255, 0, 0)), Perimeter({100, 50}, {300, 200}));
  QCOMPARE(h.text("Label6") + h.text("Label7") + h.text("Label8") + h.text("Label9"), QStringLiteral("10050200150"));
  const FrameState &frame = h.form().state().frame;
  QCOMPARE(frame.trim.PicWidth, 200.0f);
  QCOMPARE(frame.drag.NewPicWidth, 200.0f);
  QCOMPARE(frame.drag.NewPicHeight, 150);
  QCOMPARE(static_cast<PictureBox *>(canvas)->image(), Plain({500, 400})); // no line in the picture
  // A right-button drag draws nothing and keeps the frame; only the output's start goes back to 0.
  const QImage before = h.canvasImage();
  h.press(canvas, {50, 50}, Qt::RightButton);
  h.move(canvas, {80, 90}, Qt::RightButton);
  h.release(canvas, {80, 90}, Qt::RightButton);
  QCOMPARE(h.canvasImage(), before);
  QCOMPARE(frame.trim.PicStartX, 100.0f);
}

void CaptureTest::ratioBindsTheHeight() {
  Form1Harness h;
  h.start();
  h.capture(Plain({500, 400}));
  auto *ratio = h.child<QLineEdit>("Text1");
  const FrameState &frame = h.form().state().frame;
  const QRgb black = qRgb(0, 0, 0);
  // Ratio, pointer path, then the frame's corners and its stored height.
  const std::tuple<const char *, QPoint, QPoint, QPoint, int> drags[] = {
      {"0.75", {100, 50}, {300, 10}, {300, 200}, 150}, // the pointer's y does not count
      {"0.5", {300, 100}, {200, 100}, {200, 50}, -50}, // to the left: up and left of the anchor
      {"-1", {100, 300}, {150, 300}, {150, 250}, -50}, // a negative ratio grows upwards
      {"0.5", {10, 10}, {15, 10}, {15, 12}, 2},        // 2.5 to the even 2
      {"0.5", {10, 10}, {17, 10}, {17, 14}, 4},        // 3.5 to the even 4
      {"3.99", {10, 10}, {110, 10}, {110, 409}, 399},
  };
  for (const auto &[text, from, to, corner, height] : drags) {
    ratio->setText(QString::fromLatin1(text));
    h.drag(from, {to});
    QCOMPARE(frame.trim.PicHeight, height);
    QCOMPARE(h.text("Label9"), QString::number(height));
    const QImage shown = h.canvasImage().copy(0, 0, 500, 400);
    if (corner.y() < 400) {
      QVERIFY2(OutlineIs(shown, from, corner, black), text);
      QCOMPARE(CountColour(shown, black), Perimeter(from, corner));
    }
  }
  // 4 or more switches the editor off; a box with no number changes nothing
  // and is marked, without a message at every move.
  ratio->setText(QStringLiteral("0.5"));
  h.drag({100, 50}, {{300, 200}});
  const QImage before = h.canvasImage();
  for (const auto &[text, number] :
       {std::pair{"4", true}, {"10", true}, {"", false}, {"abc", false}, {"1e40", false}}) {
    ratio->setText(QString::fromLatin1(text));
    h.drag({20, 20}, {{60, 80}, {90, 100}});
    QCOMPARE(frame.trim.PicWidth, 200.0f);
    QCOMPARE(h.text("Label6"), QStringLiteral("100"));
    QCOMPARE(h.canvasImage(), before);
    QCOMPARE(ratio->toolTip().isEmpty(), number);
  }
  QCOMPARE(frame.FrameRatio, 10.0f);
  QCOMPARE(h.modals().texts.size(), 1);
  // A height beyond 16 bits is shown; the output placement keeps its last size.
  ratio->setText(QStringLiteral("-3.5"));
  h.drag({20, 20}, {{20000, 20}});
  QCOMPARE(h.text("Label9"), QStringLiteral("-69930"));
  QCOMPARE(frame.drag.NewPicHeight, 100);
  QVERIFY(ratio->toolTip().isEmpty());
}

void CaptureTest::trimCutsTheFrameOut() {
  const QImage screen = NumberedImage({800, 2300});
  // The batch trim cuts the same pixels out of the picture's files.
  QTemporaryDir dir;
  const QStringList files = {dir.filePath(QStringLiteral("s.png")), dir.filePath(QStringLiteral("s.bmp"))};
  QVERIFY(screen.save(files[0]) && screen.save(files[1]));
  // Frames dragged each way, one higher than 2184 pixels, one beyond the picture.
  const std::tuple<QPoint, QPoint, QRect> frames[] = {
      {{100, 50}, {300, 200}, {100, 50, 200, 150}},
      {{300, 200}, {100, 50}, {100, 50, 200, 150}}, // up and to the left: the area, unmirrored
      {{10, 5}, {60, 2190}, {10, 5, 50, 2185}},
      {{700, 50}, {900, 150}, {700, 50, 200, 100}},
  };
  for (const auto &[from, to, area] : frames) {
    Form1Harness h({1280, 2400});
    h.start();
    h.drag(from, {to});
    h.form().Command4_Click(); // without a picture: still placed and shown
    QCOMPARE(Output(h)->geometry(), area);
    h.capture(screen);
    h.drag(from, {to});
    h.form().Command4_Click();
    QVERIFY(Output(h)->isVisible());
    QCOMPARE(Output(h)->geometry(), area);
    const QRect inside = area & screen.rect();
    QCOMPARE(Output(h)->image().copy(0, 0, inside.width(), inside.height()), screen.copy(inside));
    if (inside == area && area.height() < 1000) { // on the screen, over the frame, without frame lines
      QCOMPARE(h.clientImage().copy(area.translated(0, kCanvasTop)), screen.copy(area));
    }
    const FrameState &frame = h.form().state().frame;
    for (const QString &file : files) {
      const auto batch = TrimImageFile(file, {frame.trim, frame.drag, Output(h)->backColor()});
      QCOMPARE(std::get<QImage>(batch), Output(h)->image());
    }
    // A press inside the output picture does not reach the editor.
    h.press(Output(h), {1, 1});
    QCOMPARE(h.text("Label6"), QString::number(from.x()));
  }
}

void CaptureTest::trimStretchesToALoadedDragFrame() {
  Form1Harness h;
  h.start();
  const QImage screen = NumberedImage({400, 300});
  h.capture(screen);
  h.drag({0, 0}, {{120, 100}});
  h.form().Command4_Click();
  WriteFile(h.settingsPath(), "[Data]\nPicStartX=30\nPicStartY=20\nPicWidth=50\nPicHeight=40\nNewPicStartX=10\n"
                              "NewPicStartY=5\nNewPicWidth=100\nNewPicHeight=80\nPicRatio=0\n");
  h.form().Command1_Click();
  h.form().Command4_Click();
  QCOMPARE(Output(h)->geometry(), QRect(30, 20, 100, 80));
  const QImage out = Output(h)->image();
  // Each source pixel becomes two by two, from (10, 5) on.
  for (int y = 0; y < 37; ++y) {
    for (int x = 0; x < 45; ++x) {
      QCOMPARE(out.pixel(10 + 2 * x, 5 + 2 * y), screen.pixel(30 + x, 20 + y));
      QCOMPARE(out.pixel(11 + 2 * x, 6 + 2 * y), screen.pixel(30 + x, 20 + y));
    }
  }
  // Above and left of the painted rectangle the earlier trim is still there.
  QCOMPARE(out.pixel(3, 2), screen.pixel(3, 2));
  QTemporaryDir dir;
  QVERIFY(screen.save(dir.filePath(QStringLiteral("s.png"))));
  const FrameState &frame = h.form().state().frame;
  const auto batch = TrimImageFile(dir.filePath(QStringLiteral("s.png")), {frame.trim, frame.drag, Qt::white});
  QCOMPARE(std::get<QImage>(batch).copy(10, 5, 90, 75), out.copy(10, 5, 90, 75));
  // A move without a button puts the frame's size back into the placement.
  h.move(h.child("Picture1"), {390, 290}, Qt::NoButton);
  QCOMPARE(h.form().state().frame.drag.NewPicWidth, 50.0f);
  QCOMPARE(h.form().state().frame.drag.NewPicHeight, 40);
}

ORVELLE_QTEST_MAIN(CaptureTest)
#include "capture_test.moc"
