// The global key through a stand-in desktop portal (GlobalShortcuts version
// 2) on a private bus, with the screen served from a picture: bound at the
// start with its preferred trigger, a press saves the framed area, a portal
// that comes back is bound again, a bind that binds nothing is said in the
// dialog, and the session is closed at the end. A screenshot asked for while
// the window is shown on the X server names it, and is asked again without
// it where the portal refuses that. The interval on a screen cast that the
// user refuses, or the desktop ends, stops with the words for it.

#include "capture/screen/screen_grab.h"
#include "tests/support/form1_harness.h"
#include "tests/support/qt_test_main.h"
#include "tests/support/test_files.h"

#include <QAction>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDialogButtonBox>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>

using namespace orvelle;
using namespace orvelle::testing;

class KeyPortalTest : public QObject {
  Q_OBJECT

private slots:
  void keyThroughTheDesktopPortal();
  void noGlobalKeysOnThisDesktop();
  void theIntervalsScreenCastRefusedOrEnded();
};

namespace {
// The stand-in portal, started anew with the way it answers binds.
void StartPortal(QProcess &portal, const QString &shortcuts, bool refuseParent = false,
                 const QString &screenCast = QString()) {
  if (portal.state() != QProcess::NotRunning) {
    portal.kill();
    portal.waitForFinished();
  }
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("STAND_IN_SHORTCUTS", shortcuts);
  if (refuseParent) {
    env.insert("STAND_IN_REFUSE_PARENT", "1");
  }
  if (!screenCast.isEmpty()) {
    env.insert("STAND_IN_SCREENCAST", screenCast);
  }
  portal.setProcessEnvironment(env);
  portal.start(qEnvironmentVariable("STAND_IN_PORTAL"), {"0", qEnvironmentVariable("ORVELLE_SCREEN_SOURCE").mid(5)});
  QTRY_VERIFY(QDBusConnection::sessionBus().interface()->isServiceRegistered("org.freedesktop.portal.Desktop"));
}
} // namespace

void KeyPortalTest::keyThroughTheDesktopPortal() {
  QTemporaryDir dir;
  const QString calls = dir.filePath("calls"), press = dir.filePath("press"), out = dir.filePath("out");
  QDir().mkpath(out);
  const QImage screen = NumberedImage({640, 480});
  QVERIFY(screen.save(dir.filePath("screen.png")));
  qputenv("WAYLAND_DISPLAY", "stand-in"); // the portal's road
  qputenv("ORVELLE_SCREEN_SOURCE", QFile::encodeName("file:" + dir.filePath("screen.png")));
  qputenv("STAND_IN_LOG", QFile::encodeName(calls));
  qputenv("STAND_IN_PRESS", QFile::encodeName(press));
  QProcess portal;
  StartPortal(portal, "bind");
  const auto count = [&](const char *call) { return int(ReadFile(calls).count(call)); };
  {
    Form1Harness h;
    WriteFile(h.settingsPath(),
              "[File]\nF_Path=" + QFile::encodeName(out) +
                  "\n[Data]\nPicStartX=40\nPicStartY=30\nPicWidth=200\nPicHeight=150\nNewPicStartX=0\n"
                  "NewPicStartY=0\nNewPicWidth=200\nNewPicHeight=150\nPicRatio=0\n"
                  "[View]\nFormat=png\nTrimKey=Ctrl+Alt+G\n");
    h.start();
    h.form().Command1_Click(); // the stored frame
    h.type("Text2", "key");
    QTRY_VERIFY2(ReadFile(calls).contains("BindShortcuts trim-now 画面をトリム CTRL+ALT+g"),
                 QByteArray(ReadFile(calls) + h.text("Panel2").toUtf8()).replace("\n", " ").constData());
    QCOMPARE(count("CreateSession"), 1);
    WriteFile(press, "");
    QTRY_VERIFY2(QFile::exists(out + "/key-001.png"),
                 qPrintable(h.text("Panel2") + QString::number(QFile::exists(press))));
    QCOMPARE(QImage(out + "/key-001.png").convertToFormat(QImage::Format_RGB32),
             screen.convertToFormat(QImage::Format_RGB32).copy(40, 30, 200, 150));
    QCOMPARE(h.text("Panel2"), QStringLiteral("画面トリム：key-001.png"));

    // A portal that goes away and comes back is bound again.
    StartPortal(portal, "bind");
    QTRY_COMPARE(count("BindShortcuts"), 2);
    WriteFile(press, "");
    QTRY_VERIFY(QFile::exists(out + "/key-002.png"));

    // A desktop that binds nothing: the dialog says so and stays open.
    StartPortal(portal, "none");
    QTRY_COMPARE(count("BindShortcuts"), 3);
    QString said;
    QTimer::singleShot(100, [&] {
      QWidget *dialog = QApplication::activeModalWidget();
      auto *status = dialog->findChild<QLabel *>("TrimKeyStatus");
      QTest::keyClick(dialog->findChild<QKeySequenceEdit *>(), Qt::Key_Q, Qt::ControlModifier); // a menu's key
      dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
      QVERIFY(status->text().contains("メニューが使っています"));
      dialog->findChild<QKeySequenceEdit *>()->setKeySequence(QKeySequence("Ctrl+Alt+G"));
      dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
      QTRY_VERIFY(status->text().contains("登録しませんでした"));
      said = status->text();
      dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel)->click();
    });
    h.child<QAction>("M_S_Key")->trigger();
    QVERIFY2(said.contains("orvelle-trim --screen"), qPrintable(said));
    QVERIFY(ReadFile(h.settingsPath()).contains("TrimKey=Ctrl+Alt+G"));

    // The screenshot for the shown window, and again without it.
    const QString window = QStringLiteral("Screenshot x11:%1").arg(h.form().windowHandle()->winId(), 0, 16);
    for (const bool refused : {false, true}) {
      StartPortal(portal, "bind", refused);
      ScreenGrab grab;
      grab.setParentWindow(h.form().windowHandle());
      QSignalSpy grabbed(&grab, &ScreenGrab::grabbed);
      grab.Start();
      QVERIFY(grabbed.wait(10000));
      QByteArrayList shots = ReadFile(calls).split('\n');
      shots.removeIf([](const QByteArray &line) { return !line.startsWith("Screenshot"); });
      QCOMPARE(shots.last(), refused ? QByteArray("Screenshot") : window.toUtf8());
      QCOMPARE(shots[shots.size() - (refused ? 2 : 1)], window.toUtf8());
    }
  }
  QTRY_VERIFY(count("Close") >= 1); // the session ends with the program
  portal.kill();
  portal.waitForFinished();
}

void KeyPortalTest::theIntervalsScreenCastRefusedOrEnded() {
  QTemporaryDir dir;
  const QString out = dir.filePath("out");
  QDir().mkpath(out);
  qputenv("WAYLAND_DISPLAY", "stand-in");
  qunsetenv("ORVELLE_SCREEN_SOURCE");
  for (const auto &[way, words] :
       {std::pair{"refuse", "画面の共有が許可されませんでした"}, std::pair{"close", "画面の共有が終了しました"}}) {
    QProcess portal;
    StartPortal(portal, "bind", false, way);
    Form1Harness h;
    WriteFile(h.settingsPath(),
              "[File]\nF_Path=" + QFile::encodeName(out) +
                  "\n[Data]\nPicStartX=40\nPicStartY=30\nPicWidth=200\nPicHeight=150\nNewPicStartX=0\n"
                  "NewPicStartY=0\nNewPicWidth=200\nNewPicHeight=150\nPicRatio=0\n[View]\nInterval=1\n");
    h.start();
    h.form().Command1_Click();
    h.type("Text2", "iv");
    h.child<QAction>("M_R_Interval")->trigger();
    QTRY_VERIFY2_WITH_TIMEOUT(h.modals().texts.join("").contains(QString::fromUtf8(words)),
                              qPrintable(h.modals().texts.join("|") + h.text("Panel2")), 10000);
    QTRY_VERIFY(h.form().isVisible() && h.text("Panel2") == QStringLiteral("定期トリム停止：0 枚"));
    QVERIFY(QDir(out).isEmpty());
    portal.kill();
    portal.waitForFinished();
  }
}

// Run by the Wayland check, against the real portal of its headless sway,
// which offers no GlobalShortcuts.
void KeyPortalTest::noGlobalKeysOnThisDesktop() {
  if (!qEnvironmentVariableIsSet("ORVELLE_REAL_PORTAL")) {
    QSKIP("run by the Wayland check, against a real portal");
  }
  Form1Harness h;
  h.start();
  QString said;
  QTimer::singleShot(100, [&] {
    QWidget *dialog = QApplication::activeModalWidget();
    dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    auto *status = dialog->findChild<QLabel *>("TrimKeyStatus");
    QTRY_VERIFY(status->text().contains("グローバル キーがありません"));
    said = status->text();
    dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel)->click();
  });
  h.child<QAction>("M_S_Key")->trigger();
  QVERIFY2(said.contains("orvelle-trim --screen"), qPrintable(said));
}

ORVELLE_QTEST_MAIN(KeyPortalTest)
#include "key_portal_test.moc"
