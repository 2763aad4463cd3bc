// The main window as the user meets it: start-up with its save folder and
// message, the strip and the menus, the focus order, the version window and
// the way out.

#include "tests/support/form1_harness.h"
#include "tests/support/qt_test_main.h"
#include "tests/support/test_files.h"

#include "capture/canvas/picture_box.h"

#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>

using namespace orvelle;
using namespace orvelle::testing;

class MainWindowTest : public QObject {
  Q_OBJECT

private slots:
  void windowAsTheUserMeetsIt();
};

void MainWindowTest::windowAsTheUserMeetsIt() {
  QTemporaryDir folder;
  WriteFile(folder.filePath("trim.ini"), "[File]\r\nF_Path=D:\\\x89\xe6\x91\x9c\r\n"); // Shift-JIS
  Form1Harness h({1280, 1024}, folder.path());
  h.start();
  QCOMPARE(h.modals().texts, QStringList{QStringLiteral("このOSでは、動作を確認していません。")});
  QCOMPARE(h.modals().captions, QStringList{QStringLiteral("Pemrose")});
  QCOMPARE(h.text("Panel1"), QStringLiteral("D:\\画像"));
  // Name, place in twips, and the caption each shows, which fits its place.
  const std::tuple<const char *, QRect, const char *> strip[] = {{"Label1", {360, 120, 885, 195}, "Position X："},
                                                                 {"Label5", {5220, 120, 945, 195}, "Ratio(H/W)："},
                                                                 {"Text1", {6180, 60, 460, 270}, "0"},
                                                                 {"Option1", {7320, 80, 375, 255}, "B"},
                                                                 {"Command6", {10800, 20, 400, 400}, ""},
                                                                 {"Text2", {11640, 60, 765, 300}, ""},
                                                                 {"Label13", {14820, 120, 405, 195}, "50"}};
  for (const auto &[name, twips, caption] : strip) {
    QWidget *w = h.child(name);
    QCOMPARE(w->geometry(), QRect(qRound(twips.x() / 15.0), qRound(twips.y() / 15.0), qRound(twips.width() / 15.0),
                                  qRound(twips.height() / 15.0)));
    QCOMPARE(h.text(name), QString::fromUtf8(caption));
    QVERIFY2(w->fontMetrics().horizontalAdvance(h.text(name)) <= w->width() + 1, name);
  }
  // Menus: entries in order, separators as "-", shortcuts after a tab.
  QStringList menus;
  for (QAction *top : h.form().menuBar()->actions()) {
    QStringList entries{top->text()};
    for (QAction *a : top->menu()->actions()) {
      entries << (a->isSeparator() ? QStringLiteral("-") : a->text() + QLatin1Char('\t') + a->shortcut().toString());
    }
    menus << entries.join(QLatin1Char('|'));
  }
  QCOMPARE(menus.join(QLatin1Char('\n')),
           QStringLiteral("ﾌｧｲﾙ(F)|終了\tCtrl+Q\n編集(E)|トリミング情報読込み\tCtrl+L|トリミング情報保存\tCtrl+S|-|"
                          "コピー\tCtrl+C|枠の数値指定...\tCtrl+F\n"
                          "設定(S)|保存フォルダー\tCtrl+E|拡大鏡\t|PNG "
                          "で保存（劣化なし）\t|キーの設定...\t\n実行(R)|キャプチャー\t|トリム\t|-|保存(トリム)\t|"
                          "保存(オリジナル)\t|-|一括トリム...\t|連続トリム\t|-|画面キャプチャー\tCtrl+G|定期トリム..."
                          "\t\nﾍﾙﾌﾟ(H)|-|ﾊﾞｰｼﾞｮﾝ情報(A)\t"));
  // The canvas has the focus; Tab goes the designed way, the output picture while shown.
  QVERIFY(QTest::qWaitForWindowActive(&h.form()));
  QCOMPARE(QApplication::focusWidget(), h.child("Picture1"));
  // Un-maximized and made smaller, the empty canvas still fits without scroll bars.
  auto *area = h.child<QScrollArea>("CanvasArea");
  h.form().showNormal();
  h.form().resize(700, 500);
  QTRY_VERIFY(area->width() <= 700 && !area->horizontalScrollBar()->isVisible() &&
              !area->verticalScrollBar()->isVisible());
  h.form().showMaximized();
  // Nothing is trimmed yet: nothing to save or copy.
  h.form().Command5_Click();
  h.child<QAction>("M_E_Copy")->trigger();
  QCOMPARE(h.modals().texts.mid(1), QStringList(2, QStringLiteral("トリムされた画像がありません")));
  h.modals().clear();
  h.form().activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&h.form()));
  // Alt and a menu's letter open it at its first entry; Alt+R, Up and Return reach 定期トリム....
  QTest::keyClick(&h.form(), Qt::Key_F, Qt::AltModifier);
  auto *popup = qobject_cast<QMenu *>(QApplication::activePopupWidget());
  QVERIFY(popup != nullptr && popup->objectName() == "M_File" && popup->activeAction()->objectName() == "M_F_Exit");
  QTest::keyClick(popup, Qt::Key_Escape);
  QTest::keyClick(&h.form(), Qt::Key_R, Qt::AltModifier);
  QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Up);
  QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Return);
  QTRY_COMPARE(h.modals().texts.value(0), QStringLiteral("トリミング枠が設定されていません"));
  h.modals().clear();
  h.form().activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&h.form()));
  h.form().Command4_Click();
  for (const char *next : {"Picture2", "Text1", "Command2", "Command4", "Command1", "Command3", "Option1", "Command5",
                           "Command6", "Text2", "Slider1", "Picture1"}) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(next));
  }
  // One modeless version window, however often asked for; the main window works on.
  h.child<QAction>("M_H_Ver")->trigger();
  h.child<QAction>("M_H_Ver")->trigger();
  const auto versions = [] {
    const QWidgetList all = QApplication::topLevelWidgets();
    return std::count_if(all.begin(), all.end(),
                         [](QWidget *w) { return w->objectName() == "Form2" && w->isVisible(); });
  };
  QCOMPARE(versions(), 1);
  h.drag({10, 10}, {{50, 50}});
  QCOMPARE(h.readouts(), QStringLiteral("10,10,40,40"));
  // Ctrl+C copies a text box's selected text there, and the trimmed picture elsewhere.
  auto *name = h.child<QLineEdit>("Text2");
  name->setText(QStringLiteral("abc"));
  name->setFocus();
  name->selectAll();
  QTest::keyClick(name, Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("abc"));
  h.form().Command4_Click();
  QTest::keyClick(h.child("Picture1"), Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
           h.child<PictureBox>("Picture2")->image());
  QVERIFY(h.child<PictureBox>("Picture2")->image().size() == QSize(40, 40) && h.modals().texts.isEmpty());
  // A new capture leaves the trim of the one before: neither copied nor saved.
  h.capture(NumberedImage({64, 48}));
  QTest::keyClick(h.child("Picture1"), Qt::Key_C, Qt::ControlModifier);
  h.form().Command5_Click();
  QCOMPARE(h.modals().texts, QStringList(2, QStringLiteral("トリムされた画像がありません")));
  // Closing ends the program, the version window with it, and writes nothing.
  h.form().close();
  QVERIFY(h.terminated() && versions() == 0);
  QCOMPARE(ReadFile(folder.filePath("trim.ini")), "[File]\r\nF_Path=D:\\\x89\xe6\x91\x9c\r\n");
}

ORVELLE_QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
