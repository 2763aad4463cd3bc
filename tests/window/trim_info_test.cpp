// Saving and loading the trimming information through the main window, and
// the version window.

#include "tests/support/form1_harness.h"
#include "tests/support/qt_test_main.h"
#include "tests/support/test_files.h"

#include "capture/picture_box.h"
#include "sysinfo/form2.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

using namespace orvelle;
using namespace orvelle::testing;

namespace {

QImage Canvas(Form1Harness &h) { return h.child("Picture1")->grab().toImage().convertToFormat(QImage::Format_RGB32); }

// Whether the whole outline between two corners has the colour.
bool OutlineIs(const QImage &canvas, QPoint a, QPoint b, QRgb colour) {
  const QRect r = QRect(a, b).normalized();
  for (int x = r.left(); x <= r.right(); ++x) {
    if (canvas.pixel(x, r.top()) != colour || canvas.pixel(x, r.bottom()) != colour) {
      return false;
    }
  }
  for (int y = r.top(); y <= r.bottom(); ++y) {
    if (canvas.pixel(r.left(), y) != colour || canvas.pixel(r.right(), y) != colour) {
      return false;
    }
  }
  return true;
}

QStringList Readouts(Form1Harness &h) {
  return {h.text("Label6"), h.text("Label7"), h.text("Label8"), h.text("Label9"), h.child<QLineEdit>("Text1")->text()};
}

QImage Gray(QSize size) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::gray);
  return image;
}

} // namespace

class TrimInfoTest : public QObject {
  Q_OBJECT

private slots:
  void saveDragLoadBringsTheFrameBack();
  void saveBeforeAnyDragWritesZeros();
  void typedRatioIsNotSavedUntilUsed();
  void loadedFramesAreDrawnInTheOptionsColour();
  void loadedValuesAreShownAsNumbers();
  void outOfRangeSaveWritesNothing();
  void badFileValuesChangeNothing();
  void versionWindowIsOneModelessWindow();
};

void TrimInfoTest::saveDragLoadBringsTheFrameBack() {
  Form1Harness h;
  h.start();
  h.capture(Gray({600, 500}));
  h.child<QLineEdit>("Text1")->setText(QStringLiteral("0.75"));
  h.drag({100, 50}, {{300, 200}});
  WriteFile(h.settingsPath(), "[File]\nF_Path=/pictures\n; mine\n");
  h.child<QAction>("M_E_Save")->trigger();
  QVERIFY(h.modals().texts.size() == 1); // nothing shown after the start-up message
  QCOMPARE(ReadFile(h.settingsPath()),
           QByteArray("[File]\nF_Path=/pictures\n; mine\n[Data]\nPicStartX=100\nPicStartY=50\n"
                      "PicWidth=200\nPicHeight=150\nNewPicStartX=0\nNewPicStartY=0\n"
                      "NewPicWidth=200\nNewPicHeight=150\nPicRatio=0.75\n"));
  const QStringList saved = Readouts(h);

  h.child<QLineEdit>("Text1")->setText(QStringLiteral("0"));
  h.drag({400, 300}, {{350, 250}}); // up and to the left
  QVERIFY(Readouts(h) != saved);
  h.child<QAction>("M_E_Load")->trigger();
  QCOMPARE(Readouts(h), saved);
  const FrameState &frame = h.form().state().frame;
  QCOMPARE(frame.trim.PicWidth, 200.0f);
  QCOMPARE(frame.FrameRatio, 0.75f);
  QCOMPARE(frame.drag.NewPicHeight, 150);
  const QImage canvas = Canvas(h);
  QVERIFY(OutlineIs(canvas, {100, 50}, {300, 200}, qRgb(0, 0, 0)));
  QVERIFY(OutlineIs(canvas, {400, 300}, {350, 250}, qRgb(0, 0, 0))); // the dragged one stays

  // The loaded frame is what the trim cuts out; a move replaces only the size.
  h.form().Command4_Click();
  QCOMPARE(h.child("Picture2")->geometry(), QRect(100, 50 + 29, 200, 150));
  WriteFile(h.settingsPath(), "[Data]\nPicStartX=10\nPicStartY=10\nPicWidth=20\nPicHeight=20\nNewPicStartX=5\n"
                              "NewPicStartY=5\nNewPicWidth=40\nNewPicHeight=40\nPicRatio=0\n");
  h.form().Command1_Click();
  h.move(h.child("Picture1"), {500, 400}, Qt::NoButton);
  QCOMPARE(frame.drag.NewPicWidth, 20.0f);
  QCOMPARE(frame.drag.NewPicHeight, 20);
  QCOMPARE(frame.drag.NewPicStartX, 5.0f);
}

void TrimInfoTest::saveBeforeAnyDragWritesZeros() {
  Form1Harness h;
  h.start();
  h.form().Command2_Click();
  QCOMPARE(ReadFile(h.settingsPath()), QByteArray("[Data]\nPicStartX=0\nPicStartY=0\nPicWidth=0\nPicHeight=0\n"
                                                  "NewPicStartX=0\nNewPicStartY=0\nNewPicWidth=0\nNewPicHeight=0\n"
                                                  "PicRatio=0\n"));
  // Negative frames go and come back.
  h.drag({300, 200}, {{200, 150}});
  h.form().Command2_Click();
  QVERIFY(ReadFile(h.settingsPath()).contains("PicWidth=-100\nPicHeight=-50\n"));
  h.drag({10, 10}, {{20, 20}});
  h.form().Command1_Click();
  QCOMPARE(Readouts(h), (QStringList{"300", "200", "-100", "-50", "0"}));
  QVERIFY(OutlineIs(Canvas(h), {300, 200}, {200, 150}, qRgb(0, 0, 0)));
}

void TrimInfoTest::typedRatioIsNotSavedUntilUsed() {
  Form1Harness h;
  h.start();
  h.child<QLineEdit>("Text1")->setText(QStringLiteral("0.5"));
  h.drag({10, 10}, {{30, 30}});
  h.child<QLineEdit>("Text1")->setText(QStringLiteral("1"));
  h.form().Command2_Click();
  QVERIFY(ReadFile(h.settingsPath()).contains("PicRatio=0.5\n"));
  h.drag({10, 10}, {{30, 30}});
  h.form().Command2_Click();
  QVERIFY(ReadFile(h.settingsPath()).contains("PicRatio=1\n"));
  h.form().Command1_Click();
  QCOMPARE(h.child<QLineEdit>("Text1")->text(), QStringLiteral("1"));
}

void TrimInfoTest::loadedFramesAreDrawnInTheOptionsColour() {
  Form1Harness h;
  h.start();
  WriteFile(h.settingsPath(), "[Data]\nPicStartX=20\nPicStartY=20\nPicWidth=100\nPicHeight=50\nNewPicStartX=0\n"
                              "NewPicStartY=0\nNewPicWidth=100\nNewPicHeight=50\nPicRatio=0.5\n");
  // Without a capture: drawn on the empty canvas, labels updated all the same.
  h.form().Command1_Click();
  QVERIFY(OutlineIs(Canvas(h), {20, 20}, {120, 70}, qRgb(0, 0, 0)));
  QCOMPARE(Readouts(h), (QStringList{"20", "20", "100", "50", "0.5"}));
  h.child<QRadioButton>("Option2")->setChecked(true);
  h.form().Command1_Click();
  QVERIFY(OutlineIs(Canvas(h), {20, 20}, {120, 70}, qRgb(255, 255, 255)));
  h.child<QRadioButton>("Option3")->setChecked(true);
  h.form().Command1_Click();
  QVERIFY(OutlineIs(Canvas(h), {20, 20}, {120, 70}, qRgb(255, 0, 0)));
  // In the canvas's current style: dotted while a drag is under way.
  h.press(h.child("Picture1"), {300, 300});
  h.move(h.child("Picture1"), {310, 310});
  h.form().Command1_Click();
  QVERIFY(!OutlineIs(Canvas(h), {20, 20}, {120, 70}, qRgb(255, 0, 0)));
}

void TrimInfoTest::loadedValuesAreShownAsNumbers() {
  Form1Harness h;
  h.start();
  WriteFile(h.settingsPath(), "[data]\npicstartx = 12.5 \nPicStartY=13.5\nPicWidth=  0040\nPicHeight=\"30\"\n"
                              "NewPicStartX=0\nNewPicStartY=0\nNewPicWidth=40\nNewPicHeight=30\nPicRatio= 0.750 \n");
  h.form().Command1_Click();
  QCOMPARE(h.modals().texts.size(), 1);
  QCOMPARE(Readouts(h), (QStringList{"12", "14", "40", "30", "0.75"}));
}

void TrimInfoTest::outOfRangeSaveWritesNothing() {
  Form1Harness h({1280, 1024});
  h.start();
  h.child<QLineEdit>("Text1")->setText(QStringLiteral("3.9"));
  h.drag({0, 0}, {{9000, 0}}); // height 35100 does not fit the file
  QCOMPARE(h.text("Label9"), QStringLiteral("35100"));
  WriteFile(h.settingsPath(), "[File]\nF_Path=/pictures\n");
  h.modals().clear();
  h.form().Command2_Click();
  QCOMPARE(h.modals().texts.size(), 1);
  QVERIFY(h.modals().texts[0].contains(QStringLiteral("PicHeight")));
  QCOMPARE(h.modals().captions, QStringList{QStringLiteral("Pemrose")});
  QCOMPARE(ReadFile(h.settingsPath()), QByteArray("[File]\nF_Path=/pictures\n"));
}

void TrimInfoTest::badFileValuesChangeNothing() {
  Form1Harness h;
  h.start();
  h.capture(Gray({400, 300}));
  h.child<QLineEdit>("Text1")->setText(QStringLiteral("0.5"));
  h.drag({50, 50}, {{150, 60}});
  const QStringList readouts = Readouts(h);
  const QImage canvas = Canvas(h);
  const FrameState before = h.form().state().frame;
  const QByteArray good = "[Data]\nPicStartX=1\nPicStartY=2\nPicWidth=3\nPicHeight=4\nNewPicStartX=5\nNewPicStartY=6\n"
                          "NewPicWidth=7\nNewPicHeight=8\nPicRatio=0.25\n";
  const std::pair<QByteArray, QByteArray> breaks[] = {
      {"PicStartX=1\n", ""},                        // missing
      {"PicHeight=4\n", "PicHeight=\n"},            // empty
      {"NewPicWidth=7\n", "NewPicWidth=wide\n"},    // no number
      {"NewPicHeight=8\n", "NewPicHeight=40000\n"}, // out of range
      {"PicRatio=0.25\n", "PicRatio=x\n"},
  };
  for (const auto &[from, to] : breaks) {
    QByteArray file = good;
    file.replace(from, to);
    WriteFile(h.settingsPath(), file);
    h.modals().clear();
    h.form().Command1_Click();
    QCOMPARE(h.modals().texts.size(), 1);
    const QByteArray key = from.left(from.indexOf('='));
    QVERIFY2(h.modals().texts[0].contains(QString::fromLatin1(key)), key.constData());
    QCOMPARE(Readouts(h), readouts);
    QCOMPARE(Canvas(h), canvas);
    const FrameState &now = h.form().state().frame;
    QCOMPARE(now.trim.PicStartX, before.trim.PicStartX);
    QCOMPARE(now.trim.PicHeight, before.trim.PicHeight);
    QCOMPARE(now.drag.NewPicWidth, before.drag.NewPicWidth);
    QCOMPARE(now.FrameRatio, before.FrameRatio);
  }
}

void TrimInfoTest::versionWindowIsOneModelessWindow() {
  Form1Harness h;
  h.start();
  const auto versionWindows = [] {
    QList<QWidget *> found;
    for (QWidget *w : QApplication::topLevelWidgets()) {
      if (w->objectName() == QStringLiteral("Form2") && w->isVisible()) {
        found << w;
      }
    }
    return found;
  };
  h.child<QAction>("M_H_Ver")->trigger();
  h.child<QAction>("M_H_Ver")->trigger();
  QCOMPARE(versionWindows().size(), 1);
  QWidget *version = versionWindows().first();
  QCOMPARE(version->windowTitle(), QStringLiteral("Orvelle"));
  QCOMPARE(version->findChild<QLabel *>(QStringLiteral("Label1"))->text(),
           QStringLiteral("Orvelle\u3000Version 1.2.0"));
  QCOMPARE(version->findChild<QLabel *>(QStringLiteral("Picture1"))->pixmap().size(), QSize(300, 40));
  QVERIFY(!version->findChild<QLabel *>(QStringLiteral("Label2"))->text().isEmpty());
  QVERIFY(!version->findChild<QLabel *>(QStringLiteral("Label3"))->text().isEmpty());
  QCOMPARE(version->findChild<QWidget *>(QStringLiteral("Frame1"))->geometry(), QRect(0, 0, 313, 117));
  QVERIFY(!version->isModal());
  // The main window keeps working meanwhile.
  h.capture(Gray({100, 80}));
  h.drag({10, 10}, {{30, 40}});
  QCOMPARE(h.text("Label8"), QStringLiteral("20"));
  // Closing destroys it; the next use makes it afresh.
  QPointer<QWidget> closed = version;
  version->close();
  QTRY_VERIFY(closed.isNull());
  h.child<QAction>("M_H_Ver")->trigger();
  QCOMPARE(versionWindows().size(), 1);
  QCOMPARE(versionWindows().first()->findChild<QLabel *>(QStringLiteral("Label1"))->text(), VersionText());
}

ORVELLE_QTEST_MAIN(TrimInfoTest)
#include "trim_info_test.moc"
