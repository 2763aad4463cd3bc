#include "app/key_dialog.h"

#include "app/key_trim.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvelle {

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
  layout->addWidget(edit);
  auto *status = new QLabel(&dialog);
  status->setObjectName(QStringLiteral("TrimKeyStatus"));
  status->setWordWrap(true);
  layout->addWidget(status);
  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QPushButton *proposed = buttons->addButton(QStringLiteral("既定に戻す"), QDialogButtonBox::ResetRole);
  QPushButton *none = buttons->addButton(QStringLiteral("キーを使わない"), QDialogButtonBox::DestructiveRole);
  layout->addWidget(buttons);
  if (GlobalKey *global = keys.globalKey(); global != nullptr && global->CanConfigure()) {
    QPushButton *desktop = buttons->addButton(QStringLiteral("デスクトップで設定..."), QDialogButtonBox::ActionRole);
    QObject::connect(desktop, &QPushButton::clicked, global, &GlobalKey::Configure);
  }
  // Only the first chord typed counts.
  QObject::connect(edit, &QKeySequenceEdit::editingFinished, edit, [edit] {
    if (edit->keySequence().count() > 1) {
      edit->setKeySequence(QKeySequence(edit->keySequence()[0]));
    }
  });
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
