#include "app/interval_dialog.h"

#include "settings/setting_rows.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>

namespace orvelle {

std::optional<IntervalChoice> AskInterval(QWidget *owner, int seconds) {
  QDialog dialog(owner);
  dialog.setWindowTitle(QStringLiteral("定期トリム"));
  auto *every = new QSpinBox(&dialog);
  every->setObjectName(QStringLiteral("IntervalSeconds"));
  every->setRange(setting::kInterval.least, setting::kInterval.most);
  every->setValue(seconds);
  auto *onlyChanged = new QCheckBox(QStringLiteral("変化があったときだけ保存"), &dialog);
  onlyChanged->setChecked(true);
  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("開始"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto *form = new QFormLayout(&dialog);
  form->addRow(QStringLiteral("間隔（秒）："), every);
  form->addRow(onlyChanged);
  form->addRow(buttons);
  every->setFocus();
  every->selectAll();
  if (dialog.exec() != QDialog::Accepted) {
    return std::nullopt;
  }
  return IntervalChoice{every->value(), onlyChanged->isChecked()};
}

} // namespace orvelle
