// The menu bar: five menus whose entries repeat the buttons' commands and add
// exit, the save folder and the version window.

#include "app/form1.h"
#include "app/menu_keys_first.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <algorithm>

namespace orvelle {

namespace {
void OpenMenu(QMenuBar &bar, QMenu &menu) {
  bar.setActiveAction(menu.menuAction());
  const QList<QAction *> entries = menu.actions();
  const auto first = std::find_if(entries.begin(), entries.end(), [](QAction *a) { return !a->isSeparator(); });
  if (first != entries.end()) {
    menu.setActiveAction(*first);
  }
}
} // namespace

void Form1::CreateMenus() {
  QMenuBar *bar = menuBar();
  const auto menu = [bar](const char *name, const char *caption) {
    QMenu *m = bar->addMenu(QString::fromUtf8(caption));
    m->setObjectName(QLatin1String(name));
    m->menuAction()->setObjectName(QLatin1String(name));
    return m;
  };
  const auto entry = [this](QMenu *m, const char *name, const char *caption, const QKeySequence &shortcut,
                            void (Form1::*handler)()) {
    QAction *action = m->addAction(QString::fromUtf8(caption));
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, handler);
  };
  const auto separator = [](QMenu *m, const char *name) { m->addSeparator()->setObjectName(QLatin1String(name)); };
  const auto checkable = [this](QMenu *m, const char *name, const char *caption, void (Form1::*handler)(bool)) {
    QAction *action = m->addAction(QString::fromUtf8(caption));
    action->setObjectName(QLatin1String(name));
    action->setCheckable(true);
    connect(action, &QAction::toggled, this, handler);
    return action;
  };

  QMenu *file = menu("M_File", "ﾌｧｲﾙ(F)");
  entry(file, "M_F_Exit", "終了", QKeySequence(Qt::CTRL | Qt::Key_Q), &Form1::M_F_Exit_Click);

  QMenu *edit = menu("M_Edit", "編集(E)");
  entry(edit, "M_E_Load", "トリミング情報読込み", QKeySequence(Qt::CTRL | Qt::Key_L), &Form1::Command1_Click);
  entry(edit, "M_E_Save", "トリミング情報保存", QKeySequence(Qt::CTRL | Qt::Key_S), &Form1::Command2_Click);
  separator(edit, "M_E_Line1");
  entry(edit, "M_E_Copy", "コピー", QKeySequence(Qt::CTRL | Qt::Key_C), &Form1::M_E_Copy_Click);
  entry(edit, "M_E_Frame", "枠の数値指定...", QKeySequence(Qt::CTRL | Qt::Key_F), &Form1::M_E_Frame_Click);

  QMenu *settings = menu("M_SetCFG", "設定(S)");
  entry(settings, "M_S_SFolder", "保存フォルダー", QKeySequence(Qt::CTRL | Qt::Key_E), &Form1::M_S_SFolder_Click);
  m_loupeAction = checkable(settings, "M_S_Loupe", "拡大鏡", &Form1::M_S_Loupe_Toggled);
  m_pngAction = checkable(settings, "M_S_Png", "PNG で保存（劣化なし）", &Form1::M_S_Png_Toggled);
  entry(settings, "M_S_Key", "キーの設定...", QKeySequence(), &Form1::M_S_Key_Click);

  QMenu *run = menu("M_Execut", "実行(R)");
  entry(run, "M_R_Capture", "キャプチャー", QKeySequence(), &Form1::Command3_Click);
  entry(run, "M_R_Trim", "トリム", QKeySequence(), &Form1::Command4_Click);
  separator(run, "M_R_Line1");
  entry(run, "M_R_S_Trim", "保存(トリム)", QKeySequence(), &Form1::Command5_Click);
  entry(run, "M_R_S_Org", "保存(オリジナル)", QKeySequence(), &Form1::Command6_Click);
  separator(run, "M_R_Line2");
  entry(run, "M_R_Batch", "一括トリム...", QKeySequence(), &Form1::M_R_Batch_Click);
  m_continuousAction = checkable(run, "M_R_Continuous", "連続トリム", &Form1::M_R_Continuous_Toggled);
  separator(run, "M_R_Line3");
  entry(run, "M_R_Grab", "画面キャプチャー", QKeySequence(Qt::CTRL | Qt::Key_G), &Form1::M_R_Grab_Click);
  entry(run, "M_R_Interval", "定期トリム...", QKeySequence(), &Form1::M_R_Interval_Click);

  QMenu *help = menu("M_Help", "ﾍﾙﾌﾟ(H)");
  help->setSeparatorsCollapsible(false); // it opens with its separator line
  separator(help, "M_H_Line1");
  entry(help, "M_H_Ver", "ﾊﾞｰｼﾞｮﾝ情報(A)", QKeySequence(), &Form1::M_H_Ver_Click);

  // Alt and the letter a caption shows open its menu with the first entry
  // highlighted; the captions keep the letter as plain text.
  for (const auto &[m, letter] :
       {std::pair{file, Qt::Key_F}, {edit, Qt::Key_E}, {settings, Qt::Key_S}, {run, Qt::Key_R}, {help, Qt::Key_H}}) {
    auto *key = new QShortcut(QKeySequence(Qt::ALT | letter), this);
    key->setObjectName(m->objectName() + QStringLiteral("_Key"));
    connect(key, &QShortcut::activated, this, [bar, m = m] { OpenMenu(*bar, *m); });
  }

  // The shortcuts work whichever control has the focus.
  auto *keys = new MenuKeysFirst(this);
  m_ui.Text1->installEventFilter(keys);
  m_ui.Text2->installEventFilter(keys);
}

} // namespace orvelle
