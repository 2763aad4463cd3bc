// Start-up from the different trim.ini files, the JPEG library's place for each
// Windows version, and the ways the program ends.

#include "tests/support/form1_harness.h"
#include "tests/support/qt_test_main.h"
#include "tests/support/test_files.h"

#include "export/jpeg_library.h"
#include "settings/settings_file.h"
#include "sysinfo/form2.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>

using namespace orvelle;
using namespace orvelle::testing;

namespace {
bool VersionWindowShown() {
  const QWidgetList windows = QApplication::topLevelWidgets();
  return std::any_of(windows.begin(), windows.end(),
                     [](QWidget *w) { return w->objectName() == QStringLiteral("Form2") && w->isVisible(); });
}
const QString kUntested = QStringLiteral("このOSでは、動作を確認していません。");
} // namespace

class StartupTest : public QObject {
  Q_OBJECT

private slots:
  void theSaveFolderComesFromTrimIni();
  void thisPlatformIsNotAConfirmedWindows();
  void theLibraryIsPlacedForKnownWindows();
  void aFailedCopyIsReportedAndTheProgramRuns();
  void canvasFillsTheClientArea();
  void everyWayOutEndsTheProgramAndWritesNothing();
};

void StartupTest::theSaveFolderComesFromTrimIni() {
  {
    Form1Harness h;
    h.start();
    QCOMPARE(h.child<QLabel>("Panel1")->text(), QStringLiteral("ERROR"));
    QVERIFY(!QFile::exists(h.settingsPath()));
  }
  QTemporaryDir folder;
  WriteFile(SettingsFilePath(folder.path()), QStringLiteral("[File]\nF_Path=/home/利用者/画像\n").toUtf8());
  {
    Form1Harness h({1280, 1024}, std::nullopt, folder.path());
    h.start();
    QCOMPARE(h.child<QLabel>("Panel1")->text(), QStringLiteral("/home/利用者/画像"));
  }
  WriteFile(SettingsFilePath(folder.path()), "[File]\r\nF_Path=D:\\\x89\xe6\x91\x9c\r\n"); // from Japanese Windows
  {
    Form1Harness h({1280, 1024}, std::nullopt, folder.path());
    h.start();
    QCOMPARE(h.child<QLabel>("Panel1")->text(), QStringLiteral("D:\\画像"));
  }
  WriteFile(SettingsFilePath(folder.path()), "[File]\nF_Path=\n");
  {
    Form1Harness h({1280, 1024}, std::nullopt, folder.path());
    h.start();
    QCOMPARE(h.child<QLabel>("Panel1")->text(), QString());
  }
}

void StartupTest::thisPlatformIsNotAConfirmedWindows() {
  for (const auto &os : {std::optional<OsVersionRecord>(), std::optional<OsVersionRecord>(OsVersionRecord{2, 6, 1})}) {
    Form1Harness h({1280, 1024}, os);
    h.start();
    QCOMPARE(h.modals().texts, QStringList{kUntested});
    QCOMPARE(h.modals().captions, QStringList{QStringLiteral("Pemrose")});
    QVERIFY(QDir(h.systemRoot()).isEmpty());
    // Everything before the message was done: the window works.
    QVERIFY(h.form().isVisible());
    QCOMPARE(h.child<QLabel>("Panel1")->text(), QStringLiteral("ERROR"));
  }
}

void StartupTest::theLibraryIsPlacedForKnownWindows() {
  const QString source = QCoreApplication::applicationDirPath() + QLatin1Char('/') + kJpegLibraryFileName;
  struct Row {
    OsVersionRecord os;
    const char *folder;
  };
  const Row rows[] = {{{2, 4, 0}, "WINNT/SYSTEM32"},   {{2, 5, 0}, "WINNT/SYSTEM32"},  {{2, 5, 2}, "WINDOWS/SYSTEM32"},
                      {{2, 5, 1}, "WINDOWS/SYSTEM32"}, {{1, 4, 90}, "WINDOWS/SYSTEM"}, {{1, 4, 10}, "WINDOWS/SYSTEM"},
                      {{1, 4, 0}, "WINDOWS/SYSTEM"}};
  for (const Row &row : rows) {
    Form1Harness h({1280, 1024}, row.os);
    QVERIFY(QDir(h.systemRoot()).mkpath(QString::fromLatin1(row.folder)));
    const QString target =
        h.systemRoot() + QLatin1Char('/') + QString::fromLatin1(row.folder) + QLatin1Char('/') + kJpegLibraryFileName;
    h.start();
    QVERIFY(h.modals().texts.isEmpty());
    QCOMPARE(ReadFile(target), ReadFile(source));
  }
  // A library already there stays, even when it differs.
  Form1Harness h({1280, 1024}, OsVersionRecord{2, 5, 1});
  QVERIFY(QDir(h.systemRoot()).mkpath(QStringLiteral("WINDOWS/SYSTEM32")));
  const QString target = h.systemRoot() + QStringLiteral("/WINDOWS/SYSTEM32/") + kJpegLibraryFileName;
  WriteFile(target, "an older library");
  h.start();
  QVERIFY(h.modals().texts.isEmpty());
  QCOMPARE(ReadFile(target), QByteArray("an older library"));
}

void StartupTest::aFailedCopyIsReportedAndTheProgramRuns() {
  Form1Harness h({1280, 1024}, OsVersionRecord{2, 5, 0}); // Windows 2000, but no WINNT folder
  h.start();
  QCOMPARE(h.modals().texts.size(), 1);
  QVERIFY(h.modals().texts[0].contains(QStringLiteral("コピーできませんでした")));
  QVERIFY(h.modals().texts[0].contains(QStringLiteral("WINNT")));
  QCOMPARE(h.modals().captions, QStringList{QStringLiteral("Pemrose")});
  QVERIFY(h.form().isVisible());
  h.form().Command3_Click(); // still working
}

void StartupTest::canvasFillsTheClientArea() {
  for (const QSize screen : {QSize(1024, 768), QSize(1920, 1080), QSize(3840, 2160)}) {
    Form1Harness h(screen);
    h.form().Load();
    QCOMPARE(h.form().width(), screen.width());
    QCOMPARE(h.form().height(), qRound((screen.height() * 15 - 800) / 15.0));
    QWidget *canvas = h.child("Picture1");
    const QSize client = h.form().centralWidget()->size();
    QCOMPARE(canvas->geometry(), QRect(0, 29, h.form().width(), client.height() - 20));
    QCOMPARE(h.child("Line1")->geometry(), QRect(7, 0, qRound((screen.width() * 15 - 200) / 15.0) - 7 + 1, 1));
    QCOMPARE(h.child("Line4")->y(), 28);
    QVERIFY(h.form().windowState().testFlag(Qt::WindowMaximized));
  }
}

void StartupTest::everyWayOutEndsTheProgramAndWritesNothing() {
  QTemporaryDir folder;
  const QByteArray settings = "[File]\nF_Path=/pictures\n[Data]\nPicStartX=1\n";
  WriteFile(SettingsFilePath(folder.path()), settings);
  {
    // Exit from the menu, with the version window open.
    Form1Harness h({1280, 1024}, std::nullopt, folder.path());
    h.start();
    h.child<QAction>("M_H_Ver")->trigger();
    QVERIFY(VersionWindowShown());
    h.drag({10, 10}, {{50, 50}});
    h.child<QAction>("M_F_Exit")->trigger();
    QVERIFY(h.terminated());
    QVERIFY(!h.form().isVisible());
    QVERIFY(!VersionWindowShown());
  }
  QCOMPARE(ReadFile(SettingsFilePath(folder.path())), settings);
  {
    // Closing the window, as its close box does; Ctrl+Q is the Exit entry's shortcut.
    Form1Harness h({1280, 1024}, std::nullopt, folder.path());
    h.start();
    QCOMPARE(h.child<QAction>("M_F_Exit")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
    h.form().close();
    QVERIFY(h.terminated());
  }
  QCOMPARE(ReadFile(SettingsFilePath(folder.path())), settings);
}

ORVELLE_QTEST_MAIN(StartupTest)
#include "startup_test.moc"
