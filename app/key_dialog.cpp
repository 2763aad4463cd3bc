#include "app/key_dialog.h"

#include "app/key_trim.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>

namespace orvelle {

namespace {
// The key box takes chords only: a key pressed alone does what it does in
// any dialog (Tab and Shift+Tab move on, Escape cancels) or nothing (Return,
// which takes the key once a chord is typed and the focus is on OK).
class ChordsOnly : public QObject {
public:
  ChordsOnly(QDialog &dialog, std::function<void()> chordTyped)
      : QObject(&dialog), m_dialog(dialog), m_chordTyped(std::move(chordTyped)) {}

protected:
  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) {
      return false;
    }
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool modifierKey = key->key() == Qt::Key_Control || key->key() == Qt::Key_Alt || key->key() == Qt::Key_Meta ||
                             key->key() == Qt::Key_Shift || key->key() == Qt::Key_Super_L ||
                             key->key() == Qt::Key_Super_R;
    if (key->modifiers() & ~Qt::ShiftModifier) {
      if (event->type() == QEvent::KeyPress && !modifierKey) {
        QTimer::singleShot(0, &m_dialog, m_chordTyped); // once the box has recorded it
      }
      return false; // a chord: the box records it
    }
    if (event->type() == QEvent::KeyPress) {
      if (key->key() == Qt::Key_Escape) {
        m_dialog.reject();
      } else if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
        static_cast<QWidget *>(watched)->nextInFocusChain()->setFocus(Qt::TabFocusReason);
      }
    }
    return modifierKey ? false : true;
  }

private:
  QDialog &m_dialog;
  std::function<void()> m_chordTyped;
};
} // namespace

QString TrimKeyProblem(const QKeySequence &key) {
  if (key.isEmpty()) {
    return QString();
  }
  const QKeyCombination chord = key[0];
  if (!(chord.keyboardModifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
    return QStringLiteral("キーには Ctrl、Alt または Super を含めてください。");
  }
  for (const Qt::Key menuKey : {Qt::Key_Q, Qt::Key_L, Qt::Key_S, Qt::Key_C, Qt::Key_F, Qt::Key_E, Qt::Key_G}) {
    if (chord == QKeyCombination(Qt::ControlModifier, menuKey)) {
      return QStringLiteral("キー %1 は Orvelle のメニューが使っています。")
          .arg(QKeySequence(chord).toString(QKeySequence::NativeText));
    }
  }
  return QString();
}

std::optional<QKeySequence> AskTrimKey(QWidget *owner, KeyTrim &keys) {
  QDialog dialog(owner);
  dialog.setWindowTitle(QStringLiteral("キーの設定"));
  auto *layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(QStringLiteral("画面をトリム："), &dialog));
  auto *edit = new QKeySequenceEdit(keys.key().isEmpty() ? kProposedTrimKey : keys.key(), &dialog);
  edit->setObjectName(QStringLiteral("TrimKeyEdit"));
  // The first chord typed ends the typing; Return then takes it.
  const auto chordTyped = [edit, &dialog] {
    if (!edit->keySequence().isEmpty()) {
      edit->setKeySequence(QKeySequence(edit->keySequence()[0]));
      dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->setFocus();
    }
  };
  for (QObject *part : edit->findChildren<QWidget *>()) {
    part->installEventFilter(new ChordsOnly(dialog, chordTyped));
  }
  edit->installEventFilter(new ChordsOnly(dialog, chordTyped));
  layout->addWidget(edit);
  auto *status = new QLabel(&dialog);
  status->setObjectName(QStringLiteral("TrimKeyStatus"));
  status->setWordWrap(true);
  if (!keys.description().isEmpty()) {
    status->setText(QStringLiteral("デスクトップのキー：%1").arg(keys.description()));
  }
  layout->addWidget(status);
  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  QPushButton *proposed = buttons->addButton(QStringLiteral("既定に戻す"), QDialogButtonBox::ResetRole);
  QPushButton *none = buttons->addButton(QStringLiteral("キーを使わない"), QDialogButtonBox::DestructiveRole);
  layout->addWidget(buttons);
  if (GlobalKey *global = keys.globalKey(); global != nullptr && global->CanConfigure()) {
    QPushButton *desktop = buttons->addButton(QStringLiteral("デスクトップで設定..."), QDialogButtonBox::ActionRole);
    QObject::connect(desktop, &QPushButton::clicked, global, &GlobalKey::Configure);
  }
  QObject::connect(proposed, &QPushButton::clicked, edit, [edit] { edit->setKeySequence(kProposedTrimKey); });
  QObject::connect(none, &QPushButton::clicked, &dialog, [&] {
    edit->clear();
    keys.Hold(QKeySequence());
    dialog.accept();
  });
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(&keys, &KeyTrim::bound, &dialog, [&](const QString &description) {
    status->setText(QStringLiteral("デスクトップのキー：%1").arg(description));
    dialog.accept();
  });
  QObject::connect(&keys, &KeyTrim::failed, &dialog, [status](const QString &words) { status->setText(words); });
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    const QKeySequence key = edit->keySequence().isEmpty() ? QKeySequence() : QKeySequence(edit->keySequence()[0]);
    if (const QString problem = TrimKeyProblem(key); !problem.isEmpty()) {
      status->setText(problem);
      return;
    }
    if (key.isEmpty()) {
      keys.Hold(key);
      dialog.accept();
      return;
    }
    status->setText(QStringLiteral("デスクトップにキーを登録しています…"));
    keys.Hold(key); // closes on the desktop's answer
  });
  if (dialog.exec() != QDialog::Accepted) {
    return std::nullopt;
  }
  return keys.key();
}

} // namespace orvelle
