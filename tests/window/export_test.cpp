// Saving the trimmed and the original picture as JPEG, the quality slider and
// the choice of the save folder, through the real main window.

#include "tests/support/form1_harness.h"
#include "tests/support/qt_test_main.h"
#include "tests/support/test_files.h"

#include "capture/picture_box.h"
#include "settings/settings_file.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

using namespace orvelle;
using namespace orvelle::testing;

namespace {

// The first value of the JPEG's first quantization table: 255 at quality 0,
// 16 at 50 and 1 at 100 for the standard tables scaled by quality.
int FirstQuantizer(const QByteArray &jpeg) {
  const qsizetype dqt = jpeg.indexOf("\xff\xdb");
  return dqt < 0 ? -1 : static_cast<unsigned char>(jpeg[dqt + 5]);
}

// A picture of large smooth areas, which JPEG keeps close at high quality.
QImage Blocks(QSize size) {
  QImage image(size, QImage::Format_RGB32);
  for (int y = 0; y < size.height(); ++y) {
    for (int x = 0; x < size.width(); ++x) {
      image.setPixel(x, y, qRgb(40 + (x / 40) * 30 % 200, 60 + (y / 30) * 25 % 180, 120));
    }
  }
  return image;
}

// A window with a captured screen, a frame trimmed out of it, and a name.
struct Prepared {
  explicit Prepared(const QString &folder, const QString &programFolder = QString(), const QString &exe = QString())
      : h({1280, 1024}, std::nullopt, programFolder, exe) {
    if (!folder.isNull()) {
      QFile ini(SettingsFilePath(h.programFolder()));
      ini.open(QIODevice::WriteOnly);
      ini.write(QStringLiteral("[File]\nF_Path=%1\n").arg(folder).toUtf8());
    }
    h.start();
    h.capture(screen);
    h.drag({40, 30}, {{240, 180}});
    h.form().Command4_Click();
    h.child<QLineEdit>("Text2")->setText(QStringLiteral("shot"));
    h.modals().clear();
  }
  QImage screen = Blocks({480, 360});
  Form1Harness h;
};

} // namespace

class ExportTest : public QObject {
  Q_OBJECT

private slots:
  void bothPicturesAreSavedIntoTheFolder();
  void namesAndFoldersAreUsedAsGiven();
  void qualityReachesTheLibrary();
  void missingNameOrFolderIsAskedFor();
  void everyFailureIsReported();
  void theFolderIsChosenInTheBrowser();
};

void ExportTest::bothPicturesAreSavedIntoTheFolder() {
  QTemporaryDir out;
  Prepared p(out.path());
  p.h.child<QSlider>("Slider1")->setValue(100);
  p.h.form().Command5_Click();
  p.h.form().Command6_Click();
  QCOMPARE(p.h.modals().texts, QStringList());
  const QImage trimmed(out.filePath(QStringLiteral("shot.jpg")), "JPEG");
  const QImage original(out.filePath(QStringLiteral("shot-org.jpg")), "JPEG");
  QCOMPARE(trimmed.size(), QSize(200, 150));
  QVERIFY(MeanDifference(trimmed.convertToFormat(QImage::Format_RGB32), p.screen.copy(40, 30, 200, 150)) < 2.0);
  QCOMPARE(original.size(), QSize(480, 360));
  QVERIFY(MeanDifference(original.convertToFormat(QImage::Format_RGB32), p.screen) < 2.0);
  // The intermediate bitmaps stay in the program folder; no frame line in any.
  QCOMPARE(QImage(p.h.programFolder() + QStringLiteral("/default.bmp")).convertToFormat(QImage::Format_RGB32),
           p.screen.copy(40, 30, 200, 150));
  QCOMPARE(QImage(p.h.programFolder() + QStringLiteral("/default-org.bmp")).convertToFormat(QImage::Format_RGB32),
           p.screen);
  // The original save stored the folder.
  QCOMPARE(ReadSetting(QStringLiteral("F_Path"), QStringLiteral("File"), p.h.settingsPath()), out.path());
  // Saving again replaces the JPEG.
  p.h.child<QSlider>("Slider1")->setValue(10);
  p.h.form().Command5_Click();
  QCOMPARE(FirstQuantizer(ReadFile(out.filePath(QStringLiteral("shot.jpg")))), 80);
  QCOMPARE(QDir(out.path()).entryList(QDir::Files).size(), 2);
}

void ExportTest::namesAndFoldersAreUsedAsGiven() {
  QTemporaryDir out;
  QVERIFY(QDir(out.path()).mkdir(QStringLiteral("画像")));
  const QString japanese = out.filePath(QStringLiteral("画像"));
  {
    Prepared p(japanese + QLatin1Char('/')); // a folder that ends in its separator
    p.h.child<QLineEdit>("Text2")->setText(QStringLiteral("スクリーン 1"));
    p.h.form().Command5_Click();
    p.h.form().Command6_Click();
    QVERIFY(QFile::exists(japanese + QStringLiteral("/スクリーン 1.jpg")));
    QVERIFY(QFile::exists(japanese + QStringLiteral("/スクリーン 1-org.jpg")));
    p.h.child<QLineEdit>("Text2")->setText(QStringLiteral("shot.jpg"));
    p.h.form().Command5_Click();
    QVERIFY(QFile::exists(japanese + QStringLiteral("/shot.jpg.jpg")));
    QCOMPARE(p.h.modals().texts, QStringList());
  }
  {
    // A base name that would leave the folder writes nothing.
    Prepared p(out.path());
    for (const QString &bad :
         {QStringLiteral("../escape"), QStringLiteral("sub/name"), QStringLiteral("a\\b"), QStringLiteral("..")}) {
      p.h.modals().clear();
      p.h.child<QLineEdit>("Text2")->setText(bad);
      p.h.form().Command5_Click();
      p.h.form().Command6_Click();
      QCOMPARE(p.h.modals().texts.size(), 2);
      QVERIFY(p.h.modals().texts[0].contains(bad));
    }
    QVERIFY(!QFile::exists(p.h.programFolder() + QStringLiteral("/default.bmp")));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("画像")});
    QVERIFY(!QFile::exists(out.path() + QStringLiteral("/../escape.jpg")));
  }
}

void ExportTest::qualityReachesTheLibrary() {
  QTemporaryDir out;
  Prepared p(out.path());
  auto *slider = p.h.child<QSlider>("Slider1");
  for (const auto &[quality, quantizer] : {std::pair{0, 255}, std::pair{50, 16}, std::pair{100, 1}}) {
    slider->setValue(quality);
    QCOMPARE(p.h.text("Label13"), QString::number(quality));
    p.h.form().Command5_Click();
    p.h.form().Command6_Click();
    QCOMPARE(FirstQuantizer(ReadFile(out.filePath(QStringLiteral("shot.jpg")))), quantizer);
    QCOMPARE(FirstQuantizer(ReadFile(out.filePath(QStringLiteral("shot-org.jpg")))), quantizer);
  }
}

void ExportTest::missingNameOrFolderIsAskedFor() {
  QTemporaryDir out;
  {
    Prepared p(out.path());
    p.h.child<QLineEdit>("Text2")->clear();
    QFile::remove(p.h.settingsPath());
    p.h.form().Command5_Click();
    p.h.form().Command6_Click();
    QCOMPARE(p.h.modals().texts,
             (QStringList{QStringLiteral("ファイル名を指定ください"), QStringLiteral("ファイル名を指定ください")}));
    QCOMPARE(p.h.modals().captions, (QStringList{QStringLiteral("Pemrose"), QStringLiteral("Pemrose")}));
    // The original save stored the folder before it asked for the name.
    QCOMPARE(ReadSetting(QStringLiteral("F_Path"), QStringLiteral("File"), p.h.settingsPath()), out.path());
    QVERIFY(QDir(out.path()).isEmpty());
  }
  {
    Prepared p(QStringLiteral(""));
    p.h.form().Command5_Click();
    p.h.form().Command6_Click();
    QCOMPARE(p.h.modals().texts, (QStringList{QStringLiteral("ファイルの保存先を指定ください"),
                                              QStringLiteral("ファイルの保存先を指定ください")}));
    QVERIFY(!QFile::exists(p.h.programFolder() + QStringLiteral("/default.bmp")));
  }
}

void ExportTest::everyFailureIsReported() {
  QTemporaryDir out;
  {
    // A first start without a folder ("ERROR"), and a folder that is gone.
    Prepared p{QString()};
    QCOMPARE(p.h.child<QLabel>("Panel1")->text(), QStringLiteral("ERROR"));
    p.h.form().Command5_Click();
    QCOMPARE(p.h.modals().texts.size(), 1);
    QVERIFY(p.h.modals().texts[0].contains(QStringLiteral("「ERROR」")));
    QVERIFY(!QFile::exists(QStringLiteral("ERROR/shot.jpg")));
  }
  {
    Prepared p(out.filePath(QStringLiteral("gone")));
    p.h.form().Command6_Click();
    QCOMPARE(p.h.modals().texts.size(), 1);
    QVERIFY(p.h.modals().texts[0].contains(out.filePath(QStringLiteral("gone"))));
  }
  {
    // A read-only save folder: nothing written, and said where.
    QTemporaryDir locked;
    QFile::setPermissions(locked.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    Prepared p(locked.path());
    p.h.form().Command5_Click();
    QFile::setPermissions(locked.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(p.h.modals().texts.size(), 1);
    QVERIFY(p.h.modals().texts[0].contains(locked.path()));
    QVERIFY(QDir(locked.path()).isEmpty());
  }
  {
    // The bitmap cannot be written: the program folder is read-only.
    QTemporaryDir program;
    Prepared p(out.path(), program.path());
    QFile::setPermissions(program.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    p.h.form().Command5_Click();
    QFile::setPermissions(program.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(p.h.modals().texts.size(), 1);
    QVERIFY(p.h.modals().texts[0].contains(QStringLiteral("default.bmp")));
    QVERIFY(QDir(out.path()).isEmpty());
  }
  {
    // The JPEG library is missing.
    QTemporaryDir noLibrary;
    Prepared p(out.path(), QString(), noLibrary.path());
    p.h.form().Command5_Click();
    QCOMPARE(p.h.modals().texts.size(), 1);
    QVERIFY(p.h.modals().texts[0].contains(QStringLiteral("libSaveJPG.so")));
    QVERIFY(QDir(out.path()).isEmpty());
  }
  {
    // A trim of a frame of width 0 leaves nothing to save.
    Prepared p(out.path());
    p.h.drag({50, 50}, {{50, 90}});
    p.h.form().Command4_Click();
    p.h.form().Command5_Click();
    QCOMPARE(p.h.modals().texts.size(), 1);
    QVERIFY(p.h.modals().texts[0].contains(QStringLiteral("保存する画像がありません")));
    QVERIFY(QDir(out.path()).isEmpty());
  }
}

void ExportTest::theFolderIsChosenInTheBrowser() {
  QTemporaryDir first;
  QTemporaryDir second;
  Prepared p(first.path());
  p.h.modals().folderAnswer = second.path();
  p.h.child<QAction>("M_S_SFolder")->trigger();
  QCOMPARE(p.h.modals().folderDialogs, 1);
  QCOMPARE(p.h.modals().dialogTitles, QStringList{QStringLiteral("フォルダの選択")});
  QCOMPARE(p.h.child<QLabel>("Panel1")->text(), second.path());
  QCOMPARE(p.h.form().state().SaveFolder, second.path());
  QCOMPARE(ReadSetting(QStringLiteral("F_Path"), QStringLiteral("File"), p.h.settingsPath()), second.path());
  QCOMPARE(p.h.modals().texts, QStringList());

  // Cancelling keeps the folder everywhere.
  const QByteArray settings = ReadFile(p.h.settingsPath());
  p.h.modals().folderAnswer.clear();
  p.h.child<QAction>("M_S_SFolder")->trigger();
  QCOMPARE(p.h.modals().texts, QStringList{QStringLiteral("キャンセルを選択")});
  QCOMPARE(p.h.child<QLabel>("Panel1")->text(), second.path());
  QCOMPARE(p.h.form().state().SaveFolder, second.path());
  QCOMPARE(ReadFile(p.h.settingsPath()), settings);
  p.h.form().Command6_Click();
  QVERIFY(QFile::exists(second.filePath(QStringLiteral("shot-org.jpg"))));

  // A folder too long for trim.ini to give back whole is refused.
  QString deep = first.path();
  while (deep.toUtf8().size() <= 254) {
    deep += QStringLiteral("/フォルダー名");
  }
  QVERIFY(QDir().mkpath(deep));
  p.h.modals().clear();
  p.h.modals().folderAnswer = deep;
  p.h.child<QAction>("M_S_SFolder")->trigger();
  QCOMPARE(p.h.modals().texts.size(), 1);
  QVERIFY(p.h.modals().texts[0].contains(QStringLiteral("長すぎる")));
  QCOMPARE(p.h.child<QLabel>("Panel1")->text(), second.path());
  QCOMPARE(ReadFile(p.h.settingsPath()), settings);
}

ORVELLE_QTEST_MAIN(ExportTest)
#include "export_test.moc"
