// What the main window writes and reads: the trimming information in
// trim.ini, the JPEG files with their quality, the save folder, and the
// trims made over and over.

#include "tests/support/form1_harness.h"
#include "tests/support/qt_test_main.h"
#include "tests/support/test_files.h"

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <clocale>
#include <sys/stat.h>

using namespace orvelle;
using namespace orvelle::testing;

namespace {

// The frame's read-outs and the ratio box.
QString Readouts(Form1Harness &h) { return h.readouts() + QLatin1Char(',') + h.text("Text1"); }

// The first value of the JPEG's first quantization table: 255 at quality 0,
// 16 at 50 and 1 at 100.
int FirstQuantizer(const QString &jpeg) {
  const QByteArray bytes = ReadFile(jpeg);
  const qsizetype dqt = bytes.indexOf("\xff\xdb");
  return dqt < 0 ? -1 : static_cast<unsigned char>(bytes[dqt + 5]);
}

const QByteArray kFrame = "[Data]\nPicStartX=1\nPicStartY=2\nPicWidth=3\nPicHeight=4\nNewPicStartX=0\n"
                          "NewPicStartY=0\nNewPicWidth=3\nNewPicHeight=4\nPicRatio=0.25\n";

// A window whose trim.ini names the folder, with a capture trimmed from
// (40, 30), 200 x 150, and the name "shot".
struct Prepared {
  explicit Prepared(const QString &folder, const QString &exe = QString()) : h({1280, 1024}, QString(), exe) {
    if (!folder.isNull()) {
      WriteFile(h.settingsPath(), QStringLiteral("[File]\nF_Path=%1\n").arg(folder).toUtf8());
    }
    h.start();
    h.capture(screen);
    h.drag({40, 30}, {{240, 180}});
    h.form().Command4_Click();
    h.type("Text2", QStringLiteral("shot"));
    h.modals().clear();
  }
  QImage screen = NumberedImage({480, 360});
  const QRect frame{40, 30, 200, 150};
  Form1Harness h;
};

} // namespace

class FilesTest : public QObject {
  Q_OBJECT

private slots:
  void trimInfoGoesAndComesBack();
  void picturesAreSavedOrWhyNotSaidAlsoOverAndOver();
  void pngKeepsEveryPixelOnEveryRoad();
  void theScreenServedFromFilesIsGrabbedAndTrimmedAtIntervals();
};

void FilesTest::trimInfoGoesAndComesBack() {
  Form1Harness h;
  h.start();
  h.capture(NumberedImage({600, 500}));
  h.type("Text1", QStringLiteral("0.75"));
  h.drag({100, 50}, {{300, 200}});
  h.type("Text1", QStringLiteral("1")); // typed, not yet used: not saved
  WriteFile(h.settingsPath(), "[File]\nF_Path=/pictures\n; mine\n");
  h.child<QAction>("M_E_Save")->trigger();
  QCOMPARE(ReadFile(h.settingsPath()),
           QByteArray("[File]\nF_Path=/pictures\n; mine\n[Data]\nPicStartX=100\nPicStartY=50\nPicWidth=200\n"
                      "PicHeight=150\nNewPicStartX=0\nNewPicStartY=0\nNewPicWidth=200\nNewPicHeight=150\n"
                      "PicRatio=0.75\n"));
  h.type("Text1", QStringLiteral("0"));
  h.drag({400, 300}, {{350, 250}});
  h.child("Option3")->setProperty("checked", true);
  h.child<QAction>("M_E_Load")->trigger();
  QCOMPARE(Readouts(h), QStringLiteral("100,50,200,150,0.75"));
  QVERIFY(OutlineIs(h.canvasImage(), {100, 50}, {300, 200}, qRgb(255, 0, 0)));
  QVERIFY(OutlineIs(h.canvasImage(), {400, 300}, {350, 250}, qRgb(0, 0, 0))); // the dragged one stays
  // A missing, empty, unreadable or out-of-range value is named and changes nothing.
  const QImage canvas = h.canvasImage();
  for (const auto &[from, to] : {std::pair{"PicStartX=1\n", ""},
                                 {"PicHeight=4", "PicHeight="},
                                 {"NewPicWidth=3", "NewPicWidth=wide"},
                                 {"NewPicHeight=4", "NewPicHeight=40000"},
                                 {"PicRatio=0.25", "PicRatio=x"}}) {
    WriteFile(h.settingsPath(), QByteArray(kFrame).replace(from, to));
    h.modals().clear();
    h.form().Command1_Click();
    QVERIFY(h.modals().texts.value(0).contains(QString::fromLatin1(from).section('=', 0, 0)));
    QCOMPARE(Readouts(h), QStringLiteral("100,50,200,150,0.75"));
    QCOMPARE(h.canvasImage(), canvas);
  }
  WriteFile(h.settingsPath(), QByteArray(kFrame).replace("0.25", "0,25")); // from a comma locale, read in any
  h.form().Command1_Click();
  QCOMPARE(Readouts(h), QStringLiteral("1,2,3,4,0.25"));
  // A height that does not fit the file is named, and nothing is written.
  h.type("Text1", QStringLiteral("3.9"));
  h.drag({0, 0}, {{9000, 0}});
  h.modals().clear();
  h.form().Command2_Click();
  QVERIFY(h.modals().texts.value(0).contains(QStringLiteral("PicHeight")));
  QCOMPARE(ReadFile(h.settingsPath()), QByteArray(kFrame).replace("0.25", "0,25"));

  // Under a comma-decimal locale the ratio goes and comes back in its form.
  struct Locale { // the German number form for the rest of this test only
    std::string before = std::setlocale(LC_NUMERIC, nullptr);
    const bool set = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    ~Locale() { std::setlocale(LC_NUMERIC, before.c_str()); }
  } locale;
  QVERIFY2(locale.set, "the de_DE.UTF-8 locale is not installed");
  h.modals().clear();
  h.type("Text1", QStringLiteral("0,75"));
  h.drag({100, 50}, {{300, 10}});
  h.form().Command2_Click();
  QVERIFY(ReadFile(h.settingsPath()).contains("PicRatio=0,75\n"));
  h.type("Text1", QStringLiteral("0"));
  h.form().Command1_Click();
  QCOMPARE(Readouts(h), QStringLiteral("100,50,200,150,0,75"));
  WriteFile(h.settingsPath(), QByteArray(kFrame).replace("0.25", "1.5")); // written with a period
  h.form().Command1_Click();
  QCOMPARE(Readouts(h), QStringLiteral("1,2,3,4,1,5"));
  h.drag({100, 100}, {{110, 100}}); // the shown "1,5" is a number to the editor
  QCOMPARE(h.text("Label9"), QStringLiteral("15"));
  QCOMPARE(h.modals().texts, QStringList());
}

void FilesTest::picturesAreSavedOrWhyNotSaidAlsoOverAndOver() {
  QTemporaryDir out;
  {
    Prepared p(out.path() + QStringLiteral("/")); // a folder that ends in its separator
    for (const auto &[quality, quantizer] : {std::pair{0, 255}, std::pair{50, 16}, std::pair{100, 1}}) {
      p.h.child<QSlider>("Slider1")->setValue(quality);
      p.h.form().Command5_Click();
      p.h.form().Command6_Click();
      QCOMPARE(FirstQuantizer(out.filePath("shot.jpg")), quantizer);
      QCOMPARE(FirstQuantizer(out.filePath("shot-org.jpg")), quantizer);
    }
    QCOMPARE(p.h.modals().texts, QStringList());
    // The bitmaps in the program folder hold the pictures exactly, without frame lines.
    QCOMPARE(QImage(p.h.programFolder() + QStringLiteral("/default.bmp")).convertToFormat(QImage::Format_RGB32),
             p.screen.copy(p.frame));
    QCOMPARE(QImage(p.h.programFolder() + QStringLiteral("/default-org.bmp")).convertToFormat(QImage::Format_RGB32),
             p.screen);
    // They hold screenshots: the user's alone, also one that others could read before.
    const auto mode = [&p](const char *name) {
      struct stat st {};
      return ::stat(QFile::encodeName(p.h.programFolder() + '/' + name).constData(), &st) == 0 ? st.st_mode & 0777 : 0;
    };
    ::chmod(QFile::encodeName(p.h.programFolder() + "/default.bmp").constData(), 0644);
    p.h.form().Command5_Click();
    QVERIFY(mode("default.bmp") == 0600 && mode("default-org.bmp") == 0600);
    // A JPEG the user marked read-only is never replaced.
    QFile::setPermissions(out.filePath("shot.jpg"), QFile::ReadOwner);
    const QByteArray kept = ReadFile(out.filePath("shot.jpg"));
    p.h.child<QSlider>("Slider1")->setValue(10);
    p.h.form().Command5_Click();
    QCOMPARE(p.h.modals().texts, QStringList{QStringLiteral("「shot.jpg」は読み取り専用のため上書きしません")});
    QCOMPARE(ReadFile(out.filePath("shot.jpg")), kept);
    QFile::setPermissions(out.filePath("shot.jpg"), QFile::ReadOwner | QFile::WriteOwner);
    p.h.modals().clear();
    // The folder chosen in the browser is shown and stored; a cancel keeps it everywhere.
    QTemporaryDir other;
    p.h.modals().folderAnswer = other.path();
    p.h.child<QAction>("M_S_SFolder")->trigger();
    QCOMPARE(p.h.modals().dialogTitles, QStringList{QStringLiteral("フォルダの選択")});
    QVERIFY(p.h.modals().dialogButtons.contains(QStringLiteral("キャンセル"))); // Qt's words in Japanese too
    const QByteArray settings = ReadFile(p.h.settingsPath());
    QVERIFY(settings.contains("F_Path=" + QFile::encodeName(other.path()) + "\n"));
    p.h.modals().folderAnswer.clear();
    p.h.child<QAction>("M_S_SFolder")->trigger();
    QCOMPARE(p.h.modals().texts, QStringList{QStringLiteral("キャンセルを選択")});
    QCOMPARE(p.h.text("Panel1"), other.path());
    QCOMPARE(ReadFile(p.h.settingsPath()), settings);
    p.h.form().Command5_Click();
    QVERIFY(QFile::exists(other.filePath("shot.jpg")));
    QVERIFY(QFile::remove(out.filePath("shot.jpg")) && QFile::remove(out.filePath("shot-org.jpg")));
  }

  QTemporaryDir locked;
  QFile::setPermissions(locked.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  QTemporaryDir noLibrary;
  // Folder, name, program folder and what each message must name; nothing may be written.
  const std::tuple<QString, QString, QString, QString> cases[] = {
      {QString(), QStringLiteral("shot"), QString(), QStringLiteral("「ERROR」")}, // no F_Path at all
      {locked.path(), QStringLiteral("shot"), QString(), locked.path()},
      {out.path(), QStringLiteral(""), QString(), QStringLiteral("ファイル名を指定ください")},
      {QStringLiteral(""), QStringLiteral("shot"), QString(), QStringLiteral("ファイルの保存先を指定ください")},
      {out.path(), QStringLiteral("../escape"), QString(), QStringLiteral("../escape")},
      {out.path(), QStringLiteral("shot"), noLibrary.path(), QStringLiteral("libSaveJPG.so")}};
  for (const auto &[folder, name, exe, named] : cases) {
    Prepared failing(folder, exe);
    failing.h.type("Text2", name);
    failing.h.form().Command5_Click();
    QCOMPARE(failing.h.modals().texts.size(), 1);
    QVERIFY2(failing.h.modals().texts[0].contains(named), qPrintable(failing.h.modals().texts[0]));
    QCOMPARE(failing.h.modals().captions, QStringList{QStringLiteral("Pemrose")});
  }
  QFile::setPermissions(locked.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  QVERIFY(QDir(locked.path()).isEmpty() && QDir(out.path()).isEmpty());

  // Trimmed over and over: continuously from the clipboard, and in batches.
  Prepared p(out.path());
  p.h.child<QSlider>("Slider1")->setValue(100);
  auto *continuous = p.h.child<QAction>("M_R_Continuous");
  p.h.type("Text2", QString());
  continuous->trigger(); // no name: it stays off
  QVERIFY(!continuous->isChecked());
  QCOMPARE(p.h.modals().texts, QStringList{QStringLiteral("ファイル名を指定ください")});
  p.h.type("Text2", QStringLiteral("shot"));
  WriteFile(out.filePath("shot-002.jpg"), "an earlier picture");
  continuous->trigger();
  // Three pictures copied in a row, text between them: three numbered files.
  const QList<QImage> shots = {p.screen, p.screen.mirrored(true, false), p.screen.mirrored(false, true)};
  for (const QImage &shot : shots) {
    QApplication::clipboard()->setImage(shot);
    QApplication::clipboard()->setText(QStringLiteral("not a picture"));
  }
  QApplication::clipboard()->setImage(shots[2]); // offered again, as clipboard managers do: passed over
  QCOMPARE(p.h.text("Panel2"), QStringLiteral("連続トリム中：3 枚"));
  PutFileOnClipboard("image/jpeg", JpegDeclaring({20000, 20000})); // unreadable: passed over and counted
  QCOMPARE(p.h.text("Panel2"), QStringLiteral("連続トリム中：3 枚（読み込めない画像 1 枚）"));
  auto *marked = new QMimeData; // a picture with the program's mark, as a clipboard manager keeps it: its own copy
  marked->setData("image/png", [&] {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    p.screen.mirrored(true, true).save(&buffer, "PNG");
    return png;
  }());
  marked->setData("application/x-orvelle-copy", "1");
  QApplication::clipboard()->setMimeData(marked);
  QCOMPARE(p.h.text("Panel2"), QStringLiteral("連続トリム中：3 枚（読み込めない画像 1 枚）"));
  QApplication::clipboard()->setImage(p.screen.copy(0, 0, 30, 20)); // the frame lies off it: counted so too
  QCOMPARE(p.h.text("Panel2"), QStringLiteral("連続トリム中：3 枚（読み込めない画像 2 枚）"));
  for (int i = 0; i < 3; ++i) {
    const QImage saved(out.filePath(QStringLiteral("shot-00%1.jpg").arg(i + 3)));
    QVERIFY(MeanDifference(saved, shots[i].copy(p.frame)) < 3);
    QVERIFY(MeanDifference(saved, shots[(i + 1) % 3].copy(p.frame)) > 20);
  }
  p.h.modals().clear();
  p.h.child<QAction>("M_R_Interval")->trigger(); // not beside continuous trimming
  QCOMPARE(p.h.modals().texts, QStringList{QStringLiteral("連続トリム中は定期トリムを開始できません。")});
  continuous->trigger();
  QCOMPARE(p.h.text("Panel2"), QStringLiteral("連続トリム停止：3 枚"));
  QApplication::clipboard()->setImage(p.screen);
  QCOMPARE(QDir(out.path()).entryList(QDir::Files).size(), 4);

  // The batch: a picture, a broken file, one whose JPEG would replace it, and
  // two hundred missing ones: every failure listed, in a box that fits the screen.
  p.h.child<QAction>("M_R_Batch")->trigger();
  QCOMPARE(p.h.modals().dialogTitles, QStringList{QStringLiteral("一括トリムする画像の選択")});
  QTemporaryDir in;
  QStringList files = {in.filePath("a.png"), in.filePath("b.png"), out.filePath("shot-003.jpg")};
  QVERIFY(shots[1].save(files[0]) && WriteFile(files[1], "not a picture"));
  const QByteArray kept = ReadFile(files[2]);
  for (int i = 0; i < 200; ++i) {
    files << in.filePath(QStringLiteral("missing-%1.png").arg(i));
  }
  p.h.modals().clear();
  p.h.form().BatchTrimFiles(files);
  QTRY_VERIFY(!p.h.form().BatchRunning());
  const QString report = p.h.modals().texts.join('\n');
  QVERIFY(!report.contains("a.png") && report.contains("b.png") && report.contains("shot-003.jpg"));
  QVERIFY(report.contains("missing-199.png") && p.h.modals().fitsScreen);
  // The outcome in the status bar for 5 seconds, then what it said before.
  QCOMPARE(p.h.text("Panel2"), QStringLiteral("一括トリム：1 枚保存（失敗 202 枚）"));
  QTRY_COMPARE_WITH_TIMEOUT(p.h.text("Panel2"), QStringLiteral("連続トリム停止：3 枚"), 7000);
  QVERIFY(MeanDifference(QImage(out.filePath("a.jpg")), shots[1].copy(p.frame)) < 3);
  QCOMPARE(ReadFile(files[2]), kept);
  // Once more, over an a.jpg of the user's: asked once; いいえ keeps and lists it, はい replaces it.
  WriteFile(out.filePath("a.jpg"), "mine");
  p.h.modals().clear();
  p.h.form().BatchTrimFiles({files[0]});
  QTRY_VERIFY(!p.h.form().BatchRunning());
  QVERIFY(p.h.modals().texts.value(0).contains("同じ名前の画像が 1 枚") &&
          p.h.modals().texts.value(1).contains("a.png"));
  QCOMPARE(ReadFile(out.filePath("a.jpg")), "mine");
  p.h.modals().answerYes = true;
  p.h.form().BatchTrimFiles({files[0]});
  QTRY_VERIFY(!p.h.form().BatchRunning());
  QVERIFY(MeanDifference(QImage(out.filePath("a.jpg")), shots[1].copy(p.frame)) < 3);
}

void FilesTest::pngKeepsEveryPixelOnEveryRoad() {
  QTemporaryDir out;
  Prepared p(out.path());
  QCOMPARE(p.h.text("Label11").right(4), QStringLiteral(".jpg")); // JPEG unless chosen
  const QByteArray before = ReadFile(p.h.settingsPath());
  QVERIFY(!before.contains("Format"));
  p.h.child<QAction>("M_S_Png")->trigger();
  QVERIFY(p.h.text("Label11").endsWith(QStringLiteral(".png")) && !p.h.child("Slider1")->isEnabled());
  QVERIFY(ReadFile(p.h.settingsPath()).contains("Format=png"));
  p.h.form().Command5_Click();
  p.h.form().Command6_Click();
  QCOMPARE(QImage(out.filePath("shot.png")).convertToFormat(QImage::Format_RGB32), p.screen.copy(p.frame));
  QCOMPARE(QImage(out.filePath("shot-org.png")).convertToFormat(QImage::Format_RGB32), p.screen);
  QVERIFY(!QFile::exists(out.filePath("shot.jpg")) &&
          QImage(out.filePath("shot.png")).format() == QImage::Format_RGB32);
  // Continuous trimming numbers across both formats; each file exact.
  WriteFile(out.filePath("shot-004.jpg"), "a JPEG of before");
  p.h.child<QAction>("M_R_Continuous")->trigger();
  const QImage turned = p.screen.mirrored(true, false);
  QApplication::clipboard()->setImage(turned);
  p.h.child<QAction>("M_R_Continuous")->trigger();
  QCOMPARE(QImage(out.filePath("shot-005.png")).convertToFormat(QImage::Format_RGB32), turned.copy(p.frame));
  // The batch, as <name>.png.
  QTemporaryDir in;
  QVERIFY(turned.save(in.filePath("b.bmp")));
  p.h.form().BatchTrimFiles({in.filePath("b.bmp")});
  QTRY_VERIFY(!p.h.form().BatchRunning());
  QCOMPARE(QImage(out.filePath("b.png")).convertToFormat(QImage::Format_RGB32), turned.copy(p.frame));
  QCOMPARE(p.h.modals().texts, QStringList());
  // The choice survives a restart; turned off, JPEG again.
  Form1Harness again({1280, 1024}, p.h.programFolder());
  again.start();
  QVERIFY(again.child<QAction>("M_S_Png")->isChecked() && again.text("Label11").endsWith(QStringLiteral(".png")));
  again.child<QAction>("M_S_Png")->trigger();
  QVERIFY(ReadFile(p.h.settingsPath()).contains("Format=jpeg") && again.child("Slider1")->isEnabled());
}

ORVELLE_QTEST_MAIN(FilesTest)
// The screen served from a folder of pictures: Ctrl+G takes the first one into
// the canvas; the interval saves each changed one, in the window's format.
void FilesTest::theScreenServedFromFilesIsGrabbedAndTrimmedAtIntervals() {
  QTemporaryDir out, screens;
  const QImage first = NumberedImage({480, 360}), second = first.mirrored(true, false);
  QVERIFY(first.save(screens.filePath("1.png")) && second.save(screens.filePath("2.png")));
  qputenv("ORVELLE_SCREEN_SOURCE", ("file:" + screens.path()).toUtf8());
  Prepared p(out.path());
  p.h.child<QAction>("M_S_Png")->trigger();
  WriteFile(p.h.settingsPath(), ReadFile(p.h.settingsPath()) + "[View]\nInterval=1\n");

  p.h.child<QAction>("M_R_Grab")->trigger();
  const QRect beside(250, 0, 230, 360); // beside the frame's outline
  QTRY_VERIFY(p.h.form().isVisible() &&
              p.h.canvasImage().copy(beside) == first.convertToFormat(QImage::Format_RGB32).copy(beside));

  p.h.child<QAction>("M_R_Interval")->trigger();
  QTRY_VERIFY_WITH_TIMEOUT(QDir(out.path()).entryList(QDir::Files).size() >= 2, 8000);
  auto *stop = qobject_cast<QPushButton *>([] {
    for (QWidget *w : QApplication::allWidgets()) {
      if (w->objectName() == "IntervalStop") {
        return w;
      }
    }
    return static_cast<QWidget *>(nullptr);
  }());
  QVERIFY(stop != nullptr);
  stop->click();
  QTRY_VERIFY(p.h.form().isVisible());
  qunsetenv("ORVELLE_SCREEN_SOURCE");
  QCOMPARE(p.h.text("Panel2"), QStringLiteral("定期トリム停止：2 枚"));
  QCOMPARE(QDir(out.path()).entryList(QDir::Files), (QStringList{"shot-001.png", "shot-002.png"}));
  QCOMPARE(QImage(out.filePath("shot-001.png")).convertToFormat(QImage::Format_RGB32),
           first.convertToFormat(QImage::Format_RGB32).copy(p.frame));
  QCOMPARE(QImage(out.filePath("shot-002.png")).convertToFormat(QImage::Format_RGB32),
           second.convertToFormat(QImage::Format_RGB32).copy(p.frame));
}

#include "files_test.moc"
