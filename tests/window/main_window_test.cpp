// The main window as the user sees it: its controls, menus, focus order and
// the menu entries that stand for the buttons.

#include "tests/support/form1_harness.h"
#include "tests/support/qt_test_main.h"

#include "capture/picture_box.h"
#include "settings/settings_file.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QToolButton>

using namespace orvelle;
using namespace orvelle::testing;

class MainWindowTest : public QObject {
  Q_OBJECT

private slots:
  void controlsStandAtTheirPlacesWithTheirTexts_data();
  void controlsStandAtTheirPlacesWithTheirTexts();
  void picturesAndFontsAreThere();
  void menusHoldTheirEntriesInOrder();
  void focusMovesInTheGivenOrder();
  void forwardingEntriesDoWhatTheirButtonsDo();
  void firstShownState();
};

void MainWindowTest::controlsStandAtTheirPlacesWithTheirTexts_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QRect>("twips");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("hint");
  const auto row = [](const char *name, QRect twips, const char *text, const char *hint) {
    QTest::newRow(name) << QString::fromLatin1(name) << twips << QString::fromUtf8(text) << QString::fromUtf8(hint);
  };
  row("Picture3", {60, 60, 300, 300}, "", "");
  row("Label1", {360, 120, 885, 195}, "Position X：", "トリミングを開始する位置でマウスボタンをクリックします");
  row("Label6", {1260, 120, 525, 195}, "0", "開始X座標");
  row("Label2", {1800, 120, 225, 195}, ",Y：", "");
  row("Label7", {2040, 120, 525, 195}, "0", "開始Y座標");
  row("Picture4", {2640, 60, 300, 300}, "", "");
  row("Label3", {2940, 120, 795, 195}, "Size W：",
      "トリミングサイズです。トリミング終了位置までマウスをドラッグします。");
  row("Label8", {3780, 120, 525, 195}, "0", "トリミングサイズ（幅）");
  row("Label4", {4320, 120, 285, 195}, ",H：", "");
  row("Label9", {4620, 120, 525, 195}, "0", "トリミングサイズ（高さ）");
  row("Label5", {5220, 120, 945, 195}, "Ratio(H/W)：",
      "トリミング画像の縦横比が指定できます。0 を入力すると、縦横比は解除されます。");
  row("Text1", {6180, 60, 460, 270}, "0", "");
  row("Label10", {6780, 120, 495, 195}, "Color：", "");
  row("Option1", {7320, 80, 375, 255}, "B", "トリムライン色：黒");
  row("Option2", {7740, 80, 435, 255}, "W", "トリムライン色：白");
  row("Option3", {8220, 80, 375, 255}, "R", "トリムライン色：赤");
  row("Command1", {8700, 20, 400, 400}, "", "画像のトリミングの設定情報の読み込み");
  row("Command2", {9120, 20, 400, 400}, "", "画像のトリミング位置・サイズ・縦横比を保存します。");
  row("Command3", {9540, 20, 400, 400}, "", "クリップボードの画像をキャプチャーします");
  row("Command4", {9960, 20, 400, 400}, "",
      "トリミングを実施します。クリップボードに画像をコピー後 ボタンを押してください。");
  row("Command5", {10380, 20, 400, 400}, "", "トリミングした画像を保存します");
  row("Command6", {10800, 20, 400, 400}, "", "クリップボードからのオリジナル画像を保存します");
  row("Label11", {11280, 120, 1455, 255}, "File：\u3000\u3000\u3000 \u3000\u3000\u3000.jpg", "");
  row("Text2", {11640, 60, 765, 300}, "", "");
  row("Label12", {12900, 120, 315, 255}, "Re：", "");
  row("Slider1", {13260, 60, 1515, 315}, "", "");
  row("Label13", {14820, 120, 405, 195}, "50", ""); // wide enough for "100"
}

void MainWindowTest::controlsStandAtTheirPlacesWithTheirTexts() {
  QFETCH(QString, name);
  QFETCH(QRect, twips);
  QFETCH(QString, text);
  QFETCH(QString, hint);
  Form1Harness h;
  h.start();
  QWidget *w = h.child(name.toLatin1().constData());
  const auto px = [](int t) { return qRound(t / 15.0); };
  QCOMPARE(w->geometry(), QRect(px(twips.x()), px(twips.y()), px(twips.width()), px(twips.height())));
  QCOMPARE(w->toolTip(), hint);
  QString shown;
  if (auto *label = qobject_cast<QLabel *>(w)) {
    shown = label->text();
  } else if (auto *edit = qobject_cast<QLineEdit *>(w)) {
    shown = edit->text();
  } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
    shown = button->text();
  }
  QCOMPARE(shown, text);
  QVERIFY(w->isVisible());
  // The caption fits its place (the file-name caption around the name box).
  const QString visible = name == QStringLiteral("Label11") ? QStringLiteral("File：.jpg") : shown;
  QVERIFY2(w->fontMetrics().horizontalAdvance(visible) <= w->width() + 1, qPrintable(shown));
}

void MainWindowTest::picturesAndFontsAreThere() {
  Form1Harness h;
  h.start();
  for (const char *name : {"Command1", "Command2", "Command3", "Command4", "Command5", "Command6"}) {
    auto *button = h.child<QToolButton>(name);
    QVERIFY2(!button->icon().isNull(), name);
    QCOMPARE(button->icon().pixmap(24, 24).size(), QSize(24, 24));
  }
  // The six pictures differ from each other.
  QSet<size_t> keys;
  for (const char *name : {"Command1", "Command2", "Command3", "Command4", "Command5", "Command6"}) {
    const QImage picture =
        h.child<QToolButton>(name)->icon().pixmap(24, 24).toImage().convertToFormat(QImage::Format_ARGB32);
    keys.insert(qHash(QByteArrayView(picture.constBits(), picture.sizeInBytes())));
  }
  QCOMPARE(keys.size(), 6);
  QCOMPARE(h.child<QLabel>("Picture3")->pixmap().size(), QSize(20, 20));
  QCOMPARE(h.child<QLabel>("Picture4")->pixmap().size(), QSize(20, 20));
  QCOMPARE(h.form().windowIcon().availableSizes().value(0), QSize(32, 32));

  const QFont name = h.child("Text2")->font();
  QCOMPARE(name.pointSizeF(), 9.75);
  QVERIFY(name.families().contains(QStringLiteral("ＭＳ Ｐゴシック")));
  // The font that is really used can show Japanese.
  QVERIFY(QFontMetrics(name).inFontUcs4(U'画'));
  QVERIFY(QFontMetrics(h.child("Label8")->font()).inFontUcs4(U'：'));

  // Two etched grooves: dark over light at the top and the bottom of the strip.
  const QImage client = h.clientImage();
  const int x = 300;
  const QRgb dark = h.form().palette().color(QPalette::WindowText).rgb();
  const QRgb light = h.form().palette().color(QPalette::Base).rgb();
  QCOMPARE(client.pixel(x, 0), dark);
  QCOMPARE(client.pixel(x, 1), light);
  QCOMPARE(client.pixel(x, 27), dark);
  QCOMPARE(client.pixel(x, 28), light);

  // ".jpg" shows to the right of the name box.
  int ink = 0;
  for (int py = 6; py < 20; ++py) {
    for (int px = 828; px < 850; ++px) {
      ink += qGray(client.pixel(px, py)) < 100 ? 1 : 0;
    }
  }
  QVERIFY(ink > 10);
}

void MainWindowTest::menusHoldTheirEntriesInOrder() {
  Form1Harness h;
  h.start();
  struct Entry {
    const char *name;
    const char *caption;
    QKeySequence shortcut;
  };
  const std::vector<std::pair<Entry, std::vector<Entry>>> expected = {
      {{"M_File", "ﾌｧｲﾙ(F)", {}}, {{"M_F_Exit", "終了", QKeySequence(QStringLiteral("Ctrl+Q"))}}},
      {{"M_Edit", "編集(E)", {}},
       {{"M_E_Load", "トリミング情報読込み", QKeySequence(QStringLiteral("Ctrl+L"))},
        {"M_E_Save", "トリミング情報保存", QKeySequence(QStringLiteral("Ctrl+S"))}}},
      {{"M_SetCFG", "設定(S)", {}}, {{"M_S_SFolder", "保存フォルダー", QKeySequence(QStringLiteral("Ctrl+E"))}}},
      {{"M_Execut", "実行(R)", {}},
       {{"M_R_Capture", "キャプチャー", {}},
        {"M_R_Trim", "トリム", {}},
        {"M_R_Line1", nullptr, {}},
        {"M_R_S_Trim", "保存(トリム)", {}},
        {"M_R_S_Org", "保存(オリジナル)", {}}}},
      {{"M_Help", "ﾍﾙﾌﾟ(H)", {}}, {{"M_H_Line1", nullptr, {}}, {"M_H_Ver", "ﾊﾞｰｼﾞｮﾝ情報(A)", {}}}},
  };
  const QList<QAction *> top = h.form().menuBar()->actions();
  QCOMPARE(top.size(), int(expected.size()));
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const auto &[menuEntry, entries] = expected[i];
    QCOMPARE(top[i]->text(), QString::fromUtf8(menuEntry.caption));
    QMenu *menu = top[i]->menu();
    QVERIFY(menu != nullptr);
    QCOMPARE(menu->objectName(), QString::fromLatin1(menuEntry.name));
    const QList<QAction *> actions = menu->actions();
    QCOMPARE(actions.size(), int(entries.size()));
    for (std::size_t j = 0; j < entries.size(); ++j) {
      QAction *a = actions[j];
      QCOMPARE(a->objectName(), QString::fromLatin1(entries[j].name));
      QCOMPARE(a->isSeparator(), entries[j].caption == nullptr);
      if (entries[j].caption != nullptr) {
        QCOMPARE(a->text(), QString::fromUtf8(entries[j].caption));
        QVERIFY(!a->text().contains(QLatin1Char('&')));
        QCOMPARE(a->shortcut(), entries[j].shortcut);
        QVERIFY(a->isEnabled() && a->isVisible() && !a->isCheckable());
      }
    }
  }
  // The Help menu shows its separator line above its entry.
  QMenu *help = top.last()->menu();
  help->popup(QPoint(0, 0));
  QVERIFY(QTest::qWaitForWindowExposed(help));
  const QRect line = help->actionGeometry(help->actions().first());
  const QRect entry = help->actionGeometry(help->actions().last());
  QVERIFY(line.height() > 0);
  QVERIFY(line.bottom() < entry.top());
  help->close();
}

void MainWindowTest::focusMovesInTheGivenOrder() {
  Form1Harness h;
  h.start();
  QVERIFY(QTest::qWaitForWindowActive(&h.form()));
  QCOMPARE(QApplication::focusWidget(), h.child("Picture1"));
  const QStringList withoutOutput = {QStringLiteral("Text1"),    QStringLiteral("Command2"), QStringLiteral("Command4"),
                                     QStringLiteral("Command1"), QStringLiteral("Command3"), QStringLiteral("Option1"),
                                     QStringLiteral("Command5"), QStringLiteral("Command6"), QStringLiteral("Text2"),
                                     QStringLiteral("Slider1"),  QStringLiteral("Picture1")};
  for (const QString &next : withoutOutput) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), next);
  }
  // While the output picture is shown it takes its turn after the canvas.
  h.form().Command4_Click();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Picture2"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Text1"));
}

void MainWindowTest::forwardingEntriesDoWhatTheirButtonsDo() {
  // Each entry against its button, in two fresh windows that start alike.
  const std::pair<const char *, const char *> pairs[] = {
      {"M_E_Load", "Command1"}, {"M_E_Save", "Command2"},   {"M_R_Capture", "Command3"},
      {"M_R_Trim", "Command4"}, {"M_R_S_Trim", "Command5"}, {"M_R_S_Org", "Command6"},
  };
  const QImage screen = NumberedImage({400, 300});
  for (const auto &[entry, button] : pairs) {
    using Outcome = std::tuple<QStringList, QImage, QByteArray, bool, bool>;
    const auto run = [&](bool byMenu) -> Outcome {
      Form1Harness h;
      h.start();
      h.capture(screen);
      h.drag({20, 10}, {{60, 40}, {120, 90}});
      h.child<QLineEdit>("Text2")->setText(QStringLiteral("shot"));
      h.modals().clear();
      QWidget *focused = h.form().focusWidget();
      auto *b = h.child<QToolButton>(button);
      int clicks = 0;
      QObject::connect(b, &QToolButton::clicked, [&clicks] { ++clicks; });
      // Through the menu the button is neither clicked nor pressed nor focused.
      bool buttonUntouched = true;
      if (byMenu) {
        h.child<QAction>(entry)->trigger();
        QTest::qWait(30);
        buttonUntouched = clicks == 0 && !b->isDown() && h.form().focusWidget() == focused;
      } else {
        b->click();
        QTest::qWait(30);
      }
      QFile ini(h.settingsPath());
      const QByteArray settings = ini.open(QIODevice::ReadOnly) ? ini.readAll() : QByteArray("<none>");
      return {h.modals().texts, h.clientImage(), settings, h.child("Picture2")->isVisible(), buttonUntouched};
    };
    const auto viaMenu = run(true);
    const auto viaButton = run(false);
    QVERIFY2(std::get<4>(viaMenu), entry);
    QVERIFY2(viaMenu == viaButton, entry);
  }
}

void MainWindowTest::firstShownState() {
  Form1Harness h;
  h.start();
  QCOMPARE(h.form().windowTitle(), QStringLiteral("Orvelle"));
  QVERIFY(h.form().windowState().testFlag(Qt::WindowMaximized));
  QVERIFY(h.child("Picture1")->isVisible());
  QVERIFY(!static_cast<PictureBox *>(h.child("Picture1"))->hasPicture());
  QVERIFY(!h.child("Picture2")->isVisible());
  QVERIFY(h.child<QRadioButton>("Option1")->isChecked());
  QCOMPARE(h.child<QLineEdit>("Text1")->text(), QStringLiteral("0"));
  QCOMPARE(h.child<QLineEdit>("Text2")->text(), QString());
  for (const char *label : {"Label6", "Label7", "Label8", "Label9"}) {
    QCOMPARE(h.text(label), QStringLiteral("0"));
  }
  QCOMPARE(h.child<QSlider>("Slider1")->value(), 50);
  QCOMPARE(h.text("Label13"), QStringLiteral("50"));
  QCOMPARE(h.child<QLabel>("Panel1")->text(), QStringLiteral("ERROR"));
  QCOMPARE(h.child<QLabel>("Panel1")->toolTip(), QStringLiteral("現在設定されている保存先フォルダー名"));
  // The status bar lies across the bottom of the client area, 21 pixels high.
  QWidget *bar = h.child("StatusBar1");
  QCOMPARE(bar->geometry(), QRect(0, h.form().centralWidget()->height() - 21, h.form().centralWidget()->width(), 21));
  // The slider shows its value in its label at once.
  auto *slider = h.child<QSlider>("Slider1");
  slider->setFocus();
  QTest::keyClick(slider, Qt::Key_PageUp);
  QCOMPARE(h.text("Label13"), QStringLiteral("55"));
  QTest::keyClick(slider, Qt::Key_Home);
  QCOMPARE(h.text("Label13"), QStringLiteral("0"));
  QTest::keyClick(slider, Qt::Key_End);
  QCOMPARE(h.text("Label13"), QStringLiteral("100"));
}

ORVELLE_QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
