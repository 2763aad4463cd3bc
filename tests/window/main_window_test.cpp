// The main window as the user meets it: the strip and the menus, the focus
// order, the menu entries that stand for the buttons, start-up and the ways out.

#include "tests/support/form1_harness.h"
#include "tests/support/qt_test_main.h"
#include "tests/support/test_files.h"

#include "export/jpeg_library.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

using namespace orvelle;
using namespace orvelle::testing;

class MainWindowTest : public QObject {
  Q_OBJECT

private slots:
  void stripAndMenusAreAsDesigned();
  void focusMovesInTheGivenOrder();
  void forwardingEntriesDoWhatTheirButtonsDo();
  void startUpReadsTheFolderAndPlacesTheLibrary();
  void everyWayOutEndsTheProgramAndWritesNothing();
};

void MainWindowTest::stripAndMenusAreAsDesigned() {
  Form1Harness h;
  h.start();
  // Name, place in twips, and the caption each shows.
  const std::tuple<const char *, QRect, const char *> strip[] = {
      {"Label1", {360, 120, 885, 195}, "Position X："},
      {"Label6", {1260, 120, 525, 195}, "0"},
      {"Label3", {2940, 120, 795, 195}, "Size W："},
      {"Label9", {4620, 120, 525, 195}, "0"},
      {"Label5", {5220, 120, 945, 195}, "Ratio(H/W)："},
      {"Text1", {6180, 60, 460, 270}, "0"},
      {"Option1", {7320, 80, 375, 255}, "B"},
      {"Option3", {8220, 80, 375, 255}, "R"},
      {"Command1", {8700, 20, 400, 400}, ""},
      {"Command6", {10800, 20, 400, 400}, ""},
      {"Text2", {11640, 60, 765, 300}, ""},
      {"Slider1", {13260, 60, 1515, 315}, ""},
      {"Label13", {14820, 120, 405, 195}, "50"},
  };
  for (const auto &[name, twips, caption] : strip) {
    QWidget *w = h.child(name);
    QCOMPARE(w->geometry(), QRect(qRound(twips.x() / 15.0), qRound(twips.y() / 15.0), qRound(twips.width() / 15.0),
                                  qRound(twips.height() / 15.0)));
    QString shown;
    if (auto *label = qobject_cast<QLabel *>(w)) {
      shown = label->text();
    } else if (auto *edit = qobject_cast<QLineEdit *>(w)) {
      shown = edit->text();
    } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
      shown = button->text();
    }
    QCOMPARE(shown, QString::fromUtf8(caption));
    QVERIFY2(w->fontMetrics().horizontalAdvance(shown) <= w->width() + 1, name); // the caption fits
  }
  QCOMPARE(h.child("Command4")->toolTip(),
           QStringLiteral("トリミングを実施します。クリップボードに画像をコピー後 ボタンを押してください。"));
  QCOMPARE(h.child<QLabel>("Panel1")->text(), QStringLiteral("ERROR"));

  // Menus: entries in order, separators as "-", shortcuts after a tab.
  QStringList menus;
  for (QAction *top : h.form().menuBar()->actions()) {
    QStringList entries{top->text()};
    for (QAction *a : top->menu()->actions()) {
      entries << (a->isSeparator() ? QStringLiteral("-") : a->text() + QLatin1Char('\t') + a->shortcut().toString());
    }
    menus << entries.join(QLatin1Char('|'));
  }
  QCOMPARE(
      menus,
      (QStringList{
          QStringLiteral("ﾌｧｲﾙ(F)|終了\tCtrl+Q"),
          QStringLiteral("編集(E)|トリミング情報読込み\tCtrl+L|トリミング情報保存\tCtrl+S"),
          QStringLiteral("設定(S)|保存フォルダー\tCtrl+E"),
          QStringLiteral(
              "実行(R)|キャプチャー\t|トリム\t|-|保存(トリム)\t|保存(オリジナル)\t|-|一括トリム...\t|連続トリム\t"),
          QStringLiteral("ﾍﾙﾌﾟ(H)|-|ﾊﾞｰｼﾞｮﾝ情報(A)\t"),
      }));
  // The Help menu shows its separator line above its entry.
  QMenu *help = h.form().menuBar()->actions().last()->menu();
  help->popup(QPoint(0, 0));
  QVERIFY(QTest::qWaitForWindowExposed(help));
  QVERIFY(help->actionGeometry(help->actions().first()).height() > 0);
  help->close();
}

void MainWindowTest::focusMovesInTheGivenOrder() {
  Form1Harness h;
  h.start();
  QVERIFY(QTest::qWaitForWindowActive(&h.form()));
  QCOMPARE(QApplication::focusWidget(), h.child("Picture1"));
  h.form().Command4_Click(); // the output picture takes its turn after the canvas while shown
  for (const char *next : {"Picture2", "Text1", "Command2", "Command4", "Command1", "Command3", "Option1", "Command5",
                           "Command6", "Text2", "Slider1", "Picture1"}) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(next));
  }
}

void MainWindowTest::forwardingEntriesDoWhatTheirButtonsDo() {
  // Each entry against its button, in two fresh windows that start alike.
  const std::pair<const char *, const char *> pairs[] = {
      {"M_E_Load", "Command1"}, {"M_E_Save", "Command2"},   {"M_R_Capture", "Command3"},
      {"M_R_Trim", "Command4"}, {"M_R_S_Trim", "Command5"}, {"M_R_S_Org", "Command6"},
  };
  for (const auto &[entry, button] : pairs) {
    const auto run = [&](bool byMenu) {
      Form1Harness h;
      h.start();
      h.capture(NumberedImage({400, 300}));
      h.drag({20, 10}, {{60, 40}, {120, 90}});
      h.child<QLineEdit>("Text2")->setText(QStringLiteral("shot"));
      h.modals().clear();
      QWidget *focused = h.form().focusWidget();
      auto *b = h.child<QToolButton>(button);
      int clicks = 0;
      QObject::connect(b, &QToolButton::clicked, [&clicks] { ++clicks; });
      byMenu ? h.child<QAction>(entry)->trigger() : b->click();
      QTest::qWait(30);
      // Through the menu the button is neither clicked nor pressed nor focused.
      const bool untouched = clicks == 0 && !b->isDown() && h.form().focusWidget() == focused;
      return std::tuple{h.modals().texts, h.clientImage(), ReadFile(h.settingsPath()), untouched || !byMenu};
    };
    const auto viaMenu = run(true);
    QVERIFY2(std::get<3>(viaMenu), entry);
    QVERIFY2(viaMenu == run(false), entry);
  }
}

void MainWindowTest::startUpReadsTheFolderAndPlacesTheLibrary() {
  const QString untested = QStringLiteral("このOSでは、動作を確認していません。");
  QTemporaryDir folder;
  WriteFile(folder.filePath(QStringLiteral("trim.ini")), "[File]\r\nF_Path=D:\\\x89\xe6\x91\x9c\r\n"); // Shift-JIS
  {
    Form1Harness h({1280, 1024}, std::nullopt, folder.path());
    h.start();
    QCOMPARE(h.child<QLabel>("Panel1")->text(), QStringLiteral("D:\\画像"));
    QCOMPARE(h.modals().texts, QStringList{untested});
    QCOMPARE(h.modals().captions, QStringList{QStringLiteral("Pemrose")});
    QVERIFY(QDir(h.systemRoot()).isEmpty());
  }
  // Windows XP: copied into its folder once; a library already there stays.
  const QString library = kJpegLibraryFileName;
  {
    Form1Harness xp({1280, 1024}, OsVersionRecord{2, 5, 1});
    QVERIFY(QDir(xp.systemRoot()).mkpath(QStringLiteral("WINDOWS/SYSTEM32")));
    const QString target = xp.systemRoot() + QStringLiteral("/WINDOWS/SYSTEM32/") + library;
    xp.start();
    QCOMPARE(ReadFile(target), ReadFile(QCoreApplication::applicationDirPath() + QLatin1Char('/') + library));
    WriteFile(target, "an older library");
    xp.form().Load();
    QCOMPARE(ReadFile(target), QByteArray("an older library"));
    QVERIFY(xp.modals().texts.isEmpty());
  }
  // Windows 2000 without its folder: the failed copy is said, and the program runs on.
  Form1Harness w2k({1280, 1024}, OsVersionRecord{2, 5, 0});
  w2k.start();
  QCOMPARE(w2k.modals().texts.size(), 1);
  QVERIFY(w2k.modals().texts[0].contains(QStringLiteral("WINNT")));
  QVERIFY(w2k.form().isVisible());
}

void MainWindowTest::everyWayOutEndsTheProgramAndWritesNothing() {
  QTemporaryDir folder;
  const QByteArray settings = "[File]\nF_Path=/pictures\n[Data]\nPicStartX=1\n";
  WriteFile(folder.filePath(QStringLiteral("trim.ini")), settings);
  const auto versionShown = [] {
    const QWidgetList all = QApplication::topLevelWidgets();
    return std::count_if(all.begin(), all.end(),
                         [](QWidget *w) { return w->objectName() == "Form2" && w->isVisible(); });
  };
  for (const bool byMenu : {true, false}) {
    Form1Harness h({1280, 1024}, std::nullopt, folder.path());
    h.start();
    h.child<QAction>("M_H_Ver")->trigger();
    h.child<QAction>("M_H_Ver")->trigger();
    QCOMPARE(versionShown(), 1); // one modeless version window; the main window works on
    h.drag({10, 10}, {{50, 50}});
    QCOMPARE(h.text("Label8"), QStringLiteral("40"));
    byMenu ? h.child<QAction>("M_F_Exit")->trigger() : (void)h.form().close();
    QVERIFY(h.terminated());
    QCOMPARE(versionShown(), 0);
    QCOMPARE(ReadFile(folder.filePath(QStringLiteral("trim.ini"))), settings);
  }
}

ORVELLE_QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
