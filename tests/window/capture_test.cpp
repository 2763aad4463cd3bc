// Capture, the trimming frame editor and the trim, driven through the real
// main window with clipboard images and mouse events; checked on pixels,
// labels and the shared frame.

#include "tests/support/form1_harness.h"
#include "tests/support/qt_test_main.h"

#include "capture/picture_box.h"

#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QRadioButton>

using namespace orvelle;
using namespace orvelle::testing;

namespace {

constexpr int kCanvasTop = 29; // 440 twips

// The pixels of the outline between two corners, both included.
QVector<QPoint> OutlinePixels(QPoint a, QPoint b) {
  const QRect r = QRect(a, b).normalized();
  QVector<QPoint> out;
  for (int x = r.left(); x <= r.right(); ++x) {
    out << QPoint(x, r.top()) << QPoint(x, r.bottom());
  }
  for (int y = r.top(); y <= r.bottom(); ++y) {
    out << QPoint(r.left(), y) << QPoint(r.right(), y);
  }
  return out;
}

// How many pixels of the outline have the colour, and how many pixels of the
// canvas have it at all.
struct OutlineCount {
  int onOutline = 0;
  int total = 0;
  int outlineSize = 0;
};

OutlineCount Count(const QImage &canvas, QPoint a, QPoint b, QRgb colour) {
  OutlineCount c;
  const QVector<QPoint> pixels = OutlinePixels(a, b);
  QSet<QPair<int, int>> unique;
  for (const QPoint &p : pixels) {
    unique.insert({p.x(), p.y()});
  }
  c.outlineSize = unique.size();
  for (const auto &p : unique) {
    if (canvas.pixel(p.first, p.second) == colour) {
      ++c.onOutline;
    }
  }
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      if (canvas.pixel(x, y) == colour) {
        ++c.total;
      }
    }
  }
  return c;
}

QImage Canvas(Form1Harness &h) { return h.child("Picture1")->grab().toImage().convertToFormat(QImage::Format_RGB32); }

QImage Plain(QSize size, QColor colour) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

} // namespace

class CaptureTest : public QObject {
  Q_OBJECT

private slots:
  void captureShowsTheClipboardImagePixelForPixel();
  void captureWithoutAnImageClearsTheCanvas();
  void screenshotsWithAlphaZeroStayOpaque();
  void dragMarksTheFrame();
  void ratioBindsTheHeight();
  void ratioOfFourOrMoreFreezesTheEditor();
  void ratioBoxWithoutANumberChangesNothing();
  void rightButtonAndPlainMoves();
  void colourFollowsTheOptionAtEachDrawing();
  void trimCutsTheFrameOut();
  void trimHandlesTallAndBackwardFrames();
  void trimWithoutAPictureStillPlacesTheOutput();
  void trimStretchesToALoadedDragFrame();
};

void CaptureTest::captureShowsTheClipboardImagePixelForPixel() {
  Form1Harness h;
  h.start();
  const QImage screen = NumberedImage({700, 500});
  h.capture(screen);
  auto *canvas = static_cast<PictureBox *>(h.child("Picture1"));
  QCOMPARE(canvas->geometry(), QRect(0, kCanvasTop, 700, 500));
  const QImage client = h.clientImage();
  QCOMPARE(client.copy(0, kCanvasTop, 700, 500), screen);
  // Twice in a row with the same clipboard: the same canvas.
  h.form().Command3_Click();
  QCOMPARE(h.clientImage(), client);
  // A picture larger than the window is shown from its top-left corner.
  const QImage big = NumberedImage({2000, 1400});
  h.capture(big);
  QCOMPARE(canvas->size(), QSize(2000, 1400));
  const QImage shown = h.clientImage();
  QCOMPARE(shown.copy(0, kCanvasTop, 600, 400), big.copy(0, 0, 600, 400));
  QVERIFY(h.modals().texts.size() == 1); // only the start-up message
}

void CaptureTest::captureWithoutAnImageClearsTheCanvas() {
  Form1Harness h;
  h.start();
  h.capture(NumberedImage({300, 200}));
  h.drag({10, 10}, {{50, 50}});
  h.form().Command4_Click();
  QWidget *output = h.child("Picture2");
  QVERIFY(output->isVisible());
  const QImage trimmed = static_cast<PictureBox *>(output)->image();

  QApplication::clipboard()->setText(QStringLiteral("only text"));
  h.modals().clear();
  h.form().Command3_Click();
  auto *canvas = static_cast<PictureBox *>(h.child("Picture1"));
  QVERIFY(!canvas->hasPicture());
  QVERIFY(!output->isVisible());
  QVERIFY(h.modals().texts.isEmpty());
  // The trim result is only hidden, not deleted.
  QCOMPARE(static_cast<PictureBox *>(output)->image(), trimmed);
  // The canvas covers the client area below the strip and shows no picture.
  const QSize client = h.form().centralWidget()->size();
  QCOMPARE(canvas->geometry(), QRect(0, kCanvasTop, client.width(), client.height()));
  QVERIFY(canvas->image().pixel(150, 100) == canvas->backColor().rgb());

  QApplication::clipboard()->clear();
  h.form().Command3_Click();
  QVERIFY(!canvas->hasPicture());
  QVERIFY(h.modals().texts.isEmpty());
}

void CaptureTest::screenshotsWithAlphaZeroStayOpaque() {
  Form1Harness h;
  h.start();
  QImage transparent(64, 48, QImage::Format_ARGB32);
  transparent.fill(qRgba(200, 40, 90, 0));
  h.capture(transparent);
  const QImage client = h.clientImage();
  QCOMPARE(client.pixel(10, kCanvasTop + 10), qRgb(200, 40, 90));
  QVERIFY(!static_cast<PictureBox *>(h.child("Picture1"))->image().hasAlphaChannel());
}

void CaptureTest::dragMarksTheFrame() {
  Form1Harness h;
  h.start();
  h.capture(Plain({500, 400}, Qt::gray));
  QWidget *canvas = h.child("Picture1");
  h.drag({20, 20}, {{200, 300}, {210, 310}});
  h.press(canvas, {100, 50});
  QCOMPARE(h.text("Label6"), QStringLiteral("100"));
  QCOMPARE(h.text("Label7"), QStringLiteral("50"));
  QCOMPARE(h.text("Label8"), QStringLiteral("190")); // kept until the first move
  // The first move clears the old frame and draws one of width 0 at the
  // anchor (the frame trails the pointer by one event).
  h.move(canvas, {200, 120});
  QImage shown = Canvas(h);
  OutlineCount first = Count(shown, {100, 50}, {100, 50}, qRgb(0, 0, 0));
  QCOMPARE(first.total, first.onOutline);
  QVERIFY(first.onOutline <= 1);
  QCOMPARE(h.text("Label8"), QStringLiteral("100"));
  QCOMPARE(h.text("Label9"), QStringLiteral("70"));
  // The next move draws the dotted frame to the previous point.
  h.move(canvas, {300, 200});
  shown = Canvas(h);
  const OutlineCount dotted = Count(shown, {100, 50}, {200, 120}, qRgb(0, 0, 0));
  QCOMPARE(dotted.total, dotted.onOutline);
  QVERIFY(dotted.onOutline > dotted.outlineSize / 3 && dotted.onOutline < dotted.outlineSize * 2 / 3);
  // Release draws it solid to the last move's corner, whatever the release point.
  h.release(canvas, {320, 260});
  shown = Canvas(h);
  const OutlineCount solid = Count(shown, {100, 50}, {300, 200}, qRgb(0, 0, 0));
  QCOMPARE(solid.onOutline, solid.outlineSize);
  QCOMPARE(solid.total, solid.outlineSize);
  QCOMPARE(h.text("Label6"), QStringLiteral("100"));
  QCOMPARE(h.text("Label7"), QStringLiteral("50"));
  QCOMPARE(h.text("Label8"), QStringLiteral("200"));
  QCOMPARE(h.text("Label9"), QStringLiteral("150"));
  const FrameState &frame = h.form().state().frame;
  QCOMPARE(frame.trim.PicStartX, 100.0f);
  QCOMPARE(frame.trim.PicStartY, 50.0f);
  QCOMPARE(frame.trim.PicWidth, 200.0f);
  QCOMPARE(frame.trim.PicHeight, 150);
  QCOMPARE(frame.drag.NewPicStartX, 0.0f);
  QCOMPARE(frame.drag.NewPicStartY, 0.0f);
  QCOMPARE(frame.drag.NewPicWidth, 200.0f);
  QCOMPARE(frame.drag.NewPicHeight, 150);
  // The frame lives on the drawing layer only.
  QCOMPARE(static_cast<PictureBox *>(canvas)->image(), Plain({500, 400}, Qt::gray));
  // A press alone neither clears nor draws.
  h.press(canvas, {10, 10});
  QCOMPARE(Canvas(h), shown);
}

void CaptureTest::ratioBindsTheHeight() {
  Form1Harness h;
  h.start();
  h.capture(Plain({500, 400}, Qt::gray));
  auto *ratio = h.child<QLineEdit>("Text1");
  const FrameState &frame = h.form().state().frame;

  ratio->setText(QStringLiteral("0.75"));
  h.drag({100, 50}, {{300, 10}});
  QCOMPARE(frame.trim.PicWidth, 200.0f);
  QCOMPARE(frame.trim.PicHeight, 150);
  QCOMPARE(h.text("Label9"), QStringLiteral("150"));
  OutlineCount c = Count(Canvas(h), {100, 50}, {300, 200}, qRgb(0, 0, 0));
  QCOMPARE(c.onOutline, c.outlineSize);
  // Moving only up and down changes nothing.
  QWidget *canvas = h.child("Picture1");
  h.press(canvas, {100, 50});
  h.move(canvas, {300, 10});
  h.move(canvas, {300, 390});
  QCOMPARE(h.text("Label8"), QStringLiteral("200"));
  QCOMPARE(h.text("Label9"), QStringLiteral("150"));
  h.release(canvas, {300, 390});

  // To the left with 0.5: the frame extends up and left of the anchor.
  ratio->setText(QStringLiteral("0.5"));
  h.drag({300, 100}, {{200, 100}});
  QCOMPARE(frame.trim.PicWidth, -100.0f);
  QCOMPARE(frame.trim.PicHeight, -50);
  QCOMPARE(h.text("Label8"), QStringLiteral("-100"));
  c = Count(Canvas(h), {300, 100}, {200, 50}, qRgb(0, 0, 0));
  QCOMPARE(c.onOutline, c.outlineSize);
  QCOMPARE(c.total, c.outlineSize);

  // A negative ratio grows the frame upwards.
  ratio->setText(QStringLiteral("-1"));
  h.drag({100, 300}, {{150, 300}});
  QCOMPARE(frame.trim.PicHeight, -50);
  c = Count(Canvas(h), {100, 300}, {150, 250}, qRgb(0, 0, 0));
  QCOMPARE(c.onOutline, c.outlineSize);

  // Halves go to the even neighbour: 2.5 -> 2, 3.5 -> 4.
  ratio->setText(QStringLiteral("0.5"));
  h.drag({10, 10}, {{15, 10}});
  QCOMPARE(frame.trim.PicHeight, 2);
  h.drag({10, 10}, {{17, 10}});
  QCOMPARE(frame.trim.PicHeight, 4);
  c = Count(Canvas(h), {10, 10}, {17, 14}, qRgb(0, 0, 0));
  QCOMPARE(c.onOutline, c.outlineSize); // the solid frame matches the labels
  QCOMPARE(h.text("Label9"), QStringLiteral("4"));

  // 3.99 still works.
  ratio->setText(QStringLiteral("3.99"));
  h.drag({10, 10}, {{110, 10}});
  QCOMPARE(frame.trim.PicHeight, 399);
}

void CaptureTest::ratioOfFourOrMoreFreezesTheEditor() {
  Form1Harness h;
  h.start();
  h.capture(Plain({500, 400}, Qt::gray));
  h.drag({100, 50}, {{300, 200}});
  const QImage before = Canvas(h);
  const FrameState saved = h.form().state().frame;
  for (const char *ratio : {"4", "10"}) {
    h.child<QLineEdit>("Text1")->setText(QString::fromLatin1(ratio));
    h.drag({20, 20}, {{60, 80}, {90, 100}});
    QCOMPARE(h.form().state().frame.FrameRatio, QString::fromLatin1(ratio).toFloat());
    QCOMPARE(h.form().state().frame.trim.PicStartX, saved.trim.PicStartX);
    QCOMPARE(h.form().state().frame.trim.PicWidth, saved.trim.PicWidth);
    QCOMPARE(h.form().state().frame.drag.NewPicWidth, saved.drag.NewPicWidth);
    QCOMPARE(h.text("Label6"), QStringLiteral("100"));
    QCOMPARE(h.text("Label8"), QStringLiteral("200"));
    QCOMPARE(Canvas(h), before);
  }
}

void CaptureTest::ratioBoxWithoutANumberChangesNothing() {
  Form1Harness h;
  h.start();
  h.capture(Plain({500, 400}, Qt::gray));
  auto *ratio = h.child<QLineEdit>("Text1");
  ratio->setText(QStringLiteral("0.5"));
  h.drag({100, 50}, {{300, 200}});
  const QImage before = Canvas(h);
  h.modals().clear();
  for (const char *text : {"", "abc", "1e40"}) {
    ratio->setText(QString::fromLatin1(text));
    h.drag({20, 20}, {{60, 80}});
    QCOMPARE(h.form().state().frame.FrameRatio, 0.5f);
    QCOMPARE(h.form().state().frame.trim.PicWidth, 200.0f);
    QCOMPARE(Canvas(h), before);
    // The box shows that it holds no number; no message box on every move.
    QVERIFY(!ratio->toolTip().isEmpty());
    QVERIFY(ratio->styleSheet().contains(QStringLiteral("border")));
  }
  QVERIFY(h.modals().texts.isEmpty());
  ratio->setText(QStringLiteral("0"));
  h.drag({20, 20}, {{60, 80}});
  QVERIFY(ratio->toolTip().isEmpty());
  QCOMPARE(h.form().state().frame.trim.PicHeight, 60);

  // A ratio so large that the height leaves every integer: the frame's size is
  // taken, the height and the output placement stay as they were.
  ratio->setText(QStringLiteral("-3e38"));
  h.drag({20, 20}, {{120, 20}});
  QCOMPARE(h.form().state().frame.trim.PicWidth, 100.0f);
  QCOMPARE(h.form().state().frame.trim.PicHeight, 60);
  QCOMPARE(h.form().state().frame.drag.NewPicHeight, 60);
  QCOMPARE(h.form().state().frame.drag.NewPicWidth, 40.0f);
  // One that leaves only the 16-bit range: the height is shown, the output
  // placement stays.
  ratio->setText(QStringLiteral("-3.5"));
  h.drag({20, 20}, {{20000, 20}});
  QCOMPARE(h.form().state().frame.trim.PicHeight, -69930);
  QCOMPARE(h.text("Label9"), QStringLiteral("-69930"));
  QCOMPARE(h.form().state().frame.drag.NewPicHeight, 60);
  QCOMPARE(h.form().state().frame.drag.NewPicWidth, 40.0f);
}

void CaptureTest::rightButtonAndPlainMoves() {
  Form1Harness h;
  h.start();
  h.capture(Plain({500, 400}, Qt::gray));
  h.drag({100, 50}, {{300, 200}});
  const QImage before = Canvas(h);
  QWidget *canvas = h.child("Picture1");
  // A right press and drag: only the output's start goes back to 0.
  h.press(canvas, {50, 50}, Qt::RightButton);
  h.move(canvas, {80, 90}, Qt::RightButton);
  h.release(canvas, {80, 90}, Qt::RightButton);
  QCOMPARE(h.text("Label6"), QStringLiteral("100"));
  QCOMPARE(h.form().state().frame.trim.PicWidth, 200.0f);
  QCOMPARE(Canvas(h), before);
  // Moves without a button copy the frame's size into the output placement.
  h.move(canvas, {30, 30}, Qt::NoButton);
  QCOMPARE(h.form().state().frame.drag.NewPicWidth, 200.0f);
  QCOMPARE(h.form().state().frame.drag.NewPicHeight, 150);
  QCOMPARE(Canvas(h), before);
}

void CaptureTest::colourFollowsTheOptionAtEachDrawing() {
  Form1Harness h;
  h.start();
  h.capture(Plain({500, 400}, Qt::gray));
  QWidget *canvas = h.child("Picture1");
  h.press(canvas, {100, 50});
  h.move(canvas, {200, 150});
  h.child<QRadioButton>("Option2")->setChecked(true);
  h.move(canvas, {300, 200});
  QVERIFY(Count(Canvas(h), {100, 50}, {200, 150}, qRgb(255, 255, 255)).onOutline > 0);
  h.child<QRadioButton>("Option3")->setChecked(true);
  h.release(canvas, {300, 200});
  const OutlineCount red = Count(Canvas(h), {100, 50}, {300, 200}, qRgb(255, 0, 0));
  QCOMPARE(red.onOutline, red.outlineSize);
  QCOMPARE(Count(Canvas(h), {100, 50}, {300, 200}, qRgb(255, 255, 255)).total, 0);
}

void CaptureTest::trimCutsTheFrameOut() {
  Form1Harness h;
  h.start();
  const QImage screen = NumberedImage({800, 600});
  h.capture(screen);
  h.drag({100, 50}, {{300, 200}});
  h.form().Command4_Click();
  auto *output = static_cast<PictureBox *>(h.child("Picture2"));
  QVERIFY(output->isVisible());
  // 3000 x 2250 twips at left 1500, top 750 + 440 twips.
  QCOMPARE(output->geometry(), QRect(100, 50 + kCanvasTop, 200, 150));
  QCOMPARE(output->image(), screen.copy(100, 50, 200, 150));
  // On the screen it lies exactly over the frame's area, without frame lines.
  QCOMPARE(h.clientImage().copy(100, 50 + kCanvasTop, 200, 150), screen.copy(100, 50, 200, 150));
  // Twice the same.
  h.form().Command4_Click();
  QCOMPARE(output->image(), screen.copy(100, 50, 200, 150));
  // A press inside the output picture does not reach the editor.
  h.press(output, {10, 10});
  QCOMPARE(h.text("Label6"), QStringLiteral("100"));
}

void CaptureTest::trimHandlesTallAndBackwardFrames() {
  const QImage screen = NumberedImage({400, 2300});
  for (const int height : {2184, 2185}) {
    Form1Harness h({1280, 2400});
    h.start();
    h.capture(screen);
    h.drag({10, 5}, {{60, 5 + height}});
    QCOMPARE(h.form().state().frame.trim.PicHeight, height);
    h.form().Command4_Click();
    auto *output = static_cast<PictureBox *>(h.child("Picture2"));
    QCOMPARE(output->size(), QSize(50, height));
    QCOMPARE(output->image(), screen.copy(10, 5, 50, height));
  }
  // Dragged up and to the left: the covered area, not mirrored, over that area.
  Form1Harness h;
  h.start();
  const QImage small = NumberedImage({500, 400});
  h.capture(small);
  h.drag({300, 200}, {{100, 50}});
  QCOMPARE(h.form().state().frame.trim.PicWidth, -200.0f);
  h.form().Command4_Click();
  auto *output = static_cast<PictureBox *>(h.child("Picture2"));
  QCOMPARE(output->geometry(), QRect(100, 50 + kCanvasTop, 200, 150));
  QCOMPARE(output->image(), small.copy(100, 50, 200, 150));
}

void CaptureTest::trimWithoutAPictureStillPlacesTheOutput() {
  Form1Harness h;
  h.start();
  h.drag({40, 30}, {{140, 90}});
  h.form().Command4_Click();
  auto *output = static_cast<PictureBox *>(h.child("Picture2"));
  QVERIFY(output->isVisible());
  QCOMPARE(output->geometry(), QRect(40, 30 + kCanvasTop, 100, 60));
  // A frame reaching beyond the picture takes what there is.
  const QImage screen = NumberedImage({200, 100});
  h.capture(screen);
  h.drag({150, 50}, {{250, 150}});
  h.form().Command4_Click();
  QCOMPARE(output->image().copy(0, 0, 50, 50), screen.copy(150, 50, 50, 50));
}

void CaptureTest::trimStretchesToALoadedDragFrame() {
  Form1Harness h;
  h.start();
  const QImage screen = NumberedImage({400, 300});
  h.capture(screen);
  // A small trim first: the output picture keeps what a smaller paint leaves.
  h.drag({0, 0}, {{120, 100}});
  h.form().Command4_Click();
  QFile ini(h.settingsPath());
  QVERIFY(ini.open(QIODevice::WriteOnly));
  ini.write("[Data]\nPicStartX=30\nPicStartY=20\nPicWidth=50\nPicHeight=40\nNewPicStartX=10\nNewPicStartY=5\n"
            "NewPicWidth=100\nNewPicHeight=80\nPicRatio=0\n");
  ini.close();
  h.form().Command1_Click();
  h.form().Command4_Click();
  auto *output = static_cast<PictureBox *>(h.child("Picture2"));
  QCOMPARE(output->geometry(), QRect(30, 20 + kCanvasTop, 100, 80));
  const QImage out = output->image();
  // Each source pixel becomes two by two, from (10, 5) on.
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 50; ++x) {
      const QRgb source = screen.pixel(30 + x, 20 + y);
      if (2 * y + 5 < 80 && 2 * x + 10 < 100) {
        QCOMPARE(out.pixel(10 + 2 * x, 5 + 2 * y), source);
      }
      if (2 * y + 6 < 80 && 2 * x + 11 < 100) {
        QCOMPARE(out.pixel(11 + 2 * x, 6 + 2 * y), source);
      }
    }
  }
  // Above and left of the painted rectangle the earlier trim is still there.
  QCOMPARE(out.pixel(3, 2), screen.pixel(3, 2));
}

ORVELLE_QTEST_MAIN(CaptureTest)
#include "capture_test.moc"
