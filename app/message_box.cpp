#include "app/message_box.h"

#include <QMessageBox>
#include <QPushButton>

namespace orvelle {

void ShowMessage(QWidget *parent, const QString &text, const QString &details) {
  QMessageBox box(QMessageBox::NoIcon, kMessageCaption, text, QMessageBox::Ok, parent);
  box.setDetailedText(details);
  box.exec();
}

bool AskYesNo(QWidget *parent, const QString &text) {
  QMessageBox box(QMessageBox::NoIcon, kMessageCaption, text, QMessageBox::Yes | QMessageBox::No, parent);
  box.button(QMessageBox::Yes)->setText(QStringLiteral("はい"));
  box.button(QMessageBox::No)->setText(QStringLiteral("いいえ"));
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

} // namespace orvelle
