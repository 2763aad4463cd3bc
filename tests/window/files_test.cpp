// What the main window writes and reads: the trimming information in
// trim.ini, the JPEG files with their quality, and the save folder.

#include "tests/support/form1_harness.h"
#include "tests/support/qt_test_main.h"
#include "tests/support/test_files.h"

#include "settings/settings_file.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <clocale>

using namespace orvelle;
using namespace orvelle::testing;

namespace {

QStringList Readouts(Form1Harness &h) {
  return {h.text("Label6"), h.text("Label7"), h.text("Label8"), h.text("Label9"), h.child<QLineEdit>("Text1")->text()};
}

// The first value of the JPEG's first quantization table: 255 at quality 0,
// 16 at 50 and 1 at 100.
int FirstQuantizer(const QByteArray &jpeg) {
  const qsizetype dqt = jpeg.indexOf("\xff\xdb");
  return dqt < 0 ? -1 : static_cast<unsigned char>(jpeg[dqt + 5]);
}

// A window whose trim.ini names the folder, with a capture trimmed and a name.
struct Prepared {
  explicit Prepared(const QString &folder, const QString &exe = QString())
      : h({1280, 1024}, std::nullopt, QString(), exe) {
    if (!folder.isNull()) {
      WriteFile(h.settingsPath(), QStringLiteral("[File]\nF_Path=%1\n").arg(folder).toUtf8());
    }
    h.start();
    h.capture(screen);
    h.drag({40, 30}, {{240, 180}});
    h.form().Command4_Click();
    h.child<QLineEdit>("Text2")->setText(QStringLiteral("shot"));
    h.modals().clear();
  }
  QImage screen = NumberedImage({480, 360});
  Form1Harness h;
};

} // namespace

class FilesTest : public QObject {
  Q_OBJECT

private slots:
  void trimInfoGoesAndComesBack();
  void badTrimInfoChangesNothing();
  void commaLocaleRoundTrips();
  void bothPicturesAreSavedAtTheSliderQuality();
  void everyFailureIsReported();
  void theFolderIsChosenInTheBrowser();
  void trimsOverAndOver();
};

void FilesTest::trimInfoGoesAndComesBack() {
  Form1Harness h;
  h.start();
  h.capture(NumberedImage({600, 500}));
  h.child<QLineEdit>("Text1")->setText(QStringLiteral("0.75"));
  h.drag({100, 50}, {{300, 200}});
  h.child<QLineEdit>("Text1")->setText(QStringLiteral("1")); // typed, not yet used: not saved
  WriteFile(h.settingsPath(), "[File]\nF_Path=/pictures\n; mine\n");
  h.child<QAction>("M_E_Save")->trigger();
  QCOMPARE(ReadFile(h.settingsPath()),
           QByteArray("[File]\nF_Path=/pictures\n; mine\n[Data]\nPicStartX=100\nPicStartY=50\nPicWidth=200\n"
                      "PicHeight=150\nNewPicStartX=0\nNewPicStartY=0\nNewPicWidth=200\nNewPicHeight=150\n"
                      "PicRatio=0.75\n"));
  h.child<QLineEdit>("Text1")->setText(QStringLiteral("0"));
  h.drag({400, 300}, {{350, 250}});
  h.child<QRadioButton>("Option3")->setChecked(true);
  h.child<QAction>("M_E_Load")->trigger();
  QCOMPARE(Readouts(h), (QStringList{"100", "50", "200", "150", "0.75"}));
  QVERIFY(OutlineIs(h.canvasImage(), {100, 50}, {300, 200}, qRgb(255, 0, 0)));
  QVERIFY(OutlineIs(h.canvasImage(), {400, 300}, {350, 250}, qRgb(0, 0, 0))); // the dragged one stays
  h.form().Command4_Click();
  QCOMPARE(h.child("Picture2")->geometry(), QRect(100, 50, 200, 150));
  // Hand-edited values: blanks, fractions halves to even, leading zeros.
  WriteFile(h.settingsPath(), "[data]\npicstartx = 12.5 \nPicStartY=13.5\nPicWidth=  0040\nPicHeight=\"30\"\n"
                              "NewPicStartX=0\nNewPicStartY=0\nNewPicWidth=40\nNewPicHeight=30\nPicRatio= 0.750 \n");
  h.form().Command1_Click();
  QCOMPARE(Readouts(h), (QStringList{"12", "14", "40", "30", "0.75"}));
  QCOMPARE(h.modals().texts.size(), 1); // the start-up message only
}

void FilesTest::badTrimInfoChangesNothing() {
  Form1Harness h;
  h.start();
  h.capture(NumberedImage({400, 300}));
  h.child<QLineEdit>("Text1")->setText(QStringLiteral("3.9"));
  h.drag({0, 0}, {{9000, 0}}); // a height of 35100 does not fit the file
  WriteFile(h.settingsPath(), "[File]\nF_Path=/pictures\n");
  h.modals().clear();
  h.form().Command2_Click();
  QCOMPARE(h.modals().texts.size(), 1);
  QVERIFY(h.modals().texts[0].contains(QStringLiteral("PicHeight")));
  QCOMPARE(ReadFile(h.settingsPath()), QByteArray("[File]\nF_Path=/pictures\n"));

  h.child<QLineEdit>("Text1")->setText(QStringLiteral("0.5"));
  h.drag({50, 50}, {{150, 60}});
  const QStringList readouts = Readouts(h);
  const QImage canvas = h.canvasImage();
  const QByteArray good = "[Data]\nPicStartX=1\nPicStartY=2\nPicWidth=3\nPicHeight=4\nNewPicStartX=5\nNewPicStartY=6\n"
                          "NewPicWidth=7\nNewPicHeight=8\nPicRatio=0.25\n";
  const std::pair<QByteArray, QByteArray> breaks[] = {
      {"PicStartX=1\n", ""},
      {"PicHeight=4\n", "PicHeight=\n"},
      {"NewPicWidth=7\n", "NewPicWidth=wide\n"},
      {"NewPicHeight=8\n", "NewPicHeight=40000\n"},
      {"PicRatio=0.25\n", "PicRatio=x\n"},
  };
  for (const auto &[from, to] : breaks) {
    WriteFile(h.settingsPath(), QByteArray(good).replace(from, to));
    h.modals().clear();
    h.form().Command1_Click();
    QCOMPARE(h.modals().texts.size(), 1);
    QVERIFY(h.modals().texts[0].contains(QString::fromLatin1(from.left(from.indexOf('=')))));
    QCOMPARE(Readouts(h), readouts);
    QCOMPARE(h.canvasImage(), canvas);
    QCOMPARE(h.form().state().frame.FrameRatio, 0.5f);
  }
}

void FilesTest::commaLocaleRoundTrips() {
  const std::string before = std::setlocale(LC_NUMERIC, nullptr);
  QVERIFY2(std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr, "the de_DE.UTF-8 locale is not installed");
  Form1Harness h;
  h.start();
  h.capture(NumberedImage({600, 500}));
  h.child<QLineEdit>("Text1")->setText(QStringLiteral("0,75"));
  h.drag({100, 50}, {{300, 10}});
  const bool bound = h.text("Label9") == QStringLiteral("150");
  h.form().Command2_Click();
  const bool written = ReadFile(h.settingsPath()).contains("PicRatio=0,75\n");
  h.child<QLineEdit>("Text1")->setText(QStringLiteral("0"));
  h.drag({10, 10}, {{20, 20}});
  h.form().Command1_Click();
  const QStringList commaLoaded = Readouts(h);
  // A file written with a period, as under the Japanese locale.
  WriteFile(h.settingsPath(), "[Data]\nPicStartX=1\nPicStartY=2\nPicWidth=3.0\nPicHeight=4\nNewPicStartX=0\n"
                              "NewPicStartY=0\nNewPicWidth=3\nNewPicHeight=4\nPicRatio=1.5\n");
  h.form().Command1_Click();
  const QStringList periodLoaded = Readouts(h);
  h.drag({100, 100}, {{110, 100}}); // the shown "1,5" is a number to the editor
  const QString height = h.text("Label9");
  std::setlocale(LC_NUMERIC, before.c_str());
  QVERIFY(bound);
  QVERIFY(written);
  QCOMPARE(commaLoaded, (QStringList{"100", "50", "200", "150", "0,75"}));
  QCOMPARE(periodLoaded, (QStringList{"1", "2", "3", "4", "1,5"}));
  QCOMPARE(height, QStringLiteral("15"));
  QCOMPARE(h.modals().texts.size(), 1);
}

void FilesTest::bothPicturesAreSavedAtTheSliderQuality() {
  QTemporaryDir out;
  Prepared p(out.path() + QStringLiteral("/")); // a folder that ends in its separator
  auto *slider = p.h.child<QSlider>("Slider1");
  for (const auto &[quality, quantizer] : {std::pair{0, 255}, std::pair{50, 16}, std::pair{100, 1}}) {
    slider->setValue(quality);
    QCOMPARE(p.h.text("Label13"), QString::number(quality));
    p.h.form().Command5_Click();
    p.h.form().Command6_Click();
    QCOMPARE(FirstQuantizer(ReadFile(out.filePath(QStringLiteral("shot.jpg")))), quantizer);
    QCOMPARE(FirstQuantizer(ReadFile(out.filePath(QStringLiteral("shot-org.jpg")))), quantizer);
  }
  QCOMPARE(p.h.modals().texts, QStringList());
  QVERIFY(MeanDifference(QImage(out.filePath(QStringLiteral("shot.jpg"))), p.screen.copy(40, 30, 200, 150)) < 3);
  QVERIFY(MeanDifference(QImage(out.filePath(QStringLiteral("shot-org.jpg"))), p.screen) < 3);
  // The bitmaps in the program folder hold the pictures exactly, without frame lines.
  QCOMPARE(QImage(p.h.programFolder() + QStringLiteral("/default.bmp")).convertToFormat(QImage::Format_RGB32),
           p.screen.copy(40, 30, 200, 150));
  QCOMPARE(QImage(p.h.programFolder() + QStringLiteral("/default-org.bmp")).convertToFormat(QImage::Format_RGB32),
           p.screen);
  QCOMPARE(ReadSetting(QStringLiteral("F_Path"), QStringLiteral("File"), p.h.settingsPath()), out.path() + "/");
  p.h.child<QLineEdit>("Text2")->setText(QStringLiteral("スクリーン.jpg"));
  p.h.form().Command5_Click();
  QVERIFY(QFile::exists(out.filePath(QStringLiteral("スクリーン.jpg.jpg"))));
}

void FilesTest::everyFailureIsReported() {
  QTemporaryDir out;
  QTemporaryDir locked;
  QFile::setPermissions(locked.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  QTemporaryDir noLibrary;
  // Folder, name and what each message must name; nothing may be written.
  const std::tuple<QString, QString, QString, QString> cases[] = {
      {QString(), QStringLiteral("shot"), QString(), QStringLiteral("「ERROR」")}, // no F_Path at all
      {out.filePath(QStringLiteral("gone")), QStringLiteral("shot"), QString(), QStringLiteral("gone")},
      {locked.path(), QStringLiteral("shot"), QString(), locked.path()},
      {out.path(), QStringLiteral(""), QString(), QStringLiteral("ファイル名を指定ください")},
      {QStringLiteral(""), QStringLiteral("shot"), QString(), QStringLiteral("ファイルの保存先を指定ください")},
      {out.path(), QStringLiteral("../escape"), QString(), QStringLiteral("../escape")},
      {out.path(), QStringLiteral("a\\b"), QString(), QStringLiteral("a\\b")},
      {out.path(), QStringLiteral("shot"), noLibrary.path(), QStringLiteral("libSaveJPG.so")},
  };
  for (const auto &[folder, name, exe, named] : cases) {
    Prepared p(folder, exe);
    p.h.child<QLineEdit>("Text2")->setText(name);
    p.h.form().Command5_Click();
    QCOMPARE(p.h.modals().texts.size(), 1);
    QVERIFY2(p.h.modals().texts[0].contains(named), qPrintable(p.h.modals().texts[0]));
    QCOMPARE(p.h.modals().captions, QStringList{QStringLiteral("Pemrose")});
  }
  QFile::setPermissions(locked.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  QVERIFY(QDir(locked.path()).isEmpty());
  QCOMPARE(QDir(out.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
  // A trim of width 0 leaves nothing to save.
  Prepared p(out.path());
  p.h.drag({50, 50}, {{50, 90}});
  p.h.form().Command4_Click();
  p.h.form().Command5_Click();
  QVERIFY(p.h.modals().texts.value(0).contains(QStringLiteral("保存する画像がありません")));
  QVERIFY(QDir(out.path()).isEmpty());
}

void FilesTest::theFolderIsChosenInTheBrowser() {
  QTemporaryDir first;
  QTemporaryDir second;
  Prepared p(first.path());
  p.h.modals().folderAnswer = second.path();
  p.h.child<QAction>("M_S_SFolder")->trigger();
  QCOMPARE(p.h.modals().dialogTitles, QStringList{QStringLiteral("フォルダの選択")});
  QCOMPARE(p.h.child<QLabel>("Panel1")->text(), second.path());
  QCOMPARE(ReadSetting(QStringLiteral("F_Path"), QStringLiteral("File"), p.h.settingsPath()), second.path());
  // Cancelling, and a folder too long for trim.ini to give back, keep the folder everywhere.
  QString deep = first.path();
  while (deep.toUtf8().size() <= 254) {
    deep += QStringLiteral("/フォルダー名");
  }
  QVERIFY(QDir().mkpath(deep));
  const QByteArray settings = ReadFile(p.h.settingsPath());
  for (const auto &[answer, message] :
       {std::pair{QString(), QStringLiteral("キャンセルを選択")}, std::pair{deep, QStringLiteral("長すぎる")}}) {
    p.h.modals().clear();
    p.h.modals().folderAnswer = answer;
    p.h.child<QAction>("M_S_SFolder")->trigger();
    QCOMPARE(p.h.modals().texts.size(), 1);
    QVERIFY(p.h.modals().texts[0].contains(message));
    QCOMPARE(p.h.child<QLabel>("Panel1")->text(), second.path());
    QCOMPARE(ReadFile(p.h.settingsPath()), settings);
  }
  p.h.form().Command6_Click();
  QVERIFY(QFile::exists(second.filePath(QStringLiteral("shot-org.jpg"))));
}

void FilesTest::trimsOverAndOver() {
  QTemporaryDir out;
  Prepared p(out.path()); // the frame from (40, 30), 200 x 150
  const QRect frame(40, 30, 200, 150);
  p.h.child<QSlider>("Slider1")->setValue(100);
  auto *continuous = p.h.child<QAction>("M_R_Continuous");
  p.h.child<QLineEdit>("Text2")->clear();
  continuous->trigger(); // no name: it stays off
  QVERIFY(!continuous->isChecked());
  QCOMPARE(p.h.modals().texts, QStringList{QStringLiteral("ファイル名を指定ください")});
  p.h.child<QLineEdit>("Text2")->setText(QStringLiteral("shot"));
  WriteFile(out.filePath(QStringLiteral("shot-002.jpg")), "an earlier picture");
  continuous->trigger();
  QVERIFY(continuous->isChecked());
  // Three pictures copied in a row, text between them: three numbered files.
  const QList<QImage> shots = {p.screen, p.screen.mirrored(true, false), p.screen.mirrored(false, true)};
  for (const QImage &shot : shots) {
    Form1Harness::setClipboardImage(shot);
    QApplication::clipboard()->setText(QStringLiteral("not a picture"));
  }
  QCOMPARE(p.h.child<QLabel>("Panel2")->text(), QStringLiteral("連続トリム中：3 枚"));
  for (int i = 0; i < 3; ++i) {
    const QImage saved(out.filePath(QStringLiteral("shot-00%1.jpg").arg(i + 3)));
    QVERIFY(MeanDifference(saved, shots[i].copy(frame)) < 3);
    QVERIFY(MeanDifference(saved, shots[(i + 1) % 3].copy(frame)) > 20);
  }
  continuous->trigger();
  QVERIFY(p.h.child<QLabel>("Panel2")->isHidden());
  Form1Harness::setClipboardImage(p.screen);
  QCOMPARE(QDir(out.path()).entryList(QDir::Files).size(), 4);

  // The batch: a picture, a broken file, and one whose JPEG would replace it.
  p.h.child<QAction>("M_R_Batch")->trigger();
  QCOMPARE(p.h.modals().dialogTitles, QStringList{QStringLiteral("一括トリムする画像の選択")});
  QTemporaryDir in;
  const QStringList files = {in.filePath(QStringLiteral("a.png")), in.filePath(QStringLiteral("b.png")),
                             out.filePath(QStringLiteral("shot-003.jpg"))};
  QVERIFY(shots[1].save(files[0]));
  WriteFile(files[1], "not a picture");
  const QByteArray kept = ReadFile(files[2]);
  p.h.modals().clear();
  p.h.form().BatchTrimFiles(files);
  QCOMPARE(p.h.modals().texts.size(), 1);
  QVERIFY(!p.h.modals().texts[0].contains(QStringLiteral("a.png")));
  QVERIFY(p.h.modals().texts[0].contains(QStringLiteral("b.png")));
  QVERIFY(p.h.modals().texts[0].contains(QStringLiteral("shot-003.jpg")));
  QVERIFY(MeanDifference(QImage(out.filePath(QStringLiteral("a.jpg"))), shots[1].copy(frame)) < 3);
  QCOMPARE(ReadFile(files[2]), kept);
}

ORVELLE_QTEST_MAIN(FilesTest)
#include "files_test.moc"
