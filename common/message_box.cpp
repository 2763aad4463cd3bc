#include "common/message_box.h"

#include <QMessageBox>

namespace orvelle {

void ShowMessage(QWidget *parent, const QString &text, const QString &details) {
  QMessageBox box(QMessageBox::NoIcon, kMessageCaption, text, QMessageBox::Ok, parent);
  box.setDetailedText(details);
  box.exec();
}

} // namespace orvelle
